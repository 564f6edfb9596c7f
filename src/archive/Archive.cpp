// Opening an archive, and the statements that read rounds and remove them; storing is in
// ArchiveStore.cpp. The SQL here is the same for every kind of database.
#include "archive/Archive.h"

#include "archive/ArchiveBackend.h"
#include "archive/ArchiveTables.h"

#include "data/Errors.h"

#include <algorithm>

namespace vel {

std::unique_ptr<ArchiveBackend> makeArchiveBackend(const ArchiveLocation& location) {
    if (location.kind == ArchiveKind::SqliteFile)
        return makeSqliteBackend(location);
    return makePostgresBackend(location);
}

Archive::Archive(const ArchiveLocation& location) : Archive(location, archiveSchema()) {}

Archive::Archive(const ArchiveLocation& location, std::vector<SchemaStep> schema)
    : m_location(location), m_schema(std::move(schema)), m_backend(makeArchiveBackend(location)) {}

Archive::~Archive() = default;

int Archive::open(OpenFor mode) {
    // A connection that a server stopped or lost is made anew, the archive looked at again.
    if (m_open && (m_backend->sql().lost() || !m_backend->stillConnected()))
        m_open = m_canWrite = m_readyToWrite = false;
    if (m_open && mode == OpenFor::Reading)
        return m_version;
    if (m_readyToWrite) {
        m_backend->checkBeforeWriting(); // another program may have written since
        return m_version;
    }
    const int current = m_schema.empty() ? 0 : m_schema.back().version;
    if (!m_open) {
        const std::optional<int> found = m_backend->inspect();
        m_missing = !found;
        if (found && *found > current)
            throw AppError(newerArchiveMessage(m_backend->archiveName(), *found, current));
        if (mode == OpenFor::Reading) {
            if (!found || *found == 0)
                return 0; // nothing to read, and nothing made; looked at again next time
            // An archive that can be written is read through a connection for writing too:
            // SQLite removes the log files beside it only when such a connection closes.
            const QString reason = m_backend->whyNotWritable();
            if (!reason.isEmpty() && *found < current)
                throw AppError(QStringLiteral("Archiv kol „%1“ má verzi %2, kterou je třeba "
                                              "převést na verzi %3, ale nelze: %4")
                                   .arg(m_backend->archiveName(), QString::number(*found),
                                        QString::number(current), reason));
            if (!reason.isEmpty() || *found == current) {
                if (reason.isEmpty())
                    m_backend->connectForWriting(m_schema);
                m_open = true;
                m_canWrite = reason.isEmpty();
                return m_version = current;
            }
        }
    }
    if (!m_open || !m_canWrite) {
        m_open = false;
        m_backend->connectForWriting(m_schema);
        m_open = m_canWrite = true;
    }
    // Nothing is written into a damaged archive, a migration included.
    m_backend->checkBeforeWriting();
    migrateSchema(*m_backend, m_schema);
    m_backend->written();
    m_readyToWrite = true;
    m_missing = false;
    return m_version = current;
}

void Archive::requireArchive() const {
    if (m_missing && !m_location.makeFolder)
        throw AppError(QStringLiteral("Archiv kol „%1“ neexistuje; vznikne prvním uložením kola.")
                           .arg(m_backend->archiveName()));
}

QString Archive::notFound(const QString& name) const {
    return QStringLiteral("Kolo „%1“ v archivu kol „%2“ není").arg(name, m_backend->archiveName());
}

std::vector<RoundListing> Archive::list() {
    std::vector<RoundListing> rounds;
    if (open(OpenFor::Reading) == 0) {
        requireArchive();
        return rounds;
    }
    SqlSession& sql = m_backend->sql();
    QSqlQuery q = sql.prepare(QStringLiteral(
        "SELECT r.name, r.test_date, "
        // The sheets are numbered from 0 on: the highest number tells their count from the
        // key's index alone, where counting them would visit each.
        "(SELECT coalesce(max(s.position) + 1, 0) FROM sheets s WHERE s.round_id = r.id), "
        "EXISTS (SELECT 1 FROM round_results x WHERE x.round_id = r.id), r.status, r.stored_at "
        "FROM rounds r ORDER BY r.stored_at DESC, r.name {binary}"));
    sql.exec(q);
    while (sql.next(q)) {
        RoundListing& l = rounds.emplace_back();
        l.name = sql.readText(q.value(0));
        l.testDate = sql.readText(q.value(1));
        l.instruments = q.value(2).toInt();
        l.hasResults = q.value(3).toBool();
        l.status = readStatus(q.value(4));
        l.storedAt = readStoredAt(q.value(5));
    }
    return rounds;
}

std::vector<InstrumentListing> Archive::instruments() {
    std::vector<InstrumentListing> ids;
    if (open(OpenFor::Reading) == 0) {
        requireArchive();
        return ids;
    }
    SqlSession& sql = m_backend->sql();
    QSqlQuery q = sql.prepare(QStringLiteral(
        "SELECT instrument_id, count(DISTINCT round_id) FROM sheets GROUP BY instrument_id"));
    sql.exec(q);
    while (sql.next(q))
        ids.push_back({sql.readText(q.value(0)), q.value(1).toInt()});
    // The order of the texts themselves, whatever the database's collation.
    std::sort(ids.begin(), ids.end(), [](const InstrumentListing& a, const InstrumentListing& b) {
        return a.instrumentId < b.instrumentId;
    });
    return ids;
}

std::vector<InstrumentRound> Archive::instrumentRounds(const QString& id) {
    std::vector<InstrumentRound> rounds;
    if (open(OpenFor::Reading) == 0) {
        requireArchive();
        return rounds;
    }
    const auto prefixed = [](const QString& table, const QStringList& columns) {
        QStringList out;
        for (const QString& c : columns)
            out << table + u'.' + c;
        return columnList(out);
    };
    SqlSession& sql = m_backend->sql();
    QSqlQuery q = sql.prepare(
        QStringLiteral("SELECT r.name, r.test_date, r.stored_at, s.position, s.participant_code, "
                       "x.round_id IS NOT NULL, %1, %2 FROM sheets s "
                       "JOIN rounds r ON r.id = s.round_id "
                       "LEFT JOIN round_results x ON x.round_id = s.round_id "
                       "LEFT JOIN instrument_results i "
                       "ON i.round_id = s.round_id AND i.position = s.position "
                       "WHERE s.instrument_id = ? ORDER BY r.stored_at, r.name {binary}, s.position")
            .arg(prefixed(QStringLiteral("x"), roundResultColumns()),
                 prefixed(QStringLiteral("i"), instrumentResultColumns())));
    q.bindValue(0, sql.bindText(id));
    sql.exec(q);
    const int figures = 6, result = figures + int(roundResultColumns().size());
    while (sql.next(q)) {
        InstrumentRound& r = rounds.emplace_back();
        r.round = sql.readText(q.value(0));
        r.testDate = sql.readText(q.value(1));
        r.storedAt = readStoredAt(q.value(2));
        r.position = q.value(3).toInt();
        r.participantCode = q.value(4).toInt();
        if (q.value(5).toBool()) {
            readRoundResults(q, figures, r.results.emplace());
            r.results->instruments.push_back(readInstrumentResult(sql, q, result));
        }
    }
    return rounds;
}

bool Archive::contains(const QString& name) {
    if (open(OpenFor::Reading) == 0)
        return false;
    SqlSession& sql = m_backend->sql();
    QSqlQuery q = sql.prepare(QStringLiteral("SELECT 1 FROM rounds WHERE name = ?"));
    q.bindValue(0, sql.bindText(name));
    sql.exec(q);
    return sql.next(q);
}

Round Archive::load(const QString& name) {
    if (open(OpenFor::Reading) == 0) {
        requireArchive();
        throw AppError(notFound(name));
    }
    SqlSession& sql = m_backend->sql();
    // One transaction, so that a replace by another process cannot come between the reads.
    Transaction reading(sql, Transaction::Kind::Read);
    Round round;
    QVariant id;
    {
        QSqlQuery q = sql.prepare(QStringLiteral("SELECT id, %1 FROM rounds WHERE name = ?")
                                      .arg(columnList(roundColumns())));
        q.bindValue(0, sql.bindText(name));
        sql.exec(q);
        if (!sql.next(q))
            throw AppError(notFound(name));
        id = q.value(0);
        readRound(sql, q, 1, round);
    }
    {
        QSqlQuery q =
            sql.prepare(QStringLiteral("SELECT %1 FROM sheets WHERE round_id = ? ORDER BY position")
                            .arg(columnList(sheetColumns())));
        q.bindValue(0, id);
        sql.exec(q);
        while (sql.next(q))
            round.sheets.push_back(readSheet(sql, q, 0));
    }
    {
        QSqlQuery q = sql.prepare(QStringLiteral("SELECT %1 FROM round_results WHERE round_id = ?")
                                      .arg(columnList(roundResultColumns())));
        q.bindValue(0, id);
        sql.exec(q);
        if (sql.next(q))
            readRoundResults(q, 0, round.results.emplace());
    }
    if (round.results) {
        QSqlQuery q = sql.prepare(
            QStringLiteral("SELECT %1 FROM instrument_results WHERE round_id = ? ORDER BY position")
                .arg(columnList(instrumentResultColumns())));
        q.bindValue(0, id);
        sql.exec(q);
        while (sql.next(q))
            round.results->instruments.push_back(readInstrumentResult(sql, q, 0));
        QSqlQuery lines = sql.prepare(
            QStringLiteral("SELECT text FROM summary_lines WHERE round_id = ? ORDER BY line"));
        lines.bindValue(0, id);
        sql.exec(lines);
        while (sql.next(lines))
            round.results->summary << sql.readText(lines.value(0));
    }
    reading.commit();
    return round;
}

void Archive::remove(const QString& name) {
    if (open(OpenFor::Reading) == 0) {
        requireArchive();
        throw AppError(notFound(name));
    }
    open(OpenFor::Writing);
    SqlSession& sql = m_backend->sql();
    retryConflicts(QStringLiteral("Kolo „%1“ nelze odstranit z archivu kol „%2“")
                       .arg(name, m_backend->archiveName()),
                   [&] {
                       Transaction writing(sql, Transaction::Kind::Write);
                       int removed = 0;
                       {
                           QSqlQuery q =
                               sql.prepare(QStringLiteral("DELETE FROM rounds WHERE name = ?"));
                           q.bindValue(0, sql.bindText(name));
                           sql.exec(q);
                           removed = q.numRowsAffected();
                       }
                       if (removed == 0)
                           throw AppError(notFound(name));
                       writing.commit();
                   });
    m_backend->written();
}

} // namespace vel
