#include "ui/ChartView.h"

#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageWriter>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygonF>
#include <QScreen>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr int kMargin = 8;       // free border of the panel
constexpr int kGap = 4;          // between labels, titles and the legend
constexpr int kMarkPad = 2;      // inner padding of a mark box
constexpr int kSampleWidth = 20; // line sample in the legend
constexpr double kFar = 1e6;     // pixel coordinates are kept within +-kFar

// Texts are laid out in pixels, so that a painter scaled to a printer page gets the same
// picture as the screen.
QFont pixelFont(QFont f) {
    if (f.pixelSize() > 0)
        return f;
    double dpi = 96;
    if (qGuiApp && QGuiApplication::primaryScreen())
        dpi = QGuiApplication::primaryScreen()->logicalDotsPerInchY();
    f.setPixelSize(std::max(1, qRound(f.pointSizeF() * dpi / 72)));
    return f;
}

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

Range axisRange(const ChartModel& m, const Axis& axis, AxisSide side) {
    if (m.zoom) {
        const auto& z = *m.zoom;
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

int textWidth(const QFontMetrics& fm, const QStringList& texts) {
    int w = 0;
    for (const QString& t : texts)
        w = std::max(w, fm.horizontalAdvance(t));
    return w;
}

// Values and texts of the labels for an axis spread over the given pixels.
void makeTicks(AxisScale& s, const Axis& axis, int pixels, const QFontMetrics& fm,
               bool horizontal) {
    double spacing = 50;
    for (int attempt = 0; attempt < 2; ++attempt) {
        s.step = niceStep(s.max - s.min, std::max(pixels, 1), spacing);
        s.ticks.clear();
        s.labels.clear();
        const double eps = s.step * 1e-9;
        const double first =
            axis.firstLabelRounded ? std::ceil(s.min / s.step - 1e-9) * s.step : s.min;
        for (int i = 0; i < 1000; ++i) {
            double v = first + i * s.step;
            if (v > s.max + eps)
                break;
            s.ticks.push_back(v);
            s.labels.push_back(formatAxisLabel(v, axis.labelFormat, s.step));
        }
        // Side by side labels need room for their width.
        if (!horizontal || axis.labelAngle == 90)
            break;
        const double need = textWidth(fm, s.labels) + 10;
        if (need <= spacing || s.step * (pixels - 1) / (s.max - s.min) >= need)
            break;
        spacing = need;
    }
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

QString legendText(const Series& s) {
    return s.title.isEmpty() ? s.name() : s.title;
}

QPen seriesPen(const Series& s) {
    QPen pen(s.color, std::max(1, s.penWidth), s.penStyle);
    if (s.fineDots)
        pen.setDashPattern({1, 1});
    if (s.fineDots || s.penStyle != Qt::SolidLine)
        pen.setCapStyle(Qt::FlatCap); // square caps would fill the gaps of short dashes
    return pen;
}

void drawSymbol(QPainter& p, PointShape shape, QPoint c, int r) {
    QRect box(c.x() - r, c.y() - r, 2 * r, 2 * r);
    switch (shape) {
    case PointShape::Square:
        p.drawRect(box);
        break;
    case PointShape::Circle:
        p.drawEllipse(box);
        break;
    case PointShape::Triangle:
        p.drawPolygon(QPolygon({QPoint(c.x(), c.y() - r), QPoint(c.x() + r, c.y() + r),
                                QPoint(c.x() - r, c.y() + r)}));
        break;
    }
}

void setSymbolPen(QPainter& p, const Series& s) {
    p.setBrush(s.color);
    if (s.outlineWidth > 0)
        p.setPen(QPen(s.outline, s.outlineWidth));
    else
        p.setPen(Qt::NoPen);
}

void drawAxis(QPainter& p, const ChartLayout& L, const Axis& axis, const AxisScale& s,
              AxisSide side, const QFontMetrics& fm) {
    if (!s.shown)
        return;
    const bool horizontal = side == AxisSide::Bottom;
    const QRect& plot = L.plot;
    const int base = horizontal               ? plot.bottom()
                     : side == AxisSide::Left ? plot.left()
                                              : plot.right();
    const int out = side == AxisSide::Left ? -1 : 1; // outward direction
    const int th = fm.height();
    auto pos = [&](double v) { return qRound(horizontal ? L.toPixelX(v) : L.toPixelY(v, side)); };
    auto tick = [&](double v, int outer, int inner) {
        int c = pos(v), a = base - out * inner, b = base + out * outer;
        if (horizontal)
            p.drawLine(c, a, c, b);
        else
            p.drawLine(a, c, b, c);
    };

    p.setPen(QPen(Qt::black, 1));
    if (axis.tickMinor > 0 && !s.ticks.empty()) {
        const double mantissa = s.step / std::pow(10.0, std::floor(std::log10(s.step)));
        const double minor = s.step / (std::abs(mantissa - 2) < 0.5 ? 4 : 5);
        const double origin = s.ticks.front();
        const double k0 = std::ceil((s.min - origin) / minor - 1e-9);
        for (double k = k0; k < k0 + 5000; ++k) {
            double v = origin + k * minor;
            if (v > s.max + minor * 1e-9)
                break;
            tick(v, axis.tickMinor, 0);
        }
    }
    for (double v : s.ticks)
        tick(v, axis.tickOuter, axis.tickInner);

    // Labels
    const int lb = base + out * (std::max(axis.tickOuter, axis.tickMinor) + kGap / 2);
    const bool turned = axis.labelAngle == 90;
    const int lo = horizontal ? plot.left() : plot.top();
    const int hi = horizontal ? plot.right() : plot.bottom();
    for (size_t i = 0; i < s.ticks.size(); ++i) {
        const QString& text = s.labels[int(i)];
        const int c = pos(s.ticks[i]);
        const int w = fm.horizontalAdvance(text);
        const int along = horizontal == turned ? th : w;
        if (axis.hideClippedLabels && (c - along / 2 < lo || c - along / 2 + along - 1 > hi))
            continue;
        if (turned) {
            // Reads upwards; the end of the text faces the axis.
            p.save();
            if (horizontal)
                p.translate(c, lb);
            else
                p.translate(lb + out * s.labelSize / 2, c);
            p.rotate(-90);
            if (horizontal)
                p.drawText(QRect(-w, -th / 2, w, th), Qt::AlignRight | Qt::AlignVCenter, text);
            else
                p.drawText(QRect(-w / 2, -th / 2, w, th), Qt::AlignCenter, text);
            p.restore();
        } else if (horizontal) {
            p.drawText(QRect(c - w / 2, lb, w, th), Qt::AlignHCenter | Qt::AlignTop, text);
        } else if (side == AxisSide::Left) {
            p.drawText(QRect(lb - s.labelSize, c - th / 2, s.labelSize, th),
                       Qt::AlignRight | Qt::AlignVCenter, text);
        } else {
            p.drawText(QRect(lb, c - th / 2, s.labelSize, th), Qt::AlignLeft | Qt::AlignVCenter,
                       text);
        }
    }

    // Title
    if (axis.title.isEmpty())
        return;
    const int tb = lb + out * (s.labelSize + kGap);
    if (horizontal) {
        p.drawText(QRect(plot.left(), tb, plot.width(), th), Qt::AlignHCenter | Qt::AlignTop,
                   axis.title);
        return;
    }
    p.save();
    p.translate(tb + out * th / 2, plot.center().y());
    p.rotate(side == AxisSide::Left ? -90 : 90);
    p.drawText(QRect(-plot.height() / 2, -th / 2, plot.height(), th), Qt::AlignCenter, axis.title);
    p.restore();
}

void drawSeries(QPainter& p, const ChartLayout& L, const Series& s) {
    const auto& pts = s.points();
    auto at = [&](const ChartPoint& pt) { return L.toPixel(pt.x, pt.y, s.vertical); };
    switch (s.kind()) {
    case SeriesKind::Points:
        setSymbolPen(p, s);
        for (const ChartPoint& pt : pts)
            if (L.inRange(pt.x, pt.y, s.vertical))
                drawSymbol(p, s.shape, at(pt).toPoint(), s.symbolSize);
        return;
    case SeriesKind::Line:
    case SeriesKind::Area: {
        if (pts.empty())
            return;
        QPolygon line; // whole pixels, as the symbols
        line.reserve(int(pts.size()) + 2);
        for (const ChartPoint& pt : pts)
            line << at(pt).toPoint();
        p.save();
        p.setClipRect(L.plot);
        p.setPen(seriesPen(s));
        p.setBrush(Qt::NoBrush);
        if (s.kind() == SeriesKind::Line) {
            p.drawPolyline(line);
        } else {
            // Outline of the area down to the bottom of the plot.
            line.prepend(QPoint(line.front().x(), L.plot.bottom()));
            line.append(QPoint(line.back().x(), L.plot.bottom()));
            p.drawPolygon(line);
        }
        p.restore();
        return;
    }
    case SeriesKind::Ellipse:
        if (!s.hasShape())
            return;
        p.save();
        p.setClipRect(L.plot);
        p.setPen(seriesPen(s));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(
            QRectF(L.toPixel(s.x0(), s.y0(), s.vertical), L.toPixel(s.x1(), s.y1(), s.vertical))
                .normalized());
        p.restore();
        return;
    }
}

void drawMarks(QPainter& p, const ChartLayout& L, Series& s, bool record, const QFontMetrics& fm) {
    auto& marks = s.marks();
    const auto& pts = s.points();
    if (record && marks.size() != pts.size())
        marks.resize(pts.size());
    const bool shown = s.marksVisible && s.kind() == SeriesKind::Points;
    p.save();
    if (s.marksClipped)
        p.setClipRect(L.plot);
    for (size_t i = 0; i < pts.size(); ++i) {
        const ChartPoint& pt = pts[i];
        MarkBox mark = i < marks.size() ? marks[i] : MarkBox{};
        if (!shown || !L.inRange(pt.x, pt.y, s.vertical)) {
            if (record) // a pinned box is kept for when its point is in view again
                marks[i].drawn = false;
            continue;
        }
        const QString& text = pt.label; // an empty label stays empty, never the value
        if (!mark.pinned) {
            const QPoint c = L.toPixel(pt.x, pt.y, s.vertical).toPoint();
            const int w = fm.horizontalAdvance(text) + 2 * kMarkPad;
            const int h = fm.height() + 2 * kMarkPad;
            // Above the point: markOffset pixels up with a connecting line, or right on top
            // of the symbol without one, so that the symbol stays visible.
            const int lift = s.markOffset > 0 ? s.markOffset : s.symbolSize + 1;
            mark.box = QRect(c.x() - w / 2, c.y() - lift - h, w, h);
            mark.lineStart = c;
            mark.lineEnd = s.markOffset > 0 ? mark.box.center() : c;
        }
        mark.drawn = true;
        if (s.markLineVisible && mark.lineStart != mark.lineEnd) {
            p.setPen(QPen(s.markLineColor, 1));
            p.drawLine(mark.lineStart, mark.lineEnd);
        }
        p.fillRect(mark.box, s.markBack);
        if (s.markFramed) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(mark.box.adjusted(0, 0, -1, -1));
        }
        p.setPen(Qt::black);
        p.drawText(mark.box, Qt::AlignCenter, text);
        if (record)
            marks[i] = mark;
    }
    p.restore();
}

void drawLegend(QPainter& p, const ChartLayout& L, const ChartModel& m, const QFontMetrics& fm) {
    if (L.legend.isEmpty())
        return;
    p.fillRect(L.legend, Qt::white);
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(L.legend.adjusted(0, 0, -1, -1));
    size_t i = 0;
    for (const auto& sp : m.allSeries()) {
        const Series& s = *sp;
        if (!s.inLegend || i >= L.legendItems.size())
            continue;
        const QRect item = L.legendItems[i++];
        const QPoint mid(item.left() + kSampleWidth / 2, item.center().y());
        if (s.kind() == SeriesKind::Points) {
            setSymbolPen(p, s);
            drawSymbol(p, s.shape, mid, std::clamp(s.symbolSize, 1, fm.height() / 2 - 1));
        } else {
            p.setPen(seriesPen(s));
            p.drawLine(item.left(), mid.y(), item.left() + kSampleWidth - 1, mid.y());
        }
        p.setPen(Qt::black);
        p.drawText(item.adjusted(kSampleWidth + kGap, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter,
                   legendText(s));
    }
}

} // namespace

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

double niceStep(double range, double pixels, double minSpacing) {
    if (!(range > 0) || !std::isfinite(range))
        return 1;
    const double labels = std::max(1.0, std::floor(pixels / std::max(1.0, minSpacing)));
    const double raw = range / labels;
    const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0})
        if (m * magnitude >= raw * (1 - 1e-9))
            return m * magnitude;
    return 10 * magnitude;
}

QString formatAxisLabel(double value, const QString& format, double step) {
    if (step > 0 && std::abs(value) < step * 1e-9)
        value = 0; // a sum of steps that should have been zero
    QLocale locale = QLocale::system();
    if (format.isEmpty()) {
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale.toString(value, 'g', 10);
    }
    const int dot = format.indexOf(u'.');
    const QString whole = dot < 0 ? format : format.left(dot);
    const QString decimals = dot < 0 ? QString() : format.mid(dot + 1);
    const int minDecimals = int(decimals.count(u'0'));
    const int maxDecimals = minDecimals + int(decimals.count(u'#'));
    locale.setNumberOptions(whole.contains(u',') ? QLocale::NumberOptions()
                                                 : QLocale::OmitGroupSeparator);
    if (std::abs(value) < 0.5 * std::pow(10.0, -maxDecimals))
        value = 0; // no "-0"
    QString text = locale.toString(value, 'f', maxDecimals);
    const QString point = locale.decimalPoint();
    const int at = text.lastIndexOf(point);
    if (at >= 0) {
        const QString zero = locale.zeroDigit();
        const int keep = at + int(point.size()) + minDecimals;
        while (text.size() > keep && text.endsWith(zero))
            text.chop(zero.size());
        if (minDecimals == 0 && text.endsWith(point))
            text.chop(point.size());
    }
    if (!whole.contains(u'0')) { // "#.##": no lone zero before the decimal separator
        const QString zero = locale.zeroDigit() + point;
        const int sign =
            text.startsWith(locale.negativeSign()) ? int(locale.negativeSign().size()) : 0;
        if (text.mid(sign).startsWith(zero))
            text.remove(sign, locale.zeroDigit().size());
    }
    return text;
}

ChartLayout layoutChart(const ChartModel& m, QSize size, const QFont& font) {
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
        Range r = axisRange(m, *axis, side);
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

void paintChart(ChartModel& m, QPainter& p, QSize size, bool recordMarks) {
    const ChartLayout L = layoutChart(m, size, p.font());
    const QFontMetrics fm(L.font);
    p.save();
    p.setFont(L.font);
    p.fillRect(QRect(QPoint(0, 0), size), m.background);

    p.setPen(Qt::black);
    int y = kMargin;
    for (const QString& line : m.title) {
        p.drawText(QRect(0, y, size.width(), fm.height()), Qt::AlignHCenter | Qt::AlignTop, line);
        y += fm.height();
    }

    if (m.backWallFilled)
        p.fillRect(L.plot, Qt::white);
    drawAxis(p, L, m.bottom, L.bottom, AxisSide::Bottom, fm);
    drawAxis(p, L, m.left, L.left, AxisSide::Left, fm);
    drawAxis(p, L, m.right, L.right, AxisSide::Right, fm);
    if (m.plotFramed) {
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(L.plot.adjusted(0, 0, -1, -1));
    }

    for (const auto& s : m.allSeries())
        drawSeries(p, L, *s);
    for (const auto& s : m.allSeries())
        drawMarks(p, L, *s, recordMarks, fm);
    drawLegend(p, L, m, fm);
    p.restore();
}

QImage renderChart(ChartModel& model, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(model.background);
    QPainter painter(&image);
    paintChart(model, painter, size, true);
    return image;
}

bool saveChartBmp(ChartModel& model, QSize size, const QString& fileName, QString* error) {
    const QImage image = renderChart(model, size);
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    QImageWriter writer(&file, "bmp"); // the name's extension does not matter
    if (!writer.write(image) || !file.flush()) {
        if (error)
            *error =
                file.error() != QFileDevice::NoError ? file.errorString() : writer.errorString();
        return false;
    }
    return true;
}

// ---- ChartView

ChartView::ChartView(ChartModel& model, QWidget* parent) : QWidget(parent), m_model(model) {}

void ChartView::paintTo(QPainter& painter) {
    painter.save();
    painter.setFont(font());
    paintChart(m_model, painter, size(), false);
    painter.restore();
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintChart(m_model, painter, size(), true);
    if (m_dragButton == Qt::LeftButton && m_dragLast != m_dragStart) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_dragStart, m_dragLast).normalized());
    }
}

void ChartView::mousePressEvent(QMouseEvent* event) {
    if (m_dragButton != Qt::NoButton ||
        (event->button() != Qt::LeftButton && event->button() != Qt::RightButton))
        return;
    m_dragButton = event->button();
    m_dragStart = m_dragLast = event->position().toPoint();
}

void ChartView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (m_dragButton == Qt::RightButton)
        scrollBy(pos - m_dragLast);
    if (m_dragButton != Qt::NoButton) {
        m_dragLast = pos;
        update();
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != m_dragButton)
        return;
    const QPoint pos = event->position().toPoint();
    if (m_dragButton == Qt::LeftButton) {
        const QPoint d = pos - m_dragStart;
        if (d.x() > 16 && d.y() > 16) {
            zoomTo(QRect(m_dragStart, pos));
        } else if ((d.x() < 0 || d.y() < 0) && m_model.zoom) {
            m_model.zoom.reset(); // dragged up or to the left
            emit zoomChanged();
        }
    } else {
        scrollBy(pos - m_dragLast);
    }
    m_dragButton = Qt::NoButton;
    update();
}

void ChartView::zoomTo(QRect area) {
    const ChartLayout L = chartLayout();
    m_model.zoom = ChartModel::Zoom{L.toDataX(area.left()),
                                    L.toDataX(area.right()),
                                    L.toDataY(area.bottom(), AxisSide::Left),
                                    L.toDataY(area.top(), AxisSide::Left),
                                    L.toDataY(area.bottom(), AxisSide::Right),
                                    L.toDataY(area.top(), AxisSide::Right)};
    emit zoomChanged();
}

void ChartView::scrollBy(QPoint delta) {
    if (delta.isNull())
        return;
    const ChartLayout L = chartLayout();
    auto z = m_model.zoom.value_or(ChartModel::Zoom{L.bottom.min, L.bottom.max, L.left.min,
                                                    L.left.max, L.right.min, L.right.max});
    // The picture follows the mouse, so the ranges move the other way.
    const double dx = delta.x() * (L.bottom.max - L.bottom.min) / std::max(1, L.plot.width() - 1);
    const double dl = delta.y() * (L.left.max - L.left.min) / std::max(1, L.plot.height() - 1);
    const double dr = delta.y() * (L.right.max - L.right.min) / std::max(1, L.plot.height() - 1);
    z.xmin -= dx;
    z.xmax -= dx;
    z.ylmin += dl;
    z.ylmax += dl;
    z.yrmin += dr;
    z.yrmax += dr;
    m_model.zoom = z;
    emit zoomChanged();
    update();
}

} // namespace ui
