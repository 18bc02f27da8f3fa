// The additive mask families. Each mask is mostly black (black leaves the
// picture unchanged) with light, colour and sparkle; at the strength of 0.5
// a white mask pixel lifts the picture by half, so highlights may be bright
// while the rest stays dark.
#include <functional>

#include "Paintings.h"

namespace maskgen {

namespace {

const Color kWhite{1, 1, 1}, kWarm{1.0, 0.78, 0.45}, kGold{1.0, 0.72, 0.28}, kIce{0.65, 0.85, 1.0};

// A light beam from (x0, y0) in direction angle, half width spread (radians),
// fading over length.
void Beam(Canvas& c, double x0, double y0, double angle, double spread, double length, Color colour,
          double intensity) {
    const double dx0 = std::cos(angle), dy0 = std::sin(angle);
    c.AddField([&](int x, int y) {
        const double px = x + 0.5 - x0, py = y + 0.5 - y0;
        const double along = px * dx0 + py * dy0;
        if (along <= 0) return Color{};
        const double across = std::fabs(px * dy0 - py * dx0) / (along * std::tan(spread) + 2);
        if (across > 3) return Color{};
        return colour * (std::exp(-across * across) * std::exp(-along / length) * Smooth(0, length * 0.08, along) *
                         intensity);
    });
}

// Rays fanning out from (x0, y0), their pattern drawn from the seed.
void RayFan(Canvas& c, double x0, double y0, double reach, double frequency, double sharpness, Color colour,
            double intensity, std::uint32_t seed) {
    c.AddField([&](int x, int y) {
        const double px = x + 0.5 - x0, py = y + 0.5 - y0;
        const double r = std::hypot(px, py) + 1e-9;
        const double cx = px / r * frequency, cy = py / r * frequency;
        const double n = 0.5 + 0.55 * Noise(cx, cy, seed) + 0.25 * Noise(cx * 3.1, cy * 3.1, seed + 1);
        const double rays = std::pow(Clamp01(n), sharpness);
        return colour * (rays * std::exp(-r / reach) * intensity);
    });
}

// Soft ring of an ellipse (rx, ry), for ripples seen in perspective.
void EllipseRing(Canvas& c, double cx, double cy, double rx, double ry, double width, Color colour, double intensity) {
    const int x0 = std::max(0, Floor(cx - rx - width * 3)), x1 = std::min(c.width() - 1, Floor(cx + rx + width * 3));
    const int y0 = std::max(0, Floor(cy - ry - width * 3)), y1 = std::min(c.height() - 1, Floor(cy + ry + width * 3));
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
            const double d = (std::sqrt(dx * dx + dy * dy) - 1) * rx / width;
            if (d > -3 && d < 3) {
                // Light on the far side of each wavelet, as the sky reflects there.
                const double side = 0.55 + 0.45 * (-dy / (std::sqrt(dx * dx + dy * dy) + 1e-9));
                c.Add(x, y, colour * (std::exp(-d * d) * intensity * side));
            }
        }
}

// A jagged lightning bolt with branches.
void Bolt(Canvas& c, double x0, double y0, double x1, double y1, double width, double intensity, Color colour,
          Rng& rng, int depth) {
    std::vector<std::pair<double, double>> points{{x0, y0}, {x1, y1}};
    double jitter = std::hypot(x1 - x0, y1 - y0) * 0.18;
    for (int pass = 0; pass < 7; ++pass, jitter *= 0.52) {
        std::vector<std::pair<double, double>> finer;
        for (std::size_t i = 0; i + 1 < points.size(); ++i) {
            finer.push_back(points[i]);
            const double mx = (points[i].first + points[i + 1].first) / 2 + rng.Normal() * jitter;
            const double my = (points[i].second + points[i + 1].second) / 2 + rng.Normal() * jitter * 0.3;
            finer.emplace_back(mx, my);
        }
        finer.push_back(points.back());
        points = finer;
    }
    for (std::size_t i = 0; i + 1 < points.size(); ++i) {
        const auto [ax, ay] = points[i];
        const auto [bx, by] = points[i + 1];
        Segment(c, ax, ay, bx, by, width * 5, colour * 0.25, intensity * 0.5, intensity * 0.5);
        Segment(c, ax, ay, bx, by, width, kWhite, intensity, intensity);
        if (depth > 0 && rng.Uniform() < 0.035) {
            const double len = std::hypot(x1 - x0, y1 - y0) * rng.Range(0.15, 0.4);
            const double a = std::atan2(by - ay, bx - ax) + rng.Range(-0.9, 0.9);
            Bolt(c, bx, by, bx + std::cos(a) * len, by + std::sin(a) * len, width * 0.55, intensity * 0.7, colour,
                 rng, depth - 1);
        }
    }
}

// A point on a smooth closed or open curve through control points (Catmull-Rom).
std::pair<double, double> CatmullRom(const std::vector<std::pair<double, double>>& p, double t) {
    const double segs = static_cast<double>(p.size() - 3);
    const double f = std::clamp(t, 0.0, 0.999999) * segs;
    const auto i = static_cast<std::size_t>(f);
    const double s = f - static_cast<double>(i);
    const auto at = [&](int k, bool first) {
        const auto& q = p[i + static_cast<std::size_t>(k)];
        return first ? q.first : q.second;
    };
    const auto eval = [&](bool first) {
        const double a = at(0, first), b = at(1, first), c = at(2, first), d = at(3, first);
        return 0.5 * ((2 * b) + (-a + c) * s + (2 * a - 5 * b + 4 * c - d) * s * s + (-a + 3 * b - 3 * c + d) * s * s * s);
    };
    return {eval(true), eval(false)};
}

// A glowing ribbon along a curve.
void Ribbon(Canvas& c, const std::vector<std::pair<double, double>>& p, double width,
            const std::function<Color(double)>& colourAt, double intensity) {
    const int steps = 500;
    auto prev = CatmullRom(p, 0);
    for (int k = 1; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        const auto next = CatmullRom(p, t);
        const Color col = colourAt(t);
        Segment(c, prev.first, prev.second, next.first, next.second, width * 4, col * 0.12, intensity, intensity);
        Segment(c, prev.first, prev.second, next.first, next.second, width, col * 0.6, intensity, intensity);
        prev = next;
    }
}

std::vector<std::pair<double, double>> RandomPath(Rng& rng, int w, int h, int count) {
    std::vector<std::pair<double, double>> p;
    for (int i = 0; i < count; ++i) p.emplace_back(rng.Range(-0.1, 1.1) * w, rng.Range(0.05, 0.95) * h);
    return p;
}

// Fireworks burst: trails drooping under gravity with sparks at the tips.
void Burst(Canvas& c, double cx, double cy, double radius, Color colour, Rng& rng) {
    const int trails = 70;
    for (int i = 0; i < trails; ++i) {
        const double a = 2 * kPi * i / trails + rng.Range(-0.03, 0.03);
        const double r = radius * rng.Range(0.7, 1.05);
        double px = cx + std::cos(a) * r * 0.15, py = cy + std::sin(a) * r * 0.15;
        for (int k = 1; k <= 6; ++k) {
            const double t = k / 6.0;
            const double nx = cx + std::cos(a) * r * (0.15 + 0.85 * t);
            const double ny = cy + std::sin(a) * r * (0.15 + 0.85 * t) + radius * 0.18 * t * t;
            Segment(c, px, py, nx, ny, 1.3 * c.scale(), colour, 0.15 + 0.35 * t, 0.15 + 0.35 * t);
            px = nx, py = ny;
        }
        Glow(c, px, py, 3 * c.scale(), Mix(colour, kWhite, 0.5), 0.6);
    }
    Glow(c, cx, cy, radius * 0.5, colour, 0.12);
}

// Lens flare: ghosts along the line from the light through the picture centre.
void Flare(Canvas& c, double lx, double ly, double size, Color tint, Rng& rng) {
    const double cx = c.width() / 2.0, cy = c.height() / 2.0;
    Glow(c, lx, ly, size * 0.25, kWhite, 1.0);
    Glow(c, lx, ly, size, tint, 0.35, 0.02);
    Sparkle(c, lx, ly, size * 2.2, Mix(tint, kWhite, 0.5), 0.5, 12, rng.Uniform(), 1.2);
    Ring(c, lx, ly, size * 1.6, size * 0.06, tint * 0.6, 0.25);
    const double ghosts[] = {0.35, 0.6, 0.8, 1.25, 1.5, 1.8, 2.1};
    for (double t : ghosts) {
        const double gx = lx + (cx - lx) * t, gy = ly + (cy - ly) * t;
        const Color col = Hsv(rng.Uniform(), 0.55, 1.0);
        Bokeh(c, gx, gy, size * rng.Range(0.1, 0.45), col, rng.Range(0.08, 0.2), 0.5, 6, 0.3, 0.2);
    }
}

// Category painters. Coordinates are in pixels; s is the pixel scale.

void Preset(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height();
    switch (n) {
        case 1:  // warm sunset light from the top right
            Glow(c, w * 1.02, -h * 0.05, w * 0.45, Color{1.0, 0.50, 0.15}, 0.85, 0.04);
            Glow(c, w * 0.85, h * 0.1, w * 0.12, kWarm, 0.35);
            break;
        case 2:  // cool morning light from the top left
            Glow(c, -w * 0.05, -h * 0.05, w * 0.5, Color{0.25, 0.55, 1.0}, 0.75, 0.03);
            c.AddField([&](int, int y) { return Color{0.5, 0.7, 1.0} * (0.12 * Smooth(0.35, 0.0, y / h)); });
            break;
        case 3:  // golden glow in the middle, dark edges
            Glow(c, w * 0.5, h * 0.5, w * 0.22, kGold, 0.7, 0.03);
            Glow(c, w * 0.5, h * 0.5, w * 0.05, Color{1.0, 0.9, 0.7}, 0.3);
            break;
        case 4:  // rainbow light leak along a diagonal
            c.AddField([&](int x, int y) {
                const double d = (x / w * 0.7 + y / h * 0.3 - 0.28) / 0.12;
                const double along = x / w * 0.3 - y / h * 0.7;
                return Hsv(0.95 - d * 0.12, 0.85, 1.0) * (0.6 * std::exp(-d * d) * Smooth(-0.8, 0.2, along));
            });
            break;
        case 5:  // magenta on the left, teal on the right
            Glow(c, -w * 0.1, h * 0.5, w * 0.35, Color{1.0, 0.2, 0.7}, 0.7, 0.02);
            Glow(c, w * 1.1, h * 0.5, w * 0.35, Color{0.1, 0.9, 0.85}, 0.6, 0.02);
            break;
        case 6:  // amber haze rising from the bottom
            c.AddField([&](int x, int y) {
                const double v = y / h;
                const double haze = Smooth(0.45, 1.05, v + 0.08 * Fbm(x / w * 3, v * 3, 4, 61));
                return Color{1.0, 0.62, 0.25} * (0.7 * haze * haze);
            });
            break;
        case 7:  // film light leak: bright bands entering from the left edge
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double bands = 0.5 + 0.5 * Fbm(v * 4, u * 0.6, 4, 71);
                const double reach = 0.08 + 0.22 * bands;
                const double leak = std::exp(-u / reach) * Smooth(0.3, 0.8, bands);
                return Mix(Color{1.0, 0.15, 0.05}, Color{1.0, 0.75, 0.2}, Smooth(0.0, 0.6, leak)) * (leak * 1.1);
            });
            break;
        case 8:  // pastel clouds of colour
            c.AddField([&](int x, int y) {
                const double u = x / w * 2.5, v = y / h * 2.5;
                const double amount = Smooth(0.0, 0.6, Fbm(u, v, 5, 81));
                return Hsv(0.5 + 0.5 * Fbm(u * 0.5, v * 0.5, 3, 82), 0.4, 1.0) * (amount * 0.65);
            });
            break;
        case 9:  // spotlight falling from above
            Beam(c, w * 0.5, -h * 0.35, kPi / 2, 0.33, h * 1.2, Color{1.0, 0.92, 0.8}, 0.55);
            break;
        case 10:  // lens flare across the picture
            Flare(c, w * 0.2, h * 0.18, w * 0.09, kWarm, rng);
            break;
    }
}

void LightA(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    switch (n) {
        case 1:  // sun flare in the top right with blade-shaped ghosts
            Flare(c, w * 0.82, h * 0.16, w * 0.1, Color{1.0, 0.85, 0.6}, rng);
            break;
        case 2:  // rays of light from the top left
            RayFan(c, -w * 0.05, -h * 0.1, w * 0.7, 9, 3.0, Color{1.0, 0.9, 0.7}, 0.9, 21);
            break;
        case 3:  // three spotlights from above
            for (int i = 0; i < 3; ++i)
                Beam(c, w * (0.2 + 0.3 * i), -h * 0.05, kPi / 2 + (i - 1) * 0.25, 0.14, h * 1.1, kWhite, 0.45);
            break;
        case 4: {  // neon tubes: a circle and two bars
            // Each tube: a white-hot core, its coloured glass, and a wide halo
            // strong enough to tint the picture around it.
            const Color pink{1.0, 0.2, 0.7}, cyan{0.2, 0.9, 1.0};
            const auto ring = [&](double cx, double cy, double r, Color col) {
                Ring(c, cx, cy, r, 30 * s, col, 0.32);
                Ring(c, cx, cy, r, 6 * s, col, 0.9);
                Ring(c, cx, cy, r, 1.8 * s, kWhite, 0.7);
            };
            const auto bar = [&](double x0, double y0, double x1, double y1, Color col) {
                Segment(c, x0, y0, x1, y1, 30 * s, col, 0.32, 0.32);
                Segment(c, x0, y0, x1, y1, 6 * s, col, 0.9, 0.9);
                Segment(c, x0, y0, x1, y1, 1.8 * s, kWhite, 0.7, 0.7);
            };
            ring(w * 0.72, h * 0.35, h * 0.18, pink);
            bar(w * 0.1, h * 0.15, w * 0.42, h * 0.15, cyan);
            bar(w * 0.1, h * 0.85, w * 0.9, h * 0.85, cyan);
            break;
        }
        case 5:  // candle glows along the bottom
            for (int i = 0; i < 7; ++i) {
                const double x = w * (0.08 + 0.14 * i) + rng.Range(-20, 20) * s, y = h * rng.Range(0.72, 0.9);
                Glow(c, x, y, 110 * s, Color{1.0, 0.5, 0.15}, 0.55);
                Glow(c, x, y - 10 * s, 18 * s, Color{1.0, 0.8, 0.4}, 1.0);
                Glow(c, x, y - 24 * s, 9 * s, Color{1.0, 0.95, 0.8}, 1.2);
            }
            break;
        case 6:  // concert beams crossing from the bottom
            for (int i = 0; i < 6; ++i) {
                const double x = w * (0.1 + 0.16 * i);
                const double a = -kPi / 2 + (i % 2 ? 0.35 : -0.35) + rng.Range(-0.1, 0.1);
                Beam(c, x, h * 1.02, a, 0.04, h * 0.9, Hsv(0.55 + 0.08 * i, 0.6, 1.0), 0.5);
            }
            break;
        case 7:  // anamorphic blue streaks
            // Each light: a thin bright line through a soft, taller band that
            // fades towards both ends, over a blue bloom round the light.
            for (int i = 0; i < 5; ++i) {
                const double x = w * rng.Range(0.15, 0.85), y = h * (0.12 + 0.16 * i + rng.Range(-0.04, 0.04));
                const double reach = w * rng.Range(0.35, 0.5);
                const Color blue{0.3, 0.55, 1.0};
                for (int side = -1; side <= 1; side += 2) {
                    Segment(c, x, y, x + side * reach, y, 16 * s, blue, 0.5, 0.0);
                    Segment(c, x, y, x + side * reach, y, 3.5 * s, Color{0.6, 0.8, 1.0}, 0.9, 0.0);
                }
                Glow(c, x, y, 12 * s, kWhite, 1.0);
                Glow(c, x, y, 55 * s, blue, 0.45);
            }
            break;
        case 8:  // aurora curtains over the top
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double base = 0.35 + 0.12 * Fbm(u * 2.5, 0.5, 3, 81);
                const double above = base - v;
                if (above < -0.05) return Color{};
                const double curtain = Smooth(0.2, 0.9, 0.5 + 0.6 * Noise(u * 40 + 3 * Fbm(u * 3, v, 2, 82), v * 0.8, 83));
                const double fall = std::exp(-std::max(0.0, above) * 6) * Smooth(-0.05, 0.02, above);
                return Mix(Color{0.2, 1.0, 0.5}, Color{0.7, 0.3, 1.0}, Clamp01(above * 4)) * (curtain * fall * 0.8);
            });
            break;
        case 9:  // starburst in the middle
            Sparkle(c, w * 0.5, h * 0.42, w * 0.45, kWhite, 0.7, 16, 0.1, 2.0);
            Glow(c, w * 0.5, h * 0.42, w * 0.06, kWarm, 0.5);
            Ring(c, w * 0.5, h * 0.42, w * 0.16, 6 * s, Color{0.9, 0.7, 1.0}, 0.15);
            break;
        case 10:  // sunlight through blinds
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double stripe = std::sin((u * 0.6 + v) * 38);
                const double patch = std::exp(-std::pow((u - 0.62) / 0.35, 2) - std::pow((v - 0.5) / 0.45, 2));
                return kWarm * (Smooth(0.1, 0.6, stripe) * patch * 0.65);
            });
            break;
    }
}

void Star(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    const auto where = [&] { return std::pair{rng.Uniform() * w, rng.Uniform() * h}; };
    switch (n) {
        case 1:  // a night sky of fine stars
            // Sparse, but each star a few pixels across and bright, so that a
            // thumbnail still catches hundreds of them; the brightest carry a
            // soft halo and rays.
            for (int i = 0; i < 2600; ++i) {
                const auto [x, y] = where();
                const double b = std::pow(rng.Uniform(), 4.0);
                const Color col = Mix(kIce, kWarm, rng.Uniform());
                Glow(c, x, y, (2.2 + 3.0 * b) * s, col, 0.9 + 1.1 * b);
                if (b > 0.5) Glow(c, x, y, (6 + 8 * b) * s, col, 0.3);
                if (b > 0.5) Sparkle(c, x, y, 40 * b * s, kWhite, 0.8, 4, 0.0, 1.2);
            }
            break;
        case 2:  // a few big twinkles
            for (int i = 0; i < 14; ++i) {
                const auto [x, y] = where();
                const double size = rng.Range(90, 240) * s;
                Sparkle(c, x, y, size, kWhite, 1.2, 4, kPi / 4 * (i % 2) + 0.1, 4.0);
                Glow(c, x, y, size * 0.22, kIce, 0.55);
                Glow(c, x, y, size * 0.5, kIce, 0.12);
            }
            break;
        case 3:  // golden six-point sparkles
            for (int i = 0; i < 55; ++i) {
                const auto [x, y] = where();
                const double size = rng.Range(35, 120) * s;
                Sparkle(c, x, y, size, kGold, 1.2, 6, rng.Uniform(), 2.6);
                Glow(c, x, y, size * 0.24, kGold, 0.5);
            }
            break;
        case 4:  // glitter dust in a diagonal band
            for (int i = 0; i < 3000; ++i) {
                const double t = rng.Uniform();
                const double off = rng.Normal() * 0.09;
                const double x = (t + off * 0.5) * w, y = (0.85 - t * 0.7 + off) * h;
                const double b = std::pow(rng.Uniform(), 3.0);
                if (b > 0.3)
                    Sparkle(c, x, y, (10 + 45 * b) * s, Mix(kGold, kWhite, rng.Uniform()), 1.0, 4, 0.0, 1.4);
                else
                    Glow(c, x, y, 2.0 * s, Mix(kGold, kWhite, rng.Uniform()), 0.7 + b);
            }
            break;
        case 5: {  // the milky way across the sky
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double d = (v - 0.2 - u * 0.5) / 0.12;
                const double dust = Smooth(-0.3, 0.8, Fbm(u * 6, v * 6, 6, 51));
                return Mix(Color{0.6, 0.6, 0.9}, Color{1.0, 0.85, 0.7}, dust) * (std::exp(-d * d) * (0.2 + 0.5 * dust));
            });
            for (int i = 0; i < 3500; ++i) {
                const double u = rng.Uniform();
                const double v = 0.2 + u * 0.5 + rng.Normal() * 0.08;
                const double b = std::pow(rng.Uniform(), 4.0);
                Glow(c, u * w, v * h, (1.2 + 2 * b) * s, kWhite, 0.6 + 1.0 * b);
            }
            break;
        }
        case 6:  // shooting stars
            // Each meteor: a trail that brightens and widens towards its head.
            for (int i = 0; i < 7; ++i) {
                const double x = w * (0.2 + 0.8 * rng.Uniform()), y = h * (0.1 + 0.8 * rng.Uniform());
                const double len = rng.Range(350, 700) * s;
                const double a = 2.5 + rng.Range(-0.15, 0.15);
                const double ex = x + std::cos(a) * len, ey = y - std::sin(a) * len * 0.5;
                Segment(c, x, y, ex, ey, 22 * s, Color{0.4, 0.6, 1.0}, 0.0, 0.55);
                Segment(c, x, y, ex, ey, 5 * s, Color{0.8, 0.9, 1.0}, 0.0, 1.0);
                Glow(c, ex, ey, 22 * s, Color{0.8, 0.9, 1.0}, 0.9);
                Sparkle(c, ex, ey, 70 * s, kWhite, 1.2, 4, 0.3, 2.4);
            }
            break;
        case 7:  // a colourful cluster of stars
            // A glowing core of gas, and stars crowding towards it.
            Glow(c, w * 0.6, h * 0.4, w * 0.15, Color{0.75, 0.55, 1.0}, 0.3, 0.01);
            for (int i = 0; i < 220; ++i) {
                const double x = w * (0.6 + rng.Normal() * 0.16), y = h * (0.4 + rng.Normal() * 0.16);
                const double size = std::pow(rng.Uniform(), 3.0) * 70 + 8;
                const Color col = Hsv(rng.Uniform(), 0.6, 1.0);
                Sparkle(c, x, y, size * 1.4 * s, col, 1.0, 4, 0.2, 1.8);
                Glow(c, x, y, (4 + 0.15 * size) * s, col, 0.6);
            }
            break;
        case 8: {  // constellations: stars joined by faint lines
            for (int k = 0; k < 4; ++k) {
                double x = w * (0.15 + 0.23 * k), y = h * rng.Range(0.15, 0.6);
                const auto star = [&](double sx, double sy, double size) {
                    Sparkle(c, sx, sy, size, kWhite, 1.1, 4, 0.0, 2.2);
                    Glow(c, sx, sy, 14 * s, kIce, 0.8);
                };
                for (int j = 0; j < 6; ++j) {
                    const double nx = x + rng.Range(-0.08, 0.1) * w, ny = y + rng.Range(-0.12, 0.14) * h;
                    Segment(c, x, y, nx, ny, 6 * s, kIce, 0.5, 0.5);
                    star(x, y, rng.Range(45, 80) * s);
                    x = nx, y = ny;
                }
                star(x, y, 60 * s);
            }
            for (int i = 0; i < 700; ++i) {
                const auto [x, y] = where();
                Glow(c, x, y, 2.5 * s, kWhite, rng.Range(0.5, 0.9));
            }
            break;
        }
        case 9:  // a spiral trail of sparkles, like a wand's
            for (int i = 0; i < 900; ++i) {
                const double t = rng.Uniform();
                const double a = t * 4 * kPi;
                const double r = (0.05 + 0.35 * t) * h;
                const double x = w * 0.5 + std::cos(a) * r * 1.4 + rng.Normal() * 10 * s;
                const double y = h * 0.5 + std::sin(a) * r + rng.Normal() * 10 * s;
                const double b = std::pow(rng.Uniform(), 3.0) * (1 - t * 0.5);
                Sparkle(c, x, y, (10 + 60 * b) * s, Hsv(0.75 + 0.3 * t, 0.5, 1.0), 1.0, 4, 0.0, 1.4);
            }
            break;
        case 10:  // cross-screen filter on a few bright points
            for (int i = 0; i < 10; ++i) {
                const auto [x, y] = where();
                Sparkle(c, x, y, rng.Range(140, 300) * s, kWhite, 1.0, 8, 0.2, 3.2);
                Glow(c, x, y, 40 * s, kWarm, 0.7);
            }
            break;
    }
}

void Amazing(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    switch (n) {
        case 1:  // a double rainbow
            c.AddField([&](int x, int y) {
                const double r = std::hypot(x - w * 0.5, y - h * 1.15) / h;
                Color col;
                const double main = (r - 0.95) / 0.12, second = (r - 1.18) / 0.14;
                if (main > 0 && main < 1) col = col + Hsv(0.8 * main, 0.9, 1.0) * (0.7 * std::sin(main * kPi));
                if (second > 0 && second < 1) col = col + Hsv(0.8 * (1 - second), 0.9, 1.0) * (0.3 * std::sin(second * kPi));
                return col * Smooth(1.0, 0.6, y / h);
            });
            break;
        case 2:  // a swirl of colour
            c.AddField([&](int x, int y) {
                const double dx = (x - w * 0.5) / h, dy = (y - h * 0.5) / h;
                const double r = std::hypot(dx, dy), a = std::atan2(dy, dx);
                const double arms = 0.5 + 0.5 * std::sin(a * 3 + r * 14);
                return Hsv(a / (2 * kPi) + r, 0.8, 1.0) * (std::pow(arms, 6) * Smooth(0.75, 0.1, r) * 0.7);
            });
            break;
        case 3:  // fireworks
            Burst(c, w * 0.25, h * 0.28, h * 0.22, Color{1.0, 0.35, 0.3}, rng);
            Burst(c, w * 0.62, h * 0.2, h * 0.28, Color{0.4, 0.8, 1.0}, rng);
            Burst(c, w * 0.85, h * 0.45, h * 0.16, Color{1.0, 0.85, 0.3}, rng);
            Burst(c, w * 0.45, h * 0.55, h * 0.13, Color{0.8, 0.4, 1.0}, rng);
            break;
        case 4:  // a prism splitting a beam into a rainbow fan
            Segment(c, 0, h * 0.62, w * 0.42, h * 0.48, 5 * s, kWhite, 0.8, 0.8);
            Segment(c, 0, h * 0.62, w * 0.42, h * 0.48, 25 * s, kWhite, 0.15, 0.15);
            c.AddField([&](int x, int y) {
                const double dx = x - w * 0.42, dy = y - h * 0.48;
                if (dx <= 0) return Color{};
                const double a = std::atan2(dy, dx);
                const double t = (a + 0.05) / 0.4;
                if (t < 0 || t > 1) return Color{};
                return Hsv(0.8 * t, 0.9, 1.0) * (0.7 * std::sin(t * kPi) * Smooth(0, w * 0.1, dx) * std::exp(-dx / w));
            });
            break;
        case 5:  // veins of plasma
            c.AddField([&](int x, int y) {
                const double u = x / w * 3, v = y / h * 2;
                const double vein = std::pow(Ridged(u, v, 5, 75), 4.0);
                return Hsv(0.6 + 0.4 * Fbm(u * 0.4, v * 0.4, 2, 76), 0.8, 1.0) * (vein * 0.9);
            });
            break;
        case 6:  // psychedelic rings around a point
            c.AddField([&](int x, int y) {
                const double r = std::hypot(x - w * 0.35, y - h * 0.4) / h;
                const double ring = std::pow(0.5 + 0.5 * std::cos(r * 60), 8);
                return Hsv(r * 2.5, 0.85, 1.0) * (ring * std::exp(-r * 2.2) * 0.8);
            });
            break;
        case 7:  // light-painting ribbons
            for (int k = 0; k < 3; ++k) {
                const auto path = RandomPath(rng, c.width(), c.height(), 7);
                const double hue = rng.Uniform();
                Ribbon(c, path, 2.5 * s, [&](double t) { return Hsv(hue + 0.25 * t, 0.8, 1.0); }, 0.7);
            }
            break;
        case 8:  // flames licking up from the bottom
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double rise = 1 - v;
                const double tongues = Ridged(u * 7, v * 2.5 + rise * 1.5, 5, 88);
                const double heat = tongues * tongues * 1.3 - rise * 3.2 + 0.3;
                const double flame = Smooth(0.0, 0.35, heat);
                return Mix(Color{0.9, 0.12, 0.0}, Color{1.0, 0.8, 0.3}, Smooth(0.2, 0.6, heat)) * (flame * 0.9);
            });
            break;
        case 9: {  // electric arcs from a glowing orb
            const double cx = w * 0.5, cy = h * 0.45;
            Glow(c, cx, cy, 60 * s, Color{0.7, 0.5, 1.0}, 0.8);
            Ring(c, cx, cy, 180 * s, 4 * s, Color{0.6, 0.5, 1.0}, 0.3);
            for (int i = 0; i < 9; ++i) {
                const double a = 2 * kPi * i / 9 + rng.Range(-0.2, 0.2);
                const double r = rng.Range(0.3, 0.55) * h;
                Bolt(c, cx, cy, cx + std::cos(a) * r * 1.4, cy + std::sin(a) * r, 1.3 * s, 0.8,
                     Color{0.6, 0.4, 1.0}, rng, 1);
            }
            break;
        }
        case 10:  // a kaleidoscope
            c.AddField([&](int x, int y) {
                const double dx = (x - w * 0.5) / h, dy = (y - h * 0.5) / h;
                const double r = std::hypot(dx, dy);
                double a = std::fmod(std::atan2(dy, dx) + 2 * kPi, kPi / 4);
                if (a > kPi / 8) a = kPi / 4 - a;
                const double px = r * std::cos(a) * 4, py = r * std::sin(a) * 4;
                const double pattern = std::pow(Ridged(px, py, 4, 110), 3.0);
                return Hsv(r * 1.5 + 0.1, 0.75, 1.0) * (pattern * Smooth(0.65, 0.05, r) * 0.85);
            });
            break;
    }
}

void Dream(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    switch (n) {
        case 1:  // pastel bokeh in pink and lilac
            for (int i = 0; i < 70; ++i)
                Bokeh(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(15, 70) * s,
                      Hsv(rng.Range(0.78, 0.98), 0.45, 1.0), rng.Range(0.15, 0.4), 0.35);
            break;
        case 2:  // ethereal glow from above
            Glow(c, w * 0.45, h * 0.3, w * 0.22, Color{1.0, 0.8, 0.92}, 0.6, 0.04);
            for (int i = 0; i < 40; ++i)
                Glow(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(20, 60) * s, Color{1.0, 0.85, 0.95}, 0.15);
            break;
        case 3:  // a few large, colourful discs
            for (int i = 0; i < 12; ++i)
                Bokeh(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(70, 170) * s, Hsv(rng.Uniform(), 0.5, 1.0),
                      rng.Range(0.12, 0.25), 0.5);
            break;
        case 4:  // floating hearts
            for (int i = 0; i < 26; ++i)
                Heart(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(18, 60) * s, Hsv(rng.Range(0.9, 1.02), 0.5, 1.0),
                      rng.Range(0.25, 0.5));
            break;
        case 5:  // lavender mist drifting in bands
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double band = Smooth(-0.1, 0.6, Fbm(u * 2, v * 7, 5, 85));
                return Color{0.75, 0.6, 1.0} * (band * 0.8);
            });
            break;
        case 6:  // a soft, bright frame of pastel light
            c.AddField([&](int x, int y) {
                const double dx = (x / w - 0.5) * 2, dy = (y / h - 0.5) * 2;
                const double edge = Smooth(0.55, 1.35, std::sqrt(dx * dx * 0.8 + dy * dy));
                return Hsv(0.85 + 0.15 * dx, 0.35, 1.0) * (edge * 0.75);
            });
            break;
        case 7:  // soap bubbles
            for (int i = 0; i < 34; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, r = rng.Range(20, 90) * s;
                const Color film = Hsv(rng.Uniform(), 0.4, 1.0);
                Bokeh(c, x, y, r, film, 0.06, 0.8);
                Ring(c, x, y, r, std::max(2.5 * s, r * 0.07), film, 0.55);
                Glow(c, x - r * 0.45, y - r * 0.45, r * 0.14, kWhite, 0.7);
            }
            break;
        case 8:  // golden six-bladed bokeh
            for (int i = 0; i < 45; ++i)
                Bokeh(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(18, 55) * s, Mix(kGold, kWhite, rng.Uniform() * 0.4),
                      rng.Range(0.2, 0.45), 0.4, 6, 0.3);
            break;
        case 9:  // pastel sunbeams from the top right
            RayFan(c, w * 1.05, -h * 0.1, w * 0.8, 7, 2.0, Color{1.0, 0.75, 0.85}, 0.9, 89);
            break;
        case 10:  // fireflies
            for (int i = 0; i < 120; ++i) {
                const double x = rng.Uniform() * w, y = h * (0.35 + 0.65 * rng.Uniform());
                Glow(c, x, y, rng.Range(20, 40) * s, Color{0.8, 1.0, 0.4}, 0.3);
                Glow(c, x, y, rng.Range(4, 8) * s, Color{0.95, 1.0, 0.7}, 1.2);
            }
            break;
    }
}

void Whether(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    switch (n) {
        case 1:  // light rain
            // Thin streaks, few and short, but bright enough at their lower
            // end to catch the light.
            for (int i = 0; i < 2200; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, len = rng.Range(25, 60) * s;
                Segment(c, x, y, x - len * 0.08, y + len, 1.5 * s, Color{0.8, 0.85, 0.95}, 0.1, 0.6);
            }
            break;
        case 2:  // driving rain with a wet haze below
            for (int i = 0; i < 3500; ++i) {
                const double x = rng.Uniform() * w * 1.2, y = rng.Uniform() * h, len = rng.Range(60, 130) * s;
                Segment(c, x, y, x - len * 0.35, y + len, 1.0 * s, Color{0.85, 0.9, 1.0}, 0.0, 0.35);
            }
            c.AddField([&](int, int y) { return Color{0.7, 0.75, 0.85} * (0.3 * Smooth(0.5, 1.0, y / h)); });
            break;
        case 3:  // snowfall, flakes nearer are bigger and softer
            for (int i = 0; i < 1400; ++i) {
                const double depth = std::pow(rng.Uniform(), 2.0);
                Bokeh(c, rng.Uniform() * w, rng.Uniform() * h, (2 + 12 * depth) * s, kWhite, 0.85 - 0.35 * depth, 0.0,
                      0, 0.0, 0.3 + 0.5 * depth);
            }
            break;
        case 4:  // blizzard: streaking snow in white haze
            c.AddField([&](int x, int y) {
                return Color{0.85, 0.9, 1.0} * (0.35 * Smooth(-0.4, 0.8, Fbm(x / w * 3, y / h * 3, 4, 94)));
            });
            for (int i = 0; i < 2500; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, len = rng.Range(8, 30) * s;
                Segment(c, x, y, x + len, y + len * 0.4, 2.0 * s, kWhite, 0.6, 0.2);
            }
            break;
        case 5:  // fog lying low
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double fog = Smooth(0.3, 0.95, v + 0.25 * Fbm(u * 3, v * 5, 5, 95));
                return Color{0.85, 0.88, 0.92} * (fog * 0.85);
            });
            break;
        case 6: {  // lightning
            c.AddField([&](int x, int y) {
                return Color{0.5, 0.45, 0.9} * (0.25 * std::exp(-std::hypot(x - w * 0.55, y) / (h * 0.5)));
            });
            Bolt(c, w * 0.55, 0, w * 0.42, h * 0.95, 2.0 * s, 1.0, Color{0.6, 0.5, 1.0}, rng, 2);
            Bolt(c, w * 0.58, 0, w * 0.78, h * 0.5, 1.2 * s, 0.7, Color{0.6, 0.5, 1.0}, rng, 1);
            break;
        }
        case 7:  // sun rays breaking through clouds
            RayFan(c, w * 0.6, -h * 0.05, h * 0.9, 12, 4.0, Color{1.0, 0.92, 0.7}, 0.8, 97);
            Glow(c, w * 0.6, -h * 0.05, w * 0.15, kWarm, 0.6);
            break;
        case 8:  // a rainbow in drizzle
            c.AddField([&](int x, int y) {
                const double r = std::hypot(x - w * 0.3, y - h * 1.3) / h;
                const double t = (r - 1.0) / 0.14;
                if (t <= 0 || t >= 1) return Color{};
                return Hsv(0.8 * t, 0.8, 1.0) * (0.45 * std::sin(t * kPi) * Smooth(1.0, 0.3, y / h));
            });
            for (int i = 0; i < 1200; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, len = rng.Range(10, 25) * s;
                Segment(c, x, y, x, y + len, 0.8 * s, kWhite, 0.05, 0.3);
            }
            break;
        case 9:  // morning mist at the horizon with a pale sun
            c.AddField([&](int x, int y) {
                const double v = y / h, band = (v - 0.55) / 0.15;
                return Color{1.0, 0.95, 0.9} * (0.85 * std::exp(-band * band) * (0.6 + 0.5 * Fbm(x / w * 4, v * 8, 4, 99)));
            });
            Glow(c, w * 0.3, h * 0.35, 30 * s, Color{1.0, 0.95, 0.85}, 0.9);
            Glow(c, w * 0.3, h * 0.35, 200 * s, kWarm, 0.25);
            break;
        case 10:  // frost creeping in from the corners
            for (int i = 0; i < 60; ++i) {
                const int corner = i % 4;
                double x = corner % 2 ? w : 0, y = corner / 2 ? h : 0;
                double a = std::atan2(h / 2 - y, w / 2 - x) + rng.Range(-0.7, 0.7);
                double len = rng.Range(20, 60) * s;
                for (int k = 0; k < 10; ++k) {
                    const double nx = x + std::cos(a) * len, ny = y + std::sin(a) * len;
                    Segment(c, x, y, nx, ny, 2.5 * s, kIce, 1.0 - k * 0.08, 0.9 - k * 0.08);
                    for (int side = -1; side <= 1; side += 2) {
                        const double b = a + side * 1.0;
                        Segment(c, nx, ny, nx + std::cos(b) * len * 0.5, ny + std::sin(b) * len * 0.5, 1.8 * s, kIce,
                                0.7 - k * 0.05, 0.1);
                    }
                    x = nx, y = ny, a += rng.Range(-0.35, 0.35), len *= 0.9;
                }
            }
            c.AddField([&](int x, int y) {
                const double dx = (x / w - 0.5) * 2, dy = (y / h - 0.5) * 2;
                return kIce * (0.6 * Smooth(0.9, 1.45, std::sqrt(dx * dx + dy * dy)));
            });
            break;
    }
}

void Water(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    switch (n) {
        case 1:  // caustics, as on the floor of a pool
            c.AddField([&](int x, int y) {
                const double u = x / h * 7 + 0.3 * Fbm(x / h * 2, y / h * 2, 3, 131), v = y / h * 7;
                const Voronoi cell = VoronoiAt(u, v, 132);
                const double line = std::exp(-(cell.f2 - cell.f1) * 22) * (0.5 + 0.5 * Fbm(u * 0.5, v * 0.5, 3, 133));
                return Color{0.5, 0.9, 1.0} * (line * 1.1);
            });
            break;
        case 2:  // ripples from one drop
            for (int k = 0; k < 9; ++k)
                EllipseRing(c, w * 0.5, h * 0.66, (40 + 90 * k) * s, (40 + 90 * k) * s * 0.4, (8 + 2.2 * k) * s, kIce,
                            1.0 * std::exp(-k * 0.2));
            break;
        case 3:  // ripples from several drops
            for (int d = 0; d < 5; ++d) {
                const double x = rng.Range(0.15, 0.85) * w, y = rng.Range(0.5, 0.9) * h;
                for (int k = 0; k < 5; ++k)
                    EllipseRing(c, x, y, (30 + 60 * k) * s, (30 + 60 * k) * s * 0.35, (7 + 1.5 * k) * s, kIce,
                                1.0 * std::exp(-k * 0.25));
            }
            break;
        case 4:  // drops on a window pane
            // Each drop: a faint lens body, a rim that catches the light, a
            // highlight at the top left and the bright caustic below.
            for (int i = 0; i < 240; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, r = rng.Range(8, 32) * s;
                Bokeh(c, x, y, r * 0.85, kIce, 0.1, 0.6);
                Ring(c, x, y, r * 0.8, r * 0.14, kIce, 0.45);
                Glow(c, x - r * 0.3, y - r * 0.35, r * 0.2, kWhite, 1.0);
                Glow(c, x + r * 0.3, y + r * 0.4, r * 0.25, kIce, 0.35);
            }
            break;
        case 5:  // light dancing on waves: crests crowd together towards the horizon
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                if (v < 0.4) return Color{};
                const double phase = std::sqrt(v - 0.4) * 150 + 5 * Fbm(u * 3, v * 4, 4, 135);
                const double crest = std::pow(Clamp01(std::sin(phase)), 6.0);
                const double broken = Smooth(-0.1, 0.5, Noise(u * 14, phase * 0.25, 136));
                return kIce * (crest * broken * Smooth(0.4, 0.55, v) * 0.9);
            });
            break;
        case 6:  // underwater light shafts and bubbles
            RayFan(c, w * 0.5, -h * 0.25, h * 1.3, 14, 3.0, Color{0.5, 0.9, 1.0}, 0.95, 137);
            for (int i = 0; i < 110; ++i) {
                const double x = rng.Uniform() * w, y = rng.Uniform() * h, r = rng.Range(4, 14) * s;
                Ring(c, x, y, r, 2.0 * s, Color{0.7, 0.95, 1.0}, 0.6);
                Glow(c, x - r * 0.4, y - r * 0.4, r * 0.3, kWhite, 0.8);
            }
            break;
        case 7:  // sun glitter on a lake
            for (int i = 0; i < 2500; ++i) {
                const double v = 0.5 + 0.5 * std::pow(rng.Uniform(), 0.7);
                const double spread = 0.05 + 0.25 * (v - 0.5);
                const double x = (0.6 + rng.Normal() * spread) * w, y = v * h;
                const double b = std::pow(rng.Uniform(), 3.0);
                if (b > 0.6)
                    Sparkle(c, x, y, (10 + 30 * b) * s, Color{1.0, 0.95, 0.8}, 0.8, 4, 0.0, 0.7);
                else
                    Glow(c, x, y, (1 + 2 * v) * s, Color{1.0, 0.9, 0.7}, 0.4 + b);
            }
            break;
        case 8:  // rain on a pond
            for (int i = 0; i < 110; ++i) {
                const double v = rng.Range(0.45, 1.0);
                const double r = (6 + 40 * (v - 0.45)) * s * rng.Range(0.7, 1.5);
                const double x = rng.Uniform() * w;
                EllipseRing(c, x, v * h, r * 1.5, r * 1.5 * (0.25 + 0.2 * v), 4.5 * s, kIce, 1.0);
                EllipseRing(c, x, v * h, r * 0.75, r * 0.75 * (0.25 + 0.2 * v), 3.5 * s, kIce, 0.8);
            }
            break;
        case 9:  // bubbles rising
            // A column of bubbles, growing as they rise; each a clear body
            // with a bright rim and a highlight.
            for (int i = 0; i < 170; ++i) {
                const double t = rng.Uniform();
                const double x = w * (0.5 + 0.15 * std::sin(t * 9) + rng.Normal() * 0.07 * (1 - t));
                const double y = h * (1.05 - t * 1.1), r = (6 + 28 * t) * s * rng.Range(0.6, 1.2);
                Bokeh(c, x, y, r, Color{0.7, 0.95, 1.0}, 0.08, 0.7);
                Ring(c, x, y, r, std::max(2.0 * s, r * 0.13), Color{0.7, 0.95, 1.0}, 0.7);
                Glow(c, x - r * 0.4, y - r * 0.4, r * 0.25, kWhite, 0.9);
            }
            break;
        case 10:  // wet glass: drops that ran down
            // Drops that ran down, each with the wet trail it left, among a
            // mist of fine droplets.
            for (int i = 0; i < 80; ++i) {
                const double x = rng.Uniform() * w, y = rng.Range(0.2, 1.0) * h, r = rng.Range(8, 22) * s;
                const double trail = rng.Range(100, 450) * s;
                Segment(c, x, y - trail, x + rng.Range(-8, 8) * s, y, r * 0.35, kIce, 0.12, 0.45);
                Ring(c, x, y, r, r * 0.18, kIce, 0.5);
                Glow(c, x - r * 0.3, y - r * 0.3, r * 0.3, kWhite, 1.0);
            }
            for (int i = 0; i < 900; ++i)
                Glow(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(2, 4.5) * s, kWhite, 0.6);
            break;
    }
}

void LightB(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height();
    const auto leak = [&](double cx, double cy, double radius, Color colour, double intensity, std::uint32_t seed) {
        c.AddField([&](int x, int y) {
            const double d = std::hypot(x - cx, y - cy) / radius;
            const double shape = 0.75 + 0.35 * Fbm(x / w * 3, y / h * 3, 4, seed);
            return colour * (intensity * std::exp(-d * d / (shape * shape)));
        });
    };
    switch (n) {
        case 1: leak(-w * 0.05, h * 0.4, w * 0.35, Color{1.0, 0.25, 0.05}, 0.9, 141); break;
        case 2: leak(w * 0.5, -h * 0.15, w * 0.45, Color{0.35, 0.2, 1.0}, 0.85, 142); break;
        case 3: leak(w * 1.05, h * 1.05, w * 0.45, Color{0.6, 1.0, 0.15}, 0.75, 143); break;
        case 4:
            leak(-w * 0.02, -h * 0.02, w * 0.3, Color{1.0, 0.2, 0.55}, 0.85, 144);
            leak(w * 1.02, h * 1.02, w * 0.3, Color{1.0, 0.85, 0.1}, 0.75, 145);
            break;
        case 5:  // a band of rainbow across the top
            c.AddField([&](int x, int y) {
                return Hsv(x / w * 0.85, 0.8, 1.0) * (0.75 * Smooth(0.4, 0.0, y / h + 0.1 * Fbm(x / w * 3, 0.5, 3, 146)));
            });
            break;
        case 6:  // burnt film edges
            c.AddField([&](int x, int y) {
                const double u = x / w, v = y / h;
                const double edge = std::min(std::min(u, 1 - u), std::min(v, 1 - v) * 1.2);
                const double burn = Smooth(0.12, 0.0, edge + 0.05 * Fbm(u * 8, v * 8, 4, 147));
                return Mix(Color{0.9, 0.2, 0.0}, Color{1.0, 0.8, 0.35}, burn) * burn;
            });
            break;
        case 7:  // a prism streak across the picture
            c.AddField([&](int x, int y) {
                const double d = (y / h - 0.8 + x / w * 0.6) / 0.1;
                if (d < -1.5 || d > 1.5) return Color{};
                return Hsv(0.5 + d * 0.3, 0.85, 1.0) * (0.7 * std::exp(-d * d * 1.2));
            });
            break;
        case 8:  // a warm sunrise glow from below
            leak(w * 0.5, h * 1.2, w * 0.55, Color{1.0, 0.45, 0.12}, 0.9, 148);
            break;
        case 9:
            leak(-w * 0.1, h * 0.5, w * 0.4, Color{0.0, 0.85, 1.0}, 0.7, 149);
            leak(w * 1.1, h * 0.5, w * 0.4, Color{1.0, 0.1, 0.8}, 0.7, 150);
            break;
        case 10:  // blotchy leaks of several colours
            for (int i = 0; i < 5; ++i) {
                const int edge = rng.Below(4);
                const double t = rng.Uniform();
                const double cx = edge == 0 ? 0 : edge == 1 ? w : t * w, cy = edge < 2 ? t * h : (edge == 2 ? 0 : h);
                leak(cx, cy, w * rng.Range(0.12, 0.25), Hsv(rng.Uniform(), 0.85, 1.0), 0.8,
                     static_cast<std::uint32_t>(151 + i));
            }
            break;
    }
}

void LightC(Canvas& c, int n, Rng& rng) {
    const double w = c.width(), h = c.height(), s = c.scale();
    switch (n) {
        case 1:  // city lights out of focus
            for (int i = 0; i < 220; ++i) {
                const Color col = Hsv(rng.Uniform() < 0.5 ? rng.Range(0.05, 0.14) : rng.Uniform(), 0.7, 1.0);
                Bokeh(c, rng.Uniform() * w, h * (0.3 + 0.7 * rng.Uniform()), rng.Range(8, 35) * s, col,
                      rng.Range(0.2, 0.5), 0.3);
            }
            break;
        case 2:  // strings of fairy lights
            // Each bulb: a warm halo round a small hot filament.
            for (int k = 0; k < 4; ++k) {
                const double y0 = h * (0.08 + 0.2 * k), sag = h * rng.Range(0.08, 0.16);
                for (int i = 0; i <= 36; ++i) {
                    const double t = i / 36.0;
                    const double x = t * w, y = y0 + sag * 4 * t * (1 - t) + std::sin(t * 20) * 4 * s;
                    const Color col = Hsv(0.1 + 0.05 * (i % 3), 0.5, 1.0);
                    Glow(c, x, y, 20 * s, col, 0.38);
                    Glow(c, x, y, 7 * s, Color{1.0, 0.95, 0.8}, 1.0);
                }
            }
            break;
        case 3:  // gold festive bokeh and sparkles
            for (int i = 0; i < 60; ++i)
                Bokeh(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(15, 50) * s, kGold, rng.Range(0.2, 0.45), 0.4);
            for (int i = 0; i < 30; ++i)
                Sparkle(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(15, 45) * s, kWhite, 0.8, 4, 0.0, 1.0);
            break;
        case 4:  // large hexagonal bokeh
            for (int i = 0; i < 25; ++i)
                Bokeh(c, rng.Uniform() * w, rng.Uniform() * h, rng.Range(40, 110) * s, Hsv(rng.Range(0.5, 0.75), 0.6, 1.0),
                      rng.Range(0.12, 0.3), 0.45, 6, 0.0);
            break;
        case 5:  // a lens halo round the middle
            c.AddField([&](int x, int y) {
                const double r = std::hypot(x - w * 0.5, y - h * 0.5) / h;
                const double t = (r - 0.36) / 0.06;
                if (t < -2 || t > 2) return Color{};
                return Hsv(0.8 * Clamp01(t * 0.5 + 0.5), 0.7, 1.0) * (0.5 * std::exp(-t * t));
            });
            Glow(c, w * 0.5, h * 0.5, 25 * s, kWhite, 0.8);
            break;
        case 6:  // car light trails along the bottom
            for (int k = 0; k < 10; ++k) {
                const bool red = k % 2;
                const double y0 = h * rng.Range(0.7, 0.95), bend = h * rng.Range(-0.08, 0.04);
                const std::vector<std::pair<double, double>> path = {
                    {-w * 0.2, y0}, {0, y0}, {w * 0.5, y0 + bend}, {w, y0 - bend * 0.5}, {w * 1.2, y0}};
                const Color col = red ? Color{1.0, 0.12, 0.05} : Color{1.0, 0.9, 0.7};
                Ribbon(c, path, 2.5 * s, [&](double) { return col; }, 0.6);
            }
            break;
        case 7:  // neon grid floor under a glowing horizon
            c.AddField([&](int x, int y) {
                const double v = y / h;
                const double horizon = 0.62;
                Color col = Color{1.0, 0.2, 0.8} * (0.5 * std::exp(-std::pow((v - horizon) / 0.015, 2)));
                if (v > horizon) {
                    const double depth = (v - horizon) / (1 - horizon);
                    const double gx = (x / w - 0.5) / (depth + 0.02) * 3;
                    const double gz = 1.0 / (depth + 0.02);
                    const double lx = std::fabs(gx - std::nearbyint(gx)), lz = std::fabs(gz - std::nearbyint(gz));
                    const double width = 0.03 + 0.02 * depth;
                    const double line = std::max(std::exp(-std::pow(lx / width, 2)), std::exp(-std::pow(lz * depth / 0.02, 2)));
                    col = col + Color{0.9, 0.2, 1.0} * (line * 0.8 * Smooth(0.0, 0.15, depth));
                }
                return col;
            });
            Glow(c, w * 0.5, h * 0.5, h * 0.18, Color{1.0, 0.5, 0.3}, 0.35);
            break;
        case 8:  // laser beams fanning from one point
            for (int i = 0; i < 14; ++i) {
                const double a = -kPi / 2 + (i - 6.5) * 0.16;
                const double x1 = w * 0.5 + std::cos(a) * w * 1.5, y1 = h * 1.02 + std::sin(a) * w * 1.5;
                const Color col = i % 2 ? Color{0.2, 1.0, 0.3} : Color{1.0, 0.1, 0.2};
                Segment(c, w * 0.5, h * 1.02, x1, y1, 2.0 * s, col, 0.8, 0.15);
                Segment(c, w * 0.5, h * 1.02, x1, y1, 10 * s, col, 0.15, 0.0);
            }
            break;
        case 9:  // coloured stage lights from above
            for (int i = 0; i < 5; ++i)
                Beam(c, w * (0.1 + 0.2 * i), -h * 0.02, kPi / 2 + (2 - i) * 0.18, 0.1, h * 1.1, Hsv(0.15 * i + 0.55, 0.8, 1.0),
                     0.5);
            break;
        case 10:  // a zoom burst of light streaks
            c.AddField([&](int x, int y) {
                const double dx = x - w * 0.5, dy = y - h * 0.5;
                const double r = std::hypot(dx, dy) / h, a = std::atan2(dy, dx);
                const double streak = std::pow(Clamp01(0.5 + 0.6 * Noise(std::cos(a) * 40, std::sin(a) * 40, 159)), 6.0);
                return Mix(kWarm, kWhite, streak) * (streak * Smooth(0.15, 0.6, r) * 0.8);
            });
            break;
    }
}

}  // namespace

Canvas PaintAdditive(int category, int number, int width, int height) {
    Canvas c(width, height);
    Rng rng(static_cast<std::uint64_t>(category) * 1000 + static_cast<std::uint64_t>(number));
    switch (category) {
        case 1: Preset(c, number, rng); break;
        case 5: LightA(c, number, rng); break;
        case 6: Star(c, number, rng); break;
        case 7: Amazing(c, number, rng); break;
        case 8: Dream(c, number, rng); break;
        case 9: Whether(c, number, rng); break;
        case 13: Water(c, number, rng); break;
        case 14: LightB(c, number, rng); break;
        case 15: LightC(c, number, rng); break;
        default: break;
    }
    return c;
}

}  // namespace maskgen
