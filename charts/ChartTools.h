#pragma once

// The window-free part of the chart view's mouse tools: the tool kinds, the snapping of a
// rubber-band line, the texts of the measuring tool and the cursor position, where the floating
// measure label goes, and the zooms and pans that a click, the wheel, a drag or a key makes on a
// chart scale. Pixels are the chart view's (x to the right, y downwards); positions are degrees,
// latitude north positive, longitude WEST positive.

#include "charts/EscalaCarta.h"

#include <optional>
#include <string>

namespace vrn {

// The mouse tools of a chart view, ordinals 0..6.
enum class TTipoFerramentaCarta
{
    fcZoom,
    fcMeasure,
    fcRoute,
    fcTrack,
    fcObjects,
    fcPointName,
    fcHandDrag,
};

// The end of a line from start to end held at 0, 45 or 90 degrees (shift held while measuring
// or drawing): a slope below 0.58 (tan 30) is horizontal, one of 1.73 (tan 60) or more vertical,
// anything between a diagonal through the end's column when dy < dx (signed), else through its
// row; so up and to the left the shorter leg sets it. A vertical mouse path (dx 0) is kept.
TScreenPoint SnapLine(TScreenPoint start, TScreenPoint end);

// "COG=" + course "%3.0f°" + "  Rng=" + distance "%6.2f" + " NM" of the great circle from the
// start to the position, nautical miles; empty when the great circle has no answer.
std::string MeasureText(double startLatDeg, double startLonDeg, double latDeg, double lonDeg);

// The cursor position as "45°07.25'N 12°30.00'W"; longitudes past the antimeridian (a view that
// straddles it) are written in (-180, 180].
std::string CursorPositionText(double latDeg, double lonDeg);

// Top-left pixel of a label of labelW x labelH beside the cursor (x, y): 5 pixels right of it
// and above it, moved to the left of the cursor when it would reach the right edge and below
// the cursor when it would leave the top.
TScreenPoint PlaceMeasureLabel(int x, int y, int labelW, int labelH, int controlW);

// A click of the zoom tool: zooms in (or out) by 1.5 and centres the view on the clicked
// position. Returns the new centre as clicked, or none when the zoom is at its limit (nothing
// changes then) or the scale has no view yet.
struct TViewCentre
{
    double LatDeg = 0;
    double LonDeg = 0;
};

std::optional<TViewCentre> ZoomAtPixel(TEscalaCarta &scale, int x, int y, bool zoomOut);

// The wheel: zooms by 1.5 keeping the position under the cursor at the same pixel. None at the
// limit.
std::optional<TViewCentre> ZoomKeepingPixel(TEscalaCarta &scale, int x, int y, bool zoomOut);

// A hand drag by (dx, dy) pixels: the picture follows the hand (dragging right moves the view
// west). False when there is nothing to move.
bool DragView(TEscalaCarta &scale, int dx, int dy);

// Keyboard panning: moves the view by a quarter of its width or height; east and south are
// negative steps. False when the scale has no view yet.
bool PanByQuarters(TEscalaCarta &scale, int stepsWest, int stepsNorth);

} // namespace vrn
