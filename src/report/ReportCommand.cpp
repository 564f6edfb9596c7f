#include "report/ReportCommand.h"

#include "data/FileIo.h"
#include "report/ReportPdf.h"
#include "ui/ChartView.h"
#include "ui/Dialogs.h"

namespace vel {

void saveRoundReport(QWidget* owner, const OverallRecord* record,
                     const ui::ChartView& overallView, const ui::ChartView& calibrationView,
                     const ui::ChartView& deviationView) {
    if (!record || !record->overallChart || !record->calibrationChart) {
        ui::dialogs().message(owner, QString::fromUtf8(kNoReportYet));
        return;
    }
    const auto name = ui::dialogs().saveFile(owner, QStringLiteral("SaveDialog2"));
    if (!name)
        return;

    ReportCharts charts;
    charts.font = overallView.font();
    charts.overall.size = overallView.size();
    carryArrangement(overallView.model(), overallView.state(), *record->overallChart,
                     charts.overall.state);
    charts.calibration.size = calibrationView.size();
    carryArrangement(calibrationView.model(), calibrationView.state(),
                     *record->calibrationChart, charts.calibration.state);
    charts.deviation = deviationView.size();
    writeWholeFile(*name, makeReportPdf(*record, charts).pdf, WriteErrors::Stream);
}

} // namespace vel
