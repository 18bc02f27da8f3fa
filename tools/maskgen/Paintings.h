// The generator's paintings: the start-up picture and every mask family.
#pragma once

#include "Art.h"

namespace maskgen {

// The lake-and-mountains landscape shipped as pic/default.jpg.
Canvas PaintLandscape(int width, int height);

// Additive mask number 1..10 of category 1, 5..9, 13, 14 or 15: mostly black,
// with light, colour and sparkle.
Canvas PaintAdditive(int category, int number, int width, int height);

// Multiplicative texture number 1..10 of category 10: mostly light, white
// keeps the picture.
Canvas PaintTexture(int number, int width, int height);

}  // namespace maskgen
