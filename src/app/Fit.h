// The arithmetic of fitting a picture into its pane.
#pragma once

#include <cmath>

namespace corvellin {

// The main window's two picture panes (the working picture and its preview)
// and the browser's thumbnails.
inline constexpr int kPicturePaneWidth = 400;
inline constexpr int kPicturePaneHeight = 267;
inline constexpr int kThumbnailWidth = 150;
inline constexpr int kThumbnailHeight = 150;

struct FitRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const FitRect&) const = default;
};

// A gw x gh picture in a W x H pane: a picture that fits keeps its size, a
// larger one shrinks to the pane keeping its aspect ratio (integer division,
// truncating); the result is centred in the pane.
constexpr FitRect FitPictureToPanel(int gw, int gh, int W, int H) {
    int w = gw;
    int h = gh;
    if (!(gw <= W && gh <= H)) {
        if (gw > W) {
            w = W;
            h = gh * W / gw;
        }
        if (h > H) {
            h = H;
            w = gw * H / gh;
        }
    }
    return FitRect{(W - w) / 2, (H - h) / 2, w, h};
}

// The layout is in logical pixels; the pictures on screen are made in device
// pixels, ratio device pixels to a logical one (1, 1.25, 1.5, 2, 3...). A
// logical length in whole device pixels, to the nearest (ratio 1: the length).
inline int DevicePixels(int logical, double ratio) { return static_cast<int>(std::nearbyint(logical * ratio)); }

// A picture of gw x gh pixels fitted into a W x H logical pane at a device
// pixel ratio: the pane in device pixels, the picture fitted into it there.
inline FitRect FitPictureToDevicePanel(int gw, int gh, int W, int H, double ratio) {
    return FitPictureToPanel(gw, gh, DevicePixels(W, ratio), DevicePixels(H, ratio));
}

// The logical rectangle a control needs to show a device-pixel rectangle 1:1:
// its corner to the nearest logical pixel, its size rounded up so that no
// device pixel of the picture is cut off. Ratio 1 gives the rectangle itself.
inline FitRect LogicalRect(const FitRect& device, double ratio) {
    return FitRect{static_cast<int>(std::nearbyint(device.left / ratio)),
                   static_cast<int>(std::nearbyint(device.top / ratio)),
                   static_cast<int>(std::ceil(device.width / ratio - 1e-9)),
                   static_cast<int>(std::ceil(device.height / ratio - 1e-9))};
}

}  // namespace corvellin
