#include "net/Farol.h"

#include <QPainter>

namespace vrn {

namespace {

constexpr int kFrames = 4;
constexpr int kFrameMs = 300;

} // namespace

TFarol::TFarol(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Farol"));
    FTimer.setInterval(kFrameMs);
    connect(&FTimer, &QTimer::timeout, this, [this] {
        FFrame = (FFrame + 1) % kFrames;
        update();
    });
}

void TFarol::Start()
{
    FFrame = 0;
    FTimer.start();
    update();
}

void TFarol::Stop()
{
    FTimer.stop();
    FFrame = 0;
    update();
}

QSize TFarol::sizeHint() const
{
    const int h = fontMetrics().height();
    return {h * 2, h};
}

void TFarol::paintEvent(QPaintEvent *)
{
    // Two arrows, up and down: frame 0 none lit, then up, both, down.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect()).adjusted(2, 2, -2, -2);
    const bool up = FFrame == 1 || FFrame == 2;
    const bool down = FFrame == 2 || FFrame == 3;
    const QColor lit = palette().color(QPalette::Highlight);
    const QColor dark = palette().color(QPalette::Mid);
    const qreal w = r.width() / 2;
    const QPolygonF upArrow({QPointF(r.left() + w / 2, r.top()),
        QPointF(r.left() + w - 2, r.bottom()), QPointF(r.left() + 2, r.bottom())});
    const QPolygonF downArrow({QPointF(r.left() + w * 1.5, r.bottom()),
        QPointF(r.right() - 2, r.top()), QPointF(r.left() + w + 2, r.top())});
    p.setPen(Qt::NoPen);
    p.setBrush(up ? lit : dark);
    p.drawPolygon(upArrow);
    p.setBrush(down ? lit : dark);
    p.drawPolygon(downArrow);
}

} // namespace vrn
