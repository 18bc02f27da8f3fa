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

// Edge mask number 1..10 of category 11: white keeps the picture, black takes
// the chosen colour.
Canvas PaintEdgeMask(int number, int width, int height);

// Frame number 1..10 of category 12: the frame picture, or (mask) its mask,
// white where the frame shows and grey for its shadow on the photo.
Canvas PaintFrame(int number, bool mask, int width, int height);

}  // namespace maskgen
