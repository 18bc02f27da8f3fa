#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "effects/kernels/EdgeFrameBlend.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"

namespace corvellin {
namespace {

using test::Bgr;

// The mixes as written down, with the special cases of white and black masks.
std::uint8_t EdgeOracle(int channel, int colour, int m) {
    if (m == 0) return static_cast<std::uint8_t>(colour);
    if (m == 255) return static_cast<std::uint8_t>(channel);
    const double w = m / 255.0;
    return static_cast<std::uint8_t>(std::nearbyint(channel * w + (1 - w) * colour));
}
std::uint8_t FrameOracle(int channel, int frame, int m) {
    if (m == 255) return static_cast<std::uint8_t>(frame);
    if (m == 0) return static_cast<std::uint8_t>(channel);
    const double w = m / 255.0;
    return static_cast<std::uint8_t>(std::nearbyint(frame * w + (1 - w) * channel));
}

// Each of the shipped row mixers on its own; a path this processor cannot run
// is skipped with the reason, never checked through the plain loops instead.
using Path = EdgeFrameRowMixer::Path;

class EdgeFrameRowPath : public ::testing::TestWithParam<Path> {
protected:
    void SetUp() override {
        if (!EdgeFrameRowMixer::Runs(GetParam()))
            GTEST_SKIP() << "this processor has no " << EdgeFrameRowMixer::PathName(GetParam()) << " instructions";
        RecordProperty("path", EdgeFrameRowMixer::PathName(GetParam()));
    }
};

// Every (a, b, m) triple through the row mixers of this path. Row b holds
// 65,536 pixels: pixel j has mask red m = j / 256 and its three bytes take
// every value a as j runs through a block of 256; Edge mixes with the colour
// (b, b, b), Frame with a frame row of b; both are held to their definitions.
TEST_P(EdgeFrameRowPath, EveryTripleThroughTheShippedRowMixers) {
    constexpr std::size_t kPixels = 65536, kBytes = 3 * kPixels;
    std::vector<std::uint8_t> original(kBytes), mask(kBytes), frame(kBytes), row(kBytes);
    for (std::size_t i = 0; i < kBytes; ++i) {
        const std::size_t j = i / 3;
        original[i] = static_cast<std::uint8_t>(3 * (j % 256) + i % 3);
        mask[i] = static_cast<std::uint8_t>(j / 256);
    }
    long long edgeFaults = 0, frameFaults = 0;
    for (unsigned b = 0; b < 256; ++b) {
        EdgeFrameRowMixer edge(kBytes, b * 0x010101u), frameMixer(kBytes);
        edge.UsePath(GetParam());
        frameMixer.UsePath(GetParam());
        row = original;
        edge.EdgeRow(row.data(), mask.data());
        for (std::size_t i = 0; i < kBytes; ++i) edgeFaults += row[i] != EdgeOracle(original[i], b, mask[i]);
        std::fill(frame.begin(), frame.end(), static_cast<std::uint8_t>(b));
        row = original;
        frameMixer.FrameRow(row.data(), frame.data(), mask.data());
        for (std::size_t i = 0; i < kBytes; ++i) frameFaults += row[i] != FrameOracle(original[i], b, mask[i]);
    }
    EXPECT_EQ(edgeFaults, 0);
    EXPECT_EQ(frameFaults, 0);
}

// Whole rows against the definitions for widths around the 16-pixel vector
// step, so that the vector part and the tail meet at every offset.
TEST_P(EdgeFrameRowPath, MatchesTheDefinitionsOnOddSizes) {
    for (const int width : {1, 5, 15, 16, 17, 31, 32, 33, 47, 100, 161}) {
        const Picture original = test::RandomPicture(width, 3, static_cast<std::uint32_t>(width));
        const Picture mask = test::RandomPicture(width, 3, static_cast<std::uint32_t>(width + 1000));
        const Picture frame = test::RandomPicture(width, 3, static_cast<std::uint32_t>(width + 2000));
        const std::uint32_t colour = 0x3366C9;
        Picture edged = original, framed = original;
        EdgeFrameRowMixer edge(edged.stride(), colour), frameMixer(framed.stride());
        edge.UsePath(GetParam());
        frameMixer.UsePath(GetParam());
        for (int y = 0; y < 3; ++y) {
            edge.EdgeRow(edged.row(y), mask.row(y));
            frameMixer.FrameRow(framed.row(y), frame.row(y), mask.row(y));
        }
        const int colourByChannel[3] = {0x33, 0x66, 0xC9};  // blue, green, red of 0x3366C9
        for (std::size_t i = 0; i < original.byteCount(); ++i) {
            const int m = mask.data()[i - i % 3 + 2];
            ASSERT_EQ(edged.data()[i], EdgeOracle(original.data()[i], colourByChannel[i % 3], m))
                << "width " << width << " byte " << i;
            ASSERT_EQ(framed.data()[i], FrameOracle(original.data()[i], frame.data()[i], m))
                << "width " << width << " byte " << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Paths, EdgeFrameRowPath, ::testing::Values(Path::Avx2, Path::Ssse3, Path::Plain),
                         [](const ::testing::TestParamInfo<Path>& info) {
                             return std::string(EdgeFrameRowMixer::PathName(info.param));
                         });

Picture Solid(Bgr c, int w = 1, int h = 1) {
    return test::SolidPicture(w, h, static_cast<std::uint8_t>(c.b), static_cast<std::uint8_t>(c.g), static_cast<std::uint8_t>(c.r));
}
std::vector<std::uint8_t> EncodeBmpForTest() { return EncodeBmp(Solid({0, 0, 128}, 6, 6)); }

TEST(EdgeFrameBlend, KnownPixels) {
    const struct {
        Bgr picture, mask;
        std::uint32_t colour;
        Bgr expected;
    } edges[] = {
        {{10, 20, 30}, {0, 0, 0}, 0x0000FF, {0, 0, 255}},
        {{10, 20, 30}, {255, 255, 0}, 0x0000FF, {0, 0, 255}},  // only red is read
        {{10, 20, 30}, {0, 0, 255}, 0x0000FF, {10, 20, 30}},
        {{200, 200, 200}, {9, 9, 128}, 0x0000FF, {100, 100, 227}},
        {{77, 77, 77}, {0, 0, 0}, kDefaultEdgeColour, {0, 128, 0}},
        {{77, 77, 77}, {0, 0, 0}, 0xFF332211, {0x33, 0x22, 0x11}},  // top byte ignored
    };
    for (const auto& c : edges) {
        Picture p = Solid(c.picture);
        EdgeBlend(p, Solid(c.mask), c.colour);
        EXPECT_EQ(test::PixelAt(p, 0, 0), c.expected);
    }
    const struct {
        Bgr picture, frame, mask, expected;
    } frames[] = {
        {{1, 2, 3}, {200, 150, 100}, {0, 0, 255}, {200, 150, 100}},
        {{1, 2, 3}, {200, 150, 100}, {255, 255, 0}, {1, 2, 3}},
        {{0, 0, 0}, {255, 255, 255}, {0, 0, 51}, {51, 51, 51}},
    };
    for (const auto& c : frames) {
        Picture p = Solid(c.picture);
        FrameBlend(p, Solid(c.frame), Solid(c.mask));
        EXPECT_EQ(test::PixelAt(p, 0, 0), c.expected);
    }
}

class EdgeFrameEffectTest : public ::testing::Test {
protected:
    void SetUp() override { context_.picDir = dir_.path(); }
    test::TempDir dir_;
    EffectContext context_;
};

TEST_F(EdgeFrameEffectTest, ChangingTheColourChangesOnlyPixelsWhoseMaskRedIsBelow255) {
    Picture mask(40, 30);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) test::SetPixel(mask, x, y, {0, 0, x < 20 ? 255 : (x * 6) % 255});
    test::WriteMaskFile(dir_.path(), 11, 3, mask);
    const Picture original = test::RandomPicture(40, 30);
    Picture green = original, red = original;
    ApplyEffect(context_, &green, 11, 2, -1, kDefaultEdgeColour);
    ApplyEffect(context_, &red, 11, 2, -1, 0x0000FF);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            if (x < 20) {
                EXPECT_EQ(test::PixelAt(green, x, y), test::PixelAt(original, x, y));
                EXPECT_EQ(test::PixelAt(red, x, y), test::PixelAt(original, x, y));
            } else {
                EXPECT_NE(test::PixelAt(green, x, y), test::PixelAt(red, x, y)) << x;
            }
        }
}

TEST_F(EdgeFrameEffectTest, FrameReadsItsMaskFirstAndChangesNothingOnError) {
    const Picture original = test::RandomPicture(20, 20);
    Picture picture = original;
    test::WriteMaskFile(dir_.path(), 12, 4, Solid({9, 9, 9}, 8, 8));  // frame picture only
    try {
        ApplyEffect(context_, &picture, 12, 3, -1, 0);
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find(FrameMaskFilePath(dir_.path(), 12, 4)), std::string::npos) << error.what();
    }
    // With the mask but a damaged frame picture: still nothing changes.
    test::WriteBytes(FrameMaskFilePath(dir_.path(), 12, 4), PackMaskBytes(EncodeBmpForTest()));
    test::WriteBytes(MaskFilePath(dir_.path(), 12, 4), std::vector<std::uint8_t>(300, 1));
    EXPECT_THROW(ApplyEffect(context_, &picture, 12, 3, -1, 0), Error);
    EXPECT_THROW(ApplyEffect(context_, &picture, 11, 3, -1, 0), Error);
    EXPECT_EQ(picture, original);
}

TEST_F(EdgeFrameEffectTest, FrameShowsTheFrameWhereItsMaskIsWhite) {
    Picture mask(10, 10);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x) test::SetPixel(mask, x, y, {0, 0, (x == 0 || y == 0) ? 255 : 0});
    test::WriteMaskFile(dir_.path(), 12, 1, Solid({10, 20, 30}, 5, 5));
    test::WriteBytes(FrameMaskFilePath(dir_.path(), 12, 1), PackMaskBytes(EncodeBmp(mask)));
    const Picture original = test::RandomPicture(100, 100);
    Picture picture = original;
    ApplyEffect(context_, &picture, EffectCall{Category::Frame, 0});
    EXPECT_EQ(test::PixelAt(picture, 0, 50), (Bgr{10, 20, 30}));
    EXPECT_EQ(test::PixelAt(picture, 50, 0), (Bgr{10, 20, 30}));
    EXPECT_EQ(test::PixelAt(picture, 50, 50), test::PixelAt(original, 50, 50));
}

}  // namespace
}  // namespace corvellin
