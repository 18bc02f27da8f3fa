// Today's photographs: EXIF orientation, metadata carried on save, and the
// PNG, TIFF, WebP and HEIF readers. Every fixture is made by a real tool
// (ImageMagick, exiftool, heif-enc, libtiff), and exiftool reads back what we
// wrote, independently of our own code.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <gtest/gtest.h>
#include <tiffio.h>
#include <zlib.h>

#include "TestFiles.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/FileIO.h"
#include "picture/JpegCodec.h"
#include "picture/Metadata.h"
#include "picture/PictureFile.h"

namespace corvellin {
namespace {

using Bytes = std::vector<std::uint8_t>;

void Shell(const std::string& command) { ASSERT_EQ(std::system((command + " >/dev/null 2>&1").c_str()), 0) << command; }

std::string Output(const std::string& command) {
    std::string text;
    if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
        char chunk[4096];
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, pipe)) > 0) text.append(chunk, n);
        ::pclose(pipe);
    }
    return text;
}

std::string Quote(const std::string& s) { return "'" + s + "'"; }

// One exiftool tag of a file, printed as its value only.
std::string Tag(const std::string& file, const std::string& tag) {
    std::string value = Output("exiftool -s -s -s -n -" + tag + " " + Quote(file));
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
}

// A picture with four unlike quarters, so that every turn and mirror shows;
// the edges of the quarters sit on 16-pixel boundaries for JPEG's blocks.
constexpr const char* kQuarters =
    "-size 64x32 xc:red -fill blue -draw 'rectangle 0,0 31,15' -fill lime -draw 'rectangle 32,16 63,31' "
    "-fill yellow -draw 'rectangle 0,16 15,31'";

Picture Decoded(const std::string& path) {
    Picture picture;
    EXPECT_TRUE(LoadPictureFile(path, picture, [](const std::string& text) { ADD_FAILURE() << text; }));
    return picture;
}

// Differences of a quality-100 JPEG of solid quarters stay far below a
// wrong quarter's 255.
constexpr int kJpegSlack = 48;

TEST(PhotoFiles, EveryOrientationOpensUpright) {
    test::TempDir dir;
    Shell("convert " + std::string(kQuarters) + " " + Quote(dir.file("upright.png")));
    const Picture upright = Decoded(dir.file("upright.png"));
    ASSERT_EQ(upright.width(), 64);
    // What the camera stored for each orientation value: the upright picture
    // turned back by the operation the value names.
    const std::pair<int, const char*> cases[] = {{1, ""},           {2, "-flop"},      {3, "-rotate 180"},
                                                 {4, "-flip"},      {5, "-transpose"}, {6, "-rotate 270"},
                                                 {7, "-transverse"}, {8, "-rotate 90"}};
    for (const auto& [orientation, undo] : cases) {
        const std::string file = dir.file("o" + std::to_string(orientation) + ".jpg");
        Shell("convert " + Quote(dir.file("upright.png")) + " " + undo + " -quality 100 " + Quote(file));
        Shell("exiftool -q -overwrite_original -Orientation#=" + std::to_string(orientation) + " " + Quote(file));
        const Picture opened = Decoded(file);
        ASSERT_EQ(opened.width(), 64) << orientation;
        ASSERT_EQ(opened.height(), 32) << orientation;
        EXPECT_LT(test::MaxDifference(opened, upright), kJpegSlack) << orientation;
        // Kept as stored on request.
        Picture stored;
        ASSERT_TRUE(LoadPictureFile(file, stored, [](const std::string&) {}, nullptr, PictureLoadOptions{true}));
        EXPECT_EQ(stored.width(), orientation >= 5 ? 32 : 64) << orientation;
    }
    // Missing, zero and out-of-range values: as stored.
    for (const char* value : {"0", "9", "65535"}) {
        const std::string file = dir.file(std::string("bad") + value + ".jpg");
        Shell("convert " + Quote(dir.file("upright.png")) + " -quality 100 " + Quote(file));
        Shell("exiftool -q -overwrite_original -n -IFD0:Orientation=" + std::string(value) + " " + Quote(file));
        EXPECT_LT(test::MaxDifference(Decoded(file), upright), kJpegSlack) << value;
    }
}

// An ICC profile bigger than one APP2 segment holds (64 KB): a valid header
// and one private tag of filler.
Bytes LargeIccProfile() {
    const std::uint32_t size = 150000;
    Bytes icc(size, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) icc[at + i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
    };
    put32(0, size);
    std::memcpy(&icc[4], "none", 4);
    put32(8, 0x02100000);
    std::memcpy(&icc[12], "mntr", 4);
    std::memcpy(&icc[16], "RGB ", 4);
    std::memcpy(&icc[20], "XYZ ", 4);
    std::memcpy(&icc[36], "acsp", 4);
    put32(128, 1);  // one tag
    std::memcpy(&icc[132], "zzzz", 4);
    put32(136, 144);
    put32(140, size - 144);
    for (std::uint32_t i = 144; i < size; ++i) icc[i] = static_cast<std::uint8_t>(i * 7);
    return icc;
}

// A camera-like JPEG: rotated 90 degrees by its orientation, with date, model,
// GPS, an XMP title, IPTC keywords, a thumbnail and a large ICC profile.
std::string MakeCameraPhoto(const test::TempDir& dir) {
    const std::string photo = dir.file("camera.jpg");
    test::WriteBytes(dir.file("large.icc"), LargeIccProfile());
    Shell("convert " + std::string(kQuarters) + " -rotate 270 -quality 95 " + Quote(photo));
    Shell("convert -size 16x8 xc:gray " + Quote(dir.file("thumb.jpg")));
    Shell("exiftool -q -overwrite_original -Orientation#=6 -Model=Corvocam -DateTimeOriginal='2021:05:06 07:08:09' "
        "-GPSLatitude=48.5 -GPSLatitudeRef=N -GPSLongitude=2.25 -GPSLongitudeRef=E -XMP-dc:Title=Harbour "
        "-IPTC:Keywords=boats '-ThumbnailImage<=" + dir.file("thumb.jpg") + "' '-ICC_Profile<=" + dir.file("large.icc") +
        "' " + Quote(photo));
    return photo;
}

void ExpectCarried(const std::string& file, const test::TempDir& dir, bool withIptcAndThumbnailCheck = true) {
    EXPECT_EQ(Tag(file, "Model"), "Corvocam") << file;
    EXPECT_EQ(Tag(file, "DateTimeOriginal"), "2021:05:06 07:08:09") << file;
    EXPECT_EQ(Tag(file, "GPSLatitude"), "48.5") << file;
    EXPECT_EQ(Tag(file, "XMP-dc:Title"), "Harbour") << file;
    EXPECT_EQ(Tag(file, "Orientation"), "1") << file;
    EXPECT_EQ(Tag(file, "ExifImageWidth"), "64") << file;
    EXPECT_EQ(Tag(file, "ExifImageHeight"), "32") << file;
    EXPECT_EQ(Output("exiftool -b -ICC_Profile " + Quote(file)), Output("cat " + Quote(dir.file("large.icc")))) << file;
    if (withIptcAndThumbnailCheck) {
        EXPECT_EQ(Tag(file, "IPTC:Keywords"), "boats") << file;
        EXPECT_EQ(Tag(file, "ThumbnailLength"), "") << file;
    }
}

TEST(PhotoFiles, SavedFilesKeepTheCamerasMetadataAndTheEditorAndCliWriteTheSameBytes) {
    test::TempDir dir;
    const std::string photo = MakeCameraPhoto(dir);
    ASSERT_NE(Tag(photo, "ThumbnailLength"), "");
    Picture picture;
    PictureMetadata metadata;
    ASSERT_TRUE(LoadPictureFile(photo, picture, [](const std::string&) {}, &metadata));
    EXPECT_EQ(picture.width(), 64);
    SavePictureFile(dir.file("saved.jpg"), picture, PictureFormat::Jpeg, metadata);
    ExpectCarried(dir.file("saved.jpg"), dir);
    // The ICC profile took several APP2 segments.
    EXPECT_GE(std::stoi(Output("exiftool -v3 " + Quote(dir.file("saved.jpg")) + " | grep -c 'APP2'")), 3);
    // The pixels are exactly those of a plain encode: only segments were added.
    EXPECT_EQ(DecodeJpeg(test::ReadBytes(dir.file("saved.jpg")).data(), test::ReadBytes(dir.file("saved.jpg")).size()),
              DecodeJpeg(EncodeJpeg(picture, 90).data(), EncodeJpeg(picture, 90).size()));

    // corvellin-fx, streamed on two threads or not, writes the very same file.
    const std::string fx = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx";
    for (const char* threads : {"1", "2"}) {
        const std::string out = dir.file(std::string("fx") + threads + ".jpg");
        Shell(fx + " apply -j " + threads + " " + Quote(photo) + " " + Quote(out));
        EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(dir.file("saved.jpg"))) << threads;
    }
    // Kept as stored, the pixels keep their size and the file its orientation.
    Shell(fx + " apply -j 2 --keep-orientation " + Quote(photo) + " " + Quote(dir.file("kept.jpg")));
    EXPECT_EQ(Tag(dir.file("kept.jpg"), "ImageSize"), "32 64");
    EXPECT_EQ(Tag(dir.file("kept.jpg"), "Orientation"), "6");
    // batch too, and a format that is read but not written comes out as JPEG.
    Shell("convert " + Quote(photo) + " " + Quote(dir.file("web.webp")));
    Shell(fx + " batch --keep-orientation -o " + Quote(dir.file("out")) + " -- " + Quote(photo) + " " +
          Quote(dir.file("web.webp")));
    EXPECT_EQ(test::ReadBytes(dir.file("out/camera.jpg")), test::ReadBytes(dir.file("kept.jpg")));
    EXPECT_EQ(Tag(dir.file("out/web.jpg"), "FileType"), "JPEG");
    // A picture stored upright streams, and still carries its metadata.
    Shell("exiftool -q -overwrite_original -Orientation#=1 " + Quote(photo) + " -o " + Quote(dir.file("flat.jpg")));
    Shell(fx + " apply -j 2 " + Quote(dir.file("flat.jpg")) + " " + Quote(dir.file("flat-fx.jpg")));
    EXPECT_EQ(Tag(dir.file("flat-fx.jpg"), "Model"), "Corvocam");
    EXPECT_EQ(Tag(dir.file("flat-fx.jpg"), "ExifImageWidth"), "32");

    // PNG keeps the profile, the EXIF and the XMP; BMP keeps nothing.
    SavePictureFile(dir.file("saved.png"), picture, PictureFormat::Png, metadata);
    ExpectCarried(dir.file("saved.png"), dir, false);
    EXPECT_EQ(Decoded(dir.file("saved.png")), picture);
    SavePictureFile(dir.file("saved.bmp"), picture, PictureFormat::Bmp, metadata);
    EXPECT_EQ(test::ReadBytes(dir.file("saved.bmp")), EncodeBmp(picture));
}

// corvellin-fx turns a picture while it streams it (two threads): for every
// orientation, on an odd size several bands high and with row-range effects
// whose masks depend on the upright size, the bytes are those of the plain
// order (one thread: decode, turn, apply, encode).
TEST(PhotoFiles, TurnedPicturesStreamToTheBytesOfThePlainOrder) {
    test::TempDir dir;
    const std::string fx = std::string(CORVELLIN_BIN_DIR) + "/corvellin-fx";
    Shell("convert -size 203x141 gradient:red-blue -fill lime -draw 'rectangle 0,0 40,20' -quality 92 " +
          Quote(dir.file("photo.jpg")));
    for (int orientation = 1; orientation <= 8; ++orientation) {
        const std::string number = std::to_string(orientation);
        const std::string in = dir.file("o" + number + ".jpg");
        Shell("exiftool -q -Orientation#=" + number + " -o " + Quote(in) + " " +
              Quote(dir.file("photo.jpg")));
        for (const char* threads : {"1", "2"})
            Shell(fx + " apply -j " + threads + " --seed 1 " + Quote(in) + " " + Quote(dir.file(std::string("t") + threads + ".jpg")) +
                  " 1:3 4:9 10:2 12:1");
        const Bytes streamed = test::ReadBytes(dir.file("t2.jpg"));
        EXPECT_EQ(streamed, test::ReadBytes(dir.file("t1.jpg"))) << "orientation " << orientation;
        EXPECT_EQ(Tag(dir.file("t2.jpg"), "ImageSize"), orientation >= 5 ? "141 203" : "203 141") << orientation;
        EXPECT_EQ(Tag(dir.file("t2.jpg"), "Orientation"), "1") << orientation;
    }
}

TEST(PhotoFiles, DamagedExifIsLeftOutAndNothingElseIsLost) {
    test::TempDir dir;
    const std::string photo = MakeCameraPhoto(dir);
    Bytes bytes = test::ReadBytes(photo);
    // The EXIF segment's TIFF header ("II*\0" or "MM\0*") made unreadable.
    const std::string exifId("Exif\0\0", 6);
    const auto at = std::search(bytes.begin(), bytes.end(), exifId.begin(), exifId.end());
    ASSERT_NE(at, bytes.end());
    std::fill(at + 6, at + 14, 0xEE);
    test::WriteBytes(dir.file("damaged.jpg"), bytes);
    Picture picture;
    PictureMetadata metadata;
    ASSERT_TRUE(LoadPictureFile(dir.file("damaged.jpg"), picture, [](const std::string&) {}, &metadata));
    EXPECT_EQ(picture.width(), 32);  // no orientation to be read: as stored
    EXPECT_TRUE(metadata.exif.empty());
    SavePictureFile(dir.file("saved.jpg"), picture, PictureFormat::Jpeg, metadata);
    EXPECT_EQ(Tag(dir.file("saved.jpg"), "Model"), "");
    EXPECT_EQ(Tag(dir.file("saved.jpg"), "XMP-dc:Title"), "Harbour");
    EXPECT_EQ(Tag(dir.file("saved.jpg"), "IPTC:Keywords"), "boats");
    EXPECT_EQ(Output("exiftool -b -ICC_Profile " + Quote(dir.file("saved.jpg"))),
              Output("cat " + Quote(dir.file("large.icc"))));
}

// Each kind of file a reader takes, made by ImageMagick (heif-enc for HEIF),
// against ImageMagick's own decoding of it flattened onto white.
TEST(PhotoFiles, ReadersMatchAnIndependentDecoder) {
    test::TempDir dir;
    const std::string source = dir.file("source.png");
    Shell("convert -size 61x37 gradient:'#c04010-#1080f0' -swirl 120 -depth 8 " + Quote(source));
    struct Case {
        const char* name;
        const char* options;
        int slack;
    };
    const Case cases[] = {
        {"rgb8.png", "", 0},
        {"rgb16.png", "-depth 16", 1},
        {"grey.png", "-colorspace Gray", 0},
        {"grey16.png", "-colorspace Gray -depth 16", 1},
        {"palette.png", "-colors 20 -define png:color-type=3", 0},
        {"alpha.png", "-alpha set -channel A -fx 'i/w' +channel", 1},
        {"alpha16.png", "-alpha set -channel A -fx 'j/h' +channel -depth 16", 1},
        {"interlaced.png", "-interlace PNG", 0},
        {"strips.tif", "-compress LZW", 0},
        {"tiles16.tif", "-depth 16 -define tiff:tile-geometry=16x16", 1},
        {"grey.tif", "-colorspace Gray -compress Zip", 0},
        {"alpha.tif", "-alpha set -channel A -fx 'i/w' +channel", 2},  // libtiff multiplies alpha in at 8 bits
        {"lossless.webp", "-define webp:lossless=true", 0},
        {"lossy.webp", "-quality 80", 0},
        {"alpha.webp", "-alpha set -channel A -fx 'i/w' +channel -define webp:lossless=true", 1},
    };
    for (const Case& c : cases) {
        const std::string file = dir.file(c.name);
        Shell("convert " + Quote(source) + " " + c.options + " " + Quote(file));
        Shell("convert " + Quote(file) + " -background white -alpha remove -alpha off -depth 8 -type TrueColor BMP3:" +
            Quote(file + ".bmp"));
        const Picture expected = DecodePictureFile(file + ".bmp", PictureFormat::Bmp);
        const Picture opened = Decoded(file);
        ASSERT_EQ(opened.width(), expected.width()) << c.name;
        EXPECT_LE(test::MaxDifference(opened, expected), c.slack) << c.name;
    }
    // A multi-page TIFF opens at its first page.
    Shell("convert " + Quote(source) + " -size 61x37 xc:black " + Quote(dir.file("pages.tif")));
    EXPECT_LE(test::MaxDifference(Decoded(dir.file("pages.tif")), Decoded(source)), 0);

    // HEIF: the primary image, against libheif's own converter.
    Shell("heif-enc -q 95 " + Quote(source) + " -o " + Quote(dir.file("photo.heic")));
    Shell("heif-convert " + Quote(dir.file("photo.heic")) + " " + Quote(dir.file("heic.png")));
    EXPECT_LE(test::MaxDifference(Decoded(dir.file("photo.heic")), Decoded(dir.file("heic.png"))), 2);
}

// The property box at a HEIF file's "pixi" turned into a rotation box of the
// same size ("irot", angle a quarter turn anticlockwise), so that nothing else
// in the file moves.
void TurnPixiIntoRotation(Bytes& heif) {
    const std::string pixi = "pixi";
    const auto at = std::search(heif.begin(), heif.end(), pixi.begin(), pixi.end());
    ASSERT_NE(at, heif.end());
    std::copy_n("irot", 4, at);
    at[4] = 1;
    std::fill(at + 5, at + 12, 0);
}

TEST(PhotoFiles, HeifIsUprightByItsContainerAndItsExifOrientationIsIgnored) {
    test::TempDir dir;
    // The phone's way: the pixels stored turned a quarter clockwise, the
    // container's rotation box turning them back, and an EXIF orientation
    // that says the same again (applying both would turn the picture twice).
    Shell("convert " + std::string(kQuarters) + " " + Quote(dir.file("upright.png")));
    Shell("convert " + Quote(dir.file("upright.png")) + " -rotate 90 -quality 100 " + Quote(dir.file("stored.jpg")));
    Shell("exiftool -q -overwrite_original -Orientation#=8 -Model=Phone " + Quote(dir.file("stored.jpg")));
    Shell("heif-enc -q 95 " + Quote(dir.file("stored.jpg")) + " -o " + Quote(dir.file("plain.heic")));
    // Without a rotation box the EXIF orientation alone turns nothing.
    const Picture plain = Decoded(dir.file("plain.heic"));
    EXPECT_EQ(plain.width(), 32);
    EXPECT_EQ(plain.height(), 64);

    Bytes heif = test::ReadBytes(dir.file("plain.heic"));
    TurnPixiIntoRotation(heif);
    test::WriteBytes(dir.file("phone.heic"), heif);
    PictureMetadata metadata;
    Picture opened;
    ASSERT_TRUE(LoadPictureFile(dir.file("phone.heic"), opened, [](const std::string&) {}, &metadata));
    EXPECT_EQ(opened.width(), 64);
    EXPECT_EQ(opened.height(), 32);
    EXPECT_LT(test::MaxDifference(opened, Decoded(dir.file("upright.png"))), kJpegSlack);
    EXPECT_EQ(PictureOrientation(metadata), 1);
    SavePictureFile(dir.file("saved.jpg"), opened, PictureFormat::Jpeg, metadata);
    EXPECT_EQ(Tag(dir.file("saved.jpg"), "Model"), "Phone");
    EXPECT_EQ(Tag(dir.file("saved.jpg"), "Orientation"), "1");
    EXPECT_EQ(Tag(dir.file("saved.jpg"), "ExifImageWidth"), "64");
}

void PatchPngSize(Bytes& png, std::uint32_t width, std::uint32_t height) {
    // IHDR is the first chunk: length at 8, type at 12, data at 16, CRC after 13 bytes.
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<std::uint8_t>(width >> (24 - 8 * i));
        png[20 + i] = static_cast<std::uint8_t>(height >> (24 - 8 * i));
    }
    const uLong crc = crc32(0, png.data() + 12, 17);
    for (int i = 0; i < 4; ++i) png[29 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
}

// A damaged, a truncated and a bomb file of every reader: a clear Error each,
// and a bomb refused by the size guard before any pixel memory.
TEST(PhotoFiles, DamagedTruncatedAndBombFilesAreRefused) {
    test::TempDir dir;
    const std::string source = dir.file("source.png");
    Shell("convert -size 120x90 plasma:fractal -seed 4 " + Quote(source));
    Shell("convert " + Quote(source) + " " + Quote(dir.file("p.tif")));
    Shell("convert " + Quote(source) + " -quality 70 " + Quote(dir.file("p.webp")));
    Shell("heif-enc -q 50 " + Quote(source) + " -o " + Quote(dir.file("p.heic")));
    for (const char* name : {"source.png", "p.tif", "p.webp", "p.heic"}) {
        const PictureFormat format = PictureFormatOfPath(name);
        const Bytes whole = test::ReadBytes(dir.file(name));
        ASSERT_NO_THROW(DecodePictureBytes(whole, format)) << name;
        Bytes truncated(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(whole.size() / 2));
        EXPECT_THROW(DecodePictureBytes(truncated, format), Error) << name;
        Bytes damaged = whole;
        for (std::size_t i = 0; i < 24 && i < damaged.size(); ++i) damaged[i] ^= 0x5A;
        EXPECT_THROW(DecodePictureBytes(damaged, format), Error) << name;
        EXPECT_THROW(DecodePictureBytes(Bytes{}, format), Error) << name;
    }
    const std::string claim = "claims 100000 x 100000 pixels";
    auto expectBomb = [&](const Bytes& bytes, PictureFormat format) {
        try {
            DecodePictureBytes(bytes, format);
            ADD_FAILURE() << "a bomb decoded";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find(claim), std::string::npos) << error.what();
        }
    };
    // PNG: a tiny file whose header claims 100,000 x 100,000.
    Shell("convert -size 1x1 xc:white " + Quote(dir.file("tiny.png")));
    Bytes png = test::ReadBytes(dir.file("tiny.png"));
    PatchPngSize(png, 100000, 100000);
    expectBomb(png, PictureFormat::Png);
    // TIFF: libtiff writes a header of that size with one 16-byte strip.
    {
        TIFF* tiff = TIFFOpen(dir.file("bomb.tif").c_str(), "w");
        ASSERT_NE(tiff, nullptr);
        TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 100000u);
        TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 100000u);
        TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 100000u);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
        std::uint8_t strip[16] = {0x78, 0x9C};
        TIFFWriteRawStrip(tiff, 0, strip, sizeof strip);
        TIFFWriteDirectory(tiff);
        TIFFClose(tiff);
    }
    expectBomb(test::ReadBytes(dir.file("bomb.tif")), PictureFormat::Tiff);
    // HEIF: the image's spatial extent box patched to claim it.
    Bytes heic = test::ReadBytes(dir.file("p.heic"));
    const std::string ispe = "ispe";
    auto at = std::search(heic.begin(), heic.end(), ispe.begin(), ispe.end());
    ASSERT_NE(at, heic.end());
    for (int i = 0; i < 4; ++i) {
        at[8 + i] = static_cast<std::uint8_t>(100000u >> (24 - 8 * i));
        at[12 + i] = static_cast<std::uint8_t>(100000u >> (24 - 8 * i));
    }
    expectBomb(heic, PictureFormat::Heif);
    // HEIF: a 512-byte grid picture (found by the fuzzer) that declares 12 x 9
    // pixels while its grid names a 14441 x 27759 canvas, refused before the
    // canvas is made (it used to take 4.7 GB).
    const Bytes grid = test::ReadBytes(std::string(CORVELLIN_SOURCE_DIR) +
                                       "/tests/fuzz/regressions/heif/grid-canvas-beyond-declared-size");
    try {
        DecodePictureBytes(grid, PictureFormat::Heif);
        ADD_FAILURE() << "the grid decoded";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("HEIF image is not valid."), std::string::npos) << error.what();
        EXPECT_NE(std::string(error.what()).find("14441x27759"), std::string::npos) << error.what();
    }
}

}  // namespace
}  // namespace corvellin
