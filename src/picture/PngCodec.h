// PNG decoding and 24-bit encoding through libpng.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Metadata.h"
#include "Picture.h"

namespace corvellin {

// Decodes a whole PNG file held in memory: 1, 2, 4, 8 and 16 bits, grey,
// palette and colour, with or without alpha (a tRNS chunk counts as alpha),
// interlaced or not. Alpha is flattened onto white and 16-bit channels are
// reduced to 8 with rounding. Throws Error("PNG image is not valid. <libpng's
// text>") for a damaged or truncated file, and Error when the header claims a
// size beyond the size guard, before any pixel memory is allocated.
Picture DecodePng(const std::uint8_t* data, std::size_t size);

// A 24-bit colour PNG, not interlaced, with the ICC profile (iCCP), the EXIF
// (eXIf) and the XMP packet (an iTXt chunk) of metadata.
std::vector<std::uint8_t> EncodePng(const Picture& picture, const PictureMetadata& metadata = {});

}  // namespace corvellin
