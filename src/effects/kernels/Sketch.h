// The pencil-drawing kernels: the dodge of a picture by its blurred negative,
// and the two-colour map that prints a grey drawing in a dark and a light colour.
#pragma once

#include "ByteTables.h"
#include "picture/Picture.h"

namespace corvellin {

// Optionally GrayScale; then the picture dodged by a copy of itself that is
// inverted (BrightnessContrast 0, -1.0) and blurred (Blur 3).
void PencilSketch(Picture& picture, bool grayFirst, BandPool* bands = nullptr);

// Per channel: 255 where blend is 255, else Round(base x 255 / (255 - blend))
// clamped. Only pixels that exist in both pictures change.
void ColorDodge(Picture& base, const Picture& blend);

// The dodge of one channel value as a formula over bytes, exact for every
// pair (base, blend); the tests prove it against the extended-precision one.
std::uint8_t DodgeChannel(unsigned base, unsigned blend);

// Each channel c becomes Round(L t + (1 - t) D) with t = c / 255, D and L
// that channel's dark and light values.
ByteTable DuotoneTable(int dark, int light);
void DuotoneMap(Picture& picture, int darkR, int darkG, int darkB, int lightR, int lightG, int lightB,
                BandPool* bands = nullptr);

}  // namespace corvellin
