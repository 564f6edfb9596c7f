// Storing a round: one transaction that removes the round it replaces, gives the sheets
// their participant codes and writes the round, its sheets and its results.
#include "archive/Archive.h"

#include "archive/ArchiveBackend.h"
#include "archive/ArchiveTables.h"
#include "archive/ParticipantCodes.h"

#include "data/Errors.h"

#include <QRandomGenerator>

#include <cmath>

namespace vel {

namespace {

void check(const Round& round) {
    if (round.name.isEmpty())
        throw AppError(QStringLiteral("Kolo bez názvu nelze uložit do archivu"));
    if (!round.results)
        return;
    const RoundResults& r = round.results.value();
    if (r.instruments.size() != round.sheets.size())
        throw AppError(QStringLiteral("Výsledky kola „%1“ nepatří k jeho listům: listů je %2, "
                                      "výsledků přístrojů %3")
                           .arg(round.name, QString::number(round.sheets.size()),
                                QString::number(r.instruments.size())));
    // SQLite would keep NaN as NULL; the overall test never leaves one, nor an infinity.
    bool finite = true;
    for (double v : {r.M, r.Med, r.R, r.a, r.b, r.CE, r.CQ, r.LE, r.LQ})
        finite = finite && std::isfinite(v);
    for (const InstrumentResult& i : r.instruments)
        for (double v : {i.d, i.s, i.E, i.Q})
            finite = finite && std::isfinite(v);
    if (!finite)
        throw AppError(QStringLiteral("Výsledky kola „%1“ obsahují hodnotu, která není konečné "
                                      "číslo")
                           .arg(round.name));
}

// The "id stroje" and code of each sheet of the round stored under the name, and removes
// that round; nothing when there is none.
std::vector<std::pair<QString, int>> removeReplaced(SqlSession& sql, const QVariant& id) {
    std::vector<std::pair<QString, int>> codes;
    {
        QSqlQuery q = sql.prepare(QStringLiteral("SELECT instrument_id, participant_code FROM "
                                                 "sheets WHERE round_id = ? ORDER BY position"));
        q.bindValue(0, id);
        sql.exec(q);
        while (sql.next(q))
            codes.emplace_back(q.value(0).toString(), q.value(1).toInt());
    }
    QSqlQuery q = sql.prepare(QStringLiteral("DELETE FROM rounds WHERE id = ?"));
    q.bindValue(0, id);
    sql.exec(q);
    return codes;
}

void insertSheets(SqlSession& sql, const QVariant& id, const std::vector<Sheet>& sheets) {
    QSqlQuery q =
        sql.prepare(QStringLiteral("INSERT INTO sheets (round_id, position, %1) VALUES (?, ?, %2)")
                        .arg(columnList(sheetColumns()), placeholders(sheetColumns())));
    q.bindValue(0, id);
    for (std::size_t i = 0; i < sheets.size(); ++i) {
        q.bindValue(1, qint64(i));
        bindSheet(q, 2, sheets[i]);
        sql.exec(q);
    }
}

void insertResults(SqlSession& sql, const QVariant& id, const RoundResults& results) {
    {
        QSqlQuery q = sql.prepare(
            QStringLiteral("INSERT INTO round_results (round_id, %1) "
                           "VALUES (?, %2)")
                .arg(columnList(roundResultColumns()), placeholders(roundResultColumns())));
        q.bindValue(0, id);
        bindRoundResults(q, 1, results);
        sql.exec(q);
    }
    {
        QSqlQuery q = sql.prepare(
            QStringLiteral("INSERT INTO instrument_results (round_id, position, %1) VALUES (?, ?, "
                           "%2)")
                .arg(columnList(instrumentResultColumns()),
                     placeholders(instrumentResultColumns())));
        q.bindValue(0, id);
        for (std::size_t i = 0; i < results.instruments.size(); ++i) {
            q.bindValue(1, qint64(i));
            bindInstrumentResult(q, 2, results.instruments[i]);
            sql.exec(q);
        }
    }
    QSqlQuery q = sql.prepare(
        QStringLiteral("INSERT INTO summary_lines (round_id, line, text) VALUES (?, ?, ?)"));
    q.bindValue(0, id);
    for (qsizetype i = 0; i < results.summary.size(); ++i) {
        q.bindValue(1, qint64(i));
        q.bindValue(2, textValue(results.summary[i]));
        sql.exec(q);
    }
}

} // namespace

Round Archive::store(const Round& given, IfStored ifStored) {
    check(given);
    Round round = given;
    open(OpenFor::Writing);
    SqlSession& sql = m_backend->sql();
    Transaction writing(sql, Transaction::Kind::Write);
    QVariant replaced;
    {
        QSqlQuery q = sql.prepare(QStringLiteral("SELECT id FROM rounds WHERE name = ?"));
        q.bindValue(0, textValue(round.name));
        sql.exec(q);
        if (sql.next(q))
            replaced = q.value(0);
    }
    std::vector<std::pair<QString, int>> previous;
    if (replaced.isValid()) {
        if (ifStored == IfStored::Refuse)
            throw AppError(QStringLiteral("Kolo „%1“ už v archivu kol „%2“ je")
                               .arg(round.name, m_backend->archiveName()));
        previous = removeReplaced(sql, replaced);
    }
    assignParticipantCodes(round.sheets, previous, round.name, *QRandomGenerator::global());
    round.storedAt = readStoredAt(QDateTime::currentMSecsSinceEpoch());
    QVariant id;
    {
        QSqlQuery q =
            sql.prepare(QStringLiteral("INSERT INTO rounds (%1) VALUES (%2) RETURNING id")
                            .arg(columnList(roundColumns()), placeholders(roundColumns())));
        bindRound(q, 0, round);
        sql.exec(q);
        if (!sql.next(q))
            throw AppError(QStringLiteral("Chyba archivu kol „%1“: nový řádek kola nemá klíč")
                               .arg(m_backend->archiveName()));
        id = q.value(0);
    }
    insertSheets(sql, id, round.sheets);
    if (round.results)
        insertResults(sql, id, *round.results);
    writing.commit();
    m_backend->written();
    return round;
}

} // namespace vel
