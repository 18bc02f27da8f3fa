#include "RenderFile.h"

#include <exception>

namespace corvellin::fx {

std::optional<std::string> RenderFile(const EffectContext& context, const std::string& in, const std::string& out,
                                      PictureFormat outFormat, const std::vector<EffectCall>& calls) {
    try {
        Picture picture;
        std::string boxText;
        if (!LoadPictureFile(in, picture, [&](const std::string& text) { boxText = text; })) return boxText;
        for (const EffectCall& call : calls) ApplyEffect(context, &picture, call);
        SavePictureFile(out, picture, outFormat);
        return std::nullopt;
    } catch (const std::exception& error) {
        return std::string(error.what());
    }
}

}  // namespace corvellin::fx
