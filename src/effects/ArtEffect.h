// The Art category: each variation is one kernel, fed from the slider's value.
#pragma once

#include <cstdint>
#include <memory>

#include "EffectContext.h"
#include "RowRangeEffect.h"
#include "picture/Picture.h"

namespace corvellin {

// What the window's value slider shows: whether it is visible and its position.
struct ArtSliderState {
    bool visible = false;
    int position = 0;
};

// The Art routing with parameter p: 0/1 Emboss lower-left/upper-left,
// 2 Scatter(p), 3 EqualizeHistogram, 4 Blur(p), 5 Mosaic(p),
// 6 BrightnessContrast(0, p / 10), 7 BrightnessContrast(p, 1.0),
// 8 AdjustSaturation(p), 9 BrightnessContrast(0, -1.0). Variations 0, 1, 3 and
// 9 ignore p; a variation outside 0..9 does nothing.
void ApplyArt(const EffectContext& context, Picture& picture, int variation, std::int32_t parameter);

// Whether the variation's rows are independent (6 to 9).
bool IsArtRowRange(int variation);

// The row-range form of a variation whose rows are independent, nullptr for
// the others: the same kernel and parameter as ApplyArt.
std::unique_ptr<RowRangeEffect> PrepareArtRows(int variation, std::int32_t parameter);

// The value an Art variation uses while its slider is hidden (its slider's
// starting position), -1 for the variations without a slider.
std::int32_t ArtHiddenValue(int variation);

// The routing with p taken from the slider: its position while visible, else
// the hidden-slider value. Used for the thumbnails, the preview and slider moves.
void ArtEffect(const EffectContext& context, Picture& picture, int variation, ArtSliderState slider);

}  // namespace corvellin
