#pragma once
// What the program shows and writes for the example proficiency test, computed by the
// program's own evaluations on the workspace of files (vel::FileWorkspace), for the
// end-to-end tests to compare the real window with: per instrument its identifier, its
// 13 x 4 counts, the main pane after each single evaluation, the summary pane after the
// batch run and the lines of the input table export; the summary pane after the overall
// test; the reference values.
// Numbers as under Czech regional settings (a comma as the decimal separator), the
// settings the end-to-end tests start the program with.

#include <QByteArray>
#include <QString>

namespace examples {

QString expectedFileName(); // "expected.json"

// The data as UTF-8 JSON. Raises the program's error if an evaluation fails.
QByteArray expectedJson();

// Writes expectedFileName() into dir.
void writeExpected(const QString& dir);

} // namespace examples
