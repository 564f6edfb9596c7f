#include "ui/ChartModel.h"

#include <algorithm>
#include <atomic>
#include <utility>

namespace ui {

namespace {
// Keys are never reused, so that a view never mistakes a new point for a cleared one.
std::atomic<std::uint64_t> lastPointKey{0};
} // namespace

void Series::add(double x, double y, const QString& label) {
    // upper_bound puts the new point after every point with the same x
    auto it = std::upper_bound(m_points.begin(), m_points.end(), x,
                               [](double v, const ChartPoint& p) { return v < p.x; });
    m_points.insert(it, ChartPoint{x, y, label, ++lastPointKey});
}

void Series::clear() {
    if (m_clearing) // dependents that lead back here
        return;
    m_clearing = true;
    m_points.clear();
    m_hasShape = false;
    for (Series* s : m_dependents)
        s->clear();
    m_clearing = false;
}

void Series::setShape(double x0, double y0, double x1, double y1) {
    m_x0 = std::min(x0, x1);
    m_x1 = std::max(x0, x1);
    m_y0 = std::min(y0, y1);
    m_y1 = std::max(y0, y1);
    m_hasShape = true;
}

namespace {
template <typename Get, typename Pick>
std::optional<double> extent(const Series& s, Get get, Pick pick) {
    std::optional<double> r;
    auto take = [&](double v) { r = r ? pick(*r, v) : v; };
    if (s.kind() == SeriesKind::Ellipse) {
        if (s.hasShape()) {
            take(get(s.x0(), s.y0()));
            take(get(s.x1(), s.y1()));
        }
        return r;
    }
    for (const ChartPoint& p : s.points())
        take(get(p.x, p.y));
    return r;
}
double byX(double x, double) {
    return x;
}
double byY(double, double y) {
    return y;
}
double lower(double a, double b) {
    return std::min(a, b);
}
double upper(double a, double b) {
    return std::max(a, b);
}
} // namespace

std::optional<double> Series::minX() const {
    return extent(*this, byX, lower);
}
std::optional<double> Series::maxX() const {
    return extent(*this, byX, upper);
}
std::optional<double> Series::minY() const {
    return extent(*this, byY, lower);
}
std::optional<double> Series::maxY() const {
    return extent(*this, byY, upper);
}

Series& ChartModel::addSeries(const QString& name, SeriesKind kind) {
    m_series.push_back(std::make_unique<Series>(name, kind));
    return *m_series.back();
}

} // namespace ui
