// Where a screenshot shows exactly one colour: the end-to-end tests paint
// their pictures in colours of their own and find them on the screen.
#pragma once

#include <algorithm>
#include <cstdint>

#include "TestFiles.h"
#include "picture/Picture.h"

namespace corvellin::e2e {

struct ColourBox {
    int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1;
    long count = 0;  // pixels of the colour
    int centreX() const { return (minX + maxX) / 2; }
    int centreY() const { return (minY + maxY) / 2; }
};

// The bounding box of the pixels that are exactly colour.
inline ColourBox FindColour(const Picture& screen, test::Bgr colour) {
    ColourBox box;
    for (int y = 0; y < screen.height(); ++y) {
        const std::uint8_t* row = screen.row(y);
        for (int x = 0; x < screen.width(); ++x) {
            if (row[3 * x] != colour.b || row[3 * x + 1] != colour.g || row[3 * x + 2] != colour.r) continue;
            ++box.count;
            box.minX = std::min(box.minX, x);
            box.maxX = std::max(box.maxX, x);
            box.minY = std::min(box.minY, y);
            box.maxY = std::max(box.maxY, y);
        }
    }
    return box;
}

}  // namespace corvellin::e2e
