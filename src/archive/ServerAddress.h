#pragma once
// The address of an archive on a PostgreSQL server, as libpq writes it:
//   postgresql://[user[:password]@][host][:port][,host[:port]…][/database][?keyword=value&…]
// ("postgres://" too; a host may be a socket folder, in the query as host=/run/…). The
// parts go to Qt's driver one by one, every other keyword as libpq's connection option.
// A password may be in the address, but is never shown: displayText() leaves it out.

#include <QString>

#include <utility>
#include <vector>

namespace vel {

struct ServerAddress {
    QString host;     // names or socket folders, comma-separated as libpq takes them
    QString port;     // the same, may be empty
    QString user;     // empty: libpq's default (PGUSER, the login name)
    QString password; // empty: libpq's own means (~/.pgpass, PGPASSWORD)
    QString database; // empty: libpq's default (PGDATABASE, the user's name)
    std::vector<std::pair<QString, QString>> options; // other keywords, in order

    // Raises "Adresa archivu kol „…“ není platná: …" (the address without its password).
    static ServerAddress parse(const QString& uri);

    // For messages and the archive window: the server ("server:5433", a socket folder, or
    // "místní server") and the database, libpq's defaults filled in from the environment.
    QString serverText() const;
    QString databaseText() const;
    QString userText() const;
};

// The address as given, with the scheme in lower case and without any password.
QString addressWithoutPassword(const QString& uri);

} // namespace vel
