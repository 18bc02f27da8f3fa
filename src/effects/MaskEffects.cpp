#include "MaskEffects.h"

#include "MaskFile.h"
#include "func/Blend.h"

namespace corvellin {

void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation) {
    const Picture mask = PrepareMask(MaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    AddBlend(picture, mask, strength);
}

void Texture(const EffectContext& context, Picture& picture, int category, int variation) {
    const Picture mask = PrepareMask(MaskFilePath(context.picDir, category, variation + 1), picture.width(), picture.height());
    MultiplyBlend(picture, mask);
}

}  // namespace corvellin
