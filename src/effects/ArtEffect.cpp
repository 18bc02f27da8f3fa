#include "ArtEffect.h"

#include "Catalogue.h"
#include "func/Art.h"

namespace corvellin {

void ApplyArt(const EffectContext& context, Picture& picture, int variation, std::int32_t p) {
    BandPool* const bands = context.bands;
    switch (variation) {
        case 0: Emboss(picture, EmbossDirection::LowerLeft, bands); break;
        case 1: Emboss(picture, EmbossDirection::UpperLeft, bands); break;
        case 2: Scatter(context, picture, p); break;
        case 3: EqualizeHistogram(picture, bands); break;
        case 4: Blur(picture, p); break;
        case 5: Mosaic(picture, p, bands); break;
        case 6: BrightnessContrast(picture, 0, static_cast<double>(p) / 10.0, bands); break;
        case 7: BrightnessContrast(picture, p, 1.0, bands); break;
        case 8: AdjustSaturation(picture, p, bands); break;
        case 9: BrightnessContrast(picture, 0, -1.0, bands); break;
        default: break;
    }
}

std::int32_t ArtHiddenValue(int variation) {
    const auto slider = ArtSliderFor(variation);
    return slider ? slider->start : -1;
}

void ArtEffect(const EffectContext& context, Picture& picture, int variation, ArtSliderState slider) {
    ApplyArt(context, picture, variation, slider.visible ? slider.position : ArtHiddenValue(variation));
}

}  // namespace corvellin
