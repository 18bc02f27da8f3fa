// The recovery record's text form, and the store's rule that only the files of
// runs that are over are offered.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "TestFiles.h"
#include "history/Recovery.h"
#include "platform/RecoveryStore.h"

namespace corvellin {
namespace {

TEST(Recovery, RecordsReadBackExactly) {
    const RecoveryRecord records[] = {
        {"/photos/a.jpg", {}, 0},
        {"/photos/with 100% odd\nname\r.JPEG", {{1, 3, -1, 0x008000}, {4, 7, 12, 0xFFFFFF}, {11, 0, -1, 0}}, 2},
        {"/x.bmp", {{15, 9, -2147483647 - 1, 4294967295u}}, 1},
    };
    for (const RecoveryRecord& r : records) {
        const std::string text = SerializeRecovery(r);
        EXPECT_EQ(ParseRecovery(text), r) << text;
    }
}

TEST(Recovery, DamagedTextIsRefusedWhole) {
    const std::string good = SerializeRecovery({"/p.jpg", {{1, 3, -1, 32768}, {6, 5, -1, 32768}}, 1});
    ASSERT_TRUE(ParseRecovery(good));
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const std::string damaged[] = {
        "",
        good.substr(0, good.size() - 1),               // cut inside the last line
        good.substr(0, good.find("call=6")),            // cut after a whole line
        good + "call=1,1,-1,0\n",                       // bytes after the end
        replaced("recovery 1", "recovery 2"),
        replaced("source=/p.jpg", "source="),
        replaced("position=1", "position=3"),
        replaced("position=1", "position=-1"),
        replaced("position=1", "position=one"),
        replaced("calls=2", "calls=3"),
        replaced("call=6,5", "call=16,5"),
        replaced("call=6,5", "call=0,5"),
        replaced("call=6,5", "call=6,10"),
        replaced("call=6,5,-1,32768", "call=6,5,-1"),
        replaced("call=6,5,-1,32768", "call=6,5,-1,32768,1"),
        replaced("call=6,5,-1,32768", "call=6,5,-1,99999999999"),
        replaced("/p.jpg", "/p%41.jpg"),
        replaced("source=", "sauce="),
    };
    for (const std::string& text : damaged) EXPECT_FALSE(ParseRecovery(text)) << text;
}

TEST(Recovery, OnlyFilesOfEndedRunsAreOffered) {
    test::TempDir dir;
    ::setenv("XDG_STATE_HOME", dir.path().c_str(), 1);
    EXPECT_EQ(StateFolder(), dir.path() + "/Corvellin Photo");
    {
        RecoverySession living;
        living.Write("text\n");
        EXPECT_EQ(test::ReadBytes(living.path()), (std::vector<std::uint8_t>{'t', 'e', 'x', 't', '\n'}));
        // A run that is going on is never offered, whoever asks.
        EXPECT_TRUE(RecoverySession::LeftByEndedRuns().empty());
        // Its lock is free once the run is over: copy its file as a dead run's.
        std::filesystem::copy_file(living.path(), StateFolder() + "/run-9-9.recovery");
        EXPECT_EQ(RecoverySession::LeftByEndedRuns(), std::vector<std::string>{StateFolder() + "/run-9-9.recovery"});
        living.Clear();
        EXPECT_FALSE(std::filesystem::exists(living.path()));
    }
    RecoverySession::Discard(StateFolder() + "/run-9-9.recovery");
    EXPECT_TRUE(std::filesystem::is_empty(StateFolder())) << "a session that ends leaves nothing";

    // Without XDG_STATE_HOME (or with a relative one): ~/.local/state.
    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_STATE_HOME", "relative", 1);
    EXPECT_EQ(StateFolder(), "/home/someone/.local/state/Corvellin Photo");
    ::unsetenv("XDG_STATE_HOME");
    EXPECT_EQ(StateFolder(), "/home/someone/.local/state/Corvellin Photo");
}

}  // namespace
}  // namespace corvellin
