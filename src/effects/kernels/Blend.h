// The mask blend kernels: they read a mask of the target's size and rewrite the target.
#pragma once

#include <cstddef>
#include <cstdint>

#include "picture/Picture.h"

namespace corvellin {

// Per channel: target := clamp(round(mask x strength + target)), halves to even.
void AddBlend(Picture& target, const Picture& mask, double strength);

// Per channel: target := round(target x mask / 255).
void MultiplyBlend(Picture& target, const Picture& mask);

// The same over a run of bytes (a row), for callers that stretch the mask row by row.
void AddBlendBytes(std::uint8_t* target, const std::uint8_t* mask, std::size_t count, double strength);
void MultiplyBlendBytes(std::uint8_t* target, const std::uint8_t* mask, std::size_t count);

}  // namespace corvellin
