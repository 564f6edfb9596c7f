#include "overall/Form5.h"

#include "overall/Form3.h"
#include "overall/LabelArrange.h"
#include "ui/ChartView.h"
#include "ui/Command.h"
#include "ui/Widgets.h"

#include <QPushButton>

namespace vel {

Form5::Form5(ui::ChartModel& chart, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Orbalyx - Vyhodnocení testu vzhledem ke kvalitě kalibrací"));
    resize(1416, 712);
    move(255, 305);

    Chart1 = new ui::ChartView(chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setAccessibleName(QStringLiteral("graf kvality kalibrací"));
    Chart1->setGeometry(8, 8, 1385, 641);
    Button2 = ui::makeButton(this, "Button2", "uložit", 544, 655, 75);
    Button3 = ui::makeButton(this, "Button3", "tisk grafu", 632, 655, 75);
    Button1 = ui::makeButton(this, "Button1", "zavřít", 720, 655, 75);
    Button4 = ui::makeButton(this, "Button4", "uspořádat", 808, 656, 75);

    for (auto [button, handler] :
         {std::pair{Button2, &Form5::Button2Click}, std::pair{Button3, &Form5::Button3Click},
          std::pair{Button4, &Form5::Button4Click}})
        connect(button, &QPushButton::clicked, this,
                [this, handler] { ui::runCommand(this, [this, handler] { (this->*handler)(); }); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void Form5::Button2Click() {
    saveChartImage(this, *Chart1);
}

void Form5::Button3Click() {
    printChart(*Chart1);
}

void Form5::Button1Click() {
    hide();
}

void Form5::Button4Click() {
    arrangeLabels(Chart1->state().marks(Chart1->model().series(QStringLiteral("Series1"))));
    Chart1->update();
}

} // namespace vel
