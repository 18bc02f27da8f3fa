// The full-screen preview: the fit arithmetic, the window over the primary
// screen, the picture drawn once without smoothing, closing, and the command
// in the main window with the effect under preview.
#include <QApplication>
#include <QPushButton>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "effects/Catalogue.h"
#include "output/PreviewFit.h"
#include "output/PreviewForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/PictureImage.h"
#include "platform/qt/Shell.h"

namespace corvellin {

void PrintTo(const ScreenRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.width << " x " << r.height << ")";
}

namespace {

using test::TempDir;

constexpr const char* kCloseHint = "DClick left mouse button or press 'Esc' key to close";

TEST(FitToScreenTest, FitsWithoutEverEnlarging) {
    struct Case {
        int W, H, SW, SH;
        ScreenRect expected;
    };
    const Case cases[] = {
        {800, 600, 1920, 1080, {560, 240, 800, 600}},       // smaller: its own size, centred
        {2000, 1080, 1920, 1080, {0, 22, 1920, 1036}},      // wider: width limited, 2073600/2000 truncated
        {3840, 2160, 1920, 1080, {0, 0, 1920, 1080}},       // same shape, larger
        {1000, 3000, 1920, 1080, {780, 0, 360, 1080}},      // taller
        {1920, 1080, 1920, 1080, {0, 0, 1920, 1080}},       // exactly the screen
        {1, 1, 1920, 1080, {959, 539, 1, 1}},
        {30000, 20000, 1920, 1080, {150, 0, 1620, 1080}},   // products beyond 32 bits
        {40000, 1000, 1920, 1080, {0, 516, 1920, 48}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitToScreen(c.W, c.H, c.SW, c.SH), c.expected) << c.W << " x " << c.H;
}

void Key(QWidget& w, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &press);
}

void Press(QWidget& target, Qt::MouseButton button) {
    const QPointF at(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, at, target.mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
}

TEST(PreviewFormTest, CoversThePrimaryScreenAndDrawsThePictureUnsmoothed) {
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    struct Case {
        int width, height;
    };
    // Larger than the offscreen screen in both directions, wider, and smaller.
    const Case cases[] = {{screen.width() * 3 + 7, screen.height() * 2 + 1}, {screen.width() * 2, 50}, {100, 60}};
    for (const Case& c : cases) {
        TPreviewForm form(nullptr, -1, "");
        EXPECT_TRUE(form.ShownPicture.empty());
        form.ShownPicture = test::RandomPicture(c.width, c.height, 9);
        form.show();
        EXPECT_EQ(form.geometry(), screen);
        EXPECT_TRUE(form.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(form.windowTitle(), "Preview");
        const ScreenRect r = FitToScreen(c.width, c.height, screen.width(), screen.height());
        EXPECT_EQ(form.ImagePreview->geometry(), QRect(r.left, r.top, r.width, r.height));
        const QImage expected = PictureToImage(StretchNearest(form.ShownPicture, r.width, r.height));
        EXPECT_EQ(form.ImagePreview->image(), expected);

        // What reaches the screen: the nearest-pixel picture, black around it.
        const QImage drawn = form.grab().toImage().convertToFormat(QImage::Format_RGB888);
        EXPECT_EQ(drawn.copy(r.left, r.top + 20, r.width, r.height - 20),
                  expected.convertToFormat(QImage::Format_RGB888).copy(0, 20, r.width, r.height - 20));
        if (r.top > 0) {
            EXPECT_EQ(drawn.pixelColor(screen.width() - 1, 0), QColor(Qt::black));
        }
        if (r.left > 0) {
            EXPECT_EQ(drawn.pixelColor(0, screen.height() - 1), QColor(Qt::black));
        }
        form.close();
    }
}

// The sizing runs once per showing: a restore after minimising (a spontaneous
// show event) leaves the window as it was; showing it again fits it anew.
TEST(PreviewFormTest, FitsOncePerShowingNotOnARestore) {
    TPreviewForm form(nullptr, -1, "");
    form.ShownPicture = test::RandomPicture(100, 60, 9);
    form.show();
    const QRect fitted = form.ImagePreview->geometry();
    const QRect moved(1, 2, 3, 4);
    form.ImagePreview->setGeometry(moved);
    form.setWindowState(Qt::WindowMinimized);
    form.setWindowState(Qt::WindowNoState);
    EXPECT_EQ(form.ImagePreview->geometry(), moved);
    form.hide();
    form.show();
    EXPECT_EQ(form.ImagePreview->geometry(), fitted);
    form.close();
}

TEST(PreviewFormTest, LabelsAndTheirTranslation) {
    TPreviewForm plain(nullptr, -1, "");
    EXPECT_EQ(plain.Label1->text(), kCloseHint);
    EXPECT_EQ(plain.Label2->text(), kCloseHint);
    EXPECT_EQ(plain.Label1->pos(), QPoint(8, 8));
    EXPECT_EQ(plain.Label2->pos(), QPoint(7, 7));
    // At least 303 by 14, and never cutting its text off.
    EXPECT_EQ(plain.Label1->height(), 14);
    EXPECT_GE(plain.Label1->width(), std::max(303, plain.Label1->sizeHint().width()));
    EXPECT_EQ(plain.Label2->size(), plain.Label1->size());
    EXPECT_TRUE(plain.Label1->font().bold());
    EXPECT_EQ(plain.Label1->font().pixelSize(), 12);

    TempDir dir;
    std::ofstream(dir.file("fr.ini")) << "[String]\n" << kCloseHint << "=Double-clic ou 'Echap' pour fermer\n";
    TPreviewForm translated(nullptr, 0, dir.file("fr.ini"));
    EXPECT_EQ(translated.Label1->text(), "Double-clic ou 'Echap' pour fermer");
    EXPECT_EQ(translated.Label2->text(), translated.Label1->text());
    // A missing file keeps the built-in text.
    TPreviewForm missing(nullptr, 0, dir.file("none.ini"));
    EXPECT_EQ(missing.Label1->text(), kCloseHint);
}

TEST(PreviewFormTest, EscAndEveryMouseButtonClose) {
    struct Case {
        const char* what;
        std::function<void(TPreviewForm&)> act;
        bool closes;
    };
    const Case cases[] = {
        {"Esc", [](TPreviewForm& f) { Key(f, Qt::Key_Escape, QString(QChar(27))); }, true},
        {"letter", [](TPreviewForm& f) { Key(f, Qt::Key_A, "a"); }, false},
        {"Enter", [](TPreviewForm& f) { Key(f, Qt::Key_Return, "\r"); }, false},
        {"left on the window", [](TPreviewForm& f) { Press(f, Qt::LeftButton); }, true},
        {"right on the window", [](TPreviewForm& f) { Press(f, Qt::RightButton); }, true},
        {"middle on the picture",
         [](TPreviewForm& f) {
             // The picture passes its presses on to the window.
             const QPoint at = f.ImagePreview->geometry().center();
             QWidget* hit = f.childAt(at);
             Press(hit ? *hit : static_cast<QWidget&>(f), Qt::MiddleButton);
         },
         true},
    };
    for (const Case& c : cases) {
        TPreviewForm form(nullptr, -1, "");
        form.ShownPicture = test::RandomPicture(300, 200, 4);
        form.show();
        c.act(form);
        EXPECT_EQ(!form.isVisible(), c.closes) << c.what;
    }
}

// ---- MenuPreviewClick ------------------------------------------------------------

class PreviewCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        context.picDir = dir.path() + "/pic";
        for (int category : {1, 6})
            for (int n = 1; n <= 10; ++n)
                test::WriteMaskFile(context.picDir, category, n,
                                    test::RandomPicture(40, 30, static_cast<std::uint32_t>(category * 10 + n)));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::RandomPicture(320, 200, 2), 90));
        form = std::make_unique<TMainForm>(dir.path() + "/");
        SetModalRunner([this](QDialog& dialog) {
            auto* preview = qobject_cast<TPreviewForm*>(&dialog);
            EXPECT_NE(preview, nullptr);
            if (preview) {
                shown.push_back(preview->ShownPicture);
                EXPECT_EQ(preview->Label1->text(), kCloseHint);
                preview->show();
                Key(*preview, Qt::Key_Escape, QString(QChar(27)));
                EXPECT_FALSE(preview->isVisible());
            }
            return static_cast<int>(QDialog::Rejected);
        });
    }
    void TearDown() override {
        form.reset();
        SetModalRunner({});
        SetDialogSeam(nullptr);
    }
    Picture Replayed(std::initializer_list<EffectCall> calls) {
        Picture p = form->FullSizePicture;
        for (const EffectCall& c : calls) ApplyEffect(context, &p, c.category, c.variation, c.parameter, c.colour);
        return p;
    }

    TempDir dir;
    test::RecordingSeam seam;
    EffectContext context;
    std::unique_ptr<TMainForm> form;
    std::vector<Picture> shown;
};

TEST_F(PreviewCommandTest, ShowsTheHistoryWithThePendingEffect) {
    TMainForm& f = *form;
    // Nothing applied, nothing selected: the picture as opened.
    f.MenuPreviewClick();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], f.FullSizePicture);

    f.ImageClick(f.Thumbnails[3]);
    f.suitempBitBtnApplyClick();
    f.suitempButtonStarClick(f.ButtonStar);
    f.ImageClick(f.Thumbnails[5]);
    f.suitempBitBtnApplyClick();
    f.suitempBitBtnUndoClick();
    f.ImageClick(f.Thumbnails[2]);  // previewed, not applied

    // The View menu item and a double click on the preview pane.
    f.MenuPreview->trigger();
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(3, 3), f.ImagePreview->mapToGlobal(QPointF(3, 3)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(f.ImagePreview, &twice);
    ASSERT_EQ(shown.size(), 3u);
    const Picture expected = Replayed({{1, 3, -1, kDefaultEdgeColour}, {6, 2, -1, kDefaultEdgeColour}});
    EXPECT_EQ(shown[1], expected);
    EXPECT_EQ(shown[2], expected);
    EXPECT_TRUE(seam.boxes.empty());
    // Nothing of the editor changed.
    EXPECT_EQ(f.CurrentVariation, 2);
    EXPECT_TRUE(f.suiProgressBar1->isHidden());
}

TEST_F(PreviewCommandTest, AReplayErrorOpensNoWindowAndAnEmptyPictureIsRefused) {
    TMainForm& f = *form;
    f.ImageClick(f.Thumbnails[4]);
    f.suitempBitBtnApplyClick();
    std::filesystem::remove(dir.file("pic/1/5.gph"));
    f.MenuPreviewClick();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "Error");
    EXPECT_TRUE(seam.boxes[0].text.contains("5.gph")) << seam.boxes[0].text.toStdString();
    EXPECT_FALSE(f.Busy());

    f.FullSizePicture = Picture();
    f.MenuPreviewClick();
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(seam.boxes.size(), 2u);
    EXPECT_EQ(seam.boxes[1].title, "Information");
    EXPECT_EQ(seam.boxes[1].text, kNoPreviewPictureText);
}

}  // namespace
}  // namespace corvellin
