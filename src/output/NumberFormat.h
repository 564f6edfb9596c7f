#pragma once
// The general 3-digit number format of every real number in an output line.

#include <QChar>
#include <QString>

namespace vel {

// Three significant digits, halves rounded away from zero on the exact value of the
// double; plain notation from 0.0001 to 999 after rounding, otherwise exponent notation
// such as 1,23E003 or 1,23E-005.
QString formatGeneral(double value, QChar separator);
QString formatGeneral(double value); // with the user's decimal separator

} // namespace vel
