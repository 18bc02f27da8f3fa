// The real corvellin on a headless Weston compositor with no X server at all:
// it must open a native Wayland window, and the end of the session (SIGTERM)
// closes it cleanly, settings written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "EditorProcess.h"
#include "TestFiles.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

using e2e::ChildProcess;
using e2e::WaitFor;

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(EditorOnWayland, OpensANativeWindowAndClosesOnSessionEnd) {
    test::TempDir dir;
    const std::string runtime = dir.file("run");
    std::filesystem::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    const std::string socket = "corvellin-test";
    // The protocol log shows every request the editor makes of the compositor.
    ChildProcess weston({"weston", "--backend=headless-backend.so", "--socket=" + socket, "--idle-time=0",
                         "--logger-scopes=log,proto", "--log=" + dir.file("weston.log")},
                        {"XDG_RUNTIME_DIR=" + runtime, "DISPLAY", "WAYLAND_DISPLAY"}, -1, dir.file("weston.out"));
    ASSERT_TRUE(WaitFor([&] { return std::filesystem::exists(runtime + "/" + socket); }, 30s))
        << ReadText(dir.file("weston.out")) << ReadText(dir.file("weston.log"));

    const std::string config = dir.file("config");
    std::vector<std::string> env{"DISPLAY", "QT_QPA_PLATFORM", "XDG_SESSION_TYPE", "WAYLAND_DISPLAY=" + socket,
                                 "XDG_RUNTIME_DIR=" + runtime, "HOME=" + dir.path(), "XDG_CONFIG_HOME=" + config};
    // Under the leak checker: full stacks, so that a leak of the graphics
    // driver, unloaded before the check, is still seen to come from it.
    if (const char* leaks = std::getenv("LSAN_OPTIONS"))
        env.push_back(std::string("LSAN_OPTIONS=") + leaks + ":fast_unwind_on_malloc=0");
    ChildProcess editor({std::string(CORVELLIN_BIN_DIR) + "/corvellin"}, env, -1, dir.file("corvellin.log"));
    // A Wayland toplevel named as the editor, carrying its desktop entry's id.
    const auto mapped = [&] {
        const std::string log = ReadText(dir.file("weston.log"));
        return log.find("xdg_toplevel") != std::string::npos && log.find("Corvellin Photo Editor\")") != std::string::npos &&
               log.find("set_app_id(\"corvellin-photo\")") != std::string::npos;
    };
    ASSERT_TRUE(WaitFor(mapped, 60s)) << ReadText(dir.file("corvellin.log"));
    EXPECT_EQ(editor.wait(0ms), std::nullopt) << "the editor must still run";

    editor.signal(SIGTERM);
    const std::optional<int> status = editor.wait(30000ms);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << ReadText(dir.file("corvellin.log"));
    // A clean close writes the settings file, as closing the window does.
    EXPECT_TRUE(std::filesystem::exists(config + "/Corvellin Photo/cfg.ini")) << ReadText(dir.file("corvellin.log"));
}

}  // namespace
}  // namespace corvellin
