// Benchmark of the participants' reports: every report of a round of 6 and of 100
// instruments made and written into a folder, as "zprávy účastníkům" does (in this process)
// and as velimor-report --from-archive NAME --participants DIR does (the whole process),
// best of three; and the size of one report. Targets: under 2 s for 6 instruments, under
// 30 s for 100. Run: build/bench/bench_participants
#include "app/AppWindows.h"
#include "archive/Archive.h"
#include "data/FileIo.h"
#include "examples/ExampleData.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ParticipantReport.h"
#include "report/ReportArchive.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

double seconds(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e9;
}

void measure(int n, const QString& archive) {
    std::vector<vel::InstrumentRecord> records;
    for (int i = 0; i < n; ++i)
        records.push_back(examples::generatedInstrument(i));
    vel::FileWorkspace ws(records, examples::referenceValues());
    vel::OverallRecord record;
    vel::overallTest(ws, ws.overall, ws.calibration, &record);
    vel::Round round = vel::roundOfWorkspace(ws, record);
    round.name = QStringLiteral("bench %1").arg(n);
    round.info.provider = QStringLiteral("Laboratoř\nUlice 1, Město");
    round.info.issueDate = QDate(2026, 3, 12);
    round = vel::Archive(vel::ArchiveLocation::parse(archive)).store(round, vel::IfStored::Replace);

    vel::ReportCharts charts;
    charts.font = QApplication::font();
    double inProcess = 1e9, process = 1e9;
    qint64 size = 0;
    for (int run = 0; run < 3; ++run) {
        QTemporaryDir out;
        QElapsedTimer t;
        t.start();
        vel::StagedFiles files(vel::WriteErrors::Stream, vel::Links::Replace);
        for (const vel::ParticipantFile& f : vel::makeParticipantReports(
                 record, round, charts,
                 vel::archivedRoundsOf(vel::ArchiveLocation::parse(archive))))
            files.add(QDir(out.path()).filePath(f.name), f.pdf);
        files.commit();
        inProcess = std::min(inProcess, seconds(t));
        size = QFileInfo(QDir(out.path()).filePath(QDir(out.path()).entryList(QDir::Files).first()))
                   .size();

        QTemporaryDir cli;
        QProcess p;
        t.restart();
        p.start(QStringLiteral(VELIMOR_REPORT_EXE),
                {"--archive", archive, "--from-archive", round.name, "--participants", cli.path()});
        if (!p.waitForFinished(120000) || p.exitCode() != 0)
            std::fprintf(stderr, "velimor-report failed: %s\n",
                         p.readAllStandardError().constData());
        process = std::min(process, seconds(t));
    }
    std::printf("participants' reports of %3d instruments: in the window's way %.2f s, "
                "velimor-report (whole process) %.2f s; one report %lld KB\n",
                n, inProcess, process, size / 1024);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vel::setupApplicationFont();
    QTemporaryDir dir;
    const QString archive = dir.filePath("archiv.sqlite");
    for (int n : {6, 100})
        measure(n, archive);
    return 0;
}
