// The Art kernels against their literal formulas: exhaustively where the
// domain allows, on random pictures of awkward sizes otherwise, plus the cases
// whose values are known by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "KernelOracles.h"
#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/kernels/Art.h"
#include "effects/kernels/ByteTables.h"

namespace corvellin {
namespace {

using test::Bgr;
using test::PixelAt;
using test::RandomPicture;
using test::SolidPicture;

// Every (R, G, B) once: pixel i = (B, G, R) = (i & 255, (i >> 8) & 255, i >> 16).
Picture AllColours() {
    Picture p(4096, 4096);
    std::uint8_t* d = p.data();
    for (std::uint32_t i = 0; i < (1u << 24); ++i) {
        d[3 * i] = static_cast<std::uint8_t>(i), d[3 * i + 1] = static_cast<std::uint8_t>(i >> 8);
        d[3 * i + 2] = static_cast<std::uint8_t>(i >> 16);
    }
    return p;
}

// The first pixel index where two pictures of the same size differ, -1 if none.
long long FirstDifference(const Picture& a, const Picture& b) {
    if (a.width() != b.width() || a.height() != b.height()) return -2;
    for (std::size_t i = 0; i < a.byteCount(); ++i)
        if (a.data()[i] != b.data()[i]) return static_cast<long long>(i / 3);
    return -1;
}

// The oracle's grey of every colour, indexed like AllColours(), built once.
const std::vector<std::uint8_t>& ExpectedGreys() {
    static const std::vector<std::uint8_t> greys = [] {
        std::vector<std::uint8_t> g(1u << 24);
        for (std::uint32_t i = 0; i < (1u << 24); ++i) g[i] = oracle::Grey(i >> 16, (i >> 8) & 255, i & 255);
        return g;
    }();
    return greys;
}

long long GreyFaults(const Picture& result) {
    const std::vector<std::uint8_t>& expected = ExpectedGreys();
    long long faults = 0;
    for (std::uint32_t i = 0; i < (1u << 24); ++i) {
        const std::uint8_t* p = result.data() + 3 * i;
        faults += p[0] != expected[i] || p[1] != expected[i] || p[2] != expected[i];
    }
    return faults;
}

// The 64-byte permute paths run only where the processor has AVX-512 VBMI;
// elsewhere their tests say so instead of checking the portable path again.
#define SKIP_WITHOUT_BYTE_PERMUTES()                                                                    \
    if (!detail::HasBytePermute()) GTEST_SKIP() << "this processor has no AVX-512 VBMI byte permutes"

TEST(GrayScaleExhaustive, EveryColourMatchesOnTheBytePermutePath) {
    SKIP_WITHOUT_BYTE_PERMUTES();
    ASSERT_TRUE(detail::HasGrayScaleVectorPath());
    Picture all = AllColours();
    GrayScale(all);
    EXPECT_EQ(GreyFaults(all), 0);
}

TEST(GrayScaleExhaustive, EveryColourMatchesOnThePortablePath) {
    Picture all = AllColours();
    detail::GrayScalePortable(all.data(), all.byteCount() / 3);
    EXPECT_EQ(GreyFaults(all), 0);
}

TEST(GrayScaleExhaustive, DoubleConstantsWouldDifferSoTheTestCanTell) {
    // The same sum with the double constants widened rounds some halves the
    // other way: the exhaustive test above distinguishes the two formulas.
    int differ = 0;
    for (unsigned r = 0; r < 256 && differ == 0; ++r)
        for (unsigned g = 0; g < 256; ++g)
            for (unsigned b = 0; b < 256; ++b) {
                const long double widened = std::nearbyint((static_cast<long double>(0.3) * r + static_cast<long double>(0.59) * g) +
                                                           static_cast<long double>(0.11) * b);
                if (widened != oracle::Grey(r, g, b)) ++differ;
            }
    EXPECT_GT(differ, 0);
}

// Tables that differ per channel, and pictures whose widths lie around the
// 64-byte and 192-byte steps, so that every channel meets every value at
// every position of a vector and in the tails.
struct TableFixture {
    ByteTable blue{}, green{}, red{};
    TableFixture() {
        for (unsigned v = 0; v < 256; ++v) {
            blue[v] = static_cast<std::uint8_t>(v * 7 + 3);
            green[v] = static_cast<std::uint8_t>(255 - v);
            red[v] = static_cast<std::uint8_t>(v * v >> 3);
        }
    }
    template <typename One, typename Three>
    void Check(One applyOne, Three applyThree) const {
        for (int width : {1, 2, 21, 22, 63, 64, 65, 85, 86, 200, 256, 301}) {
            Picture p(width, 257);
            for (std::size_t i = 0; i < p.byteCount(); ++i) p.data()[i] = static_cast<std::uint8_t>(i / 3 + i % 3 * 85);
            Picture expectedOne = p, expectedThree = p;
            for (std::size_t i = 0; i < p.byteCount(); ++i) {
                expectedOne.data()[i] = green[p.data()[i]];
                const ByteTable& t = i % 3 == 0 ? blue : i % 3 == 1 ? green : red;
                expectedThree.data()[i] = t[p.data()[i]];
            }
            Picture one = p, three = p;
            applyOne(one);
            applyThree(three);
            EXPECT_EQ(FirstDifference(one, expectedOne), -1) << width;
            EXPECT_EQ(FirstDifference(three, expectedThree), -1) << width;
        }
    }
};

TEST(ByteTablesExhaustive, EveryValueOfEveryChannelOnThePortablePath) {
    const TableFixture f;
    f.Check([&](Picture& p) { detail::ApplyByteTablePortable(p.data(), p.byteCount(), f.green); },
            [&](Picture& p) { detail::ApplyChannelTablesPortable(p.data(), p.byteCount() / 3, f.blue, f.green, f.red); });
}

TEST(ByteTablesExhaustive, EveryValueOfEveryChannelOnTheBytePermutePath) {
    SKIP_WITHOUT_BYTE_PERMUTES();
    const TableFixture f;
    f.Check([&](Picture& p) { ApplyByteTable(p, f.green); },
            [&](Picture& p) { ApplyChannelTables(p, f.blue, f.green, f.red); });
}

TEST(BrightnessContrastExhaustive, EverySliderValueAndEveryChannelValue) {
    std::vector<std::pair<int, double>> settings;
    for (int a = -255; a <= 255; ++a) settings.emplace_back(a, 1.0);       // variation 7
    for (int p = 1; p <= 100; ++p) settings.emplace_back(0, p / 10.0);    // variation 6
    for (double k : {-1.0, 0.0, 0.5, 2.0, -3.7, 1e9, -1e9}) settings.emplace_back(0, k);
    settings.emplace_back(1000, 1.0), settings.emplace_back(-1000, 1.0), settings.emplace_back(31, 0.55);
    for (const auto& [a, k] : settings) {
        const ByteTable table = BrightnessContrastTable(a, k);
        for (unsigned v = 0; v < 256; ++v)
            ASSERT_EQ(table[v], oracle::BrightnessContrastValue(a, k, v)) << a << " " << k << " " << v;
    }
}

// A channel's result depends only on its value c and the pixel's sum: one
// pixel per feasible (c, sum), c in blue, checks every channel of every slider
// value (1 to 1555, variation 8) against the literal tables.
enum class SaturationPath { BytePermute, Arithmetic };

class SaturationSlider : public ::testing::TestWithParam<SaturationPath> {};

TEST_P(SaturationSlider, EverySliderValueForEveryValueAndSum) {
    const bool permute = GetParam() == SaturationPath::BytePermute;
    if (permute) SKIP_WITHOUT_BYTE_PERMUTES();
    RecordProperty("path", permute ? "AVX-512 VBMI" : "arithmetic");
    std::vector<std::uint8_t> pixels;
    for (int c = 0; c < 256; ++c)
        for (int sum = c; sum <= c + 510; ++sum) {
            const int g = std::min(255, sum - c);
            pixels.insert(pixels.end(), {static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(g),
                                         static_cast<std::uint8_t>(sum - c - g)});
        }
    const std::optional<ArtSlider> slider = ArtSliderFor(8);
    ASSERT_TRUE(slider);
    std::vector<std::uint8_t> out(pixels.size());
    for (int s = slider->minimum; s <= slider->maximum; ++s) {
        const oracle::SaturationTables tables(s);
        out = pixels;
        if (permute) {
            detail::AdjustSaturationPixels(out.data(), out.size() / 3, s);  // the permute path where it runs
        } else {
            detail::AdjustSaturationArithmetic(out.data(), out.size() / 3, s);
        }
        long long faults = 0;
        for (std::size_t i = 0; i < pixels.size(); i += 3) {
            const int sum = pixels[i] + pixels[i + 1] + pixels[i + 2];
            for (std::size_t k = 0; k < 3; ++k)
                faults += out[i + k] != oracle::ClampInt(tables.S[pixels[i + k]] + tables.T[sum]);
        }
        ASSERT_EQ(faults, 0) << "slider value " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, SaturationSlider, ::testing::Values(SaturationPath::BytePermute, SaturationPath::Arithmetic),
                         [](const ::testing::TestParamInfo<SaturationPath>& info) {
                             return std::string(info.param == SaturationPath::BytePermute ? "BytePermute" : "Arithmetic");
                         });

TEST(AdjustSaturationExhaustive, EveryColourAtTheSliderEnds) {
    // A channel's result depends on its value and the sum of the three: the
    // expected results for every (value, sum) come from the literal tables, built once.
    const Picture all = AllColours();
    for (int s : {1, 1555}) {
        const oracle::SaturationTables tables(s);
        std::vector<std::uint8_t> expected(256 * 766);
        for (int c = 0; c < 256; ++c)
            for (int sum = 0; sum < 766; ++sum) expected[sum * 256 + c] = oracle::ClampInt(tables.S[c] + tables.T[sum]);
        Picture fast = all;
        AdjustSaturation(fast, s);
        long long faults = 0;
        const std::uint8_t* in = all.data();
        const std::uint8_t* out = fast.data();
        for (std::size_t i = 0; i < all.byteCount(); i += 3) {
            const int sum = in[i] + in[i + 1] + in[i + 2];
            const std::uint8_t* e = expected.data() + sum * 256;
            faults += (out[i] != e[in[i]]) + (out[i + 1] != e[in[i + 1]]) + (out[i + 2] != e[in[i + 2]]);
        }
        EXPECT_EQ(faults, 0) << s;
    }
}

// ------------------------------------------------ whole kernels, random pictures

struct KernelCase {
    std::string name;
    std::function<void(Picture&)> fast, literal;
};

std::vector<KernelCase> KernelCases() {
    std::vector<KernelCase> cases;
    cases.push_back({"GrayScale", [](Picture& p) { GrayScale(p); }, [](Picture& p) { oracle::GrayScale(p); }});
    cases.push_back({"EmbossLowerLeft", [](Picture& p) { Emboss(p, EmbossDirection::LowerLeft); },
                     [](Picture& p) { oracle::Emboss(p, true); }});
    cases.push_back({"EmbossUpperLeft", [](Picture& p) { Emboss(p, EmbossDirection::UpperLeft); },
                     [](Picture& p) { oracle::Emboss(p, false); }});
    for (int r : {0, 1, 2, 7, 50})
        for (std::uint32_t seed : {0u, 12345u, 0xFFFFFFFFu})
            cases.push_back({"Scatter" + std::to_string(r) + "_" + std::to_string(seed),
                             [r, seed](Picture& p) { ScatterWithSeed(p, r, seed); },
                             [r, seed](Picture& p) { oracle::Scatter(p, r, seed); }});
    cases.push_back({"EqualizeHistogram", [](Picture& p) { EqualizeHistogram(p); },
                     [](Picture& p) { oracle::EqualizeHistogram(p); }});
    for (int d : {1, 2, 3, 5, 40})
        cases.push_back({"BlurPass" + std::to_string(d), [d](Picture& p) { BlurPass(p, d); },
                         [d](Picture& p) { oracle::BlurPass(p, d); }});
    for (int n : {0, 1, 2, 4, 30})
        cases.push_back({"Blur" + std::to_string(n), [n](Picture& p) { Blur(p, n); }, [n](Picture& p) { oracle::Blur(p, n); }});
    for (int b : {1, 2, 3, 5, 100})
        cases.push_back({"Mosaic" + std::to_string(b), [b](Picture& p) { Mosaic(p, b); },
                         [b](Picture& p) { oracle::Mosaic(p, b); }});
    for (auto [a, k] : std::vector<std::pair<int, double>>{{0, 2.0}, {50, 1.0}, {0, -1.0}, {-255, 1.0}, {255, 1.0}, {0, 0.1}, {0, 10.0}})
        cases.push_back({"BrightnessContrast" + std::to_string(a) + "_" + std::to_string(k),
                         [a, k](Picture& p) { BrightnessContrast(p, a, k); },
                         [a, k](Picture& p) { oracle::BrightnessContrast(p, a, k); }});
    for (int s : {0, 1, 100, 255, 256, 257, 1555, 65792, 65793, 1 << 24, -1, -300, INT32_MIN})
        cases.push_back({"AdjustSaturation" + std::to_string(s), [s](Picture& p) { AdjustSaturation(p, s); },
                         [s](Picture& p) { oracle::AdjustSaturation(p, s); }});
    return cases;
}

class KernelVersusOracle : public ::testing::TestWithParam<KernelCase> {};

TEST_P(KernelVersusOracle, RandomPicturesOfAwkwardSizes) {
    const KernelCase& k = GetParam();
    const std::pair<int, int> sizes[] = {{0, 5}, {5, 0}, {0, 0}, {1, 1}, {1, 7}, {7, 1}, {2, 3}, {17, 9},
                                         {64, 3}, {67, 5}, {130, 7}, {193, 4}, {1, 60}, {101, 1}};
    std::uint32_t seed = 7;
    for (const auto& [w, h] : sizes) {
        const Picture original = RandomPicture(w, h, ++seed);
        Picture fast = original, expected = original;
        k.fast(fast);
        k.literal(expected);
        EXPECT_EQ(FirstDifference(fast, expected), -1) << k.name << " on " << w << " x " << h;
    }
}

INSTANTIATE_TEST_SUITE_P(Art, KernelVersusOracle, ::testing::ValuesIn(KernelCases()),
                         [](const ::testing::TestParamInfo<KernelCase>& param) {
                             std::string name = param.param.name;
                             for (char& c : name)
                                 if (!isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });

// ------------------------------------------------------------- known values

TEST(GrayScale, PrimariesAndWhite) {
    struct Case {
        Bgr in;
        int grey;
    };
    const Case cases[] = {
        {{255, 255, 255}, 255}, {{0, 0, 255}, 76},  // pure red: 76.5 goes to the even neighbour
        {{0, 255, 0}, 150},     {{255, 0, 0}, 28},  {{0, 0, 0}, 0},
    };
    for (const Case& c : cases) {
        Picture p = SolidPicture(3, 2, static_cast<std::uint8_t>(c.in.b), static_cast<std::uint8_t>(c.in.g),
                                 static_cast<std::uint8_t>(c.in.r));
        GrayScale(p);
        EXPECT_EQ(PixelAt(p, 2, 1), (Bgr{c.grey, c.grey, c.grey})) << c.in.b << "," << c.in.g << "," << c.in.r;
    }
}

TEST(Emboss, FlatPictureIs128ExceptColumnZeroAndTheRowWithoutNeighbour) {
    for (EmbossDirection direction : {EmbossDirection::LowerLeft, EmbossDirection::UpperLeft}) {
        Picture p = SolidPicture(5, 4, 30, 200, 10);  // grey Round(3 + 118 + 3.3) = 124
        Emboss(p, direction);
        const int keptRow = direction == EmbossDirection::LowerLeft ? 3 : 0;
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 5; ++x) {
                const int expected = (x == 0 || y == keptRow) ? 124 : 128;
                EXPECT_EQ(PixelAt(p, x, y), (Bgr{expected, expected, expected})) << x << "," << y;
            }
    }
}

TEST(Emboss, SteepDifferencesClampToBlackAndWhite) {
    Picture p(2, 2);
    test::SetPixel(p, 0, 1, {255, 255, 255});  // lower-left neighbour of (1, 0) is white
    test::SetPixel(p, 1, 1, {0, 0, 0});
    Emboss(p, EmbossDirection::LowerLeft);
    EXPECT_EQ(PixelAt(p, 1, 0), (Bgr{0, 0, 0}));  // 0 - 255 + 128 < 0
    Picture q(2, 2);
    test::SetPixel(q, 1, 0, {255, 255, 255});  // (1, 0) white, its neighbour (0, 1) black
    Emboss(q, EmbossDirection::LowerLeft);
    EXPECT_EQ(PixelAt(q, 1, 0), (Bgr{255, 255, 255}));  // 255 - 0 + 128 > 255
}

TEST(ScatterRandom, FirstOutputsForAFixedSeed) {
    ScatterRandom seeds(12345);
    const std::uint32_t expectedSeeds[] = {1655067934u, 1242767767u, 342459380u, 2377737157u, 2721613530u, 1467157059u};
    for (std::uint32_t s : expectedSeeds) {
        seeds.Next(1);
        EXPECT_EQ(seeds.seed(), s);
    }
    ScatterRandom of101(12345), of5(12345);
    const std::uint32_t expected101[] = {38, 29, 8, 55, 64, 34};
    const std::uint32_t expected5[] = {1, 1, 0, 2, 3, 1};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(of101.Next(101), expected101[i]);
        EXPECT_EQ(of5.Next(5), expected5[i]);
    }
}

TEST(Scatter, OnePixelHighMovesOnlySidewaysAndOneWideOnlyUpAndDown) {
    const int r = 3;
    Picture row(40, 1);
    for (int x = 0; x < 40; ++x) test::SetPixel(row, x, 0, {x, 0, 0});
    ScatterWithSeed(row, r, 99);
    for (int x = 0; x < 40; ++x) {
        const Bgr got = PixelAt(row, x, 0);
        EXPECT_LE(std::abs(got.b - x), r);
        EXPECT_GE(got.b, 0);
    }
    Picture column(1, 40);
    for (int y = 0; y < 40; ++y) test::SetPixel(column, 0, y, {0, y, 0});
    ScatterWithSeed(column, r, 99);
    for (int y = 0; y < 40; ++y) EXPECT_LE(std::abs(PixelAt(column, 0, y).g - y), r);
}

TEST(Scatter, FixedSeedRepeatsAndTheClockDoesNot) {
    const Picture original = RandomPicture(64, 48, 5);
    EffectContext fixed;
    fixed.scatterSeed = 2024;
    Picture a = original, b = original, expected = original;
    Scatter(fixed, a, 2);
    Scatter(fixed, b, 2);
    oracle::Scatter(expected, 2, 2024);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, expected);
    Picture c = original, d = original;
    Scatter(EffectContext{}, c, 2);
    Scatter(EffectContext{}, d, 2);
    EXPECT_NE(c, d);
}

TEST(Scatter, RadiusOutsideTheSliderIsLimitedTo0To50) {
    const Picture original = RandomPicture(30, 20, 3);
    Picture big = original, fifty = original, negative = original, zero = original;
    ScatterWithSeed(big, 1000, 8);
    ScatterWithSeed(fifty, 50, 8);
    ScatterWithSeed(negative, -7, 8);
    ScatterWithSeed(zero, 0, 8);
    EXPECT_EQ(big, fifty);
    EXPECT_EQ(negative, zero);
    EXPECT_EQ(zero, original);  // radius 0: every offset is 0
}

TEST(EqualizeHistogram, FlatPictureTurnsWhite) {
    Picture p = SolidPicture(7, 3, 10, 128, 0);
    EqualizeHistogram(p);
    EXPECT_EQ(p, SolidPicture(7, 3, 255, 255, 255));
}

TEST(EqualizeHistogram, EvenHistogramSends0To1And255To255) {
    Picture p(256, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 256; ++x) test::SetPixel(p, x, y, {x, x, x});
    EqualizeHistogram(p);
    EXPECT_EQ(PixelAt(p, 0, 0), (Bgr{1, 1, 1}));
    EXPECT_EQ(PixelAt(p, 255, 2), (Bgr{255, 255, 255}));
}

TEST(Blur, ZeroPassesChangeNothingAndOnePassIsBlurPassOne) {
    const Picture original = RandomPicture(23, 11, 4);
    Picture none = original;
    Blur(none, 0);
    EXPECT_EQ(none, original);
    Blur(none, -3);
    EXPECT_EQ(none, original);
    Picture once = original, pass = original;
    Blur(once, 1);
    BlurPass(pass, 1);
    EXPECT_EQ(once, pass);
    Picture two = original, passes = original;
    Blur(two, 2);
    BlurPass(passes, 2);
    BlurPass(passes, 1);
    EXPECT_EQ(two, passes);
}

TEST(BlurPass, DistanceBelowOneChangesNothing) {
    const Picture original = RandomPicture(9, 9, 6);
    for (int d : {0, -1, INT32_MIN}) {
        Picture p = original;
        BlurPass(p, d);
        EXPECT_EQ(p, original);
    }
    Picture far = original, expected = original;  // far beyond the picture: corners only
    BlurPass(far, INT32_MAX);
    oracle::BlurPass(expected, 1000);
    EXPECT_EQ(far, expected);
}

TEST(Mosaic, BlockOneChangesNothingAndALargeBlockPaintsTheTopLeftColour) {
    const Picture original = RandomPicture(13, 7, 8);
    for (int b : {1, 0, -5}) {
        Picture p = original;
        Mosaic(p, b);
        EXPECT_EQ(p, original) << b;
    }
    const Bgr topLeft = PixelAt(original, 0, 0);
    for (int b : {13, 100, INT32_MAX}) {
        Picture p = original;
        Mosaic(p, b);
        EXPECT_EQ(p, SolidPicture(13, 7, static_cast<std::uint8_t>(topLeft.b), static_cast<std::uint8_t>(topLeft.g),
                                  static_cast<std::uint8_t>(topLeft.r)))
            << b;
    }
}

TEST(BrightnessContrast, KnownValues) {
    struct Case {
        int a;
        double k;
        int v, expected;
    };
    const Case cases[] = {
        {-255, 1.0, 255, 0}, {-255, 1.0, 0, 0},    {255, 1.0, 0, 255}, {255, 1.0, 200, 255},
        {0, -1.0, 0, 254},   {0, -1.0, 254, 0},    {0, -1.0, 255, 0},  {0, -1.0, 100, 154},  // the negative
        {0, 1.0, 77, 77},    {50, 1.0, 100, 150},  {0, 2.0, 127, 127}, {0, 2.0, 100, 73},    // midpoint 127
        {0, 2.0, 200, 255},  {0, 0.5, 0, 64},      // c = Round(63.5) = 64
    };
    for (const Case& c : cases) {
        Picture p = SolidPicture(2, 2, static_cast<std::uint8_t>(c.v), static_cast<std::uint8_t>(c.v), static_cast<std::uint8_t>(c.v));
        BrightnessContrast(p, c.a, c.k);
        EXPECT_EQ(PixelAt(p, 1, 1).r, c.expected) << c.a << " " << c.k << " " << c.v;
    }
}

TEST(AdjustSaturation, NeutralAmountAndFullGrey) {
    const Picture original = RandomPicture(31, 9, 10);
    Picture p = original;
    AdjustSaturation(p, 256);
    EXPECT_EQ(p, original);
    Picture q = SolidPicture(3, 1, 91, 60, 30);  // (R, G, B) = (30, 60, 91)
    AdjustSaturation(q, 1);
    EXPECT_EQ(PixelAt(q, 2, 0), (Bgr{60, 60, 60}));
}

}  // namespace
}  // namespace corvellin
