#include <cstdio>
#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "picture/Error.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using Kind = test::JpegKind;

// A solid-colour JPEG of one of the kinds. For the Adobe kinds `colour` holds
// the stored (inverted) inks as (Y, M, C), with no black.
std::vector<std::uint8_t> SolidJpeg(Kind kind, int width, int height, test::Bgr colour) {
    const int n = test::JpegSamplesPerPixel(kind);
    return test::EncodeJpegOfKind(kind, width, height, 95, [&](int, std::uint8_t* row) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = row + n * x;
            if (n == 1) {
                p[0] = static_cast<std::uint8_t>(colour.g);
            } else {
                p[0] = static_cast<std::uint8_t>(colour.r);
                p[1] = static_cast<std::uint8_t>(colour.g);
                p[2] = static_cast<std::uint8_t>(colour.b);
                if (n == 4) p[3] = 255;
            }
        }
    });
}

struct VariantCase {
    const char* name;
    Kind kind;
    test::Bgr colour;
    test::Bgr expected;
};

class JpegVariantTest : public ::testing::TestWithParam<VariantCase> {};

TEST_P(JpegVariantTest, DecodesToBlueGreenRed) {
    const VariantCase c = GetParam();
    const std::vector<std::uint8_t> file = SolidJpeg(c.kind, 37, 21, c.colour);
    const Picture picture = DecodeJpeg(file.data(), file.size());
    ASSERT_EQ(picture.width(), 37);
    ASSERT_EQ(picture.height(), 21);
    for (int y = 0; y < 21; y += 5)
        for (int x = 0; x < 37; x += 6) {
            const test::Bgr p = test::PixelAt(picture, x, y);
            EXPECT_NEAR(p.b, c.expected.b, 3) << c.name;
            EXPECT_NEAR(p.g, c.expected.g, 3) << c.name;
            EXPECT_NEAR(p.r, c.expected.r, 3) << c.name;
        }
}

// For the Adobe kinds `colour` holds the stored (inverted) inks as (Y, M, C).
INSTANTIATE_TEST_SUITE_P(
    Kinds, JpegVariantTest,
    ::testing::Values(VariantCase{"baseline", Kind::Baseline, {40, 120, 200}, {40, 120, 200}},
                      VariantCase{"progressive", Kind::Progressive, {40, 120, 200}, {40, 120, 200}},
                      VariantCase{"arithmetic", Kind::Arithmetic, {40, 120, 200}, {40, 120, 200}},
                      VariantCase{"grey", Kind::Grey, {0, 77, 0}, {77, 77, 77}},
                      VariantCase{"adobe cmyk red", Kind::AdobeCmyk, {0, 0, 255}, {0, 0, 255}},
                      VariantCase{"adobe cmyk teal", Kind::AdobeCmyk, {128, 128, 0}, {128, 128, 0}},
                      VariantCase{"adobe ycck", Kind::AdobeYcck, {255, 0, 0}, {255, 0, 0}}),
    [](const auto& testCase) {
        std::string name = testCase.param.name;
        for (char& ch : name)
            if (ch == ' ') ch = '_';
        return name;
    });

TEST(JpegCodec, EncoderWritesBaselineJfifThatDecodesClose) {
    Picture picture(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) test::SetPixel(picture, x, y, {x * 4, y * 5, 128});
    const std::vector<std::uint8_t> file = EncodeJpeg(picture, 90);
    const std::uint8_t jfif[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};
    ASSERT_GE(file.size(), 100u);
    EXPECT_TRUE(std::equal(std::begin(jfif), std::end(jfif), file.begin()));
    bool baseline = false, progressive = false;
    for (std::size_t i = 0; i + 1 < file.size(); ++i) {
        if (file[i] != 0xFF) continue;
        baseline |= file[i + 1] == 0xC0;
        progressive |= file[i + 1] == 0xC2;
    }
    EXPECT_TRUE(baseline);
    EXPECT_FALSE(progressive);
    const Picture decoded = DecodeJpeg(file.data(), file.size());
    EXPECT_LE(test::MaxDifference(picture, decoded), 12);
}

// Our encoder writes into its own growing block; the bytes must be exactly
// those of the library's defaults through its memory destination, also when
// the block has to grow (noise compresses to far more than the first block).
TEST(JpegCodec, EncoderBytesAreTheLibraryDefaultsAtAnySize) {
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {17, 9}, {640, 480}}) {
        const Picture picture = test::RandomPicture(w, h, 3);
        const auto expected = test::EncodeJpegOfKind(test::JpegKind::Baseline, w, h, 90, [&](int y, std::uint8_t* rgb) {
            const std::uint8_t* bgr = picture.row(y);
            for (int x = 0; x < w; ++x) rgb[3 * x] = bgr[3 * x + 2], rgb[3 * x + 1] = bgr[3 * x + 1], rgb[3 * x + 2] = bgr[3 * x];
        });
        EXPECT_TRUE(EncodeJpeg(picture, 90) == expected) << w << " x " << h;
        // Handed out in groups of rows, and stopped half-way: no bytes.
        int asked = 0;
        EXPECT_TRUE(EncodeJpeg(picture, 90, [&](int rows) { return (asked = rows) > 0; }) == expected);
        EXPECT_EQ(asked, h);
        EXPECT_TRUE(EncodeJpeg(picture, 90, [&](int rows) { return rows < h; }).empty());
    }
}

TEST(JpegCodec, StreamingDecodeReportsItsRowsInOrderAndGivesTheSamePicture) {
    const Picture picture = test::RandomPicture(90, 201, 4);
    const auto file = EncodeJpeg(picture, 90);
    Picture streamed;
    bool sizedFirst = false;
    std::vector<int> reports;
    JpegDecodeProgress progress;
    progress.sized = [&] { sizedFirst = reports.empty() && streamed.width() == 90 && streamed.height() == 201; };
    progress.decoded = [&](int rows) { reports.push_back(rows); };
    DecodeJpegInto(file.data(), file.size(), streamed, progress);
    EXPECT_TRUE(sizedFirst);
    EXPECT_EQ(streamed, DecodeJpeg(file.data(), file.size()));
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), 201);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
}

TEST(JpegCodec, EmptyPictureIsRefusedWithAClearMessage) {
    EXPECT_THROW(EncodeJpeg(Picture()), Error);
}

}  // namespace
}  // namespace corvellin
