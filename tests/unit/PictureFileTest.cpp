#include <cstring>
#include <filesystem>
#include <random>

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"
#include "picture/PictureFile.h"

namespace corvellin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct BoxRecorder {
    std::vector<std::string> texts;
    ErrorBoxFunction function() {
        return [this](const std::string& text) { texts.push_back(text); };
    }
};

TEST(PictureFile, FormatIsTakenFromTheLastDotWithoutCase) {
    const std::pair<const char*, PictureFormat> cases[] = {
        {"/a/photo.jpg", PictureFormat::Jpeg},  {"/a/PHOTO.JPEG", PictureFormat::Jpeg},
        {"x.JpG", PictureFormat::Jpeg},         {"/a/b.c/pic.Bmp", PictureFormat::Bmp},
        {"/a/photo.gif", PictureFormat::Unknown}, {"/a/b.jpg/photo", PictureFormat::Unknown},
        {"/a/photo.jpg.gif", PictureFormat::Unknown}, {"/a/photo.gif.jpg", PictureFormat::Jpeg},
        {"/a/p.PNG", PictureFormat::Png},       {"p.tif", PictureFormat::Tiff}, {"p.TIFF", PictureFormat::Tiff},
        {"p.webp", PictureFormat::Webp},        {"p.HEIC", PictureFormat::Heif}, {"p.heif", PictureFormat::Heif},
        {"noextension", PictureFormat::Unknown},
    };
    for (const auto& [path, format] : cases) EXPECT_EQ(PictureFormatOfPath(path), format) << path;
}

TEST(PictureFile, MissingFileAndWrongExtensionShowTheirBoxesAndChangeNothing) {
    test::TempDir dir;
    const Picture original = test::RandomPicture(3, 2);
    Picture picture = original;
    BoxRecorder boxes;
    EXPECT_FALSE(LoadPictureFile(dir.file("none.jpg"), picture, boxes.function()));
    test::WriteBytes(dir.file("photo.gif"), EncodeBmp(original));
    EXPECT_FALSE(LoadPictureFile(dir.file("photo.gif"), picture, boxes.function()));
    EXPECT_FALSE(LoadPictureFile(dir.path(), picture, boxes.function()));  // a folder is not a file
    ASSERT_EQ(boxes.texts.size(), 3u);
    EXPECT_EQ(boxes.texts[0], "Picture does not exists!\r" + dir.file("none.jpg"));
    EXPECT_EQ(boxes.texts[1], "Picture format must be bmp, heic, heif, jpeg, jpg, png, tif, tiff or webp!");
    EXPECT_EQ(boxes.texts[2], "Picture does not exists!\r" + dir.path());
    EXPECT_EQ(picture, original);
}

TEST(PictureFile, LoadsByExtensionWhateverItsCase) {
    test::TempDir dir;
    const Picture original = test::RandomPicture(7, 5);
    test::WriteBytes(dir.file("PHOTO.BMP"), EncodeBmp(original));
    test::WriteBytes(dir.file("PHOTO.JPEG"), EncodeJpeg(test::SolidPicture(9, 4, 10, 100, 200)));
    Picture picture;
    BoxRecorder boxes;
    ASSERT_TRUE(LoadPictureFile(dir.file("PHOTO.BMP"), picture, boxes.function()));
    EXPECT_EQ(picture, original);
    ASSERT_TRUE(LoadPictureFile(dir.file("PHOTO.JPEG"), picture, boxes.function()));
    EXPECT_EQ(picture.width(), 9);
    EXPECT_LE(test::MaxDifference(picture, test::SolidPicture(9, 4, 10, 100, 200)), 3);
    EXPECT_TRUE(boxes.texts.empty());
}

TEST(PictureFile, SaveWritesJpegQuality90OrBmpAndRoundTrips) {
    test::TempDir dir;
    const Picture picture = test::RandomPicture(31, 17);
    SavePictureFile(dir.file("out.bmp"), picture, PictureFormat::Bmp);
    EXPECT_EQ(test::ReadBytes(dir.file("out.bmp")), EncodeBmp(picture));
    // The format follows the caller's choice, not the name.
    SavePictureFile(dir.file("named.bmp"), picture, PictureFormat::Jpeg);
    EXPECT_EQ(test::ReadBytes(dir.file("named.bmp")), EncodeJpeg(picture, 90));
}

// Small damaged files of every kind: each gives an Error with a text and never
// crashes; the picture handed in stays as it was.
std::vector<std::pair<std::string, Bytes>> DamagedFiles() {
    const Picture photo = test::RandomPicture(40, 30, 7);
    const Bytes jpeg = EncodeJpeg(photo, 90);
    const Bytes bmp = EncodeBmp(photo);
    std::vector<std::pair<std::string, Bytes>> files;
    for (const auto& [ext, valid] : {std::pair{std::string("jpg"), jpeg}, std::pair{std::string("bmp"), bmp}}) {
        files.push_back({"empty." + ext, {}});
        for (std::size_t keep : {std::size_t{1}, std::size_t{2}, std::size_t{13}, std::size_t{60}, valid.size() / 2,
                                 valid.size() - 3})
            files.push_back({"truncated-" + std::to_string(keep) + "." + ext, Bytes(valid.begin(), valid.begin() + keep)});
        Bytes badMagic = valid;
        badMagic[0] = 'X';
        files.push_back({"bad-magic." + ext, badMagic});
    }
    // The other kind's bytes under a name.
    files.push_back({"bmp-named.jpg", bmp});
    files.push_back({"jpeg-named.bmp", jpeg});
    // Absurd sizes: a JPEG frame header claiming 65500 x 65500, a BMP header claiming 2^31 rows.
    Bytes hugeJpeg = jpeg;
    for (std::size_t i = 0; i + 8 < hugeJpeg.size(); ++i)
        if (hugeJpeg[i] == 0xFF && hugeJpeg[i + 1] == 0xC0) {
            hugeJpeg[i + 5] = hugeJpeg[i + 7] = 0xFF;
            hugeJpeg[i + 6] = hugeJpeg[i + 8] = 0xDC;
            break;
        }
    files.push_back({"huge.jpg", hugeJpeg});
    Bytes hugeBmp = bmp;
    hugeBmp[22] = hugeBmp[23] = hugeBmp[24] = 0;
    hugeBmp[25] = 0x80;
    files.push_back({"huge-height.bmp", hugeBmp});
    Bytes zeroWidth = bmp;
    zeroWidth[18] = zeroWidth[19] = 0;
    files.push_back({"zero-width.bmp", zeroWidth});
    Bytes badDepth = bmp;
    badDepth[28] = 7;
    files.push_back({"depth-7.bmp", badDepth});
    Bytes pixelsPastEnd = bmp;
    pixelsPastEnd[10] = 0xF0;
    pixelsPastEnd[11] = 0xFF;
    files.push_back({"offset-past-end.bmp", pixelsPastEnd});
    return files;
}

TEST(PictureFile, DamagedFilesGiveAClearErrorAndLeaveThePicture) {
    test::TempDir dir;
    const Picture original = test::RandomPicture(2, 2);
    for (const auto& [name, bytes] : DamagedFiles()) {
        test::WriteBytes(dir.file(name), bytes);
        Picture picture = original;
        BoxRecorder boxes;
        try {
            LoadPictureFile(dir.file(name), picture, boxes.function());
            ADD_FAILURE() << name << " loaded";
        } catch (const Error& error) {
            EXPECT_GT(std::string(error.what()).size(), 10u) << name << ": '" << error.what() << "'";
        }
        EXPECT_EQ(picture, original) << name;
        EXPECT_TRUE(boxes.texts.empty()) << name;
    }
}

TEST(PictureFile, RandomlyCorruptedFilesNeverCrash) {
    const Picture photo = test::RandomPicture(24, 16, 3);
    std::mt19937 random(11);
    for (const Bytes& valid : {EncodeJpeg(photo, 90), EncodeBmp(photo)}) {
        for (int round = 0; round < 300; ++round) {
            Bytes bytes = valid;
            const int flips = 1 + static_cast<int>(random() % 8);
            for (int i = 0; i < flips; ++i) bytes[random() % bytes.size()] = static_cast<std::uint8_t>(random());
            try {
                const Picture p = valid[0] == 'B' ? DecodeBmp(bytes.data(), bytes.size()) : DecodeJpeg(bytes.data(), bytes.size());
                EXPECT_FALSE(p.empty());
            } catch (const Error&) {
            }
        }
    }
}

// Places where a write fails even for root: a full file system, a read-only
// one, and a folder that is really a file.
class FailedWriteTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "mounting a small file system needs root";
    }
    void Mount(const std::string& options) {
        ASSERT_EQ(::mount("tmpfs", dir_.path().c_str(), "tmpfs", 0, options.c_str()), 0) << std::strerror(errno);
        mounted_ = true;
    }
    void TearDown() override {
        if (mounted_) ::umount2(dir_.path().c_str(), MNT_DETACH);
    }
    std::vector<std::string> Listing() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(dir_.path())) names.push_back(entry.path().filename());
        return names;
    }
    test::TempDir dir_;
    bool mounted_ = false;
};

TEST_F(FailedWriteTest, FullDiskKeepsTheOldFileAndLeavesNoTemporary) {
    Mount("size=64k");
    const std::string target = dir_.file("photo.bmp");
    const Bytes old = EncodeBmp(test::RandomPicture(40, 40, 5));  // about 5 KB
    test::WriteBytes(target, old);
    try {
        SavePictureFile(target, test::RandomPicture(200, 200, 6), PictureFormat::Bmp);  // 120 KB
        FAIL() << "the write succeeded";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("No space left on device"), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find(target), std::string::npos) << error.what();
    }
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(Listing(), std::vector<std::string>{"photo.bmp"});
}

TEST_F(FailedWriteTest, ReadOnlyFolderKeepsTheOldFile) {
    Mount("size=1m");
    const std::string target = dir_.file("photo.jpg");
    const Bytes old = EncodeJpeg(test::RandomPicture(16, 16, 5));
    test::WriteBytes(target, old);
    ASSERT_EQ(::mount(nullptr, dir_.path().c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0) << std::strerror(errno);
    try {
        SavePictureFile(target, test::RandomPicture(8, 8), PictureFormat::Jpeg);
        FAIL() << "the write succeeded";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("Read-only file system"), std::string::npos) << error.what();
    }
    EXPECT_EQ(test::ReadBytes(target), old);
    EXPECT_EQ(Listing(), std::vector<std::string>{"photo.jpg"});
}

TEST(FileIO, FolderThatIsAFileGivesTheSystemsReason) {
    test::TempDir dir;
    test::WriteBytes(dir.file("plain"), {1, 2, 3});
    try {
        WriteFileAtomically(dir.file("plain") + "/out.jpg", {1});
        FAIL() << "the write succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + dir.file("plain") + "/out.jpg\". Not a directory");
    }
    try {
        ReadWholeFile(dir.file("absent"));
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot open file \"" + dir.file("absent") + "\". No such file or directory");
    }
}

TEST(FileIO, OverwriteKeepsTheFilesPermissions) {
    test::TempDir dir;
    const std::string target = dir.file("keep.bin");
    test::WriteBytes(target, {1, 2, 3});
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    WriteFileAtomically(target, {4, 5});
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(test::ReadBytes(target), (Bytes{4, 5}));
}

}  // namespace
}  // namespace corvellin
