// The start-up picture: a lake among mountains in late afternoon light, painted
// back to front (sky, clouds, sun, three mountain ranges, the far shore's
// forest, the lake's reflection, the meadow and two near trees).
#include "Paintings.h"

namespace maskgen {

namespace {

struct Scene {
    int w, h;
    double waterY;      // the far shore line, in pixels
    double sunX, sunY;  // in pixels
};

Color SkyAt(const Scene& s, double x, double y) {
    const double v = y / s.h;
    const Color top{0.10, 0.22, 0.48}, mid{0.34, 0.50, 0.74}, low{0.92, 0.70, 0.50};
    Color sky = v < 0.32 ? Mix(top, mid, Smooth(0.0, 0.32, v)) : Mix(mid, low, Smooth(0.30, 0.62, v));
    // Warm light around the sun.
    const double d = std::hypot(x - s.sunX, (y - s.sunY) * 1.3) / s.w;
    sky = sky + Color{1.0, 0.72, 0.42} * (0.35 * std::exp(-d * d / 0.006) + 0.18 * std::exp(-d * 6));
    return sky;
}

void PaintSky(Canvas& c, const Scene& s) {
    for (int y = 0; y < c.height(); ++y)
        for (int x = 0; x < c.width(); ++x) {
            const double u = static_cast<double>(x) / s.w, v = static_cast<double>(y) / s.h;
            Color sky = SkyAt(s, x, y);
            // Wind-stretched clouds in a band above the mountains.
            const double band = -std::pow((v - 0.20) / 0.16, 2.0) * 0.9;
            const double n = Fbm(u * 3.2, v * 11.0, 6, 101) + band + 0.05 * Fbm(u * 30, v * 60, 3, 102);
            const double density = Smooth(0.0, 0.45, n);
            if (density > 0) {
                const double nearSun = std::exp(-std::hypot(x - s.sunX, y - s.sunY) / (s.w * 0.18));
                const double shade = Fbm(u * 3.2 + 0.02, v * 11.0 + 0.09, 6, 101) + band;  // denser below: darker
                const double lit = Clamp01(0.5 + (n - shade) * 6);
                Color cloud = Mix(Color{0.62, 0.60, 0.72}, Color{1.0, 0.93, 0.86}, lit * 0.7 + 0.3 * (1 - density));
                cloud = cloud + Color{0.5, 0.32, 0.12} * nearSun;
                sky = Mix(sky, cloud, density * 0.85);
            }
            c.Set(x, y, sky);
        }
    // The sun's disc and its bloom.
    Glow(c, s.sunX, s.sunY, s.w * 0.012, Color{1.0, 0.90, 0.70}, 0.6);
    Glow(c, s.sunX, s.sunY, s.w * 0.035, Color{1.0, 0.75, 0.45}, 0.18);
    Bokeh(c, s.sunX, s.sunY, s.w * 0.009, Color{1.0, 1.0, 0.92}, 1.0, 0.0);
}

// Mountain profile: a few pointed peaks plus ragged ridge detail, in pixels above waterY.
double Profile(double u, const double* peaks, int count, double scale, std::uint32_t seed) {
    double height = 0;
    for (int i = 0; i < count; ++i) {
        const double cx = peaks[3 * i], width = peaks[3 * i + 1], top = peaks[3 * i + 2];
        const double t = std::max(0.0, 1 - std::fabs(u - cx) / width);
        height = std::max(height, top * std::pow(t, 1.35));
    }
    height += 0.05 * Ridged(u * 9, 0.5, 5, seed) + 0.02 * Fbm(u * 25, 0.3, 4, seed + 1) * (0.3 + height * 4);
    return height * scale;
}

void PaintRange(Canvas& c, const Scene& s, const double* peaks, int count, double scale, std::uint32_t seed,
                Color rock, Color lit, Color haze, double hazeAmount, double snowLine) {
    for (int x = 0; x < c.width(); ++x) {
        const double u = static_cast<double>(x) / s.w;
        const double top = s.waterY - Profile(u, peaks, count, scale, seed);
        const double slope = (Profile(u + 0.002, peaks, count, scale, seed) -
                              Profile(u - 0.002, peaks, count, scale, seed)) / (0.004 * s.w);
        for (int y = std::max(0, Floor(top)); y < Floor(s.waterY) + 2 && y < c.height(); ++y) {
            const double cover = Clamp01(y + 1 - top);  // anti-aliased crest
            const double v = static_cast<double>(y) / s.h;
            const double depth = (y - top) / (s.waterY - top + 1);
            // Gullies running down the slopes: a warped ridged field lit from the right.
            const double e = 0.0012;
            const double warp = 0.05 * Fbm(u * 6, v * 6, 3, seed + 11);
            const auto field = [&](double uu) { return Ridged(uu * 11 + warp * 8, v * 2.2 + (uu - u) * 0, 6, seed + 7); };
            const double hr = field(u + e), hl = field(u - e);
            const double crest = std::exp(-depth * 5);
            const double light = Clamp01(0.42 + (hr - hl) / e * 0.006 - slope * 1.6 * crest + 0.15 * Fbm(u * 3, v * 3, 2, seed + 13));
            Color col = Mix(rock, lit, light);
            col = col * (0.85 + 0.2 * Fbm(u * 80, v * 80, 3, seed + 9));
            // Snow on the heights, streaked down the gullies and thinner in the shade.
            const double altitude = (s.waterY - y) / s.h;
            const double snow = Smooth(-0.01, 0.02, altitude - snowLine + 0.04 * Fbm(u * 14, v * 20, 4, seed + 3) +
                                                          0.05 * (hr - 0.5) + 0.03 * (light - 0.5));
            col = Mix(col, Mix(Color{0.55, 0.60, 0.76}, Color{1.0, 0.96, 0.90}, light), snow * 0.92);
            // Haze gathers at the foot of the range.
            col = Mix(col, haze, Clamp01(hazeAmount + 0.5 * Smooth(0.3, 1.0, depth)));
            c.Set(x, y, Mix(c.Get(x, y), col, cover));
        }
    }
}

// A conifer: tiers of drooping branches, lit from the right.
void Conifer(Canvas& c, double cx, double baseY, double height, double width, Color dark, Color lit,
             std::uint32_t seed) {
    const double top = baseY - height;
    const int tiers = 6 + static_cast<int>(Hash(1, 2, seed) % 5);
    const int x0 = std::max(0, Floor(cx - width)), x1 = std::min(c.width() - 1, Floor(cx + width) + 1);
    for (int y = std::max(0, Floor(top)); y <= std::min(c.height() - 1, Floor(baseY)); ++y) {
        const double t = Clamp01((y - top) / height);
        const double local = t * tiers - std::floor(t * tiers);
        const double jag = 0.22 * Noise(y * 0.6, seed * 0.01, seed) + 0.1 * Noise(y * 2.1, 0.5, seed + 3);
        const double half = width * 0.5 * std::pow(t, 0.85) * (0.55 + 0.45 * local + jag);
        for (int x = x0; x <= x1; ++x) {
            const double dx = x + 0.5 - cx;
            double cover = Clamp01(half - std::fabs(dx) + 0.5);
            // The trunk shows below the lowest branches.
            if (t > 0.93) cover = std::max(cover, Clamp01(width * 0.05 - std::fabs(dx) + 0.5));
            if (cover <= 0) continue;
            const double side = Smooth(-0.3, 1.0, dx / std::max(half, 1.0));
            // Branch tips at the foot of each tier catch the light; needles give texture.
            const double tips = Smooth(0.6, 1.0, local) * Smooth(0.3, 1.0, std::fabs(dx) / std::max(half, 1.0));
            Color col = Mix(dark, lit, Clamp01(side * (0.3 + 0.5 * local) + 0.5 * tips * (0.4 + side)));
            col = col * (0.75 + 0.3 * Noise(x * 0.4, y * 0.4, seed + 5) + 0.25 * Noise(x * 0.08, y * 0.15, seed + 6));
            c.Set(x, y, Mix(c.Get(x, y), col, cover));
        }
    }
}

double ShoreY(const Scene& s, double u) {
    // The meadow rises to the left, leaving the lake open under the sun.
    return s.h * (0.74 + 0.16 * Smooth(0.0, 1.0, u) + 0.015 * Fbm(u * 6, 0.7, 4, 301));
}

void PaintLake(Canvas& c, const Scene& s) {
    const Canvas above = c;  // the lake mirrors what is already painted above it
    for (int y = Floor(s.waterY); y < c.height(); ++y) {
        const double dist = (y - s.waterY) / (c.height() - s.waterY);  // 0 at the far shore
        for (int x = 0; x < c.width(); ++x) {
            const double u = static_cast<double>(x) / s.w;
            const double ripple = Fbm(u * 18, y * 0.09 / (0.2 + dist), 4, 401);
            const double sx = x + ripple * (2 + 14 * dist) * s.w / 1600;
            const double sy = s.waterY - (y - s.waterY) * 1.02 - std::fabs(ripple) * (3 + 10 * dist);
            Color col = above.Sample(sx, sy);
            // Near water shows more of its own colour, far water reflects.
            const double reflect = 0.9 - 0.35 * dist;
            col = Mix(Color{0.06, 0.16, 0.20}, col, reflect);
            // Bright and dark bands of the wavelets.
            const double band = Noise(u * 6, y * 0.35 / (0.15 + dist), 402);
            col = col * (0.96 + 0.08 * band);
            // Sun glitter on the path below the sun.
            const double path = std::exp(-std::pow((x - s.sunX) / (s.w * (0.03 + 0.12 * dist)), 2.0));
            const double glint = Smooth(0.55, 0.9, Noise(x * 0.25, y * 0.9, 403) * 0.6 + ripple * 0.6);
            col = col + Color{1.0, 0.85, 0.6} * (path * glint * 0.9);
            c.Set(x, y, col);
        }
    }
}

void PaintMeadow(Canvas& c, const Scene& s) {
    Rng rng(5150);
    for (int x = 0; x < c.width(); ++x) {
        const double u = static_cast<double>(x) / s.w;
        const double shore = ShoreY(s, u);
        for (int y = std::max(0, Floor(shore) - 2); y < c.height(); ++y) {
            const double v = static_cast<double>(y) / s.h;
            const double cover = Clamp01(y + 1 - shore);
            const double near = Clamp01((y - shore) / (c.height() - shore + 1));
            const double blades = Fbm(u * 260, v * 22, 3, 501);
            const double patches = Fbm(u * 5, v * 9, 4, 502);
            Color col = Mix(Color{0.56, 0.62, 0.22}, Color{0.17, 0.32, 0.09}, Clamp01(near * 0.9 + 0.25 * patches));
            col = col * (0.82 + 0.3 * blades);
            // A light sandy strip along the water's edge.
            col = Mix(col, Color{0.80, 0.70, 0.50}, Smooth(6.0, 0.0, y - shore) * 0.7);
            c.Set(x, y, Mix(c.Get(x, y), col, cover));
        }
    }
    // Grass blades and flowers, bigger towards the bottom (nearer).
    for (int i = 0; i < 9000; ++i) {
        const double u = rng.Uniform();
        const double shore = ShoreY(s, u);
        const double y = shore + 4 + std::pow(rng.Uniform(), 0.7) * (c.height() - shore);
        const double near = (y - shore) / (c.height() - shore + 1);
        const double x = u * s.w;
        const double len = (4 + 26 * near * near) * rng.Range(0.6, 1.4);
        const Color green = Mix(Color{0.62, 0.72, 0.25}, Color{0.20, 0.38, 0.10}, rng.Uniform());
        Segment(c, x, y, x + rng.Range(-0.3, 0.3) * len, y - len, 0.5 + near, green * 0.18, 0.9, 0.3);
    }
    const Color flowers[] = {{1.0, 0.98, 0.92}, {1.0, 0.85, 0.20}, {0.75, 0.45, 0.90}, {1.0, 0.45, 0.40}};
    for (int i = 0; i < 1400; ++i) {
        const double u = rng.Uniform();
        const double shore = ShoreY(s, u);
        const double near = std::pow(rng.Uniform(), 0.8);
        const double y = shore + 6 + near * (c.height() - shore);
        const double r = 0.6 + 3.5 * near * near;
        Bokeh(c, u * s.w, y, r, flowers[rng.Below(4)] * 0.55, 1.0, 0.0);
    }
}

}  // namespace

Canvas PaintLandscape(int width, int height) {
    Canvas c(width, height);
    const Scene s{width, height, height * 0.60, width * 0.70, height * 0.29};
    PaintSky(c, s);
    // Peaks as (centre, half width, height) in picture widths.
    const double far[] = {0.05, 0.16, 0.17, 0.27, 0.13, 0.21, 0.47, 0.10, 0.16, 0.60, 0.12, 0.19,
                          0.80, 0.16, 0.24, 0.97, 0.12, 0.18};
    const double mid[] = {0.17, 0.17, 0.22, 0.38, 0.12, 0.29, 0.52, 0.09, 0.20, 0.74, 0.13, 0.18,
                          1.02, 0.18, 0.25, 0.88, 0.07, 0.15};
    const double near[] = {-0.05, 0.30, 0.10, 0.30, 0.22, 0.07, 0.62, 0.28, 0.06, 0.95, 0.25, 0.09};
    PaintRange(c, s, far, 6, s.h * 0.85, 11, {0.50, 0.56, 0.74}, {0.80, 0.76, 0.80}, {0.74, 0.72, 0.80}, 0.45, 0.16);
    PaintRange(c, s, mid, 6, s.h * 0.85, 23, {0.22, 0.24, 0.33}, {0.70, 0.58, 0.50}, {0.62, 0.62, 0.72}, 0.12, 0.20);
    PaintRange(c, s, near, 4, s.h * 0.75, 37, {0.08, 0.16, 0.10}, {0.30, 0.38, 0.16}, {0.45, 0.52, 0.55}, 0.05, 1.0);
    // The forest on the far shore.
    Rng rng(777);
    for (int i = 0; i < 520; ++i) {
        const double x = rng.Uniform() * s.w;
        const double hgt = rng.Range(10, 26) * (1 + 0.6 * Fbm(x / s.w * 4, 0.2, 2, 88)) * s.h / 1067;
        Conifer(c, x, s.waterY + 2, hgt, hgt * 0.42, {0.05, 0.11, 0.08}, {0.22, 0.30, 0.14},
                static_cast<std::uint32_t>(1000 + i));
    }
    PaintLake(c, s);
    PaintMeadow(c, s);
    // Two tall trees on the left frame the view.
    Conifer(c, s.w * 0.07, s.h * 0.99, s.h * 0.78, s.w * 0.13, {0.03, 0.08, 0.05}, {0.30, 0.36, 0.14}, 9001);
    Conifer(c, s.w * 0.165, s.h * 0.93, s.h * 0.55, s.w * 0.09, {0.04, 0.09, 0.05}, {0.32, 0.40, 0.15}, 9002);
    // A warm grade and a light vignette.
    c.Map([&](int x, int y, Color col) {
        const double dx = (x - s.w * 0.5) / s.w, dy = (y - s.h * 0.5) / s.h;
        const double vig = 0.9 - 0.45 * (dx * dx + dy * dy);
        return Color{col.r * 1.03, col.g, col.b * 0.96} * vig;
    });
    return c;
}

}  // namespace maskgen
