#pragma once

// What a chart view supplies to its scale and to the chart objects: the surface size, whether it
// is printing, its colours and the drawing primitives. The chart view control, the command-line
// renderer and the tests implement it (on a QPainter in the drawing library); the objects and
// the scale never see the window system.

#include "charts/ChartColor.h"
#include "charts/EXBitmap.h"
#include "charts/EscalaCarta.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TRenderLauncher;

// A clipping rectangle in surface pixels: [X0, X1] x [Y0, Y1].
struct TClipRect
{
    double X0, Y0, X1, Y1;
};

enum class TPenStyle
{
    Solid,
    Dot,
    Dash, // a line to be doubted: the suspect LOP of a fix
};

enum class TBrushStyle
{
    Solid,
    Clear,
};

class TChartSurface
{
public:
    TChartSurface();
    virtual ~TChartSurface();
    TChartSurface(const TChartSurface &) = delete;
    TChartSurface &operator=(const TChartSurface &) = delete;

    TEscalaCarta Escala;
    TColor SeaColor = kClNavy;
    TColor GridColor = kClWhite;
    TColor DefaultLandColor = kClOlive;
    TColor DefaultShoreColor = kClYellow;

    // Size of the drawing surface in device pixels (the control's client area or the page).
    virtual int ClientWidth() const = 0;
    virtual int ClientHeight() const = 0;

    virtual bool IsPrinting() const { return false; }

    // Background renderer of raster chart images; none renders them at once (printing, scripts).
    virtual TRenderLauncher *RenderLauncher() { return nullptr; }

    // Asks for a repaint of the whole surface (a finished background rendering).
    virtual void Invalidate() { }

    // Pen and brush; lines and outlines use the pen, fills the brush.
    void SetPen(TColor colour, int width = 1, TPenStyle style = TPenStyle::Solid);
    void SetBrush(TColor colour, TBrushStyle style = TBrushStyle::Solid);

    TColor PenColor() const { return FPenColor; }

    int PenWidth() const { return FPenWidth; }

    // Primitives, in device pixels.
    virtual void MoveTo(int x, int y);
    virtual void LineTo(int x, int y);
    virtual void Line(int x1, int y1, int x2, int y2) = 0;
    virtual void Polyline(std::span<const TScreenPoint> points) = 0;
    virtual void Polygon(std::span<const TScreenPoint> points) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void FillRect(int left, int top, int right, int bottom, TColor colour) = 0;
    virtual void SetPixel(int x, int y, TColor colour) = 0;
    // Text (UTF-8) with its top-left at (x, y), clear background.
    virtual void TextOut(int x, int y, std::string_view text, TColor colour) = 0;
    virtual void DrawBitmap(int x, int y, const TExBitmap &bitmap) = 0;
    // The surface pixels of a rectangle, or none where the surface cannot be read (a printer).
    virtual std::optional<TExBitmap> GrabBitmap(int x, int y, int width, int height) = 0;
    // A marker icon of the bitmap cache centred on (x, y); olive is transparent on screen.
    virtual void DrawIcon(std::string_view bitmapName, int x, int y) = 0;

    // Helpers of the chart view built on the primitives.
    TScreenPoint World2Screen(double latDeg, double lonDeg) const
    {
        return Escala.World2Screen(latDeg, lonDeg);
    }

    void Screen2World(int x, int y, double &latDeg, double &lonDeg) const
    {
        Escala.Screen2World(x, y, latDeg, lonDeg);
    }

    void DrawLine(int x1, int y1, TPenStyle style, int x2, int y2);
    void DrawText(int x, int y, std::string_view text); // grid colour, black when printing
    void DrawCircle(int x, int y, int r);
    void DrawFrame();
    void ClearBackground();
    void DrawGrid();
    void DrawMeridian(TPenStyle style, double lonDeg);
    void DrawParallel(TPenStyle style, double latDeg);
    void DrawLabel(std::string_view text, double latDeg, double lonDeg);
    void DrawLineWorld(
        TPenStyle style, double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);
    void DrawPositionMark(double latDeg, double lonDeg);

    // Lines and filled shapes in unrounded surface coordinates, clipped to the surface plus a
    // margin so that points far outside never bend a segment or overflow a device coordinate.
    void PolylineClipped(std::span<const TScreenPointF> points);
    void PolygonClipped(std::span<const TScreenPointF> points);

protected:
    // Called when the pen or brush changes.
    virtual void ApplyPen() = 0;
    virtual void ApplyBrush() = 0;

    TColor FPenColor = kClBlack;
    int FPenWidth = 1;
    TPenStyle FPenStyle = TPenStyle::Solid;
    TColor FBrushColor = kClWhite;
    TBrushStyle FBrushStyle = TBrushStyle::Solid;
    TScreenPoint FPenPos;

private:
    // The surface plus a margin wider than any pen, so that clipped edges are never seen.
    TClipRect ClipRectWithMargin() const;

    std::vector<TScreenPoint> FScratch;
    std::vector<TScreenPointF> FScratchF;
};

// Clipping used by the helpers above; exposed for tests.
// Sutherland-Hodgman: the polygon cut to the rectangle (edges along the border where it left it).
void ClipPolygon(
    std::span<const TScreenPointF> in, const TClipRect &r, std::vector<TScreenPointF> &out);
// Liang-Barsky: the part of a segment inside the rectangle, or false when none is.
bool ClipSegment(TScreenPointF &a, TScreenPointF &b, const TClipRect &r);

} // namespace vrn
