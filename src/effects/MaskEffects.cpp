#include "MaskEffects.h"

#include "MaskCache.h"
#include "MaskFile.h"
#include "RowBands.h"
#include "func/Blend.h"
#include "func/EdgeFrameBlend.h"

namespace corvellin {

// Each effect reads its mask files first (so an error changes no pixel) and
// then blends the masks stretched to the picture, one row at a time: the same
// pixels as PrepareMask's picture, without allocating a picture-sized copy.
// Every row depends on its own pixels and mask row alone, so the rows run in
// bands, each band with its own row stretcher.

namespace {

std::shared_ptr<const Picture> MaskFor(const EffectContext& context, const Picture& picture, const std::string& path) {
    return LoadMaskFor(context.masks, path, picture.width(), picture.height());
}

}  // namespace

void PresetPic(const EffectContext& context, Picture& picture, int category, double strength, int variation) {
    const auto mask = MaskFor(context, picture, MaskFilePath(context.picDir, category, variation + 1));
    ForEachRowBand(context.bands, picture.height(), [&](int first, int end) {
        NearestRowStretcher rows(*mask, picture.width(), picture.height());
        for (int y = first; y < end; ++y) AddBlendBytes(picture.row(y), rows.Row(y), picture.stride(), strength);
    });
}

void Texture(const EffectContext& context, Picture& picture, int category, int variation) {
    const auto mask = MaskFor(context, picture, MaskFilePath(context.picDir, category, variation + 1));
    ForEachRowBand(context.bands, picture.height(), [&](int first, int end) {
        NearestRowStretcher rows(*mask, picture.width(), picture.height());
        for (int y = first; y < end; ++y) MultiplyBlendBytes(picture.row(y), rows.Row(y), picture.stride());
    });
}

void Edge(const EffectContext& context, Picture& picture, int category, std::uint32_t colour, int variation) {
    const auto mask = MaskFor(context, picture, MaskFilePath(context.picDir, category, variation + 1));
    ForEachRowBand(context.bands, picture.height(), [&](int first, int end) {
        NearestRowStretcher rows(*mask, picture.width(), picture.height());
        EdgeFrameRowMixer mixer(picture.stride(), colour);
        for (int y = first; y < end; ++y) mixer.EdgeRow(picture.row(y), rows.Row(y));
    });
}

void Frame(const EffectContext& context, Picture& picture, int category, int variation) {
    const auto mask = MaskFor(context, picture, FrameMaskFilePath(context.picDir, category, variation + 1));
    const auto frame = MaskFor(context, picture, MaskFilePath(context.picDir, category, variation + 1));
    ForEachRowBand(context.bands, picture.height(), [&](int first, int end) {
        NearestRowStretcher maskRows(*mask, picture.width(), picture.height());
        NearestRowStretcher frameRows(*frame, picture.width(), picture.height());
        EdgeFrameRowMixer mixer(picture.stride());
        for (int y = first; y < end; ++y) mixer.FrameRow(picture.row(y), frameRows.Row(y), maskRows.Row(y));
    });
}

}  // namespace corvellin
