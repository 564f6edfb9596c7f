#pragma once
// The main window without a window: instrument sheets and reference values as the window
// holds them after loading the same files, the two output panes, the deviation chart and
// the two overall charts. The evaluations and the overall test run on it exactly as on the
// window; message boxes and windows have no one to show them to.

#include "data/InstrumentFile.h"
#include "data/ReferenceFile.h"
#include "eval/DeviationChart.h"
#include "eval/Workspace.h"
#include "output/TextPane.h"
#include "overall/OverallCharts.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vel {

// A sheet as the window holds it: its tab caption and the texts of its fields.
struct WorkspaceSheet {
    QString caption;
    SheetTexts texts;
};

class FileWorkspace : public Workspace {
public:
    // The sheets in tab order, each as "nový test" fills it from its record.
    FileWorkspace(const std::vector<InstrumentRecord>& sheets, const ReferenceValues& references);
    // Sheets and reference fields holding any texts (a round kept in the archive).
    FileWorkspace(std::vector<WorkspaceSheet> sheets, const std::array<QString, 10>& references);

    // Loads the instrument files in the order given, then the reference values file;
    // raises the I/O messages of the first file that fails.
    static FileWorkspace fromFiles(const QStringList& instrumentFiles,
                                   const QString& referenceFile);

    const std::vector<WorkspaceSheet>& sheets() const { return m_sheets; }
    const std::array<QString, 10>& references() const { return m_references; }

    TextPane main, summary;
    DeviationChart deviation;
    OverallChart overall;
    CalibrationChart calibration;

    int sheetCount() const override { return int(m_sheets.size()); }
    int currentSheet() const override { return m_sheets.empty() ? -1 : m_current; }
    void setCurrentSheet(int i) override { m_current = i; }
    QString countText(int r, int c) const override;
    QString tabCaption() const override { return m_sheets.at(m_current).caption; }
    void setCountYellow(int, int, bool) override {}
    QString idTextOf(int sheet) const override { return m_sheets.at(sheet).texts.header[0]; }
    QString testDateOf(int sheet) const override { return m_sheets.at(sheet).texts.header[4]; }
    void setTestVerdict(int, const QString&) override {}
    void setCalibrationVerdict(int, const QString&) override {}
    QString referenceText(int k) const override;
    TextPane& mainPane() override { return main; }
    TextPane& summaryPane() override { return summary; }
    DeviationChart& deviationChart() override { return deviation; }
    void chartsChanged() override {}
    void showSummaryWindow() override {}
    void showOverallChartWindow() override {}
    void showCalibrationWindow() override {}

protected:
    void showMessage(const QString&) override {}

private:
    std::vector<WorkspaceSheet> m_sheets;
    std::array<QString, 10> m_references;
    int m_current = 0; // the first sheet added is current, as in the window
};

} // namespace vel
