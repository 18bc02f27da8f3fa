// The mask cache must be invisible: the same pixels as reading the file
// afresh, a replaced or deleted file noticed at its next use, and never more
// memory than its budget.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>

#include "TestFiles.h"
#include "effects/Catalogue.h"
#include "effects/MaskCache.h"
#include "effects/MaskFile.h"
#include "picture/Error.h"

namespace corvellin {
namespace {

TEST(MaskCache, GivesThePreparedMaskRowsForSmallAndLargeTargets) {
    test::TempDir dir;
    const std::string path = test::WriteMaskFile(dir.path(), 1, 1, test::RandomPicture(60, 40, 5));
    MaskCache cache;
    for (const auto& [w, h] : std::vector<std::pair<int, int>>{{15, 15}, {60, 40}, {601, 397}, {15, 15}, {601, 397}}) {
        const auto mask = cache.Get(path, w, h);
        EXPECT_EQ(StretchNearest(*mask, w, h), PrepareMask(path, w, h)) << w << " x " << h;
    }
    // A thumbnail keeps only its stretched copy; the large target the stored mask.
    EXPECT_EQ(cache.entries(), 2u);
}

TEST(MaskCache, EffectsGiveTheSameBytesWithAndWithoutTheCache) {
    test::TempDir dir;
    for (int category : {1, 10, 11}) test::WriteMaskFile(dir.path(), category, 2, test::RandomPicture(70, 50, 11), false);
    MaskCache cache;
    EffectContext plain{dir.path()}, cached{dir.path()};
    cached.masks = &cache;
    for (int round = 0; round < 2; ++round) {
        for (int category : {1, 10, 11}) {
            for (const auto& [w, h] : std::vector<std::pair<int, int>>{{150, 150}, {33, 200}, {300, 180}}) {
                Picture expected = test::RandomPicture(w, h, 2), actual = expected;
                ApplyEffect(plain, &expected, category, 1, -1, 0x112233);
                ApplyEffect(cached, &actual, category, 1, -1, 0x112233);
                ASSERT_EQ(actual, expected) << "category " << category << " " << w << " x " << h << " round " << round;
            }
        }
    }
}

TEST(MaskCache, AFileReplacedOnDiskTakesEffectAtItsNextUse) {
    test::TempDir dir;
    const std::string path = test::WriteMaskFile(dir.path(), 1, 1, test::RandomPicture(30, 20, 1));
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    MaskCache cache;
    const Picture first = *cache.Get(path, 10, 10);

    // The same size and the same modification time, new pixels: written in
    // place and then given the old time back, as a careless copy tool might.
    const std::string other = test::WriteMaskFile(dir.path(), 2, 1, test::RandomPicture(30, 20, 2));
    test::WriteBytes(path, test::ReadBytes(other));
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    const Picture second = *cache.Get(path, 10, 10);
    EXPECT_NE(second, first);
    EXPECT_EQ(second, PrepareMask(path, 10, 10));
    EXPECT_EQ(cache.entries(), 1u) << "the entry of the old file is dropped";

    // Deleted: the reader's own error, although the cache held the file.
    std::filesystem::remove(path);
    try {
        cache.Get(path, 10, 10);
        FAIL() << "a deleted mask file must fail";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("Cannot open file"), std::string::npos) << error.what();
    }
}

TEST(MaskCache, NeverHoldsMoreThanItsBudget) {
    test::TempDir dir;
    const Picture mask = test::RandomPicture(100, 100, 4);  // 30,000 bytes decoded
    MaskCache cache(100000);
    for (int number = 1; number <= 10; ++number) {
        const std::string path = test::WriteMaskFile(dir.path(), 1, number, mask);
        cache.Get(path, 200, 200);  // larger than the mask: the stored mask is kept
        EXPECT_LE(cache.bytes(), cache.budget());
    }
    EXPECT_EQ(cache.entries(), 3u);
    // A mask larger than the whole budget is used but not kept.
    const std::string huge = test::WriteMaskFile(dir.path(), 1, 1, test::RandomPicture(400, 400, 6));
    EXPECT_EQ(cache.Get(huge, 500, 500)->width(), 400);
    EXPECT_LE(cache.bytes(), cache.budget());
}

}  // namespace
}  // namespace corvellin
