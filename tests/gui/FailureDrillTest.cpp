// Failure drills on the editor window: writes that fail part-way, files that
// vanish or rot while the editor runs, hostile language files, absurd and cut
// files of every kind the window reads. Each drill checks that the user is
// told and that nothing is lost: files on disk, the picture and its history.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <random>

#include "Mounts.h"
#include "RecordingSeam.h"
#include "ScopedConfigHome.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/JpegCodec.h"
#include "picture/Limits.h"
#include "picture/PictureFile.h"
#include "platform/qt/Dialogs.h"
#include "settings/Ini.h"
#include "settings/SettingsFile.h"

namespace corvellin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// What the user has built up in the editor: none of it may change when a
// command fails.
struct EditorState {
    Picture full, working, preview;
    QString memo, status;
    int category = 0;
    bool undo = false, redo = false;
    bool operator==(const EditorState&) const = default;
};

EditorState StateOf(const TMainForm& f) {
    return {f.FullSizePicture, f.WorkingPicture(), f.PreviewPicture(), f.Memo1->toPlainText(),
            f.StatusPanels[1]->text(), f.CurrentCategory, f.BitBtnUndo->isEnabled(), f.BitBtnReDo->isEnabled()};
}

// A message that names a file: "<path>" in text stands for it.
std::string Naming(std::string text, const std::string& path) {
    if (const auto at = text.find("<path>"); at != std::string::npos) text.replace(at, 6, path);
    return text;
}

constexpr const char* kShortMask = "Mask file \"<path>\" is damaged: it holds 0 bytes, fewer than the 100 of a mask header.";
constexpr const char* kBadBitmap = "Bitmap image is not valid";
constexpr const char* kTooLarge = "Cannot read file \"<path>\". It is larger than 1024 MiB, the most this editor reads.";

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename());
    std::sort(names.begin(), names.end());
    return names;
}

Bytes RandomBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 random(seed);
    Bytes bytes(size);
    for (std::uint8_t& b : bytes) b = static_cast<std::uint8_t>(random());
    return bytes;
}

Bytes Text(const std::string& text) { return Bytes(text.begin(), text.end()); }

class FailureDrill : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        picDir = dir.file("pic");
        for (int category : {1, 6})
            for (int n = 1; n <= 10; ++n)
                test::WriteMaskFile(picDir, category, n,
                                    test::RandomPicture(48, 32, static_cast<std::uint32_t>(category * 100 + n)));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(320, 200, 7), 90));
        configHome.emplace(dir.file("config"));
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
        configHome.reset();
    }
    TMainForm& Start() {
        form = std::make_unique<TMainForm>(dir.path() + "/");
        return *form;
    }
    void Open(const std::string& path) {
        seam.answers.push_back({QString::fromStdString(path), 1});
        form->suitempBitBtnOpenClick();
    }
    void Save(const std::string& path, int entry) {
        seam.answers.push_back({QString::fromStdString(path), entry});
        form->suitempBitBtnSaveClick();
    }
    // A picture with two committed effects (Preset 2, Star 5) and Star current:
    // the state a failing command must keep.
    TMainForm& StartEdited() {
        TMainForm& f = Start();
        test::WriteBytes(dir.file("photo.jpg"), EncodeJpeg(test::RandomPicture(600, 400, 3), 90));
        Open(dir.file("photo.jpg"));
        f.ImageClick(f.Thumbnails[2]);
        f.suitempBitBtnApplyClick();
        f.suitempButtonStarClick(f.ButtonStar);
        f.ImageClick(f.Thumbnails[5]);
        f.suitempBitBtnApplyClick();
        EXPECT_TRUE(seam.take().empty());
        return f;
    }

    test::TempDir dir;
    test::RecordingSeam seam;
    std::string picDir;
    std::optional<test::ScopedConfigHome> configHome;
    std::unique_ptr<TMainForm> form;
};

// ---- a. Save onto an existing file when the write fails part-way -------------

TEST_F(FailureDrill, SaveThatFailsPartWayKeepsTheOldFileAndTheEditor) {
    TMainForm& f = StartEdited();
    fs::create_directories(dir.file("good"));
    Save(dir.file("good/before.jpg"), 1);
    Save(dir.file("good/before.bmp"), 2);
    ASSERT_TRUE(seam.take().empty());
    const EditorState state = StateOf(f);

    struct Case {
        const char* name;
        const char* options;  // the tmpfs
        bool readOnly;        // the folder made read-only after the old file is in it
        int entry;            // 1 JPEG, 2 BMP
        const char* message;  // how the writer words the failure
    };
    // The old files take a few kilobytes; the new pictures (600 x 400 of noise)
    // take hundreds, more than the 64 KiB file system has.
    const Case cases[] = {
        {"full disk, JPEG", "size=64k", false, 1, "Cannot write file \"%s\". No space left on device"},
        {"full disk, BMP", "size=64k", false, 2, "Cannot write file \"%s\". No space left on device"},
        {"read-only folder, JPEG", "size=1m", true, 1, "Cannot create file \"%s\". Read-only file system"},
        {"read-only folder, BMP", "size=1m", true, 2, "Cannot create file \"%s\". Read-only file system"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir target;
        test::ScopedMount mount;
        CORVELLIN_MOUNT_OR_SKIP(mount.MountTmpfs(target.path(), c.options));
        const std::string path = target.file(c.entry == 1 ? "photo.jpg" : "photo.bmp");
        const Bytes old = c.entry == 1 ? EncodeJpeg(test::RandomPicture(24, 24, 9), 90)
                                       : EncodeBmp(test::RandomPicture(24, 24, 9));
        test::WriteBytes(path, old);
        if (c.readOnly) {
            CORVELLIN_MOUNT_OR_SKIP(mount.RemountReadOnly());
        }

        Save(path, c.entry);

        EXPECT_EQ(seam.boxes.size(), 1u);
        if (!seam.boxes.empty()) {
            EXPECT_EQ(seam.boxes[0].kind, MessageKind::Error);
            EXPECT_EQ(seam.boxes[0].title, "Error");
        }
        EXPECT_EQ(seam.take(), std::vector<std::string>{Format(c.message, path.c_str())});
        EXPECT_EQ(test::ReadBytes(path), old) << "the old file changed";
        EXPECT_EQ(Listing(target.path()), std::vector<std::string>{fs::path(path).filename()})
            << "a temporary file was left behind";
        EXPECT_TRUE(StateOf(f) == state) << "the editor's picture or history changed";
        EXPECT_TRUE(f.suiProgressBar1->isHidden());
        EXPECT_FALSE(f.Busy());
    }

    // A later Save to a good folder writes what the editor wrote before the failures.
    Save(dir.file("good/after.jpg"), 1);
    Save(dir.file("good/after.bmp"), 2);
    EXPECT_TRUE(seam.take().empty());
    EXPECT_EQ(test::ReadBytes(dir.file("good/after.jpg")), test::ReadBytes(dir.file("good/before.jpg")));
    EXPECT_EQ(test::ReadBytes(dir.file("good/after.bmp")), test::ReadBytes(dir.file("good/before.bmp")));
}

TEST_F(FailureDrill, SaveIntoAFolderThatIsAFileChangesNothing) {
    TMainForm& f = StartEdited();
    const EditorState state = StateOf(f);
    test::WriteBytes(dir.file("plain"), {1, 2, 3});
    const std::string path = dir.file("plain/photo.jpg");
    Save(path, 1);
    EXPECT_EQ(seam.take(), std::vector<std::string>{"Cannot create file \"" + path + "\". Not a directory"});
    EXPECT_EQ(test::ReadBytes(dir.file("plain")), (Bytes{1, 2, 3}));
    EXPECT_TRUE(StateOf(f) == state);
}

// ---- b. Mask files deleted or corrupted while the editor runs -----------------

TEST_F(FailureDrill, MaskFileThatVanishesOrRotsFailsItsRenderOnly) {
    const Bytes intact = test::ReadBytes(dir.file("pic/6/4.gph"));
    struct Case {
        const char* name;
        std::function<void(const std::string& path)> damage;
        const char* message;
    };
    const Case cases[] = {
        {"deleted", [](const std::string& path) { fs::remove(path); },
         "Cannot open file \"<path>\". No such file or directory"},
        {"cut in half", [&](const std::string& path) { test::WriteBytes(path, Bytes(intact.begin(), intact.begin() + intact.size() / 2)); },
         kBadBitmap},
        {"overwritten with noise", [&](const std::string& path) { test::WriteBytes(path, RandomBytes(intact.size(), 5)); },
         kBadBitmap},
        {"emptied", [](const std::string& path) { test::WriteBytes(path, {}); }, kShortMask},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteBytes(dir.file("pic/6/4.gph"), intact);
        TMainForm& f = StartEdited();  // Star current; variation 3 reads pic/6/4.gph
        const std::string mask = dir.file("pic/6/4.gph");
        c.damage(mask);
        const std::string expected = Naming(c.message, mask);
        const EditorState state = StateOf(f);

        // The thumbnail's preview.
        f.ImageClick(f.Thumbnails[3]);
        EXPECT_EQ(seam.take(), std::vector<std::string>{expected});
        EXPECT_TRUE(StateOf(f) == state);
        EXPECT_EQ(f.CurrentVariation, -1);
        EXPECT_FALSE(f.BitBtnApply->isEnabled());

        // The category's refresh.
        f.RefreshCategory();
        EXPECT_EQ(seam.take(), std::vector<std::string>{expected});
        EXPECT_TRUE(StateOf(f) == state);
        EXPECT_FALSE(f.Busy());

        // Apply of another variation records it; the refresh after it reports the mask.
        f.ImageClick(f.Thumbnails[7]);
        const Picture applied = f.PreviewPicture();
        f.suitempBitBtnApplyClick();
        EXPECT_EQ(seam.take(), std::vector<std::string>{expected});
        EXPECT_EQ(f.WorkingPicture(), applied);
        EXPECT_TRUE(f.Memo1->toPlainText().endsWith("6,7,-1,32768 <<")) << f.Memo1->toPlainText().toStdString();
        f.suitempBitBtnUndoClick();  // its refresh fails too, the undo itself does not
        EXPECT_EQ(seam.take(), std::vector<std::string>{expected});
        EXPECT_EQ(f.WorkingPicture(), state.working);

        // Save replays Star 5, which needs no damaged file; a Star 3 in the
        // history does, and that replay fails without writing anything.
        const std::string out = dir.file("out-" + std::to_string(&c - cases) + ".jpg");
        Save(out, 1);
        EXPECT_TRUE(seam.take().empty());
        EXPECT_TRUE(fs::exists(out));
        test::WriteBytes(mask, intact);
        f.ImageClick(f.Thumbnails[3]);
        f.suitempBitBtnApplyClick();
        c.damage(mask);
        const EditorState withStar3 = StateOf(f);
        const std::string failed = dir.file("failed.jpg");
        Save(failed, 1);
        EXPECT_EQ(seam.take(), std::vector<std::string>{expected});
        EXPECT_FALSE(fs::exists(failed));
        EXPECT_TRUE(StateOf(f) == withStar3);
        EXPECT_TRUE(f.suiProgressBar1->isHidden());

        // Other categories go on working.
        f.suitempButtonPresetClick(f.ButtonPreset);
        EXPECT_TRUE(seam.take().empty());
        EXPECT_EQ(f.CurrentCategory, 1);
        f.ImageClick(f.Thumbnails[1]);
        EXPECT_TRUE(seam.take().empty());
        EXPECT_TRUE(f.BitBtnApply->isEnabled());
        EXPECT_NE(f.PreviewPicture(), f.WorkingPicture());

        // With the file back, the same Save works.
        test::WriteBytes(mask, intact);
        Save(failed, 1);
        EXPECT_TRUE(seam.take().empty());
        EXPECT_TRUE(fs::exists(failed));
        fs::remove(failed);
        form.reset();
    }
}

// ---- c. The settings folder cannot be written at shutdown --------------------

TEST_F(FailureDrill, UnwritableSettingsFolderAtShutdownIsReported) {
    struct Case {
        const char* name;
        std::string configHome;
        bool readOnly;
    };
    test::WriteBytes(dir.file("plain"), {1});
    const Case cases[] = {
        // The case without a mount first: it runs also where mounting is not permitted.
        {"folder under a regular file", dir.file("plain/config"), false},
        {"read-only bind mount", dir.file("ro-config"), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScopedMount mount;
        const std::string cfg = c.configHome + "/Corvellin Photo/cfg.ini";
        if (c.readOnly) {
            test::WriteBytes(cfg, Text("[Language]\nindex=-1\n"));
            CORVELLIN_MOUNT_OR_SKIP(mount.BindReadOnly(c.configHome));
        }
        setenv("XDG_CONFIG_HOME", c.configHome.c_str(), 1);
        Start();
        EXPECT_TRUE(seam.take().empty()) << "start-up reads what it can and says nothing";
        form.reset();
        EXPECT_EQ(seam.take(), std::vector<std::string>{"Unable to write to " + cfg});
        if (c.readOnly) {
            EXPECT_EQ(test::ReadBytes(cfg), Text("[Language]\nindex=-1\n"));
            EXPECT_EQ(Listing(c.configHome + "/Corvellin Photo"), std::vector<std::string>{"cfg.ini"});
        }
    }
}

// ---- d. Hostile language files ----------------------------------------------

TEST_F(FailureDrill, GarbageAndHugeLanguageFilesLeaveWorkingCaptions) {
    // Binary garbage with and without a name, 10 MB of padding around two real
    // translations, and a file just past the size limit.
    Bytes named = Text("[Info]\r\nLanguage=Garbage\r\n[String]\r\n");
    const Bytes noise = RandomBytes(256 * 1024, 17);
    named.insert(named.end(), noise.begin(), noise.end());
    test::WriteBytes(dir.file("Languages/a-noise.ini"), RandomBytes(256 * 1024, 19));
    test::WriteBytes(dir.file("Languages/b-garbage.ini"), named);
    std::string huge = "[Info]\nLanguage=Huge\n[String]\n&Save=" + std::string(3 << 20, 'S') + "\n";
    while (huge.size() < 10u * 1000 * 1000) huge += "; " + std::string(1000, 'p') + "\n" + std::string(1000, '=') + "\n";
    huge += "&Open=Offnen\n";
    test::WriteBytes(dir.file("Languages/c-huge.ini"), Text(huge));
    std::string tooLarge = "[Info]\nLanguage=TooLarge\n";
    tooLarge.resize(kMaxIniFileBytes + 1, '\n');
    test::WriteBytes(dir.file("Languages/d-too-large.ini"), Text(tooLarge));
    // The stored choice names the nameless file.
    IniFile stored;
    stored.WriteInteger("Language", "index", 0);
    ASSERT_TRUE(EnsureFolder(dir.file("config/Corvellin Photo")));
    WriteIniFile(dir.file("config/Corvellin Photo/cfg.ini"), stored);

    TMainForm& f = Start();
    EXPECT_TRUE(seam.take().empty());
    EXPECT_EQ(f.LanguageIndex, -1);
    EXPECT_TRUE(f.MenuEnglish->isChecked());
    QStringList offered;
    for (QAction* a : f.Languages1->actions())
        if (a->isVisible() && !a->isSeparator()) offered << a->text();
    EXPECT_EQ(offered, (QStringList{"&English", "Garbage", "Huge", "&More Languages..."}));

    auto captions = [&] {
        QStringList texts;
        for (QPushButton* b : f.findChildren<QPushButton*>()) texts << b->objectName() + "=" + b->text();
        for (QMenu* m : f.findChildren<QMenu*>()) texts << m->objectName() + "=" + m->title();
        texts << f.Label1->text() << f.Label2->text() << f.StatusPanels[0]->text();
        return texts;
    };
    const QStringList english = captions();
    auto choose = [&](const QString& name) {
        for (QAction* a : f.Languages1->actions())
            if (a->text() == name) a->trigger();
    };

    choose("Garbage");
    EXPECT_EQ(f.LanguageIndex, 1);
    EXPECT_EQ(captions(), english) << "garbage holds no translation: every caption stays English";

    choose("Huge");
    EXPECT_EQ(f.LanguageIndex, 2);
    EXPECT_EQ(f.BitBtnOpen->text(), "Offnen") << "the translation after 10 MB was read";
    EXPECT_EQ(f.BitBtnSave->text(), QString(static_cast<int>(kIniValueLimit), 'S'));
    EXPECT_EQ(f.ButtonStar->text(), "&Star");

    f.MenuEnglish->trigger();
    EXPECT_EQ(captions(), english);
    // The editor still works after the languages.
    f.suitempButtonStarClick(f.ButtonStar);
    f.ImageClick(f.Thumbnails[0]);
    EXPECT_TRUE(f.BitBtnApply->isEnabled());
    EXPECT_TRUE(seam.take().empty());
}

// ---- e. Absurd, empty and cut files of every kind the window reads -----------

// A JPEG whose frame header claims 65,535 x 65,535 pixels.
Bytes JpegClaiming65535() {
    Bytes jpeg = EncodeJpeg(test::RandomPicture(16, 16, 2), 90);
    for (std::size_t i = 0; i + 8 < jpeg.size(); ++i)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            jpeg[i + 5] = jpeg[i + 6] = jpeg[i + 7] = jpeg[i + 8] = 0xFF;
            return jpeg;
        }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TEST_F(FailureDrill, OpenOfAnUnreadablePictureKeepsTheCurrentOne) {
    const Bytes jpeg = EncodeJpeg(test::RandomPicture(40, 30, 4), 90);
    const Bytes bmp = EncodeBmp(test::RandomPicture(40, 30, 4));
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint64_t sparseSize;  // not 0: a file of that length that takes no space
        const char* message;       // the message box's text
    };
    const std::vector<Case> cases = {
        {"claims-65535.jpg", JpegClaiming65535(), 0,
         "JPEG image claims 65535 x 65535 pixels, more than this editor can open (at most 30000 pixels a side and "
         "256 megapixels)."},
        {"empty.jpg", {}, 0, "Empty input file"},
        {"header-only.jpg", Bytes(jpeg.begin(), jpeg.begin() + 20), 0, "Premature end of JPEG file"},
        {"half.jpg", Bytes(jpeg.begin(), jpeg.begin() + jpeg.size() / 2), 0, "Premature end of JPEG file"},
        {"empty.bmp", {}, 0, kBadBitmap},
        {"header-only.bmp", Bytes(bmp.begin(), bmp.begin() + 14), 0, kBadBitmap},
        {"half.bmp", Bytes(bmp.begin(), bmp.begin() + bmp.size() / 2), 0, kBadBitmap},
        {"past-the-read-limit.bmp", {}, kMaxReadFileBytes + 1, kTooLarge},
    };
    TMainForm& f = StartEdited();
    const EditorState state = StateOf(f);
    auto peakMemoryKiB = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const long peakBefore = peakMemoryKiB();
        const std::string path = dir.file(c.name);
        if (c.sparseSize != 0) {
            test::WriteSparseFile(path, c.sparseSize);
        } else {
            test::WriteBytes(path, c.bytes);
        }
        Open(path);
        EXPECT_EQ(seam.take(), std::vector<std::string>{Naming(c.message, path)});
        EXPECT_TRUE(StateOf(f) == state) << "the current picture or its history changed";
        // Nothing near the claimed size was taken (65535 x 65535 would be 12 GB).
        EXPECT_LT(peakMemoryKiB() - peakBefore, 256L * 1024) << "KiB more at the peak";
        fs::remove(path);
    }
}

TEST_F(FailureDrill, EmptyAndCutMaskFilesOfBothVariantsFailTheirRender) {
    const Picture art = test::RandomPicture(40, 30, 8);
    struct Case {
        const char* name;
        bool bmpVariant;
        std::function<Bytes(const Bytes& stored)> damage;
        const char* message;
        std::uint64_t sparseSize = 0;
    };
    const std::vector<Case> cases = {
        {"BMP variant, empty", true, [](const Bytes&) { return Bytes{}; }, kShortMask},
        {"BMP variant, 99 bytes", true, [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 99); },
         "Mask file \"<path>\" is damaged: it holds 99 bytes, fewer than the 100 of a mask header."},
        {"BMP variant, header only", true, [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 100); }, kBadBitmap},
        {"BMP variant, half", true, [](const Bytes& s) { return Bytes(s.begin(), s.begin() + s.size() / 2); }, kBadBitmap},
        {"JPEG variant, empty", false, [](const Bytes&) { return Bytes{}; }, kShortMask},
        {"JPEG variant, header only", false, [](const Bytes& s) { return Bytes(s.begin(), s.begin() + 100); },
         "JPEG error #120"},
        {"JPEG variant, half", false, [](const Bytes& s) { return Bytes(s.begin(), s.begin() + s.size() / 2); },
         "JPEG error #120"},
        {"past the read limit", true, nullptr, kTooLarge, kMaxReadFileBytes + 1},
    };
    TMainForm& f = StartEdited();
    const std::string mask = dir.file("pic/6/9.gph");
    const Bytes intact = test::ReadBytes(mask);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteMaskFile(picDir, 6, 9, art, c.bmpVariant);
        if (c.sparseSize != 0) {
            test::WriteSparseFile(mask, c.sparseSize);
        } else {
            test::WriteBytes(mask, c.damage(test::ReadBytes(mask)));
        }
        const std::string expected = Naming(c.message, mask);
        const EditorState state = StateOf(f);
        f.ImageClick(f.Thumbnails[8]);
        f.RefreshCategory();
        EXPECT_EQ(seam.take(), (std::vector<std::string>{expected, expected}));
        EXPECT_TRUE(StateOf(f) == state);
        test::WriteBytes(mask, intact);
        f.ImageClick(f.Thumbnails[8]);
        EXPECT_TRUE(seam.take().empty());
        EXPECT_TRUE(f.BitBtnApply->isEnabled());
    }
}

TEST_F(FailureDrill, EmptyAndCutSettingsAndLanguageFilesStartAWorkingEditor) {
    const std::string cfg = dir.file("config/Corvellin Photo/cfg.ini");
    const std::string full = "[PrintPrew]\nTop=12.5\nLeft=3\nScale=50\n[Language]\nindex=0\n";
    const std::string language = "[Info]\nLanguage=Cut\n[String]\n&Open=Auf\n&Save=Sichern\n";
    struct Case {
        const char* name;
        std::string settings;
        std::string languageFile;
        // What start-up makes of them (the layout's defaults are Top 20, Scale 100).
        double top;
        double scale;
        int languageIndex;
        const char* openCaption;
        const char* saveCaption;
    };
    const std::vector<Case> cases = {
        {"both empty", "", "", 20, 100, -1, "&Open", "&Save"},
        {"settings cut inside a key", full.substr(0, full.find("Scale") + 3), language, 12.5, 100, -1, "&Open", "&Save"},
        {"settings cut inside a value", full.substr(0, full.find("Top=") + 6), language, 12, 100, -1, "&Open", "&Save"},
        {"language cut inside its name", full, language.substr(0, 15), 12.5, 50, -1, "&Open", "&Save"},
        {"language cut inside a translation", full, language.substr(0, language.find("&Save") + 4), 12.5, 50, 0,
         "Auf", "&Save"},
        {"both whole", full, language, 12.5, 50, 0, "Auf", "Sichern"},
        {"settings past the size limit", full + std::string(kMaxIniFileBytes, '\n'), language, 20, 100, -1, "&Open",
         "&Save"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::WriteBytes(cfg, Text(c.settings));
        test::WriteBytes(dir.file("Languages/cut.ini"), Text(c.languageFile));
        TMainForm& f = Start();
        EXPECT_TRUE(seam.take().empty());
        EXPECT_EQ(f.PrintLayout.Top, c.top);
        EXPECT_EQ(f.PrintLayout.Scale, c.scale);
        EXPECT_EQ(f.LanguageIndex, c.languageIndex);
        EXPECT_EQ(f.BitBtnOpen->text(), c.openCaption);
        EXPECT_EQ(f.BitBtnSave->text(), c.saveCaption);
        EXPECT_EQ(f.CurrentCategory, 1);
        EXPECT_FALSE(f.FullSizePicture.empty());
        form.reset();
        // Shutdown writes a whole settings file again.
        const IniFile written = IniFile::Load(cfg);
        EXPECT_EQ(written.ReadInteger("Language", "index", -2), c.languageIndex);
        EXPECT_TRUE(written.ReadString("PrintPrew", "BorderBox").has_value());
        EXPECT_TRUE(seam.take().empty());
    }
}

}  // namespace
}  // namespace corvellin
