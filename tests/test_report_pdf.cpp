// The round report's PDF read back with the poppler tools (pdftotext, pdfinfo, pdffonts,
// pdfimages, pdftoppm), its charts as their views arrange them, and "zpráva PDF" in the
// summary window. Every program run here has a time limit.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "data/Cp1250.h"
#include "output/Form2.h"
#include "output/Memo.h"
#include "output/TextPane.h"
#include "overall/OverallEvaluation.h"
#include "overall/OverallRecord.h"
#include "report/FileWorkspace.h"
#include "report/ParticipantReport.h"
#include "report/ReportCommand.h"
#include "report/ReportPdf.h"
#include "report/ResultCsv.h"

#include <gtest/gtest.h>

#include "support/ReportSupport.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

using namespace vel;
using namespace testing_support;

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

    // A4, the two chart pages and what follows each of them landscape, and as many pages as
    // the headers count, each numbered, marked confidential and footed by the test date.
    const QString info = QString::fromUtf8(run(tool("pdfinfo"), {"-l", "100", pdf}).out);
    const QRegularExpression size(QStringLiteral("Page +(\\d+) size: +(\\d+) x (\\d+) pts \\(A4\\)"));
    QStringList orientations;
    for (auto m = size.globalMatch(info); m.hasNext();) {
        const auto page = m.next();
        orientations << (page.captured(2).toInt() > page.captured(3).toInt() ? "L" : "P");
    }
    EXPECT_EQ(orientations.join("").left(8), "PPLLLLPP") << info.toStdString();
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
    EXPECT_EQ(text.count(QStringLiteral("Důvěrné – pouze pro organizátora")), pages);
    EXPECT_EQ(text.count(QStringLiteral("kolo neuloženo v archivu")), pages);
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
    // Each instrument's section opens with its verdicts and warnings.
    EXPECT_EQ(
        missingInOrder(flat, {"Přístroj SCC-04, kód účastníka –",
                              "Hodnocení v celkovém testu: vyhověl", "Kvalita kalibrace: dobrý",
                              "vliv přenosu 2,42 % > 2 %", "Výsledky testu pro stroj: SCC-04"}),
        QString());

    // The table: every instrument's row with its values, verdicts and warnings.
    // A test not stored has no codes yet.
    for (const char* row : {"SCC-01 – 0 2,03 vyhověl 2,05 4,85E-005 dobrý SCC-02",
                            "SCC-03 – 1 2,03 vyhověl 2,05 4,85E-005 dobrý ano SCC-04",
                            "SCC-04 – 4 2,03 vyhověl 2,05 4,85E-005 dobrý ano SCC-05",
                            "SCC-05 – -10 0 nevyhověl 0 0 výborný SCC-06",
                            "SCC-06 – 1 0 s výhradami 0 0 výborný"})
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
    EXPECT_EQ(dialogs.choices, QStringList{"zpráva 03.12.2026.pdf|Dokumenty PDF (*.pdf)|pdf"});
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

TEST_F(ReportTest, ChartTextReadableOnPaper) {
    // The text of every chart at least 6 pt high on paper: the charts as the windows open
    // them, and views enlarged far beyond what a page can hold at that size.
    const OverallRecord record = recordOf(exampleFiles, reference);
    Round round;
    round.name = QStringLiteral("R");
    for (int i = 0; i < 6; ++i)
        round.sheets.emplace_back().participantCode = 100 + i;
    for (const QSize enlarged : {QSize(), QSize(2600, 1500)}) {
        ReportCharts charts;
        charts.font = QApplication::font();
        if (enlarged.isValid()) {
            charts.overall.size = charts.calibration.size = enlarged;
            charts.deviation = enlarged / 2;
        }
        const ReportDocument provider = makeReportPdf(record, charts);
        const ParticipantDocument participant = makeParticipantReport(record, round, 2, charts, InstrumentHistory{});
        std::vector<PlacedChart> placed = provider.charts;
        placed.insert(placed.end(), participant.placed.begin(), participant.placed.end());
        ASSERT_EQ(placed.size(), 2u + 6u + 3u);
        for (const PlacedChart& c : placed) {
            const double points = c.layout.font.pixelSize() * c.rect.width() / c.size.width();
            EXPECT_GE(points, kSmallestChartText) << c.size.width() << "x" << c.size.height();
            EXPECT_LT(points, 10.0) << c.size.width(); // and no larger than it needs
        }
    }
}

TEST(RoundTestDate, MostFrequentFirstOnATie) {
    struct Case {
        QStringList dates;
        QString expected;
    };
    const Case cases[] = {
        {{"", "B", "A", "A", "B"}, "B"}, // A and B twice each; B's sheet comes first
        {{"A", "B", "A", "A", "B"}, "A"},
        {{"B", "A", "B", "A"}, "B"},     // the first of the tied, not the last met
        {{"", " ", ""}, ""},             // blank dates do not count
    };
    for (const Case& c : cases) {
        OverallRecord record;
        for (const QString& d : c.dates)
            record.instruments.emplace_back().testDate = d;
        EXPECT_EQ(record.roundTestDate(), c.expected) << c.dates.join('|').toStdString();
    }
}

TEST(ResultTable, LineBreaksAndNulOfAnIdentifierBecomeBlanks) {
    OverallRecord record;
    record.instruments.resize(1);
    record.instruments[0].id = QString::fromUtf8("a\0b\r\nc;d\"", 9);
    const QByteArray csv = resultCsv(record, u',');
    EXPECT_FALSE(csv.contains('\0'));
    const QList<QByteArray> lines = csv.split('\n');
    ASSERT_EQ(lines.size(), 3); // header, the row, and nothing after the last CR LF
    EXPECT_TRUE(lines[1].startsWith(";;\"a b  c;d\"\"\";;")) << lines[1].toStdString();
}
