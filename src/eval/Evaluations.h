#pragma once
// The single-instrument evaluations of the current instrument sheet
// and the batch evaluation that runs all four in summary mode.
//
// Each is the body of its button's click handler. They read the fields' current texts
// through the Workspace at the moment of use, write the output panes, and raise
// vel::AppError on a field that does not convert or on a floating-point fault; they never
// catch errors: the caller's guard shows the error box. Whatever was written before the
// error stays written. Message boxes (Workspace::notify) appear only outside summary
// mode.
//
// Without a current instrument sheet (no sheet exists) every one of them does nothing.
//
// The blank check, the repeatability evaluation and the carry-over evaluation also give
// back which of their warnings the data raised. They raise them in both modes, though only
// outside summary mode does a message box show them; the overall test keeps them for the
// round report.

#include <QString>

namespace vel {

class Workspace;

// Blank check, Button2Click. meanExceeds: the midrange of the blanks above 3;
// singleExceeds: at least one blank above 8. The values they were judged by come with them.
struct BlankWarnings {
    bool meanExceeds = false;
    bool singleExceeds = false;
    double midrange = 0; // (largest + smallest) / 2 of the four blanks
    double largest = 0;  // the largest of the four blanks
};
BlankWarnings blankCheck(Workspace& ws);

// One replicate pair of the repeatability evaluation: reads reference value
// field s, writes the pair's line (and in summary mode its short line), adds d^2 to P and T
// and gives true when d exceeds the limit of the sample's level (the lines then end in
// "*"). a and b are the already converted counts of the pair.
bool CheckPairDifference(Workspace& ws, double& P, double& T, int a, int b, int s,
                         const QString& label);

// Repeatability evaluation, Button3Click. For every pair it converts the count
// of the pair's second replicate first, then the first one, then (in CheckPairDifference)
// the sample's reference value. The warning: more than 3 of the 60 pairs (more than 5 %)
// exceed their limits.
struct RepeatabilityResult {
    bool warning = false;
    int pairsOver = 0; // pairs above the limit of their level, of 60
};
RepeatabilityResult repeatability(Workspace& ws);

// Carry-over evaluation, Button5Click. The warning: the carry-over is above 2 %.
struct CarryOverResult {
    bool warning = false;
    double percent = 0; // the carry-over K in per cent
};
CarryOverResult carryOver(Workspace& ws);

// Linearity check, Button6Click: fills the deviation chart (title, Series2,
// Series3, Series4) and calls ws.chartsChanged() however it ends once it has begun.
void linearity(Workspace& ws);

// Batch evaluation, Button10Click: clears the summary pane, runs the four
// evaluations in summary mode, shows the summary window only when none failed, and
// switches summary mode off however it ends.
void batchEvaluation(Workspace& ws);

// The texts of the evaluations' message boxes; the blank check also writes its two as
// lines of the panes.
namespace texts {
inline const char* const kBlankMeanBox = "Střední hodnota vod přesahuje 3000 buněk/ml.";
inline const char* const kBlankSingleBox = "Slepý vzorek přesahuje limit.";
inline const char* const kRepeatabilityBox =
    "Rozdíl mezi výsledky je vetší než limity ve více než 5 % případů.";
inline const char* const kCarryOverBox = "Vliv přenosu je větší než 2 %.";
} // namespace texts

} // namespace vel
