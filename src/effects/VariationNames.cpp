#include "VariationNames.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

#include "Catalogue.h"

namespace corvellin {
namespace {

using Names = std::array<const char*, kVariationCount>;

const Names kColorNames = {"light green", "lime", "sky blue", "azure", "rose",
                           "red", "lavender", "blue", "amber", "deep blue"};
const Names kSketchNames = {"grey pencil on white", "red on white", "green on white", "blue on white",
                            "magenta on white", "dark blue on pale yellow", "dark red on pale cyan",
                            "dark green on pale pink", "dark blue on pale green", "colour pencil"};
// What the shipped mask art of each family shows (tools/maskgen paints it).
const Names kPresetNames = {"warm sunset light", "cool morning light", "golden glow", "rainbow light leak",
                            "magenta and teal", "amber haze", "film light leak", "pastel clouds", "spotlight",
                            "lens flare"};
const Names kLightANames = {"sun flare", "rays of light", "three spotlights", "neon tubes", "candle glows",
                            "concert beams", "anamorphic streaks", "aurora", "starburst", "sunlight through blinds"};
const Names kStarNames = {"night sky", "big twinkles", "golden sparkles", "glitter dust", "milky way",
                          "shooting stars", "star cluster", "constellations", "sparkle spiral", "cross-screen stars"};
const Names kAmazingNames = {"double rainbow", "colour swirl", "fireworks", "prism fan", "plasma veins",
                             "psychedelic rings", "light-painting ribbons", "flames", "electric arcs", "kaleidoscope"};
const Names kDreamNames = {"pastel bokeh", "ethereal glow", "colourful discs", "floating hearts", "lavender mist",
                           "pastel frame", "soap bubbles", "golden bokeh", "pastel sunbeams", "fireflies"};
const Names kWeatherNames = {"light rain", "driving rain", "snowfall", "blizzard", "low fog",
                             "lightning", "sun rays through clouds", "rainbow in drizzle", "morning mist", "frost"};
const Names kTextureNames = {"paper", "canvas", "linen", "brick", "wood grain",
                             "crackle", "stone", "burlap", "grunge", "halftone"};
const Names kEdgeNames = {"soft oval", "rounded rectangle", "torn paper", "brush strokes", "wavy edge",
                          "perforated stamp", "heart", "cloud", "spray paint", "film strip"};
const Names kFrameNames = {"carved wood", "ornate gold", "brushed silver", "film strip", "instant photo",
                           "passe-partout", "bamboo", "riveted steel", "marble", "stitched leather"};
const Names kWaterNames = {"pool caustics", "ripples from a drop", "ripples from drops", "drops on glass",
                           "light on waves", "underwater shafts", "sun glitter", "rain on a pond", "rising bubbles",
                           "wet glass"};
const Names kLightBNames = {"orange leak", "violet leak", "lime leak", "pink and gold leaks", "rainbow band",
                            "burnt film edges", "prism streak", "sunrise glow", "cyan and magenta leaks",
                            "blotchy leaks"};
const Names kLightCNames = {"city lights", "fairy lights", "festive bokeh", "hexagonal bokeh", "lens halo",
                            "car light trails", "neon grid", "laser beams", "stage lights", "zoom burst"};
const Names kArtNames = {"emboss, lower left", "emboss, upper left", "scatter", "equalise histogram", "blur",
                         "mosaic", "contrast", "brightness", "saturation", "negative"};

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::size_t EditDistance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

}  // namespace

std::string VariationName(int category, int variation) {
    if (variation < 0 || variation >= kVariationCount) return {};
    const auto v = static_cast<std::size_t>(variation);
    switch (category) {
        case 1: return kPresetNames[v];
        case 2: return kColorNames[v];
        case 3: return kSketchNames[v];
        case 4: return kArtNames[v];
        case 5: return kLightANames[v];
        case 6: return kStarNames[v];
        case 7: return kAmazingNames[v];
        case 8: return kDreamNames[v];
        case 9: return kWeatherNames[v];
        case 10: return kTextureNames[v];
        case 11: return kEdgeNames[v];
        case 12: return kFrameNames[v];
        case 13: return kWaterNames[v];
        case 14: return kLightBNames[v];
        case 15: return kLightCNames[v];
        default: return {};
    }
}

int CategoryByName(const std::string& name) {
    const std::string wanted = Lower(name);
    for (const CategoryInfo& info : kCategories)
        if (Lower(info.name) == wanted) return info.number;
    return 0;
}

std::string NearestCategoryName(const std::string& name) {
    const std::string wanted = Lower(name);
    std::string best;
    std::size_t bestDistance = SIZE_MAX;
    for (const CategoryInfo& info : kCategories) {
        const std::size_t d = EditDistance(wanted, Lower(info.name));
        if (d < bestDistance) bestDistance = d, best = info.name;
    }
    return best;
}

}  // namespace corvellin
