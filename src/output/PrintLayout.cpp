#include "PrintLayout.h"

#include <cmath>
#include <limits>

namespace corvellin {
namespace {

// Whole-number products are formed in 64 bits before a division, so no
// intermediate overflows; C++ division truncates toward zero like div.
std::int32_t MulDiv(std::int64_t a, std::int64_t b, std::int64_t divisor) {
    if (divisor == 0) return 0;
    return static_cast<std::int32_t>(a * b / divisor);
}

}  // namespace

std::int32_t RoundHalfEven(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min())) return std::numeric_limits<std::int32_t>::min();
    if (rounded > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(rounded);
}

std::int32_t ToScreenPixels(std::int32_t unit, double value, double ppi) {
    switch (unit) {
        case kUnitPixel: return RoundHalfEven(value);
        case kUnitInch: return RoundHalfEven(value * ppi);
        case kUnitCentimetre: return RoundHalfEven(ppi * value / 2.54);
        case kUnitMillimetre: return RoundHalfEven(ppi * value / 25.4);
        default: return 0;
    }
}

double FromScreenPixels(std::int32_t pixels, std::int32_t unit, double ppi) {
    switch (unit) {
        case kUnitPixel: return pixels;
        case kUnitInch: return pixels / ppi;
        case kUnitCentimetre: return pixels * 2.54 / ppi;
        case kUnitMillimetre: return pixels * 25.4 / ppi;
        default: return 0.0;
    }
}

PixelSize PageFromPrinter(std::int32_t width, std::int32_t height, double dpiX, double dpiY, double ppi) {
    return {RoundHalfEven(width * ppi / dpiX), RoundHalfEven(height * ppi / dpiY)};
}

PixelSize PageFromPaper(std::int32_t paperWidth, std::int32_t paperHeight, double ppi) {
    return {RoundHalfEven(ppi * paperWidth / 1000), RoundHalfEven(ppi * paperHeight / 1000)};
}

FitResult FitToPage(std::int32_t pw, std::int32_t ph, std::int32_t iw, std::int32_t ih) {
    if (iw <= 0 || ih <= 0) return {};
    FitResult fit;
    if (static_cast<double>(ph) / ih >= static_cast<double>(pw) / iw) {
        fit.size = {pw, MulDiv(pw, ih, iw)};
    } else {
        fit.size = {MulDiv(ph, iw, ih), ph};
    }
    fit.scale = static_cast<double>(100LL * fit.size.height) / ih;
    return fit;
}

PixelSize SizeFromScale(std::int32_t iw, std::int32_t ih, double scale) {
    return {RoundHalfEven(iw * scale / 100), RoundHalfEven(ih * scale / 100)};
}

FitResult SizeFromHeight(std::int32_t height, std::int32_t iw, std::int32_t ih) {
    if (iw <= 0 || ih <= 0) return {};
    const std::int32_t width = MulDiv(height, iw, ih);
    return {{width, height}, static_cast<double>(100LL * width) / iw};
}

FitResult SizeFromWidth(std::int32_t width, std::int32_t iw, std::int32_t ih) {
    if (iw <= 0 || ih <= 0) return {};
    const std::int32_t height = MulDiv(width, ih, iw);
    return {{width, height}, static_cast<double>(100LL * height) / ih};
}

std::int32_t CenterOffset(std::int32_t page, std::int32_t length) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(page) - length) / 2);
}

PixelRect PreviewBox(std::int32_t panelWidth, std::int32_t panelHeight, std::int32_t pw, std::int32_t ph) {
    PixelRect box;
    if (pw > ph) {
        box.width = panelWidth;
        box.height = MulDiv(box.width, ph, pw);
    } else {
        box.height = panelHeight;
        box.width = MulDiv(box.height, pw, ph);
    }
    box.left = (panelWidth - box.width) / 2;
    box.top = (panelHeight - box.height) / 2;
    return box;
}

PixelRect PreviewImageRect(const PixelRect& p, std::int32_t bw, std::int32_t bh, std::int32_t pw, std::int32_t ph) {
    return {MulDiv(p.left, bw, pw), MulDiv(p.top, bh, ph), MulDiv(p.width, bw, pw), MulDiv(p.height, bh, ph)};
}

PixelRect PrintRectFromDialog(const PixelRect& p, double dpiX, double dpiY, double ppi) {
    return {RoundHalfEven(dpiX * p.left / ppi), RoundHalfEven(dpiY * p.top / ppi), RoundHalfEven(dpiX * p.width / ppi),
            RoundHalfEven(dpiY * p.height / ppi)};
}

PixelRect PrintRectFromSettings(const PrintLayout& layout, std::int32_t printableWidth, std::int32_t printableHeight,
                                double dpiX, double dpiY, std::int32_t imageWidth, std::int32_t imageHeight, double ppi) {
    const double pwi = printableWidth / dpiX, phi = printableHeight / dpiY;
    const double iwi = imageWidth / ppi, ihi = imageHeight / ppi;
    double wi, hi;
    if (layout.FitPage) {
        if (phi / ihi >= pwi / iwi) {
            wi = pwi;
            hi = wi * ihi / iwi;
        } else {
            hi = phi;
            wi = hi * iwi / ihi;
        }
    } else {
        wi = iwi * layout.Scale / 100;
        hi = ihi * layout.Scale / 100;
    }
    double xi, yi;
    if (layout.Center) {
        xi = (pwi - wi) / 2;
        yi = (phi - hi) / 2;
    } else {
        xi = FromScreenPixels(ToScreenPixels(layout.LeftUnit, layout.Left, ppi), kUnitInch, ppi);
        yi = FromScreenPixels(ToScreenPixels(layout.TopUnit, layout.Top, ppi), kUnitInch, ppi);
    }
    return {RoundHalfEven(xi * dpiX), RoundHalfEven(yi * dpiY), RoundHalfEven(wi * dpiX), RoundHalfEven(hi * dpiY)};
}

}  // namespace corvellin
