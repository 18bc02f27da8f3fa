#include "NumberText.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace corvellin {

QChar UserDecimalSeparator() {
    const QString point = QLocale().decimalPoint();
    return point.size() == 1 ? point[0] : QChar('.');
}

namespace {

QString WithSeparator(const std::string& text, QChar separator) {
    QString out = QString::fromStdString(text);
    out.replace(QChar('.'), separator);
    return out;
}

}  // namespace

QString FormatFixed(double value, int decimals, QChar separator) {
    char buffer[400];
    // to_chars rounds the exact binary value, ties to even, independent of the C locale.
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    // A negative value that rounds to zero reads as zero.
    if (!text.empty() && text[0] == '-' && text.find_first_not_of("-0.") == std::string::npos) text.erase(0, 1);
    return WithSeparator(text, separator);
}

QString FormatGeneral(double value, QChar separator) {
    if (value == 0) return QStringLiteral("0");
    if (!std::isfinite(value)) return QString::number(value);
    // Fifteen significant digits in the exponent form, then trimmed.
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    const std::string sci(buffer, result.ptr);
    const std::size_t e = sci.find('e');
    std::string mantissa = sci.substr(0, e);
    const int exponent = std::atoi(sci.c_str() + e + 1);
    const bool negative = mantissa[0] == '-';
    if (negative) mantissa.erase(0, 1);
    std::string digits;
    for (char c : mantissa)
        if (c != '.') digits += c;
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    std::string text = negative ? "-" : "";
    if (exponent < -5 || exponent >= 15) {
        text += digits[0];
        if (digits.size() > 1) {
            text += '.';
            text.append(digits, 1, std::string::npos);
        }
        text += 'E';
        text += std::to_string(exponent);
    } else if (exponent < 0) {
        text += "0.";
        text.append(static_cast<std::size_t>(-exponent - 1), '0');
        text += digits;
    } else {
        const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= integerDigits) {
            text += digits;
            text.append(integerDigits - digits.size(), '0');
        } else {
            text.append(digits, 0, integerDigits);
            text += '.';
            text.append(digits, integerDigits, std::string::npos);
        }
    }
    return WithSeparator(text, separator);
}

std::optional<double> ParseNumber(const QString& raw, QChar separator) {
    const QString text = raw.trimmed();
    std::string normal;
    qsizetype i = 0;
    std::size_t digits = 0;
    auto isDigit = [&](qsizetype at) { return at < text.size() && text[at] >= QChar('0') && text[at] <= QChar('9'); };
    if (i < text.size() && (text[i] == QChar('-') || text[i] == QChar('+'))) normal += static_cast<char>(text[i++].unicode());
    for (; isDigit(i); ++i, ++digits) normal += static_cast<char>(text[i].unicode());
    if (i < text.size() && text[i] == separator) {
        normal += '.';
        for (++i; isDigit(i); ++i, ++digits) normal += static_cast<char>(text[i].unicode());
    }
    if (digits == 0) return std::nullopt;
    if (i < text.size() && (text[i] == QChar('e') || text[i] == QChar('E'))) {
        normal += 'e';
        ++i;
        if (i < text.size() && (text[i] == QChar('-') || text[i] == QChar('+')))
            normal += static_cast<char>(text[i++].unicode());
        std::size_t exponentDigits = 0;
        for (; isDigit(i); ++i, ++exponentDigits) normal += static_cast<char>(text[i].unicode());
        if (exponentDigits == 0) return std::nullopt;
    }
    if (i != text.size()) return std::nullopt;
    if (normal[0] == '+') normal.erase(0, 1);
    double value = 0;
    const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
    if (error != std::errc() || end != normal.data() + normal.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

}  // namespace corvellin
