// The linearity check and the deviation chart it fills.

#include "eval/DeviationChart.h"
#include "eval/Evaluations.h"
#include "output/SummaryMode.h"
#include "support/EvalFixture.h"
#include "ui/ChartModel.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <array>

using namespace vel;
using testing_support::dec;
using testing_support::errorOf;
using testing_support::Eval;
using testing_support::kMax;
using testing_support::kMin;

namespace {

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

} // namespace
