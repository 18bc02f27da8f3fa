#include <cmath>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "effects/kernels/Blend.h"
#include "effects/kernels/BlendArithmetic.h"
#include "picture/Error.h"

namespace corvellin {
namespace {

// The blends as written down: floating point, rounded halves to even, clamped.
std::uint8_t AddOracle(int target, int mask, double strength) {
    double v = mask * strength + target;
    v = std::nearbyint(v);
    if (v > 255) v = 255;
    if (v < 0) v = 0;
    return static_cast<std::uint8_t>(v);
}
std::uint8_t MultiplyOracle(int target, int mask) {
    return static_cast<std::uint8_t>(std::nearbyint((mask / 255.0) * target));
}

TEST(BlendArithmetic, IntegerFormulasEqualTheDefinitionsForEveryPair) {
    for (int t = 0; t < 256; ++t)
        for (int m = 0; m < 256; ++m) {
            ASSERT_EQ(AddHalfChannel(t, m), AddOracle(t, m, 0.5)) << t << " + " << m;
            ASSERT_EQ(MultiplyChannel(t, m), MultiplyOracle(t, m)) << t << " x " << m;
        }
}

TEST(Blend, WholeKernelsMatchTheDefinitionOnOddSizes) {
    for (const auto& [w, h] : {std::pair{0, 5}, {1, 1}, {17, 1}, {33, 7}, {3, 129}}) {
        const Picture original = test::RandomPicture(w, h, 3);
        const Picture mask = test::RandomPicture(w, h, 4);
        for (const double strength : {0.5, 0.25, 1.0, -0.5}) {
            Picture added = original;
            AddBlend(added, mask, strength);
            for (std::size_t i = 0; i < added.byteCount(); ++i)
                ASSERT_EQ(added.data()[i], AddOracle(original.data()[i], mask.data()[i], strength));
        }
        Picture multiplied = original;
        MultiplyBlend(multiplied, mask);
        for (std::size_t i = 0; i < multiplied.byteCount(); ++i)
            ASSERT_EQ(multiplied.data()[i], MultiplyOracle(original.data()[i], mask.data()[i]));
    }
    Picture small(2, 2);
    EXPECT_THROW(AddBlend(small, Picture(2, 3), 0.5), std::invalid_argument);
}

struct PixelCase {
    test::Bgr picture, mask, added, multiplied;
};

TEST(Blend, KnownPixels) {
    const PixelCase cases[] = {
        // 10.5 -> 10, 11.5 -> 12, 327.5 -> 328 -> clamped to 255
        {{10, 11, 200}, {1, 1, 255}, {10, 12, 255}, {0, 0, 200}},
        {{200, 1, 1}, {128, 128, 127}, {255, 65, 64}, {100, 1, 0}},
        {{0, 128, 255}, {0, 0, 0}, {0, 128, 255}, {0, 0, 0}},          // black mask: additive no-op
        {{0, 128, 255}, {255, 255, 255}, {128, 255, 255}, {0, 128, 255}},  // white: multiplicative no-op
    };
    for (const PixelCase& c : cases) {
        Picture added = test::SolidPicture(1, 1, static_cast<std::uint8_t>(c.picture.b), static_cast<std::uint8_t>(c.picture.g),
                                           static_cast<std::uint8_t>(c.picture.r));
        Picture multiplied = added;
        const Picture mask = test::SolidPicture(1, 1, static_cast<std::uint8_t>(c.mask.b), static_cast<std::uint8_t>(c.mask.g),
                                                static_cast<std::uint8_t>(c.mask.r));
        AddBlend(added, mask, 0.5);
        MultiplyBlend(multiplied, mask);
        EXPECT_EQ(test::PixelAt(added, 0, 0), c.added);
        EXPECT_EQ(test::PixelAt(multiplied, 0, 0), c.multiplied);
    }
}

class MaskEffectTest : public ::testing::Test {
protected:
    void SetUp() override { context_.picDir = dir_.path(); }
    test::TempDir dir_;
    EffectContext context_;
};

// Every mask category reads <category>/<variation + 1>.gph, stretched to the
// picture, and blends it the category's way.
TEST_F(MaskEffectTest, ApplyEffectRoutesEachMaskCategoryToItsFileAndBlend) {
    const Picture mask = test::RandomPicture(64, 48, 21);
    const Picture original = test::RandomPicture(150, 150, 22);
    for (const CategoryInfo& info : kCategories) {
        if (info.kind != CategoryKind::AdditiveMask && info.kind != CategoryKind::MultiplyMask) continue;
        test::WriteMaskFile(dir_.path(), info.number, 4, mask);
        Picture expected = original;
        const Picture stretched = StretchNearest(mask, 150, 150);
        if (info.kind == CategoryKind::AdditiveMask)
            AddBlend(expected, stretched, 0.5);
        else
            MultiplyBlend(expected, stretched);
        Picture picture = original;
        ApplyEffect(context_, &picture, info.number, 3, -1, 0x0000FF);
        EXPECT_EQ(picture, expected) << info.name;
        EXPECT_NE(picture, original) << info.name;
    }
}

TEST_F(MaskEffectTest, SameCallCoversPicturesOfAnySize) {
    Picture mask(640, 480);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) test::SetPixel(mask, x, y, x < 320 ? test::Bgr{200, 200, 200} : test::Bgr{0, 0, 0});
    test::WriteMaskFile(dir_.path(), 6, 1, mask);
    for (const auto& [w, h] : {std::pair{150, 150}, {3000, 2000}, {1, 1}}) {
        Picture picture(w, h);
        ApplyEffect(context_, &picture, EffectCall{Category::Star, 0});
        // Left half brightened by the mask (200 / 2 = 100), right half untouched.
        EXPECT_EQ(test::PixelAt(picture, 0, h - 1).g, 100) << w;
        if (w > 1) {
            EXPECT_EQ(test::PixelAt(picture, w - 1, 0).g, 0) << w;
        }
    }
}

TEST_F(MaskEffectTest, MissingOrBrokenMaskLeavesThePictureUnchanged) {
    const Picture original = test::RandomPicture(20, 10);
    Picture picture = original;
    EXPECT_THROW(ApplyEffect(context_, &picture, 1, 0, -1, 0), Error);
    test::WriteBytes(MaskFilePath(dir_.path(), 10, 2), std::vector<std::uint8_t>(400, 7));
    EXPECT_THROW(ApplyEffect(context_, &picture, EffectCall{Category::Texture, 1}), Error);
    // A variation outside 0..9 names a file that does not exist.
    EXPECT_THROW(ApplyEffect(context_, &picture, 5, 10, -1, 0), Error);
    EXPECT_EQ(picture, original);
}

TEST_F(MaskEffectTest, CallsThatNameNoEffectDoNothing) {
    const Picture original = test::RandomPicture(9, 9);
    Picture picture = original;
    for (const int category : {0, -1, 16, 1000}) ApplyEffect(context_, &picture, category, 0, -1, 0);
    ApplyEffect(context_, nullptr, 1, 0, -1, 0);
    EXPECT_EQ(picture, original);
}

// The colour is read only by Edge: a mask category gives the same result whatever it is.
TEST_F(MaskEffectTest, ColourAndParameterDoNotChangeMaskEffects) {
    test::WriteMaskFile(dir_.path(), 14, 1, test::RandomPicture(30, 30, 5));
    Picture a = test::RandomPicture(40, 40), b = a;
    ApplyEffect(context_, &a, 14, 0, -1, 0x008000);
    ApplyEffect(context_, &b, 14, 0, 77, 0x0000FF);
    EXPECT_EQ(a, b);
}

}  // namespace
}  // namespace corvellin
