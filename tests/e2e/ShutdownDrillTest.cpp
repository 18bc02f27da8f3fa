// The real corvellin on a private Xvfb server, closed while its settings folder
// cannot be written: a read-only bind mount, or a path under a regular file.
// On close the editor shows its error box, waits for it to be answered, and
// then still exits with 0. (The box's text, "Unable to write to <path>", is
// read through the dialog seam in the window drill: Qt 6.4's message box copies
// its text to the clipboard only on Windows, so X offers no way to read it here.)
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "EditorProcess.h"
#include "Mounts.h"
#include "TestFiles.h"
#include "WindowClose.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

using e2e::Capture;
using e2e::ChildProcess;
using e2e::WaitFor;

class ShutdownDrill : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::string(CORVELLIN_BIN_DIR) + "/corvellin", dir.file("corvellin"));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(200, 150, 60, 150, 200), 90));
        for (int n = 1; n <= 10; ++n) test::WriteMaskFile(dir.file("pic"), 1, n, test::RandomPicture(16, 16, n));
    }

    void StartServer() {
        xvfb.emplace(dir.file("xvfb.log"));
        display = xvfb->display();
        ASSERT_FALSE(display.empty()) << "Xvfb did not start";
    }

    std::string Log() { return Capture("cat '" + dir.file("corvellin.log") + "'"); }

    test::TempDir dir;
    std::optional<e2e::XvfbServer> xvfb;
    std::string display;
};

TEST_F(ShutdownDrill, UnwritableSettingsFolderIsReportedAndTheEditorStillExits) {
    test::WriteBytes(dir.file("plain"), {1});
    struct Case {
        const char* name;
        std::string configHome;
        bool readOnly;
    };
    const Case cases[] = {
        // The case without a mount first: it runs also where mounting is not permitted.
        {"folder under a regular file", dir.file("plain/config"), false},
        {"read-only bind mount", dir.file("ro-config"), true},
    };
    StartServer();
    if (HasFatalFailure()) return;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string cfg = c.configHome + "/Corvellin Photo/cfg.ini";
        const std::string before = "[Language]\nindex=-1\n";
        test::ScopedMount mount;
        if (c.readOnly) {
            test::WriteBytes(cfg, std::vector<std::uint8_t>(before.begin(), before.end()));
            CORVELLIN_MOUNT_OR_SKIP(mount.BindReadOnly(c.configHome));
        }
        ChildProcess editor({dir.file("corvellin")},
                            {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM",
                             "XDG_CONFIG_HOME=" + c.configHome},
                            -1, dir.file("corvellin.log"));
        std::string window;
        ASSERT_TRUE(WaitFor([&] { return !(window = xvfb->windowNamed("Corvellin Photo Editor")).empty(); }, 60s))
            << Log();
        EXPECT_TRUE(xvfb->windowNamed("Error").empty()) << "start-up reads what it can and shows no box";
        ASSERT_TRUE(e2e::SendWindowClose(display, std::stoul(window)));

        // The box waits for an answer; the process does not end meanwhile.
        std::string box;
        ASSERT_TRUE(WaitFor([&] { return !(box = xvfb->windowNamed("Error")).empty(); }, 60s))
            << "no error box at close\n" << Log();
        EXPECT_FALSE(editor.wait(500ms).has_value()) << "the editor ended with its box open";
        xvfb->run("xdotool windowfocus --sync " + box + " key Return");

        const std::optional<int> status = editor.wait(30000ms);
        ASSERT_TRUE(status.has_value()) << "corvellin did not exit once its box was answered\n" << Log();
        EXPECT_EQ(*status, 0) << Log();
        if (c.readOnly) {
            EXPECT_EQ(test::ReadBytes(cfg), std::vector<std::uint8_t>(before.begin(), before.end()));
        }
    }
}

}  // namespace
}  // namespace corvellin
