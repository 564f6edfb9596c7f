#pragma once
// An instrument's results of different rounds on one scale. Each round has its own centre
// and limits, so the errors of two rounds do not compare; the scores below do: each is the
// instrument's figure against the round's own limit, 1 being the limit, computed from the
// results stored with the round (nothing is computed again from the sheets' texts).
//
//   circle   dist / R, dist = √((d − M)² + (s − Med)²): above 1 is "nevyhověl";
//   ellipse  √((d − M)² / a² + (s − Med)² / b²): above 1 is outside the ellipse;
//   E / CE, Q / CQ against the confidence limits: either above 1 is "odlehlý";
//   E / LE, Q / LQ against the random-error limits: both below 1 is "výborný".
//
// A score is above 1 exactly where the overall test found the figure above its limit, and
// exactly 1 where it found them equal, however the division rounds: the overall test
// compares the figure with the limit, and its verdicts are what a score has to agree with.

#include "archive/ArchiveRecords.h"

#include <QDate>
#include <QString>

#include <array>
#include <optional>
#include <vector>

namespace vel {

enum ScoreKind : int { kCircleScore, kEllipseScore, kScoreCE, kScoreCQ, kScoreLE, kScoreLQ };
inline constexpr int kScoreKinds = 6;

// A score of one round, or why the round has none: its limit is zero ("R = 0"), or the
// round has no results of the overall test.
struct Score {
    std::optional<double> value;
    QString missing;

    bool operator==(const Score&) const = default;
};
using Scores = std::array<Score, kScoreKinds>;

// "kruh d/R", "elipsa", "E/CE", "Q/CQ", "E/LE", "Q/LQ".
QString scoreTitle(int kind);

// The six scores of one instrument's result in a round of these figures.
Scores scoresOf(const RoundResults& figures, const InstrumentResult& result);
// All six left out: the round has no results.
Scores noScores();

// The order of the rounds: by the test date where it reads as a date (d.m.yyyy, blanks
// after the dots and leading zeros allowed, or yyyy-mm-dd), otherwise by the day the round
// was stored; on the same day by the time of storing, a round not stored yet (a null time)
// after every stored one; then by name, then by the sheet's place.
std::optional<QDate> parseTestDate(const QString& text);
bool roundBefore(const InstrumentRound& a, const InstrumentRound& b);

// The rules for a drift, applied to the latest rounds that have results:
//  - a score rose in each of the last three rounds: the last four rounds with results all
//    have that score and each of the last three is strictly higher than the one before;
//  - the last two rounds with results both ended other than "vyhověl" (the test), or
//    other than "výborný" or "dobrý" (the calibration).
// What each finds, as plain Czech lines; none when nothing is found.
struct HistoryPoint {
    Scores scores;
    QString testVerdict, calibrationVerdict;
};
QStringList testDrift(const std::vector<HistoryPoint>& rounds);
QStringList calibrationDrift(const std::vector<HistoryPoint>& rounds);
// What the rules mean, for the window and the reports.
QString testDriftRules();
QString calibrationDriftRules();

// A score with three decimals and the given separator; the reason when there is none.
QString scoreText(const Score& score, QChar decimalSeparator);

} // namespace vel
