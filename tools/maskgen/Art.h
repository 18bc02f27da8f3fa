// Painting toolkit of the mask generator: a seeded random generator, gradient
// noise, a floating-point canvas and a few soft, anti-aliased primitives. Every
// picture is painted from a seed alone, so the same program always paints the
// same bytes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "picture/Picture.h"

namespace maskgen {

inline constexpr double kPi = 3.14159265358979323846;

// SplitMix64: small, fast and fully determined by its seed.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ULL + 0x632BE59BD9B4E019ULL) {}
    std::uint64_t Next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Range(double low, double high) { return low + (high - low) * Uniform(); }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
    // Approximately normal (sum of four uniforms), mean 0, deviation 1.
    double Normal() { return (Uniform() + Uniform() + Uniform() + Uniform() - 2.0) * 1.7320508; }

private:
    std::uint64_t state_;
};

struct Color {
    double r = 0, g = 0, b = 0;
};
inline Color operator*(Color c, double k) { return {c.r * k, c.g * k, c.b * k}; }
inline Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Color Mix(Color a, Color b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
// Hue 0..1 around the colour wheel, saturation and value 0..1.
Color Hsv(double hue, double saturation, double value);

inline double Clamp01(double v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline double Smooth(double edge0, double edge1, double v) {
    const double t = Clamp01((v - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}
inline double Lerp(double a, double b, double t) { return a + (b - a) * t; }
inline int Floor(double v) { return static_cast<int>(std::floor(v)); }

// Gradient noise in about -1..1, one independent field per seed.
double Noise(double x, double y, std::uint32_t seed);
// Fractal sum of octaves of Noise, normalised to about -1..1.
double Fbm(double x, double y, int octaves, std::uint32_t seed, double gain = 0.5);
// Ridged fractal noise in 0..1: sharp crests where the noise crosses zero.
double Ridged(double x, double y, int octaves, std::uint32_t seed);
// Distances to the nearest and second-nearest feature point of a jittered grid
// (cell size 1), and an id of the nearest cell.
struct Voronoi {
    double f1, f2;
    std::uint32_t id;
};
Voronoi VoronoiAt(double x, double y, std::uint32_t seed);
std::uint32_t Hash(std::int32_t x, std::int32_t y, std::uint32_t seed);

// A floating-point RGB canvas (0 = black, 1 = white; values may exceed 1
// while painting and are clamped when converted).
class Canvas {
public:
    Canvas(int width, int height, Color fill = {});
    int width() const { return width_; }
    int height() const { return height_; }
    double scale() const { return scale_; }  // pixels per 1/2000 of the long side
    float* At(int x, int y) { return &px_[(static_cast<std::size_t>(y) * width_ + x) * 3]; }
    const float* At(int x, int y) const { return &px_[(static_cast<std::size_t>(y) * width_ + x) * 3]; }
    Color Get(int x, int y) const {
        const float* p = At(x, y);
        return {p[0], p[1], p[2]};
    }
    void Set(int x, int y, Color c) {
        float* p = At(x, y);
        p[0] = static_cast<float>(c.r), p[1] = static_cast<float>(c.g), p[2] = static_cast<float>(c.b);
    }
    void Add(int x, int y, Color c) {
        float* p = At(x, y);
        p[0] = static_cast<float>(p[0] + c.r), p[1] = static_cast<float>(p[1] + c.g), p[2] = static_cast<float>(p[2] + c.b);
    }
    // Bilinear sample with clamped coordinates.
    Color Sample(double x, double y) const;
    // Every pixel: f(x, y) returns a colour added to it.
    template <typename F>
    void AddField(F f) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) Add(x, y, f(x, y));
    }
    // Every pixel: f(x, y, colour) returns its new colour.
    template <typename F>
    void Map(F f) {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) Set(x, y, f(x, y, Get(x, y)));
    }
    // Clamps to 0..1 and rounds to 8-bit B, G, R.
    corvellin::Picture ToPicture() const;

private:
    int width_, height_;
    double scale_;
    std::vector<float> px_;
};

// Soft primitives, all added to the canvas. Coordinates and sizes in pixels.
// Gaussian glow: intensity * exp(-(d / radius)^2), plus a long faint tail.
void Glow(Canvas& c, double cx, double cy, double radius, Color colour, double intensity, double tail = 0.0);
// Soft ring of the given radius and line width.
void Ring(Canvas& c, double cx, double cy, double radius, double width, Color colour, double intensity);
// Bokeh disc: flat body, soft edge, brighter rim. sides = 0 for a circle,
// else a regular polygon (aperture blades) turned by angle.
void Bokeh(Canvas& c, double cx, double cy, double radius, Color colour, double intensity, double rim = 0.4,
           int sides = 0, double angle = 0.0, double softness = 0.12);
// Star sparkle: a bright core and `rays` thin rays fading outwards.
void Sparkle(Canvas& c, double cx, double cy, double size, Color colour, double intensity, int rays = 4,
             double angle = 0.0, double rayWidth = 1.0);
// Soft line segment; intensity runs from i0 at the start to i1 at the end.
void Segment(Canvas& c, double x0, double y0, double x1, double y1, double width, Color colour, double i0,
             double i1);
// Heart-shaped soft blob of the given size.
void Heart(Canvas& c, double cx, double cy, double size, Color colour, double intensity);

}  // namespace maskgen
