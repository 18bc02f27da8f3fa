#include "MaskEffects.h"

#include "RowBands.h"
#include "RowRangeEffect.h"

namespace corvellin {

// Each effect reads its mask files first (so an error changes no pixel) and
// then blends the masks stretched to the picture, one row at a time: the same
// pixels as PrepareMask's picture, without allocating a picture-sized copy.
// Every row depends on its own pixels and mask row alone, so the rows run in
// bands, each band with its own row stretcher.

namespace {

void ApplyMaskCall(const EffectContext& context, Picture& picture, const EffectCall& call,
                   double strength = kAdditiveMaskStrength) {
    const auto effect = PrepareRowRangeEffect(context, call, picture.width(), picture.height(), strength);
    if (!effect) return;  // not a mask category
    ForEachRowBand(context.bands, picture.height(), [&](int first, int end) { effect->ApplyRows(picture, first, end); });
}

}  // namespace

void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation) {
    ApplyMaskCall(context, picture, EffectCall{category, variation}, strength);
}

void Texture(const EffectContext& context, Picture& picture, int category, int variation) {
    ApplyMaskCall(context, picture, EffectCall{category, variation});
}

void Edge(const EffectContext& context, Picture& picture, int category, std::uint32_t colour, int variation) {
    ApplyMaskCall(context, picture, EffectCall{category, variation, -1, colour});
}

void Frame(const EffectContext& context, Picture& picture, int category, int variation) {
    ApplyMaskCall(context, picture, EffectCall{category, variation});
}

}  // namespace corvellin
