// Asks an X window to close the way a window manager does (WM_DELETE_WINDOW).
#pragma once

#include <string>

namespace corvellin::e2e {

bool SendWindowClose(const std::string& display, unsigned long window);

}  // namespace corvellin::e2e
