// Storing a round: one transaction that removes the round it replaces, gives the sheets
// their participant codes and writes the round, its sheets and its results. Importing
// rounds from another archive: one transaction for all of them.
#include "archive/Archive.h"

#include "archive/ArchiveBackend.h"
#include "archive/ArchiveTables.h"
#include "archive/ParticipantCodes.h"

#include "data/Errors.h"

#include <QRandomGenerator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>

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
            codes.emplace_back(sql.readText(q.value(0)), q.value(1).toInt());
    }
    QSqlQuery q = sql.prepare(QStringLiteral("DELETE FROM rounds WHERE id = ?"));
    q.bindValue(0, id);
    sql.exec(q);
    return codes;
}

// Inserts rows into the table: its key columns (round_id, position or line) and `columns`;
// bind(query, first, i) binds row i's values after the key from position `first` on. As
// many rows a statement as the dialect says (a statement is a round trip to a server).
void insertRows(SqlSession& sql, const QString& table, const QString& position,
                const QStringList& columns, const QVariant& id, std::size_t rows,
                const std::function<void(QSqlQuery&, int, std::size_t)>& bind) {
    const int width = int(columns.size()) + 2;
    const std::size_t perStatement =
        std::max<std::size_t>(1, std::size_t(sql.dialect().valuesPerInsert / width));
    const QString row = QStringLiteral("(?, ?, %1)").arg(placeholders(columns));
    auto statement = [&](std::size_t n) {
        QStringList values;
        values.fill(row, qsizetype(n));
        return sql.prepare(
            QStringLiteral("INSERT INTO %1 (round_id, %2, %3) VALUES %4")
                .arg(table, position, columnList(columns), values.join(QStringLiteral(", "))));
    };
    std::optional<QSqlQuery> full;
    for (std::size_t from = 0; from < rows; from += perStatement) {
        const std::size_t n = std::min(perStatement, rows - from);
        std::optional<QSqlQuery> rest;
        if (n == perStatement && !full)
            full = statement(n);
        if (n < perStatement)
            rest = statement(n);
        QSqlQuery& q = n == perStatement ? *full : *rest;
        for (std::size_t i = 0; i < n; ++i) {
            const int first = int(i) * width;
            q.bindValue(first, id);
            q.bindValue(first + 1, qint64(from + i));
            bind(q, first + 2, from + i);
        }
        sql.exec(q);
    }
}

void insertSheets(SqlSession& sql, const QVariant& id, const std::vector<Sheet>& sheets) {
    insertRows(sql, QStringLiteral("sheets"), QStringLiteral("position"), sheetColumns(), id,
               sheets.size(), [&](QSqlQuery& q, int first, std::size_t i) {
                   bindSheet(sql, q, first, sheets[i]);
               });
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
    insertRows(sql, QStringLiteral("instrument_results"), QStringLiteral("position"),
               instrumentResultColumns(), id, results.instruments.size(),
               [&](QSqlQuery& q, int first, std::size_t i) {
                   bindInstrumentResult(sql, q, first, results.instruments[i]);
               });
    if (!sql.dialect().textArrays) {
        insertRows(sql, QStringLiteral("summary_lines"), QStringLiteral("line"),
                   {QStringLiteral("text")}, id, std::size_t(results.summary.size()),
                   [&](QSqlQuery& q, int first, std::size_t i) {
                       q.bindValue(first, sql.bindText(results.summary[qsizetype(i)]));
                   });
        return;
    }
    // Every element quoted, with its backslashes and quotation marks escaped.
    QString array = QStringLiteral("{");
    for (qsizetype i = 0; i < results.summary.size(); ++i) {
        QString text = sql.bindText(results.summary[i]).toString();
        text.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        if (i > 0)
            array += u',';
        array += u'"' + text + u'"';
    }
    array += u'}';
    QSqlQuery q = sql.prepare(QStringLiteral(
        "INSERT INTO summary_lines (round_id, line, text) SELECT ?, u.n - 1, u.t "
        "FROM unnest(CAST(? AS {text}[])) WITH ORDINALITY AS u(t, n)"));
    q.bindValue(0, id);
    q.bindValue(1, array);
    sql.exec(q);
}

// Writes the round with its sheets and results; returns its key.
QVariant insertRound(SqlSession& sql, const Round& round, const QString& archiveName) {
    QVariant id;
    {
        QSqlQuery q =
            sql.prepare(QStringLiteral("INSERT INTO rounds (%1) VALUES (%2) RETURNING id")
                            .arg(columnList(roundColumns()), placeholders(roundColumns())));
        bindRound(sql, q, 0, round);
        sql.exec(q);
        if (!sql.next(q))
            throw AppError(QStringLiteral("Chyba archivu kol „%1“: nový řádek kola nemá klíč")
                               .arg(archiveName));
        id = q.value(0);
    }
    insertSheets(sql, id, round.sheets);
    if (round.results)
        insertResults(sql, id, *round.results);
    return id;
}

// The key of the round stored under the name; invalid when there is none.
QVariant roundKey(SqlSession& sql, const QString& name) {
    QSqlQuery q = sql.prepare(QStringLiteral("SELECT id FROM rounds WHERE name = ?"));
    q.bindValue(0, sql.bindText(name));
    sql.exec(q);
    return sql.next(q) ? q.value(0) : QVariant();
}

QString alreadyStored(const QString& name, const QString& archiveName) {
    return QStringLiteral("Kolo „%1“ už v archivu kol „%2“ je").arg(name, archiveName);
}

} // namespace

Round Archive::store(const Round& given, IfStored ifStored) {
    check(given);
    open(OpenFor::Writing);
    SqlSession& sql = m_backend->sql();
    const QString archiveName = m_backend->archiveName();
    Round round;
    retryConflicts(
        QStringLiteral("Kolo „%1“ nelze uložit do archivu kol „%2“").arg(given.name, archiveName),
        [&] {
            round = given;
            Transaction writing(sql, Transaction::Kind::Write);
            const QVariant replaced = roundKey(sql, round.name);
            std::vector<std::pair<QString, int>> previous;
            if (replaced.isValid()) {
                if (ifStored == IfStored::Refuse)
                    throw AppError(alreadyStored(round.name, archiveName));
                previous = removeReplaced(sql, replaced);
            }
            assignParticipantCodes(round.sheets, previous, round.name, *QRandomGenerator::global());
            round.storedAt = readStoredAt(QDateTime::currentMSecsSinceEpoch());
            insertRound(sql, round, archiveName);
            writing.commit();
        });
    m_backend->written();
    return round;
}

void Archive::importRounds(const QStringList& names,
                           const std::function<Round(const QString&)>& source) {
    open(OpenFor::Writing);
    SqlSession& sql = m_backend->sql();
    const QString archiveName = m_backend->archiveName();
    retryConflicts(QStringLiteral("Kola nelze uložit do archivu kol „%1“").arg(archiveName), [&] {
        Transaction writing(sql, Transaction::Kind::Write);
        for (const QString& name : names)
            if (roundKey(sql, name).isValid())
                throw AppError(alreadyStored(name, archiveName));
        for (const QString& name : names) {
            Round round = source(name);
            check(round);
            // Codes come along; a sheet without one (none in an archive) gets a free one.
            assignParticipantCodes(round.sheets, {}, round.name, *QRandomGenerator::global());
            insertRound(sql, round, archiveName);
        }
        writing.commit();
    });
    m_backend->written();
}

int copyArchive(const ArchiveLocation& from, const ArchiveLocation& to) {
    Archive source(from);
    QStringList names;
    // The oldest first, so that the copies' keys follow the order of storing too.
    for (const RoundListing& l : source.list())
        names.prepend(l.name);
    Archive(to).importRounds(names, [&source](const QString& name) { return source.load(name); });
    return int(names.size());
}

} // namespace vel
