// Kept apart from the tests: Xlib's macros clash with GoogleTest's names.
#include "WindowClose.h"

#include <X11/Xlib.h>

namespace corvellin::e2e {

bool SendWindowClose(const std::string& display, unsigned long window) {
    ::Display* x = XOpenDisplay(display.c_str());
    if (x == nullptr) return false;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(window);
    event.xclient.message_type = XInternAtom(x, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(x, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(x, event.xclient.window, False, NoEventMask, &event) != 0;
    XFlush(x);
    XCloseDisplay(x);
    return sent;
}

}  // namespace corvellin::e2e
