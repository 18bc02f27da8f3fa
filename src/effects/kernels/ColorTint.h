// The Color category: a quarter of one of ten fixed colours added to every pixel.
#pragma once

#include <array>
#include <cstdint>

#include "ByteTables.h"
#include "picture/Picture.h"

namespace corvellin {

struct TintColour {
    std::uint8_t red, green, blue;
};

// One colour per variation; a quarter of each value is added to its channel.
extern const std::array<TintColour, 10> TintTable;

inline constexpr double kTintFactor = 0.25;

// v = Round(t x 0.25 + v), clamped, for every channel value v.
ByteTable TintChannelTable(std::uint8_t t);

// Tints the picture with TintTable[variation]; a variation outside 0..9 does nothing.
void ColorTint(Picture& picture, int variation, BandPool* bands = nullptr);

}  // namespace corvellin
