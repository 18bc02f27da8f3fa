// Writes the seed corpus of every fuzz target, made by our own code (by
// ImageMagick, exiftool and heif-enc for the newer formats and metadata): valid
// files of every kind each reader accepts, plus small damaged ones (cut short,
// a byte changed). Usage: fuzz_seeds <folder>; it fills <folder>/<target>/.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "effects/MaskFile.h"
#include "history/Recovery.h"
#include "picture/BmpCodec.h"
#include "picture/JpegCodec.h"
#include "picture/Picture.h"
#include "settings/CaptionCatalog.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace fs = std::filesystem;

using corvellin::test::JpegKind;

// A small picture with a gradient in every kind the decoder accepts.
Bytes MakeJpeg(JpegKind kind, int width, int height) {
    const std::size_t samples = static_cast<std::size_t>(width * corvellin::test::JpegSamplesPerPixel(kind));
    return corvellin::test::EncodeJpegOfKind(kind, width, height, 75, [&](int y, std::uint8_t* row) {
        for (std::size_t i = 0; i < samples; ++i) row[i] = static_cast<std::uint8_t>((i * 7 + static_cast<std::size_t>(y) * 13) & 0xFF);
    });
}

void Put16(Bytes& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(Bytes& b, std::size_t at, std::uint32_t v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
}

// A BMP file: an info header of headerSize bytes (12: OS/2 1.x), bit-field
// masks after a 40-byte header, a palette of paletteSize grey entries, and the
// pixel bytes as given.
Bytes MakeBmp(std::uint32_t headerSize, int width, int height, int bitCount, std::uint32_t compression,
              const std::vector<std::uint32_t>& masks, int paletteSize, const Bytes& pixels) {
    const bool os2 = headerSize == 12;
    const std::size_t entry = os2 ? 3 : 4;
    const std::size_t maskBytes = headerSize == 40 ? masks.size() * 4 : 0;
    const std::size_t offset = 14 + headerSize + maskBytes + static_cast<std::size_t>(paletteSize) * entry;
    Bytes b(offset, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 2, static_cast<std::uint32_t>(offset + pixels.size()));
    Put32(b, 10, static_cast<std::uint32_t>(offset));
    Put32(b, 14, headerSize);
    if (os2) {
        Put16(b, 18, static_cast<unsigned>(width));
        Put16(b, 20, static_cast<unsigned>(height));
        Put16(b, 22, 1);
        Put16(b, 24, static_cast<unsigned>(bitCount));
    } else {
        Put32(b, 18, static_cast<std::uint32_t>(width));
        Put32(b, 22, static_cast<std::uint32_t>(height));
        Put16(b, 26, 1);
        Put16(b, 28, static_cast<unsigned>(bitCount));
        Put32(b, 30, compression);
        Put32(b, 46, static_cast<std::uint32_t>(paletteSize));
        for (std::size_t i = 0; i < masks.size(); ++i) Put32(b, 54 + 4 * i, masks[i]);
    }
    std::size_t at = 14 + headerSize + maskBytes;
    for (int i = 0; i < paletteSize; ++i, at += entry) {
        const auto grey = static_cast<std::uint8_t>(i * 255 / std::max(1, paletteSize - 1));
        b[at] = b[at + 1] = b[at + 2] = grey;
    }
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

Bytes Pattern(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i * 37 + 11);
    return b;
}

struct Writer {
    fs::path folder;
    int count = 0;

    void Add(const std::string& name, const Bytes& bytes) {
        std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
            std::exit(1);
        }
        ++count;
    }
    void Add(const std::string& name, const std::string& text) { Add(name, Bytes(text.begin(), text.end())); }

    // The file itself and damaged copies: cut to half, cut to its first 20
    // bytes, and one byte in its header changed.
    void AddWithDamage(const std::string& name, const Bytes& bytes) {
        Add(name, bytes);
        Add(name + ".half", Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(bytes.size() / 2)));
        Add(name + ".head", Bytes(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(20, bytes.size()))));
        Bytes flipped = bytes;
        if (flipped.size() > 25) flipped[25] = static_cast<std::uint8_t>(flipped[25] ^ 0xFF);
        Add(name + ".flip", flipped);
    }
};

Writer Folder(const fs::path& root, const char* target) {
    Writer writer{root / target};
    fs::create_directories(writer.folder);
    return writer;
}

corvellin::Picture Gradient(int width, int height) {
    corvellin::Picture picture(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = picture.row(y) + 3 * x;
            p[0] = static_cast<std::uint8_t>(x * 16);
            p[1] = static_cast<std::uint8_t>(y * 16);
            p[2] = static_cast<std::uint8_t>((x + y) * 8);
        }
    return picture;
}

// A file made by a real tool (ImageMagick, exiftool, heif-enc): the command
// writes `file`, whose bytes are returned. A tool that fails ends the run.
Bytes MadeBy(const std::string& command, const fs::path& file) {
    if (std::system((command + " >/dev/null 2>&1").c_str()) != 0) {
        std::fprintf(stderr, "fuzz_seeds: failed: %s\n", command.c_str());
        std::exit(1);
    }
    std::ifstream in(file, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The seeds of the newer readers and of the metadata reader, made by the
// tools that make such files in the field.
int AddToolSeeds(const fs::path& root) {
    const fs::path work = root / "tool-work";
    fs::create_directories(work);
    const std::string w = "'" + work.string() + "/";
    const std::string source = w + "source.png'";
    MadeBy("convert -size 12x9 gradient:red-blue " + source, work / "source.png");
    int count = 0;
    struct Seed {
        const char* target;
        const char* name;
        const char* options;
    };
    const Seed seeds[] = {
        {"png", "rgb8.png", ""},
        {"png", "rgb16.png", "-depth 16"},
        {"png", "palette.png", "-colors 8 -define png:color-type=3"},
        {"png", "grey.png", "-colorspace Gray"},
        {"png", "alpha.png", "-alpha set -channel A -fx i/w +channel"},
        {"png", "interlaced.png", "-interlace PNG"},
        {"tiff", "strips.tif", "-compress LZW"},
        {"tiff", "tiles16.tif", "-depth 16 -define tiff:tile-geometry=16x16"},
        {"tiff", "grey.tif", "-colorspace Gray -compress Zip"},
        {"tiff", "jpeg.tif", "-compress JPEG"},
        {"webp", "lossless.webp", "-define webp:lossless=true"},
        {"webp", "lossy.webp", "-quality 60"},
        {"webp", "alpha.webp", "-alpha set -channel A -fx i/w +channel"},
    };
    for (const Seed& seed : seeds) {
        Writer writer = Folder(root, seed.target);
        writer.AddWithDamage(seed.name, MadeBy("convert " + source + " " + seed.options + " " + w + seed.name + "'",
                                               work / seed.name));
        count += writer.count;
    }
    Writer heif = Folder(root, "heif");
    heif.AddWithDamage("photo.heic", MadeBy("heif-enc -q 30 " + source + " -o " + w + "photo.heic'", work / "photo.heic"));
    heif.Add("empty.heic", Bytes{});
    Writer metadata = Folder(root, "metadata");
    metadata.AddWithDamage(
        "camera.jpg",
        MadeBy("convert " + source + " " + w + "camera.jpg' && exiftool -q -overwrite_original -Orientation#=6 "
               "-Model=Cam -GPSLatitude=1.5 -XMP-dc:Title=T -IPTC:Keywords=k " + w + "camera.jpg'",
               work / "camera.jpg"));
    count += heif.count + metadata.count;
    fs::remove_all(work);
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];

    const struct {
        const char* name;
        JpegKind kind;
    } jpegKinds[] = {{"baseline", JpegKind::Baseline}, {"progressive", JpegKind::Progressive},
                     {"arithmetic", JpegKind::Arithmetic}, {"grey", JpegKind::Grey},
                     {"cmyk", JpegKind::AdobeCmyk}, {"ycck", JpegKind::AdobeYcck}};
    Writer jpeg = Folder(root, "jpeg");
    for (const auto& k : jpegKinds) jpeg.AddWithDamage(std::string(k.name) + ".jpg", MakeJpeg(k.kind, 9, 7));
    jpeg.Add("empty.jpg", Bytes{});

    Writer bmp = Folder(root, "bmp");
    bmp.AddWithDamage("bits24.bmp", MakeBmp(40, 3, 2, 24, 0, {}, 0, Pattern(24)));
    bmp.AddWithDamage("bits24_top_down.bmp", MakeBmp(40, 3, -2, 24, 0, {}, 0, Pattern(24)));
    bmp.AddWithDamage("bits1.bmp", MakeBmp(40, 9, 2, 1, 0, {}, 2, Pattern(8)));
    bmp.AddWithDamage("bits4.bmp", MakeBmp(40, 5, 2, 4, 0, {}, 16, Pattern(8)));
    bmp.AddWithDamage("bits8.bmp", MakeBmp(40, 3, 2, 8, 0, {}, 256, Pattern(8)));
    bmp.AddWithDamage("os2_core.bmp", MakeBmp(12, 3, 2, 8, 0, {}, 4, Pattern(8)));
    bmp.AddWithDamage("bits16_555.bmp", MakeBmp(40, 2, 2, 16, 0, {}, 0, Pattern(8)));
    bmp.AddWithDamage("bits16_565.bmp", MakeBmp(40, 2, 2, 16, 3, {0xF800, 0x07E0, 0x001F}, 0, Pattern(8)));
    bmp.AddWithDamage("bits32.bmp", MakeBmp(40, 2, 2, 32, 0, {}, 0, Pattern(16)));
    bmp.AddWithDamage("bits32_v4.bmp", MakeBmp(108, 2, 2, 32, 3, {0x0000FF, 0x00FF00, 0xFF0000}, 0, Pattern(16)));
    bmp.AddWithDamage("rle8.bmp", MakeBmp(40, 5, 2, 8, 1, {}, 3, {2, 1, 0, 3, 2, 1, 2, 0, 0, 0, 2, 2, 0, 1}));
    bmp.AddWithDamage("rle4.bmp", MakeBmp(40, 6, 1, 4, 2, {}, 3, {3, 0x12, 0, 2, 1, 0, 1, 0x20, 0, 1}));
    bmp.AddWithDamage("encoded.bmp", corvellin::EncodeBmp(Gradient(5, 3)));
    bmp.Add("empty.bmp", Bytes{});

    Writer mask = Folder(root, "mask");
    mask.AddWithDamage("bmp_variant.gph", corvellin::PackMaskBytes(corvellin::EncodeBmp(Gradient(8, 6))));
    mask.AddWithDamage("jpeg_variant.gph", corvellin::PackMaskBytes(corvellin::EncodeJpeg(Gradient(8, 6))));
    mask.Add("empty.gph", Bytes{});

    const std::string settings =
        "[Options]\r\nLanguage=Deutsch.lng\r\nWidth=  640 \r\nScale=\"1.25\"\r\nEnabled=1\r\n\r\n"
        "[print]\nmargin=0,5\nWIDTH=-12\n; a comment\nbroken line\n[Options]\nLanguage=second\n";
    Writer ini = Folder(root, "ini");
    ini.Add("settings.ini", settings);
    ini.Add("long_value.ini", "[Options]\nLanguage=" + std::string(3000, 'x') + "\n");
    ini.Add("unterminated.ini", std::string("[Opt"));
    ini.Add("numbers.ini", std::string("[Options]\nWidth=2147483648\nScale=1e308\nMargin=-0x10\nEnabled=yes\n"));
    ini.Add("empty.ini", Bytes{});

    Writer language = Folder(root, "language");
    std::string lng = "[Info]\nLanguage=Test\n[String]\n";
    int index = 0;
    std::string firstKey;
    for (const corvellin::CaptionKey& caption : corvellin::AllCaptionKeys()) {
        if (firstKey.empty()) firstKey = caption.key;
        lng += std::string(caption.key) + "=Text " + std::to_string(++index) + "\n";
    }
    language.Add("utf8.lng", lng + firstKey + "=Beenden \xC3\xA4\xC3\xB6\n");
    language.Add("cp1252.lng", "[String]\n" + firstKey + "=Beenden \xE4\xF6\x80\n");
    language.Add("empty_values.lng", "[Info]\nLanguage=\n[String]\n" + firstKey + "=\n");
    language.Add("half_utf8.lng", "[String]\n" + firstKey + "=\xC3\n");
    language.Add("empty.lng", Bytes{});

    Writer update = Folder(root, "update");
    update.Add("newer.ini", std::string("[Update]\nversion=2012.1.1\nURL=http://example.com/download\n"));
    update.Add("same.ini", std::string("[Update]\r\nversion=2011.2.50\r\nURL=\r\n"));
    update.Add("older_no_url.ini", std::string("[update]\nVERSION=2011.2.5\n"));
    update.Add("no_section.ini", std::string("version=9\n"));
    update.Add("compare.txt", std::string("2011.10.1\n2011.9.99"));
    update.Add("html.ini", std::string("<html><body>404</body></html>"));
    update.Add("empty.ini", Bytes{});

    // The number reader: the first byte picks the separator (0 '.', 1 ',', 2 the
    // Arabic U+066B) and, in bits 2-3, the decimals of the fixed form; the rest
    // is the typed text, where '.' below stands for the separator.
    Writer numbertext = Folder(root, "numbertext");
    const struct {
        const char* name;
        std::uint8_t select;
        std::string mark;
    } separators[] = {{"point", 0, "."}, {"comma", 1 | 8, ","}, {"arabic", 2 | 12, "\xD9\xAB"}};
    const char* const numbers[] = {"12", "  -0.75 ", "+3.5", "2.000", "0.395833333333333", "1.5E20", "1E-6",
                                   "-4.25e+3", ".5", "5.", "1.79769313486231E308", "2.2250738585072E-308"};
    const char* const damaged[] = {"", " ", "1.2.3", "1e", "1e+", "e5", "--1", "12abc", "0x10", "1 000", "inf",
                                   "1e99999", "1.5E20\n7"};
    for (const auto& separator : separators) {
        auto typed = [&](const std::string& text) {
            std::string out(1, static_cast<char>(separator.select));
            for (char c : text) out += c == '.' ? separator.mark : std::string(1, c);
            return out;
        };
        int n = 0;
        for (const char* number : numbers) numbertext.Add(std::string(separator.name) + "_" + std::to_string(n++), typed(number));
        n = 0;
        for (const char* text : damaged) numbertext.Add(std::string(separator.name) + "_bad_" + std::to_string(n++), typed(text));
    }
    // The other locales' separator in the text, half a U+066B, Arabic-Indic digits.
    numbertext.Add("comma_in_point", std::string("\x00" "1,5", 4));
    numbertext.Add("half_arabic", std::string("\x02" "1\xD9" "5"));
    numbertext.Add("arabic_digits", std::string("\x02\xD9\xA1\xD9\xAB\xD9\xA2"));
    // Eight bytes after the first are also formatted as a double: 0.1, then the largest double.
    numbertext.Add("double_tenth", std::string("\x04\x9A\x99\x99\x99\x99\x99\xB9\x3F", 9));
    numbertext.Add("double_max", std::string("\x00\xFF\xFF\xFF\xFF\xFF\xFF\xEF\x7F", 9));

    // Recovery files: what the editor writes, and a few damaged ones.
    Writer recovery = Folder(root, "recovery");
    const std::string kept = corvellin::SerializeRecovery(
        {"/home/user/Pictures/odd %name\n.jpg", {{1, 3, -1, 0x008000}, {4, 7, 12, 0xFFFFFF}, {11, 9, -1, 0}}, 2});
    recovery.Add("three_calls.recovery", kept);
    recovery.Add("root.recovery", corvellin::SerializeRecovery({"/p.bmp", {}, 0}));
    recovery.Add("cut.recovery", kept.substr(0, kept.size() / 2));
    recovery.Add("empty.recovery", Bytes{});

    const int toolSeeds = AddToolSeeds(root);
    std::printf("seeds made by tools: %d\n", toolSeeds);
    std::printf("seeds: jpeg %d, bmp %d, mask %d, ini %d, language %d, update %d, numbertext %d, recovery %d\n",
                jpeg.count, bmp.count, mask.count, ini.count, language.count, update.count, numbertext.count,
                recovery.count);
    return 0;
}
