#pragma once
// The table of every instrument's results, the same columns in the report's first page and
// in the spreadsheet file: identifier, participant code, mean error, error standard
// deviation, test verdict, residual standard error, 1 - r^2, calibration verdict and the
// three warnings. The titles give the unit of the counts.

#include <QString>
#include <QStringList>

#include <functional>

namespace vel {

struct InstrumentOutcome;

inline constexpr int kResultColumns = 11;

// The Czech column titles.
QStringList resultColumnTitles();

// One instrument's row; code is its participant code as text, number writes the five reals,
// a warning column holds "ano" or nothing.
QStringList resultRow(const InstrumentOutcome& o, const QString& code,
                      const std::function<QString(double)>& number);

} // namespace vel
