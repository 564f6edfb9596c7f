#pragma once
// "Archiv kol": the rounds of the archive, the one stored last first, with the archive's
// place above them (its file, or its database, server and user). "otevřít" hands the chosen
// round to whoever opens rounds (the main window), "odstranit" removes it after asking,
// "historie" asks for an instrument of the archive and shows its history across the rounds
// (HistoryWindow.h), "zavřít" hides the window. Every command opens the archive anew, so the
// list shows what other programs stored meanwhile.

#include "archive/ArchiveLocation.h"

#include <QWidget>

#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace vel {

class InstrumentChooser;

class ArchiveWindow : public QWidget {
    Q_OBJECT
public:
    explicit ArchiveWindow(QWidget* parent = nullptr);

    // What "otevřít" does with the chosen round's name; raises the program's errors.
    void setOpenCommand(std::function<void(const QString&)> open) { m_open = std::move(open); }

    // Shows the window with the rounds of the archive at location. Raises when the archive
    // cannot be read; the window then stays as it was.
    void showArchive(const ArchiveLocation& location);
    // Reads the list of rounds again.
    void refresh();
    // The name of the chosen round, empty when none is chosen.
    QString chosenRound() const;

    QLabel* placeLabel;
    QTableWidget* table;
    QPushButton* openButton;    // "otevřít"
    QPushButton* removeButton;  // "odstranit"
    QPushButton* historyButton; // "historie"
    QPushButton* closeButton;   // "zavřít"
    InstrumentChooser* chooser; // what "historie" shows

    void openClick();
    void removeClick();
    void historyClick();

private:
    ArchiveLocation m_location;
    std::function<void(const QString&)> m_open;
};

} // namespace vel
