// The generator paints the same bytes every time, writes decodable mask files
// of both variants, and its 8-bit palette bitmaps read back exactly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestFiles.h"
#include "Generator.h"
#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/FileIO.h"

namespace {

namespace fs = std::filesystem;

using corvellin::test::TempDir;

TEST(MaskgenBmp8, PaletteBitmapDecodesToItsColours) {
    // Width 5 makes every row carry three bytes of padding.
    std::array<std::uint32_t, 256> palette{};
    for (std::uint32_t i = 0; i < 256; ++i) palette[i] = (255 - i) << 16 | i << 8 | (i / 2);
    std::vector<std::uint8_t> indices(5 * 3);
    for (std::size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<std::uint8_t>(i * 17);
    const auto bytes = maskgen::EncodeBmp8(indices, 5, 3, palette);
    ASSERT_EQ(bytes[28], 8);
    const corvellin::Picture picture = corvellin::DecodeBmp(bytes.data(), bytes.size());
    ASSERT_EQ(picture.width(), 5);
    ASSERT_EQ(picture.height(), 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) {
            const std::uint32_t c = palette[indices[static_cast<std::size_t>(y * 5 + x)]];
            const std::uint8_t* px = picture.row(y) + 3 * x;
            EXPECT_EQ(px[0], c & 0xFF);
            EXPECT_EQ(px[1], (c >> 8) & 0xFF);
            EXPECT_EQ(px[2], c >> 16);
        }
    EXPECT_THROW(maskgen::EncodeBmp8(indices, 4, 3, palette), corvellin::Error);
}

TEST(MaskgenGenerate, SameBytesEveryTimeAndEveryFileDecodes) {
    // Texture holds JPEG and 8-bit BMP files; one thread and two threads must agree.
    TempDir a, b;
    const auto jobs = maskgen::JobsFor({10});
    ASSERT_EQ(jobs.size(), 10u);
    maskgen::Generate(a.path(), jobs, 1);
    maskgen::Generate(b.path(), jobs, 2);
    for (int n = 1; n <= 10; ++n) {
        const std::string fa = corvellin::MaskFilePath(a.path(), 10, n), fb = corvellin::MaskFilePath(b.path(), 10, n);
        EXPECT_EQ(corvellin::ReadWholeFile(fa), corvellin::ReadWholeFile(fb)) << n;
        const corvellin::Picture mask = corvellin::LoadMaskFile(fa);
        EXPECT_EQ(mask.width(), jobs[static_cast<std::size_t>(n - 1)].width) << n;
        EXPECT_EQ(mask.height(), jobs[static_cast<std::size_t>(n - 1)].height) << n;
    }
}

TEST(MaskgenGenerate, UnwritableFolderIsReported) {
    // A folder path whose parent is a regular file cannot be created, even by root.
    TempDir dir;
    const std::string file = dir.path() + "/plain";
    corvellin::WriteFileAtomically(file, {1, 2, 3});
    EXPECT_THROW(maskgen::Generate(file + "/pic", maskgen::JobsFor({0}), 1), corvellin::Error);
}

#ifdef MASKGEN_SHIPPED_PIC_DIR
// The art of the build itself: every file is there and decodes, both variants
// occur (one an 8-bit palette bitmap), additive masks are mostly dark,
// textures mostly light, and every frame has a mask of its size.
TEST(MaskgenShipped, EveryMaskDecodesAndLooksItsKind) {
    const std::string pic = MASKGEN_SHIPPED_PIC_DIR;
    int jpeg = 0, bmp = 0, bmp8 = 0;
    for (int category : maskgen::kArtCategories)
        for (int n = 1; n <= 10; ++n) {
            const std::string path = corvellin::MaskFilePath(pic, category, n);
            const auto stored = corvellin::ReadWholeFile(path);
            const bool isJpeg = stored[3] == 0x73 && stored[4] == 0x74;
            (isJpeg ? jpeg : bmp)++;
            if (!isJpeg && corvellin::UnpackMaskBytes(stored)[28] == 8) ++bmp8;
            const corvellin::Picture mask = corvellin::LoadMaskFile(path);
            ASSERT_GE(std::max(mask.width(), mask.height()), 1500) << path;
            double sum = 0;
            for (std::size_t i = 0; i < mask.byteCount(); ++i) sum += mask.data()[i];
            const double mean = sum / static_cast<double>(mask.byteCount()) / 255;
            if (category == 10) {
                EXPECT_GT(mean, 0.6) << path;
            } else if (category == 11) {
                EXPECT_GT(mean, 0.3) << path;  // an edge keeps a good part of the picture
            } else if (category != 12) {
                EXPECT_LT(mean, 0.3) << path;
            }
        }
    for (int n = 1; n <= 10; ++n) {
        const corvellin::Picture mask = corvellin::LoadMaskFile(corvellin::FrameMaskFilePath(pic, 12, n));
        EXPECT_EQ(mask.width(), corvellin::LoadMaskFile(corvellin::MaskFilePath(pic, 12, n)).width()) << n;
    }
    EXPECT_GT(jpeg, bmp);
    EXPECT_GE(bmp, 2);
    EXPECT_GE(bmp8, 1);
    const auto photo = corvellin::ReadWholeFile(pic + "/default.jpg");
    EXPECT_EQ(photo[0], 0xFF);
    EXPECT_EQ(photo[1], 0xD8);
}
#endif

}  // namespace
