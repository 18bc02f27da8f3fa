// The mask effects: additive (Preset, LightA, Star, Amazing, Dream, Whether,
// Water, LightB, LightC), multiplicative (Texture), Edge and Frame. Each reads its mask,
// stretched to the picture's size, before it changes any pixel, so a mask
// error leaves the picture as it was.
#pragma once

#include <cstdint>

#include "EffectContext.h"
#include "picture/Picture.h"

namespace corvellin {

// Adds mask file variation + 1 of the category's folder, times strength.
void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation);

// Multiplies the picture by mask file variation + 1 of the category's folder.
void Texture(const EffectContext& context, Picture& picture, int category, int variation);

// Mixes the colour (0x00BBGGRR) into the picture where mask file variation + 1
// of the category's folder is dark.
void Edge(const EffectContext& context, Picture& picture, int category, std::uint32_t colour, int variation);

// Lays frame picture variation + 1 over the picture where frame mask
// m<variation + 1> is light. The mask is read first, then the frame picture.
void Frame(const EffectContext& context, Picture& picture, int category, int variation);

}  // namespace corvellin
