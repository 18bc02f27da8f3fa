// Windows bitmap decoding (every usual variant) and 24-bit encoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Picture.h"

namespace corvellin {

inline constexpr const char* kInvalidBitmapText = "Bitmap image is not valid";

// Decodes a whole BMP file held in memory: Windows headers (40, 52, 56, 108 and
// 124 bytes) and OS/2 headers (12 and 64 bytes); 1, 4 and 8 bits with palettes,
// RLE4 and RLE8, 16 and 32 bits with or without bit fields, 24 bits; bottom-up
// and top-down rows. Throws Error("Bitmap image is not valid") for a malformed or
// truncated file, and Error when the header claims a size beyond the size guard.
Picture DecodeBmp(const std::uint8_t* data, std::size_t size);

// An uncompressed 24-bit bottom-up BMP with a 40-byte header.
std::vector<std::uint8_t> EncodeBmp(const Picture& picture);

}  // namespace corvellin
