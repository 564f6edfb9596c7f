#pragma once
// Field conversions: every evaluation turns a field's current text into a number here.

#include <QChar>
#include <QString>

#include <cstdint>

namespace vel {

// Decimal separator of the user's regional settings, read once.
QChar decimalSeparator();

// Optional leading blanks, an optional sign and decimal digits within the 32-bit signed
// range; anything else raises "'%s' is not a valid integer value".
std::int32_t toInt(const QString& text);

// A decimal number with the given separator, optionally with an exponent, and nothing
// around it (not even blanks); anything else raises "'%s' is not a valid floating point
// value".
double toFloat(const QString& text, QChar separator);
inline double toFloat(const QString& text) {
    return toFloat(text, decimalSeparator());
}

} // namespace vel
