// The editor's main window. It owns all editing state: the full-size picture,
// the display-size working and preview pictures, the shown category, the
// pending variation and the history.
#pragma once

#include <QMainWindow>
#include <QList>
#include <QUrl>
#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "CommandBoundary.h"
#include "Controls.h"
#include "Fit.h"
#include "effects/Catalogue.h"
#include "effects/EffectContext.h"
#include "effects/MaskCache.h"
#include "effects/RowBands.h"
#include "history/Queue.h"
#include "history/Recovery.h"
#include "output/PrintLayout.h"
#include "picture/Metadata.h"
#include "picture/Picture.h"
#include "settings/CaptionCatalog.h"

class QAction;
class QActionGroup;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QScrollArea;
class QSlider;
class QStatusBar;
class QDragEnterEvent;
class QDropEvent;

namespace corvellin {

inline constexpr const char* kProductTitle = "Corvellin Photo Editor";
inline constexpr const char* kStatusHint = "Click the small photo to preview and apply this effect";
// The design sizes that captions may widen: the tool bar's buttons (at
// kToolbarButtonLeft, kToolbarRightMargin to spare) and the command buttons,
// kButtonRowGap apart; the slider before them; status panel 0.
inline constexpr int kDesignButtonWidth = 75;
inline constexpr int kToolbarButtonLeft = 16;
inline constexpr int kToolbarRightMargin = 22;
inline constexpr int kButtonRowGap = 6;
inline constexpr int kTrackBarWidth = 157;
inline constexpr int kStatusHintWidth = 350;
inline constexpr int kStatusBarHeight = 19;

// Between the picture's name and the product title in the window title.
inline constexpr const char* kTitleSeparator = " — ";

class RecoverySession;

class TMainForm : public QMainWindow, public CaptionSource {
    Q_OBJECT
public:
    // Runs the start-up sequence with the program's folder (ending in '/').
    explicit TMainForm(const std::string& programDir, QWidget* parent = nullptr);
    ~TMainForm() override;

    // ---- Editing state --------------------------------------------------------
    std::string ProgramDir;
    Picture FullSizePicture;
    // The opened file's metadata (EXIF, XMP, IPTC, ICC profile), carried into
    // every file saved from FullSizePicture.
    PictureMetadata FullSizeMetadata;
    TQueueData History;
    int CurrentCategory = -1;
    int CurrentVariation = -1;
    int ThumbWidth = kThumbnailWidth;
    int ThumbHeight = kThumbnailHeight;
    int LanguageIndex = -1;
    corvellin::PrintLayout PrintLayout;
    // The "*.ini" names of the Languages folder, sorted without case; a
    // language is its index here.
    std::vector<std::string> FileListBoxLanguage;
    const Picture& WorkingPicture() const { return ImageScreen->picture(); }
    const Picture& PreviewPicture() const { return ImagePreview->picture(); }
    bool Busy() const { return busy_ > 0; }
    // True while the history differs from what was last opened or saved.
    bool HasUnsavedWork() const;
    // The name (without folder) of the picture being edited.
    QString EditedFileName() const;
    // This run's recovery file (it exists only while there is unsaved work).
    std::string RecoveryFilePath() const;
    // A caption of the current language (the built-in text without one; a
    // text that is no key, as it is).
    QString Caption(const char* key) const override;

    // ---- Controls -------------------------------------------------------------
    QWidget* PanelLeftToolbar = nullptr;
    QPushButton* BitBtnOpen = nullptr;
    QPushButton* BitBtnSave = nullptr;
    QPushButton* suiButtonWallPaper = nullptr;
    QPushButton* ButtonPreset = nullptr;
    QPushButton* ButtonSketch = nullptr;
    QPushButton* ButtonLight = nullptr;
    QPushButton* ButtonLightB = nullptr;
    QPushButton* ButtonLightC = nullptr;
    QPushButton* ButtonStar = nullptr;
    QPushButton* ButtonAmazing = nullptr;
    QPushButton* ButtonWater = nullptr;
    QPushButton* ButtonDream = nullptr;
    QPushButton* ButtonWhether = nullptr;
    QPushButton* ButtonColor = nullptr;
    QPushButton* ButtonArt = nullptr;
    QPushButton* ButtonTexture = nullptr;
    QPushButton* ButtonEdge = nullptr;
    QPushButton* ButtonFrame = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    std::array<QLabel*, 2> StatusPanels{};

    QScrollArea* ScrollBox = nullptr;
    QWidget* PanelScreen = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QFrame* PanelPicture = nullptr;
    ImageView* ImageScreen = nullptr;
    QFrame* PanelPreview = nullptr;
    ImageView* ImagePreview = nullptr;
    QFrame* PanelEffect = nullptr;
    ColorBox* ColorBoxEdge = nullptr;
    ProgressBar* suiProgressBar1 = nullptr;
    QLineEdit* EditValue = nullptr;
    QSlider* TrackBarValue = nullptr;
    QPushButton* BitBtnApply = nullptr;
    QPushButton* BitBtnUndo = nullptr;
    QPushButton* BitBtnReDo = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    ImageView* ImageFlag = nullptr;
    std::array<ImageView*, kVariationCount> Thumbnails{};

    QMenu* File1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* View1 = nullptr;
    QMenu* Effect1 = nullptr;
    QMenu* ools1 = nullptr;
    QMenu* Languages1 = nullptr;
    QMenu* Help1 = nullptr;
    QAction* MenuOpen = nullptr;
    QAction* N1 = nullptr;
    QAction* MenuSave = nullptr;
    QAction* MenuSetWallpaper = nullptr;
    QAction* N2 = nullptr;
    QAction* MenuPaperSetting = nullptr;
    QAction* MenuPrintPreview = nullptr;
    QAction* MenuPrint = nullptr;
    QAction* N5 = nullptr;
    QAction* MenuExit = nullptr;
    QAction* MenuUnDo = nullptr;
    QAction* MenuRedo = nullptr;
    QAction* N6 = nullptr;
    QAction* MenuApply = nullptr;
    QAction* MenuPreview = nullptr;
    QAction* MenuPreset = nullptr;
    QAction* MenuSketch = nullptr;
    QAction* MenuLight = nullptr;
    QAction* MenuLightB = nullptr;
    QAction* MenuLightC = nullptr;
    QAction* MenuStar = nullptr;
    QAction* MenuAmazing = nullptr;
    QAction* MenuWater = nullptr;
    QAction* MenuDream = nullptr;
    QAction* MenuWhether = nullptr;
    QAction* MenuColor = nullptr;
    QAction* MenuArt = nullptr;
    QAction* MenuTexture = nullptr;
    QAction* MenuEdge = nullptr;
    QAction* MenuFrame = nullptr;
    QAction* MenuVelloranEditor = nullptr;
    QAction* MenuEnglish = nullptr;
    QAction* N7 = nullptr;
    QAction* MenuMoreLanguages = nullptr;
    QAction* MenuHelpContent = nullptr;
    QAction* N4 = nullptr;
    QAction* MenuUpdates = nullptr;
    QAction* N3 = nullptr;
    QAction* MenuAbout = nullptr;
    QActionGroup* LanguageGroup = nullptr;

    // The button and the Effect menu item of a category (1 to 15).
    QPushButton* CategoryButton(int category) const;
    QAction* CategoryMenuItem(int category) const;

    // ---- Operations -----------------------------------------------------------
    // Makes a picture file the picture being edited; false (after its error box)
    // when the file is missing or of another type. A decoder error propagates
    // with the editing state unchanged.
    // Gives the panes and thumbnails the colour space of FullSizeMetadata's profile.
    void ShowThroughProfile();
    bool LoadEditPicture(const std::string& path);
    // Sizes and centres an image control for its picture inside a W x H pane
    // (logical pixels) at a device pixel ratio; the picture's rectangle in
    // device pixels.
    static FitRect FitImageToPanel(ImageView* image, int W, int H, double ratio = 1.0);
    // Device pixels per logical pixel of the screen the window was made on:
    // the working, preview and thumbnail pictures are made at that resolution.
    double DisplayRatio() const { return displayRatio_; }
    // cfg.ini: read once at start-up, written once at shutdown.
    void LoadSettings();
    void SaveSettings();
    // Builds the language list and the Languages menu; sets every caption of
    // the window from a language (-1: the built-in English texts).
    void ScanLanguages();
    void ApplyLanguage(int index);
    std::string LanguageFilePath(int index) const;
    // Rewrites Memo1 with one line per history entry.
    void ShowHistoryTrace();
    // A copy of FullSizePicture with the committed effects (and, with pending,
    // the effect under preview), the bar showing the walk.
    Picture ReplayHistory(ProgressBar* bar, bool pending);
    // The save dialog's default extension for a filter entry (1 JPEG, 2 BMP).
    void SaveDialogTypeChange(int entry);
    QString SaveDefaultExtension() const { return saveDefaultExtension_; }
    // What the Tools item opens (MainOutput.cpp): the companion program's full
    // path, else its web page; fixed at start-up.
    std::string ToolsTarget;
    void FindToolsTarget();
    // Where Set Wallpaper writes "TarnwickDesktop.bmp".
    std::string WallpaperFilePath() const;
    // The print job: the committed history replayed onto a copy of the
    // full-size picture (the bar showing the walk), stretched into the device
    // rectangle of one page of the current printer.
    void PrintPicture(const PixelRect& rectangle, ProgressBar* bar);

    // The one way a file becomes the picture being edited, for File > Open,
    // the command line and a drop: asks about unsaved work first, then loads
    // the file with the checks and messages of Open. False when the user
    // cancelled or the file could not be loaded; the editor is then unchanged.
    bool OpenPictureFile(const QString& path);
    // What the entry point calls once the window is shown: recovery files of
    // runs that ended abnormally, then the file named on the command line.
    // Returns the picture whose work was restored (empty when none was).
    std::string OfferRecovery();
    void OpenCommandLineFile(const QString& path);
    // A drop of these URLs: one local file opens, anything else is refused with a message.
    void OpenDropped(const QList<QUrl>& urls);

public slots:
    // ---- Commands: every one catches its errors and shows them ------------------
    void suitempBitBtnOpenClick();
    void suitempBitBtnSaveClick();
    void suitempBitBtnApplyClick();
    void suitempBitBtnUndoClick();
    void suitempBitBtnReDoClick();
    void MenuExitClick();
    void MenuPaperSettingClick();
    void MenuPrintPreviewClick();
    void MenuPrintClick();
    // Opens the update window (the menu item itself stays hidden).
    void MenuUpdatesClick();

    void suitempButtonPresetClick(QObject* sender);
    void suitempButtonColorClick(QObject* sender);
    void suitempButtonSketchClick(QObject* sender);
    void suitempButtonArtClick(QObject* sender);
    void suitempButtonLightClick(QObject* sender);
    void suitempButtonStarClick(QObject* sender);
    void suitempButtonAmazingClick(QObject* sender);
    void suitempButtonDreamClick(QObject* sender);
    void suitempButtonWhetherClick(QObject* sender);
    void suitempButtonTextureClick(QObject* sender);
    void suitempButtonEdgeClick(QObject* sender);
    void suitempButtonFrameClick(QObject* sender);
    void suitempButtonWaterClick(QObject* sender);
    void ButtonLightBClick(QObject* sender);
    void ButtonLightCClick(QObject* sender);

    void LanguageItemClick(QAction* item);
    void MenuEnglishClick();

    void ImageClick(corvellin::ImageView* thumbnail);
    // An arrow, Home or End key on a focused thumbnail: the focus moves in the
    // grid (left and right along the ten, up and down between the two rows).
    void ThumbnailMove(corvellin::ImageView* thumbnail, int key);
    void TrackBarValueChange();
    void ColorBoxEdgeChange();
    void RefreshCategory();
    void ResetEffectControls(QObject* sender);

    // Output, Help and Tools commands (MainOutput.cpp).
    void suiButtonWallPaperClick();
    void MenuPreviewClick();
    void MenuHelpContentClick();
    void MenuAboutClick();
    void MenuToolsClick();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    class BusyScope;
    template <class Body>
    void Command(Body&& body);

    void BuildWindow();
    void BuildMenus();
    void FormCreate();
    void FormDestroy();
    void ConnectOutputCommands();

    void CategoryClick(int category, QObject* sender);  // the command
    void RenderCategory(int category, QObject* sender);  // the handler's steps
    void RefreshCategoryNow();
    void SetMarker(int category, bool on);
    // The accessible names of the controls without a text of their own, and
    // the thumbnails' names (tooltip and accessible name) in the current
    // language (MainLanguages.cpp).
    void NameControls();
    void NameThumbnails();
    void ShowPicture(ImageView* view, const Picture& picture);
    void SetApplyEnabled(bool on);
    void SetPending(int variation);
    void SetUndoEnabled(bool on);
    void SetRedoEnabled(bool on);
    void ProcessPendingEvents();
    bool SliderShown() const;

    // Unsaved work: asks whether to save it; true when the caller may go on.
    bool ConfirmDropWork();
    // The save command's steps; true when the file was written.
    bool SaveToChosenFile();
    void UpdateTitle();
    // Status panel 1: "Open file: " in the current language, then the path.
    void ShowOpenFile(const QString& path);
    // Widens the controls whose captions need it and makes room for them:
    // the tool bar to its widest button, the command row from its right end.
    void FitCaptions();
    // The status bar grows where its texts stand taller than the window's font
    // (characters drawn from a fallback font).
    void FitStatusBar();
    // After Apply, Undo, Redo and Save: the title's marker and the recovery file.
    void HistoryChanged();
    void WriteRecovery();
    void RestoreRecord(const RecoveryRecord& record);

    // The one place that runs an effect for a thumbnail or the preview.
    void RenderEffect(Picture& picture, int category, int variation, bool forPreview);
    // Art: the slider's state decides the parameter (the single call site of ArtEffect).
    void RunArtEffect(Picture& picture, int variation, bool sliderVisible, int sliderPosition);

    // Thumbnails and previews run on this thread with the mask cache; the
    // full-size replay adds the band threads, while this thread waits.
    MaskCache maskCache_;
    BandPool outputBands_;
    EffectContext context_;
    double displayRatio_ = 1.0;
    QFrame* thumbnailHighlight_ = nullptr;  // the ring around the pending variation's thumbnail
    int busy_ = 0;
    std::map<std::string, QString, std::less<>> captions_;
    std::string editedPath_;       // the picture file being edited (the default picture at start)
    bool editingDefault_ = true;   // no file was opened yet
    const HistoryEntry* savedEntry_ = nullptr;  // the entry whose state was last opened or saved
    std::unique_ptr<RecoverySession> recovery_;
    bool recoveryWarned_ = false;
    bool closePending_ = false;
    QString openFileShown_;  // the path status panel 1 names
    QString openFileName_;
    int openFilterEntry_ = 1;
    QString saveFileName_;
    int saveFilterEntry_ = 1;
    QString saveDefaultExtension_ = "jpg";
};

}  // namespace corvellin
