#include "ui/VarunelPicture.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <numbers>

namespace vrn {
namespace {

const QColor kNavy(0x1b, 0x2f, 0x55);
const QColor kSea(0xdc, 0xe8, 0xf4);
const QColor kGold(0xc8, 0x96, 0x2a);

// Point at `radius` in direction `bearingDeg`, clockwise from north (screen y grows downwards).
QPointF Polar(const QPointF &centre, double radius, double bearingDeg)
{
    const double a = bearingDeg * std::numbers::pi / 180.0;
    return {centre.x() + radius * std::sin(a), centre.y() - radius * std::cos(a)};
}

// One point of the rose: a kite split along its axis into a dark and a light half, so that the
// rose reads as relief.
void PaintPoint(QPainter &painter, const QPointF &c, double length, double halfWidth,
    double bearingDeg, const QColor &dark, const QColor &light)
{
    const QPointF tip = Polar(c, length, bearingDeg);
    const QPointF left = Polar(c, halfWidth, bearingDeg - 45);
    const QPointF right = Polar(c, halfWidth, bearingDeg + 45);
    painter.setBrush(dark);
    painter.drawPolygon(QPolygonF {c, left, tip});
    painter.setBrush(light);
    painter.drawPolygon(QPolygonF {c, tip, right});
}

} // namespace

void PaintCompassRose(QPainter &painter, const QRectF &bounds)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const double size = std::min(bounds.width(), bounds.height());
    const QPointF c = bounds.center();
    const double r = size / 2 - 1;

    painter.setPen(QPen(kNavy, std::max(1.0, size / 80)));
    painter.setBrush(kSea);
    painter.drawEllipse(c, r, r);

    // Graduation every 10 degrees, longer every 30, on the outer band; the cardinal letters sit
    // on the band inside it.
    const double ringOuter = r * 0.97;
    for (int deg = 0; deg < 360; deg += 10) {
        const double inner = deg % 30 == 0 ? r * 0.86 : r * 0.91;
        painter.drawLine(Polar(c, inner, deg), Polar(c, ringOuter, deg));
    }
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, r * 0.70, r * 0.70);

    painter.setPen(QPen(kNavy, std::max(0.5, size / 200)));
    const double cardinal = r * 0.68;
    const double intercardinal = r * 0.46;
    for (int deg = 45; deg < 360; deg += 90) {
        PaintPoint(painter, c, intercardinal, r * 0.12, deg, kNavy, kGold);
    }
    for (int deg = 0; deg < 360; deg += 90) {
        PaintPoint(painter, c, cardinal, r * 0.15, deg, kNavy, Qt::white);
    }
    painter.setBrush(kGold);
    painter.drawEllipse(c, r * 0.05, r * 0.05);

    if (size >= 48) {
        QFont font = painter.font();
        font.setBold(true);
        font.setPixelSize(std::max(6, static_cast<int>(size * 0.085)));
        painter.setFont(font);
        painter.setPen(kNavy);
        const char *letters[] = {"N", "E", "S", "W"};
        for (int i = 0; i < 4; ++i) {
            const QPointF at = Polar(c, r * 0.785, i * 90.0);
            const QRectF box(at.x() - size * 0.06, at.y() - size * 0.06, size * 0.12, size * 0.12);
            painter.drawText(box, Qt::AlignCenter, QString::fromLatin1(letters[i]));
        }
    }
    painter.restore();
}

QPixmap CompassRosePixmap(int sizePx)
{
    QPixmap pixmap(sizePx, sizePx);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    PaintCompassRose(painter, QRectF(0, 0, sizePx, sizePx));
    return pixmap;
}

TLauncherPicture::TLauncherPicture(QWidget *parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize TLauncherPicture::sizeHint() const
{
    return {160, 160};
}

void TLauncherPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    PaintCompassRose(painter, QRectF(rect()).adjusted(2, 2, -2, -2));
}

} // namespace vrn
