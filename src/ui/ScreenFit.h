#pragma once
// Windows laid out at fixed pixel positions, on screens of any size: a window keeps its
// size and place where the screen has room; where it has not, it moves and shrinks into
// the screen's available area and its contents scroll, so that every control stays
// reachable. Shrinking a window by hand scrolls its contents the same way.

class QRect;
class QWidget;

namespace ui {

// Puts the controls of a window, as laid out at its present size, into a frameless scroll
// area that fills the window, keeping the keyboard order of the controls; then fits the
// window into the available area of its screen. Call at the end of the window's
// construction, after its size and place are set.
void fitToScreen(QWidget* window);
// The same with the available area given.
void fitToScreen(QWidget* window, const QRect& available);

} // namespace ui
