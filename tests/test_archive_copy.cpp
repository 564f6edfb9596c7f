// An archive on a PostgreSQL server next to files, run on the tests' server only:
// velimor-report's copy from one kind of archive to the other and back, and the archive
// window's naming of an archive on a server.
#include "archive/Archive.h"
#include "examples/ArchiveRounds.h"
#include "rounds/ArchiveWindow.h"

#include <gtest/gtest.h>

#include "support/ArchiveBackends.h"
#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QLabel>
#include <QTableWidget>

using namespace vel;
using testing_support::newDatabase;
using testing_support::postgresFolder;

// velimor-report --copy-to: SQLite to PostgreSQL to SQLite keeps every round exactly, its
// time of storing and codes included, and the round gives the same summary and the same
// participants' reports from either archive. A target that already holds one of the names
// gets none.
class ArchiveCopy : public testing_support::ReportTest {};

TEST_F(ArchiveCopy, SqliteToPostgresToSqliteKeepsEverything) {
    using testing_support::report;
    const QString first = path("a.sqlite"), server = newDatabase(), last = path("b.sqlite");
    ASSERT_EQ(
        report(QStringList{"--archive", first, "--store", "2026/1", "--reference", reference} +
               exampleFiles)
            .status,
        0);
    for (int k = 1; k <= 3; ++k)
        Archive(ArchiveLocation::parse(first))
            .store(examples::generatedRound(k, k, k * 7), IfStored::Refuse);
    for (const auto& [from, to] : {std::pair{first, server}, std::pair{server, last}}) {
        const testing_support::ProgramRun r = report({"--archive", from, "--copy-to", to});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, "Zkopírováno kol: 4\n");
    }
    const std::vector<RoundListing> listed = Archive(ArchiveLocation::parse(first)).list();
    ASSERT_EQ(listed.size(), 4u);
    for (const QString& copy : {server, last}) {
        SCOPED_TRACE(copy.toStdString());
        Archive archive(ArchiveLocation::parse(copy));
        EXPECT_EQ(archive.list(), listed);
        for (const RoundListing& l : listed)
            EXPECT_EQ(archive.load(l.name), Archive(ArchiveLocation::parse(first)).load(l.name));
    }

    // The same summary, byte for byte, and participants' reports of the same text.
    QByteArray summaries[2];
    QStringList reports[2];
    for (int i = 0; i < 2; ++i) {
        const QString out = path(QStringLiteral("zpravy%1").arg(i));
        QDir().mkpath(out);
        const testing_support::ProgramRun r =
            report({"--archive", i == 0 ? first : server, "--from-archive", "2026/1", "--summary",
                    out + "/souhrn.txt", "--participants", out});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        summaries[i] = testing_support::readAll(out + "/souhrn.txt");
        for (const QString& f : QDir(out).entryList({"*.pdf"}, QDir::Files, QDir::Name))
            reports[i] << f + u'\n' + testing_support::pdfText(out + u'/' + f);
    }
    EXPECT_FALSE(summaries[0].isEmpty());
    // And the same history of an instrument, its table byte for byte.
    QByteArray histories[2];
    for (int i = 0; i < 2; ++i) {
        const QString csv = path(QStringLiteral("historie%1.csv").arg(i));
        const testing_support::ProgramRun r = report(
            {"--archive", i == 0 ? first : server, "--history", "SCC-01", "--csv", csv});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        histories[i] = testing_support::readAll(csv);
    }
    EXPECT_TRUE(histories[0].contains("2026/1"));
    EXPECT_EQ(histories[0], histories[1]);
    EXPECT_EQ(summaries[0], summaries[1]);
    EXPECT_EQ(reports[0].size(), 6);
    EXPECT_EQ(reports[0], reports[1]);

    // One name in common: nothing is copied.
    const QString partly = path("c.sqlite");
    Archive(ArchiveLocation::parse(partly))
        .store(examples::generatedRound(2, 9, 1), IfStored::Refuse);
    const testing_support::ProgramRun refused = report({"--archive", server, "--copy-to", partly});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(QString::fromUtf8(refused.err),
              QStringLiteral("Kolo „kolo 2“ už v archivu kol „%1“ je.\n").arg(partly));
    EXPECT_EQ(Archive(ArchiveLocation::parse(partly)).list().size(), 1u);
}

// The archive window says which archive it shows: the database, server and user.
TEST(ArchiveServer, ArchiveWindowNamesDatabaseServerAndUser) {
    const QString uri = newDatabase();
    Archive(ArchiveLocation::parse(uri)).store(examples::generatedRound(1, 1, 1), IfStored::Refuse);
    ArchiveWindow w;
    w.showArchive(ArchiveLocation::parse(uri));
    EXPECT_EQ(w.placeLabel->text(),
              QStringLiteral("Archiv: databáze „%1“ na serveru PostgreSQL %2, uživatel „velimor“")
                  .arg(uri.section(u'/', 3).section(u'?', 0, 0), postgresFolder()));
    EXPECT_EQ(w.table->rowCount(), 1);
}
