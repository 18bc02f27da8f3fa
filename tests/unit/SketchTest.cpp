// The pencil-drawing kernels and SketchPic against their literal formulas.
#include <gtest/gtest.h>

#include "KernelOracles.h"
#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/SketchPic.h"
#include "effects/kernels/ByteTables.h"
#include "effects/kernels/Sketch.h"

namespace corvellin {
namespace {

using test::Bgr;
using test::PixelAt;
using test::RandomPicture;
using test::SolidPicture;

Picture Grey(int w, int h, int g) {
    const auto v = static_cast<std::uint8_t>(g);
    return SolidPicture(w, h, v, v, v);
}

TEST(ColorDodgeExhaustive, EveryPairOfBaseAndBlend) {
    // ColorDodge takes the byte permute path where the processor has one, the
    // plain row loop otherwise; DodgeChannel below is the one-value formula.
    RecordProperty("path", detail::HasBytePermute() ? "AVX-512 VBMI" : "plain");
    // Base x along each row, blend y down the columns: all 65,536 pairs in
    // every channel, through the row kernel and the one-value formula.
    Picture base(256, 256), blend(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            test::SetPixel(base, x, y, {x, 255 - x, x});
            test::SetPixel(blend, x, y, {y, y, 255 - y});
        }
    Picture fast = base, expected = base;
    ColorDodge(fast, blend);
    oracle::ColorDodge(expected, blend);
    EXPECT_EQ(fast, expected);
    int faults = 0;
    for (unsigned b = 0; b < 256; ++b)
        for (unsigned l = 0; l < 256; ++l) faults += DodgeChannel(b, l) != oracle::Dodge(b, l);
    EXPECT_EQ(faults, 0);
}

TEST(ColorDodge, Blend255GivesWhiteAndBlend0KeepsTheBase) {
    for (unsigned b = 0; b < 256; ++b) {
        EXPECT_EQ(DodgeChannel(b, 255), 255);
        EXPECT_EQ(DodgeChannel(b, 0), b);
    }
}

TEST(ColorDodge, OnlyPixelsPresentInBothPicturesChange) {
    const Picture base = RandomPicture(9, 7, 1);
    for (auto [w, h] : {std::pair{4, 3}, std::pair{12, 2}, std::pair{3, 10}, std::pair{0, 4}}) {
        const Picture blend = RandomPicture(w, h, 2);
        Picture fast = base, expected = base;
        ColorDodge(fast, blend);
        oracle::ColorDodge(expected, blend);
        EXPECT_EQ(fast, expected) << w << " x " << h;
    }
}

TEST(DuotoneExhaustive, EveryValueForEveryDarkAndLightPair) {
    int faults = 0;
    for (int dark = 0; dark < 256; dark += 1)
        for (int light = 0; light < 256; light += 3) {
            const ByteTable table = DuotoneTable(dark, light);
            for (unsigned c = 0; c < 256; ++c) faults += table[c] != oracle::Duotone(c, dark, light);
        }
    EXPECT_EQ(faults, 0);
    for (const SketchColours& s : kSketchColours)
        for (auto [dark, light] : {std::pair{s.darkR, s.lightR}, std::pair{s.darkG, s.lightG}, std::pair{s.darkB, s.lightB}}) {
            const ByteTable table = DuotoneTable(dark, light);
            for (unsigned c = 0; c < 256; ++c) ASSERT_EQ(table[c], oracle::Duotone(c, dark, light));
        }
}

TEST(Duotone, BlackAndWhiteTakeTheDarkAndLightColours) {
    for (int v = 0; v < 9; ++v) {
        const SketchColours& s = kSketchColours[static_cast<std::size_t>(v)];
        Picture black = Grey(2, 2, 0), white = Grey(2, 2, 255);
        DuotoneMap(black, s.darkR, s.darkG, s.darkB, s.lightR, s.lightG, s.lightB);
        DuotoneMap(white, s.darkR, s.darkG, s.darkB, s.lightR, s.lightG, s.lightB);
        EXPECT_EQ(PixelAt(black, 1, 1), (Bgr{s.darkB, s.darkG, s.darkR})) << v;
        EXPECT_EQ(PixelAt(white, 1, 1), (Bgr{s.lightB, s.lightG, s.lightR})) << v;
    }
    const ByteTable identity = DuotoneTable(0, 255);  // variation 0
    for (unsigned c = 0; c < 256; ++c) EXPECT_EQ(identity[c], c);
}

TEST(PencilSketch, UniformGreys) {
    struct Case {
        int grey, expected;
    };
    // Round(g x 255 / (g + 1)); 1 gives 127.5, which goes to the even 128.
    const Case cases[] = {{0, 0}, {1, 128}, {2, 170}, {128, 253}, {254, 254}, {255, 255}};
    for (const Case& c : cases) {
        for (bool grayFirst : {true, false}) {
            Picture p = Grey(9, 5, c.grey);
            PencilSketch(p, grayFirst);
            EXPECT_EQ(p, Grey(9, 5, c.expected)) << c.grey;
        }
    }
}

TEST(SketchPic, WhiteTakesTheLightColourAndBlackTheDark) {
    Picture white = Grey(6, 4, 255);
    SketchPic(white, 5);
    EXPECT_EQ(white, SolidPicture(6, 4, 155, 255, 255));  // (R, G, B) = (255, 255, 155)
    Picture black = Grey(6, 4, 0);
    SketchPic(black, 6);
    EXPECT_EQ(black, SolidPicture(6, 4, 0, 0, 155));  // (R, G, B) = (155, 0, 0)
}

TEST(SketchPic, VariationZeroIsTheGreyDrawingAndNineKeepsColour) {
    const Picture original = RandomPicture(40, 30, 3);
    Picture zero = original, drawing = original;
    SketchPic(zero, 0);
    PencilSketch(drawing, true);
    EXPECT_EQ(zero, drawing);
    Picture nine = original;
    SketchPic(nine, 9);
    int coloured = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const Bgr p = PixelAt(nine, x, y);
            coloured += p.b != p.g || p.g != p.r;
        }
    EXPECT_GT(coloured, 600);
}

TEST(SketchPic, EveryVariationMatchesTheLiteralFormulas) {
    const std::pair<int, int> sizes[] = {{0, 3}, {3, 0}, {1, 1}, {1, 9}, {11, 1}, {2, 2}, {37, 13}, {70, 6}};
    for (int v = 0; v < 10; ++v)
        for (const auto& [w, h] : sizes) {
            const Picture original = RandomPicture(w, h, static_cast<std::uint32_t>(100 + v));
            Picture fast = original, expected = original;
            SketchPic(fast, v);
            oracle::SketchPic(expected, v);
            EXPECT_EQ(fast, expected) << "variation " << v << " on " << w << " x " << h;
        }
}

TEST(SketchPic, ApplyEffectCategory3IsSketchPicAndIgnoresParameterAndColour) {
    const Picture original = RandomPicture(21, 8, 4);
    for (int v = 0; v < 10; ++v) {
        Picture direct = original, dispatched = original;
        SketchPic(direct, v);
        ApplyEffect(EffectContext{}, &dispatched, 3, v, 77, 0x0000FF);
        EXPECT_EQ(dispatched, direct) << v;
    }
    for (int v : {-1, 10}) {
        Picture p = original;
        ApplyEffect(EffectContext{}, &p, 3, v, -1, 0);
        EXPECT_EQ(p, original) << v;
    }
}

}  // namespace
}  // namespace corvellin
