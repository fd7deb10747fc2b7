#pragma once

// A TChartSurface that draws with QPainter on any paint device: the chart view's back buffer,
// a QImage of the command-line renderer or the tests, a printer page.

#include "charts/ChartSurface.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <functional>

namespace vrn {

// The one conversion of a $00BBGGRR colour into a QColor (red is the low byte).
QColor ToQColor(TColor colour);
TColor FromQColor(const QColor &colour);

// A QImage sharing the pixels of a TExBitmap (no copy); valid while the bitmap lives unchanged.
QImage ImageView(const TExBitmap &bitmap);

class TPainterSurface : public TChartSurface
{
public:
    TPainterSurface();
    ~TPainterSurface() override;

    // Directs drawing to painter, whose device is width x height pixels. When the device is a
    // QImage, pass it as readable so that GrabBitmap can read it back; a printer is not readable.
    void Attach(QPainter *painter, int width, int height, QImage *readable = nullptr,
        bool printing = false);
    void Detach();

    // Sets the surface size without a painter (a view resized before its first paint).
    void SetSize(int width, int height);

    void SetRenderLauncher(TRenderLauncher *launcher) { FLauncher = launcher; }

    void SetInvalidateHandler(std::function<void()> handler) { FInvalidate = std::move(handler); }

    int ClientWidth() const override { return FWidth; }

    int ClientHeight() const override { return FHeight; }

    bool IsPrinting() const override { return FPrinting; }

    TRenderLauncher *RenderLauncher() override { return FLauncher; }

    void Invalidate() override;

    void Line(int x1, int y1, int x2, int y2) override;
    void Polyline(std::span<const TScreenPoint> points) override;
    void Polygon(std::span<const TScreenPoint> points) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void FillRect(int left, int top, int right, int bottom, TColor colour) override;
    void SetPixel(int x, int y, TColor colour) override;
    void TextOut(int x, int y, std::string_view text, TColor colour) override;
    void DrawBitmap(int x, int y, const TExBitmap &bitmap) override;
    std::optional<TExBitmap> GrabBitmap(int x, int y, int width, int height) override;
    void DrawIcon(std::string_view bitmapName, int x, int y) override;

protected:
    void ApplyPen() override;
    void ApplyBrush() override;

private:
    // The points as QPoints in FPoints, which keeps its memory from call to call.
    void SetPoints(std::span<const TScreenPoint> points);

    QPainter *FPainter = nullptr;
    QImage *FReadable = nullptr;
    int FWidth = 0;
    int FHeight = 0;
    bool FPrinting = false;
    TRenderLauncher *FLauncher = nullptr;
    std::function<void()> FInvalidate;
    std::vector<QPoint> FPoints;
};

} // namespace vrn
