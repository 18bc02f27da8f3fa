#include "RowRangeEffect.h"

#include "ArtEffect.h"
#include "MaskCache.h"
#include "MaskFile.h"
#include "kernels/Art.h"
#include "kernels/Blend.h"
#include "kernels/ColorTint.h"
#include "kernels/EdgeFrameBlend.h"

namespace corvellin {

namespace {

// The mask blends: each range stretches its own rows of the masks, which were
// read when the call was prepared.
class AdditiveMaskRows final : public RowRangeEffect {
public:
    AdditiveMaskRows(std::shared_ptr<const Picture> mask, double strength, int width, int height)
        : mask_(std::move(mask)), strength_(strength), width_(width), height_(height) {}
    void ApplyRows(Picture& picture, int first, int end) const override {
        NearestRowStretcher rows(*mask_, width_, height_);
        for (int y = first; y < end; ++y) AddBlendBytes(picture.row(y), rows.Row(y), picture.stride(), strength_);
    }

private:
    std::shared_ptr<const Picture> mask_;
    double strength_;
    int width_, height_;
};

class MultiplyMaskRows final : public RowRangeEffect {
public:
    MultiplyMaskRows(std::shared_ptr<const Picture> mask, int width, int height)
        : mask_(std::move(mask)), width_(width), height_(height) {}
    void ApplyRows(Picture& picture, int first, int end) const override {
        NearestRowStretcher rows(*mask_, width_, height_);
        for (int y = first; y < end; ++y) MultiplyBlendBytes(picture.row(y), rows.Row(y), picture.stride());
    }

private:
    std::shared_ptr<const Picture> mask_;
    int width_, height_;
};

class EdgeMaskRows final : public RowRangeEffect {
public:
    EdgeMaskRows(std::shared_ptr<const Picture> mask, std::uint32_t colour, int width, int height)
        : mask_(std::move(mask)), colour_(colour), width_(width), height_(height) {}
    void ApplyRows(Picture& picture, int first, int end) const override {
        NearestRowStretcher rows(*mask_, width_, height_);
        EdgeFrameRowMixer mixer(picture.stride(), colour_);
        for (int y = first; y < end; ++y) mixer.EdgeRow(picture.row(y), rows.Row(y));
    }

private:
    std::shared_ptr<const Picture> mask_;
    std::uint32_t colour_;
    int width_, height_;
};

class FrameMaskRows final : public RowRangeEffect {
public:
    FrameMaskRows(std::shared_ptr<const Picture> mask, std::shared_ptr<const Picture> frame, int width, int height)
        : mask_(std::move(mask)), frame_(std::move(frame)), width_(width), height_(height) {}
    void ApplyRows(Picture& picture, int first, int end) const override {
        NearestRowStretcher maskRows(*mask_, width_, height_);
        NearestRowStretcher frameRows(*frame_, width_, height_);
        EdgeFrameRowMixer mixer(picture.stride());
        for (int y = first; y < end; ++y) mixer.FrameRow(picture.row(y), frameRows.Row(y), maskRows.Row(y));
    }

private:
    std::shared_ptr<const Picture> mask_, frame_;
    int width_, height_;
};

// Per-channel tables: the tints, brightness, contrast and negative.
class ChannelTableRows final : public RowRangeEffect {
public:
    ChannelTableRows(const ByteTable& blue, const ByteTable& green, const ByteTable& red)
        : blue_(blue), green_(green), red_(red) {}
    void ApplyRows(Picture& picture, int first, int end) const override {
        if (first >= end) return;
        detail::ApplyChannelTablesToPixels(picture.row(first),
                                           static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(end - first),
                                           blue_, green_, red_);
    }

private:
    ByteTable blue_, green_, red_;
};

class SaturationRows final : public RowRangeEffect {
public:
    explicit SaturationRows(int amount) : amount_(amount) {}
    void ApplyRows(Picture& picture, int first, int end) const override {
        if (first >= end) return;
        detail::AdjustSaturationPixels(
            picture.row(first), static_cast<std::size_t>(picture.width()) * static_cast<std::size_t>(end - first), amount_);
    }

private:
    int amount_;
};

std::shared_ptr<const Picture> MaskFor(const EffectContext& context, const std::string& path, int width, int height) {
    return LoadMaskFor(context.masks, path, width, height);
}

}  // namespace

std::unique_ptr<RowRangeEffect> ChannelTableRowEffect(const ByteTable& blue, const ByteTable& green,
                                                      const ByteTable& red) {
    return std::make_unique<ChannelTableRows>(blue, green, red);
}

std::unique_ptr<RowRangeEffect> SaturationRowEffect(int amount) { return std::make_unique<SaturationRows>(amount); }

bool IsRowRangeEffect(const EffectCall& call) {
    const CategoryInfo* info = FindCategory(call.category);
    if (info == nullptr) return false;
    switch (info->kind) {
        case CategoryKind::AdditiveMask:
        case CategoryKind::MultiplyMask:
        case CategoryKind::EdgeMask:
        case CategoryKind::FrameMask: return true;
        case CategoryKind::ColourTint: return call.variation >= 0 && call.variation < static_cast<int>(TintTable.size());
        case CategoryKind::Art: return IsArtRowRange(call.variation);
        case CategoryKind::Sketch: return false;
    }
    return false;
}

std::unique_ptr<RowRangeEffect> PrepareRowRangeEffect(const EffectContext& context, const EffectCall& call, int width,
                                                      int height, double additiveStrength) {
    if (!IsRowRangeEffect(call)) return nullptr;
    const int c = call.category, number = call.variation + 1;
    const auto mask = [&] { return MaskFor(context, MaskFilePath(context.picDir, c, number), width, height); };
    switch (FindCategory(c)->kind) {
        case CategoryKind::AdditiveMask:
            return std::make_unique<AdditiveMaskRows>(mask(), additiveStrength, width, height);
        case CategoryKind::MultiplyMask: return std::make_unique<MultiplyMaskRows>(mask(), width, height);
        case CategoryKind::EdgeMask: return std::make_unique<EdgeMaskRows>(mask(), call.colour, width, height);
        case CategoryKind::FrameMask: {
            // The mask first, then the frame picture: the order of their errors.
            auto frameMask = MaskFor(context, FrameMaskFilePath(context.picDir, c, number), width, height);
            return std::make_unique<FrameMaskRows>(std::move(frameMask), mask(), width, height);
        }
        case CategoryKind::ColourTint: {
            const TintColour& tint = TintTable[static_cast<std::size_t>(call.variation)];
            return ChannelTableRowEffect(TintChannelTable(tint.blue), TintChannelTable(tint.green),
                                         TintChannelTable(tint.red));
        }
        case CategoryKind::Art: return PrepareArtRows(call.variation, call.parameter);
        case CategoryKind::Sketch: break;
    }
    return nullptr;
}

}  // namespace corvellin
