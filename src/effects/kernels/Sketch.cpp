#include "Sketch.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "Art.h"
#include "BytePermute.h"

namespace corvellin {
namespace {

#define CORVELLIN_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))

// base x 255 / (255 - blend), rounded, at most 255. Below 255 the quotient of
// two small integers is either an exact half, which a single-precision
// division yields exactly, or at least 1 / 510 away from one, far beyond the
// division's error; adding and removing 2^23 then rounds it to the nearest
// integer, halves to even, under the default rounding mode. Blend 255 divides
// base x 255 + 65,280 by 1, which is never below 255. Only integer selections,
// so the loop vectorises.
inline std::uint8_t DodgeFast(unsigned base, unsigned blend) {
    const unsigned den = 255u - blend;
    const unsigned numerator = base * 255u + (den == 0 ? 65280u : 0u);
    const unsigned divisor = den + (den == 0 ? 1u : 0u);
    float q = static_cast<float>(numerator) / static_cast<float>(divisor);
    constexpr float kShift = 8388608.0f;
    q = (q + kShift) - kShift;
    const int rounded = static_cast<int>(q);
    return static_cast<std::uint8_t>(rounded < 255 ? rounded : 255);
}

CORVELLIN_CLONES void DodgeRow(std::uint8_t* __restrict base, const std::uint8_t* __restrict blend, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        base[i] = DodgeFast(base[i], blend[i]);
}

// The dodge of 64 bytes at a time in 16-bit lanes, without division. With
// den = 255 - blend and R = floor(65280 / den) from two byte tables,
// q = floor(base x R / 256) is floor(255 base / den) or one less; the remainder
// 255 base - q den corrects it and then decides the rounding, halves to even.
// From base >= den on (blend 255 included) the result is 255.
CORVELLIN_VBMI void DodgeVector(std::uint8_t* base, const std::uint8_t* blend, std::size_t count) {
    ByteTable lowTable{}, highTable{};
    for (unsigned l = 0; l < 255; ++l) {
        const unsigned r = 65280u / (255u - l);
        lowTable[l] = static_cast<std::uint8_t>(r & 255u);
        highTable[l] = static_cast<std::uint8_t>(r >> 8);
    }
    const detail::PermuteTable lowR = detail::LoadPermuteTable(lowTable), highR = detail::LoadPermuteTable(highTable);
    const __m512i zero = _mm512_setzero_si512(), one = _mm512_set1_epi16(1), white = _mm512_set1_epi16(255),
                  all = _mm512_set1_epi8(-1);
    std::size_t i = 0;
    for (; i + 64 <= count; i += 64) {
        const __m512i b8 = _mm512_loadu_si512(base + i), l8 = _mm512_loadu_si512(blend + i);
        const __m512i rLow = detail::Lookup(lowR, l8), rHigh = detail::Lookup(highR, l8);
        const __m512i den8 = _mm512_xor_si512(l8, all);  // 255 - blend
        __m512i result[2];
        for (int half = 0; half < 2; ++half) {
            const __m512i b = half ? _mm512_unpackhi_epi8(b8, zero) : _mm512_unpacklo_epi8(b8, zero);
            const __m512i den = half ? _mm512_unpackhi_epi8(den8, zero) : _mm512_unpacklo_epi8(den8, zero);
            const __m512i r = half ? _mm512_unpackhi_epi8(rLow, rHigh) : _mm512_unpacklo_epi8(rLow, rHigh);
            const __m512i shifted = _mm512_slli_epi16(b, 8);
            __m512i q = _mm512_mulhi_epu16(shifted, r);
            __m512i rem = _mm512_sub_epi16(_mm512_sub_epi16(shifted, b), _mm512_mullo_epi16(q, den));
            const __mmask32 low = _mm512_cmpge_epu16_mask(rem, den);
            q = _mm512_mask_add_epi16(q, low, q, one);
            rem = _mm512_mask_sub_epi16(rem, low, rem, den);
            const __m512i twice = _mm512_add_epi16(rem, rem);
            const __mmask32 up = _mm512_cmpgt_epu16_mask(twice, den) |
                                 (_mm512_cmpeq_epu16_mask(twice, den) & _mm512_test_epi16_mask(q, one));
            q = _mm512_mask_add_epi16(q, up, q, one);
            result[half] = _mm512_mask_mov_epi16(q, _mm512_cmpge_epu16_mask(b, den), white);
        }
        _mm512_storeu_si512(base + i, _mm512_packus_epi16(result[0], result[1]));
    }
    for (; i < count; ++i) base[i] = DodgeFast(base[i], blend[i]);
}

void DodgeRows(std::uint8_t* base, const std::uint8_t* blend, std::size_t count) {
    if (detail::HasBytePermute())
        DodgeVector(base, blend, count);
    else
        DodgeRow(base, blend, count);
}

}  // namespace

std::uint8_t DodgeChannel(unsigned base, unsigned blend) {
    return DodgeFast(base, blend);
}

void ColorDodge(Picture& base, const Picture& blend) {
    const int rows = std::min(base.height(), blend.height());
    const int columns = std::min(base.width(), blend.width());
    if (rows <= 0 || columns <= 0) return;
    const std::size_t count = 3 * static_cast<std::size_t>(columns);
    if (base.width() == blend.width()) {
        DodgeRows(base.data(), blend.data(), count * static_cast<std::size_t>(rows));
        return;
    }
    for (int y = 0; y < rows; ++y) DodgeRows(base.row(y), blend.row(y), count);
}

void PencilSketch(Picture& picture, bool grayFirst, BandPool* bands) {
    if (grayFirst) GrayScale(picture, bands);
    if (picture.empty()) return;
    // The copy: inverted, blurred at 3, 2 and 1, then the dodge's blend. The
    // in-place blur reads pixels it has already rewritten, so it runs as one
    // walk; the copy, the inversion and the dodge are per pixel and run in bands.
    PixelBuffer copy(picture.byteCount());
    const ByteTable invert = BrightnessContrastTable(0, -1.0);
    const std::uint8_t* const first = picture.data();
    ForEachPixelBand(bands, picture, [&](std::uint8_t* bytes, std::size_t pixels) {
        std::uint8_t* out = copy.data() + (bytes - first);
        std::memcpy(out, bytes, 3 * pixels);
        detail::ApplyByteTableToPixels(out, 3 * pixels, invert);
    });
    for (int d = 3; d >= 1; --d) detail::BlurPassBytes(copy.data(), picture.width(), picture.height(), d);
    ForEachPixelBand(bands, picture, [&](std::uint8_t* bytes, std::size_t pixels) {
        DodgeRows(bytes, copy.data() + (bytes - first), 3 * pixels);
    });
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

void DuotoneMap(Picture& picture, int darkR, int darkG, int darkB, int lightR, int lightG, int lightB,
                BandPool* bands) {
    if (picture.empty()) return;
    ApplyChannelTables(picture, DuotoneTable(darkB, lightB), DuotoneTable(darkG, lightG), DuotoneTable(darkR, lightR),
                       bands);
}

}  // namespace corvellin
