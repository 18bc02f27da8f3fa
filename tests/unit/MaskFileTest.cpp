#include <gtest/gtest.h>

#include "TestFiles.h"
#include "effects/MaskFile.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::string ErrorText(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.what();
    }
    return "(no error)";
}

TEST(MaskFile, PathsAreJoinedWithSlashes) {
    EXPECT_EQ(MaskFilePath("/opt/c/pic", 6, 4), "/opt/c/pic/6/4.gph");
    EXPECT_EQ(MaskFilePath("/opt/c/pic/", 10, 10), "/opt/c/pic/10/10.gph");
    EXPECT_EQ(FrameMaskFilePath("/opt/c/pic", 12, 1), "/opt/c/pic/12/m1.gph");
}

// The stored header of each variant, byte by byte: the free leading bytes, the
// marker, and the XOR key that runs from offset 5 (JPEG) or 2 (BMP) to 99.
TEST(MaskFile, PackedHeaderFollowsTheStoredLayout) {
    const Bytes jpeg = EncodeJpeg(test::RandomPicture(20, 20), 90);
    const Bytes storedJpeg = PackMaskBytes(jpeg);
    EXPECT_EQ(storedJpeg[3], 0x73);
    EXPECT_EQ(storedJpeg[4], 0x74);
    for (std::size_t i = 5; i < 100; ++i) EXPECT_EQ(storedJpeg[i], jpeg[i] ^ (i + 27)) << i;
    EXPECT_TRUE(std::equal(jpeg.begin() + 100, jpeg.end(), storedJpeg.begin() + 100));

    const Bytes bmp = EncodeBmp(test::RandomPicture(20, 20));
    const Bytes storedBmp = PackMaskBytes(bmp);
    for (std::size_t i = 2; i < 100; ++i) EXPECT_EQ(storedBmp[i], bmp[i] ^ (i + 13)) << i;
    EXPECT_TRUE(std::equal(bmp.begin() + 100, bmp.end(), storedBmp.begin() + 100));

    EXPECT_EQ(UnpackMaskBytes(storedJpeg), jpeg);
    EXPECT_EQ(UnpackMaskBytes(storedBmp), bmp);
}

TEST(MaskFile, FreeLeadingBytesDoNotMatter) {
    test::TempDir dir;
    const Picture picture = test::RandomPicture(30, 20);
    for (const bool asBmp : {true, false}) {
        Bytes stored = PackMaskBytes(asBmp ? EncodeBmp(picture) : EncodeJpeg(picture, 90));
        const Picture reference = [&] {
            test::WriteBytes(dir.file("a.gph"), stored);
            return LoadMaskFile(dir.file("a.gph"));
        }();
        for (std::size_t i = 0; i < (asBmp ? 2u : 3u); ++i) stored[i] = static_cast<std::uint8_t>(0x5A + i);
        test::WriteBytes(dir.file("b.gph"), stored);
        EXPECT_EQ(LoadMaskFile(dir.file("b.gph")), reference);
        if (asBmp) {
            EXPECT_EQ(reference, picture);
        }
    }
}

// Hand-made stored files that the reader must handle, with what they give.
TEST(MaskFile, ReadErrorsCarryTheirTexts) {
    test::TempDir dir;
    const Bytes jpeg = EncodeJpeg(test::RandomPicture(20, 20), 90);
    const Bytes bmp = EncodeBmp(test::RandomPicture(20, 20));

    // A plain JFIF file is read as the BMP variant and fails as a bitmap.
    test::WriteBytes(dir.file("plain.gph"), jpeg);
    EXPECT_EQ(ErrorText([&] { LoadMaskFile(dir.file("plain.gph")); }), "Bitmap image is not valid");

    // A BMP whose stored bytes 3 and 4 read "st" is taken for a JPEG.
    Bytes fakeJpeg = PackMaskBytes(bmp);
    fakeJpeg[3] = 0x73;
    fakeJpeg[4] = 0x74;
    test::WriteBytes(dir.file("st.gph"), fakeJpeg);
    EXPECT_EQ(ErrorText([&] { LoadMaskFile(dir.file("st.gph")); }).rfind("JPEG error #", 0), 0u);

    // A JPEG variant cut short after its header.
    Bytes truncated = PackMaskBytes(jpeg);
    truncated.resize(truncated.size() / 2);
    test::WriteBytes(dir.file("cut.gph"), truncated);
    const std::string cut = ErrorText([&] { LoadMaskFile(dir.file("cut.gph")); });
    EXPECT_TRUE(cut.starts_with("JPEG error #")) << cut;
    EXPECT_EQ(cut.find(':'), std::string::npos) << "only the number: " << cut;

    test::WriteBytes(dir.file("short.gph"), Bytes(99, 0x73));
    const std::string shortText = ErrorText([&] { LoadMaskFile(dir.file("short.gph")); });
    EXPECT_NE(shortText.find("99 bytes"), std::string::npos) << shortText;
    EXPECT_NE(shortText.find(dir.file("short.gph")), std::string::npos) << shortText;

    EXPECT_EQ(ErrorText([&] { LoadMaskFile(dir.file("absent.gph")); }),
              "Cannot open file \"" + dir.file("absent.gph") + "\". No such file or directory");
}

TEST(MaskFile, PackRefusesWhatCannotBeAMask) {
    Bytes exif = EncodeJpeg(test::RandomPicture(20, 20), 90);
    exif[3] = 0xE1;  // an APP1 (Exif) file rather than JFIF
    EXPECT_NE(ErrorText([&] { PackMaskBytes(exif); }).find("FF D8 FF E0 00"), std::string::npos);
    EXPECT_NE(ErrorText([&] { PackMaskBytes(Bytes(50, 'B')); }), "(no error)");
    EXPECT_NE(ErrorText([&] { PackMaskBytes(Bytes(200, 'x')); }), "(no error)");
    EXPECT_NE(ErrorText([&] { UnpackMaskBytes(Bytes(10, 0)); }), "(no error)");
}

TEST(MaskFile, GreyscaleJpegMaskHasEqualChannels) {
    test::TempDir dir;
    Picture grey(64, 32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 64; ++x) test::SetPixel(grey, x, y, {0, x * 4, 0});
    test::WriteBytes(dir.file("grey.gph"), PackMaskBytes(test::EncodeGreyJpeg(grey)));
    const Picture mask = LoadMaskFile(dir.file("grey.gph"));
    ASSERT_EQ(mask.width(), 64);
    for (std::size_t i = 0; i < mask.byteCount(); i += 3) {
        ASSERT_EQ(mask.data()[i], mask.data()[i + 1]);
        ASSERT_EQ(mask.data()[i + 1], mask.data()[i + 2]);
    }
    EXPECT_NEAR(test::PixelAt(mask, 40, 10).g, 160, 3);
}

TEST(MaskFile, PrepareMaskStretchesToTheRequestedSize) {
    test::TempDir dir;
    const Picture source = test::RandomPicture(300, 200, 9);
    test::WriteMaskFile(dir.path(), 5, 2, source);
    const std::string path = MaskFilePath(dir.path(), 5, 2);
    EXPECT_EQ(LoadMaskFile(path), source);
    EXPECT_EQ(PrepareMask(path, 150, 150), StretchNearest(source, 150, 150));
    EXPECT_EQ(PrepareMask(path, 1, 1), StretchNearest(source, 1, 1));
    EXPECT_EQ(PrepareMask(path, 3000, 2000).width(), 3000);
}

}  // namespace
}  // namespace corvellin
