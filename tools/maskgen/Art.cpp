#include "Art.h"

#include <array>

namespace maskgen {

Color Hsv(double hue, double saturation, double value) {
    hue = hue - std::floor(hue);
    const double h = hue * 6.0;
    const int sector = std::min(5, Floor(h));
    const double f = h - sector;
    const double p = value * (1 - saturation);
    const double q = value * (1 - saturation * f);
    const double t = value * (1 - saturation * (1 - f));
    switch (sector) {
        case 0: return {value, t, p};
        case 1: return {q, value, p};
        case 2: return {p, value, t};
        case 3: return {p, q, value};
        case 4: return {t, p, value};
        default: return {value, p, q};
    }
}

std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed) {
    std::uint32_t h = seed * 0x27D4EB2Du ^ static_cast<std::uint32_t>(x) * 0x85EBCA6Bu ^
                      static_cast<std::uint32_t>(y) * 0xC2B2AE35u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

namespace {

struct Gradients {
    std::array<double, 32> gx{}, gy{};
    Gradients() {
        for (int i = 0; i < 32; ++i) {
            gx[static_cast<std::size_t>(i)] = std::cos(2 * kPi * (i + 0.5) / 32);
            gy[static_cast<std::size_t>(i)] = std::sin(2 * kPi * (i + 0.5) / 32);
        }
    }
};
const Gradients kGradients;

inline double Corner(std::int32_t ix, std::int32_t iy, double dx, double dy, std::uint32_t seed) {
    const std::size_t g = Hash(ix, iy, seed) & 31u;
    return kGradients.gx[g] * dx + kGradients.gy[g] * dy;
}

inline double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

}  // namespace

double Noise(double x, double y, std::uint32_t seed) {
    const double fx = std::floor(x), fy = std::floor(y);
    const auto ix = static_cast<std::int32_t>(fx), iy = static_cast<std::int32_t>(fy);
    const double dx = x - fx, dy = y - fy;
    const double n00 = Corner(ix, iy, dx, dy, seed);
    const double n10 = Corner(ix + 1, iy, dx - 1, dy, seed);
    const double n01 = Corner(ix, iy + 1, dx, dy - 1, seed);
    const double n11 = Corner(ix + 1, iy + 1, dx - 1, dy - 1, seed);
    const double u = Fade(dx), v = Fade(dy);
    return 1.4 * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

double Fbm(double x, double y, int octaves, std::uint32_t seed, double gain) {
    double sum = 0, amplitude = 1, norm = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += amplitude * Noise(x, y, seed + static_cast<std::uint32_t>(o) * 7919u);
        norm += amplitude;
        amplitude *= gain;
        // Rotate a little between octaves so lattice lines never line up.
        const double nx = x * 1.6 - y * 1.2, ny = x * 1.2 + y * 1.6;
        x = nx + 17.3, y = ny + 4.7;
    }
    return sum / norm;
}

double Ridged(double x, double y, int octaves, std::uint32_t seed) {
    double sum = 0, amplitude = 1, norm = 0, weight = 1;
    for (int o = 0; o < octaves; ++o) {
        double n = 1 - std::fabs(Noise(x, y, seed + static_cast<std::uint32_t>(o) * 104729u));
        n *= n * weight;
        weight = Clamp01(n * 1.5);
        sum += amplitude * n;
        norm += amplitude;
        amplitude *= 0.5;
        const double nx = x * 1.6 - y * 1.2, ny = x * 1.2 + y * 1.6;
        x = nx + 31.1, y = ny + 9.2;
    }
    return sum / norm;
}

Voronoi VoronoiAt(double x, double y, std::uint32_t seed) {
    const int cx = Floor(x), cy = Floor(y);
    Voronoi v{1e9, 1e9, 0};
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i) {
            const std::uint32_t h = Hash(cx + i, cy + j, seed);
            const double px = cx + i + 0.1 + 0.8 * static_cast<double>(h & 0xFFFF) / 65535.0;
            const double py = cy + j + 0.1 + 0.8 * static_cast<double>(h >> 16) / 65535.0;
            const double d = std::hypot(px - x, py - y);
            if (d < v.f1) {
                v.f2 = v.f1;
                v.f1 = d;
                v.id = h;
            } else if (d < v.f2) {
                v.f2 = d;
            }
        }
    return v;
}

Canvas::Canvas(int width, int height, Color fill)
    : width_(width), height_(height), scale_(std::max(width, height) / 2000.0),
      px_(static_cast<std::size_t>(width) * height * 3) {
    for (std::size_t i = 0; i < px_.size(); i += 3)
        px_[i] = static_cast<float>(fill.r), px_[i + 1] = static_cast<float>(fill.g), px_[i + 2] = static_cast<float>(fill.b);
}

Color Canvas::Sample(double x, double y) const {
    x = std::clamp(x, 0.0, width_ - 1.001);
    y = std::clamp(y, 0.0, height_ - 1.001);
    const int x0 = Floor(x), y0 = Floor(y);
    const double fx = x - x0, fy = y - y0;
    const Color a = Mix(Get(x0, y0), Get(x0 + 1, y0), fx);
    const Color b = Mix(Get(x0, y0 + 1), Get(x0 + 1, y0 + 1), fx);
    return Mix(a, b, fy);
}

corvellin::Picture Canvas::ToPicture() const {
    corvellin::Picture picture(width_, height_);
    const auto byteOf = [](double v) { return static_cast<std::uint8_t>(std::nearbyint(Clamp01(v) * 255.0)); };
    for (int y = 0; y < height_; ++y) {
        std::uint8_t* row = picture.row(y);
        for (int x = 0; x < width_; ++x) {
            const float* p = At(x, y);
            row[3 * x] = byteOf(p[2]);
            row[3 * x + 1] = byteOf(p[1]);
            row[3 * x + 2] = byteOf(p[0]);
        }
    }
    return picture;
}

namespace {

// Calls f(x, y, dx, dy) for the pixels of the box around (cx, cy) that lie on the canvas.
template <typename F>
void ForBox(Canvas& c, double cx, double cy, double rx, double ry, F f) {
    const int x0 = std::max(0, Floor(cx - rx)), x1 = std::min(c.width() - 1, Floor(cx + rx) + 1);
    const int y0 = std::max(0, Floor(cy - ry)), y1 = std::min(c.height() - 1, Floor(cy + ry) + 1);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) f(x, y, x + 0.5 - cx, y + 0.5 - cy);
}

}  // namespace

void Glow(Canvas& c, double cx, double cy, double radius, Color colour, double intensity, double tail) {
    radius = std::max(radius, 0.5);
    const double reach = tail > 0 ? radius * std::sqrt(tail * 256) : radius * 2.6;
    const double inv = 1.0 / (radius * radius);
    ForBox(c, cx, cy, reach, reach, [&](int x, int y, double dx, double dy) {
        const double d2 = (dx * dx + dy * dy) * inv;
        double v = std::exp(-d2);
        if (tail > 0) v += tail / (1 + d2);
        c.Add(x, y, colour * (v * intensity));
    });
}

void Ring(Canvas& c, double cx, double cy, double radius, double width, Color colour, double intensity) {
    width = std::max(width, 0.7);
    const double reach = radius + width * 3;
    ForBox(c, cx, cy, reach, reach, [&](int x, int y, double dx, double dy) {
        const double d = (std::sqrt(dx * dx + dy * dy) - radius) / width;
        if (d > -3 && d < 3) c.Add(x, y, colour * (std::exp(-d * d) * intensity));
    });
}

void Bokeh(Canvas& c, double cx, double cy, double radius, Color colour, double intensity, double rim, int sides,
           double angle, double softness) {
    radius = std::max(radius, 1.0);
    softness = std::max(softness, 1.5 / radius);
    std::array<double, 12> nx{}, ny{};
    sides = std::min(sides, 12);
    for (int i = 0; i < sides; ++i) {
        const double a = angle + 2 * kPi * i / sides;
        nx[static_cast<std::size_t>(i)] = std::cos(a);
        ny[static_cast<std::size_t>(i)] = std::sin(a);
    }
    const double reach = radius * 1.25 + 2;
    ForBox(c, cx, cy, reach, reach, [&](int x, int y, double dx, double dy) {
        double d;
        if (sides < 3) {
            d = std::sqrt(dx * dx + dy * dy) / radius;
        } else {
            d = -1e9;
            for (int i = 0; i < sides; ++i)
                d = std::max(d, dx * nx[static_cast<std::size_t>(i)] + dy * ny[static_cast<std::size_t>(i)]);
            d /= radius;
        }
        if (d >= 1 + softness) return;
        const double body = 1 - Smooth(1 - softness, 1 + softness * 0.5, d);
        const double edge = Smooth(0.55, 1 - softness * 0.5, d);
        c.Add(x, y, colour * (body * ((1 - rim) + rim * 2.2 * edge) * intensity));
    });
}

void Sparkle(Canvas& c, double cx, double cy, double size, Color colour, double intensity, int rays, double angle,
             double rayWidth) {
    const double core = std::max(size * 0.07, 0.8);
    const double w = std::max(rayWidth * c.scale(), 0.6);
    std::array<double, 16> dxs{}, dys{};
    rays = std::min(rays, 16);
    for (int i = 0; i < rays; ++i) {
        const double a = angle + 2 * kPi * i / rays;
        dxs[static_cast<std::size_t>(i)] = std::cos(a);
        dys[static_cast<std::size_t>(i)] = std::sin(a);
    }
    const double invCore = 1.0 / (core * core);
    ForBox(c, cx, cy, size, size, [&](int x, int y, double dx, double dy) {
        const double d2 = dx * dx + dy * dy;
        double v = std::exp(-d2 * invCore) + 0.25 * std::exp(-d2 * invCore * 0.12);
        for (int i = 0; i < rays; ++i) {
            const double along = dx * dxs[static_cast<std::size_t>(i)] + dy * dys[static_cast<std::size_t>(i)];
            if (along <= 0 || along >= size) continue;
            const double perp = std::fabs(dx * dys[static_cast<std::size_t>(i)] - dy * dxs[static_cast<std::size_t>(i)]);
            const double fall = 1 - along / size;
            const double width = w * (0.4 + fall);
            if (perp > width * 3) continue;
            v += std::exp(-(perp * perp) / (width * width)) * fall * fall * fall;
        }
        c.Add(x, y, colour * (v * intensity));
    });
}

void Segment(Canvas& c, double x0, double y0, double x1, double y1, double width, Color colour, double i0,
             double i1) {
    width = std::max(width, 0.6);
    const double vx = x1 - x0, vy = y1 - y0;
    const double len2 = std::max(vx * vx + vy * vy, 1e-9);
    const double reach = width * 3;
    const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
    ForBox(c, cx, cy, std::fabs(vx) / 2 + reach, std::fabs(vy) / 2 + reach, [&](int x, int y, double, double) {
        const double px = x + 0.5 - x0, py = y + 0.5 - y0;
        const double t = Clamp01((px * vx + py * vy) / len2);
        const double ex = px - t * vx, ey = py - t * vy;
        const double d2 = (ex * ex + ey * ey) / (width * width);
        if (d2 < 9) c.Add(x, y, colour * (std::exp(-d2) * Lerp(i0, i1, t)));
    });
}

void Heart(Canvas& c, double cx, double cy, double size, Color colour, double intensity) {
    ForBox(c, cx, cy, size * 1.3, size * 1.3, [&](int x, int y, double dx, double dy) {
        const double u = dx / size * 1.15, v = -dy / size * 1.15 + 0.15;
        const double a = u * u + v * v - 1;
        const double f = a * a * a - u * u * v * v * v;
        if (f < 0.08) c.Add(x, y, colour * (Smooth(-0.08, 0.0, -f) * (0.75 + 0.5 * Smooth(-0.5, -0.05, f)) * intensity));
    });
}

}  // namespace maskgen
