#include "ui/Widgets.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QScreen>
#include <QStyleOption>
#include <QTabWidget>
#include <QWidget>

namespace ui {

namespace {

// A push button that Return and Enter press when it has the focus. The button stays
// non-default, so no window has a button that Enter presses from another control.
class PushButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        const auto held = event->modifiers() & ~Qt::KeypadModifier;
        if (!enter || held != Qt::NoModifier) {
            QPushButton::keyPressEvent(event);
            return;
        }
        // A held key presses once: the command may open a window or a box of its own.
        if (!event->isAutoRepeat())
            click();
        event->accept();
    }
};

// The platform's style with one plain focus ring, solid dark blue and two pixels wide, on
// every focused control. Fusion, the usual style on Linux, shows the focus of buttons, tabs,
// text fields and text areas as a faint tint of their outline, if at all: these are drawn
// unfocused with the ring along their edge, where it never touches a caption. Other
// controls get it wherever the style asks for a focus rectangle.
class FocusStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        if (option->state & State_HasFocus) {
            const auto base = [&](const QStyleOption* o) {
                QProxyStyle::drawControl(element, o, painter, widget);
            };
            const bool ringed =
                (element == CE_PushButton && drawUnfocused<QStyleOptionButton>(option, base)) ||
                (element == CE_TabBarTab && drawUnfocused<QStyleOptionTab>(option, base)) ||
                (element == CE_ShapedFrame && drawUnfocused<QStyleOptionFrame>(option, base));
            if (ringed) {
                drawRing(option->rect, painter);
                return;
            }
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameFocusRect) {
            drawRing(option->rect, painter);
            return;
        }
        if (element == PE_PanelLineEdit && (option->state & State_HasFocus) &&
            drawUnfocused<QStyleOptionFrame>(option, [&](auto o) {
                QProxyStyle::drawPrimitive(element, o, painter, widget);
            })) {
            drawRing(option->rect, painter);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    // Draws through draw with a copy of the option that lacks the focus, when the option
    // is of that type.
    template <class Option, class Draw>
    static bool drawUnfocused(const QStyleOption* option, Draw draw) {
        const auto* typed = qstyleoption_cast<const Option*>(option);
        if (!typed)
            return false;
        Option unfocused = *typed;
        unfocused.state &= ~State_HasFocus;
        draw(&unfocused);
        return true;
    }

    static void drawRing(const QRect& rect, QPainter* painter) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        QPen pen(QColor(0, 0, 160), 2);
        pen.setJoinStyle(Qt::MiterJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        // The pen straddles the path: one pixel in from the edge puts both pixels inside.
        painter->drawRect(QRectF(rect).adjusted(1, 1, -1, -1));
        painter->restore();
    }
};

} // namespace

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width, int height) {
    auto* b = new PushButton(QString::fromUtf8(caption), parent);
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

void installFocusStyle() {
    // Built on the style in force, which may come from the command line (-style).
    QApplication::setStyle(new FocusStyle(QApplication::style()->name()));
}

void setTabCaption(QTabWidget* tabs, int index, const QString& caption) {
    QString text = caption;
    tabs->setTabText(index, text.replace(u'&', QStringLiteral("&&")));
}

QString tabCaption(const QTabWidget* tabs, int index) {
    return tabs->tabText(index).replace(QStringLiteral("&&"), QStringLiteral("&"));
}

} // namespace ui
