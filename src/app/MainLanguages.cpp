// The main window's settings file and languages: LoadSettings and SaveSettings,
// the Languages menu, and the switching of every caption.
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QSlider>
#include <QUrl>
#include <algorithm>

#include <QRegularExpression>

#include "MainForm.h"
#include "effects/VariationNames.h"
#include "StoredSettings.h"
#include "picture/Error.h"
#include "platform/qt/CaptionFit.h"
#include "platform/qt/Dialogs.h"
#include "platform/qt/Shell.h"
#include "settings/CaptionCatalog.h"
#include "settings/LanguageFiles.h"
#include "settings/SettingsFile.h"

namespace corvellin {
namespace {

// The controls that show each translated text of the main window.
struct CaptionTargets {
    const char* key;
    std::initializer_list<const char*> controls;
};

const CaptionTargets kMainCaptionTargets[] = {
    {"&Open", {"BitBtnOpen", "MenuOpen"}},
    {"&Save", {"BitBtnSave", "MenuSave"}},
    {"&WallPaper", {"suiButtonWallPaper"}},
    {"&Preset", {"ButtonPreset", "MenuPreset"}},
    {"&Sketch", {"ButtonSketch", "MenuSketch"}},
    {"&LightA", {"ButtonLight", "MenuLight"}},
    {"Light&B", {"ButtonLightB", "MenuLightB"}},
    {"Light&C", {"ButtonLightC", "MenuLightC"}},
    {"&Star", {"ButtonStar", "MenuStar"}},
    {"&Amazing", {"ButtonAmazing", "MenuAmazing"}},
    {"&Water", {"ButtonWater", "MenuWater"}},
    {"&Dream", {"ButtonDream", "MenuDream"}},
    {"&Whether", {"ButtonWhether", "MenuWhether"}},
    {"&Color", {"ButtonColor", "MenuColor"}},
    {"&Art", {"ButtonArt", "MenuArt"}},
    {"&Texture", {"ButtonTexture", "MenuTexture"}},
    {"&Edge", {"ButtonEdge", "MenuEdge"}},
    {"&Frame", {"ButtonFrame", "MenuFrame"}},
    {"&File", {"File1"}},
    {"P&aper Settings...", {"MenuPaperSetting"}},
    {"Print Pre&view...", {"MenuPrintPreview"}},
    {"&Print...", {"MenuPrint"}},
    {"E&xit", {"MenuExit"}},
    {"Set &Wallpaper", {"MenuSetWallpaper"}},
    {"&Edit", {"Edit1"}},
    {"&UnDo", {"MenuUnDo", "BitBtnUndo"}},
    {"&Redo", {"MenuRedo", "BitBtnReDo"}},
    {"&Apply", {"MenuApply", "BitBtnApply"}},
    {"&View", {"View1"}},
    {"Pre&view", {"MenuPreview"}},
    {"&Effect", {"Effect1"}},
    {"&Help", {"Help1"}},
    {"Help &Contents", {"MenuHelpContent"}},
    {"Check For &Updates", {"MenuUpdates"}},
    {"&About...", {"MenuAbout"}},
    {"Source Picture", {"Label1"}},
    {"Preview (Double click to full screen)", {"Label2"}},
    {"Click the small photo to preview and apply this effection", {"StatusBar1Panel0"}},
};

void SetCaption(QObject* target, const QString& text) {
    if (auto* button = qobject_cast<QAbstractButton*>(target)) button->setText(text);
    else if (auto* action = qobject_cast<QAction*>(target)) action->setText(text);
    else if (auto* menu = qobject_cast<QMenu*>(target)) menu->setTitle(text);
    else if (auto* label = qobject_cast<QLabel*>(target)) label->setText(text);
}

char LocaleDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return (point.size() == 1 && point[0].unicode() < 128) ? static_cast<char>(point[0].unicode()) : '.';
}

}  // namespace

void TMainForm::LoadSettings() {
    EnsureFolder(SettingsFolder());
    const StoredSettings stored = ReadStoredSettings(SettingsFilePath(), LocaleDecimalSeparator());
    PrintLayout = stored.layout;
    LanguageIndex = stored.languageIndex;
}

void TMainForm::SaveSettings() {
    try {
        WriteStoredSettings(SettingsFilePath(), StoredSettings{PrintLayout, LanguageIndex});
    } catch (const std::exception& error) {
        // Shutdown goes on; the previous file is still there.
        ShowErrorBox(this, QString::fromStdString(error.what()));
    }
}

std::string TMainForm::LanguageFilePath(int index) const {
    if (index < 0 || index >= static_cast<int>(FileListBoxLanguage.size())) return {};
    return ProgramDir + "Languages/" + FileListBoxLanguage[static_cast<std::size_t>(index)];
}

void TMainForm::ScanLanguages() {
    const std::string folder = ProgramDir + "Languages";
    // An installed, read-only program folder simply has no folder to create.
    EnsureFolder(folder);
    FileListBoxLanguage = ListLanguageFiles(folder);
    bool indexOffered = false;
    for (std::size_t i = 0; i < FileListBoxLanguage.size(); ++i) {
        if (IsTemplateLanguageFile(FileListBoxLanguage[i])) continue;
        const std::string name = LanguageDisplayName(LoadLanguageFile(folder + "/" + FileListBoxLanguage[i]));
        if (name.empty()) continue;
        auto* item = new QAction(QString::fromStdString(name), Languages1);
        item->setObjectName(QString("LanguageItem%1").arg(i));
        item->setData(static_cast<int>(i));
        item->setCheckable(true);
        LanguageGroup->addAction(item);
        Languages1->insertAction(MenuMoreLanguages, item);
        if (static_cast<int>(i) == LanguageIndex) {
            item->setChecked(true);
            indexOffered = true;
        }
        connect(item, &QAction::triggered, this, [this, item] { LanguageItemClick(item); });
    }
    // A stored index that names no offered file (removed or renamed since) is English.
    if (!indexOffered) LanguageIndex = -1;
    MenuMoreLanguages->setData(-2);
    connect(MenuMoreLanguages, &QAction::triggered, this, [this] { LanguageItemClick(MenuMoreLanguages); });
    connect(MenuEnglish, &QAction::triggered, this, &TMainForm::MenuEnglishClick);
    MenuMoreLanguages->setVisible(!FileListBoxLanguage.empty());
}

void TMainForm::ApplyLanguage(int index) {
    const IniFile file = index >= 0 ? LoadLanguageFile(LanguageFilePath(index)) : IniFile();
    for (const CaptionKey& caption : CaptionKeys(CaptionWindow::Main)) {
        const QString text = QString::fromStdString(Translate(file, caption.key, caption.builtIn));
        // Texts that no control shows (the save question and its buttons) are read from here.
        captions_[caption.key] = text;
        for (const CaptionTargets& row : kMainCaptionTargets) {
            if (std::string_view(row.key) != caption.key) continue;
            for (const char* name : row.controls) {
                if (std::string_view(name) == "StatusBar1Panel0") SetCaption(StatusPanels[0], text);
                else if (QObject* target = findChild<QObject*>(name)) SetCaption(target, text);
            }
        }
    }
    if (!openFileShown_.isEmpty()) ShowOpenFile(openFileShown_);
    FitCaptions();
    NameControls();
}

void TMainForm::ShowOpenFile(const QString& path) {
    openFileShown_ = path;
    StatusPanels[1]->setText(Caption(kOpenFileText) + QLatin1Char(' ') + path);
    FitStatusBar();
}

void TMainForm::FitStatusBar() {
    // As designed, the bar is the font's height and a frame around it.
    const int frame = kStatusBarHeight - QFontMetrics(StatusPanels[0]->font()).height();
    int text = 0;
    for (const QLabel* panel : StatusPanels) text = std::max(text, TextLineHeight(panel->text(), panel->font()));
    StatusBar1->setFixedHeight(std::max(kStatusBarHeight, text + frame));
}

void TMainForm::FitCaptions() {
    // One width for the whole tool bar: the widest caption's. A category button
    // is measured as the current category shows it, bold and with the marker.
    int buttonWidth = kDesignButtonWidth;
    std::vector<QPushButton*> categoryButtons;
    for (int category = 1; category <= kCategoryCount; ++category) categoryButtons.push_back(CategoryButton(category));
    for (QPushButton* button : PanelLeftToolbar->findChildren<QPushButton*>()) {
        const bool category = std::find(categoryButtons.begin(), categoryButtons.end(), button) != categoryButtons.end();
        QFont face = button->font();
        if (category) face.setBold(true);
        buttonWidth = std::max(buttonWidth, PushButtonWidth(button, face, category || !button->icon().isNull()));
    }
    for (QPushButton* button : PanelLeftToolbar->findChildren<QPushButton*>())
        button->setGeometry(kToolbarButtonLeft, button->y(), buttonWidth, button->height());
    PanelLeftToolbar->setFixedWidth(kToolbarButtonLeft + buttonWidth + kToolbarRightMargin);

    Label1->adjustSize();
    Label2->adjustSize();

    // Apply, Undo and Redo end at the thumbnail panel's right edge; the slider
    // ends before Apply.
    int right = PanelEffect->geometry().right() + 1;
    for (QPushButton* button : {BitBtnReDo, BitBtnUndo, BitBtnApply}) {
        const int width = CaptionWidth(button, kDesignButtonWidth);
        button->setGeometry(right - width, button->y(), width, button->height());
        right -= width + kButtonRowGap;
    }
    TrackBarValue->resize(std::min(kTrackBarWidth, right - TrackBarValue->x()), TrackBarValue->height());

    StatusPanels[0]->setFixedWidth(CaptionWidth(StatusPanels[0], kStatusHintWidth));
    FitStatusBar();

    // A restored window keeps the whole picture area in view beside the tool bar.
    const int wanted = PanelLeftToolbar->width() + PanelScreen->width();
    if (!isMaximized() && !isFullScreen() && width() < wanted) resize(wanted, height());
}

void TMainForm::NameControls() {
    const auto name = [this](QWidget* control, const char* key) {
        // The name is the caption without its underline marks.
        QString text = Caption(key);
        text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
        control->setAccessibleName(text);
    };
    name(menuBar(), "Menu bar");
    name(PanelLeftToolbar, "Tool bar");
    name(PanelPicture, "Source Picture");
    name(ImageScreen, "Source Picture");
    name(PanelPreview, "Preview (Double click to full screen)");
    name(ImagePreview, "Preview (Double click to full screen)");
    name(PanelEffect, "Effect variations");
    name(TrackBarValue, "Effect value");
    name(EditValue, "Effect value");
    name(ColorBoxEdge, "Edge color");
    name(suiProgressBar1, "Progress");
    name(StatusBar1, "Status bar");
    NameThumbnails();
}

void TMainForm::NameThumbnails() {
    for (ImageView* thumb : Thumbnails) {
        if (thumb == nullptr) continue;
        // The variation's name from the catalogue, in the current language.
        const std::string key = VariationName(CurrentCategory, thumb->Tag);
        const QString text = key.empty() ? QString() : Caption(key.c_str());
        thumb->setToolTip(text);
        thumb->setAccessibleName(text);
    }
}

void TMainForm::LanguageItemClick(QAction* item) {
    if (Busy()) return;
    const int tag = item->data().toInt();
    if (tag == -2) {
        // More languages: the folder the editor reads them from, in the file manager.
        ShellOpen(this, QUrl::fromLocalFile(QString::fromStdString(ProgramDir + "Languages")));
        return;
    }
    item->setChecked(true);
    LanguageIndex = tag;
    ApplyLanguage(LanguageIndex);
}

void TMainForm::MenuEnglishClick() {
    if (Busy()) return;
    ApplyLanguage(-1);
    LanguageIndex = -1;
    MenuEnglish->setChecked(true);
}

}  // namespace corvellin
