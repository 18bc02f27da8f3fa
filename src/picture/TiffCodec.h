// TIFF decoding through libtiff.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Picture.h"

namespace corvellin {

// Decodes the first page of a TIFF file held in memory: 1 to 16 bits per
// sample, grey, palette, RGB, CMYK and YCbCr, strips or tiles, every
// compression libtiff reads. The rows come in the order they are stored; the
// Orientation tag is the EXIF orientation and is applied with it. Alpha is
// flattened onto white, 16-bit samples are reduced to 8 with rounding.
// Throws Error("TIFF image is not valid. <libtiff's text>") for a damaged,
// truncated or unsupported file, and Error when the header claims a size
// beyond the size guard, before any pixel memory is allocated.
Picture DecodeTiff(const std::uint8_t* data, std::size_t size);

}  // namespace corvellin
