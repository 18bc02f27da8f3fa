// TQueueData and the replay walk on their own: links, ownership and progress.
#include <gtest/gtest.h>

#include "TestFiles.h"
#include "history/Queue.h"
#include "history/Replay.h"

namespace corvellin {
namespace {

TEST(QueueData, AppendTruncateClearKeepTheChain) {
    TQueueData history;
    EXPECT_EQ(history.HistoryLast(), history.HistoryRoot());
    EXPECT_EQ(history.HistoryCurrent(), history.HistoryRoot());
    const Picture base = test::RandomPicture(4, 3, 1);
    history.SetBase(base);
    EXPECT_EQ(history.HistoryRoot()->snapshot, base);
    HistoryEntry* first = history.Append(test::RandomPicture(4, 3, 2), 1, 0x008000, -1, 3);
    HistoryEntry* second = history.Append(test::RandomPicture(4, 3, 3), 4, 0x0000FF, 12, 7);
    EXPECT_EQ(first->previous, history.HistoryRoot());
    EXPECT_EQ(first->next, second);
    EXPECT_EQ(history.HistoryLast(), second);
    EXPECT_EQ(history.HistoryCurrent(), second);
    EXPECT_EQ(history.CommittedCount(), 2);
    EXPECT_EQ(history.TraceLines(), (std::vector<std::string>{"0,0,0,0", "1,3,-1,32768", "4,7,12,255 <<"}));

    history.SetHistoryCurrent(first);
    EXPECT_EQ(history.CommittedCount(), 1);
    EXPECT_EQ(first->call(), (EffectCall{1, 3, -1, 0x008000}));
    history.TruncateAfter(first);
    EXPECT_EQ(first->next, nullptr);
    EXPECT_EQ(history.HistoryLast(), first);
    EXPECT_EQ(history.HistoryCurrent(), first);

    history.Clear();
    EXPECT_EQ(history.HistoryLast(), nullptr);
    EXPECT_EQ(history.HistoryCurrent(), nullptr);
    EXPECT_EQ(history.HistoryRoot()->next, nullptr);
    EXPECT_TRUE(history.HistoryRoot()->snapshot.empty());
    EXPECT_EQ(history.CommittedCount(), 0);
    history.SetBase(base);
    EXPECT_EQ(history.TraceLines(), std::vector<std::string>{"0,0,0,0 <<"});
}

TEST(QueueData, ReplayWalksTheCommittedEntriesOnly) {
    test::TempDir dir;
    EffectContext context{dir.path() + "/pic", std::nullopt};
    for (int n = 1; n <= 3; ++n) test::WriteMaskFile(context.picDir, 6, n, test::RandomPicture(8, 8, static_cast<std::uint32_t>(n)));
    const Picture full = test::RandomPicture(30, 20, 9);
    TQueueData history;
    history.SetBase(Picture(3, 2));
    for (int v = 0; v < 3; ++v) history.Append(Picture(3, 2), 6, 0x008000, -1, v);
    history.SetHistoryCurrent(history.HistoryLast()->previous);  // the third is undone

    std::vector<std::string> events;
    ReplayProgress progress{[&](int min, int max) { events.push_back("start " + std::to_string(min) + " " + std::to_string(max)); },
                            [&] { events.push_back("step"); }, [&] { events.push_back("finish"); }};
    Picture expected = full;
    for (int v = 0; v < 2; ++v) ApplyEffect(context, &expected, 6, v, -1, 0x008000);
    EXPECT_EQ(ReplayHistoryOnto(history, full, context, progress), expected);
    EXPECT_EQ(events, (std::vector<std::string>{"start 0 1", "step", "finish"}));

    // At the root nothing runs; a mask error ends the walk but still finishes the bar.
    events.clear();
    history.SetHistoryCurrent(history.HistoryRoot());
    EXPECT_EQ(ReplayHistoryOnto(history, full, context, progress), full);
    EXPECT_EQ(events, (std::vector<std::string>{"start 0 -1", "finish"}));
    events.clear();
    history.SetHistoryCurrent(history.HistoryLast());
    EXPECT_THROW(ReplayHistoryOnto(history, full, context, progress, EffectCall{6, 8, -1, 0}), std::exception);
    EXPECT_EQ(events.back(), "finish");
}

}  // namespace
}  // namespace corvellin
