// Printing for real: a private CUPS server on a local socket in a temporary
// folder, a cups-pdf queue whose output folder is private to this run, and the
// main window's Print command through QPrinter and the spooler. The PDF that
// the spooler delivers is checked for its one page and the picture's place.
#include <QApplication>
#include <QPageLayout>
#include <QPrinter>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "../PrintTestSeams.h"
#include "../RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "output/PrintDevice.h"
#include "picture/JpegCodec.h"

extern char** environ;

namespace corvellin {
namespace {

namespace fs = std::filesystem;

std::string Shell(const std::string& command, int* status = nullptr) {
    std::string out;
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    const int rc = ::pclose(pipe);
    if (status) *status = rc;
    return out;
}

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// The private spooler: its own configuration, spool, cache, logs and socket.
class PrivateCups {
public:
    bool Start(std::string& why) {
        char pattern[] = "/tmp/corvellin-cups-XXXXXX";
        if (!::mkdtemp(pattern)) return why = "mkdtemp failed", false;
        root_ = pattern;
        // The filters run as lp: they must reach the spool below this folder.
        ::chmod(root_.c_str(), 0755);
        for (const char* sub : {"spool", "tmp", "cache", "state", "log", "out"}) fs::create_directories(root_ + "/" + sub);
        ::chmod((root_ + "/out").c_str(), 0755);
        // The filters (as lp) keep their scratch files in TempDir.
        ::chmod((root_ + "/tmp").c_str(), 01777);
        socket_ = root_ + "/cups.sock";
        WriteText(root_ + "/cupsd.conf", "LogLevel info\nListen " + socket_ +
                                             "\nDefaultAuthType None\nWebInterface No\nBrowsing Off\n"
                                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n"
                                             "</Policy>\n");
        WriteText(root_ + "/cups-files.conf",
                  "ServerRoot " + root_ + "\nRequestRoot " + root_ + "/spool\nTempDir " + root_ + "/tmp\nCacheDir " +
                      root_ + "/cache\nStateDir " + root_ + "/state\nAccessLog " + root_ + "/log/access_log\nErrorLog " +
                      root_ + "/log/error_log\nPageLog " + root_ +
                      "/log/page_log\nUser lp\nGroup lp\nSystemGroup root\nServerBin /usr/lib/cups\n"
                      "DataDir /usr/share/cups\nFileDevice No\n");
        const std::string conf = root_ + "/cupsd.conf", files = root_ + "/cups-files.conf";
        const char* argv[] = {"/usr/sbin/cupsd", "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr};
        if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return why = "cannot start /usr/sbin/cupsd", false;
        for (int i = 0; i < 200 && !Ready(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (!Ready()) return why = "cupsd did not answer: " + Log(), false;

        // cups-pdf reads a configuration of its own for each queue named in
        // its device URI; this one sends the PDF into our private folder.
        queue_ = "corvellin" + std::to_string(::getpid()) + fs::path(root_).filename().string().substr(15);
        for (char& c : queue_)
            if (!std::isalnum(static_cast<unsigned char>(c))) c = 'x';
        pdfConf_ = "/etc/cups/cups-pdf-" + queue_ + ".conf";
        WriteText(pdfConf_, "Out " + root_ + "/out\nLabel 0\n");
        int status = 0;
        const std::string added = Shell("lpadmin -h '" + socket_ + "' -p " + queue_ + " -v cups-pdf:/" + queue_ +
                                            " -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd -E && lpadmin -h '" +
                                            socket_ + "' -d " + queue_,
                                        &status);
        if (status != 0) return why = "lpadmin: " + added, false;
        return true;
    }
    void Stop() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
            pid_ = -1;
        }
        if (!pdfConf_.empty()) fs::remove(pdfConf_);
        if (!root_.empty()) fs::remove_all(root_);
    }
    bool Ready() const {
        int status = 0;
        Shell("lpstat -h '" + socket_ + "' -r", &status);
        return status == 0 && fs::exists(socket_);
    }
    std::string Log() const {
        std::ifstream in(root_ + "/log/error_log");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The one PDF delivered, once the job has completed (bounded wait).
    std::string WaitForPdf() const {
        int idleRounds = 0;
        for (int i = 0; i < 600 && idleRounds < 20; ++i) {
            const bool pending = !Shell("lpstat -h '" + socket_ + "' -o " + queue_).empty();
            for (const auto& entry : fs::directory_iterator(root_ + "/out"))
                if (entry.path().extension() == ".pdf" && !pending) {
                    int status = 0;
                    Shell("pdfinfo '" + entry.path().string() + "'", &status);
                    if (status == 0) return entry.path().string();
                }
            // A job that has left the queue without a PDF has failed.
            if (!pending) ++idleRounds;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return {};
    }
    void ClearOutput() const {
        for (const auto& entry : fs::directory_iterator(root_ + "/out")) fs::remove(entry.path());
    }
    const std::string& socket() const { return socket_; }
    const std::string& queue() const { return queue_; }

private:
    std::string root_, socket_, queue_, pdfConf_;
    pid_t pid_ = -1;
};

// The user confirms the print dialog with the printer it offers.
class ConfirmPrint : public PrintDialogSeam {
public:
    bool printDialog(QWidget*, QPrinter&) override { return true; }
};

struct Render {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
};

Render RenderPage(const std::string& pdf, const std::string& stem, int dpi) {
    Shell("pdftoppm -r " + std::to_string(dpi) + " -singlefile '" + pdf + "' '" + stem + "'");
    Render page;
    std::ifstream in(stem + ".ppm", std::ios::binary);
    std::string magic;
    int maxValue = 0;
    in >> magic >> page.width >> page.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255) return {};
    page.rgb.resize(static_cast<std::size_t>(page.width) * page.height * 3);
    in.read(reinterpret_cast<char*>(page.rgb.data()), static_cast<std::streamsize>(page.rgb.size()));
    return page;
}

// The bounding box of the dark pixels (the picture is dark on a white page).
QRect DarkBox(const Render& page) {
    QRect box;
    for (int y = 0; y < page.height; ++y)
        for (int x = 0; x < page.width; ++x) {
            const unsigned char* p = &page.rgb[(static_cast<std::size_t>(y) * page.width + x) * 3];
            if (p[0] < 160 && p[1] < 160 && p[2] < 160) box |= QRect(x, y, 1, 1);
        }
    return box;
}

class CupsPrintTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        cups = new PrivateCups;
        std::string why;
        started = cups->Start(why);
        startError = why;
        if (started) ::setenv("CUPS_SERVER", cups->socket().c_str(), 1);
    }
    static void TearDownTestSuite() {
        cups->Stop();
        delete cups;
        cups = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(started) << startError;
        SetDialogSeam(&boxes);
        SetPrintDialogSeam(&confirm);
        for (int n = 1; n <= 10; ++n)
            test::WriteMaskFile(dir.path() + "/pic", 1, n, test::RandomPicture(32, 24, static_cast<std::uint32_t>(n)));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(960, 720, 90, 60, 30), 95));
        form = std::make_unique<TMainForm>(dir.path() + "/");
        boxes.boxes.clear();
        cups->ClearOutput();
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
        SetPrintDialogSeam(nullptr);
        ResetCurrentPrinter();
    }
    // Prints with the layout and checks the delivered page: one page, the
    // picture embedded at its pixel size, and dark exactly where the device
    // rectangle lies (rendered at 72 dpi, one point per pixel).
    void PrintAndCheck(const PrintLayout& layout) {
        form->PrintLayout = layout;
        form->MenuPrint->trigger();
        ASSERT_TRUE(boxes.boxes.empty()) << boxes.texts().join('|').toStdString();
        QPrinter& printer = CurrentPrinter();
        EXPECT_EQ(printer.printerName().toStdString(), cups->queue());
        EXPECT_EQ(printer.docName(), "Corvellin");
        const PrinterMetrics metrics = CurrentPrinterMetrics();
        const PixelRect device = PrintRectFromSettings(layout, metrics.printableWidth, metrics.printableHeight,
                                                       metrics.dpiX, metrics.dpiY, 960, 720, ScreenPPI());
        const QRectF printable = printer.pageLayout().paintRect(QPageLayout::Point);
        const QRectF expected(printable.left() + device.left * 72.0 / metrics.dpiX,
                              printable.top() + device.top * 72.0 / metrics.dpiY, device.width * 72.0 / metrics.dpiX,
                              device.height * 72.0 / metrics.dpiY);

        const std::string pdf = cups->WaitForPdf();
        ASSERT_FALSE(pdf.empty()) << cups->Log();
        const std::string info = Shell("pdfinfo '" + pdf + "'");
        EXPECT_NE(info.find("Pages:           1\n"), std::string::npos) << info;
        const QSizeF paper = printer.pageLayout().fullRect(QPageLayout::Point).size();
        std::ostringstream size;
        size << "Page size:       " << paper.width() << " x " << paper.height() << " pts";
        EXPECT_NE(info.find(size.str()), std::string::npos) << info;
        const std::string images = Shell("pdfimages -list '" + pdf + "'");
        EXPECT_NE(images.find(" 960   720 "), std::string::npos) << images;

        const Render page = RenderPage(pdf, pdf + "-page", 72);
        ASSERT_GT(page.width, 0);
        const QRect dark = DarkBox(page);
        std::printf("layout fit=%d centre=%d scale=%g: device rect %d,%d %dx%d at %gx%g dpi; page %s; picture at "
                    "%d,%d %dx%d pt, expected %.1f,%.1f %.1fx%.1f\n",
                    layout.FitPage, layout.Center, layout.Scale, device.left, device.top, device.width, device.height,
                    metrics.dpiX, metrics.dpiY, size.str().c_str() + 17, dark.left(), dark.top(), dark.width(),
                    dark.height(), expected.left(), expected.top(), expected.width(), expected.height());
        EXPECT_NEAR(dark.left(), expected.left(), 1.5);
        EXPECT_NEAR(dark.top(), expected.top(), 1.5);
        EXPECT_NEAR(dark.width(), expected.width(), 1.5);
        EXPECT_NEAR(dark.height(), expected.height(), 1.5);
    }

    static PrivateCups* cups;
    static bool started;
    static std::string startError;
    test::TempDir dir;
    test::RecordingSeam boxes;
    ConfirmPrint confirm;
    std::unique_ptr<TMainForm> form;
};

PrivateCups* CupsPrintTest::cups = nullptr;
bool CupsPrintTest::started = false;
std::string CupsPrintTest::startError;

TEST_F(CupsPrintTest, FitPageAndCenterFillThePrintableArea) {
    PrintLayout layout;  // FitPage and Center
    layout.Scale = 10;   // ignored by the fit
    layout.Width = layout.Height = 1;
    PrintAndCheck(layout);
}

TEST_F(CupsPrintTest, ScaleAtAKnownPosition) {
    PrintLayout layout;
    layout.FitPage = false;
    layout.Center = false;
    layout.Scale = 50;  // 480 x 360 screen pixels: 5 x 3.75 inches
    layout.Top = 1;
    layout.Left = 2.54;
    layout.LeftUnit = kUnitCentimetre;
    PrintAndCheck(layout);
}

}  // namespace
}  // namespace corvellin

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char configHome[] = "/tmp/corvellin-print-config-XXXXXX";
    if (::mkdtemp(configHome)) qputenv("XDG_CONFIG_HOME", configHome);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::filesystem::remove_all(configHome);
    return result;
}
