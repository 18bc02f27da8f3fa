#include "JpegCodec.h"

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
bool ReadPixels(jpeg_decompress_struct* info, ErrorState* state, std::uint8_t* pixels, std::size_t stride,
                std::uint8_t* scratch) {
    if (setjmp(state->jump)) return false;
    jpeg_start_decompress(info);
    const bool inverted = info->saw_Adobe_marker;
    const JDIMENSION width = info->output_width;
    while (info->output_scanline < info->output_height) {
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
    return true;
}

bool Compress(jpeg_compress_struct* info, ErrorState* state, const Picture* picture, int quality,
              unsigned char** buffer, unsigned long* size) {
    if (setjmp(state->jump)) return false;
    jpeg_create_compress(info);
    jpeg_mem_dest(info, buffer, size);
    info->image_width = static_cast<JDIMENSION>(picture->width());
    info->image_height = static_cast<JDIMENSION>(picture->height());
    info->input_components = 3;
    info->in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(info);
    jpeg_set_quality(info, quality, TRUE);
    jpeg_start_compress(info, TRUE);
    while (info->next_scanline < info->image_height) {
        JSAMPROW row = const_cast<std::uint8_t*>(picture->row(static_cast<int>(info->next_scanline)));
        jpeg_write_scanlines(info, &row, 1);
    }
    jpeg_finish_compress(info);
    return true;
}

}  // namespace

Picture DecodeJpeg(const std::uint8_t* data, std::size_t size) {
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
    Picture picture(static_cast<int>(info.output_width), static_cast<int>(info.output_height));
    std::vector<std::uint8_t> scratch(static_cast<std::size_t>(info.output_width) * 4);
    if (!ReadPixels(&info, &state, picture.data(), picture.stride(), scratch.data())) fail();
    jpeg_destroy_decompress(&info);
    return picture;
}

std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality) {
    if (picture.empty()) throw Error("An empty picture cannot be written as JPEG.");
    jpeg_compress_struct info{};
    ErrorState state{};
    InstallErrorHandler(state, reinterpret_cast<jpeg_common_struct*>(&info));
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(&info, &state, &picture, quality, &buffer, &size);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> bytes;
    if (ok) bytes.assign(buffer, buffer + size);
    std::free(buffer);
    if (!ok) throw JpegError(state.code, state.text);
    return bytes;
}

}  // namespace corvellin
