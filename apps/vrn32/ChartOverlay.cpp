#include "apps/vrn32/ChartOverlay.h"

#include "charts/Dcarta.h"

#include <cmath>

namespace vrn {

namespace {

constexpr TColor kPenRed = 0x0000FF;
constexpr TColor kPenYellow = 0x00FFFF;
constexpr TColor kPenAqua = 0xFFFF00;

TViewBox ViewBoxOf(const TLogCarta &chart)
{
    const TEscalaCarta &e = chart.Escala();
    return {e.LatMin, e.LatMax, e.LonMin, e.LonMax};
}

bool IsDrawable(const TLOPOverlay &o)
{
    const double values[] = {
        o.Foot.Lat, o.Foot.Lon, o.AP.Lat, o.AP.Lon, o.Lat1, o.Lon1, o.Lat2, o.Lon2};
    for (const double v : values)
        if (!std::isfinite(v))
            return false;
    return !o.Label || (std::isfinite(o.Label->Lat) && std::isfinite(o.Label->Lon));
}

// One LOP in one colour: the dotted line from its foot point to its own assumed position, the
// line across the view in its style (a meridian always solid), and its number when given.
void DrawLOP(TLogCarta &chart, const TLOPRecord &lop, TColor colour, const TLatLon &windowAP,
    std::optional<int> number, std::optional<TColor> lineColour = std::nullopt)
{
    const TLOPOverlay o = PlanLOPOverlay(
        lop, TLOPPlaneScale::AssumedLatitude, ViewBoxOf(chart), windowAP, number.has_value());
    if (!IsDrawable(o))
        return;
    chart.SetPenColor(colour);
    chart.DrawLineWorld(TPenStyle::Dot, o.Foot.Lat, o.Foot.Lon, o.AP.Lat, o.AP.Lon);
    if (lineColour)
        chart.SetPenColor(*lineColour);
    const TPenStyle style = o.Solid ? TPenStyle::Solid : TPenStyle::Dot;
    switch (o.Kind) {
    case TLOPLineKind::Parallel:
        chart.DrawParallel(style, o.Foot.Lat);
        break;
    case TLOPLineKind::Meridian:
        chart.DrawMeridian(TPenStyle::Solid, o.Foot.Lon);
        break;
    case TLOPLineKind::Sloped:
        chart.DrawLineWorld(style, o.Lat1, o.Lon1, o.Lat2, o.Lon2);
        break;
    }
    if (number && o.Label)
        chart.DrawLabel(QString::number(*number), o.Label->Lat, o.Label->Lon);
}

} // namespace

void DrawChartOverlay(TLogCarta &chart, const TChartHandOver &h)
{
    switch (h.Mode) {
    case TChartOverlayMode::None:
        return;
    case TChartOverlayMode::LineOfPosition:
        chart.DrawPositionMark(h.AP.Lat, h.AP.Lon);
        if (h.CurrentLOP)
            DrawLOP(chart, *h.CurrentLOP, kPenRed, h.AP, std::nullopt, kPenYellow);
        return;
    case TChartOverlayMode::AstronomicalPosition:
        if (h.Fix)
            chart.DrawPositionMark(h.Fix->Lat, h.Fix->Lon);
        for (std::size_t i = 0; i < h.LOPs.size(); ++i)
            DrawLOP(chart, h.LOPs[i], kPenAqua, h.AP, static_cast<int>(i) + 1);
        if (h.TransportActive)
            for (const TLOPRecord &lop : h.TransportedLOPs)
                DrawLOP(chart, lop, kPenRed, h.AP, std::nullopt);
        return;
    }
}

} // namespace vrn
