#include "charts/ChartTools.h"

#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <cstdlib>

namespace vrn {

TScreenPoint SnapLine(TScreenPoint start, TScreenPoint end)
{
    const int dx = end.X - start.X;
    const int dy = end.Y - start.Y;
    if (dx == 0)
        return end;
    const double r = std::fabs(double(dy) / dx);
    auto sign = [](int v) { return v <= 0 ? -1 : 1; };
    if (r < 0.58)
        return {end.X, start.Y};
    if (r >= 1.73)
        return {start.X, end.Y};
    if (dy < dx)
        return {end.X, start.Y + sign(dy) * std::abs(dx)};
    return {start.X + sign(dx) * std::abs(dy), end.Y};
}

std::string MeasureText(double startLatDeg, double startLonDeg, double latDeg, double lonDeg)
{
    const TCourseDistance cd = GreatCircleCourseDistance(startLatDeg, startLonDeg, latDeg, lonDeg);
    if (cd.Status != 0 || !std::isfinite(cd.CourseDeg) || !std::isfinite(cd.DistNm))
        return {};
    return "COG=" + FormatFixed(cd.CourseDeg, 0, 3) + "°" + "  Rng=" + FormatFixed(cd.DistNm, 2, 6)
        + " NM";
}

std::string CursorPositionText(double latDeg, double lonDeg)
{
    return FormatAngleDM2("NS", latDeg) + " " + FormatAngleDM2("WE", NormalizeSigned180(lonDeg));
}

TScreenPoint PlaceMeasureLabel(int x, int y, int labelW, int labelH, int controlW)
{
    TScreenPoint p {x + 5, y - labelH - 5};
    if (x + labelW + 5 >= controlW)
        p.X = x - labelW - 5;
    if (p.Y < 0)
        p.Y = y + 5;
    return p;
}

std::optional<TViewCentre> ZoomAtPixel(TEscalaCarta &scale, int x, int y, bool zoomOut)
{
    if (!scale.IsUsable())
        return std::nullopt;
    TViewCentre c;
    scale.Screen2World(x, y, c.LatDeg, c.LonDeg);
    if (!(zoomOut ? scale.ZoomOut() : scale.ZoomIn()))
        return std::nullopt;
    scale.SetView(c.LatDeg, c.LonDeg, scale.LonSpan);
    return c;
}

std::optional<TViewCentre> ZoomKeepingPixel(TEscalaCarta &scale, int x, int y, bool zoomOut)
{
    if (!scale.IsUsable())
        return std::nullopt;
    double lat = 0, lon = 0;
    scale.Screen2World(x, y, lat, lon);
    const double width = scale.XScale * scale.LonSpan;
    const double height = scale.YScale * scale.LatSpan;
    if (!(zoomOut ? scale.ZoomOut() : scale.ZoomIn()))
        return std::nullopt;
    // The new centre puts (lat, lon) back under (x, y). The latitude span depends on the centre
    // latitude, so the centre is found by a few fixed-point steps (it settles within 1e-9 deg).
    const double span = scale.LonSpan;
    const double lonC = lon + (x - width / 2) * span / width;
    double latC = scale.LatC;
    for (int i = 0; i < 4; ++i) {
        const double latSpan = CosD(std::fmin(std::fabs(latC), 89.0)) * span * height / width;
        latC = lat + (y - height / 2) * latSpan / height;
    }
    scale.SetView(latC, lonC, span);
    return TViewCentre {scale.LatC, scale.LonC};
}

bool DragView(TEscalaCarta &scale, int dx, int dy)
{
    if ((dx == 0 && dy == 0) || !scale.IsUsable())
        return false;
    const TWorldOffset d = scale.PixelsToDegrees(dx, dy);
    scale.Pan(d.DLat, d.DLon);
    return true;
}

bool PanByQuarters(TEscalaCarta &scale, int stepsWest, int stepsNorth)
{
    if (!scale.IsUsable())
        return false;
    scale.Pan(stepsNorth * scale.LatSpan / 4, stepsWest * scale.LonSpan / 4);
    return true;
}

} // namespace vrn
