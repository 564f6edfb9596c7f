#pragma once
// Rows of the program's spreadsheet files (the results table, an instrument's history):
// fields separated by semicolons, each row ended by CR LF, UTF-8. A CR, LF or NUL within a
// text becomes a blank, as in the program's other outputs, so that every row is one line;
// a field holding a semicolon or a quotation mark is quoted, its quotation marks doubled.

#include <QByteArray>
#include <QStringList>

namespace vel {

void addCsvRow(QByteArray& out, const QStringList& fields);

} // namespace vel
