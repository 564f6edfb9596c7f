#include "ui/Widgets.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QWidget>

namespace ui {

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width, int height) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(QString::fromLatin1(name));
    b->setGeometry(left, top, width, height);
    b->setAutoDefault(false);
    return b;
}

void centerOnScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect avail = screen->geometry();
    window->move(avail.x() + (avail.width() - window->width()) / 2,
                 avail.y() + (avail.height() - window->height()) / 2);
}

} // namespace ui
