#include <cstring>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "picture/Picture.h"

namespace corvellin {
namespace {

using test::Bgr;
using test::PixelAt;

// A picture whose pixel (x, y) encodes its own coordinates, so a stretched
// copy shows exactly which source pixel each destination pixel took.
Picture CoordinatePicture(int width, int height) {
    Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) test::SetPixel(picture, x, y, {x & 255, y & 255, 7});
    return picture;
}

TEST(Picture, NewPictureIsBlackAndRowsArePacked) {
    Picture picture(3, 2);
    EXPECT_EQ(picture.stride(), 9u);
    EXPECT_EQ(picture.byteCount(), 18u);
    EXPECT_EQ(picture.row(1) - picture.row(0), 9);
    for (std::size_t i = 0; i < picture.byteCount(); ++i) EXPECT_EQ(picture.data()[i], 0);
    EXPECT_TRUE(Picture(0, 5).empty());
    EXPECT_THROW(Picture(-1, 5), std::invalid_argument);
}

struct StretchCase {
    int sw, sh, dw, dh;
};

class StretchTest : public ::testing::TestWithParam<StretchCase> {};

// Every destination pixel is one source pixel, chosen by x * sw / dw and
// y * sh / dh: nothing is averaged, in enlargement and reduction alike.
TEST_P(StretchTest, TakesOneSourcePixelByTheFloorMapping) {
    const StretchCase c = GetParam();
    const Picture source = CoordinatePicture(c.sw, c.sh);
    const Picture result = StretchNearest(source, c.dw, c.dh);
    ASSERT_EQ(result.width(), c.dw);
    ASSERT_EQ(result.height(), c.dh);
    for (int y = 0; y < c.dh; ++y)
        for (int x = 0; x < c.dw; ++x) {
            const int sx = static_cast<int>(static_cast<long long>(x) * c.sw / c.dw);
            const int sy = static_cast<int>(static_cast<long long>(y) * c.sh / c.dh);
            ASSERT_EQ(PixelAt(result, x, y), PixelAt(source, sx, sy)) << x << "," << y;
        }
}

TEST_P(StretchTest, RowStretcherGivesTheSameRows) {
    const StretchCase c = GetParam();
    const Picture source = CoordinatePicture(c.sw, c.sh);
    const Picture whole = StretchNearest(source, c.dw, c.dh);
    NearestRowStretcher rows(source, c.dw, c.dh);
    for (int y = 0; y < c.dh; ++y)
        ASSERT_EQ(std::memcmp(rows.Row(y), whole.row(y), whole.stride()), 0) << "row " << y;
}

INSTANTIATE_TEST_SUITE_P(Sizes, StretchTest,
                         ::testing::Values(StretchCase{300, 200, 150, 150},  // squeezed by different factors
                                           StretchCase{2, 3, 7, 5},          // enlarged
                                           StretchCase{640, 480, 1, 1},      // one pixel
                                           StretchCase{5, 5, 5, 5},          // same size: exact copy
                                           StretchCase{1, 1, 4, 3}, StretchCase{400, 1, 3, 9}));

TEST(Picture, StretchOfEmptySourceIsBlackAndOfEmptyTargetIsEmpty) {
    const Picture black = StretchNearest(Picture(), 4, 4);
    EXPECT_EQ(black, Picture(4, 4));
    EXPECT_TRUE(StretchNearest(CoordinatePicture(3, 3), 0, 7).empty());
}

TEST(Picture, OnePixelTargetIsASourcePixelNotAnAverage) {
    Picture source = test::SolidPicture(2, 2, 0, 0, 0);
    test::SetPixel(source, 1, 1, {255, 255, 255});
    const Bgr pixel = PixelAt(StretchNearest(source, 1, 1), 0, 0);
    EXPECT_TRUE(pixel == (Bgr{0, 0, 0}) || pixel == (Bgr{255, 255, 255}));
}

}  // namespace
}  // namespace corvellin
