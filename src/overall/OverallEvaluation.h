#pragma once
// The overall test of all loaded instruments (Button8Click of the main window): the four
// single-instrument evaluations of every sheet in summary mode, then the comparison of the
// instruments by their errors against the reference values (circle and ellipse chart,
// Form3) and by the quality of their calibration (regression chart, Form5).
//
// The figures are computed by the plain functions below, so that they can be checked
// apart from the windows; overallTest() runs them in the order of the click and writes
// the chart, the verdicts and the summary lines in between. Every floating-point fault
// raises the program's error; whatever was written before it stays written.

#include "eval/Regression.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

namespace vel {

struct CalibrationChart;
struct OverallChart;
struct OverallRecord;
class Workspace;

// Button8Click: the overall test followed by the calibration-quality evaluation, drawn in
// Form3's and Form5's charts. When record is given it is filled as the test goes
// (OverallRecord.h); it is complete only when the test returns without an error.
void overallTest(Workspace& ws, OverallChart& overall, CalibrationChart& calibration,
                 OverallRecord* record = nullptr);

// ---- Errors against the reference values

// Mean error d (the sum over the constant 40) and sample standard deviation s of the 40
// errors of one instrument, sample-major (sample 1 replicates 1..4, sample 2, ...).
struct InstrumentError {
    double d = 0;
    double s = 0;
};
InstrumentError instrumentError(const std::array<std::int64_t, 40>& errors);

// The figures across instruments, filled in two stages as the click needs them.
struct OverallFigures {
    std::vector<double> D, S;
    // Centre and Interval 2 (the ellipse).
    double M = 0, Med = 0;     // mean of D, median of S
    double a = 0, b = 0;       // semi-axes: 0.95 times half the spread of D and of S
    double avgD = 0, avgS = 0; // the point [avg(d),avg(sd)]
    // Interval 1 (the circle) and the horizontal axis.
    double sigmaD = 0, sigmaS = 0;
    double R = 0;
    double axisMin = 0, axisMax = 0;
};
void computeCentre(OverallFigures& f); // M, Med, a, b, avgD, avgS from D and S
void computeCircle(OverallFigures& f); // sigmaD, sigmaS, R and the axis range
OverallFigures computeOverall(const std::vector<double>& D, const std::vector<double>& S);

// "vyhověl", "s výhradami" (strictly outside the ellipse) or "nevyhověl" (strictly outside
// the circle, whatever the ellipse says).
QString testVerdict(const OverallFigures& f, double d, double s);

// ---- Calibration quality

// Fit of the reference values on the instrument's readings (40 pairs, x the reading, y the
// reference value): E the residual standard error Sy,x, Q = 1 - r^2.
struct CalibrationFit {
    double slope = 0, intercept = 0, determination = 0;
    double E = 0, Q = 0;
};
CalibrationFit calibrationFit(const std::array<RegressionPair, 40>& pairs);

struct CalibrationFigures {
    std::vector<double> E, Q;
    double meanE = 0, meanQ = 0, sigmaE = 0, sigmaQ = 0;
    double LE = 0, LQ = 0;     // random-error limits: mean + 3 sd / sqrt(40)
    double CE = 0, CQ = 0;     // 95 % confidence limits: mean + 1.65 sd
    double xMax = 0, yMax = 0; // ends of the axes, 10 % above the largest value
};
CalibrationFigures computeCalibration(const std::vector<double>& E, const std::vector<double>& Q);

// "výborný", "dobrý", "vyhověl" or "odlehlý"; all comparisons strict.
QString calibrationVerdict(const CalibrationFigures& f, double E, double Q);

} // namespace vel
