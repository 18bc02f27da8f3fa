// The kernels of Edge and Frame. Only the mask's red channel is read; it is a
// weight w = red / 255, and the two kernels use it in opposite directions.
#pragma once

#include <cstdint>

#include "picture/Picture.h"

namespace corvellin {

// Where the mask is white the picture stays, where it is black the pixel takes
// the colour (0x00BBGGRR), and grey mixes: channel x w + colour x (1 - w).
void EdgeBlend(Picture& target, const Picture& mask, std::uint32_t colour);

// Where the mask is white the frame picture shows, where it is black the
// picture stays, and grey mixes: frame x w + channel x (1 - w).
void FrameBlend(Picture& target, const Picture& frame, const Picture& mask);

}  // namespace corvellin
