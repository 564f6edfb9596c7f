// The blank check of the water blanks (row 1), on the evaluation fixture's sheet; and
// every evaluation without a sheet.

#include "eval/Evaluations.h"
#include "output/SummaryMode.h"
#include "support/EvalFixture.h"

#include <gtest/gtest.h>

using namespace vel;
using testing_support::dec;
using testing_support::errorOf;
using testing_support::Eval;
using testing_support::FakeWorkspace;
using testing_support::kHyphens57;
using testing_support::textLines;

namespace {

TEST_F(Eval, BlankEqualValuesGiveThreeFixedLines) {
    setBlanks("2", "2", "2", "2");
    prefill();
    blankCheck(ws);
    EXPECT_EQ(ws.main.lines(),
              textLines({"Slepé pokusy", "------------", "Střední hodnota slepých pokusů: 2"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
}

TEST_F(Eval, BlankMidrangeNotMeanGivesTheMeanWarning) {
    setBlanks("0", "0", "0", "7");
    blankCheck(ws);
    EXPECT_EQ(ws.main.lines(), QStringList({"Slepé pokusy", "------------",
                                            dec("Střední hodnota slepých pokusů: 3,5"),
                                            "Střední hodnota vod přesahuje 3000 buněk/ml."}));
    EXPECT_EQ(dialogs.messages, QStringList{"Střední hodnota vod přesahuje 3000 buněk/ml."});
}

TEST_F(Eval, BlankBothWarningsMeanBoxFirst) {
    setBlanks("1", "1", "1", "9");
    blankCheck(ws);
    EXPECT_EQ(ws.main.lines(),
              textLines({"Slepé pokusy", "------------", "Střední hodnota slepých pokusů: 5",
                 "Střední hodnota vod přesahuje 3000 buněk/ml.", "Vzorek 4 přesahuje limit."}));
    EXPECT_EQ(dialogs.messages,
              textLines({"Střední hodnota vod přesahuje 3000 buněk/ml.", "Slepý vzorek přesahuje limit."}));
}

TEST_F(Eval, BlankBoxesAppearBeforeThePaneIsReplaced) {
    setBlanks("1", "1", "1", "9");
    prefill();
    QList<QStringList> seen;
    dialogs.onMessage = [&](const QString&) { seen << ws.main.lines(); };
    blankCheck(ws);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[0], QStringList{"old main"});
    EXPECT_EQ(seen[1], QStringList{"old main"});
}

TEST_F(Eval, BlankBoundariesAreWithinTheLimits) {
    // M exactly 3 and a blank exactly 8
    setBlanks("8", "-2", "8", "-2");
    blankCheck(ws);
    EXPECT_EQ(ws.main.lines(),
              textLines({"Slepé pokusy", "------------", "Střední hodnota slepých pokusů: 3"}));
    EXPECT_TRUE(dialogs.messages.isEmpty());

    setBlanks("3", "3", "3", "3");
    blankCheck(ws);
    EXPECT_EQ(ws.main.count(), 3);
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // just above each limit
    setBlanks("3,0001", "3,0001", "3,0001", "3,0001");
    blankCheck(ws);
    EXPECT_EQ(dialogs.messages, QStringList{"Střední hodnota vod přesahuje 3000 buněk/ml."});
    dialogs.messages.clear();
    setBlanks("8,001", "-5", "0", "0");
    blankCheck(ws);
    EXPECT_EQ(dialogs.messages, QStringList{"Slepý vzorek přesahuje limit."});
    EXPECT_EQ(ws.main.lines().last(), "Vzorek 1 přesahuje limit.");
}

TEST_F(Eval, BlankSeveralAboveEightGiveOneBoxAndOneLineEach) {
    setBlanks("9", "1", "10", "1");
    blankCheck(ws);
    EXPECT_EQ(
        ws.main.lines(),
        QStringList({"Slepé pokusy", "------------", dec("Střední hodnota slepých pokusů: 5,5"),
                     "Střední hodnota vod přesahuje 3000 buněk/ml.", "Vzorek 1 přesahuje limit.",
                     "Vzorek 3 přesahuje limit."}));
    EXPECT_EQ(dialogs.messages,
              textLines({"Střední hodnota vod přesahuje 3000 buněk/ml.", "Slepý vzorek přesahuje limit."}));
}

TEST_F(Eval, BlankSingleAboveEightWithoutMeanWarning) {
    // M = (9 + -9) / 2 = 0: only the single-blank warning
    setBlanks("9", "-9", "0", "0");
    blankCheck(ws);
    EXPECT_EQ(ws.main.lines(),
              textLines({"Slepé pokusy", "------------", "Střední hodnota slepých pokusů: 0",
                 "Vzorek 1 přesahuje limit."}));
    EXPECT_EQ(dialogs.messages, QStringList{"Slepý vzorek přesahuje limit."});
}

TEST_F(Eval, BlankFractionalAndLargeValues) {
    setBlanks("2,5", "2", "2", "2");
    blankCheck(ws);
    EXPECT_EQ(ws.main.line(2), dec("Střední hodnota slepých pokusů: 2,25"));

    setBlanks("1234", "1234", "1234", "1234");
    blankCheck(ws);
    EXPECT_EQ(ws.main.line(2), dec("Střední hodnota slepých pokusů: 1,23E003"));
    EXPECT_EQ(ws.main.count(), 3 + 1 + 4);
}

TEST_F(Eval, BlankMidrangeOfTheLargestRealsOverflowsAndChangesNothing) {
    // The sum of the largest and smallest blank is a 64-bit real: 1,7E308 + 1,7E308 overflows
    // before the halving.
    setBlanks("1,7E308", "1,7E308", "1,7E308", "1,7E308");
    prefill();
    EXPECT_EQ(errorOf([&] { blankCheck(ws); }), kFpOverflow);
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Eval, BlankSummaryModeBlock) {
    setBlanks("1", "1", "1", "9");
    prefill();
    SummaryModeScope on;
    blankCheck(ws);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ws.main.count(), 5);
    QStringList expected;
    expected << "old summary" << kHyphens57 << "Výsledky testu pro stroj: MAT 123" << kHyphens57
             << ""
             << textLines({"Slepé pokusy", "------------", "Sřední hodnota slepých pokusů: 5",
                   "Střední hodnota vod přesahuje 3000 buněk/ml.", "Vzorek 4 přesahuje limit.",
                   "Dle normy: střední hodnota měření vod nesmí přesahovat 3000 buněk/ml, žádné "
                   "z měření vod nevykazuje 8000 buněk/ml"});
    EXPECT_EQ(ws.summary.lines(), expected);
}

TEST_F(Eval, BlankSummaryModeWithoutWarnings) {
    setBlanks("1", "2", "3", "4");
    sheet->id = QStringLiteral("  id s mezerami ");
    ws.summary.clear();
    SummaryModeScope on;
    blankCheck(ws);
    QStringList expected;
    expected << kHyphens57 << "Výsledky testu pro stroj:   id s mezerami " << kHyphens57 << ""
             << textLines({"Slepé pokusy", "------------", "Sřední hodnota slepých pokusů: 2,5",
                   "Dle normy: střední hodnota měření vod nesmí přesahovat 3000 buněk/ml, žádné "
                   "z měření vod nevykazuje 8000 buněk/ml"});
    expected[6] = dec(expected[6].toUtf8().constData());
    EXPECT_EQ(ws.summary.lines(), expected);
}

TEST_F(Eval, BlankConversionErrorNamesTheFirstBadFieldAndChangesNothing) {
    setBlanks("1", "x", "y", "9");
    prefill();
    EXPECT_EQ(errorOf([&] { blankCheck(ws); }), "'x' is not a valid floating point value");
    sheet->count(1, 2) = "1";
    EXPECT_EQ(errorOf([&] { blankCheck(ws); }), "'y' is not a valid floating point value");
    sheet->count(1, 3) = "";
    {
        SummaryModeScope on;
        EXPECT_EQ(errorOf([&] { blankCheck(ws); }), "'' is not a valid floating point value");
    }
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Eval, EvaluationsDoNothingWithoutASheet) {
    FakeWorkspace empty;
    empty.main.add("keep");
    blankCheck(empty);
    repeatability(empty);
    carryOver(empty);
    linearity(empty);
    batchEvaluation(empty);
    EXPECT_EQ(empty.main.lines(), QStringList({"", "keep"}));
    EXPECT_EQ(empty.summary.lines(), QStringList{""});
    EXPECT_TRUE(empty.shown.isEmpty());
    EXPECT_FALSE(summaryMode());
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(empty.deviation.title, QStringList{"Odchylky měření"});
}

} // namespace
