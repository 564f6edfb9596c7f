#pragma once
// The back-end the archive's tests run on: SQLite files, or, when VELIMOR_TEST_PG_STATE
// names the state file of the tests' PostgreSQL server (tests/tools/pg_test_server, a ctest
// fixture), new databases on that server. The same test cases run on both.

#include "archive/ArchiveLocation.h"

#include <QString>
#include <QTemporaryDir>

namespace testing_support {

bool onPostgres();
// Why the PostgreSQL run cannot run (no server programs), empty when it can or on SQLite.
// Every test of such a run is skipped with it (TestMain.cpp).
QString postgresSkipReason();
// The server's socket folder.
QString postgresFolder();
// The address of a new, empty database on the server.
QString newDatabase();

// A new archive that nothing has touched: the file of that name in dir, or a new database.
vel::ArchiveLocation newArchive(const QTemporaryDir& dir,
                                const QString& file = QStringLiteral("archiv.sqlite"));
// Whether anything has made the archive: its file, or its tables.
bool archiveMade(const vel::ArchiveLocation& where);

} // namespace testing_support
