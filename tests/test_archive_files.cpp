// The archive's file: what is not an archive, damaged, newer or read-only is refused with a
// message and left as it was; an older archive is copied, then brought up to date step by
// step, or not at all.
#include "archive/Archive.h"
#include "archive/SqlSession.h"
#include "data/Errors.h"
#include "examples/ArchiveRounds.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vel;
using testing_support::errorOf;
using testing_support::inChildProcess;
using testing_support::readAll;
using testing_support::sqliteRows;
using testing_support::writeAll;

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace {

// The bytes and the modification time of a file, and the names in its folder.
struct FileState {
    QByteArray bytes;
    timespec mtime{};
    QStringList folder;

    static FileState of(const QString& path) {
        FileState s;
        if (QFileInfo(path).isFile()) // a named pipe would wait for a writer
            s.bytes = readAll(path);
        struct stat st {};
        if (::stat(QFile::encodeName(path).constData(), &st) == 0)
            s.mtime = st.st_mtim;
        // Reading a database in write-ahead-log mode may leave an empty log and the shared
        // memory beside it: no data of its own.
        const QDir folder(QFileInfo(path).absolutePath());
        for (const QString& name :
             folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            if (!(name.endsWith("-shm") ||
                  (name.endsWith("-wal") && QFileInfo(folder.filePath(name)).size() == 0)))
                s.folder << name;
        return s;
    }
    bool operator==(const FileState& o) const {
        return bytes == o.bytes && mtime.tv_sec == o.mtime.tv_sec &&
               mtime.tv_nsec == o.mtime.tv_nsec && folder == o.folder;
    }
};

// Stores two rounds and closes the archive, so that the file holds everything (the log is
// folded in when the last connection closes).
std::vector<Round> storeTwo(const QString& path) {
    Archive archive(ArchiveLocation::parse(path));
    return {archive.store(examples::generatedRound(1, 1, 3), IfStored::Refuse),
            archive.store(examples::generatedRound(2, 1, 5, false), IfStored::Refuse)};
}

// Makes this process the unprivileged user 65534 when it is root, who may write anything.
bool becomeUnprivileged() {
    return ::geteuid() != 0 ||
           (::setgroups(0, nullptr) == 0 && ::setresgid(65534, 65534, 65534) == 0 &&
            ::setresuid(65534, 65534, 65534) == 0);
}

// Every operation of the archive gives the same message and leaves the file as it was.
void expectRefused(const QString& path, const QString& message) {
    const FileState before = FileState::of(path);
    {
        Archive archive(ArchiveLocation::parse(path));
        EXPECT_EQ(errorOf([&] { archive.list(); }), message);
        EXPECT_EQ(errorOf([&] { archive.load("kolo 1"); }), message);
        EXPECT_EQ(
            errorOf([&] { archive.store(examples::generatedRound(3, 1, 2), IfStored::Replace); }),
            message);
        EXPECT_EQ(errorOf([&] { archive.remove("kolo 1"); }), message);
        const FileState during = FileState::of(path);
        EXPECT_EQ(during.bytes, before.bytes);
        EXPECT_EQ(during.folder, before.folder);
    }
    EXPECT_TRUE(FileState::of(path) == before);
}

} // namespace

TEST(ArchiveFiles, WhatIsNotAnArchiveIsRefusedAndLeftAlone) {
    QTemporaryDir dir;
    QByteArray random(8192, 0);
    QRandomGenerator bytes(20260);
    for (char& b : random)
        b = char(bytes.bounded(256));
    struct Case {
        const char* name;
        std::function<void(const QString&)> make;
        const char* message; // %1 the file
    };
    const Case cases[] = {
        {"random", [&](const QString& p) { writeAll(p, random); },
         "Soubor „%1“ není archiv kol: není to databáze SQLite"},
        {"text", [](const QString& p) { writeAll(p, "SQLite format 2\n"); },
         "Soubor „%1“ není archiv kol: není to databáze SQLite"},
        {"header only", [](const QString& p) { writeAll(p, QByteArray("SQLite format 3", 16)); },
         "Soubor „%1“ není archiv kol: není to databáze SQLite"},
        {"header and noise",
         [&](const QString& p) { writeAll(p, QByteArray("SQLite format 3", 16) + random); },
         "Soubor „%1“ není archiv kol: je to databáze jiného programu"},
        {"empty", [](const QString& p) { writeAll(p, {}); },
         "Soubor „%1“ není archiv kol: je prázdný"},
        {"page size 0",
         [](const QString& p) {
             QByteArray b = QByteArray("SQLite format 3", 16) + QByteArray(4080, 0);
             b[100] = 0x0D; // an empty list of tables, as in a new database
             writeAll(p, b);
         },
         "Archiv kol „%1“ nelze otevřít: soubor není databáze SQLite"},
        {"another program's",
         [](const QString& p) {
             sqliteRows(p,
                        {"CREATE TABLE contacts (name TEXT)", "INSERT INTO contacts VALUES ('a')"});
         },
         "Soubor „%1“ není archiv kol: je to databáze jiného programu"},
        {"folder", [](const QString& p) { QDir().mkpath(p); },
         "„%1“ je složka, ne soubor archivu kol"},
        {"pipe", [](const QString& p) { ::mkfifo(QFile::encodeName(p).constData(), 0600); },
         "Soubor „%1“ není archiv kol: není to obyčejný soubor"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(QString::fromUtf8(c.name) + ".sqlite");
        c.make(path);
        expectRefused(path, QString::fromUtf8(c.message).arg(path));
    }
}

TEST(ArchiveFiles, DamagedArchiveIsRefusedAndLeftAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("archiv.sqlite");
    storeTwo(path);
    // Noise over the pages after the first (the first holds the list of tables).
    QByteArray bytes = readAll(path);
    ASSERT_GT(bytes.size(), 3 * 4096);
    QRandomGenerator noise(7);
    for (qsizetype i = 4096; i < bytes.size(); i += 3)
        bytes[i] = char(noise.bounded(256));
    writeAll(path, bytes);
    // One line, SQLite's report of what it found kept out.
    expectRefused(path, QStringLiteral("Archiv kol „%1“ je poškozený").arg(path));
}

TEST(ArchiveFiles, DamageIsLookedForBeforeWritingWhileReadsGoOn) {
    QTemporaryDir dir;
    const QString path = dir.filePath("archiv.sqlite");
    {
        Archive archive(ArchiveLocation::parse(path));
        for (int k = 1; k <= 3; ++k)
            archive.store(examples::generatedRound(k, 1, 20), IfStored::Refuse);
    }
    // Noise over the first page of the sheets' rows, kolo 1's: the list reads no such page,
    // and a new round is written at the table's other end, so only the check sees it.
    const int page = sqliteRows(path, {"SELECT pageno FROM dbstat WHERE name = 'sheets' AND "
                                       "pagetype = 'leaf' ORDER BY pageno LIMIT 1"})
                         .toInt();
    ASSERT_GT(page, 1);
    QByteArray bytes = readAll(path);
    QRandomGenerator noise(11);
    for (qsizetype i = (page - 1) * 4096; i < page * 4096; ++i)
        bytes[i] = char(noise.bounded(256));
    writeAll(path, bytes);

    Archive archive(ArchiveLocation::parse(path));
    EXPECT_EQ(archive.list().size(), 3u);
    const QString damaged = QStringLiteral("Archiv kol „%1“ je poškozený").arg(path);
    EXPECT_EQ(errorOf([&] { archive.load("kolo 1"); }), damaged);
    EXPECT_EQ(errorOf([&] { archive.store(examples::generatedRound(4, 1, 2), IfStored::Refuse); }),
              damaged);
    EXPECT_EQ(errorOf([&] { archive.remove("kolo 3"); }), damaged);
    EXPECT_EQ(readAll(path), bytes);
    EXPECT_EQ(archive.list().size(), 3u);
}

TEST(ArchiveFiles, NewerArchiveIsRefusedAndLeftAlone) {
    QTemporaryDir dir;
    const QString path = dir.filePath("archiv.sqlite");
    storeTwo(path);
    const int current = archiveSchema().back().version;
    ASSERT_EQ(sqliteRows(path, {QStringLiteral("PRAGMA user_version = %1").arg(current + 1),
                                "PRAGMA user_version"}),
              QString::number(current + 1));
    const QString newer = QStringLiteral("Archiv kol „%1“ má verzi %2, kterou tento program nezná "
                                         "(zná verze do %3); otevřete jej novější verzí programu")
                              .arg(path)
                              .arg(current + 1)
                              .arg(current);
    expectRefused(path, newer);
    // Read-only, it is refused as well, not read as an archive of this version.
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0444), 0);
    EXPECT_EQ(inChildProcess([&] {
                  if (!becomeUnprivileged())
                      return QStringLiteral("cannot become user 65534");
                  return errorOf([&] { Archive(ArchiveLocation::parse(path)).list(); });
              }),
              newer);
}

TEST(ArchiveFiles, OlderArchiveIsCopiedThenMigratedStepByStep) {
    QTemporaryDir dir;
    const QString path = dir.filePath("archiv.sqlite");
    const ArchiveLocation where = ArchiveLocation::parse(path);
    // Steps that log themselves; the fourth fails after writing.
    auto logging = [](int version) {
        return SchemaStep{version, [version](SqlSession& sql) {
                              sql.exec(QStringLiteral("INSERT INTO log VALUES (%1)").arg(version));
                          }};
    };
    const SchemaStep first{1, [](SqlSession& sql) {
                               sql.exec("CREATE TABLE log (step {int})");
                               sql.exec("INSERT INTO log VALUES (1)");
                           }};
    const SchemaStep failing{4, [](SqlSession& sql) {
                                 sql.exec("INSERT INTO log VALUES (4)");
                                 throw AppError("krok 4 selhal");
                             }};
    auto backups = [&] {
        return QDir(dir.path()).entryList({"archiv.sqlite.v*.bak"}, QDir::Files, QDir::Name);
    };

    EXPECT_EQ(Archive(where, {first}).open(OpenFor::Writing), 1);
    EXPECT_EQ(backups(), QStringList{}); // nothing to copy in a new archive
    const QByteArray version1 = readAll(path);

    // Opening, even for reading, brings it to the version of the last step, steps in order.
    EXPECT_EQ(Archive(where, {first, logging(2), logging(3)}).open(OpenFor::Reading), 3);
    EXPECT_EQ(sqliteRows(path, {"SELECT step FROM log ORDER BY rowid"}), "1,2,3");
    EXPECT_EQ(sqliteRows(path, {"PRAGMA user_version"}), "3");
    ASSERT_EQ(backups().size(), 1);
    EXPECT_TRUE(backups()[0].startsWith("archiv.sqlite.v1-"));
    const QString copy1 = dir.filePath(backups()[0]);
    EXPECT_EQ(sqliteRows(copy1, {"SELECT step FROM log"}), "1");
    EXPECT_EQ(sqliteRows(copy1, {"PRAGMA user_version"}), "1");
    EXPECT_NE(readAll(path), version1);

    // A step that fails takes back every step of the migration.
    const QString message = errorOf([&] {
        Archive(where, {first, logging(2), logging(3), failing, logging(5)}).open(OpenFor::Reading);
    });
    ASSERT_EQ(backups().size(), 2);
    const QString copy3 = backups()[1];
    EXPECT_TRUE(copy3.startsWith("archiv.sqlite.v3-"));
    EXPECT_EQ(message, QStringLiteral("Archiv kol „%1“ nelze převést z verze 3 na verzi 5: krok 4 "
                                      "selhal; archiv zůstal, jak byl, a jeho kopie je v „%2“")
                           .arg(path, dir.filePath(copy3)));
    EXPECT_EQ(sqliteRows(path, {"SELECT step FROM log ORDER BY rowid"}), "1,2,3");
    EXPECT_EQ(sqliteRows(path, {"PRAGMA user_version"}), "3");
}

TEST(ArchiveFiles, ReadOnlyArchiveListsAndLoadsButRefusesStoring) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("kola");
    const QString path = folder + "/archiv.sqlite";
    QDir().mkpath(folder);
    const std::vector<Round> stored = storeTwo(path);
    struct Case {
        const char* what;
        mode_t file;
        const char* message; // %1 the archive, %2 its folder
    };
    const Case cases[] = {
        {"file read-only", 0444, "Do archivu kol „%1“ nelze zapisovat: soubor je jen pro čtení"},
        {"folder read-only", 0666,
         "Do archivu kol „%1“ nelze zapisovat: do složky „%2“ nelze zapisovat"},
    };
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), c.file), 0);
        const FileState before = FileState::of(path);
        const QString result = inChildProcess([&] {
            if (!becomeUnprivileged())
                return QStringLiteral("cannot become user 65534");
            Archive archive(ArchiveLocation::parse(path));
            QStringList out;
            out << QString::number(archive.list().size());
            out << QString::number(archive.load("kolo 1") == stored[0]) +
                       QString::number(archive.load("kolo 2") == stored[1]);
            out << errorOf(
                [&] { archive.store(examples::generatedRound(3, 1, 1), IfStored::Refuse); });
            out << errorOf([&] { archive.remove("kolo 1"); });
            return out.join(u'|');
        });
        const QString refused =
            QString::fromUtf8(c.message).replace("%1", path).replace("%2", folder);
        EXPECT_EQ(result, QStringList({"2", "11", refused, refused}).join(u'|'));
        EXPECT_TRUE(FileState::of(path) == before);
    }
    ::chmod(QFile::encodeName(folder).constData(), 0755);
}
