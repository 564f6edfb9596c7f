// The carry-over evaluation from the rows 11, 12 and 13.

#include "eval/Evaluations.h"
#include "output/SummaryMode.h"
#include "support/EvalFixture.h"

#include <gtest/gtest.h>

using namespace vel;
using testing_support::dec;
using testing_support::errorOf;
using testing_support::Eval;
using testing_support::kMax;
using testing_support::kMin;

namespace {

class CarryOver : public Eval {
protected:
    void setRows(int h, int l1, int l2) {
        sheet->setRow(11, h, h, h, h);
        sheet->setRow(12, l1, l1, l1, l1);
        sheet->setRow(13, l2, l2, l2, l2);
    }
};

TEST_F(CarryOver, ExactlyTwoIsWithinTheLimit) {
    setRows(1000, 20, 0);
    prefill();
    carryOver(ws);
    EXPECT_EQ(ws.main.lines(), QStringList{"Vliv přenosu je: 2 %"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
}

TEST_F(CarryOver, AboveTwoShowsTheBoxWithTheMainPaneEmpty) {
    setRows(1000, 21, 0);
    prefill();
    int linesAtBox = -1;
    dialogs.onMessage = [&](const QString&) { linesAtBox = int(ws.main.count()); };
    carryOver(ws);
    EXPECT_EQ(linesAtBox, 0);
    EXPECT_EQ(dialogs.messages, QStringList{"Vliv přenosu je větší než 2 %."});
    EXPECT_EQ(ws.main.lines(), QStringList{dec("Vliv přenosu je: 2,1 %")});
}

TEST_F(CarryOver, NegativeCarryOverIsNoWarning) {
    setRows(1000, 0, 10); // -40 / 3960 * 100
    carryOver(ws);
    EXPECT_EQ(ws.main.lines(), QStringList{dec("Vliv přenosu je: -1,01 %")});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

// K is one quotient, rounded once: the double nearest 0.1125 (900 / 8000) lies just above
// it and the one nearest 0.04375 (700 / 16000) just below; dividing first and multiplying
// by 100 afterwards rounds both the other way.
TEST_F(CarryOver, PerCentIsRoundedOnce) {
    setRows(0, 0, 0);
    sheet->setRow(12, 9, 0, 0, 0);
    sheet->setRow(11, 8000, 0, 0, 0);
    carryOver(ws);
    EXPECT_EQ(ws.main.lines(), QStringList{dec("Vliv přenosu je: 0,113 %")});
    sheet->setRow(12, 7, 0, 0, 0);
    sheet->setRow(11, 16000, 0, 0, 0);
    carryOver(ws);
    EXPECT_EQ(ws.main.lines(), QStringList{dec("Vliv přenosu je: 0,0437 %")});
}

TEST_F(CarryOver, SummaryModeBlock) {
    setRows(1000, 21, 0);
    prefill();
    SummaryModeScope on;
    carryOver(ws);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ws.main.lines(), QStringList{dec("Vliv přenosu je: 2,1 %")});
    EXPECT_EQ(ws.summary.lines(), QStringList({"old summary", "", "Vliv přenosu", "-------------",
                                               dec("Vliv přenosu je: 2,1 %")}));
}

TEST_F(CarryOver, ConversionOrderIsRow12Row13Row11) {
    setRows(1000, 21, 0);
    sheet->count(11, 1) = "h";
    sheet->count(13, 4) = "l2";
    sheet->count(12, 3) = "l1";
    prefill();
    SummaryModeScope on;
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "'l1' is not a valid integer value");
    sheet->count(12, 3) = "21";
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "'l2' is not a valid integer value");
    sheet->count(13, 4) = "0";
    sheet->count(13, 1) = "";
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "'' is not a valid integer value");
    sheet->count(13, 1) = "0";
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "'h' is not a valid integer value");
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CarryOver, EqualDenominatorIsAFloatingPointError) {
    setRows(5, 7, 5);
    prefill();
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "Floating point division by zero");
    setRows(5, 5, 5);
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "Invalid floating point operation");
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(CarryOver, SumsAcrossThe32BitRangeDoNotWrap) {
    // L2 = 4 * INT32_MIN, H = 4 * INT32_MAX, L1 = 0: K = 2^33 / (2^34 - 4) * 100 = 50
    setRows(kMax, 0, kMin);
    carryOver(ws);
    EXPECT_EQ(ws.main.lines(), QStringList{"Vliv přenosu je: 50 %"});
    EXPECT_EQ(dialogs.messages, QStringList{"Vliv přenosu je větší než 2 %."});

    // H - L2 = 0 with sums beyond 32 bits: 4 * INT32_MAX in both rows
    setRows(kMax, 1, kMax);
    EXPECT_EQ(errorOf([&] { carryOver(ws); }), "Floating point division by zero");
}

} // namespace
