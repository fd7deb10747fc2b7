#include "celestial/LOPOverlay.h"

#include "engine/Trigonom.h"

namespace vrn {

TLOPOverlay PlanLOPOverlay(const TLOPRecord &lop, TLOPPlaneScale scale, const TViewBox &box,
    const TLatLon &windowAP, bool withLabel)
{
    const TLOPLineGeometry g = LOPLineGeometry(lop, scale);
    TLOPOverlay o;
    o.Foot = g.Foot;
    o.AP = {lop.APLat, lop.APLon};
    o.Solid = lop.Selected;
    const double dLat = (box.LatMax - box.LatMin) / 10;
    const double dLon = (box.LonMax - box.LonMin) / 10;
    if (g.Meridian) {
        o.Kind = TLOPLineKind::Meridian;
        o.Solid = true;
        if (withLabel)
            o.Label = TLatLon {box.LatMax - dLat, g.Foot.Lon};
        return o;
    }
    if (g.M == 0) {
        o.Kind = TLOPLineKind::Parallel;
        if (withLabel)
            o.Label = TLatLon {g.Foot.Lat, box.LonMax};
        return o;
    }
    const double m = g.M;
    const double b = g.B;
    double topLat = box.LatMax;
    double topLon = (box.LatMax - b) / m;
    if (topLon > box.LonMax) {
        topLon = box.LonMax;
        topLat = m * box.LonMax + b;
    }
    double bottomLat = box.LatMin;
    double bottomLon = (box.LatMin - b) / m;
    if (bottomLon < box.LonMin) {
        bottomLon = box.LonMin;
        bottomLat = m * box.LonMin + b;
    }
    o.Kind = TLOPLineKind::Sloped;
    o.Lat1 = bottomLat;
    o.Lon1 = bottomLon;
    o.Lat2 = topLat;
    o.Lon2 = topLon;
    if (withLabel) {
        double labLat = box.LatMax - dLat;
        double labLon = (labLat - b) / m;
        if (labLon < box.LonMin + dLon || labLon > box.LonMax) {
            labLon = windowAP.Lon + dLon;
            labLat = m * labLon + b;
        }
        if (labLat < box.LatMin + dLat || labLat > box.LatMax) {
            labLat = windowAP.Lat + dLat;
            labLon = (labLat - b) / m;
        }
        o.Label = TLatLon {labLat, labLon};
    }
    return o;
}

TChartHandOver MakeChartHandOver(bool lopPage, bool positionPage, const TLatLon &ap,
    const std::optional<TLOPRecord> &currentLOP, const TLOPList &list)
{
    TChartHandOver h;
    h.AP = ap;
    h.ViewCentre = ap;
    if (lopPage) {
        h.Mode = TChartOverlayMode::LineOfPosition;
        h.CurrentLOP = currentLOP;
    } else if (positionPage) {
        h.Mode = TChartOverlayMode::AstronomicalPosition;
        if (list.FixValid()) {
            h.Fix = TLatLon {list.FixLat(), list.FixLon()};
            h.ViewCentre = *h.Fix;
        }
        h.LOPs = list.LOPs();
        h.TransportActive = list.TransportActive();
        if (h.TransportActive)
            h.TransportedLOPs = list.TransportedLOPs();
    }
    return h;
}

const char *ChartHandOverCaption(TChartOverlayMode mode)
{
    switch (mode) {
    case TChartOverlayMode::LineOfPosition:
        return "Line of Position Chart";
    case TChartOverlayMode::AstronomicalPosition:
        return "Astronomical Position Chart";
    case TChartOverlayMode::None:
        break;
    }
    return "Chart";
}

} // namespace vrn
