#include "overall/Form5.h"

#include "overall/LabelArrange.h"
#include "overall/OverallCharts.h"
#include "ui/ChartView.h"
#include "ui/Command.h"
#include "ui/ScreenFit.h"
#include "ui/Widgets.h"

#include <QPushButton>

namespace vel {

Form5::Form5(CalibrationChart& chart, QWidget* parent)
    : QWidget(parent, Qt::Window), m_chart(chart) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Orbalyx - Vyhodnocení testu vzhledem ke kvalitě kalibrací"));
    resize(1416, 712);
    move(255, 305);

    Chart1 = new ui::ChartView(chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(QStringLiteral("graf kvality kalibrací"));
    Chart1->setGeometry(QRect(QPoint(8, 8), kCalibrationChartSize));
    Button2 = ui::makeButton(this, "Button2", "uložit", 544, 655, 75);
    Button3 = ui::makeButton(this, "Button3", "tisk grafu", 632, 655, 75);
    Button1 = ui::makeButton(this, "Button1", "zavřít", 720, 655, 75);
    Button4 = ui::makeButton(this, "Button4", "uspořádat", 808, 656, 75);

    ui::connectCommand(Button2, this, &Form5::Button2Click);
    ui::connectCommand(Button3, this, &Form5::Button3Click);
    ui::connectCommand(Button1, this, &Form5::Button1Click);
    ui::connectCommand(Button4, this, &Form5::Button4Click);
    ui::fitToScreen(this);
}

void Form5::Button2Click() {
    Chart1->saveBmpAs(this, QStringLiteral("SaveDialog1"));
}

void Form5::Button3Click() {
    Chart1->print();
}

void Form5::Button1Click() {
    hide();
}

void Form5::Button4Click() {
    arrangeLabels(Chart1->state().marks(m_chart.Series1));
    Chart1->update();
}

} // namespace vel
