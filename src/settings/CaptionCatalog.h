// The catalogue of every translatable text of the interface, per window. Each
// key is the English text that section "String" of a language file translates;
// the built-in text is what a window shows without a translation. The tables
// keep the order in which each window sets its captions.
#pragma once

#include <array>
#include <span>
#include <vector>

namespace corvellin {

struct CaptionKey {
    const char* key;
    const char* builtIn;
};

// The texts of Set Wallpaper's outcomes other than success. An error box shows
// a headline, one reason and, on a line of its own, the name of what failed.
inline constexpr const char* kWallpaperNotSetText = "The desktop wallpaper could not be set:";
inline constexpr const char* kWallpaperStyleNotSetText = "The wallpaper picture was set, but not its style:";
inline constexpr const char* kWallpaperCancelledText =
    "The wallpaper was not changed: the request to the desktop was cancelled.";
inline constexpr const char* kPortalFailedText = "the desktop portal answered that it failed.";
inline constexpr const char* kNoSessionBusText =
    "the session bus cannot be reached, so the settings service dconf cannot store the change.";
inline constexpr const char* kMemoryOnlyStoreText =
    "the settings store keeps changes in memory only, where the desktop never sees them.";
inline constexpr const char* kNoWallpaperSettingsText = "this desktop has no settings for the wallpaper.";
inline constexpr const char* kSettingRefusesValueText = "a wallpaper setting does not take the value.";
inline constexpr const char* kSettingLockedText = "a wallpaper setting is locked.";
inline constexpr const char* kChangeNotKeptText = "the settings store did not keep the change.";
inline constexpr const char* kNoXfconfQueryText =
    "xfconf-query is not installed, so the Xfce settings cannot be changed.";
inline constexpr const char* kNoXfceMonitorText = "the Xfce settings hold no monitor's wallpaper yet.";
inline constexpr const char* kXfconfRefusedText = "xfconf-query could not change the Xfce settings.";
inline constexpr const char* kUnknownDesktopText = "the wallpaper setting of this desktop is not known.";
inline constexpr const char* kNoFileAddressText = "the file name cannot be written as an address.";

// The main window's messages; an error with one of these texts that ends a
// command is shown translated too.
inline constexpr const char* kOpenFileText = "Open file:";
inline constexpr const char* kOpenDialogTitle = "Open";
inline constexpr const char* kSaveDialogTitle = "Save As";
inline constexpr const char* kNothingToSaveText = "There is no picture to save. Open a picture first (File > Open).";
inline constexpr const char* kNothingToPrintText = "There is no picture to print. Open a picture first (File > Open).";
inline constexpr const char* kNoWallpaperPictureText =
    "There is no picture to set as the wallpaper. Open a picture first (File > Open).";
inline constexpr const char* kNoPreviewPictureText =
    "There is no picture to show. Open a picture first (File > Open).";
inline constexpr const char* kNoPrinterText = "No printer is installed. Add a printer to the system and try again.";
inline constexpr const char* kNoPrintableAreaText =
    "The printer reports no printable area. Choose another printer or paper.";
inline constexpr const char* kPrintFailedText = "The printer did not accept the print job.";
inline constexpr const char* kDropOneFileText = "Drop one picture file at a time.";
inline constexpr const char* kDropNotAFileText = "Only a picture file can be dropped here.";
inline constexpr const char* kRestoreQuestionText =
    "The editor did not end normally last time. Restore the unsaved changes to %1?";
inline constexpr const char* kUnusableRecoveryText =
    "A recovery file from an earlier session could not be used and was removed:";
inline constexpr const char* kRecoveryWriteFailedText = "Unsaved changes cannot be kept for recovery after a crash:";
inline constexpr const char* kUnexpectedErrorText = "An unexpected error ended the command.";

// The update window's information line (the server's name follows on a line
// of its own) and its message when the download address cannot be opened.
inline constexpr const char* kUpdateInfoFromText = "Update information from";
inline constexpr const char* kCannotOpenAddressText = "Cannot open the address \"%1\".";

enum class CaptionWindow { Main, PrintPreview, WallpaperOpt, Preview, Update };

inline constexpr std::array<CaptionWindow, 5> kCaptionWindows = {
    CaptionWindow::Main, CaptionWindow::PrintPreview, CaptionWindow::WallpaperOpt, CaptionWindow::Preview,
    CaptionWindow::Update};

// The keys of one window, in the order in which it sets them.
std::span<const CaptionKey> CaptionKeys(CaptionWindow window);

// Every key of every window once (keys compared without case, as the language
// files compare them), in window order, each at its first appearance. Texts
// shared by several windows ("&OK", "&Cancel", "&Print...") are one key.
std::vector<CaptionKey> AllCaptionKeys();

// The window's class name (TMainForm, TPrintPreviewForm, ...), for messages
// and for the comments of the translation template.
const char* CaptionWindowName(CaptionWindow window);

}  // namespace corvellin
