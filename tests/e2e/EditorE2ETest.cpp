// The real corvellin on a private Xvfb server: the window appears with the
// default picture and ten Preset thumbnails, answers clicks on a category
// button and a thumbnail, and exits with 0 when its window is closed.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <set>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>

#include "EditorProcess.h"
#include "ScreenColour.h"
#include "TestFiles.h"
#include "WindowClose.h"
#include "effects/Catalogue.h"
#include "picture/BmpCodec.h"
#include "picture/JpegCodec.h"

namespace corvellin {
namespace {

using namespace std::chrono_literals;

using e2e::Capture;
using e2e::ChildProcess;
using e2e::WaitFor;

using e2e::FindColour;
using Box = e2e::ColourBox;

class EditorOnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        // The program and its data in a folder of their own: ProgramDir is the
        // folder of the executable.
        std::filesystem::copy_file(std::string(CORVELLIN_BIN_DIR) + "/corvellin", dir.file("corvellin"));
        context.picDir = dir.file("pic");
        test::WriteBytes(dir.file("pic/default.jpg"), EncodeJpeg(test::SolidPicture(400, 267, 60, 150, 200), 95));
        for (int n = 1; n <= 10; ++n) {
            const auto v = static_cast<std::uint8_t>(12 * n);
            test::WriteMaskFile(context.picDir, 1, n, test::SolidPicture(32, 32, v, v, v));
            test::WriteMaskFile(context.picDir, 6, n, test::SolidPicture(32, 32, static_cast<std::uint8_t>(200 - 8 * n), 0, v));
        }
        const std::vector<std::uint8_t> bytes = test::ReadBytes(dir.file("pic/default.jpg"));
        base = DecodeJpeg(bytes.data(), bytes.size());
    }

    // Starts Xvfb on a display number it picks itself.
    void StartServer() {
        xvfb.emplace(dir.file("xvfb.log"));
        display = xvfb->display();
        ASSERT_FALSE(display.empty()) << "Xvfb did not start";
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

    // The colour that thumbnail i and its preview show for a solid picture.
    test::Bgr Shown(int category, int variation) {
        Picture p = StretchNearest(base, 150, 150);
        ApplyEffect(context, &p, category, variation, -1, kDefaultEdgeColour);
        return test::PixelAt(p, 75, 75);
    }

    void Click(int x, int y) {
        xvfb->run("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    }

    test::TempDir dir;
    EffectContext context;
    Picture base;
    std::optional<e2e::XvfbServer> xvfb;
    std::string display;
};

TEST_F(EditorOnXvfb, ShowsPictureAndThumbnailsAnswersClicksAndExitsCleanly) {
    StartServer();
    if (HasFatalFailure()) return;
    ChildProcess editor({dir.file("corvellin")},
                        {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM"}, -1,
                        dir.file("corvellin.log"));

    std::string window;
    ASSERT_TRUE(WaitFor([&] { return !(window = xvfb->windowNamed("Corvellin Photo Editor")).empty(); }))
        << Capture("cat '" + dir.file("corvellin.log") + "'");

    const test::Bgr picture = test::PixelAt(base, 200, 133);
    ASSERT_EQ(test::MaxDifference(base, test::SolidPicture(400, 267, static_cast<std::uint8_t>(picture.b),
                                                           static_cast<std::uint8_t>(picture.g),
                                                           static_cast<std::uint8_t>(picture.r))),
              0)
        << "the default picture should decode to one colour";

    // The source and preview panes (400 x 267 each) and ten distinct thumbnails.
    Picture screen;
    ASSERT_TRUE(WaitFor([&] {
        screen = Screenshot();
        if (FindColour(screen, picture).count < 2L * 400 * 267) return false;
        for (int i = 0; i < 10; ++i)
            if (FindColour(screen, Shown(1, i)).count < 150L * 150) return false;
        return true;
    })) << "default picture or Preset thumbnails missing";
    for (int i = 0; i < 10; ++i) EXPECT_NE(Shown(1, i), picture) << "thumbnail " << i << " shows no effect";
    const Box panes = FindColour(screen, picture);
    EXPECT_EQ(panes.maxY - panes.minY + 1, 267);

    // The Star button lies in the tool bar left of the panes (tool bar 113 wide,
    // source pane at 42, 24 of the screen panel, Star button at 16, 319).
    Click(panes.minX - 42 - 113 + 16 + 37, panes.minY - 24 + 319 + 12);
    ASSERT_TRUE(WaitFor([&] {
        screen = Screenshot();
        for (int i = 0; i < 10; ++i)
            if (FindColour(screen, Shown(6, i)).count < 150L * 150) return false;
        return true;
    })) << "Star thumbnails did not appear";

    // Thumbnail 3 previews its effect on the whole preview pane.
    const Box thumb = FindColour(screen, Shown(6, 3));
    Click(thumb.centreX(), thumb.centreY());
    ASSERT_TRUE(WaitFor([&] {
        screen = Screenshot();
        return FindColour(screen, Shown(6, 3)).count >= 150L * 150 + 400L * 267;
    })) << "the preview did not show Star variation 3";

    // Closing the window the way a window manager does ends the program with 0.
    ASSERT_TRUE(e2e::SendWindowClose(display, std::stoul(window)));
    const std::optional<int> status = editor.wait(30000ms);
    ASSERT_TRUE(status.has_value()) << "corvellin did not exit after its window was closed";
    EXPECT_EQ(*status, 0);
}

// Every category with the shipped art: each button brings ten thumbnails that
// are not blank. One screenshot per category is kept in the build's
// e2e-screens folder for people to look at.
TEST_F(EditorOnXvfb, EveryCategoryShowsTenThumbnailsWithTheShippedArt) {
    // The shipped masks, and a default picture that is one colour (to find the
    // panes on screen) around a band of texture (so every effect shows).
    std::filesystem::remove_all(dir.file("pic"));
    std::filesystem::copy(std::string(CORVELLIN_BIN_DIR) + "/pic", dir.file("pic"), std::filesystem::copy_options::recursive);
    Picture picture = test::SolidPicture(400, 267, 60, 150, 200);
    const Picture noise = test::RandomPicture(400, 80, 5);
    for (int y = 0; y < 80; ++y) std::memcpy(picture.row(y + 100), noise.row(y), picture.stride());
    const std::vector<std::uint8_t> jpeg = EncodeJpeg(picture, 100);
    test::WriteBytes(dir.file("pic/default.jpg"), jpeg);
    const test::Bgr shown = test::PixelAt(DecodeJpeg(jpeg.data(), jpeg.size()), 10, 10);  // as the editor decodes it
    const std::string review = std::string(CORVELLIN_REVIEW_DIR) + "/e2e-screens";
    std::filesystem::create_directories(review);

    StartServer();
    if (HasFatalFailure()) return;
    ChildProcess editor({dir.file("corvellin")},
                        {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM",
                         "XDG_CONFIG_HOME=" + dir.file("config")},
                        -1, dir.file("corvellin.log"));
    std::string window;
    ASSERT_TRUE(WaitFor([&] { return !(window = xvfb->windowNamed("Corvellin Photo Editor")).empty(); }))
        << Capture("cat '" + dir.file("corvellin.log") + "'");

    Box panes;
    ASSERT_TRUE(WaitFor([&] {
        panes = FindColour(Screenshot(), shown);
        return panes.count > 20000;
    })) << "the default picture is not on screen";

    // Screen positions: the source pane sits at 42, 24 of the screen panel, the
    // tool bar (113 wide) left of it, the thumbnails in the effect panel at 42, 328.
    const int panelX = panes.minX - 42, panelY = panes.minY - 24;
    const int buttonTops[16] = {0, 154, 484, 187, 517, 220, 319, 352, 418, 451, 550, 583, 616, 385, 253, 286};
    for (int category = 1; category <= kCategoryCount; ++category) {
        Click(panelX - 113 + 16 + 37, panelY + buttonTops[category] + 12);
        // Every thumbnail shows many colours once the ten have rendered.
        auto distinctThumbnails = [&](const Picture& screen) {
            std::vector<std::vector<std::uint8_t>> seen;
            for (int i = 0; i < kVariationCount; ++i) {
                const int x0 = panelX + 42 + (i % 5) * 162 + 12 + 20, y0 = panelY + 328 + (i / 5) * 154 + 4 + 20;
                std::vector<std::uint8_t> pixels;
                std::set<std::uint32_t> colours;
                for (int y = y0; y < y0 + 110 && y < screen.height(); ++y)
                    for (int x = x0; x < x0 + 110 && x < screen.width(); ++x) {
                        const std::uint8_t* p = screen.row(y) + 3 * x;
                        colours.insert(static_cast<std::uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)));
                        pixels.insert(pixels.end(), p, p + 3);
                    }
                if (colours.size() < 50) return -1;  // blank (or not yet drawn)
                if (std::find(seen.begin(), seen.end(), pixels) == seen.end()) seen.push_back(pixels);
            }
            return static_cast<int>(seen.size());
        };
        // The ten render one after another: wait until two screenshots agree.
        Picture screen, previous;
        int distinct = -1;
        std::this_thread::sleep_for(300ms);
        WaitFor([&] {
            previous = screen;
            screen = Screenshot();
            distinct = distinctThumbnails(screen);
            return distinct >= 5 && screen == previous;
        }, 60s);
        EXPECT_GE(distinct, 5) << FindCategory(category)->name << ": ten non-blank, mostly different thumbnails expected";
        xvfb->run("import -window root '" + review + "/category-" + std::to_string(category) + "-" +
                  FindCategory(category)->name + ".png'");
    }
    ASSERT_TRUE(e2e::SendWindowClose(display, std::stoul(window)));
    const std::optional<int> status = editor.wait(30000ms);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << Capture("cat '" + dir.file("corvellin.log") + "'");
}

// A portrait photo as a camera stores it: the upright picture turned a
// quarter anticlockwise, with EXIF orientation 6 (ImageMagick and exiftool
// make it). Opened from the command line, the source pane shows it upright:
// portrait, its magenta corner at the top left and its yellow one at the top
// right. As stored it would lie on its side with both corners on the left.
TEST_F(EditorOnXvfb, OpensARotatedPhotoUpright) {
    // Upright 160 x 240: green, a 48-pixel magenta square at the top left and a
    // yellow one at the top right (edges on JPEG's 16-pixel blocks).
    const std::string photo = dir.file("portrait.jpg");
    ASSERT_EQ(std::system(("convert -size 160x240 xc:'rgb(0,160,0)' -fill magenta -draw 'rectangle 0,0 47,47' "
                           "-fill yellow -draw 'rectangle 112,0 159,47' -rotate 270 -quality 100 '" + photo +
                           "' && exiftool -q -overwrite_original -Orientation#=6 '" + photo + "'")
                              .c_str()),
              0);
    const std::vector<std::uint8_t> bytes = test::ReadBytes(photo);
    const Picture stored = DecodeJpeg(bytes.data(), bytes.size());
    ASSERT_EQ(stored.width(), 240);
    // The colours inside each area, read where the stored picture holds them:
    // upright (x, y) is stored (y, 159 - x).
    const test::Bgr magenta = test::PixelAt(stored, 24, 159 - 24), yellow = test::PixelAt(stored, 24, 159 - 136),
                    green = test::PixelAt(stored, 160, 159 - 80);

    StartServer();
    if (HasFatalFailure()) return;
    ChildProcess editor({dir.file("corvellin"), photo}, {"DISPLAY=" + display, "XDG_RUNTIME_DIR=" + dir.path(), "QT_QPA_PLATFORM"},
                        -1, dir.file("corvellin.log"));
    std::string window;
    ASSERT_TRUE(WaitFor([&] { return !(window = xvfb->windowNamed("portrait.jpg .* Corvellin Photo Editor")).empty(); }))
        << Capture("cat '" + dir.file("corvellin.log") + "'");
    // The source pane is the left one of the two that show the photo.
    Picture pane;
    ASSERT_TRUE(WaitFor([&] {
        const Picture screen = Screenshot();
        const Box both = FindColour(screen, green);
        if (both.count < 2L * 100 * 150) return false;
        const int width = (both.minX + both.maxX) / 2;
        pane = Picture(width, screen.height());
        for (int y = 0; y < screen.height(); ++y) std::memcpy(pane.row(y), screen.row(y), pane.stride());
        return FindColour(pane, magenta).count > 30 * 30 && FindColour(pane, yellow).count > 30 * 30;
    })) << "the photo did not appear";
    const Box body = FindColour(pane, green), top = FindColour(pane, magenta), right = FindColour(pane, yellow);
    EXPECT_EQ(body.maxX - body.minX + 1, 160) << "shown as stored, lying on its side";
    EXPECT_EQ(body.maxY - body.minY + 1, 240);
    EXPECT_LT(top.maxY, body.minY + 60) << "magenta corner not at the top";
    EXPECT_LT(right.maxY, body.minY + 60) << "yellow corner not at the top";
    EXPECT_LT(top.maxX, right.minX) << "magenta corner not left of the yellow one";
    EXPECT_LT(top.minX, body.minX + 8);
    EXPECT_GT(right.maxX, body.maxX - 8);

    ASSERT_TRUE(e2e::SendWindowClose(display, std::stoul(window)));
    const std::optional<int> status = editor.wait(30000ms);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 0) << Capture("cat '" + dir.file("corvellin.log") + "'");
}

TEST(EditorWithoutDisplay, SaysHowToRunIt) {
    test::TempDir dir;
    ChildProcess editor({std::string(CORVELLIN_BIN_DIR) + "/corvellin"}, {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}, -1,
                        dir.file("out.log"));
    const std::optional<int> status = editor.wait(30000ms);
    ASSERT_TRUE(status.has_value());
    EXPECT_EQ(*status, 1);
    const std::string out = Capture("cat '" + dir.file("out.log") + "'");
    EXPECT_NE(out.find("no display"), std::string::npos) << out;
    EXPECT_NE(out.find("xvfb-run"), std::string::npos) << out;
}

}  // namespace
}  // namespace corvellin
