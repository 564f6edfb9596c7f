// The round report: velimor-report on the command line against the real window's export,
// the PDF read back with the poppler tools, the results table read back with Python's csv
// module, and "zpráva PDF" in the summary window. Every program run here has a time limit.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "data/Cp1250.h"
#include "data/FileIo.h"
#include "examples/ExampleData.h"
#include "output/Form2.h"
#include "output/Memo.h"
#include "output/TextPane.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ReportCommand.h"
#include "report/ReportPdf.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace vel;
using testing_support::ScriptedDialogs;

namespace {

constexpr int kLimitMs = 60000; // any program run here

struct ProgramRun {
    int status = -1; // -1: did not start, crashed or timed out
    QByteArray out, err;
};

ProgramRun run(const QString& program, const QStringList& args,
        const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    ProgramRun r;
    if (!p.waitForStarted(kLimitMs)) {
        ADD_FAILURE() << "cannot start " << program.toStdString();
        return r;
    }
    if (!p.waitForFinished(kLimitMs)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << program.toStdString() << " did not finish in time";
        return r;
    }
    if (p.exitStatus() == QProcess::NormalExit)
        r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

ProgramRun report(const QStringList& args,
           const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    return run(QStringLiteral(VELIMOR_REPORT_EXE), args, env);
}

QString tool(const char* name) {
    const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
    if (path.isEmpty())
        ADD_FAILURE() << name << " is missing (poppler-utils)";
    return path;
}

QString pdfText(const QString& pdf, QStringList options = {}) {
    options << pdf << QStringLiteral("-");
    return QString::fromUtf8(run(tool("pdftotext"), options).out);
}

// Blanks, line ends and page breaks as single blanks, so that a wrapped line reads as it
// was written.
QString normalized(const QString& text) {
    return text.simplified();
}

// Each line is found in the text after the one before it; the first line not found, or
// an empty text when all are.
QString missingInOrder(const QString& text, const QStringList& lines, qsizetype from = 0) {
    for (const QString& line : lines) {
        const QString l = normalized(line);
        if (l.isEmpty())
            continue;
        const qsizetype at = text.indexOf(l, from);
        if (at < 0)
            return line;
        from = at + l.size();
    }
    return QString();
}

// A round of 30 instruments with every kind of warning, two test dates, and an identifier
// that a spreadsheet file must quote.
std::vector<InstrumentRecord> generatedRound() {
    std::vector<InstrumentRecord> out;
    for (int i = 1; i <= 30; ++i) {
        const int e = (i * 7) % 11 - 5;
        std::array<int, 4> errors{e, e - (i % 3), e + (i % 4), e - 1};
        std::array<int, 4> blank{1, 2, 1, 2};
        std::array<int, 4> water1{2, 1, 2, 1};
        const std::array<int, 4> water2{1, 0, 1, 0};
        if (i % 9 == 0)
            errors = {0, 130, 0, 130}; // 40 pairs above their limits: repeatability
        if (i % 7 == 0)
            blank = {1, 1, 12, 1}; // a blank above 8
        if (i % 5 == 0)
            water1 = {40, 40, 40, 40}; // carry-over above 2 %
        InstrumentRecord rec = examples::makeInstrument(QStringLiteral("LAB-%1").arg(i, 2, 10, QChar(u'0')),
                                                        errors, blank, water1, water2);
        rec.testDate = i % 4 == 0 ? QStringLiteral("04.03.2027") : QStringLiteral("05.03.2027");
        out.push_back(rec);
    }
    out[12].id = QStringLiteral("Lab \"13\"; B");
    return out;
}

QStringList writeRound(const QString& dir, const std::vector<InstrumentRecord>& round) {
    QStringList files;
    for (std::size_t i = 0; i < round.size(); ++i) {
        files << QDir(dir).filePath(QStringLiteral("gen%1.dat").arg(i + 1));
        writeWholeFile(files.back(), encodeInstrumentRecord(round[i]), WriteErrors::Io);
    }
    return files;
}

class ReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        examples::writeExamples(dir.path());
        reference = dir.filePath(examples::referenceFileName());
        for (int i = 1; i <= 6; ++i)
            exampleFiles << dir.filePath(examples::instrumentFileName(i));
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    // The files loaded into the real window in order, the overall test run, and the
    // summary pane saved with "export výstupu.".
    QByteArray windowExport(AppWindows& app, ScriptedDialogs& dialogs, const QStringList& files,
                            const QString& name) {
        for (const QString& f : files) {
            dialogs.files.push_back(f);
            app.form1->Button1->click();
        }
        dialogs.files.push_back(reference);
        app.form1->Button4->click();
        app.form1->Button8->click();
        QApplication::processEvents();
        EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
        dialogs.files.push_back(path(name));
        app.form2->Button1->click();
        return testing_support::readAll(path(name));
    }

    // The record of the overall test on the files, run in this process.
    static OverallRecord recordOf(const QStringList& files, const QString& reference) {
        FileWorkspace ws = FileWorkspace::fromFiles(files, reference);
        OverallRecord record;
        overallTest(ws, ws.overall, ws.calibration, &record);
        return record;
    }

    QTemporaryDir dir;
    QString reference;
    QStringList exampleFiles;
};

} // namespace

TEST_F(ReportTest, SummaryOfTheCommandLineIsTheWindowsExport) {
    const QStringList generated = writeRound(dir.path(), generatedRound());
    for (const QStringList& files : {exampleFiles, generated}) {
        ScriptedDialogs dialogs;
        AppWindows app;
        const QByteArray fromWindow = windowExport(app, dialogs, files, "window.txt");
        ASSERT_GT(fromWindow.size(), 1000);

        const ProgramRun r = report(QStringList{"--reference", reference, "--pdf", path("r.pdf"),
                                         "--summary", path("cli.txt")} +
                             files);
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        EXPECT_TRUE(testing_support::readAll(path("cli.txt")) == fromWindow)
            << "instruments: " << files.size();
    }
}

TEST_F(ReportTest, ExampleReportReadBackWithThePopplerTools) {
    // No display and no platform chosen: the command line needs neither.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    const QString pdf = path("report.pdf");
    const ProgramRun r = report(QStringList{"--reference", reference, "--pdf", pdf, "--summary",
                                     path("summary.txt")} +
                             exampleFiles,
                         env);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();

    // A4, and as many pages as the footers count, each numbered and headed.
    const QString info = QString::fromUtf8(run(tool("pdfinfo"), {pdf}).out);
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? "
                                                 "pts \\(A4\\)")))
        << info.toStdString();
    const QString text = pdfText(pdf, {"-layout"});
    const QRegularExpressionMatch total =
        QRegularExpression(QStringLiteral("strana 1 z (\\d+)")).match(text);
    ASSERT_TRUE(total.hasMatch());
    const int pages = total.captured(1).toInt();
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))));
    EXPECT_GE(pages, 1 + 2 + 6); // summary, two charts, a section per instrument
    qsizetype at = 0;
    for (int p = 1; p <= pages; ++p) {
        at = text.indexOf(QStringLiteral("strana %1 z %2").arg(p).arg(pages), at);
        EXPECT_GE(at, 0) << "page " << p;
    }
    EXPECT_EQ(text.count(QStringLiteral("datum testu: 03.12.2026")), pages);
    for (int i = 1; i <= 6; ++i)
        EXPECT_TRUE(text.contains(QStringLiteral("Přístroj SCC-0%1").arg(i)));

    // Fonts embedded, no raster image.
    const QStringList fonts =
        QString::fromUtf8(run(tool("pdffonts"), {pdf}).out).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_GT(fonts.size(), 2);
    for (const QString& f : fonts.mid(2))
        EXPECT_TRUE(f.contains(QRegularExpression("\\byes\\s+(yes|no)\\s+yes\\b"))) << f.toStdString();
    const QStringList images =
        QString::fromUtf8(run(tool("pdfimages"), {"-list", pdf}).out).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(images.size(), 2) << images.join('\n').toStdString(); // the heading only

    // Every line of the summary pane, in order: the instrument blocks from the first
    // instrument page on, and what follows them on the chart pages. Lines such as
    // "Koeficient determinace: 1" come back without ligatures.
    const QStringList summary = fromCp1250(testing_support::readAll(path("summary.txt")))
                                    .split(QStringLiteral("\r\n"));
    const qsizetype tailFirst = summary.indexOf(QString(43, u'-')) - 1;
    ASSERT_GT(tailFirst, 0);
    const QString flat = normalized(text);
    const qsizetype firstBlock = flat.indexOf(QStringLiteral("Výsledky testu pro stroj: SCC-01"));
    ASSERT_GT(firstBlock, 0);
    EXPECT_EQ(missingInOrder(flat, summary.mid(0, tailFirst), firstBlock - 60), QString());
    EXPECT_EQ(missingInOrder(flat, summary.mid(tailFirst)), QString());
    EXPECT_TRUE(flat.contains(QStringLiteral("Koeficient determinace: 1")));

    // The table: every instrument's row with its values, verdicts and warnings.
    for (const char* row : {"SCC-01 0 2,03 vyhověl 2,05 4,85E-005 dobrý SCC-02",
                            "SCC-03 1 2,03 vyhověl 2,05 4,85E-005 dobrý ano SCC-04",
                            "SCC-04 4 2,03 vyhověl 2,05 4,85E-005 dobrý ano SCC-05",
                            "SCC-05 -10 0 nevyhověl 0 0 výborný SCC-06",
                            "SCC-06 1 0 s výhradami 0 0 výborný"})
        EXPECT_TRUE(flat.contains(QString::fromUtf8(row))) << row;
    EXPECT_TRUE(flat.contains(QStringLiteral("hodnota [10³ buněk/ml] 100 200 300 400 500 600 "
                                             "700 800 900 1000")));
}

TEST_F(ReportTest, InstrumentPointsDrawnWhereTheModelPutsThem) {
    const OverallRecord record = recordOf(exampleFiles, reference);
    ReportCharts charts;
    charts.font = QApplication::font();
    const ReportDocument doc = makeReportPdf(record, charts);
    ASSERT_FALSE(doc.charts.empty());
    const PlacedChart& placed = doc.charts.front();
    ASSERT_EQ(placed.model, record.overallChart.get());
    const QString pdf = path("points.pdf");
    testing_support::writeAll(pdf, doc.pdf);

    // The page of the overall chart at 150 dpi.
    const int dpi = 150;
    const QString page = QString::number(placed.page + 1);
    ASSERT_EQ(run(tool("pdftoppm"), {"-f", page, "-l", page, "-r", QString::number(dpi), "-png",
                                     "-singlefile", pdf, path("page")})
                  .status,
              0);
    QImage image(path("page.png"));
    ASSERT_FALSE(image.isNull());
    const double scale = placed.rect.width() / placed.size.width(); // points per chart pixel
    auto onPage = [&](QPointF chartPixel) {
        const QPointF pt = placed.rect.topLeft() + chartPixel * scale;
        return (pt * dpi / 72).toPoint();
    };
    auto reddish = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
    ASSERT_EQ(record.overallChart->Series1.points().size(), 6u);
    for (const ui::ChartPoint& pt : record.overallChart->Series1.points()) {
        const QPoint at = onPage(placed.layout.toPixel(pt.x, pt.y));
        EXPECT_TRUE(reddish(image.pixelColor(at))) << pt.label.toStdString();
        // Well to the right of the symbol the plot is white again.
        EXPECT_EQ(image.pixelColor(at + QPoint(int(12 * scale * dpi / 72), 0)), QColor(Qt::white))
            << pt.label.toStdString();
    }
}

TEST_F(ReportTest, ResultsTableReadBackByPython) {
    std::vector<InstrumentRecord> round = generatedRound();
    const QStringList files = writeRound(dir.path(), round);
    const QString csvFile = path("results.csv");
    const ProgramRun r = report(QStringList{"--reference", reference, "--pdf", path("r.pdf"), "--csv",
                                     csvFile} +
                         files);
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(testing_support::readAll(csvFile).startsWith("\xEF\xBB\xBF"));

    const ProgramRun py = run(QStringLiteral("python3"),
                       {"-c",
                        "import csv, json, sys\n"
                        "with open(sys.argv[1], encoding='utf-8-sig', newline='') as f:\n"
                        "    print(json.dumps(list(csv.reader(f, delimiter=';'))))\n",
                        csvFile});
    ASSERT_EQ(py.status, 0) << py.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(py.out).array();
    ASSERT_EQ(rows.size(), 31);
    QStringList header;
    for (const QJsonValue& v : rows[0].toArray())
        header << v.toString();
    EXPECT_EQ(header, (QStringList{"id stroje", "průměrná chyba", "směrodatná odchylka chyby",
                                   "výsledek testu", "reziduální chyba Sy,x", "1 − r²",
                                   "kvalita kalibrace", "slepý pokus nad limitem",
                                   "vliv přenosu nad 2 %", "opakovatelnost nad limity"}));

    // The numbers read back to the very values of the test; the warnings where raised.
    const OverallRecord record = recordOf(files, reference);
    auto number = [](const QJsonValue& v) {
        bool ok = false;
        const double d = v.toString().replace(u',', u'.').toDouble(&ok);
        EXPECT_TRUE(ok) << v.toString().toStdString();
        return d;
    };
    auto flag = [](bool raised) { return raised ? QStringLiteral("ano") : QString(); };
    for (int i = 0; i < 30; ++i) {
        const QJsonArray row = rows[i + 1].toArray();
        const InstrumentOutcome& o = record.instruments[i];
        ASSERT_EQ(row.size(), 10);
        EXPECT_EQ(row[0].toString(), round[i].id);
        EXPECT_EQ(number(row[1]), o.d);
        EXPECT_EQ(number(row[2]), o.s);
        EXPECT_EQ(row[3].toString(), o.testVerdict);
        EXPECT_EQ(number(row[4]), o.E);
        EXPECT_EQ(number(row[5]), o.Q);
        EXPECT_EQ(row[6].toString(), o.calibrationVerdict);
        const int n = i + 1;
        EXPECT_EQ(row[7].toString(), flag(n % 7 == 0)) << n;
        EXPECT_EQ(row[8].toString(), flag(n % 5 == 0)) << n;
        EXPECT_EQ(row[9].toString(), flag(n % 9 == 0)) << n;
    }
    // The headers carry the most frequent test date.
    EXPECT_EQ(record.roundTestDate(), "05.03.2027");
}

TEST_F(ReportTest, CommandLineErrorsAndUsage) {
    const QString pdf = path("out.pdf"), summary = path("out.txt"), csv = path("out.csv");
    auto noOutput = [&] {
        return !QFile::exists(pdf) && !QFile::exists(summary) && !QFile::exists(csv);
    };

    ProgramRun r = report({});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(QString::fromUtf8(r.err).contains("Použití: velimor-report"));

    r = report({"--help"});
    EXPECT_EQ(r.status, 0);
    for (const char* option : {"--reference", "--pdf", "--summary", "--csv"})
        EXPECT_TRUE(r.out.contains(option)) << option;

    for (const QStringList& bad :
         {QStringList{"--reference", reference, "--pdf", pdf, "--colour", "x", exampleFiles[0]},
          QStringList{"--reference", reference, "--pdf"},
          QStringList{"--reference", reference, exampleFiles[0], exampleFiles[1]},
          QStringList{"--reference", reference, "--pdf", pdf}}) {
        r = report(bad);
        EXPECT_EQ(r.status, 2) << bad.join(' ').toStdString();
        EXPECT_TRUE(QString::fromUtf8(r.err).contains("Použití: velimor-report"));
    }

    // Errors: the error box's text on standard error, status 1, nothing written.
    auto fails = [&](const QStringList& args, const QString& message) {
        const ProgramRun e = report(args);
        EXPECT_EQ(e.status, 1) << args.join(' ').toStdString();
        EXPECT_EQ(QString::fromUtf8(e.err), message + u'\n');
        EXPECT_TRUE(noOutput()) << args.join(' ').toStdString();
    };
    const QStringList outputs{"--pdf", pdf, "--summary", summary, "--csv", csv};
    fails(QStringList{"--reference", reference} + outputs +
              QStringList{exampleFiles[0], path("missing.dat")},
          "File not found.");
    fails(QStringList{"--reference", path("missing.ref")} + outputs + exampleFiles,
          "File not found.");
    fails(QStringList{"--reference", reference} + outputs + QStringList{exampleFiles[0]},
          "Invalid floating point operation.");

    // A file that cannot be written takes back the ones written before it: a new file goes,
    // an old one of the same name comes back as it was.
    testing_support::writeAll(summary, "old summary\r\n");
    const ProgramRun w = report(QStringList{"--reference", reference, "--summary", summary, "--csv", csv,
                                     "--pdf", path("no/such/folder/r.pdf")} +
                         exampleFiles);
    EXPECT_EQ(w.status, 1);
    EXPECT_TRUE(QString::fromUtf8(w.err).startsWith("Cannot create file \"")) << w.err.toStdString();
    EXPECT_EQ(testing_support::readAll(summary), "old summary\r\n");
    EXPECT_FALSE(QFile::exists(csv));
}

TEST_F(ReportTest, SummaryWindowButton) {
    ScriptedDialogs dialogs;
    AppWindows app;
    Form2& form2 = *app.form2;
    EXPECT_EQ(form2.Button3->text(), "zpráva PDF");
    EXPECT_EQ(form2.Button2->nextInFocusChain(), form2.Button3);
    const QString noReport = QString::fromUtf8(kNoReportYet);

    // Before any overall test: the message, no dialog, no file.
    dialogs.files.push_back(path("early.pdf"));
    form2.Button3->click();
    EXPECT_EQ(dialogs.messages, QStringList{noReport});
    EXPECT_TRUE(dialogs.dialogNames.isEmpty());
    EXPECT_FALSE(QFile::exists(path("early.pdf")));
    dialogs.files.clear();

    // After a successful one: the report through the window's second save dialog.
    const QByteArray exported = windowExport(app, dialogs, exampleFiles, "export.txt");
    dialogs.files.push_back(path("window.pdf"));
    form2.Button3->click();
    EXPECT_EQ(dialogs.dialogNames.last(), "SaveDialog2");
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    const QString text = normalized(pdfText(path("window.pdf")));
    EXPECT_TRUE(text.contains("Výsledky testu pro stroj: SCC-01"));
    EXPECT_TRUE(text.contains("přístroj SCC-06 - s výhradami"));

    // It shows the state at the end of that test, not fields or lines edited afterwards.
    app.form1->records().at(0).idStroje->setText(QStringLiteral("PŘEPSÁNO"));
    app.form2->Memo1->pane().add(QStringLiteral("DOPSÁNO"));
    dialogs.files.push_back(path("later.pdf"));
    form2.Button3->click();
    const QString later = pdfText(path("later.pdf"));
    EXPECT_FALSE(later.contains("PŘEPSÁNO"));
    EXPECT_FALSE(later.contains("DOPSÁNO"));
    EXPECT_TRUE(later.contains("SCC-01"));

    // After a failed one: the message again, nothing written.
    app.form1->referenceFields[0]->setText(QStringLiteral("x"));
    app.form1->Button8->click();
    ASSERT_FALSE(dialogs.errors.isEmpty());
    dialogs.messages.clear();
    const qsizetype asked = dialogs.dialogNames.size();
    dialogs.files.push_back(path("failed.pdf"));
    form2.Button3->click();
    EXPECT_EQ(dialogs.messages, QStringList{noReport});
    EXPECT_EQ(dialogs.dialogNames.size(), asked);
    EXPECT_FALSE(QFile::exists(path("failed.pdf")));
}

TEST(RoundTestDate, MostFrequentFirstOnATie) {
    OverallRecord record;
    record.instruments.resize(5);
    const char* dates[] = {"", "B", "A", "A", "B"};
    for (int i = 0; i < 5; ++i)
        record.instruments[i].testDate = QString::fromLatin1(dates[i]);
    EXPECT_EQ(record.roundTestDate(), "B"); // A and B twice each; B's sheet comes first
    record.instruments[0].testDate = QStringLiteral("A");
    EXPECT_EQ(record.roundTestDate(), "A");
}

TEST_F(ReportTest, ChartsKeepTheArrangementOfTheirViews) {
    // The views' states belong to the charts the windows show; the report draws the
    // record's copies of them with the same zoom and the same label boxes.
    FileWorkspace ws = FileWorkspace::fromFiles(exampleFiles, reference);
    OverallRecord record;
    overallTest(ws, ws.overall, ws.calibration, &record);
    ui::ChartState overallView, calibrationView;
    overallView.setZoom(ws.overall, ui::ChartZoom{-2, 3, 1, 4, 0, 1});
    ui::MarkBox moved;
    moved.drawn = true;
    moved.pinned = true;
    moved.box = QRect(40, 30, 50, 16);
    calibrationView.marks(ws.calibration.Series1).at(2) = moved;

    ReportCharts charts;
    carryArrangement(ws.overall, overallView, *record.overallChart, charts.overall.state);
    carryArrangement(ws.calibration, calibrationView, *record.calibrationChart,
                     charts.calibration.state);
    const ReportDocument doc = makeReportPdf(record, charts);
    ASSERT_GE(doc.charts.size(), 2u);
    EXPECT_EQ(doc.charts[0].layout.bottom.min, -2);
    EXPECT_EQ(doc.charts[0].layout.bottom.max, 3);
    const ui::MarkBox& kept = charts.calibration.state.marks(record.calibrationChart->Series1).at(2);
    EXPECT_TRUE(kept.pinned);
    EXPECT_EQ(kept.box, moved.box);
    EXPECT_FALSE(charts.calibration.state.marks(record.calibrationChart->Series1).at(1).pinned);
}
