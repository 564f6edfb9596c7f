// The repeatability evaluation: the replicate pairs of the ten samples, their levels and
// limits, the marked fields and the summary block.

#include "data/Conversion.h"
#include "eval/Evaluations.h"
#include "output/NumberFormat.h"
#include "output/SummaryMode.h"
#include "support/EvalFixture.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

using namespace vel;
using testing_support::dec;
using testing_support::errorOf;
using testing_support::Eval;
using testing_support::kHyphens34;
using testing_support::kMax;
using testing_support::kMin;
using testing_support::textLines;

namespace {

TEST_F(Eval, RepeatabilityWorkedExample) {
    ws.setReferences({120, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    sheet->setRow(2, 100, 110, 130, 100);
    repeatability(ws);
    const QStringList& m = ws.main.lines();
    ASSERT_EQ(m.size(), 3 + 80 + 3);
    QStringList first = m.mid(0, 11);
    EXPECT_EQ(first, QStringList({"", "Vyhodnocení opakovatelností celého setu.", kHyphens34,
                                  "vzorky 1", "vzorky 1-2: diference na hladině <150*10^3: 10",
                                  "vzorky 1-3: diference na hladině <150*10^3: 30*",
                                  "vzorky 1-4: diference na hladině <150*10^3: 0",
                                  "vzorky 2-3: diference na hladině <150*10^3: 20",
                                  "vzorky 2-4: diference na hladině <150*10^3: 10",
                                  "vzorky 3-4: diference na hladině <150*10^3: 30*",
                                  dec("parciální opakovatelnost: 14,1")}));
    EXPECT_EQ(m[11], "vzorky 2");
    EXPECT_EQ(m[18], "parciální opakovatelnost: 0");
    // T = 2400: sqrt(20) = 4.47; 2 of 60 pairs: 3.33 %
    EXPECT_EQ(m.mid(83), QStringList({dec("celková opakovatelnost: 4,47"),
                                      dec("Rozdíl mezi vzorky je v: 3,33 % případů."),
                                      "* - diference je větší než předepisuje norma"}));
    EXPECT_TRUE(sheet->isYellow(2, 1));
    EXPECT_FALSE(sheet->isYellow(2, 2));
    EXPECT_TRUE(sheet->isYellow(2, 3));
    EXPECT_TRUE(sheet->isYellow(2, 4));
    for (int r = 3; r <= 11; ++r)
        for (int c = 1; c <= 4; ++c)
            EXPECT_FALSE(sheet->isYellow(r, c));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Eval, WorkedExampleUnderACommaSeparatorReads14Comma1) {
    if (decimalSeparator() != u',')
        GTEST_SKIP() << "run under LANG=cs_CZ.UTF-8 for the comma";
    ws.setReferences({120, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    sheet->setRow(2, 100, 110, 130, 100);
    repeatability(ws);
    EXPECT_EQ(ws.main.line(10), "parciální opakovatelnost: 14,1");
    setBlanks("2,5", "2", "2", "2");
    blankCheck(ws);
    EXPECT_EQ(ws.main.line(2), "Střední hodnota slepých pokusů: 2,25");
}

TEST_F(Eval, CheckPairDifferenceAccumulatesAndMarks) {
    ws.setReferences({120, 0, 0, 0, 0, 0, 0, 0, 0, 200});
    ws.main.clear();
    double P = 5, T = 7;
    EXPECT_TRUE(CheckPairDifference(ws, P, T, 100, 130, 1, "1-3"));
    EXPECT_EQ(P, 905);
    EXPECT_EQ(T, 907);
    EXPECT_FALSE(CheckPairDifference(ws, P, T, 217, 200, 10, "x-y"));
    EXPECT_EQ(P, 905 + 289);
    EXPECT_EQ(T, 907 + 289);
    EXPECT_EQ(ws.main.lines(), QStringList({"vzorky 1-3: diference na hladině <150*10^3: 30*",
                                            "vzorky x-y: diference na hladině 150-300*10^3: 17"}));
    EXPECT_EQ(ws.summary.lines(), QStringList{""});

    SummaryModeScope on;
    EXPECT_TRUE(CheckPairDifference(ws, P, T, -20, 20, 1, "3-4"));
    EXPECT_EQ(ws.main.lines().last(), "vzorky 3-4: diference na hladině <150*10^3: 40*");
    EXPECT_EQ(ws.summary.lines(), QStringList({"", " diference na hladině <150*10^3: 40*"}));
    EXPECT_TRUE(summaryMode());
}

TEST_F(Eval, RepeatabilityLevelBoundaries) {
    // Sample s: reference value refs[s], replicates 0, L, L + 1, 0 with L the limit of the
    // level the reference value must select: pairs 1-2 and 2-4 are at the limit (no "*"),
    // 1-3 and 3-4 one above it ("*"), 2-3 differs by 1.
    const std::array<int, 10> refs = {150, 151, 300, 301, 450, 451, 750, 751, 1500, 1501};
    const int limits[10] = {25, 42, 42, 50, 50, 63, 63, 126, 126, 126};
    const char* labels[10] = {"<150",    "150-300", "150-300",  "300-450",  "300-450",
                              "450-750", "450-750", "750-1500", "750-1500", ">1500"};
    ws.setReferences(refs);
    for (int s = 1; s <= 10; ++s)
        sheet->setRow(s + 1, 0, limits[s - 1], limits[s - 1] + 1, 0);
    repeatability(ws);
    const QStringList& m = ws.main.lines();
    for (int s = 1; s <= 10; ++s) {
        const int base = 3 + 8 * (s - 1);
        const QString lv = QStringLiteral(": diference na hladině %1*10^3: ").arg(labels[s - 1]);
        const int L = limits[s - 1];
        SCOPED_TRACE(s);
        EXPECT_EQ(m[base], QStringLiteral("vzorky %1").arg(s));
        EXPECT_EQ(m[base + 1], "vzorky 1-2" + lv + QString::number(L));
        EXPECT_EQ(m[base + 2], "vzorky 1-3" + lv + QString::number(L + 1) + "*");
        EXPECT_EQ(m[base + 3], "vzorky 1-4" + lv + "0");
        EXPECT_EQ(m[base + 4], "vzorky 2-3" + lv + "1");
        EXPECT_EQ(m[base + 5], "vzorky 2-4" + lv + QString::number(L));
        EXPECT_EQ(m[base + 6], "vzorky 3-4" + lv + QString::number(L + 1) + "*");
        EXPECT_TRUE(sheet->isYellow(s + 1, 1));
        EXPECT_FALSE(sheet->isYellow(s + 1, 2));
        EXPECT_TRUE(sheet->isYellow(s + 1, 3));
        EXPECT_TRUE(sheet->isYellow(s + 1, 4));
    }
    // 20 of 60
    EXPECT_EQ(m[84], dec("Rozdíl mezi vzorky je v: 33,3 % případů."));
    EXPECT_EQ(dialogs.messages,
              QStringList{"Rozdíl mezi výsledky je vetší než limity ve více než 5 % případů."});
}

TEST_F(Eval, RepeatabilityDefaultReferencesAndNegativesAreLevelOne) {
    ws.references[4] = "-7";
    for (int s = 1; s <= 10; ++s)
        sheet->setRow(s + 1, 25, 0, 25, 0);
    repeatability(ws);
    for (int s = 1; s <= 10; ++s)
        EXPECT_EQ(ws.main.line(3 + 8 * (s - 1) + 1),
                  "vzorky 1-2: diference na hladině <150*10^3: 25");
    EXPECT_EQ(ws.main.line(84), "Rozdíl mezi vzorky je v: 0 % případů.");
}

TEST_F(Eval, RepeatabilityAllEqualGivesZeros) {
    ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    for (int s = 1; s <= 10; ++s)
        sheet->setRow(s + 1, 77, 77, 77, 77);
    // yellow left by an earlier run is cleared, rows 1, 12, 13 are never touched
    ws.setCountYellow(5, 2, true);
    ws.setCountYellow(1, 1, true);
    ws.setCountYellow(13, 4, true);
    repeatability(ws);
    for (int s = 1; s <= 10; ++s)
        EXPECT_EQ(ws.main.line(3 + 8 * s - 1), "parciální opakovatelnost: 0");
    EXPECT_EQ(ws.main.lines().mid(83),
              QStringList({"celková opakovatelnost: 0", "Rozdíl mezi vzorky je v: 0 % případů.",
                           "* - diference je větší než předepisuje norma"}));
    for (int r = 2; r <= 11; ++r)
        for (int c = 1; c <= 4; ++c)
            EXPECT_FALSE(sheet->isYellow(r, c));
    EXPECT_TRUE(sheet->isYellow(1, 1));
    EXPECT_TRUE(sheet->isYellow(13, 4));
}

TEST_F(Eval, RepeatabilityThreeExceedancesNoBoxFourGiveTheBox) {
    // one exceeding pair per sample: replicates 0, 0, 0, 26 at level 1 give pairs 1-4,
    // 2-4 and 3-4 over the limit. Use 26, 26, 26, 0 ... simpler: a single exceeding pair
    // needs three equal values and one apart, which gives three. So: three samples with
    // 0, 26, 13, 13 (1-2 = 26 only).
    for (int s = 1; s <= 3; ++s)
        sheet->setRow(s + 1, 0, 26, 13, 13);
    repeatability(ws);
    EXPECT_EQ(ws.main.line(84), "Rozdíl mezi vzorky je v: 5 % případů.");
    EXPECT_TRUE(dialogs.messages.isEmpty());

    sheet->setRow(8, 0, 26, 13, 13);
    repeatability(ws);
    EXPECT_EQ(ws.main.line(84), dec("Rozdíl mezi vzorky je v: 6,67 % případů."));
    EXPECT_EQ(dialogs.messages,
              QStringList{"Rozdíl mezi výsledky je vetší než limity ve více než 5 % případů."});
}

TEST_F(Eval, RepeatabilityMessageBoxComesAfterTheClosingLines) {
    for (int s = 1; s <= 4; ++s)
        sheet->setRow(s + 1, 0, 26, 13, 13);
    int linesAtBox = -1;
    dialogs.onMessage = [&](const QString&) { linesAtBox = int(ws.main.count()); };
    repeatability(ws);
    EXPECT_EQ(linesAtBox, 86);
}

TEST_F(Eval, RepeatabilitySecondRunClearsCorrectedYellows) {
    ws.setReferences({120, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    sheet->setRow(2, 100, 110, 130, 100);
    sheet->setRow(6, 0, 0, 0, 100);
    repeatability(ws);
    EXPECT_TRUE(sheet->isYellow(2, 3));
    EXPECT_TRUE(sheet->isYellow(6, 4));
    EXPECT_EQ(dialogs.messages.size(), 1); // 2 + 3 exceedances
    sheet->setRow(2, 100, 110, 120, 100);
    repeatability(ws);
    EXPECT_FALSE(sheet->isYellow(2, 1));
    EXPECT_FALSE(sheet->isYellow(2, 3));
    EXPECT_FALSE(sheet->isYellow(2, 4));
    EXPECT_TRUE(sheet->isYellow(6, 1));
    EXPECT_TRUE(sheet->isYellow(6, 4));
    EXPECT_EQ(dialogs.messages.size(), 1); // 3 exceedances: no further box
}

TEST_F(Eval, RepeatabilitySummaryModeBlock) {
    ws.setReferences({120, 200, 0, 0, 0, 0, 0, 0, 0, 0});
    sheet->setRow(2, 100, 110, 130, 100);
    sheet->setRow(3, 0, 0, 0, 43);
    prefill();
    SummaryModeScope on;
    repeatability(ws);
    EXPECT_TRUE(dialogs.messages.isEmpty()); // 5 exceedances, but no box
    EXPECT_EQ(ws.main.count(), 86);
    EXPECT_EQ(ws.main.line(5), "vzorky 1-3: diference na hladině <150*10^3: 30*");
    EXPECT_TRUE(sheet->isYellow(3, 4));
    QStringList expected = {"old summary", "", "Vyhodnocení opakovatelností celého setu.",
                            kHyphens34};
    expected << textLines({" diference na hladině <150*10^3: 10", " diference na hladině <150*10^3: 30*",
                   " diference na hladině <150*10^3: 0", " diference na hladině <150*10^3: 20",
                   " diference na hladině <150*10^3: 10", " diference na hladině <150*10^3: 30*"})
             << dec("parciální opakovatelnost vzorku 1 : 14,1");
    expected << textLines({" diference na hladině 150-300*10^3: 0", " diference na hladině 150-300*10^3: 0",
                   " diference na hladině 150-300*10^3: 43*",
                   " diference na hladině 150-300*10^3: 0",
                   " diference na hladině 150-300*10^3: 43*",
                   " diference na hladině 150-300*10^3: 43*"})
             << dec("parciální opakovatelnost vzorku 2 : 21,5"); // sqrt(3*1849/12)
    for (int s = 3; s <= 10; ++s) {
        for (int p = 0; p < 6; ++p)
            expected << " diference na hladině <150*10^3: 0";
        expected << QStringLiteral("parciální opakovatelnost vzorku %1 : 0").arg(s);
    }
    // T = 2400 + 5547 = 7947: sqrt(7947 / 120) = 8.14; 5 of 60 = 8.33 %
    expected << "" << dec("celková opakovatelnost: 8,14")
             << dec("Rozdíl mezi vzorky na daných hladiná dle normy je v: 8,33 % případů.")
             << textLines({"* - diference na dané hladině je mezi vzorky větší než předepisuje norma",
                   "Parciální opakovatelnost je určena jako směrodatná odchylka pro diference "
                   "mezi kombinacemi měření jednotlivých vzorků (6 kombinací)",
                   "Celková opakovatelnost je určena jako směrodatná odchylka pro diference mezi "
                   "všemi možnými kombinacemi měření jednotlivých vzorků (60 kombinací)"});
    EXPECT_EQ(ws.summary.lines(), expected);
    EXPECT_EQ(ws.summary.count(), 1 + 3 + 70 + 6);
}

TEST_F(Eval, RepeatabilityConvertsBBeforeAAndTheReferenceLast) {
    ws.setReferences({0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    sheet->setRow(2, 100, 110, 130, 100); // sample 1 exceeds: yellow stays after the error
    sheet->count(4, 1) = "a1";
    sheet->count(4, 2) = "b2";
    ws.references[2] = "ref3";
    prefill();
    // pair 1-2 of sample 3: replicate 2 first
    EXPECT_EQ(errorOf([&] { repeatability(ws); }), "'b2' is not a valid integer value");
    QStringList m = ws.main.lines();
    ASSERT_EQ(m.size(), 3 + 8 + 8 + 1);
    EXPECT_EQ(m.last(), "vzorky 3");
    EXPECT_EQ(m[18], "parciální opakovatelnost: 0");
    EXPECT_TRUE(sheet->isYellow(2, 1));
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
    EXPECT_TRUE(dialogs.messages.isEmpty());

    sheet->count(4, 2) = "5";
    EXPECT_EQ(errorOf([&] { repeatability(ws); }), "'a1' is not a valid integer value");
    sheet->count(4, 1) = "5";
    EXPECT_EQ(errorOf([&] { repeatability(ws); }), "'ref3' is not a valid integer value");
    EXPECT_EQ(ws.main.lines().last(), "vzorky 3");

    // every pair converts its second replicate first: 1-2 meets x2, and once that is
    // fixed, 1-4 meets x4 before anything else of the pair
    ws.references[2] = "0";
    sheet->count(4, 2) = "x2";
    sheet->count(4, 1) = "5";
    sheet->count(4, 3) = "5";
    sheet->count(4, 4) = "x4";
    EXPECT_EQ(errorOf([&] { repeatability(ws); }), "'x2' is not a valid integer value");
    sheet->count(4, 2) = "5";
    // pairs 1-2, 1-3 pass; 1-4 meets replicate 4 first
    EXPECT_EQ(errorOf([&] { repeatability(ws); }), "'x4' is not a valid integer value");
    EXPECT_EQ(ws.main.lines().last(), "vzorky 1-3: diference na hladině <150*10^3: 0");
    EXPECT_EQ(ws.main.count(), 3 + 16 + 1 + 2);
}

TEST_F(Eval, RepeatabilityErrorInSummaryModeKeepsWhatWasWritten) {
    sheet->count(2, 3) = "12.5";
    prefill();
    {
        SummaryModeScope on;
        EXPECT_EQ(errorOf([&] { repeatability(ws); }), "'12.5' is not a valid integer value");
    }
    // 1-2 done, 1-3 failed
    EXPECT_EQ(ws.summary.lines(),
              QStringList({"old summary", "", "Vyhodnocení opakovatelností celého setu.",
                           kHyphens34, " diference na hladině <150*10^3: 0"}));
    EXPECT_EQ(ws.main.lines(),
              QStringList({"", "Vyhodnocení opakovatelností celého setu.", kHyphens34, "vzorky 1",
                           "vzorky 1-2: diference na hladině <150*10^3: 0"}));
}

TEST_F(Eval, RepeatabilityDifferencesAcrossThe32BitRange) {
    // a difference above 46340 squares correctly
    sheet->setRow(2, 0, 46341, 0, 0);
    repeatability(ws);
    EXPECT_EQ(ws.main.line(4), "vzorky 1-2: diference na hladině <150*10^3: 46341*");
    const double P = 3.0 * 46341.0 * 46341.0; // 6442464843
    EXPECT_EQ(ws.main.line(10), "parciální opakovatelnost: " + formatGeneral(std::sqrt(P / 12)));
    EXPECT_EQ(ws.main.line(10), dec("parciální opakovatelnost: 2,32E004"));
    EXPECT_EQ(ws.main.line(83), dec("celková opakovatelnost: 7,33E003"));

    // extremes of the 32-bit range: d = 4294967295
    sheet->setRow(2, kMax, kMin, kMax, kMin);
    repeatability(ws);
    EXPECT_EQ(ws.main.line(4), "vzorky 1-2: diference na hladině <150*10^3: 4294967295*");
    EXPECT_EQ(ws.main.line(5), "vzorky 1-3: diference na hladině <150*10^3: 0");
    EXPECT_EQ(ws.main.line(6), "vzorky 1-4: diference na hladině <150*10^3: 4294967295*");
    const double d = 4294967295.0;
    EXPECT_EQ(ws.main.line(10),
              "parciální opakovatelnost: " + formatGeneral(std::sqrt(4 * (d * d) / 12)));
    EXPECT_EQ(ws.main.line(10), dec("parciální opakovatelnost: 2,48E009"));
    EXPECT_EQ(ws.main.line(83), dec("celková opakovatelnost: 7,84E008"));

    double P2 = 0, T2 = 0;
    ws.main.clear();
    EXPECT_TRUE(CheckPairDifference(ws, P2, T2, kMin, kMax, 1, "1-2"));
    EXPECT_EQ(P2, d * d);
    EXPECT_EQ(T2, 18446744065119617025.0);
}

} // namespace
