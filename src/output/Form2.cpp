#include "output/Form2.h"

#include "output/Memo.h"
#include "output/PaneSave.h"
#include "ui/Command.h"
#include "ui/ScreenFit.h"
#include "ui/Widgets.h"

#include <QPushButton>

namespace vel {

Form2::Form2(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Souhrnné výsledky testů."));
    resize(915, 530);
    ui::centerOnScreen(this);

    Memo1 = new Memo(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("souhrnné výsledky"));
    Memo1->setGeometry(8, 8, 889, 457);
    Button1 = ui::makeButton(this, "Button1", "export výstupu.", 368, 472, 89);
    Button2 = ui::makeButton(this, "Button2", "zavřít", 496, 472, 75);
    Button3 = ui::makeButton(this, "Button3", "zpráva PDF", 608, 472, 89);
    Button4 = ui::makeButton(this, "Button4", "zprávy účastníkům", 736, 472, 113);
    Button5 = ui::makeButton(this, "Button5", "anonymní zpráva", 240, 472, 97);
    setTabOrder(Memo1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, Button3);
    setTabOrder(Button3, Button4);
    setTabOrder(Button4, Button5);

    ui::connectCommand(Button1, this, &Form2::Button1Click);
    ui::connectCommand(Button2, this, &Form2::Button2Click);
    ui::connectCommand(Button3, this, &Form2::Button3Click);
    ui::connectCommand(Button4, this, &Form2::Button4Click);
    ui::connectCommand(Button5, this, &Form2::Button5Click);
    ui::fitToScreen(this);
}

void Form2::Button1Click() {
    savePane(this, QStringLiteral("SaveDialog1"), Memo1->pane());
}

void Form2::Button2Click() {
    hide();
}

void Form2::Button3Click() {
    if (m_report)
        m_report();
}

void Form2::Button4Click() {
    if (m_participants)
        m_participants();
}

void Form2::Button5Click() {
    if (m_anonymous)
        m_anonymous();
}

} // namespace vel
