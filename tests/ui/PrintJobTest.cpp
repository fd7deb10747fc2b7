#include "ui/PrintJob.h"

#include "engine/VrnError.h"
#include "tests/ui/PdfText.h"
#include "ui/UiTestDoubles.h"

#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <memory>

namespace vrn {
namespace {

// Two sheets of text; with failOnSecond the job raises after drawing the first.
TPrintPages TwoSheets(bool failOnSecond, int *calls = nullptr)
{
    return [failOnSecond, calls](QPrinter &printer) {
        if (calls)
            ++*calls;
        TPagePainter out(printer);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPointSize(12);
        out.Painter().setFont(QFont(font, &printer));
        out.Painter().drawText(QPointF(100, 400), QStringLiteral("Sheet one"));
        out.NewSheet();
        if (failOnSecond)
            throw EVrnError("Out of paper");
        out.Painter().drawText(QPointF(100, 400), QStringLiteral("Sheet two"));
        out.Finish();
    };
}

const TPrintRequest kRequest {
    QStringLiteral("Test pages"), QPageLayout::Portrait, QStringLiteral("test-pages.pdf"), nullptr};

} // namespace

class TPrintJobTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void SaveAsPdfWritesThePages_data();
    void SaveAsPdfWritesThePages();
    void SaveAsPdfCancelledWritesNothing();
    void FailedJobKeepsTheOldFile();
    void UnwritableFolderIsReported();
    void NoPrinterOffersThePdf_data();
    void NoPrinterOffersThePdf();
    void PrinterDialogFileOutputIsHonoured();
    void PrinterDialogCancelledPrintsNothing();
    void SetupWithoutPrinterSaysSo();

private:
    QStringList FilesIn(const QString &folder) const
    {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden);
    }

    std::unique_ptr<QTemporaryDir> FDir;
    std::unique_ptr<TTestMessageBoxes> FBoxes;
    std::unique_ptr<TTestFileDialogs> FFiles;
    std::unique_ptr<TTestPrinterDialog> FPrinters;
    QWidget FParent;
};

void TPrintJobTest::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    FBoxes.reset();
    FFiles.reset();
    FPrinters.reset();
    FBoxes = std::make_unique<TTestMessageBoxes>();
    FFiles = std::make_unique<TTestFileDialogs>();
    FPrinters = std::make_unique<TTestPrinterDialog>();
}

void TPrintJobTest::cleanup()
{
    FPrinters.reset();
    FFiles.reset();
    FBoxes.reset();
}

void TPrintJobTest::SaveAsPdfWritesThePages_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("written");
    QTest::addRow("name with extension") << "out.pdf"
                                         << "out.pdf";
    QTest::addRow("upper-case extension kept") << "OUT.PDF"
                                               << "OUT.PDF";
    // Some platform dialogs hand back the name as typed.
    QTest::addRow("extension added") << "out"
                                     << "out.pdf";
}

void TPrintJobTest::SaveAsPdfWritesThePages()
{
    if (!PdfTextAvailable())
        QSKIP("pdftotext (poppler-utils) is not installed");
    QFETCH(QString, answer);
    QFETCH(QString, written);
    FFiles->Answers << FDir->filePath(answer);
    QVERIFY(SaveAsPdf(&FParent, kRequest, TwoSheets(false)));
    QCOMPARE(FFiles->Requests.size(), 1);
    const TFileDialogRequest &asked = FFiles->Requests.first();
    QVERIFY(asked.Save);
    QCOMPARE(asked.DefaultSuffix, QStringLiteral("pdf"));
    QVERIFY(asked.Filter.contains(QStringLiteral("*.pdf")));
    QVERIFY(asked.Folder.endsWith(QStringLiteral("test-pages.pdf")));
    QVERIFY(FBoxes->Shown.isEmpty());
    QCOMPARE(FilesIn(FDir->path()), QStringList {written});
    const QString text = PdfText(FDir->filePath(written));
    QCOMPARE(PdfSheetCount(text), 2);
    QCOMPARE(PdfWords(text),
        (QStringList {QStringLiteral("Sheet"), QStringLiteral("one"), QStringLiteral("Sheet"),
            QStringLiteral("two")}));
}

void TPrintJobTest::SaveAsPdfCancelledWritesNothing()
{
    int calls = 0;
    QVERIFY(!SaveAsPdf(&FParent, kRequest, TwoSheets(false, &calls)));
    QCOMPARE(FFiles->Unanswered, 1);
    QCOMPARE(calls, 0);
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TPrintJobTest::FailedJobKeepsTheOldFile()
{
    const QString pdf = FDir->filePath(QStringLiteral("old.pdf"));
    {
        QFile old(pdf);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("earlier file");
    }
    FFiles->Answers << pdf;
    QVERIFY(!SaveAsPdf(&FParent, kRequest, TwoSheets(true)));
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("Out of paper")});
    QCOMPARE(FBoxes->Shown.first().Icon, QMessageBox::Critical);
    // No half-written file beside it either.
    QCOMPARE(FilesIn(FDir->path()), QStringList {QStringLiteral("old.pdf")});
    QFile old(pdf);
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("earlier file"));
}

void TPrintJobTest::UnwritableFolderIsReported()
{
    const QString pdf = FDir->filePath(QStringLiteral("no such folder/out.pdf"));
    FFiles->Answers << pdf;
    QVERIFY(!SaveAsPdf(&FParent, kRequest, TwoSheets(false)));
    QCOMPARE(FBoxes->Shown.size(), 1);
    QVERIFY2(FBoxes->Shown.first().Text.startsWith(QStringLiteral("Cannot write ") + pdf),
        qPrintable(FBoxes->Shown.first().Text));
}

void TPrintJobTest::NoPrinterOffersThePdf_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addRow("user takes the PDF") << true;
    QTest::addRow("user declines") << false;
}

void TPrintJobTest::NoPrinterOffersThePdf()
{
    QFETCH(bool, yes);
    FPrinters->HasPrinters = false;
    FBoxes->Answers << (yes ? QMessageBox::Yes : QMessageBox::No);
    const QString pdf = FDir->filePath(QStringLiteral("instead.pdf"));
    FFiles->Answers << pdf;
    int calls = 0;
    QCOMPARE(PrintWithDialog(&FParent, kRequest, TwoSheets(false, &calls)), yes);
    QCOMPARE(FBoxes->Texts(),
        QStringList {
            QStringLiteral("No printer is installed. Save the pages as a PDF file instead?")});
    QCOMPARE(FPrinters->Shown, 0);
    QCOMPARE(calls, yes ? 1 : 0);
    QCOMPARE(QFile::exists(pdf), yes);
}

void TPrintJobTest::PrinterDialogFileOutputIsHonoured()
{
    if (!PdfTextAvailable())
        QSKIP("pdftotext (poppler-utils) is not installed");
    const QString pdf = FDir->filePath(QStringLiteral("from-dialog.pdf"));
    FPrinters->Answers << pdf;
    QPrinter kept(QPrinter::HighResolution);
    TPrintRequest request = kRequest;
    request.Printer = &kept;
    QVERIFY(PrintWithDialog(&FParent, request, TwoSheets(false)));
    QCOMPARE(FPrinters->Shown, 1);
    QVERIFY(FBoxes->Shown.isEmpty());
    QCOMPARE(PdfSheetCount(PdfText(pdf)), 2);
    QCOMPARE(FilesIn(FDir->path()), QStringList {QStringLiteral("from-dialog.pdf")});
    // The window's printer keeps the file output the user chose for the next job.
    QCOMPARE(kept.outputFileName(), pdf);
    QCOMPARE(kept.docName(), QStringLiteral("Test pages"));
}

void TPrintJobTest::PrinterDialogCancelledPrintsNothing()
{
    int calls = 0;
    QVERIFY(!PrintWithDialog(&FParent, kRequest, TwoSheets(false, &calls)));
    QCOMPARE(FPrinters->Shown, 1);
    QCOMPARE(calls, 0);
    QVERIFY(FBoxes->Shown.isEmpty());
}

void TPrintJobTest::SetupWithoutPrinterSaysSo()
{
    FPrinters->HasPrinters = false;
    QPrinter printer(QPrinter::HighResolution);
    QVERIFY(!SetupPrinter(&FParent, printer));
    QCOMPARE(FBoxes->Texts(), QStringList {QStringLiteral("No printer is installed.")});
    QCOMPARE(FPrinters->Shown, 0);
}

} // namespace vrn

QTEST_MAIN(vrn::TPrintJobTest)
#include "PrintJobTest.moc"
