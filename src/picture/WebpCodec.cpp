#include "WebpCodec.h"

#include <string>
#include <vector>

#include <webp/decode.h>

#include "Error.h"
#include "SizeGuard.h"

namespace corvellin {
namespace {

const char* StatusText(VP8StatusCode status) {
    switch (status) {
        case VP8_STATUS_OUT_OF_MEMORY: return "Not enough memory.";
        case VP8_STATUS_INVALID_PARAM: return "Invalid parameter.";
        case VP8_STATUS_BITSTREAM_ERROR: return "The data is damaged.";
        case VP8_STATUS_UNSUPPORTED_FEATURE: return "It uses a feature this reader does not support.";
        case VP8_STATUS_SUSPENDED: return "Decoding was suspended.";
        case VP8_STATUS_USER_ABORT: return "Decoding was stopped.";
        case VP8_STATUS_NOT_ENOUGH_DATA: return "The file ends early.";
        default: return "Unknown error.";
    }
}

[[noreturn]] void Invalid(const std::string& why) { throw Error("WebP image is not valid. " + why); }

}  // namespace

Picture DecodeWebp(const std::uint8_t* data, std::size_t size) {
    WebPDecoderConfig config;
    if (!WebPInitDecoderConfig(&config)) throw Error("The WebP library does not match this program.");
    const VP8StatusCode header = WebPGetFeatures(data, size, &config.input);
    if (header != VP8_STATUS_OK) Invalid(StatusText(header));
    if (config.input.has_animation) Invalid("Animated WebP files cannot be opened.");
    CheckPictureSize(config.input.width, config.input.height, "WebP");
    const int width = config.input.width, height = config.input.height;
    const bool alpha = config.input.has_alpha != 0;
    Picture picture(width, height);
    std::vector<std::uint8_t> scratch;
    config.output.is_external_memory = 1;
    if (alpha) {
        scratch.resize(static_cast<std::size_t>(width) * 4 * static_cast<std::size_t>(height));
        config.output.colorspace = MODE_BGRA;
        config.output.u.RGBA.rgba = scratch.data();
        config.output.u.RGBA.stride = width * 4;
        config.output.u.RGBA.size = scratch.size();
    } else {
        config.output.colorspace = MODE_BGR;
        config.output.u.RGBA.rgba = picture.data();
        config.output.u.RGBA.stride = static_cast<int>(picture.stride());
        config.output.u.RGBA.size = picture.byteCount();
    }
    const VP8StatusCode status = WebPDecode(data, size, &config);
    WebPFreeDecBuffer(&config.output);
    if (status != VP8_STATUS_OK) Invalid(StatusText(status));
    if (alpha) {
        const std::uint8_t* in = scratch.data();
        std::uint8_t* out = picture.data();
        for (std::size_t i = 0, n = static_cast<std::size_t>(width) * height; i < n; ++i, in += 4, out += 3) {
            const unsigned a = in[3];
            for (int c = 0; c < 3; ++c) out[c] = static_cast<std::uint8_t>((in[c] * a + 255u * (255u - a) + 127u) / 255u);
        }
    }
    return picture;
}

}  // namespace corvellin
