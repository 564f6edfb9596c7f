#include "history/InstrumentHistory.h"

#include "archive/Archive.h"
#include "data/CsvRows.h"

#include <QHash>
#include <QLocale>

#include <algorithm>

namespace vel {

namespace {

HistoryEntry entryOf(InstrumentRound r) {
    HistoryEntry e{std::move(r), noScores()};
    if (const InstrumentResult* result = e.result())
        e.scores = scoresOf(*e.round.results, *result);
    return e;
}

void sortEntries(std::vector<InstrumentRound>& rounds) {
    std::sort(rounds.begin(), rounds.end(), roundBefore);
}

} // namespace

std::vector<HistoryPoint> InstrumentHistory::points() const {
    std::vector<HistoryPoint> out;
    for (const HistoryEntry& e : entries)
        if (const InstrumentResult* r = e.result())
            out.push_back({e.scores, r->testVerdict, r->calibrationVerdict});
    return out;
}

QString InstrumentHistory::label(std::size_t i) const {
    const InstrumentRound& r = entries.at(i).round;
    const auto same = std::count_if(entries.begin(), entries.end(), [&](const HistoryEntry& e) {
        return e.round.round == r.round;
    });
    return same > 1 ? QStringLiteral("%1, list %2").arg(r.round).arg(r.position + 1) : r.round;
}

QString identifierKey(const QString& id) {
    QString key;
    for (QChar c : id)
        if (!c.isSpace())
            key += c;
    return key.toCaseFolded();
}

InstrumentHistory makeHistory(const QString& id, std::vector<InstrumentRound> rounds,
                              const std::vector<InstrumentListing>& all) {
    InstrumentHistory h;
    h.id = id;
    sortEntries(rounds);
    for (InstrumentRound& r : rounds)
        h.entries.push_back(entryOf(std::move(r)));
    const QString key = identifierKey(id);
    for (const InstrumentListing& l : all)
        if (l.instrumentId != id && identifierKey(l.instrumentId) == key)
            h.similar.push_back(l);
    return h;
}

InstrumentHistory readHistory(Archive& archive, const QString& id) {
    std::vector<InstrumentRound> rounds = archive.instrumentRounds(id);
    return makeHistory(id, std::move(rounds), archive.instruments());
}

InstrumentHistory participantHistory(std::vector<InstrumentRound> archived, const Round& round,
                                     int sheet) {
    const Sheet& own = round.sheets.at(std::size_t(sheet));
    InstrumentRound current{round.name, round.testDate,      round.storedAt,
                            sheet,      own.participantCode, std::nullopt};
    if (round.results && std::size_t(sheet) < round.results->instruments.size()) {
        RoundResults& r = current.results.emplace(*round.results);
        r.summary.clear();
        r.instruments = {round.results->instruments[std::size_t(sheet)]};
    }
    std::erase_if(archived, [&](const InstrumentRound& r) { return r.round == round.name; });
    std::erase_if(archived, [&](const InstrumentRound& r) { return roundBefore(current, r); });
    QHash<QString, int> sheets;
    for (const InstrumentRound& r : archived)
        ++sheets[r.round];
    QStringList ambiguous;
    std::erase_if(archived, [&](const InstrumentRound& r) {
        if (sheets.value(r.round) < 2)
            return false;
        if (!ambiguous.contains(r.round))
            ambiguous << r.round;
        return true;
    });
    archived.push_back(current);
    InstrumentHistory h = makeHistory(own.instrumentId(), std::move(archived), {});
    h.ambiguous = ambiguous;
    return h;
}

QString roundCount(int n) {
    const char* word = n == 1 ? "kolo" : n >= 2 && n <= 4 ? "kola" : "kol";
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(word));
}

QStringList historyColumnTitles() {
    QStringList t{QStringLiteral("kolo"),           QStringLiteral("datum testu"),
                  QStringLiteral("průměrná chyba"), QStringLiteral("směrodatná odchylka chyby"),
                  QStringLiteral("výsledek testu"), QStringLiteral("reziduální chyba Sy,x"),
                  QStringLiteral("1 − r²"),         QStringLiteral("kvalita kalibrace"),
                  QStringLiteral("varování")};
    for (int k = 0; k < kScoreKinds; ++k)
        t << scoreTitle(k);
    return t;
}

QString warningsText(const InstrumentResult& r) {
    QStringList w;
    if (r.blankWarning)
        w << QStringLiteral("slepý pokus");
    if (r.carryOverWarning)
        w << QStringLiteral("vliv přenosu");
    if (r.repeatabilityWarning)
        w << QStringLiteral("opakovatelnost");
    return w.join(QStringLiteral(", "));
}

QStringList historyRow(const InstrumentHistory& history, std::size_t i,
                       const std::function<QString(double)>& number, QChar decimalSeparator) {
    const HistoryEntry& e = history.entries.at(i);
    QStringList row{history.label(i), e.round.testDate};
    if (const InstrumentResult* r = e.result()) {
        row << number(r->d) << number(r->s) << r->testVerdict << number(r->E) << number(r->Q)
            << r->calibrationVerdict << warningsText(*r);
    } else {
        row << QStringLiteral("kolo bez výsledků celkového testu");
        for (int k = 0; k < 6; ++k)
            row << QString();
    }
    for (const Score& s : e.scores)
        row << scoreText(s, decimalSeparator);
    return row;
}

QByteArray historyCsv(const InstrumentHistory& history, QChar decimalSeparator) {
    QByteArray out("\xEF\xBB\xBF");
    addCsvRow(out, historyColumnTitles());
    // The shortest text that reads back to the same double, with the given separator.
    const auto number = [decimalSeparator](double v) {
        return QString::number(v, 'g', QLocale::FloatingPointShortest)
            .replace(u'.', decimalSeparator);
    };
    for (std::size_t i = 0; i < history.entries.size(); ++i) {
        QStringList row = historyRow(history, i, number, decimalSeparator);
        // The scores in full too.
        for (int k = 0; k < kScoreKinds; ++k)
            if (const std::optional<double>& v = history.entries[i].scores[k].value)
                row[row.size() - kScoreKinds + k] = number(*v);
        addCsvRow(out, row);
    }
    return out;
}

} // namespace vel
