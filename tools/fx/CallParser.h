// Parsing of corvellin-fx's effect calls and numbers.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "effects/Catalogue.h"

namespace corvellin::fx {

struct ParsedCall {
    std::optional<EffectCall> call;
    std::string error;  // why the text is not a valid call, when call is empty
};

// "CATEGORY:VARIATION[:PARAMETER[:COLOUR]]". An omitted parameter is -1, or
// the slider's starting value for the Art variations that have a slider; an
// omitted colour is green. Colours are 0x00BBGGRR, in decimal or 0x-hex.
ParsedCall ParseEffectCall(const std::string& text);

// A whole decimal (or, with allowHex, 0x-hex) number within [min, max].
std::optional<std::int64_t> ParseInteger(const std::string& text, std::int64_t min, std::int64_t max, bool allowHex);

}  // namespace corvellin::fx
