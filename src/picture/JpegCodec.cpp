#include "JpegCodec.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>
#include <jerror.h>

#include "Error.h"
#include "Limits.h"
#include "SizeGuard.h"

namespace corvellin {
namespace {

// libjpeg reports errors through error_exit, from inside its C frames. We leave
// those frames with longjmp; the functions that call setjmp hold no C++ objects
// with destructors, and the error becomes a C++ exception only after the jump.
struct ErrorState {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    int code;
    char text[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnError(j_common_ptr info) {
    auto* state = reinterpret_cast<ErrorState*>(info->err);
    state->code = info->err->msg_code;
    (*info->err->format_message)(info, state->text);
    std::longjmp(state->jump, 1);
}

// Warnings are ignored, as the decoder's default does, except the one that says
// the data ended early: a truncated file is reported instead of shown half grey.
void OnMessage(j_common_ptr info, int level) {
    if (level < 0 && info->err->msg_code == JWRN_JPEG_EOF) OnError(info);
}

void InstallErrorHandler(ErrorState& state, jpeg_common_struct* info) {
    info->err = jpeg_std_error(&state.manager);
    state.manager.error_exit = OnError;
    state.manager.emit_message = OnMessage;
    state.code = 0;
    state.text[0] = '\0';
}

// Decoder working memory (progressive coefficient buffers) is bounded as well:
// kMaxJpegDecoderMemory (Limits.h).

bool ReadHeader(jpeg_decompress_struct* info, ErrorState* state, const std::uint8_t* data, std::size_t size) {
    if (setjmp(state->jump)) return false;
    jpeg_create_decompress(info);
    info->mem->max_memory_to_use = kMaxJpegDecoderMemory;
    jpeg_mem_src(info, data, static_cast<unsigned long>(size));
    jpeg_read_header(info, TRUE);
    switch (info->jpeg_color_space) {
        case JCS_GRAYSCALE: info->out_color_space = JCS_GRAYSCALE; break;
        case JCS_CMYK:
        case JCS_YCCK: info->out_color_space = JCS_CMYK; break;
        default: info->out_color_space = JCS_EXT_BGR; break;
    }
    jpeg_calc_output_dimensions(info);
    return true;
}

// Writes every scan line either straight into the picture (colour) or into
// scratch and then converted to B, G, R (greyscale, CMYK).
// Rows are reported to the progress in groups of this many.
constexpr JDIMENSION kReportEveryRows = 16;

bool ReadPixels(jpeg_decompress_struct* info, ErrorState* state, std::uint8_t* pixels, std::size_t stride,
                std::uint8_t* scratch, const JpegDecodeProgress* progress) {
    if (setjmp(state->jump)) return false;
    jpeg_start_decompress(info);
    const bool inverted = info->saw_Adobe_marker;
    const JDIMENSION width = info->output_width;
    const bool reports = progress != nullptr && progress->decoded;
    while (info->output_scanline < info->output_height) {
        if (reports && info->output_scanline % kReportEveryRows == 0 && info->output_scanline > 0)
            progress->decoded(static_cast<int>(info->output_scanline));
        std::uint8_t* out = pixels + stride * info->output_scanline;
        if (info->out_color_space == JCS_EXT_BGR) {
            JSAMPROW row = out;
            jpeg_read_scanlines(info, &row, 1);
            continue;
        }
        JSAMPROW row = scratch;
        jpeg_read_scanlines(info, &row, 1);
        if (info->out_color_space == JCS_GRAYSCALE) {
            for (JDIMENSION x = 0; x < width; ++x) out[3 * x] = out[3 * x + 1] = out[3 * x + 2] = scratch[x];
        } else {
            for (JDIMENSION x = 0; x < width; ++x) {
                unsigned c = scratch[4 * x], m = scratch[4 * x + 1], y = scratch[4 * x + 2], k = scratch[4 * x + 3];
                if (!inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
                // Stored values are the inks' complements: channel = (255 - ink) x (255 - black) / 255.
                out[3 * x + 0] = static_cast<std::uint8_t>((y * k + 127) / 255);
                out[3 * x + 1] = static_cast<std::uint8_t>((m * k + 127) / 255);
                out[3 * x + 2] = static_cast<std::uint8_t>((c * k + 127) / 255);
            }
        }
    }
    jpeg_finish_decompress(info);
    if (reports) progress->decoded(static_cast<int>(info->output_height));
    return true;
}

// The encoder's output: one malloc'd block that doubles whenever the encoder
// fills it. Unlike jpeg_mem_dest, whose caller-visible pointer is updated only
// when the encode finishes, it always holds the block to free, also when the
// encode stops half-way or fails.
struct GrowingDestination {
    jpeg_destination_mgr manager;  // first, so libjpeg's pointer to it is ours
    unsigned char* data;
    std::size_t capacity;
};

void InitDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<GrowingDestination*>(info->dest);
    d->manager.next_output_byte = d->data;
    d->manager.free_in_buffer = d->capacity;
}

boolean GrowDestination(j_compress_ptr info) {
    auto* d = reinterpret_cast<GrowingDestination*>(info->dest);
    // Called with the whole block full.
    const std::size_t capacity = d->capacity * 2;
    auto* grown = static_cast<unsigned char*>(std::realloc(d->data, capacity));
    if (grown == nullptr) ERREXIT1(info, JERR_OUT_OF_MEMORY, 0);
    d->manager.next_output_byte = grown + d->capacity;
    d->manager.free_in_buffer = capacity - d->capacity;
    d->data = grown;
    d->capacity = capacity;
    return TRUE;
}

void TermDestination(j_compress_ptr) {}

// Returns false on a library error (state holds it) and sets *stopped when
// rowsReady asked to stop.
bool Compress(jpeg_compress_struct* info, ErrorState* state, const Picture* picture, int quality,
              GrowingDestination* destination, const JpegRowsReady* rowsReady, bool* stopped) {
    if (setjmp(state->jump)) return false;
    jpeg_create_compress(info);
    destination->manager.init_destination = InitDestination;
    destination->manager.empty_output_buffer = GrowDestination;
    destination->manager.term_destination = TermDestination;
    info->dest = &destination->manager;
    info->image_width = static_cast<JDIMENSION>(picture->width());
    info->image_height = static_cast<JDIMENSION>(picture->height());
    info->input_components = 3;
    info->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
    jpeg_start_compress(info, TRUE);
    JDIMENSION ready = rowsReady != nullptr && *rowsReady ? 0 : info->image_height;
    while (info->next_scanline < info->image_height) {
        if (info->next_scanline >= ready) {
            // Ask for whole groups of rows: one call per 16 rows keeps the
            // waiting cheap next to the encoding.
            ready = std::min<JDIMENSION>(info->image_height, info->next_scanline + kReportEveryRows);
            if (!(*rowsReady)(static_cast<int>(ready))) {
                *stopped = true;
                return true;
            }
        }
        JSAMPROW row = const_cast<std::uint8_t*>(picture->row(static_cast<int>(info->next_scanline)));
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

}  // namespace

Picture DecodeJpeg(const std::uint8_t* data, std::size_t size) {
    Picture picture;
    DecodeJpegInto(data, size, picture, JpegDecodeProgress{});
    return picture;
}

void DecodeJpegInto(const std::uint8_t* data, std::size_t size, Picture& picture, const JpegDecodeProgress& progress) {
    jpeg_decompress_struct info{};
    ErrorState state{};
    InstallErrorHandler(state, reinterpret_cast<jpeg_common_struct*>(&info));
    auto fail = [&]() {
        jpeg_destroy_decompress(&info);
        throw JpegError(state.code, state.text);
    };
    if (!ReadHeader(&info, &state, data, size)) {
        if (state.code == JERR_IMAGE_TOO_BIG) {
            // libjpeg refuses sides past 65,500 with its own limit in the text;
            // name the size the file claims and the editor's limit instead.
            const std::int64_t width = info.image_width, height = info.image_height;
            jpeg_destroy_decompress(&info);
            CheckPictureSize(width, height, "JPEG");
            throw JpegError(state.code, state.text);
        }
        fail();
    }
    try {
        CheckPictureSize(info.output_width, info.output_height, "JPEG");
    } catch (...) {
        jpeg_destroy_decompress(&info);
        throw;
    }
    picture.resize(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    if (progress.sized) progress.sized();
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(info.output_width) * 4);
    if (!ReadPixels(&info, &state, picture.data(), picture.stride(), scratch.data(), &progress)) fail();
    jpeg_destroy_decompress(&info);
}

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality) {
    return EncodeJpeg(picture, quality, JpegRowsReady{});
}

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality, const JpegRowsReady& rowsReady) {
    if (picture.empty()) throw Error("An empty picture cannot be written as JPEG.");
    jpeg_compress_struct info{};
    ErrorState state{};
    InstallErrorHandler(state, reinterpret_cast<jpeg_common_struct*>(&info));
    // A first block of an eighth of the pixel bytes holds most quality-90
    // photographs without growing.
    GrowingDestination destination{};
    destination.capacity = std::max<std::size_t>(std::size_t{1} << 16, picture.byteCount() / 8);
    destination.data = static_cast<unsigned char*>(std::malloc(destination.capacity));
    if (destination.data == nullptr) throw Error("Not enough memory to write the JPEG file.");
    bool stopped = false;
    const bool ok = Compress(&info, &state, &picture, quality, &destination, &rowsReady, &stopped);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes;
    if (ok && !stopped) bytes.assign(destination.data, destination.data + (destination.capacity - destination.manager.free_in_buffer));
    std::free(destination.data);
    if (!ok) throw JpegError(state.code, state.text);
    return bytes;
}

}  // namespace corvellin
