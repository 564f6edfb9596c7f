// Whole commands of the program on sheets loaded from files, through the buttons of the
// real windows (offscreen), as an operator runs a proficiency test.
#include "app/AppWindows.h"
#include "app/Form1.h"
#include "examples/ExampleData.h"
#include "output/Form2.h"
#include "output/Memo.h"
#include "output/SummaryMode.h"
#include "overall/Form3.h"
#include "overall/Form5.h"
#include "ui/ChartView.h"

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

using namespace vel;
using testing_support::ScriptedDialogs;

namespace {

class ProficiencyTest : public ::testing::Test {
protected:
    void SetUp() override { examples::writeExamples(dir.path()); }

    void loadExamples(std::initializer_list<int> which = {1, 2, 3, 4, 5, 6}) {
        for (int i : which) {
            dialogs.files.push_back(dir.filePath(examples::instrumentFileName(i)));
            app.form1->Button1->click();
        }
        dialogs.files.push_back(dir.filePath(examples::referenceFileName()));
        app.form1->Button4->click();
    }
    QStringList summary() { return app.form2->Memo1->pane().lines(); }
    QStringList linesStartingWith(const QString& prefix) {
        QStringList out;
        for (const QString& l : summary())
            if (l.startsWith(prefix))
                out << l;
        return out;
    }

    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    AppWindows app;
};

} // namespace

TEST_F(ProficiencyTest, OverallTestOfTheExampleInstruments) {
    loadExamples();
    app.form1->Button8->click();
    QApplication::processEvents();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join("; ").toStdString();
    EXPECT_TRUE(dialogs.messages.isEmpty()); // summary mode shows no boxes
    EXPECT_FALSE(summaryMode());
    EXPECT_TRUE(app.form2->isVisible());
    EXPECT_TRUE(app.form3->isVisible());
    EXPECT_TRUE(app.form5->isVisible());
    EXPECT_EQ(app.form1->PageControl1->currentIndex(), 5); // the last sheet stays current

    const QStringList verdicts = linesStartingWith(QStringLiteral("přístroj "));
    ASSERT_EQ(verdicts.size(), 12);
    EXPECT_EQ(verdicts.mid(0, 6),
              (QStringList{"přístroj SCC-01 - vyhověl", "přístroj SCC-02 - vyhověl",
                           "přístroj SCC-03 - vyhověl", "přístroj SCC-04 - vyhověl",
                           "přístroj SCC-05 - nevyhověl", "přístroj SCC-06 - s výhradami"}));
    EXPECT_EQ(app.form1->records().at(4).testVerdict, "nevyhověl");
    EXPECT_EQ(app.form1->records().at(5).testVerdict, "s výhradami");
    for (const mereni& r : app.form1->records())
        EXPECT_FALSE(r.calibrationVerdict.isEmpty());

    // Six instrument blocks separated by single empty lines; the first starts the pane.
    const QStringList lines = summary();
    EXPECT_EQ(lines.first(), QString(57, u'-'));
    EXPECT_EQ(lines.at(1), "Výsledky testu pro stroj: SCC-01");
    EXPECT_EQ(linesStartingWith("Výsledky testu pro stroj: ").size(), 6);
    const qsizetype second = lines.indexOf("Výsledky testu pro stroj: SCC-02");
    EXPECT_EQ(lines.at(second - 2), "");
    EXPECT_NE(lines.at(second - 3), "");
    // The warnings of the example data reach the summary as lines.
    EXPECT_TRUE(lines.contains("Vzorek 2 přesahuje limit."));
    EXPECT_EQ(lines.last(), "Interval vymezený červenou přerušovanou čárou vymezuje pro obě "
                            "veličiny odhad 95 % intervalu spolehlivosti pro daný test.");

    // The overall chart: one point per instrument labelled by its tab, the axis range.
    const OverallChart& chart = app.overallChart;
    const auto& points = chart.Series1.points();
    ASSERT_EQ(points.size(), 6u);
    EXPECT_EQ(points.front().label, "SCC-05"); // ascending x: mean error -10 first
    EXPECT_NEAR(chart.bottom.min, -10, 1e-9);
    EXPECT_NEAR(chart.bottom.max, 6.3699, 5e-5);
    EXPECT_EQ(chart.Series3.points().size(), 1u);
    EXPECT_EQ(chart.Series5.points().size(), 1u);
    EXPECT_EQ(app.calibrationChart.Series1.points().size(), 6u);

    // Running it again gives the same text and chart.
    const QStringList first = summary();
    app.form1->Button8->click();
    EXPECT_EQ(summary(), first);
    EXPECT_EQ(chart.Series1.points().size(), 6u);
    EXPECT_EQ(app.calibrationChart.Series2.points().size(), 2u);
}

TEST_F(ProficiencyTest, IdenticalSheetsStopAtTheEllipseTest) {
    loadExamples({1, 1, 1});
    app.form1->Button8->click();
    EXPECT_EQ(dialogs.errors, QStringList{"Invalid floating point operation."});
    EXPECT_FALSE(summaryMode());
    // Equal mean errors and equal deviations (exactly 0 apart): the verdicts never start.
    EXPECT_TRUE(summary().contains("Vyhodnocení odlehlosti jednotlivých přístrojů v celkovém "
                                   "porovnání testu, příloha ke grafu kruhového testu:"));
    EXPECT_TRUE(linesStartingWith("přístroj ").isEmpty());
    // The verdict loop reads the sheets without making them current: the last sheet of the
    // run over the instruments stays the active page.
    QApplication::processEvents();
    EXPECT_EQ(app.form1->PageControl1->currentIndex(), 2);
}

TEST_F(ProficiencyTest, OverallTestWithoutReferenceValuesStopsInTheLinearityCheck) {
    for (int i : {1, 2}) {
        dialogs.files.push_back(dir.filePath(examples::instrumentFileName(i)));
        app.form1->Button1->click();
    }
    app.form1->Button8->click();
    // The rc value divides the spread of the deviations by that of the reference values.
    EXPECT_EQ(dialogs.errors, QStringList{"Floating point division by zero."});
    EXPECT_FALSE(summaryMode());
    EXPECT_FALSE(app.form3->isVisible());
    EXPECT_EQ(summary().at(1), "Výsledky testu pro stroj: SCC-01");
    EXPECT_EQ(app.form1->deviationChart().Series2.points().size(), 10u);
}

TEST_F(ProficiencyTest, BatchRunOfTheCurrentSheet) {
    loadExamples({3, 4});
    app.form1->Button10->click();
    ASSERT_TRUE(dialogs.errors.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(app.form2->isVisible());
    EXPECT_EQ(summary().at(1), "Výsledky testu pro stroj: SCC-03");
    EXPECT_TRUE(summary().contains("Vzorek 2 přesahuje limit."));
    EXPECT_EQ(app.form1->Memo1->pane().lines().first(), "Výsledky regrese");

    // A field that does not convert stops the batch; the window stays as it was.
    app.form2->hide();
    app.form1->records().at(0).count(12, 3)->setText("12,5");
    app.form1->Button10->click();
    EXPECT_EQ(dialogs.errors, QStringList{"'12,5' is not a valid integer value."});
    EXPECT_FALSE(app.form2->isVisible());
    EXPECT_FALSE(summaryMode());
    app.form1->Button5->click(); // the same field stops a plain click too
    EXPECT_EQ(dialogs.errors.size(), 2);
}

TEST_F(ProficiencyTest, SingleEvaluationsShowTheirWarnings) {
    loadExamples({3, 4});
    app.form1->Button2->click(); // SCC-03: blanks 4, 9, 3, 5, midrange 6
    EXPECT_EQ(dialogs.messages, (QStringList{"Střední hodnota vod přesahuje 3000 buněk/ml.",
                                             "Slepý vzorek přesahuje limit."}));
    app.form1->setCurrentSheet(1);
    QApplication::processEvents();
    EXPECT_EQ(app.form1->PageControl1->currentIndex(), 1);
    app.form1->Button5->click(); // SCC-04: carry-over 2.42 %
    EXPECT_EQ(dialogs.messages.last(), "Vliv přenosu je větší než 2 %.");
    EXPECT_EQ(app.form1->Memo1->pane().lines(), QStringList{"Vliv přenosu je: 2,42 %"});
    app.form1->Button6->click();
    EXPECT_EQ(app.form1->deviationChart().title,
              QStringList{"Odchylky měření pro přístroj: SCC-04"});
    EXPECT_EQ(app.form1->deviationChart().Series2.points().size(), 10u);
    // Printing goes out as one job named after the chart.
    const QString pdf = dir.filePath("chart.pdf");
    dialogs.printToPdf = pdf;
    app.form1->Button11->click();
    EXPECT_EQ(dialogs.printedDocs, QStringList{"Chart1"});
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    dialogs.printToPdf.clear();
    dialogs.printError = "There is no default printer currently selected";
    app.form1->Button11->click();
    EXPECT_EQ(dialogs.errors.last(), "There is no default printer currently selected.");
}
