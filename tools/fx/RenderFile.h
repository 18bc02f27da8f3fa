// One file through the effect calls: the work `apply` does, and `batch` does
// for each of its files, so that both write the same bytes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "effects/Catalogue.h"
#include "picture/PictureFile.h"

namespace corvellin::fx {

// Reads in, applies the calls in order at full size and writes out in
// outFormat (all-or-nothing). Returns nothing on success, or the text of what
// failed: the open box's text ("Picture does not exists!" + CR + path, ...)
// or the decoder's, a mask's or the writer's error text. Nothing is written
// when it fails.
std::optional<std::string> RenderFile(const EffectContext& context, const std::string& in, const std::string& out,
                                      PictureFormat outFormat, const std::vector<EffectCall>& calls);

}  // namespace corvellin::fx
