#include "ui/ChartLayout.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include <algorithm>
#include <cmath>
#include <tuple>

namespace ui {

using namespace chart_px;

namespace {

constexpr double kFar = 1e6; // pixel coordinates are kept within +-kFar


struct Range {
    double min, max;
};

// A usable range: ordered, and a single value widened around itself.
Range sane(double lo, double hi) {
    if (!std::isfinite(lo) || !std::isfinite(hi))
        return {0, 1};
    if (lo > hi)
        std::swap(lo, hi);
    if (hi - lo <= std::abs(hi) * 1e-12) {
        double d = lo == 0 ? 1 : std::abs(lo) * 0.1;
        return {lo - d, hi + d};
    }
    return {lo, hi};
}

// Extent of the data shown against one axis.
Range dataRange(const ChartModel& m, AxisSide side) {
    std::optional<double> lo, hi;
    for (const auto& s : m.allSeries()) {
        bool horizontal = side == AxisSide::Bottom;
        if (!horizontal && (s->vertical == AxisSide::Right) != (side == AxisSide::Right))
            continue;
        auto a = horizontal ? s->minX() : s->minY();
        auto b = horizontal ? s->maxX() : s->maxY();
        if (!a || !b || !std::isfinite(*a) || !std::isfinite(*b))
            continue;
        lo = lo ? std::min(*lo, *a) : *a;
        hi = hi ? std::max(*hi, *b) : *b;
    }
    return lo ? sane(*lo, *hi) : Range{0, 1};
}

Range axisRange(const ChartModel& m, const std::optional<ChartZoom>& zoom, const Axis& axis,
                AxisSide side) {
    if (zoom) {
        const auto& z = *zoom;
        switch (side) {
        case AxisSide::Bottom:
            return sane(z.xmin, z.xmax);
        case AxisSide::Left:
            return sane(z.ylmin, z.ylmax);
        case AxisSide::Right:
            return sane(z.yrmin, z.yrmax);
        }
    }
    return axis.automatic ? dataRange(m, side) : sane(axis.min, axis.max);
}

// Pixels the axis takes beside the plot: ticks, labels and title.
int axisDepth(AxisScale& s, const Axis& axis, const QFontMetrics& fm, bool horizontal) {
    if (!s.shown)
        return 0;
    bool across = horizontal == (axis.labelAngle == 90); // text width lies across the axis
    s.labelSize = axis.labelWidth > 0 ? axis.labelWidth
                  : across            ? textWidth(fm, s.labels)
                                      : fm.height();
    int depth = std::max(axis.tickOuter, axis.tickMinor) + kGap / 2 + s.labelSize;
    if (!axis.title.isEmpty())
        depth += kGap + fm.height();
    return depth;
}

} // namespace

QString legendText(const Series& s) {
    return s.title.isEmpty() ? s.name() : s.title;
}

double ChartLayout::toPixelX(double x) const {
    double t = (x - bottom.min) / (bottom.max - bottom.min);
    return std::clamp(plot.left() + t * (plot.width() - 1), -kFar, kFar);
}

double ChartLayout::toPixelY(double y, AxisSide side) const {
    const AxisScale& a = vertical(side);
    double t = (y - a.min) / (a.max - a.min);
    return std::clamp(plot.bottom() - t * (plot.height() - 1), -kFar, kFar);
}

double ChartLayout::toDataX(double px) const {
    return bottom.min +
           (px - plot.left()) / std::max(1, plot.width() - 1) * (bottom.max - bottom.min);
}

double ChartLayout::toDataY(double py, AxisSide side) const {
    const AxisScale& a = vertical(side);
    return a.min + (plot.bottom() - py) / std::max(1, plot.height() - 1) * (a.max - a.min);
}

bool ChartLayout::inRange(double x, double y, AxisSide side) const {
    const AxisScale& v = vertical(side);
    const double ex = (bottom.max - bottom.min) * 1e-9, ey = (v.max - v.min) * 1e-9;
    return x >= bottom.min - ex && x <= bottom.max + ex && y >= v.min - ey && y <= v.max + ey;
}

QFont pixelFont(QFont f) {
    if (f.pixelSize() > 0)
        return f;
    double dpi = 96;
    if (qGuiApp && QGuiApplication::primaryScreen())
        dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    f.setPixelSize(std::max(1, qRound(f.pointSizeF() * dpi / 72)));
    return f;
}

ChartLayout layoutChart(const ChartModel& m, QSize size, const QFont& font,
                        const std::optional<ChartZoom>& zoom) {
    ChartLayout L;
    L.font = pixelFont(font);
    const QFontMetrics fm(L.font);
    const int th = fm.height();

    L.bottom.shown = m.bottom.visible;
    L.left.shown = m.left.visible;
    L.rightUsed = std::any_of(m.allSeries().begin(), m.allSeries().end(),
                              [](const auto& s) { return s->vertical == AxisSide::Right; });
    L.right.shown = L.rightUsed && m.right.visible;
    for (auto [scale, axis, side] : {std::tuple{&L.bottom, &m.bottom, AxisSide::Bottom},
                                     std::tuple{&L.left, &m.left, AxisSide::Left},
                                     std::tuple{&L.right, &m.right, AxisSide::Right}}) {
        Range r = axisRange(m, zoom, *axis, side);
        scale->min = r.min;
        scale->max = r.max;
    }

    // Title on top, legend at the right or at the bottom.
    QRect outer(QPoint(kMargin, kMargin),
                QPoint(size.width() - 1 - kMargin, size.height() - 1 - kMargin));
    if (!m.title.isEmpty())
        outer.setTop(outer.top() + int(m.title.size()) * th + kGap);
    if (m.legend != LegendPlace::None) {
        std::vector<int> widths;
        for (const auto& s : m.allSeries())
            if (s->inLegend)
                widths.push_back(kSampleWidth + kGap + fm.horizontalAdvance(legendText(*s)));
        const int rowH = th + 2;
        if (!widths.empty() && m.legend == LegendPlace::Right) {
            const int w = *std::max_element(widths.begin(), widths.end()) + 2 * kGap;
            L.legend =
                QRect(outer.right() - w + 1, outer.top(), w, int(widths.size()) * rowH + 2 * kGap);
            for (size_t i = 0; i < widths.size(); ++i)
                L.legendItems.emplace_back(L.legend.left() + kGap,
                                           L.legend.top() + kGap + int(i) * rowH, widths[i], rowH);
            outer.setRight(L.legend.left() - 2 * kGap - 1);
        } else if (!widths.empty()) {
            int w = kGap;
            for (int iw : widths)
                w += iw + 2 * kGap;
            const int h = rowH + 2 * kGap;
            L.legend = QRect((size.width() - w) / 2, outer.bottom() - h + 1, w, h);
            int x = L.legend.left() + kGap;
            for (int iw : widths) {
                L.legendItems.emplace_back(x, L.legend.top() + kGap, iw, rowH);
                x += iw + 2 * kGap;
            }
            outer.setBottom(L.legend.top() - kGap - 1);
        }
    }

    // Label columns depend on the labels, which depend on the room left for the plot.
    int dl = 0, dr = 0, db = 0;
    for (int pass = 0; pass < 3; ++pass) {
        L.plot = QRect(QPoint(outer.left() + dl, outer.top()),
                       QPoint(outer.right() - dr, outer.bottom() - db));
        if (L.plot.width() < 2)
            L.plot.setWidth(2);
        if (L.plot.height() < 2)
            L.plot.setHeight(2);
        makeTicks(L.bottom, m.bottom, L.plot.width(), fm, true);
        makeTicks(L.left, m.left, L.plot.height(), fm, false);
        makeTicks(L.right, m.right, L.plot.height(), fm, false);
        if (pass == 2)
            break;
        db = axisDepth(L.bottom, m.bottom, fm, true);
        dl = axisDepth(L.left, m.left, fm, false);
        dr = axisDepth(L.right, m.right, fm, false);
        if (!L.right.shown && L.bottom.shown && m.bottom.labelAngle != 90 &&
            !L.bottom.labels.isEmpty())
            dr = std::max(0, fm.horizontalAdvance(L.bottom.labels.back()) / 2 - kMargin + 2);
    }
    return L;
}

} // namespace ui
