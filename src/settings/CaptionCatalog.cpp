#include "CaptionCatalog.h"

#include <iterator>
#include <vector>

#include "Ini.h"
#include "effects/Catalogue.h"

namespace corvellin {
namespace {

// Every key is also its built-in text, except the two Light buttons, whose
// built-in captions underline two letters while the key underlines one.
constexpr CaptionKey kMainControls[] = {
    {"&Open", "&Open"},
    {"&Save", "&Save"},
    {"&WallPaper", "&WallPaper"},
    {"&Preset", "&Preset"},
    {"&Sketch", "&Sketch"},
    {"&LightA", "&LightA"},
    {"Light&B", "&Light&B"},
    {"Light&C", "&Light&C"},
    {"&Star", "&Star"},
    {"&Amazing", "&Amazing"},
    {"&Water", "&Water"},
    {"&Dream", "&Dream"},
    {"&Whether", "&Whether"},
    {"&Color", "&Color"},
    {"&Art", "&Art"},
    {"&Texture", "&Texture"},
    {"&Edge", "&Edge"},
    {"&Frame", "&Frame"},
    {"&File", "&File"},
    {"P&aper Settings...", "P&aper Settings..."},
    {"Print Pre&view...", "Print Pre&view..."},
    {"&Print...", "&Print..."},
    {"E&xit", "E&xit"},
    {"Set &Wallpaper", "Set &Wallpaper"},
    {"&Edit", "&Edit"},
    {"&UnDo", "&UnDo"},
    {"&Redo", "&Redo"},
    {"&Apply", "&Apply"},
    {"&View", "&View"},
    {"Pre&view", "Pre&view"},
    {"&Effect", "&Effect"},
    {"&Help", "&Help"},
    {"Help &Contents", "Help &Contents"},
    {"Check For &Updates", "Check For &Updates"},
    {"&About...", "&About..."},
    {"Source Picture", "Source Picture"},
    {"Preview (Double click to full screen)", "Preview (Double click to full screen)"},
    {"Click the small photo to preview and apply this effection",
     "Click the small photo to preview and apply this effection"},
    // The question before unsaved work would be dropped (%1: the file's name),
    // and the captions of its Save, Don't Save and Cancel buttons.
    {"Save changes to %1 before closing?", "Save changes to %1 before closing?"},
    {"&Don't Save", "&Don't Save"},
    {"&Cancel", "&Cancel"},
    // The status panel's "Open file: " before the path, the file dialogs'
    // titles and the messages of the window's commands.
    {kOpenFileText, kOpenFileText},
    {kOpenDialogTitle, kOpenDialogTitle},
    {kSaveDialogTitle, kSaveDialogTitle},
    {kNothingToSaveText, kNothingToSaveText},
    {kNothingToPrintText, kNothingToPrintText},
    {kNoWallpaperPictureText, kNoWallpaperPictureText},
    {kNoPreviewPictureText, kNoPreviewPictureText},
    {kNoPrinterText, kNoPrinterText},
    {kNoPrintableAreaText, kNoPrintableAreaText},
    {kPrintFailedText, kPrintFailedText},
    {kDropOneFileText, kDropOneFileText},
    {kDropNotAFileText, kDropNotAFileText},
    {kRestoreQuestionText, kRestoreQuestionText},
    {kUnusableRecoveryText, kUnusableRecoveryText},
    {kRecoveryWriteFailedText, kRecoveryWriteFailedText},
    {kUnexpectedErrorText, kUnexpectedErrorText},
    // The accessible names of the controls that show no text of their own.
    {"Menu bar", "Menu bar"},
    {"Tool bar", "Tool bar"},
    {"Effect variations", "Effect variations"},
    {"Effect value", "Effect value"},
    {"Edge color", "Edge color"},
    {"Progress", "Progress"},
    {"Status bar", "Status bar"},
};

// The main window sets its controls' captions, then its thumbnails' names:
// each variation's name in the category table is its key and its English text.
std::span<const CaptionKey> MainKeys() {
    static const std::vector<CaptionKey> keys = [] {
        std::vector<CaptionKey> all(std::begin(kMainControls), std::end(kMainControls));
        for (const CategoryInfo& category : kCategories)
            for (const char* name : *category.variations) all.push_back({name, name});
        return all;
    }();
    return keys;
}

constexpr CaptionKey kPrintPreview[] = {
    {"Print", "Print"},
    {"Position", "Position"},
    {"Top:", "Top:"},
    {"Left:", "Left:"},
    {"Center Image", "Center Image"},
    {"Print Size", "Print Size"},
    {"Scale:", "Scale:"},
    {"Scale to Fit Page", "Scale to Fit Page"},
    {"Height:", "Height:"},
    {"Width:", "Width:"},
    {"&Print...", "&Print..."},
    {"&Cancel", "&Cancel"},
    {"&OK", "&OK"},
    {"&Page Settings", "&Page Settings"},
    {"Can not find any printer.", "Can not find any printer."},
    {"Height must be float.", "Height must be float."},
    {"Left must be float.", "Left must be float."},
    {"Top must be float.", "Top must be float."},
    {"Width must be float.", "Width must be float."},
    {"Scale value must be float.", "Scale value must be float."},
    {"Value must be float.", "Value must be float."},
    {"Pixel", "Pixel"},
    {"Inch", "Inch"},
    {"centimeter", "centimeter"},
    {"millimeter", "millimeter"},
};

constexpr CaptionKey kWallpaperOpt[] = {
    {"Desktop Wallpaper Option", "Desktop Wallpaper Option"},
    {"Center", "Center"},
    {"Tile", "Tile"},
    {"Stretch", "Stretch"},
    {"&OK", "&OK"},
    {"&Cancel", "&Cancel"},
    {"Please select an option for wallpaper!", "Please select an option for wallpaper!"},
    // The outcomes of the command that the dialog opens.
    {kWallpaperNotSetText, kWallpaperNotSetText},
    {kWallpaperStyleNotSetText, kWallpaperStyleNotSetText},
    {kWallpaperCancelledText, kWallpaperCancelledText},
    {kPortalFailedText, kPortalFailedText},
    {kNoSessionBusText, kNoSessionBusText},
    {kMemoryOnlyStoreText, kMemoryOnlyStoreText},
    {kNoWallpaperSettingsText, kNoWallpaperSettingsText},
    {kSettingRefusesValueText, kSettingRefusesValueText},
    {kSettingLockedText, kSettingLockedText},
    {kChangeNotKeptText, kChangeNotKeptText},
    {kNoXfconfQueryText, kNoXfconfQueryText},
    {kNoXfceMonitorText, kNoXfceMonitorText},
    {kXfconfRefusedText, kXfconfRefusedText},
    {kUnknownDesktopText, kUnknownDesktopText},
    {kNoFileAddressText, kNoFileAddressText},
};

constexpr CaptionKey kPreview[] = {
    {"Preview", "Preview"},
    {"DClick left mouse button or press 'Esc' key to close", "DClick left mouse button or press 'Esc' key to close"},
};

constexpr CaptionKey kUpdate[] = {
    {"Checking for new version", "Checking for new version"},
    {"&Cancel", "&Cancel"},
    {"Update", "Update"},
    {"This is the lastest version!", "This is the lastest version!"},
    {"Thank you for your support!", "Thank you for your support!"},
    {"The lastest version is", "The lastest version is"},
    {"do you want to download it?", "do you want to download it?"},
    {"Find a new version", "Find a new version"},
    {"Fail to connect Internet.", "Fail to connect Internet."},
    {"Please try later!", "Please try later!"},
    {"Fail to get update informate", "Fail to get update informate"},
    {kUpdateInfoFromText, kUpdateInfoFromText},
    {kCannotOpenAddressText, kCannotOpenAddressText},
};

}  // namespace

std::span<const CaptionKey> CaptionKeys(CaptionWindow window) {
    switch (window) {
        case CaptionWindow::Main: return MainKeys();
        case CaptionWindow::PrintPreview: return kPrintPreview;
        case CaptionWindow::WallpaperOpt: return kWallpaperOpt;
        case CaptionWindow::Preview: return kPreview;
        case CaptionWindow::Update: return kUpdate;
    }
    return {};
}

std::vector<CaptionKey> AllCaptionKeys() {
    std::vector<CaptionKey> all;
    for (const CaptionWindow window : kCaptionWindows)
        for (const CaptionKey& entry : CaptionKeys(window)) {
            bool known = false;
            for (const CaptionKey& seen : all) known = known || EqualsIgnoringCase(seen.key, entry.key);
            if (!known) all.push_back(entry);
        }
    return all;
}

const char* CaptionWindowName(CaptionWindow window) {
    switch (window) {
        case CaptionWindow::Main: return "TMainForm";
        case CaptionWindow::PrintPreview: return "TPrintPreviewForm";
        case CaptionWindow::WallpaperOpt: return "TWallpaperOptForm";
        case CaptionWindow::Preview: return "TPreviewForm";
        case CaptionWindow::Update: return "TUpdateForm";
    }
    return "";
}

}  // namespace corvellin
