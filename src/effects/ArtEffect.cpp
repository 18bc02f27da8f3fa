#include "ArtEffect.h"

#include "Catalogue.h"
#include "RowBands.h"
#include "kernels/Art.h"

namespace corvellin {
namespace {

// One row a variation: the kernel over the whole picture, or, for the kernels
// whose every row depends on itself alone, the row-range form.
using WholeKernel = void (*)(const EffectContext& context, Picture& picture, std::int32_t p);
using RowKernel = std::unique_ptr<RowRangeEffect> (*)(std::int32_t p);

struct ArtVariation {
    WholeKernel whole;
    RowKernel rows;
};

std::unique_ptr<RowRangeEffect> SameTableRows(const ByteTable& table) { return ChannelTableRowEffect(table, table, table); }

const ArtVariation kArtVariations[kVariationCount] = {
    {[](const EffectContext& c, Picture& q, std::int32_t) { Emboss(q, EmbossDirection::LowerLeft, c.bands); }, nullptr},
    {[](const EffectContext& c, Picture& q, std::int32_t) { Emboss(q, EmbossDirection::UpperLeft, c.bands); }, nullptr},
    {[](const EffectContext& c, Picture& q, std::int32_t p) { Scatter(c, q, p); }, nullptr},
    {[](const EffectContext& c, Picture& q, std::int32_t) { EqualizeHistogram(q, c.bands); }, nullptr},
    {[](const EffectContext&, Picture& q, std::int32_t p) { Blur(q, p); }, nullptr},
    {[](const EffectContext& c, Picture& q, std::int32_t p) { Mosaic(q, p, c.bands); }, nullptr},
    {nullptr, [](std::int32_t p) { return SameTableRows(BrightnessContrastTable(0, static_cast<double>(p) / 10.0)); }},
    {nullptr, [](std::int32_t p) { return SameTableRows(BrightnessContrastTable(p, 1.0)); }},
    {nullptr, [](std::int32_t p) { return SaturationRowEffect(p); }},
    {nullptr, [](std::int32_t) { return SameTableRows(BrightnessContrastTable(0, -1.0)); }},
};

const ArtVariation* FindArtVariation(int variation) {
    if (variation < 0 || variation >= kVariationCount) return nullptr;
    return &kArtVariations[static_cast<std::size_t>(variation)];
}

}  // namespace

void ApplyArt(const EffectContext& context, Picture& picture, int variation, std::int32_t p) {
    const ArtVariation* art = FindArtVariation(variation);
    if (art == nullptr) return;
    if (art->whole != nullptr) {
        art->whole(context, picture, p);
        return;
    }
    const auto rows = art->rows(p);
    ForEachRowBand(context.bands, picture.height(), [&](int first, int end) { rows->ApplyRows(picture, first, end); });
}

bool IsArtRowRange(int variation) {
    const ArtVariation* art = FindArtVariation(variation);
    return art != nullptr && art->rows != nullptr;
}

std::unique_ptr<RowRangeEffect> PrepareArtRows(int variation, std::int32_t p) {
    return IsArtRowRange(variation) ? FindArtVariation(variation)->rows(p) : nullptr;
}

std::int32_t ArtHiddenValue(int variation) {
    const auto slider = ArtSliderFor(variation);
    return slider ? slider->start : -1;
}

void ArtEffect(const EffectContext& context, Picture& picture, int variation, ArtSliderState slider) {
    ApplyArt(context, picture, variation, slider.visible ? slider.position : ArtHiddenValue(variation));
}

}  // namespace corvellin
