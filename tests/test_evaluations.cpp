// The single-instrument evaluations and the batch run,
// on a FakeWorkspace with scripted dialogs.

#include "data/Conversion.h"
#include "data/Errors.h"
#include "eval/DeviationChart.h"
#include "eval/Evaluations.h"
#include "output/NumberFormat.h"
#include "output/SummaryMode.h"
#include "support/FakeWorkspace.h"
#include "support/TestSupport.h"
#include "ui/ChartModel.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <QGuiApplication>
#include <QPalette>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>

using namespace vel;
using testing_support::errorOf;
using testing_support::FakeSheet;
using testing_support::FakeWorkspace;
using testing_support::ScriptedDialogs;

namespace {

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Scripted dialogs that can also look at the world when a message box appears.
class WatchingDialogs : public ScriptedDialogs {
public:
    void message(QWidget* owner, const QString& text) override {
        if (onMessage)
            onMessage(text);
        ScriptedDialogs::message(owner, text);
    }
    std::function<void(const QString&)> onMessage;
};

// A number as the output writes it: the test texts use a comma, replaced here by the
// decimal separator in force.
QString dec(const char* text) {
    QString s = QString::fromUtf8(text);
    s.replace(u',', decimalSeparator());
    return s;
}

QStringList textLines(std::initializer_list<const char*> lines) {
    QStringList out;
    for (const char* l : lines)
        out << QString::fromUtf8(l);
    return out;
}

const QString kHyphens57(57, u'-');
const QString kHyphens34(34, u'-');

class Eval : public ::testing::Test {
protected:
    void SetUp() override {
        setSummaryMode(false);
        sheet = &ws.addSheet(QStringLiteral("MAT 123"));
    }
    void TearDown() override { setSummaryMode(false); }

    // Marks the panes with text the evaluation must keep or replace.
    void prefill() {
        ws.main.clear();
        ws.main.add(QStringLiteral("old main"));
        ws.summary.clear();
        ws.summary.add(QStringLiteral("old summary"));
    }
    void setBlanks(const char* a, const char* b, const char* c, const char* d) {
        sheet->count(1, 1) = dec(a);
        sheet->count(1, 2) = dec(b);
        sheet->count(1, 3) = dec(c);
        sheet->count(1, 4) = dec(d);
    }
    // Reference values 100, 200 ... 1000 and every replicate equal to its reference value.
    void setIdealSamples() {
        ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
        for (int s = 1; s <= 10; ++s)
            sheet->setRow(s + 1, 100 * s, 100 * s, 100 * s, 100 * s);
    }
    QStringList summaryAfter(qsizetype from) const { return ws.summary.lines().mid(from); }
    // A series of the deviation chart by its component name.
    const ui::Series& series(const char* name) const {
        for (const auto& s : ws.deviation.allSeries())
            if (s->name() == QLatin1String(name))
                return *s;
        throw std::out_of_range(name);
    }

    WatchingDialogs dialogs;
    FakeWorkspace ws;
    FakeSheet* sheet = nullptr;
};

// =========================================================================================
// blank check
// =========================================================================================

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

// =========================================================================================
// repeatability
// =========================================================================================

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

// =========================================================================================
// carry-over
// =========================================================================================

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

// =========================================================================================
// linearity check and the deviation chart
// =========================================================================================

TEST(DeviationChart, StaticDefinition) {
    const vel::DeviationChart c;
    EXPECT_EQ(c.name(), "Chart1");
    EXPECT_EQ(c.title, QStringList{"Odchylky měření"});
    EXPECT_EQ(c.background, QGuiApplication::palette().color(QPalette::Button));
    EXPECT_FALSE(c.backWallFilled);
    EXPECT_EQ(c.legend, ui::LegendPlace::Right);
    EXPECT_EQ(c.bottom.title, "správná měření");
    EXPECT_EQ(c.bottom.labelAngle, 90);
    EXPECT_TRUE(c.bottom.automatic);
    EXPECT_EQ(c.bottom.tickOuter, 0);
    EXPECT_EQ(c.left.title, "odchylky");
    EXPECT_TRUE(c.left.automatic);
    EXPECT_EQ(c.right.title, "regrese");
    EXPECT_TRUE(c.right.automatic);
    ASSERT_EQ(c.allSeries().size(), 3u);

    const ui::Series& s2 = c.Series2;
    EXPECT_EQ(s2.kind(), ui::SeriesKind::Points);
    EXPECT_EQ(s2.vertical, ui::AxisSide::Left);
    EXPECT_EQ(s2.color, QColor(0, 128, 0));
    EXPECT_EQ(s2.outline, QColor(0, 0, 0));
    EXPECT_EQ(s2.shape, ui::PointShape::Square);
    EXPECT_FALSE(s2.inLegend);
    EXPECT_TRUE(s2.marksVisible);
    EXPECT_EQ(s2.markOffset, 10);
    EXPECT_FALSE(s2.markFramed);
    EXPECT_EQ(s2.markBack, QColor(255, 255, 128));
    EXPECT_EQ(s2.markLineColor, QColor(255, 255, 255));
    EXPECT_TRUE(s2.points().empty());

    const ui::Series& s3 = c.Series3;
    EXPECT_EQ(s3.kind(), ui::SeriesKind::Line);
    EXPECT_EQ(s3.title, "regrese");
    EXPECT_EQ(s3.vertical, ui::AxisSide::Right);
    EXPECT_EQ(s3.color, QColor(255, 255, 0));
    EXPECT_FALSE(s3.marksVisible);
    EXPECT_TRUE(s3.inLegend);

    const ui::Series& s4 = c.Series4;
    EXPECT_EQ(s4.kind(), ui::SeriesKind::Line);
    EXPECT_EQ(s4.title, "y=x");
    EXPECT_EQ(s4.vertical, ui::AxisSide::Right);
    EXPECT_EQ(s4.color, QColor(0, 0, 255));
    EXPECT_FALSE(s4.marksVisible);
    EXPECT_TRUE(s4.inLegend);
}

TEST_F(Eval, LinearityIdealInstrument) {
    setIdealSamples();
    prefill();
    const int updates = ws.chartUpdates;
    linearity(ws);
    EXPECT_EQ(ws.main.lines(),
              QStringList({"Výsledky regrese", "----------------", "Hodnota rc: 0 %",
                           "Rovnice regrese: 0 +1*x", "Korelační koeficient: 1",
                           "Koeficient determinace: 1", dec("Kovariance korelace: 9,17E004")}));
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
    EXPECT_EQ(ws.deviation.title, QStringList{"Odchylky měření pro přístroj: MAT 123"});
    const auto& pts = series("Series2").points();
    ASSERT_EQ(pts.size(), 10u);
    for (int k = 1; k <= 10; ++k) {
        EXPECT_EQ(pts[k - 1].x, 100 * k);
        EXPECT_EQ(pts[k - 1].y, 0);
        EXPECT_EQ(pts[k - 1].label, QStringLiteral("v %1").arg(k));
    }
    const auto& reg = series("Series3").points();
    ASSERT_EQ(reg.size(), 2u);
    EXPECT_EQ(reg[0].x, 0);
    EXPECT_EQ(reg[0].y, 0);
    EXPECT_EQ(reg[1].x, 1000);
    EXPECT_DOUBLE_EQ(reg[1].y, 1000);
    const auto& id = series("Series4").points();
    ASSERT_EQ(id.size(), 2u);
    EXPECT_EQ(id[0].x, 0);
    EXPECT_EQ(id[0].y, 0);
    EXPECT_EQ(id[1].x, 1000);
    EXPECT_EQ(id[1].y, 1000);
    EXPECT_GT(ws.chartUpdates, updates);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Eval, LinearityDeviationsMeansAndLabels) {
    ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    sheet->setRow(2, 100, 101, 102, 103); // m = 101.5, d = 1.5
    sheet->setRow(3, 190, 190, 190, 190); // d = 10 below
    sheet->setRow(4, 310, 310, 310, 310); // d = 10 above
    for (int s = 4; s <= 10; ++s)
        sheet->setRow(s + 1, 100 * s, 100 * s, 100 * s, 100 * s);
    linearity(ws);
    const auto& pts = series("Series2").points();
    ASSERT_EQ(pts.size(), 10u);
    EXPECT_EQ(pts[0].x, 100);
    EXPECT_EQ(pts[0].y, 1.5);
    EXPECT_EQ(pts[0].label, "v 1");
    EXPECT_EQ(pts[1].y, 10);
    EXPECT_EQ(pts[2].y, 10);
    EXPECT_EQ(pts[9].label, "v 10");
    // rc = 100 * (10 - 0) / 900
    EXPECT_EQ(ws.main.line(2), dec("Hodnota rc: 1,11 %"));
}

TEST_F(Eval, LinearityPointsSortedByReferenceAndLinesToTheLargest) {
    // references not in order; means half the reference plus 1000: slope 0.5, intercept 1000
    const std::array<int, 10> refs = {500, 100, 1000, 300, 200, 900, 400, 800, 600, 700};
    ws.setReferences(refs);
    for (int k = 1; k <= 10; ++k) {
        const int m = refs[k - 1] / 2 + 1000;
        sheet->setRow(k + 1, m - 3, m + 3, m - 1, m + 1);
    }
    linearity(ws);
    const auto& pts = series("Series2").points();
    ASSERT_EQ(pts.size(), 10u);
    for (size_t i = 1; i < pts.size(); ++i)
        EXPECT_LT(pts[i - 1].x, pts[i].x);
    EXPECT_EQ(pts[0].label, "v 2");
    EXPECT_EQ(pts[9].label, "v 3");
    EXPECT_EQ(pts[9].y, 500); // 1500 - 1000
    EXPECT_EQ(ws.main.line(3), dec("Rovnice regrese: 1E003 +0,5*x"));
    const auto& reg = series("Series3").points();
    ASSERT_EQ(reg.size(), 2u);
    EXPECT_NEAR(reg[0].y, 1000, 1e-9);
    EXPECT_EQ(reg[1].x, 1000);
    EXPECT_NEAR(reg[1].y, 1500, 1e-9);
    EXPECT_EQ(series("Series4").points()[1].y, 1000);
}

TEST_F(Eval, LinearityNegativeSlopeFollowsThePlus) {
    ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    for (int k = 1; k <= 10; ++k) {
        const int m = 1000 - 50 * k; // 1000 - x / 2
        sheet->setRow(k + 1, m, m, m, m);
    }
    linearity(ws);
    EXPECT_EQ(ws.main.line(3), dec("Rovnice regrese: 1E003 +-0,5*x"));
    EXPECT_EQ(ws.main.line(4), "Korelační koeficient: -1");
    EXPECT_EQ(ws.main.line(5), "Koeficient determinace: 1");
    // cov(x, -x/2) = -0.5 * 91666.67
    EXPECT_EQ(ws.main.line(6), dec("Kovariance korelace: -4,58E004"));
}

TEST_F(Eval, LinearityTwiceReplacesEverything) {
    setIdealSamples();
    linearity(ws);
    sheet->id = "druhý";
    linearity(ws);
    EXPECT_EQ(series("Series2").points().size(), 10u);
    EXPECT_EQ(series("Series3").points().size(), 2u);
    EXPECT_EQ(series("Series4").points().size(), 2u);
    EXPECT_EQ(ws.deviation.title, QStringList{"Odchylky měření pro přístroj: druhý"});
    EXPECT_EQ(ws.main.count(), 7);
}

TEST_F(Eval, LinearitySummaryModeAddsEightLines) {
    setIdealSamples();
    prefill();
    SummaryModeScope on;
    linearity(ws);
    EXPECT_EQ(ws.main.count(), 7);
    QStringList expected = {"old summary", ""};
    expected << ws.main.lines();
    EXPECT_EQ(ws.summary.lines(), expected);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(Eval, LinearityAllReferencesEqualFailsAtRc) {
    // default references 0; deviations differ: division by zero
    for (int k = 1; k <= 10; ++k)
        sheet->setRow(k + 1, k, k, k, k);
    prefill();
    // Series left from an earlier run are emptied first.
    ws.deviation.Series3.add(1, 1);
    ws.deviation.Series4.add(1, 1);
    const int updates = ws.chartUpdates;
    {
        SummaryModeScope on;
        EXPECT_EQ(errorOf([&] { linearity(ws); }), "Floating point division by zero");
    }
    EXPECT_EQ(ws.deviation.title, QStringList{"Odchylky měření pro přístroj: MAT 123"});
    EXPECT_EQ(series("Series2").points().size(), 10u);
    EXPECT_TRUE(series("Series3").points().empty());
    EXPECT_TRUE(series("Series4").points().empty());
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
    EXPECT_GT(ws.chartUpdates, updates);

    // equal deviations too (all counts and references 0): invalid operation
    for (int k = 1; k <= 10; ++k)
        sheet->setRow(k + 1, 0, 0, 0, 0);
    EXPECT_EQ(errorOf([&] { linearity(ws); }), "Invalid floating point operation");
    EXPECT_EQ(series("Series2").points().size(), 10u);
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
}

TEST_F(Eval, LinearityEqualMeansFailInTheFit) {
    ws.setReferences({100, 200, 300, 400, 500, 600, 700, 800, 900, 1000});
    for (int k = 1; k <= 10; ++k)
        sheet->setRow(k + 1, 50, 50, 50, 50);
    prefill();
    {
        SummaryModeScope on;
        EXPECT_EQ(errorOf([&] { linearity(ws); }), "Invalid floating point operation");
    }
    // rc = 100 * (950 - 50) / 900 = 100
    EXPECT_EQ(ws.main.lines(),
              QStringList({"Výsledky regrese", "----------------", "Hodnota rc: 100 %"}));
    EXPECT_EQ(series("Series2").points().size(), 10u);
    EXPECT_TRUE(series("Series3").points().empty());
    EXPECT_TRUE(series("Series4").points().empty());
    EXPECT_EQ(ws.summary.lines(), QStringList{"old summary"});
}

TEST_F(Eval, LinearityConversionErrorKeepsThePointsAdded) {
    setIdealSamples();
    sheet->count(4, 4) = "q";
    ws.references[2] = "z";
    prefill();
    EXPECT_EQ(errorOf([&] { linearity(ws); }), "'q' is not a valid integer value");
    EXPECT_EQ(series("Series2").points().size(), 2u);
    EXPECT_EQ(ws.deviation.title, QStringList{"Odchylky měření pro přístroj: MAT 123"});
    sheet->count(4, 4) = "300";
    EXPECT_EQ(errorOf([&] { linearity(ws); }), "'z' is not a valid integer value");
    EXPECT_EQ(series("Series2").points().size(), 2u);
    sheet->count(4, 1) = "1.5";
    EXPECT_EQ(errorOf([&] { linearity(ws); }), "'1.5' is not a valid integer value");
    EXPECT_EQ(ws.main.lines(), QStringList{"old main"});
    EXPECT_TRUE(series("Series3").points().empty());
}

TEST_F(Eval, LinearitySumsAcrossThe32BitRange) {
    setIdealSamples();
    sheet->setRow(11, kMax, kMax, kMax, kMax); // mean INT32_MAX, not a wrapped -1
    sheet->setRow(10, kMin, kMin, kMin, kMin);
    linearity(ws);
    const auto& pts = series("Series2").points();
    EXPECT_EQ(pts[9].label, "v 10");
    EXPECT_EQ(pts[9].y, double(kMax) - 1000);
    EXPECT_EQ(pts[8].y, 900 - double(kMin));
}

// =========================================================================================
// batch evaluation
// =========================================================================================

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
