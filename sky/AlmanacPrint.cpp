#include "sky/AlmanacPrint.h"

#include "ui/Fonts.h"
#include "ui/PrintJob.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace vrn {
namespace {

const QString kIndent = QStringLiteral("     ");

// Writes lines top to bottom like a line printer, starting a new sheet when the next line would
// not fit. Every failure aborts the whole job.
class TTextPrinter
{
public:
    explicit TTextPrinter(QPrinter &printer)
        : FOut(printer)
        , FPageHeight(FOut.PageRect().height())
    { }

    void SetFont(const QFont &font)
    {
        // Point sizes are resolved against the printer's resolution, not the screen's.
        FOut.Painter().setFont(QFont(font, &FOut.Printer()));
        const QFontMetricsF metrics(FOut.Painter().font(), &FOut.Printer());
        FLineHeight = metrics.lineSpacing();
        FAscent = metrics.ascent();
    }

    void WriteLine(const QString &text)
    {
        if (FY > 0 && FY + FLineHeight > FPageHeight)
            NewSheet();
        if (!text.isEmpty())
            FOut.Painter().drawText(QPointF(0, FY + FAscent), text);
        FY += FLineHeight;
    }

    void NewSheet()
    {
        FOut.NewSheet();
        FY = 0;
    }

    void Finish() { FOut.Finish(); }

private:
    TPagePainter FOut;
    double FPageHeight = 0;
    double FLineHeight = 0;
    double FAscent = 0;
    double FY = 0;
};

} // namespace

QString AlmanacFooterLine()
{
    return kIndent + QStringLiteral("Varunel - ") + QString::fromLatin1(kProductWebAddress);
}

QFont DefaultAlmanacPrintFont()
{
    return MonospacedFont(7, {QStringLiteral("Courier New")});
}

QFont DefaultAlmanacScreenFont()
{
    return MonospacedFont(8, {QStringLiteral("Courier New")});
}

void PrintAlmanacPages(QPrinter &printer, const QList<QStringList> &pages, const QFont &font)
{
    QFont bold = font;
    bold.setBold(true);
    TTextPrinter out(printer);
    for (qsizetype p = 0; p < pages.size(); ++p) {
        if (p > 0)
            out.NewSheet();
        out.SetFont(font);
        out.WriteLine(QString());
        out.WriteLine(QString());
        for (const QString &line : pages[p])
            out.WriteLine(kIndent + line);
        out.SetFont(bold);
        out.WriteLine(QString());
        out.WriteLine(AlmanacFooterLine());
    }
    out.Finish();
}

} // namespace vrn
