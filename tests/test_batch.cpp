// The batch evaluation of the current sheet: the four evaluations in summary mode, the
// summary window, and where it stops on an error.

#include "eval/Evaluations.h"
#include "output/SummaryMode.h"
#include "support/EvalFixture.h"
#include "support/FakeWorkspace.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace vel;
using testing_support::dec;
using testing_support::errorOf;
using testing_support::Eval;
using testing_support::FakeSheet;
using testing_support::FakeWorkspace;
using testing_support::kHyphens34;
using testing_support::kHyphens57;
using testing_support::ScriptedDialogs;
using testing_support::textLines;

namespace {

class Batch : public Eval {
protected:
    // Blanks 1, 1, 1, 9; ideal samples; carry-over 2.1 %.
    void setWarningSheet() {
        setBlanks("1", "1", "1", "9");
        setIdealSamples();
        sheet->setRow(12, 21, 21, 21, 21);
        sheet->setRow(13, 0, 0, 0, 0);
    }
    QStringList expectedBlock() const {
        QStringList e;
        e << kHyphens57 << "Výsledky testu pro stroj: MAT 123" << kHyphens57 << "";
        e << textLines({"Slepé pokusy", "------------", "Sřední hodnota slepých pokusů: 5",
                "Střední hodnota vod přesahuje 3000 buněk/ml.", "Vzorek 4 přesahuje limit.",
                "Dle normy: střední hodnota měření vod nesmí přesahovat 3000 buněk/ml, žádné z "
                "měření vod nevykazuje 8000 buněk/ml"});
        e << ""
          << "Vyhodnocení opakovatelností celého setu." << kHyphens34;
        const char* levels[10] = {"<150",    "150-300", "150-300",  "300-450",  "450-750",
                                  "450-750", "450-750", "750-1500", "750-1500", "750-1500"};
        for (int s = 1; s <= 10; ++s) {
            for (int p = 0; p < 6; ++p)
                e << QStringLiteral(" diference na hladině %1*10^3: 0").arg(levels[s - 1]);
            e << QStringLiteral("parciální opakovatelnost vzorku %1 : 0").arg(s);
        }
        e << ""
          << "celková opakovatelnost: 0"
          << "Rozdíl mezi vzorky na daných hladiná dle normy je v: 0 % případů."
          << textLines({"* - diference na dané hladině je mezi vzorky větší než předepisuje norma",
                "Parciální opakovatelnost je určena jako směrodatná odchylka pro diference mezi "
                "kombinacemi měření jednotlivých vzorků (6 kombinací)",
                "Celková opakovatelnost je určena jako směrodatná odchylka pro diference mezi "
                "všemi možnými kombinacemi měření jednotlivých vzorků (60 kombinací)"});
        e << ""
          << "Vliv přenosu"
          << "-------------" << dec("Vliv přenosu je: 2,1 %");
        e << ""
          << "Výsledky regrese"
          << "----------------"
          << "Hodnota rc: 0 %"
          << "Rovnice regrese: 0 +1*x"
          << "Korelační koeficient: 1"
          << "Koeficient determinace: 1" << dec("Kovariance korelace: 9,17E004");
        return e;
    }
};

TEST_F(Batch, SummaryPaneHoldsTheFourBlocksLineByLine) {
    setWarningSheet();
    prefill();
    batchEvaluation(ws);
    const QStringList expected = expectedBlock();
    const QStringList got = ws.summary.lines();
    ASSERT_EQ(got.size(), expected.size());
    for (qsizetype i = 0; i < got.size(); ++i)
        EXPECT_EQ(got[i], expected[i]) << "line " << i;
    EXPECT_EQ(ws.shown, QStringList{"Form2"});
    EXPECT_FALSE(summaryMode());
    EXPECT_TRUE(dialogs.messages.isEmpty()); // warnings only as lines
    EXPECT_EQ(ws.main.lines(), expected.mid(expected.size() - 7));
    EXPECT_EQ(ws.deviation.title, QStringList{"Odchylky měření pro přístroj: MAT 123"});
}

TEST(BatchOrder, SummaryModeIsOnWhileTheWindowIsShownAndOffAfterwards) {
    struct Recording : FakeWorkspace {
        void showSummaryWindow() override {
            modeAtShow = summaryMode();
            linesAtShow = summary.count();
            FakeWorkspace::showSummaryWindow();
        }
        bool modeAtShow = false;
        qsizetype linesAtShow = -1;
    } ws;
    ScriptedDialogs dialogs;
    FakeSheet& sheet = ws.addSheet("A");
    ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    for (int s = 1; s <= 10; ++s)
        sheet.setRow(s + 1, 100 * s, 100 * s, 100 * s, 100 * s);
    sheet.setRow(13, 1, 1, 1, 1);
    batchEvaluation(ws);
    EXPECT_TRUE(ws.modeAtShow);
    EXPECT_EQ(ws.linesAtShow, 10 - 2 + 79 + 4 + 8); // blank block without warnings
    EXPECT_EQ(ws.shown, QStringList{"Form2"});
    EXPECT_FALSE(summaryMode());
}

TEST_F(Batch, TwiceLeavesOnlyTheSecondRun) {
    setWarningSheet();
    batchEvaluation(ws);
    batchEvaluation(ws);
    EXPECT_EQ(ws.summary.lines(), expectedBlock());
    EXPECT_EQ(ws.shown, QStringList({"Form2", "Form2"}));
}

TEST_F(Batch, AfterwardsASingleClickShowsItsBoxesAndLeavesTheSummary) {
    setWarningSheet();
    batchEvaluation(ws);
    const QStringList summary = ws.summary.lines();
    blankCheck(ws);
    EXPECT_EQ(dialogs.messages,
              textLines({"Střední hodnota vod přesahuje 3000 buněk/ml.", "Slepý vzorek přesahuje limit."}));
    EXPECT_EQ(ws.summary.lines(), summary);
}

TEST_F(Batch, WorksOnTheCurrentSheetOnly) {
    setWarningSheet();
    ws.addSheet(QStringLiteral("druhý stroj"));
    sheet = &ws.sheets[0]; // the vector may have moved
    ws.sheets[1].counts = ws.sheets[0].counts;
    ws.sheets[1].setRow(12, 0, 0, 0, 0);
    ws.current = 1;
    batchEvaluation(ws);
    EXPECT_EQ(ws.summary.line(1), "Výsledky testu pro stroj: druhý stroj");
    EXPECT_EQ(ws.summary.lines().filter("Výsledky testu pro stroj").size(), 1);
    EXPECT_EQ(ws.summary.lines().filter("Vliv přenosu je:"), QStringList{"Vliv přenosu je: 0 %"});
    EXPECT_EQ(ws.current, 1);
}

TEST_F(Batch, StopsAtAFieldThatDoesNotConvert) {
    setWarningSheet();
    sheet->count(5, 2) = "x";
    prefill();
    EXPECT_EQ(errorOf([&] { batchEvaluation(ws); }), "'x' is not a valid integer value");
    EXPECT_FALSE(summaryMode());
    EXPECT_TRUE(ws.shown.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // blank block, repeatability block up to sample 4's pair 1-2 (which converts x first)
    const QStringList expected = expectedBlock().mid(0, 10 + 3 + 7 * 3);
    EXPECT_EQ(ws.summary.lines(), expected);
    // carry-over and linearity did not run: the main pane holds the repeatability run
    EXPECT_EQ(ws.main.lines().last(), "vzorky 4");
    EXPECT_EQ(ws.deviation.title, QStringList{"Odchylky měření"});

    // the next single click shows its boxes again
    blankCheck(ws);
    EXPECT_EQ(dialogs.messages.size(), 2);
}

TEST_F(Batch, StopsAtTheLinearityCheckWithDefaultReferences) {
    setWarningSheet();
    ws.references.fill("0");
    for (int s = 1; s <= 10; ++s)
        sheet->setRow(s + 1, s, s, s, s);
    sheet->setRow(12, 1, 1, 1, 1); // K = 4 / 40 * 100 = 10 %
    EXPECT_EQ(errorOf([&] { batchEvaluation(ws); }), "Floating point division by zero");
    EXPECT_FALSE(summaryMode());
    EXPECT_TRUE(ws.shown.isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    const QStringList s = ws.summary.lines();
    ASSERT_EQ(s.size(), 10 + 79 + 4);
    EXPECT_EQ(s.last(), "Vliv přenosu je: 10 %");
    EXPECT_EQ(ws.main.lines(), QStringList{"Vliv přenosu je: 10 %"});
    EXPECT_EQ(series("Series2").points().size(), 10u);
}

TEST_F(Batch, StopsInTheCarryOver) {
    setWarningSheet();
    sheet->setRow(11, 0, 0, 0, 0);
    sheet->setRow(13, 0, 0, 0, 0);
    // sample 10 (row 11) is now 0 against reference 1000: no error there
    EXPECT_EQ(errorOf([&] { batchEvaluation(ws); }), "Floating point division by zero");
    EXPECT_FALSE(summaryMode());
    EXPECT_TRUE(ws.shown.isEmpty());
    EXPECT_EQ(ws.summary.count(), 10 + 79);
    EXPECT_EQ(ws.main.line(1), "Vyhodnocení opakovatelností celého setu.");
}

} // namespace
