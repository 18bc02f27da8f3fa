// Limits on the size a picture file may claim. A header is checked against them
// before any pixel memory is allocated, so a crafted file cannot exhaust memory.
#pragma once

#include <cstdint>
#include <string>

#include "Limits.h"  // kMaxPictureSide, kMaxPicturePixels

namespace corvellin {

// Throws Error naming the claimed size when it is zero, negative or beyond the limits.
void CheckPictureSize(std::int64_t width, std::int64_t height, const char* kind);

}  // namespace corvellin
