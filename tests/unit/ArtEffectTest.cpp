// The Art routing: ArtEffect with the slider's state and ApplyEffect for category 4.
#include <gtest/gtest.h>

#include "KernelOracles.h"
#include "TestFiles.h"
#include "effects/ArtEffect.h"
#include "effects/Catalogue.h"
#include "effects/kernels/Art.h"
#include "CallParser.h"

namespace corvellin {
namespace {

using test::RandomPicture;

EffectContext Seeded() {
    EffectContext context;
    context.scatterSeed = 4242;
    return context;
}

Picture Applied(const Picture& original, int category, int variation, std::int32_t parameter) {
    Picture p = original;
    ApplyEffect(Seeded(), &p, category, variation, parameter, kDefaultEdgeColour);
    return p;
}

TEST(ArtRouting, EachVariationRunsItsKernelWithP) {
    const Picture original = RandomPicture(45, 23, 1);
    struct Case {
        int variation, p;
        void (*literal)(Picture&, int p);
    };
    const Case cases[] = {
        {0, -1, [](Picture& q, int) { oracle::Emboss(q, true); }},
        {1, -1, [](Picture& q, int) { oracle::Emboss(q, false); }},
        {2, 7, [](Picture& q, int p) { oracle::Scatter(q, p, 4242); }},
        {3, -1, [](Picture& q, int) { oracle::EqualizeHistogram(q); }},
        {4, 3, [](Picture& q, int p) { oracle::Blur(q, p); }},
        {5, 6, [](Picture& q, int p) { oracle::Mosaic(q, p); }},
        {6, 15, [](Picture& q, int p) { oracle::BrightnessContrast(q, 0, p / 10.0); }},  // 1.5, not 1
        {7, -40, [](Picture& q, int p) { oracle::BrightnessContrast(q, p, 1.0); }},
        {8, 700, [](Picture& q, int p) { oracle::AdjustSaturation(q, p); }},
        {9, -1, [](Picture& q, int) { oracle::BrightnessContrast(q, 0, -1.0); }},
    };
    for (const Case& c : cases) {
        Picture expected = original;
        c.literal(expected, c.p);
        EXPECT_EQ(Applied(original, 4, c.variation, c.p), expected) << c.variation;
        Picture viaSlider = original;
        ArtEffect(Seeded(), viaSlider, c.variation, ArtSliderState{true, c.p});
        EXPECT_EQ(viaSlider, expected) << c.variation;
    }
}

TEST(ArtRouting, HiddenSliderUsesTheStartingValues) {
    const Picture original = RandomPicture(31, 17, 2);
    const std::pair<int, int> hidden[] = {{2, 2}, {4, 2}, {5, 5}, {6, 20}, {7, 50}, {8, 1}};
    for (const auto& [variation, p] : hidden) {
        Picture thumbnail = original;
        ArtEffect(Seeded(), thumbnail, variation, ArtSliderState{false, 999});
        EXPECT_EQ(thumbnail, Applied(original, 4, variation, p)) << variation;
        EXPECT_EQ(ArtHiddenValue(variation), p);
    }
    Picture contrast = original, two = original;
    ArtEffect(Seeded(), contrast, 6, ArtSliderState{false, 0});
    BrightnessContrast(two, 0, 2.0);
    EXPECT_EQ(contrast, two);
}

TEST(ArtRouting, VariationsWithoutSliderIgnoreTheParameter) {
    const Picture original = RandomPicture(26, 19, 3);
    for (int variation : {0, 1, 3, 9}) {
        const Picture reference = Applied(original, 4, variation, -1);
        for (std::int32_t p : {0, 5, 1555, INT32_MIN, INT32_MAX}) EXPECT_EQ(Applied(original, 4, variation, p), reference);
        Picture hidden = original;
        ArtEffect(Seeded(), hidden, variation, ArtSliderState{true, 37});
        EXPECT_EQ(hidden, reference);
    }
}

TEST(ApplyEffect, EdgeCasesOfCategory4AndOutsideTheCatalogue) {
    const Picture original = RandomPicture(20, 10, 4);
    EXPECT_EQ(Applied(original, 4, 7, 0), original);                 // brightness 0, contrast 1.0
    EXPECT_EQ(Applied(original, 4, 7, -255), Picture(20, 10));       // every channel 0
    for (int variation : {10, -1, 100}) EXPECT_EQ(Applied(original, 4, variation, 5), original);
    for (int category : {0, -1, 16, INT32_MIN}) EXPECT_EQ(Applied(original, category, 3, 5), original);
    ApplyEffect(Seeded(), nullptr, 4, 3, -1, 0);  // an absent picture: nothing
    Picture empty(0, 4);
    ApplyEffect(Seeded(), &empty, 4, 2, 2, 0);
    EXPECT_EQ(empty.width(), 0);
}

TEST(ApplyEffect, ArtParametersOutsideTheSliders) {
    // Only sliders produce parameters, but a replayed call may carry anything:
    // a radius is limited to 0..50, a block size or pass count below 1 changes
    // nothing, the arithmetic kernels take the value as it is.
    const Picture original = RandomPicture(13, 9, 5);
    struct Case {
        int variation, p;
        void (*literal)(Picture&);
    };
    const Case cases[] = {
        {2, -100, [](Picture&) {}},
        {2, 1000, [](Picture& q) { oracle::Scatter(q, 50, 4242); }},
        {4, 0, [](Picture&) {}},
        {4, INT32_MIN, [](Picture&) {}},
        {5, 0, [](Picture&) {}},
        {5, -7, [](Picture&) {}},
        {5, 1000, [](Picture& q) { oracle::Mosaic(q, 1000); }},
        {6, -1, [](Picture& q) { oracle::BrightnessContrast(q, 0, -0.1); }},
        {6, INT32_MAX, [](Picture& q) { oracle::BrightnessContrast(q, 0, INT32_MAX / 10.0); }},
        {7, 1000, [](Picture& q) { oracle::BrightnessContrast(q, 1000, 1.0); }},
        {7, INT32_MIN, [](Picture& q) { oracle::BrightnessContrast(q, INT32_MIN, 1.0); }},
        {8, -1, [](Picture& q) { oracle::AdjustSaturation(q, -1); }},
        {8, 70000, [](Picture& q) { oracle::AdjustSaturation(q, 70000); }},
        {8, INT32_MAX, [](Picture& q) { oracle::AdjustSaturation(q, INT32_MAX); }},
    };
    for (const Case& c : cases) {
        Picture expected = original;
        c.literal(expected);
        EXPECT_EQ(Applied(original, 4, c.variation, c.p), expected) << c.variation << " with " << c.p;
    }
}

TEST(ApplyEffect, EveryCategoryOfTheCatalogueIsFoundAndNoOther) {
    for (int category = 1; category <= kCategoryCount; ++category) EXPECT_NE(FindCategory(category), nullptr) << category;
    for (int category : {-1, 0, kCategoryCount + 1}) EXPECT_EQ(FindCategory(category), nullptr) << category;
}

TEST(CallParser, ArtParametersMustLieWithinTheSlider) {
    struct Case {
        const char* text;
        bool valid;
        std::int32_t parameter;
    };
    const Case cases[] = {
        {"4:2:2", true, 2},      {"4:2:50", true, 50},    {"4:2:1", false, 0},     {"4:2:51", false, 0},
        {"4:4:1", true, 1},      {"4:4:30", true, 30},    {"4:4:0", false, 0},     {"4:4:31", false, 0},
        {"4:5:2", true, 2},      {"4:5:100", true, 100},  {"4:5:1", false, 0},     {"4:5:101", false, 0},
        {"4:6:1", true, 1},      {"4:6:100", true, 100},  {"4:6:0", false, 0},     {"4:6:101", false, 0},
        {"4:7:-255", true, -255}, {"4:7:255", true, 255}, {"4:7:-256", false, 0},  {"4:7:256", false, 0},
        {"4:8:1", true, 1},      {"4:8:1555", true, 1555}, {"4:8:0", false, 0},    {"4:8:1556", false, 0},
        {"4:2", true, 2},        {"4:4", true, 2},        {"4:5", true, 5},        {"4:6", true, 20},
        {"4:7", true, 50},       {"4:8", true, 1},        {"4:3", true, -1},       {"4:9:12345", true, 12345},
        {"2:3", true, -1},       {"3:9", true, -1},
    };
    for (const Case& c : cases) {
        const fx::ParsedCall parsed = fx::ParseEffectCall(c.text);
        EXPECT_EQ(parsed.call.has_value(), c.valid) << c.text << ": " << parsed.error;
        if (parsed.call && c.valid) {
            EXPECT_EQ(parsed.call->parameter, c.parameter) << c.text;
        }
        if (!c.valid) {
            EXPECT_NE(parsed.error.find("slider range"), std::string::npos) << c.text;
        }
    }
}

}  // namespace
}  // namespace corvellin
