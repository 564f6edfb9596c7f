// The static definition of the deviation chart Chart1 of the main window.

#include "eval/DeviationChart.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace vel {

DeviationChart::DeviationChart()
    : Series2(addSeries(QStringLiteral("Series2"), ui::SeriesKind::Points)),
      Series3(addSeries(QStringLiteral("Series3"), ui::SeriesKind::Line)),
      Series4(addSeries(QStringLiteral("Series4"), ui::SeriesKind::Line)) {
    using ui::AxisSide;
    ui::ChartModel& chart = *this;

    chart.title = QStringList{QStringLiteral("Odchylky měření")};
    chart.background = QGuiApplication::palette().color(QPalette::Button); // like the window
    chart.backWallFilled = false;
    chart.legend = ui::LegendPlace::Right;

    chart.bottom.title = QStringLiteral("správná měření");
    chart.bottom.automatic = true;
    chart.bottom.labelAngle = 90;
    chart.bottom.tickOuter = 0; // no tick marks outside the axis
    chart.bottom.tickMinor = 0;
    chart.left.title = QStringLiteral("odchylky");
    chart.left.automatic = true;
    chart.right.title = QStringLiteral("regrese");
    chart.right.automatic = true;

    ui::Series& points = Series2;
    points.vertical = AxisSide::Left;
    points.color = QColor(0, 128, 0);
    points.outline = QColor(0, 0, 0);
    points.shape = ui::PointShape::Square;
    points.inLegend = false;
    points.marksVisible = true;
    points.markOffset = 10;
    points.markFramed = false;
    points.markBack = QColor(255, 255, 128);
    points.markLineColor = QColor(255, 255, 255);
    points.markLineVisible = true;

    ui::Series& regression = Series3;
    regression.title = QStringLiteral("regrese");
    regression.vertical = AxisSide::Right;
    regression.color = QColor(255, 255, 0);
    regression.marksVisible = false;
    regression.inLegend = true;

    ui::Series& identity = Series4;
    identity.title = QStringLiteral("y=x");
    identity.vertical = AxisSide::Right;
    identity.color = QColor(0, 0, 255);
    identity.marksVisible = false;
    identity.inLegend = true;
}

} // namespace vel
