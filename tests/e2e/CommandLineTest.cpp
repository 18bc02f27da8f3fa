// corvellin's command line: help, and arguments it refuses before any window.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "EditorProcess.h"
#include "TestFiles.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

TEST(EditorCommandLine, HelpAndRefusedArguments) {
    test::TempDir dir;
    const std::string program = std::string(CORVELLIN_BIN_DIR) + "/corvellin";
    const struct {
        std::vector<std::string> arguments;
        int status;
        const char* says;
    } cases[] = {
        {{"--help"}, 0, "Usage: corvellin [FILE]"},
        {{"-h"}, 0, "Usage: corvellin [FILE]"},
        {{"a.jpg", "b.jpg"}, 2, "corvellin: only one picture file can be opened at a time"},
        {{"--", "a.jpg", "-b.jpg"}, 2, "corvellin: only one picture file can be opened at a time"},
        {{"--frobnicate"}, 2, "corvellin: unknown option --frobnicate"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> argv{program};
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        // Help needs no display; the refusals come before any window opens.
        e2e::ChildProcess editor(argv, {"DISPLAY", "QT_QPA_PLATFORM=offscreen", "XDG_RUNTIME_DIR=" + dir.path(),
                                        "XDG_CONFIG_HOME=" + dir.file("config"), "XDG_STATE_HOME=" + dir.file("state")},
                                 -1, dir.file("out.log"));
        const std::optional<int> status = editor.wait(30000ms);
        ASSERT_TRUE(status.has_value()) << c.says;
        EXPECT_EQ(*status, c.status) << c.says;
        const std::string out = e2e::Capture("cat '" + dir.file("out.log") + "'");
        EXPECT_NE(out.find(c.says), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace corvellin
