#include "Photo.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "picture/FileIO.h"
#include "picture/JpegCodec.h"

namespace corvellin::report {
namespace {

// A small hash for repeatable grain: the same pixel always gets the same value.
std::uint32_t Hash(std::uint32_t x, std::uint32_t y) {
    std::uint32_t h = x * 0x9E3779B1u ^ (y + 0x7F4A7C15u) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    return h;
}

std::uint8_t Clamp(double v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0, 255.0)); }

struct Building {
    int left, right, top;
    double shade;
};

}  // namespace

Picture PaintPhoto(int width, int height) {
    Picture p(width, height);
    const double w = width, h = height;
    // The skyline of hills: two octaves of sines, precomputed per column.
    std::vector<double> hill(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        hill[static_cast<std::size_t>(x)] =
            h * (0.55 + 0.06 * std::sin(x / w * 7.1) + 0.025 * std::sin(x / w * 31.0 + 1.3));
    // A row of buildings with hard vertical and horizontal edges.
    std::vector<Building> buildings;
    std::uint32_t state = 12345;
    for (int x = width / 20; x < width * 9 / 20;) {
        state = state * 1664525u + 1013904223u;
        const int bw = width / 60 + static_cast<int>(state >> 24) * width / 6000;
        const int top = static_cast<int>(h * 0.38) + static_cast<int>((state >> 8) & 0x3FF) * height / 4000;
        buildings.push_back({x, std::min(x + bw, width), top, 0.35 + ((state >> 4) & 0xFF) / 600.0});
        x += bw + width / 300;
    }
    // Which building (if any) stands in each column: they never overlap.
    std::vector<int> buildingAt(static_cast<std::size_t>(width), -1);
    for (std::size_t i = 0; i < buildings.size(); ++i)
        for (int x = buildings[i].left; x < buildings[i].right; ++x) buildingAt[static_cast<std::size_t>(x)] = static_cast<int>(i);
    const double sunX = w * 0.72, sunY = h * 0.22, sunR = h * 0.06;
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = p.row(y);
        const double fy = y / h;
        for (int x = 0; x < width; ++x) {
            double r, g, b;
            const double fx = x / w;
            const double grain = static_cast<double>(Hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y)) & 0xFF) / 255.0 - 0.5;
            if (y < hill[static_cast<std::size_t>(x)]) {
                // Sky: deep blue at the top to a warm haze at the horizon, a sun with a glow.
                r = 40 + 190 * fy * fy;
                g = 90 + 120 * fy;
                b = 200 + 40 * fy;
                const double d = std::hypot(x - sunX, y - sunY);
                const double glow = std::exp(-d / (sunR * 3));
                r += 120 * glow;
                g += 100 * glow;
                b += 40 * glow;
                if (d < sunR) r = 255, g = 245, b = 210;
                r += grain * 3;
                g += grain * 3;
                b += grain * 3;
            } else {
                // Ground: green fields darkening towards the viewer, with grass texture.
                const double depth = (y - hill[static_cast<std::size_t>(x)]) / (h - hill[static_cast<std::size_t>(x)] + 1);
                const double stripes = 0.5 + 0.5 * std::sin(fx * 180.0 + std::sin(fy * 40.0) * 3.0);
                r = 70 + 60 * (1 - depth) + 25 * stripes;
                g = 120 + 70 * (1 - depth) + 20 * stripes;
                b = 40 + 20 * (1 - depth);
                r += grain * 40;
                g += grain * 50;
                b += grain * 20;
            }
            if (const int index = buildingAt[static_cast<std::size_t>(x)]; index >= 0) {
                const Building& bd = buildings[static_cast<std::size_t>(index)];
                if (y >= bd.top && y < hill[static_cast<std::size_t>(x)] + h * 0.04) {
                    // Walls with a lit and a shaded side and a grid of windows.
                    const double side = (x - bd.left) < (bd.right - bd.left) / 3 ? 1.15 : 0.9;
                    r = 170 * bd.shade * side;
                    g = 160 * bd.shade * side;
                    b = 150 * bd.shade * side;
                    const bool window = ((x - bd.left) % 24 < 12) && ((y - bd.top) % 36 < 18) && y > bd.top + 20;
                    if (window) r = 240, g = 220, b = 150;
                    r += grain * 10;
                    g += grain * 10;
                    b += grain * 10;
                }
            }
            row[3 * x] = Clamp(b);
            row[3 * x + 1] = Clamp(g);
            row[3 * x + 2] = Clamp(r);
        }
    }
    return p;
}

void WritePhotoJpeg(const std::string& path) {
    WriteFileAtomically(path, EncodeJpeg(PaintPhoto(kPhotoWidth, kPhotoHeight), 90));
}

}  // namespace corvellin::report
