#include "ui/ChartView.h"

#include "data/FileIo.h"
#include "ui/Dialogs.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace ui {

ChartView::ChartView(const ChartModel& model, QWidget* parent) : QWidget(parent), m_model(model) {}

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

void ChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    m_state.keepMarks(m_model, paintChart(m_model, m_state, painter, size()));
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
        } else if ((d.x() < 0 || d.y() < 0) && m_state.zoom(m_model)) {
            m_state.unzoom(); // dragged up or to the left
        }
    } else {
        scrollBy(pos - m_dragLast);
    }
    m_dragButton = Qt::NoButton;
    update();
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
    auto z = m_state.zoom(m_model).value_or(
        ChartZoom{L.bottom.min, L.bottom.max, L.left.min, L.left.max, L.right.min, L.right.max});
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
    m_state.setZoom(m_model, z);
    update();
}

} // namespace ui
