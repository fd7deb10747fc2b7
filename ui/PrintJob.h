#pragma once

// The one way every window prints: a print job is a function that draws its pages on a QPrinter,
// and the commands here send it either to a printer chosen in the printer dialog or to a PDF
// file chosen in a file dialog (the same pages either way). A failed job is aborted, so no
// half-printed page or half-written file comes out, and the failure is shown to the user.
//
// The printer dialog goes through a seam like the message boxes and the file dialogs, so that a
// test can answer it (ui/UiTestDoubles.h has the test double).

#include <QPageLayout>
#include <QPainter>
#include <QString>
#include <functional>

class QPrinter;
class QWidget;

namespace vrn {

// Draws the pages of a job on the printer; raises EVrnError when it cannot (TPagePainter below
// does the beginning, the sheets and the end, and aborts the job when an error leaves it).
using TPrintPages = std::function<void(QPrinter &)>;

struct TPrintRequest
{
    QString Title; // the job's name in the printer queue and in the PDF
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QString PdfName; // suggested file name of "Save as PDF...", without folder
    // The printer whose settings the job uses and keeps (a window's "Printer setup..."); when
    // null, a fresh printer with the system's defaults.
    QPrinter *Printer = nullptr;
};

class TPrinterDialogProvider
{
public:
    virtual ~TPrinterDialogProvider() = default;
    // Whether the system has at least one printer.
    virtual bool HasPrinter() = 0;
    // Lets the user choose and set up the printer; false when cancelled. The printer may come
    // back set to file output (PdfFormat with a file name), which the job then writes.
    virtual bool ChoosePrinter(QWidget *parent, QPrinter &printer) = 0;
};

// Installs the provider every printer dialog goes through; nullptr restores the real dialog. The
// caller keeps ownership.
void SetPrinterDialogProvider(TPrinterDialogProvider *provider);

// "Print...": the printer dialog, then the pages on the chosen printer. With no printer
// installed, says so and offers to save the pages as a PDF file instead. True when the pages were
// printed (or saved); false when cancelled or failed (the failure has been shown).
bool PrintWithDialog(QWidget *parent, const TPrintRequest &request, const TPrintPages &pages);

// "Save as PDF...": a file dialog (".pdf" added to a name without extension), then the same
// pages to that file. True when the file was written; an earlier file of that name stays as it
// was when the job fails.
bool SaveAsPdf(QWidget *parent, const TPrintRequest &request, const TPrintPages &pages);

// "Printer setup...": the printer dialog on a window's printer, whose settings later jobs keep.
// With no printer installed, says so. False when cancelled.
bool SetupPrinter(QWidget *parent, QPrinter &printer);

// Writes the pages to the PDF file `fileName` without any dialog (console tools, the commands
// above). The file is written beside its final name and renamed over it when complete. Raises
// EVrnError naming the file when it cannot be written.
void PrintToPdfFile(
    const QString &fileName, const TPrintRequest &request, const TPrintPages &pages);

// The painter of a print job: begins on the printer (raising EVrnError "Cannot open the
// printer" when it cannot), starts new sheets, and ends the job with Finish. When it is destroyed
// without Finish (an error left the job), the job is aborted, so nothing half-drawn is printed.
class TPagePainter
{
public:
    explicit TPagePainter(QPrinter &printer);
    ~TPagePainter();
    TPagePainter(const TPagePainter &) = delete;
    TPagePainter &operator=(const TPagePainter &) = delete;

    QPainter &Painter() { return FPainter; }

    QPrinter &Printer() { return FPrinter; }

    // The sheet's printable area in device pixels, from (0, 0).
    QRectF PageRect() const;

    // Raises EVrnError "Cannot start a new sheet" when the printer refuses.
    void NewSheet();
    // Raises EVrnError "Printing failed" when the printer reports an error.
    void Finish();

private:
    QPrinter &FPrinter;
    QPainter FPainter;
};

} // namespace vrn
