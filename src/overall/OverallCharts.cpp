// The static definition of the two charts of the overall test: Form3's circle and ellipse
// chart and Form5's calibration-quality chart.

#include "overall/OverallCharts.h"

namespace vel {

namespace {

const QColor kMarkBack(255, 255, 128); // light yellow of the point labels

void looksOfPoints(ui::Series& s, const QString& title, QColor color, ui::PointShape shape,
                   int outlineWidth) {
    s.title = title;
    s.color = color;
    s.outline = Qt::black;
    s.outlineWidth = outlineWidth;
    s.shape = shape;
}

void looksOfLines(ui::Series& s, const QString& title, QColor color, Qt::PenStyle style,
                  int width) {
    s.title = title;
    s.color = color;
    s.penStyle = style;
    s.penWidth = width;
}

} // namespace

OverallChart::OverallChart()
    : ui::ChartModel(QStringLiteral("Chart1")),
      Series1(addSeries(QStringLiteral("Series1"), ui::SeriesKind::Points)),
      Series2(addSeries(QStringLiteral("Series2"), ui::SeriesKind::Ellipse)),
      Series3(addSeries(QStringLiteral("Series3"), ui::SeriesKind::Points)),
      Series4(addSeries(QStringLiteral("Series4"), ui::SeriesKind::Ellipse)),
      Series5(addSeries(QStringLiteral("Series5"), ui::SeriesKind::Points)) {
    ui::ChartModel& chart = *this;
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

    looksOfPoints(Series1, QStringLiteral("přístroje"), Qt::red, ui::PointShape::Circle, 1);
    Series1.marksVisible = true; // the tab caption, centred on the point
    Series1.markOffset = 0;
    Series1.markFramed = true;
    Series1.markBack = kMarkBack;
    Series1.markLineVisible = false;
    looksOfLines(Series2, QStringLiteral("95 % int"), Qt::red, Qt::DashDotDotLine, 2);
    looksOfPoints(Series3, QStringLiteral("[avg(d),avg(sd)]"), QColor(0, 128, 0),
                  ui::PointShape::Triangle, 2);
    looksOfLines(Series4, QStringLiteral("95 %"), Qt::red, Qt::DashDotDotLine, 1);
    looksOfPoints(Series5, QStringLiteral("[avg(d),med(sd)]"), QColor(255, 255, 0),
                  ui::PointShape::Triangle, 2);
    Series1.addDependent(&Series3);
    Series1.addDependent(&Series5);
}

CalibrationChart::CalibrationChart()
    : ui::ChartModel(QStringLiteral("Chart1")),
      Series1(addSeries(QStringLiteral("Series1"), ui::SeriesKind::Points)),
      Series2(addSeries(QStringLiteral("Series2"), ui::SeriesKind::Area)),
      Series3(addSeries(QStringLiteral("Series3"), ui::SeriesKind::Area)),
      Series4(addSeries(QStringLiteral("Series4"), ui::SeriesKind::Area)) {
    ui::ChartModel& chart = *this;
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

    looksOfPoints(Series1, QStringLiteral("přístroje"), Qt::red, ui::PointShape::Square, 1);
    Series1.marksVisible = true; // the tab caption, 15 px above the point
    Series1.markOffset = 15;
    Series1.markFramed = true;
    Series1.markBack = kMarkBack;
    Series1.markLineColor = QColor(128, 0, 128);
    Series1.markLineVisible = true;
    looksOfLines(Series2, QStringLiteral("avg(x)+3*sd(X)/sqrt(40)"), QColor(0, 255, 0),
                 Qt::DotLine, 1);
    looksOfLines(Series3, QStringLiteral("95% int. spolehlivosti"), Qt::red, Qt::DotLine, 1);
    looksOfLines(Series4, QStringLiteral("[avg(x),avg(y)];"), QColor(0, 128, 255),
                 Qt::SolidLine, 1);
    Series4.fineDots = true;
}

} // namespace vel
