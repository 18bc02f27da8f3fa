#include "MaskEffects.h"

#include "MaskFile.h"
#include "func/Blend.h"
#include "func/EdgeFrameBlend.h"

namespace corvellin {

void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation) {
    const Picture mask = PrepareMask(MaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    AddBlend(picture, mask, strength);
}

void Texture(const EffectContext& context, Picture& picture, int category, int variation) {
    const Picture mask = PrepareMask(MaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    MultiplyBlend(picture, mask);
}

void Edge(const EffectContext& context, Picture& picture, int category, std::uint32_t colour, int variation) {
    const Picture mask = PrepareMask(MaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    EdgeBlend(picture, mask, colour);
}

void Frame(const EffectContext& context, Picture& picture, int category, int variation) {
    const Picture mask =
        PrepareMask(FrameMaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    const Picture frame = PrepareMask(MaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    FrameBlend(picture, frame, mask);
}

}  // namespace corvellin
