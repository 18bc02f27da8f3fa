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
// when it fails. With stream, a JPEG changed only by row-range calls and
// written as JPEG is decoded, changed and encoded side by side on two threads
// (the same bytes); otherwise the calls run with the context's bands. The
// picture is turned upright by its EXIF orientation unless loadOptions keeps
// it as stored, and the written file carries the source's metadata as the
// editor's Save does (SavePictureFile), byte for byte the same.
std::optional<std::string> RenderFile(const EffectContext& context, const std::string& in, const std::string& out,
                                      PictureFormat outFormat, const std::vector<EffectCall>& calls, bool stream = false,
                                      const PictureLoadOptions& loadOptions = {});

}  // namespace corvellin::fx
