#include "Sketch.h"

#include <algorithm>
#include <cmath>

#include "Art.h"

namespace corvellin {
namespace {

#define CORVELLIN_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))

// base x 255 / (255 - blend) in single precision, rounded with halves to even.
// Below 255 the quotient of two small integers is either an exact half, which
// the division yields exactly, or at least 1 / 510 away from one, far beyond the
// division's error; adding and removing 2^23 rounds to the nearest integer,
// halves to even, under the default rounding mode.
inline float DodgeFloat(unsigned base, unsigned blend) {
    const unsigned den = blend == 255 ? 1u : 255u - blend;
    float q = static_cast<float>(base * 255u) / static_cast<float>(den);
    q = q < 255.0f ? q : 255.0f;
    constexpr float kShift = 8388608.0f;
    q = (q + kShift) - kShift;
    return blend == 255 ? 255.0f : q;
}

CORVELLIN_CLONES void DodgeRow(std::uint8_t* __restrict base, const std::uint8_t* __restrict blend, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        base[i] = static_cast<std::uint8_t>(static_cast<int>(DodgeFloat(base[i], blend[i])));
}

}  // namespace

std::uint8_t DodgeChannel(unsigned base, unsigned blend) {
    return static_cast<std::uint8_t>(static_cast<int>(DodgeFloat(base, blend)));
}

void ColorDodge(Picture& base, const Picture& blend) {
    const int rows = std::min(base.height(), blend.height());
    const int columns = std::min(base.width(), blend.width());
    if (rows <= 0 || columns <= 0) return;
    const std::size_t count = 3 * static_cast<std::size_t>(columns);
    if (base.width() == blend.width()) {
        DodgeRow(base.data(), blend.data(), count * static_cast<std::size_t>(rows));
        return;
    }
    for (int y = 0; y < rows; ++y) DodgeRow(base.row(y), blend.row(y), count);
}

void PencilSketch(Picture& picture, bool grayFirst) {
    if (grayFirst) GrayScale(picture);
    Picture copy = picture;
    BrightnessContrast(copy, 0, -1.0);
    Blur(copy, 3);
    ColorDodge(picture, copy);
}

ByteTable DuotoneTable(int dark, int light) {
    ByteTable table{};
    for (unsigned c = 0; c < 256; ++c) {
        const double t = static_cast<double>(static_cast<long double>(c) / 255.0L);
        const long double v = std::nearbyint(static_cast<long double>(light) * t + (1.0L - t) * static_cast<long double>(dark));
        table[c] = static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
    return table;
}

void DuotoneMap(Picture& picture, int darkR, int darkG, int darkB, int lightR, int lightG, int lightB) {
    if (picture.empty()) return;
    ApplyChannelTables(picture, DuotoneTable(darkB, lightB), DuotoneTable(darkG, lightG), DuotoneTable(darkR, lightR));
}

}  // namespace corvellin
