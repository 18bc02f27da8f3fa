// Edge masks (white keeps the picture, black takes the chosen colour, grey
// mixes) and Frame pictures with their masks (white shows the frame, black
// the photo, grey a soft shadow).
#include "Paintings.h"

namespace maskgen {

namespace {

Color Grey(double v) { return {v, v, v}; }

// Signed distance to a rounded rectangle centred at (cx, cy): negative inside.
double RoundedRect(double x, double y, double cx, double cy, double halfW, double halfH, double radius) {
    const double qx = std::fabs(x - cx) - halfW + radius, qy = std::fabs(y - cy) - halfH + radius;
    return std::hypot(std::max(qx, 0.0), std::max(qy, 0.0)) + std::min(std::max(qx, qy), 0.0) - radius;
}

// Coverage of the inside of a signed distance, anti-aliased over `soft` pixels.
double Inside(double distance, double soft) { return Clamp01(0.5 - distance / std::max(soft, 1.0)); }

void PaintEdge(Canvas& c, int number) {
    const double w = c.width(), h = c.height(), s = c.scale();
    Rng rng(11000 + static_cast<std::uint64_t>(number));
    c.Map([&](int xi, int yi, Color) -> Color {
        const double x = xi + 0.5, y = yi + 0.5, u = x / w, v = y / h;
        const double margin = 0.06 * h;
        const double rect = RoundedRect(x, y, w / 2, h / 2, w / 2 - margin, h / 2 - margin, 0);
        switch (number) {
            case 1: {  // soft oval vignette
                const double d = std::hypot((u - 0.5) / 0.5, (v - 0.5) / 0.5);
                return Grey(1 - Smooth(0.62, 1.0, d));
            }
            case 2:  // rounded rectangle
                return Grey(Inside(RoundedRect(x, y, w / 2, h / 2, w / 2 - margin, h / 2 - margin, 0.1 * h), 2 * s));
            case 3: {  // torn paper with a fibrous, lighter rim
                const double tear = 0.03 * h * Fbm(u * 12 + v * 12, (u - v) * 5, 6, 1103);
                const double d = rect + tear - 0.02 * h;
                const double fibres = 0.5 + 0.5 * Fbm(u * 300, v * 300, 2, 1104);
                // Between the torn edge and the picture a fibrous rim mixes the two.
                const double outer = Inside(d, 1.5 * s), core = Inside(d + 0.012 * h * (0.6 + fibres), 1.5 * s);
                return Grey(core + (outer - core) * 0.55);
            }
            case 4: {  // brush strokes along the border
                const bool horizontalSide = std::min(y, h - y) < std::min(x, w - x) * h / w;
                const double along = horizontalSide ? u * 3 : v * 3;
                const double across = horizontalSide ? v : u;
                const double streak = Fbm(along * 2, across * 40, 5, 1105);
                const double d = rect - 0.07 * h * streak - 0.03 * h;
                return Grey(Smooth(0.03 * h, -0.03 * h, d) * (0.85 + 0.15 * Smooth(-0.5, 0.5, streak)) +
                            Smooth(-0.03 * h, -0.06 * h, d) * 0.15);
            }
            case 5: {  // wavy edge
                const double wave = 0.018 * h * (std::sin(u * 2 * kPi * 14) * (std::min(y, h - y) < std::min(x, w - x) ? 1 : 0) +
                                                  std::sin(v * 2 * kPi * 9) * (std::min(y, h - y) < std::min(x, w - x) ? 0 : 1));
                return Grey(Inside(rect + wave - 0.02 * h, 2 * s));
            }
            case 6: {  // perforated stamp edge
                const double pitch = 0.06 * h, radius = 0.02 * h;
                const double edgeIn = 0.07 * h;
                const double dStamp = RoundedRect(x, y, w / 2, h / 2, w / 2 - edgeIn, h / 2 - edgeIn, 0);
                // Holes sit centred on the stamp's outline.
                const double px = std::clamp(x, edgeIn, w - edgeIn), py = std::clamp(y, edgeIn, h - edgeIn);
                const bool onTop = std::fabs(dStamp) < pitch;
                double hole = 1e9;
                if (onTop) {
                    const double lx = (px - edgeIn) / pitch, ly = (py - edgeIn) / pitch;
                    const double nx = edgeIn + std::nearbyint(lx) * pitch, ny = edgeIn + std::nearbyint(ly) * pitch;
                    const double hx = (std::fabs(y - edgeIn) < pitch || std::fabs(y - (h - edgeIn)) < pitch) ? nx : px;
                    const double hy = (std::fabs(x - edgeIn) < pitch || std::fabs(x - (w - edgeIn)) < pitch) ? ny : py;
                    hole = std::min(std::hypot(x - hx, y - (y < h / 2 ? edgeIn : h - edgeIn)),
                                    std::hypot(x - (x < w / 2 ? edgeIn : w - edgeIn), y - hy));
                }
                const double paper = Inside(dStamp, 1.5 * s) * (1 - Inside(hole - radius, 1.5 * s));
                // A thin white paper rim around the picture, as on a stamp.
                const double inner = RoundedRect(x, y, w / 2, h / 2, w / 2 - edgeIn - 0.035 * h, h / 2 - edgeIn - 0.035 * h, 0);
                return Grey(paper * (0.92 + 0.08 * Inside(inner, 1.5 * s)));
            }
            case 7: {  // heart
                const double hx = (u - 0.5) * w / h * 2.3, hy = -(v - 0.52) * 2.3 + 0.15;
                const double a = hx * hx + hy * hy - 1;
                const double f = a * a * a - hx * hx * hy * hy * hy;
                return Grey(Smooth(0.02, -0.02, f));
            }
            case 8: {  // cloud
                double best = 1e9;
                const double blobs[][3] = {{0.5, 0.52, 0.3}, {0.3, 0.58, 0.22}, {0.7, 0.58, 0.22}, {0.38, 0.38, 0.2},
                                           {0.6, 0.36, 0.22}, {0.2, 0.66, 0.15}, {0.8, 0.66, 0.15}, {0.5, 0.7, 0.22}};
                for (const auto& b : blobs) best = std::min(best, std::hypot((u - b[0]) * w / h, v - b[1]) - b[2]);
                return Grey(Smooth(0.02, -0.02, best));
            }
            case 9: {  // spray paint: the paint thins out in speckles
                const double d = std::hypot((u - 0.5) / 0.44, (v - 0.5) / 0.42);
                const double density = Smooth(0.75, 1.05, d);
                const double speck = Clamp01(0.5 + 0.35 * Noise(x * 0.5 / s, y * 0.5 / s, 1109) +
                                             0.3 * Noise(x * 0.08 / s, y * 0.08 / s, 1110));
                return Grey(1 - Smooth(speck - 0.05, speck + 0.05, density));
            }
            case 10: {  // film strip: dark bands with sprocket holes above and below
                const double band = 0.12 * h;
                const double inBand = std::max(Inside(y - band, 1.5 * s), Inside(h - band - y, 1.5 * s));
                const double pitch = 0.075 * h;
                const double hx = x - (std::floor(x / pitch) + 0.5) * pitch;
                const double hy = y < h / 2 ? y - band / 2 : y - (h - band / 2);
                const double hole = Inside(RoundedRect(hx, hy, 0, 0, pitch * 0.28, band * 0.2, band * 0.06), 1.5 * s);
                return Grey(1 - inBand * (1 - hole));
            }
        }
        return Grey(1);
    });
    (void)rng;
}

// Where a pixel lies in a rectangular frame of border width b: its distance
// from the outer edge, which side it is on, and the unit normal pointing inwards.
struct Border {
    double depth;   // from the outer edge, pixels
    double along;   // position along the side, pixels
    double nx, ny;  // inward direction
};
Border BorderAt(double x, double y, double w, double h, double bottomExtra = 1.0) {
    const double left = x, right = w - x, top = y, bottom = (h - y) / bottomExtra;
    const double m = std::min(std::min(left, right), std::min(top, bottom));
    if (m == top) return {top, x, 0, 1};
    if (m == bottom) return {h - y, x, 0, -1};
    if (m == left) return {left, y, 1, 0};
    return {right, y, -1, 0};
}

// Light from the top left on a moulding whose height profile has slope dh
// (height change per pixel inwards).
double Shade(const Border& b, double dh) {
    // The profiles below give slopes in hundredths; scaled to read as relief.
    const double gx = 15 * dh * b.nx, gy = 15 * dh * b.ny;
    const double nz = 1.0 / std::sqrt(gx * gx + gy * gy + 1);
    const double lx = -0.5, ly = -0.55, lz = 0.67;
    return Clamp01((-gx * lx - gy * ly + lz) * nz);
}

struct FramePixel {
    Color colour;
    double mask;
};

FramePixel FrameAt(int number, double x, double y, double w, double h, double s) {
    const double bw = 0.075 * h;  // border width
    const double shadow = 0.025 * h;
    const double u = x / w, v = y / h;
    Border b = BorderAt(x, y, w, h);
    double width = bw;
    FramePixel p{Grey(0), 0};
    const auto innerShadow = [&](double depthPastFrame, double strength) {
        return strength * std::exp(-std::max(0.0, depthPastFrame) / shadow);
    };
    switch (number) {
        case 1: {  // carved wood moulding
            const double t = b.depth / width;
            const double dh = (std::cos(t * kPi * 3) * 1.2 + 0.6 * std::cos(t * kPi * 9)) * 0.05 / s +
                              0.01 * Noise(b.along * 0.05 / s, t * 6, 1201) / s;
            const double grain = 0.5 + 0.5 * std::sin(t * 22 + 5 * Fbm(b.along * 0.004 / s, t * 1.5, 4, 1202));
            const Color wood = Mix(Color{0.36, 0.2, 0.1}, Color{0.6, 0.38, 0.2}, grain);
            p.colour = wood * (0.35 + 0.9 * Shade(b, dh));
            break;
        }
        case 2: {  // ornate gold with a row of beads
            const double t = b.depth / width;
            double dh = std::cos(t * kPi * 2) * 0.04 / s;
            const double beadPitch = 0.022 * h;
            if (t > 0.45 && t < 0.75) {
                const double la = std::fmod(b.along, beadPitch) / beadPitch - 0.5, lt = (t - 0.6) / 0.15;
                dh = -lt * 0.08 / s * (std::hypot(la, lt) < 0.5 ? 1 : 0) + dh * 0.3;
                const Border beadSide{b.depth, b.along, b.nx, b.ny};
                const double sideShade = la * 0.4;
                p.colour = Color{1.0, 0.78, 0.3} * (0.3 + 0.9 * Clamp01(Shade(beadSide, dh) - sideShade * (b.nx + b.ny)));
            } else {
                p.colour = Color{1.0, 0.76, 0.28} * (0.25 + 0.95 * Shade(b, dh));
            }
            p.colour = p.colour + Grey(0.5) * std::pow(Shade(b, dh), 12.0);
            break;
        }
        case 3: {  // brushed silver
            width = 0.06 * h;
            const double t = b.depth / width;
            const double dh = (t < 0.2 ? -0.06 : t > 0.8 ? 0.06 : 0.0) / s;
            const double brush = Fbm(b.along * 0.003 / s, b.depth * 0.4 / s, 3, 1203);
            p.colour = Grey(0.55 + 0.12 * brush) * (0.45 + 0.75 * Shade(b, dh));
            break;
        }
        case 4: {  // film strip: dark bands with lit sprocket holes
            const double band = 0.12 * h;
            const bool inBand = y < band || y > h - band;
            width = 0;
            if (inBand) {
                const double pitch = 0.075 * h;
                const double hx = x - (std::floor(x / pitch) + 0.5) * pitch;
                const double hy = y < h / 2 ? y - band / 2 : y - (h - band / 2);
                const double hole = Inside(RoundedRect(hx, hy, 0, 0, pitch * 0.28, band * 0.2, band * 0.06), 1.5 * s);
                p.colour = Mix(Color{0.08, 0.06, 0.05}, Color{0.95, 0.9, 0.8}, hole);
                p.mask = 1;
                return p;
            }
            p.colour = Grey(0);
            p.mask = innerShadow(std::min(y - band, h - band - y), 0.5);
            return p;
        }
        case 5: {  // instant-photo border: wide at the bottom
            b = BorderAt(x, y, w, h, 3.0);
            width = 0.06 * h;
            const double paper = 0.93 + 0.03 * Fbm(x * 0.2 / s, y * 0.2 / s, 3, 1205);
            p.colour = Color{paper, paper, paper * 0.97};
            const double bottomWidth = width * 3;
            const double inside = std::min(std::min(x - width, w - width - x), std::min(y - width, h - bottomWidth - y));
            if (inside > 0) {
                p.colour = Grey(0);
                p.mask = innerShadow(inside, 0.45);
            } else {
                p.mask = 1;
            }
            return p;
        }
        case 6: {  // passe-partout: a thin dark frame, a wide mat and a white bevelled cut
            width = 0.16 * h;
            const double outer = 0.025 * h, bevel = 0.006 * h;
            if (b.depth < outer) {
                const double dh = std::cos(b.depth / outer * kPi) * 0.08 / s;
                p.colour = Color{0.12, 0.1, 0.09} * (0.5 + 0.9 * Shade(b, dh));
            } else if (b.depth < width - bevel) {
                const double mat = 0.9 + 0.02 * Fbm(x * 0.15 / s, y * 0.15 / s, 3, 1206);
                p.colour = Color{mat, mat * 0.97, mat * 0.9};
            } else {
                p.colour = Grey(0.98) * (0.7 + 0.4 * Shade(b, 0.5 / s));
            }
            break;
        }
        case 7: {  // bamboo poles with nodes
            width = 0.065 * h;
            const double t = b.depth / width;
            const double segment = 0.22 * h;
            const double node = std::fmod(b.along + (b.nx != 0 ? segment * 0.4 : 0), segment) / segment;
            const double ring = std::exp(-std::pow((node - 0.5) / 0.015, 2));
            const double dh = -std::cos(t * kPi) * 0.05 / s;
            const Color cane = Mix(Color{0.55, 0.55, 0.2}, Color{0.8, 0.72, 0.38}, 0.5 + 0.5 * Fbm(b.along * 0.004 / s, t, 2, 1207));
            p.colour = cane * (0.3 + 0.9 * Shade(b, dh)) * (1 - 0.45 * ring);
            break;
        }
        case 8: {  // riveted steel plate
            const double t = b.depth / width;
            const double rivetPitch = 0.06 * h;
            const double la = std::fmod(b.along, rivetPitch) - rivetPitch / 2, lt = b.depth - width * 0.5;
            const double r = std::hypot(la, lt), rivetR = 0.012 * h;
            double dh = (t < 0.08 ? -0.08 : t > 0.92 ? 0.08 : 0.0) / s;
            Color steel = Grey(0.38 + 0.08 * Fbm(x * 0.02 / s, y * 0.02 / s, 4, 1208));
            if (r < rivetR) {
                const double lx = la / rivetR, ly = lt / rivetR;
                const double nz = std::sqrt(std::max(0.0, 1 - lx * lx - ly * ly));
                const double along_x = b.nx != 0 ? ly * b.nx : lx, along_y = b.nx != 0 ? lx : ly * b.ny;
                steel = Grey(0.3 + 0.6 * Clamp01(-0.5 * along_x - 0.55 * along_y + 0.67 * nz));
                p.colour = steel;
            } else {
                p.colour = steel * (0.5 + 0.7 * Shade(b, dh));
            }
            break;
        }
        case 9: {  // polished marble
            const double t = b.depth / width;
            const double dh = (t > 0.75 ? 0.07 : t < 0.1 ? -0.05 : 0.0) / s;
            const double vein = std::pow(Ridged(u * 6, v * 6, 6, 1209), 5.0);
            const Color stone = Mix(Color{0.95, 0.94, 0.92}, Color{0.45, 0.45, 0.5}, vein * 0.8);
            p.colour = stone * (0.55 + 0.55 * Shade(b, dh));
            break;
        }
        case 10: {  // stitched leather
            const double t = b.depth / width;
            const Voronoi grain = VoronoiAt(x * 0.15 / s, y * 0.15 / s, 1210);
            const double bump = Smooth(0.0, 0.4, grain.f2 - grain.f1);
            const double dh = (t < 0.15 ? -0.05 : t > 0.85 ? 0.05 : 0.0) / s;
            Color leather = Color{0.42, 0.24, 0.13} * (0.75 + 0.25 * bump) * (0.5 + 0.7 * Shade(b, dh));
            const double stitchPitch = 0.02 * h;
            const double sa = std::fmod(b.along, stitchPitch) / stitchPitch;
            const double st = std::fabs(b.depth - width * 0.78) / (0.004 * h);
            if (sa > 0.15 && sa < 0.75 && st < 1) leather = Color{0.95, 0.85, 0.6} * (0.75 + 0.25 * (1 - st));
            p.colour = leather;
            break;
        }
    }
    if (b.depth < width) {
        p.mask = 1;
    } else {
        p.mask = innerShadow(b.depth - width, 0.5);
        p.colour = Grey(0);
    }
    return p;
}

}  // namespace

Canvas PaintEdgeMask(int number, int width, int height) {
    Canvas c(width, height);
    PaintEdge(c, number);
    return c;
}

Canvas PaintFrame(int number, bool mask, int width, int height) {
    Canvas c(width, height);
    const double s = c.scale();
    c.Map([&](int x, int y, Color) {
        const FramePixel p = FrameAt(number, x + 0.5, y + 0.5, width, height, s);
        return mask ? Grey(p.mask) : p.colour;
    });
    return c;
}

}  // namespace maskgen
