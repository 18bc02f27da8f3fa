// The fifteen effect categories and the one entry point through which every
// effect runs: thumbnails, previews and the replay of the history alike.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "EffectContext.h"
#include "picture/Picture.h"

namespace corvellin {

inline constexpr int kCategoryCount = 15;
inline constexpr int kVariationCount = 10;
inline constexpr std::uint32_t kDefaultEdgeColour = 0x008000;  // green, 0x00BBGGRR
inline constexpr double kAdditiveMaskStrength = 0.5;

// The category numbers, as the history, the recovery files and the command
// line store them. Written here once; the table below is indexed by them.
struct Category {
    enum : int {
        Preset = 1, Color, Sketch, Art, LightA, Star, Amazing, Dream, Whether, Texture, Edge, Frame, Water, LightB, LightC
    };
};

// The kind of routine a category runs. The mask kinds read their files from
// the folder "<pic>/<number>" (MaskFilePath).
enum class CategoryKind { AdditiveMask, MultiplyMask, ColourTint, Sketch, Art, EdgeMask, FrameMask };

// The slider an Art variation shows: range and starting position. The
// starting position is also the value used while the slider is hidden.
struct ArtSlider {
    int minimum;
    int maximum;
    int start;
};

using VariationNameList = std::array<const char*, kVariationCount>;
using ArtSliderList = std::array<std::optional<ArtSlider>, kVariationCount>;

struct CategoryInfo {
    int number;
    const char* name;                      // its button's caption without the accelerator; its name on the command line
    CategoryKind kind;
    const char* captionKey;                // the key of its button's and menu item's caption in the language files
    const VariationNameList* variations;   // short names for listings; the mask kinds name what their art shows
    const ArtSliderList* sliders = nullptr;  // Art alone: each variation's slider, if it shows one
};

// Indexed by category - 1.
extern const std::array<CategoryInfo, kCategoryCount> kCategories;

// Nullptr for a number outside 1..15.
const CategoryInfo* FindCategory(int category);

// True for a category of the kind; false for a number outside 1..15.
bool IsCategoryKind(int category, CategoryKind kind);

// One applied effect, as the history records it. parameter is read only by Art
// (-1 when no slider was shown); colour (0x00BBGGRR) only by Edge.
struct EffectCall {
    int category = 0;
    int variation = 0;
    std::int32_t parameter = -1;
    std::uint32_t colour = kDefaultEdgeColour;
    bool operator==(const EffectCall&) const = default;
};

// The slider of Art variation 0..9, from the Art row of the table.
std::optional<ArtSlider> ArtSliderFor(int variation);

// Applies one effect call to the picture in place. A null picture, a category
// outside 1..15 or a variation outside 0..9 of Color, Sketch or Art does
// nothing; a mask variation outside 0..9 names a file that does not exist.
// Mask errors are not caught: they reach the caller with the picture unchanged.
void ApplyEffect(const EffectContext& context, Picture* picture, const EffectCall& call);
inline void ApplyEffect(const EffectContext& context, Picture* picture, int category, int variation,
                        std::int32_t parameter, std::uint32_t colour) {
    ApplyEffect(context, picture, EffectCall{category, variation, parameter, colour});
}

}  // namespace corvellin
