// JPEG decoding and encoding through libjpeg(-turbo).
#pragma once

#include <cstddef>
#include <cstdint>
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

// Baseline colour JPEG at the given quality, other settings at the library's defaults.
std::vector<std::uint8_t> EncodeJpeg(const Picture& picture, int quality = 90);

}  // namespace corvellin
