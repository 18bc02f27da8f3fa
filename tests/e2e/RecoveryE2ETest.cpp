// The real corvellin on a private Xvfb server, started with a picture on its
// command line: an applied effect is kept in the recovery file, the process is
// killed with SIGKILL, and the next start offers the work back; restored, it
// is unsaved work again, and a normal close that drops it leaves no file.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "EditorProcess.h"
#include "ScreenColour.h"
#include "TestFiles.h"
#include "WindowClose.h"
#include "effects/Catalogue.h"
#include "history/Recovery.h"
#include "picture/BmpCodec.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;
using e2e::Capture;
using e2e::ChildProcess;
using e2e::WaitFor;

using e2e::FindColour;
using Area = e2e::ColourBox;

class RecoveryOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::copy_file(std::string(CORVELLIN_BIN_DIR) + "/corvellin", dir.file("corvellin"));
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(400, 267, 20, 20, 20), 95));
        for (int n = 1; n <= 10; ++n) {
            const auto v = static_cast<std::uint8_t>(12 * n);
            test::WriteMaskFile(dir.file("pic"), 1, n, test::SolidPicture(32, 32, v, v, v));
        }
        photo = dir.file("photo.jpg");
        const std::string convert = "convert -size 400x267 xc:'rgb(200,150,60)' -quality 95 '" + photo + "'";
        ASSERT_EQ(std::system(convert.c_str()), 0);
        const std::vector<std::uint8_t> bytes = test::ReadBytes(photo);
        base = DecodeJpeg(bytes.data(), bytes.size());
        context.picDir = dir.file("pic");
        xvfb.emplace(dir.file("xvfb.log"));
        ASSERT_FALSE(xvfb->display().empty()) << "Xvfb did not start";
    }

    std::vector<std::string> Env() const {
        return {"DISPLAY=" + xvfb->display(), "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM",
                "XDG_CONFIG_HOME=" + dir.file("config"), "XDG_STATE_HOME=" + dir.file("state")};
    }
    std::vector<std::string> RecoveryFiles() const {
        std::vector<std::string> found;
        std::error_code error;
        for (const auto& e : std::filesystem::directory_iterator(dir.file("state/Corvellin Photo"), error))
            if (e.path().extension() == ".recovery") found.push_back(e.path().string());
        return found;
    }
    std::optional<RecoveryRecord> OnlyRecord() const {
        const auto files = RecoveryFiles();
        if (files.size() != 1) return std::nullopt;
        const std::vector<std::uint8_t> bytes = test::ReadBytes(files[0]);
        return ParseRecovery(std::string(bytes.begin(), bytes.end()));
    }
    Picture Screenshot() {
        const std::string path = dir.file("screen.bmp");
        std::filesystem::remove(path);
        xvfb->run("import -window root -depth 8 BMP3:'" + path + "'");
        if (!std::filesystem::exists(path)) return Picture();
        const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
        try {
            return DecodeBmp(bytes.data(), bytes.size());
        } catch (...) {
            return Picture();
        }
    }
    void Click(int x, int y) {
        xvfb->run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }
    std::string Log(const char* name) { return Capture("cat '" + dir.file(name) + "'"); }

    test::TempDir dir;
    std::string photo;
    Picture base;
    EffectContext context;
    std::optional<e2e::XvfbServer> xvfb;
};

TEST_F(RecoveryOnXvfb, WorkOfAKilledRunIsOfferedAndRestored) {
    auto first = std::make_unique<ChildProcess>(std::vector<std::string>{dir.file("corvellin"), photo}, Env(), -1,
                                                dir.file("first.log"));
    // The window names the file given on the command line (the dash between
    // name and product is matched as any text: xdotool reads titles in the C locale).
    std::string window;
    ASSERT_TRUE(WaitFor([&] { return !(window = xvfb->windowNamed("photo\\.jpg .* Corvellin Photo Editor")).empty(); }))
        << Log("first.log");

    // Preset variation 3, previewed and applied.
    Picture preset = StretchNearest(base, 150, 150);
    ApplyEffect(context, &preset, 1, 3, -1, kDefaultEdgeColour);
    const test::Bgr thumbColour = test::PixelAt(preset, 75, 75);
    Area panes, thumb;
    ASSERT_TRUE(WaitFor([&] {
        const Picture screen = Screenshot();
        panes = FindColour(screen, test::PixelAt(base, 10, 10));
        thumb = FindColour(screen, thumbColour);
        return panes.count >= 2L * 400 * 267 && thumb.count >= 150L * 150;
    })) << "the photo or its Preset thumbnails are not on screen";
    Click((thumb.minX + thumb.maxX) / 2, (thumb.minY + thumb.maxY) / 2);
    ASSERT_TRUE(WaitFor([&] { return FindColour(Screenshot(), thumbColour).count >= 150L * 150 + 400L * 267; }))
        << "no preview";
    const int panelX = panes.minX - 42, panelY = panes.minY - 24;
    Click(panelX + 628 + 37, panelY + 296 + 12);  // Apply
    const RecoveryRecord expected{photo, {{1, 3, -1, kDefaultEdgeColour}}, 1};
    ASSERT_TRUE(WaitFor([&] { return OnlyRecord() == expected; })) << "no recovery file after Apply";
    ASSERT_FALSE(xvfb->windowNamed("photo\\.jpg\\* .* Corvellin Photo Editor").empty()) << "no modified marker";

    first->signal(SIGKILL);
    ASSERT_EQ(first->wait(10000ms), 128 + SIGKILL);
    first.reset();
    ASSERT_EQ(OnlyRecord(), expected) << "the kill should leave the recovery file";

    // The next start, with the same picture on its command line, asks; Return
    // takes the default answer, Yes. The restored work is on that file, so it
    // is not opened a second time (which would ask about the work just restored).
    ChildProcess second({dir.file("corvellin"), photo}, Env(), -1, dir.file("second.log"));
    ASSERT_TRUE(WaitFor([&] { return !xvfb->windowNamed("Corvellin Photo Editor").empty(); })) << Log("second.log");
    std::string restored;
    ASSERT_TRUE(WaitFor([&] {
        xvfb->run("xdotool key Return");
        std::this_thread::sleep_for(300ms);
        return !(restored = xvfb->windowNamed("photo\\.jpg\\* .* Corvellin Photo Editor")).empty();
    })) << "the restored work was not shown; " << Log("second.log");
    // No further question (its box would carry the product title alone).
    std::this_thread::sleep_for(1s);
    EXPECT_TRUE(xvfb->windowNamed("Corvellin Photo Editor").empty()) << "a question followed the restore";
    // The restored effect is on screen, and the work is this run's own now.
    EXPECT_TRUE(WaitFor([&] { return FindColour(Screenshot(), thumbColour).count >= 2L * 400 * 267; }))
        << "the restored picture does not show Preset variation 3";
    ASSERT_TRUE(WaitFor([&] { return OnlyRecord() == expected; }));

    // Closing asks about the unsaved work; Don't Save ends the run cleanly.
    ASSERT_TRUE(e2e::SendWindowClose(xvfb->display(), std::stoul(restored)));
    std::optional<int> status;
    ASSERT_TRUE(WaitFor([&] {
        xvfb->run("xdotool key alt+d");
        return (status = second.wait(500ms)).has_value();
    })) << "the editor did not close after Don't Save";
    EXPECT_EQ(*status, 0) << Log("second.log");
    EXPECT_TRUE(RecoveryFiles().empty());
}

}  // namespace
}  // namespace corvellin
