// The desktop wallpaper: where the wallpaper file is written and how the
// desktop is told about it (GSettings "org.gnome.desktop.background").
#pragma once

#include <string>

#include "picture/Limits.h"

namespace corvellin {

inline constexpr const char* kWallpaperFileName = "TarnwickDesktop.bmp";
// kMaxWallpaperPathLength (picture/Limits.h) bounds the wallpaper path.
inline constexpr const char* kBackgroundSchema = "org.gnome.desktop.background";

// Wallpaper styles as the option dialog returns them.
enum WallpaperStyle : int { kWallpaperCenter = 0, kWallpaperTile = 1, kWallpaperStretch = 2 };

// "centered", "wallpaper" (tiled) or "stretched": the picture-options value of
// a style; a style outside 0..2 counts as stretched, as the dialog's last choice.
const char* WallpaperPictureOption(int style);

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

// Makes the file at path the desktop wallpaper with the style: picture-uri and
// picture-uri-dark get the file's URI, picture-options the style's value, all
// in one change. Every check comes before the change, so a missing schema, a
// locked key, a settings store that would not keep the change or a path that
// is too long throws Error and leaves the desktop setting as it was.
void SetDesktopWallpaper(const std::string& path, int style);

}  // namespace corvellin
