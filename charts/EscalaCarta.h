#pragma once

// The chart scale: the visible window of the Earth and the conversion between positions and the
// pixels of the drawing surface. The view is a plate carree window whose aspect is corrected at
// the centre latitude: one degree of longitude spans XScale pixels everywhere, one degree of
// latitude XScale/cos(LatC). Longitude is west positive, so the left edge is LonMax.

namespace vrn {

class TChartSurface;

// The nearest pixel of a surface coordinate, halves to even; saturates far outside any surface
// instead of overflowing an int, and a NaN (a view without a scale) gives 0.
int SaturatedPixel(double v);

struct TScreenPoint
{
    int X = 0;
    int Y = 0;

    bool operator==(const TScreenPoint &) const = default;
};

struct TScreenPointF
{
    double X = 0;
    double Y = 0;
};

struct TWorldOffset
{
    double DLat = 0;
    double DLon = 0;
};

class TEscalaCarta
{
public:
    // The owner supplies the surface size and the drawing primitives of the grid; not owned.
    explicit TEscalaCarta(TChartSurface *owner = nullptr);
    virtual ~TEscalaCarta() = default;

    int CellPixels = 30; // 30 on screen, 120 on a printer page; only ratios matter
    double XScale = 0; // pixels per degree of longitude
    double YScale = 0; // pixels per degree of latitude
    double WidthCells = 0;
    double HeightCells = 0;
    bool ShowGrid = true; // grid lines and edge ticks; labels are drawn regardless
    double LatMin = 0; // bottom edge
    double LonMin = 0; // right edge
    double LatMax = 0; // top edge
    double LonMax = 0; // left edge
    double LatC = 0;
    double LonC = 0;
    double LonSpan = 0; // width of the view in degrees of longitude (the zoom)
    double LatSpan = 0;

    TChartSurface *Owner() const { return FOwner; }

    void SetOwner(TChartSurface *owner) { FOwner = owner; }

    // Recompute every field for the owner's client size. A surface without positive width and
    // height, or a span that is not a positive finite number, keeps the previous scale.
    virtual void SetupForScreen();
    // The same for a page of widthPx x heightPx device pixels, with 120-pixel cells.
    virtual void SetupForPrinter(int widthPx, int heightPx);
    virtual void SetView(double latCDeg, double lonCDeg, double lonSpanDeg);
    // Nearest pixel, halves to even; saturates far outside instead of overflowing an int.
    virtual TScreenPoint World2Screen(double latDeg, double lonDeg) const;
    TScreenPointF World2ScreenF(double latDeg, double lonDeg) const;
    virtual void Screen2World(double x, double y, double &latDeg, double &lonDeg) const;
    // Change LonSpan only (the caller recentres with SetView): by 1.5 while above 0.05 / below 350.
    virtual bool ZoomIn();
    virtual bool ZoomOut();
    virtual bool IsInside(double latDeg, double lonDeg) const;
    virtual void DrawGrid();

    TWorldOffset PixelsToDegrees(int dx, int dy) const;
    void Pan(double dLatDeg, double dLonDeg);

    // Whether the scale has been given a usable view and surface.
    bool IsUsable() const { return XScale > 0 && YScale > 0; }

private:
    bool Setup(int widthPx, int heightPx, int cellPixels);

    TChartSurface *FOwner = nullptr;
};

} // namespace vrn
