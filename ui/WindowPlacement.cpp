#include "ui/WindowPlacement.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vrn {

void PlaceOnScreen(QWidget &window, QSize wanted)
{
    QScreen *screen = window.screen();
    if (!screen)
        return;
    // Room for the frame and title bar the window manager adds.
    constexpr int kFrameW = 16;
    constexpr int kFrameH = 48;
    const QRect free = screen->availableGeometry();
    if (!wanted.isValid())
        wanted = window.sizeHint();
    wanted = wanted.expandedTo(window.minimumSizeHint());
    const QSize size(
        std::max(window.minimumWidth(), std::min(wanted.width(), free.width() - kFrameW)),
        std::max(window.minimumHeight(), std::min(wanted.height(), free.height() - kFrameH)));
    window.resize(size);
    window.move(free.center() - QPoint(size.width() / 2, size.height() / 2));
}

} // namespace vrn
