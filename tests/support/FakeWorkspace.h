#pragma once
// A workspace made of plain arrays, for testing the evaluations without a main window.

#include "data/SheetGeometry.h"
#include "eval/DeviationChart.h"
#include "eval/Workspace.h"
#include "output/TextPane.h"
#include "overall/OverallCharts.h"
#include "ui/Dialogs.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace testing_support {

struct FakeSheet {
    std::array<QString, 52> counts; // replicate-major, as the sheet control record
    QString id;
    QString caption;
    QString testDate; // "datum testu"
    std::array<bool, 52> yellow{};
    QString testVerdict;
    QString calibrationVerdict;

    QString& count(int r, int c) { return counts[vel::countIndex(r, c)]; }
    bool isYellow(int r, int c) const { return yellow[vel::countIndex(r, c)]; }
    // Sets every count of row r.
    void setRow(int r, int c1, int c2, int c3, int c4);
};

class FakeWorkspace : public vel::Workspace {
public:
    FakeWorkspace();

    // Adds a sheet whose every count is 0, captioned with its identifier; the first sheet
    // becomes current.
    FakeSheet& addSheet(const QString& id);
    void setReferences(const std::array<int, 10>& refs);

    std::vector<FakeSheet> sheets;
    std::array<QString, 10> references;
    int current = -1;
    vel::TextPane main, summary;
    vel::DeviationChart deviation;
    vel::OverallChart overall;         // the charts of the overall test, passed to it
    vel::CalibrationChart calibration; // alongside the workspace
    QStringList shown; // names of the windows shown, in order
    int chartUpdates = 0;

    int sheetCount() const override { return int(sheets.size()); }
    int currentSheet() const override { return current; }
    void setCurrentSheet(int i) override { current = i; }
    QString countText(int r, int c) const override;
    QString tabCaption() const override { return sheets.at(current).caption; }
    void setCountYellow(int r, int c, bool y) override;
    QString idTextOf(int i) const override { return sheets.at(i).id; }
    QString testDateOf(int i) const override { return sheets.at(i).testDate; }
    void setTestVerdict(int i, const QString& v) override { sheets.at(i).testVerdict = v; }
    void setCalibrationVerdict(int i, const QString& v) override {
        sheets.at(i).calibrationVerdict = v;
    }
    QString referenceText(int k) const override { return references.at(k - 1); }
    vel::TextPane& mainPane() override { return main; }
    vel::TextPane& summaryPane() override { return summary; }
    vel::DeviationChart& deviationChart() override { return deviation; }
    void chartsChanged() override { ++chartUpdates; }
    void showSummaryWindow() override { shown << QStringLiteral("Form2"); }
    void showOverallChartWindow() override { shown << QStringLiteral("Form3"); }
    void showCalibrationWindow() override { shown << QStringLiteral("Form5"); }
protected:
    void showMessage(const QString& text) override { ui::dialogs().message(nullptr, text); }
};

} // namespace testing_support
