#pragma once

// A chart surface that records what is drawn on it instead of painting, for tests of the scale
// and the chart objects.

#include "charts/ChartSurface.h"

#include <string>
#include <vector>

namespace vrn::test {

struct TDrawnLine
{
    int X1, Y1, X2, Y2;
    TColor Colour;
    int Width;
};

struct TDrawnText
{
    int X, Y;
    std::string Text;
};

class TRecordingSurface : public TChartSurface
{
public:
    TRecordingSurface(int width, int height)
        : FW(width)
        , FH(height)
    { }

    int ClientWidth() const override { return FW; }

    int ClientHeight() const override { return FH; }

    bool IsPrinting() const override { return Printing; }

    void Line(int x1, int y1, int x2, int y2) override
    {
        Lines.push_back({x1, y1, x2, y2, FPenColor, FPenWidth});
    }

    void Polyline(std::span<const TScreenPoint> points) override
    {
        Polylines.emplace_back(points.begin(), points.end());
    }

    void Polygon(std::span<const TScreenPoint> points) override
    {
        Polygons.emplace_back(points.begin(), points.end());
        PolygonFills.push_back(FBrushStyle == TBrushStyle::Solid ? FBrushColor : 0xFFFFFFFFu);
        PolygonPens.push_back(FPenColor);
    }

    void Ellipse(int, int, int, int) override { }

    void FillRect(int, int, int, int, TColor) override { }

    void SetPixel(int, int, TColor) override { }

    void TextOut(int x, int y, std::string_view text, TColor) override
    {
        Texts.push_back({x, y, std::string(text)});
    }

    void DrawBitmap(int, int, const TExBitmap &) override { ++Bitmaps; }

    std::optional<TExBitmap> GrabBitmap(int, int, int, int) override { return std::nullopt; }

    void DrawIcon(std::string_view name, int x, int y) override
    {
        Icons.push_back({x, y, std::string(name)});
    }

    bool Printing = false;
    std::vector<TDrawnLine> Lines;
    std::vector<std::vector<TScreenPoint>> Polylines;
    std::vector<std::vector<TScreenPoint>> Polygons;
    std::vector<TColor> PolygonFills; // 0xFFFFFFFF for no fill
    std::vector<TColor> PolygonPens;
    std::vector<TDrawnText> Texts;
    std::vector<TDrawnText> Icons;
    int Bitmaps = 0;

protected:
    void ApplyPen() override { }

    void ApplyBrush() override { }

private:
    int FW, FH;
};

} // namespace vrn::test
