#pragma once
// The overall evaluation chart window: the instruments by mean error and error standard
// deviation with the circle and the ellipse of the overall test. Created hidden; the
// overall test shows it, "zavřít" and the close box only hide it.

#include <QWidget>

class QPushButton;

namespace ui {
class ChartView;
} // namespace ui

namespace vel {

struct OverallChart;

class Form3 : public QWidget {
    Q_OBJECT
public:
    explicit Form3(OverallChart& chart, QWidget* parent = nullptr);

    OverallChart& chart() { return m_chart; }

    ui::ChartView* Chart1;
    QPushButton* Button2; // "uložit"
    QPushButton* Button3; // "tisk grafu"
    QPushButton* Button1; // "zavřít"

    // Command handlers. They raise errors; the buttons run them through runCommand.
    void Button2Click(); // saves the chart as a BMP image through SaveDialog1
    void Button3Click(); // prints the chart
    void Button1Click(); // hides the window

private:
    OverallChart& m_chart;
};

} // namespace vel
