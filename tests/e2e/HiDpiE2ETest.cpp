// The real corvellin at a device pixel ratio of 2 (QT_SCALE_FACTOR=2) on a
// private Xvfb server: the layout doubles, and the pictures in it are drawn in
// device pixels. A picture of noise made by ImageMagick has almost no 2 x 2
// block of one colour; a pane or thumbnail drawn at half resolution and
// doubled would consist of nothing else.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "EditorProcess.h"
#include "TestFiles.h"
#include "WindowClose.h"
#include "picture/BmpCodec.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

using e2e::Capture;
using e2e::ChildProcess;
using e2e::WaitFor;

constexpr int kRatio = 2;

// The share of the 2 x 2 blocks of one colour in a w x h area at (x0, y0), on
// the worse of the two grids (a doubled picture may start on an odd pixel).
double SameColourBlocks(const Picture& screen, int x0, int y0, int w, int h) {
    double worst = 0;
    for (int offset = 0; offset < 2; ++offset) {
        long blocks = 0, same = 0;
        for (int y = y0 + offset; y + 1 < y0 + h && y + 1 < screen.height(); y += 2)
            for (int x = x0 + offset; x + 1 < x0 + w && x + 1 < screen.width(); x += 2) {
                const std::uint8_t* a = screen.row(y) + 3 * x;
                const std::uint8_t* b = screen.row(y + 1) + 3 * x;
                auto equal = [](const std::uint8_t* p, const std::uint8_t* q) {
                    return p[0] == q[0] && p[1] == q[1] && p[2] == q[2];
                };
                ++blocks;
                if (equal(a, a + 3) && equal(a, b) && equal(a, b + 3)) ++same;
            }
        if (blocks > 0) worst = std::max(worst, static_cast<double>(same) / static_cast<double>(blocks));
    }
    return worst;
}

// Where the picture lies on the screen exactly, pixel for pixel; nothing when it does not.
std::optional<std::pair<int, int>> FindExactly(const Picture& screen, const Picture& picture) {
    const std::uint8_t* first = picture.row(0);
    for (int y = 0; y + picture.height() <= screen.height(); ++y)
        for (int x = 0; x + picture.width() <= screen.width(); ++x) {
            if (std::memcmp(screen.row(y) + 3 * x, first, 3 * 16) != 0) continue;
            bool all = true;
            for (int row = 0; row < picture.height() && all; ++row)
                all = std::memcmp(screen.row(y + row) + 3 * x, picture.row(row), picture.stride()) == 0;
            if (all) return std::make_pair(x, y);
        }
    return std::nullopt;
}

TEST(EditorAtRatioTwo, PanesAndThumbnailsShowDevicePixelsNotDoubledOnes) {
    test::TempDir dir;
    std::filesystem::copy_file(std::string(CORVELLIN_BIN_DIR) + "/corvellin", dir.file("corvellin"));
    std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/pic", dir.file("pic"), std::filesystem::copy_options::recursive);
    // 800 x 534: the 400 x 267 pane in device pixels, so the picture is shown unscaled.
    const std::string picture = dir.file("pic/default.jpg");
    std::filesystem::remove(picture);
    ASSERT_EQ(std::system(("convert -size 800x534 xc:'gray(35%)' -seed 9 -attenuate 0.8 +noise Uniform -quality 100 '" +
                           picture + "'").c_str()), 0);
    const std::vector<std::uint8_t> jpeg = test::ReadBytes(picture);
    const Picture decoded = DecodeJpeg(jpeg.data(), jpeg.size());
    ASSERT_LT(SameColourBlocks(decoded, 0, 0, 800, 534), 0.05) << "the fixture is not detailed";

    e2e::XvfbServer xvfb(dir.file("xvfb.log"), "2200x1700x24");
    ASSERT_FALSE(xvfb.display().empty()) << "Xvfb did not start";
    ChildProcess editor({dir.file("corvellin")},
                        {"DISPLAY=" + xvfb.display(), "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM",
                         "QT_SCALE_FACTOR=2", "XDG_CONFIG_HOME=" + dir.file("config")},
                        -1, dir.file("corvellin.log"));
    std::string window;
    ASSERT_TRUE(WaitFor([&] { return !(window = xvfb.windowNamed("Corvellin Photo Editor")).empty(); }))
        << Capture("cat '" + dir.file("corvellin.log") + "'");

    auto screenshot = [&] {
        const std::string path = dir.file("screen.bmp");
        std::filesystem::remove(path);
        xvfb.run("import -window root -depth 8 BMP3:'" + path + "'");
        if (!std::filesystem::exists(path)) return Picture();
        const std::vector<std::uint8_t> bytes = test::ReadBytes(path);
        try {
            return DecodeBmp(bytes.data(), bytes.size());
        } catch (...) {
            return Picture();
        }
    };
    // The source pane shows the picture's own pixels, 1:1, once the thumbnails have rendered.
    Picture screen;
    std::optional<std::pair<int, int>> pane;
    ASSERT_TRUE(WaitFor([&] {
        screen = screenshot();
        pane = FindExactly(screen, decoded);
        return pane.has_value();
    }, 60s)) << "the picture is not shown pixel for pixel";
    std::this_thread::sleep_for(1s);
    screen = screenshot();
    xvfb.run("import -window root '" + std::string(CORVELLIN_REVIEW_DIR) + "/e2e-screens/ratio-2.png'");
    const auto [x0, y0] = *pane;
    // The preview pane lies 423 logical pixels to the right (465 - 42).
    EXPECT_LT(SameColourBlocks(screen, x0 + kRatio * 423, y0, 800, 534), 0.05) << "preview pane doubled";
    // The ten thumbnails: the effect panel at 42, 328 and the pane at 42, 24 of the screen panel.
    for (int i = 0; i < 10; ++i) {
        const int x = x0 + kRatio * (12 + (i % 5) * 162), y = y0 + kRatio * (304 + 4 + (i / 5) * 154);
        const double same = SameColourBlocks(screen, x, y, kRatio * 150, kRatio * 150);
        EXPECT_LT(same, 0.2) << "thumbnail " << i << ": " << same * 100 << "% of its 2 x 2 blocks are one colour";
    }
    ASSERT_TRUE(e2e::SendWindowClose(xvfb.display(), std::stoul(window)));
    const std::optional<int> status = editor.wait(30000ms);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << Capture("cat '" + dir.file("corvellin.log") + "'");
}

}  // namespace
}  // namespace corvellin
