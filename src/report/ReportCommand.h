#pragma once
// "zpráva PDF" of the summary window: the report of the last overall test, its charts as
// the chart windows show them, saved through the summary window's second save dialog.

class QWidget;

namespace ui {
class ChartView;
}

namespace vel {

struct OverallRecord;

// The message when there is no report to make.
inline const char* const kNoReportYet = "Zprávu lze vytvořit až po úspěšném celkovém testu.";

// Without a record (no overall test since the start, or the last one stopped with an error)
// shows kNoReportYet and writes nothing. Otherwise asks for a file name through the owner's
// "SaveDialog2" and writes the PDF there atomically; cancelling writes nothing. The two
// overall charts are drawn at their views' sizes with their zoom and label boxes, each
// deviation chart at the size of the main window's chart.
void saveRoundReport(QWidget* owner, const OverallRecord* record,
                     const ui::ChartView& overallView, const ui::ChartView& calibrationView,
                     const ui::ChartView& deviationView);

} // namespace vel
