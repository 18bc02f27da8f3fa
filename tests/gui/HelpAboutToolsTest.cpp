// Help Contents, the About box and the Tools item: what each hands to the
// shell, the About box's texts, and the companion program's lookup through
// private desktop folders.
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "RecordingSeam.h"
#include "RecordingShell.h"
#include "TestFiles.h"
#include "app/About.h"
#include "app/MainForm.h"
#include "app/ToolsTarget.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Shell.h"

// Qt's own hook for key presses from the window system: it runs the shortcut
// map as a real key press does (the same call Qt's test library makes).
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k, Qt::KeyboardModifiers mods,
                                               const QString& text, bool autorep, ushort count);

namespace corvellin {
namespace {

using test::TempDir;

using test::RecordingShell;

void Click(QWidget& target, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF at(1, 1);
    QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
}

class HelpAboutTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetShellSeam(&shell);
        SetDialogSeam(&dialogs);
    }
    void TearDown() override {
        form.reset();
        SetModalRunner({});
        SetShellSeam(nullptr);
        SetDialogSeam(nullptr);
    }
    TMainForm& Start() {
        form = std::make_unique<TMainForm>(dir.path() + "/");
        dialogs.boxes.clear();  // the folder has no start-up picture
        return *form;
    }
    TempDir dir;
    RecordingShell shell;
    test::RecordingSeam dialogs;
    std::unique_ptr<TMainForm> form;
};

TEST_F(HelpAboutTest, F1AndHelpContentsOpenTheHelpFileBesideTheProgram) {
    TMainForm& f = Start();
    EXPECT_EQ(f.MenuHelpContent->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(f.MenuHelpContent->shortcutContext(), Qt::WindowShortcut);
    f.MenuHelpContent->trigger();
    f.show();
    // F1 with the focus anywhere in the window.
    f.BitBtnOpen->setFocus();
    QApplication::setActiveWindow(&f);
    EXPECT_TRUE(qt_sendShortcutOverrideEvent(f.BitBtnOpen, 0, Qt::Key_F1, Qt::NoModifier, QString(), false, 1));
    const QUrl expected = QUrl::fromLocalFile(QString::fromStdString(dir.path() + "/help.html"));
    ASSERT_EQ(shell.opened.size(), 2u);  // the menu item, then the key
    for (const QUrl& url : shell.opened) EXPECT_EQ(url, expected);
    EXPECT_TRUE(dialogs.boxes.empty());
}

TEST(HelpFileTest, TheBuiltHelpFileIsAUserGuide) {
    const std::string path = std::string(CORVELLIN_BIN_DIR) + "/help.html";
    std::ifstream in(path);
    ASSERT_TRUE(in) << path;
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (const char* needed : {"<html", "Preset", "Sketch", "LightA", "LightB", "LightC", "Star", "Amazing", "Water",
                               "Dream", "Whether", "Color", "Art", "Texture", "Edge", "Frame", "Undo", "Redo",
                               "Print", "Languages", "template.ini", "Ctrl", "F1", "corvellin-fx mask-pack",
                               "TarnwickDesktop.bmp", "Esc"})
        EXPECT_NE(text.find(needed), std::string::npos) << needed;
}

TEST_F(HelpAboutTest, AboutBoxTextsLayoutAndLinks) {
    TAboutForm box(nullptr);
    EXPECT_EQ(box.windowTitle(), "About...");
    EXPECT_EQ(box.size(), QSize(456, 426));
    EXPECT_FALSE(box.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(box.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(box.LabelVersion->text(), "Version: 2011.2.50");
    EXPECT_EQ(box.LabelWebsite->text(), kAboutWebsiteText);
    EXPECT_EQ(box.LabelEmailinfo->text(), kAboutEmailInfoText);
    EXPECT_FALSE(box.LabelCopyright->text().isEmpty());
    struct Place {
        QWidget* control;
        QPoint at;
    };
    const Place places[] = {{box.LabelVersion, {200, 183}}, {box.LabelWebsite, {168, 302}}, {box.LabelURL, {325, 302}},
                            {box.LabelEmailinfo, {168, 328}}, {box.LabelMail, {325, 328}},
                            {box.LabelCopyright, {168, 402}}};
    for (const Place& p : places) EXPECT_EQ(p.control->pos(), p.at) << p.control->objectName().toStdString();
    EXPECT_EQ(box.suiButton1->geometry(), QRect(357, 360, 80, 27));
    EXPECT_EQ(box.suiButton1->text(), "&OK");
    EXPECT_EQ(box.LabelURL->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(box.ImageAbout->geometry(), QRect(0, 0, 456, 426));

    Click(*box.LabelURL);
    Click(*box.LabelMail);
    Click(*box.LabelWebsite);  // not a link
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], QUrl(box.LabelURL->text()));
    EXPECT_EQ(shell.opened[1].toString(), "mailto:" + box.LabelMail->text());

    box.show();
    box.suiButton1->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST_F(HelpAboutTest, AboutMenuShowsTheBoxModally) {
    TMainForm& f = Start();
    int shown = 0;
    SetModalRunner([&](QDialog& dialog) {
        EXPECT_NE(qobject_cast<TAboutForm*>(&dialog), nullptr);
        ++shown;
        return static_cast<int>(QDialog::Accepted);
    });
    f.MenuAbout->trigger();
    EXPECT_EQ(shown, 1);
}

// ---- The Tools target ------------------------------------------------------------

struct DesktopFolders {
    TempDir dir;
    DesktopDirs dirs;
    DesktopFolders() {
        dirs.configHome = dir.file("config");
        dirs.configDirs = {dir.file("etc-xdg")};
        dirs.dataHome = dir.file("data");
        dirs.dataDirs = {dir.file("share")};
        dirs.path = {dir.file("bin")};
        for (const char* sub : {"config", "etc-xdg", "data/applications", "share/applications", "bin", "opt/my apps"})
            std::filesystem::create_directories(dir.file(sub));
    }
    void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    std::string Program(const std::string& relative, bool executable = true) {
        const std::string path = dir.file(relative);
        Write(path, "#!/bin/sh\n");
        ::chmod(path.c_str(), executable ? 0755 : 0644);
        return path;
    }
    void Entry(const std::string& folder, const std::string& id, const std::string& exec) {
        Write(dir.file(folder + "/applications/" + id), "[Desktop Entry]\nType=Application\nName=Velloran\nExec=" + exec +
                                                            "\nMimeType=application/x-velloran;\n");
    }
    void Default(const std::string& list, const std::string& ids) {
        Write(list, "[Added Associations]\napplication/x-velloran=other.desktop;\n[Default Applications]\n"
                    "application/x-velloran=" + ids + "\n");
    }
};

TEST(ToolsTargetTest, TheDefaultHandlersProgramElseTheWebPage) {
    struct Case {
        const char* what;
        std::function<std::string(DesktopFolders&)> arrange;  // returns the expected target
    };
    const Case cases[] = {
        {"quoted path with a blank, then a quoted %f",
         [](DesktopFolders& d) {
             const std::string p = d.Program("opt/my apps/velloran");
             d.Entry("data", "velloran.desktop", "\"" + p + "\" \"%f\"");
             d.Default(d.dirs.configHome + "/mimeapps.list", "velloran.desktop;");
             return p;
         }},
        {"unquoted absolute path",
         [](DesktopFolders& d) {
             const std::string p = d.Program("bin/velloran");
             d.Entry("share", "velloran.desktop", p + " %U");
             d.Default(d.dirs.dataDirs[0] + "/applications/mimeapps.list", "velloran.desktop");
             return p;
         }},
        {"program name found on the search path",
         [](DesktopFolders& d) {
             const std::string p = d.Program("bin/velloran-editor");
             d.Entry("data", "velloran.desktop", "velloran-editor %f");
             d.Default(d.dirs.configDirs[0] + "/mimeapps.list", "velloran.desktop");
             return p;
         }},
        {"escaped quote inside the quoted path",
         [](DesktopFolders& d) {
             const std::string p = d.Program("opt/my apps/vel\"loran");
             d.Entry("data", "velloran.desktop", "\"" + d.dir.file("opt/my apps/vel\\\\\"loran") + "\" %f");
             d.Default(d.dirs.configHome + "/mimeapps.list", "velloran.desktop");
             return p;
         }},
        {"first listed entry missing, the second installed",
         [](DesktopFolders& d) {
             const std::string p = d.Program("bin/velloran");
             d.Entry("data", "velloran2.desktop", p);
             d.Default(d.dirs.configHome + "/mimeapps.list", "gone.desktop;velloran2.desktop;");
             return p;
         }},
        {"no default set: the entry in mimeinfo.cache",
         [](DesktopFolders& d) {
             const std::string p = d.Program("bin/velloran");
             d.Entry("share", "velloran.desktop", p);
             d.Write(d.dirs.dataDirs[0] + "/applications/mimeinfo.cache",
                     "[MIME Cache]\napplication/x-velloran=velloran.desktop;\n");
             return p;
         }},
        {"program missing",
         [](DesktopFolders& d) {
             d.Entry("data", "velloran.desktop", "\"" + d.dir.file("opt/nothing") + "\" %f");
             d.Default(d.dirs.configHome + "/mimeapps.list", "velloran.desktop");
             return std::string(kCompanionWebPage);
         }},
        {"file that is not executable",
         [](DesktopFolders& d) {
             const std::string p = d.Program("bin/velloran", false);
             d.Entry("data", "velloran.desktop", p);
             d.Default(d.dirs.configHome + "/mimeapps.list", "velloran.desktop");
             return std::string(kCompanionWebPage);
         }},
        {"unterminated quote",
         [](DesktopFolders& d) {
             const std::string p = d.Program("bin/velloran");
             d.Entry("data", "velloran.desktop", "\"" + p);
             d.Default(d.dirs.configHome + "/mimeapps.list", "velloran.desktop");
             return std::string(kCompanionWebPage);
         }},
        {"no handler at all",
         [](DesktopFolders& d) {
             d.Program("bin/velloran");
             return std::string(kCompanionWebPage);
         }},
    };
    for (const Case& c : cases) {
        DesktopFolders d;
        const std::string expected = c.arrange(d);
        EXPECT_EQ(FindToolsTarget(d.dirs), expected) << c.what;
    }
}

TEST_F(HelpAboutTest, ToolsItemStartsTheProgramOrOpensTheWebPage) {
    TMainForm& f = Start();
    EXPECT_FALSE(f.ToolsTarget.empty());
    f.ToolsTarget = kCompanionWebPage;
    f.MenuVelloranEditor->trigger();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], QUrl(kCompanionWebPage));
    f.ToolsTarget = "/opt/velloran/velloran";
    f.MenuVelloranEditor->trigger();
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0], "/opt/velloran/velloran");
    EXPECT_TRUE(dialogs.boxes.empty());
}

}  // namespace
}  // namespace corvellin
