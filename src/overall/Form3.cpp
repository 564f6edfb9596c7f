#include "overall/Form3.h"

#include "overall/OverallCharts.h"
#include "ui/ChartView.h"
#include "ui/Command.h"
#include "ui/ScreenFit.h"
#include "ui/Widgets.h"

#include <QPushButton>

namespace vel {

Form3::Form3(OverallChart& chart, QWidget* parent) : QWidget(parent, Qt::Window), m_chart(chart) {
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Celkové vyhodnocení testu"));
    resize(1088, 706);
    move(450, 247);

    Chart1 = new ui::ChartView(chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(QStringLiteral("celkové vyhodnocení testu"));
    Chart1->setGeometry(QRect(QPoint(16, 9), kOverallChartSize));
    Button2 = ui::makeButton(this, "Button2", "uložit", 392, 648, 75);
    Button3 = ui::makeButton(this, "Button3", "tisk grafu", 480, 648, 75);
    Button1 = ui::makeButton(this, "Button1", "zavřít", 568, 648, 75);

    ui::connectCommand(Button2, this, &Form3::Button2Click);
    ui::connectCommand(Button3, this, &Form3::Button3Click);
    ui::connectCommand(Button1, this, &Form3::Button1Click);
    ui::fitToScreen(this);
}

void Form3::Button2Click() {
    Chart1->saveBmpAs(this, QStringLiteral("SaveDialog1"));
}

void Form3::Button3Click() {
    Chart1->print();
}

void Form3::Button1Click() {
    hide();
}

} // namespace vel
