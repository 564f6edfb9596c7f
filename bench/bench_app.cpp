// Timings and memory of the program's commands, offscreen, on generated instruments.
//
//   bench_app              all figures below
//   bench_app evaluations  one click of each single evaluation and of the batch run
//   bench_app overall      the overall test for 10, 20, 100 and 200 instruments
//   bench_app scale        for 10, 100 and 500 instruments: adding a sheet, the overall
//                          test, saving the summary pane, peak memory
//   bench_app sheets [N]   adding sheets one after another up to N (1,000), main window
//                          hidden and shown: the cost of the 10th, 100th and 1,000th sheet,
//                          the total
//   bench_app startup      start-up to the first painted main window
//   bench_app report       the round report of the 6 example instruments and of 100: made
//                          with "zpráva PDF" after the overall test, and by velimor-report
//                          from the files (the whole process); time and size
//   bench_app memory N     (internal) loads and evaluates N >= 2 instruments, prints peak
//                          memory
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "data/FileIo.h"
#include "examples/ExampleData.h"
#include "output/Form2.h"
#include "output/Memo.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "overall/OverallRecord.h"
#include "report/ReportCommand.h"
#include "ui/ChartView.h"
#include "ui/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <vector>

namespace {

// Answers the file dialogs from a queue and every question with "Ano"; boxes and printing
// do nothing.
class BenchDialogs : public ui::Dialogs {
public:
    std::deque<QString> files;
    void message(QWidget*, const QString&) override {}
    void error(QWidget*, const QString& text) override {
        std::fprintf(stderr, "error box: %s\n", qPrintable(text));
    }
    std::optional<QString> openFile(QWidget*, const QString&) override { return next(); }
    std::optional<QString> saveFile(QWidget*, const QString&) override { return next(); }
    std::optional<QString> saveFile(QWidget*, const QString&, const ui::SaveChoice&) override {
        return next();
    }
    std::optional<QString> chooseFolder(QWidget*, const QString&) override { return next(); }
    void print(const QString&, QSize, const ui::PagePainter&) override {}
    void openInViewer(const QString&) override {}
    bool ask(QWidget*, const QString&) override { return true; }
    std::optional<QString> askText(QWidget*, const QString&, const QString&) override {
        return std::nullopt;
    }

private:
    std::optional<QString> next() {
        if (files.empty())
            return std::nullopt;
        QString f = files.front();
        files.pop_front();
        return f;
    }
};

// Instrument i of a generated test (examples::generatedInstrument) written into dir.
QString writeInstrument(const QString& dir, int i) {
    const vel::InstrumentRecord rec = examples::generatedInstrument(i);
    const QString path = QDir(dir).filePath(QStringLiteral("i%1.dat").arg(i));
    vel::writeWholeFile(path, vel::encodeInstrumentRecord(rec), vel::WriteErrors::Io);
    return path;
}

struct Bench {
    QTemporaryDir dir;
    BenchDialogs dialogs;
    vel::AppWindows app;

    Bench() { ui::setDialogs(&dialogs); }
    ~Bench() { ui::setDialogs(nullptr); }

    // Loads n instruments and the reference values; returns the mean time of one sheet.
    double load(int n) {
        QElapsedTimer t;
        qint64 total = 0;
        for (int i = 0; i < n; ++i) {
            dialogs.files.push_back(writeInstrument(dir.path(), i));
            t.start();
            app.form1->Button1Click();
            QCoreApplication::processEvents();
            total += t.nsecsElapsed();
        }
        const auto refs = examples::referenceValues();
        for (int k = 0; k < 10; ++k)
            app.form1->referenceFields[k]->setText(QString::number(refs[k]));
        return n ? total / 1e6 / n : 0;
    }

    // Runs a command as a click would, then lets the panes refresh and paints the charts.
    double timed(const std::function<void()>& command, bool overallCharts = false) {
        QElapsedTimer t;
        t.start();
        command();
        QCoreApplication::processEvents();
        app.form1->Chart1->grab();
        if (overallCharts) {
            app.form3->Chart1->grab();
            app.form5->Chart1->grab();
        }
        return t.nsecsElapsed() / 1e6;
    }
};

// Peak resident memory of this process. VmHWM belongs to the process image, unlike
// getrusage's maximum, which a child inherits from the process that forked it.
double peakMemoryMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

double best(int repeats, const std::function<double()>& f) {
    double b = 1e300;
    for (int i = 0; i < repeats; ++i)
        b = std::min(b, f());
    return b;
}

void evaluations() {
    Bench b;
    b.load(6);
    vel::Form1& f = *b.app.form1;
    f.setCurrentSheet(3); // the instrument with a carry-over warning
    struct Item {
        const char* name;
        void (vel::Form1::*handler)();
    };
    const Item items[] = {{"slepé pokusy", &vel::Form1::Button2Click},
                          {"opakovatelnost", &vel::Form1::Button3Click},
                          {"vliv přenosu", &vel::Form1::Button5Click},
                          {"kontrola linearity", &vel::Form1::Button6Click},
                          {"provedení testu aktuálního výběru", &vel::Form1::Button10Click}};
    std::printf("One click on a loaded sheet, offscreen, panes and chart updated (best of 20):\n");
    for (const Item& it : items)
        std::printf("  %-36s %8.3f ms\n", it.name,
                    best(20, [&] { return b.timed([&] { (f.*it.handler)(); }); }));
}

double overallOnce(int n, double* perInstrument = nullptr) {
    Bench b;
    b.load(n);
    b.app.form1->Button8Click(); // warm-up: windows shown, fonts loaded
    QCoreApplication::processEvents();
    double ms = best(3, [&] { return b.timed([&] { b.app.form1->Button8Click(); }, true); });
    if (perInstrument)
        *perInstrument = ms / n;
    return ms;
}

void overall() {
    std::printf("The overall test, offscreen, charts painted once (best of 3):\n");
    double per20 = 0, per200 = 0;
    for (int n : {10, 20, 100, 200}) {
        double per = 0;
        double ms = overallOnce(n, &per);
        std::printf("  %4d instruments  %9.2f ms  (%.3f ms per instrument)\n", n, ms, per);
        if (n == 20)
            per20 = per;
        if (n == 200)
            per200 = per;
    }
    std::printf("  time per instrument at 200 / at 20: %.2f\n", per200 / per20);
}

double memoryOf(const QString& self, int n) {
    QProcess p;
    p.start(self, {QStringLiteral("memory"), QString::number(n)});
    p.waitForFinished(600000);
    return QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble();
}

void scale(const QString& self) {
    std::printf("Instruments loaded: adding a sheet, the overall test, saving the summary pane, "
                "peak memory of a process that loads and evaluates them:\n");
    for (int n : {10, 100, 500}) {
        Bench b;
        double add = b.load(n);
        double test = b.timed([&] { b.app.form1->Button8Click(); }, true);
        const QString out = b.dir.filePath(QStringLiteral("summary.txt"));
        double save = best(3, [&] {
            b.dialogs.files.push_back(out);
            return b.timed([&] { b.app.form2->Button1Click(); });
        });
        std::printf("  %4d instruments: add a sheet %7.2f ms, overall test %9.1f ms, "
                    "save summary (%lld lines) %6.2f ms, peak memory %6.1f MB\n",
                    n, add, test, (long long)b.app.form2->Memo1->pane().count(), save,
                    memoryOf(self, n));
    }
}

// Adds n sheets, one "nový test" each, and returns the time of every addition in
// milliseconds.
std::vector<double> sheetTimes(int n, bool shown) {
    Bench b;
    std::vector<QString> files;
    for (int i = 0; i < n; ++i)
        files.push_back(writeInstrument(b.dir.path(), i));
    if (shown)
        b.app.form1->show();
    QCoreApplication::processEvents();
    std::vector<double> ms;
    QElapsedTimer t;
    for (int i = 0; i < n; ++i) {
        b.dialogs.files.push_back(files[i]);
        t.start();
        b.app.form1->Button1Click();
        QCoreApplication::processEvents();
        ms.push_back(t.nsecsElapsed() / 1e6);
    }
    return ms;
}

// Median time of the ten additions ending with sheet k (1-based).
double sheetCost(const std::vector<double>& ms, int k) {
    std::vector<double> w(ms.begin() + (k - 10), ms.begin() + k);
    std::nth_element(w.begin(), w.begin() + 5, w.end());
    return w[5];
}

void sheets(int n) {
    std::printf("Adding sheets one by one up to %d, offscreen (cost of a sheet: median of the ten "
                "additions up to it):\n",
                n);
    for (bool shown : {false, true}) {
        const std::vector<double> ms = sheetTimes(n, shown);
        double total = 0;
        for (double m : ms)
            total += m;
        std::printf("  main window %s:", shown ? "shown " : "hidden");
        for (int k : {10, 100, 1000})
            if (k <= n)
                std::printf("  sheet %d %6.2f ms,", k, sheetCost(ms, k));
        std::printf("  sheet %d / sheet 10 %5.2f,  all %d sheets %6.2f s\n", n,
                    sheetCost(ms, n) / sheetCost(ms, 10), n, total / 1000);
    }
}

int memory(int n) {
    Bench b;
    b.load(n);
    b.app.form1->Button8Click();
    QCoreApplication::processEvents();
    b.app.form3->Chart1->grab();
    b.app.form5->Chart1->grab();
    std::printf("%.1f\n", peakMemoryMb());
    return 0;
}

// Start-up as main() does it, up to the first paint of the main window.
class FirstPaint : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            painted = true;
        return false;
    }
};

// The report of n instruments (n == 6: the example instruments), from the summary window
// after the overall test and from the files by velimor-report.
void reportOf(int n, const QString& reportExe) {
    Bench b;
    QStringList files;
    if (n == 6) {
        examples::writeExamples(b.dir.path());
        for (int i = 1; i <= 6; ++i)
            files << QDir(b.dir.path()).filePath(examples::instrumentFileName(i));
    } else {
        for (int i = 0; i < n; ++i)
            files << writeInstrument(b.dir.path(), i);
        vel::writeReferenceFile(QDir(b.dir.path()).filePath(examples::referenceFileName()),
                                examples::referenceValues());
    }
    const QString reference = QDir(b.dir.path()).filePath(examples::referenceFileName());
    for (const QString& f : files) {
        b.dialogs.files.push_back(f);
        b.app.form1->Button1Click();
    }
    b.dialogs.files.push_back(reference);
    b.app.form1->Button4Click();
    b.timed([&] { b.app.form1->Button8Click(); }, true);

    const QString pdf = QDir(b.dir.path()).filePath(QStringLiteral("window.pdf"));
    const double window = best(3, [&] {
        b.dialogs.files.push_back(pdf);
        QElapsedTimer t;
        t.start();
        b.app.form2->Button3Click();
        return t.nsecsElapsed() / 1e6;
    });
    const double windowKb = QFileInfo(pdf).size() / 1024.0;

    const QString cliPdf = QDir(b.dir.path()).filePath(QStringLiteral("cli.pdf"));
    const QStringList args = QStringList{"--reference", reference, "--pdf", cliPdf, "--summary",
                                         QDir(b.dir.path()).filePath(QStringLiteral("s.txt")),
                                         "--csv",
                                         QDir(b.dir.path()).filePath(QStringLiteral("r.csv"))} +
                             files;
    const double cli = best(3, [&] {
        QElapsedTimer t;
        t.start();
        QProcess p;
        p.start(reportExe, args);
        if (!p.waitForFinished(120000) || p.exitCode() != 0)
            std::fprintf(stderr, "velimor-report failed: %s\n",
                         p.readAllStandardError().constData());
        return t.nsecsElapsed() / 1e6;
    });
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {cliPdf});
    info.waitForFinished(30000);
    const QByteArray pages = info.readAllStandardOutput();
    const qsizetype at = pages.indexOf("Pages:");
    std::printf("Report of %3d instruments: from the window %7.1f ms, %7.1f KB; velimor-report "
                "(whole process, with --summary and --csv) %7.1f ms, %7.1f KB, %s pages\n",
                n, window, windowKb, cli, QFileInfo(cliPdf).size() / 1024.0,
                at < 0 ? "?" : pages.mid(at + 6).trimmed().split('\n').first().constData());
}

void report() {
    const QString exe = QStringLiteral(VELIMOR_REPORT_EXE);
    reportOf(6, exe);
    reportOf(100, exe);
}

void startup() {
    QElapsedTimer t;
    t.start();
    vel::setupApplicationFont();
    vel::AppWindows app;
    FirstPaint fp;
    app.form1->installEventFilter(&fp);
    app.form1->show();
    while (!fp.painted && t.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    std::printf("Start-up to the first painted main window (offscreen, after the application "
                "object): %.1f ms\n",
                t.nsecsElapsed() / 1e6);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == "memory")
        return memory(argc > 2 ? std::atoi(argv[2]) : 100);
    if (mode != "memory")
        vel::setupApplicationFont();
    if (mode.isEmpty() || mode == "startup")
        startup();
    if (mode.isEmpty() || mode == "evaluations")
        evaluations();
    if (mode.isEmpty() || mode == "overall")
        overall();
    if (mode.isEmpty() || mode == "scale")
        scale(QCoreApplication::applicationFilePath());
    if (mode.isEmpty() || mode == "report")
        report();
    if (mode.isEmpty() || mode == "sheets")
        sheets(argc > 2 && mode == "sheets" ? std::max(10, std::atoi(argv[2])) : 1000);
    return 0;
}
