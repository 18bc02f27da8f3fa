#include "Catalogue.h"

#include "ArtEffect.h"
#include "RowBands.h"
#include "RowRangeEffect.h"
#include "SketchPic.h"

namespace corvellin {
namespace {

constexpr VariationNameList kColorNames = {"light green", "lime", "sky blue", "azure", "rose",
                           "red", "lavender", "blue", "amber", "deep blue"};
constexpr VariationNameList kSketchNames = {"grey pencil on white", "red on white", "green on white", "blue on white",
                            "magenta on white", "dark blue on pale yellow", "dark red on pale cyan",
                            "dark green on pale pink", "dark blue on pale green", "colour pencil"};
// What the shipped mask art of each family shows (tools/maskgen paints it).
constexpr VariationNameList kPresetNames = {"warm sunset light", "cool morning light", "golden glow", "rainbow light leak",
                            "magenta and teal", "amber haze", "film light leak", "pastel clouds", "spotlight",
                            "lens flare"};
constexpr VariationNameList kLightANames = {"sun flare", "rays of light", "three spotlights", "neon tubes", "candle glows",
                            "concert beams", "anamorphic streaks", "aurora", "starburst", "sunlight through blinds"};
constexpr VariationNameList kStarNames = {"night sky", "big twinkles", "golden sparkles", "glitter dust", "milky way",
                          "shooting stars", "star cluster", "constellations", "sparkle spiral", "cross-screen stars"};
constexpr VariationNameList kAmazingNames = {"double rainbow", "colour swirl", "fireworks", "prism fan", "plasma veins",
                             "psychedelic rings", "light-painting ribbons", "flames", "electric arcs", "kaleidoscope"};
constexpr VariationNameList kDreamNames = {"pastel bokeh", "ethereal glow", "colourful discs", "floating hearts", "lavender mist",
                           "pastel frame", "soap bubbles", "golden bokeh", "pastel sunbeams", "fireflies"};
constexpr VariationNameList kWeatherNames = {"light rain", "driving rain", "snowfall", "blizzard", "low fog",
                             "lightning", "sun rays through clouds", "rainbow in drizzle", "morning mist", "frost"};
constexpr VariationNameList kTextureNames = {"paper", "canvas", "linen", "brick", "wood grain",
                             "crackle", "stone", "burlap", "grunge", "halftone"};
constexpr VariationNameList kEdgeNames = {"soft oval", "rounded rectangle", "torn paper", "brush strokes", "wavy edge",
                          "perforated stamp", "heart", "cloud", "spray paint", "film strip"};
constexpr VariationNameList kFrameNames = {"carved wood", "ornate gold", "brushed silver", "film strip", "instant photo",
                           "passe-partout", "bamboo", "riveted steel", "marble", "stitched leather"};
constexpr VariationNameList kWaterNames = {"pool caustics", "ripples from a drop", "ripples from drops", "drops on glass",
                           "light on waves", "underwater shafts", "sun glitter", "rain on a pond", "rising bubbles",
                           "wet glass"};
constexpr VariationNameList kLightBNames = {"orange leak", "violet leak", "lime leak", "pink and gold leaks", "rainbow band",
                            "burnt film edges", "prism streak", "sunrise glow", "cyan and magenta leaks",
                            "blotchy leaks"};
constexpr VariationNameList kLightCNames = {"city lights", "fairy lights", "festive bokeh", "hexagonal bokeh", "lens halo",
                            "car light trails", "neon grid", "laser beams", "stage lights", "zoom burst"};
constexpr VariationNameList kArtNames = {"emboss, lower left", "emboss, upper left", "scatter", "equalise histogram", "blur",
                         "mosaic", "contrast", "brightness", "saturation", "negative"};

// The sliders of the Art variations that show one.
constexpr ArtSliderList kArtSliders = {
    std::nullopt,         std::nullopt, ArtSlider{2, 50, 2},      std::nullopt,         ArtSlider{1, 30, 2},
    ArtSlider{2, 100, 5}, ArtSlider{1, 100, 20}, ArtSlider{-255, 255, 50}, ArtSlider{1, 1555, 1}, std::nullopt,
};

}  // namespace

const std::array<CategoryInfo, kCategoryCount> kCategories = {{
    {Category::Preset, "Preset", CategoryKind::AdditiveMask, "&Preset", &kPresetNames},
    {Category::Color, "Color", CategoryKind::ColourTint, "&Color", &kColorNames},
    {Category::Sketch, "Sketch", CategoryKind::Sketch, "&Sketch", &kSketchNames},
    {Category::Art, "Art", CategoryKind::Art, "&Art", &kArtNames, &kArtSliders},
    {Category::LightA, "LightA", CategoryKind::AdditiveMask, "&LightA", &kLightANames},
    {Category::Star, "Star", CategoryKind::AdditiveMask, "&Star", &kStarNames},
    {Category::Amazing, "Amazing", CategoryKind::AdditiveMask, "&Amazing", &kAmazingNames},
    {Category::Dream, "Dream", CategoryKind::AdditiveMask, "&Dream", &kDreamNames},
    {Category::Whether, "Whether", CategoryKind::AdditiveMask, "&Whether", &kWeatherNames},
    {Category::Texture, "Texture", CategoryKind::MultiplyMask, "&Texture", &kTextureNames},
    {Category::Edge, "Edge", CategoryKind::EdgeMask, "&Edge", &kEdgeNames},
    {Category::Frame, "Frame", CategoryKind::FrameMask, "&Frame", &kFrameNames},
    {Category::Water, "Water", CategoryKind::AdditiveMask, "&Water", &kWaterNames},
    {Category::LightB, "LightB", CategoryKind::AdditiveMask, "Light&B", &kLightBNames},
    {Category::LightC, "LightC", CategoryKind::AdditiveMask, "Light&C", &kLightCNames},
}};

const CategoryInfo* FindCategory(int category) {
    if (category < 1 || category > kCategoryCount) return nullptr;
    const CategoryInfo* info = &kCategories[static_cast<std::size_t>(category - 1)];
    return info->number == category ? info : nullptr;
}

bool IsCategoryKind(int category, CategoryKind kind) {
    const CategoryInfo* info = FindCategory(category);
    return info != nullptr && info->kind == kind;
}

std::optional<ArtSlider> ArtSliderFor(int variation) {
    if (variation < 0 || variation >= kVariationCount) return std::nullopt;
    return (*kCategories[Category::Art - 1].sliders)[static_cast<std::size_t>(variation)];
}

// The calls whose rows are independent run through their row-range form, in
// bands; Sketch and the Art kernels that read neighbouring pixels run whole.
void ApplyEffect(const EffectContext& context, Picture* picture, const EffectCall& call) {
    const CategoryInfo* info = picture != nullptr ? FindCategory(call.category) : nullptr;
    if (info == nullptr) return;
    if (const auto rows = PrepareRowRangeEffect(context, call, picture->width(), picture->height())) {
        ForEachRowBand(context.bands, picture->height(),
                       [&](int first, int end) { rows->ApplyRows(*picture, first, end); });
        return;
    }
    switch (info->kind) {
        case CategoryKind::Sketch: SketchPic(*picture, call.variation, context.bands); break;
        case CategoryKind::Art: ApplyArt(context, *picture, call.variation, call.parameter); break;
        default: break;  // a Color variation outside 0..9
    }
}

}  // namespace corvellin
