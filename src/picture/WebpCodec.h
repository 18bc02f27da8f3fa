// WebP decoding through libwebp.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Picture.h"

namespace corvellin {

// Decodes a still WebP file held in memory, lossy or lossless, with or
// without alpha (flattened onto white). An animated file is refused. Throws
// Error("WebP image is not valid. ...") for a damaged or truncated file, and
// Error when the header claims a size beyond the size guard, before any pixel
// memory is allocated.
Picture DecodeWebp(const std::uint8_t* data, std::size_t size);

}  // namespace corvellin
