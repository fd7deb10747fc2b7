#pragma once

// The chart viewer's pictures, drawn rather than loaded: the tool bar's buttons, the list icons
// "BVISIVEL" (visible), "BINVISIVEL" (hidden), "BTRACK", "BROUTE" and "BGPS" (the GPS track),
// and the four frames of the rendering animation.

#include <QPixmap>

namespace vrn {

// A 24 x 24 tool bar picture, or a 10 x 10 list icon; an unknown name gives an empty picture.
QPixmap ChartViewerIcon(const char *name);

// Frame 0..3 of the busy animation shown while a chart image renders.
QPixmap ChartViewerBusyFrame(int frame);

} // namespace vrn
