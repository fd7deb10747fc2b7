#include "apps/kartograv/ColorPalette.h"

#include "charts/ChartDialogs.h"
#include "charts/PainterSurface.h"

#include <QMouseEvent>
#include <QPainter>

namespace vrn {
namespace {

constexpr int kCell = 22;

} // namespace

TColorPalette::TColorPalette(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("ColorGrid"));
    setToolTip(QStringLiteral("Select foreground and background color for polygon"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

TColor TColorPalette::ForegroundColor() const
{
    return kStandardColors[static_cast<std::size_t>(FForeground)];
}

TColor TColorPalette::BackgroundColor() const
{
    return kStandardColors[static_cast<std::size_t>(FBackground)];
}

QRect TColorPalette::CellRect(int index) const
{
    return QRect(1 + index * kCell, 1, kCell - 2, kCell - 2);
}

QSize TColorPalette::sizeHint() const
{
    return QSize(16 * kCell + 2, kCell + 2);
}

QSize TColorPalette::minimumSizeHint() const
{
    return sizeHint();
}

void TColorPalette::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QFont f = p.font();
    f.setPointSizeF(f.pointSizeF() * 0.7);
    f.setBold(true);
    p.setFont(f);
    for (int i = 0; i < 16; ++i) {
        const QRect r = CellRect(i);
        const QColor c = ToQColor(kStandardColors[static_cast<std::size_t>(i)]);
        p.fillRect(r, c);
        p.setPen(QColor(0x80, 0x80, 0x80));
        p.drawRect(r.adjusted(0, 0, -1, -1));
        const QString mark = i == FForeground && i == FBackground ? QStringLiteral("FB")
            : i == FForeground                                    ? QStringLiteral("FG")
            : i == FBackground                                    ? QStringLiteral("BG")
                                                                  : QString();
        if (!mark.isEmpty()) {
            p.setPen(c.lightness() > 128 ? Qt::black : Qt::white);
            p.drawText(r, Qt::AlignCenter, mark);
        }
    }
}

void TColorPalette::mousePressEvent(QMouseEvent *event)
{
    for (int i = 0; i < 16; ++i) {
        if (!CellRect(i).contains(event->position().toPoint()))
            continue;
        if (event->button() == Qt::RightButton)
            FBackground = i;
        else if (event->button() == Qt::LeftButton)
            FForeground = i;
        update();
        return;
    }
}

} // namespace vrn
