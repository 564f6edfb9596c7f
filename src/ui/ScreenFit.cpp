#include "ui/ScreenFit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace ui {

namespace {

// Room the window manager's frame takes around a window that has to shrink.
constexpr int kFrameWidth = 8;
constexpr int kFrameHeight = 32;

// The widgets that the Tab key reaches, in the order it reaches them.
std::vector<QWidget*> tabStops(QWidget* window) {
    std::vector<QWidget*> stops;
    for (QWidget* w = window->nextInFocusChain(); w && w != window; w = w->nextInFocusChain())
        if (w->focusPolicy() & Qt::TabFocus)
            stops.push_back(w);
    return stops;
}

void makeScrollable(QWidget* window) {
    const std::vector<QWidget*> order = tabStops(window);
    auto* content = new QWidget;
    content->setObjectName(QStringLiteral("content"));
    content->setFixedSize(window->size());
    for (QObject* child : window->children()) {
        auto* w = qobject_cast<QWidget*>(child);
        if (!w || w->isWindow())
            continue;
        const bool hidden = w->isHidden();
        w->setParent(content); // keeps the position relative to the parent
        if (!hidden)
            w->show();
    }
    auto* area = new QScrollArea(window);
    area->setObjectName(QStringLiteral("scrollArea"));
    area->setFrameShape(QFrame::NoFrame);
    area->setFocusPolicy(Qt::NoFocus);
    area->setBackgroundRole(QPalette::Window);
    area->setWidget(content);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(area);
    // Moving the controls took them out of the window's focus chain for a moment; they
    // come back in the order they had.
    for (size_t i = 1; i < order.size(); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}

} // namespace

void fitToScreen(QWidget* window) {
    QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    fitToScreen(window, screen ? screen->availableGeometry() : QRect(window->geometry()));
}

void fitToScreen(QWidget* window, const QRect& available) {
    makeScrollable(window);
    QSize size = window->size();
    if (size.width() > available.width())
        size.setWidth(std::max(1, available.width() - kFrameWidth));
    if (size.height() > available.height())
        size.setHeight(std::max(1, available.height() - kFrameHeight));
    window->resize(size);
    QPoint pos = window->pos();
    pos.setX(std::clamp(pos.x(), available.left(),
                        std::max(available.left(), available.right() + 1 - size.width())));
    pos.setY(std::clamp(pos.y(), available.top(),
                        std::max(available.top(), available.bottom() + 1 - size.height())));
    window->move(pos);
}

} // namespace ui
