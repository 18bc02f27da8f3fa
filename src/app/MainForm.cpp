#include "MainForm.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <exception>
#include <filesystem>

#include "CommandBoundary.h"
#include "Fit.h"
#include "MenuIcons.h"
#include "effects/ArtEffect.h"
#include "history/Replay.h"
#include "picture/FileIO.h"
#include "picture/PictureFile.h"
#include "platform/RecoveryStore.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/PictureImage.h"
#include "update/UpdateForm.h"

namespace corvellin {

namespace {

// The eighteen buttons of the left tool bar: caption and top; the category
// buttons also name their category.
struct ToolButton {
    const char* name;
    const char* caption;
    int top;
    int category;  // 0: not a category button
};

constexpr ToolButton kToolButtons[] = {
    {"BitBtnOpen", "&Open", 25, 0},
    {"BitBtnSave", "&Save", 58, 0},
    {"suiButtonWallPaper", "&WallPaper", 92, 0},
    {"ButtonPreset", "&Preset", 154, Category::Preset},
    {"ButtonSketch", "&Sketch", 187, Category::Sketch},
    {"ButtonLight", "&LightA", 220, Category::LightA},
    {"ButtonLightB", "Light&B", 253, Category::LightB},
    {"ButtonLightC", "Light&C", 286, Category::LightC},
    {"ButtonStar", "S&tar", 319, Category::Star},
    {"ButtonAmazing", "A&mazing", 352, Category::Amazing},
    {"ButtonWater", "Wate&r", 385, Category::Water},
    {"ButtonDream", "&Dream", 418, Category::Dream},
    {"ButtonWhether", "&Whether", 451, Category::Whether},
    {"ButtonColor", "&Color", 484, Category::Color},
    {"ButtonArt", "&Art", 517, Category::Art},
    {"ButtonTexture", "&Texture", 550, Category::Texture},
    {"ButtonEdge", "&Edge", 583, Category::Edge},
    {"ButtonFrame", "&Frame", 616, Category::Frame},
};

// The Effect menu, in its order: item name, caption, category.
struct EffectMenuItem {
    const char* name;
    const char* caption;
    int category;
};

constexpr EffectMenuItem kEffectMenu[] = {
    {"MenuPreset", "&Preset", Category::Preset},   {"MenuSketch", "&Sketch", Category::Sketch},
    {"MenuLight", "&Light", Category::LightA},     {"MenuLightB", "LightB", Category::LightB},
    {"MenuLightC", "LightC", Category::LightC},    {"MenuStar", "S&tar", Category::Star},
    {"MenuAmazing", "&Amazing", Category::Amazing}, {"MenuWater", "Wate&r", Category::Water},
    {"MenuDream", "&Dream", Category::Dream},      {"MenuWhether", "&Whether", Category::Whether},
    {"MenuColor", "&Color", Category::Color},      {"MenuArt", "&Art", Category::Art},
    {"MenuTexture", "&Texture", Category::Texture}, {"MenuEdge", "&Edge", Category::Edge},
    {"MenuFrame", "&Frame", Category::Frame},
};

// The category marker: a small play sign in a dark disc, 15 by 15 logical
// pixels, painted in the device pixels of the screen.
Picture MarkerPicture(double ratio) {
    const int size = DevicePixels(15, ratio);
    QImage image(size, size, QImage::Format_RGB888);
    image.fill(QColor(0xf2, 0xa9, 0x3b));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (ratio != 1.0) painter.scale(size / 15.0, size / 15.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1f, 0x26, 0x30));
    painter.drawEllipse(QRectF(0.5, 0.5, 14, 14));
    QPainterPath triangle;
    triangle.moveTo(5.5, 4);
    triangle.lineTo(11, 7.5);
    triangle.lineTo(5.5, 11);
    triangle.closeSubpath();
    painter.setBrush(QColor(0xff, 0xff, 0xff));
    painter.drawPath(triangle);
    painter.end();
    Picture marker(size, size);
    for (int y = 0; y < size; ++y) {
        const uchar* in = image.constScanLine(y);
        std::uint8_t* out = marker.row(y);
        for (int x = 0; x < size; ++x) {
            out[3 * x + 0] = in[3 * x + 2];
            out[3 * x + 1] = in[3 * x + 1];
            out[3 * x + 2] = in[3 * x + 0];
        }
    }
    return marker;
}

QString ToQString(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

// Holds commands off while a long loop lets the window process events, and
// closes the window afterwards when a close was asked for meanwhile.
class TMainForm::BusyScope {
public:
    explicit BusyScope(TMainForm& form) : form_(form) {
        if (form_.busy_++ == 0) QApplication::setOverrideCursor(Qt::BusyCursor);
    }
    ~BusyScope() {
        if (--form_.busy_ == 0) {
            QApplication::restoreOverrideCursor();
            if (form_.closePending_) QTimer::singleShot(0, &form_, &QWidget::close);
        }
    }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TMainForm& form_;
};

// The boundary of every command: a command that arrives while a render or a
// replay runs is held off, and an error that ends a command is shown in a box
// titled "Error" with its text. No exception leaves an event handler.
template <class Body>
void TMainForm::Command(Body&& body) {
    RunCommand(this, busy_ > 0, std::forward<Body>(body));
}

TMainForm::TMainForm(const std::string& programDir, QWidget* parent) : QMainWindow(parent), ProgramDir(programDir) {
    if (!ProgramDir.empty() && ProgramDir.back() != '/') ProgramDir += '/';
    setObjectName("MainForm");
    setAcceptDrops(true);
    recovery_ = std::make_unique<RecoverySession>();
    InstallControlAccessibility();
    BuildWindow();
    BuildMenus();
    FormCreate();
}

TMainForm::~TMainForm() { FormDestroy(); }

// ---- Layout ------------------------------------------------------------------

void TMainForm::BuildWindow() {
    // The screen's ratio of device to logical pixels, before anything is drawn.
    displayRatio_ = devicePixelRatioF();
    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    setCentralWidget(central);

    PanelLeftToolbar = new QWidget(central);
    PanelLeftToolbar->setObjectName("PanelLeftToolbar");
    PanelLeftToolbar->setAttribute(Qt::WA_StyledBackground, true);
    PanelLeftToolbar->setFixedWidth(kToolbarButtonLeft + kDesignButtonWidth + kToolbarRightMargin);
    row->addWidget(PanelLeftToolbar);
    for (const ToolButton& b : kToolButtons) {
        auto* button = new QPushButton(tr(b.caption), PanelLeftToolbar);
        button->setObjectName(b.name);
        button->setGeometry(kToolbarButtonLeft, b.top, kDesignButtonWidth, 25);
        button->setIconSize(QSize(15, 15));
        button->setFocusPolicy(Qt::TabFocus);
        if (b.category > 0) {
            const int category = b.category;
            connect(button, &QPushButton::clicked, this, [this, button, category] { CategoryClick(category, button); });
        }
    }
    auto button = [this](const char* name) { return PanelLeftToolbar->findChild<QPushButton*>(name); };
    BitBtnOpen = button("BitBtnOpen");
    BitBtnSave = button("BitBtnSave");
    suiButtonWallPaper = button("suiButtonWallPaper");
    ButtonPreset = button("ButtonPreset");
    ButtonSketch = button("ButtonSketch");
    ButtonLight = button("ButtonLight");
    ButtonLightB = button("ButtonLightB");
    ButtonLightC = button("ButtonLightC");
    ButtonStar = button("ButtonStar");
    ButtonAmazing = button("ButtonAmazing");
    ButtonWater = button("ButtonWater");
    ButtonDream = button("ButtonDream");
    ButtonWhether = button("ButtonWhether");
    ButtonColor = button("ButtonColor");
    ButtonArt = button("ButtonArt");
    ButtonTexture = button("ButtonTexture");
    ButtonEdge = button("ButtonEdge");
    ButtonFrame = button("ButtonFrame");
    connect(BitBtnOpen, &QPushButton::clicked, this, &TMainForm::suitempBitBtnOpenClick);
    connect(BitBtnSave, &QPushButton::clicked, this, &TMainForm::suitempBitBtnSaveClick);
    // suiButtonWallPaper: suiButtonWallPaperClick, the Set Wallpaper command, joins with the wallpaper.

    ScrollBox = new QScrollArea(central);
    ScrollBox->setObjectName("ScrollBox");
    ScrollBox->setFrameShape(QFrame::NoFrame);
    ScrollBox->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ScrollBox->setWidgetResizable(false);
    row->addWidget(ScrollBox, 1);

    PanelScreen = new QWidget;
    PanelScreen->setObjectName("PanelScreen");
    PanelScreen->setFixedSize(897, 641);
    ScrollBox->setWidget(PanelScreen);

    auto label = [this](const char* name, const char* text, int left, int top) {
        auto* l = new QLabel(tr(text), PanelScreen);
        l->setObjectName(name);
        l->move(left, top);
        l->adjustSize();
        return l;
    };
    Label1 = label("Label1", "Source Picture", 42, 8);
    Label2 = label("Label2", "Preview (Double click to full screen)", 465, 8);

    auto panel = [this](const char* name, int left, int top, int width, int height) {
        auto* p = new PanelFrame(PanelScreen);
        p->setObjectName(name);
        p->setFrameShape(QFrame::StyledPanel);
        p->setFrameShadow(QFrame::Sunken);
        p->setGeometry(left, top, width, height);
        return p;
    };
    PanelPicture = panel("PanelPicture", 42, 24, kPicturePaneWidth, kPicturePaneHeight);
    PanelPreview = panel("PanelPreview", 465, 24, kPicturePaneWidth, kPicturePaneHeight);
    PanelEffect = panel("PanelEffect", 42, 328, 823, 313);

    ImageScreen = new ImageView(PanelPicture);
    ImageScreen->setObjectName("ImageScreen");
    ImagePreview = new ImageView(PanelPreview);
    ImagePreview->setObjectName("ImagePreview");
    // ImagePreview's double click opens the full-screen preview (MenuPreviewClick) once that window exists.

    ColorBoxEdge = new ColorBox(PanelScreen);
    ColorBoxEdge->setObjectName("ColorBoxEdge");
    ColorBoxEdge->setGeometry(42, 301, 145, 21);
    ColorBoxEdge->hide();
    connect(ColorBoxEdge, &ColorBox::colourChanged, this, &TMainForm::ColorBoxEdgeChange);

    suiProgressBar1 = new ProgressBar(PanelScreen);
    suiProgressBar1->setObjectName("suiProgressBar1");
    suiProgressBar1->setGeometry(42, 301, 400, 21);
    suiProgressBar1->hide();

    EditValue = new ValueBox(PanelScreen);
    EditValue->setObjectName("EditValue");
    EditValue->setGeometry(431, 301, 31, 21);
    EditValue->setReadOnly(true);
    EditValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    EditValue->hide();

    TrackBarValue = new QSlider(Qt::Horizontal, PanelScreen);
    TrackBarValue->setObjectName("TrackBarValue");
    TrackBarValue->setGeometry(465, 302, kTrackBarWidth, 21);
    TrackBarValue->setRange(0, 10);
    TrackBarValue->setValue(0);
    TrackBarValue->setTickPosition(QSlider::NoTicks);
    TrackBarValue->setPageStep(1);
    TrackBarValue->hide();
    connect(TrackBarValue, &QSlider::valueChanged, this, &TMainForm::TrackBarValueChange);

    auto commandButton = [this](const char* name, const char* caption, int left) {
        auto* b = new QPushButton(tr(caption), PanelScreen);
        b->setObjectName(name);
        b->setGeometry(left, 296, kDesignButtonWidth, 25);
        b->setEnabled(false);
        return b;
    };
    BitBtnApply = commandButton("BitBtnApply", "&Apply", 628);
    BitBtnUndo = commandButton("BitBtnUndo", "&Undo", 709);
    BitBtnReDo = commandButton("BitBtnReDo", "&Redo", 790);
    connect(BitBtnApply, &QPushButton::clicked, this, &TMainForm::suitempBitBtnApplyClick);
    connect(BitBtnUndo, &QPushButton::clicked, this, &TMainForm::suitempBitBtnUndoClick);
    connect(BitBtnReDo, &QPushButton::clicked, this, &TMainForm::suitempBitBtnReDoClick);

    Memo1 = new QPlainTextEdit(PanelScreen);
    Memo1->setObjectName("Memo1");
    Memo1->setGeometry(760, 16, 139, 256);
    Memo1->setReadOnly(true);
    Memo1->hide();

    ImageFlag = new ImageView(PanelScreen);
    ImageFlag->setObjectName("ImageFlag");
    ImageFlag->setGeometry(6, 190, 15, 15);
    ImageFlag->setPicture(MarkerPicture(displayRatio_));
    ImageFlag->setPixelRatio(displayRatio_);
    ImageFlag->hide();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    StatusBar1->setFixedHeight(kStatusBarHeight);
    setStatusBar(StatusBar1);
    StatusPanels[0] = new QLabel(tr(kStatusHint));
    StatusPanels[0]->setFixedWidth(kStatusHintWidth);
    StatusPanels[1] = new QLabel;
    StatusPanels[1]->setMinimumWidth(50);
    for (int i = 0; i < 2; ++i) {
        StatusPanels[static_cast<std::size_t>(i)]->setObjectName(QString("StatusPanel%1").arg(i));
        StatusPanels[static_cast<std::size_t>(i)]->setAlignment(Qt::AlignCenter);
    }
    StatusBar1->addWidget(StatusPanels[0]);
    StatusBar1->addWidget(StatusPanels[1], 1);
}

void TMainForm::BuildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu");
    auto menu = [&](const char* name, const char* caption) {
        QMenu* m = bar->addMenu(tr(caption));
        m->setObjectName(name);
        return m;
    };
    auto item = [](QMenu* m, const char* name, const char* caption, const QKeySequence& keys = {}) {
        QAction* a = m->addAction(QObject::tr(caption));
        a->setObjectName(name);
        if (!keys.isEmpty()) a->setShortcut(keys);
        return a;
    };
    auto separator = [](QMenu* m, const char* name) {
        QAction* a = m->addSeparator();
        a->setObjectName(name);
        return a;
    };

    File1 = menu("File1", "&File");
    MenuOpen = item(File1, "MenuOpen", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O));
    N1 = separator(File1, "N1");
    MenuSave = item(File1, "MenuSave", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
    // MenuSetWallpaper: MenuSetWallpaperClick, the Set Wallpaper command, joins with the wallpaper.
    MenuSetWallpaper = item(File1, "MenuSetWallpaper", "Set &Wallpaper");
    N2 = separator(File1, "N2");
    MenuPaperSetting = item(File1, "MenuPaperSetting", "P&aper Settings...");
    MenuPrintPreview = item(File1, "MenuPrintPreview", "Print Pre&view...");
    MenuPrint = item(File1, "MenuPrint", "&Print...");
    N5 = separator(File1, "N5");
    MenuExit = item(File1, "MenuExit", "E&xit");
    connect(MenuOpen, &QAction::triggered, this, &TMainForm::suitempBitBtnOpenClick);
    connect(MenuSave, &QAction::triggered, this, &TMainForm::suitempBitBtnSaveClick);
    connect(MenuExit, &QAction::triggered, this, &TMainForm::MenuExitClick);
    connect(MenuPaperSetting, &QAction::triggered, this, &TMainForm::MenuPaperSettingClick);
    connect(MenuPrintPreview, &QAction::triggered, this, &TMainForm::MenuPrintPreviewClick);
    connect(MenuPrint, &QAction::triggered, this, &TMainForm::MenuPrintClick);

    Edit1 = menu("Edit1", "&Edit");
    MenuUnDo = item(Edit1, "MenuUnDo", "&UnDo", QKeySequence(Qt::CTRL | Qt::Key_Z));
    MenuRedo = item(Edit1, "MenuRedo", "&Redo", QKeySequence(Qt::CTRL | Qt::Key_R));
    N6 = separator(Edit1, "N6");
    MenuApply = item(Edit1, "MenuApply", "&Apply", QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(MenuUnDo, &QAction::triggered, this, &TMainForm::suitempBitBtnUndoClick);
    connect(MenuRedo, &QAction::triggered, this, &TMainForm::suitempBitBtnReDoClick);
    connect(MenuApply, &QAction::triggered, this, &TMainForm::suitempBitBtnApplyClick);

    View1 = menu("View1", "&View");
    // MenuPreview: MenuPreviewClick, the full-screen preview, joins with that window.
    MenuPreview = item(View1, "MenuPreview", "Pre&view");

    Effect1 = menu("Effect1", "&Effect");
    for (const EffectMenuItem& e : kEffectMenu) {
        QAction* a = item(Effect1, e.name, e.caption);
        const int category = e.category;
        connect(a, &QAction::triggered, this, [this, a, category] { CategoryClick(category, a); });
    }
    auto effect = [this](const char* name) { return Effect1->findChild<QAction*>(name); };
    MenuPreset = effect("MenuPreset");
    MenuSketch = effect("MenuSketch");
    MenuLight = effect("MenuLight");
    MenuLightB = effect("MenuLightB");
    MenuLightC = effect("MenuLightC");
    MenuStar = effect("MenuStar");
    MenuAmazing = effect("MenuAmazing");
    MenuWater = effect("MenuWater");
    MenuDream = effect("MenuDream");
    MenuWhether = effect("MenuWhether");
    MenuColor = effect("MenuColor");
    MenuArt = effect("MenuArt");
    MenuTexture = effect("MenuTexture");
    MenuEdge = effect("MenuEdge");
    MenuFrame = effect("MenuFrame");

    ools1 = menu("ools1", "&Tarnwick Tools");
    // MenuVelloranEditor: MenuVelloranEditorClick, which opens the Tools target, joins with the Tools menu.
    MenuVelloranEditor = item(ools1, "MenuVelloranEditor", "Velloran Editor");

    Languages1 = menu("Languages1", "&Languages");
    LanguageGroup = new QActionGroup(this);
    LanguageGroup->setExclusive(true);
    MenuEnglish = item(Languages1, "MenuEnglish", "&English");
    MenuEnglish->setCheckable(true);
    LanguageGroup->addAction(MenuEnglish);
    N7 = separator(Languages1, "N7");
    // ScanLanguages adds one radio item per language file above this item.
    MenuMoreLanguages = item(Languages1, "MenuMoreLanguages", "&More Languages...");

    Help1 = menu("Help1", "&Help");
    // MenuHelpContentClick, MenuUpdatesClick and MenuAboutClick join with the Help and About commands.
    MenuHelpContent = item(Help1, "MenuHelpContent", "Help &Contents", QKeySequence(Qt::Key_F1));
    N4 = separator(Help1, "N4");
    MenuUpdates = item(Help1, "MenuUpdates", "Check For Updates");
    MenuUpdates->setVisible(false);
    connect(MenuUpdates, &QAction::triggered, this, &TMainForm::MenuUpdatesClick);
    N3 = separator(Help1, "N3");
    MenuAbout = item(Help1, "MenuAbout", "&About");
    SetMenuIcons(bar);
}

QPushButton* TMainForm::CategoryButton(int category) const {
    for (const ToolButton& b : kToolButtons)
        if (b.category == category) return PanelLeftToolbar->findChild<QPushButton*>(b.name);
    return nullptr;
}

QAction* TMainForm::CategoryMenuItem(int category) const {
    for (const EffectMenuItem& e : kEffectMenu)
        if (e.category == category) return Effect1->findChild<QAction*>(e.name);
    return nullptr;
}

// ---- Start-up and shutdown ---------------------------------------------------

void TMainForm::FormCreate() {
    // Nothing is unsaved until the first Apply.
    savedEntry_ = History.HistoryRoot();
    // 1. The Tools target, and the output, Help and Tools commands.
    FindToolsTarget();
    ConnectOutputCommands();
    // 2. The settings file.
    LoadSettings();
    // 3. The thumbnail grid: 150 by 150, 5 columns, gaps 12 and 4.
    ThumbWidth = kThumbnailWidth;
    ThumbHeight = kThumbnailHeight;
    // 4. ProgramDir was given by the program entry.
    context_.picDir = ProgramDir + "pic";
    context_.masks = &maskCache_;
    // 5. The language list and menu.
    ScanLanguages();
    // 6. The window title: the product title until a file is opened.
    UpdateTitle();
    resize(1010, 769 + menuBar()->sizeHint().height());

    // 7. The default picture. An undecodable file still leaves a working editor
    // with an empty picture.
    const std::string defaultPicture = ProgramDir + "pic/default.jpg";
    try {
        LoadEditPicture(defaultPicture);
    } catch (const std::exception& error) {
        ShowErrorBox(nullptr, ToQString(error.what()));
    }
    // The path is shown whether the load succeeded or not.
    ShowOpenFile(ToQString(defaultPicture));
    editedPath_ = defaultPicture;

    // 8. The history's root holds the working picture.
    History.SetBase(WorkingPicture());
    savedEntry_ = History.HistoryRoot();

    // 9. The ten thumbnails, and the ring that marks the one whose effect is pending.
    thumbnailHighlight_ = new QFrame(PanelEffect);
    thumbnailHighlight_->setObjectName("ThumbnailHighlight");
    thumbnailHighlight_->hide();
    for (int i = 0; i < kVariationCount; ++i) {
        auto* thumb = new ImageView(PanelEffect);
        thumb->setObjectName(QString("Thumbnail%1").arg(i));
        thumb->Tag = i;
        thumb->Pressable = true;
        thumb->setGeometry((i % 5) * (ThumbWidth + 12) + 12, (i / 5) * (ThumbHeight + 4) + 4, ThumbWidth,
                           ThumbHeight);
        thumb->setCursor(Qt::PointingHandCursor);
        // Keys reach the thumbnails: Tab into the grid, the arrows among the ten.
        thumb->setFocusPolicy(Qt::TabFocus);
        connect(thumb, &ImageView::moveRequested, this, &TMainForm::ThumbnailMove);
        thumb->setPicture(Picture(DevicePixels(ThumbWidth, displayRatio_), DevicePixels(ThumbHeight, displayRatio_)));
        thumb->setPixelRatio(displayRatio_);
        connect(thumb, &ImageView::clicked, this, &TMainForm::ImageClick);
        Thumbnails[static_cast<std::size_t>(i)] = thumb;
    }
    // Tab: the tool bar, the thumbnails, the effect's controls, Apply, Undo, Redo.
    QWidget* previous = ButtonFrame;
    for (QWidget* next : std::initializer_list<QWidget*>{Thumbnails[0], Thumbnails[1], Thumbnails[2], Thumbnails[3],
                                                          Thumbnails[4], Thumbnails[5], Thumbnails[6], Thumbnails[7],
                                                          Thumbnails[8], Thumbnails[9], ColorBoxEdge, TrackBarValue,
                                                          BitBtnApply, BitBtnUndo, BitBtnReDo}) {
        setTabOrder(previous, next);  // both must take the focus while they are ordered
        previous = next;
    }
    // One thumbnail at a time is a stop of the Tab chain: the first, then the
    // one the arrow keys moved to.
    for (ImageView* thumb : Thumbnails)
        if (thumb->Tag != 0) thumb->setFocusPolicy(Qt::NoFocus);
    ShowThroughProfile();

    // 10-11.
    CurrentCategory = -1;
    CurrentVariation = -1;
    SetUndoEnabled(false);
    SetRedoEnabled(false);
    SetApplyEnabled(false);

    // 12. Edge starts green.
    ColorBoxEdge->selectColour(kDefaultEdgeColour);

    // 13. The first category.
    suitempButtonPresetClick(ButtonPreset);

    // 14-15. The captions of the chosen language, and its check mark (set on
    // its item by the scan).
    ApplyLanguage(LanguageIndex);
    MenuEnglish->setChecked(LanguageIndex == -1);
    ShowHistoryTrace();
}

void TMainForm::FormDestroy() {
    SaveSettings();
    // The thumbnails, the pictures and the history (every entry and snapshot)
    // are freed with the window.
    History.Clear();
}

void TMainForm::MenuExitClick() {
    Command([&] { close(); });
}

void TMainForm::MenuUpdatesClick() {
    Command([&] {
        TUpdateForm form(this, ProgramDir);
        form.LoadCaptions(LanguageIndex, LanguageFilePath(LanguageIndex));
        form.exec();
    });
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (busy_ > 0) {
        // A running render or replay finishes first; the window closes right after.
        closePending_ = true;
        event->ignore();
        return;
    }
    closePending_ = false;
    if (!ConfirmDropWork()) {
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
    // Every drop is taken, so that one the editor cannot open gets its message.
    event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->hasUrls() ? event->mimeData()->urls() : QList<QUrl>();
    event->acceptProposedAction();
    // The drag source waits until the drop returns: the question and the load
    // run from the event loop right after.
    QTimer::singleShot(0, this, [this, urls] { OpenDropped(urls); });
}

void TMainForm::OpenDropped(const QList<QUrl>& urls) {
    Command([&] {
        if (urls.size() > 1) {
            ShowInfoBox(this, Caption(kDropOneFileText));
            return;
        }
        if (urls.isEmpty() || !urls.front().isLocalFile()) {
            ShowInfoBox(this, Caption(kDropNotAFileText));
            return;
        }
        OpenPictureFile(urls.front().toLocalFile());
    });
}

void TMainForm::OpenCommandLineFile(const QString& path) {
    Command([&] { OpenPictureFile(QFileInfo(path).absoluteFilePath()); });
}

// ---- Unsaved work, the title and recovery --------------------------------------

bool TMainForm::HasUnsavedWork() const { return History.HistoryCurrent() != savedEntry_; }

QString TMainForm::EditedFileName() const { return QFileInfo(ToQString(editedPath_)).fileName(); }

std::string TMainForm::RecoveryFilePath() const { return recovery_->path(); }

QString TMainForm::Caption(const char* key) const {
    const auto found = captions_.find(std::string_view(key));
    return found != captions_.end() ? found->second : ToQString(key);
}

void TMainForm::UpdateTitle() {
    const bool modified = HasUnsavedWork();
    // "[*]" is where the modified marker goes; a name holding those characters
    // has them doubled, which shows them as they are.
    const QString marker = modified ? QStringLiteral("[*]") : QString();
    QString title = tr(kProductTitle) + marker;
    if (!editingDefault_)
        title = EditedFileName().replace("[*]", "[*][*]") + marker + QString::fromUtf8(kTitleSeparator) + tr(kProductTitle);
    setWindowTitle(title);
    setWindowModified(modified);
}

bool TMainForm::ConfirmDropWork() {
    if (!HasUnsavedWork()) return true;
    const QString text = Caption("Save changes to %1 before closing?").arg(EditedFileName());
    const SaveChangesButtons buttons{Caption("&Save"), Caption("&Don't Save"), Caption("&Cancel")};
    switch (AskSaveChanges(this, tr(kProductTitle), text, buttons)) {
        case SaveChangesAnswer::Save:
            // A save that is cancelled or fails keeps everything as it is.
            try {
                return SaveToChosenFile();
            } catch (const std::exception& error) {
                ShowErrorBox(this, ToQString(error.what()));
                return false;
            }
        case SaveChangesAnswer::DontSave: return true;
        case SaveChangesAnswer::Cancel: break;
    }
    return false;
}

void TMainForm::HistoryChanged() {
    UpdateTitle();
    WriteRecovery();
}

void TMainForm::WriteRecovery() {
    // The file exists exactly while closing would ask about unsaved work.
    if (!HasUnsavedWork()) {
        recovery_->Clear();
        return;
    }
    RecoveryRecord record;
    record.source = editedPath_;
    for (const HistoryEntry* e = History.HistoryRoot()->next; e != nullptr; e = e->next) {
        record.calls.push_back(e->call());
        if (e == History.HistoryCurrent()) record.position = static_cast<int>(record.calls.size());
    }
    try {
        recovery_->Write(SerializeRecovery(record));
    } catch (const std::exception& error) {
        // Editing goes on; the user hears of it once.
        if (!recoveryWarned_) ShowErrorBox(this, Caption(kRecoveryWriteFailedText) + "\r" + ToQString(error.what()));
        recoveryWarned_ = true;
    }
}

std::string TMainForm::OfferRecovery() {
    std::string restored;
    Command([&] {
        // Files that cannot be used: damaged, or their picture gone or changed since.
        QStringList unusable;
        std::vector<std::pair<std::string, RecoveryRecord>> offers;
        for (const std::string& path : RecoverySession::LeftByEndedRuns()) {
            std::optional<RecoveryRecord> record;
            try {
                const std::vector<std::uint8_t> bytes = ReadWholeFile(path);
                record = ParseRecovery(std::string(bytes.begin(), bytes.end()));
            } catch (const std::exception&) {
            }
            std::error_code error;
            const bool current = record && FileExists(record->source) &&
                                 std::filesystem::last_write_time(record->source, error) <=
                                     std::filesystem::last_write_time(path, error) &&
                                 !error;
            if (current) {
                offers.emplace_back(path, *record);
            } else {
                unusable << ToQString(path);
                RecoverySession::Discard(path);
            }
        }
        if (!unusable.isEmpty()) ShowInfoBox(this, Caption(kUnusableRecoveryText) + "\r" + unusable.join("\r"));
        // Newest first; once one is restored, the others wait for the next start.
        for (const auto& [path, record] : offers) {
            const QString question = Caption(kRestoreQuestionText).arg(ToQString(record.source));
            if (AskYesNo(this, tr(kProductTitle), question)) {
                RecoverySession::Discard(path);
                RestoreRecord(record);
                restored = record.source;
                return;
            }
            RecoverySession::Discard(path);
        }
    });
    return restored;
}

void TMainForm::RestoreRecord(const RecoveryRecord& record) {
    if (!OpenPictureFile(ToQString(record.source))) return;
    // Each call runs on the display-size picture as Apply ran it, and records
    // its snapshot; then the current entry is the one the record names.
    {
        BusyScope busy(*this);
        Picture picture = WorkingPicture();
        for (const EffectCall& call : record.calls) {
            ApplyEffect(context_, &picture, call);
            History.Append(picture, call.category, call.colour, call.parameter, call.variation);
        }
        HistoryEntry* current = History.HistoryRoot();
        for (int i = 0; i < record.position; ++i) current = current->next;
        History.SetHistoryCurrent(current);
        ImageScreen->setPicture(current->snapshot);
        ImagePreview->setPicture(current->snapshot);
        SetUndoEnabled(current != History.HistoryRoot());
        SetRedoEnabled(current != History.HistoryLast());
        ShowHistoryTrace();
        SetPending(-1);
        HistoryChanged();
    }
    if (CurrentCategory > 0) RefreshCategoryNow();
}

// ---- Pictures ----------------------------------------------------------------

FitRect TMainForm::FitImageToPanel(ImageView* image, int W, int H, double ratio) {
    const FitRect device = FitPictureToDevicePanel(image->picture().width(), image->picture().height(), W, H, ratio);
    const FitRect r = LogicalRect(device, ratio);
    image->setGeometry(r.left, r.top, r.width, r.height);
    image->setPixelRatio(ratio);
    return device;
}

void TMainForm::ShowPicture(ImageView* view, const Picture& picture) { view->setPicture(picture); }

void TMainForm::ShowThroughProfile() {
    // The panes and thumbnails show the picture through its own profile; the
    // thumbnails are made after the default picture is read.
    const QColorSpace shownSpace = DisplayColorSpace(FullSizeMetadata.icc);
    for (ImageView* view : {ImageScreen, ImagePreview}) view->setColorSpace(shownSpace);
    for (ImageView* thumb : Thumbnails)
        if (thumb != nullptr) thumb->setColorSpace(shownSpace);
}

bool TMainForm::LoadEditPicture(const std::string& path) {
    Picture loaded;
    PictureMetadata metadata;
    if (!LoadPictureFile(path, loaded, [](const std::string& text) { ShowErrorBox(nullptr, ToQString(text)); },
                         &metadata))
        return false;
    FullSizeMetadata = std::move(metadata);
    ShowThroughProfile();
    // Fitted while the control still holds the file's picture at full size.
    // The display-size pictures have the device pixels of the fitted control
    // (at ratio 1 its own size), so that they are shown 1:1.
    ImageScreen->setPicture(std::move(loaded));
    const FitRect shown = FitImageToPanel(ImageScreen, PanelPicture->width(), PanelPicture->height(), displayRatio_);
    FullSizePicture = ImageScreen->picture();
    ImagePreview->setPicture(StretchNearest(FullSizePicture, shown.width, shown.height));
    FitImageToPanel(ImagePreview, PanelPreview->width(), PanelPreview->height(), displayRatio_);
    ImageScreen->setPicture(ImagePreview->picture());
    return true;
}

// ---- Effect browser ----------------------------------------------------------

bool TMainForm::SliderShown() const { return !TrackBarValue->isHidden(); }

void TMainForm::RunArtEffect(Picture& picture, int variation, bool sliderVisible, int sliderPosition) {
    ArtEffect(context_, picture, variation, ArtSliderState{sliderVisible, sliderPosition});
}

void TMainForm::RenderEffect(Picture& picture, int category, int variation, bool forPreview) {
    if (IsCategoryKind(category, CategoryKind::Art)) {
        RunArtEffect(picture, variation, forPreview && SliderShown(), TrackBarValue->value());
        return;
    }
    // Every other category reads the variation, and Edge the chosen colour; a
    // category whose routine is not built leaves the picture as it is.
    ApplyEffect(context_, &picture, category, variation, -1, ColorBoxEdge->selectedColour());
}

void TMainForm::SetMarker(int category, bool on) {
    QPushButton* button = CategoryButton(category);
    if (!button) return;
    QPixmap marker = QPixmap::fromImage(PictureToImage(ImageFlag->picture()));
    marker.setDevicePixelRatio(displayRatio_);
    button->setIcon(on ? QIcon(marker) : QIcon());
    button->setProperty("current", on);
    button->style()->unpolish(button);
    button->style()->polish(button);
    button->update();
}

void TMainForm::ResetEffectControls(QObject* sender) {
    if (sender != nullptr)
        for (int c = 1; c <= kCategoryCount; ++c) SetMarker(c, false);
    ColorBoxEdge->hide();
    EditValue->hide();
    TrackBarValue->hide();
}

void TMainForm::ProcessPendingEvents() {
    // Repaints, timers and window-system events run; the user's input waits
    // until the loop has finished.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TMainForm::RenderCategory(int category, QObject* sender) {
    BusyScope busy(*this);
    const int previousCategory = CurrentCategory;
    ResetEffectControls(sender);
    SetMarker(category, true);
    // The scratch picture has the thumbnails' device pixels; the masks are
    // stretched to it, so a thumbnail looks the same at every ratio.
    Picture scratch(DevicePixels(ThumbWidth, displayRatio_), DevicePixels(ThumbHeight, displayRatio_));
    suiProgressBar1->setMinimum(0);
    suiProgressBar1->setMaximum(kVariationCount - 1);
    suiProgressBar1->setPosition(0);
    suiProgressBar1->show();
    ProcessPendingEvents();
    try {
        for (int i = 0; i < kVariationCount; ++i) {
            StretchNearestInto(WorkingPicture(), scratch);
            RenderEffect(scratch, category, i, false);
            Thumbnails[static_cast<std::size_t>(i)]->setPicture(scratch);
            suiProgressBar1->setPosition(suiProgressBar1->position() + 1);
            ProcessPendingEvents();
        }
    } catch (...) {
        // The category that stays current keeps the marker and its controls;
        // a preview that was pending is dropped with the controls it used.
        suiProgressBar1->hide();
        for (int c = 1; c <= kCategoryCount; ++c) SetMarker(c, c == previousCategory);
        if (IsCategoryKind(previousCategory, CategoryKind::EdgeMask)) ColorBoxEdge->show();
        SetPending(-1);
        SetApplyEnabled(false);
        throw;
    }
    suiProgressBar1->hide();
    if (IsCategoryKind(category, CategoryKind::EdgeMask)) ColorBoxEdge->show();
    CurrentCategory = category;
    NameThumbnails();
    SetPending(-1);
    SetApplyEnabled(false);
}

void TMainForm::CategoryClick(int category, QObject* sender) {
    Command([&] { RenderCategory(category, sender); });
}

void TMainForm::suitempButtonPresetClick(QObject* sender) { CategoryClick(Category::Preset, sender); }
void TMainForm::suitempButtonColorClick(QObject* sender) { CategoryClick(Category::Color, sender); }
void TMainForm::suitempButtonSketchClick(QObject* sender) { CategoryClick(Category::Sketch, sender); }
void TMainForm::suitempButtonArtClick(QObject* sender) { CategoryClick(Category::Art, sender); }
void TMainForm::suitempButtonLightClick(QObject* sender) { CategoryClick(Category::LightA, sender); }
void TMainForm::suitempButtonStarClick(QObject* sender) { CategoryClick(Category::Star, sender); }
void TMainForm::suitempButtonAmazingClick(QObject* sender) { CategoryClick(Category::Amazing, sender); }
void TMainForm::suitempButtonDreamClick(QObject* sender) { CategoryClick(Category::Dream, sender); }
void TMainForm::suitempButtonWhetherClick(QObject* sender) { CategoryClick(Category::Whether, sender); }
void TMainForm::suitempButtonTextureClick(QObject* sender) { CategoryClick(Category::Texture, sender); }
void TMainForm::suitempButtonEdgeClick(QObject* sender) { CategoryClick(Category::Edge, sender); }
void TMainForm::suitempButtonFrameClick(QObject* sender) { CategoryClick(Category::Frame, sender); }
void TMainForm::suitempButtonWaterClick(QObject* sender) { CategoryClick(Category::Water, sender); }
void TMainForm::ButtonLightBClick(QObject* sender) { CategoryClick(Category::LightB, sender); }
void TMainForm::ButtonLightCClick(QObject* sender) { CategoryClick(Category::LightC, sender); }

void TMainForm::RefreshCategoryNow() {
    if (CurrentCategory >= 1 && CurrentCategory <= kCategoryCount) RenderCategory(CurrentCategory, nullptr);
}

void TMainForm::RefreshCategory() {
    Command([&] { RefreshCategoryNow(); });
}

void TMainForm::ImageClick(ImageView* thumbnail) {
    Command([&] {
        if (CurrentCategory == -1 || thumbnail == nullptr) return;
        ResetEffectControls(nullptr);
        if (IsCategoryKind(CurrentCategory, CategoryKind::EdgeMask)) ColorBoxEdge->show();
        SetPending(thumbnail->Tag);
        Picture scratch = WorkingPicture();
        try {
            if (IsCategoryKind(CurrentCategory, CategoryKind::Art)) {
                if (const std::optional<ArtSlider> slider = ArtSliderFor(CurrentVariation)) {
                    TrackBarValue->show();
                    EditValue->show();
                    TrackBarValue->setMinimum(slider->minimum);
                    TrackBarValue->setMaximum(slider->maximum);
                    TrackBarValue->setValue(slider->start);
                    TrackBarValue->setPageStep(1);
                    EditValue->setText(QString::number(TrackBarValue->value()));
                }
            }
            RenderEffect(scratch, CurrentCategory, CurrentVariation, true);
        } catch (...) {
            // Nothing is pending after a failed preview: Apply stays disabled, so
            // the history never records an effect that did not render.
            SetPending(-1);
            SetApplyEnabled(false);
            throw;
        }
        ImagePreview->setPicture(std::move(scratch));
        SetApplyEnabled(true);
    });
}

void TMainForm::ThumbnailMove(ImageView* thumbnail, int key) {
    if (thumbnail == nullptr) return;
    constexpr int kColumns = 5;
    const int from = thumbnail->Tag;
    int to = from;
    switch (key) {
        case Qt::Key_Left: to = from - 1; break;
        case Qt::Key_Right: to = from + 1; break;
        case Qt::Key_Up: to = from - kColumns; break;
        case Qt::Key_Down: to = from + kColumns; break;
        case Qt::Key_Home: to = 0; break;
        case Qt::Key_End: to = kVariationCount - 1; break;
        default: return;
    }
    if (to < 0 || to >= kVariationCount || to == from) return;
    ImageView* target = Thumbnails[static_cast<std::size_t>(to)];
    target->setFocusPolicy(Qt::TabFocus);
    target->setFocus(Qt::TabFocusReason);
    thumbnail->setFocusPolicy(Qt::NoFocus);
}

void TMainForm::TrackBarValueChange() {
    Command([&] {
        if (!IsCategoryKind(CurrentCategory, CategoryKind::Art) || !ArtSliderFor(CurrentVariation)) return;
        Picture scratch = WorkingPicture();
        RunArtEffect(scratch, CurrentVariation, SliderShown(), TrackBarValue->value());
        ImagePreview->setPicture(std::move(scratch));
        EditValue->setText(QString::number(TrackBarValue->value()));
    });
}

void TMainForm::ColorBoxEdgeChange() {
    Command([&] {
        RenderCategory(Category::Edge, nullptr);
        ColorBoxEdge->setFocus();
    });
}

// ---- History -----------------------------------------------------------------

void TMainForm::SetApplyEnabled(bool on) {
    BitBtnApply->setEnabled(on);
    MenuApply->setEnabled(on);
}

void TMainForm::SetPending(int variation) {
    CurrentVariation = variation;
    if (thumbnailHighlight_ == nullptr) return;
    if (variation < 0 || variation >= kVariationCount) {
        thumbnailHighlight_->hide();
        return;
    }
    thumbnailHighlight_->setGeometry(Thumbnails[static_cast<std::size_t>(variation)]->geometry().adjusted(-3, -3, 3, 3));
    thumbnailHighlight_->show();
    thumbnailHighlight_->lower();
}

void TMainForm::SetUndoEnabled(bool on) {
    BitBtnUndo->setEnabled(on);
    MenuUnDo->setEnabled(on);
}

void TMainForm::SetRedoEnabled(bool on) {
    BitBtnReDo->setEnabled(on);
    MenuRedo->setEnabled(on);
}

void TMainForm::ShowHistoryTrace() {
    Memo1->clear();
    QStringList lines;
    for (const std::string& line : History.TraceLines()) lines << ToQString(line);
    Memo1->setPlainText(lines.join('\n'));
}

void TMainForm::suitempBitBtnApplyClick() {
    Command([&] {
        SetApplyEnabled(false);
        // Nothing is recorded without a shown category and a previewed variation.
        if (CurrentCategory < 1 || CurrentVariation < 0) return;
        ImageScreen->setPicture(PreviewPicture());
        // The saved state is gone when it lay among the entries Redo could restore.
        for (const HistoryEntry* e = History.HistoryCurrent()->next; e != nullptr; e = e->next)
            if (e == savedEntry_) savedEntry_ = nullptr;
        History.TruncateAfter(History.HistoryCurrent());
        const std::int32_t parameter = SliderShown() ? TrackBarValue->value() : -1;
        History.Append(WorkingPicture(), CurrentCategory, ColorBoxEdge->selectedColour(), parameter,
                       CurrentVariation);
        SetUndoEnabled(true);
        SetRedoEnabled(false);
        // The listing, the title, the recovery file and the pending state follow
        // the history even when the re-render of the thumbnails fails.
        ShowHistoryTrace();
        HistoryChanged();
        SetPending(-1);
        RefreshCategoryNow();
    });
}

void TMainForm::suitempBitBtnUndoClick() {
    Command([&] {
        HistoryEntry* current = History.HistoryCurrent();
        HistoryEntry* p = current ? current->previous : nullptr;
        if (p == nullptr) return;
        ImageScreen->setPicture(p->snapshot);
        ImagePreview->setPicture(p->snapshot);
        History.SetHistoryCurrent(p);
        if (p == History.HistoryRoot()) SetUndoEnabled(false);
        SetRedoEnabled(true);
        ShowHistoryTrace();
        HistoryChanged();
        SetPending(-1);
        if (CurrentCategory > 0) RefreshCategoryNow();
    });
}

void TMainForm::suitempBitBtnReDoClick() {
    Command([&] {
        HistoryEntry* current = History.HistoryCurrent();
        HistoryEntry* p = current ? current->next : nullptr;
        if (p == nullptr) return;
        ImageScreen->setPicture(p->snapshot);
        ImagePreview->setPicture(p->snapshot);
        History.SetHistoryCurrent(p);
        if (p == History.HistoryLast()) SetRedoEnabled(false);
        SetUndoEnabled(true);
        ShowHistoryTrace();
        HistoryChanged();
        SetPending(-1);
        if (CurrentCategory > 0) RefreshCategoryNow();
    });
}

Picture TMainForm::ReplayHistory(ProgressBar* bar, bool pending) {
    BusyScope busy(*this);
    ReplayProgress progress;
    progress.start = [&](int minimum, int maximum) {
        bar->setMinimum(minimum);
        bar->setMaximum(maximum);
        bar->setPosition(0);
        bar->show();
        ProcessPendingEvents();
    };
    progress.step = [&] {
        bar->setPosition(bar->position() + 1);
        ProcessPendingEvents();
    };
    progress.finish = [&] {
        bar->setPosition(bar->maximum());
        bar->hide();
        ProcessPendingEvents();
    };
    std::optional<EffectCall> underPreview;
    if (pending && CurrentCategory != -1 && CurrentVariation != -1)
        underPreview = EffectCall{CurrentCategory, CurrentVariation, TrackBarValue->value(),
                                  ColorBoxEdge->selectedColour()};
    EffectContext fullSize = context_;
    fullSize.bands = &outputBands_;
    return ReplayHistoryOnto(History, FullSizePicture, fullSize, progress, underPreview);
}

// ---- Picture files -----------------------------------------------------------

namespace {

// A filter's patterns: each extension in lower case, upper case and with a
// capital first letter, so that the dialog matches them all.
QStringList PatternsOf(const std::vector<std::string>& extensions) {
    QStringList patterns;
    for (const std::string& e : extensions) patterns << "*." + QString::fromStdString(e);
    for (const std::string& e : extensions) patterns << "*." + QString::fromStdString(e).toUpper();
    for (const std::string& e : extensions) {
        QString capital = QString::fromStdString(e);
        capital[0] = capital[0].toUpper();
        patterns << "*." + capital;
    }
    return patterns;
}

QString JoinedPatterns(const std::vector<std::string>& extensions) {
    QStringList patterns;
    for (const std::string& e : extensions) patterns << "*." + QString::fromStdString(e);
    return patterns.join(';');
}

// "All" first, then one entry a format (or, for JPEG, one an extension), in
// the order of the format table.
QList<FileFilter> OpenFilters() {
    std::vector<std::string> all;
    for (const PictureFormatInfo& info : PictureFormats()) all.insert(all.end(), info.extensions.begin(), info.extensions.end());
    QList<FileFilter> filters;
    filters.append({"All (" + JoinedPatterns(all) + ")", PatternsOf(all)});
    for (const PictureFormatInfo& info : PictureFormats()) {
        const QString name = QString::fromLatin1(info.openFilterName);
        if (info.openFilterPerExtension) {
            for (const std::string& e : info.extensions) filters.append({name + " (" + JoinedPatterns({e}) + ")", PatternsOf({e})});
        } else {
            filters.append({name + " (" + JoinedPatterns(info.extensions) + ")", PatternsOf(info.extensions)});
        }
    }
    return filters;
}

// One entry a writable format; the entry's number picks the format.
QList<FileFilter> SaveFilters() {
    QList<FileFilter> filters;
    for (const PictureFormatInfo* info : WritablePictureFormats())
        filters.append({QString::fromLatin1(info->saveFilterName), {"*." + QString::fromStdString(info->extensions.front())}});
    return filters;
}

const PictureFormatInfo* SaveFormatOfEntry(int entry) {
    const std::vector<const PictureFormatInfo*> writable = WritablePictureFormats();
    if (entry < 1 || entry > static_cast<int>(writable.size())) return nullptr;
    return writable[static_cast<std::size_t>(entry - 1)];
}

}  // namespace

void TMainForm::SaveDialogTypeChange(int entry) {
    if (const PictureFormatInfo* info = SaveFormatOfEntry(entry))
        saveDefaultExtension_ = QString::fromStdString(info->extensions.front());
}

void TMainForm::suitempBitBtnOpenClick() {
    Command([&] {
        FileDialogRequest request;
        request.save = false;
        request.title = Caption(kOpenDialogTitle);
        request.filters = OpenFilters();
        request.filterEntry = openFilterEntry_;
        request.fileName = openFileName_;
        const std::optional<FileDialogAnswer> answer = Dialogs().fileDialog(this, request);
        if (!answer) return;
        openFileName_ = answer->path;
        openFilterEntry_ = answer->filterEntry;
        OpenPictureFile(answer->path);
    });
}

bool TMainForm::OpenPictureFile(const QString& chosen) {
    // Unsaved work is asked about before anything is read; a load that fails
    // afterwards still leaves that work in the editor.
    if (!ConfirmDropWork()) return false;
    const std::string path = chosen.toStdString();
    if (!LoadEditPicture(path)) return false;
    History.Clear();
    History.SetBase(WorkingPicture());
    savedEntry_ = History.HistoryRoot();
    editedPath_ = path;
    editingDefault_ = false;
    recovery_->Clear();
    UpdateTitle();
    SetUndoEnabled(false);
    SetRedoEnabled(false);
    ShowHistoryTrace();
    // The status names the new picture before the thumbnails render, so that
    // a failing render cannot leave it naming the previous file.
    ShowOpenFile(chosen);
    if (CurrentCategory > 0) {
        RefreshCategoryNow();
    } else {
        SetPending(-1);
        SetApplyEnabled(false);
    }
    return true;
}

void TMainForm::suitempBitBtnSaveClick() {
    Command([&] { SaveToChosenFile(); });
}

bool TMainForm::SaveToChosenFile() {
    if (FullSizePicture.empty()) {
        ShowInfoBox(this, Caption(kNothingToSaveText));
        return false;
    }
    FileDialogRequest request;
    request.save = true;
    request.title = Caption(kSaveDialogTitle);
    request.filters = SaveFilters();
    request.filterEntry = saveFilterEntry_;
    request.fileName = saveFileName_;
    request.defaultExtension = saveDefaultExtension_;
    request.filterChanged = [this](int entry) {
        SaveDialogTypeChange(entry);
        return saveDefaultExtension_;
    };
    const std::optional<FileDialogAnswer> answer = Dialogs().fileDialog(this, request);
    if (!answer) return false;
    saveFileName_ = answer->path;
    saveFilterEntry_ = answer->filterEntry;
    SaveDialogTypeChange(saveFilterEntry_);
    const Picture output = ReplayHistory(suiProgressBar1, false);
    const PictureFormatInfo* format = SaveFormatOfEntry(answer->filterEntry);
    SavePictureFile(answer->path.toStdString(), output, format != nullptr ? format->format : PictureFormat::Jpeg,
                    FullSizeMetadata);
    // The saved state is the current entry: no unsaved work, no recovery file.
    savedEntry_ = History.HistoryCurrent();
    HistoryChanged();
    return true;
}

}  // namespace corvellin
