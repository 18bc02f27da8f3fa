#include <cstdio>

#include <gtest/gtest.h>

#include "output/PrintLayout.h"

namespace corvellin {
namespace {

std::string Fixed(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

TEST(PrintLayout, UnitsAt96PixelsPerInch) {
    const struct {
        std::int32_t unit;
        double value;
        std::int32_t pixels;
    } to[] = {{1, 0.5, 48}, {2, 2.54, 96}, {3, 25.4, 96}, {2, 1.0, 38}, {0, 2.5, 2}, {0, 3.5, 4}, {0, -2.5, -2},
              {7, 10.0, 0}, {-1, 3.0, 0}};
    for (const auto& c : to) EXPECT_EQ(ToScreenPixels(c.unit, c.value, 96), c.pixels) << c.unit << " " << c.value;
    EXPECT_EQ(Fixed(FromScreenPixels(96, 2, 96), 3), "2.540");
    EXPECT_EQ(Fixed(FromScreenPixels(96, 3, 96), 3), "25.400");
    EXPECT_EQ(FromScreenPixels(10, -1, 96), 0.0);
    EXPECT_EQ(FromScreenPixels(38, 1, 96), 38.0 / 96);  // 1 cm through whole pixels: 0.3958 inch
}

TEST(PrintLayout, FitScaleAndCentre) {
    const FitResult fit = FitToPage(768, 1056, 3000, 2000);
    EXPECT_EQ(fit.size, (PixelSize{768, 512}));
    EXPECT_EQ(Fixed(fit.scale, 2), "25.60");
    // Quotients equal in floating point take the width branch; the height
    // branch would give width 1441381371 here.
    EXPECT_EQ(FitToPage(1441381372, 1987595765, 1219531151, 1681674953).size, (PixelSize{1441381372, 1987595765}));
    EXPECT_EQ(FitToPage(1000, 300, 400, 300).size, (PixelSize{400, 300}));  // height limits
    EXPECT_EQ(SizeFromScale(3000, 2000, 25.6), (PixelSize{768, 512}));
    EXPECT_EQ(SizeFromScale(5, 3, 50), (PixelSize{2, 2}));  // 2.5 -> 2, 1.5 -> 2
    EXPECT_EQ(SizeFromHeight(512, 3000, 2000).size, (PixelSize{768, 512}));
    EXPECT_EQ(Fixed(SizeFromWidth(1000, 3000, 2000).scale, 3), "33.300");  // height 666 after the division
    EXPECT_EQ(CenterOffset(768, 1000), -116);
    EXPECT_EQ(CenterOffset(768, 1001), -116);
    EXPECT_EQ(CenterOffset(768, 512), 128);
}

TEST(PrintLayout, PagePreviewAndDeviceRectangles) {
    EXPECT_EQ(PageFromPrinter(4800, 6814, 600, 600, 96), (PixelSize{768, 1090}));
    EXPECT_EQ(PageFromPaper(8500, 11000, 96), (PixelSize{816, 1056}));
    EXPECT_EQ(PreviewBox(257, 257, 768, 1056), (PixelRect{35, 0, 186, 257}));
    EXPECT_EQ(PreviewBox(257, 257, 1056, 768), (PixelRect{0, 35, 257, 186}));
    EXPECT_EQ(PreviewBox(257, 257, 500, 500), (PixelRect{0, 0, 257, 257}));
    EXPECT_EQ(PreviewImageRect({128, 272, 768, 512}, 186, 257, 768, 1056), (PixelRect{31, 66, 186, 124}));
    EXPECT_EQ(PrintRectFromDialog({120, 48, 96, 200}, 600, 300, 96), (PixelRect{750, 150, 600, 625}));
}

TEST(PrintLayout, PrintFromSettingsUsesScaleOrFitAndIgnoresHeightAndWidth) {
    PrintLayout layout;  // centred, fit to page
    // Letter printable area at 600 dpi, a 3000 x 2000 picture at 96 ppi.
    const PixelRect fitted = PrintRectFromSettings(layout, 4800, 6600, 600, 600, 3000, 2000, 96);
    EXPECT_EQ(fitted, (PixelRect{0, 1700, 4800, 3200}));

    layout.FitPage = false;
    layout.Center = false;
    layout.Scale = 50;
    layout.Left = 1;
    layout.Top = 2.54;
    layout.TopUnit = kUnitCentimetre;
    const PixelRect placed = PrintRectFromSettings(layout, 4800, 6600, 600, 600, 3000, 2000, 96);
    EXPECT_EQ(placed, (PixelRect{600, 600, 9375, 6250}));
    PrintLayout other = layout;
    other.Height = 99;
    other.Width = 3;
    other.HeightUnit = kUnitPixel;
    EXPECT_EQ(PrintRectFromSettings(other, 4800, 6600, 600, 600, 3000, 2000, 96), placed);
}

}  // namespace
}  // namespace corvellin
