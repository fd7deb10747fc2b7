#pragma once

// Where a LOP is drawn on a chart view: the dotted line from its foot point to its assumed
// position, the line itself across the view box and the place of its number. Shared by the
// celestial navigation window's panes and the chart viewer's LOP overlays; Qt-free.

#include "celestial/VrnCalc.h"

#include <optional>
#include <vector>

namespace vrn {

// The view, degrees; longitudes west-positive, so LonMax is the left edge.
struct TViewBox
{
    double LatMin = 0;
    double LatMax = 0;
    double LonMin = 0;
    double LonMax = 0;
};

enum class TLOPLineKind
{
    Parallel, // runs east-west: a parallel at Foot.Lat across the view
    Meridian, // runs north-south: a meridian at Foot.Lon
    Sloped, // from (Lat1, Lon1) at the bottom to (Lat2, Lon2) at the top
};

struct TLOPOverlay
{
    TLatLon Foot;
    TLatLon AP; // the LOP's own assumed position
    TLOPLineKind Kind = TLOPLineKind::Sloped;
    double Lat1 = 0, Lon1 = 0, Lat2 = 0, Lon2 = 0;
    bool Solid = true; // selected LOPs are solid, the others dotted; meridians always solid
    std::optional<TLatLon> Label; // where the number goes, when asked for
};

// `windowAP` is the window's assumed position, where a label falls back when the line leaves
// the view near the top edge. The line's ends lie on the top and bottom edges, moved along the
// line onto the left or right edge when they would fall beyond them.
TLOPOverlay PlanLOPOverlay(const TLOPRecord &lop, TLOPPlaneScale scale, const TViewBox &box,
    const TLatLon &windowAP, bool withLabel);

// What the celestial navigation window hands to the chart viewer: its assumed position, where
// the view is to be centred, and by mode the current LOP, or the LOP list with the fix and the
// transported LOPs. Copies: the viewer keeps them until the next hand-over.
enum class TChartOverlayMode
{
    None = 0,
    LineOfPosition = 1,
    AstronomicalPosition = 2,
};

struct TChartHandOver
{
    TChartOverlayMode Mode = TChartOverlayMode::None;
    TLatLon AP;
    TLatLon ViewCentre;
    std::optional<TLOPRecord> CurrentLOP; // LineOfPosition; none when not valid
    std::optional<TLatLon> Fix; // AstronomicalPosition; none when not valid
    std::vector<TLOPRecord> LOPs;
    bool TransportActive = false;
    std::vector<TLOPRecord> TransportedLOPs;
};

// The hand-over from the window's page: the LOP page gives its current LOP, the position page
// the list and the fix (the view centred on the fix when there is one, else on the assumed
// position), any other page only the assumed position.
TChartHandOver MakeChartHandOver(bool lopPage, bool positionPage, const TLatLon &ap,
    const std::optional<TLOPRecord> &currentLOP, const TLOPList &list);

// "Line of Position Chart", "Astronomical Position Chart" or "Chart".
const char *ChartHandOverCaption(TChartOverlayMode mode);

} // namespace vrn
