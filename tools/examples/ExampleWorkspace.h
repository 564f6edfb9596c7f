#pragma once
// The example instruments on a workspace of plain values, as the main window holds them
// after loading the example files: one sheet per instrument in tab order, captioned with
// its identifier, and the reference value fields. The evaluations run on it as on the
// window; message boxes and windows are only counted.

#include "data/InstrumentFile.h"
#include "data/ReferenceFile.h"
#include "eval/DeviationChart.h"
#include "eval/Workspace.h"
#include "output/TextPane.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace examples {

class ExampleWorkspace : public vel::Workspace {
public:
    ExampleWorkspace(const std::vector<vel::InstrumentRecord>& instruments,
                     const vel::ReferenceValues& references);

    // The 52 count fields of sheet i as the window shows them, replicate-major.
    QStringList countTexts(int sheet) const;

    vel::TextPane main, summary;
    vel::DeviationChart deviation;
    QStringList boxes; // texts of the message boxes, in order

    int sheetCount() const override { return int(m_sheets.size()); }
    int currentSheet() const override { return m_current; }
    void setCurrentSheet(int i) override { m_current = i; }
    QString countText(int r, int c) const override;
    QString idText() const override { return idTextOf(m_current); }
    QString tabCaption() const override { return idTextOf(m_current); }
    void setCountYellow(int, int, bool) override {}
    QString idTextOf(int i) const override;
    void setTestVerdict(int, const QString&) override {}
    void setCalibrationVerdict(int, const QString&) override {}
    QString referenceText(int k) const override;
    vel::TextPane& mainPane() override { return main; }
    vel::TextPane& summaryPane() override { return summary; }
    vel::DeviationChart& deviationChart() override { return deviation; }
    void chartsChanged() override {}
    void showSummaryWindow() override {}
    void showOverallChartWindow() override {}
    void showCalibrationWindow() override {}

protected:
    void showMessage(const QString& text) override { boxes << text; }

private:
    std::vector<vel::InstrumentRecord> m_sheets;
    vel::ReferenceValues m_references;
    int m_current = 0;
};

} // namespace examples
