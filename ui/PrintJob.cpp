#include "ui/PrintJob.h"

#include "engine/VrnError.h"
#include "ui/FileDialogs.h"
#include "ui/MessageBoxes.h"

#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryFile>
#include <cstdio>
#include <memory>

namespace vrn {
namespace {

const QString kNoPrinterQuestion =
    QStringLiteral("No printer is installed. Save the pages as a PDF file instead?");
const QString kNoPrinterNotice = QStringLiteral("No printer is installed.");
const QString kPdfFilter = QStringLiteral("PDF files (*.pdf *.PDF)");

class TRealPrinterDialog : public TPrinterDialogProvider
{
public:
    bool HasPrinter() override { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

    bool ChoosePrinter(QWidget *parent, QPrinter &printer) override
    {
        QPrintDialog dialog(&printer, parent);
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        return dialog.exec() == QDialog::Accepted;
    }
};

TPrinterDialogProvider *gProvider = nullptr;

TPrinterDialogProvider &Provider()
{
    static TRealPrinterDialog real;
    return gProvider ? *gProvider : real;
}

// The folder of the last PDF saved, so that the next one is proposed beside it.
QString &LastPdfFolder()
{
    static QString folder;
    return folder;
}

QString WithPdfSuffix(const QString &fileName)
{
    return QFileInfo(fileName).suffix().isEmpty() ? fileName + QStringLiteral(".pdf") : fileName;
}

std::string Utf8(const QString &text)
{
    return text.toStdString();
}

// Prints on `printer` into a temporary file beside `fileName` and renames it over the target
// when the job is complete; on failure the temporary file goes and the target stays as it was.
void PrintPdfThrough(QPrinter &printer, const QString &fileName, const TPrintPages &pages)
{
    const QFileInfo target(fileName);
    QTemporaryFile part(target.absoluteFilePath() + QStringLiteral(".XXXXXX"));
    if (!part.open())
        throw EVrnError("Cannot write " + Utf8(fileName) + ": " + Utf8(part.errorString()));
    part.close();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(part.fileName());
    try {
        pages(printer);
    } catch (...) {
        printer.setOutputFileName(fileName);
        throw;
    }
    printer.setOutputFileName(fileName);
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
        | QFileDevice::ReadOther);
    // rename(2) replaces an existing file in one step; QFile::rename would refuse it.
    if (std::rename(QFile::encodeName(part.fileName()).constData(),
            QFile::encodeName(target.absoluteFilePath()).constData())
        != 0)
        throw EVrnError("Cannot write " + Utf8(fileName));
    part.setAutoRemove(false);
}

void PrepareFreshPrinter(QPrinter &printer, const TPrintRequest &request)
{
    printer.setPageOrientation(request.Orientation);
    printer.setDocName(request.Title);
}

} // namespace

void SetPrinterDialogProvider(TPrinterDialogProvider *provider)
{
    gProvider = provider;
}

void PrintToPdfFile(const QString &fileName, const TPrintRequest &request, const TPrintPages &pages)
{
    QPrinter printer(QPrinter::HighResolution);
    if (request.Printer) {
        printer.setPageLayout(request.Printer->pageLayout());
    } else {
        printer.setPageSize(QPageSize(QPageSize::A4));
    }
    PrepareFreshPrinter(printer, request);
    PrintPdfThrough(printer, fileName, pages);
}

bool SaveAsPdf(QWidget *parent, const TPrintRequest &request, const TPrintPages &pages)
{
    const QString proposed = LastPdfFolder().isEmpty()
        ? request.PdfName
        : QDir(LastPdfFolder()).filePath(request.PdfName);
    const QString chosen = GetSaveFileName(
        parent, QStringLiteral("Save as PDF"), proposed, kPdfFilter, QStringLiteral("pdf"));
    if (chosen.isEmpty())
        return false;
    const QString fileName = WithPdfSuffix(chosen);
    const bool ok = RunCommand(parent, [&] { PrintToPdfFile(fileName, request, pages); });
    if (ok)
        LastPdfFolder() = QFileInfo(fileName).absolutePath();
    return ok;
}

bool PrintWithDialog(QWidget *parent, const TPrintRequest &request, const TPrintPages &pages)
{
    if (!Provider().HasPrinter()) {
        if (!AskYesNo(parent, kNoPrinterQuestion))
            return false;
        return SaveAsPdf(parent, request, pages);
    }
    std::unique_ptr<QPrinter> own;
    QPrinter *printer = request.Printer;
    if (!printer) {
        own = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer = own.get();
        PrepareFreshPrinter(*printer, request);
    } else {
        printer->setDocName(request.Title);
    }
    if (!Provider().ChoosePrinter(parent, *printer))
        return false;
    return RunCommand(parent, [&] {
        if (printer->outputFormat() == QPrinter::PdfFormat) {
            // The dialog's "Print to file".
            const QString fileName = printer->outputFileName();
            if (fileName.isEmpty())
                throw EVrnError("No file was chosen for the printer's file output");
            PrintPdfThrough(*printer, WithPdfSuffix(fileName), pages);
        } else {
            pages(*printer);
        }
    });
}

bool SetupPrinter(QWidget *parent, QPrinter &printer)
{
    if (!Provider().HasPrinter()) {
        ShowMessage(parent, kNoPrinterNotice);
        return false;
    }
    return Provider().ChoosePrinter(parent, printer);
}

// ---------------------------------------------------------------------------------------------

TPagePainter::TPagePainter(QPrinter &printer)
    : FPrinter(printer)
{
    if (!FPainter.begin(&FPrinter)) {
        const QString target = FPrinter.outputFormat() == QPrinter::PdfFormat
            ? FPrinter.outputFileName()
            : FPrinter.printerName();
        throw EVrnError(
            "Cannot open the printer" + (target.isEmpty() ? std::string() : ": " + Utf8(target)));
    }
}

TPagePainter::~TPagePainter()
{
    if (FPainter.isActive()) {
        FPrinter.abort();
        FPainter.end();
    }
}

QRectF TPagePainter::PageRect() const
{
    return QRectF(QPointF(0, 0),
        FPrinter.pageLayout().paintRectPixels(FPrinter.resolution()).size().toSizeF());
}

void TPagePainter::NewSheet()
{
    if (!FPrinter.newPage())
        throw EVrnError("Cannot start a new sheet");
}

void TPagePainter::Finish()
{
    if (!FPainter.end() || FPrinter.printerState() == QPrinter::Error)
        throw EVrnError("Printing failed");
}

} // namespace vrn
