// The colour tints against the literal formula, and their known values.
#include <gtest/gtest.h>

#include "KernelOracles.h"
#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/kernels/ColorTint.h"

namespace corvellin {
namespace {

using test::Bgr;
using test::PixelAt;
using test::SolidPicture;

TEST(ColorTintExhaustive, EveryVariationAndEveryChannelValue) {
    // Row y holds the value y in every channel: all 256 values per channel.
    Picture all(3, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 3; ++x) test::SetPixel(all, x, y, {y, (y + 85 * x) % 256, (y + 170 * x) % 256});
    for (int v = 0; v < 10; ++v) {
        Picture fast = all, expected = all;
        ColorTint(fast, v);
        oracle::ColorTint(expected, v);
        EXPECT_EQ(fast, expected) << v;
    }
}

TEST(ColorTint, KnownValues) {
    struct Case {
        int variation;
        Bgr in, out;
    };
    const Case cases[] = {
        {3, {0, 0, 0}, {60, 41, 6}},  // red + 6.5 from an even value: + 6
        {3, {1, 1, 1}, {61, 42, 8}},  // from an odd value: + 7
        {3, {10, 10, 254}, {70, 51, 255}},
        {0, {255, 255, 255}, {255, 255, 255}},
        {0, {200, 200, 200}, {243, 255, 243}},
        {9, {250, 100, 10}, {255, 105, 15}},  // blue + 46 stops at 255
        {2, {0, 0, 0}, {62, 51, 31}},         // 61.75 adds 62, 31.25 adds 31
    };
    for (const Case& c : cases) {
        Picture p = SolidPicture(5, 3, static_cast<std::uint8_t>(c.in.b), static_cast<std::uint8_t>(c.in.g),
                                 static_cast<std::uint8_t>(c.in.r));
        ColorTint(p, c.variation);
        EXPECT_EQ(PixelAt(p, 4, 2), c.out) << "variation " << c.variation;
    }
}

TEST(ColorTint, TwicePassesAddTwice) {
    Picture p = SolidPicture(2, 2, 0, 0, 0);
    ColorTint(p, 3);
    ColorTint(p, 3);
    EXPECT_EQ(PixelAt(p, 0, 0), (Bgr{120, 82, 12}));  // red: 0 + 6 = 6, then 6 + 6 = 12
}

TEST(ColorTint, ApplyEffectCategory2AndVariationsOutsideTheTable) {
    const Picture original = test::RandomPicture(33, 7, 9);
    for (int v = 0; v < 10; ++v) {
        Picture direct = original, dispatched = original;
        ColorTint(direct, v);
        ApplyEffect(EffectContext{}, &dispatched, 2, v, 5, 0x123456);
        EXPECT_EQ(dispatched, direct) << v;
    }
    for (int v : {-1, 10, 1000}) {
        Picture p = original;
        ColorTint(p, v);
        EXPECT_EQ(p, original);
        ApplyEffect(EffectContext{}, &p, 2, v, -1, 0);
        EXPECT_EQ(p, original);
    }
}

}  // namespace
}  // namespace corvellin
