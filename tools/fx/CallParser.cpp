#include "CallParser.h"

#include "effects/VariationNames.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <vector>

namespace corvellin::fx {

std::optional<std::int64_t> ParseInteger(const std::string& text, std::int64_t min, std::int64_t max, bool allowHex) {
    if (text.empty()) return std::nullopt;
    const bool hex = allowHex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* begin = text.c_str() + (hex ? 2 : 0);
    if (*begin == '+' || *begin == ' ' || (hex && *begin == '-')) return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(begin, &end, hex ? 16 : 10);
    if (errno != 0 || end == begin || *end != '\0') return std::nullopt;
    if (value < min || value > max) return std::nullopt;
    return value;
}

ParsedCall ParseEffectCall(const std::string& text) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t colon = text.find(':', start);
        fields.push_back(text.substr(start, colon - start));
        if (colon == std::string::npos) break;
        start = colon + 1;
    }
    if (fields.size() < 2 || fields.size() > 4) return {std::nullopt, "'" + text + "' is not CATEGORY:VARIATION[:PARAMETER[:COLOUR]]"};

    std::optional<std::int64_t> category = ParseInteger(fields[0], 1, kCategoryCount, false);
    if (!category && !fields[0].empty() && !std::isdigit(static_cast<unsigned char>(fields[0][0])) && fields[0][0] != '-') {
        // Categories may be named as on their buttons, in any case.
        if (const int byName = CategoryByName(fields[0])) category = byName;
        else
            return {std::nullopt, "unknown category '" + fields[0] + "'; did you mean '" +
                                      NearestCategoryName(fields[0]) + "'? (see corvellin-fx list)"};
    }
    if (!category) return {std::nullopt, "unknown category '" + fields[0] + "' (categories are 1 to 15)"};
    const auto variation = ParseInteger(fields[1], 0, kVariationCount - 1, false);
    if (!variation) return {std::nullopt, "variation '" + fields[1] + "' is outside 0 to 9"};

    EffectCall call;
    call.category = static_cast<int>(*category);
    call.variation = static_cast<int>(*variation);
    const ArtSliderList* sliders = FindCategory(call.category)->sliders;
    const std::optional<ArtSlider> found =
        sliders != nullptr ? (*sliders)[static_cast<std::size_t>(call.variation)] : std::nullopt;
    const ArtSlider slider = found.value_or(ArtSlider{0, 0, -1});
    const bool hasSlider = found.has_value();
    if (fields.size() >= 3 && !fields[2].empty()) {
        const auto parameter = ParseInteger(fields[2], INT32_MIN, INT32_MAX, false);
        if (!parameter) return {std::nullopt, "parameter '" + fields[2] + "' is not a whole number"};
        if (hasSlider && (*parameter < slider.minimum || *parameter > slider.maximum))
            return {std::nullopt, "parameter " + fields[2] + " is outside the slider range " +
                                      std::to_string(slider.minimum) + " to " + std::to_string(slider.maximum) +
                                      " of Art variation " + fields[1]};
        call.parameter = static_cast<std::int32_t>(*parameter);
    } else {
        call.parameter = hasSlider ? slider.start : -1;
    }
    if (fields.size() == 4) {
        const auto colour = ParseInteger(fields[3], 0, 0xFFFFFF, true);
        if (!colour) return {std::nullopt, "colour '" + fields[3] + "' is not a number such as 255 or 0x0000FF"};
        call.colour = static_cast<std::uint32_t>(*colour);
    }
    return {call, {}};
}

}  // namespace corvellin::fx
