// The category table: what the window, the dispatch and corvellin-fx read
// about each category.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include "effects/Catalogue.h"
#include "effects/VariationNames.h"
#include "settings/CaptionCatalog.h"

namespace corvellin {
namespace {

std::string WithoutAccelerator(std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
}

TEST(CategoryTable, RowsAreNumberedInOrderAndNamedOnce) {
    std::set<std::string> names;
    for (std::size_t i = 0; i < kCategories.size(); ++i) {
        const CategoryInfo& info = kCategories[i];
        EXPECT_EQ(info.number, static_cast<int>(i) + 1) << info.name;
        EXPECT_EQ(FindCategory(info.number), &info) << info.name;
        EXPECT_TRUE(names.insert(info.name).second) << info.name;
        // The command line takes the name in any case.
        std::string upper = info.name;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(CategoryByName(upper), info.number) << info.name;
    }
}

TEST(CategoryTable, EachCaptionIsAMainWindowKeyAndTheNameWithItsAccelerator) {
    const auto keys = CaptionKeys(CaptionWindow::Main);
    for (const CategoryInfo& info : kCategories) {
        EXPECT_EQ(WithoutAccelerator(info.captionKey), info.name);
        EXPECT_TRUE(std::any_of(keys.begin(), keys.end(),
                                [&](const CaptionKey& k) { return std::string(k.key) == info.captionKey; }))
            << info.captionKey;
    }
}

TEST(CategoryTable, EveryVariationIsNamedAndOnlyArtHasSliders) {
    for (const CategoryInfo& info : kCategories) {
        ASSERT_NE(info.variations, nullptr) << info.name;
        std::set<std::string> names;
        for (int v = 0; v < kVariationCount; ++v) {
            EXPECT_FALSE(VariationName(info.number, v).empty()) << info.name << " " << v;
            EXPECT_TRUE(names.insert(VariationName(info.number, v)).second) << info.name << " " << v;
        }
        EXPECT_EQ(VariationName(info.number, kVariationCount), "");
        EXPECT_EQ(info.sliders != nullptr, info.kind == CategoryKind::Art) << info.name;
    }
    EXPECT_EQ(VariationName(0, 0), "");
    EXPECT_EQ(VariationName(kCategoryCount + 1, 0), "");
    EXPECT_FALSE(ArtSliderFor(-1));
    EXPECT_FALSE(ArtSliderFor(kVariationCount));
}

}  // namespace
}  // namespace corvellin
