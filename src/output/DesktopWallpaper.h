// The desktop wallpaper: where the wallpaper file is written and how the
// desktop is told about it: the desktop portal where one is offered, else the
// running desktop's own settings (GNOME, Cinnamon, MATE through GSettings,
// Xfce through xfconf).
#pragma once

#include <string>

#include "picture/Error.h"
#include "picture/Limits.h"

namespace corvellin {

inline constexpr const char* kWallpaperFileName = "TarnwickDesktop.bmp";
// kMaxWallpaperPathLength (picture/Limits.h) bounds the wallpaper path.
inline constexpr const char* kBackgroundSchema = "org.gnome.desktop.background";
inline constexpr const char* kCinnamonBackgroundSchema = "org.cinnamon.desktop.background";
inline constexpr const char* kMateBackgroundSchema = "org.mate.background";

// Wallpaper styles as the option dialog returns them.
enum WallpaperStyle : int { kWallpaperCenter = 0, kWallpaperTile = 1, kWallpaperStretch = 2 };

// "centered", "wallpaper" (tiled) or "stretched": the picture-options value of
// a style in the GNOME, Cinnamon and MATE schemas alike; a style outside 0..2
// counts as stretched, as the dialog's last choice.
const char* WallpaperPictureOption(int style);

// Xfce's image-style of a style: 1 centred, 2 tiled, 3 stretched.
int XfceImageStyle(int style);

// The desktops whose wallpaper setting is known. Unnamed: XDG_CURRENT_DESKTOP
// is not set, and the GNOME schema is the last resort.
enum class WallpaperDesktop { Gnome, Cinnamon, Mate, Xfce, Unnamed, Unknown };

// The first known name of a colon-separated XDG_CURRENT_DESKTOP value
// (compared without case); Unknown when it names none we know.
WallpaperDesktop DesktopFromName(const std::string& xdgCurrentDesktop);

// The folder that receives the wallpaper file, ending in '/': the program's
// folder when it is writable, else "$XDG_DATA_HOME/Corvellin Photo/" (default
// "~/.local/share"), which is created when missing. Throws Error when that
// folder cannot be made.
std::string WallpaperFolder(const std::string& programDir);

// The path's length in UTF-16 code units, as the desktop setting receives it.
int WallpaperPathLength(const std::string& path);

// Throws Error with a readable text when the path is longer than 259 UTF-16
// code units.
void CheckWallpaperPathLength(const std::string& path);

// A wallpaper that was not (or not wholly) set. headline and reason are keys
// of the wallpaper texts in the caption catalogue, detail names what failed
// (a schema, key, program or service message) and is not translated.
class WallpaperFailure : public Error {
public:
    WallpaperFailure(const char* headline, const char* reason, std::string detail);
    const char* headline;
    const char* reason;
    std::string detail;
};

enum class WallpaperOutcome { Set, Cancelled };

// Makes the file at path the desktop wallpaper with the style. Where the
// session bus offers the wallpaper portal, the portal takes the picture and
// the desktop's own setting (if it has one) the style; otherwise the desktop
// named by XDG_CURRENT_DESKTOP gets both in its own settings. Returns Set only
// for a change the store confirmed, Cancelled when the portal's request was
// cancelled; every failure throws WallpaperFailure (an over-long path Error)
// and, for a desktop's own settings, comes before any change.
WallpaperOutcome SetDesktopWallpaper(const std::string& path, int style);

}  // namespace corvellin
