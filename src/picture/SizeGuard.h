// Limits on the size a picture file may claim. A header is checked against them
// before any pixel memory is allocated, so a crafted file cannot exhaust memory.
#pragma once

#include <cstdint>
#include <string>

namespace corvellin {

inline constexpr std::int64_t kMaxPictureSide = 30000;
inline constexpr std::int64_t kMaxPicturePixels = 256LL * 1000 * 1000;

// Throws Error naming the claimed size when it is zero, negative or beyond the limits.
void CheckPictureSize(std::int64_t width, std::int64_t height, const char* kind);

}  // namespace corvellin
