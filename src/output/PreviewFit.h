// The full-screen preview's sizing: a picture relatively wider than the screen
// is limited by the screen's width, otherwise by its height; it is never
// enlarged, and it is centred on the screen. Integer divisions truncate.
#pragma once

namespace corvellin {

struct ScreenRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// A W x H picture on an SW x SH screen.
ScreenRect FitToScreen(int W, int H, int SW, int SH);

}  // namespace corvellin
