// TUpdateForm offscreen against a real server on loopback: its layout, the
// animation, its captions, the outcomes' exact message texts, the download
// page, Cancel during a request, an unwritable update file, and the main
// window's MenuUpdatesClick.
#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <map>
#include <memory>

#include "LoopbackServers.h"
#include "app/MainForm.h"
#include "platform/qt/Dialogs.h"
#include "update/UpdateForm.h"

namespace corvellin {

// Receives the addresses the window hands to the desktop.
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened.append(url); }
};

namespace {

using testing::HttpReply;
using testing::LoopbackHttpServer;
using testing::ScopedEnv;
using testing::TempFolder;

class RecordingSeam : public DialogSeam {
public:
    struct Box {
        QString kind;  // "Error", "Information" or "Question"
        QString title;
        QString text;
    };
    std::vector<Box> boxes;
    bool answerYes = true;

    void messageBox(QWidget*, MessageKind kind, const QString& title, const QString& text) override {
        boxes.push_back({kind == MessageKind::Error ? "Error" : "Information", title, text});
    }
    std::optional<FileDialogAnswer> fileDialog(QWidget*, const FileDialogRequest&) override { return std::nullopt; }
    std::optional<std::uint32_t> chooseColour(QWidget*, std::uint32_t) override { return std::nullopt; }
    bool questionBox(QWidget*, const QString& title, const QString& text) override {
        boxes.push_back({"Question", title, text});
        return answerYes;
    }
};

std::string Ini(const std::string& version, const std::string& url) {
    return "[Update]\r\nversion=" + version + "\r\nURL=" + url + "\r\n";
}

// Replies per path; a path without a reply is never answered.
std::unique_ptr<LoopbackHttpServer> Serve(std::map<std::string, std::optional<std::string>> routes,
                                          std::atomic<bool>* arrived = nullptr) {
    return std::make_unique<LoopbackHttpServer>([routes, arrived](const std::string& target) {
        if (arrived) *arrived = true;
        const auto it = routes.find(target);
        if (it == routes.end()) return std::optional<std::string>(HttpReply(404, "Not Found", "no"));
        return it->second;
    });
}

const QString kCr(QChar(13));

class UpdateFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        QDesktopServices::setUrlHandler("http", &catcher, "open");
        QDesktopServices::setUrlHandler("https", &catcher, "open");
    }
    void TearDown() override {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        SetDialogSeam(nullptr);
    }
    // A shown window fetching url; its timers are stopped so that the test
    // drives every step itself.
    std::unique_ptr<TUpdateForm> Open(const std::string& url, const std::string& programDir) {
        auto form = std::make_unique<TUpdateForm>(nullptr, programDir, url);
        form->TimerStart->stop();
        form->TimerUpdate->stop();
        form->LoadCaptions(-1, {});
        form->show();
        return form;
    }
    void WriteLanguage(const std::string& programDir, const std::string& name, const std::string& text) {
        std::filesystem::create_directories(programDir + "Languages");
        testing::WriteText(programDir + "Languages/" + name, text);
    }

    RecordingSeam seam;
    UrlCatcher catcher;
    TempFolder program;
};

TEST_F(UpdateFormTest, LayoutAndStartState) {
    TUpdateForm form(nullptr, program.dir(), "http://127.0.0.1:9/update.ini");
    EXPECT_EQ(form.size(), QSize(322, 179));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_EQ(form.Image1->geometry(), QRect(16, 19, 125, 117));
    EXPECT_EQ(form.Image2->geometry(), QRect(16, 19, 125, 117));
    EXPECT_FALSE(form.Image1->isHidden());
    EXPECT_TRUE(form.Image2->isHidden());
    const QImage frame1 = form.Image1->pixmap().toImage();
    const QImage frame2 = form.Image2->pixmap().toImage();
    EXPECT_EQ(frame1.size(), QSize(125, 117));
    EXPECT_NE(frame1, frame2);
    EXPECT_EQ(form.LabelUpdate->pos(), QPoint(155, 48));
    EXPECT_EQ(form.LabelUpdate->text(), "Checking for new version...");
    // Tahoma (or its stand-in) at 13 pixels unless six dots would not fit.
    EXPECT_LE(form.LabelUpdate->font().pixelSize(), 13);
    EXPECT_GE(form.LabelUpdate->font().pixelSize(), 9);
    EXPECT_LE(form.LabelUpdate->pos().x() +
                  QFontMetrics(form.LabelUpdate->font()).horizontalAdvance("Checking for new version......"),
              form.width());
    EXPECT_EQ(form.LabelInfo->pos(), QPoint(155, 70));
    EXPECT_EQ(form.LabelInfo->text(), "Update information from\n127.0.0.1");
    EXPECT_EQ(form.LabelInfo->toolTip(), "http://127.0.0.1:9/update.ini");
    EXPECT_EQ(form.ButtonCancel->geometry(), QRect(236, 112, 75, 25));
    EXPECT_EQ(form.ButtonCancel->text(), "&Cancel");
    EXPECT_EQ(form.windowTitle(), "Update");
    EXPECT_TRUE(form.TimerUpdate->isActive());
    EXPECT_EQ(form.TimerUpdate->interval(), 500);
    EXPECT_TRUE(form.TimerStart->isActive());
    EXPECT_EQ(form.TimerStart->interval(), 1000);
    EXPECT_EQ(form.DotCount, 0);
}

TEST_F(UpdateFormTest, AnimationStepsThroughSixDotsWhileTheFramesAlternate) {
    auto form = Open("http://127.0.0.1:9/update.ini", program.dir());
    EXPECT_EQ(form->LabelUpdate->text(), "Checking for new version");
    for (int step = 0; step < 15; ++step) {
        form->TimerUpdateTimer();
        SCOPED_TRACE(step);
        EXPECT_EQ(form->LabelUpdate->text(), "Checking for new version" + QString(step % 7, '.'));
        EXPECT_EQ(form->Image1->isVisible(), step % 2 == 1);
        EXPECT_EQ(form->Image2->isVisible(), step % 2 == 0);
        EXPECT_EQ(form->DotCount, (step + 1) % 7);
    }
}

TEST_F(UpdateFormTest, LoadCaptionsReadsItsKeysFromTheGivenLanguageFile) {
    WriteLanguage(program.dir(), "B.ini",
                  "[Info]\nLanguage=B\n[String]\nchecking for new version=Suche\n&Cancel=&Abbruch\nUpdate=Aktualisierung\n");
    const std::string file = program.dir() + "Languages/B.ini";
    TUpdateForm form(nullptr, program.dir(), "http://127.0.0.1:9/update.ini");
    form.LoadCaptions(1, file);
    EXPECT_EQ(form.LabelUpdate->text(), "Suche");
    EXPECT_EQ(form.CheckingText, "Suche");
    EXPECT_EQ(form.ButtonCancel->text(), "&Abbruch");
    EXPECT_EQ(form.windowTitle(), "Aktualisierung");
    EXPECT_EQ(form.texts().latest, "This is the lastest version!");  // not translated there
    // English: index -1 whatever the file, or a file that is gone.
    for (const auto& [index, path] : {std::pair{-1, file}, std::pair{0, program.dir() + "Languages/gone.ini"}}) {
        form.LoadCaptions(index, path);
        EXPECT_EQ(form.windowTitle(), "Update");
        EXPECT_EQ(form.ButtonCancel->text(), "&Cancel");
        EXPECT_EQ(form.LabelUpdate->text(), "Checking for new version");
    }
}

TEST_F(UpdateFormTest, OutcomesShowTheirExactMessagesAndCloseTheWindow) {
    auto server = Serve({
        {"/latest", HttpReply(200, "OK", Ini("2011.2.50", "http://127.0.0.1/d"))},
        {"/ten", HttpReply(200, "OK", Ini("2011.10.0", "http://127.0.0.1/d"))},
        {"/html", HttpReply(200, "OK", "<html><body>Sign in to the network</body></html>")},
        {"/unsafe", HttpReply(200, "OK", Ini("2011.3.1", "file:///bin/sh"))},
        {"/redirect", HttpReply(301, "Moved", "", "Location: /latest\r\n")},
        {"/blank", HttpReply(200, "OK", Ini("2011.3.1", "  "))},
    });
    struct Case {
        const char* path;
        std::vector<RecordingSeam::Box> boxes;
    };
    const std::vector<Case> cases = {
        {"/latest", {{"Information", "Information", "This is the lastest version!" + kCr + "Thank you for your support!"}}},
        {"/ten", {{"Information", "Information", "This is the lastest version!" + kCr + "Thank you for your support!"}}},
        {"/missing", {{"Error", "Error", "Fail to connect Internet." + kCr + "Please try later!"}}},
        {"/redirect", {{"Error", "Error", "Fail to connect Internet." + kCr + "Please try later!"}}},
        {"/html", {{"Error", "Error", "Fail to get update informate" + kCr + "Please try later!"}}},
        {"/unsafe", {{"Error", "Error", "Fail to get update informate" + kCr + "Please try later!"}}},
        {"/blank", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        seam.boxes.clear();
        auto form = Open(server->url(c.path), program.dir());
        form->CheckForUpdate();
        ASSERT_EQ(seam.boxes.size(), c.boxes.size());
        for (std::size_t i = 0; i < c.boxes.size(); ++i) {
            EXPECT_EQ(seam.boxes[i].kind, c.boxes[i].kind);
            EXPECT_EQ(seam.boxes[i].title, c.boxes[i].title);
            EXPECT_EQ(seam.boxes[i].text, c.boxes[i].text);
        }
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(catcher.opened.isEmpty());
        EXPECT_FALSE(std::filesystem::exists(program.dir() + "update.ini"));
    }
}

TEST_F(UpdateFormTest, NewerVersionAsksAndYesOpensTheDownloadPage) {
    auto server = Serve({{"/newer", HttpReply(200, "OK", Ini("2011.3.1", "  https://127.0.0.1/download?v=3 "))}});
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes);
        seam.boxes.clear();
        seam.answerYes = yes;
        catcher.opened.clear();
        auto form = Open(server->url("/newer"), program.dir());
        form->CheckForUpdate();
        ASSERT_EQ(seam.boxes.size(), 1u);
        EXPECT_EQ(seam.boxes[0].kind, "Question");
        EXPECT_EQ(seam.boxes[0].title, "Find a new version");
        EXPECT_EQ(seam.boxes[0].text, "The lastest version is [2011.3.1]," + kCr + "do you want to download it?");
        if (yes) {
            ASSERT_EQ(catcher.opened.size(), 1);
            EXPECT_EQ(catcher.opened[0], QUrl("https://127.0.0.1/download?v=3"));
        } else {
            EXPECT_TRUE(catcher.opened.isEmpty());
        }
        EXPECT_FALSE(form->isVisible());
        EXPECT_FALSE(std::filesystem::exists(program.dir() + "update.ini"));
    }
}

TEST_F(UpdateFormTest, MessagesUseTheLoadedLanguage) {
    WriteLanguage(program.dir(), "de.ini",
                  "[Info]\nLanguage=Deutsch\n[String]\nFail to connect Internet.=Keine Verbindung.\n"
                  "Please try later!=Bitte sp\xC3\xA4ter!\nThe lastest version is=Neu ist\n"
                  "do you want to download it?=herunterladen?\nFind a new version=Neue Version\n");
    auto server = Serve({{"/newer", HttpReply(200, "OK", Ini("2011.3.1", "http://127.0.0.1/d"))}});
    auto form = Open(server->url("/missing"), program.dir());
    form->LoadCaptions(0, program.dir() + "Languages/de.ini");
    form->CheckForUpdate();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].text, "Keine Verbindung." + kCr + QString::fromUtf8("Bitte sp\xC3\xA4ter!"));

    seam.boxes.clear();
    seam.answerYes = false;
    form = Open(server->url("/newer"), program.dir());
    form->LoadCaptions(0, program.dir() + "Languages/de.ini");
    form->CheckForUpdate();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "Neue Version");
    EXPECT_EQ(seam.boxes[0].text, "Neu ist [2011.3.1]," + kCr + "herunterladen?");
}

TEST_F(UpdateFormTest, UnwritableUpdateFileShowsTheErrorAndTheWindowStaysUntilCancel) {
    auto server = Serve({{"/latest", HttpReply(200, "OK", Ini("2011.2.50", ""))}});
    // Neither the program folder nor the data folder can exist: both are files.
    testing::WriteText(program.path() + "/bin", "");
    testing::WriteText(program.path() + "/data", "");
    ScopedEnv data("XDG_DATA_HOME", (program.path() + "/data").c_str());
    auto form = Open(server->url("/latest"), program.path() + "/bin/");
    form->TimerUpdate->start();
    form->CheckForUpdate();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].kind, "Error");
    EXPECT_TRUE(seam.boxes[0].text.contains("update.ini")) << seam.boxes[0].text.toStdString();
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(form->TimerUpdate->isActive());
    form->ButtonCancel->click();
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->TimerUpdate->isActive());
    EXPECT_EQ(seam.boxes.size(), 1u);
}

TEST_F(UpdateFormTest, CancelDuringTheRequestAbandonsItWithoutAMessage) {
    std::atomic<bool> arrived{false};
    auto server = Serve({{"/silent", std::nullopt}}, &arrived);
    auto form = Open(server->url("/silent"), program.dir());
    form->TimerUpdate->start();
    // The window stays responsive while the request waits: once the server
    // holds the request, the animation has moved and Cancel is clicked.
    QTimer poll;
    int stepsSeen = -1;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!arrived || !form->Checking()) return;
        if (stepsSeen < 0) stepsSeen = form->DotCount;
        if (form->DotCount != stepsSeen) form->ButtonCancel->click();
    });
    poll.start(10);
    form->Limits.totalTimeoutMs = 60000;
    form->CheckForUpdate();
    poll.stop();
    EXPECT_TRUE(arrived);
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(form->Checking());
    EXPECT_TRUE(std::filesystem::is_empty(program.path()));
}

TEST_F(UpdateFormTest, AProxyWithoutAHostFailsTheCheckInsteadOfConnectingDirectly) {
    auto server = Serve({{"/latest", HttpReply(200, "OK", Ini("2011.2.50", ""))}});
    ScopedEnv lower("http_proxy", ("http://:" + std::to_string(server->port()) + "/").c_str());
    ScopedEnv upper("HTTP_PROXY", nullptr);
    auto form = Open(server->url("/latest"), program.dir());
    form->CheckForUpdate();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].kind, "Error");
    EXPECT_EQ(seam.boxes[0].text, "Fail to get update informate" + kCr + "Please try later!");
    EXPECT_TRUE(server->requests().empty());
    EXPECT_FALSE(form->isVisible());
}

TEST_F(UpdateFormTest, ShownModallyTheCheckStartsByItselfAndTheWindowCloses) {
    auto server = Serve({{"/latest", HttpReply(200, "OK", Ini("2011.2.50", ""))}});
    TUpdateForm form(nullptr, program.dir(), server->url("/latest"));
    form.LoadCaptions(-1, {});
    EXPECT_EQ(form.exec(), QDialog::Accepted);
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].text, "This is the lastest version!" + kCr + "Thank you for your support!");
    EXPECT_EQ(server->requests().size(), 1u);
    EXPECT_FALSE(form.TimerStart->isActive());
}

TEST_F(UpdateFormTest, MenuUpdatesIsHiddenAndItsClickOpensTheWindowInTheChosenLanguage) {
    ScopedEnv config("XDG_CONFIG_HOME", (program.path() + "/config").c_str());
    WriteLanguage(program.dir(), "fr.ini", "[Info]\nLanguage=Fran\xC3\xA7" "ais\n[String]\nUpdate=Mise \xC3\xA0 jour\n");
    TMainForm main(program.dir());
    EXPECT_FALSE(main.MenuUpdates->isVisible());
    main.LanguageIndex = 0;
    // A file added while the program runs sorts first; the window keeps to the
    // main window's list.
    WriteLanguage(program.dir(), "a.ini", "[Info]\nLanguage=A\n[String]\nUpdate=Wrong file\n");
    QString shownTitle;
    bool wasModal = false;
    // Cancel as soon as the window is up, before its check starts.
    QTimer::singleShot(0, [&] {
        auto* form = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget());
        if (form == nullptr) return;
        wasModal = form->isModal();
        shownTitle = form->windowTitle();
        form->ButtonCancel->click();
    });
    seam.boxes.clear();
    main.MenuUpdates->trigger();
    EXPECT_TRUE(wasModal);
    EXPECT_EQ(shownTitle, QString::fromUtf8("Mise \xC3\xA0 jour"));
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(main.findChildren<TUpdateForm*>().size(), 0);
}

}  // namespace
}  // namespace corvellin

#include "UpdateFormTest.moc"
