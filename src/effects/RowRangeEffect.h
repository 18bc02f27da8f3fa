// Effect calls whose every output row depends on that row of the picture
// alone (the mask blends, the colour tints, brightness, contrast, negative and
// saturation). Prepared once for a picture size, such a call can be applied
// to any range of rows, in any order and on any thread, and gives the bytes
// ApplyEffect gives: a renderer can apply it to rows as soon as they are
// decoded and encode them as soon as they are done.
#pragma once

#include <memory>

#include "Catalogue.h"
#include "EffectContext.h"
#include "kernels/ByteTables.h"
#include "picture/Picture.h"

namespace corvellin {

class RowRangeEffect {
public:
    virtual ~RowRangeEffect() = default;
    // Applies the effect to rows [first, end) of a picture of the prepared size.
    virtual void ApplyRows(Picture& picture, int first, int end) const = 0;
};

// Whether the call's rows are independent; decided from the call alone.
bool IsRowRangeEffect(const EffectCall& call);

// The call prepared for a width x height picture, or nullptr when its rows are
// not independent. Reads the call's mask files now (through the context's
// cache), so a mask error is thrown before any pixel changes. The additive
// mask categories blend at additiveStrength.
std::unique_ptr<RowRangeEffect> PrepareRowRangeEffect(const EffectContext& context, const EffectCall& call, int width,
                                                      int height, double additiveStrength = kAdditiveMaskStrength);

// The row-range forms the per-pixel kernels share: blue, green and red bytes
// each through their table; AdjustSaturation by amount.
std::unique_ptr<RowRangeEffect> ChannelTableRowEffect(const ByteTable& blue, const ByteTable& green,
                                                      const ByteTable& red);
std::unique_ptr<RowRangeEffect> SaturationRowEffect(int amount);

}  // namespace corvellin
