#pragma once
// The one place per command where an error becomes the error box: a button's handler runs
// its work through runCommand, and whatever the work raised is shown, then the program
// waits for the next event.

#include "data/Errors.h"

#include <QPushButton>

#include <functional>

class QWidget;

namespace ui {

// Runs work; an error it raises is shown in the error box owned by owner, and then, once
// the box is closed, handed to afterError when one is given.
void runCommand(QWidget* owner, const std::function<void()>& work,
                const std::function<void(const vel::AppError&)>& afterError = {});

// Wires a push button of a window to one of the window's command handlers: a click runs
// the handler through runCommand, with the window owning the error box. A window that
// has a member commandFailed(const vel::AppError&) hears of the program's errors after
// the box has closed (the main window uses it to point at the field that failed).
template <typename Window>
void connectCommand(QPushButton* button, Window* window, void (Window::*handler)()) {
    QObject::connect(button, &QPushButton::clicked, window, [window, handler] {
        std::function<void(const vel::AppError&)> afterError;
        if constexpr (requires(const vel::AppError& e) { window->commandFailed(e); })
            afterError = [window](const vel::AppError& e) { window->commandFailed(e); };
        runCommand(window, [window, handler] { (window->*handler)(); }, afterError);
    });
}

} // namespace ui
