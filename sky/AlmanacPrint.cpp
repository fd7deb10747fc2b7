#include "sky/AlmanacPrint.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPrinter>

namespace vrn {
namespace {

const QString kIndent = QStringLiteral("     ");

QFont AlmanacFont(int pointSize)
{
    QFont font(QStringLiteral("Courier New"), pointSize);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

// Writes lines top to bottom like a line printer, starting a new sheet when the next line would
// not fit. Every failure aborts the whole job.
class TTextPrinter
{
public:
    explicit TTextPrinter(QPrinter &printer)
        : FPrinter(printer)
    {
        if (!FPainter.begin(&FPrinter))
            throw EPrintError("Cannot open the printer" + Target());
        FPageHeight = FPrinter.pageLayout().paintRectPixels(FPrinter.resolution()).height();
    }

    ~TTextPrinter()
    {
        if (FPainter.isActive()) {
            FPrinter.abort();
            FPainter.end();
        }
    }

    TTextPrinter(const TTextPrinter &) = delete;
    TTextPrinter &operator=(const TTextPrinter &) = delete;

    void SetFont(const QFont &font)
    {
        // Point sizes are resolved against the printer's resolution, not the screen's.
        FPainter.setFont(QFont(font, &FPrinter));
        const QFontMetricsF metrics(FPainter.font(), &FPrinter);
        FLineHeight = metrics.lineSpacing();
        FAscent = metrics.ascent();
    }

    void WriteLine(const QString &text)
    {
        if (FY > 0 && FY + FLineHeight > FPageHeight)
            NewSheet();
        if (!text.isEmpty())
            FPainter.drawText(QPointF(0, FY + FAscent), text);
        FY += FLineHeight;
    }

    void NewSheet()
    {
        if (!FPrinter.newPage())
            throw EPrintError("Cannot start a new sheet" + Target());
        FY = 0;
    }

    void Finish()
    {
        if (!FPainter.end())
            throw EPrintError("Printing failed" + Target());
        if (FPrinter.printerState() == QPrinter::Error)
            throw EPrintError("Printing failed" + Target());
    }

private:
    QString TargetText() const
    {
        return FPrinter.outputFormat() == QPrinter::PdfFormat ? FPrinter.outputFileName()
                                                              : FPrinter.printerName();
    }

    std::string Target() const
    {
        const QString t = TargetText();
        return t.isEmpty() ? std::string() : ": " + t.toStdString();
    }

    QPrinter &FPrinter;
    QPainter FPainter;
    double FPageHeight = 0;
    double FLineHeight = 0;
    double FAscent = 0;
    double FY = 0;
};

} // namespace

QString AlmanacFooterLine()
{
    return kIndent + QStringLiteral("Varunel Light - ") + QString::fromLatin1(kProductWebAddress);
}

QFont DefaultAlmanacPrintFont()
{
    return AlmanacFont(7);
}

QFont DefaultAlmanacScreenFont()
{
    return AlmanacFont(8);
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
