#include "celestial/SextantErrorPlot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vrn {

TSextantErrorPlot::TSextantErrorPlot(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(200, 90);
}

void TSextantErrorPlot::Clear()
{
    FValues.clear();
    update();
}

void TSextantErrorPlot::SetValues(int firstX, std::vector<double> values)
{
    FFirstX = firstX;
    FValues = std::move(values);
    update();
}

void TSextantErrorPlot::SetBackgroundText(const QString &text)
{
    FBackgroundText = text;
    update();
}

void TSextantErrorPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
    const QFontMetrics fm(font());
    const QRect plot = rect().adjusted(
        fm.horizontalAdvance(QStringLiteral("-0.0")) + 8, 4, -6, -(fm.height() + 4));
    p.fillRect(plot, Qt::white);

    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    QFont big = font();
    big.setPointSizeF(font().pointSizeF() * 1.6);
    big.setBold(true);
    p.setFont(big);
    p.drawText(plot, Qt::AlignCenter, FBackgroundText);
    p.setFont(font());

    const int n = static_cast<int>(FValues.size());
    double lo = -1;
    double hi = 1;
    for (double v : FValues)
        if (std::isfinite(v)) {
            lo = std::min(lo, std::floor(v));
            hi = std::max(hi, std::ceil(v));
        }
    const auto xOf = [&](double x) {
        const double span = std::max(1, n - 1);
        return plot.left() + (x - FFirstX) / span * plot.width();
    };
    const auto yOf = [&](double v) { return plot.bottom() - (v - lo) / (hi - lo) * plot.height(); };

    p.setPen(QPen(Qt::black, 0, Qt::DotLine));
    const int lastX = FFirstX + std::max(0, n - 1);
    for (int x = (FFirstX + 29) / 30 * 30; x <= lastX; x += 30) {
        const double sx = xOf(x);
        p.drawLine(QPointF(sx, plot.top()), QPointF(sx, plot.bottom()));
        p.drawText(QRectF(sx - 20, plot.bottom() + 2, 40, fm.height()), Qt::AlignHCenter,
            QString::number(x));
    }
    p.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
    p.drawText(QRectF(0, plot.top(), plot.left() - 3, fm.height()), Qt::AlignRight | Qt::AlignTop,
        QString::number(hi, 'f', 1));
    p.drawText(QRectF(0, plot.bottom() - fm.height(), plot.left() - 3, fm.height()),
        Qt::AlignRight | Qt::AlignBottom, QString::number(lo, 'f', 1));

    if (n > 1) {
        QPainterPath path;
        for (int i = 0; i < n; ++i) {
            const double v = std::isfinite(FValues[static_cast<std::size_t>(i)])
                ? FValues[static_cast<std::size_t>(i)]
                : 0;
            const QPointF pt(xOf(FFirstX + i), yOf(v));
            if (i == 0)
                path.moveTo(pt);
            else
                path.lineTo(pt);
        }
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(0x00, 0x90, 0x00), 1.5));
        p.drawPath(path);
    }
    p.setPen(Qt::darkGray);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.drawRect(plot.adjusted(0, 0, -1, -1));
}

} // namespace vrn
