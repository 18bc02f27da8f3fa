// Conversions between the engine's Picture (packed BGR rows) and QImage
// (rows padded to 4 bytes).
#pragma once

#include <QColorSpace>
#include <QImage>
#include <cstdint>
#include <vector>

#include "picture/Picture.h"

namespace corvellin {

// An exact copy of the picture's pixels; a null image for an empty picture.
QImage PictureToImage(const Picture& picture);

// The colour space of an embedded ICC profile, for the screen; an invalid one
// (shown as sRGB, as the values are) for no profile or one Qt cannot use.
QColorSpace DisplayColorSpace(const std::vector<std::uint8_t>& icc);

// PictureToImage converted from the picture's own colour space to sRGB for
// the screen. Only what is shown changes: effects and saved files keep the
// picture's own values.
QImage PictureToDisplayImage(const Picture& picture, const QColorSpace& colorSpace);

}  // namespace corvellin
