#pragma once
// Where things go in a chart of a given size: the plot area, the axis scales and the
// legend, in chart pixels (x to the right, y downwards).

#include "ui/AxisScale.h"
#include "ui/ChartModel.h"
#include "ui/ChartState.h"

#include <QFont>
#include <QPointF>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>
#include <vector>

namespace ui {

// Fixed distances of the picture in pixels, shared by the layout and the painting.
namespace chart_px {
inline constexpr int kMargin = 8;       // free border of the panel
inline constexpr int kGap = 4;          // between labels, titles and the legend
inline constexpr int kSampleWidth = 20; // line sample in the legend
} // namespace chart_px

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

// The font as a chart lays its texts out: in pixels, so that a painter scaled to a printer
// page gets the same picture as the screen (a point size taken at the screen's dpi).
QFont pixelFont(QFont f);

// The layout of the model at that size. font is the font of the widget or painter; point
// sizes are turned into pixels. zoom, when set, replaces the ranges of all three axes.
ChartLayout layoutChart(const ChartModel& model, QSize size, const QFont& font = QFont(),
                        const std::optional<ChartZoom>& zoom = std::nullopt);

// Text of the series in the legend.
QString legendText(const Series& s);

} // namespace ui
