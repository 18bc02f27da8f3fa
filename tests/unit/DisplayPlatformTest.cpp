#include "platform/DisplayPlatform.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace corvellin {
namespace {

struct DisplayCase {
    const char* name;
    std::map<std::string, std::string> env;
    const char* platform;  // "" when Qt's own choice stands or the start is refused
    bool refused;
};

const DisplayCase kCases[] = {
    {"X only", {{"DISPLAY", ":0"}}, "xcb", false},
    {"Wayland only", {{"WAYLAND_DISPLAY", "wayland-0"}}, "wayland", false},
    {"Wayland session with its X server", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "wayland"}}, "wayland;xcb", false},
    {"X session with a nested Wayland", {{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"XDG_SESSION_TYPE", "x11"}}, "xcb", false},
    {"empty values count as unset", {{"WAYLAND_DISPLAY", ""}, {"DISPLAY", ""}}, "", true},
    {"nothing", {}, "", true},
    {"offscreen as asked", {{"QT_QPA_PLATFORM", "offscreen"}}, "", false},
    {"xcb asked without X", {{"QT_QPA_PLATFORM", "xcb"}, {"WAYLAND_DISPLAY", "wayland-0"}}, "", true},
    {"wayland asked without Wayland", {{"QT_QPA_PLATFORM", "wayland"}, {"DISPLAY", ":0"}}, "", true},
    {"wayland-egl asked with Wayland", {{"QT_QPA_PLATFORM", "wayland-egl"}, {"WAYLAND_DISPLAY", "w"}}, "", false},
};

TEST(DisplayPlatform, ChoosesTheWindowSystemThatIsThere) {
    for (const DisplayCase& c : kCases) {
        const DisplayChoice choice = ChooseDisplayPlatform([&](const char* name) -> const char* {
            const auto found = c.env.find(name);
            return found == c.env.end() ? nullptr : found->second.c_str();
        });
        EXPECT_EQ(choice.platform, c.platform) << c.name;
        EXPECT_EQ(!choice.error.empty(), c.refused) << c.name;
        if (c.refused) {
            EXPECT_NE(choice.error.find("no display"), std::string::npos) << c.name;
            EXPECT_NE(choice.error.find("xvfb-run"), std::string::npos) << c.name;
        }
    }
}

}  // namespace
}  // namespace corvellin
