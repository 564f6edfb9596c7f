#pragma once
// The archive of rounds: every round a laboratory evaluated, with its sheets, its texts and
// the results of its overall test, kept in a database (a SQLite file, or a database on a
// PostgreSQL server) under a name of its own. Each store, replace and removal is one transaction,
// so a round is in the archive whole or not at all, whatever stops the program and however many
// programs use the archive at once. Every failure raises vel::AppError with a Czech message naming
// the archive.
//
// Nothing is created by looking: listing or loading from the default archive before anything
// is stored finds no rounds, while an archive the user named must exist for that; the first
// store creates the file (and, at the default location, its folder). A file that is not an
// archive, a damaged archive or one written by a newer program is refused and left
// untouched; damage is looked for before writing (reads that meet it fail). An archive of an
// older version is brought up to date when opened, after a copy of a file has been made
// beside it (a server undoes a failed migration whole, and keeps no copy).

#include "archive/ArchiveLocation.h"
#include "archive/ArchiveRecords.h"
#include "archive/ArchiveSchema.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace vel {

class ArchiveBackend;

// What store() does when the archive already has a round of that name.
enum class IfStored { Refuse, Replace };

enum class OpenFor { Reading, Writing };

class Archive {
public:
    explicit Archive(const ArchiveLocation& location);
    // An archive whose tables are built by other steps than archiveSchema()'s (the tests of
    // the migrations use it).
    Archive(const ArchiveLocation& location, std::vector<SchemaStep> schema);
    ~Archive();
    Archive(const Archive&) = delete;
    Archive& operator=(const Archive&) = delete;

    const ArchiveLocation& location() const { return m_location; }

    // Opens the archive and brings an older one up to date; for writing it is created when
    // missing. Returns its schema version, 0 when reading and there is no archive yet. The
    // operations below open it themselves.
    int open(OpenFor mode);

    // All rounds, the one stored last first.
    std::vector<RoundListing> list();
    // Every "id stroje" of the stored sheets, exactly as written ("A 1" and "a1" are two),
    // each with the number of rounds that have a sheet of it; in the order of the texts.
    // Reads no more than the identifiers.
    std::vector<InstrumentListing> instruments();
    // Every stored sheet whose "id stroje" is exactly `id`, in the order the rounds were
    // stored (a round that has it twice gives both, in tab order). Nothing of other sheets.
    std::vector<InstrumentRound> instrumentRounds(const QString& id);
    // False also when there is no archive yet (asked before storing).
    bool contains(const QString& name);
    // Raises "Kolo „…“ v archivu kol „…“ není" when there is no such round.
    Round load(const QString& name);
    // Stores the round under its name, with storedAt set to now; returns it as stored, every
    // sheet with its participant code. A sheet that has a code keeps it. On a replace, a sheet
    // without a code takes the code of the replaced round's sheet of the same "id stroje"
    // (not empty) while that code is free; the others get a random free one. More than 900
    // sheets are refused, as are results that are not finite numbers.
    Round store(const Round& round, IfStored ifStored);
    // Raises when there is no such round.
    void remove(const QString& name);
    // Stores the rounds of these names, each as source gives it, exactly: its time of
    // storing, program version and participant codes kept. One transaction: when the archive
    // already holds a round of any of the names, or anything fails, none is stored.
    void importRounds(const QStringList& names, const std::function<Round(const QString&)>& source);

private:
    ArchiveLocation m_location;
    std::vector<SchemaStep> m_schema;
    std::unique_ptr<ArchiveBackend> m_backend;
    bool m_open = false;
    bool m_canWrite = false;     // connected for writing
    bool m_readyToWrite = false; // checked and brought up to date
    bool m_missing = false;      // no archive when last looked at
    int m_version = 0;

    QString notFound(const QString& name) const;
    // Raises when the archive the user named is not there (at the default place a missing
    // archive is one that nothing has been stored into yet).
    void requireArchive() const;
};

// Copies every round of the archive `from` into `to`, of either kind, exactly as stored
// (Archive::importRounds): all or, when `to` already holds a round of one of the names or
// anything fails, none. Returns how many.
int copyArchive(const ArchiveLocation& from, const ArchiveLocation& to);

} // namespace vel
