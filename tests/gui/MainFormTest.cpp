// TMainForm under the offscreen platform: start-up, the effect browser, the
// history, Open and Save, the error display and the busy guard.
#include <QAction>
#include <QApplication>
#include <QColorSpace>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QIcon>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <QtTest/QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "RecordingSeam.h"
#include "TestFiles.h"
#include "app/MainForm.h"
#include "app/MenuIcons.h"
#include "effects/ArtEffect.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/JpegCodec.h"
#include "picture/PictureFile.h"
#include "platform/qt/Dialogs.h"

namespace corvellin {
namespace {

using test::TempDir;

QStringList MemoLines(const TMainForm& form) { return form.Memo1->toPlainText().split('\n'); }

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetDialogSeam(&seam);
        context.picDir = dir.path() + "/pic";
        for (int category : {1, 6, 11}) WriteMasks(category);
    }
    void TearDown() override {
        form.reset();
        SetDialogSeam(nullptr);
    }

    void WriteMasks(int category) {
        for (int n = 1; n <= 10; ++n)
            test::WriteMaskFile(context.picDir, category, n,
                                test::RandomPicture(64, 48, static_cast<std::uint32_t>(category * 100 + n)));
    }
    std::string WriteJpeg(const std::string& name, const Picture& picture) {
        const std::string path = dir.file(name);
        test::WriteBytes(path, EncodeJpeg(picture, 90));
        return path;
    }
    void WriteDefault() { WriteJpeg("pic/default.jpg", test::RandomPicture(640, 427, 7)); }
    TMainForm& Start() {
        form = std::make_unique<TMainForm>(dir.path() + "/");
        return *form;
    }
    Picture Rendered(const Picture& source, int category, int variation, std::uint32_t colour = kDefaultEdgeColour) {
        Picture p = source;
        ApplyEffect(context, &p, category, variation, -1, colour);
        return p;
    }
    Picture Thumb(const Picture& working, int category, int variation, std::uint32_t colour = kDefaultEdgeColour) {
        return Rendered(StretchNearest(working, 150, 150), category, variation, colour);
    }
    void Open(const std::string& path, int entry = 1) {
        seam.answers.push_back({QString::fromStdString(path), entry});
        form->suitempBitBtnOpenClick();
    }
    void Save(const std::string& path, int entry) {
        seam.answers.push_back({QString::fromStdString(path), entry});
        form->suitempBitBtnSaveClick();
    }
    std::vector<int> MarkedCategories() const {
        std::vector<int> marked;
        for (int c = 1; c <= kCategoryCount; ++c)
            if (!form->CategoryButton(c)->icon().isNull()) marked.push_back(c);
        return marked;
    }
    void ExpectControls(bool apply, bool undo, bool redo) {
        EXPECT_EQ(form->BitBtnApply->isEnabled(), apply);
        EXPECT_EQ(form->MenuApply->isEnabled(), apply);
        EXPECT_EQ(form->BitBtnUndo->isEnabled(), undo);
        EXPECT_EQ(form->MenuUnDo->isEnabled(), undo);
        EXPECT_EQ(form->BitBtnReDo->isEnabled(), redo);
        EXPECT_EQ(form->MenuRedo->isEnabled(), redo);
    }

    TempDir dir;
    test::RecordingSeam seam;
    EffectContext context;
    std::unique_ptr<TMainForm> form;
};

TEST_F(EditorTest, StartUpShowsDefaultPictureAndPresetThumbnails) {
    WriteDefault();
    TMainForm& f = Start();
    EXPECT_TRUE(seam.boxes.empty());
    EXPECT_EQ(f.windowTitle(), "Corvellin Photo Editor");
    EXPECT_EQ(f.CurrentCategory, 1);
    EXPECT_EQ(f.CurrentVariation, -1);
    ExpectControls(false, false, false);
    EXPECT_TRUE(f.TrackBarValue->isHidden());
    EXPECT_TRUE(f.EditValue->isHidden());
    EXPECT_TRUE(f.ColorBoxEdge->isHidden());
    EXPECT_TRUE(f.Memo1->isHidden());
    EXPECT_TRUE(f.suiProgressBar1->isHidden());
    EXPECT_EQ(f.ColorBoxEdge->selectedColour(), 0x008000u);
    EXPECT_EQ(MarkedCategories(), std::vector<int>{1});
    EXPECT_EQ(f.StatusPanels[1]->text().toStdString(), "Open file: " + dir.path() + "/pic/default.jpg");
    // Start-up applies the language: the built-in English texts replace the design captions.
    EXPECT_EQ(f.StatusPanels[0]->text(), "Click the small photo to preview and apply this effection");
    EXPECT_EQ(MemoLines(f), QStringList{"0,0,0,0 <<"});
    EXPECT_TRUE(f.MenuEnglish->isChecked());

    // 640 x 427 shrinks to 400 x 266, centred; working, preview and root agree.
    EXPECT_EQ(f.ImageScreen->geometry(), QRect(0, 0, 400, 266));
    EXPECT_EQ(f.FullSizePicture.width(), 640);
    EXPECT_EQ(f.WorkingPicture(), StretchNearest(f.FullSizePicture, 400, 266));
    EXPECT_EQ(f.PreviewPicture(), f.WorkingPicture());
    EXPECT_EQ(f.History.HistoryRoot()->snapshot, f.WorkingPicture());
    for (int i = 0; i < 10; ++i) {
        const ImageView* t = f.Thumbnails[static_cast<std::size_t>(i)];
        EXPECT_EQ(t->Tag, i);
        EXPECT_EQ(t->geometry(), QRect((i % 5) * 162 + 12, (i / 5) * 154 + 4, 150, 150));
        EXPECT_EQ(t->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_EQ(t->picture(), Thumb(f.WorkingPicture(), 1, i)) << i;
    }
    EXPECT_EQ(f.Thumbnails[7]->geometry().topLeft(), QPoint(336, 158));
}

TEST_F(EditorTest, LayoutAndMenus) {
    WriteDefault();
    TMainForm& f = Start();
    struct Place {
        QWidget* widget;
        QRect rect;
    };
    // The tool bar's buttons share one width: the design's 75, or what the
    // widest caption needs as the current category shows it (bold, with the
    // marker), which "A&mazing" and "&Whether" do need in English.
    const int toolWidth = f.BitBtnOpen->width();
    EXPECT_GE(toolWidth, 75);
    const Place places[] = {
        {f.PanelPicture, {42, 24, 400, 267}},   {f.PanelPreview, {465, 24, 400, 267}},
        {f.PanelEffect, {42, 328, 823, 313}},   {f.ColorBoxEdge, {42, 301, 145, 21}},
        {f.suiProgressBar1, {42, 301, 400, 21}}, {f.EditValue, {431, 301, 31, 21}},
        {f.TrackBarValue, {465, 302, 157, 21}}, {f.BitBtnApply, {628, 296, 75, 25}},
        {f.BitBtnUndo, {709, 296, 75, 25}},     {f.BitBtnReDo, {790, 296, 75, 25}},
        {f.Memo1, {760, 16, 139, 256}},         {f.ImageFlag, {6, 190, 15, 15}},
        {f.BitBtnOpen, {16, 25, toolWidth, 25}},       {f.suiButtonWallPaper, {16, 92, toolWidth, 25}},
        {f.ButtonLightC, {16, 286, toolWidth, 25}},    {f.ButtonFrame, {16, 616, toolWidth, 25}},
    };
    for (const Place& p : places) EXPECT_EQ(p.widget->geometry(), p.rect) << p.widget->objectName().toStdString();
    EXPECT_EQ(f.PanelScreen->size(), QSize(897, 641));
    EXPECT_EQ(f.PanelLeftToolbar->width(), 16 + toolWidth + 22);  // 113 at the design width
    EXPECT_EQ(f.PanelLeftToolbar->findChildren<QPushButton*>().size(), 18);
    EXPECT_EQ(f.ButtonStar->text(), "&Star");  // the built-in text of the language table

    const std::pair<QAction*, QKeySequence> shortcuts[] = {
        {f.MenuOpen, QKeySequence("Ctrl+O")}, {f.MenuSave, QKeySequence("Ctrl+S")},
        {f.MenuUnDo, QKeySequence("Ctrl+Z")}, {f.MenuRedo, QKeySequence("Ctrl+R")},
        {f.MenuApply, QKeySequence("Ctrl+A")}, {f.MenuHelpContent, QKeySequence("F1")},
    };
    for (const auto& [action, keys] : shortcuts) EXPECT_EQ(action->shortcut(), keys) << action->text().toStdString();
    QStringList effectItems;
    for (QAction* a : f.Effect1->actions()) effectItems << a->text();
    EXPECT_EQ(effectItems, (QStringList{"&Preset", "&Sketch", "&LightA", "&Light&B", "&Light&C", "&Star", "&Amazing",
                                        "&Water", "&Dream", "&Whether", "&Color", "&Art", "&Texture", "&Edge",
                                        "&Frame"}));
    QStringList fileItems;
    for (QAction* a : f.File1->actions()) fileItems << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(fileItems, (QStringList{"&Open", "-", "&Save", "Set &Wallpaper", "-", "P&aper Settings...",
                                      "Print Pre&view...", "&Print...", "-", "E&xit"}));
    EXPECT_FALSE(f.MenuUpdates->isVisible());
}

// Every menu command has a small icon: the desktop theme's by its freedesktop
// name where there is one, our painted one otherwise (and wherever the theme
// lacks it). Each is drawn at the device's own pixel size at every ratio.
TEST_F(EditorTest, MenuCommandsHaveIconsCrispAtEveryDeviceRatio) {
    WriteDefault();
    const QString before = QIcon::themeName();
    const QStringList searchPaths = QIcon::themeSearchPaths();
    // Where a desktop session finds its themes (the offscreen platform names none).
    QIcon::setThemeSearchPaths({"/usr/share/icons"});
    for (const QString theme : {QString("Adwaita"), QString("no-such-icon-theme")}) {
        SCOPED_TRACE(theme.toStdString());
        QIcon::setThemeName(theme);
        form.reset();
        TMainForm& f = Start();
        int commands = 0;
        for (const QMenu* menu : f.menuBar()->findChildren<QMenu*>()) {
            for (const QAction* a : menu->actions()) {
                if (a->isSeparator() || a->menu() || a->isCheckable()) continue;
                ++commands;
                const std::string name = a->objectName().toStdString();
                SCOPED_TRACE(name);
                const QIcon icon = a->icon();
                ASSERT_FALSE(icon.isNull());
                const std::string themeName = MenuIconThemeName(name.c_str());
                EXPECT_EQ(icon.name().toStdString(), theme == "Adwaita" ? themeName : "");
                for (const qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
                    const QPixmap pixmap = icon.pixmap(QSize(16, 16), ratio);
                    EXPECT_EQ(pixmap.size(), QSize(16, 16) * ratio) << ratio;
                    EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
                }
                // Not the small picture blown up: the double-size one has its own detail.
                const QImage small = icon.pixmap(QSize(16, 16), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
                const QImage large = icon.pixmap(QSize(16, 16), 2.0).toImage().convertToFormat(QImage::Format_ARGB32);
                EXPECT_NE(large, small.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation));
                EXPECT_GT(std::count_if(reinterpret_cast<const QRgb*>(small.constBits()),
                                        reinterpret_cast<const QRgb*>(small.constBits()) + 256,
                                        [](QRgb c) { return qAlpha(c) > 0; }),
                          20);
            }
        }
        // File 7, Edit 3, View 1, Effect 15, Tools 1, More Languages, Help 3.
        EXPECT_EQ(commands, 31);
    }
    QIcon::setThemeName(before);
    QIcon::setThemeSearchPaths(searchPaths);
}

TEST_F(EditorTest, MissingOrBrokenDefaultPictureStillGivesAWorkingEditor) {
    {
        TMainForm& f = Start();
        ASSERT_EQ(seam.boxes.size(), 1u);
        EXPECT_EQ(seam.boxes[0].title, "Error");
        EXPECT_EQ(seam.boxes[0].text.toStdString(), "Picture does not exists!\r" + dir.path() + "/pic/default.jpg");
        EXPECT_TRUE(f.WorkingPicture().empty());
        EXPECT_EQ(f.CurrentCategory, 1);
        EXPECT_EQ(f.StatusPanels[1]->text().toStdString(), "Open file: " + dir.path() + "/pic/default.jpg");
        // Output on an empty picture says so and asks for no file name.
        f.suitempBitBtnSaveClick();
        ASSERT_EQ(seam.boxes.size(), 2u);
        EXPECT_EQ(seam.boxes[1].title, "Information");
        EXPECT_EQ(seam.boxes[1].text, kNothingToSaveText);
        EXPECT_TRUE(seam.requests.empty());
        // Browsing and Apply work on the empty picture; nothing divides by its size.
        f.ImageClick(f.Thumbnails[0]);
        f.suitempBitBtnApplyClick();
        EXPECT_EQ(MemoLines(f).size(), 2);
        EXPECT_EQ(seam.boxes.size(), 2u);
        form.reset();
    }
    seam.boxes.clear();
    test::WriteBytes(dir.file("pic/default.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3});
    TMainForm& f = Start();
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "Error");
    EXPECT_FALSE(seam.boxes[0].text.isEmpty());
    EXPECT_EQ(f.StatusPanels[1]->text().toStdString(), "Open file: " + dir.path() + "/pic/default.jpg");
    EXPECT_TRUE(f.WorkingPicture().empty());
    EXPECT_EQ(f.CurrentCategory, 1);
    const std::string good = WriteJpeg("good.jpg", test::RandomPicture(300, 200, 3));
    Open(good);
    EXPECT_EQ(f.WorkingPicture().width(), 300);
    EXPECT_EQ(f.Thumbnails[0]->picture(), Thumb(f.WorkingPicture(), 1, 0));
}

TEST_F(EditorTest, OpenFitsEachSizeIntoThePanes) {
    WriteDefault();
    TMainForm& f = Start();
    struct Case {
        int gw, gh;
        QRect fitted;
    };
    const Case cases[] = {
        {1600, 1200, {22, 0, 356, 267}}, {1920, 1080, {0, 21, 400, 225}}, {300, 200, {50, 33, 300, 200}},
        {401, 100, {0, 84, 400, 99}},    {400, 267, {0, 0, 400, 267}},
    };
    for (const Case& c : cases) {
        const Picture source = test::SolidPicture(c.gw, c.gh, 10, 20, 30);
        const std::string path = dir.file("size-" + std::to_string(c.gw) + ".BMP");
        test::WriteBytes(path, EncodeBmp(source));
        Open(path);
        EXPECT_EQ(f.ImageScreen->geometry(), c.fitted) << c.gw << "x" << c.gh;
        EXPECT_EQ(f.ImagePreview->geometry(), c.fitted) << c.gw << "x" << c.gh;
        EXPECT_EQ(f.WorkingPicture(), StretchNearest(source, c.fitted.width(), c.fitted.height()));
        EXPECT_EQ(f.PreviewPicture(), f.WorkingPicture());
        EXPECT_EQ(f.FullSizePicture, source);
    }
    EXPECT_TRUE(seam.boxes.empty());
    const auto& filters = seam.requests.front().filters;
    ASSERT_EQ(filters.size(), 8);
    EXPECT_EQ(filters[0].description, "All (*.jpg;*.jpeg;*.bmp;*.png;*.tif;*.tiff;*.webp;*.heic;*.heif)");
    EXPECT_EQ(filters[1].description, "JPEG Image File (*.jpg)");
    EXPECT_EQ(filters[2].description, "JPEG Image File (*.jpeg)");
    EXPECT_EQ(filters[3].description, "Bitmaps (*.bmp)");
    EXPECT_EQ(filters[4].description, "PNG Image File (*.png)");
    EXPECT_EQ(filters[5].description, "TIFF Image File (*.tif;*.tiff)");
    EXPECT_EQ(filters[6].description, "WebP Image File (*.webp)");
    EXPECT_EQ(filters[7].description, "HEIF Image File (*.heic;*.heif)");
    EXPECT_EQ(filters[5].patterns, (QStringList{"*.tif", "*.tiff", "*.TIF", "*.TIFF", "*.Tif", "*.Tiff"}));
    EXPECT_EQ(seam.requests.front().filterEntry, 1);
    // The dialog starts from the name chosen last time.
    EXPECT_EQ(seam.requests.back().fileName.toStdString(), dir.file("size-401.BMP"));
}

// Which button and which Effect menu item open which category, as the
// description names them; each opens its category, marks its own button and
// renders that category's thumbnails.
TEST_F(EditorTest, EachButtonAndEffectMenuItemOpensItsCategory) {
    struct Row {
        int category;
        const char* button;
        const char* item;
    };
    const Row rows[] = {
        {1, "ButtonPreset", "MenuPreset"},   {2, "ButtonColor", "MenuColor"},     {3, "ButtonSketch", "MenuSketch"},
        {4, "ButtonArt", "MenuArt"},         {5, "ButtonLight", "MenuLight"},     {6, "ButtonStar", "MenuStar"},
        {7, "ButtonAmazing", "MenuAmazing"}, {8, "ButtonDream", "MenuDream"},     {9, "ButtonWhether", "MenuWhether"},
        {10, "ButtonTexture", "MenuTexture"}, {11, "ButtonEdge", "MenuEdge"},     {12, "ButtonFrame", "MenuFrame"},
        {13, "ButtonWater", "MenuWater"},    {14, "ButtonLightB", "MenuLightB"}, {15, "ButtonLightC", "MenuLightC"},
    };
    for (const int category : {5, 7, 8, 9, 10, 12, 13, 14, 15}) WriteMasks(category);
    for (int n = 1; n <= 10; ++n)
        test::WriteBytes(FrameMaskFilePath(context.picDir, 12, n),
                         PackMaskBytes(EncodeJpeg(test::RandomPicture(40, 30, static_cast<std::uint32_t>(1200 + n)), 95)));
    WriteDefault();
    TMainForm& f = Start();
    const Picture working = f.WorkingPicture();
    auto expectOpened = [&](const Row& row) {
        EXPECT_EQ(f.CurrentCategory, row.category);
        EXPECT_EQ(f.Thumbnails[0]->picture(), Thumb(working, row.category, 0));
        for (const Row& other : rows)
            EXPECT_EQ(f.PanelLeftToolbar->findChild<QPushButton*>(other.button)->icon().isNull(), &other != &row)
                << other.button;
    };
    // The buttons in order, then the menu items backwards, so that each step
    // changes the category.
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        QPushButton* button = f.PanelLeftToolbar->findChild<QPushButton*>(row.button);
        ASSERT_NE(button, nullptr);
        button->click();
        expectOpened(row);
    }
    for (auto it = std::rbegin(rows); it != std::rend(rows); ++it) {
        SCOPED_TRACE(it->item);
        QAction* item = f.Effect1->findChild<QAction*>(it->item);
        ASSERT_NE(item, nullptr);
        item->trigger();
        expectOpened(*it);
    }
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(EditorTest, BrowserStateTable) {
    WriteDefault();
    TMainForm& f = Start();
    const Picture working = f.WorkingPicture();

    // Thumbnail clicked: the variation is pending, Apply enabled, the preview shows it.
    f.ImageClick(f.Thumbnails[2]);
    EXPECT_EQ(f.CurrentVariation, 2);
    ExpectControls(true, false, false);
    const Picture presetPreview = Rendered(working, 1, 2);
    EXPECT_EQ(f.PreviewPicture(), presetPreview);
    // A ring in the gap around the thumbnail marks the pending variation.
    const QFrame* ring = f.PanelEffect->findChild<QFrame*>("ThumbnailHighlight");
    ASSERT_NE(ring, nullptr);
    EXPECT_FALSE(ring->isHidden());
    EXPECT_EQ(ring->geometry(), f.Thumbnails[2]->geometry().adjusted(-3, -3, 3, 3));

    // Category chosen from the Effect menu: only its button is marked, nothing
    // is pending and the preview pane keeps its picture.
    f.suitempButtonStarClick(f.MenuStar);
    EXPECT_EQ(f.CurrentCategory, 6);
    EXPECT_EQ(f.CurrentVariation, -1);
    ExpectControls(false, false, false);
    EXPECT_EQ(MarkedCategories(), std::vector<int>{6});
    EXPECT_TRUE(ring->isHidden());
    EXPECT_EQ(f.PreviewPicture(), presetPreview);
    EXPECT_EQ(f.Thumbnails[9]->picture(), Thumb(working, 6, 9));

    // Edge: the colour chooser shows; a new colour re-renders the thumbnails,
    // drops the pending effect and leaves the preview pane alone.
    f.suitempButtonEdgeClick(f.ButtonEdge);
    EXPECT_FALSE(f.ColorBoxEdge->isHidden());
    f.ImageClick(f.Thumbnails[4]);
    EXPECT_FALSE(f.ColorBoxEdge->isHidden());
    EXPECT_EQ(f.PreviewPicture(), Rendered(working, 11, 4));
    const Picture edgePreview = f.PreviewPicture();
    f.ColorBoxEdge->chooseItem(f.ColorBoxEdge->findText("Red"));
    EXPECT_EQ(f.ColorBoxEdge->selectedColour(), 0x0000FFu);
    EXPECT_EQ(f.CurrentCategory, 11);
    EXPECT_EQ(f.CurrentVariation, -1);
    ExpectControls(false, false, false);
    EXPECT_FALSE(f.ColorBoxEdge->isHidden());
    EXPECT_EQ(f.PreviewPicture(), edgePreview);
    EXPECT_EQ(f.Thumbnails[4]->picture(), Thumb(working, 11, 4, 0x0000FF));
    // A custom colour comes from the colour dialog; a cancelled one changes nothing.
    seam.colours.push_back(0x123456);
    f.ColorBoxEdge->chooseItem(0);
    EXPECT_EQ(f.ColorBoxEdge->selectedColour(), 0x123456u);
    EXPECT_EQ(f.Thumbnails[0]->picture(), Thumb(working, 11, 0, 0x123456));
    f.ColorBoxEdge->chooseItem(0);
    EXPECT_EQ(f.ColorBoxEdge->selectedColour(), 0x123456u);

    // Art: variation 7 shows the slider at 50 in -255..255; moving it re-renders.
    f.suitempButtonArtClick(f.ButtonArt);
    EXPECT_TRUE(f.ColorBoxEdge->isHidden());
    f.ImageClick(f.Thumbnails[7]);
    EXPECT_FALSE(f.TrackBarValue->isHidden());
    EXPECT_FALSE(f.EditValue->isHidden());
    EXPECT_EQ(f.TrackBarValue->minimum(), -255);
    EXPECT_EQ(f.TrackBarValue->maximum(), 255);
    EXPECT_EQ(f.TrackBarValue->value(), 50);
    EXPECT_EQ(f.EditValue->text(), "50");
    f.TrackBarValue->setValue(-255);
    EXPECT_EQ(f.EditValue->text(), "-255");
    EXPECT_EQ(f.PreviewPicture(), Picture(working.width(), working.height()));  // brightness -255: black
    f.ImageClick(f.Thumbnails[5]);
    EXPECT_EQ(f.TrackBarValue->value(), 5);
    f.ImageClick(f.Thumbnails[3]);
    EXPECT_TRUE(f.TrackBarValue->isHidden());
    EXPECT_TRUE(f.EditValue->isHidden());
    // The slider at 40 on variation 2 does not reach the thumbnails; a new click resets it.
    f.ImageClick(f.Thumbnails[2]);
    f.TrackBarValue->setValue(40);
    f.suitempButtonArtClick(f.MenuArt);
    for (int v : {6, 7}) {
        Picture expected = StretchNearest(working, 150, 150);
        ArtEffect(context, expected, v, ArtSliderState{false, 0});
        EXPECT_EQ(f.Thumbnails[static_cast<std::size_t>(v)]->picture(), expected) << v;
    }
    f.ImageClick(f.Thumbnails[2]);
    EXPECT_EQ(f.TrackBarValue->value(), 2);
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(EditorTest, ApplyUndoRedoAndTheHistoryList) {
    WriteDefault();
    TMainForm& f = Start();
    f.ImageClick(f.Thumbnails[3]);
    f.suitempBitBtnApplyClick();
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0", "1,3,-1,32768 <<"}));
    ExpectControls(false, true, false);
    EXPECT_EQ(f.CurrentVariation, -1);
    EXPECT_EQ(MarkedCategories(), std::vector<int>{1});
    const Picture afterFirst = f.WorkingPicture();
    EXPECT_EQ(f.Thumbnails[0]->picture(), Thumb(afterFirst, 1, 0));

    f.suitempButtonStarClick(f.ButtonStar);
    for (int v : {5, 7}) {
        f.ImageClick(f.Thumbnails[static_cast<std::size_t>(v)]);
        f.suitempBitBtnApplyClick();
    }
    const Picture afterThird = f.WorkingPicture();
    f.suitempBitBtnUndoClick();
    ExpectControls(false, true, true);
    f.suitempBitBtnReDoClick();
    EXPECT_EQ(f.WorkingPicture(), afterThird);  // the snapshot, exactly
    ExpectControls(false, true, false);
    f.suitempBitBtnUndoClick();
    f.suitempBitBtnUndoClick();
    EXPECT_EQ(f.WorkingPicture(), afterFirst);
    EXPECT_EQ(f.PreviewPicture(), afterFirst);
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0", "1,3,-1,32768 <<", "6,5,-1,32768", "6,7,-1,32768"}));

    // A fourth Apply discards the two undone entries.
    f.ImageClick(f.Thumbnails[4]);
    f.suitempBitBtnApplyClick();
    ExpectControls(false, true, false);
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0", "1,3,-1,32768", "6,4,-1,32768 <<"}));
    EXPECT_EQ(f.CurrentCategory, 6);
    EXPECT_EQ(f.CurrentVariation, -1);

    // The replay applies the first and the fourth to the full-size picture.
    const Picture replayed = f.ReplayHistory(f.suiProgressBar1, false);
    EXPECT_EQ(replayed, Rendered(Rendered(f.FullSizePicture, 1, 3), 6, 4));
    EXPECT_EQ(f.suiProgressBar1->minimum(), 0);
    EXPECT_EQ(f.suiProgressBar1->maximum(), 1);
    EXPECT_EQ(f.suiProgressBar1->positionsSinceShown(), (std::vector<int>{0, 1, 1}));
    EXPECT_TRUE(f.suiProgressBar1->isHidden());
    // With the pending flag the effect under preview joins the replay.
    f.ImageClick(f.Thumbnails[1]);
    EXPECT_EQ(f.ReplayHistory(f.suiProgressBar1, true), Rendered(replayed, 6, 1));

    // Undo back to the root: the picture as loaded; a replay runs no effect.
    f.suitempBitBtnUndoClick();
    f.suitempBitBtnUndoClick();
    ExpectControls(false, false, true);
    EXPECT_EQ(f.WorkingPicture(), f.History.HistoryRoot()->snapshot);
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0 <<", "1,3,-1,32768", "6,4,-1,32768"}));
    f.suitempBitBtnUndoClick();  // nothing before the root
    EXPECT_EQ(MemoLines(f).front(), "0,0,0,0 <<");
    Save(dir.file("root.bmp"), 2);
    const std::vector<std::uint8_t> saved = test::ReadBytes(dir.file("root.bmp"));
    EXPECT_EQ(DecodeBmp(saved.data(), saved.size()), f.FullSizePicture);
    EXPECT_EQ(f.suiProgressBar1->maximum(), -1);
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(EditorTest, ArtParameterIsRecordedFromTheSlider) {
    WriteDefault();
    TMainForm& f = Start();
    f.suitempButtonArtClick(f.ButtonArt);
    f.ImageClick(f.Thumbnails[7]);
    f.TrackBarValue->setValue(12);
    f.suitempBitBtnApplyClick();
    f.ImageClick(f.Thumbnails[3]);
    f.suitempBitBtnApplyClick();
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0", "4,7,12,32768", "4,3,-1,32768 <<"}));
}

// Apply's shortcut works from anywhere in the window, the read-only value box
// included: a click in it and Ctrl+A apply rather than select its text.
TEST_F(EditorTest, CtrlAAppliesWhileTheValueBoxHasFocus) {
    WriteDefault();
    TMainForm& f = Start();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.suitempButtonArtClick(f.ButtonArt);
    f.ImageClick(f.Thumbnails[7]);
    ASSERT_TRUE(f.EditValue->isVisible());
    QTest::mouseClick(f.EditValue, Qt::LeftButton);
    ASSERT_EQ(QApplication::focusWidget(), f.EditValue);
    const int value = f.TrackBarValue->value();
    QTest::keyClick(f.EditValue, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0", QString("4,7,%1,32768 <<").arg(value)}));
    EXPECT_FALSE(f.EditValue->hasSelectedText());
    EXPECT_TRUE(seam.boxes.empty());
}

TEST_F(EditorTest, OpenOfAMissingFileChangesNothing) {
    WriteDefault();
    TMainForm& f = Start();
    f.suitempButtonStarClick(f.ButtonStar);
    f.ImageClick(f.Thumbnails[1]);
    f.suitempBitBtnApplyClick();
    const Picture working = f.WorkingPicture(), full = f.FullSizePicture, preview = f.PreviewPicture();
    const QStringList memo = MemoLines(f);
    const QString status = f.StatusPanels[1]->text();
    const std::string missing = dir.file("no-such.jpg");
    Open(missing);
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "Error");
    EXPECT_EQ(seam.boxes[0].text.toStdString(), "Picture does not exists!\r" + missing);
    test::WriteBytes(dir.file("photo.gif"), {1, 2, 3});
    Open(dir.file("photo.gif"));
    ASSERT_EQ(seam.boxes.size(), 2u);
    EXPECT_EQ(seam.boxes[1].text, "Picture format must be bmp, heic, heif, jpeg, jpg, png, tif, tiff or webp!");
    test::WriteBytes(dir.file("broken.jpg"), {0xFF, 0xD8, 0xFF, 0xE0, 0, 0});
    Open(dir.file("broken.jpg"));
    ASSERT_EQ(seam.boxes.size(), 3u);
    EXPECT_EQ(seam.boxes[2].title, "Error");
    EXPECT_EQ(f.WorkingPicture(), working);
    EXPECT_EQ(f.FullSizePicture, full);
    EXPECT_EQ(f.PreviewPicture(), preview);
    EXPECT_EQ(MemoLines(f), memo);
    EXPECT_EQ(f.StatusPanels[1]->text(), status);
    ExpectControls(false, true, false);

    // A good file resets the history and keeps the category.
    const std::string next = WriteJpeg("next.JPEG", test::RandomPicture(500, 300, 9));
    Open(next);
    EXPECT_EQ(f.StatusPanels[1]->text().toStdString(), "Open file: " + next);
    ExpectControls(false, false, false);
    EXPECT_EQ(MemoLines(f), QStringList{"0,0,0,0 <<"});
    EXPECT_EQ(f.CurrentCategory, 6);
    EXPECT_EQ(f.Thumbnails[1]->picture(), Thumb(f.WorkingPicture(), 6, 1));
    EXPECT_EQ(f.PreviewPicture(), f.WorkingPicture());
}

TEST_F(EditorTest, SaveWritesWhatCorvellinFxWrites) {
    WriteDefault();
    TMainForm& f = Start();
    const std::string in = WriteJpeg("in.jpg", test::RandomPicture(900, 600, 5));
    Open(in);
    f.ImageClick(f.Thumbnails[3]);
    f.suitempBitBtnApplyClick();
    f.suitempButtonStarClick(f.ButtonStar);
    f.ImageClick(f.Thumbnails[5]);
    f.suitempBitBtnApplyClick();
    f.suitempBitBtnUndoClick();

    const std::string fx = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx";
    struct Case {
        const char* name;
        int entry;
        const char* fxName;
    };
    // The filter entry decides the format, whatever the name says.
    const Case cases[] = {{"out.jpg", 1, "fx.jpg"}, {"out.bmp", 2, "fx.bmp"}, {"jpeg-data.bmp", 1, "fx2.jpg"}};
    for (const Case& c : cases) {
        Save(dir.file(c.name), c.entry);
        const std::string command = fx + " apply --pic-dir '" + context.picDir + "' '" + in + "' '" +
                                    dir.file(c.fxName) + "' 1:3";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        EXPECT_EQ(test::ReadBytes(dir.file(c.name)), test::ReadBytes(dir.file(c.fxName))) << c.name;
    }
    EXPECT_TRUE(seam.boxes.empty());
    // Save changes nothing in the editor and remembers its choices.
    EXPECT_EQ(MemoLines(f), (QStringList{"0,0,0,0", "1,3,-1,32768 <<", "6,5,-1,32768"}));
    ASSERT_EQ(seam.requests.back().filters.size(), 3);
    EXPECT_EQ(seam.requests.back().filters[0].description, "JPG Format (small file size)");
    EXPECT_EQ(seam.requests.back().filters[1].description, "BMP Format (high quality)");
    EXPECT_EQ(seam.requests.back().filters[2].description, "PNG Format (lossless)");
    EXPECT_EQ(seam.requests.back().filterChanged(3), "png");
    EXPECT_EQ(seam.requests.back().filterEntry, 2);
    EXPECT_EQ(seam.requests.back().defaultExtension, "bmp");
    EXPECT_EQ(seam.requests.back().filterChanged(1), "jpg");
    EXPECT_EQ(f.SaveDefaultExtension(), "jpg");

    // A write that fails shows the system's reason and leaves the editor as it was.
    Save(dir.file("missing-folder/out.jpg"), 1);
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "Error");
    EXPECT_TRUE(seam.boxes[0].text.contains("missing-folder")) << seam.boxes[0].text.toStdString();
    EXPECT_TRUE(f.suiProgressBar1->isHidden());
    EXPECT_FALSE(f.Busy());
}

TEST_F(EditorTest, MaskErrorsEndTheCommandAndKeepTheState) {
    WriteDefault();
    TMainForm& f = Start();
    f.suitempButtonStarClick(f.ButtonStar);
    const Picture preview = f.PreviewPicture();
    std::filesystem::remove(dir.file("pic/6/4.gph"));
    f.ImageClick(f.Thumbnails[3]);
    ASSERT_EQ(seam.boxes.size(), 1u);
    EXPECT_EQ(seam.boxes[0].title, "Error");
    EXPECT_TRUE(seam.boxes[0].text.contains("4.gph")) << seam.boxes[0].text.toStdString();
    EXPECT_EQ(f.PreviewPicture(), preview);
    EXPECT_EQ(f.CurrentVariation, -1);
    ExpectControls(false, false, false);

    // A failing render: the thumbnails before the failure are new, the rest
    // old, and the previous category stays current with its marker.
    const Picture oldThumb = f.Thumbnails[6]->picture();
    std::filesystem::remove(dir.file("pic/1/6.gph"));
    f.suitempButtonPresetClick(f.ButtonPreset);
    ASSERT_EQ(seam.boxes.size(), 2u);
    EXPECT_EQ(f.CurrentCategory, 6);
    EXPECT_EQ(MarkedCategories(), std::vector<int>{6});
    EXPECT_TRUE(f.suiProgressBar1->isHidden());
    EXPECT_EQ(f.Thumbnails[4]->picture(), Thumb(f.WorkingPicture(), 1, 4));
    EXPECT_EQ(f.Thumbnails[6]->picture(), oldThumb);
    EXPECT_FALSE(f.Busy());
}

TEST_F(EditorTest, CommandsArrivingDuringARenderAreHeldOff) {
    WriteDefault();
    TMainForm& f = Start();
    f.show();
    // Both fire while the Star render processes events.
    QTimer::singleShot(0, &f, [&] { f.suitempBitBtnOpenClick(); });
    QTimer::singleShot(0, &f, [&] { f.suitempButtonEdgeClick(f.ButtonEdge); });
    QTimer::singleShot(0, &f, [&] { f.close(); });
    f.suitempButtonStarClick(f.ButtonStar);
    EXPECT_TRUE(seam.requests.empty());
    EXPECT_EQ(f.CurrentCategory, 6);
    EXPECT_EQ(MarkedCategories(), std::vector<int>{6});
    // The close asked for meanwhile happens once the render is over.
    EXPECT_TRUE(f.isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(f.isVisible());

    f.show();
    f.MenuExit->trigger();
    EXPECT_FALSE(f.isVisible());
}

}  // namespace
}  // namespace corvellin

namespace corvellin {
namespace {

std::string ExifTag(const std::string& file, const std::string& tag) {
    std::string value;
    if (std::FILE* pipe = ::popen(("exiftool -s -s -s -n -" + tag + " '" + file + "'").c_str(), "r")) {
        char chunk[256];
        while (std::fgets(chunk, sizeof chunk, pipe)) value += chunk;
        ::pclose(pipe);
    }
    while (!value.empty() && value.back() == '\n') value.pop_back();
    return value;
}

// A portrait photo stored lying on its side, as cameras write them: the
// editor shows it upright, and Save writes what corvellin-fx writes, with
// the camera's metadata and the orientation set to 1.
TEST_F(EditorTest, OpenTurnsARotatedPhotoUprightAndSaveKeepsItsMetadata) {
    WriteDefault();
    TMainForm& f = Start();
    const std::string in = dir.file("portrait.jpg");
    const std::string make = "convert -size 180x120 gradient:red-blue -quality 95 '" + in +
                             "' && exiftool -q -overwrite_original -Orientation#=6 -Model=Corvocam '" + in + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
    Open(in);
    ASSERT_TRUE(seam.boxes.empty());
    EXPECT_EQ(f.FullSizePicture.width(), 120);
    EXPECT_EQ(f.FullSizePicture.height(), 180);
    EXPECT_LT(f.WorkingPicture().width(), f.WorkingPicture().height());
    f.ImageClick(f.Thumbnails[2]);  // the first category's, as after start-up
    f.suitempBitBtnApplyClick();
    Save(dir.file("out.jpg"), 1);
    ASSERT_TRUE(seam.boxes.empty());
    EXPECT_EQ(ExifTag(dir.file("out.jpg"), "Model"), "Corvocam");
    EXPECT_EQ(ExifTag(dir.file("out.jpg"), "Orientation"), "1");
    EXPECT_EQ(ExifTag(dir.file("out.jpg"), "ImageSize"), "120 180");
    const std::string fx = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx apply --pic-dir '" + context.picDir + "' '" +
                           in + "' '" + dir.file("fx.jpg") + "' 1:2";
    ASSERT_EQ(std::system(fx.c_str()), 0);
    EXPECT_EQ(test::ReadBytes(dir.file("out.jpg")), test::ReadBytes(dir.file("fx.jpg")));
}

}  // namespace
}  // namespace corvellin

namespace corvellin {
namespace {

// A photo with a wide-gamut profile is shown converted to sRGB in the panes
// and thumbnails, while the picture the effects and Save work on keeps the
// file's own values.
TEST_F(EditorTest, APhotoWithAProfileIsShownThroughIt) {
    WriteDefault();
    TMainForm& f = Start();
    const std::string in = dir.file("wide.jpg");
    const QByteArray profile = QColorSpace(QColorSpace::AdobeRgb).iccProfile();
    test::WriteBytes(dir.file("wide.icc"), std::vector<std::uint8_t>(profile.begin(), profile.end()));
    const std::string make = "convert -size 96x64 xc:'rgb(200,40,90)' -quality 100 '" + in +
                             "' && exiftool -q -overwrite_original '-ICC_Profile<=" + dir.file("wide.icc") + "' '" + in + "'";
    ASSERT_EQ(std::system(make.c_str()), 0);
    Open(in);
    ASSERT_TRUE(seam.boxes.empty());
    const test::Bgr stored = test::PixelAt(f.FullSizePicture, 10, 10);
    QImage expected(1, 1, QImage::Format_RGB888);
    expected.setPixelColor(0, 0, QColor(stored.r, stored.g, stored.b));
    expected.setColorSpace(QColorSpace(QColorSpace::AdobeRgb));
    expected.convertToColorSpace(QColorSpace::SRgb);
    const QColor wanted = expected.pixelColor(0, 0);
    ASSERT_NE(wanted, QColor(stored.r, stored.g, stored.b));  // the profile makes a visible difference
    for (ImageView* view : {f.ImageScreen, f.ImagePreview}) {
        const QColor shown = view->grab().toImage().pixelColor(view->width() / 2, view->height() / 2);
        EXPECT_LE(std::abs(shown.red() - wanted.red()) + std::abs(shown.green() - wanted.green()) +
                      std::abs(shown.blue() - wanted.blue()),
                  3)
            << shown.name().toStdString() << " vs " << wanted.name().toStdString();
    }
    // Saved bytes are those of the file's own values.
    Save(dir.file("out.jpg"), 1);
    EXPECT_EQ(test::ReadBytes(dir.file("out.jpg")),
              EncodePictureFile(f.FullSizePicture, PictureFormat::Jpeg, f.FullSizeMetadata));
}

}  // namespace
}  // namespace corvellin
