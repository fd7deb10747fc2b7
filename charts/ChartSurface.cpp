#include "charts/ChartSurface.h"

#include <cmath>

namespace vrn {

namespace {

// Clipped coordinates lie within the margin of the surface, so they fit an int.
TScreenPoint Rounded(const TScreenPointF &p)
{
    return {static_cast<int>(std::lround(p.X)), static_cast<int>(std::lround(p.Y))};
}

} // namespace

TChartSurface::TChartSurface()
    : Escala(this)
{ }

TChartSurface::~TChartSurface() = default;

void TChartSurface::SetPen(TColor colour, int width, TPenStyle style)
{
    FPenColor = colour;
    FPenWidth = width;
    FPenStyle = style;
    ApplyPen();
}

void TChartSurface::SetBrush(TColor colour, TBrushStyle style)
{
    FBrushColor = colour;
    FBrushStyle = style;
    ApplyBrush();
}

void TChartSurface::MoveTo(int x, int y)
{
    FPenPos = {x, y};
}

void TChartSurface::LineTo(int x, int y)
{
    Line(FPenPos.X, FPenPos.Y, x, y);
    FPenPos = {x, y};
}

void TChartSurface::DrawLine(int x1, int y1, TPenStyle style, int x2, int y2)
{
    if (style != FPenStyle)
        SetPen(FPenColor, FPenWidth, style);
    Line(x1, y1, x2, y2);
}

void TChartSurface::DrawText(int x, int y, std::string_view text)
{
    TextOut(x, y, text, IsPrinting() ? kClBlack : GridColor);
}

void TChartSurface::DrawCircle(int x, int y, int r)
{
    Ellipse(x - r, y - r, x + r + 1, y + r + 1);
}

void TChartSurface::DrawFrame()
{
    const int w = ClientWidth();
    const int h = ClientHeight();
    const TScreenPoint frame[] = {{0, 0}, {w - 1, 0}, {w - 1, h - 1}, {0, h - 1}, {0, 0}};
    Polyline(frame);
}

void TChartSurface::ClearBackground()
{
    FillRect(0, 0, ClientWidth(), ClientHeight(), SeaColor);
}

void TChartSurface::DrawGrid()
{
    SetPen(IsPrinting() ? kClBlack : GridColor, FPenWidth, FPenStyle);
    Escala.DrawGrid();
}

void TChartSurface::DrawMeridian(TPenStyle style, double lonDeg)
{
    const TScreenPoint a = World2Screen(Escala.LatMax, lonDeg);
    const TScreenPoint b = World2Screen(Escala.LatMin, lonDeg);
    DrawLine(a.X, a.Y, style, b.X, b.Y);
}

void TChartSurface::DrawParallel(TPenStyle style, double latDeg)
{
    const TScreenPoint a = World2Screen(latDeg, Escala.LonMax);
    const TScreenPoint b = World2Screen(latDeg, Escala.LonMin);
    DrawLine(a.X, a.Y, style, b.X, b.Y);
}

void TChartSurface::DrawLabel(std::string_view text, double latDeg, double lonDeg)
{
    const TScreenPoint p = World2Screen(latDeg, lonDeg);
    DrawText(p.X + 2, p.Y + 2, text);
}

void TChartSurface::DrawLineWorld(
    TPenStyle style, double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg)
{
    TScreenPointF a = Escala.World2ScreenF(lat1Deg, lon1Deg);
    TScreenPointF b = Escala.World2ScreenF(lat2Deg, lon2Deg);
    if (!ClipSegment(a, b, ClipRectWithMargin()))
        return;
    const TScreenPoint p = Rounded(a);
    const TScreenPoint q = Rounded(b);
    DrawLine(p.X, p.Y, style, q.X, q.Y);
}

void TChartSurface::DrawPositionMark(double latDeg, double lonDeg)
{
    const TScreenPoint p = World2Screen(latDeg, lonDeg);
    DrawCircle(p.X, p.Y, 4);
    SetPixel(p.X, p.Y, GridColor);
}

TClipRect TChartSurface::ClipRectWithMargin() const
{
    constexpr double m = 64;
    return {-m, -m, ClientWidth() + m, ClientHeight() + m};
}

void TChartSurface::PolylineClipped(std::span<const TScreenPointF> points)
{
    const TClipRect r = ClipRectWithMargin();
    FScratch.clear();
    auto flush = [&] {
        if (FScratch.size() >= 2)
            Polyline(FScratch);
        FScratch.clear();
    };
    for (std::size_t i = 1; i < points.size(); ++i) {
        TScreenPointF a = points[i - 1];
        TScreenPointF b = points[i];
        if (!ClipSegment(a, b, r)) {
            flush();
            continue;
        }
        // A segment that starts where the previous one ended inside continues the same run.
        const bool startUnclipped = a.X == points[i - 1].X && a.Y == points[i - 1].Y;
        if (FScratch.empty() || !startUnclipped) {
            flush();
            FScratch.push_back(Rounded(a));
        }
        FScratch.push_back(Rounded(b));
        if (b.X != points[i].X || b.Y != points[i].Y)
            flush();
    }
    flush();
}

void TChartSurface::PolygonClipped(std::span<const TScreenPointF> points)
{
    ClipPolygon(points, ClipRectWithMargin(), FScratchF);
    if (FScratchF.size() < 2)
        return;
    FScratch.clear();
    FScratch.reserve(FScratchF.size());
    for (const auto &p : FScratchF) {
        const TScreenPoint q = Rounded(p);
        if (FScratch.empty() || !(FScratch.back() == q))
            FScratch.push_back(q);
    }
    Polygon(FScratch);
}

namespace {

template <class Inside, class Cross>
void ClipAgainst(const std::vector<TScreenPointF> &in, std::vector<TScreenPointF> &out,
    Inside inside, Cross cross)
{
    out.clear();
    if (in.empty())
        return;
    TScreenPointF prev = in.back();
    bool prevIn = inside(prev);
    for (const auto &cur : in) {
        const bool curIn = inside(cur);
        if (curIn != prevIn)
            out.push_back(cross(prev, cur));
        if (curIn)
            out.push_back(cur);
        prev = cur;
        prevIn = curIn;
    }
}

} // namespace

void ClipPolygon(
    std::span<const TScreenPointF> in, const TClipRect &r, std::vector<TScreenPointF> &out)
{
    // Fast path: a polygon wholly inside needs no work, one wholly outside on one side is empty.
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (const auto &p : in) {
        minX = std::fmin(minX, p.X);
        maxX = std::fmax(maxX, p.X);
        minY = std::fmin(minY, p.Y);
        maxY = std::fmax(maxY, p.Y);
    }
    out.clear();
    if (in.empty() || maxX < r.X0 || minX > r.X1 || maxY < r.Y0 || minY > r.Y1)
        return;
    if (minX >= r.X0 && maxX <= r.X1 && minY >= r.Y0 && maxY <= r.Y1) {
        out.assign(in.begin(), in.end());
        return;
    }
    std::vector<TScreenPointF> a(in.begin(), in.end());
    auto atX = [](double x) {
        return [x](const TScreenPointF &p, const TScreenPointF &q) {
            const double t = (x - p.X) / (q.X - p.X);
            return TScreenPointF {x, p.Y + t * (q.Y - p.Y)};
        };
    };
    auto atY = [](double y) {
        return [y](const TScreenPointF &p, const TScreenPointF &q) {
            const double t = (y - p.Y) / (q.Y - p.Y);
            return TScreenPointF {p.X + t * (q.X - p.X), y};
        };
    };
    std::vector<TScreenPointF> b;
    ClipAgainst(
        a, b, [&](const TScreenPointF &p) { return p.X >= r.X0; }, atX(r.X0));
    ClipAgainst(
        b, a, [&](const TScreenPointF &p) { return p.X <= r.X1; }, atX(r.X1));
    ClipAgainst(
        a, b, [&](const TScreenPointF &p) { return p.Y >= r.Y0; }, atY(r.Y0));
    ClipAgainst(
        b, out, [&](const TScreenPointF &p) { return p.Y <= r.Y1; }, atY(r.Y1));
}

bool ClipSegment(TScreenPointF &a, TScreenPointF &b, const TClipRect &r)
{
    if (!std::isfinite(a.X) || !std::isfinite(a.Y) || !std::isfinite(b.X) || !std::isfinite(b.Y))
        return false;
    const double dx = b.X - a.X;
    const double dy = b.Y - a.Y;
    double t0 = 0, t1 = 1;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {a.X - r.X0, r.X1 - a.X, a.Y - r.Y0, r.Y1 - a.Y};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) {
            if (t > t1)
                return false;
            if (t > t0)
                t0 = t;
        } else {
            if (t < t0)
                return false;
            if (t < t1)
                t1 = t;
        }
    }
    const TScreenPointF a0 = a;
    if (t0 > 0)
        a = {a0.X + t0 * dx, a0.Y + t0 * dy};
    if (t1 < 1)
        b = {a0.X + t1 * dx, a0.Y + t1 * dy};
    return true;
}

} // namespace vrn
