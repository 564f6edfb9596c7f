#include "report/ReportCommand.h"

#include "data/FileIo.h"
#include "data/FileNames.h"
#include "overall/OverallRecord.h"
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
    // The report's test date in the name it proposes: "zpráva 03.12.2026.pdf".
    const QString date = record->roundTestDate();
    const QString proposed =
        fileNameOf(date.trimmed().isEmpty() ? QStringLiteral("zpráva") : QStringLiteral("zpráva ") + date) +
        QStringLiteral(".pdf");
    const auto name = ui::dialogs().saveFile(
        owner, QStringLiteral("SaveDialog2"),
        {proposed, QStringLiteral("Dokumenty PDF (*.pdf)"), QStringLiteral("pdf")});
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
