// Per-channel arithmetic of the mask blends, as exact integer formulas. Each
// equals its floating-point definition for every input (the tests prove it over
// all 65,536 pairs), so the kernels can run on bytes alone.
#pragma once

#include <cstdint>

namespace corvellin {

// clamp(round_half_even(mask x 0.5 + target)). With s = 2 x (mask x 0.5 +
// target) = mask + 2 x target, an odd s is an exact half and rounds to the even
// neighbour of s / 2, which is what adding bit 1 of s before halving does.
inline std::uint8_t AddHalfChannel(unsigned target, unsigned mask) {
    const unsigned s = mask + 2 * target;
    const unsigned v = (s + ((s >> 1) & 1u)) >> 1;
    return static_cast<std::uint8_t>(v > 255 ? 255 : v);
}

// round(target x mask / 255). The exact quotient is never a half, so rounding
// is floor((x + 127) / 255), here in the division-free form exact for x <= 65025.
inline std::uint8_t MultiplyChannel(unsigned target, unsigned mask) {
    const unsigned x = target * mask + 128;
    return static_cast<std::uint8_t>((x + (x >> 8)) >> 8);
}

}  // namespace corvellin
