// Chart layer: series data, axis scales and labels, painting into images, marks, view
// state, mouse and keyboard zoom and the BMP export; Enter on the windows' buttons.
#include "overall/OverallCharts.h"
#include "ui/ChartModel.h"
#include "ui/ChartPaint.h"
#include "ui/ChartState.h"
#include "ui/ChartView.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "support/TestSupport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>

using namespace ui;

namespace {

const QSize kSize(400, 300);

// A chart with fixed axes 0..10 both ways, so that tests know where values land.
struct FixedChart {
    ChartModel model;
    ChartState state;
    FixedChart() {
        model.bottom.setRange(0, 10);
        model.left.setRange(0, 10);
        model.legend = LegendPlace::None;
    }
    ChartLayout layout() const { return layoutChart(model, kSize); }
    QPoint at(double x, double y) const { return layout().toPixel(x, y).toPoint(); }
};

bool near(QColor a, QColor b) {
    return std::abs(a.red() - b.red()) < 40 && std::abs(a.green() - b.green()) < 40 &&
           std::abs(a.blue() - b.blue()) < 40;
}

// Some pixel within r of c has the colour.
bool colourAround(const QImage& img, QPoint c, int r, QColor colour) {
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (img.rect().contains(c + QPoint(dx, dy)) &&
                near(img.pixelColor(c + QPoint(dx, dy)), colour))
                return true;
    return false;
}

QString loc(QString s) { // '.' and ' ' of a literal as the system locale writes them
    const QLocale l = QLocale::system();
    s.replace(u'.', u'\x1');
    s.replace(u' ', l.groupSeparator());
    return s.replace(u'\x1', l.decimalPoint());
}

void mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPoint pos) {
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent e(type, QPointF(pos), w.mapToGlobal(QPointF(pos)),
                  type == QEvent::MouseMove ? Qt::NoButton : button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &e);
}

void drag(QWidget& w, Qt::MouseButton button, QPoint from, QPoint to) {
    mouse(w, QEvent::MouseButtonPress, button, from);
    mouse(w, QEvent::MouseMove, button, (from + to) / 2);
    mouse(w, QEvent::MouseMove, button, to);
    mouse(w, QEvent::MouseButtonRelease, button, to);
}

// A key pressed and released on the widget with the focus.
void key(int k, Qt::KeyboardModifiers modifiers = Qt::NoModifier, bool autoRepeat = false) {
    QWidget* w = QApplication::focusWidget();
    ASSERT_NE(w, nullptr);
    QKeyEvent press(QEvent::KeyPress, k, modifiers, QString(), autoRepeat);
    QKeyEvent release(QEvent::KeyRelease, k, modifiers, QString(), autoRepeat);
    QCoreApplication::sendEvent(w, &press);
    QCoreApplication::sendEvent(w, &release);
}

// A shown window holding a button and, after it in the tab order, a chart of c.
struct ChartWindow {
    QWidget window;
    QPushButton* button = ui::makeButton(&window, "Button1", "tisk grafu", 0, 0, 75);
    ChartView* view;
    explicit ChartWindow(FixedChart& c) : view(new ChartView(c.model, &window)) {
        view->setGeometry(0, 30, kSize.width(), kSize.height());
        window.resize(kSize + QSize(0, 30));
        window.show();
        window.activateWindow();
        QElapsedTimer waited; // the platform makes it active on its own time
        waited.start();
        while (!window.isActiveWindow() && waited.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        button->setFocus();
    }
    void expectShown(double xmin, double xmax, double ymin, double ymax) const {
        const ChartLayout L = view->chartLayout();
        EXPECT_NEAR(L.bottom.min, xmin, 1e-9);
        EXPECT_NEAR(L.bottom.max, xmax, 1e-9);
        EXPECT_NEAR(L.left.min, ymin, 1e-9);
        EXPECT_NEAR(L.left.max, ymax, 1e-9);
    }
};

} // namespace

// ---- Series data

TEST(ChartSeries, KeepsAscendingXWithEqualXInArrivalOrder) {
    Series s("S", SeriesKind::Points);
    s.add(3, 0, "a");
    s.add(1, 0, "b");
    s.add(3, 0, "c");
    s.add(2, 0, "d");
    s.add(1, 0, "e");
    QStringList order;
    for (const ChartPoint& p : s.points())
        order << p.label;
    EXPECT_EQ(order, QStringList({"b", "e", "d", "a", "c"}));
    ASSERT_EQ(ChartState().marks(s).size(), s.points().size());
}

TEST(ChartSeries, MarkStaysWithItsPointWhenPointsAreInserted) {
    Series s("S", SeriesKind::Points);
    ChartState state;
    s.add(5, 1, "five");
    state.marks(s)[0].pinned = true;
    s.add(1, 1, "one");
    ASSERT_EQ(state.marks(s).size(), 2u);
    EXPECT_FALSE(state.marks(s)[0].pinned);
    EXPECT_TRUE(state.marks(s)[1].pinned);
}

TEST(ChartSeries, ClearEmptiesDependentsEvenInACycle) {
    ChartModel m;
    Series& a = m.addSeries("A", SeriesKind::Points);
    Series& b = m.addSeries("B", SeriesKind::Line);
    Series& e = m.addSeries("E", SeriesKind::Ellipse);
    a.addDependent(&b);
    b.addDependent(&e);
    b.addDependent(&a);
    a.add(1, 2);
    b.add(1, 2);
    e.setShape(0, 0, 1, 1);
    ChartState state;
    state.marks(a)[0].pinned = true;
    a.clear();
    EXPECT_TRUE(a.points().empty());
    EXPECT_TRUE(state.marks(a).empty());
    a.add(1, 2); // a new point is not mistaken for the cleared one
    EXPECT_FALSE(state.marks(a)[0].pinned);
    EXPECT_TRUE(b.points().empty());
    EXPECT_FALSE(e.hasShape());
    EXPECT_FALSE(e.minX());
}

TEST(ChartSeries, ExtentOfPointsAndOfShapes) {
    Series s("S", SeriesKind::Line);
    EXPECT_FALSE(s.minX().has_value());
    s.add(2, -3);
    s.add(-1, 7);
    s.add(5, 0);
    EXPECT_EQ(*s.minX(), -1);
    EXPECT_EQ(*s.maxX(), 5);
    EXPECT_EQ(*s.minY(), -3);
    EXPECT_EQ(*s.maxY(), 7);

    Series e("E", SeriesKind::Ellipse);
    e.setShape(4, 9, -2, 1); // corners in any order
    EXPECT_EQ(*e.minX(), -2);
    EXPECT_EQ(*e.maxX(), 4);
    EXPECT_EQ(*e.minY(), 1);
    EXPECT_EQ(*e.maxY(), 9);
}

// ---- Axis scales and labels

TEST(ChartAxis, NiceSteps) {
    EXPECT_DOUBLE_EQ(niceStep(10, 500, 50), 1);
    EXPECT_DOUBLE_EQ(niceStep(100, 300, 50), 20);
    EXPECT_DOUBLE_EQ(niceStep(0.7, 400, 50), 0.1);
    EXPECT_DOUBLE_EQ(niceStep(3000, 200, 50), 1000);
    EXPECT_DOUBLE_EQ(niceStep(1e-4, 250, 50), 2e-5);
    EXPECT_DOUBLE_EQ(niceStep(0, 250, 50), 1); // never zero
}

TEST(ChartAxis, PatternLabels) {
    const QString f = "#,##0.#####";
    EXPECT_EQ(formatAxisLabel(1234567.5, f, 0.5), loc("1 234 567.5"));
    EXPECT_EQ(formatAxisLabel(2, f, 1), "2");
    EXPECT_EQ(formatAxisLabel(0.1 + 0.2, f, 0.1), loc("0.3"));
    EXPECT_EQ(formatAxisLabel(0.123456789, f, 0.1), loc("0.12346"));
    EXPECT_EQ(formatAxisLabel(-0.000001, f, 0.1), "0");
    EXPECT_EQ(formatAxisLabel(-2500, f, 500), loc("-2 500"));
    EXPECT_EQ(formatAxisLabel(0.25, "0.000", 0.05), loc("0.250"));
}

TEST(ChartAxis, PlainLabelsHaveNoNoiseNorGrouping) {
    EXPECT_EQ(formatAxisLabel(0.1 + 0.2, "", 0.1), loc("0.3"));
    EXPECT_EQ(formatAxisLabel(1e-17, "", 0.1), "0");
    EXPECT_EQ(formatAxisLabel(1234567, "", 100000), "1234567");
}

TEST(ChartAxis, AutomaticRangesFollowTheirSeries) {
    ChartModel m;
    Series& l = m.addSeries("L", SeriesKind::Points);
    Series& r = m.addSeries("R", SeriesKind::Line);
    r.vertical = AxisSide::Right;
    l.add(2, 10);
    l.add(40, 30);
    r.add(-5, 1000);
    r.add(0, 3000);
    ChartLayout L = layoutChart(m, kSize);
    EXPECT_TRUE(L.rightUsed);
    EXPECT_EQ(L.bottom.min, -5);
    EXPECT_EQ(L.bottom.max, 40);
    EXPECT_EQ(L.left.min, 10);
    EXPECT_EQ(L.left.max, 30);
    EXPECT_EQ(L.right.min, 1000);
    EXPECT_EQ(L.right.max, 3000);
    // Labels stand at multiples of the step, readably far apart.
    for (const AxisScale* s : {&L.bottom, &L.left, &L.right}) {
        ASSERT_GE(s->ticks.size(), 2u);
        EXPECT_NEAR(std::remainder(s->ticks.front(), s->step), 0, s->step * 1e-9);
        EXPECT_GE(s->ticks.front(), s->min);
        EXPECT_LE(s->ticks.back(), s->max);
    }
    const double px = L.toPixelX(L.bottom.ticks[1]) - L.toPixelX(L.bottom.ticks[0]);
    EXPECT_GE(px, 50);
    EXPECT_LE(px, 130);
}

TEST(ChartAxis, SingleValueRangeIsWidenedAndZoomOverrides) {
    ChartModel m;
    Series& s = m.addSeries("S", SeriesKind::Points);
    s.add(5, 0);
    s.add(5, 0);
    ChartLayout L = layoutChart(m, kSize);
    EXPECT_LT(L.bottom.min, 5);
    EXPECT_GT(L.bottom.max, 5);
    EXPECT_LT(L.left.min, 0);
    EXPECT_GT(L.left.max, 0);

    L = layoutChart(m, kSize, QFont(), ChartZoom{1, 2, 3, 4, 5, 6});
    EXPECT_EQ(L.bottom.min, 1);
    EXPECT_EQ(L.bottom.max, 2);
    EXPECT_EQ(L.left.min, 3);
    EXPECT_EQ(L.left.max, 4);
}

TEST(ChartAxis, UnroundedFirstLabelSitsAtTheMinimum) {
    FixedChart c;
    c.model.bottom.setRange(0.37, 9.5);
    c.model.bottom.firstLabelRounded = false;
    ChartLayout L = c.layout();
    ASSERT_FALSE(L.bottom.ticks.empty());
    EXPECT_DOUBLE_EQ(L.bottom.ticks.front(), 0.37);
    EXPECT_EQ(L.bottom.labels.front(), loc("0.37"));
    EXPECT_DOUBLE_EQ(L.left.ticks.front(), 0);
}

// Form5's labels show at most five decimals: however deep the zoom, no two labels read the
// same and each reads the value where it stands, the first at the axis minimum.
TEST(ChartAxis, DeepZoomKeepsPatternLabelsDistinctAndTrue) {
    vel::CalibrationChart chart;
    const QString format = chart.left.labelFormat;
    for (auto [lo, hi] : {std::pair{0.0, 0.00003}, std::pair{0.0000037, 0.0000437}}) {
        const ChartLayout L =
            layoutChart(chart, QSize(1385, 641), QFont(), ChartZoom{lo, hi, lo, hi, 0, 1});
        for (const AxisScale* s : {&L.bottom, &L.left}) {
            ASSERT_GE(s->ticks.size(), 2u) << lo;
            EXPECT_DOUBLE_EQ(s->ticks.front(), lo);
            QStringList distinct = s->labels;
            EXPECT_EQ(distinct.removeDuplicates(), 0) << s->labels.join(" | ").toStdString();
            for (size_t i = 0; i < s->ticks.size(); ++i)
                EXPECT_EQ(s->labels[int(i)], formatAxisLabel(s->ticks[i], format, s->step));
        }
        if (lo == 0) {
            EXPECT_EQ(L.left.labels,
                      QStringList({"0", loc("0.00001"), loc("0.00002"), loc("0.00003")}));
        }
    }
}

// ---- Painting

TEST(ChartPaint, PointSymbolAndLineAppearWhereTheDataMaps) {
    FixedChart c;
    Series& p = c.model.addSeries("P", SeriesKind::Points);
    p.color = Qt::green;
    p.shape = PointShape::Square;
    p.add(3, 4);
    Series& l = c.model.addSeries("L", SeriesKind::Line);
    l.color = Qt::blue;
    l.add(6, 2);
    l.add(9, 2);
    c.model.title = QStringList{"Title of the chart"};
    const QImage img = renderChart(c.model, c.state, kSize);
    ASSERT_EQ(img.size(), kSize);
    EXPECT_EQ(img.pixelColor(c.at(3, 4)), QColor(Qt::green));
    EXPECT_EQ(img.pixelColor(c.at(7.5, 2)), QColor(Qt::blue));
    EXPECT_EQ(img.pixelColor(c.at(7.5, 5)), QColor(Qt::white));
    // The title is written above the plot.
    bool inked = false;
    for (int x = 0; x < kSize.width(); ++x)
        for (int y = 0; y < c.layout().plot.top(); ++y)
            inked = inked || img.pixelColor(x, y).lightness() < 128;
    EXPECT_TRUE(inked);
}

// Form3's chart has no walls: the top edge of its plot stays white, where other charts
// draw a frame; its axes still draw their lines.
TEST(ChartPaint, FrameAroundThePlotOnlyWhereWanted) {
    vel::OverallChart overall;
    vel::CalibrationChart calibration;
    for (ChartModel* m : {static_cast<ChartModel*>(&overall), static_cast<ChartModel*>(&calibration)}) {
        m->bottom.setRange(0, 10);
        m->left.setRange(0, 10);
        const QSize size(600, 400);
        const QRect plot = layoutChart(*m, size).plot;
        ChartState state;
        const QImage img = renderChart(*m, state, size);
        EXPECT_EQ(img.pixelColor(plot.center().x(), plot.top()),
                  m == &overall ? QColor(Qt::white) : QColor(Qt::black));
        EXPECT_EQ(img.pixelColor(plot.center().x(), plot.bottom()), QColor(Qt::black));
        EXPECT_EQ(img.pixelColor(plot.left(), plot.center().y()), QColor(Qt::black));
    }
}

// Ink along a title, one value per pixel of its length, from the first inked pixel to the
// last: across the columns of level text, or across the rows of a band of turned text.
static std::vector<int> inkAlong(const QImage& img, QRect band, bool rows) {
    std::vector<int> ink;
    const int n = rows ? band.height() : band.width();
    for (int i = 0; i < n; ++i) {
        int sum = 0;
        for (int j = 0; j < (rows ? band.width() : band.height()); ++j) {
            const QPoint at = rows ? QPoint(band.left() + j, band.top() + i)
                                   : QPoint(band.left() + i, band.top() + j);
            sum += 255 - img.pixelColor(at).lightness();
        }
        ink.push_back(sum);
    }
    while (!ink.empty() && ink.back() == 0)
        ink.pop_back();
    ink.erase(ink.begin(), std::find_if(ink.begin(), ink.end(), [](int v) { return v > 0; }));
    return ink;
}

// Differing ink between two profiles of one text, as a share of the ink, at the best of a
// few pixels' shift.
static double inkDifference(const std::vector<int>& a, const std::vector<int>& b) {
    double best = 1e9, total = 0;
    for (int v : a)
        total += v;
    for (int shift = -2; shift <= 2; ++shift) {
        double d = 0;
        const int n = int(std::max(a.size(), b.size()));
        for (int i = -2; i < n + 2; ++i) {
            const int j = i + shift;
            d += std::abs((i >= 0 && i < int(a.size()) ? a[i] : 0) -
                          (j >= 0 && j < int(b.size()) ? b[j] : 0));
        }
        best = std::min(best, d / total);
    }
    return best;
}

// The first run of inked columns seen from one edge of the image inwards.
static QRect firstInkedColumns(const QImage& img, bool fromLeft) {
    auto inked = [&](int x) {
        for (int y = 0; y < img.height(); ++y)
            if (img.pixelColor(x, y).lightness() < 200)
                return true;
        return false;
    };
    const int w = img.width();
    int x = 0;
    while (x < w && !inked(fromLeft ? x : w - 1 - x))
        ++x;
    const int start = x;
    while (x < w && inked(fromLeft ? x : w - 1 - x))
        ++x;
    return fromLeft ? QRect(start, 0, x - start, img.height())
                    : QRect(w - x, 0, x - start, img.height());
}

// Turned axis titles are spaced as the same text written level ("odc hylky" was not): the
// ink along each title matches that of the level text, and the title is drawn as vector
// outlines, which a PDF keeps without any image.
TEST(ChartPaint, TurnedAxisTitlesAreSpacedAsLevelText) {
    FixedChart c;
    c.model.left.title = "odchylky";
    c.model.right.title = "regrese";
    Series& r = c.model.addSeries("R", SeriesKind::Line);
    r.vertical = AxisSide::Right;
    r.add(0, 0);
    r.add(10, 10);
    QFont font("Liberation Sans"); // the program's font, 8 points on a 96 dpi screen
    font.setPixelSize(11);
    QImage img(kSize, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setFont(font);
        paintChart(c.model, c.state, p, kSize);
    }
    const QFontMetrics fm(font);
    for (bool left : {true, false}) {
        const QString title = left ? c.model.left.title : c.model.right.title;
        QImage level(fm.horizontalAdvance(title) + 8, fm.height(), QImage::Format_RGB32);
        level.fill(Qt::white);
        {
            QPainter p(&level);
            p.setFont(font);
            p.drawText(level.rect().adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, title);
        }
        const QRect band = firstInkedColumns(img, left); // the title, beside the plot
        ASSERT_GE(band.width(), 5) << title.toStdString();
        ASSERT_LE(band.width(), fm.height()) << title.toStdString();
        std::vector<int> turned = inkAlong(img, band, true);
        if (left) // reads upwards
            std::reverse(turned.begin(), turned.end());
        EXPECT_LT(inkDifference(inkAlong(level, level.rect(), false), turned), 0.17)
            << title.toStdString();
    }
}

TEST(ChartPaint, EllipseIsOutlinedOnly) {
    FixedChart c;
    Series& e = c.model.addSeries("E", SeriesKind::Ellipse);
    e.color = Qt::red;
    e.penStyle = Qt::DashDotDotLine;
    e.setShape(8, 8, 2, 4);
    const QImage img = renderChart(c.model, c.state, kSize);
    EXPECT_TRUE(colourAround(img, c.at(5, 8), 2, Qt::red) ||
                colourAround(img, c.at(5, 4), 2, Qt::red));
    EXPECT_FALSE(colourAround(img, c.at(5, 6), 5, Qt::red));
}

TEST(ChartPaint, AreaOutlineWithFineDotsAlternates) {
    FixedChart c;
    Series& a = c.model.addSeries("A", SeriesKind::Area);
    a.color = Qt::blue;
    a.fineDots = true;
    a.add(2, 5);
    a.add(8, 5);
    const QImage img = renderChart(c.model, c.state, kSize);
    const QPoint from = c.at(3, 5), to = c.at(7, 5);
    int blue = 0, other = 0;
    for (int x = from.x(); x < to.x(); ++x)
        (img.pixelColor(x, from.y()) == QColor(Qt::blue) ? blue : other)++;
    EXPECT_NEAR(blue, other, 2); // every other pixel
    // Vertical edge down to the bottom of the plot, not filled inside.
    EXPECT_TRUE(colourAround(img, c.at(2, 2), 1, Qt::blue));
    EXPECT_FALSE(colourAround(img, c.at(5, 2), 3, Qt::blue));
}

TEST(ChartMarks, RecordedAboveThePointByTheOffset) {
    FixedChart c;
    Series& s = c.model.addSeries("S", SeriesKind::Points);
    s.marksVisible = true;
    s.markOffset = 20;
    s.markFramed = true;
    s.add(5, 5, "label");
    s.add(2, 3, "other");
    renderChart(c.model, c.state, kSize);
    const QPoint pt = c.at(5, 5);
    const MarkBox& m = c.state.marks(s)[1];
    ASSERT_TRUE(m.drawn);
    EXPECT_EQ(m.lineStart, pt);
    EXPECT_EQ(m.box.top() + m.box.height(), pt.y() - 20);
    EXPECT_LE(std::abs(m.box.center().x() - pt.x()), 1);
    EXPECT_GT(m.box.width(), 10);
    EXPECT_TRUE(c.state.marks(s)[0].drawn);

    // Without an offset the box sits right on top of the symbol, leaving it visible.
    s.markOffset = 0;
    renderChart(c.model, c.state, kSize);
    EXPECT_EQ(c.state.marks(s)[1].box.bottom() + 1, pt.y() - s.symbolSize - 1);
    EXPECT_EQ(c.state.marks(s)[1].lineEnd, c.state.marks(s)[1].lineStart);
}

// Every connecting line lies below every label box: a box that another label's line, of
// its own series or of another, runs across keeps its background and text.
TEST(ChartMarks, NoConnectingLineCrossesALabel) {
    FixedChart c;
    const QColor lineColour(128, 0, 128);
    Series& a = c.model.addSeries("A", SeriesKind::Points);
    Series& b = c.model.addSeries("B", SeriesKind::Points);
    for (Series* s : {&a, &b}) {
        s->marksVisible = true;
        s->markOffset = 15;
        s->markFramed = true;
        s->markLineColor = lineColour;
    }
    a.add(2, 3, "first");
    a.add(8, 3, "second");
    b.add(5, 3, "third");
    renderChart(c.model, c.state, kSize);
    // The first label moved onto the second's connecting line, the second onto the third's.
    for (auto [mark, line] : {std::pair{&c.state.marks(a)[0], &c.state.marks(a)[1]},
                              std::pair{&c.state.marks(a)[1], &c.state.marks(b)[0]}}) {
        mark->box.moveCenter((line->lineStart + line->lineEnd) / 2);
        mark->pinned = true;
    }
    const QImage img = renderChart(c.model, c.state, kSize);
    for (const MarkBox* m : {&c.state.marks(a)[0], &c.state.marks(a)[1]}) {
        bool text = false;
        for (int y = m->box.top(); y <= m->box.bottom(); ++y)
            for (int x = m->box.left(); x <= m->box.right(); ++x) {
                ASSERT_FALSE(near(img.pixelColor(x, y), lineColour)) << x << "," << y;
                text = text || (m->box.adjusted(1, 1, -2, -2).contains(x, y) &&
                                img.pixelColor(x, y).lightness() < 100); // not the frame
            }
        EXPECT_TRUE(text);
    }
}

TEST(ChartMarks, EmptyLabelShowsNoText) {
    FixedChart c;
    Series& s = c.model.addSeries("S", SeriesKind::Points);
    s.marksVisible = true;
    s.markOffset = 20;
    s.add(5, 5, ""); // a sheet with an empty tab caption
    const QImage img = renderChart(c.model, c.state, kSize);
    const MarkBox& m = c.state.marks(s)[0];
    ASSERT_TRUE(m.drawn);
    for (int y = m.box.top(); y <= m.box.bottom(); ++y)
        for (int x = m.box.left(); x <= m.box.right(); ++x)
            ASSERT_EQ(img.pixelColor(x, y), s.markBack) << x << "," << y;
}

TEST(ChartMarks, PinnedMarkKeepsItsPlace) {
    FixedChart c;
    Series& s = c.model.addSeries("S", SeriesKind::Points);
    s.marksVisible = true;
    s.markOffset = 10;
    s.add(5, 5, "pinned");
    renderChart(c.model, c.state, kSize);
    MarkBox& m = c.state.marks(s)[0];
    m.box.translate(60, -30);
    m.lineEnd = m.box.center();
    m.pinned = true;
    const MarkBox before = m;
    c.model.left.setRange(0, 20); // the point itself moves
    const QImage img = renderChart(c.model, c.state, kSize);
    EXPECT_EQ(c.state.marks(s)[0].box, before.box);
    EXPECT_EQ(c.state.marks(s)[0].lineStart, before.lineStart);
    EXPECT_EQ(img.pixelColor(before.box.topLeft() + QPoint(1, 1)), s.markBack);
}

TEST(ChartMarks, PointsOutsideTheRangeHaveNoMark) {
    FixedChart c;
    Series& s = c.model.addSeries("S", SeriesKind::Points);
    s.marksVisible = true;
    s.add(5, 5, "in");
    s.add(15, 5, "right of range");
    s.add(5, -1, "below range");
    renderChart(c.model, c.state, kSize);
    EXPECT_TRUE(c.state.marks(s)[0].drawn);
    EXPECT_FALSE(c.state.marks(s)[1].drawn);
    EXPECT_FALSE(c.state.marks(s)[2].drawn);
    c.model.bottom.setRange(6, 10); // the first point leaves the view
    renderChart(c.model, c.state, kSize);
    EXPECT_FALSE(c.state.marks(s)[0].drawn);
}

// ---- Mouse

TEST(ChartMouse, DragDownRightZoomsAndOtherDirectionsUnzoom) {
    FixedChart c;
    c.model.addSeries("S", SeriesKind::Points).add(5, 5);
    ChartView view(c.model);
    view.resize(kSize);
    const ChartLayout L = view.chartLayout();
    const QPoint a = L.toPixel(2, 8).toPoint(), b = L.toPixel(6, 3).toPoint();

    drag(view, Qt::LeftButton, a, a + QPoint(10, 40)); // too narrow
    EXPECT_FALSE(view.state().zoom(c.model));
    drag(view, Qt::LeftButton, a, b);
    const auto zoom = view.state().zoom(c.model);
    ASSERT_TRUE(zoom);
    EXPECT_NEAR(zoom->xmin, 2, 0.05);
    EXPECT_NEAR(zoom->xmax, 6, 0.05);
    EXPECT_NEAR(zoom->ylmin, 3, 0.05);
    EXPECT_NEAR(zoom->ylmax, 8, 0.05);
    EXPECT_NEAR(view.chartLayout().bottom.min, 2, 0.05);

    drag(view, Qt::LeftButton, b, a);
    EXPECT_FALSE(view.state().zoom(c.model));
}

TEST(ChartMouse, RightDragScrollsByTheDraggedAmount) {
    FixedChart c;
    ChartView view(c.model);
    view.resize(kSize);
    const ChartLayout L = view.chartLayout();
    const QPoint from = L.toPixel(5, 5).toPoint(), to = L.toPixel(7, 4).toPoint();
    drag(view, Qt::RightButton, from, to);
    const auto zoom = view.state().zoom(c.model);
    ASSERT_TRUE(zoom);
    // The picture follows the mouse: the data under the cursor stays under it.
    EXPECT_NEAR(zoom->xmin, -2, 0.05);
    EXPECT_NEAR(zoom->xmax, 8, 0.05);
    EXPECT_NEAR(zoom->ylmin, 1, 0.05);
    EXPECT_NEAR(zoom->ylmax, 11, 0.05);
}

// ---- Keyboard

TEST(Keyboard, EnterPressesTheFocusedButtonOncePerPress) {
    FixedChart c;
    ChartWindow w(c);
    ASSERT_EQ(QApplication::focusWidget(), w.button);
    int clicks = 0;
    QObject::connect(w.button, &QPushButton::clicked, [&] { ++clicks; });
    key(Qt::Key_Return);
    EXPECT_EQ(clicks, 1);
    key(Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(clicks, 2);
    key(Qt::Key_Return, Qt::NoModifier, true); // held down: no second command
    EXPECT_EQ(clicks, 2);
}

// The focused button is ringed in solid dark blue, two pixels wide, on its edge.
TEST(Keyboard, FocusedButtonIsPlainlyRinged) {
    ui::installFocusStyle();
    FixedChart c;
    ChartWindow w(c);
    ASSERT_TRUE(w.button->hasFocus());
    const QImage img = w.button->grab().toImage();
    const QColor ring(0, 0, 160);
    int onEdge = 0;
    for (int x = 0; x < img.width(); ++x)
        for (int y : {0, 1, img.height() - 2, img.height() - 1})
            onEdge += img.pixelColor(x, y) == ring;
    EXPECT_GE(onEdge, 4 * (img.width() - 4));
    w.view->setFocus();
    QCoreApplication::processEvents();
    const QImage unfocused = w.button->grab().toImage();
    EXPECT_NE(unfocused.pixelColor(img.width() / 2, 0), ring);
    QApplication::setStyle(QStringLiteral("Fusion")); // the other tests' look
}

TEST(ChartKeys, TabThenPlusHalvesAroundTheCentreMinusDoublesHomeAndZeroUndo) {
    FixedChart c;
    ChartWindow w(c);
    key(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), w.view);
    key(Qt::Key_Plus);
    w.expectShown(2.5, 7.5, 2.5, 7.5);
    key(Qt::Key_Plus, Qt::KeypadModifier);
    w.expectShown(3.75, 6.25, 3.75, 6.25);
    key(Qt::Key_Minus);
    w.expectShown(2.5, 7.5, 2.5, 7.5);
    key(Qt::Key_Home);
    EXPECT_FALSE(w.view->state().zoom(c.model));
    key(Qt::Key_Minus, Qt::KeypadModifier);
    w.expectShown(-5, 15, -5, 15);
    key(Qt::Key_0);
    EXPECT_FALSE(w.view->state().zoom(c.model));
}

// An arrow moves the picture its way, as a right drag that way does, by a tenth of the
// shown range.
TEST(ChartKeys, ArrowsMoveThePictureATenthOfTheRange) {
    FixedChart c;
    ChartWindow w(c);
    w.view->setFocus();
    key(Qt::Key_Right);
    w.expectShown(-1, 9, 0, 10);
    key(Qt::Key_Down);
    w.expectShown(-1, 9, 1, 11);
    key(Qt::Key_Plus);
    key(Qt::Key_Left);
    key(Qt::Key_Up);
    w.expectShown(2, 7, 3, 8);
}

// ---- View state

// The model holds the data only: each view keeps its own label boxes and zoom, printing
// keeps nothing, and the model's request to unzoom reaches a zoom set before it only.
TEST(ChartState, EachViewKeepsItsOwnLabelsAndZoom) {
    FixedChart c;
    Series& s = c.model.addSeries("S", SeriesKind::Points);
    s.marksVisible = true;
    s.add(5, 5, "label");
    ChartView view(c.model);
    view.resize(kSize);
    QImage page(kSize, QImage::Format_RGB32);
    QPainter printer(&page);
    view.paintTo(printer);
    EXPECT_FALSE(view.state().marks(s)[0].drawn);
    view.grab();
    EXPECT_TRUE(view.state().marks(s)[0].drawn);
    EXPECT_FALSE(c.state.marks(s)[0].drawn);

    MarkBox& moved = view.state().marks(s)[0];
    moved.box.translate(80, 0);
    moved.pinned = true;
    const QPoint inMoved = moved.box.topLeft() + QPoint(1, 1);
    EXPECT_EQ(view.grab().toImage().pixelColor(inMoved), s.markBack);
    EXPECT_NE(renderChart(c.model, c.state, kSize).pixelColor(inMoved), s.markBack);

    c.state.setZoom(c.model, ChartZoom{0, 5, 0, 5, 0, 1});
    EXPECT_FALSE(view.state().zoom(c.model));
    c.model.unzoomViews(); // a new run
    EXPECT_FALSE(c.state.zoom(c.model));
    c.state.setZoom(c.model, ChartZoom{0, 5, 0, 5, 0, 1}); // zoomed again after the run
    EXPECT_TRUE(c.state.zoom(c.model));
}

// ---- Export

TEST(ChartExport, BmpUnderTheExactNameAndErrorsWithReason) {
    FixedChart c;
    c.model.addSeries("S", SeriesKind::Points).add(5, 5);
    QTemporaryDir dir;
    const QString name = dir.filePath("picture");
    ChartView view(c.model);
    view.resize(321, 123);
    view.saveBmp(name);
    QFile f(name);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), "BM");
    f.close();
    QImageReader reader(name);
    EXPECT_EQ(reader.format(), "bmp");
    EXPECT_EQ(reader.read().size(), QSize(321, 123));

    const QString nowhere = dir.filePath("no/such/dir/x.bmp");
    EXPECT_EQ(testing_support::errorOf([&] { view.saveBmp(nowhere); }),
              QStringLiteral("Cannot create file \"%1\". %2")
                  .arg(nowhere, testing_support::systemText(ENOENT)));
}
