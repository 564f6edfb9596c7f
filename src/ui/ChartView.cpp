#include "ui/ChartView.h"

#include "data/FileIo.h"
#include "ui/Dialogs.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {
constexpr double kKeyZoom = 2;      // + and - halve and double the shown ranges
constexpr double kKeyScroll = 0.1;  // an arrow moves the picture a tenth of the range
} // namespace

ChartView::ChartView(const ChartModel& model, QWidget* parent) : QWidget(parent), m_model(model) {
    setFocusPolicy(Qt::StrongFocus);
}

void ChartView::paintTo(QPainter& painter) const {
    painter.save();
    painter.setFont(font());
    paintChart(m_model, m_state, painter, size());
    painter.restore();
}

void ChartView::print() const {
    dialogs().print(m_model.name(), size(), [this](QPainter& p) { paintTo(p); });
}

void ChartView::saveBmp(const QString& fileName) {
    vel::writeWholeFile(fileName, chartBmp(m_model, m_state, size(), fileName),
                        vel::WriteErrors::Named);
}

void ChartView::saveBmpAs(QWidget* owner, const QString& dialogName) {
    if (const auto name = dialogs().saveFile(owner, dialogName))
        saveBmp(*name);
}

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_state.keepMarks(m_model, paintChart(m_model, m_state, painter, size()));
    if (m_dragButton == Qt::LeftButton && m_dragLast != m_dragStart) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(m_dragStart, m_dragLast).normalized());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.backgroundColor = palette().color(QPalette::Window);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
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
        } else if ((d.x() < 0 || d.y() < 0) && m_state.zoom(m_model)) {
            m_state.unzoom(); // dragged up or to the left
        }
    } else {
        scrollBy(pos - m_dragLast);
    }
    m_dragButton = Qt::NoButton;
    update();
}

void ChartView::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier)) {
        QWidget::keyPressEvent(event); // leave Ctrl and Alt combinations to the window
        return;
    }
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomAroundCentre(1 / kKeyZoom);
        break;
    case Qt::Key_Minus:
        zoomAroundCentre(kKeyZoom);
        break;
    case Qt::Key_Home:
    case Qt::Key_0:
        m_state.unzoom();
        update();
        break;
    case Qt::Key_Left:
        scrollByFraction(chartLayout(), -kKeyScroll, 0);
        break;
    case Qt::Key_Right:
        scrollByFraction(chartLayout(), kKeyScroll, 0);
        break;
    case Qt::Key_Up:
        scrollByFraction(chartLayout(), 0, -kKeyScroll);
        break;
    case Qt::Key_Down:
        scrollByFraction(chartLayout(), 0, kKeyScroll);
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void ChartView::zoomTo(QRect area) {
    const ChartLayout L = chartLayout();
    m_state.setZoom(m_model, ChartZoom{L.toDataX(area.left()), L.toDataX(area.right()),
                                       L.toDataY(area.bottom(), AxisSide::Left),
                                       L.toDataY(area.top(), AxisSide::Left),
                                       L.toDataY(area.bottom(), AxisSide::Right),
                                       L.toDataY(area.top(), AxisSide::Right)});
}

void ChartView::scrollBy(QPoint delta) {
    if (delta.isNull())
        return;
    const ChartLayout L = chartLayout();
    scrollByFraction(L, double(delta.x()) / std::max(1, L.plot.width() - 1),
                     double(delta.y()) / std::max(1, L.plot.height() - 1));
}

ChartZoom ChartView::shownRanges(const ChartLayout& L) {
    return ChartZoom{L.bottom.min, L.bottom.max, L.left.min, L.left.max, L.right.min, L.right.max};
}

void ChartView::scrollByFraction(const ChartLayout& L, double fx, double fy) {
    auto z = shownRanges(L);
    // The picture moves, so the ranges move the other way; y grows upwards.
    const double dx = fx * (z.xmax - z.xmin);
    const double dl = fy * (z.ylmax - z.ylmin);
    const double dr = fy * (z.yrmax - z.yrmin);
    z.xmin -= dx;
    z.xmax -= dx;
    z.ylmin += dl;
    z.ylmax += dl;
    z.yrmin += dr;
    z.yrmax += dr;
    m_state.setZoom(m_model, z);
    update();
}

void ChartView::zoomAroundCentre(double factor) {
    const ChartZoom z = shownRanges(chartLayout());
    // Zooming stops short of ranges too narrow for doubles to tell their ends apart (which
    // the axes would widen again) and of ranges beyond them.
    bool usable = true;
    auto around = [&](double lo, double hi, double& newLo, double& newHi) {
        const double centre = lo + (hi - lo) / 2, half = (hi - lo) / 2 * factor;
        newLo = centre - half;
        newHi = centre + half;
        usable = usable && std::isfinite(newLo) && std::isfinite(newHi) &&
                 newHi - newLo > std::max(std::abs(newLo), std::abs(newHi)) * 1e-9;
    };
    ChartZoom n{};
    around(z.xmin, z.xmax, n.xmin, n.xmax);
    around(z.ylmin, z.ylmax, n.ylmin, n.ylmax);
    around(z.yrmin, z.yrmax, n.yrmin, n.yrmax);
    if (!usable)
        return;
    m_state.setZoom(m_model, n);
    update();
}

} // namespace ui
