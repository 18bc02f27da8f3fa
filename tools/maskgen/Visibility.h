// How much each mask variation changes a picture, as the editor shows it: the
// picture fitted into the picture pane (the working picture), then either
// stretched to a thumbnail or taken whole as the preview, and the variation
// applied through the engine's own effect call.
//
// A pixel counts as changed when one of its channels moves by more than
// kVisibleStep levels (10 % of the 0..255 range): max(|dB|, |dG|, |dR|) > 25.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "effects/EffectContext.h"
#include "picture/Picture.h"

namespace maskgen {

inline constexpr int kVisibleStep = 25;

// The floor every variation of the blend categories keeps (shares of pixels).
inline constexpr double kSeenShare = 0.02;    // on all but one of the pictures
inline constexpr double kAlwaysShare = 0.01;  // on every picture
inline constexpr double kDistinctShare = 0.02;  // between any two variations of a category

// The categories whose whole look is their mask (the additive ones and Texture).
inline constexpr std::array<int, 10> kBlendCategories = {1, 5, 6, 7, 8, 9, 10, 13, 14, 15};

enum class ViewSize { Thumbnail, Preview };

// The share of pixels whose colour differs by more than kVisibleStep in any
// channel. Both pictures must have the same size.
double ChangedShare(const corvellin::Picture& a, const corvellin::Picture& b);

// The picture as the editor's browser renders it: the working picture (the
// picture stretched to fit the picture pane), then the thumbnail stretched
// from it, or the working picture itself for the preview.
corvellin::Picture EditorView(const corvellin::Picture& photo, ViewSize size);

// Applies variation 0..9 of a mask category as the editor does (ApplyEffect
// with the default Edge colour and no slider).
void ApplyVariation(const corvellin::EffectContext& context, corvellin::Picture& picture, int category, int variation);

struct CategoryVisibility {
    int category = 0;
    // changed[v][p]: share of picture p that variation v changes.
    std::array<std::vector<double>, 10> changed;
    // apart[a][b][p]: share of picture p in which variations a and b differ.
    std::array<std::array<std::vector<double>, 10>, 10> apart;
};

// Renders every variation of the category on every picture (already an
// EditorView) and measures the shares.
CategoryVisibility MeasureCategory(const corvellin::EffectContext& context,
                                   const std::vector<corvellin::Picture>& views, int category);

// What the floor says of one variation; empty when it holds.
std::string FloorFailure(const CategoryVisibility& measured, int variation);

// Prints the table for the picture files: per category and variation the
// changed share on each picture, its nearest sibling and whether the floor
// holds. Returns the number of variations of the blend categories that fall
// short. Throws corvellin::Error when a picture cannot be read.
int PrintVisibility(const std::string& picDir, const std::vector<std::string>& pictureFiles,
                    const std::vector<int>& categories, ViewSize size);

// Reads a picture file (BMP or JPEG) or throws corvellin::Error.
corvellin::Picture ReadPicture(const std::string& path);

}  // namespace maskgen
