// The mask blend kernels: they read a mask of the target's size and rewrite the target.
#pragma once

#include "picture/Picture.h"

namespace corvellin {

// Per channel: target := clamp(round(mask x strength + target)), halves to even.
void AddBlend(Picture& target, const Picture& mask, double strength);

// Per channel: target := round(target x mask / 255).
void MultiplyBlend(Picture& target, const Picture& mask);

}  // namespace corvellin
