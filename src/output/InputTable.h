#pragma once
// The input table export ("tisk zadání"): one instrument's input as an HTML table in
// "output.html", opened in the desktop's viewer.

#include <QString>
#include <QStringList>

namespace vel {

// The 201 lines of "output.html" for an identifier and the 52 count texts
// (replicate-major). Texts are escaped so that they cannot become markup.
QStringList inputTableLines(const QString& id, const QStringList& counts);

// Writes "output.html" in the current working directory (I/O messages on failure) and
// hands it to the desktop's viewer.
void exportInputTable(const QString& id, const QStringList& counts);

} // namespace vel
