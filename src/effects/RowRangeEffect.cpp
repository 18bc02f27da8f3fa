#include "RowRangeEffect.h"

#include "MaskCache.h"
#include "MaskFile.h"
#include "func/Art.h"
#include "func/Blend.h"
#include "func/ByteTables.h"
#include "func/ColorTint.h"
#include "func/EdgeFrameBlend.h"

namespace corvellin {

namespace {

bool IsAdditiveMask(int category) {
    const CategoryInfo* info = FindCategory(category);
    return info != nullptr && info->kind == CategoryKind::AdditiveMask;
}

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

bool IsRowRangeEffect(const EffectCall& call) {
    const int c = call.category, v = call.variation;
    if (IsAdditiveMask(c) || c == 10 || c == 11 || c == 12) return true;
    if (c == 2) return v >= 0 && v < static_cast<int>(TintTable.size());
    if (c == 4) return v >= 6 && v <= 9;
    return false;
}

std::unique_ptr<RowRangeEffect> PrepareRowRangeEffect(const EffectContext& context, const EffectCall& call, int width,
                                                      int height, double additiveStrength) {
    if (!IsRowRangeEffect(call)) return nullptr;
    const int c = call.category, number = call.variation + 1;
    if (IsAdditiveMask(c))
        return std::make_unique<AdditiveMaskRows>(MaskFor(context, MaskFilePath(context.picDir, c, number), width, height),
                                                  additiveStrength, width, height);
    switch (c) {
        case 10:
            return std::make_unique<MultiplyMaskRows>(MaskFor(context, MaskFilePath(context.picDir, c, number), width, height),
                                                      width, height);
        case 11:
            return std::make_unique<EdgeMaskRows>(MaskFor(context, MaskFilePath(context.picDir, c, number), width, height),
                                                  call.colour, width, height);
        case 12: {
            // The mask first, then the frame picture: the order of their errors.
            auto mask = MaskFor(context, FrameMaskFilePath(context.picDir, c, number), width, height);
            auto frame = MaskFor(context, MaskFilePath(context.picDir, c, number), width, height);
            return std::make_unique<FrameMaskRows>(std::move(mask), std::move(frame), width, height);
        }
        case 2: {
            const TintColour& tint = TintTable[static_cast<std::size_t>(call.variation)];
            return std::make_unique<ChannelTableRows>(TintChannelTable(tint.blue), TintChannelTable(tint.green),
                                                      TintChannelTable(tint.red));
        }
        default: break;
    }
    // Art: 6 contrast, 7 brightness, 9 negative, 8 saturation; as ApplyArt.
    const std::int32_t p = call.parameter;
    ByteTable table{};
    switch (call.variation) {
        case 6: table = BrightnessContrastTable(0, static_cast<double>(p) / 10.0); break;
        case 7: table = BrightnessContrastTable(p, 1.0); break;
        case 9: table = BrightnessContrastTable(0, -1.0); break;
        default: return std::make_unique<SaturationRows>(p);
    }
    return std::make_unique<ChannelTableRows>(table, table, table);
}

}  // namespace corvellin
