#pragma once
// Painting of a ChartModel: the same function draws on the screen, into images and on
// the printer. ChartView is the widget with the mouse zoom and scroll.

#include "ui/ChartModel.h"

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <optional>
#include <vector>

class QPainter;

namespace ui {

// One axis as resolved for a painting: its range, step and the labelled values.
struct AxisScale {
    double min = 0;
    double max = 1;
    double step = 1;
    std::vector<double> ticks; // labelled values, ascending
    QStringList labels;        // texts of ticks
    bool shown = false;        // labels, ticks and title are painted
    int labelSize = 0;         // depth of the label column (px across the axis)
};

// Where things go in a chart of a given size, in chart pixels.
struct ChartLayout {
    QRect plot; // inner area of the axes; data edges map to its edge pixels
    AxisScale bottom, left, right;
    bool rightUsed = false;         // some series hangs on the right axis
    QRect legend;                   // empty when there is no legend
    std::vector<QRect> legendItems; // one per series shown in the legend, in order
    QFont font;                     // font of all texts, sized in pixels

    const AxisScale& vertical(AxisSide side) const {
        return side == AxisSide::Right ? right : left;
    }
    double toPixelX(double x) const;
    double toPixelY(double y, AxisSide side = AxisSide::Left) const;
    QPointF toPixel(double x, double y, AxisSide side = AxisSide::Left) const {
        return {toPixelX(x), toPixelY(y, side)};
    }
    double toDataX(double px) const;
    double toDataY(double py, AxisSide side = AxisSide::Left) const;
    bool inRange(double x, double y, AxisSide side) const;
};

// Readable step (1, 2 or 5 times a power of ten) for a range spread over the given
// pixels, so that labels stand at least minSpacing pixels apart.
double niceStep(double range, double pixels, double minSpacing = 50);

// Text of an axis value. format "" gives the plain value; a pattern like "#,##0.#####"
// gives grouped digits, the required digits before the decimal separator and up to the
// given decimals without trailing zeros. step is the label step, used to drop noise.
QString formatAxisLabel(double value, const QString& format, double step);

// font is the font of the widget or painter; point sizes are turned into pixels.
ChartLayout layoutChart(const ChartModel& model, QSize size, const QFont& font = QFont());

// Paints the whole chart into (0, 0, size). With recordMarks the marks drawn are stored
// in the series' marks().
void paintChart(ChartModel& model, QPainter& painter, QSize size, bool recordMarks);

// The chart as an image of that size (marks recorded).
QImage renderChart(ChartModel& model, QSize size);

// Writes the chart as an uncompressed BMP file under exactly fileName. On failure
// returns false and sets *error to the system's reason.
bool saveChartBmp(ChartModel& model, QSize size, const QString& fileName, QString* error = nullptr);

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(ChartModel& model, QWidget* parent = nullptr);

    ChartModel& model() { return m_model; }
    ChartLayout chartLayout() const { return layoutChart(m_model, size(), font()); }
    // Paints the chart at the widget's size without touching the marks (printing).
    void paintTo(QPainter& painter);

signals:
    void zoomChanged(); // zoomed, scrolled or unzoomed by the mouse

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void zoomTo(QRect area);
    void scrollBy(QPoint delta);

    ChartModel& m_model;
    Qt::MouseButton m_dragButton = Qt::NoButton;
    QPoint m_dragStart;
    QPoint m_dragLast;
};

} // namespace ui
