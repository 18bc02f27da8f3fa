#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>

#include "RecordingSeam.h"
#include "RecordingShell.h"
#include "ScopedConfigHome.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Shell.h"
#include "settings/Ini.h"
#include "settings/SettingsFile.h"

namespace corvellin {
namespace {

void WriteText(const std::string& path, const std::string& text) {
    test::WriteBytes(path, std::vector<std::uint8_t>(text.begin(), text.end()));
}

using test::RecordingShell;

class LanguageMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        SetShellSeam(&shell);
        for (int n = 1; n <= 10; ++n) test::WriteMaskFile(dir.file("pic"), 1, n, test::RandomPicture(16, 16, n));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(64, 48), 90));
        WriteText(dir.file("Languages/chinese.ini"), "[Info]\nLanguage=Chinese\n[String]\n&OPEN=\xE6\x89\x93\xE5\xBC\x80(&O)\n");
        WriteText(dir.file("Languages/template.ini"), "[Info]\nLanguage=Template\n[String]\n&Open=x\n");
        WriteText(dir.file("Languages/zh-tw.ini"), "[Info]\nLanguage=Chinese Traditional\n[String]\n&Open=T\n&Edit=E\n");
        WriteText(dir.file("Languages/blank.ini"), "[Info]\nLanguage=  \n");
        // The settings file of this test lives in its own folder.
        configHome.emplace(dir.file("config"));
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
        SetShellSeam(nullptr);
        configHome.reset();
    }
    TMainForm& Start() {
        form = std::make_unique<TMainForm>(dir.path() + "/");
        return *form;
    }
    QStringList MenuTexts() const {
        QStringList texts;
        for (QAction* action : form->Languages1->actions())
            if (action->isVisible()) texts << (action->isSeparator() ? QString("-") : action->text());
        return texts;
    }
    QAction* Item(const QString& text) const {
        for (QAction* action : form->Languages1->actions())
            if (action->text() == text) return action;
        return nullptr;
    }

    test::TempDir dir;
    test::RecordingSeam seam;
    RecordingShell shell;
    std::optional<test::ScopedConfigHome> configHome;
    std::unique_ptr<TMainForm> form;
};

TEST_F(LanguageMenuTest, MenuOffersTheFilesItCanShowAndKeepsTheirIndexes) {
    TMainForm& f = Start();
    // blank.ini (0), chinese.ini (1), template.ini (2), zh-tw.ini (3).
    EXPECT_EQ(MenuTexts(), (QStringList{"&English", "-", "Chinese", "Chinese Traditional", "&More Languages..."}));
    EXPECT_EQ(Item("Chinese")->data().toInt(), 1);
    EXPECT_EQ(Item("Chinese Traditional")->data().toInt(), 3);
    EXPECT_TRUE(f.MenuEnglish->isChecked());
    EXPECT_EQ(f.LanguageIndex, -1);
    // Built-in English texts after start-up, which differ from some design captions.
    EXPECT_EQ(f.ButtonLightB->text(), "&Light&B");
    EXPECT_EQ(f.ButtonStar->text(), "&Star");
    EXPECT_EQ(f.StatusPanels[0]->text(), "Click the small photo to preview and apply this effection");
}

TEST_F(LanguageMenuTest, SwitchingTranslatesOnlyWhatTheFileHasAndEnglishRestoresIt) {
    TMainForm& f = Start();
    Item("Chinese")->trigger();
    EXPECT_EQ(f.LanguageIndex, 1);
    EXPECT_EQ(f.BitBtnOpen->text(), QString::fromUtf8("\xE6\x89\x93\xE5\xBC\x80(&O)"));  // key in capitals matched
    EXPECT_EQ(f.MenuOpen->text(), f.BitBtnOpen->text());
    EXPECT_EQ(f.BitBtnSave->text(), "&Save");
    EXPECT_TRUE(Item("Chinese")->isChecked());
    EXPECT_FALSE(f.MenuEnglish->isChecked());

    Item("Chinese Traditional")->trigger();
    EXPECT_EQ(f.LanguageIndex, 3);
    EXPECT_EQ(f.Edit1->title(), "E");

    f.MenuMoreLanguages->trigger();  // changes neither the check mark nor the index
    EXPECT_EQ(f.LanguageIndex, 3);
    ASSERT_EQ(shell.opened.size(), 1u);  // the folder the translations are read from
    EXPECT_EQ(shell.opened[0], QUrl::fromLocalFile(QString::fromStdString(dir.file("Languages"))));
    EXPECT_TRUE(Item("Chinese Traditional")->isChecked());

    f.MenuEnglish->trigger();
    EXPECT_EQ(f.LanguageIndex, -1);
    EXPECT_EQ(f.BitBtnOpen->text(), "&Open");
    EXPECT_EQ(f.Edit1->title(), "&Edit");
    EXPECT_TRUE(f.MenuEnglish->isChecked());
}

TEST_F(LanguageMenuTest, TheChoiceAndTheLayoutAreRememberedBetweenRuns) {
    Start();
    Item("Chinese Traditional")->trigger();
    form->PrintLayout.Scale = 42.5;
    form.reset();
    const IniFile saved = IniFile::Load(dir.file("config/Corvellin Photo/cfg.ini"));
    EXPECT_EQ(saved.ReadInteger("Language", "index", 0), 3);
    EXPECT_EQ(saved.ReadString("PrintPrew", "Scale"), "42.5");

    TMainForm& again = Start();
    EXPECT_EQ(again.LanguageIndex, 3);
    EXPECT_TRUE(Item("Chinese Traditional")->isChecked());
    EXPECT_EQ(again.BitBtnOpen->text(), "T");
    EXPECT_EQ(again.PrintLayout.Scale, 42.5);
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(LanguageMenuTest, AStoredIndexThatNamesNoOfferedFileIsEnglish) {
    IniFile stale;
    stale.WriteInteger("Language", "index", 2);  // template.ini
    ASSERT_TRUE(EnsureFolder(dir.file("config/Corvellin Photo")));
    WriteIniFile(dir.file("config/Corvellin Photo/cfg.ini"), stale);
    TMainForm& f = Start();
    EXPECT_EQ(f.LanguageIndex, -1);
    EXPECT_TRUE(f.MenuEnglish->isChecked());
    EXPECT_EQ(f.BitBtnOpen->text(), "&Open");
}

TEST_F(LanguageMenuTest, AnEmptyFolderOffersEnglishOnly) {
    std::filesystem::remove_all(dir.file("Languages"));
    Start();
    EXPECT_EQ(MenuTexts(), (QStringList{"&English", "-"}));
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("Languages")));  // created at start-up
}

}  // namespace
}  // namespace corvellin
