// The Sketch category: a pencil drawing, printed in a pair of colours
// (variations 0 to 8) or kept in the picture's own colours (variation 9).
#pragma once

#include <array>
#include <cstdint>

#include "RowBands.h"
#include "picture/Picture.h"

namespace corvellin {

struct SketchColours {
    std::uint8_t darkR, darkG, darkB;     // what black becomes
    std::uint8_t lightR, lightG, lightB;  // what white becomes
};

// The two colours of variations 0 to 8.
extern const std::array<SketchColours, 9> kSketchColours;

// Variation 0..8: PencilSketch with grey, then DuotoneMap with the variation's
// colours; 9: PencilSketch without grey. Any other variation does nothing.
void SketchPic(Picture& picture, int variation, BandPool* bands = nullptr);

}  // namespace corvellin
