// The multiplicative textures: mostly light (white keeps the picture), with
// the structure of a surface in darker tones, so the picture stays readable.
#include "Paintings.h"

namespace maskgen {

namespace {

Color Grey(double v) { return {v, v, v}; }

// One woven thread pattern: threads along x and y that pass over and under.
double Weave(double x, double y, double pitch, double gap, std::uint32_t seed) {
    const double tx = x / pitch, ty = y / pitch;
    const int cx = Floor(tx), cy = Floor(ty);
    const double fx = tx - cx, fy = ty - cy;
    // Thread thickness wanders a little along each thread.
    const double wx = gap * (1 + 0.5 * Noise(cx * 7.1, ty * 0.15, seed));
    const double wy = gap * (1 + 0.5 * Noise(tx * 0.15, cy * 7.3, seed + 1));
    const double inX = Smooth(0, wx, fy) * Smooth(0, wx, 1 - fy);  // thread running along x
    const double inY = Smooth(0, wy, fx) * Smooth(0, wy, 1 - fx);  // thread running along y
    const bool xOnTop = ((cx + cy) & 1) == 0;
    // Each visible thread is rounded: brighter along its middle.
    const double roundX = 0.75 + 0.25 * std::sin(fy * kPi), roundY = 0.75 + 0.25 * std::sin(fx * kPi);
    const double top = xOnTop ? inX * roundX : inY * roundY;
    const double under = xOnTop ? inY * roundY : inX * roundX;
    return std::max(top, under * 0.85);
}

}  // namespace

Canvas PaintTexture(int number, int width, int height) {
    Canvas c(width, height, Color{1, 1, 1});
    const double w = width, h = height, s = c.scale();
    Rng rng(10000 + static_cast<std::uint64_t>(number));
    switch (number) {
        case 1:  // paper: fine grain and fibres
            c.Map([&](int x, int y, Color) {
                const double grain = Fbm(x * 0.35 / s, y * 0.35 / s, 3, 1001);
                const double cloud = Fbm(x / w * 6, y / h * 6, 4, 1002);
                return Grey(0.84 + 0.05 * grain + 0.14 * cloud);
            });
            for (int i = 0; i < 5000; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, a = rng.Uniform() * kPi;
                const double len = rng.Range(6, 22) * s;
                Segment(c, x, y, x + std::cos(a) * len, y + std::sin(a) * len, 0.9 * s, Grey(1), -0.1, -0.1);
            }
            break;
        case 2:  // artist's canvas
            c.Map([&](int x, int y, Color) {
                const double weave = Weave(x / s, y / s, 9, 0.28, 1003);
                return Grey(0.52 + 0.46 * weave + 0.03 * Fbm(x / w * 8, y / h * 8, 3, 1004));
            });
            break;
        case 3:  // linen: fine, uneven threads of unbleached flax
            c.Map([&](int x, int y, Color) {
                const double u = x / s, v = y / s;
                const double warp = std::sin(u * 1.3 + 3 * Fbm(u * 0.01, v * 0.2, 2, 1005));
                const double weft = std::sin(v * 1.3 + 3 * Fbm(u * 0.2, v * 0.01, 2, 1006));
                const double slub = 0.5 + 0.5 * Fbm(u * 0.004, v * 0.08, 3, 1007);
                return Color{1.0, 0.92, 0.78} * (0.76 + 0.16 * warp * slub + 0.16 * weft * (1 - slub) + 0.08 * slub);
            });
            break;
        case 4:  // brick wall in running bond
            c.Map([&](int x, int y, Color) {
                const double bh = 56 * s, bw = 130 * s, mortar = 8 * s;
                const int row = Floor(y / bh);
                const double bx = x / bw + (row & 1 ? 0.5 : 0.0);
                const int col = Floor(bx);
                const double fx = (bx - col) * bw, fy = y - row * bh;
                const double edge = std::min(std::min(fx, bw - fx), std::min(fy, bh - fy));
                const double inBrick = Smooth(mortar * 0.5, mortar * 1.3, edge);
                const std::uint32_t id = Hash(col, row, 1008);
                const double tone = 0.82 + 0.14 * static_cast<double>(id & 255) / 255.0;
                const double pits = 0.06 * Fbm(x * 0.08 / s, y * 0.08 / s, 3, 1009);
                const Color brick = Color{1.0, 0.80, 0.68} * (tone + pits);
                const Color joint = Grey(0.5 + 0.06 * Noise(x * 0.3 / s, y * 0.3 / s, 1010));
                return Mix(joint, brick, inBrick);
            });
            break;
        case 5:  // wood grain
            c.Map([&](int x, int y, Color) {
                const double u = x / w, v = y / h;
                const double distort = 0.6 * Fbm(u * 1.5, v * 6, 4, 1011);
                const double rings = (v + distort * 0.15 + 0.03 * Fbm(u * 30, v * 4, 2, 1012)) * 28;
                const double grain = std::pow(std::fabs(std::sin(rings * kPi)), 0.35);
                const double fibres = 0.04 * Fbm(u * 200, v * 8, 3, 1013);
                return Color{1.0, 0.86, 0.68} * (0.6 + 0.36 * grain + fibres);
            });
            break;
        case 6:  // crackle glaze
            c.Map([&](int x, int y, Color) {
                const double u = x / h * 9 + 0.25 * Fbm(x / h * 4, y / h * 4, 3, 1014), v = y / h * 9;
                const Voronoi big = VoronoiAt(u, v, 1015), small = VoronoiAt(u * 2.7, v * 2.7, 1016);
                const double crack = std::exp(-(big.f2 - big.f1) * 45 / s) + 0.5 * std::exp(-(small.f2 - small.f1) * 30 / s);
                const double tile = 0.04 * static_cast<double>(big.id & 255) / 255.0;
                return Grey(0.94 - tile - 0.5 * std::min(1.0, crack));
            });
            break;
        case 7:  // stone: mottled with veins
            c.Map([&](int x, int y, Color) {
                const double u = x / w * 4, v = y / h * 4;
                const double mottle = Fbm(u, v, 6, 1017);
                const double vein = std::pow(Ridged(u * 0.6, v * 0.6, 5, 1018), 6.0);
                const double tint = 0.5 + 0.5 * Fbm(u * 0.3, v * 0.3, 2, 1019);
                return Mix(Color{0.92, 0.9, 0.86}, Color{0.86, 0.88, 0.92}, tint) * (0.88 + 0.14 * mottle - 0.55 * vein);
            });
            break;
        case 8:  // burlap: coarse, open weave
            c.Map([&](int x, int y, Color) {
                const double weave = Weave(x / s, y / s, 22, 0.32, 1020);
                const double hair = 0.05 * Fbm(x * 0.2 / s, y * 0.2 / s, 2, 1021);
                return Color{1.0, 0.9, 0.74} * (0.5 + 0.48 * weave + hair);
            });
            break;
        case 9:  // grunge: stains, scratches and specks
            c.Map([&](int x, int y, Color) {
                const double u = x / w * 3, v = y / h * 3;
                const double stain = Smooth(0.1, 0.6, Fbm(u, v, 6, 1022));
                const double edge = Smooth(0.55, 1.3, std::hypot(x / w - 0.5, y / h - 0.5) * 2);
                return Color{0.98, 0.95, 0.9} * (1 - 0.3 * stain - 0.25 * edge);
            });
            for (int i = 0; i < 160; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, a = rng.Range(-0.4, 0.4) + kPi / 2;
                const double len = rng.Range(40, 300) * s;
                Segment(c, x, y, x + std::cos(a) * len, y + std::sin(a) * len, 0.8 * s, Grey(1), -0.3, -0.05);
            }
            for (int i = 0; i < 1500; ++i)
                Glow(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(0.8, 3) * s, Grey(1), -0.35);
            break;
        case 10:  // halftone dots, larger where the underlying tone is darker
            c.Map([&](int x, int y, Color) {
                const double pitch = 14 * s;
                const double ru = (x + y) * 0.70710678 / pitch, rv = (x - y) * 0.70710678 / pitch;
                const double du = ru - std::nearbyint(ru), dv = rv - std::nearbyint(rv);
                const double d = std::hypot(du, dv) * pitch;
                const double tone = Clamp01(0.5 + 0.5 * Fbm(x / w * 2.5, y / h * 2.5, 3, 1023));
                const double radius = pitch * (0.18 + 0.3 * tone);
                const double dot = Smooth(radius + 0.8, radius - 0.8, d);
                return Grey(1 - 0.42 * dot);
            });
            break;
    }
    // Keep every texture light enough that the picture stays readable.
    c.Map([](int, int, Color col) {
        return Color{std::max(col.r, 0.3), std::max(col.g, 0.3), std::max(col.b, 0.3)};
    });
    return c;
}

}  // namespace maskgen
