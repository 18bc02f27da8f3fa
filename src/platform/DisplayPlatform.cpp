#include "DisplayPlatform.h"

namespace corvellin {
namespace {

bool IsSet(const char* value) { return value != nullptr && *value != '\0'; }

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

const char* const kNoDisplayText =
    "corvellin: no display found (neither WAYLAND_DISPLAY nor DISPLAY is set).\n"
    "Run it on a desktop, or under a virtual X server:\n"
    "  xvfb-run -a -s '-screen 0 1280x1024x24' corvellin\n";

}  // namespace

DisplayChoice ChooseDisplayPlatform(const std::function<const char*(const char*)>& env) {
    const char* requested = env("QT_QPA_PLATFORM");
    const bool wayland = IsSet(env("WAYLAND_DISPLAY"));
    const bool x = IsSet(env("DISPLAY"));
    if (IsSet(requested)) {
        // Qt reads the variable itself; only refuse a window system without its display.
        const std::string name = requested;
        if ((StartsWith(name, "xcb") && !x) || (StartsWith(name, "wayland") && !wayland)) return {"", kNoDisplayText};
        return {};
    }
    const char* session = env("XDG_SESSION_TYPE");
    if (wayland && !x) return {"wayland", ""};
    // Both displays: a Wayland session's own, with its X server as the fallback.
    if (wayland && IsSet(session) && std::string(session) == "wayland") return {"wayland;xcb", ""};
    if (x) return {"xcb", ""};
    return {"", kNoDisplayText};
}

}  // namespace corvellin
