#include "PngCodec.h"

#include <csetjmp>
#include <cstring>
#include <string>

#include <png.h>

#include "Error.h"
#include "SizeGuard.h"

namespace corvellin {
namespace {

// libpng reports errors by longjmp from its error callback; the functions
// that call setjmp hold no C++ objects with destructors, and the error turns
// into an exception only after the jump, as with libjpeg.
struct PngState {
    char text[256];
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at;
    std::vector<std::uint8_t>* out;
};

void OnPngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PngState*>(png_get_error_ptr(png));
    std::snprintf(state->text, sizeof state->text, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (count > state->size - state->at) png_error(png, "the file ends early");
    std::memcpy(out, state->data + state->at, count);
    state->at += count;
}

void WriteToMemory(png_structp png, png_bytep bytes, png_size_t count) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    state->out->insert(state->out->end(), bytes, bytes + count);
}

void FlushNothing(png_structp) {}

struct Header {
    png_uint_32 width = 0, height = 0;
    int depth = 0;
    bool interlaced = false;
};

// Reads the header and sets the transforms that give 4 channels (RGBA) at the
// file's depth (8 or 16) for every kind of PNG.
bool ReadPngHeader(png_structp png, png_infop info, Header* header) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, png_get_error_ptr(png), ReadFromMemory);
    // The size guard decides on the size; libpng's own limit stays out of its way.
    png_set_user_limits(png, 0x7fffffff, 0x7fffffff);
    png_set_chunk_malloc_max(png, 64u << 20);
    png_read_info(png, info);
    header->width = png_get_image_width(png, info);
    header->height = png_get_image_height(png, info);
    const int colorType = png_get_color_type(png, info);
    header->interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && png_get_bit_depth(png, info) < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xffff, PNG_FILLER_AFTER);  // no effect where alpha is already there
    if (png_get_bit_depth(png, info) == 16) png_set_swap(png);  // 16-bit samples in host (little-endian) order
    if (header->interlaced) png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->depth = png_get_bit_depth(png, info);
    return true;
}

bool ReadPngRows(png_structp png, png_infop info, png_bytep* rows, png_uint_32 count, bool whole) {
    if (setjmp(png_jmpbuf(png))) return false;
    if (whole) {
        png_read_image(png, rows);
    } else {
        for (png_uint_32 y = 0; y < count; ++y) png_read_row(png, rows[y], nullptr);
    }
    (void)info;
    return true;
}

// One RGBA row at the file's depth into B, G, R flattened onto white.
void FlattenRow(const std::uint8_t* in, int depth, int width, std::uint8_t* out) {
    if (depth == 16) {
        const auto* p = reinterpret_cast<const std::uint16_t*>(in);
        for (int x = 0; x < width; ++x, p += 4, out += 3) {
            const std::uint64_t a = p[3];
            for (int c = 0; c < 3; ++c) {
                // c x a + white x (1 - a), then to 8 bits, rounded once.
                const std::uint64_t v16x = std::uint64_t{p[c]} * a + 65535u * (65535u - a);  // / 65535 = 16-bit value
                out[2 - c] = static_cast<std::uint8_t>((v16x * 255 + 65535ull * 65535ull / 2) / (65535ull * 65535ull));
            }
        }
        return;
    }
    for (int x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned a = in[3];
        for (int c = 0; c < 3; ++c) out[2 - c] = static_cast<std::uint8_t>((in[c] * a + 255u * (255u - a) + 127u) / 255u);
    }
}

}  // namespace

Picture DecodePng(const std::uint8_t* data, std::size_t size) {
    PngState state{};
    state.data = data;
    state.size = size;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (png == nullptr) throw Error("Not enough memory to read the PNG file.");
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw Error("Not enough memory to read the PNG file.");
    }
    auto fail = [&]() {
        const std::string text = state.text;
        png_destroy_read_struct(&png, &info, nullptr);
        throw Error("PNG image is not valid. " + text);
    };
    Header header;
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) {
        std::snprintf(state.text, sizeof state.text, "Not a PNG file.");
        fail();
    }
    if (!ReadPngHeader(png, info, &header)) fail();
    try {
        CheckPictureSize(header.width, header.height, "PNG");
    } catch (...) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw;
    }
    const std::size_t rowBytes = static_cast<std::size_t>(header.width) * 4 * (header.depth == 16 ? 2 : 1);
    Picture picture(static_cast<int>(header.width), static_cast<int>(header.height));
    // An interlaced file fills every row in several passes, so it needs all
    // rows at once; any other is read a row at a time.
    std::vector<std::uint8_t> buffer(rowBytes * (header.interlaced ? header.height : 1));
    std::vector<png_bytep> rows(header.interlaced ? header.height : 1);
    for (std::size_t y = 0; y < rows.size(); ++y) rows[y] = buffer.data() + rowBytes * y;
    if (header.interlaced) {
        if (!ReadPngRows(png, info, rows.data(), header.height, true)) fail();
        for (png_uint_32 y = 0; y < header.height; ++y)
            FlattenRow(rows[y], header.depth, picture.width(), picture.row(static_cast<int>(y)));
    } else {
        for (png_uint_32 y = 0; y < header.height; ++y) {
            if (!ReadPngRows(png, info, rows.data(), 1, false)) fail();
            FlattenRow(rows[0], header.depth, picture.width(), picture.row(static_cast<int>(y)));
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    return picture;
}

namespace {

bool WritePng(png_structp png, png_infop info, const Picture* picture, const PictureMetadata* metadata,
              std::uint8_t* row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, png_get_error_ptr(png), WriteToMemory, FlushNothing);
    png_set_benign_errors(png, 1);  // a profile libpng finds fault with is left out, with a warning
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture->width()), static_cast<png_uint_32>(picture->height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!metadata->icc.empty())
        png_set_iCCP(png, info, "ICC profile", PNG_COMPRESSION_TYPE_BASE, metadata->icc.data(),
                     static_cast<png_uint_32>(metadata->icc.size()));
    if (!metadata->exif.empty())
        png_set_eXIf_1(png, info, static_cast<png_uint_32>(metadata->exif.size()),
                       const_cast<png_bytep>(metadata->exif.data()));
    png_text text{};
    if (!metadata->xmp.empty()) {
        text.compression = PNG_ITXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>("XML:com.adobe.xmp");
        text.text = const_cast<png_charp>(metadata->xmp.c_str());
        text.itxt_length = metadata->xmp.size();
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);
    for (int y = 0; y < picture->height(); ++y) {
        const std::uint8_t* in = picture->row(y);
        for (int x = 0; x < picture->width(); ++x) {
            row[3 * x] = in[3 * x + 2];
            row[3 * x + 1] = in[3 * x + 1];
            row[3 * x + 2] = in[3 * x];
        }
        png_write_row(png, row);
    }
    // Every chunk went out before the pixels; passing info again would make
    // libpng write the eXIf chunk a second time after them.
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Picture& picture, const PictureMetadata& metadata) {
    if (picture.empty()) throw Error("An empty picture cannot be written as PNG.");
    std::vector<std::uint8_t> bytes;
    PngState state{};
    state.out = &bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state, OnPngError, OnPngWarning);
    if (png == nullptr) throw Error("Not enough memory to write the PNG file.");
    png_infop info = png_create_info_struct(png);
    std::vector<std::uint8_t> row(picture.stride());
    const bool ok = info != nullptr && WritePng(png, info, &picture, &metadata, row.data());
    png_destroy_write_struct(&png, &info);
    if (!ok) throw Error(std::string("Cannot write the PNG file. ") + state.text);
    return bytes;
}

}  // namespace corvellin
