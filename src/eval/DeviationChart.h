#pragma once
// The deviation chart of the main window (its Chart1): the linearity check draws the
// deviation of each sample from its reference value, the fitted line and the line y = x.

#include "ui/ChartModel.h"

#include <QSize>

namespace vel {

// The chart's size in the main window, which the round report draws it at too.
inline constexpr QSize kDeviationChartSize{449, 257};

// The chart with its static definition; the series by their component names.
struct DeviationChart : ui::ChartModel {
    DeviationChart();
    DeviationChart(const DeviationChart&) = delete;
    DeviationChart& operator=(const DeviationChart&) = delete;

    ui::Series& Series2; // the deviations, labelled "v 1" to "v 10"
    ui::Series& Series3; // "regrese": the fit of the means on the reference values
    ui::Series& Series4; // "y=x"
};

} // namespace vel
