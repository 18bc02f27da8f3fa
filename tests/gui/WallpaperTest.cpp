// Set Wallpaper: the option dialog, and the command end to end into a real
// GSettings store. Each GSettings case runs in a child process of this test
// program with its own HOME, data folder and settings backend, because GIO
// fixes its backend and schemas once per process.
#include <QApplication>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "output/DesktopWallpaper.h"
#include "output/WallpaperOptForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Shell.h"

namespace corvellin {
namespace {

using test::TempDir;

constexpr const char* kChildVariable = "CORVELLIN_WALLPAPER_CHILD";

// ---- The option dialog --------------------------------------------------------

class WallpaperOptFormTest : public ::testing::Test {
protected:
    void SetUp() override { SetDialogSeam(&seam); }
    void TearDown() override { SetDialogSeam(nullptr); }
    test::RecordingSeam seam;
};

TEST_F(WallpaperOptFormTest, LayoutStartsWithCenterAndEachChoiceShowsItsPicture) {
    TWallpaperOptForm form(nullptr, -1, "");
    EXPECT_EQ(form.windowTitle(), "Desktop Wallpaper Option");
    EXPECT_EQ(form.size(), QSize(416, 311));
    EXPECT_FALSE(form.Confirmed);
    EXPECT_TRUE(form.RadioButtonCenter->isChecked());
    EXPECT_EQ(form.RadioButtonCenter->text(), "Center");
    EXPECT_EQ(form.RadioButtonTile->text(), "Tile");
    EXPECT_EQ(form.RadioButtonStretch->text(), "Stretch");
    EXPECT_EQ(form.BitBtnOK->text(), "&OK");
    EXPECT_EQ(form.BitBtnCancel->text(), "&Cancel");
    EXPECT_EQ(form.RadioButtonTile->pos(), QPoint(48, 116));
    EXPECT_EQ(form.BitBtnOK->geometry(), QRect(102, 256, 75, 25));
    EXPECT_EQ(form.BitBtnCancel->geometry(), QRect(246, 256, 75, 25));
    EXPECT_EQ(form.Bevel1->geometry(), QRect(24, 215, 377, 18));
    EXPECT_EQ(form.ImageTile->size(), QSize(178, 161));
    EXPECT_EQ(form.ImageCenter->size(), QSize(178, 160));

    struct Case {
        QRadioButton* button;
        QLabel* shown;
        int style;
    };
    const Case cases[] = {{form.RadioButtonTile, form.ImageTile, 1},
                          {form.RadioButtonStretch, form.ImageStretch, 2},
                          {form.RadioButtonCenter, form.ImageCenter, 0}};
    for (const Case& c : cases) {
        c.button->click();
        EXPECT_EQ(form.Style(), c.style);
        for (QLabel* image : {form.ImageCenter, form.ImageTile, form.ImageStretch}) {
            EXPECT_EQ(!image->isHidden(), image == c.shown) << image->objectName().toStdString();
            if (image == c.shown) {
                EXPECT_EQ(image->pos(), QPoint(200, 49));
            }
        }
    }
    // The three pictures differ: each shows its own style.
    EXPECT_NE(TWallpaperOptForm::Illustration(0), TWallpaperOptForm::Illustration(2));
    EXPECT_NE(TWallpaperOptForm::Illustration(0).copy(0, 0, 178, 160),
              TWallpaperOptForm::Illustration(1).copy(0, 0, 178, 160));
}

TEST_F(WallpaperOptFormTest, OkWithoutAChoiceAsksForOneAndCancelConfirmsNothing) {
    TWallpaperOptForm form(nullptr, -1, "");
    for (QRadioButton* b : {form.RadioButtonCenter, form.RadioButtonTile, form.RadioButtonStretch}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
    }
    form.BitBtnOK->click();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].kind, MessageKind::Information);
    EXPECT_EQ(seam.boxes[0].title, "Information");
    EXPECT_EQ(seam.boxes[0].text, "Please select an option for wallpaper!");
    EXPECT_FALSE(form.Confirmed);
    EXPECT_EQ(form.result(), QDialog::Rejected);

    form.RadioButtonTile->click();
    form.BitBtnOK->click();
    EXPECT_TRUE(form.Confirmed);
    EXPECT_EQ(form.result(), QDialog::Accepted);
    EXPECT_EQ(form.Style(), 1);

    TWallpaperOptForm cancelled(nullptr, -1, "");
    cancelled.BitBtnCancel->click();
    EXPECT_FALSE(cancelled.Confirmed);
    EXPECT_EQ(seam.boxes.size(), 1u);
}

TEST_F(WallpaperOptFormTest, CaptionsComeFromTheLanguageFile) {
    TempDir dir;
    const std::string file = dir.file("de.ini");
    std::ofstream(file) << "[Info]\nLanguage=Deutsch\n[String]\nDesktop Wallpaper Option=Hintergrundbild\n"
                           "Center=Mitte\nTile=Kacheln\n&Cancel=&Abbrechen\n"
                           "Please select an option for wallpaper!=Bitte eine Option w\xc3\xa4hlen!\n";
    TWallpaperOptForm form(nullptr, 0, file);
    EXPECT_EQ(form.windowTitle(), "Hintergrundbild");
    EXPECT_EQ(form.RadioButtonCenter->text(), "Mitte");
    EXPECT_EQ(form.RadioButtonTile->text(), "Kacheln");
    EXPECT_EQ(form.RadioButtonStretch->text(), "Stretch");  // untranslated: the built-in text
    EXPECT_EQ(form.BitBtnCancel->text(), "&Abbrechen");
    EXPECT_EQ(form.Message, QString::fromUtf8("Bitte eine Option w\xc3\xa4hlen!"));
}

TEST(WallpaperStyleTest, StylesMapToPictureOptions) {
    EXPECT_STREQ(WallpaperPictureOption(0), "centered");
    EXPECT_STREQ(WallpaperPictureOption(1), "wallpaper");
    EXPECT_STREQ(WallpaperPictureOption(2), "stretched");
}

// ---- The command ----------------------------------------------------------------

// The editor with masks for Preset and Star, the picture in.jpg opened, Preset 3
// applied, Star 5 applied and undone, and Star 2 only previewed: the committed
// history is the one call 1:3.
struct EditorSetup {
    TempDir dir;
    test::RecordingSeam seam;
    std::unique_ptr<TMainForm> form;
    std::string picDir;
    std::string input;

    EditorSetup() {
        SetDialogSeam(&seam);
        picDir = dir.path() + "/pic";
        for (int category : {1, 6})
            for (int n = 1; n <= 10; ++n)
                test::WriteMaskFile(picDir, category, n,
                                    test::RandomPicture(48, 32, static_cast<std::uint32_t>(category * 100 + n)));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(320, 200, 3), 90));
        input = dir.file("in.jpg");
        test::WriteBytes(input, EncodeJpeg(test::RandomPicture(700, 430, 5), 90));
        form = std::make_unique<TMainForm>(dir.path() + "/");
        seam.answers.push_back({QString::fromStdString(input), 1});
        form->suitempBitBtnOpenClick();
        form->ImageClick(form->Thumbnails[3]);
        form->suitempBitBtnApplyClick();
        form->suitempButtonStarClick(form->ButtonStar);
        form->ImageClick(form->Thumbnails[5]);
        form->suitempBitBtnApplyClick();
        form->suitempBitBtnUndoClick();
        form->ImageClick(form->Thumbnails[2]);
    }
    ~EditorSetup() {
        form.reset();
        SetDialogSeam(nullptr);
        SetModalRunner({});
    }
    // The option dialog answers with a style (-1: Cancel); counts its showings.
    int shown = 0;
    void AnswerDialog(int style) {
        SetModalRunner([this, style](QDialog& dialog) {
            ++shown;
            auto* options = qobject_cast<TWallpaperOptForm*>(&dialog);
            if (!options || style < 0) {
                if (options) options->BitBtnCancel->click();
                return static_cast<int>(QDialog::Rejected);
            }
            QRadioButton* buttons[] = {options->RadioButtonCenter, options->RadioButtonTile,
                                       options->RadioButtonStretch};
            buttons[style]->click();
            options->BitBtnOK->click();
            return dialog.result();
        });
    }
    // The BMP that corvellin-fx writes for the committed history.
    std::vector<std::uint8_t> FxBmp() {
        const std::string out = dir.file("fx.bmp");
        const std::string command = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx apply --pic-dir '" + picDir +
                                    "' '" + input + "' '" + out + "' 1:3";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        return test::ReadBytes(out);
    }
};

// A folder whose "TarnwickDesktop.bmp" path has exactly the given length.
std::string FolderForPathLength(const std::string& base, int length) {
    std::string folder = base + "/";
    const int needed = length - static_cast<int>(std::string(kWallpaperFileName).size());
    while (static_cast<int>(folder.size()) < needed) {
        const int room = needed - static_cast<int>(folder.size()) - 1;  // one for the '/'
        folder += std::string(static_cast<std::size_t>(std::min(room, 200)), 'd') + "/";
    }
    std::filesystem::create_directories(folder);
    return folder;
}

TEST(WallpaperCommandTest, CancelEmptyPictureAndOverLongPathChangeNothing) {
    EditorSetup setup;
    TMainForm& f = *setup.form;
    const std::string programFile = setup.dir.file(kWallpaperFileName);

    setup.AnswerDialog(-1);
    f.suiButtonWallPaperClick();
    EXPECT_EQ(setup.shown, 1);
    EXPECT_FALSE(std::filesystem::exists(programFile));
    EXPECT_TRUE(setup.seam.boxes.empty());

    // 260 characters: refused before the replay, nothing written.
    const std::string folder = FolderForPathLength(setup.dir.path() + "/long", 260);
    f.ProgramDir = folder;
    ASSERT_EQ(f.WallpaperFilePath().size(), 260u);
    // A replay would start the bar at 0: a position of our own shows none ran.
    f.suiProgressBar1->setPosition(-5);
    setup.AnswerDialog(0);
    f.suiButtonWallPaperClick();
    ASSERT_EQ(setup.seam.boxes.size(), 1u);
    EXPECT_EQ(setup.seam.boxes[0].title, "Error");
    EXPECT_TRUE(setup.seam.boxes[0].text.startsWith("The wallpaper file path is too long: 260 characters, at most 259"))
        << setup.seam.boxes[0].text.toStdString();
    EXPECT_FALSE(std::filesystem::exists(folder + kWallpaperFileName));
    EXPECT_EQ(f.suiProgressBar1->positionsSinceShown().back(), -5);
    EXPECT_EQ(f.suiProgressBar1->position(), -5);

    // No picture: a message, and no dialog.
    f.FullSizePicture = Picture();
    setup.shown = 0;
    f.suiButtonWallPaperClick();
    EXPECT_EQ(setup.shown, 0);
    ASSERT_EQ(setup.seam.boxes.size(), 2u);
    EXPECT_EQ(setup.seam.boxes[1].title, "Information");
    EXPECT_EQ(setup.seam.boxes[1].text, kNoWallpaperPictureText);
}

// ---- The command into a real GSettings store (child processes) ---------------------

enum class Store { Keyfile, NoSchema, Memory };
enum class Folder { Writable, ReadOnly, Path259 };

struct GsCase {
    const char* name;
    int style;
    Folder folder;
    Store store;
    const char* option;  // expected picture-options; nullptr: an error box instead
    const char* error;   // part of the error text
};

const GsCase kGsCases[] = {
    {"Center", 0, Folder::Writable, Store::Keyfile, "centered", nullptr},
    {"Tile", 1, Folder::Writable, Store::Keyfile, "wallpaper", nullptr},
    {"Stretch", 2, Folder::Writable, Store::Keyfile, "stretched", nullptr},
    {"ReadOnlyProgramFolder", 1, Folder::ReadOnly, Store::Keyfile, "wallpaper", nullptr},
    {"PathOf259Characters", 2, Folder::Path259, Store::Keyfile, "stretched", nullptr},
    {"NoSchema", 0, Folder::Writable, Store::NoSchema, nullptr, "has no \"org.gnome.desktop.background\" settings"},
    {"MemoryOnlyStore", 0, Folder::Writable, Store::Memory, nullptr, "no settings store"},
};

void PrintTo(const GsCase& c, std::ostream* out) { *out << c.name; }

class WallpaperGSettingsTest : public ::testing::TestWithParam<GsCase> {};

std::string Gsettings(const QString& key) {
    QProcess p;
    p.start("gsettings", {"get", kBackgroundSchema, key});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed().toStdString();
}

// The child: runs the command in this process's own environment and checks the
// store with the gsettings tool.
void RunChild(const GsCase& c, const std::string& readOnlyFolder) {
    EditorSetup setup;
    TMainForm& f = *setup.form;
    std::string expectedFolder = setup.dir.path() + "/";
    if (c.folder == Folder::ReadOnly) {
        f.ProgramDir = readOnlyFolder;
        expectedFolder = std::string(std::getenv("XDG_DATA_HOME")) + "/Corvellin Photo/";
    } else if (c.folder == Folder::Path259) {
        f.ProgramDir = FolderForPathLength(setup.dir.path() + "/long", 259);
        expectedFolder = f.ProgramDir;
    }
    const std::string file = expectedFolder + kWallpaperFileName;
    const std::string before = c.store == Store::Keyfile ? Gsettings("picture-uri") : std::string();

    setup.AnswerDialog(c.style);
    // Two uses in a row write and set the same file twice.
    for (int use = 0; use < 2; ++use) {
        f.suiButtonWallPaperClick();
        EXPECT_EQ(test::ReadBytes(file), setup.FxBmp()) << "use " << use;
    }
    EXPECT_EQ(setup.shown, 2);
    EXPECT_FALSE(std::filesystem::exists(readOnlyFolder + kWallpaperFileName));
    if (c.option) {
        EXPECT_TRUE(setup.seam.boxes.empty()) << setup.seam.boxes[0].text.toStdString();
        const std::string uri =
            "'" + QUrl::fromLocalFile(QString::fromStdString(file)).toString(QUrl::FullyEncoded).toStdString() + "'";
        EXPECT_EQ(Gsettings("picture-uri"), uri);
        EXPECT_EQ(Gsettings("picture-uri-dark"), uri);
        EXPECT_EQ(Gsettings("picture-options"), "'" + std::string(c.option) + "'");
        EXPECT_NE(before, uri);
    } else {
        ASSERT_EQ(setup.seam.boxes.size(), 2u);
        EXPECT_EQ(setup.seam.boxes[0].title, "Error");
        EXPECT_TRUE(setup.seam.boxes[0].text.contains(c.error)) << setup.seam.boxes[0].text.toStdString();
        // Nothing reached a store.
        const std::string keyfile = std::string(std::getenv("XDG_CONFIG_HOME")) + "/glib-2.0/settings/keyfile";
        EXPECT_FALSE(std::filesystem::exists(keyfile));
    }
    EXPECT_FALSE(f.Busy());
    EXPECT_TRUE(f.suiProgressBar1->isHidden());
}

TEST_P(WallpaperGSettingsTest, SetsTheDesktopBackground) {
    const GsCase& c = GetParam();
    if (const char* child = std::getenv(kChildVariable)) {
        RunChild(c, child);
        return;
    }
    TempDir dir;
    for (const char* sub : {"home", "data", "empty/schemas", "program", "readonly"})
        std::filesystem::create_directories(dir.file(sub));
    QProcess schemas;
    schemas.start("glib-compile-schemas", {QString::fromStdString(dir.file("empty/schemas"))});
    schemas.waitForFinished(30000);

    // A read-only view of a folder: root writes everywhere else.
    const std::string readOnly = dir.file("readonly") + "/";
    ASSERT_EQ(::mount(dir.file("program").c_str(), readOnly.c_str(), nullptr, MS_BIND, nullptr), 0);
    const int remount = ::mount(nullptr, readOnly.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr);

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(kChildVariable, QString::fromStdString(readOnly));
    env.insert("HOME", QString::fromStdString(dir.file("home")));
    env.insert("XDG_DATA_HOME", QString::fromStdString(dir.file("data")));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("GSETTINGS_BACKEND", c.store == Store::Memory ? "memory" : "keyfile");
    env.remove("XDG_CONFIG_HOME");  // the test program gives each process its own
    if (c.store == Store::NoSchema) {
        env.insert("GSETTINGS_SCHEMA_DIR", QString::fromStdString(dir.file("empty/schemas")));
        env.insert("XDG_DATA_DIRS", QString::fromStdString(dir.file("empty")));
    }
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    QProcess child;
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start("/proc/self/exe", {QString("--gtest_filter=%1.%2").arg(info->test_suite_name(), info->name())});
    const bool finished = child.waitForFinished(300000);
    const QString output = QString::fromUtf8(child.readAll());
    ::umount2(readOnly.c_str(), MNT_DETACH);
    ASSERT_EQ(remount, 0);
    ASSERT_TRUE(finished);
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Cases, WallpaperGSettingsTest, ::testing::ValuesIn(kGsCases),
                         [](const ::testing::TestParamInfo<GsCase>& testCase) { return std::string(testCase.param.name); });

}  // namespace
}  // namespace corvellin
