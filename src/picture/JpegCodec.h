// JPEG decoding and encoding through libjpeg(-turbo).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "Picture.h"

namespace corvellin {

// Decodes a whole JPEG file held in memory at full scale with the decoder's
// default settings: baseline, progressive and arithmetic-coded files; colour,
// greyscale (expanded to equal B, G, R) and CMYK/YCCK (inverted when an Adobe
// APP14 segment marks it, as Adobe writes them). A file that ends early is
// refused. Throws JpegError with the decoder's message number and text, or
// Error when the header claims a size beyond the size guard.
Picture DecodeJpeg(const std::uint8_t* data, std::size_t size);

// What a decode reports while it runs, on the decoding thread, so that other
// threads can work on the rows already decoded. Neither may throw.
struct JpegDecodeProgress {
    std::function<void()> sized;           // once the picture has its size, before any row
    std::function<void(int rows)> decoded;  // rows 0 .. rows - 1 are final
};

// DecodeJpeg into picture, which takes the file's size. Throws as DecodeJpeg;
// after a failure the picture's pixels are unspecified.
void DecodeJpegInto(const std::uint8_t* data, std::size_t size, Picture& picture, const JpegDecodeProgress& progress);

// Baseline colour JPEG at the given quality, other settings at the library's defaults.
std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality = 90);

// EncodeJpeg that first calls rowsReady(n) and reads rows below n only when it
// returned true, so the rows can still be in the making on other threads.
// When rowsReady returns false, the encode stops and returns no bytes.
using JpegRowsReady = std::function<bool(int rows)>;
std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality, const JpegRowsReady& rowsReady);

}  // namespace corvellin
