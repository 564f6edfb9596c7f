// Timings and sizes of the archive of rounds (SQLite), on rounds whose results come from
// the real overall test of generated instruments.
//
//   bench_archive        storing a round of 100 instruments with its results (into a new
//                        archive, into one that has rounds, replacing it), loading it, the
//                        archive's size per round; then an archive of 200 such rounds, as a
//                        new program meets it (a process of its own, three times): listing
//                        it, the first store of the run (which checks the whole file) and the
//                        stores after it, each through an archive object of its own as the
//                        window's "uložit kolo" does; last, both back-ends in one run: a
//                        SQLite file and a database on a PostgreSQL server of the benchmark's
//                        own on its local socket (fsync on), 200 such rounds stored into each
//                        and the 200 listed, by a new archive object and by an open one,
//                        and one instrument's history window over the 200 opened
//                        (that alone: bench_archive --backends)
#include "archive/Archive.h"
#include "examples/ExampleData.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ReportArchive.h"
#include "rounds/HistoryWindow.h"
#include "support/PgServer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Instrument i of a generated round, with header texts.
vel::InstrumentRecord instrument(int i) {
    vel::InstrumentRecord rec = examples::generatedInstrument(i);
    rec.time = QStringLiteral("10:%1").arg(i % 60, 2, 10, QChar(u'0'));
    rec.temperature = QStringLiteral("40");
    rec.received = QStringLiteral("2.2.2026");
    rec.testDate = QStringLiteral("3.2.2026");
    return rec;
}

// A round of n instruments as the window would store it after the overall test: the
// sheets' field texts, the organiser's texts, and the results and summary of the test.
vel::Round roundOf(int n, const QString& name) {
    std::vector<vel::InstrumentRecord> records;
    for (int i = 0; i < n; ++i)
        records.push_back(instrument(i));
    vel::FileWorkspace ws(records, examples::referenceValues());
    vel::OverallRecord record;
    vel::overallTest(ws, ws.overall, ws.calibration, &record);

    vel::Round round = vel::roundOfWorkspace(ws, record);
    round.name = name;
    round.info.provider = QStringLiteral("Zkušební laboratoř\nMlékárenská 12\n586 01 Jihlava");
    round.info.coordinator = QStringLiteral("Ing. Jana Nováková");
    round.info.samples = QStringLiteral("10 vzorků syrového kravského mléka, konzervováno");
    round.info.referenceOrigin =
        QStringLiteral("Průměr tří referenčních laboratoří fluoroopto-elektronickou metodou, "
                       "nejistota 3 %");
    round.info.advice = QStringLiteral("Přístroje s výhradami doporučujeme překalibrovat.");
    round.info.issueDate = QDate(2026, 2, 10);
    return round;
}

double ms(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// One run of a new program on the archive: lists it, then stores a round of 100 instruments
// six times, each through an archive object of its own.
int runOnce(const QString& path) {
    const vel::ArchiveLocation where = vel::ArchiveLocation::parse(path);
    vel::Round round = roundOf(100, QStringLiteral("nový program"));
    std::size_t listed = 0;
    const double list = ms([&] { listed = vel::Archive(where).list().size(); });
    const double first = ms([&] { vel::Archive(where).store(round, vel::IfStored::Replace); });
    std::vector<double> later;
    for (int i = 0; i < 5; ++i)
        later.push_back(ms([&] { vel::Archive(where).store(round, vel::IfStored::Replace); }));
    const double again = ms([&] { vel::Archive(where).list(); });
    std::printf("%zu rounds: %.1f ms / %.1f ms / %.1f ms / %.1f ms\n", listed, list, first,
                median(later), again);
    return 0;
}

// Stores 200 rounds of 100 instruments, each through an archive object of its own, then
// lists them through new objects and opens one instrument's history window over the 200;
// the medians of the stores, of 5 lists and of 5 histories.
std::array<double, 4> storeAndList(const vel::ArchiveLocation& where, vel::Round round) {
    std::vector<double> stores, lists, open;
    for (int i = 1; i <= 200; ++i) {
        round.name = QStringLiteral("2026/%1").arg(i);
        stores.push_back(ms([&] { vel::Archive(where).store(round, vel::IfStored::Refuse); }));
    }
    for (int i = 0; i < 5; ++i)
        lists.push_back(ms([&] {
            if (vel::Archive(where).list().size() != 200)
                std::printf("  the list lacks rounds\n");
        }));
    vel::Archive archive(where);
    archive.list();
    for (int i = 0; i < 5; ++i)
        open.push_back(ms([&] { archive.list(); }));
    std::vector<double> histories;
    const QString id = round.sheets.at(37).instrumentId();
    for (int i = 0; i < 5; ++i)
        histories.push_back(ms([&] {
            vel::HistoryWindow w;
            w.showHistory(where, id);
            w.grab(); // painted whole, both charts included
        }));
    return {median(stores), median(lists), median(open), median(histories)};
}

void compareBackends(const vel::Round& round) {
    std::printf("Both back-ends in one run: 200 rounds of 100 instruments stored, each through "
                "an archive object of its own (median), then listed (median of 5):\n");
    QTemporaryDir dir;
    const auto lite =
        storeAndList(vel::ArchiveLocation::parse(dir.filePath(QStringLiteral("a.sqlite"))), round);
    testing_support::PgServer server;
    if (const QString error = server.start(true); !error.isEmpty()) {
        std::printf("  PostgreSQL: not measured (%s)\n", error.toLocal8Bit().constData());
        return;
    }
    testing_support::pgRows(server.uri(QStringLiteral("postgres")),
                            {QStringLiteral("CREATE DATABASE archiv")});
    const auto pg =
        storeAndList(vel::ArchiveLocation::parse(server.uri(QStringLiteral("archiv"))), round);
    std::printf("                        SQLite   PostgreSQL   PostgreSQL / SQLite\n");
    const char* what[] = {"store a round", "list 200 rounds", "list, archive open",
                          "history window"};
    for (int i = 0; i < 4; ++i)
        std::printf("  %-18s %7.1f ms %8.1f ms   %.1f×\n", what[i], lite[i], pg[i],
                    pg[i] / lite[i]);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--run")
        return runOnce(QString::fromLocal8Bit(argv[2]));
    if (argc == 2 && QByteArray(argv[1]) == "--backends") {
        compareBackends(roundOf(100, QStringLiteral("2026/1")));
        return 0;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("archiv.sqlite"));
    const vel::ArchiveLocation where = vel::ArchiveLocation::parse(path);
    vel::Round round = roundOf(100, QStringLiteral("2026/1"));
    std::printf("A round of 100 instruments with results: %lld summary lines\n",
                qlonglong(round.results->summary.size()));

    std::printf("Storing it (each into an archive object of its own, as a command would):\n");
    std::printf("  into a new archive (creates the file)  %8.1f ms\n",
                ms([&] { vel::Archive(where).store(round, vel::IfStored::Refuse); }));
    std::vector<double> stores, replaces, loads;
    for (int i = 2; i <= 10; ++i) {
        round.name = QStringLiteral("2026/%1").arg(i);
        stores.push_back(ms([&] { vel::Archive(where).store(round, vel::IfStored::Refuse); }));
    }
    for (int i = 0; i < 9; ++i)
        replaces.push_back(ms([&] { vel::Archive(where).store(round, vel::IfStored::Replace); }));
    std::printf("  into an archive of rounds (median of 9)  %6.1f ms\n", median(stores));
    std::printf("  replacing a round (median of 9)        %8.1f ms\n", median(replaces));
    {
        vel::Archive archive(where);
        archive.list(); // opened
        std::vector<double> warm;
        for (int i = 0; i < 9; ++i)
            warm.push_back(ms([&] { archive.store(round, vel::IfStored::Replace); }));
        std::printf("  replacing, archive already open (median of 9)  %.1f ms\n", median(warm));
    }
    for (int i = 0; i < 9; ++i)
        loads.push_back(ms([&] { vel::Archive(where).load(QStringLiteral("2026/5")); }));
    std::printf("Loading it, archive opened by the load (median of 9)  %.1f ms\n", median(loads));

    // The size: the file with every round folded in (the archive closed).
    const qint64 size10 = QFileInfo(path).size();
    std::printf("Archive of 10 such rounds: %.2f MB, %.0f KB per round\n", size10 / 1e6,
                size10 / 10.0 / 1024);

    // 200 rounds of 100 instruments, each stored by a new archive object in one run (the
    // archive checked once, then known whole from its own writes).
    {
        QElapsedTimer t;
        t.start();
        for (int i = 11; i <= 200; ++i) {
            round.name = QStringLiteral("2026/%1").arg(i);
            vel::Archive(where).store(round, vel::IfStored::Refuse);
        }
        std::printf("Storing 190 more rounds of 100 instruments in one run: %.1f ms each\n",
                    t.nsecsElapsed() / 1e6 / 190);
    }
    std::printf("Archive of 200 rounds of 100 instruments: %.1f MB\n",
                QFileInfo(path).size() / 1e6);
    // A new program each time: nothing of this process's knowledge of the file carries over.
    std::printf("A new program on it (3 runs): list 200 rounds (first opening in the run) / "
                "first store in the run / later stores (median of 5) / list after them:\n");
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--run"), path});
        if (!child.waitForFinished(600000) || child.exitCode() != 0) {
            std::printf("  the run failed: %s\n", child.readAllStandardError().constData());
            return 1;
        }
        std::printf("  %s", child.readAllStandardOutput().constData());
    }
    round.name = QStringLiteral("2026/1");
    compareBackends(round);
    return 0;
}
