#include "charts/EscalaCarta.h"

#include "charts/ChartSurface.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace vrn {

TEscalaCarta::TEscalaCarta(TChartSurface *owner)
    : FOwner(owner)
{ }

bool TEscalaCarta::Setup(int widthPx, int heightPx, int cellPixels)
{
    if (widthPx <= 0 || heightPx <= 0 || !std::isfinite(LonSpan) || LonSpan <= 0
        || !std::isfinite(LatC) || !std::isfinite(LonC))
        return false;
    CellPixels = cellPixels;
    WidthCells = double(widthPx) / cellPixels;
    HeightCells = double(heightPx) / cellPixels;
    // Nearer a pole the Mercator picture has no usable height: the centre is held at 89 degrees
    // on its own side.
    if (std::fabs(LatC) > 89)
        LatC = std::copysign(89.0, LatC);
    LatSpan = CosD(LatC) * LonSpan * HeightCells / WidthCells;
    XScale = widthPx / LonSpan;
    YScale = heightPx / LatSpan;
    LonMax = LonC + LonSpan / 2;
    LatMax = LatC + LatSpan / 2;
    LonMin = LonC - LonSpan / 2;
    LatMin = LatC - LatSpan / 2;
    return true;
}

void TEscalaCarta::SetupForScreen()
{
    if (FOwner)
        Setup(FOwner->ClientWidth(), FOwner->ClientHeight(), 30);
}

void TEscalaCarta::SetupForPrinter(int widthPx, int heightPx)
{
    Setup(widthPx, heightPx, 120);
}

void TEscalaCarta::SetView(double latCDeg, double lonCDeg, double lonSpanDeg)
{
    if (!std::isfinite(latCDeg) || !std::isfinite(lonCDeg) || !std::isfinite(lonSpanDeg)
        || lonSpanDeg <= 0)
        return;
    LatC = latCDeg;
    LonC = lonCDeg;
    LonSpan = lonSpanDeg;
    SetupForScreen();
}

int SaturatedPixel(double v)
{
    // Far beyond any surface but well inside int: lines from such points are clipped before
    // drawing.
    constexpr double kSaturation = 1.0e9;
    if (std::isnan(v))
        return 0;
    return static_cast<int>(std::nearbyint(std::clamp(v, -kSaturation, kSaturation)));
}

TScreenPoint TEscalaCarta::World2Screen(double latDeg, double lonDeg) const
{
    const TScreenPointF p = World2ScreenF(latDeg, lonDeg);
    return {SaturatedPixel(p.X), SaturatedPixel(p.Y)};
}

TScreenPointF TEscalaCarta::World2ScreenF(double latDeg, double lonDeg) const
{
    return {(LonMax - lonDeg) * XScale, (LatMax - latDeg) * YScale};
}

void TEscalaCarta::Screen2World(double x, double y, double &latDeg, double &lonDeg) const
{
    lonDeg = LonMax - x / XScale;
    latDeg = LatMax - y / YScale;
}

bool TEscalaCarta::ZoomIn()
{
    if (LonSpan > 0.05) {
        LonSpan /= 1.5;
        return true;
    }
    return false;
}

bool TEscalaCarta::ZoomOut()
{
    if (LonSpan < 350) {
        LonSpan *= 1.5;
        return true;
    }
    return false;
}

bool TEscalaCarta::IsInside(double latDeg, double lonDeg) const
{
    return LonMin <= lonDeg && lonDeg <= LonMax && LatMin <= latDeg && latDeg <= LatMax;
}

TWorldOffset TEscalaCarta::PixelsToDegrees(int dx, int dy) const
{
    if (!FOwner)
        return {};
    const int w = FOwner->ClientWidth();
    const int h = FOwner->ClientHeight();
    if (w <= 0 || h <= 0)
        return {};
    return {double(dy) / h * LatSpan, double(dx) / w * LonSpan};
}

void TEscalaCarta::Pan(double dLatDeg, double dLonDeg)
{
    LatC += dLatDeg;
    LonC += dLonDeg;
    SetupForScreen();
}

namespace {

struct TGridSteps
{
    double Label;
    double Line;
    double MinorTick;
    double MajorTick;
};

TGridSteps GridStepsFor(double lonSpanDeg)
{
    if (lonSpanDeg < 5)
        return {0.5, 0.5, 1.0 / 60, 1.0 / 12};
    if (lonSpanDeg < 15)
        return {1, 1, 1.0 / 12, 1.0 / 6};
    if (lonSpanDeg < 75)
        return {5, 1, 0.5, 1};
    if (lonSpanDeg < 150)
        return {10, 1, 1, 5};
    return {15, 1, 5, 5};
}

bool IsOnStep(double v, double step)
{
    const double q = std::fabs(v) / step;
    const double f = q - std::floor(q);
    return f <= 1e-10 || f >= 0.9999999999;
}

bool IsWhole(double v)
{
    const double f = std::fabs(v) - std::floor(std::fabs(v));
    return f < 1e-10 || f >= 0.9999999999;
}

// Steps from `first` by `step`, computed by multiplication so that 1/60 steps do not drift.
template <class F>
void ForEachStep(double first, double step, double limit, bool inclusive, F &&f)
{
    for (long k = 0;; ++k) {
        const double v = first + k * step;
        if (inclusive ? !(v <= limit + 1e-9) : !(v < limit - 1e-9))
            break;
        f(v);
    }
}

} // namespace

void TEscalaCarta::DrawGrid()
{
    if (!FOwner || !IsUsable())
        return;
    TChartSurface &s = *FOwner;
    const TGridSteps steps = GridStepsFor(LonSpan);
    const int tick = s.IsPrinting() ? 12 : 3;
    // A grid of a huge view at a tiny step would loop for ever: both edges are bounded by the
    // world, so the count below is at most a few tens of thousands.
    {
        const double a = std::max(-180.0, std::trunc(LonMin));
        const double b = std::min(180.0, std::nearbyint(LonMax));
        ForEachStep(a - 1, steps.Line, b + 1, false, [&](double v) {
            if (!IsOnStep(v, steps.Label))
                return;
            if (ShowGrid)
                s.DrawMeridian(TPenStyle::Solid, v);
            if (IsWhole(v)) {
                const std::string text =
                    std::string(Trim(FormatFixed(std::fabs(v), 0, 3))) + (v >= 0 ? "°W" : "°E");
                s.DrawLabel(text, LatMax, v);
            }
        });
        if (ShowGrid) {
            ForEachStep(a - 1, steps.MinorTick, b + 1, true, [&](double v) {
                const int len = IsOnStep(v, steps.MajorTick) ? 2 * tick : tick;
                const TScreenPoint bottom = World2Screen(LatMin, v);
                const TScreenPoint top = World2Screen(LatMax, v);
                s.DrawLine(bottom.X, bottom.Y - 1, TPenStyle::Solid, bottom.X, bottom.Y - 1 - len);
                s.DrawLine(top.X, top.Y, TPenStyle::Solid, top.X, top.Y + len);
            });
        }
    }
    {
        const double a = std::max(-90.0, std::trunc(LatMin));
        const double b = std::min(90.0, std::nearbyint(LatMax));
        ForEachStep(a - 1, steps.Line, b + 1, false, [&](double v) {
            if (!IsOnStep(v, steps.Label))
                return;
            if (ShowGrid)
                s.DrawParallel(TPenStyle::Solid, v);
            if (IsWhole(v)) {
                const std::string text = FormatFixed(std::fabs(v), 0, 3) + (v >= 0 ? "°N" : "°S");
                s.DrawLabel(text, v, LonMax);
            }
        });
        if (ShowGrid) {
            ForEachStep(a - 1, steps.MinorTick, b + 1, true, [&](double v) {
                const int len = IsOnStep(v, steps.MajorTick) ? 2 * tick : tick;
                const TScreenPoint right = World2Screen(v, LonMin);
                const TScreenPoint left = World2Screen(v, LonMax);
                s.DrawLine(right.X, right.Y, TPenStyle::Solid, right.X - len, right.Y);
                s.DrawLine(left.X, left.Y, TPenStyle::Solid, left.X + len, left.Y);
            });
        }
    }
}

} // namespace vrn
