#pragma once
// An instrument's history in the reports (InstrumentHistory.h): the page "Vývoj v čase" of
// a participant's report, and the PDF that `velimor-report --history ID --pdf FILE` writes.
// Both hold the results table, the table of the scores, the two charts with the drift found
// under each, and what the drift rules mean.

#include "archive/ArchiveLocation.h"
#include "history/InstrumentHistory.h"
#include "report/PageFlow.h"
#include "report/ReportRun.h"

#include "ui/ChartModel.h"
#include "ui/ChartState.h"

#include <QByteArray>
#include <QFont>

#include <functional>
#include <memory>

namespace vel {

// The charts a flow refers to until its pages are painted.
struct HistoryPictures {
    std::unique_ptr<ui::ChartModel> test, calibration;
    ui::ChartState testState, calibrationState;
};

// The history's tables, charts and drift lines, from where the flow stands. With a single
// round, the words that it is the first instead of the charts.
void historyContent(page::Flow& flow, const InstrumentHistory& history, HistoryPictures& pictures,
                    const QFont& chartFont);

// The PDF of an instrument's history: A4, each page headed "Historie přístroje …" and
// numbered, the identifiers that differ from it only in case or blanks named first.
QByteArray makeHistoryPdf(const InstrumentHistory& history, const QFont& chartFont);

// The archived sheets of an identifier, for the participants' reports.
using ArchivedRounds = std::function<std::vector<InstrumentRound>(const QString& id)>;
// Those of the archive at location: none while the archive is not there yet.
ArchivedRounds archivedRoundsOf(const ArchiveLocation& location);

// --history: what is wrong with the other options given with it, empty when nothing (it
// takes --pdf, --csv and --archive, and one of the first two).
QString historyUsageProblem(const ReportArguments& args);
// Writes the PDF and the table of the instrument args.history of the archive at location,
// both in place or neither. Raises "Přístroj „…“ v archivu kol „…“ není" (naming the
// similar identifiers) when no round has it.
QByteArray runHistory(const ReportArguments& args, const ArchiveLocation& location);

} // namespace vel
