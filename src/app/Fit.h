// The arithmetic of fitting a picture into its pane.
#pragma once

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

}  // namespace corvellin
