// The editor's windows on a native Wayland connection: a headless Weston that
// this process starts before its QApplication, with no X server and no
// session bus. Full screen, a dialog and Set Wallpaper must work there as on X;
// Weston's protocol log shows what the editor asked of the compositor.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QtTest/QTest>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

#include "../../e2e/EditorProcess.h"
#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "output/PreviewForm.h"
#include "output/WallpaperOptForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Theme.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The compositor and the folders the whole process shares.
struct Session {
    test::TempDir dir;
    std::optional<e2e::ChildProcess> weston;
    std::string log() const { return ReadText(dir.file("weston.log")); }
};
Session* session = nullptr;

// Calls inspect on the modal window of type W once it is shown and the
// compositor has seen what ready() waits for, then closes it through close().
// Runs while the command that opened it waits in its own event loop.
template <typename W>
void WhenModalShown(const std::function<bool()>& ready, const std::function<void(W*)>& inspectAndClose) {
    auto* timer = new QTimer;
    const auto started = std::chrono::steady_clock::now();
    QObject::connect(timer, &QTimer::timeout, [timer, ready, inspectAndClose, started] {
        W* window = qobject_cast<W*>(QApplication::activeModalWidget());
        const bool late = std::chrono::steady_clock::now() - started > 30s;
        if (window == nullptr && !late) return;
        if (window != nullptr && !ready() && !late) return;
        timer->stop();
        timer->deleteLater();
        if (window != nullptr) inspectAndClose(window);
    });
    timer->start(50);
}

class WaylandWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&boxes);
        // The default picture, and the first category's art that the window renders at start.
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(320, 200), 90));
        for (int n = 1; n <= 10; ++n) test::WriteMaskFile(dir.file("pic"), 1, n, test::RandomPicture(16, 16, n));
    }
    void TearDown() override { SetDialogSeam(nullptr); }

    test::TempDir dir;
    test::RecordingSeam boxes;
};

TEST_F(WaylandWindowsTest, FullScreenCoversTheOutput) {
    TMainForm form(dir.path() + "/");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    ASSERT_EQ(QGuiApplication::platformName(), "wayland");
    bool shown = false, fullScreen = false;
    QSize size;
    WhenModalShown<TPreviewForm>(
        [] { return session->log().find("set_fullscreen") != std::string::npos; },
        [&](TPreviewForm* preview) {
            shown = true;
            fullScreen = preview->isFullScreen();
            size = preview->size();
            preview->close();
        });
    form.MenuPreviewClick();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(fullScreen);
    EXPECT_NE(session->log().find("set_fullscreen"), std::string::npos) << "the compositor was never asked for full screen";
    EXPECT_EQ(size, form.screen()->size());
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join("\n").toStdString();
}

TEST_F(WaylandWindowsTest, WallpaperDialogIsAChildWindowAndSetsTheWallpaper) {
    TMainForm form(dir.path() + "/");
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    bool shown = false;
    // The dialog is a toplevel of its own whose parent is the main window's.
    const auto parented = [] { return session->log().find("xdg_toplevel") != std::string::npos &&
                                      session->log().find("set_parent(xdg_toplevel") != std::string::npos; };
    WhenModalShown<TWallpaperOptForm>(parented, [&](TWallpaperOptForm* dialog) {
        shown = true;
        dialog->findChild<QPushButton*>("BitBtnOK")->click();
    });
    form.suiButtonWallPaperClick();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(parented()) << "the dialog was not made a child of the main window";
    // No session bus and no named desktop: GNOME's settings, kept in the keyfile.
    EXPECT_TRUE(boxes.texts().isEmpty()) << boxes.texts().join("\n").toStdString();
    const std::string keyfile = ReadText(session->dir.file("config/glib-2.0/settings/keyfile"));
    EXPECT_NE(keyfile.find("picture-uri="), std::string::npos) << keyfile;
    EXPECT_NE(keyfile.find(form.WallpaperFilePath()), std::string::npos) << keyfile;
}

}  // namespace
}  // namespace corvellin

int main(int argc, char** argv) {
    // Under the leak checker: full stacks, so that a leak of the graphics
    // driver, unloaded before the check, is still seen to come from it. The
    // checker reads its options once, at the start: run again with them.
    if (const char* leaks = std::getenv("LSAN_OPTIONS"); leaks && !std::strstr(leaks, "fast_unwind_on_malloc=0")) {
        ::setenv("LSAN_OPTIONS", (std::string(leaks) + ":fast_unwind_on_malloc=0").c_str(), 1);
        ::execv("/proc/self/exe", argv);
        std::perror("execv /proc/self/exe");
        return 1;
    }
    // Listing the tests (as the build does) needs no compositor.
    for (int i = 1; i < argc; ++i)
        if (std::string(argv[i]) == "--gtest_list_tests") {
            ::testing::InitGoogleTest(&argc, argv);
            return RUN_ALL_TESTS();
        }
    corvellin::Session shared;
    corvellin::session = &shared;
    const std::string runtime = shared.dir.file("run");
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    const std::string socket = "corvellin-windows-test";
    shared.weston.emplace(std::vector<std::string>{"weston", "--backend=headless-backend.so", "--socket=" + socket,
                                                   "--idle-time=0", "--logger-scopes=log,proto",
                                                   "--log=" + shared.dir.file("weston.log")},
                          std::vector<std::string>{"XDG_RUNTIME_DIR=" + runtime, "DISPLAY", "WAYLAND_DISPLAY"}, -1,
                          shared.dir.file("weston.out"));
    if (!corvellin::e2e::WaitFor([&] { return std::filesystem::exists(runtime + "/" + socket); }, std::chrono::seconds(30))) {
        std::fprintf(stderr, "weston did not start:\n%s\n", corvellin::ReadText(shared.dir.file("weston.out")).c_str());
        return 1;
    }
    // A Wayland session and nothing else: no X display, no session bus, no
    // named desktop; settings, state and GSettings' keyfile in this run's folder.
    for (const char* name : {"DISPLAY", "DBUS_SESSION_BUS_ADDRESS", "XDG_CURRENT_DESKTOP", "GSETTINGS_SCHEMA_DIR"})
        ::unsetenv(name);
    ::setenv("QT_QPA_PLATFORM", "wayland", 1);
    ::setenv("WAYLAND_DISPLAY", socket.c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ::setenv("XDG_SESSION_TYPE", "wayland", 1);
    ::setenv("HOME", shared.dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", shared.dir.file("config").c_str(), 1);
    ::setenv("XDG_STATE_HOME", shared.dir.file("state").c_str(), 1);
    ::setenv("XDG_DATA_HOME", shared.dir.file("data").c_str(), 1);
    ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
    QApplication application(argc, argv);
    corvellin::ApplyTheme(application);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
