#pragma once
// What the results of an overall test mean, in plain Czech, for the reports: each verdict
// with the region of its chart and the limit that decided it, each warning with its value
// and its limit, the round's figures with what they are, and an instrument's ten samples.
//
// These are the program's own explanations and say what it computes. Where the summary
// pane's fixed lines put it otherwise (the ellipse's semi-axes as
// "mean_value(...)/2*0.95", 1 - r^2 as a reciprocal), the pane's lines stay as they are
// and these texts say what is computed: half the range times 0.95, and the complement of
// the coefficient of determination.

#include "report/PageFlow.h"

#include <QString>
#include <QStringList>

#include <array>
#include <vector>

namespace vel {

struct InstrumentOutcome;
struct OverallRecord;

// The unit of the counts, the errors and Sy,x: thousands of cells per millilitre.
inline const char* const kCountUnit = "tis. buněk/ml";

// The test verdict and the calibration verdict of an instrument, each with what it means
// for this instrument: where its point lies in its chart and against which limit.
QString testVerdictMeaning(const OverallRecord& record, int instrument);
QString calibrationVerdictMeaning(const OverallRecord& record, int instrument);

// Each warning the instrument raised, with its value and its limit, such as
// "vliv přenosu 2,42 % > 2 %"; empty when it raised none.
QStringList warningTexts(const InstrumentOutcome& o);

// An instrument's box at the head of its results: both verdicts, each with what it means
// for this instrument, then each warning with its value and its limit (or that there is
// none).
std::vector<page::Flow::BoxLine> verdictBox(const OverallRecord& record, int instrument);

// What each verdict and each warning means in general, for the section "Význam hodnocení":
// a term and its meaning.
struct TermLine {
    QString term;
    QString meaning;
};
std::vector<TermLine> verdictTerms();
std::vector<TermLine> warningTerms();

// The round's figures: centre, radius, semi-axes and the four calibration limits.
struct FigureLine {
    QString name;
    QString value;
    QString meaning;
};
std::vector<FigureLine> roundFigures(const OverallRecord& record);
// The same as lines of a report: "name: value – meaning".
void roundFigureLines(page::Flow& flow, const OverallRecord& record);

// One sample of an instrument: its reference value, the mean of the instrument's four
// readings, the mean less the reference value, and the sample standard deviation of the
// four readings.
struct SampleRow {
    double reference = 0;
    double mean = 0;
    double difference = 0;
    double sd = 0;
};
std::array<SampleRow, 10> sampleRows(const OverallRecord& record, int instrument);

// A value judged against a limit, in the general 3-digit format, with more digits where
// three would show it equal to the limit ("2,004" rather than "2" against 2).
QString valueAgainst(double value, double limit);

} // namespace vel
