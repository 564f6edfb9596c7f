// The archive under real processes: a writer killed at any moment leaves an archive that
// opens, passes SQLite's integrity check and holds only whole rounds; two writers at once
// both succeed, storing rounds of their own or replacing the same round. The writers are
// tests/tools/archive_stress. On both back-ends (support/ArchiveBackends.h).
#include "archive/Archive.h"
#include "examples/ArchiveRounds.h"

#include <gtest/gtest.h>

#include "support/ArchiveBackends.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <random>

using namespace vel;
using testing_support::archiveMade;
using testing_support::newArchive;
using testing_support::sqliteRows;

namespace {

const QString kWriter = QStringLiteral(VELIMOR_ARCHIVE_STRESS);
constexpr int kWaitMs = 60000;

// Opens the archive as the next program would and checks every round in it against the
// contents of its generation; returns how many rounds there are.
int expectWholeRounds(const ArchiveLocation& where) {
    if (!archiveMade(where))
        return 0; // the writer was killed before it made the archive
    if (where.kind == ArchiveKind::SqliteFile) {
        EXPECT_EQ(sqliteRows(where.path, {"PRAGMA integrity_check"}), "ok");
    }
    Archive archive(where);
    const std::vector<RoundListing> listed = archive.list();
    for (const RoundListing& l : listed) {
        const Round round = archive.load(l.name);
        const int k = l.name.mid(5).toInt(); // "kolo <k>"
        const int n = round.programVersion.toInt();
        Round expected = examples::generatedRound(k, n, examples::stressSheets(k, n));
        expected.storedAt = round.storedAt;
        if (round.sheets.size() == expected.sheets.size())
            for (std::size_t i = 0; i < round.sheets.size(); ++i)
                expected.sheets[i].participantCode = round.sheets[i].participantCode;
        EXPECT_EQ(round, expected) << l.name.toStdString() << ", generation " << n;
        EXPECT_EQ(l.instruments, int(expected.sheets.size()));
    }
    return int(listed.size());
}

// The generations a writer printed as stored.
std::vector<int> storedBy(QProcess& writer) {
    std::vector<int> stored;
    for (const QByteArray& line : writer.readAllStandardOutput().split('\n'))
        if (!line.isEmpty())
            stored.push_back(line.toInt());
    return stored;
}

} // namespace

TEST(ArchiveProcesses, KilledWriterLeavesOnlyWholeRounds) {
    QTemporaryDir dir;
    const ArchiveLocation where = newArchive(dir);
    const QString path = where.path;
    // Moments from the writer's start-up (creating the archive, the first transaction) to
    // well into its loop of stores and replaces of twelve names.
    std::mt19937 random(20260208);
    std::uniform_int_distribution<int> delayMs(1, 400);
    QElapsedTimer clock;
    clock.start();
    int next = 0, storedInAll = 0, rounds = 0;
    for (int kill = 0; kill < 50; ++kill) {
        SCOPED_TRACE(testing::Message() << "kill " << kill << " from generation " << next);
        QProcess writer;
        writer.start(kWriter, {path, QString::number(next), "1000000", "12"});
        ASSERT_TRUE(writer.waitForStarted(kWaitMs));
        QThread::msleep(delayMs(random));
        ::kill(pid_t(writer.processId()), SIGKILL);
        ASSERT_TRUE(writer.waitForFinished(kWaitMs));
        ASSERT_EQ(writer.exitStatus(), QProcess::CrashExit) << writer.readAllStandardError().data();
        const std::vector<int> stored = storedBy(writer);
        storedInAll += int(stored.size());
        // A generation stored but not yet printed is stored again, the same.
        next = stored.empty() ? next : stored.back() + 1;
        rounds = expectWholeRounds(where);
        ASSERT_FALSE(HasFailure());
        ASSERT_LT(clock.elapsed(), 240000) << "the kills take too long";
    }
    EXPECT_GT(storedInAll, 50); // the writers did get into their loops
    EXPECT_EQ(rounds, 12);
}

TEST(ArchiveProcesses, TwoWritersAtOnceBothSucceed) {
    QTemporaryDir dir;
    const ArchiveLocation where = newArchive(dir);
    // Both start on an archive that does not exist yet, so they also create it at once. Then
    // both replace one round 50 times each: every replace is whole, none is lost to the other.
    struct Case {
        const char* what;
        QStringList a, b;
        int rounds;
    };
    const Case cases[] = {
        {"rounds of their own", {where.path, "0", "50"}, {where.path, "1000", "50"}, 100},
        {"the same round", {where.path, "2000", "50", "1"}, {where.path, "3000", "50", "1"}, 100},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QProcess a, b;
        a.start(kWriter, c.a);
        b.start(kWriter, c.b);
        for (QProcess* p : {&a, &b}) {
            ASSERT_TRUE(p->waitForFinished(kWaitMs));
            EXPECT_EQ(p->exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().data();
            EXPECT_EQ(storedBy(*p).size(), 50u);
        }
        EXPECT_EQ(expectWholeRounds(where), c.rounds);
    }
    // The one that lost the race to make the archive removed the file it had made.
    if (where.kind == ArchiveKind::SqliteFile) {
        EXPECT_EQ(
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{"archiv.sqlite"});
    }
}
