#include "support/ArchiveBackends.h"

#include "support/PgServer.h"
#include "support/TestSupport.h"

#include <QFileInfo>

#include <unistd.h>

namespace testing_support {

namespace {

// The state file's line: "folder <socket folder>" or "skip <reason>".
QString stateLine() {
    static const QString line = [] {
        const QString state = qEnvironmentVariable("VELIMOR_TEST_PG_STATE");
        if (state.isEmpty())
            return QString();
        const QString text = QString::fromUtf8(readAll(state)).trimmed();
        return text.isEmpty()
                   ? QStringLiteral("skip the test server was not started (%1)").arg(state)
                   : text;
    }();
    return line;
}

} // namespace

bool onPostgres() {
    return !stateLine().isEmpty();
}

QString postgresSkipReason() {
    const QString line = stateLine();
    return line.startsWith(QLatin1String("skip ")) ? line.mid(5) : QString();
}

QString postgresFolder() {
    const QString line = stateLine();
    return line.startsWith(QLatin1String("folder ")) ? line.mid(7) : QString();
}

QString newDatabase() {
    static int made = 0;
    PgServer server;
    server.adopt(postgresFolder());
    const QString name = QStringLiteral("t%1_%2").arg(::getpid()).arg(++made);
    const QString done =
        pgRows(server.uri(QStringLiteral("postgres")),
               {QStringLiteral("CREATE DATABASE %1").arg(name), QStringLiteral("SELECT 'ok'")});
    server.adopt(QString()); // not ours to stop
    if (done != QLatin1String("ok"))
        throw std::runtime_error("cannot make a database: " + done.toStdString());
    return QStringLiteral("postgresql://velimor@/%1?host=%2").arg(name, postgresFolder());
}

vel::ArchiveLocation newArchive(const QTemporaryDir& dir, const QString& file) {
    return vel::ArchiveLocation::parse(onPostgres() ? newDatabase() : dir.filePath(file));
}

bool archiveMade(const vel::ArchiveLocation& where) {
    if (where.kind == vel::ArchiveKind::SqliteFile)
        return QFileInfo::exists(where.path);
    return pgRows(where.path, {QStringLiteral("SELECT to_regclass('rounds') IS NOT NULL")}) ==
           QLatin1String("true");
}

} // namespace testing_support
