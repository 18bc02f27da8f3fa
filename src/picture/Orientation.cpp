#include "Orientation.h"

#include <algorithm>
#include <cstddef>

namespace corvellin {

Picture OrientUpright(Picture picture, int orientation) {
    if (orientation < 2 || orientation > 8 || picture.empty()) return picture;
    const int w = picture.width(), h = picture.height();
    const bool swaps = orientation >= 5;
    Picture upright(swaps ? h : w, swaps ? w : h);
    const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(picture.stride());
    // Along an upright row the stored pixels lie on a line: the first one at
    // (sx, sy), each next one a fixed step away.
    auto lineOf = [&](int y, const std::uint8_t** first, std::ptrdiff_t* step) {
        int sx = 0, sy = 0;
        switch (orientation) {
            case 2: sx = w - 1, sy = y, *step = -3; break;
            case 3: sx = w - 1, sy = h - 1 - y, *step = -3; break;
            case 4: sx = 0, sy = h - 1 - y, *step = 3; break;
            case 5: sx = y, sy = 0, *step = stride; break;
            case 6: sx = y, sy = h - 1, *step = -stride; break;
            case 7: sx = w - 1 - y, sy = h - 1, *step = -stride; break;
            case 8: sx = w - 1 - y, sy = 0, *step = stride; break;
        }
        *first = picture.row(sy) + 3 * static_cast<std::ptrdiff_t>(sx);
    };
    // The turns walk the stored picture down its columns; square tiles keep
    // the rows they touch in the cache.
    constexpr int kTile = 64;
    const int W = upright.width(), H = upright.height();
    for (int ty = 0; ty < H; ty += kTile) {
        const int yEnd = std::min(H, ty + kTile);
        for (int tx = 0; tx < W; tx += kTile) {
            const int xEnd = std::min(W, tx + kTile);
            for (int y = ty; y < yEnd; ++y) {
                const std::uint8_t* in = nullptr;
                std::ptrdiff_t step = 3;
                lineOf(y, &in, &step);
                in += step * tx;
                std::uint8_t* out = upright.row(y) + 3 * static_cast<std::ptrdiff_t>(tx);
                for (int x = tx; x < xEnd; ++x, in += step, out += 3) {
                    out[0] = in[0];
                    out[1] = in[1];
                    out[2] = in[2];
                }
            }
        }
    }
    return upright;
}

}  // namespace corvellin
