#pragma once
// "zpráva PDF" of the summary window: the report of the last overall test, its charts as
// the chart windows show them, saved through the summary window's second save dialog. And
// "zprávy účastníkům": a report for each participant, into a folder.

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveRecords.h"

#include <functional>
#include <optional>

class QWidget;

namespace ui {
class ChartView;
}

namespace vel {

struct OverallRecord;

// The message when there is no report to make.
inline const char* const kNoReportYet = "Zprávu lze vytvořit až po úspěšném celkovém testu.";
// The message when the round of the last overall test is not in the archive with its results.
inline const char* const kStoreRoundFirst = "Nejprve uložte kolo do archivu.";

// Without a record (no overall test since the start, or the last one stopped with an error)
// shows kNoReportYet and writes nothing. Otherwise asks for a file name through the owner's
// "SaveDialog2" and writes the PDF there atomically; cancelling writes nothing. The report
// names the round storedRound gives (the round of the record's test in the archive with
// those texts and results: its name, information and codes), or says that the round is not
// stored. The two overall charts are drawn at their views' sizes with their zoom and label
// boxes, each deviation chart at the size of the main window's chart (smaller where its
// text would be too small on paper).
// anonymous: the version for publication, every instrument named by its code; it needs the
// stored round (kStoreRoundFirst without it), and its charts are laid out anew.
void saveRoundReport(QWidget* owner, const OverallRecord* record,
                     const std::function<std::optional<Round>()>& storedRound, bool anonymous,
                     const ui::ChartView& overallView, const ui::ChartView& calibrationView,
                     const ui::ChartView& deviationView);

// Without a record shows kNoReportYet; when storedRound gives nothing (the round of the
// record's test is not in the archive with those texts and results) shows kStoreRoundFirst.
// Otherwise asks for a folder through the owner's "FolderDialog1" and writes one report per
// instrument into it (ParticipantReport.h), all files put in place together; cancelling
// writes nothing. Says how many it wrote. The charts are drawn at their views' sizes; the
// histories come from the archive at `archive`, the one storedRound reads.
void saveParticipantReports(QWidget* owner, const OverallRecord* record,
                            const std::function<std::optional<Round>()>& storedRound,
                            const ui::ChartView& overallView, const ui::ChartView& calibrationView,
                            const ui::ChartView& deviationView, const ArchiveLocation& archive);

} // namespace vel
