#include "Catalogue.h"

#include "ArtEffect.h"
#include "MaskEffects.h"
#include "SketchPic.h"
#include "func/ColorTint.h"

namespace corvellin {

const std::array<CategoryInfo, kCategoryCount> kCategories = {{
    {1, "Preset", CategoryKind::AdditiveMask},
    {2, "Color", CategoryKind::ColourTint},
    {3, "Sketch", CategoryKind::Sketch},
    {4, "Art", CategoryKind::Art},
    {5, "LightA", CategoryKind::AdditiveMask},
    {6, "Star", CategoryKind::AdditiveMask},
    {7, "Amazing", CategoryKind::AdditiveMask},
    {8, "Dream", CategoryKind::AdditiveMask},
    {9, "Whether", CategoryKind::AdditiveMask},
    {10, "Texture", CategoryKind::MultiplyMask},
    {11, "Edge", CategoryKind::EdgeMask},
    {12, "Frame", CategoryKind::FrameMask},
    {13, "Water", CategoryKind::AdditiveMask},
    {14, "LightB", CategoryKind::AdditiveMask},
    {15, "LightC", CategoryKind::AdditiveMask},
}};

const CategoryInfo* FindCategory(int category) {
    if (category < 1 || category > kCategoryCount) return nullptr;
    return &kCategories[static_cast<std::size_t>(category - 1)];
}

bool IsCategoryAvailable(int category) {
    const CategoryInfo* info = FindCategory(category);
    if (!info) return false;
    switch (info->kind) {
        case CategoryKind::AdditiveMask:
        case CategoryKind::MultiplyMask:
        case CategoryKind::ColourTint:
        case CategoryKind::Sketch:
        case CategoryKind::Art:
        case CategoryKind::EdgeMask:
        case CategoryKind::FrameMask: return true;
        default: return false;
    }
}

std::optional<ArtSlider> ArtSliderFor(int variation) {
    switch (variation) {
        case 2: return ArtSlider{2, 50, 2};
        case 4: return ArtSlider{1, 30, 2};
        case 5: return ArtSlider{2, 100, 5};
        case 6: return ArtSlider{1, 100, 20};
        case 7: return ArtSlider{-255, 255, 50};
        case 8: return ArtSlider{1, 1555, 1};
        default: return std::nullopt;
    }
}

void ApplyEffect(const EffectContext& context, Picture* picture, int category, int variation, std::int32_t parameter,
                 std::uint32_t colour) {
    if (picture == nullptr || category <= 0) return;
    switch (category) {
        case 1: case 5: case 6: case 7: case 8: case 9: case 13: case 14: case 15:
            PresetPic(context, *picture, category, kAdditiveMaskStrength, variation);
            break;
        case 2:
            ColorTint(*picture, variation, context.bands);
            break;
        case 3:
            SketchPic(*picture, variation, context.bands);
            break;
        case 4:
            ApplyArt(context, *picture, variation, parameter);
            break;
        case 10:
            Texture(context, *picture, category, variation);
            break;
        case 11:
            Edge(context, *picture, category, colour, variation);
            break;
        case 12:
            Frame(context, *picture, category, variation);
            break;
        default:
            break;
    }
}

}  // namespace corvellin
