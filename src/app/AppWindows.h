#pragma once
// The four windows of the program, created at start-up in the order Form1, Form2, Form3,
// Form5 and wired together. Only Form1 is shown; closing it ends the program.

#include "overall/OverallCharts.h"

#include <memory>

namespace vel {

class Form1;
class Form2;
class Form3;
class Form5;

// Sets the application-wide font: "MS Sans Serif" 8 pt, with a metric-compatible
// substitute where the system lacks it.
void setupApplicationFont();

struct AppWindows {
    AppWindows();
    ~AppWindows();

    // The overall test's two charts, shown by Form3 and Form5 and filled from Form1.
    OverallChart overallChart;
    CalibrationChart calibrationChart;

    std::unique_ptr<Form1> form1;
    std::unique_ptr<Form2> form2;
    std::unique_ptr<Form3> form3;
    std::unique_ptr<Form5> form5;
};

} // namespace vel
