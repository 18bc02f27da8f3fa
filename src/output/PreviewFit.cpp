#include "PreviewFit.h"

#include <cstdint>

namespace corvellin {

ScreenRect FitToScreen(int W, int H, int SW, int SH) {
    // The products of a full-size picture and a screen size exceed 32 bits.
    const std::int64_t w64 = W, h64 = H, sw64 = SW, sh64 = SH;
    std::int64_t w = w64;
    std::int64_t h = h64;
    if (w64 * sh64 > h64 * sw64) {
        if (w64 > sw64 && w64 > 0) {
            w = sw64;
            h = (sw64 * h64) / w64;
        }
    } else if (h64 > sh64 && h64 > 0) {
        h = sh64;
        w = (sh64 * w64) / h64;
    }
    return ScreenRect{static_cast<int>((sw64 - w) / 2), static_cast<int>((sh64 - h) / 2), static_cast<int>(w),
                      static_cast<int>(h)};
}

}  // namespace corvellin
