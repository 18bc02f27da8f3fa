// TMainForm under the offscreen platform: opening a file from the command line
// and by a drop, the question before unsaved work is dropped, the window title
// with its modified marker, and the recovery file with its restore.
#include <QAction>
#include <QApplication>
#include <QMimeData>
#include <QDropEvent>
#include <QWindow>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMenu>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "history/Recovery.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"
#include "picture/PictureFormats.h"
#include "platform/RecoveryStore.h"

namespace corvellin {
namespace {

using test::TempDir;

// A picture file made by ImageMagick.
void Convert(const std::string& arguments, const std::string& path) {
    const std::string command = "convert " + arguments + " '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

class UnsavedWorkTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        oldState = std::getenv("XDG_STATE_HOME");
        ::setenv("XDG_STATE_HOME", dir.file("state").c_str(), 1);
        for (int n = 1; n <= 10; ++n) {
            test::WriteMaskFile(dir.file("pic"), 1, n, test::RandomPicture(64, 48, static_cast<std::uint32_t>(100 + n)));
            test::WriteMaskFile(dir.file("pic"), 6, n, test::RandomPicture(64, 48, static_cast<std::uint32_t>(600 + n)));
        }
        Convert("-size 640x427 plasma:red-blue -seed 3", dir.file("pic/default.jpg"));
        Convert("-size 300x200 gradient:yellow-navy", dir.file("photo.jpg"));
        Convert("-size 50x40 xc:green", dir.file("other.bmp"));
        Convert("-size 50x40 xc:green", dir.file("wrong.gif"));
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
        if (oldState) ::setenv("XDG_STATE_HOME", oldState->c_str(), 1);
        else ::unsetenv("XDG_STATE_HOME");
    }
    TMainForm& Start() {
        form = std::make_unique<TMainForm>(dir.path() + "/");
        return *form;
    }
    // Previews variation v of the shown category and applies it.
    void ApplyVariation(int v) {
        form->ImageClick(form->Thumbnails[static_cast<std::size_t>(v)]);
        form->suitempBitBtnApplyClick();
    }
    // A drag that enters the window and is dropped on it, delivered the way
    // the window system delivers one: to the window, which finds its target.
    void Drop(const QList<QUrl>& urls, const QString& text = {}) {
        form->show();
        QMimeData data;
        if (!urls.isEmpty()) data.setUrls(urls);
        if (!text.isEmpty()) data.setText(text);
        const QPoint at(300, 200);
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form->windowHandle(), &drop);
        QCoreApplication::processEvents();
    }
    std::vector<std::string> RecoveryFiles() {
        std::vector<std::string> found;
        std::error_code error;
        for (const auto& e : std::filesystem::directory_iterator(StateFolder(), error))
            if (e.path().extension() == ".recovery") found.push_back(e.path().string());
        return found;
    }
    RecoveryRecord ReadRecord(const std::string& path) {
        const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
        const auto record = ParseRecovery(std::string(bytes.begin(), bytes.end()));
        EXPECT_TRUE(record.has_value());
        return record.value_or(RecoveryRecord{});
    }

    TempDir dir;
    std::optional<std::string> oldState;
    test::RecordingSeam seam;
    std::unique_ptr<TMainForm> form;
};

TEST_F(UnsavedWorkTest, CommandLineAndDropOpenThroughTheOpenPath) {
    TMainForm& f = Start();
    const Picture defaultPicture = f.WorkingPicture();
    const QString statusBefore = f.StatusPanels[1]->text();
    struct Case {
        const char* name;
        std::function<void()> open;
        std::vector<std::string> boxes;
    };
    const std::string missing = dir.file("missing.jpg");
    const Case failing[] = {
        {"missing file", [&] { f.OpenCommandLineFile(QString::fromStdString(missing)); },
         {"Picture does not exists!\r" + missing}},
        {"wrong format", [&] { f.OpenCommandLineFile(QString::fromStdString(dir.file("wrong.gif"))); },
         {PictureFormatText()}},
        {"dropped missing file", [&] { Drop({QUrl::fromLocalFile(QString::fromStdString(missing))}); },
         {"Picture does not exists!\r" + missing}},
        {"dropped wrong format", [&] { Drop({QUrl::fromLocalFile(QString::fromStdString(dir.file("wrong.gif")))}); },
         {PictureFormatText()}},
        {"two files dropped",
         [&] {
             Drop({QUrl::fromLocalFile(QString::fromStdString(dir.file("photo.jpg"))),
                   QUrl::fromLocalFile(QString::fromStdString(dir.file("other.bmp")))});
         },
         {kDropOneFileText}},
        {"text dropped", [&] { Drop({}, "just some words"); }, {kDropNotAFileText}},
        {"web address dropped", [&] { Drop({QUrl("https://example.invalid/photo.jpg")}); }, {kDropNotAFileText}},
    };
    for (const Case& c : failing) {
        c.open();
        EXPECT_EQ(seam.take(), c.boxes) << c.name;
        EXPECT_EQ(f.WorkingPicture(), defaultPicture) << c.name;
        EXPECT_EQ(f.StatusPanels[1]->text(), statusBefore) << c.name;
        EXPECT_EQ(f.windowTitle(), "Corvellin Photo Editor") << c.name;
    }

    // A relative name on the command line is taken from the current folder.
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    f.OpenCommandLineFile("photo.jpg");
    std::filesystem::current_path(cwd);
    EXPECT_TRUE(seam.take().empty());
    EXPECT_EQ(f.FullSizePicture.width(), 300);
    EXPECT_EQ(f.StatusPanels[1]->text().toStdString(), "Open file: " + dir.file("photo.jpg"));
    EXPECT_EQ(f.windowTitle(), "photo.jpg \u2014 Corvellin Photo Editor");

    Drop({QUrl::fromLocalFile(QString::fromStdString(dir.file("other.bmp")))});
    EXPECT_TRUE(seam.take().empty());
    EXPECT_EQ(f.FullSizePicture.width(), 50);
    EXPECT_EQ(f.windowTitle(), "other.bmp \u2014 Corvellin Photo Editor");
    EXPECT_EQ(f.Memo1->toPlainText(), "0,0,0,0 <<");
    EXPECT_TRUE(seam.questions.empty());
}

TEST_F(UnsavedWorkTest, TitleMarkerFollowsTheHistoryAndTheLastSave) {
    TMainForm& f = Start();
    EXPECT_FALSE(f.isWindowModified());
    f.OpenPictureFile(QString::fromStdString(dir.file("photo.jpg")));
    ApplyVariation(2);
    EXPECT_EQ(f.windowTitle(), "photo.jpg[*] \u2014 Corvellin Photo Editor");
    EXPECT_TRUE(f.isWindowModified());
    f.suitempBitBtnUndoClick();
    EXPECT_FALSE(f.isWindowModified());
    EXPECT_EQ(f.windowTitle(), "photo.jpg \u2014 Corvellin Photo Editor");
    EXPECT_TRUE(RecoveryFiles().empty());
    f.suitempBitBtnReDoClick();
    EXPECT_TRUE(f.isWindowModified());
    EXPECT_EQ(RecoveryFiles().size(), 1u);

    seam.answers.push_back({QString::fromStdString(dir.file("out.jpg")), 1});
    f.suitempBitBtnSaveClick();
    EXPECT_TRUE(std::filesystem::exists(dir.file("out.jpg")));
    EXPECT_FALSE(f.isWindowModified());
    EXPECT_TRUE(RecoveryFiles().empty());
    // Undo after the save is unsaved work again; Apply after that Undo drops
    // the saved entry, so no way back is "saved".
    f.suitempBitBtnUndoClick();
    EXPECT_TRUE(f.isWindowModified());
    ApplyVariation(4);
    f.suitempBitBtnUndoClick();
    EXPECT_TRUE(f.isWindowModified());

    // Unsaved work on the default picture marks the product title.
    seam.saveAnswers.push_back(SaveChangesAnswer::Cancel);
    EXPECT_FALSE(f.OpenPictureFile(QString::fromStdString(dir.file("photo.jpg"))));
    EXPECT_EQ(seam.questions.size(), 1u);
    EXPECT_TRUE(f.isWindowModified());
    form.reset();
    TMainForm& g = Start();
    ApplyVariation(1);
    EXPECT_EQ(g.windowTitle(), "Corvellin Photo Editor[*]");
}

// Each way of dropping the work, with each answer.
TEST_F(UnsavedWorkTest, EveryWayOfDroppingWorkAsksAndHonoursTheAnswer) {
    enum class Way { Close, Exit, Open, Drop };
    enum class Answer { Cancel, DontSave, Save, SaveCancelled, SaveFails };
    for (const Way way : {Way::Close, Way::Exit, Way::Open, Way::Drop})
        for (const Answer answer :
             {Answer::Cancel, Answer::DontSave, Answer::Save, Answer::SaveCancelled, Answer::SaveFails}) {
            const std::string label = "way " + std::to_string(static_cast<int>(way)) + " answer " +
                                      std::to_string(static_cast<int>(answer));
            TMainForm& f = Start();
            f.show();
            f.OpenPictureFile(QString::fromStdString(dir.file("photo.jpg")));
            ApplyVariation(3);
            const QStringList historyBefore = f.Memo1->toPlainText().split('\n');
            seam.questions.clear();
            seam.boxes.clear();
            const std::string out = dir.file("saved-" + label + ".jpg");
            switch (answer) {
                case Answer::Cancel: seam.saveAnswers.push_back(SaveChangesAnswer::Cancel); break;
                case Answer::DontSave: seam.saveAnswers.push_back(SaveChangesAnswer::DontSave); break;
                case Answer::Save:
                    seam.saveAnswers.push_back(SaveChangesAnswer::Save);
                    seam.answers.push_back({QString::fromStdString(out), 1});
                    break;
                case Answer::SaveCancelled: seam.saveAnswers.push_back(SaveChangesAnswer::Save); break;
                case Answer::SaveFails:
                    seam.saveAnswers.push_back(SaveChangesAnswer::Save);
                    seam.answers.push_back({QString::fromStdString(dir.file("no-such-folder/out.jpg")), 1});
                    break;
            }
            switch (way) {
                case Way::Close: f.close(); break;
                case Way::Exit: f.MenuExit->trigger(); break;
                case Way::Open:
                    seam.answers.push_front({QString::fromStdString(dir.file("other.bmp")), 1});
                    f.suitempBitBtnOpenClick();
                    break;
                case Way::Drop: Drop({QUrl::fromLocalFile(QString::fromStdString(dir.file("other.bmp")))}); break;
            }
            ASSERT_EQ(seam.questions.size(), 1u) << label;
            EXPECT_EQ(seam.questions[0].title, "Corvellin Photo Editor") << label;
            EXPECT_EQ(seam.questions[0].text, "Save changes to photo.jpg before closing?") << label;
            EXPECT_EQ(seam.questions[0].buttons.save, "&Save");
            EXPECT_EQ(seam.questions[0].buttons.dontSave, "&Don't Save");
            EXPECT_EQ(seam.questions[0].buttons.cancel, "&Cancel");
            const bool goesOn = answer == Answer::DontSave || answer == Answer::Save;
            const bool closing = way == Way::Close || way == Way::Exit;
            EXPECT_EQ(f.isVisible(), !(closing && goesOn)) << label;
            EXPECT_EQ(f.FullSizePicture.width(), !closing && goesOn ? 50 : 300) << label;
            if (!goesOn) EXPECT_EQ(f.Memo1->toPlainText().split('\n'), historyBefore) << label;
            EXPECT_EQ(std::filesystem::exists(out), answer == Answer::Save) << label;
            EXPECT_EQ(seam.boxes.size(), answer == Answer::SaveFails ? 1u : 0u) << label;
            form.reset();
            seam.answers.clear();
            seam.saveAnswers.clear();
        }
}

TEST_F(UnsavedWorkTest, TheQuestionSpeaksTheChosenLanguage) {
    std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/Languages", dir.file("Languages"));
    TMainForm& f = Start();
    f.OpenPictureFile(QString::fromStdString(dir.file("photo.jpg")));
    ApplyVariation(0);
    for (QAction* item : f.Languages1->actions())
        if (item->text() == "Deutsch") item->trigger();
    f.close();
    ASSERT_EQ(seam.questions.size(), 1u);
    EXPECT_EQ(seam.questions[0].text, "Änderungen an photo.jpg vor dem Schließen speichern?");
    EXPECT_EQ(seam.questions[0].buttons.save, "&Speichern");
    EXPECT_EQ(seam.questions[0].buttons.dontSave, "&Nicht speichern");
    EXPECT_EQ(seam.questions[0].buttons.cancel, "&Abbrechen");
}

// The recovery file follows every Apply, Undo and Redo; a later start that
// finds it (its run gone) restores the same history, snapshot for snapshot.
TEST_F(UnsavedWorkTest, RecoveryFileRestoresTheSameHistory) {
    TMainForm& f = Start();
    f.OpenPictureFile(QString::fromStdString(dir.file("photo.jpg")));
    ApplyVariation(2);
    ApplyVariation(7);
    f.suitempButtonStarClick(f.ButtonStar);
    ApplyVariation(5);
    f.suitempBitBtnUndoClick();
    const std::string path = f.RecoveryFilePath();
    const RecoveryRecord record = ReadRecord(path);
    EXPECT_EQ(record.source, dir.file("photo.jpg"));
    EXPECT_EQ(record.calls, (std::vector<EffectCall>{{1, 2, -1, 0x008000}, {1, 7, -1, 0x008000}, {6, 5, -1, 0x008000}}));
    EXPECT_EQ(record.position, 2);
    std::vector<Picture> snapshots;
    for (const HistoryEntry* e = f.History.HistoryRoot(); e; e = e->next) snapshots.push_back(e->snapshot);
    const QString trace = f.Memo1->toPlainText();

    // A run that is still going is never offered.
    TMainForm second(dir.path() + "/");
    second.OfferRecovery();
    EXPECT_TRUE(seam.questions.empty());

    // What a killed run leaves: the recovery file without a held lock.
    const std::string left = dir.file("left.recovery");
    std::filesystem::copy_file(path, left);
    form.reset();
    EXPECT_FALSE(std::filesystem::exists(path)) << "a window that closes normally leaves no recovery file";
    std::filesystem::rename(left, StateFolder() + "/run-1-1.recovery");

    seam.yesNoAnswers.push_back(true);
    TMainForm& g = Start();
    g.OfferRecovery();
    ASSERT_EQ(seam.questions.size(), 1u);
    EXPECT_EQ(seam.questions[0].text.toStdString(),
              "The editor did not end normally last time. Restore the unsaved changes to " + dir.file("photo.jpg") + "?");
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(g.Memo1->toPlainText(), trace);
    std::vector<Picture> restored;
    for (const HistoryEntry* e = g.History.HistoryRoot(); e; e = e->next) restored.push_back(e->snapshot);
    EXPECT_EQ(restored, snapshots);
    EXPECT_EQ(g.WorkingPicture(), snapshots[2]);
    EXPECT_TRUE(g.BitBtnUndo->isEnabled());
    EXPECT_TRUE(g.BitBtnReDo->isEnabled());
    EXPECT_TRUE(g.isWindowModified());
    // The restored work is this run's own now; the left file is gone.
    EXPECT_EQ(RecoveryFiles(), std::vector<std::string>{g.RecoveryFilePath()});
    EXPECT_EQ(ReadRecord(g.RecoveryFilePath()), record);
}

TEST_F(UnsavedWorkTest, DamagedStaleOrDeclinedRecoveryFilesAreRemoved) {
    std::filesystem::create_directories(StateFolder());
    const std::string folder = StateFolder() + "/";
    RecoveryRecord good{dir.file("photo.jpg"), {{1, 2, -1, 0x008000}}, 1};
    RecoveryRecord gone{dir.file("gone.jpg"), {{1, 2, -1, 0x008000}}, 1};
    const std::string text = SerializeRecovery(good);
    const struct {
        const char* name;
        std::string bytes;
    } unusable[] = {
        {"run-1-1", text.substr(0, text.size() - 4)},
        {"run-2-2", "not a recovery file\n"},
        {"run-3-3", SerializeRecovery(gone)},
    };
    for (const auto& u : unusable) test::WriteBytes(folder + u.name + ".recovery", {u.bytes.begin(), u.bytes.end()});
    test::WriteBytes(folder + "run-4-4.recovery", {text.begin(), text.end()});

    TMainForm& f = Start();
    const Picture before = f.WorkingPicture();
    f.OfferRecovery();  // the offer is declined (No)
    ASSERT_EQ(seam.boxes.size(), 1u);
    const QString message = seam.boxes[0].text;
    EXPECT_TRUE(message.startsWith(kUnusableRecoveryText));
    for (const auto& u : unusable) EXPECT_TRUE(message.contains(u.name)) << u.name;
    EXPECT_FALSE(message.contains("run-4-4"));
    EXPECT_EQ(seam.questions.size(), 1u);
    EXPECT_TRUE(RecoveryFiles().empty());
    EXPECT_EQ(f.WorkingPicture(), before);
    EXPECT_FALSE(f.isWindowModified());
    EXPECT_EQ(f.windowTitle(), "Corvellin Photo Editor");
}

}  // namespace
}  // namespace corvellin
