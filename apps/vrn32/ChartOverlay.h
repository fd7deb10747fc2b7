#pragma once

// The celestial navigation overlays of the chart viewer, drawn on its chart view after every
// redraw: the assumed position with the current LOP ("Line of Position Chart"), or the fix with
// the numbered LOPs of the list and their transported copies ("Astronomical Position Chart").

#include "celestial/LOPOverlay.h"

namespace vrn {

class TLogCarta;

// Draws the overlay of the hand-over's mode (nothing for none). A LOP whose foot point or line is
// not finite is left out.
void DrawChartOverlay(TLogCarta &chart, const TChartHandOver &handOver);

} // namespace vrn
