// Conversions between the engine's Picture (packed BGR rows) and QImage
// (rows padded to 4 bytes).
#pragma once

#include <QImage>

#include "picture/Picture.h"

namespace corvellin {

// An exact copy of the picture's pixels; a null image for an empty picture.
QImage PictureToImage(const Picture& picture);

}  // namespace corvellin
