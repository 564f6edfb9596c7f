#pragma once
// What the evaluations see of the main window: the instrument sheets (as texts of their
// fields), the reference value fields, the two output panes, the charts and the windows
// they show. Form1 provides it from its widgets; tests provide it from plain arrays.

#include <QString>

namespace vel {

struct DeviationChart;
class TextPane;

class Workspace {
public:
    virtual ~Workspace() = default;

    // Instrument sheets. Sheets are numbered from 0 in tab order; -1 means none.
    virtual int sheetCount() const = 0;
    virtual int currentSheet() const = 0;
    virtual void setCurrentSheet(int index) = 0;

    // Fields of the current sheet: row r 1..13, replicate c 1..4.
    virtual QString countText(int r, int c) const = 0;
    virtual QString tabCaption() const = 0; // caption of the current tab page
    virtual void setCountYellow(int r, int c, bool yellow) = 0;

    // Any sheet by its index, without making it current: its "id stroje" field and the two
    // verdicts of its record.
    virtual QString idTextOf(int sheet) const = 0;
    // The "id stroje" field of the current sheet.
    QString idText() const { return idTextOf(currentSheet()); }
    // The "datum testu" header field of any sheet, read by the overall test for the round
    // report.
    virtual QString testDateOf(int sheet) const = 0;
    virtual void setTestVerdict(int sheet, const QString& verdict) = 0;
    virtual void setCalibrationVerdict(int sheet, const QString& verdict) = 0;

    // Reference value field k, 1..10.
    virtual QString referenceText(int k) const = 0;

    // Output panes: the main window's and the summary window's.
    virtual TextPane& mainPane() = 0;
    virtual TextPane& summaryPane() = 0;

    // The deviation chart of the main window. chartsChanged() asks the views of every
    // chart to repaint.
    virtual DeviationChart& deviationChart() = 0;
    virtual void chartsChanged() = 0;

    // Windows shown by the batch evaluation and the overall test (modeless).
    virtual void showSummaryWindow() = 0;      // Form2
    virtual void showOverallChartWindow() = 0; // Form3
    virtual void showCalibrationWindow() = 0;  // Form5

    // A message box for the operator, with an OK button, outside summary mode only: while
    // the batch run or the overall test collects the results, nothing is shown.
    void notify(const QString& text);

protected:
    // Shows the box and waits until the operator closes it.
    virtual void showMessage(const QString& text) = 0;
};

} // namespace vel
