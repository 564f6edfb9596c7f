#include "report/ReportCommand.h"

#include "data/FileIo.h"
#include "data/FileNames.h"
#include "overall/OverallRecord.h"
#include "report/ParticipantReport.h"
#include "report/ReportArchive.h"
#include "report/ReportPdf.h"
#include "ui/ChartView.h"
#include "ui/Dialogs.h"

#include <QDir>

namespace vel {

namespace {
// "1 zpráva", "3 zprávy", "6 zpráv".
QString reportCount(int n) {
    const char* word = n == 1 ? "zpráva" : n >= 2 && n <= 4 ? "zprávy" : "zpráv";
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}
// The charts at their views' sizes, in the views' font; no view's zoom or labels yet.
ReportCharts chartsOfViews(const ui::ChartView& overall, const ui::ChartView& calibration,
                           const ui::ChartView& deviation) {
    ReportCharts charts;
    charts.font = overall.font();
    charts.overall.size = overall.size();
    charts.calibration.size = calibration.size();
    charts.deviation = deviation.size();
    return charts;
}

} // namespace

void saveRoundReport(QWidget* owner, const OverallRecord* record,
                     const std::function<std::optional<Round>()>& storedRound, bool anonymous,
                     const ui::ChartView& overallView, const ui::ChartView& calibrationView,
                     const ui::ChartView& deviationView) {
    if (!record || !record->overallChart || !record->calibrationChart) {
        ui::dialogs().message(owner, QString::fromUtf8(kNoReportYet));
        return;
    }
    std::optional<Round> round = storedRound();
    if (anonymous && !round) {
        ui::dialogs().message(owner, QString::fromUtf8(kStoreRoundFirst));
        return;
    }
    // The report's test date in the name it proposes: "zpráva 03.12.2026.pdf".
    const QString date = record->roundTestDate();
    QString proposed = date.trimmed().isEmpty() ? QStringLiteral("zpráva")
                                                : QStringLiteral("zpráva ") + date;
    if (anonymous)
        proposed += QStringLiteral(" anonymní");
    const auto name = ui::dialogs().saveFile(
        owner, QStringLiteral("SaveDialog2"),
        {fileNameOf(proposed) + QStringLiteral(".pdf"), QStringLiteral("Dokumenty PDF (*.pdf)"),
         QStringLiteral("pdf")});
    if (!name)
        return;

    ReportCharts charts = chartsOfViews(overallView, calibrationView, deviationView);
    QByteArray pdf;
    if (anonymous) {
        // The same test on the round with its instruments named by their codes: the views'
        // label boxes hold the identifiers, so the labels are arranged anew.
        const Round published = anonymousRound(*round);
        const OverallRecord test = testOfRound(published);
        arrangeChartLabels(*test.calibrationChart, test.calibrationChart->Series1,
                           charts.calibration, charts.font);
        pdf = makeReportPdf(test, charts, {&published, true}).pdf;
    } else {
        carryArrangement(overallView.model(), overallView.state(), *record->overallChart,
                         charts.overall.state);
        carryArrangement(calibrationView.model(), calibrationView.state(),
                         *record->calibrationChart, charts.calibration.state);
        pdf = makeReportPdf(*record, charts, {round ? &*round : nullptr, false}).pdf;
    }
    writeWholeFile(*name, pdf, WriteErrors::Stream);
}

void saveParticipantReports(QWidget* owner, const OverallRecord* record,
                            const std::function<std::optional<Round>()>& storedRound,
                            const ui::ChartView& overallView, const ui::ChartView& calibrationView,
                            const ui::ChartView& deviationView, const ArchiveLocation& archive) {
    if (!record || !record->overallChart || !record->calibrationChart) {
        ui::dialogs().message(owner, QString::fromUtf8(kNoReportYet));
        return;
    }
    const std::optional<Round> round = storedRound();
    if (!round) {
        ui::dialogs().message(owner, QString::fromUtf8(kStoreRoundFirst));
        return;
    }
    const auto folder = ui::dialogs().chooseFolder(owner, QStringLiteral("FolderDialog1"));
    if (!folder)
        return;

    ReportCharts charts = chartsOfViews(overallView, calibrationView, deviationView);
    // Names the program chose: a link of that name is replaced, never followed.
    StagedFiles files(WriteErrors::Stream, Links::Replace);
    const QDir dir(*folder);
    for (const ParticipantFile& f :
         makeParticipantReports(*record, *round, charts, archivedRoundsOf(archive)))
        files.add(dir.filePath(f.name), f.pdf);
    files.commit();
    ui::dialogs().message(owner, QStringLiteral("Zprávy účastníkům kola „%1“ uloženy do složky "
                                                "„%2“: %3.")
                                     .arg(round->name, QDir::toNativeSeparators(*folder),
                                          reportCount(int(round->sheets.size()))));
}

} // namespace vel
