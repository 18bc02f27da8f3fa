// The number texts of the print layout dialog, with the user's decimal
// separator: fixed forms with a set number of decimals ("0.000", "0.00") and
// the general form (the shortest text with at most 15 significant digits).
#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace corvellin {

// The decimal separator of the user's locale (QLocale's default).
QChar UserDecimalSeparator();

// At least one integer digit and exactly `decimals` decimals: 2.0 -> "2.000".
QString FormatFixed(double value, int decimals, QChar separator = UserDecimalSeparator());
// Shortest text of at most 15 significant digits: 20.0 -> "20", 38/96 ->
// "0.395833333333333"; below 0.00001 in magnitude (not 0), or of more than 15
// integer digits, the exponent form "1E-6", "1.5E20".
QString FormatGeneral(double value, QChar separator = UserDecimalSeparator());
// Blanks at both ends are ignored; then an optional sign, digits with at most
// one separator, an optional exponent. Anything else (the empty text included)
// is unreadable.
std::optional<double> ParseNumber(const QString& text, QChar separator = UserDecimalSeparator());

}  // namespace corvellin
