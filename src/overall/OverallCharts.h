#pragma once
// The two charts of the overall test, each the Chart1 of its window: Form3's circle and
// ellipse chart and Form5's calibration-quality chart. The series go by their component
// names; the overall test fills them.

#include "ui/ChartModel.h"

#include <QSize>

namespace vel {

// The charts' sizes in their windows, which the round report draws them at too.
inline constexpr QSize kOverallChartSize{1049, 624};
inline constexpr QSize kCalibrationChartSize{1385, 641};

struct OverallChart : ui::ChartModel {
    OverallChart();
    OverallChart(const OverallChart&) = delete;
    OverallChart& operator=(const OverallChart&) = delete;

    ui::Series& Series1; // "přístroje": one point per instrument, labelled by its tab
    ui::Series& Series2; // "95 % int": the circle (Interval 1)
    ui::Series& Series3; // "[avg(d),avg(sd)]", emptied with Series1
    ui::Series& Series4; // "95 %": the ellipse (Interval 2)
    ui::Series& Series5; // "[avg(d),med(sd)]", emptied with Series1
};

struct CalibrationChart : ui::ChartModel {
    CalibrationChart();
    CalibrationChart(const CalibrationChart&) = delete;
    CalibrationChart& operator=(const CalibrationChart&) = delete;

    ui::Series& Series1; // "přístroje": one point per instrument, labelled by its tab
    ui::Series& Series2; // the random-error limits
    ui::Series& Series3; // the 95 % confidence limits
    ui::Series& Series4; // the centre of all instruments
};

} // namespace vel
