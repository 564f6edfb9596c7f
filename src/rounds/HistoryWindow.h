#pragma once
// "Historie přístroje …": one instrument's history across the rounds of the archive
// (InstrumentHistory.h). The identifiers that differ from it only in case or blanks above;
// the table, a row per round; the chart of the circle and ellipse scores and the chart of
// the calibration scores, each with the drift the rules find under it and what the rules
// mean. Each chart is saved ("uložit", a BMP image) and printed ("tisk grafu") as the
// other chart windows do; "zpráva PDF" and "tabulka CSV" save what velimor-report --history
// writes.
//
// InstrumentChooser, "Přístroje v archivu", is how the archive window asks for an
// instrument: the identifiers of the archive, each with its number of rounds and the
// similar ones; "historie" opens the chosen one's history.

#include "archive/ArchiveLocation.h"
#include "history/InstrumentHistory.h"

#include <QWidget>

#include <memory>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QVBoxLayout;

namespace ui {
class ChartModel;
class ChartView;
} // namespace ui

namespace vel {

class HistoryWindow : public QWidget {
    Q_OBJECT
public:
    explicit HistoryWindow(QWidget* parent = nullptr);
    ~HistoryWindow() override;

    // Shows the history of `id` in the archive at location. Raises when the archive cannot
    // be read, or when no round has that identifier; the window then stays as it was.
    void showHistory(const ArchiveLocation& location, const QString& id);
    const InstrumentHistory& history() const { return m_history; }

    QLabel* similarLabel;
    QTableWidget* table;
    ui::ChartView* testChart = nullptr;
    ui::ChartView* calibrationChart = nullptr;
    QLabel* testDriftLabel;
    QLabel* calibrationDriftLabel;
    QPushButton* saveTestButton;         // "uložit" (SaveDialog1)
    QPushButton* printTestButton;        // "tisk grafu"
    QPushButton* saveCalibrationButton;  // "uložit" (SaveDialog2)
    QPushButton* printCalibrationButton; // "tisk grafu"
    QPushButton* pdfButton;              // "zpráva PDF" (SaveDialog3)
    QPushButton* csvButton;              // "tabulka CSV" (SaveDialog4)
    QPushButton* closeButton;            // "zavřít"

    void saveTestClick();
    void printTestClick();
    void saveCalibrationClick();
    void printCalibrationClick();
    void savePdfClick();
    void saveCsvClick();

private:
    void fill();

    InstrumentHistory m_history;
    std::unique_ptr<ui::ChartModel> m_testModel, m_calibrationModel;
    QVBoxLayout* m_testBox;
    QVBoxLayout* m_calibrationBox;
};

class InstrumentChooser : public QWidget {
    Q_OBJECT
public:
    explicit InstrumentChooser(QWidget* parent = nullptr);

    // Shows the identifiers of the archive at location; raises when it cannot be read.
    void showInstruments(const ArchiveLocation& location);
    // The identifier chosen, nullopt when none is.
    std::optional<QString> chosen() const;

    QTableWidget* table;
    QPushButton* historyButton; // "historie"
    QPushButton* closeButton;   // "zavřít"
    HistoryWindow* historyWindow;

    void historyClick();

private:
    ArchiveLocation m_location;
    std::vector<InstrumentListing> m_ids;
};

} // namespace vel
