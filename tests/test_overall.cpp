// The overall test of all instruments and its calibration-quality stage, driven through a
// workspace of plain arrays, and the chart window of the overall test.

#include "data/Errors.h"
#include "eval/Regression.h"
#include "output/SummaryMode.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "overall/OverallEvaluation.h"
#include "support/FakeWorkspace.h"
#include "support/TestSupport.h"
#include "ui/ChartView.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <functional>
#include <sys/stat.h>

using testing_support::FakeWorkspace;
using testing_support::ScriptedDialogs;

namespace {

constexpr std::array<int, 10> kRefs{100, 200, 300, 400, 500, 600, 700, 800, 900, 1000};
const QString kHyphens43(43, u'-');

// Adds an instrument whose reading of sample k (1..10), replicate j (1..4) is
// ref(k) + error(k, j); its tab caption differs from its "id stroje".
void addInstrument(FakeWorkspace& ws, const QString& id,
                   const std::function<int(int, int)>& error) {
    auto& s = ws.addSheet(id);
    s.caption = QStringLiteral("list ") + id;
    for (int k = 1; k <= 10; ++k) {
        const int r = kRefs[k - 1];
        s.setRow(k + 1, r + error(k, 1), r + error(k, 2), r + error(k, 3), r + error(k, 4));
    }
}

// Errors that depend only on the replicate.
std::function<int(int, int)> perReplicate(std::array<int, 4> e) {
    return [e](int, int j) { return e[j - 1]; };
}

// The six instruments of the mean-error example.
void errorExample(FakeWorkspace& ws) {
    ws.setReferences(kRefs);
    addInstrument(ws, "A", perReplicate({2, -2, 2, -2}));
    addInstrument(ws, "B", perReplicate({4, 0, 4, 0}));
    addInstrument(ws, "C", perReplicate({3, -1, 3, -1}));
    addInstrument(ws, "D", perReplicate({6, 2, 6, 2}));
    addInstrument(ws, "E", perReplicate({-10, -10, -10, -10}));
    addInstrument(ws, "F", perReplicate({1, 1, 1, 1}));
}

// The six instruments of the calibration example: ref +- h. Each also reads c higher
// everywhere, which leaves its regression residuals alone but keeps the mean errors apart,
// so that the first stage of the test passes.
void calibrationExample(FakeWorkspace& ws) {
    ws.setReferences(kRefs);
    int c = 0;
    for (int h : {2, 4, 6, 8, 10, 15}) {
        addInstrument(ws, QString::number(h), perReplicate({h + c, -h + c, h + c, -h + c}));
        ++c;
    }
}

ui::ChartPoint pointOf(const ui::Series& s, const QString& label) {
    for (const auto& p : s.points())
        if (p.label == label)
            return p;
    ADD_FAILURE() << "no point " << label.toStdString();
    return {};
}

QStringList testVerdicts(const FakeWorkspace& ws) {
    QStringList v;
    for (const auto& s : ws.sheets)
        v << s.testVerdict;
    return v;
}

QStringList calibrationVerdicts(const FakeWorkspace& ws) {
    QStringList v;
    for (const auto& s : ws.sheets)
        v << s.calibrationVerdict;
    return v;
}

QString runFailing(FakeWorkspace& ws) {
    try {
        vel::overallTest(ws, ws.overall, ws.calibration);
    } catch (const vel::AppError& e) {
        return e.message();
    }
    ADD_FAILURE() << "the overall test did not fail";
    return {};
}

} // namespace

TEST(OverallTest, MeanErrorExample) {
    FakeWorkspace ws;
    errorExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);

    const auto& s1 = ws.overall.Series1;
    ASSERT_EQ(s1.points().size(), 6u);
    const double root = std::sqrt(160.0 / 39);
    const std::array<std::pair<const char*, std::pair<double, double>>, 6> expected{
        {{"A", {0, root}},
         {"B", {2, root}},
         {"C", {1, root}},
         {"D", {4, root}},
         {"E", {-10, 0}},
         {"F", {1, 0}}}};
    for (const auto& [id, ds] : expected) {
        const auto p = pointOf(s1, QStringLiteral("list ") + id); // labelled by tab caption
        EXPECT_NEAR(p.x, ds.first, 1e-12) << id;
        EXPECT_NEAR(p.y, ds.second, 1e-12) << id;
    }

    const auto& s3 = ws.overall.Series3.points();
    const auto& s5 = ws.overall.Series5.points();
    ASSERT_EQ(s3.size(), 1u);
    ASSERT_EQ(s5.size(), 1u);
    EXPECT_NEAR(s3[0].x, -0.3333, 5e-5); // mean of D
    EXPECT_NEAR(s3[0].y, 4 * root / 6, 1e-12);
    EXPECT_NEAR(s5[0].x, -0.3333, 5e-5); // M
    EXPECT_NEAR(s5[0].y, 2.0255, 5e-5);  // Med
    EXPECT_TRUE(s3[0].label.isEmpty());

    const auto& ellipse = ws.overall.Series4;
    EXPECT_NEAR(ellipse.x1() - ellipse.x0(), 2 * 6.65, 1e-9);
    EXPECT_NEAR((ellipse.y1() - ellipse.y0()) / 2, 0.9621, 5e-5);
    EXPECT_NEAR((ellipse.y1() + ellipse.y0()) / 2, 2.0255, 5e-5);
    const auto& circle = ws.overall.Series2;
    EXPECT_NEAR((circle.x1() - circle.x0()) / 2, 6.7032, 5e-5);
    EXPECT_NEAR((circle.y1() - circle.y0()) / 2, 6.7032, 5e-5);
    EXPECT_NEAR((circle.x1() + circle.x0()) / 2, -0.3333, 5e-5);

    EXPECT_FALSE(ws.overall.bottom.automatic);
    EXPECT_DOUBLE_EQ(ws.overall.bottom.min, -10);
    EXPECT_NEAR(ws.overall.bottom.max, 6.3699, 5e-5);
    EXPECT_TRUE(ws.overall.left.automatic);

    EXPECT_EQ(testVerdicts(ws), QStringList({"vyhověl", "vyhověl", "vyhověl", "vyhověl",
                                             "nevyhověl", "s výhradami"}));

    // The same figures from the lists alone.
    const auto f = vel::computeOverall({0, 2, 1, 4, -10, 1}, {root, root, root, root, 0, 0});
    EXPECT_NEAR(f.M, -0.3333, 5e-5);
    EXPECT_NEAR(f.Med, 2.0255, 5e-5);
    EXPECT_NEAR(f.a, 6.65, 5e-5);
    EXPECT_NEAR(f.b, 0.9621, 5e-5);
    EXPECT_NEAR(f.sigmaD, 4.9261, 5e-5);
    EXPECT_NEAR(f.sigmaS, 1.0460, 5e-5);
    EXPECT_NEAR(f.R, 6.7032, 5e-5);

    EXPECT_EQ(ws.shown, QStringList({"Form2", "Form3", "Form5"}));
    EXPECT_FALSE(vel::summaryMode());
    EXPECT_EQ(ws.current, 5);
    EXPECT_GT(ws.chartUpdates, 0);
}

TEST(OverallTest, SummaryPaneLayout) {
    FakeWorkspace ws;
    errorExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);
    const QStringList lines = ws.summary.lines();

    // Instrument blocks: none is preceded by an empty line, the next ones by exactly one.
    const QString header = QStringLiteral("Výsledky testu pro stroj: ");
    ASSERT_TRUE(lines.size() > 2 && lines[1].startsWith(header)) << lines.value(1).toStdString();
    EXPECT_EQ(lines[1], header + "A");
    for (const char* id : {"B", "C", "D", "E", "F"}) {
        const auto at = lines.indexOf(header + id);
        ASSERT_GE(at, 3) << id;
        EXPECT_EQ(lines[at - 1], QString(57, u'-'));
        EXPECT_TRUE(lines[at - 2].isEmpty());
        EXPECT_FALSE(lines[at - 3].isEmpty()) << id;
    }

    const auto first = lines.indexOf(
        "Vyhodnocení odlehlosti jednotlivých přístrojů v celkovém porovnání testu, příloha ke "
        "grafu kruhového testu:");
    ASSERT_GT(first, 1);
    EXPECT_TRUE(lines[first - 2].isEmpty());
    EXPECT_EQ(lines[first - 1], kHyphens43);
    EXPECT_EQ(lines[first + 1], kHyphens43);
    EXPECT_EQ(lines.mid(first + 2, 6),
              QStringList({"přístroj A - vyhověl", "přístroj B - vyhověl", "přístroj C - vyhověl",
                           "přístroj D - vyhověl", "přístroj E - nevyhověl",
                           "přístroj F - s výhradami"}));
    EXPECT_TRUE(lines[first + 8].startsWith("V grafu jsou vyneseny jednotlivé přístroje"));
    EXPECT_TRUE(lines[first + 12].startsWith("a polosami o délce mean_value("));

    const auto second =
        lines.indexOf("Vyhodnocení odlehlosti jednotlivých přístrojů v testu vzhledem k "
                      "referenčním hodnotám a kvalitě proložení, příloha ke grafu:");
    EXPECT_EQ(second, first + 15);
    EXPECT_TRUE(lines[second - 2].isEmpty());
    EXPECT_EQ(lines[second - 1], kHyphens43);
    EXPECT_EQ(lines[second + 1], kHyphens43);
    for (int i = 0; i < 6; ++i)
        EXPECT_TRUE(lines[second + 2 + i].startsWith(
            QStringLiteral("přístroj %1 - ").arg(QChar(u'A' + i))));
    EXPECT_EQ(lines.size(), second + 8 + 12); // twelve note lines close the pane
    EXPECT_EQ(lines[second + 12],
              "Výsledky lze interpretovat jako těsnost proložení referenčních hodnot kolem  "
              "kalibrační přímky - kvalitu proložení");
    EXPECT_TRUE(lines[second + 17].startsWith("1. "));
}

TEST(OverallTest, CalibrationExample) {
    FakeWorkspace ws;
    calibrationExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);

    const auto& s1 = ws.calibration.Series1;
    ASSERT_EQ(s1.points().size(), 6u);
    const std::array<std::pair<int, std::pair<double, double>>, 6> expected{
        {{2, {2.0519, 0.000048482}},
         {4, {4.1035, 0.00019390}},
         {6, {6.1545, 0.00043617}},
         {8, {8.2046, 0.00077516}},
         {10, {10.2536, 0.0012107}},
         {15, {15.3687, 0.0027199}}}};
    for (const auto& [h, eq] : expected) {
        const auto p = pointOf(s1, QStringLiteral("list %1").arg(h));
        EXPECT_NEAR(p.x, eq.first, 5e-5) << h;
        EXPECT_NEAR(p.y, eq.second, 5e-5 * eq.second) << h;
    }

    ASSERT_EQ(ws.calibration.Series2.points().size(), 2u);
    EXPECT_EQ(ws.calibration.Series2.points()[0].x, 0);
    EXPECT_NEAR(ws.calibration.Series2.points()[1].x, 9.9426, 5e-5);
    EXPECT_NEAR(ws.calibration.Series2.points()[1].y, 0.0013652, 5e-8);
    EXPECT_EQ(ws.calibration.Series2.points()[0].y, ws.calibration.Series2.points()[1].y);
    EXPECT_NEAR(ws.calibration.Series3.points()[1].x, 15.5268, 5e-5);
    EXPECT_NEAR(ws.calibration.Series3.points()[0].y, 0.0025246, 5e-8);
    EXPECT_NEAR(ws.calibration.Series4.points()[1].x, (2.0519 + 4.1035 + 6.1545 + 8.2046 + 10.2536 + 15.3687) / 6,
                5e-5);

    EXPECT_DOUBLE_EQ(ws.calibration.bottom.min, 0);
    EXPECT_NEAR(ws.calibration.bottom.max, 17.0795, 5e-5);
    EXPECT_DOUBLE_EQ(ws.calibration.left.min, 0);
    EXPECT_NEAR(ws.calibration.left.max, 0.0029918, 5e-8);

    EXPECT_EQ(calibrationVerdicts(ws),
              QStringList({"výborný", "výborný", "výborný", "výborný", "dobrý", "odlehlý"}));
    EXPECT_TRUE(ws.summary.lines().contains("přístroj 15 - odlehlý"));
}

TEST(OverallTest, VerdictBoundariesAreStrict) {
    vel::OverallFigures f;
    f.a = 2;
    f.b = 1;
    f.R = 5;
    EXPECT_EQ(vel::testVerdict(f, 2, 0), "vyhověl");         // on the ellipse
    EXPECT_EQ(vel::testVerdict(f, 0, -1), "vyhověl");        // on the ellipse
    EXPECT_EQ(vel::testVerdict(f, 2.001, 0), "s výhradami"); // just outside it
    EXPECT_EQ(vel::testVerdict(f, 3, 4), "s výhradami");     // on the circle
    EXPECT_EQ(vel::testVerdict(f, 3, 4.001), "nevyhověl");   // outside both
    EXPECT_EQ(vel::testVerdict(f, -5.0001, 0), "nevyhověl");

    vel::CalibrationFigures c;
    c.LE = 1;
    c.LQ = 0.1;
    c.CE = 2;
    c.CQ = 0.2;
    EXPECT_EQ(vel::calibrationVerdict(c, 0.5, 0.05), "výborný");
    EXPECT_EQ(vel::calibrationVerdict(c, 1, 0.05), "dobrý");   // on LE
    EXPECT_EQ(vel::calibrationVerdict(c, 0.5, 0.1), "dobrý");  // on LQ
    EXPECT_EQ(vel::calibrationVerdict(c, 2, 0.05), "vyhověl"); // on CE
    EXPECT_EQ(vel::calibrationVerdict(c, 2, 0.2), "vyhověl");  // on both limits
    EXPECT_EQ(vel::calibrationVerdict(c, 2.001, 0), "odlehlý");
    EXPECT_EQ(vel::calibrationVerdict(c, 0, 0.2001), "odlehlý");
}

TEST(OverallTest, IdenticalInstrumentsAllPassCalibration) {
    const std::vector<double> tenths{0.1, 0.1, 0.1};
    EXPECT_EQ(vel::SampleStdDev(tenths), 0.0);

    std::array<vel::RegressionPair, 40> pairs{};
    for (int p = 0; p < 40; ++p)
        pairs[p] = {double(kRefs[p / 4] + (p % 2 ? 3 : -1) + p % 3), double(kRefs[p / 4])};
    const auto fit = vel::calibrationFit(pairs);
    EXPECT_GT(fit.E, 0);
    EXPECT_GT(fit.Q, 0);
    const auto c = vel::computeCalibration({fit.E, fit.E, fit.E}, {fit.Q, fit.Q, fit.Q});
    EXPECT_EQ(c.LE, fit.E);
    EXPECT_EQ(c.CQ, fit.Q);
    EXPECT_EQ(vel::calibrationVerdict(c, fit.E, fit.Q), "vyhověl");

    // Readings equal to the reference values fit exactly.
    for (auto& p : pairs)
        p.x = p.y;
    const auto exact = vel::calibrationFit(pairs);
    EXPECT_NEAR(exact.E, 0, 1e-9);
    EXPECT_NEAR(exact.Q, 0, 1e-12);
    const auto mixed = vel::computeCalibration({exact.E, fit.E}, {exact.Q, fit.Q});
    EXPECT_EQ(vel::calibrationVerdict(mixed, exact.E, exact.Q), "výborný");
}

TEST(OverallTest, RunningTwiceGivesTheSameResult) {
    FakeWorkspace ws;
    errorExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);
    const QStringList text = ws.summary.lines();
    auto snapshot = [](const ui::ChartModel& m) {
        QStringList out;
        for (const auto& s : m.allSeries()) {
            for (const auto& p : s->points())
                out << QStringLiteral("%1 %2 %3 %4").arg(s->name()).arg(p.x).arg(p.y).arg(p.label);
            if (s->hasShape())
                out << QStringLiteral("%1 %2 %3 %4 %5")
                           .arg(s->name())
                           .arg(s->x0())
                           .arg(s->y0())
                           .arg(s->x1())
                           .arg(s->y1());
        }
        return out;
    };
    const QStringList overall = snapshot(ws.overall), calibration = snapshot(ws.calibration);
    ui::ChartState overallView, calibrationView; // zoomed by the mouse since the first run
    overallView.setZoom(ws.overall, {0, 1, 0, 1, 0, 1});
    calibrationView.setZoom(ws.calibration, {0, 1, 0, 1, 0, 1});

    vel::overallTest(ws, ws.overall, ws.calibration);
    EXPECT_FALSE(overallView.zoom(ws.overall)); // the new run shows its own ranges
    EXPECT_FALSE(calibrationView.zoom(ws.calibration));
    EXPECT_EQ(ws.summary.lines(), text);
    EXPECT_EQ(snapshot(ws.overall), overall);
    EXPECT_EQ(snapshot(ws.calibration), calibration);
    EXPECT_EQ(ws.overall.Series3.points().size(), 1u);
    EXPECT_EQ(ws.calibration.Series2.points().size(), 2u);
}

TEST(OverallTestFailure, NoInstrumentFailsAfterShowingTheWindows) {
    FakeWorkspace ws;
    ws.setReferences(kRefs);
    ws.summary.add("stale");
    EXPECT_EQ(runFailing(ws), vel::kFpInvalid);
    EXPECT_EQ(ws.shown, QStringList({"Form2", "Form3", "Form5"}));
    EXPECT_TRUE(ws.summary.lines().isEmpty());
    EXPECT_FALSE(vel::summaryMode());
}

TEST(OverallTestFailure, OneInstrumentStopsAtTheCircle) {
    FakeWorkspace ws;
    ws.setReferences(kRefs);
    addInstrument(ws, "A", perReplicate({2, -2, 2, -2}));
    EXPECT_EQ(runFailing(ws), vel::kFpInvalid);

    EXPECT_EQ(ws.overall.Series1.points().size(), 1u);
    const auto& ellipse = ws.overall.Series4;
    ASSERT_TRUE(ellipse.hasShape());
    EXPECT_EQ(ellipse.x0(), ellipse.x1());
    EXPECT_EQ(ellipse.y0(), ellipse.y1());
    EXPECT_EQ(ws.overall.Series3.points().size(), 1u);
    EXPECT_EQ(ws.overall.Series5.points().size(), 1u);
    EXPECT_FALSE(ws.overall.Series2.hasShape());
    EXPECT_FALSE(ws.summary.lines().contains(kHyphens43));
    EXPECT_TRUE(ws.sheets[0].testVerdict.isEmpty());
    EXPECT_FALSE(vel::summaryMode());
}

TEST(OverallTestFailure, EqualMeanErrorsStopAtTheEllipseTest) {
    FakeWorkspace ws;
    ws.setReferences(kRefs);
    addInstrument(ws, "A", perReplicate({2, -2, 2, -2}));
    addInstrument(ws, "B", perReplicate({4, -4, 4, -4}));
    EXPECT_EQ(runFailing(ws), vel::kFpInvalid);
    const QStringList lines = ws.summary.lines();
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines.back(), kHyphens43); // the heading is written, no verdict line
    EXPECT_EQ(ws.sheets[0].testVerdict, "vyhověl");
    EXPECT_TRUE(ws.sheets[1].testVerdict.isEmpty());
    EXPECT_TRUE(ws.calibration.Series1.points().empty());
}

TEST(OverallTestFailure, BadFieldStopsTheRunAndKeepsWhatWasWritten) {
    FakeWorkspace ws;
    errorExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);
    ws.shown.clear();
    ws.sheets[1].count(5, 2) = "abc";

    EXPECT_EQ(runFailing(ws), "'abc' is not a valid integer value");
    EXPECT_FALSE(vel::summaryMode());
    EXPECT_TRUE(ws.shown.isEmpty());
    // The point series were emptied, the shapes keep their corners.
    EXPECT_TRUE(ws.overall.Series1.points().empty());
    EXPECT_TRUE(ws.overall.Series5.points().empty());
    EXPECT_TRUE(ws.overall.Series2.hasShape());
    EXPECT_TRUE(ws.overall.Series4.hasShape());
    for (const auto& s : ws.calibration.allSeries())
        EXPECT_TRUE(s->points().empty()) << s->name().toStdString();
    // The first instrument's block is written, the second one's begun.
    EXPECT_EQ(ws.summary.lines().count("Výsledky testu pro stroj: A"), 1);
    EXPECT_EQ(ws.summary.lines().count("Výsledky testu pro stroj: B"), 1);
    EXPECT_EQ(ws.summary.lines().count(kHyphens43), 0);
    EXPECT_EQ(ws.current, 1);
}

TEST(OverallTestFailure, ZeroReferenceValuesStopTheFirstLinearityCheck) {
    FakeWorkspace ws;
    errorExample(ws);
    ws.references.fill("0");
    EXPECT_THROW(vel::overallTest(ws, ws.overall, ws.calibration), vel::AppError);
    EXPECT_FALSE(vel::summaryMode());
    EXPECT_EQ(ws.current, 0);
    EXPECT_TRUE(ws.shown.isEmpty());
}

// ---- The chart window of the overall test

TEST(ChartWindows, ClosingOnlyHides) {
    FakeWorkspace ws;
    vel::Form3 form3(ws.overall);
    vel::Form5 form5(ws.calibration);
    EXPECT_EQ(&form3.Chart1->model(), &ws.overall);
    EXPECT_EQ(form3.findChild<QPushButton*>("Button1"), form3.Button1);
    for (QWidget* form : {static_cast<QWidget*>(&form3), static_cast<QWidget*>(&form5)}) {
        form->show();
        form->findChild<QPushButton*>("Button1")->click(); // "zavřít"
        EXPECT_FALSE(form->isVisible());
        form->show();
        EXPECT_TRUE(form->close()); // the close box
        EXPECT_FALSE(form->isVisible());
    }
}

TEST(ChartWindows, SavedImageIsABitmapOfTheChartSize) {
    FakeWorkspace ws;
    errorExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);
    vel::Form3 form3(ws.overall);
    vel::Form5 form5(ws.calibration);
    QTemporaryDir dir;
    ScriptedDialogs sd;
    for (auto [button, chart, name] : {std::tuple{form3.Button2, form3.Chart1, "celkovy"},
                                       std::tuple{form5.Button2, form5.Chart1, "kalibrace.png"}}) {
        const QString path = dir.filePath(name);
        sd.files.push_back(path);
        button->click();
        const QByteArray bytes = testing_support::readAll(path);
        ASSERT_TRUE(bytes.startsWith("BM")) << name; // whatever the extension says
        QImage image;
        ASSERT_TRUE(image.loadFromData(bytes, "BMP"));
        EXPECT_EQ(image.size(), chart->size());
        EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white));
    }
    EXPECT_EQ(sd.dialogNames, QStringList({"SaveDialog1", "SaveDialog1"}));
    EXPECT_TRUE(sd.errors.isEmpty());

    sd.files.push_back(std::nullopt); // cancelled: nothing written, no error
    form3.Button2->click();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 2);

    sd.files.push_back(dir.filePath("missing/chart.bmp"));
    form3.Button2->click();
    ASSERT_EQ(sd.errors.size(), 1);
    EXPECT_TRUE(sd.errors[0].startsWith("Cannot create file \"")) << sd.errors[0].toStdString();
    EXPECT_TRUE(sd.errors[0].contains("chart.bmp"));

    // A named pipe that nobody reads fails at once instead of freezing the window.
    const QString pipe = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    sd.files.push_back(pipe);
    EXPECT_EQ(testing_support::inChildProcess([&] {
                  form3.Button2->click();
                  return sd.errors.value(1);
              }),
              QStringLiteral("Cannot create file \"%1\". %2.")
                  .arg(pipe, testing_support::systemText(ENXIO)));
}

TEST(ChartWindows, PrintingDrawsTheChartAsOneJob) {
    FakeWorkspace ws;
    errorExample(ws);
    vel::overallTest(ws, ws.overall, ws.calibration);
    vel::Form3 form3(ws.overall);
    vel::Form5 form5(ws.calibration);
    QTemporaryDir dir;
    ScriptedDialogs sd;
    sd.printToPdf = dir.filePath("chart.pdf");
    form3.Button3->click();
    EXPECT_EQ(sd.printedDocs, QStringList{"Chart1"});
    EXPECT_TRUE(testing_support::readAll(sd.printToPdf).startsWith("%PDF"));

    sd.printToPdf.clear();
    sd.printError = "There is no default printer currently selected";
    form5.Button3->click();
    EXPECT_EQ(sd.errors, QStringList{"There is no default printer currently selected."});
}
