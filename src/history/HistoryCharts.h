#pragma once
// The two charts of an instrument's history, drawn by the chart layer: the circle and
// ellipse scores, and the four calibration scores, one point per round that has results,
// the rounds along the bottom axis by name, a line at 1 (the round's own limit). A point
// has the colour of that round's verdict: the test's in the first chart, the calibration's
// in the second. The lines join a score's points from round to round.

#include "history/InstrumentHistory.h"

#include "ui/ChartModel.h"

#include <QColor>
#include <QSize>

#include <memory>

namespace vel {

// The charts' size in the history window, which the reports draw them at too.
inline constexpr QSize kHistoryChartSize{880, 330};

// The colour of a verdict's points; grey for a text that is no verdict.
QColor testVerdictColor(const QString& verdict);
QColor calibrationVerdictColor(const QString& verdict);

std::unique_ptr<ui::ChartModel> testScoreChart(const InstrumentHistory& history);
std::unique_ptr<ui::ChartModel> calibrationScoreChart(const InstrumentHistory& history);

} // namespace vel
