#include "apps/vrn32/RouteTablePrint.h"

#include "ui/PrintJob.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QPrinter>

namespace vrn {

namespace {

QString Q(const std::string &s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

QFont RouteTableFont()
{
    QFont font(QStringLiteral("Courier New"), 10);
    font.setStyleHint(QFont::TypeWriter, QFont::PreferDefault);
    font.setFixedPitch(true);
    return font;
}

void PrintRouteTable(QPrinter &printer, const std::vector<TPrintLine> &lines)
{
    TPagePainter page(printer);
    QPainter &p = page.Painter();
    QFont regular = RouteTableFont();
    QFont bold = regular;
    bold.setBold(true);
    // Fonts are sized for the printer's resolution, so that 10 points are 10 points on paper.
    regular = QFont(regular, &printer);
    bold = QFont(bold, &printer);
    const QFontMetricsF metrics(regular, &printer);
    const QFontMetricsF boldMetrics(bold, &printer);
    const QRectF area = page.PageRect();
    const double lineHeight = metrics.lineSpacing();
    double y = area.top();
    for (const TPrintLine &line : lines) {
        if (y + lineHeight > area.bottom() && y > area.top()) {
            page.NewSheet();
            y = area.top();
        }
        double x = area.left();
        const double baseline = y + metrics.ascent();
        if (!line.Bold.empty()) {
            p.setFont(bold);
            const QString text = Q(line.Bold);
            p.drawText(QPointF(x, baseline), text);
            x += boldMetrics.horizontalAdvance(text);
        }
        if (!line.Text.empty()) {
            p.setFont(regular);
            p.drawText(QPointF(x, baseline), Q(line.Text));
        }
        y += lineHeight;
    }
    page.Finish();
}

} // namespace vrn
