#pragma once
// Small helpers for laying out the windows at fixed pixel positions.

#include <QString>

class QPushButton;
class QWidget;

namespace ui {

// A push button with its component name, caption, position and the usual height of 25.
QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width, int height = 25);

// Places a top-level window in the middle of the screen it is on.
void centerOnScreen(QWidget* window);

} // namespace ui
