// The archive in a folder shared by several users, and under names that are not UTF-8: what
// one user does to it never keeps another from using it, and the file named is the file used.
#include "archive/Archive.h"
#include "archive/ArchiveSchema.h"
#include "data/FileNames.h"
#include "examples/ArchiveRounds.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <csignal>
#include <dirent.h>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vel;
using testing_support::errorOf;
using testing_support::inChildProcess;

void PrintTo(const QString& s, std::ostream* os) {
    *os << s.toStdString();
}

namespace {

constexpr uid_t kOwner = 65533, kReader = 65534;

bool become(uid_t uid) {
    ::umask(022);
    return ::setgroups(0, nullptr) == 0 && ::setresgid(uid, uid, uid) == 0 &&
           ::setresuid(uid, uid, uid) == 0;
}

// f's text, or its error, in a child process run as user uid.
QString as(uid_t uid, const std::function<QString()>& f) {
    return inChildProcess([&] {
        if (!become(uid))
            return QStringLiteral("cannot become user %1").arg(uid);
        try {
            return f();
        } catch (const AppError& e) {
            return e.message();
        }
    });
}

// The entries of a folder as the bytes of their names, with the users owning them.
QStringList entriesOf(const QString& folder, bool withOwners = false) {
    QStringList names;
    const QByteArray native = nativeFileName(folder);
    if (DIR* d = ::opendir(native.constData())) {
        while (const dirent* e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            if (name == "." || name == "..")
                continue;
            struct stat st {};
            ::lstat((native + '/' + name).constData(), &st);
            names << QString::fromLatin1(name.toPercentEncoding("-._~ ")) +
                         (withOwners ? QStringLiteral(" %1").arg(st.st_uid) : QString());
        }
        ::closedir(d);
    }
    names.sort();
    return names;
}

QString storeAs(uid_t uid, const QString& path, int k) {
    return as(uid, [&] {
        Archive(ArchiveLocation::parse(path))
            .store(examples::generatedRound(k, 1, 2), IfStored::Refuse);
        return QStringLiteral("stored");
    });
}

} // namespace

// A reader who may not write the archive makes no file beside it: SQLite's log and shared
// memory would be the reader's and the owner could not write any more (the folder's sticky
// bit keeps the owner from removing them).
TEST(ArchiveSharing, ReaderWhoMayNotWriteLeavesTheOwnerAbleToStore) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    QTemporaryDir dir;
    const QString folder = dir.filePath("sdilena");
    const QString path = folder + "/archiv.sqlite";
    ASSERT_EQ(::mkdir(QFile::encodeName(folder).constData(), 0777), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 01777), 0);
    ASSERT_EQ(storeAs(kOwner, path, 11), "stored");
    ASSERT_EQ(entriesOf(folder, true), QStringList{"archiv.sqlite 65533"});

    auto readerSees = [&] {
        return as(kReader, [&] {
            Archive archive(ArchiveLocation::parse(path));
            const std::vector<RoundListing> listed = archive.list();
            for (const RoundListing& l : listed)
                archive.load(l.name);
            return QString::number(listed.size());
        });
    };
    // Nobody has the archive open: the reader reads the file as it stands.
    EXPECT_EQ(readerSees(), "1");
    EXPECT_EQ(entriesOf(folder, true), QStringList{"archiv.sqlite 65533"});
    EXPECT_EQ(storeAs(kOwner, path, 12), "stored");

    // The owner's program is storing: the reader reads the log and shared memory it keeps,
    // rounds not yet folded into the file included.
    QProcess writer;
    writer.setChildProcessModifier([] {
        if (!become(kOwner))
            ::_exit(3);
    });
    writer.start(QStringLiteral(VELIMOR_ARCHIVE_STRESS), {path, "100", "1000000", "5"});
    ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().data();
    const QString seen = readerSees();
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished(30000);
    EXPECT_GE(seen.toInt(), 3) << seen.toStdString();
    for (const QString& entry : entriesOf(folder, true))
        EXPECT_TRUE(entry.endsWith(" 65533")) << entry.toStdString();
    EXPECT_EQ(storeAs(kOwner, path, 13), "stored");
}

// Log files that another user left beside the archive (a reader of an older version of the
// program) are named as the cause, in Czech.
TEST(ArchiveSharing, LogFilesOfAnotherUserAreNamedAsTheCause) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two users";
    QTemporaryDir dir;
    const QString path = dir.filePath("archiv.sqlite");
    ASSERT_EQ(::chmod(QFile::encodeName(dir.path()).constData(), 01777), 0);
    ASSERT_EQ(storeAs(kOwner, path, 1), "stored");
    // A writer of the owner's, killed, leaves its log files; they are someone else's now.
    QProcess writer;
    writer.start(QStringLiteral(VELIMOR_ARCHIVE_STRESS), {path, "100", "1000000", "5"});
    ASSERT_TRUE(writer.waitForReadyRead(30000)) << writer.readAllStandardError().data();
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished(30000);
    for (const char* suffix : {"", "-wal", "-shm"})
        ASSERT_EQ(::chown(QFile::encodeName(path + suffix).constData(), 0, 0), 0) << suffix;
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0666), 0);
    EXPECT_EQ(storeAs(kReader, path, 2),
              QStringLiteral("Chyba archivu kol „%1“: soubor archivu nebo jeho soubor -wal či "
                             "-shm je jen pro čtení")
                  .arg(path));
}

// The archive, its log files and the copy made before a migration are the files of the very
// bytes named, whatever a name holds: bytes that are not UTF-8, or the characters that mean
// something in a URI.
TEST(ArchiveSharing, TheFileNamedIsTheFileUsed) {
    QTemporaryDir dir;
    const QByteArray folder = nativeFileName(dir.path());
    struct Case {
        QByteArray name;
        bool relative;
    };
    const Case cases[] = {
        {"a\xff.sqlite", false},
        {"r\xfe\xc3.sqlite", true},
        {"?x=1#%41%2 &;+.sqlite", false},
    };
    const QString cwd = QDir::currentPath();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name.toPercentEncoding().toStdString());
        const QString name = fileNameFromNative(c.name);
        ArchiveLocation where;
        if (c.relative) {
            ASSERT_EQ(::chdir(folder.constData()), 0);
            where = ArchiveLocation::parse(name);
            ::chdir(QFile::encodeName(cwd).constData());
        } else {
            where = ArchiveLocation::parse(fileNameFromNative(folder + '/' + c.name));
        }
        EXPECT_EQ(nativeFileName(where.path), folder + '/' + c.name);
        const Round stored =
            Archive(where).store(examples::generatedRound(1, 1, 2), IfStored::Refuse);
        const QString encoded = QString::fromLatin1(c.name.toPercentEncoding("-._~ "));
        EXPECT_EQ(entriesOf(dir.path()), QStringList{encoded});
        EXPECT_EQ(Archive(where).load("kolo 1"), stored);

        // A later version's step: the copy is made beside it under its name.
        std::vector<SchemaStep> steps = archiveSchema();
        steps.push_back({steps.back().version + 1, [](SqlSession&) {}});
        EXPECT_EQ(Archive(where, steps).list().size(), 1u);
        const QStringList entries = entriesOf(dir.path());
        ASSERT_EQ(entries.size(), 2);
        EXPECT_EQ(entries[0], encoded);
        EXPECT_TRUE(entries[1].startsWith(encoded + QStringLiteral(".v1-")))
            << entries[1].toStdString();
        for (const QString& e : entries)
            ::unlink((folder + '/' + QByteArray::fromPercentEncoding(e.toLatin1())).constData());
    }
}
