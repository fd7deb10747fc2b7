#include "apps/vrn32/ChartViewerIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <cmath>
#include <cstring>

namespace vrn {

namespace {

const QColor kInk(30, 40, 60);
const QColor kSea(40, 90, 160);
const QColor kLand(200, 170, 90);
const QColor kRed(200, 30, 30);
const QColor kGreen(20, 150, 60);

QPixmap Blank(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

void Magnifier(QPainter &p)
{
    p.setPen(QPen(kInk, 2.2));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(QRectF(3, 3, 12, 12));
    p.setPen(QPen(kInk, 3.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(14, 14), QPointF(21, 21));
}

void Arrows(QPainter &p)
{
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 2), QPointF(12, 22));
    p.drawLine(QPointF(2, 12), QPointF(22, 12));
    p.setBrush(kInk);
    const QPolygonF heads[] = {
        QPolygonF({QPointF(12, 1), QPointF(9, 5), QPointF(15, 5)}),
        QPolygonF({QPointF(12, 23), QPointF(9, 19), QPointF(15, 19)}),
        QPolygonF({QPointF(1, 12), QPointF(5, 9), QPointF(5, 15)}),
        QPolygonF({QPointF(23, 12), QPointF(19, 9), QPointF(19, 15)}),
    };
    for (const auto &h : heads)
        p.drawPolygon(h);
}

void Dividers(QPainter &p)
{
    p.setPen(QPen(kInk, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 3), QPointF(5, 21));
    p.drawLine(QPointF(12, 3), QPointF(19, 21));
    p.setBrush(kInk);
    p.drawEllipse(QPointF(12, 4), 2.5, 2.5);
    p.setPen(QPen(kRed, 1.5, Qt::DashLine));
    p.drawLine(QPointF(5, 21), QPointF(19, 21));
}

void Legs(QPainter &p, bool dotted, const QColor &colour)
{
    const QPointF pts[] = {QPointF(3, 19), QPointF(9, 9), QPointF(15, 15), QPointF(21, 4)};
    p.setPen(QPen(colour, 2, dotted ? Qt::DotLine : Qt::SolidLine, Qt::RoundCap));
    p.drawPolyline(pts, 4);
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    for (const QPointF &pt : pts)
        p.drawEllipse(pt, 2, 2);
}

void Flag(QPainter &p)
{
    p.setPen(QPen(kInk, 2));
    p.drawLine(QPointF(6, 3), QPointF(6, 22));
    p.setBrush(kRed);
    p.setPen(QPen(kInk, 1));
    p.drawPolygon(QPolygonF({QPointF(7, 3), QPointF(20, 7), QPointF(7, 12)}));
}

void Pointer(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(4, 19), QPointF(8, 15), QPointF(11, 21),
        QPointF(14, 20), QPointF(11, 14), QPointF(16, 14)}));
    p.setPen(kInk);
    QFont f = p.font();
    f.setPixelSize(9);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRectF(13, 1, 11, 11), Qt::AlignCenter, QStringLiteral("A"));
}

void Folder(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(240, 200, 90));
    p.drawPolygon(QPolygonF({QPointF(2, 6), QPointF(9, 6), QPointF(11, 8), QPointF(21, 8),
        QPointF(21, 20), QPointF(2, 20)}));
    p.setBrush(kSea);
    p.drawRect(QRectF(6, 11, 11, 6));
}

void Disk(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(60, 90, 150));
    p.drawRect(QRectF(3, 3, 18, 18));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 12, 7));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(7, 14, 10, 7));
}

void Picture(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kSea);
    p.drawRect(QRectF(2, 4, 20, 16));
    p.setBrush(kLand);
    p.drawPolygon(QPolygonF({QPointF(2, 20), QPointF(2, 13), QPointF(8, 9), QPointF(13, 14),
        QPointF(22, 10), QPointF(22, 20)}));
    p.setPen(QPen(Qt::white, 0.8));
    p.drawLine(QPointF(12, 4), QPointF(12, 20));
    p.drawLine(QPointF(2, 12), QPointF(22, 12));
}

void Printer(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 2, 10, 8));
    p.setBrush(QColor(150, 150, 160));
    p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(7, 14, 10, 8));
}

void Satellite(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(90, 140, 220));
    p.drawRect(QRectF(2, 9, 6, 6));
    p.drawRect(QRectF(16, 9, 6, 6));
    p.setBrush(QColor(220, 220, 220));
    p.drawEllipse(QRectF(8.5, 8.5, 7, 7));
    p.setPen(QPen(kGreen, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(7, 15, 10, 8), 200 * 16, 140 * 16);
    p.drawArc(QRectF(4, 14, 16, 10), 200 * 16, 140 * 16);
}

void Globe(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(QColor(180, 210, 240));
    p.drawEllipse(QRectF(2, 2, 20, 20));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(7, 2, 10, 20));
    p.drawLine(QPointF(2, 12), QPointF(22, 12));
    p.setPen(QPen(kRed, 2));
    QPainterPath arc;
    arc.moveTo(4, 17);
    arc.quadTo(12, 2, 20, 9);
    p.drawPath(arc);
}

void Eye(QPainter &p, bool open)
{
    if (open) {
        p.setPen(QPen(QColor(20, 120, 20), 1));
        p.setBrush(QColor(60, 200, 60));
        p.drawEllipse(QRectF(1, 1, 8, 8));
    } else {
        p.setPen(QPen(QColor(150, 150, 150), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(1.5, 1.5, 7, 7));
    }
}

} // namespace

QPixmap ChartViewerIcon(const char *name)
{
    const auto is = [name](const char *n) { return std::strcmp(name, n) == 0; };
    const bool small =
        is("BVISIVEL") || is("BINVISIVEL") || is("BTRACK") || is("BROUTE") || is("BGPS");
    QPixmap pm = Blank(small ? 10 : 24);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    if (is("ZOOM"))
        Magnifier(p);
    else if (is("DRAG"))
        Arrows(p);
    else if (is("MEASURE"))
        Dividers(p);
    else if (is("ROUTE"))
        Legs(p, false, kRed);
    else if (is("TRACK"))
        Legs(p, true, kRed);
    else if (is("MARK"))
        Flag(p);
    else if (is("CURSOR"))
        Pointer(p);
    else if (is("OPEN"))
        Folder(p);
    else if (is("SAVE"))
        Disk(p);
    else if (is("RASTER"))
        Picture(p);
    else if (is("PRINT"))
        Printer(p);
    else if (is("GPS"))
        Satellite(p);
    else if (is("LEGS"))
        Globe(p);
    else if (is("BVISIVEL") || is("BINVISIVEL"))
        Eye(p, is("BVISIVEL"));
    else if (is("BROUTE") || is("BTRACK") || is("BGPS")) {
        p.setPen(QPen(is("BGPS") ? kGreen : kRed, 1.5, is("BROUTE") ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(QPointF(1, 8), QPointF(5, 2));
        p.drawLine(QPointF(5, 2), QPointF(9, 8));
    }
    return pm;
}

QPixmap ChartViewerBusyFrame(int frame)
{
    QPixmap pm = Blank(20);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < 4; ++i) {
        const double a = (i * 90 + 45) * M_PI / 180;
        p.setPen(Qt::NoPen);
        p.setBrush(i == (frame % 4) ? kRed : QColor(170, 170, 170));
        p.drawEllipse(QPointF(10 + 6 * std::cos(a), 10 - 6 * std::sin(a)), 2.8, 2.8);
    }
    return pm;
}

} // namespace vrn
