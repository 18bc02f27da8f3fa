// Every caption key reaches its window: a language file translates each key
// into a marker of its own, every window is opened in that language (its
// messages shown too), and each of the window's keys must turn up as its
// marker on a control, in the window's title or in a message it shows.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <gtest/gtest.h>

#include <QUrl>
#include <filesystem>
#include <string>

#include "PrintTestSeams.h"
#include "RecordingSeam.h"
#include "ScopedConfigHome.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "history/Recovery.h"
#include "platform/RecoveryStore.h"
#include "effects/Catalogue.h"
#include "picture/JpegCodec.h"
#include "output/DesktopWallpaper.h"
#include "output/PreviewForm.h"
#include "output/PrintDevice.h"
#include "output/PrintPreviewForm.h"
#include "output/WallpaperOptForm.h"
#include "settings/CaptionCatalog.h"
#include "settings/Ini.h"
#include "update/UpdateForm.h"

namespace corvellin {
namespace {

// "<7>" for the seventh key of the catalogue.
QString Marker(const char* key) {
    const auto all = AllCaptionKeys();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (EqualsIgnoringCase(all[i].key, key)) return QString("<%1>").arg(i);
    return {};
}

// Every text a window shows: its title, and the texts, titles, items,
// tooltips, accessible names and actions of everything in it.
QStringList Shown(const QWidget& window) {
    QStringList texts{window.windowTitle()};
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        texts << w->toolTip() << w->accessibleName();
        if (const auto* l = qobject_cast<const QLabel*>(w)) texts << l->text();
        if (const auto* b = qobject_cast<const QAbstractButton*>(w)) texts << b->text();
        if (const auto* g = qobject_cast<const QGroupBox*>(w)) texts << g->title();
        if (const auto* m = qobject_cast<const QMenu*>(w)) texts << m->title();
        if (const auto* c = qobject_cast<const QComboBox*>(w))
            for (int i = 0; i < c->count(); ++i) texts << c->itemText(i);
    }
    for (const QAction* a : window.findChildren<QAction*>()) texts << a->text();
    return texts;
}

class CaptionMarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&boxes);
        SetPrintDialogSeam(&answers);
        std::string text = "[Info]\nLanguage=Markers\n[String]\n";
        for (const CaptionKey& k : AllCaptionKeys()) text += std::string(k.key) + "=" + Marker(k.key).toStdString() + "\n";
        test::WriteBytes(languageFile, std::vector<std::uint8_t>(text.begin(), text.end()));
        configHome.emplace(dir.file("config"));
    }
    void TearDown() override {
        SetDialogSeam(nullptr);
        SetPrintDialogSeam(nullptr);
        ResetCurrentPrinter();
        configHome.reset();
    }
    // Each key of the window shows as its marker among texts.
    void ExpectEveryKey(CaptionWindow window, const QStringList& texts) {
        const QString all = texts.join('\n');
        for (const CaptionKey& k : CaptionKeys(window))
            EXPECT_TRUE(all.contains(Marker(k.key))) << CaptionWindowName(window) << ": " << k.key;
    }

    test::TempDir dir;
    const std::string languageFile = dir.file("Languages/markers.ini");
    test::RecordingSeam boxes;
    test::PrintAnswers answers;
    std::optional<test::ScopedConfigHome> configHome;
};

TEST_F(CaptionMarkerTest, MainWindowAndItsQuestion) {
    // The shipped mask art, so that every category renders.
    std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/pic", dir.file("pic"), std::filesystem::copy_options::recursive);
    test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(200, 150, 60, 150, 200), 90));
    TMainForm form(dir.path() + "/");
    QAction* markers = nullptr;
    for (QAction* a : form.Languages1->actions())
        if (a->text() == "Markers") markers = a;
    ASSERT_NE(markers, nullptr);
    markers->trigger();
    // Unsaved work, then the window closed: the save question in the language.
    // The thumbnails are named after the variations of the shown category: every category once.
    QStringList texts;
    for (int category = 1; category <= kCategoryCount; ++category) {
        form.CategoryButton(category)->click();
        texts << Shown(form);
    }
    form.suitempButtonColorClick(form.ButtonColor);
    form.ImageClick(form.Thumbnails[0]);
    form.suitempBitBtnApplyClick();
    // The file dialogs, the drops it refuses and the commands without a printer.
    form.suitempBitBtnOpenClick();
    form.suitempBitBtnSaveClick();
    form.OpenDropped({QUrl::fromLocalFile(QString::fromStdString(dir.file("a.jpg"))), QUrl::fromLocalFile(QString::fromStdString(dir.file("b.jpg")))});
    form.OpenDropped({QUrl("https://example.org/c.jpg")});
    form.MenuPaperSettingClick();
    // What an earlier run left: a damaged recovery file, and one whose restore is declined.
    std::filesystem::create_directories(StateFolder());
    test::WriteBytes(StateFolder() + "/run-1-1.recovery", {'x', '\n'});
    const std::string record = SerializeRecovery(RecoveryRecord{dir.file("pic/default.jpg"), {{1, 2, -1, 0x008000}}, 1});
    test::WriteBytes(StateFolder() + "/run-2-2.recovery", {record.begin(), record.end()});
    form.OfferRecovery();
    texts << Shown(form) << boxes.texts();
    for (const auto& request : boxes.requests) texts << request.title;
    // Errors that end a command are shown through the window's captions.
    for (const char* thrown : {kNoPrintableAreaText, kPrintFailedText, kUnexpectedErrorText, kRecoveryWriteFailedText})
        texts << form.Caption(thrown);
    form.close();
    ASSERT_EQ(boxes.questions.size(), 2u);
    {
        // Without a default picture every output command says there is nothing to work on.
        test::WriteBytes(dir.file("bare/Languages/markers.ini"), test::ReadBytes(languageFile));
        TMainForm bare(dir.file("bare") + "/");
        for (QAction* a : bare.Languages1->actions())
            if (a->text() == "Markers") a->trigger();
        boxes.boxes.clear();
        bare.suitempBitBtnSaveClick();
        bare.MenuPrintClick();
        bare.suiButtonWallPaperClick();
        bare.MenuPreviewClick();
        texts << boxes.texts();
    }
    for (const auto& q : boxes.questions) texts << q.title << q.text << q.buttons.save << q.buttons.dontSave << q.buttons.cancel;
    ExpectEveryKey(CaptionWindow::Main, texts);
}

TEST_F(CaptionMarkerTest, PrintLayoutDialogAndItsMessages) {
    TPrintPreviewForm form(0, languageFile);
    PrintLayout free;
    free.FitPage = false;
    free.Center = false;
    form.PrintLayout = free;
    form.ImageWidthPx = form.ImageHeightPx = form.PageWidthPx = form.PageHeightPx = 100;
    form.FormShow();
    form.ButtonPrint->click();  // no printer
    for (QLineEdit* edit : {form.EditTop, form.EditLeft, form.EditScale, form.EditHeight, form.EditWidth}) {
        const QString before = edit->text();
        edit->setText("x");
        edit->setText(before);
    }
    // An unreadable value met by the page preview.
    form.EditTop->setText("x");
    form.CheckBoxBorderBox->click();
    form.RedrawPreview();
    ExpectEveryKey(CaptionWindow::PrintPreview, Shown(form) + boxes.texts());
}

TEST_F(CaptionMarkerTest, WallpaperDialogAndItsMessage) {
    TWallpaperOptForm form(nullptr, 0, languageFile);
    for (QRadioButton* r : {form.RadioButtonCenter, form.RadioButtonTile, form.RadioButtonStretch}) {
        r->setAutoExclusive(false);
        r->setChecked(false);
    }
    form.BitBtnOK->click();  // nothing chosen
    // The command's outcomes, as the error boxes show them.
    QStringList outcomes{form.Text(kWallpaperCancelledText)};
    for (const char* reason : {kPortalFailedText, kNoSessionBusText, kMemoryOnlyStoreText, kNoWallpaperSettingsText,
                               kSettingRefusesValueText, kSettingLockedText, kChangeNotKeptText, kNoXfconfQueryText,
                               kNoXfceMonitorText, kXfconfRefusedText, kUnknownDesktopText, kNoFileAddressText})
        for (const char* headline : {kWallpaperNotSetText, kWallpaperStyleNotSetText})
            outcomes << form.FailureText(WallpaperFailure(headline, reason, "detail"));
    ExpectEveryKey(CaptionWindow::WallpaperOpt, Shown(form) + boxes.texts() + outcomes);
}

TEST_F(CaptionMarkerTest, FullScreenPreview) {
    TPreviewForm form(nullptr, 0, languageFile);
    ExpectEveryKey(CaptionWindow::Preview, Shown(form));
}

TEST_F(CaptionMarkerTest, UpdateWindowAndItsMessages) {
    TUpdateForm form(nullptr, dir.path() + "/", "http://127.0.0.1:9/update.ini");
    form.LoadCaptions(0, languageFile);
    const TUpdateForm::Texts& t = form.texts();
    ExpectEveryKey(CaptionWindow::Update, Shown(form) << t.latest << t.thanks << t.latestIs << t.download
                                                      << t.findNew << t.failConnect << t.tryLater << t.failInfo
                                                      << t.cannotOpen);
}

}  // namespace
}  // namespace corvellin
