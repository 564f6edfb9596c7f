#pragma once
// One instrument's history across the rounds of the archive: a row per round that has a
// sheet of its identifier, in the order of the rounds (roundBefore), with the round's
// results for that sheet and the scores that compare across rounds (HistoryScores.h). An
// identifier is matched exactly as written; identifiers that differ from it only in case
// or blanks are listed beside it, so that a renamed instrument is seen.
//
// The table is the same in the window, the reports and the spreadsheet file: the round's
// name and test date, mean error, error standard deviation, test verdict, Sy,x, 1 − r²,
// calibration verdict, warnings and the six scores.

#include "archive/ArchiveRecords.h"
#include "history/HistoryScores.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace vel {

class Archive;

struct HistoryEntry {
    InstrumentRound round;
    Scores scores; // noScores() without results
    // The sheet's result; null when the round has no results.
    const InstrumentResult* result() const {
        return round.results && !round.results->instruments.empty()
                   ? &round.results->instruments.front()
                   : nullptr;
    }
};

struct InstrumentHistory {
    QString id;
    std::vector<HistoryEntry> entries;      // in the order of the rounds
    std::vector<InstrumentListing> similar; // the same but for case or blanks
    // Earlier rounds left out of a participant's history because the identifier is on more
    // than one of their sheets: which of them was the participant's is not known.
    QStringList ambiguous;

    // The entries that have results, as the drift rules take them.
    std::vector<HistoryPoint> points() const;
    // The name of entry i's round; ", list N" added where the round has the identifier on
    // more than one sheet.
    QString label(std::size_t i) const;
};

// The history of `id` from its sheets in the archive (in any order); `all` the archive's
// identifiers, for the similar ones.
InstrumentHistory makeHistory(const QString& id, std::vector<InstrumentRound> rounds,
                              const std::vector<InstrumentListing>& all);
// The same read from the archive.
InstrumentHistory readHistory(Archive& archive, const QString& id);

// The history that the report of sheet `sheet` of `round` shows: the archived rounds of its
// identifier up to and including this round, which counts as the round given (stored or
// about to be) rather than as archived under its name. Nothing later, no similar
// identifiers, no earlier round with the identifier on several sheets: they may be other
// participants'.
InstrumentHistory participantHistory(std::vector<InstrumentRound> archived, const Round& round,
                                     int sheet);

// The identifier with its blanks removed and its case folded: equal for near-duplicates.
QString identifierKey(const QString& id);

// "1 kolo", "3 kola", "12 kol".
QString roundCount(int n);

QStringList historyColumnTitles();
// Entry i's row; number writes the results' reals, scores have three decimals.
QStringList historyRow(const InstrumentHistory& history, std::size_t i,
                       const std::function<QString(double)>& number, QChar decimalSeparator);
// The warnings of a result in words, "" when there are none.
QString warningsText(const InstrumentResult& result);

// The table as a spreadsheet file, as the results table is written (ResultCsv.h): a header
// row, a row per round, semicolons, CR LF, UTF-8 with a byte-order mark, reals in full.
QByteArray historyCsv(const InstrumentHistory& history, QChar decimalSeparator);

} // namespace vel
