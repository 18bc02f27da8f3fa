// Which window system the editor talks to, decided from the environment before
// Qt starts: a desktop that offers only Wayland gets the native Wayland
// plug-in, an X session the X one, and no display at all a clear message
// instead of the plug-in's abort.
#pragma once

#include <functional>
#include <string>

namespace corvellin {

struct DisplayChoice {
    // The Qt platform plug-ins to ask for, in order ("wayland", "wayland;xcb",
    // "xcb"), or empty to leave
    // the choice to QT_QPA_PLATFORM as the user set it.
    std::string platform;
    // Empty when the editor can start; otherwise what to tell the user.
    std::string error;
};

// Reads QT_QPA_PLATFORM, WAYLAND_DISPLAY, DISPLAY and XDG_SESSION_TYPE through
// env (nullptr for an unset variable). Without QT_QPA_PLATFORM, Wayland is
// chosen when it is the only display or the session says it is a Wayland
// session; X otherwise. A QT_QPA_PLATFORM the user chose is kept, but one that
// names a window system whose display is not set is refused with the message.
DisplayChoice ChooseDisplayPlatform(const std::function<const char*(const char*)>& env);

}  // namespace corvellin
