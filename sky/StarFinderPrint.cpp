#include "sky/StarFinderPrint.h"

#include "sky/AlmanacPrint.h"
#include "sky/AstroChart.h"
#include "sky/VisibleSky.h"
#include "ui/PrintJob.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QPrinter>
#include <algorithm>

namespace vrn {
namespace {

constexpr const char *kProductName = "Varunel Star Finder";

// Courier New where installed, else the system's fixed-pitch font, at the size asked for.
QFont CourierNew(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Courier New"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    if (!QFontInfo(font).fixedPitch()
        && QFontInfo(font).family() != QStringLiteral("Courier New")) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setPointSize(pointSize);
    }
    font.setBold(bold);
    return font;
}

QString Fit(const QString &cell, int width)
{
    return QString::fromStdString(FitCell(cell.toStdString(), std::size_t(width)));
}

QString RowText(const QStringList &row, std::initializer_list<int> widths)
{
    QString text = QStringLiteral(" ");
    int i = 0;
    for (const int w : widths) {
        text += Fit(i < row.size() ? row[i] : QString(), w);
        ++i;
    }
    return text;
}

// One line after the other, a new sheet when the next one does not fit.
class TLineWriter
{
public:
    TLineWriter(TPagePainter &pages, double left, double top)
        : FPages(pages)
        , FLeft(left)
        , FTop(top)
        , FY(top)
    { }

    void Line(const QString &text, const QFont &font, const QColor &colour = Qt::black)
    {
        QPainter &p = FPages.Painter();
        p.setFont(font);
        const QFontMetricsF m(font, p.device());
        if (FY + m.height() > FPages.PageRect().height()) {
            FPages.NewSheet();
            FY = FTop;
        }
        p.setPen(colour);
        p.drawText(QPointF(FLeft, FY + m.ascent()), text);
        FY += m.height();
    }

private:
    TPagePainter &FPages;
    double FLeft;
    double FTop;
    double FY;
};

} // namespace

void PrintStarFinderList(QPrinter &printer, const TStarFinderListing &listing)
{
    TPagePainter pages(printer);
    const double margin = pages.PageRect().width() / 15;
    TLineWriter out(pages, margin, margin);
    const QFont bold = CourierNew(10, true);
    const QFont regular = CourierNew(10, false);
    const QFont small = CourierNew(8, false);
    out.Line(QString(), bold);
    out.Line(QString(), bold);
    out.Line(listing.ViewLabel, bold);
    out.Line(listing.LatText + QStringLiteral("  ") + listing.LonText + QStringLiteral(" - ")
            + listing.CountLabel,
        bold);
    out.Line(QString(), regular);
    for (const QStringList &row : listing.Rows)
        out.Line(RowText(row, {15, 12, 12}), regular);
    out.Line(QString(40, QLatin1Char('-')), small);
    out.Line(QString::fromLatin1(kProductName), small);
    out.Line(QString::fromLatin1(kProductWebAddress), small);
    pages.Finish();
}

void PrintStarFinderChart(QPrinter &printer, TStarFinder &chart)
{
    TPagePainter pages(printer);
    chart.PrintTo(pages.Painter(), pages.PageRect().toRect(), printer.resolution());
    pages.Finish();
}

void PrintStarFinderChartAndList(
    QPrinter &printer, TStarFinder &chart, const TStarFinderListing &listing)
{
    TPagePainter pages(printer);
    const QRect page = pages.PageRect().toRect();
    chart.PrintTo(pages.Painter(), page, printer.resolution());

    QPainter &p = pages.Painter();
    const int m = page.width() / 15;
    const double x = 2.0 * std::min(page.width() / 2 - m, page.height() / 2 - m) + 1.5 * m;
    double y = m;
    const QFont regular = CourierNew(8, false);
    const QFont bold = CourierNew(8, true);
    const double step = QFontMetricsF(regular, p.device()).height();
    const auto line = [&](const QString &text, const QFont &font, const QColor &colour) {
        p.setFont(font);
        p.setPen(colour);
        p.drawText(QPointF(x, y + QFontMetricsF(font, p.device()).ascent()), text);
        y += step;
    };
    bool header = true;
    for (const QStringList &row : listing.Rows) {
        line(RowText(row, {13, 10, 7, 7}), header ? bold : regular, Qt::black);
        header = false;
    }
    line(QString(40, QLatin1Char('-')), regular, Qt::black);
    const QStringList halves = listing.ViewLabel.split(QLatin1Char('|'));
    for (const QString &half : halves)
        line(half.trimmed(), regular, Qt::black);
    line(QString(), regular, Qt::black);
    QFont arial(QStringLiteral("Arial"), 9);
    arial.setBold(true);
    line(QString::fromLatin1(kProductName), arial, Qt::black);
    QFont link = arial;
    link.setUnderline(true);
    line(QString::fromLatin1(kProductWebAddress), link, Qt::blue);
    pages.Finish();
}

} // namespace vrn
