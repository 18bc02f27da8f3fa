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

enum class CaptionWindow { Main, PrintPreview, WallpaperOpt, Preview, Update };

inline constexpr std::array<CaptionWindow, 5> kCaptionWindows = {
    CaptionWindow::Main, CaptionWindow::PrintPreview, CaptionWindow::WallpaperOpt, CaptionWindow::Preview,
    CaptionWindow::Update};

// The keys of one window, in the order in which it sets them.
std::span<const CaptionKey> CaptionKeys(CaptionWindow window);

// The names of the variations, categories 1 to 15 in order, ten each (part of
// the main window's keys): what a thumbnail is called in every language.
std::span<const CaptionKey> VariationNameKeys();

// Every key of every window once (keys compared without case, as the language
// files compare them), in window order, each at its first appearance. Texts
// shared by several windows ("&OK", "&Cancel", "&Print...") are one key.
std::vector<CaptionKey> AllCaptionKeys();

// The window's class name (TMainForm, TPrintPreviewForm, ...), for messages
// and for the comments of the translation template.
const char* CaptionWindowName(CaptionWindow window);

}  // namespace corvellin
