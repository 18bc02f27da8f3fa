// How much the mask variations change a picture: the measure itself, the floor
// it is held to, and the shipped art held to that floor on photograph-like
// pictures that ImageMagick paints for the test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestFiles.h"
#include "ContactSheet.h"
#include "Visibility.h"
#include "app/Fit.h"
#include "effects/MaskCache.h"
#include "picture/BmpCodec.h"
#include "picture/Error.h"
#include "picture/FileIO.h"

namespace {

namespace fs = std::filesystem;

using corvellin::test::TempDir;

TEST(MaskgenVisibility, APixelChangesWhenOneChannelMovesMoreThanTwentyFiveLevels) {
    struct Case {
        int channel, from, to;
        bool changed;
    };
    const Case cases[] = {
        {0, 100, 125, false}, {0, 100, 126, true}, {1, 200, 174, true}, {1, 200, 175, false},
        {2, 0, 26, true},     {2, 255, 230, false}, {2, 255, 229, true},
    };
    for (const Case& c : cases) {
        corvellin::Picture a(2, 1), b(2, 1);
        a.row(0)[c.channel] = static_cast<std::uint8_t>(c.from);
        b.row(0)[c.channel] = static_cast<std::uint8_t>(c.to);
        EXPECT_DOUBLE_EQ(maskgen::ChangedShare(a, b), c.changed ? 0.5 : 0.0) << c.channel << " " << c.from << "->" << c.to;
    }
}

TEST(MaskgenVisibility, FloorAllowsOnePictureBelowTwoPercentButNoneBelowOne) {
    struct Case {
        std::vector<double> changed;
        std::vector<double> apart;  // from every other variation
        bool holds;
    };
    const Case cases[] = {
        {{0.02, 0.02, 0.02, 0.02, 0.02, 0.01}, {0.02, 0.02, 0.02, 0.02, 0.02, 0.0}, true},
        {{0.02, 0.02, 0.02, 0.02, 0.019, 0.019}, {0.05, 0.05, 0.05, 0.05, 0.05, 0.05}, false},
        {{0.3, 0.3, 0.3, 0.3, 0.3, 0.009}, {0.3, 0.3, 0.3, 0.3, 0.3, 0.3}, false},
        {{0.3, 0.3, 0.3, 0.3, 0.3, 0.3}, {0.3, 0.3, 0.3, 0.3, 0.019, 0.0}, false},
        {{0.05}, {0.05}, true},
        {{0.019}, {0.05}, false},
    };
    for (const Case& c : cases) {
        maskgen::CategoryVisibility measured;
        for (std::size_t v = 0; v < 10; ++v) {
            measured.changed[v] = std::vector<double>(c.changed.size(), 0.5);
            for (std::size_t o = 0; o < 10; ++o) measured.apart[v][o] = std::vector<double>(c.apart.size(), 0.5);
        }
        measured.changed[3] = c.changed;
        for (std::size_t o = 0; o < 10; ++o) measured.apart[3][o] = c.apart;
        EXPECT_EQ(maskgen::FloorFailure(measured, 3).empty(), c.holds) << maskgen::FloorFailure(measured, 3);
    }
}

#ifdef MASKGEN_SHIPPED_PIC_DIR

// Six photograph-like pictures of different kinds, each textured and with
// highlights and shadows, painted by ImageMagick from fixed seeds.
struct Photo {
    const char* name;
    const char* command;  // convert ... , writing to the file named last
};
const Photo kPhotos[] = {
    {"busy", "-seed 11 -size 640x427 plasma:fractal -modulate 105,150 -sharpen 0x1.5 "
             "\\( -size 640x427 xc:black -fill white -draw 'circle 480,110 480,150' -blur 0x25 \\) -compose screen -composite "
             "\\( -size 640x427 xc:white -fill grey15 -draw 'ellipse 110,370 220,130 0,360' -blur 0x40 \\) -compose multiply -composite"},
    {"closeup", "-seed 21 -size 640x427 plasma:sienna-gold -blur 0x7 "
                "\\( -size 640x427 xc:none -fill 'rgb(120,30,15)' -draw 'ellipse 330,230 150,95 0,360' -seed 22 +noise Gaussian \\) "
                "-compose over -composite -fill 'rgb(255,245,220)' -draw 'circle 120,90 132,102'"},
    {"sunset", "-seed 31 -size 640x427 gradient:'rgb(255,200,110)-rgb(150,50,80)' "
               "\\( -seed 32 -size 640x427 plasma:grey45-grey55 -blur 0x3 \\) -compose overlay -composite "
               "-fill 'rgb(255,250,230)' -draw 'circle 420,250 420,275' "
               "-fill 'rgb(35,18,24)' -draw 'polygon 0,300 120,280 260,305 400,275 640,295 640,427 0,427' "
               "\\( -seed 33 -size 640x427 plasma:grey40-grey60 \\) -compose overlay -composite"},
    {"dusk", "-seed 41 -size 640x427 gradient:'rgb(45,55,100)-rgb(6,8,22)' "
             "\\( -seed 42 -size 640x427 plasma:grey40-grey60 -blur 0x2 \\) -compose overlay -composite "
             "-fill 'rgb(255,210,140)' -draw 'circle 150,330 153,333' -draw 'circle 400,320 403,323'"},
    {"grey", "-seed 51 -size 640x427 plasma:grey62-grey78 -colorspace gray -blur 0x1 "
             "\\( -size 640x427 gradient:grey85-grey45 \\) -compose multiply -composite "
             "-fill grey90 -draw 'rectangle 250,180 390,200'"},
    {"sky", "-seed 61 -size 640x427 gradient:'rgb(60,120,215)-rgb(170,205,245)' "
            "\\( -seed 62 -size 640x427 plasma:black-white -colorspace gray -blur 0x4 -level 62%,92% \\) "
            "-compose screen -composite"},
};

std::vector<std::string> PaintPhotos(const std::string& dir) {
    std::vector<std::string> files;
    for (const Photo& photo : kPhotos) {
        const std::string file = dir + "/" + photo.name + ".jpg";
        const std::string command = std::string("convert ") + photo.command + " -quality 92 '" + file + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        files.push_back(file);
    }
    return files;
}

class MaskgenShippedVisibility : public testing::TestWithParam<maskgen::ViewSize> {};

TEST_P(MaskgenShippedVisibility, EveryBlendVariationIsSeenAndUnlikeItsSiblings) {
    TempDir dir;
    std::vector<corvellin::Picture> views;
    for (const std::string& file : PaintPhotos(dir.path()))
        views.push_back(maskgen::EditorView(maskgen::ReadPicture(file), GetParam()));
    ASSERT_EQ(views.size(), std::size(kPhotos));
    corvellin::MaskCache cache;
    corvellin::EffectContext context{MASKGEN_SHIPPED_PIC_DIR, 1u};
    context.masks = &cache;
    for (int category : maskgen::kBlendCategories) {
        const maskgen::CategoryVisibility measured = maskgen::MeasureCategory(context, views, category);
        for (int v = 0; v < 10; ++v)
            EXPECT_EQ(maskgen::FloorFailure(measured, v), "") << "category " << category << " variation " << v + 1;
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MaskgenShippedVisibility,
                         testing::Values(maskgen::ViewSize::Thumbnail, maskgen::ViewSize::Preview),
                         [](const testing::TestParamInfo<maskgen::ViewSize>& param) {
                             return param.param == maskgen::ViewSize::Thumbnail ? "Thumbnail" : "Preview";
                         });

TEST(MaskgenContactSheet, ThumbnailCellsAreTheEditorsThumbnailsOfTheGivenPicture) {
    TempDir dir;
    const std::string photo = PaintPhotos(dir.path())[0];
    const std::string sheetFile = dir.path() + "/sheet.bmp";
    maskgen::WriteContactSheet(sheetFile, MASKGEN_SHIPPED_PIC_DIR, photo, corvellin::kThumbnailWidth,
                               corvellin::kThumbnailHeight);
    const auto bytes = corvellin::ReadWholeFile(sheetFile);
    const corvellin::Picture sheet = corvellin::DecodeBmp(bytes.data(), bytes.size());
    // Star (the third row), variation 4 (the fourth column); cells lie after
    // a 150-pixel label column and a 36-pixel header, 6 pixels apart.
    corvellin::Picture expected = maskgen::EditorView(maskgen::ReadPicture(photo), maskgen::ViewSize::Thumbnail);
    maskgen::ApplyVariation(corvellin::EffectContext{MASKGEN_SHIPPED_PIC_DIR, 1u}, expected, 6, 3);
    const int x0 = 150 + 6 + 3 * (corvellin::kThumbnailWidth + 6), y0 = 36 + 2 * (corvellin::kThumbnailHeight + 6);
    for (int y = 0; y < expected.height(); ++y)
        ASSERT_TRUE(std::equal(expected.row(y), expected.row(y) + expected.stride(), sheet.row(y0 + y) + 3 * x0)) << y;
    EXPECT_THROW(maskgen::WriteContactSheet(dir.path() + "/sheet.gif", MASKGEN_SHIPPED_PIC_DIR, photo), corvellin::Error);
}

#endif

}  // namespace
