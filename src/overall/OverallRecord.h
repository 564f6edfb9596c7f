#pragma once
// What one overall test left behind, kept for the round report: the figures it computed,
// the verdicts and warnings of every instrument, the summary pane as it wrote it, each
// instrument's deviation chart as its linearity check drew it, and the two overall charts.
// The overall test fills a record as it goes; the caller keeps it only when the test
// finished without an error. Nothing in it refers to the windows or the fields, so later
// edits do not reach it.

#include "eval/DeviationChart.h"
#include "eval/Evaluations.h"
#include "overall/OverallCharts.h"
#include "overall/OverallEvaluation.h"

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace vel {

struct InstrumentOutcome {
    QString id;       // "id stroje" at the end of the test
    QString testDate; // "datum testu" at the end of the test

    // The overall test: mean error, error standard deviation, test verdict.
    double d = 0, s = 0;
    QString testVerdict;
    // Calibration quality: residual standard error Sy,x, 1 - r^2, calibration verdict.
    double E = 0, Q = 0;
    QString calibrationVerdict;

    // The warnings its evaluations raised (message boxes outside summary mode), with the
    // values they were judged by: the blanks' midrange and largest value, the pairs of the
    // repeatability above their limits (of 60) and the carry-over in per cent.
    BlankWarnings blank;
    bool repeatabilityWarning = false;
    int repeatabilityPairsOver = 0;
    bool carryOverWarning = false;
    double carryOverPercent = 0;
    bool blankWarning() const { return blank.meanExceeds || blank.singleExceeds; }

    // Its 40 sample readings as the overall test read them: sample 1 replicates 1..4,
    // sample 2, ...
    std::array<std::int64_t, 40> readings{};

    // Its block of the summary pane: lines [blockFirst, blockEnd).
    qsizetype blockFirst = 0, blockEnd = 0;
    // The deviation chart as its linearity check left it.
    std::unique_ptr<DeviationChart> deviation;
};

struct OverallRecord {
    std::array<std::int32_t, 10> references{};
    std::vector<InstrumentOutcome> instruments;
    OverallFigures overall;
    CalibrationFigures calibration;

    // The summary pane at the end of the test. After the instrument blocks come the lines of
    // the comparison of the errors, from errorLinesFirst, and those of the calibration
    // quality, from calibrationLinesFirst to the end.
    QStringList summary;
    qsizetype errorLinesFirst = 0;
    qsizetype calibrationLinesFirst = 0;

    // Copies of Form3's and Form5's charts at the end of the test.
    std::unique_ptr<OverallChart> overallChart;
    std::unique_ptr<CalibrationChart> calibrationChart;

    QStringList block(int instrument) const;
    QStringList errorLines() const;
    QStringList calibrationLines() const;

    // The round's test date (roundTestDate() of the sheets' "datum testu").
    QString roundTestDate() const;
};

// The test date of a round whose sheets hold these "datum testu" texts, in tab order: the
// most frequent one that is not blank, a tie going to the one met first; empty when none.
QString roundTestDate(const QStringList& testDates);

// Copies the data of a chart into another of the same definition: title, axes and the
// points and shapes of every series (appearance stays as the target defines it).
void copyChartData(const ui::ChartModel& from, ui::ChartModel& to);

} // namespace vel
