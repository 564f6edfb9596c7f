#pragma once
// The report for one participant of a round: its own results in full, the other
// participants only by their codes, and what each verdict, warning and figure means. One
// PDF per instrument of the overall test, each page headed by the round's header
// (RoundHeader.h):
//
//   - "Vaše výsledky": identifier and code; a box with both verdicts and what they mean,
//     and every warning with its value and its limit; the ten samples; the round's figures
//     with what they are; the origin of the reference values and the provider's comment
//     from the round information; the confidentiality of the other participants;
//   - the overall evaluation chart and the calibration-quality chart (ParticipantCharts.h);
//   - the participant's deviation chart and its own block of the summary pane;
//   - "Vývoj v čase": its instrument's history over the archived rounds up to and including
//     this one (HistoryReport.h), or that this is its first round.
//
// No other participant's identifier is in the file: not in its texts, not in its charts,
// not in its metadata (the title names the round and the code).

#include "archive/ArchiveRecords.h"
#include "history/InstrumentHistory.h"
#include "report/HistoryReport.h"
#include "report/ParticipantCharts.h"
#include "report/ReportPdf.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

namespace vel {

struct OverallRecord;

struct ParticipantDocument {
    QByteArray pdf;
    ParticipantCharts charts;        // the models drawn, which `placed` refers to
    std::vector<PlacedChart> placed; // overall, calibration, deviation
};

// The report of instrument `instrument` of the record, for the stored round the record's
// test ran on (its name, information and participant codes). The charts are drawn at the
// sizes and in the font of `charts`, the calibration-quality chart's labels moved apart as
// "uspořádat" does. `history` is the instrument's (participantHistory()). Raises when the
// round has not one sheet per instrument.
ParticipantDocument makeParticipantReport(const OverallRecord& record, const Round& round,
                                          int instrument, const ReportCharts& charts,
                                          const InstrumentHistory& history);

// The file name of each instrument's report, in tab order: "<round> – <identifier>.pdf",
// every character a file name cannot hold as "_" (fileNameOf); an instrument without an
// identifier is named by its code, and names that would be equal get " – <code>" added.
QStringList participantFileNames(const OverallRecord& record, const Round& round);

// Every instrument's report: file name and contents, in tab order; the histories from the
// archived sheets of each identifier (none for an instrument without one).
struct ParticipantFile {
    QString name;
    QByteArray pdf;
};
std::vector<ParticipantFile> makeParticipantReports(const OverallRecord& record, const Round& round,
                                                    const ReportCharts& charts,
                                                    const ArchivedRounds& archived);

} // namespace vel
