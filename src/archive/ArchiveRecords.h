#pragma once
// What the archive of rounds keeps of one round: the sheets as their fields held them, the
// organiser's texts, the reference values and, once the overall test has run, its results.
// Plain values: nothing here refers to a window or a field, and a round loaded from the
// archive is exactly the round that was stored: every text character for character (line
// breaks, any Unicode, a NUL, which a field can get from an instrument file, included).

#include "data/SheetGeometry.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace vel {

// The fields of a sheet: the five header fields, then the 52 counts replicate-major
// (countIndex), as in the instrument file.
inline constexpr int kHeaderFields = 5;
inline constexpr int kSheetFields = kHeaderFields + kCounts;
enum HeaderField : int {
    kInstrumentIdField = 0, // "id stroje"
    kTimeField,             // "čas měření"
    kTemperatureField,      // "teplota"
    kReceivedField,         // "datum přijetí"
    kTestDateField,         // "datum testu"
};
// Index in Sheet::fields of the count of row r (1..13), replicate c (1..4).
constexpr int countField(int r, int c) {
    return kHeaderFields + countIndex(r, c);
}

// The lowest and highest participant code: three digits, so at most 900 sheets a round.
inline constexpr int kFirstParticipantCode = 100;
inline constexpr int kLastParticipantCode = 999;

struct Sheet {
    QString caption;                          // the tab's caption
    std::array<QString, kSheetFields> fields; // the texts exactly as the fields hold them
    int participantCode = 0;                  // 100..999; 0 until the archive gives one

    QString& field(int i) { return fields[i]; }
    const QString& field(int i) const { return fields[i]; }
    const QString& instrumentId() const { return fields[kInstrumentIdField]; }

    bool operator==(const Sheet&) const = default;
};

enum class RoundStatus { Preliminary, Final };

// "předběžná" or "konečná".
QString roundStatusText(RoundStatus status);

// What the provider of the proficiency test says about the round.
struct RoundInfo {
    QString provider;        // name and address of the provider, several lines
    QString coordinator;     // who coordinates the round
    QString samples;         // description of the samples
    QString referenceOrigin; // how the reference values were obtained, with their uncertainty
    QString advice;          // comment with advice to the participants
    RoundStatus status = RoundStatus::Preliminary;
    QDate issueDate; // null while not issued

    bool operator==(const RoundInfo&) const = default;
};

// One instrument's results of the overall test.
struct InstrumentResult {
    double d = 0; // mean error
    double s = 0; // error standard deviation
    double E = 0; // residual standard error Sy,x
    double Q = 0; // 1 - r^2
    QString testVerdict;
    QString calibrationVerdict;
    bool blankWarning = false;
    bool repeatabilityWarning = false;
    bool carryOverWarning = false;

    bool operator==(const InstrumentResult&) const = default;
};

// The results of the overall test of a round. The archive keeps every real bit for bit but
// one: a negative zero comes back as zero (SQLite keeps a whole-numbered real as an
// integer). The overall test never yields one: its sums of integers and its differences of
// equal values are +0. Nor does it yield a NaN or an infinity, which the archive refuses.
struct RoundResults {
    double M = 0, Med = 0;                 // centre: mean of the errors, median of the deviations
    double R = 0;                          // radius of the circle
    double a = 0, b = 0;                   // semi-axes of the ellipse
    double CE = 0, CQ = 0, LE = 0, LQ = 0; // calibration limits
    QStringList summary;                   // the summary pane's lines
    std::vector<InstrumentResult> instruments; // one per sheet, in tab order

    bool operator==(const RoundResults&) const = default;
};

struct Round {
    QString name; // unique in the archive, free text such as "2026/2"
    RoundInfo info;
    std::array<QString, 10> references; // the reference fields' texts
    QString testDate;                   // the round's test date, for the list of rounds
    std::vector<Sheet> sheets;          // in tab order
    std::optional<RoundResults> results;
    QDateTime storedAt;     // set by the archive when storing, UTC, to the millisecond
    QString programVersion; // of the program that stored it

    bool operator==(const Round&) const = default;
};

// A line of the list of rounds.
struct RoundListing {
    QString name;
    QString testDate;
    int instruments = 0;
    bool hasResults = false;
    RoundStatus status = RoundStatus::Preliminary;
    QDateTime storedAt;

    bool operator==(const RoundListing&) const = default;
};

// An "id stroje" of the archive's sheets and the number of rounds that have it.
struct InstrumentListing {
    QString instrumentId;
    int rounds = 0;

    bool operator==(const InstrumentListing&) const = default;
};

// One sheet of an instrument in a stored round, with what the instrument's history needs of
// its round: the round's name, test date and time of storing, and, when the round has
// results, its figures with this sheet's result alone (results->instruments holds that one
// result, results->summary nothing).
struct InstrumentRound {
    QString round;
    QString testDate;
    QDateTime storedAt;
    int position = 0; // the sheet's place in tab order, from 0
    int participantCode = 0;
    std::optional<RoundResults> results;

    bool operator==(const InstrumentRound&) const = default;
};

} // namespace vel
