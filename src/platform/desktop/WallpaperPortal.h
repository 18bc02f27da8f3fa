// The desktop portal's wallpaper interface (org.freedesktop.portal.Wallpaper)
// on the session bus, and whether that bus can be reached at all.
#pragma once

#include <string>

namespace corvellin {

// True when the session bus answers; otherwise false with GIO's reason in why.
bool SessionBusReachable(std::string* why);

enum class PortalAnswer {
    NotOffered,  // no session bus, no portal, or a portal without the wallpaper interface
    Success,     // Response 0: the desktop took the picture
    Cancelled,   // Response 1: the user declined
    Failed,      // Response 2, an error reply, or no answer at all
};

struct PortalResult {
    PortalAnswer answer = PortalAnswer::NotOffered;
    std::string detail;  // for Failed: what the portal or the bus said
};

// Hands the file at uri to SetWallpaperURI for the background, without the
// portal's own preview, and waits for the request's Response signal (at most
// answerSeconds; the portal may be asking the user meanwhile).
PortalResult SetWallpaperThroughPortal(const std::string& uri, int answerSeconds = 300);

}  // namespace corvellin
