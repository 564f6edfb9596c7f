#pragma once
// A throwaway PostgreSQL server for the archive's tests and benchmark: initdb and pg_ctl of
// Debian's postgresql package into a temporary folder, listening on a Unix socket in that
// folder only (no TCP port, so runs side by side never meet), run as the unprivileged user
// postgres (or nobody) when this process is root. Its superuser is "velimor", trusted on
// the socket; the user "velimor_heslo" must give the password "tajne heslo".

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

namespace testing_support {

class PgServer {
public:
    PgServer() = default;
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // The folder of the server's programs (initdb, pg_ctl), empty when none is installed
    // ($VELIMOR_TEST_PG_BIN instead of Debian's folders when set).
    static QString binaries();

    // Makes and starts a new server in a new folder; durable: fsync on, as a laboratory's
    // server (off for the tests). Empty, or why it could not.
    QString start(bool durable = false);
    // A server already running in folder (made by another process): stop() stops it.
    void adopt(const QString& folder) { m_folder = folder; }
    // Stops it at once, as a power cut would stop the program (pg_ctl -m immediate); again
    // and again while stopped.
    void stop();
    // Starts it again on its data after stop(). Empty, or why it could not.
    QString restart();
    // Stops it and removes its folder.
    void remove();

    const QString& folder() const { return m_folder; }
    // "postgresql://<user>@/<database>?host=<folder>".
    QString uri(const QString& database, const QString& user = QStringLiteral("velimor")) const;

private:
    QString m_folder;
    QString run(const QString& program, const QStringList& args, int seconds = 60) const;
};

// Runs statements on a database as another program would, through a connection of its own
// to the address; returns the first column of the last statement's rows joined by commas,
// or "<failed: …>".
QString pgRows(const QString& uri, const QStringList& statements);
// The same through a connection of the driver that `configure` points at its database.
QString databaseRows(const QString& driver, const std::function<void(QSqlDatabase&)>& configure,
                     const QStringList& statements);

} // namespace testing_support
