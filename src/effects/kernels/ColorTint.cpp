#include "ColorTint.h"

#include <cmath>

namespace corvellin {

const std::array<TintColour, 10> TintTable = {{
    {172, 255, 172},
    {185, 255, 85},
    {125, 204, 247},
    {26, 165, 240},
    {255, 172, 172},
    {255, 85, 85},
    {172, 172, 255},
    {85, 85, 255},
    {255, 172, 32},
    {20, 20, 185},
}};

ByteTable TintChannelTable(std::uint8_t t) {
    ByteTable table{};
    for (unsigned v = 0; v < 256; ++v) {
        const double sum = std::nearbyint(t * kTintFactor + v);  // exact: quarters of small integers
        table[v] = static_cast<std::uint8_t>(sum > 255 ? 255 : sum);
    }
    return table;
}

void ColorTint(Picture& picture, int variation, BandPool* bands) {
    if (picture.empty() || variation < 0 || variation >= static_cast<int>(TintTable.size())) return;
    const TintColour& tint = TintTable[static_cast<std::size_t>(variation)];
    ApplyChannelTables(picture, TintChannelTable(tint.blue), TintChannelTable(tint.green), TintChannelTable(tint.red),
                       bands);
}

}  // namespace corvellin
