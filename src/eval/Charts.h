#pragma once
// The static definition of the program's three charts: titles, axes and series with
// their names, kinds and looks. The evaluations fill them.

namespace ui {
class ChartModel;
}

namespace vel {

void setupDeviationChart(ui::ChartModel& chart);   // Chart1 of the main window
void setupOverallChart(ui::ChartModel& chart);     // Chart1 of Form3
void setupCalibrationChart(ui::ChartModel& chart); // Chart1 of Form5

} // namespace vel
