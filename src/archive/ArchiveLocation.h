#pragma once
// Where an archive of rounds is: a SQLite file, or a database on a PostgreSQL server named
// by its address (postgresql://…, ServerAddress.h).

#include <QString>

namespace vel {

enum class ArchiveKind {
    SqliteFile,
    PostgreSql,
};

struct ArchiveLocation {
    ArchiveKind kind = ArchiveKind::SqliteFile;
    QString path; // the file, absolute; for a server the address as given
    // The default location: a missing folder is made on the first store. A location the
    // user named must have its folder already.
    bool makeFolder = false;

    // A location as the user writes it: "postgresql:…" or "postgres:…" (any case) names a
    // server, anything else a file, relative to the working folder. Raises on an empty text.
    static ArchiveLocation parse(const QString& text);

    // The location in messages: the file in native form; an address without its password.
    QString displayName() const;
    // The location in words for the archive window: the file, or the database, server and
    // user of an address.
    QString placeText() const;
};

// $VELIMOR_ARCHIVE when set and not blank, else velimor/archiv.sqlite under
// $XDG_DATA_HOME, or under ~/.local/share when that is not set to an absolute path.
ArchiveLocation defaultArchiveLocation();

} // namespace vel
