#pragma once
// The two overall charts as one participant sees them: every instrument's point where the
// overall test put it, the participant's own in a colour and a size of its own and
// labelled with its identifier, every other labelled with its participant code only. The
// charts are new models filled from the record's figures, so that no other instrument's
// identifier (nor tab caption) reaches them.

#include "overall/OverallCharts.h"
#include "report/ReportPdf.h"

#include <QColor>
#include <QString>

#include <memory>
#include <vector>

namespace vel {

struct OverallRecord;

// The participant's own point: blue, larger than the others.
inline const QColor kOwnPointColor(0, 0, 255);
inline constexpr int kOwnPointSize = 7; // half size in pixels; the others have 4

struct ParticipantCharts {
    std::unique_ptr<OverallChart> overall;
    std::unique_ptr<CalibrationChart> calibration;
    ui::Series* overallOwn = nullptr; // the participant's point in each chart
    ui::Series* calibrationOwn = nullptr;
};

// The charts for instrument `own`: codes[i] is instrument i's participant code; ownLabel
// labels the participant's point. The record must hold both charts.
ParticipantCharts participantCharts(const OverallRecord& record, const std::vector<int>& codes,
                                    int own, const QString& ownLabel);

// Lays out the calibration-quality chart at the picture's size and moves its overlapping
// labels apart as "uspořádat" does, the participant's label taking part as the last one, so
// that it stays where it is drawn and the others move away from it.
void arrangeParticipantLabels(const ParticipantCharts& charts, ChartPicture& picture,
                              const QFont& font);

} // namespace vel
