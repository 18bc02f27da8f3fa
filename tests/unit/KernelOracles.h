// Plain transcriptions of the effect kernels' formulas, one pixel and one
// channel at a time in extended precision, with no tables and no shortcuts.
// The shipped kernels are compared with these.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

#include "picture/Picture.h"

namespace corvellin::oracle {

inline std::uint8_t Clamp(long double v) {
    if (v < 0) return 0;
    if (v > 255) return 255;
    return static_cast<std::uint8_t>(v);
}
inline std::uint8_t ClampInt(long long v) { return static_cast<std::uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v); }

inline std::uint8_t& At(Picture& p, int x, int y, int c) { return p.row(y)[3 * x + c]; }
inline std::uint8_t At(const Picture& p, int x, int y, int c) { return p.row(y)[3 * x + c]; }

// Channel c: 0 blue, 1 green, 2 red.
inline std::uint8_t Grey(unsigned r, unsigned g, unsigned b) {
    return static_cast<std::uint8_t>(std::nearbyint((0.3L * r + 0.59L * g) + 0.11L * b));
}

inline void GrayScale(Picture& p) {
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const std::uint8_t g = Grey(At(p, x, y, 2), At(p, x, y, 1), At(p, x, y, 0));
            At(p, x, y, 0) = At(p, x, y, 1) = At(p, x, y, 2) = g;
        }
}

inline void Emboss(Picture& p, bool lowerLeft) {
    GrayScale(p);
    const Picture grey = p;
    for (int y = 0; y < p.height(); ++y) {
        const int ny = lowerLeft ? y + 1 : y - 1;
        if (ny < 0 || ny >= p.height()) continue;
        for (int x = 1; x < p.width(); ++x)
            for (int c = 0; c < 3; ++c)
                At(p, x, y, c) = ClampInt(int{At(grey, x, y, c)} - int{At(grey, x - 1, ny, c)} + 128);
    }
}

struct Lcg {
    std::uint32_t seed;
    std::uint32_t Random(std::uint32_t n) {
        seed = seed * 134775813u + 1u;
        return static_cast<std::uint32_t>((std::uint64_t{seed} * n) >> 32);
    }
};

inline void Scatter(Picture& p, int r, std::uint32_t seed) {
    const int n = 2 * r + 1, w = p.width(), h = p.height();
    const Picture copy = p;
    Lcg random{seed};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int dy = r - static_cast<int>(random.Random(static_cast<std::uint32_t>(n)));
            if (dy < -y) dy = -y;
            else if (dy > h - 1 - y) dy = h - 1 - y;
            int dx = r - static_cast<int>(random.Random(static_cast<std::uint32_t>(n)));
            if (dx < -x) dx = -x;
            else if (dx > w - 1 - x) dx = w - 1 - x;
            for (int c = 0; c < 3; ++c) At(p, x, y, c) = At(copy, x + dx, y + dy, c);
        }
}

inline void EqualizeHistogram(Picture& p) {
    if (p.empty()) return;
    std::array<std::array<std::uint64_t, 256>, 3> histogram{};
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            for (int c = 0; c < 3; ++c) ++histogram[c][At(p, x, y, c)];
    std::array<std::array<std::uint8_t, 256>, 3> level{};
    for (int c = 0; c < 3; ++c) {
        std::uint64_t running = 0;
        for (int v = 0; v < 256; ++v) {
            running += histogram[c][v];
            level[c][v] = Clamp(std::nearbyint((static_cast<long double>(running * 255) / p.width()) / p.height()));
        }
    }
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            for (int c = 0; c < 3; ++c) At(p, x, y, c) = level[c][At(p, x, y, c)];
}

inline void BlurPass(Picture& p, int d) {
    const int w = p.width(), h = p.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int ya = std::min(y + d, h - 1), yb = std::max(y - d, 0);
            const int xa = std::min(x + d, w - 1), xb = std::max(x - d, 0);
            int value[3];
            for (int c = 0; c < 3; ++c)
                value[c] = (At(p, xa, ya, c) + At(p, xa, yb, c) + At(p, xb, ya, c) + At(p, xb, yb, c)) >> 2;
            for (int c = 0; c < 3; ++c) At(p, x, y, c) = static_cast<std::uint8_t>(value[c]);
        }
}

inline void Blur(Picture& p, int n) {
    if (n < 1) return;
    for (int d = n; d >= 1; --d) BlurPass(p, d);
}

inline void Mosaic(Picture& p, int b) {
    for (int y = 0; y < p.height(); ++y) {
        if (y % b == 0) {
            std::uint8_t colour[3] = {0, 0, 0};
            for (int x = 0; x < p.width(); ++x)
                for (int c = 0; c < 3; ++c) {
                    if (x % b == 0) colour[c] = At(p, x, y, c);
                    else At(p, x, y, c) = colour[c];
                }
        } else {
            const int key = y - y % b;
            for (int x = 0; x < p.width(); ++x)
                for (int c = 0; c < 3; ++c) At(p, x, y, c) = At(p, x, key, c);
        }
    }
}

inline std::uint8_t BrightnessContrastValue(int a, double k, unsigned v) {
    const long double c = std::nearbyint((a - 127 * static_cast<long double>(k)) + 127);
    return Clamp(std::nearbyint(static_cast<long double>(k) * v + c));
}

inline void BrightnessContrast(Picture& p, int a, double k) {
    for (std::size_t i = 0; i < p.byteCount(); ++i) p.data()[i] = BrightnessContrastValue(a, k, p.data()[i]);
}

struct SaturationTables {
    std::uint16_t S[256];
    std::int32_t T[768];
    explicit SaturationTables(int s) {
        for (std::uint32_t i = 0; i < 256; ++i) S[i] = static_cast<std::uint16_t>((i * static_cast<std::uint32_t>(s)) >> 8);
        for (int m = 0; m < 256; ++m) T[3 * m] = T[3 * m + 1] = T[3 * m + 2] = m - S[m];
    }
};

inline void AdjustSaturation(Picture& p, int s) {
    const SaturationTables tables(s);
    const auto& S = tables.S;
    const auto& T = tables.T;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const int R = At(p, x, y, 2), G = At(p, x, y, 1), B = At(p, x, y, 0);
            const std::int32_t d = T[R + G + B];
            At(p, x, y, 2) = ClampInt(S[R] + d);
            At(p, x, y, 1) = ClampInt(S[G] + d);
            At(p, x, y, 0) = ClampInt(S[B] + d);
        }
}

inline std::uint8_t Dodge(unsigned base, unsigned blend) {
    if (blend == 255) return 255;
    return Clamp(std::nearbyint(static_cast<long double>(base) * 255 / (255 - static_cast<long double>(blend))));
}

inline void ColorDodge(Picture& base, const Picture& blend) {
    for (int y = 0; y < base.height() && y < blend.height(); ++y)
        for (int x = 0; x < base.width() && x < blend.width(); ++x)
            for (int c = 0; c < 3; ++c) At(base, x, y, c) = Dodge(At(base, x, y, c), At(blend, x, y, c));
}

inline std::uint8_t Duotone(unsigned c, int dark, int light) {
    const double t = static_cast<double>(static_cast<long double>(c) / 255);
    return Clamp(std::nearbyint(light * static_cast<long double>(t) + (1 - static_cast<long double>(t)) * dark));
}

inline void DuotoneMap(Picture& p, int dR, int dG, int dB, int lR, int lG, int lB) {
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            At(p, x, y, 2) = Duotone(At(p, x, y, 2), dR, lR);
            At(p, x, y, 1) = Duotone(At(p, x, y, 1), dG, lG);
            At(p, x, y, 0) = Duotone(At(p, x, y, 0), dB, lB);
        }
}

inline void PencilSketch(Picture& p, bool grayFirst) {
    if (grayFirst) GrayScale(p);
    Picture copy = p;
    BrightnessContrast(copy, 0, -1.0);
    Blur(copy, 3);
    ColorDodge(p, copy);
}

inline std::uint8_t Tint(unsigned t, unsigned c) { return Clamp(std::nearbyint(t * 0.25 + c)); }

// (red, green, blue) of each variation.
inline constexpr int kTint[10][3] = {{172, 255, 172}, {185, 255, 85}, {125, 204, 247}, {26, 165, 240}, {255, 172, 172},
                                     {255, 85, 85},   {172, 172, 255}, {85, 85, 255},  {255, 172, 32}, {20, 20, 185}};

inline void ColorTint(Picture& p, int variation) {
    const int* t = kTint[variation];
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            At(p, x, y, 2) = Tint(static_cast<unsigned>(t[0]), At(p, x, y, 2));
            At(p, x, y, 1) = Tint(static_cast<unsigned>(t[1]), At(p, x, y, 1));
            At(p, x, y, 0) = Tint(static_cast<unsigned>(t[2]), At(p, x, y, 0));
        }
}

// Dark (R, G, B) then light (R, G, B) of variations 0..8.
inline constexpr int kSketch[9][6] = {{0, 0, 0, 255, 255, 255},   {255, 0, 0, 255, 255, 255}, {0, 255, 0, 255, 255, 255},
                                      {0, 0, 255, 255, 255, 255}, {255, 0, 255, 255, 255, 255}, {0, 0, 155, 255, 255, 155},
                                      {155, 0, 0, 155, 255, 255}, {0, 155, 0, 255, 155, 255}, {0, 0, 155, 155, 255, 155}};

inline void SketchPic(Picture& p, int variation) {
    if (variation == 9) return PencilSketch(p, false);
    const int* s = kSketch[variation];
    PencilSketch(p, true);
    DuotoneMap(p, s[0], s[1], s[2], s[3], s[4], s[5]);
}

}  // namespace corvellin::oracle
