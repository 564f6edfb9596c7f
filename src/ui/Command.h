#pragma once
// The one place per command where an error becomes the error box: a button's handler runs
// its work through runCommand, and whatever the work raised is shown, then the program
// waits for the next event.

#include <functional>

class QWidget;

namespace ui {

void runCommand(QWidget* owner, const std::function<void()>& work);

} // namespace ui
