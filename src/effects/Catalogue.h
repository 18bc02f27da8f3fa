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

enum class CategoryKind { AdditiveMask, MultiplyMask, ColourTint, Sketch, Art, EdgeMask, FrameMask };

struct CategoryInfo {
    int number;
    const char* name;  // as on its button, without the accelerator
    CategoryKind kind;
};

// Indexed by category - 1.
extern const std::array<CategoryInfo, kCategoryCount> kCategories;

// Nullptr for a number outside 1..15.
const CategoryInfo* FindCategory(int category);

// True when the category's routine is built into this engine.
bool IsCategoryAvailable(int category);

// One applied effect, as the history records it. parameter is read only by Art
// (-1 when no slider was shown); colour (0x00BBGGRR) only by Edge.
struct EffectCall {
    int category = 0;
    int variation = 0;
    std::int32_t parameter = -1;
    std::uint32_t colour = kDefaultEdgeColour;
    bool operator==(const EffectCall&) const = default;
};

// The slider an Art variation shows: range and starting position. The
// starting position is also the value used while the slider is hidden.
struct ArtSlider {
    int minimum;
    int maximum;
    int start;
};
std::optional<ArtSlider> ArtSliderFor(int variation);

// Applies one effect call to the picture in place. A null picture, a category
// of 0 or less, or a category without a routine does nothing; an Art variation
// outside 0..9 does nothing. Mask errors are not caught: they reach the caller
// with the picture unchanged.
void ApplyEffect(const EffectContext& context, Picture* picture, int category, int variation, std::int32_t parameter,
                 std::uint32_t colour);
inline void ApplyEffect(const EffectContext& context, Picture* picture, const EffectCall& call) {
    ApplyEffect(context, picture, call.category, call.variation, call.parameter, call.colour);
}

}  // namespace corvellin
