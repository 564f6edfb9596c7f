// What only an archive on a PostgreSQL server has, run on the tests' server only: the
// messages of a server out of reach, a login refused, a database missing, a newer schema
// and a user without the right to write, each naming the server and the database and never
// a password; migrations of two workstations at once; conflicts run again; texts the server
// cannot hold; the server stopped in the middle of a store. test_archive_copy: the copy
// from one kind of archive to the other, and the archive window.
#include "archive/Archive.h"
#include "archive/ArchiveSchema.h"
#include "archive/ServerAddress.h"
#include "archive/SqlSession.h"
#include "examples/ArchiveRounds.h"

#include <gtest/gtest.h>

#include "support/ArchiveBackends.h"
#include "support/PgServer.h"
#include "support/TestSupport.h"


#include <QElapsedTimer>
#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <thread>
#include <unistd.h>

using namespace vel;
using testing_support::errorOf;
using testing_support::newDatabase;
using testing_support::pgRows;
using testing_support::postgresFolder;

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace {

// The address of a database with another user, the rest the same.
QString asUser(const QString& uri, const QString& user) {
    QString other = uri;
    return other.replace(QStringLiteral("//velimor@"), QStringLiteral("//%1@").arg(user));
}

QString databaseOf(const QString& uri) {
    return uri.section(u'/', 3).section(u'?', 0, 0);
}

// A role of this process's own: roles belong to the whole server, which tests share.
QString role(const char* name) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(::getpid());
}

// Puts an environment variable back as it was.
struct VariableKept {
    const char* name;
    bool set = qEnvironmentVariableIsSet(name);
    QByteArray value = qgetenv(name);
    ~VariableKept() { set ? qputenv(name, value) : qunsetenv(name); }
};

} // namespace

TEST(ArchiveServer, ConnectionFailuresNameServerAndDatabaseButNoPassword) {
    const QString folder = postgresFolder();
    QTemporaryDir empty;
    const QString uri = newDatabase();
    const QString db = databaseOf(uri);
    VariableKept password{"PGPASSWORD"}, passFile{"PGPASSFILE"};
    qunsetenv("PGPASSWORD");
    qputenv("PGPASSFILE", QFile::encodeName(empty.filePath("zadny")));
    const QString refused = QStringLiteral("server %1 odmítl přihlásit uživatele „%2“ k databázi "
                                           "„%3“ (heslo program bere jen ze souboru ~/.pgpass "
                                           "nebo z proměnné PGPASSWORD)");
    struct Case {
        QString uri;
        QByteArray pgpassword;
        QString cause;
    };
    const Case cases[] = {
        {QStringLiteral("postgresql://velimor@/%1?host=%2").arg(db, empty.path()),
         {},
         QStringLiteral("server %1 s databází „%2“ není dostupný: neběží, nebo k němu nevede "
                        "spojení")
             .arg(empty.path(), db)},
        {QStringLiteral("postgresql://velimor@/nic?host=%1").arg(folder),
         {},
         QStringLiteral("databáze „nic“ na serveru %1 neexistuje").arg(folder)},
        {asUser(uri, "nikdo"), {}, refused.arg(folder, "nikdo", db)},
        {asUser(uri, "velimor_heslo"), {}, refused.arg(folder, "velimor_heslo", db)},
        {asUser(uri, "velimor_heslo"), "spatne-heslo", refused.arg(folder, "velimor_heslo", db)},
        {asUser(uri, "velimor_heslo:spatne-heslo"), {}, refused.arg(folder, "velimor_heslo", db)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.uri.toStdString());
        c.pgpassword.isNull() ? qunsetenv("PGPASSWORD") : qputenv("PGPASSWORD", c.pgpassword);
        const ArchiveLocation where = ArchiveLocation::parse(c.uri);
        const QString message =
            QStringLiteral("Archiv kol „%1“ nelze otevřít: %2").arg(where.displayName(), c.cause);
        EXPECT_FALSE(where.displayName().contains("spatne"));
        Archive archive(where);
        EXPECT_EQ(errorOf([&] { archive.list(); }), message);
        EXPECT_EQ(
            errorOf([&] { archive.store(examples::generatedRound(1, 1, 1), IfStored::Refuse); }),
            message);
    }
    // The right password, from PGPASSWORD or from a password file.
    qputenv("PGPASSWORD", "tajne heslo");
    EXPECT_EQ(Archive(ArchiveLocation::parse(asUser(uri, "velimor_heslo"))).list().size(), 0u);
    qunsetenv("PGPASSWORD");
    const QString file = empty.filePath("pgpass");
    testing_support::writeAll(file, "*:*:*:velimor_heslo:tajne heslo\n");
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    qputenv("PGPASSFILE", QFile::encodeName(file));
    EXPECT_EQ(Archive(ArchiveLocation::parse(asUser(uri, "velimor_heslo"))).list().size(), 0u);
}

TEST(ArchiveServer, NewerForeignAndReadOnlyArchivesAreRefusedAndLeftAlone) {
    const QString uri = newDatabase();
    const ArchiveLocation where = ArchiveLocation::parse(uri);
    const Round stored = Archive(where).store(examples::generatedRound(1, 1, 3), IfStored::Refuse);
    const QString reader = role("velimor_cteni");
    ASSERT_EQ(
        pgRows(uri,
               {QStringLiteral("CREATE ROLE %1 LOGIN").arg(reader),
                QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(reader),
                "SELECT 'ok'"}),
        "ok");
    // A reader lists and loads, and is refused writing.
    const ArchiveLocation asReader = ArchiveLocation::parse(asUser(uri, reader));
    const QString refused =
        QStringLiteral("Do archivu kol „%1“ nelze zapisovat: uživatel „%2“ "
                       "nemá v databázi „%3“ na serveru %4 právo zápisu")
            .arg(asReader.displayName(), reader, databaseOf(uri), postgresFolder());
    {
        Archive archive(asReader);
        EXPECT_EQ(archive.list().size(), 1u);
        EXPECT_EQ(archive.load("kolo 1"), stored);
        EXPECT_EQ(
            errorOf([&] { archive.store(examples::generatedRound(2, 1, 1), IfStored::Refuse); }),
            refused);
        EXPECT_EQ(errorOf([&] { archive.remove("kolo 1"); }), refused);
    }
    // A user with every right on the tables whom the server still refuses a row (row-level
    // security without a policy): the store says so and stores nothing.
    const QString limited = role("velimor_radky");
    ASSERT_EQ(pgRows(uri, {QStringLiteral("CREATE ROLE %1 LOGIN").arg(limited),
                           QStringLiteral("GRANT SELECT, INSERT, DELETE ON ALL TABLES IN SCHEMA "
                                          "public TO %1")
                               .arg(limited),
                           "ALTER TABLE sheets ENABLE ROW LEVEL SECURITY", "SELECT 'ok'"}),
              "ok");
    const ArchiveLocation asLimited = ArchiveLocation::parse(asUser(uri, limited));
    EXPECT_EQ(errorOf([&] {
                  Archive(asLimited).store(examples::generatedRound(2, 1, 1), IfStored::Refuse);
              }),
              QStringLiteral("Chyba archivu kol „%1“: uživatel nemá k tabulkám archivu potřebné "
                             "právo")
                  .arg(asLimited.displayName()));
    pgRows(uri, {"ALTER TABLE sheets DISABLE ROW LEVEL SECURITY"});

    // Nor may the reader make the archive in an empty database.
    const QString other = newDatabase();
    const ArchiveLocation emptyAsReader = ArchiveLocation::parse(asUser(other, reader));
    EXPECT_EQ(errorOf([&] {
                  Archive(emptyAsReader).store(examples::generatedRound(2, 1, 1), IfStored::Refuse);
              }),
              QStringLiteral("Archiv kol „%1“ nelze vytvořit: uživatel „%2“ nemá v databázi „%3“ "
                             "na serveru %4 právo zápisu")
                  .arg(emptyAsReader.displayName(), reader, databaseOf(other), postgresFolder()));

    // A newer schema refuses every operation and stays as it was.
    const int current = archiveSchema().back().version;
    pgRows(uri, {QStringLiteral("UPDATE velimor_schema SET version = %1").arg(current + 1)});
    for (const ArchiveLocation& l : {where, asReader}) {
        const QString newer = QStringLiteral("Archiv kol „%1“ má verzi %2, kterou tento program "
                                             "nezná (zná verze do %3); otevřete jej novější "
                                             "verzí programu")
                                  .arg(l.displayName())
                                  .arg(current + 1)
                                  .arg(current);
        Archive archive(l);
        EXPECT_EQ(errorOf([&] { archive.list(); }), newer);
        EXPECT_EQ(errorOf([&] { archive.load("kolo 1"); }), newer);
        EXPECT_EQ(
            errorOf([&] { archive.store(examples::generatedRound(2, 1, 1), IfStored::Replace); }),
            newer);
        EXPECT_EQ(errorOf([&] { archive.remove("kolo 1"); }), newer);
    }
    EXPECT_EQ(pgRows(uri, {"SELECT count(*) FROM sheets"}), "3");

    // Another program's tables are no archive, and are left alone.
    const QString foreign = newDatabase();
    pgRows(foreign, {"CREATE TABLE contacts (name TEXT)"});
    EXPECT_EQ(errorOf([&] {
                  Archive(ArchiveLocation::parse(foreign))
                      .store(examples::generatedRound(2, 1, 1), IfStored::Refuse);
              }),
              QStringLiteral("Databáze „%1“ není archiv kol: obsahuje tabulky jiného programu")
                  .arg(ArchiveLocation::parse(foreign).displayName()));
    EXPECT_EQ(pgRows(foreign, {"SELECT string_agg(relname, ',') FROM pg_class WHERE relnamespace "
                               "= 'public'::regnamespace"}),
              "contacts");
}

// Two workstations starting a new version at once: the one that waited for the lock finds
// the archive migrated and runs no step again. A step that fails takes back every change
// of the migration, tables made included.
TEST(ArchiveServer, MigrationsRunOnceAndWhole) {
    const ArchiveLocation where = ArchiveLocation::parse(newDatabase());
    const SchemaStep first{1, [](SqlSession& sql) {
                               sql.exec("CREATE TABLE log (step {int})");
                               sql.exec("INSERT INTO log VALUES (1)");
                           }};
    const SchemaStep slow{2, [](SqlSession& sql) {
                              sql.exec("INSERT INTO log VALUES (2)");
                              sql.exec("SELECT pg_sleep(0.5)");
                          }};
    const SchemaStep failing{3, [](SqlSession& sql) {
                                 sql.exec("CREATE TABLE made (x {int})");
                                 sql.exec("INSERT INTO log VALUES (3)");
                                 throw AppError("krok 3 selhal");
                             }};
    EXPECT_EQ(Archive(where, {first}).open(OpenFor::Writing), 1);
    QString results[2];
    std::thread a([&] {
        results[0] = errorOf([&] { Archive(where, {first, slow}).open(OpenFor::Reading); });
    });
    std::thread b([&] {
        results[1] = errorOf([&] { Archive(where, {first, slow}).open(OpenFor::Writing); });
    });
    a.join();
    b.join();
    EXPECT_EQ(results[0], "<no error>");
    EXPECT_EQ(results[1], "<no error>");
    EXPECT_EQ(pgRows(where.path, {"SELECT string_agg(step::text, ',' ORDER BY step) FROM log"}),
              "1,2");

    EXPECT_EQ(errorOf([&] {
                  Archive(where, {first, slow, failing}).open(OpenFor::Reading);
              }),
              QStringLiteral("Archiv kol „%1“ nelze převést z verze 2 na verzi 3: krok 3 selhal")
                  .arg(where.displayName()));
    EXPECT_EQ(pgRows(where.path, {"SELECT string_agg(step::text, ',' ORDER BY step) FROM log"}),
              "1,2");
    EXPECT_EQ(pgRows(where.path, {"SELECT to_regclass('made') IS NULL"}), "true");
    EXPECT_EQ(pgRows(where.path, {"SELECT version FROM velimor_schema"}), "2");
}

// A store that loses to a concurrent transaction (SQLSTATE 40001, here raised by a trigger
// for the first attempts) is run again; one that keeps losing is reported, nothing stored.
TEST(ArchiveServer, ConflictsAreRunAgainThenReported) {
    const ArchiveLocation where = ArchiveLocation::parse(newDatabase());
    Archive archive(where);
    archive.store(examples::generatedRound(1, 1, 1), IfStored::Refuse);
    ASSERT_EQ(pgRows(where.path,
                     {"CREATE SEQUENCE attempts", "CREATE TABLE losing (attempts bigint)",
                      "INSERT INTO losing VALUES (2)",
                      "CREATE FUNCTION conflict() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN IF "
                      "nextval('attempts') <= (SELECT attempts FROM losing) THEN RAISE "
                      "EXCEPTION 'souběh' USING ERRCODE = '40001'; END IF; RETURN NEW; END $$",
                      "CREATE TRIGGER conflict BEFORE INSERT ON rounds FOR EACH ROW EXECUTE "
                      "FUNCTION conflict()",
                      "SELECT 'ok'"}),
              "ok");
    const Round stored = archive.store(examples::generatedRound(2, 1, 2), IfStored::Refuse);
    EXPECT_EQ(archive.load("kolo 2"), stored);
    EXPECT_EQ(pgRows(where.path, {"SELECT last_value FROM attempts"}), "3");

    pgRows(where.path,
           {"UPDATE losing SET attempts = 1000", "SELECT setval('attempts', 1, false)"});
    EXPECT_EQ(errorOf([&] { archive.store(examples::generatedRound(3, 1, 2), IfStored::Refuse); }),
              QStringLiteral("Kolo „kolo 3“ nelze uložit do archivu kol „%1“: jiný program měnil "
                             "archiv současně a ani po 5 pokusech se to nepodařilo; zkuste to "
                             "prosím znovu")
                  .arg(where.displayName()));
    EXPECT_EQ(pgRows(where.path, {"SELECT last_value FROM attempts"}), "5");
    EXPECT_EQ(archive.list().size(), 2u);
}

// The server's text cannot hold a NUL: texts with it, and with the character that keeps it,
// come back exactly, and names that differ only there are different rounds.
TEST(ArchiveServer, TextsWithNulComeBackExactly) {
    const ArchiveLocation where = ArchiveLocation::parse(newDatabase());
    const QChar nul(u'\0'), one(u'\x01');
    const QString texts[] = {QString(nul) + one, QString(one) + u'0', QString(one) + one,
                             QString(one),       QString(nul) + u'0', QStringLiteral("a") + one};
    Archive archive(where);
    std::vector<Round> stored;
    for (const QString& t : texts) {
        Round r = examples::generatedRound(int(stored.size()) + 1, 1, 1, false);
        r.name = t;
        r.info.advice = t + t;
        r.sheets[0].field(kInstrumentIdField) = t;
        stored.push_back(archive.store(r, IfStored::Refuse));
    }
    EXPECT_EQ(archive.list().size(), std::size(texts));
    for (const Round& r : stored)
        EXPECT_EQ(Archive(where).load(r.name), r);
}

// The server stopped in the middle of a store: the store reports it, the archive object
// reports the server out of reach while it is, and after the server is back it holds the
// round whole or not at all, and stores it. A server of this test's own.
TEST(ArchiveServer, AWriterWaitsForAnotherOnlyAWhile) {
    // Another workstation holds the rounds as a writer does, and does not let go: a store
    // waits as long as the address says (here half a second, 30 s when it says nothing),
    // then says why.
    const QString uri = newDatabase();
    Archive(ArchiveLocation::parse(uri)).store(examples::generatedRound(1, 1, 1), IfStored::Refuse);
    const ServerAddress a = ServerAddress::parse(uri);
    {
        QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "holder");
        holder.setHostName(a.host);
        holder.setUserName(a.user);
        holder.setDatabaseName(a.database);
        ASSERT_TRUE(holder.open()) << holder.lastError().text().toStdString();
        ASSERT_TRUE(holder.transaction());
        QSqlQuery lock(holder);
        ASSERT_TRUE(lock.exec("LOCK TABLE rounds IN SHARE ROW EXCLUSIVE MODE"));
        const ArchiveLocation waiting = ArchiveLocation::parse(
            uri + (uri.contains(u'?') ? u'&' : u'?') + "options=-c%20lock_timeout%3D500");
        QElapsedTimer t;
        t.start();
        const QString e = errorOf(
            [&] { Archive(waiting).store(examples::generatedRound(2, 1, 1), IfStored::Refuse); });
        EXPECT_LT(t.elapsed(), 15000);
        EXPECT_EQ(e, QStringLiteral("Chyba archivu kol „%1“: archiv používá jiný program a "
                                    "neuvolnil jej včas")
                         .arg(waiting.displayName()));
        holder.rollback();
        holder.close();
    }
    QSqlDatabase::removeDatabase("holder");
    EXPECT_EQ(Archive(ArchiveLocation::parse(uri)).list().size(), 1u);
}

TEST(ArchiveServer, ServerStoppedDuringAStore) {
    testing_support::PgServer server;
    ASSERT_EQ(server.start(), "");
    pgRows(server.uri("postgres"), {"CREATE DATABASE archiv"});
    const ArchiveLocation where = ArchiveLocation::parse(server.uri("archiv"));
    Archive archive(where);
    const Round first = archive.store(examples::generatedRound(1, 1, 2), IfStored::Refuse);
    // Each sheet takes a while, so that the store is under way when the server stops.
    pgRows(where.path,
           {"CREATE FUNCTION slow() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN PERFORM "
            "pg_sleep(0.1); RETURN NEW; END $$",
            "CREATE TRIGGER slow BEFORE INSERT ON sheets FOR EACH ROW EXECUTE FUNCTION slow()"});
    // Stopped once the store is inside its inserts, however long it took to get there.
    std::thread stopper([&] {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 60000 &&
               pgRows(server.uri("postgres"), {"SELECT count(*) FROM pg_stat_activity WHERE "
                                               "wait_event = 'PgSleep'"}) == "0")
            ::usleep(20000);
        server.stop();
    });
    const Round second = examples::generatedRound(2, 1, 30);
    const QString during = errorOf([&] { archive.store(second, IfStored::Refuse); });
    stopper.join();
    EXPECT_EQ(during, QStringLiteral("Chyba archivu kol „%1“: spojení se serverem se přerušilo "
                                     "(server neběží, nebo k němu nevede spojení)")
                          .arg(where.displayName()));
    EXPECT_EQ(errorOf([&] { archive.list(); }),
              QStringLiteral("Archiv kol „%1“ nelze otevřít: server %2 s databází „archiv“ není "
                             "dostupný: neběží, nebo k němu nevede spojení")
                  .arg(where.displayName(), server.folder()));
    ASSERT_EQ(server.restart(), "");
    const std::vector<RoundListing> listed = archive.list();
    ASSERT_GE(listed.size(), 1u);
    EXPECT_EQ(archive.load("kolo 1"), first);
    if (listed.size() == 2u) {
        Round expected = second;
        const Round loaded = archive.load("kolo 2");
        expected.storedAt = loaded.storedAt;
        for (std::size_t i = 0; i < expected.sheets.size() && i < loaded.sheets.size(); ++i)
            expected.sheets[i].participantCode = loaded.sheets[i].participantCode;
        EXPECT_EQ(loaded, expected);
    }
    // An administrator ends the program's connection in the middle of a store: the same
    // message, and the next operation connects anew.
    std::thread terminator([&] {
        ::usleep(500000);
        pgRows(where.path, {"SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity WHERE "
                            "application_name = 'velimor' AND pid <> pg_backend_pid()"});
    });
    const QString ended =
        errorOf([&] { archive.store(examples::generatedRound(3, 1, 30), IfStored::Refuse); });
    terminator.join();
    EXPECT_EQ(ended, during);
    EXPECT_EQ(archive.list().size(), listed.size());
    pgRows(where.path, {"DROP TRIGGER slow ON sheets"});
    archive.store(second, IfStored::Replace);
    EXPECT_EQ(archive.list().size(), 2u);
}
