// The mask effects: additive (Preset, LightA, Star, Amazing, Dream, Whether,
// Water, LightB, LightC) and multiplicative (Texture). Each reads its mask,
// stretched to the picture's size, before it changes any pixel, so a mask
// error leaves the picture as it was.
#pragma once

#include "EffectContext.h"
#include "picture/Picture.h"

namespace corvellin {

// Adds mask file variation + 1 of the category's folder, times strength.
void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation);

// Multiplies the picture by mask file variation + 1 of the category's folder.
void Texture(const EffectContext& context, Picture& picture, int category, int variation);

}  // namespace corvellin
