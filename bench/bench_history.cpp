// An instrument's history on an archive of 200 rounds of 100 instruments, each round with
// the results of the real overall test of generated instruments (the same 100 identifiers
// in every round, their readings shifted from round to round):
//
//   bench_history   listing the archive's identifiers with their rounds (what "historie"
//                   of the archive window shows), opening one instrument's history window
//                   (read, table, both charts painted), and writing its PDF; each through an
//                   archive object of its own, medians of 9 / 5 / 5.
#include "app/AppWindows.h"
#include "archive/Archive.h"
#include "data/FileIo.h"
#include "examples/ExampleData.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/HistoryReport.h"
#include "report/ReportArchive.h"
#include "rounds/HistoryWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kRounds = 200, kInstruments = 100;

vel::Round roundOf(int k) {
    const QString date = QDate(2018, 1, 10).addDays(14 * k).toString(QStringLiteral("d.M.yyyy"));
    std::vector<vel::InstrumentRecord> records;
    for (int i = 0; i < kInstruments; ++i) {
        vel::InstrumentRecord rec = examples::generatedInstrument(i + k % 7);
        rec.id = QStringLiteral("BENCH-%1").arg(i + 1);
        rec.testDate = date;
        records.push_back(rec);
    }
    vel::FileWorkspace ws(records, examples::referenceValues());
    vel::OverallRecord record;
    vel::overallTest(ws, ws.overall, ws.calibration, &record);
    vel::Round round = vel::roundOfWorkspace(ws, record);
    round.name = QStringLiteral("%1/%2").arg(2018 + k / 26).arg(k % 26 + 1);
    return round;
}

double ms(const std::function<void()>& f) {
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

double median(const std::function<void()>& f, int times) {
    std::vector<double> v;
    for (int i = 0; i < times; ++i)
        v.push_back(ms(f));
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    vel::setupApplicationFont();
    QTemporaryDir dir;
    const vel::ArchiveLocation where = vel::ArchiveLocation::parse(dir.filePath("archiv.sqlite"));
    const double made = ms([&] {
        vel::Archive archive(where);
        for (int k = 0; k < kRounds; ++k)
            archive.store(roundOf(k), vel::IfStored::Refuse);
    });
    std::printf("archive of %d rounds of %d instruments made in %.0f s, %.0f MB\n", kRounds,
                kInstruments, made / 1000, QFileInfo(where.path).size() / 1e6);

    std::size_t ids = 0;
    const double list = median([&] { ids = vel::Archive(where).instruments().size(); }, 9);
    std::printf("list the identifiers (%zu): %.1f ms (target 100 ms)\n", ids, list);

    const QString id = QStringLiteral("BENCH-37");
    const double open = median(
        [&] {
            vel::HistoryWindow w;
            w.showHistory(where, id);
            w.grab(); // painted whole, both charts included
        },
        5);
    std::printf("open the history window of %s: %.1f ms (target 300 ms)\n", qPrintable(id), open);

    QByteArray pdf;
    const double write = median(
        [&] {
            vel::Archive archive(where);
            pdf = vel::makeHistoryPdf(vel::readHistory(archive, id), QApplication::font());
            vel::writeWholeFile(dir.filePath("historie.pdf"), pdf, vel::WriteErrors::Stream);
        },
        5);
    std::printf("write its PDF: %.1f ms (target 1000 ms), %.0f KB\n", write, pdf.size() / 1e3);
    return 0;
}
