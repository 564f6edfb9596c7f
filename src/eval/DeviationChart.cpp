// The static definition of the deviation chart Chart1 of the main window.

#include "eval/Charts.h"

#include <QGuiApplication>
#include <QPalette>

#include "ui/ChartModel.h"

#include <QColor>

namespace vel {

void setupDeviationChart(ui::ChartModel& chart) {
    using ui::AxisSide;
    using ui::SeriesKind;

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

    ui::Series& points = chart.addSeries(QStringLiteral("Series2"), SeriesKind::Points);
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

    ui::Series& regression = chart.addSeries(QStringLiteral("Series3"), SeriesKind::Line);
    regression.title = QStringLiteral("regrese");
    regression.vertical = AxisSide::Right;
    regression.color = QColor(255, 255, 0);
    regression.marksVisible = false;
    regression.inLegend = true;

    ui::Series& identity = chart.addSeries(QStringLiteral("Series4"), SeriesKind::Line);
    identity.title = QStringLiteral("y=x");
    identity.vertical = AxisSide::Right;
    identity.color = QColor(0, 0, 255);
    identity.marksVisible = false;
    identity.inLegend = true;
}

} // namespace vel
