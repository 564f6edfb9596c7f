#pragma once
// Saving an output pane as a text file.

#include <QString>

class QWidget;

namespace vel {

class TextPane;

// Shows the save dialog dialogName and writes the pane's text file to the chosen name,
// replacing any file of that name atomically. Cancelling changes nothing.
void savePane(QWidget* owner, const QString& dialogName, const TextPane& pane);

} // namespace vel
