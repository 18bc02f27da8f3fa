#include "BmpCodec.h"

#include <array>
#include <bit>
#include <cstring>

#include "Error.h"
#include "SizeGuard.h"

namespace corvellin {
namespace {

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6 };

[[noreturn]] void Invalid() { throw Error(kInvalidBitmapText); }

// Bounds-checked little-endian reads from the file buffer.
class Reader {
public:
    Reader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::size_t size() const { return size_; }
    const std::uint8_t* at(std::size_t offset, std::size_t count) const {
        if (offset > size_ || count > size_ - offset) Invalid();
        return data_ + offset;
    }
    std::uint16_t u16(std::size_t offset) const {
        const std::uint8_t* p = at(offset, 2);
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    }
    std::uint32_t u32(std::size_t offset) const {
        const std::uint8_t* p = at(offset, 4);
        return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
               (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
    }
    std::int32_t i32(std::size_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

private:
    const std::uint8_t* data_;
    std::size_t size_;
};

struct Color {
    std::uint8_t b = 0, g = 0, r = 0;
};

// One channel of a bit-field pixel: its mask's position and width, and the
// scaling of the extracted value to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m = 0) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        bits = std::popcount(m);
        if (((m >> shift) & ((bits >= 32) ? 0xFFFFFFFFu : ((1u << bits) - 1))) != (m >> shift)) Invalid();
    }
    std::uint8_t operator()(std::uint32_t pixel) const {
        if (bits == 0) return 0;
        const std::uint32_t v = (pixel & mask) >> shift;
        if (bits >= 8) return static_cast<std::uint8_t>(v >> (bits - 8));
        const std::uint32_t max = (1u << bits) - 1;
        return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
    }
};

struct Header {
    std::int64_t width = 0;
    std::int64_t height = 0;  // always positive; topDown tells the row order
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::size_t pixelOffset = 0;
    std::vector<Color> palette;
    Channel red, green, blue;
};

Header ReadHeader(const Reader& in) {
    if (in.size() < 26 || in.at(0, 2)[0] != 'B' || in.at(0, 2)[1] != 'M') Invalid();
    Header h;
    h.pixelOffset = in.u32(10);
    const std::uint32_t infoSize = in.u32(14);
    std::size_t paletteEntrySize = 4;
    std::size_t afterHeader = 14 + static_cast<std::size_t>(infoSize);
    std::uint32_t colorsUsed = 0;
    if (infoSize == 12) {  // OS/2 1.x core header
        h.width = in.u16(18);
        h.height = in.u16(20);
        h.bitCount = in.u16(24);
        paletteEntrySize = 3;
    } else if (infoSize >= 40 && infoSize <= 4096) {
        h.width = in.i32(18);
        const std::int64_t height = in.i32(22);
        h.bitCount = in.u16(28);
        h.compression = in.u32(30);
        colorsUsed = in.u32(46);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        if (infoSize == 64 && h.compression >= kBitFields) Invalid();  // OS/2 2.x: Huffman and RLE24
        if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
            std::size_t masks = 14 + 40;  // masks inside a larger header sit at the same place
            if (infoSize == 40) afterHeader += (h.compression == kAlphaBitFields) ? 16 : 12;
            h.red = Channel(in.u32(masks));
            h.green = Channel(in.u32(masks + 4));
            h.blue = Channel(in.u32(masks + 8));
        }
    } else {
        Invalid();
    }
    if (in.u16(infoSize == 12 ? 22 : 26) != 1) Invalid();  // planes

    switch (h.bitCount) {
        case 1: case 4: case 8:
            if (h.compression != kRgb && !(h.compression == kRle8 && h.bitCount == 8) &&
                !(h.compression == kRle4 && h.bitCount == 4))
                Invalid();
            break;
        case 16: case 32:
            if (h.compression == kRgb) {
                h.red = Channel(h.bitCount == 16 ? 0x7C00u : 0xFF0000u);
                h.green = Channel(h.bitCount == 16 ? 0x03E0u : 0x00FF00u);
                h.blue = Channel(h.bitCount == 16 ? 0x001Fu : 0x0000FFu);
            } else if (h.compression != kBitFields && h.compression != kAlphaBitFields) {
                Invalid();
            }
            break;
        case 24:
            if (h.compression != kRgb) Invalid();
            break;
        default: Invalid();
    }
    if (h.topDown && (h.compression == kRle8 || h.compression == kRle4)) Invalid();
    if (h.width <= 0 || h.height <= 0) Invalid();
    CheckPictureSize(h.width, h.height, "Bitmap");

    if (h.bitCount <= 8) {
        const std::size_t maxColors = std::size_t{1} << h.bitCount;
        std::size_t count = (colorsUsed == 0 || colorsUsed > maxColors) ? maxColors : colorsUsed;
        // A palette cut short by the pixel data keeps the entries that are there.
        if (h.pixelOffset > afterHeader) count = std::min(count, (h.pixelOffset - afterHeader) / paletteEntrySize);
        if (afterHeader > in.size()) Invalid();
        count = std::min(count, (in.size() - afterHeader) / paletteEntrySize);
        if (count == 0) Invalid();
        h.palette.resize(maxColors);  // indices past the stored entries read black
        for (std::size_t i = 0; i < count; ++i) {
            const std::uint8_t* p = in.at(afterHeader + i * paletteEntrySize, 3);
            h.palette[i] = Color{p[0], p[1], p[2]};
        }
    }
    if (h.pixelOffset >= in.size()) Invalid();
    return h;
}

void PutIndexed(const Header& h, std::uint8_t* out, unsigned index) {
    const Color& c = h.palette[index];
    out[0] = c.b;
    out[1] = c.g;
    out[2] = c.r;
}

void DecodeUncompressed(const Reader& in, const Header& h, Picture& picture) {
    const std::size_t rowBytes = ((static_cast<std::size_t>(h.width) * static_cast<std::size_t>(h.bitCount) + 31) / 32) * 4;
    const std::size_t height = static_cast<std::size_t>(h.height);
    const std::uint8_t* base = in.at(h.pixelOffset, rowBytes * height);
    const int width = picture.width();
    for (std::size_t fileRow = 0; fileRow < height; ++fileRow) {
        const std::uint8_t* src = base + fileRow * rowBytes;
        const int y = h.topDown ? static_cast<int>(fileRow) : static_cast<int>(height - 1 - fileRow);
        std::uint8_t* out = picture.row(y);
        switch (h.bitCount) {
            case 1:
                for (int x = 0; x < width; ++x) PutIndexed(h, out + 3 * x, (src[x >> 3] >> (7 - (x & 7))) & 1u);
                break;
            case 4:
                for (int x = 0; x < width; ++x) PutIndexed(h, out + 3 * x, (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xFu);
                break;
            case 8:
                for (int x = 0; x < width; ++x) PutIndexed(h, out + 3 * x, src[x]);
                break;
            case 24:
                std::memcpy(out, src, static_cast<std::size_t>(width) * 3);
                break;
            case 16:
            case 32:
                for (int x = 0; x < width; ++x) {
                    std::uint32_t v;
                    if (h.bitCount == 16) {
                        v = static_cast<std::uint32_t>(src[2 * x] | (src[2 * x + 1] << 8));
                    } else {
                        const std::uint8_t* p = src + 4 * x;
                        v = p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
                    }
                    out[3 * x + 0] = h.blue(v);
                    out[3 * x + 1] = h.green(v);
                    out[3 * x + 2] = h.red(v);
                }
                break;
        }
    }
}

// RLE4 and RLE8: pixels the stream skips (deltas, early line ends) take
// palette entry 0, as the Windows reader leaves them. A stream that runs past
// the end of the file without its end-of-bitmap code is not a valid bitmap.
void DecodeRle(const Reader& in, const Header& h, Picture& picture) {
    const bool four = h.compression == kRle4;
    const int width = picture.width();
    const int height = picture.height();
    // One row of entry 0, copied to the others: a few bytes of RLE can name a
    // picture of hundreds of megapixels, and a pixel-by-pixel fill of that
    // takes seconds.
    if (height > 0) {
        for (int x = 0; x < width; ++x) PutIndexed(h, picture.row(0) + 3 * x, 0);
        for (int y = 1; y < height; ++y) std::memcpy(picture.row(y), picture.row(0), picture.stride());
    }
    std::size_t pos = h.pixelOffset;
    int x = 0, line = 0;  // line counts from the bottom
    auto put = [&](unsigned index) {
        if (x < width && line < height) PutIndexed(h, picture.row(height - 1 - line) + 3 * x, index);
        ++x;
    };
    for (;;) {
        const std::uint8_t* pair = in.at(pos, 2);
        pos += 2;
        const unsigned count = pair[0], value = pair[1];
        if (count > 0) {
            for (unsigned i = 0; i < count; ++i) put(four ? ((i & 1) ? (value & 0xFu) : (value >> 4)) : value);
        } else if (value == 0) {  // end of line
            x = 0;
            ++line;
        } else if (value == 1) {  // end of bitmap
            return;
        } else if (value == 2) {  // delta
            const std::uint8_t* d = in.at(pos, 2);
            pos += 2;
            x += d[0];
            line += d[1];
        } else {  // absolute run of `value` pixels, padded to a 16-bit boundary
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            const std::uint8_t* p = in.at(pos, bytes);
            for (unsigned i = 0; i < value; ++i) put(four ? ((i & 1) ? (p[i / 2] & 0xFu) : (p[i / 2] >> 4)) : p[i]);
            pos += bytes + (bytes & 1);
        }
        if (line >= height) return;  // everything below the top row is done
    }
}

void PutU16(std::uint8_t* p, std::uint32_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
void PutU32(std::uint8_t* p, std::uint32_t v) {
    PutU16(p, v & 0xFFFFu);
    PutU16(p + 2, v >> 16);
}

}  // namespace

Picture DecodeBmp(const std::uint8_t* data, std::size_t size) {
    const Reader in(data, size);
    const Header h = ReadHeader(in);
    Picture picture(static_cast<int>(h.width), static_cast<int>(h.height));
    if (h.compression == kRle8 || h.compression == kRle4)
        DecodeRle(in, h, picture);
    else
        DecodeUncompressed(in, h, picture);
    return picture;
}

std::vector<std::uint8_t> EncodeBmp(const Picture& picture) {
    if (picture.empty()) throw Error("An empty picture cannot be written as BMP.");
    const std::size_t rowBytes = (picture.stride() + 3) & ~std::size_t{3};
    const std::size_t imageBytes = rowBytes * static_cast<std::size_t>(picture.height());
    const std::size_t fileBytes = 54 + imageBytes;
    if (fileBytes > 0xFFFFFFFFu) throw Error("The picture is too large to be written as BMP.");
    std::vector<std::uint8_t> file(fileBytes, 0);
    std::uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<std::uint32_t>(fileBytes));
    PutU32(p + 10, 54);
    PutU32(p + 14, 40);
    PutU32(p + 18, static_cast<std::uint32_t>(picture.width()));
    PutU32(p + 22, static_cast<std::uint32_t>(picture.height()));
    PutU16(p + 26, 1);
    PutU16(p + 28, 24);
    PutU32(p + 34, static_cast<std::uint32_t>(imageBytes));
    PutU32(p + 38, 3780);  // 96 dots per inch, in dots per metre
    PutU32(p + 42, 3780);
    for (int y = 0; y < picture.height(); ++y)
        std::memcpy(p + 54 + rowBytes * static_cast<std::size_t>(picture.height() - 1 - y), picture.row(y), picture.stride());
    return file;
}

}  // namespace corvellin
