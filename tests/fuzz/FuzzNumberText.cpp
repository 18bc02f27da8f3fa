// libFuzzer target: the print dialog's number reader and writer. The first
// byte picks the decimal separator (one of those the locales use: '.', ',' or
// the Arabic U+066B) and the decimals of the fixed form; the rest is the text
// the user typed, as UTF-8. A number that reads must read again, to the same
// value within the rounding of its form, from the texts the dialog writes
// for it. The first eight bytes of the text are also formatted as a double.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>

#include <QChar>
#include <QString>

#include "output/NumberText.h"

namespace {

// Stops the run with a report: libFuzzer keeps the input.
void Check(bool condition) {
    if (!condition) std::abort();
}

// The largest magnitude whose 15-digit text still reads as a finite double:
// above it the general form rounds up past the largest double.
constexpr double kLargestGeneral = 1.79769313486231e308;

// The texts the dialog writes for a value must read back to it: the general
// form to fifteen significant digits, the fixed form to its decimals.
void CheckWrittenForms(double value, int decimals, QChar separator) {
    if (!std::isfinite(value)) {
        (void)corvellin::FormatGeneral(value, separator);
        return;
    }
    if (std::fabs(value) <= kLargestGeneral) {
        const QString general = corvellin::FormatGeneral(value, separator);
        const std::optional<double> again = corvellin::ParseNumber(general, separator);
        // Below the smallest normal double fewer than 15 digits are exact;
        // the text only has to read.
        Check(again.has_value() || (value != 0 && std::fabs(value) < 1e-300));
        if (again && (std::isnormal(value) || value == 0)) {
            Check(std::fabs(*again - value) <= std::fabs(value) * 1e-14);
            Check(corvellin::FormatGeneral(*again, separator) == general);
        }
    }
    const QString fixed = corvellin::FormatFixed(value, decimals, separator);
    const std::optional<double> again = corvellin::ParseNumber(fixed, separator);
    Check(again.has_value());
    Check(std::fabs(*again - value) <= 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-15);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        Check(!corvellin::ParseNumber(QString()).has_value());
        return 0;
    }
    static const QChar kSeparators[] = {QChar('.'), QChar(','), QChar(0x066B), QChar('.')};
    const QChar separator = kSeparators[data[0] & 3];
    const int decimals = (data[0] >> 2) & 3;
    const char* text = reinterpret_cast<const char*>(data + 1);
    const auto length = static_cast<qsizetype>(size - 1);

    const QString typed = QString::fromUtf8(text, length);
    const std::optional<double> value = corvellin::ParseNumber(typed, separator);
    if (value) {
        Check(std::isfinite(*value));
        CheckWrittenForms(*value, decimals, separator);
    }
    // The same bytes as Latin-1 (every byte a character), with the default separator.
    (void)corvellin::ParseNumber(QString::fromLatin1(text, length));

    if (size - 1 >= sizeof(double)) {
        double raw = 0;
        std::memcpy(&raw, text, sizeof raw);
        CheckWrittenForms(raw, decimals, separator);
    }
    return 0;
}
