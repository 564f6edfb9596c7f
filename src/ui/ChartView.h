#pragma once
// The chart widget: paints its model with its own view state, zooms on a left drag down and
// to the right, unzooms on a left drag up or to the left, and scrolls on a right drag. The
// label boxes drawn stay in the state for the label arrangement.
//
// The same without a mouse, on the focused chart (it takes the focus by Tab and by a click,
// and shows it as a ring along its edge): + (or =) shows half the ranges around their
// centre, - twice the ranges, Home or 0 undoes the zoom, and each arrow moves the picture
// in its direction by a tenth of the shown range, as a right drag that way would.

#include "ui/ChartLayout.h"
#include "ui/ChartModel.h"
#include "ui/ChartPaint.h"
#include "ui/ChartState.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

class QPainter;

namespace ui {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(const ChartModel& model, QWidget* parent = nullptr);

    const ChartModel& model() const { return m_model; }
    ChartState& state() { return m_state; }
    const ChartState& state() const { return m_state; }
    ChartLayout chartLayout() const {
        return layoutChart(m_model, size(), font(), m_state.zoom(m_model));
    }
    // Paints the chart at the widget's size without keeping the label boxes (printing).
    void paintTo(QPainter& painter) const;

    // The chart's output commands, the same in every window: printed on the default
    // printer as one job titled with the chart's name, and saved as an uncompressed BMP
    // image of its on-screen size under exactly fileName (written like every other file:
    // the old file stays whole when the write fails). Both raise the program's errors.
    void print() const;
    void saveBmp(const QString& fileName);
    // Saves the chart as above under the name chosen in the save dialog dialogName of the
    // owner window; nothing when the dialog is cancelled.
    void saveBmpAs(QWidget* owner, const QString& dialogName);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void zoomTo(QRect area);
    void scrollBy(QPoint delta);
    // The ranges a layout shows: the zoom in force, or else the axes' own.
    static ChartZoom shownRanges(const ChartLayout& layout);
    // Shows ranges factor times as wide around the same centres.
    void zoomAroundCentre(double factor);
    // Moves the picture by fractions of the shown ranges, right and down for positive ones.
    // The layout is the one shown now.
    void scrollByFraction(const ChartLayout& layout, double fx, double fy);

    const ChartModel& m_model;
    ChartState m_state;
    Qt::MouseButton m_dragButton = Qt::NoButton;
    QPoint m_dragStart;
    QPoint m_dragLast;
};

} // namespace ui
