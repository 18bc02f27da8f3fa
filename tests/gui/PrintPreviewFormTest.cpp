// The print layout dialog under the offscreen platform: the opening chain, the
// handlers that keep the aspect ratio, unit changes, every message, the page
// preview, and the print commands of the main window with their hand-over of
// the layout (printing into a PDF file through QPrinter).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPushButton>
#include <QSignalBlocker>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "PrintTestSeams.h"
#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "output/NumberText.h"
#include "output/PrintPreviewForm.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using test::TempDir;

std::string Shell(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
        ::pclose(pipe);
    }
    return out;
}

// ---- Number texts ----------------------------------------------------------------

TEST(NumberText, GeneralFixedAndReadingFollowTheSeparator) {
    struct Case {
        double value;
        const char* general;
    };
    for (const Case& c : {Case{20.0, "20"}, Case{38.0 / 96.0, "0.395833333333333"}, Case{-2.5, "-2.5"},
                          Case{0.00001, "0.00001"}, Case{0.000001, "1E-6"}, Case{1.5e20, "1.5E20"},
                          Case{123456789012345.0, "123456789012345"}, Case{0.0, "0"}})
        EXPECT_EQ(FormatGeneral(c.value, '.').toStdString(), c.general) << c.value;
    EXPECT_EQ(FormatGeneral(2.54, ',').toStdString(), "2,54");
    EXPECT_EQ(FormatFixed(1000.0 / 96.0, 3, '.').toStdString(), "10.417");
    EXPECT_EQ(FormatFixed(25.6, 2, ',').toStdString(), "25,60");
    EXPECT_EQ(FormatFixed(-0.0001, 3, '.').toStdString(), "0.000");

    struct Read {
        const char* text;
        QChar separator;
        std::optional<double> value;
    };
    for (const Read& r : {Read{" 2.5 ", '.', 2.5}, Read{"2,5", ',', 2.5}, Read{"2.5", ',', std::nullopt},
                          Read{"+1e3", '.', 1000.0}, Read{"-.5E-1", '.', -0.05}, Read{"", '.', std::nullopt},
                          Read{"  ", '.', std::nullopt}, Read{"1e", '.', std::nullopt}, Read{"abc", '.', std::nullopt},
                          Read{"1.2.3", '.', std::nullopt}, Read{"12a", '.', std::nullopt}, Read{".", '.', std::nullopt}})
        EXPECT_EQ(ParseNumber(r.text, r.separator), r.value) << r.text;
}

// ---- The dialog ----------------------------------------------------------------------

class PrintDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&boxes);
        SetPrintDialogSeam(&answers);
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
        SetPrintDialogSeam(nullptr);
        ResetCurrentPrinter();
        QLocale::setDefault(QLocale::c());
    }
    // A 3000 x 2000 picture on a 768 x 1056 page at 96 pixels per inch.
    TPrintPreviewForm& Open(const PrintLayout& layout, const Picture& preview = test::SolidPicture(30, 20, 0, 0, 200)) {
        form = std::make_unique<TPrintPreviewForm>(-1, std::string());
        form->PrintLayout = layout;
        form->ImageWidthPx = 3000;
        form->ImageHeightPx = 2000;
        form->PageWidthPx = 768;
        form->PageHeightPx = 1056;
        form->ScreenPpi = 96;
        form->SetPreviewPicture(preview);
        form->FormShow();
        return *form;
    }
    static PrintLayout Free() {
        PrintLayout l;
        l.FitPage = false;
        l.Center = false;
        return l;
    }
    static void Choose(QComboBox* list, int index) {
        list->setCurrentIndex(index);
        emit list->activated(index);
    }

    TempDir dir;
    test::RecordingSeam boxes;
    test::PrintAnswers answers;
    std::unique_ptr<TPrintPreviewForm> form;
};

TEST_F(PrintDialogTest, OpeningWithFitPageShowsTheFittedCentredSize) {
    PrintLayout layout;  // FitPage and Center, inches
    layout.Scale = 77;
    layout.Width = layout.Height = 123;
    TPrintPreviewForm& f = Open(layout);
    EXPECT_EQ(f.windowTitle(), "Print");
    EXPECT_EQ(f.size(), QSize(695, 321));
    EXPECT_EQ(f.EditWidth->text(), "8.000");   // 768 px
    EXPECT_EQ(f.EditHeight->text(), "5.333");  // 768 x 2000 div 3000 = 512 px
    EXPECT_EQ(f.EditScale->text(), "25.60");
    EXPECT_EQ(f.EditLeft->text(), "0.000");
    EXPECT_EQ(f.EditTop->text(), "2.833");  // (1056 - 512) div 2 = 272 px
    EXPECT_TRUE(f.CheckBoxCenter->isChecked());
    EXPECT_FALSE(f.CheckBoxCenter->isEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{f.EditTop, f.EditLeft, f.ComboBoxTopUnit, f.ComboBoxLeftUnit,
                                                       f.EditScale, f.EditHeight, f.EditWidth})
        EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(f.LayoutReady);
    EXPECT_FALSE(f.Confirmed);
    EXPECT_TRUE(boxes.boxes.empty());
    EXPECT_EQ(f.ComboBoxTopUnit->count(), 4);
    EXPECT_EQ(f.ComboBoxWidthUnit->itemText(2), "centimeter");
}

TEST_F(PrintDialogTest, OpeningWithoutFitPageShowsScaleHundredWhateverWasStored) {
    PrintLayout layout = Free();
    layout.Scale = 37;
    layout.Width = 1;
    TPrintPreviewForm& f = Open(layout);
    EXPECT_EQ(f.EditWidth->text(), "31.250");
    EXPECT_EQ(f.EditHeight->text(), "20.833");
    EXPECT_EQ(f.EditScale->text(), "100.00");
    EXPECT_EQ(f.EditTop->text(), "20");  // the general form
    EXPECT_TRUE(f.EditTop->isEnabled());
    EXPECT_TRUE(f.CheckBoxCenter->isEnabled());
    EXPECT_FALSE(f.CheckBoxCenter->isChecked());
}

TEST_F(PrintDialogTest, TypedScaleHeightAndWidthKeepTheAspectRatio) {
    TPrintPreviewForm& f = Open(Free());
    f.EditScale->setText("50");
    EXPECT_EQ(f.EditWidth->text(), "15.625");
    EXPECT_EQ(f.EditHeight->text(), "10.417");
    f.EditHeight->setText("2");  // 192 px high: 288 px wide, scale 9.6
    EXPECT_EQ(f.EditWidth->text(), "3.000");
    EXPECT_EQ(f.EditScale->text(), "9.600");
    f.CheckBoxCenter->setChecked(true);  // centred: typing a width moves the picture
    f.EditWidth->setText("4");           // 384 x 256 px
    EXPECT_EQ(f.EditHeight->text(), "2.667");
    EXPECT_EQ(f.EditLeft->text(), "2.000");
    EXPECT_EQ(f.EditTop->text(), "4.167");  // (1056 - 256) div 2 = 400 px
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PrintDialogTest, UnitChangeConvertsThroughWholeScreenPixels) {
    TPrintPreviewForm& f = Open(Free());
    f.EditHeight->setText("2");
    Choose(f.ComboBoxHeightUnit, 2);
    EXPECT_EQ(f.EditHeight->text(), "5.08");
    Choose(f.ComboBoxLeftUnit, 2);
    EXPECT_EQ(f.EditLeft->text(), "50.8");
    f.EditLeft->setText("1");  // 1 cm is 38 px: back in inches 0.395833...
    Choose(f.ComboBoxLeftUnit, 1);
    EXPECT_EQ(f.EditLeft->text(), "0.395833333333333");
    Choose(f.ComboBoxLeftUnit, 1);  // the same unit again: nothing happens
    EXPECT_EQ(f.EditLeft->text(), "0.395833333333333");
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PrintDialogTest, LettersInTopAreReportedOnEveryChangeAndUndoTheUnitChange) {
    TPrintPreviewForm& f = Open(Free());
    f.show();
    QApplication::setActiveWindow(&f);
    const qint64 drawn = f.PreviewBitmap().cacheKey();
    f.EditTop->setText("abc");
    ASSERT_EQ(boxes.texts(), QStringList{"Top must be float."});
    EXPECT_EQ(boxes.boxes[0].kind, MessageKind::Error);
    EXPECT_EQ(boxes.boxes[0].title, "Error");
    EXPECT_EQ(f.PreviewBitmap().cacheKey(), drawn);  // not redrawn
    f.EditTop->setText("abcd");
    EXPECT_EQ(boxes.boxes.size(), 2u);
    f.EditLeft->setFocus();
    Choose(f.ComboBoxTopUnit, 3);
    EXPECT_EQ(boxes.boxes.size(), 3u);
    EXPECT_EQ(f.ComboBoxTopUnit->currentIndex(), 1);
    EXPECT_EQ(QApplication::focusWidget(), f.EditTop);
    EXPECT_EQ(f.EditTop->text(), "abcd");
}

TEST_F(PrintDialogTest, EveryUnreadableFieldStopsOkWithItsMessage) {
    struct Case {
        QLineEdit* TPrintPreviewForm::*edit;
        const char* message;
    };
    for (const Case& c : {Case{&TPrintPreviewForm::EditTop, "Top must be float."},
                          Case{&TPrintPreviewForm::EditLeft, "Left must be float."},
                          Case{&TPrintPreviewForm::EditScale, "Scale value must be float."},
                          Case{&TPrintPreviewForm::EditHeight, "Height must be float."},
                          Case{&TPrintPreviewForm::EditWidth, "Width must be float."}}) {
        boxes.boxes.clear();
        TPrintPreviewForm& f = Open(Free());
        f.show();
        {
            const QSignalBlocker quiet(f.*c.edit);
            (f.*c.edit)->setText("1,5x");
        }
        f.ButtonOK->click();
        EXPECT_EQ(boxes.texts(), QStringList{c.message});
        EXPECT_FALSE(f.Confirmed);
        EXPECT_TRUE(f.isVisible());
    }
}

TEST_F(PrintDialogTest, TypedScaleThatIsUnreadableAndRedrawWithUnreadableField) {
    TPrintPreviewForm& f = Open(Free());
    f.EditScale->setText("x");
    EXPECT_EQ(boxes.texts(), QStringList{"Scale value must be float."});
    {
        const QSignalBlocker quiet(f.EditLeft);
        f.EditLeft->setText("?");
    }
    f.EditScale->setText("50");  // the redraw meets the unreadable Left
    // Both redraws of the chain (the centring's and the scale handler's own) meet it.
    EXPECT_EQ(boxes.texts(), (QStringList{"Scale value must be float.", "Value must be float.", "Value must be float."}));
    // Centring reads the size: an unreadable width stops the click with its message.
    {
        const QSignalBlocker quiet(f.EditWidth);
        f.EditWidth->setText("w");
    }
    f.CheckBoxCenter->setChecked(true);
    EXPECT_EQ(boxes.texts().last(), "Width must be float.");
}

TEST_F(PrintDialogTest, UncheckingFitPageKeepsCenterChecked) {
    TPrintPreviewForm& f = Open(PrintLayout{});
    f.CheckBoxFitPage->setChecked(false);
    EXPECT_TRUE(f.CheckBoxCenter->isEnabled());
    EXPECT_TRUE(f.CheckBoxCenter->isChecked());
    EXPECT_EQ(f.EditScale->text(), "100.00");
    EXPECT_EQ(f.EditLeft->text(), "-11.625");  // (768 - 3000) div 2 = -1116 px
    EXPECT_TRUE(f.EditWidth->isEnabled());
}

TEST_F(PrintDialogTest, OkStoresEveryFieldInRecordOrder) {
    PrintLayout layout = Free();
    layout.BorderBox = false;
    TPrintPreviewForm& f = Open(layout);
    f.EditTop->setText("1.5");
    Choose(f.ComboBoxWidthUnit, 3);
    f.EditScale->setText("50");
    f.ButtonOK->click();
    ASSERT_TRUE(f.Confirmed);
    const PrintLayout& l = f.PrintLayout;
    EXPECT_EQ(l.Top, 1.5);
    EXPECT_EQ(l.Left, 20.0);
    EXPECT_EQ(l.Scale, 50.0);
    EXPECT_DOUBLE_EQ(l.Width, 396.875);  // 1500 px in millimetres
    EXPECT_EQ(l.WidthUnit, 3);
    EXPECT_NEAR(l.Height, 10.417, 1e-12);
    EXPECT_FALSE(l.FitPage);
    EXPECT_FALSE(l.BorderBox);
}

TEST_F(PrintDialogTest, UserDecimalSeparatorInTextsAndReading) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TPrintPreviewForm& f = Open(Free());
    f.EditScale->setText("50");
    EXPECT_EQ(f.EditWidth->text(), "15,625");
    f.EditTop->setText("1.5");  // a point is not this user's separator
    EXPECT_EQ(boxes.texts(), QStringList{"Top must be float."});
    f.EditTop->setText("1,5");
    f.ButtonOK->click();
    EXPECT_TRUE(f.Confirmed);
    EXPECT_EQ(f.PrintLayout.Top, 1.5);
}

TEST_F(PrintDialogTest, PagePreviewIsAWhiteOutlinedPageWithThePictureUnsmoothed) {
    Picture twoColours = test::SolidPicture(2, 1, 0, 0, 200);
    test::SetPixel(twoColours, 1, 0, {200, 0, 0});
    TPrintPreviewForm& f = Open(PrintLayout{}, twoColours);
    const QImage& page = f.PreviewBitmap();
    ASSERT_EQ(page.size(), QSize(186, 257));
    EXPECT_EQ(f.ImagePreview->geometry(), QRect(35, 0, 186, 257));
    auto rgb = [&](int x, int y) { return page.pixel(x, y) & 0xFFFFFFu; };
    for (const QPoint p : {QPoint(0, 0), QPoint(185, 0), QPoint(0, 256), QPoint(185, 256), QPoint(90, 0), QPoint(0, 30)})
        EXPECT_EQ(rgb(p.x(), p.y()), 0x000000u) << p.x() << "," << p.y();
    EXPECT_EQ(rgb(1, 1), 0xFFFFFFu);
    EXPECT_EQ(rgb(93, 65), 0xFFFFFFu);
    // The picture: left 0, top 272 x 257 div 1056 = 66, 186 x 124, split in two colours.
    EXPECT_EQ(rgb(5, 66), 0xC80000u);
    EXPECT_EQ(rgb(92, 120), 0xC80000u);
    EXPECT_EQ(rgb(93, 120), 0x0000C8u);
    EXPECT_EQ(rgb(180, 189), 0x0000C8u);
    EXPECT_EQ(rgb(93, 190), 0xFFFFFFu);
    // Landscape paper after the page settings: the box turns.
    answers.onPageSetupDialog = [](QPrinter& printer) {
        printer.setPageSize(QPageSize(QPageSize::Letter));
        printer.setPageOrientation(QPageLayout::Landscape);
        return true;
    };
    f.ButtonPageSet->click();
    EXPECT_EQ(f.PageWidthPx, 1056);
    EXPECT_EQ(f.PageHeightPx, 816);
    EXPECT_EQ(f.PreviewBitmap().size(), QSize(257, 198));
    EXPECT_EQ(f.EditScale->text(), "35.20");  // the fit follows the new page: 1056 x 704 px
}

TEST_F(PrintDialogTest, TranslatedCaptionsUnitsAndMessages) {
    std::filesystem::create_directories(dir.file("Languages"));
    test::WriteBytes(dir.file("Languages/deutsch.ini"),
                     [] {
                         const std::string text =
                             "[Info]\nLanguage=Deutsch\n[String]\nPrint=Drucken\n&OK=&Gut\nPixel=Punkt\n"
                             "Top must be float.=Oben ist keine Zahl.\n";
                         return std::vector<std::uint8_t>(text.begin(), text.end());
                     }());
    form = std::make_unique<TPrintPreviewForm>(0, dir.file("Languages/deutsch.ini"));
    EXPECT_EQ(form->windowTitle(), "Drucken");
    EXPECT_EQ(form->ButtonOK->text(), "&Gut");
    EXPECT_EQ(form->ButtonCancel->text(), "&Cancel");
    EXPECT_EQ(form->ComboBoxTopUnit->itemText(0), "Punkt");
    EXPECT_EQ(form->Label6->text(), "%");
    EXPECT_EQ(form->CheckBoxBorderBox->text(), "Display Border Box");
    form->PrintLayout = Free();
    form->FormShow();
    form->EditTop->setText("x");
    EXPECT_EQ(boxes.texts(), QStringList{"Oben ist keine Zahl."});
}

// A restore after minimising sends a spontaneous show event; the values the
// user typed stay, since the opening layout is set once per showing.
TEST_F(PrintDialogTest, RestoringAfterMinimisingKeepsTheTypedValues) {
    TPrintPreviewForm& f = Open(Free());
    f.show();
    f.EditTop->setText("5");
    f.EditScale->setText("50");
    f.setWindowState(Qt::WindowMinimized);
    f.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(f.EditTop->text(), "5");
    EXPECT_EQ(f.EditScale->text(), "50");
    EXPECT_TRUE(boxes.boxes.empty());
    f.hide();
}

TEST_F(PrintDialogTest, PrintWithoutPrinterShowsTheInformationBoxOnly) {
    TPrintPreviewForm& f = Open(Free());
    bool printed = false;
    f.PrintPicture = [&](const PixelRect&) { printed = true; };
    f.ButtonPrint->click();
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].kind, MessageKind::Information);
    EXPECT_EQ(boxes.boxes[0].title, "Information");
    EXPECT_EQ(boxes.boxes[0].text, "Can not find any printer.");
    EXPECT_EQ(answers.printDialogs, 0);
    EXPECT_FALSE(printed);
}

TEST_F(PrintDialogTest, PrintButtonUsesTheDialogValuesInDevicePixels) {
    answers.printers = {"Office"};
    TempDir out;
    answers.onPrintDialog = [&](QPrinter& printer) {
        printer.setOutputFileName(QString::fromStdString(out.file("x.pdf")));
        printer.setResolution(600);
    };
    TPrintPreviewForm& f = Open(Free());
    std::optional<PixelRect> asked;
    f.PrintPicture = [&](const PixelRect& r) { asked = r; };
    f.EditLeft->setText("120");
    Choose(f.ComboBoxLeftUnit, 0);  // not a real change: the text is re-read in pixels below
    {
        const QSignalBlocker quiet(f.EditLeft);
        f.EditLeft->setText("120");
    }
    f.ButtonPrint->click();
    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->left, 750);  // 120 px at 600 dpi
    EXPECT_EQ(asked->top, 20 * 600);
    EXPECT_EQ(asked->width, 3000 * 600 / 96);
    answers.confirmPrint = false;  // a cancelled print dialog prints nothing
    asked.reset();
    f.ButtonPrint->click();
    EXPECT_FALSE(asked);
    EXPECT_TRUE(boxes.boxes.empty());
}

// ---- The main window's commands ----------------------------------------------------------

class PrintCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&boxes);
        SetPrintDialogSeam(&answers);
        for (int n = 1; n <= 10; ++n)
            test::WriteMaskFile(dir.path() + "/pic", 1, n, test::RandomPicture(32, 24, static_cast<std::uint32_t>(n)));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(960, 720, 40, 40, 40), 90));
        form = std::make_unique<TMainForm>(dir.path() + "/");
        boxes.boxes.clear();
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
        SetPrintDialogSeam(nullptr);
        ResetCurrentPrinter();
    }
    void PrintIntoPdf(const std::string& path) {
        answers.printers = {"Office"};
        answers.onPrintDialog = [path](QPrinter& printer) {
            printer.setOutputFileName(QString::fromStdString(path));
            printer.setPageSize(QPageSize(QPageSize::Letter));
            printer.setPageOrientation(QPageLayout::Portrait);
        };
    }

    TempDir dir;
    test::RecordingSeam boxes;
    test::PrintAnswers answers;
    std::unique_ptr<TMainForm> form;
};

TEST_F(PrintCommandTest, WithoutPrinterEveryCommandEndsWithAClearBox) {
    for (QAction* item : {form->MenuPaperSetting, form->MenuPrintPreview, form->MenuPrint}) {
        boxes.boxes.clear();
        item->trigger();
        ASSERT_EQ(boxes.boxes.size(), 1u) << item->objectName().toStdString();
        EXPECT_EQ(boxes.boxes[0].title, "Error");
        EXPECT_EQ(boxes.boxes[0].text, kNoPrinterText);
    }
    EXPECT_EQ(answers.printDialogs + answers.pageSetups + answers.layoutDialogs, 0);
}

TEST_F(PrintCommandTest, PreviewHandsTheLayoutOverAndTakesItBackOnlyOnOk) {
    answers.printers = {"Office"};
    const PrintLayout before = form->PrintLayout;
    PrintLayout seen;
    QSize previewSize;
    answers.onLayoutDialog = [&](QDialog& d) {
        auto& f = static_cast<TPrintPreviewForm&>(d);
        seen = f.PrintLayout;
        EXPECT_EQ(f.ImageWidthPx, 960);
        EXPECT_EQ(f.ImageHeightPx, 720);
        EXPECT_GT(f.PageWidthPx, 1);
        previewSize = f.PreviewBitmap().size();
        f.CheckBoxFitPage->setChecked(false);
        f.EditScale->setText("50");
        f.ButtonCancel->click();
    };
    form->MenuPrintPreview->trigger();
    EXPECT_EQ(answers.layoutDialogs, 1);
    EXPECT_EQ(seen, before);
    EXPECT_FALSE(previewSize.isEmpty());
    EXPECT_EQ(form->PrintLayout, before);

    answers.onLayoutDialog = [&](QDialog& d) {
        auto& f = static_cast<TPrintPreviewForm&>(d);
        f.CheckBoxFitPage->setChecked(false);
        f.EditScale->setText("50");
        f.ButtonOK->click();
    };
    form->MenuPrintPreview->trigger();
    EXPECT_FALSE(form->PrintLayout.FitPage);
    EXPECT_EQ(form->PrintLayout.Scale, 50.0);
    EXPECT_DOUBLE_EQ(form->PrintLayout.Width, 5.0);  // 480 px
    EXPECT_TRUE(boxes.boxes.empty());
}

TEST_F(PrintCommandTest, TheDialogTakesTheMainWindowsLanguageFileEvenWhenTheFolderChanged) {
    std::filesystem::create_directories(dir.file("Languages"));
    const std::string deutsch = "[Info]\nLanguage=Deutsch\n[String]\nPrint=Drucken\n";
    test::WriteBytes(dir.file("Languages/b.ini"), std::vector<std::uint8_t>(deutsch.begin(), deutsch.end()));
    form = std::make_unique<TMainForm>(dir.path() + "/");
    form->LanguageIndex = 0;
    // Added while the program runs, sorted before the chosen file.
    const std::string other = "[Info]\nLanguage=A\n[String]\nPrint=Wrong file\n";
    test::WriteBytes(dir.file("Languages/a.ini"), std::vector<std::uint8_t>(other.begin(), other.end()));
    answers.printers = {"Office"};
    QString title;
    answers.onLayoutDialog = [&](QDialog& d) {
        title = d.windowTitle();
        static_cast<TPrintPreviewForm&>(d).ButtonCancel->click();
    };
    form->MenuPrintPreview->trigger();
    EXPECT_EQ(title, "Drucken");
}

TEST_F(PrintCommandTest, PrintThenCancelPrintsTheDialogValuesAndKeepsTheLayout) {
    TempDir out;
    const std::string pdf = out.file("job.pdf");
    PrintIntoPdf(pdf);
    const PrintLayout before = form->PrintLayout;
    answers.onLayoutDialog = [&](QDialog& d) {
        auto& f = static_cast<TPrintPreviewForm&>(d);
        f.CheckBoxFitPage->setChecked(false);
        f.EditScale->setText("50");
        f.ButtonPrint->click();
        f.ButtonCancel->click();
    };
    form->MenuPrintPreview->trigger();
    EXPECT_TRUE(boxes.boxes.empty()) << boxes.texts().join('|').toStdString();
    EXPECT_EQ(form->PrintLayout, before);
    ASSERT_TRUE(std::filesystem::exists(pdf));
    const std::string info = Shell("pdfinfo '" + pdf + "'");
    EXPECT_NE(info.find("Pages:           1"), std::string::npos) << info;
    EXPECT_NE(info.find("Title:           Corvellin"), std::string::npos) << info;
    // The picture is embedded at the full-size picture's pixel size.
    const std::string images = Shell("pdfimages -list '" + pdf + "'");
    EXPECT_NE(images.find(" 960   720"), std::string::npos) << images;
}

TEST_F(PrintCommandTest, EmptyPictureAndRefusedJobGiveClearMessages) {
    answers.printers = {"Office"};
    // A printer that cannot start the job: an output file in a folder that is a regular file.
    TempDir out;
    test::WriteBytes(out.file("file"), {1});
    answers.onPrintDialog = [&](QPrinter& printer) {
        printer.setOutputFileName(QString::fromStdString(out.file("file/job.pdf")));
    };
    const PrintLayout before = form->PrintLayout;
    form->MenuPrint->trigger();
    EXPECT_EQ(boxes.texts(), QStringList{kPrintFailedText});
    EXPECT_EQ(form->PrintLayout, before);
    EXPECT_FALSE(form->suiProgressBar1->isVisible());

    boxes.boxes.clear();
    form->FullSizePicture = Picture();
    form->MenuPrint->trigger();
    form->MenuPrintPreview->trigger();
    EXPECT_EQ(boxes.texts(), (QStringList{"There is no picture to print. Open a picture first (File > Open).",
                                          "There is no picture to print. Open a picture first (File > Open)."}));
    EXPECT_EQ(answers.layoutDialogs, 0);
}

}  // namespace
}  // namespace corvellin
