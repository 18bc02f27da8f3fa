// The Xfce desktop's wallpaper settings, in the xfconf channel "xfce4-desktop",
// through the xfconf-query tool: one last-image and image-style per monitor
// and workspace (/backdrop/screen<n>/monitor<name>/workspace<n>/...).
#pragma once

#include <string>

namespace corvellin {

inline constexpr const char* kXfceDesktopChannel = "xfce4-desktop";

enum class XfceProblem {
    None,
    NoTool,       // xfconf-query is not on the PATH
    NoMonitors,   // the channel holds no last-image property
    Refused,      // xfconf-query ended with an error
    NotKept,      // a value read back is not the one written
};

struct XfceResult {
    XfceProblem problem = XfceProblem::None;
    std::string detail;  // the property or xfconf-query's own message
};

// Sets every monitor's last-image to picture (unless picture is empty) and
// image-style to imageStyle, then reads each back.
XfceResult WriteXfceBackdrop(const std::string& picture, int imageStyle);

}  // namespace corvellin
