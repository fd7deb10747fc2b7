#pragma once

// Where a window opens the first time (before it has a stored geometry): at the size its layout
// asks for, held within the screen's free area, and centred on it.

#include <QSize>

class QWidget;

namespace vrn {

// The smallest screen the windows are made for: their minimum size fits it with the window
// frame and title bar around.
inline constexpr int kSmallestScreenWidth = 1280;
inline constexpr int kSmallestScreenHeight = 720;

// `wanted` is the size the window would like (its layout's size hint when not given).
void PlaceOnScreen(QWidget &window, QSize wanted = QSize());

} // namespace vrn
