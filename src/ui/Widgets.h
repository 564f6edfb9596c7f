#pragma once
// Small helpers for laying out the windows at fixed pixel positions, and the keyboard
// behaviour every window shares.

#include <QString>

class QPushButton;
class QTabWidget;
class QWidget;

namespace ui {

// A push button with its component name, caption, position and the usual height of 25.
// Return and the keypad's Enter press the focused button, as Space does.
QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, int left, int top,
                        int width, int height = 25);

// A tab page's caption shown as it stands: an "&" in it is a character like any other, not
// the mark of a keyboard shortcut (a caption is an instrument's identifier, never a command).
void setTabCaption(QTabWidget* tabs, int index, const QString& caption);
QString tabCaption(const QTabWidget* tabs, int index);

// Places a top-level window in the middle of the screen it is on.
void centerOnScreen(QWidget* window);

// Sets the application style: the platform's own, with the keyboard focus drawn as a
// solid dark blue ring two pixels wide, so that the focused control is plain to see.
// Call once, after the QApplication exists.
void installFocusStyle();

} // namespace ui
