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

TSextantErrorPlot::TLayout TSextantErrorPlot::Layout() const
{
    TLayout l;
    for (double v : FValues)
        if (std::isfinite(v)) {
            l.Lo = std::min(l.Lo, std::floor(v));
            l.Hi = std::max(l.Hi, std::ceil(v));
        }
    const QFontMetrics fm(font());
    const QString hiText = QString::number(l.Hi, 'f', 1);
    const QString loText = QString::number(l.Lo, 'f', 1);
    const int n = static_cast<int>(FValues.size());
    const int lastX = FFirstX + std::max(0, n - 1);
    const QString lastXText = QString::number(lastX / 30 * 30);
    const int left = std::max(fm.horizontalAdvance(hiText), fm.horizontalAdvance(loText)) + 8;
    const int right = fm.horizontalAdvance(lastXText) / 2 + 4;
    l.Plot = rect().adjusted(left, fm.height() / 2 + 2, -right, -(fm.height() + 4));

    const double span = std::max(1, n - 1);
    for (int x = (FFirstX + 29) / 30 * 30; x <= lastX; x += 30) {
        const double sx = l.Plot.left() + (x - FFirstX) / span * l.Plot.width();
        const QString text = QString::number(x);
        const double w = fm.horizontalAdvance(text) + 2;
        l.Labels.push_back({QRectF(sx - w / 2, l.Plot.bottom() + 2, w, fm.height()), text});
    }
    const double w = left - 3;
    l.Labels.push_back({QRectF(0, l.Plot.top() - fm.height() / 2.0, w, fm.height()), hiText});
    l.Labels.push_back({QRectF(0, l.Plot.bottom() - fm.height() / 2.0, w, fm.height()), loText});
    return l;
}

void TSextantErrorPlot::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(0xC0, 0xC0, 0xC0));
    const TLayout l = Layout();
    const QRect plot = l.Plot;
    p.fillRect(plot, Qt::white);

    p.setPen(QColor(0xE0, 0xE0, 0xE0));
    QFont big = font();
    big.setPointSizeF(font().pointSizeF() * 1.6);
    big.setBold(true);
    p.setFont(big);
    p.drawText(plot, Qt::AlignCenter, FBackgroundText);
    p.setFont(font());

    const int n = static_cast<int>(FValues.size());
    const auto xOf = [&](double x) {
        const double span = std::max(1, n - 1);
        return plot.left() + (x - FFirstX) / span * plot.width();
    };
    const auto yOf = [&](double v) {
        return plot.bottom() - (v - l.Lo) / (l.Hi - l.Lo) * plot.height();
    };

    p.setPen(QPen(Qt::black, 0, Qt::DotLine));
    const int lastX = FFirstX + std::max(0, n - 1);
    for (int x = (FFirstX + 29) / 30 * 30; x <= lastX; x += 30) {
        const double sx = xOf(x);
        p.drawLine(QPointF(sx, plot.top()), QPointF(sx, plot.bottom()));
    }
    p.drawLine(QPointF(plot.left(), yOf(0)), QPointF(plot.right(), yOf(0)));
    const std::size_t yLabels = 2;
    for (std::size_t i = 0; i < l.Labels.size(); ++i) {
        const bool axisY = i + yLabels >= l.Labels.size();
        p.drawText(l.Labels[i].Rect, (axisY ? Qt::AlignRight : Qt::AlignHCenter) | Qt::AlignVCenter,
            l.Labels[i].Text);
    }

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
