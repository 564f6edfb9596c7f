#pragma once
// Saving an output pane as a text file, and the input table export.

#include <QString>
#include <QStringList>

class QWidget;

namespace vel {

class TextPane;

// Shows the save dialog dialogName and writes the pane's text file to the chosen name,
// replacing any file of that name atomically. Cancelling changes nothing.
void savePane(QWidget* owner, const QString& dialogName, const TextPane& pane);

// The 201 lines of "output.html" for an identifier and the 52 count texts
// (replicate-major). Texts are escaped so that they cannot become markup.
QStringList inputTableLines(const QString& id, const QStringList& counts);

// Writes "output.html" in the current working directory (I/O messages on failure) and
// hands it to the desktop's viewer.
void exportInputTable(const QString& id, const QStringList& counts);

} // namespace vel
