// The static definition of the two charts of the overall test: Form3's circle and ellipse
// chart and Form5's calibration-quality chart.

#include "eval/Charts.h"

#include "ui/ChartModel.h"

namespace vel {

namespace {

const QColor kMarkBack(255, 255, 128); // light yellow of the point labels

ui::Series& addPoints(ui::ChartModel& chart, const char* name, const QString& title, QColor color,
                      ui::PointShape shape, int outlineWidth) {
    ui::Series& s = chart.addSeries(QString::fromLatin1(name), ui::SeriesKind::Points);
    s.title = title;
    s.color = color;
    s.outline = Qt::black;
    s.outlineWidth = outlineWidth;
    s.shape = shape;
    return s;
}

ui::Series& addShape(ui::ChartModel& chart, const char* name, ui::SeriesKind kind,
                     const QString& title, QColor color, Qt::PenStyle style, int width) {
    ui::Series& s = chart.addSeries(QString::fromLatin1(name), kind);
    s.title = title;
    s.color = color;
    s.penStyle = style;
    s.penWidth = width;
    return s;
}

} // namespace

void setupOverallChart(ui::ChartModel& chart) {
    chart.title = QStringList{QStringLiteral("celkové vyhodnocení testu")};
    chart.background = Qt::white;
    chart.backWallFilled = false;
    chart.plotFramed = false; // no walls: the axes alone bound the plot
    chart.legend = ui::LegendPlace::Right;
    chart.bottom.title = QStringLiteral("avg(error)");
    chart.bottom.setRange(-1000, 1000); // the overall test replaces both ends
    chart.left.title = QStringLiteral("sx(error)");
    chart.left.automatic = true;
    chart.left.hideClippedLabels = true;

    ui::Series& instruments = addPoints(chart, "Series1", QStringLiteral("přístroje"), Qt::red,
                                        ui::PointShape::Circle, 1);
    instruments.marksVisible = true; // the tab caption, centred on the point
    instruments.markOffset = 0;
    instruments.markFramed = true;
    instruments.markBack = kMarkBack;
    instruments.markLineVisible = false;
    addShape(chart, "Series2", ui::SeriesKind::Ellipse, QStringLiteral("95 % int"), Qt::red,
             Qt::DashDotDotLine, 2);
    ui::Series& meanCentre = addPoints(chart, "Series3", QStringLiteral("[avg(d),avg(sd)]"),
                                       QColor(0, 128, 0), ui::PointShape::Triangle, 2);
    addShape(chart, "Series4", ui::SeriesKind::Ellipse, QStringLiteral("95 %"), Qt::red,
             Qt::DashDotDotLine, 1);
    ui::Series& medianCentre = addPoints(chart, "Series5", QStringLiteral("[avg(d),med(sd)]"),
                                         QColor(255, 255, 0), ui::PointShape::Triangle, 2);
    instruments.addDependent(&meanCentre);
    instruments.addDependent(&medianCentre);
}

void setupCalibrationChart(ui::ChartModel& chart) {
    chart.title =
        QStringList{QStringLiteral("Graf korelací a reziduálních chyb regrese přístrojů v testu.")};
    chart.background = Qt::white;
    chart.backWallFilled = false;
    chart.legend = ui::LegendPlace::Bottom;
    const QString format = QStringLiteral("#,##0.#####");
    chart.bottom.title = QStringLiteral("Reziduální chyby regrese");
    chart.bottom.setRange(0, 25);
    chart.bottom.labelFormat = format;
    chart.bottom.firstLabelRounded = false;
    chart.left.title = QStringLiteral("1-Koeficienty determinace");
    chart.left.setRange(0, 303);
    chart.left.labelFormat = format;
    chart.left.firstLabelRounded = false;
    chart.left.labelWidth = 58;
    chart.left.tickOuter = 5;
    chart.left.tickInner = 1;
    chart.left.tickMinor = 3;

    ui::Series& instruments = addPoints(chart, "Series1", QStringLiteral("přístroje"), Qt::red,
                                        ui::PointShape::Square, 1);
    instruments.marksVisible = true; // the tab caption, 15 px above the point
    instruments.markOffset = 15;
    instruments.markFramed = true;
    instruments.markBack = kMarkBack;
    instruments.markLineColor = QColor(128, 0, 128);
    instruments.markLineVisible = true;
    instruments.marksClipped = true;
    addShape(chart, "Series2", ui::SeriesKind::Area, QStringLiteral("avg(x)+3*sd(X)/sqrt(40)"),
             QColor(0, 255, 0), Qt::DotLine, 1);
    addShape(chart, "Series3", ui::SeriesKind::Area, QStringLiteral("95% int. spolehlivosti"),
             Qt::red, Qt::DotLine, 1);
    addShape(chart, "Series4", ui::SeriesKind::Area, QStringLiteral("[avg(x),avg(y)];"),
             QColor(0, 128, 255), Qt::SolidLine, 1)
        .fineDots = true;
}

} // namespace vel
