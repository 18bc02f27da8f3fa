// Mask files (.gph): a complete JPEG (JFIF) or BMP file whose first 100 bytes
// are stored transformed. Stored bytes 3 and 4 tell the variant: "st" marks a
// JPEG, anything else a BMP. LoadMaskFile reads the file afresh at every call;
// MaskCache keeps decoded masks for callers that want them kept.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "picture/Picture.h"

namespace corvellin {

inline constexpr std::size_t kMaskHeaderSize = 100;

// "<picDir>/<category>/<number>.gph" and "<picDir>/<category>/m<number>.gph".
std::string MaskFilePath(const std::string& picDir, int category, int number);
std::string FrameMaskFilePath(const std::string& picDir, int category, int number);

// The plain JPEG or BMP bytes of a stored mask file (header restored, the rest
// unchanged). Throws Error when there are fewer than 100 bytes.
std::vector<std::uint8_t> UnpackMaskBytes(const std::vector<std::uint8_t>& stored);

// The stored form of a plain file: a JFIF file must begin FF D8 FF E0 00, a BMP
// file with "BM"; either must hold at least 100 bytes. Throws Error otherwise.
std::vector<std::uint8_t> PackMaskBytes(const std::vector<std::uint8_t>& plain);

// Reads and decodes one mask file at the size stored in it. Errors:
// "Cannot open file "<path>". <reason>", "JPEG error #<n>" for a JPEG variant
// that does not decode, "Bitmap image is not valid" for a BMP variant that does
// not, and a clear text for a file shorter than the header.
Picture LoadMaskFile(const std::string& path);

// LoadMaskFile stretched (nearest neighbour, aspect not kept) to width x height.
Picture PrepareMask(const std::string& path, int width, int height);

}  // namespace corvellin
