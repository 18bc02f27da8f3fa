// The editor at the device pixel ratio this process runs at (QT_SCALE_FACTOR,
// one ctest entry per ratio): every picture on screen is made in device pixels
// and drawn 1:1, the layout keeps its logical sizes, the mask thumbnails look
// as they do at ratio 1, and saved files are the bytes of the command line.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/Fit.h"
#include "app/MainForm.h"
#include "effects/Catalogue.h"
#include "output/PreviewFit.h"
#include "output/PreviewForm.h"
#include "output/PrintLayout.h"
#include "output/PrintPreviewForm.h"
#include "output/WallpaperOptForm.h"
#include "picture/JpegCodec.h"
#include "platform/qt/PictureImage.h"

namespace corvellin {
namespace {

double AskedRatio() {
    const QByteArray factor = qgetenv("QT_SCALE_FACTOR");
    return factor.isEmpty() ? 1.0 : factor.toDouble();
}

class DeviceResolution : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/pic", dir.file("pic"),
                              std::filesystem::copy_options::recursive);
        // A detailed picture (no two neighbours alike) and a smooth one, made by ImageMagick.
        ASSERT_EQ(std::system(("convert -size 1600x1200 -seed 3 plasma:fractal -attenuate 0.6 +noise Uniform "
                               "-quality 95 '" + dir.file("detail.jpg") + "'").c_str()), 0);
        ASSERT_EQ(std::system(("convert -size 1600x1200 gradient:'rgb(230,60,20)-rgb(20,90,220)' -quality 95 '" +
                               dir.file("smooth.jpg") + "'").c_str()), 0);
        std::filesystem::copy_file(dir.file("detail.jpg"), dir.file("pic/default.jpg"),
                                   std::filesystem::copy_options::overwrite_existing);
        form = std::make_unique<TMainForm>(dir.path() + "/");
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
    }
    void Open(const std::string& path) {
        seam.answers.push_back({QString::fromStdString(path), 1});
        form->suitempBitBtnOpenClick();
        ASSERT_TRUE(seam.boxes.empty()) << seam.boxes.front().text.toStdString();
    }

    test::TempDir dir;
    test::RecordingSeam seam;
    std::unique_ptr<TMainForm> form;
    const double ratio = AskedRatio();
};

// The pixels a control shows, as the screen gets them: the control rendered
// at the screen's ratio, cut to the picture's own size.
QImage Drawn(ImageView* view) {
    const QImage shot = view->grab().toImage().convertToFormat(QImage::Format_RGB888);
    return shot.copy(0, 0, view->picture().width(), view->picture().height());
}

QImage Exact(const Picture& picture) { return PictureToImage(picture).convertToFormat(QImage::Format_RGB888); }

TEST_F(DeviceResolution, PanesAndThumbnailsAreMadeInDevicePixelsAndDrawnOneToOne) {
    ASSERT_DOUBLE_EQ(qApp->devicePixelRatio(), ratio) << "the test does not run at the ratio it names";
    EXPECT_DOUBLE_EQ(form->DisplayRatio(), ratio);
    TMainForm& f = *form;
    // The layout keeps its logical sizes.
    EXPECT_EQ(f.PanelPicture->size(), QSize(kPicturePaneWidth, kPicturePaneHeight));
    EXPECT_EQ(f.Thumbnails[7]->geometry(), QRect(336, 158, kThumbnailWidth, kThumbnailHeight));

    // 1600 x 1200 in a 400 x 267 pane: the pane's device pixels, fitted.
    const FitRect fit = FitPictureToPanel(1600, 1200, DevicePixels(400, ratio), DevicePixels(267, ratio));
    for (ImageView* pane : {f.ImageScreen, f.ImagePreview}) {
        EXPECT_EQ(pane->picture().width(), fit.width);
        EXPECT_EQ(pane->picture().height(), fit.height);
        EXPECT_LT(std::abs(pane->width() * ratio - fit.width), ratio) << "control and picture differ in size";
        EXPECT_TRUE(QRect(QPoint(0, 0), f.PanelPicture->size()).contains(pane->geometry()));
        EXPECT_EQ(Drawn(pane), Exact(pane->picture())) << "not drawn 1:1";
    }
    EXPECT_EQ(f.WorkingPicture().width(), f.PreviewPicture().width());
    const int side = DevicePixels(kThumbnailWidth, ratio);
    for (ImageView* thumb : f.Thumbnails) {
        EXPECT_EQ(thumb->picture().width(), side);
        EXPECT_EQ(thumb->picture().height(), side);
        EXPECT_EQ(Drawn(thumb), Exact(thumb->picture())) << "thumbnail " << thumb->Tag << " not drawn 1:1";
    }
    // The category marker on the button, painted at the device size.
    const QIcon marker = f.ButtonPreset->icon();
    EXPECT_EQ(marker.pixmap(QSize(15, 15), ratio).size(), QSize(DevicePixels(15, ratio), DevicePixels(15, ratio)));
    // Menu icons too are painted at the device size, not enlarged from a smaller picture.
    const QPixmap open = f.MenuOpen->icon().pixmap(QSize(16, 16), ratio);
    EXPECT_EQ(open.size(), QSize(DevicePixels(16, ratio), DevicePixels(16, ratio)));
    if (ratio >= 2) {
        const QImage small = f.MenuOpen->icon().pixmap(QSize(16, 16), 1.0).toImage();
        EXPECT_NE(open.toImage(), small.scaled(open.size()).convertToFormat(open.toImage().format()));
    }
}

TEST_F(DeviceResolution, FullScreenPrintPageAndWallpaperPicturesAreInDevicePixels) {
    TPreviewForm preview(nullptr, -1, std::string());
    preview.ShownPicture = form->FullSizePicture;
    preview.FitToScreen();
    const QRect area = preview.ScreenArea();
    const ScreenRect r = FitToScreen(1600, 1200, DevicePixels(area.width(), ratio), DevicePixels(area.height(), ratio));
    EXPECT_EQ(preview.ImagePreview->image().size(), QSize(r.width, r.height));
    EXPECT_DOUBLE_EQ(preview.ImagePreview->image().devicePixelRatio(), ratio);
    EXPECT_EQ(preview.ImagePreview->image().convertToFormat(QImage::Format_RGB888),
              Exact(StretchNearest(form->FullSizePicture, r.width, r.height)));

    TPrintPreviewForm print(-1, std::string());
    print.PrintLayout = PrintLayout{};
    print.ImageWidthPx = 1600;
    print.ImageHeightPx = 1200;
    print.PageWidthPx = 768;
    print.PageHeightPx = 1056;
    print.SetPreviewPicture(form->WorkingPicture());
    print.FormShow();
    const PixelRect box = PreviewBox(257, 257, 768, 1056);
    EXPECT_EQ(print.ImagePreview->size(), QSize(box.width, box.height));
    EXPECT_EQ(print.PreviewBitmap().size(), QSize(DevicePixels(box.width, ratio), DevicePixels(box.height, ratio)));

    TWallpaperOptForm wallpaper(nullptr, -1, std::string());
    const QPixmap monitor = wallpaper.ImageCenter->pixmap();
    EXPECT_EQ(monitor.size(), QSize(DevicePixels(178, ratio), DevicePixels(160, ratio)));
    EXPECT_EQ(wallpaper.ImageCenter->size(), QSize(178, 160));
}

// The masks are stretched to the scratch picture whatever its size: brought
// back to 150 x 150, a thumbnail at this ratio is the ratio-1 thumbnail.
TEST_F(DeviceResolution, MaskThumbnailsLookAsAtRatioOne) {
    Open(dir.file("smooth.jpg"));
    EffectContext context;
    MaskCache masks;
    context.picDir = dir.file("pic");
    context.masks = &masks;
    const FitRect atOne = FitPictureToPanel(1600, 1200, 400, 267);
    const Picture workingAtOne = StretchNearest(form->FullSizePicture, atOne.width, atOne.height);
    for (int category : {1, 6, 10, 12}) {
        form->CategoryButton(category)->click();
        for (int v = 0; v < kVariationCount; ++v) {
            Picture expected = StretchNearest(workingAtOne, 150, 150);
            ApplyEffect(context, &expected, category, v, -1, kDefaultEdgeColour);
            const Picture shown = StretchNearest(form->Thumbnails[static_cast<std::size_t>(v)]->picture(), 150, 150);
            long total = 0;
            for (int y = 0; y < 150; ++y)
                for (int x = 0; x < 450; ++x) total += std::abs(int(shown.row(y)[x]) - int(expected.row(y)[x]));
            EXPECT_LT(total / (150.0 * 450.0), 4.0) << "category " << category << " variation " << v;
        }
    }
}

// Save replays onto the full-size picture: the same bytes as corvellin-fx at every ratio.
TEST_F(DeviceResolution, SavedFileIsTheCommandLinesBytes) {
    Open(dir.file("detail.jpg"));
    form->CategoryButton(6)->click();
    form->ImageClick(form->Thumbnails[2]);
    form->suitempBitBtnApplyClick();
    form->CategoryButton(4)->click();
    form->ImageClick(form->Thumbnails[5]);  // mosaic, with its slider
    form->TrackBarValue->setValue(12);
    form->suitempBitBtnApplyClick();
    seam.answers.push_back({QString::fromStdString(dir.file("out.jpg")), 1});
    form->suitempBitBtnSaveClick();
    ASSERT_TRUE(seam.boxes.empty());
    const std::string fx = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx apply --pic-dir '" + dir.file("pic") + "' '" +
                           dir.file("detail.jpg") + "' '" + dir.file("fx.jpg") + "' 6:2 4:5:12";
    ASSERT_EQ(std::system(fx.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("out.jpg")), test::ReadBytes(dir.file("fx.jpg")));
}

}  // namespace
}  // namespace corvellin
