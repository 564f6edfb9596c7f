// The PostgreSQL server of a test run, a ctest fixture (tests/CMakeLists.txt):
//
//   pg_test_server start <state file>   makes and starts a server (support/PgServer.h) and
//                                       writes "folder <socket folder>" into the file; with
//                                       no server programs writes "skip <reason>" and exits
//                                       with 77, which ctest reports as skipped
//   pg_test_server stop <state file>    stops the server, removes its folder and the file
#include "support/PgServer.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pg_test_server start|stop <state file>\n");
        return 2;
    }
    const QString command = QString::fromLocal8Bit(argv[1]);
    QFile state(QString::fromLocal8Bit(argv[2]));
    testing_support::PgServer server;
    if (command == QLatin1String("stop")) {
        if (state.open(QIODevice::ReadOnly)) {
            const QString line = QString::fromUtf8(state.readAll()).trimmed();
            state.close();
            if (line.startsWith(QLatin1String("folder ")))
                server.adopt(line.mid(7));
        }
        server.remove();
        state.remove();
        return 0;
    }
    const bool missing = testing_support::PgServer::binaries().isEmpty();
    const QString error = server.start();
    QString line = QStringLiteral("folder ") + server.folder();
    if (!error.isEmpty())
        line = (missing ? QStringLiteral("skip ") : QStringLiteral("failed ")) + error;
    if (!state.open(QIODevice::WriteOnly | QIODevice::Truncate) || state.write(line.toUtf8()) < 0)
        return 1;
    state.close();
    std::printf("%s\n", line.toLocal8Bit().constData());
    if (!error.isEmpty()) {
        server.remove();
        // Without the programs the run is skipped; a server that fails to start fails it.
        return missing ? 77 : 1;
    }
    server.adopt(QString()); // runs on until "stop"
    return 0;
}
