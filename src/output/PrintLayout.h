// Where and how large the picture is printed, in four length units, and the
// arithmetic that turns those settings into rectangles on the page, in the page
// preview and on the printer. Plain functions of their arguments: the screen's
// and printer's resolutions are passed in.
#pragma once

#include <cstdint>

namespace corvellin {

enum LengthUnit : std::int32_t { kUnitPixel = 0, kUnitInch = 1, kUnitCentimetre = 2, kUnitMillimetre = 3 };

struct PrintLayout {
    double Top = 20.0;
    double Left = 20.0;
    std::int32_t TopUnit = kUnitInch;
    std::int32_t LeftUnit = kUnitInch;
    bool Center = true;
    double Scale = 100.0;
    bool FitPage = true;
    double Height = 0.0;  // not stored; derived each time the layout dialog opens
    double Width = 0.0;   // not stored
    std::int32_t HeightUnit = kUnitInch;
    std::int32_t WidthUnit = kUnitInch;
    bool BorderBox = true;  // carried and stored only
    bool operator==(const PrintLayout&) const = default;
};

struct PixelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PixelSize&) const = default;
};

struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool operator==(const PixelRect&) const = default;
};

struct FitResult {
    PixelSize size;
    double scale = 0;  // percent
};

// Round to the nearest whole number, halves to even, as a 32-bit integer.
std::int32_t RoundHalfEven(double value);

// A length in a unit to whole screen pixels, and back. A unit outside 0..3 gives 0.
std::int32_t ToScreenPixels(std::int32_t unit, double value, double screenPpi);
double FromScreenPixels(std::int32_t pixels, std::int32_t unit, double screenPpi);

PixelSize PageFromPrinter(std::int32_t printableWidth, std::int32_t printableHeight, double dpiX, double dpiY,
                          double screenPpi);
// Paper size in thousandths of an inch.
PixelSize PageFromPaper(std::int32_t paperWidth, std::int32_t paperHeight, double screenPpi);

FitResult FitToPage(std::int32_t pageWidth, std::int32_t pageHeight, std::int32_t imageWidth, std::int32_t imageHeight);
PixelSize SizeFromScale(std::int32_t imageWidth, std::int32_t imageHeight, double scale);
// Keeping the aspect ratio when one printed dimension is typed.
FitResult SizeFromHeight(std::int32_t height, std::int32_t imageWidth, std::int32_t imageHeight);
FitResult SizeFromWidth(std::int32_t width, std::int32_t imageWidth, std::int32_t imageHeight);
std::int32_t CenterOffset(std::int32_t page, std::int32_t length);

// The page image inside the preview panel (size and position).
PixelRect PreviewBox(std::int32_t panelWidth, std::int32_t panelHeight, std::int32_t pageWidth, std::int32_t pageHeight);
PixelRect PreviewImageRect(const PixelRect& picture, std::int32_t boxWidth, std::int32_t boxHeight, std::int32_t pageWidth,
                           std::int32_t pageHeight);

PixelRect PrintRectFromDialog(const PixelRect& picture, double dpiX, double dpiY, double screenPpi);
PixelRect PrintRectFromSettings(const PrintLayout& layout, std::int32_t printableWidth, std::int32_t printableHeight,
                                double dpiX, double dpiY, std::int32_t imageWidth, std::int32_t imageHeight,
                                double screenPpi);

}  // namespace corvellin
