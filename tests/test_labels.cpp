// Arrangement of overlapping point labels and the calibration-quality chart window.

#include "overall/OverallCharts.h"
#include "overall/Form5.h"
#include "overall/LabelArrange.h"
#include "support/TestSupport.h"
#include "ui/ChartPaint.h"
#include "ui/ChartView.h"

#include <QImage>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using testing_support::ScriptedDialogs;

namespace {

ui::MarkBox label(int left, int top, int width = 40, int height = 15) {
    ui::MarkBox m;
    m.drawn = true;
    m.box = QRect(left, top, width, height);
    m.lineStart = QPoint(left + width / 2, top + height + 15);
    m.lineEnd = m.box.center();
    return m;
}

bool anyOverlap(const std::vector<ui::MarkBox>& marks) {
    for (std::size_t i = 0; i < marks.size(); ++i)
        if (vel::labelOverlaps(marks, i))
            return true;
    return false;
}

bool sameBoxes(const std::vector<ui::MarkBox>& a, const std::vector<ui::MarkBox>& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i].box != b[i].box || a[i].lineEnd != b[i].lineEnd || a[i].pinned != b[i].pinned)
            return false;
    return true;
}

// Calibration chart with three instruments on one spot, one apart and one beyond the axis.
void crowdedChart(vel::CalibrationChart& chart) {
    auto& s = chart.Series1;
    s.add(5, 0.001, "stroj 1");
    s.add(5, 0.001, "stroj 2");
    s.add(5, 0.001, "stroj 3");
    s.add(15, 0.002, "stroj 4");
    s.add(40, 0.001, "stroj 5");
    chart.bottom.setRange(0, 25);
    chart.left.setRange(0, 0.003);
}

} // namespace

TEST(LabelOverlap, BoxesMustShareInterior) {
    std::vector<ui::MarkBox> m{label(100, 100), label(140, 100)}; // side by side
    EXPECT_FALSE(vel::labelOverlaps(m, 0));
    m[1] = label(100, 115); // one above the other
    EXPECT_FALSE(vel::labelOverlaps(m, 0));
    m[1] = label(140, 115); // corner to corner
    EXPECT_FALSE(vel::labelOverlaps(m, 1));
    m[1] = label(139, 114); // one pixel shared
    EXPECT_TRUE(vel::labelOverlaps(m, 0));
    EXPECT_TRUE(vel::labelOverlaps(m, 1));
    m[1].drawn = false; // an undrawn label is no obstacle, and is never tested
    EXPECT_FALSE(vel::labelOverlaps(m, 0));
    EXPECT_FALSE(vel::labelOverlaps(m, 1));
}

TEST(LabelArrange, TwoLabelsOnOneBox) {
    std::vector<ui::MarkBox> m{label(100, 100), label(100, 100)};
    EXPECT_EQ(vel::arrangeLabels(m), 8);
    EXPECT_EQ(m[0].box, QRect(84, 84, 40, 15));
    EXPECT_EQ(m[0].box.y() + m[0].box.height(), m[1].box.y() - 1); // 1 px above the other
    EXPECT_EQ(m[0].lineEnd, QPoint(82, 82));
    EXPECT_EQ(m[0].lineStart, QPoint(120, 130)); // still at the point
    EXPECT_TRUE(m[0].pinned);
    EXPECT_EQ(m[1].box, QRect(100, 100, 40, 15));
    EXPECT_FALSE(m[1].pinned);
    EXPECT_FALSE(anyOverlap(m));
}

TEST(LabelArrange, ThreeLabelsOnOneBox) {
    std::vector<ui::MarkBox> m{label(100, 100), label(100, 100), label(100, 100)};
    EXPECT_EQ(vel::arrangeLabels(m), 8 + 16);
    EXPECT_EQ(m[0].box.topLeft(), QPoint(84, 84));
    EXPECT_EQ(m[1].box.topLeft(), QPoint(68, 68)); // ran into the moved first one
    EXPECT_EQ(m[1].lineEnd, QPoint(66, 66));
    EXPECT_EQ(m[2].box.topLeft(), QPoint(100, 100));
    EXPECT_FALSE(m[2].pinned);
    EXPECT_FALSE(anyOverlap(m));

    const auto arranged = m; // a second run has nothing to do
    EXPECT_EQ(vel::arrangeLabels(m), 0);
    EXPECT_TRUE(sameBoxes(m, arranged));
}

TEST(LabelArrange, NothingToDo) {
    std::vector<ui::MarkBox> single{label(10, 10)};
    EXPECT_EQ(vel::arrangeLabels(single), 0);
    EXPECT_FALSE(single[0].pinned);

    std::vector<ui::MarkBox> touching{label(0, 0), label(40, 0), label(0, 15)};
    const auto before = touching;
    EXPECT_EQ(vel::arrangeLabels(touching), 0);
    EXPECT_TRUE(sameBoxes(touching, before));

    std::vector<ui::MarkBox> undrawn{label(10, 10), label(10, 10)};
    undrawn[0].drawn = false;
    EXPECT_EQ(vel::arrangeLabels(undrawn), 0);
    EXPECT_EQ(undrawn[0].box, QRect(10, 10, 40, 15));
    EXPECT_FALSE(undrawn[0].pinned);

    std::vector<ui::MarkBox> none;
    EXPECT_EQ(vel::arrangeLabels(none), 0);
}

TEST(LabelArrange, PaintedChartKeepsArrangedLabels) {
    vel::CalibrationChart chart;
    crowdedChart(chart);
    const QSize size(1385, 641);
    ui::ChartState state;
    renderChart(chart, state, size);
    auto& marks = state.marks(chart.Series1);
    ASSERT_EQ(marks.size(), 5u);
    EXPECT_TRUE(vel::labelOverlaps(marks, 0));
    EXPECT_FALSE(marks[4].drawn); // beyond the axis: no label

    EXPECT_GT(vel::arrangeLabels(marks), 0);
    EXPECT_FALSE(anyOverlap(marks));
    EXPECT_TRUE(marks[0].pinned);
    EXPECT_TRUE(marks[1].pinned);
    EXPECT_FALSE(marks[2].pinned);
    EXPECT_FALSE(marks[3].pinned);
    EXPECT_FALSE(marks[4].pinned);

    // Painted again, the pinned labels stay and the others come back to their places.
    const auto arranged = marks;
    renderChart(chart, state, size);
    EXPECT_TRUE(sameBoxes(marks, arranged));
    EXPECT_EQ(marks[0].lineStart, arranged[0].lineStart);

    // Emptying the series drops the stored places.
    chart.Series1.clear();
    EXPECT_TRUE(state.marks(chart.Series1).empty());
}

TEST(LabelArrange, LabelsAtTheEdgesAreDrawnWhole) {
    // A point at the origin, one at the plot's left edge and one at its top right corner
    // with labels wider than the space beside them: each box is drawn whole, its frame on
    // both sides, and its connecting line ends where the box is.
    vel::CalibrationChart chart;
    chart.Series1.add(0, 0, "SCC-06");
    chart.Series1.add(0, 0.002, QString(30, u'W'));
    chart.Series1.add(25, 0.003, QString(30, u'W'));
    chart.bottom.setRange(0, 25);
    chart.left.setRange(0, 0.003);
    const QSize size(600, 400);
    ui::ChartState state;
    const QImage image = renderChart(chart, state, size);
    for (const ui::MarkBox& mark : state.marks(chart.Series1)) {
        ASSERT_TRUE(mark.drawn);
        EXPECT_TRUE(QRect(QPoint(0, 0), size).contains(mark.box)) << mark.box.x();
        const int y = mark.box.center().y();
        EXPECT_EQ(image.pixelColor(mark.box.left(), y), QColor(Qt::black)) << mark.box.x();
        EXPECT_EQ(image.pixelColor(mark.box.right(), y), QColor(Qt::black)) << mark.box.x();
        EXPECT_EQ(mark.lineEnd, mark.box.center()) << mark.box.x();
    }
}

TEST(CalibrationWindow, ArrangedLabelsAreSavedWhereTheyWereArranged) {
    vel::CalibrationChart chart;
    crowdedChart(chart);
    vel::Form5 form(chart);
    form.Chart1->grab(); // the labels are known once painted
    auto& marks = form.Chart1->state().marks(chart.Series1);
    ASSERT_TRUE(vel::labelOverlaps(marks, 0));

    form.Button4->click();
    EXPECT_FALSE(anyOverlap(marks));
    const QRect moved = marks[0].box;
    EXPECT_TRUE(marks[0].pinned);

    QTemporaryDir dir;
    ScriptedDialogs sd;
    sd.files.push_back(dir.filePath("graf"));
    form.Button2->click();
    ASSERT_TRUE(sd.errors.isEmpty());
    QImage image;
    ASSERT_TRUE(image.loadFromData(testing_support::readAll(dir.filePath("graf")), "BMP"));
    EXPECT_EQ(image.size(), form.Chart1->size());
    EXPECT_EQ(marks[0].box, moved);
    // The framed light-yellow box stands at its arranged place.
    EXPECT_EQ(image.pixelColor(moved.left(), moved.center().y()), QColor(Qt::black));
    EXPECT_EQ(image.pixelColor(moved.left() + 1, moved.top() + 1), QColor(255, 255, 128));
}
