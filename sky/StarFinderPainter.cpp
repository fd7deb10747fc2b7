#include "sky/StarFinderPainter.h"

#include "sky/MiniBoat.h"
#include "sky/StarFinderIcons.h"
#include "sky/VisibleSky.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vrn {
namespace {

QPoint ToQt(const TSkyChartPoint &p)
{
    return {p.X, p.Y};
}

QFont Scaled(QFont font, double factor)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * factor);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * factor))));
    return font;
}

int Px(double pixels, const TStarFinderScale &scale)
{
    return std::max(1, int(std::lround(pixels * scale.Pixel)));
}

QPen PenOf(const QColor &colour, const TStarFinderScale &scale, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(colour, scale.Pixel <= 1 ? 0 : scale.Pixel, style);
    return pen;
}

void DrawCentredText(QPainter &p, const QPoint &centre, const QString &text)
{
    const QFontMetrics m = p.fontMetrics();
    p.drawText(centre.x() - m.horizontalAdvance(text) / 2,
        centre.y() + (m.ascent() - m.descent()) / 2, text);
}

void DrawGrid(QPainter &p, const TSkyProjection &pr, const TStarFinderStyle &style,
    const TStarFinderScale &scale)
{
    p.setPen(PenOf(style.GridColor, scale));
    p.setBrush(Qt::NoBrush);
    if (style.GridAltitudes) {
        for (const int r : {pr.R, pr.R - pr.R / 3, pr.R - 2 * (pr.R / 3)})
            p.drawEllipse(QPoint(pr.Cx, pr.Cy), r, r);
    }
    if (style.GridAzimuths) {
        p.drawLine(pr.Cx - pr.R, pr.Cy, pr.Cx + pr.R, pr.Cy);
        p.drawLine(pr.Cx, pr.Cy - pr.R, pr.Cx, pr.Cy + pr.R);
    }
}

// A letter on the sky's colour, so that the grid line under it does not cross it.
void DrawLetter(QPainter &p, const QPoint &centre, const QString &letter, const QColor &back)
{
    const QFontMetrics m = p.fontMetrics();
    const int w = m.horizontalAdvance(letter) + 2;
    p.fillRect(centre.x() - w / 2, centre.y() - m.ascent() / 2 - 1, w, m.ascent() + 2, back);
    DrawCentredText(p, centre, letter);
}

void DrawCardinals(QPainter &p, const TSkyProjection &pr, const TStarFinderStyle &style,
    const TStarFinderScale &scale)
{
    p.setFont(Scaled(style.LettersFont, scale.Text));
    p.setPen(style.LettersColor);
    const QFontMetrics m = p.fontMetrics();
    const int inset = m.ascent() / 2 + Px(3, scale);
    const int side = m.horizontalAdvance(QLatin1Char('W')) / 2 + Px(3, scale);
    const QColor &back = style.BackColor;
    DrawLetter(p, {pr.Cx, pr.Cy - pr.R + inset}, QStringLiteral("N"), back);
    DrawLetter(p, {pr.Cx, pr.Cy + pr.R - inset}, QStringLiteral("S"), back);
    DrawLetter(p, {pr.Cx - pr.R + side, pr.Cy},
        pr.Overhead ? QStringLiteral("E") : QStringLiteral("W"), back);
    DrawLetter(p, {pr.Cx + pr.R - side, pr.Cy},
        pr.Overhead ? QStringLiteral("W") : QStringLiteral("E"), back);
}

void DrawBoat(QPainter &p, const TSkyProjection &pr, const TStarFinderStyle &style,
    const TStarFinderScale &scale)
{
    const TSkyChartPoint at = pr.Project(0, style.BoatCourse);
    TMiniBoat boat;
    boat.Cx = at.X;
    boat.Cy = at.Y;
    boat.L = 2.0 * 5.0 * pr.R / 90.0; // twice the distance from 0° to 5° of altitude
    boat.Course = pr.Overhead ? -style.BoatCourse : style.BoatCourse;
    boat.ShowCenterAxis = true;
    p.setPen(PenOf(style.BoatColor, scale));
    p.setBrush(Qt::NoBrush);
    boat.Draw(p);
}

} // namespace

TStarFinderStyle DefaultStarFinderStyle()
{
    TStarFinderStyle s;
    s.DrawConstelations = true;
    s.DrawEcliptica = true;
    s.DrawObjectNames = true;
    return s;
}

QColor SkyColorFor(TSkyShade shade)
{
    switch (shade) {
    case TSkyShade::Night:
        return QColor(0, 0, 0);
    case TSkyShade::Twilight:
        return QColor(0, 0, 128);
    case TSkyShade::Day:
        return QColor(0, 0, 255);
    }
    return QColor(0, 0, 0);
}

TStarFinderStyle TStarFinderStyle::ForPrinting() const
{
    TStarFinderStyle s = *this;
    s.BackColor = Qt::white;
    s.Surround = Qt::white;
    s.GridColor = Qt::black;
    s.LettersColor = Qt::black;
    s.LinesColor = Qt::black;
    s.EclipticColor = Qt::black;
    s.ConstNamesColor = Qt::black;
    s.ObjNamesColor = Qt::black;
    s.PlannedColor = Qt::black;
    s.Antialias = false;
    return s;
}

TIconSizes StarFinderIconSizes(const TStarFinderScale &scale)
{
    const TStarFinderIcons &icons = StarFinderIcons();
    TIconSizes sizes = scale.Printer ? icons.PrinterSizes() : icons.ScreenSizes();
    const double f = scale.Printer ? scale.Pixel : scale.Text;
    for (TIconSize &s : sizes) {
        s.Width = int(std::lround(s.Width * f));
        s.Height = int(std::lround(s.Height * f));
    }
    return sizes;
}

void PaintStarFinder(QPainter &p, const TStarFinderScene &scene, const TStarFinderStyle &style,
    const TStarFinderScale &scale)
{
    const TSkyProjection &pr = scene.Projection();
    p.save();
    p.setRenderHint(QPainter::SmoothPixmapTransform, scale.Printer);

    // 1. The sky disk.
    p.setPen(Qt::NoPen);
    p.setBrush(style.BackColor);
    p.drawEllipse(QPoint(pr.Cx, pr.Cy), pr.R, pr.R);

    // 2, 3. Grids and cardinal letters.
    DrawGrid(p, pr, style, scale);
    DrawCardinals(p, pr, style, scale);

    // 4. The ecliptic, dotted.
    if (style.DrawEcliptica && scene.Ecliptic().size() >= 2) {
        p.setPen(PenOf(style.EclipticColor, scale, Qt::DotLine));
        for (const TSkyChartSegment &s : scene.EclipticSegments())
            p.drawLine(ToQt(s.From), ToQt(s.To));
    }

    // 5. Constellation figures: a small square at the first point of each line.
    if (style.DrawConstelations) {
        const int sq = Px(3, scale);
        p.setPen(PenOf(style.LinesColor, scale));
        p.setBrush(Qt::NoBrush);
        for (const TSkyChartSegment &s : scene.FigureSegments()) {
            p.fillRect(s.From.X - sq / 2, s.From.Y - sq / 2, sq, sq, style.LinesColor);
            p.drawLine(ToQt(s.From), ToQt(s.To));
        }
    }

    // 6. Constellation names.
    if (style.DrawConstelationNames) {
        p.setFont(Scaled(style.ConstNamesFont, scale.Text));
        p.setPen(style.ConstNamesColor);
        for (const TNmConstelacao &n : scene.Names()) {
            if (n.Altitude >= 0)
                DrawCentredText(p, {n.X, n.Y}, QString::fromStdString(n.Name));
        }
    }

    // 7. Bodies, the planner's marks and the body names.
    const TStarFinderIcons &icons = StarFinderIcons();
    for (const TAstroStarFinder &b : scene.Bodies()) {
        const QRect r(b.Rect.Left, b.Rect.Top, b.Rect.Width, b.Rect.Height);
        const QImage &icon = scale.Printer ? icons.Printer(b.Icon) : icons.Screen(b.Icon);
        if (!icon.isNull() && !r.isEmpty()) {
            p.drawImage(r, icon);
        } else {
            p.setPen(PenOf(Qt::black, scale));
            p.setBrush(Qt::white);
            const int d = Px(2, scale);
            p.drawEllipse(ToQt(b.Center), d, d);
        }
        if (scene.IsPlanned(b)) {
            const int radius = std::max(r.width(), r.height()) / 2 + Px(4, scale);
            QPen pen(style.PlannedColor, Px(2, scale));
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(ToQt(b.Center), radius, radius);
        }
        if (style.DrawObjectNames) {
            p.setFont(Scaled(style.ObjNamesFont, scale.Text));
            p.setPen(style.ObjNamesColor);
            const QFontMetrics m = p.fontMetrics();
            const QString name = QString::fromStdString(b.Name);
            p.drawText(b.Center.X - m.horizontalAdvance(name) / 2,
                std::max(r.bottom(), b.Center.Y) + 1 + m.ascent(), name);
        }
    }

    // 8. The boat on the horizon, pointing along its course.
    if (style.BoatVisible)
        DrawBoat(p, pr, style, scale);
    p.restore();
}

QImage HalveByAveraging(const QImage &image)
{
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    QImage out(std::max(1, src.width() / 2), std::max(1, src.height() / 2), QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        const auto *r0 =
            reinterpret_cast<const QRgb *>(src.constScanLine(std::min(2 * y, src.height() - 1)));
        const auto *r1 = reinterpret_cast<const QRgb *>(
            src.constScanLine(std::min(2 * y + 1, src.height() - 1)));
        auto *o = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const int x0 = std::min(2 * x, src.width() - 1);
            const int x1 = std::min(2 * x + 1, src.width() - 1);
            const QRgb a = r0[x0], b = r0[x1], c = r1[x0], d = r1[x1];
            o[x] = qRgb((qRed(a) + qRed(b) + qRed(c) + qRed(d) + 2) / 4,
                (qGreen(a) + qGreen(b) + qGreen(c) + qGreen(d) + 2) / 4,
                (qBlue(a) + qBlue(b) + qBlue(c) + qBlue(d) + 2) / 4);
        }
    }
    return out;
}

QImage RenderStarFinder(
    TStarFinderScene &scene, const TStarFinderStyle &style, int width, int height)
{
    width = std::max(1, width);
    height = std::max(1, height);
    const int f = style.Antialias ? 2 : 1;
    TStarFinderScale scale;
    scale.Text = f;
    scene.Layout(
        TSkyProjection::ForSize(width * f, height * f, style.Overhead), StarFinderIconSizes(scale));
    QImage image(width * f, height * f, QImage::Format_RGB32);
    image.fill(style.Surround);
    {
        QPainter p(&image);
        PaintStarFinder(p, scene, style, scale);
    }
    return style.Antialias ? HalveByAveraging(image) : image;
}

void PrintStarFinder(QPainter &painter, const QRect &page, double dpi, TStarFinderScene &scene,
    const TStarFinderStyle &style)
{
    const TStarFinderStyle printStyle = style.ForPrinting();
    TStarFinderScale scale;
    scale.Pixel = std::max(1.0, dpi / 96.0);
    scale.Printer = true;
    TSkyProjection pr = TSkyProjection::ForPage(page.width(), page.height());
    pr.Cx += page.left();
    pr.Cy += page.top();
    pr.Overhead = style.Overhead;
    scene.Layout(pr, StarFinderIconSizes(scale));
    painter.save();
    painter.setClipRect(QRect(pr.Cx - pr.R, pr.Cy - pr.R, 2 * pr.R + 1, 2 * pr.R + 1));
    PaintStarFinder(painter, scene, printStyle, scale);
    painter.restore();
}

} // namespace vrn
