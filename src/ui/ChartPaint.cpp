#include "ui/ChartPaint.h"

#include "data/Errors.h"
#include "data/FileIo.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace ui {

using namespace chart_px;

namespace {

constexpr int kMarkPad = 2; // inner padding of a mark box

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

// Text turned by the painter's rotation, aligned in r (in the turned coordinates) as
// drawText would align it. Glyphs drawn turned are spaced by their own rounding ("odc hylky");
// their outlines filled as one path keep the spacing of the same text unturned, and stay
// vector graphics on a printer or in a PDF.
void drawTurnedText(QPainter& p, const QRect& r, Qt::Alignment align, const QString& text) {
    const QFontMetrics fm(p.font());
    const int w = fm.horizontalAdvance(text);
    const int x = align & Qt::AlignRight     ? r.right() + 1 - w
                  : align & Qt::AlignHCenter ? r.left() + (r.width() - w) / 2
                                             : r.left();
    const int baseline = r.top() + (r.height() - fm.height()) / 2 + fm.ascent();
    QPainterPath path;
    path.addText(x, baseline, p.font(), text);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillPath(path, p.pen().color());
    p.restore();
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
    // The axis line along the plot's edge (where a frame is drawn it lies on the frame).
    if (horizontal)
        p.drawLine(plot.left(), base, plot.right(), base);
    else
        p.drawLine(base, plot.top(), base, plot.bottom());
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
                drawTurnedText(p, QRect(-w, -th / 2, w, th), Qt::AlignRight, text);
            else
                drawTurnedText(p, QRect(-w / 2, -th / 2, w, th), Qt::AlignHCenter, text);
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
    drawTurnedText(p, QRect(-plot.height() / 2, -th / 2, plot.height(), th), Qt::AlignHCenter,
                   axis.title);
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

// Moves a label box, and the end of its connecting line, by the least distance that puts the
// box whole into the chart (its left and top edges first where it is larger than the chart).
void moveInside(MarkBox& mark, const QRect& area) {
    QPoint by;
    if (mark.box.right() > area.right())
        by.rx() = area.right() - mark.box.right();
    if (mark.box.left() + by.x() < area.left())
        by.rx() = area.left() - mark.box.left();
    if (mark.box.bottom() > area.bottom())
        by.ry() = area.bottom() - mark.box.bottom();
    if (mark.box.top() + by.y() < area.top())
        by.ry() = area.top() - mark.box.top();
    if (by.isNull())
        return;
    mark.box.translate(by);
    if (mark.lineEnd != mark.lineStart)
        mark.lineEnd += by;
}

// Places the labels of one series over the boxes kept for them (one per point): a pinned
// box stays where it is, the others stand above their points; every box lies whole in the
// chart's area, over the axes where a point is near the edge. Gives the boxes to draw.
std::vector<MarkBox> placeMarks(const ChartLayout& L, const Series& s, std::vector<MarkBox> marks,
                                const QFontMetrics& fm, const QRect& area) {
    const auto& pts = s.points();
    const bool shown = s.marksVisible && s.kind() == SeriesKind::Points;
    for (size_t i = 0; i < pts.size(); ++i) {
        const ChartPoint& pt = pts[i];
        MarkBox& mark = marks[i];
        if (!shown || !L.inRange(pt.x, pt.y, s.vertical)) {
            mark.drawn = false; // a pinned box is kept for when its point is in view again
            continue;
        }
        if (!mark.pinned) {
            const QPoint c = L.toPixel(pt.x, pt.y, s.vertical).toPoint();
            const int w = fm.horizontalAdvance(pt.label) + 2 * kMarkPad;
            const int h = fm.height() + 2 * kMarkPad;
            // Above the point: markOffset pixels up with a connecting line, or right on top
            // of the symbol without one, so that the symbol stays visible.
            const int lift = s.markOffset > 0 ? s.markOffset : s.symbolSize + 1;
            mark.box = QRect(c.x() - w / 2, c.y() - lift - h, w, h);
            mark.lineStart = c;
            mark.lineEnd = s.markOffset > 0 ? mark.box.center() : c;
        }
        moveInside(mark, area);
        mark.drawn = true;
    }
    return marks;
}

// The connecting lines of the placed labels of one series.
void drawMarkLines(QPainter& p, const Series& s,
                   const std::vector<MarkBox>& marks) {
    if (!s.markLineVisible)
        return;
    p.save();
    p.setPen(QPen(s.markLineColor, 1));
    for (const MarkBox& mark : marks)
        if (mark.drawn && mark.lineStart != mark.lineEnd)
            p.drawLine(mark.lineStart, mark.lineEnd);
    p.restore();
}

// The boxes and texts of the placed labels of one series.
void drawMarkBoxes(QPainter& p, const Series& s,
                   const std::vector<MarkBox>& marks) {
    p.save();
    const auto& pts = s.points();
    for (size_t i = 0; i < pts.size(); ++i) {
        const MarkBox& mark = marks[i];
        if (!mark.drawn)
            continue;
        p.fillRect(mark.box, s.markBack);
        if (s.markFramed) {
            p.setPen(QPen(Qt::black, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(mark.box.adjusted(0, 0, -1, -1));
        }
        p.setPen(Qt::black);
        // An empty label stays empty, never the value.
        p.drawText(mark.box, Qt::AlignCenter, pts[i].label);
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

ChartMarks paintChart(const ChartModel& m, const ChartState& state, QPainter& p, QSize size) {
    const ChartLayout L = layoutChart(m, size, p.font(), state.zoom(m));
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
    // Every connecting line goes below every label box, so that no line, of this series or
    // another, crosses a label moved next to it.
    ChartMarks drawn;
    drawn.reserve(m.allSeries().size());
    for (const auto& s : m.allSeries())
        drawn.push_back(placeMarks(L, *s, state.marks(*s), fm, QRect(QPoint(0, 0), size)));
    for (size_t i = 0; i < drawn.size(); ++i)
        drawMarkLines(p, *m.allSeries()[i], drawn[i]);
    for (size_t i = 0; i < drawn.size(); ++i)
        drawMarkBoxes(p, *m.allSeries()[i], drawn[i]);
    drawLegend(p, L, m, fm);
    p.restore();
    return drawn;
}

QImage renderChart(const ChartModel& model, ChartState& state, QSize size, const QFont& font) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(model.background);
    QPainter painter(&image);
    painter.setFont(font);
    state.keepMarks(model, paintChart(model, state, painter, size));
    return image;
}

QByteArray chartBmp(const ChartModel& model, ChartState& state, QSize size,
                    const QString& fileName) {
    QByteArray bmp;
    QBuffer buffer(&bmp);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp"); // whatever the file name's extension
    if (!writer.write(renderChart(model, state, size)))
        throw vel::AppError(vel::cannotCreateFileMessage(fileName, writer.errorString()));
    return bmp;
}

} // namespace ui
