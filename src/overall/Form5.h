#pragma once
// The calibration-quality chart window: the instruments by the residual error of their
// regression on the reference values and 1 - r^2, with the three limit boxes. Created
// hidden; the overall test shows it, "zavřít" and the close box only hide it.

#include <QWidget>

class QPushButton;

namespace ui {
class ChartView;
} // namespace ui

namespace vel {

struct CalibrationChart;

class Form5 : public QWidget {
    Q_OBJECT
public:
    explicit Form5(CalibrationChart& chart, QWidget* parent = nullptr);

    CalibrationChart& chart() { return m_chart; }

    ui::ChartView* Chart1;
    QPushButton* Button2; // "uložit"
    QPushButton* Button3; // "tisk grafu"
    QPushButton* Button1; // "zavřít"
    QPushButton* Button4; // "uspořádat"

    // Command handlers. They raise errors; the buttons run them through runCommand.
    void Button2Click(); // saves the chart as a BMP image through SaveDialog1
    void Button3Click(); // prints the chart
    void Button1Click(); // hides the window
    void Button4Click(); // moves overlapping point labels apart, then repaints

private:
    CalibrationChart& m_chart;
};

} // namespace vel
