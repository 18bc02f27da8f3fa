// The blocked turn against the literal per-pixel formula, whole and a band of
// stored rows at a time, for every orientation value.
#include <algorithm>
#include <cstring>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "picture/Orientation.h"

namespace corvellin {
namespace {

// The stored pixel that upright pixel (x, y) shows, as the EXIF orientation
// values define it (w, h: the stored size).
void StoredPixelOf(int orientation, int w, int h, int x, int y, int* sx, int* sy) {
    switch (orientation) {
        case 2: *sx = w - 1 - x, *sy = y; break;
        case 3: *sx = w - 1 - x, *sy = h - 1 - y; break;
        case 4: *sx = x, *sy = h - 1 - y; break;
        case 5: *sx = y, *sy = x; break;
        case 6: *sx = y, *sy = h - 1 - x; break;
        case 7: *sx = w - 1 - y, *sy = h - 1 - x; break;
        case 8: *sx = w - 1 - y, *sy = x; break;
        default: *sx = x, *sy = y; break;
    }
}

Picture LiteralUpright(const Picture& stored, int orientation) {
    const int w = stored.width(), h = stored.height();
    const bool swaps = orientation >= 5 && orientation <= 8;
    Picture upright(swaps ? h : w, swaps ? w : h);
    for (int y = 0; y < upright.height(); ++y)
        for (int x = 0; x < upright.width(); ++x) {
            int sx = 0, sy = 0;
            StoredPixelOf(orientation, w, h, x, y, &sx, &sy);
            test::SetPixel(upright, x, y, test::PixelAt(stored, sx, sy));
        }
    return upright;
}

// Odd sizes on both sides of the 16-pixel blocks, one pixel wide or high included.
constexpr std::pair<int, int> kSizes[] = {{1, 1}, {1, 37}, {29, 1}, {15, 17}, {33, 47}, {131, 67}};

TEST(Orientation, EveryValueMatchesTheLiteralFormula) {
    for (const auto& [w, h] : kSizes) {
        const Picture stored = test::RandomPicture(w, h, static_cast<unsigned>(w * 1000 + h));
        for (int orientation = -1; orientation <= 10; ++orientation) {
            const Picture expected = LiteralUpright(stored, orientation);
            EXPECT_TRUE(OrientUpright(stored, orientation) == expected) << w << "x" << h << " orientation " << orientation;
        }
    }
}

// Bands in any order and of any height fill the same picture, and the rows
// said to be done are final at each step.
TEST(Orientation, BandsOfStoredRowsGiveTheWholeTurn) {
    const Picture stored = test::RandomPicture(67, 45, 9);
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const Picture expected = LiteralUpright(stored, orientation);
        for (const int band : {1, 7, 16, 45}) {
            Picture upright(UprightWidth(orientation, stored.width(), stored.height()),
                            UprightHeight(orientation, stored.width(), stored.height()));
            for (int top = 0; top < stored.height(); top += band) {
                OrientRowsInto(stored, top, top + band, orientation, upright);
                const int done = UprightRowsDone(orientation, std::min(top + band, stored.height()), stored);
                for (int y = 0; y < done; ++y)
                    ASSERT_EQ(0, std::memcmp(upright.row(y), expected.row(y), upright.stride()))
                        << "orientation " << orientation << " band " << band << " row " << y;
            }
            EXPECT_TRUE(upright == expected) << "orientation " << orientation << " band " << band;
        }
        // Bottom band first: the order of the bands does not matter.
        Picture upright(expected.width(), expected.height());
        OrientRowsInto(stored, 30, 45, orientation, upright);
        OrientRowsInto(stored, 0, 30, orientation, upright);
        EXPECT_TRUE(upright == expected) << "orientation " << orientation << " bands out of order";
    }
}

}  // namespace
}  // namespace corvellin
