#pragma once
// What depends on the kind of database behind an archive: how it is found, checked, opened,
// copied and versioned, and how its failures read. The dialects of the statements are in
// ArchiveDialects.cpp; everything else the archive does is the same SQL for every kind
// (Archive.cpp, ArchiveStore.cpp, ArchiveTables.cpp, ArchiveSchema.cpp).

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveSchema.h"
#include "archive/SqlSession.h"

#include <QString>

#include <memory>
#include <optional>
#include <vector>

namespace vel {

// A back-end keeps texts exactly, a NUL included (PostgreSQL's text type cannot hold one,
// so a back-end for it has to encode it or refuse the round), and reals as 64-bit doubles.
class ArchiveBackend {
public:
    ArchiveBackend(const QString& archiveName, const SqlDialect& dialect)
        : m_sql(archiveName, dialect) {}
    virtual ~ArchiveBackend() = default;

    SqlSession& sql() { return m_sql; }
    const QString& archiveName() const { return m_sql.archiveName(); }

    // Connects for reading, without creating or changing anything, and checks that the
    // archive is one (it may be new and empty). Returns its schema version (0 for an empty
    // one), nothing when there is no archive yet (no connection then). Damage is not looked
    // for here: a read that meets it raises damagedMessage().
    virtual std::optional<int> inspect() = 0;
    // Why connectForWriting() would fail, in words that follow "nelze zapisovat: "; empty
    // when it can write.
    virtual QString whyNotWritable() = 0;
    // Connects for writing; a missing archive is made first, complete with the tables of
    // `schema`, so that no other program ever sees it half made. Raises when it is not an
    // archive or cannot be written.
    virtual void connectForWriting(const std::vector<SchemaStep>& schema) = 0;
    // Raises damagedMessage() when the archive is damaged; called before anything is written
    // into it.
    virtual void checkBeforeWriting() = 0;
    // A write of this process has been committed.
    virtual void written() = 0;
    // Whether the connection made by inspect() or connectForWriting() still works; asked
    // before each operation of an open archive.
    virtual bool stillConnected() { return true; }

    // The schema version the archive records, 0 for a new one.
    virtual int schemaVersion() = 0;
    // Copies the archive, of schema version `version`, beside itself; returns the copy's
    // name, empty when the kind keeps no copy (a migration that fails leaves it as it was).
    virtual QString backup(int version) = 0;
    // The transaction of a migration: begins it, waiting for other writers; records the new
    // version (and that the database is an archive of rounds) and commits; rolls back.
    virtual void beginMigration() = 0;
    virtual void commitMigration(int version) = 0;
    virtual void abortMigration() noexcept = 0;

protected:
    SqlSession m_sql;
};

// The back-end for a location; raises for a kind this program cannot open.
std::unique_ptr<ArchiveBackend> makeArchiveBackend(const ArchiveLocation& location);
std::unique_ptr<ArchiveBackend> makeSqliteBackend(const ArchiveLocation& location);
std::unique_ptr<ArchiveBackend> makePostgresBackend(const ArchiveLocation& location);

// The dialects of the two kinds (ArchiveDialects.cpp), without the reading of failures.
SqlDialect sqliteDialect();
SqlDialect postgresDialect();

// Brings the archive, connected for writing, to the version of the last step: makes a copy,
// then runs the steps it lacks, in order, in one transaction. Raises when the archive is of a
// newer version or a step fails; the archive then stays as it was.
void migrateSchema(ArchiveBackend& backend, const std::vector<SchemaStep>& steps);

// "Archiv kol „…“ má verzi N, kterou tento program nezná …".
QString newerArchiveMessage(const QString& archiveName, int version, int known);

} // namespace vel
