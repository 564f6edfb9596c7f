#pragma once
// The one place per command where an error becomes the error box: a button's handler runs
// its work through runCommand, and whatever the work raised is shown, then the program
// waits for the next event.

#include <QPushButton>

#include <functional>

class QWidget;

namespace ui {

void runCommand(QWidget* owner, const std::function<void()>& work);

// Wires a push button of a window to one of the window's command handlers: a click runs
// the handler through runCommand, with the window owning the error box.
template <typename Window>
void connectCommand(QPushButton* button, Window* window, void (Window::*handler)()) {
    QObject::connect(button, &QPushButton::clicked, window, [window, handler] {
        runCommand(window, [window, handler] { (window->*handler)(); });
    });
}

} // namespace ui
