// HEIC / HEIF decoding through libheif.
#pragma once

#include <cstddef>
#include <cstdint>

#include "Metadata.h"
#include "Picture.h"

namespace corvellin {

// Decodes the primary image of a HEIF file held in memory (HEVC, AV1 or
// whatever codec libheif has), with the container's rotation and mirror
// applied, so the result is upright and the EXIF orientation inside no longer
// applies. Alpha is flattened onto white; deeper samples come as 8 bits.
// Throws Error("HEIF image is not valid. <libheif's text>") for a damaged or
// truncated file, and Error when the image claims a size beyond the size
// guard, before any pixel memory is allocated.
Picture DecodeHeif(const std::uint8_t* data, std::size_t size);

// The primary image's EXIF, XMP and ICC profile, as libheif finds them.
PictureMetadata ReadHeifMetadata(const std::uint8_t* data, std::size_t size);

}  // namespace corvellin
