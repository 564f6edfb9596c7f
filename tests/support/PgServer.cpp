#include "support/PgServer.h"

#include "archive/ServerAddress.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <pwd.h>
#include <unistd.h>

namespace testing_support {

namespace {

// The user the server runs as: this process's, or postgres (else nobody) under root.
uid_t serverUser() {
    if (::geteuid() != 0)
        return ::geteuid();
    const passwd* pw = ::getpwnam("postgres");
    return pw ? pw->pw_uid : 65534;
}

} // namespace

PgServer::~PgServer() {
    remove();
}

QString PgServer::binaries() {
    // Another folder for a test of the run without them.
    if (qEnvironmentVariableIsSet("VELIMOR_TEST_PG_BIN")) {
        const QString bin = qEnvironmentVariable("VELIMOR_TEST_PG_BIN");
        return QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() ? bin : QString();
    }
    // The newest of Debian's versions.
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString& a, const QString& b) { return a.toInt() > b.toInt(); });
    for (const QString& v : versions) {
        const QString bin = QStringLiteral("/usr/lib/postgresql/%1/bin").arg(v);
        if (QFileInfo(bin + QStringLiteral("/initdb")).isExecutable() &&
            QFileInfo(bin + QStringLiteral("/pg_ctl")).isExecutable())
            return bin;
    }
    return {};
}

QString PgServer::run(const QString& program, const QStringList& args, int seconds) const {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    QStringList all = args;
    QString exe = binaries() + u'/' + program;
    if (::geteuid() != 0) {
        p.start(exe, all);
    } else {
        const uid_t uid = serverUser();
        const passwd* pw = ::getpwuid(uid);
        const QString gid = QString::number(pw ? pw->pw_gid : uid);
        all = QStringList{QStringLiteral("--reuid=%1").arg(uid), QStringLiteral("--regid=") + gid,
                          QStringLiteral("--clear-groups"), QStringLiteral("--"), exe} +
              args;
        p.start(QStringLiteral("setpriv"), all);
    }
    if (!p.waitForFinished(seconds * 1000)) {
        p.kill();
        p.waitForFinished();
        return program + QStringLiteral(" did not finish");
    }
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return program + QStringLiteral(" failed: ") + QString::fromLocal8Bit(p.readAll());
    return {};
}

QString PgServer::start(bool durable) {
    if (binaries().isEmpty())
        return QStringLiteral("no PostgreSQL server programs (Debian package postgresql) in "
                              "/usr/lib/postgresql/*/bin");
    char name[] = "/tmp/velimor-pg-XXXXXX";
    if (!::mkdtemp(name))
        return QStringLiteral("no temporary folder");
    m_folder = QString::fromLocal8Bit(name);
    if (::chown(name, serverUser(), gid_t(-1)) != 0)
        return QStringLiteral("cannot give the folder to the server's user");
    const QString data = m_folder + QStringLiteral("/data");
    QString error =
        run(QStringLiteral("initdb"),
            {QStringLiteral("-D"), data, QStringLiteral("-A"), QStringLiteral("trust"),
             QStringLiteral("-U"), QStringLiteral("velimor"), QStringLiteral("-E"),
             QStringLiteral("UTF8"), QStringLiteral("--locale=C"), QStringLiteral("-N")});
    if (!error.isEmpty())
        return error;
    // One user who must give a password, for the tests of failed logins.
    QFile hba(data + QStringLiteral("/pg_hba.conf"));
    if (!hba.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read pg_hba.conf");
    const QByteArray rules = "local all velimor_heslo scram-sha-256\n" + hba.readAll();
    hba.close();
    if (!hba.open(QIODevice::WriteOnly | QIODevice::Truncate) || hba.write(rules) != rules.size())
        return QStringLiteral("cannot write pg_hba.conf");
    hba.close();
    QFile conf(data + QStringLiteral("/postgresql.conf"));
    if (!conf.open(QIODevice::Append))
        return QStringLiteral("cannot write postgresql.conf");
    conf.write(QStringLiteral("listen_addresses = ''\nunix_socket_directories = '%1'\n"
                              "max_connections = 60\n%2")
                   .arg(m_folder, durable ? QString() : QStringLiteral("fsync = off\n"))
                   .toUtf8());
    conf.close();
    error = restart();
    if (!error.isEmpty())
        return error;
    const QString made = pgRows(uri(QStringLiteral("postgres")),
                                {QStringLiteral("CREATE ROLE velimor_heslo LOGIN PASSWORD 'tajne "
                                                "heslo'"),
                                 QStringLiteral("SELECT 'ok'")});
    return made == QLatin1String("ok") ? QString() : made;
}

QString PgServer::restart() {
    return run(QStringLiteral("pg_ctl"),
               {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-l"),
                m_folder + QStringLiteral("/log"), QStringLiteral("-w"), QStringLiteral("-t"),
                QStringLiteral("60"), QStringLiteral("start")});
}

void PgServer::stop() {
    if (!m_folder.isEmpty())
        run(QStringLiteral("pg_ctl"),
            {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
             QStringLiteral("immediate"), QStringLiteral("-w"), QStringLiteral("stop")});
}

void PgServer::remove() {
    if (m_folder.isEmpty())
        return;
    stop();
    QDir(m_folder).removeRecursively();
    m_folder.clear();
}

QString PgServer::uri(const QString& database, const QString& user) const {
    return QStringLiteral("postgresql://%1@/%2?host=%3").arg(user, database, m_folder);
}

QString databaseRows(const QString& driver, const std::function<void(QSqlDatabase&)>& configure,
                     const QStringList& statements) {
    const QString name = QStringLiteral("test-%1").arg(QRandomGenerator::global()->generate());
    QString rows;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
        configure(db);
        if (!db.open())
            rows = QStringLiteral("<failed: %1>").arg(db.lastError().text());
        for (const QString& s : statements) {
            if (!db.isOpen())
                break;
            QSqlQuery q(db);
            if (!q.exec(s)) {
                rows = QStringLiteral("<failed: %1>").arg(q.lastError().text());
                break;
            }
            QStringList values;
            while (q.next())
                values << q.value(0).toString();
            rows = values.join(u',');
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

QString pgRows(const QString& uri, const QStringList& statements) {
    const vel::ServerAddress a = vel::ServerAddress::parse(uri);
    return databaseRows(
        QStringLiteral("QPSQL"),
        [&a](QSqlDatabase& db) {
            db.setDatabaseName(a.database);
            db.setHostName(a.host);
            db.setUserName(a.user);
        },
        statements);
}

} // namespace testing_support
