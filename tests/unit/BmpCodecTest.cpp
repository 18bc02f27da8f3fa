#include <gtest/gtest.h>

#include "TestFiles.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"

namespace corvellin {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// Assembles a BMP file: file header, an info header of the given size (12 for
// OS/2 1.x), optional bit-field masks after a 40-byte header, a palette and the
// pixel data exactly as given.
struct BmpLayout {
    std::uint32_t headerSize = 40;
    int width = 0;
    int height = 0;  // negative for top-down
    int bitCount = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> masks;  // R, G, B
    std::vector<test::Bgr> palette;
    Bytes pixels;
};

Bytes MakeBmp(const BmpLayout& s) {
    const bool os2 = s.headerSize == 12;
    const std::size_t entry = os2 ? 3 : 4;
    const std::size_t maskBytes = (s.headerSize == 40) ? s.masks.size() * 4 : 0;
    const std::size_t offset = 14 + s.headerSize + maskBytes + s.palette.size() * entry;
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(offset + s.pixels.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, s.headerSize);
    if (os2) {
        Put16(b, 18, static_cast<unsigned>(s.width));
        Put16(b, 20, static_cast<unsigned>(s.height));
        Put16(b, 22, 1);
        Put16(b, 24, static_cast<unsigned>(s.bitCount));
    } else {
        Put32(b, 18, static_cast<std::uint32_t>(s.width));
        Put32(b, 22, static_cast<std::uint32_t>(s.height));
        Put16(b, 26, 1);
        Put16(b, 28, static_cast<unsigned>(s.bitCount));
        Put32(b, 30, s.compression);
        Put32(b, 46, static_cast<std::uint32_t>(s.palette.size()));
        for (std::size_t i = 0; i < s.masks.size(); ++i) Put32(b, 54 + 4 * i, s.masks[i]);
    }
    std::size_t at = 14 + s.headerSize + maskBytes;
    for (const test::Bgr& c : s.palette) {
        b[at] = static_cast<std::uint8_t>(c.b);
        b[at + 1] = static_cast<std::uint8_t>(c.g);
        b[at + 2] = static_cast<std::uint8_t>(c.r);
        at += entry;
    }
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

const test::Bgr kRed{0, 0, 255}, kGreen{0, 255, 0}, kBlue{255, 0, 0}, kWhite{255, 255, 255}, kBlack{0, 0, 0};

struct BmpCase {
    const char* name;
    BmpLayout layout;
    std::vector<std::vector<test::Bgr>> expected;  // rows from the top
};

class BmpVariantTest : public ::testing::TestWithParam<BmpCase> {};

TEST_P(BmpVariantTest, DecodesEveryPixel) {
    const BmpCase& c = GetParam();
    const Bytes file = MakeBmp(c.layout);
    const Picture picture = DecodeBmp(file.data(), file.size());
    ASSERT_EQ(picture.height(), static_cast<int>(c.expected.size()));
    ASSERT_EQ(picture.width(), static_cast<int>(c.expected[0].size()));
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            EXPECT_EQ(test::PixelAt(picture, x, y), c.expected[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)])
                << c.name << " at " << x << "," << y;
}

std::vector<BmpCase> Cases() {
    std::vector<BmpCase> cases;
    // 2 x 2, bottom-up: the first stored row is the bottom one.
    cases.push_back({"bits24", {40, 2, 2, 24, 0, {}, {}, {0, 0, 255, 0, 255, 0, 0, 0, /*top*/ 255, 0, 0, 255, 255, 255, 0, 0}},
                     {{kBlue, kWhite}, {kRed, kGreen}}});
    cases.push_back({"bits24_top_down", {40, 2, -2, 24, 0, {}, {}, {0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 255, 255, 255, 0, 0}},
                     {{kRed, kGreen}, {kBlue, kWhite}}});
    // 1 bit: 3 pixels in one byte, rows padded to 4 bytes.
    cases.push_back({"bits1", {40, 3, 1, 1, 0, {}, {kBlack, kWhite}, {0b10100000, 0, 0, 0}}, {{kWhite, kBlack, kWhite}}});
    cases.push_back({"bits4", {40, 3, 1, 4, 0, {}, {kBlack, kRed, kGreen}, {0x12, 0x00, 0, 0}}, {{kRed, kGreen, kBlack}}});
    cases.push_back({"bits8", {40, 2, 1, 8, 0, {}, {kBlack, kBlue, kGreen}, {2, 1, 0, 0}}, {{kGreen, kBlue}}});
    cases.push_back({"os2_core_header", {12, 2, 1, 8, 0, {}, {kBlack, kRed}, {1, 0, 0, 0}}, {{kRed, kBlack}}});
    // 16 bits, default 5-5-5: 0x7C00 is full red; 0x03E0 full green.
    cases.push_back({"bits16_555", {40, 2, 1, 16, 0, {}, {}, {0x00, 0x7C, 0xE0, 0x03}}, {{kRed, kGreen}}});
    cases.push_back({"bits16_565_bitfields", {40, 2, 1, 16, 3, {0xF800, 0x07E0, 0x001F}, {}, {0x00, 0xF8, 0x1F, 0x00}},
                     {{kRed, kBlue}}});
    cases.push_back({"bits32", {40, 1, 1, 32, 0, {}, {}, {10, 20, 30, 99}}, {{{10, 20, 30}}}});
    cases.push_back({"bits32_bitfields_v4_header",
                     {108, 1, 1, 32, 3, {0x0000FF, 0x00FF00, 0xFF0000}, {}, {0x11, 0x22, 0x33, 0x44}}, {{{0x33, 0x22, 0x11}}}});
    // RLE8: a run of 2 (index 1), an absolute run of 3 (2,1,2 + pad), end of line, end of bitmap.
    cases.push_back({"rle8", {40, 5, 2, 8, 1, {}, {kBlack, kRed, kGreen}, {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 2, 2, 0, 1}},
                     {{kGreen, kGreen, kBlack, kBlack, kBlack}, {kRed, kRed, kGreen, kRed, kGreen}}});
    // RLE4: a run of 3 alternating 1,2; then a delta of (1, 0); one pixel of 2; end of bitmap.
    cases.push_back({"rle4", {40, 6, 1, 4, 2, {}, {kBlack, kRed, kGreen}, {3, 0x12, 0, 2, 1, 0, 1, 0x20, 0, 1}},
                     {{kRed, kGreen, kRed, kBlack, kGreen, kBlack}}});
    return cases;
}

INSTANTIATE_TEST_SUITE_P(Variants, BmpVariantTest, ::testing::ValuesIn(Cases()),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(BmpCodec, EncodedFileIs24BitBottomUpAndRoundTrips) {
    const Picture picture = test::RandomPicture(5, 3);  // 15-byte rows pad to 16
    const Bytes file = EncodeBmp(picture);
    EXPECT_EQ(file.size(), 54u + 16u * 3u);
    EXPECT_EQ(file[28], 24);
    EXPECT_EQ(file[30], 0);  // uncompressed
    EXPECT_EQ(DecodeBmp(file.data(), file.size()), picture);
    EXPECT_THROW(EncodeBmp(Picture()), Error);
}

TEST(BmpCodec, HugeClaimedSizeIsRefusedBeforeAllocating) {
    BmpLayout layout{40, 30001, 2, 24, 0, {}, {}, Bytes(16, 0)};
    Bytes file = MakeBmp(layout);
    try {
        DecodeBmp(file.data(), file.size());
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("30001 x 2"), std::string::npos) << error.what();
    }
    layout.width = 20000;
    layout.height = -20000;  // 400 megapixels, top-down
    file = MakeBmp(layout);
    EXPECT_THROW(DecodeBmp(file.data(), file.size()), Error);
}

}  // namespace
}  // namespace corvellin
