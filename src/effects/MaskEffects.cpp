#include "MaskEffects.h"

#include "MaskFile.h"
#include "func/Blend.h"
#include "func/EdgeFrameBlend.h"

namespace corvellin {

// Each effect reads its mask files first (so an error changes no pixel) and
// then blends the masks stretched to the picture, one row at a time: the same
// pixels as PrepareMask's picture, without allocating a picture-sized copy.

void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation) {
    const Picture mask = LoadMaskFile(MaskFilePath(context.picDir, category, variation + 1));
    NearestRowStretcher rows(mask, picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) AddBlendBytes(picture.row(y), rows.Row(y), picture.stride(), strength);
}

void Texture(const EffectContext& context, Picture& picture, int category, int variation) {
    const Picture mask = LoadMaskFile(MaskFilePath(context.picDir, category, variation + 1));
    NearestRowStretcher rows(mask, picture.width(), picture.height());
    for (int y = 0; y < picture.height(); ++y) MultiplyBlendBytes(picture.row(y), rows.Row(y), picture.stride());
}

void Edge(const EffectContext& context, Picture& picture, int category, std::uint32_t colour, int variation) {
    const Picture mask = LoadMaskFile(MaskFilePath(context.picDir, category, variation + 1));
    NearestRowStretcher rows(mask, picture.width(), picture.height());
    EdgeFrameRowMixer mixer(picture.stride(), colour);
    for (int y = 0; y < picture.height(); ++y) mixer.EdgeRow(picture.row(y), rows.Row(y));
}

void Frame(const EffectContext& context, Picture& picture, int category, int variation) {
    const Picture mask = LoadMaskFile(FrameMaskFilePath(context.picDir, category, variation + 1));
    const Picture frame = LoadMaskFile(MaskFilePath(context.picDir, category, variation + 1));
    NearestRowStretcher maskRows(mask, picture.width(), picture.height());
    NearestRowStretcher frameRows(frame, picture.width(), picture.height());
    EdgeFrameRowMixer mixer(picture.stride());
    for (int y = 0; y < picture.height(); ++y) mixer.FrameRow(picture.row(y), frameRows.Row(y), maskRows.Row(y));
}

}  // namespace corvellin
