#include "charts/PainterSurface.h"

#include "charts/Dchtbmps.h"

#include <QPen>
#include <QString>
#include <cstring>

namespace vrn {

QColor ToQColor(TColor colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

TColor FromQColor(const QColor &colour)
{
    return MakeColor(colour.red(), colour.green(), colour.blue());
}

QImage ImageView(const TExBitmap &bitmap)
{
    if (bitmap.IsEmpty())
        return {};
    return QImage(bitmap.ScanLine(0), bitmap.Width(), bitmap.Height(),
        static_cast<qsizetype>(bitmap.Stride()), QImage::Format_BGR888);
}

TPainterSurface::TPainterSurface()
{
    AcquireMarkerBitmaps();
}

TPainterSurface::~TPainterSurface()
{
    ReleaseMarkerBitmaps();
}

void TPainterSurface::Attach(
    QPainter *painter, int width, int height, QImage *readable, bool printing)
{
    FPainter = painter;
    FReadable = readable;
    FWidth = width;
    FHeight = height;
    FPrinting = printing;
    if (FPainter) {
        ApplyPen();
        ApplyBrush();
    }
}

void TPainterSurface::Detach()
{
    FPainter = nullptr;
    FReadable = nullptr;
    FPrinting = false;
}

void TPainterSurface::SetSize(int width, int height)
{
    FWidth = width;
    FHeight = height;
}

void TPainterSurface::Invalidate()
{
    if (FInvalidate)
        FInvalidate();
}

void TPainterSurface::ApplyPen()
{
    if (!FPainter)
        return;
    QPen pen(ToQColor(FPenColor));
    pen.setWidth(FPenWidth);
    switch (FPenStyle) {
    case TPenStyle::Dot:
        pen.setStyle(Qt::DotLine);
        break;
    case TPenStyle::Dash:
        pen.setStyle(Qt::DashLine);
        break;
    case TPenStyle::Solid:
        pen.setStyle(Qt::SolidLine);
        break;
    }
    FPainter->setPen(pen);
}

void TPainterSurface::ApplyBrush()
{
    if (!FPainter)
        return;
    FPainter->setBrush(
        FBrushStyle == TBrushStyle::Solid ? QBrush(ToQColor(FBrushColor)) : QBrush(Qt::NoBrush));
}

void TPainterSurface::Line(int x1, int y1, int x2, int y2)
{
    if (FPainter)
        FPainter->drawLine(x1, y1, x2, y2);
}

void TPainterSurface::SetPoints(std::span<const TScreenPoint> points)
{
    FPoints.clear();
    for (const auto &p : points)
        FPoints.emplace_back(p.X, p.Y);
}

void TPainterSurface::Polyline(std::span<const TScreenPoint> points)
{
    if (!FPainter || points.empty())
        return;
    SetPoints(points);
    FPainter->drawPolyline(FPoints.data(), static_cast<int>(FPoints.size()));
}

void TPainterSurface::Polygon(std::span<const TScreenPoint> points)
{
    if (!FPainter || points.empty())
        return;
    SetPoints(points);
    FPainter->drawPolygon(FPoints.data(), static_cast<int>(FPoints.size()));
}

void TPainterSurface::Ellipse(int left, int top, int right, int bottom)
{
    if (FPainter)
        FPainter->drawEllipse(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
}

void TPainterSurface::FillRect(int left, int top, int right, int bottom, TColor colour)
{
    if (FPainter)
        FPainter->fillRect(QRect(left, top, right - left, bottom - top), ToQColor(colour));
}

void TPainterSurface::SetPixel(int x, int y, TColor colour)
{
    if (!FPainter)
        return;
    const QPen saved = FPainter->pen();
    FPainter->setPen(ToQColor(colour));
    FPainter->drawPoint(x, y);
    FPainter->setPen(saved);
}

void TPainterSurface::TextOut(int x, int y, std::string_view text, TColor colour)
{
    if (!FPainter)
        return;
    const QPen saved = FPainter->pen();
    FPainter->setPen(ToQColor(colour));
    const QString s = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    FPainter->drawText(x, y + FPainter->fontMetrics().ascent(), s);
    FPainter->setPen(saved);
}

void TPainterSurface::DrawBitmap(int x, int y, const TExBitmap &bitmap)
{
    if (FPainter && !bitmap.IsEmpty())
        FPainter->drawImage(x, y, ImageView(bitmap));
}

std::optional<TExBitmap> TPainterSurface::GrabBitmap(int x, int y, int width, int height)
{
    if (!FReadable || FPrinting || width <= 0 || height <= 0)
        return std::nullopt;
    // The raster engine paints straight into the image's memory, so it can be read back while
    // the painter is active.
    const QImage part = FReadable->copy(x, y, width, height).convertToFormat(QImage::Format_BGR888);
    TExBitmap out(part.width(), part.height());
    for (int row = 0; row < part.height(); ++row)
        std::memcpy(out.ScanLine(row), part.constScanLine(row), 3 * std::size_t(part.width()));
    return out;
}

void TPainterSurface::DrawIcon(std::string_view bitmapName, int x, int y)
{
    if (!FPainter)
        return;
    const QImage icon = GetMarkerBitmap(bitmapName, !FPrinting);
    if (icon.isNull())
        return;
    FPainter->drawImage(x - icon.width() / 2, y - icon.height() / 2, icon);
}

} // namespace vrn
