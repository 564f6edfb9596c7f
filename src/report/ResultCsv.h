#pragma once
// The results table as a file for spreadsheets and laboratory systems: a header row of the
// Czech column titles, then one row per instrument in tab order, each led by the round's
// name and test date; fields separated by
// semicolons, lines ended by CR LF, UTF-8 with a byte-order mark. Reals are written at full
// precision (the shortest text that reads back to the same value) with the decimal
// separator of the user's regional settings; a field holding a semicolon or a quotation
// mark is quoted, and a CR, LF or NUL within a text is written as a blank.

#include <QByteArray>
#include <QChar>
#include <QString>

#include <vector>

namespace vel {

struct OverallRecord;

// roundName: empty for a test not stored as a round; codes: the participant codes in tab
// order, none for such a test (the code column is then empty).
QByteArray resultCsv(const OverallRecord& record, QChar decimalSeparator,
                     const QString& roundName = QString(), const std::vector<int>& codes = {});

} // namespace vel
