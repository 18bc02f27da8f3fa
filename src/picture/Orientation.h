// Turning a picture upright by its EXIF orientation.
#pragma once

#include "Picture.h"

namespace corvellin {

// The picture as it is meant to be seen, for an EXIF orientation value:
// 1 as stored, 2 mirrored left to right, 3 turned half round, 4 mirrored top
// to bottom, 5 mirrored along the main diagonal, 6 turned a quarter clockwise,
// 7 mirrored along the other diagonal, 8 turned a quarter anticlockwise.
// Any other value leaves the picture as stored.
Picture OrientUpright(Picture picture, int orientation);

}  // namespace corvellin
