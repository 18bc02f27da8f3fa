#include "Visibility.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "Generator.h"
#include "app/Fit.h"
#include "effects/Catalogue.h"
#include "effects/MaskCache.h"
#include "picture/Error.h"
#include "picture/PictureFile.h"

namespace maskgen {

namespace {

// The pictures a variation must reach kSeenShare on: all but one, or the one.
std::size_t SeenNeeded(std::size_t pictures) { return pictures >= 2 ? pictures - 1 : pictures; }

// The share a picture set reaches on all but one of its pictures (on its one
// picture when there is only one): the SeenNeeded-th largest.
double ShareOnMost(std::vector<double> shares) {
    if (shares.empty()) return 0;
    const std::size_t k = SeenNeeded(shares.size()) - 1;
    std::nth_element(shares.begin(), shares.begin() + static_cast<std::ptrdiff_t>(k), shares.end(), std::greater<>());
    return shares[k];
}

std::string Percent(double share) {
    char text[16];
    std::snprintf(text, sizeof text, "%5.1f%%", share * 100);
    return text;
}

bool IsBlendCategory(int category) {
    return std::find(kBlendCategories.begin(), kBlendCategories.end(), category) != kBlendCategories.end();
}

}  // namespace

double ChangedShare(const corvellin::Picture& a, const corvellin::Picture& b) {
    if (a.width() != b.width() || a.height() != b.height())
        throw corvellin::Error("Pictures of different sizes cannot be compared.");
    if (a.empty()) return 0;
    std::size_t changed = 0;
    const std::uint8_t* pa = a.data();
    const std::uint8_t* pb = b.data();
    for (std::size_t i = 0; i < a.byteCount(); i += 3) {
        int most = 0;
        for (std::size_t k = 0; k < 3; ++k) most = std::max(most, std::abs(int{pa[i + k]} - int{pb[i + k]}));
        if (most > kVisibleStep) ++changed;
    }
    return static_cast<double>(changed) / (static_cast<double>(a.byteCount()) / 3);
}

corvellin::Picture EditorView(const corvellin::Picture& photo, ViewSize size) {
    const corvellin::FitRect fit = corvellin::FitPictureToPanel(photo.width(), photo.height(),
                                                                corvellin::kPicturePaneWidth,
                                                                corvellin::kPicturePaneHeight);
    corvellin::Picture working = corvellin::StretchNearest(photo, fit.width, fit.height);
    if (size == ViewSize::Preview) return working;
    return corvellin::StretchNearest(working, corvellin::kThumbnailWidth, corvellin::kThumbnailHeight);
}

void ApplyVariation(const corvellin::EffectContext& context, corvellin::Picture& picture, int category, int variation) {
    corvellin::ApplyEffect(context, &picture, category, variation, -1, corvellin::kDefaultEdgeColour);
}

CategoryVisibility MeasureCategory(const corvellin::EffectContext& context,
                                   const std::vector<corvellin::Picture>& views, int category) {
    CategoryVisibility result;
    result.category = category;
    std::array<std::vector<corvellin::Picture>, 10> rendered;
    for (int v = 0; v < 10; ++v)
        for (const corvellin::Picture& view : views) {
            corvellin::Picture picture = view;
            ApplyVariation(context, picture, category, v);
            result.changed[static_cast<std::size_t>(v)].push_back(ChangedShare(view, picture));
            rendered[static_cast<std::size_t>(v)].push_back(std::move(picture));
        }
    for (std::size_t a = 0; a < 10; ++a)
        for (std::size_t b = 0; b < 10; ++b)
            for (std::size_t p = 0; p < views.size(); ++p)
                result.apart[a][b].push_back(a == b ? 0.0 : ChangedShare(rendered[a][p], rendered[b][p]));
    return result;
}

std::string FloorFailure(const CategoryVisibility& measured, int variation) {
    const auto& changed = measured.changed[static_cast<std::size_t>(variation)];
    std::string failure;
    const auto add = [&failure](const std::string& text) { failure += (failure.empty() ? "" : "; ") + text; };
    if (ShareOnMost(changed) < kSeenShare) add("seen " + Percent(ShareOnMost(changed)));
    const double least = changed.empty() ? 0 : *std::min_element(changed.begin(), changed.end());
    if (least < kAlwaysShare) add("least " + Percent(least));
    for (int other = 0; other < 10; ++other) {
        if (other == variation) continue;
        const double apart =
            ShareOnMost(measured.apart[static_cast<std::size_t>(variation)][static_cast<std::size_t>(other)]);
        if (apart < kDistinctShare) add("like " + std::to_string(other + 1) + " " + Percent(apart));
    }
    return failure;
}

corvellin::Picture ReadPicture(const std::string& path) {
    corvellin::Picture picture;
    if (!corvellin::LoadPictureFile(path, picture, [](const std::string& text) { throw corvellin::Error(text); }))
        throw corvellin::Error("Cannot read " + path);
    return picture;
}

int PrintVisibility(const std::string& picDir, const std::vector<std::string>& pictureFiles,
                    const std::vector<int>& categories, ViewSize size) {
    if (pictureFiles.empty()) throw corvellin::Error("No picture to measure on.");
    corvellin::MaskCache cache;
    corvellin::EffectContext context{picDir, 1u};
    context.masks = &cache;
    std::vector<corvellin::Picture> views;
    for (const std::string& file : pictureFiles) views.push_back(EditorView(ReadPicture(file), size));
    std::printf("Share of pixels changed by more than %d levels in a channel, at the %s size (%dx%d):\n",
                kVisibleStep, size == ViewSize::Thumbnail ? "thumbnail" : "preview", views[0].width(),
                views[0].height());
    for (std::size_t p = 0; p < pictureFiles.size(); ++p) std::printf("  p%zu %s\n", p + 1, pictureFiles[p].c_str());
    std::printf("Floor of the blend categories (Edge and Frame are shown without one): a variation changes at\n"
                "least %.0f%% on %zu of the pictures and %.0f%% on every one; any two variations of a category\n"
                "differ in at least %.0f%% of %zu of the pictures. Seen and nearest: the share reached on %zu.\n",
                kSeenShare * 100, SeenNeeded(views.size()), kAlwaysShare * 100, kDistinctShare * 100,
                SeenNeeded(views.size()), SeenNeeded(views.size()));
    const std::vector<int> wanted =
        categories.empty() ? std::vector<int>(kArtCategories.begin(), kArtCategories.end()) : categories;
    int short_ = 0;
    for (int category : wanted) {
        const corvellin::CategoryInfo* info = corvellin::FindCategory(category);
        if (info == nullptr || std::find(kArtCategories.begin(), kArtCategories.end(), category) == kArtCategories.end())
            throw corvellin::Error("Category " + std::to_string(category) + " has no mask art.");
        const CategoryVisibility measured = MeasureCategory(context, views, category);
        std::printf("\n%-8s %2d", info->name, category);
        for (std::size_t p = 0; p < views.size(); ++p) std::printf("    p%-2zu", p + 1);
        std::printf("   nearest    floor\n");
        for (int v = 0; v < 10; ++v) {
            std::printf("  %2d       ", v + 1);
            for (double share : measured.changed[static_cast<std::size_t>(v)]) std::printf(" %s", Percent(share).c_str());
            int nearest = -1;
            double nearestShare = 2;
            for (int other = 0; other < 10; ++other) {
                if (other == v) continue;
                const double apart =
                    ShareOnMost(measured.apart[static_cast<std::size_t>(v)][static_cast<std::size_t>(other)]);
                if (apart < nearestShare) nearestShare = apart, nearest = other;
            }
            std::printf("   %2d:%s", nearest + 1, Percent(nearestShare).c_str());
            const std::string failure = FloorFailure(measured, v);
            if (!IsBlendCategory(category)) {
                std::printf("   -\n");
            } else if (failure.empty()) {
                std::printf("   ok\n");
            } else {
                std::printf("   SHORT: %s\n", failure.c_str());
                ++short_;
            }
        }
    }
    std::printf("\n%d variation(s) of the blend categories fall short.\n", short_);
    return short_;
}

}  // namespace maskgen
