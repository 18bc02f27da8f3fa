// Row bands must never change a byte: every effect of every category, run at
// full size with a pool of threads, equals the single-threaded walk. The
// picture is 203 rows tall, not a multiple of the band height, so every
// kernel meets a short last band, and its bands cross block and border rows.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/MaskFile.h"
#include "effects/RowBands.h"
#include "effects/RowRangeEffect.h"
#include "picture/BmpCodec.h"

namespace corvellin {
namespace {

// A private mask folder with all 150 masks and the 10 frame masks, of a size
// that makes every stretch uneven.
class RowBandsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        for (int category = 1; category <= kCategoryCount; ++category) {
            for (int number = 1; number <= kVariationCount; ++number) {
                const auto seed = static_cast<std::uint32_t>(category * 100 + number);
                test::WriteMaskFile(dir_->path(), category, number, test::RandomPicture(53, 41, seed), number % 2 == 0);
            }
        }
        for (int number = 1; number <= kVariationCount; ++number)
            test::WriteBytes(FrameMaskFilePath(dir_->path(), 12, number),
                             PackMaskBytes(EncodeBmp(test::RandomPicture(37, 29, 900u + static_cast<std::uint32_t>(number)))));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static test::TempDir* dir_;
};
test::TempDir* RowBandsTest::dir_ = nullptr;

// Every call a user can make: each category's ten variations, and for Art
// each slider at its ends, its start and a value that splits bands unevenly.
std::vector<EffectCall> EveryCall() {
    std::vector<EffectCall> calls;
    for (int category = 1; category <= kCategoryCount; ++category) {
        for (int variation = 0; variation < kVariationCount; ++variation) {
            if (category != 4) {
                calls.push_back({category, variation, -1, 0x3377CC});
                continue;
            }
            const auto slider = ArtSliderFor(variation);
            if (!slider) {
                calls.push_back({category, variation, -1});
                continue;
            }
            for (int value : {slider->minimum, slider->start, slider->maximum, (slider->minimum + slider->maximum) / 2 + 1})
                calls.push_back({category, variation, value});
        }
    }
    return calls;
}

TEST_F(RowBandsTest, EveryCallGivesTheSameBytesInBandsAsInOneWalk) {
    const Picture source = test::RandomPicture(131, 203, 7);
    BandPool pool(4);  // more threads than cores: bands finish in any order
    EffectContext single{dir_->path(), 12345u};
    EffectContext banded = single;
    banded.bands = &pool;
    for (const EffectCall& call : EveryCall()) {
        Picture expected = source, actual = source;
        ApplyEffect(single, &expected, call);
        ApplyEffect(banded, &actual, call);
        ASSERT_EQ(actual, expected) << "category " << call.category << " variation " << call.variation << " parameter "
                                    << call.parameter;
        if (call.category != 4 || call.variation != 2) ASSERT_NE(actual, source) << "the call changed nothing";
    }
}

TEST_F(RowBandsTest, SmallAndNarrowPicturesGiveTheSameBytes) {
    BandPool pool(3);
    EffectContext single{dir_->path(), 99u};
    EffectContext banded = single;
    banded.bands = &pool;
    // One row, one column, exactly one band, one band and a row.
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{1, 1}, {9, 1}, {1, 300}, {40, kBandRows}, {40, kBandRows + 1}}) {
        const Picture source = test::RandomPicture(w, h, 3);
        for (const EffectCall& call : EveryCall()) {
            Picture expected = source, actual = source;
            ApplyEffect(single, &expected, call);
            ApplyEffect(banded, &actual, call);
            ASSERT_EQ(actual, expected) << w << " x " << h << ", category " << call.category << " variation "
                                        << call.variation << " parameter " << call.parameter;
        }
    }
}

// A renderer applies row-range calls to rows as they are decoded: ranges of
// any height, in any order, must give ApplyEffect's bytes.
TEST_F(RowBandsTest, RowRangeCallsGiveApplyEffectsBytesOverAnyRangesInAnyOrder) {
    const Picture source = test::RandomPicture(77, 203, 8);
    const EffectContext context{dir_->path(), 5u};
    int rowRangeCalls = 0;
    for (const EffectCall& call : EveryCall()) {
        auto effect = PrepareRowRangeEffect(context, call, source.width(), source.height());
        ASSERT_EQ(effect != nullptr, IsRowRangeEffect(call));
        if (!effect) continue;
        ++rowRangeCalls;
        Picture expected = source, actual = source;
        ApplyEffect(context, &expected, call);
        // Ranges of 1, 2, 3, ... rows, applied last first.
        std::vector<std::pair<int, int>> ranges;
        for (int first = 0, height = 1; first < source.height(); first += height, ++height)
            ranges.emplace_back(first, std::min(source.height(), first + height));
        for (auto it = ranges.rbegin(); it != ranges.rend(); ++it) effect->ApplyRows(actual, it->first, it->second);
        ASSERT_EQ(actual, expected) << "category " << call.category << " variation " << call.variation << " parameter "
                                    << call.parameter;
    }
    // Every mask category, all ten tints, Art's contrast, brightness and
    // saturation at four slider values each, and the negative.
    EXPECT_EQ(rowRangeCalls, 12 * 10 + 10 + 3 * 4 + 1);
}

TEST(BandPool, RunsEveryJobOnceAndRethrowsTheFirstFailureAfterAllEnded) {
    BandPool pool(3);
    EXPECT_EQ(pool.threads(), 3u);
    std::vector<std::atomic<int>> runs(500);
    pool.RunEach(500, [&](int i) { ++runs[static_cast<std::size_t>(i)]; });
    for (const auto& count : runs) ASSERT_EQ(count.load(), 1);

    std::atomic<int> ran{0};
    EXPECT_THROW(pool.RunEach(50,
                              [&](int i) {
                                  ++ran;
                                  if (i % 7 == 3) throw std::runtime_error("band failed");
                              }),
                 std::runtime_error);
    EXPECT_EQ(ran.load(), 50);
    // The pool is usable after a failure.
    std::atomic<int> after{0};
    pool.RunEach(10, [&](int) { ++after; });
    EXPECT_EQ(after.load(), 10);
}

TEST(BandPool, BandsCoverEveryRowOnceAndKeepTheAlignment) {
    for (int align : {1, 5, 7, 64, 100}) {
        for (int rows : {1, 63, 64, 65, 203, 4000}) {
            const std::vector<int> starts = RowBandStarts(rows, align);
            ASSERT_EQ(starts.front(), 0);
            ASSERT_EQ(starts.back(), rows);
            for (std::size_t i = 1; i + 1 < starts.size(); ++i) {
                ASSERT_LT(starts[i - 1], starts[i]);
                ASSERT_EQ(starts[i] % align, 0) << "rows " << rows << " align " << align;
            }
        }
    }
}

}  // namespace
}  // namespace corvellin
