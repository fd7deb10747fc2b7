#pragma once

// Keyboard use of the windows: Enter presses the focused button, and the tab order follows the
// reading order (left to right, top to bottom) where the order of creation does not.

#include <initializer_list>

class QWidget;

namespace vrn {

// Enter and Return press the focused push button or tool button of `window` (outside dialogs a
// button takes only Space otherwise). Covers the buttons that exist when it is called; calling
// it again after adding buttons covers those too.
void EnterActivatesButtons(QWidget &window);

// Puts `widgets` in the tab order one after the other, in the order given; a field made of cells
// (a position or time field) moves as a whole.
void SetTabChain(std::initializer_list<QWidget *> widgets);

} // namespace vrn
