#include "sky/AlmanacPdf.h"

#include "sky/AlmanacPrint.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryFile>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

namespace vrn {
namespace {

// A console process has no display: the application object it needs for fonts and printing
// draws offscreen. Qt takes the options it reads out of argv, so they are set afresh each time.
class THeadlessApplication
{
public:
    THeadlessApplication()
    {
        if (QCoreApplication::instance() != nullptr) {
            if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr)
                throw EPrintError("Cannot print without a graphical application object");
            return;
        }
        // Qt's notes on the platform and its folders are no business of a console tool's user.
        FPreviousHandler = qInstallMessageHandler(&QuietHandler);
        FQuiet = true;
        FApp = std::make_unique<QGuiApplication>(FArgc, FArgv);
    }

    ~THeadlessApplication()
    {
        FApp.reset();
        if (FQuiet)
            qInstallMessageHandler(FPreviousHandler);
    }

    THeadlessApplication(const THeadlessApplication &) = delete;
    THeadlessApplication &operator=(const THeadlessApplication &) = delete;

private:
    static void QuietHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
    {
        if (type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    }

    char FName[7] = "vrncli";
    char FPlatformOption[10] = "-platform";
    char FPlatform[10] = "offscreen";
    char *FArgv[4] = {FName, FPlatformOption, FPlatform, nullptr};
    int FArgc = 3;
    QtMessageHandler FPreviousHandler = nullptr;
    bool FQuiet = false;
    std::unique_ptr<QGuiApplication> FApp;
};

} // namespace

void WriteAlmanacPdf(
    const std::string &fileName, const std::vector<std::vector<std::string>> &pages)
{
    const THeadlessApplication app;
    QList<QStringList> texts;
    for (const auto &page : pages) {
        QStringList lines;
        for (const auto &line : page)
            lines.append(QString::fromStdString(line));
        texts.append(lines);
    }
    // Printed beside the target and renamed over it when complete: a failed job leaves any
    // earlier file of that name as it was.
    QTemporaryFile part(QFile::decodeName(fileName.c_str()) + QStringLiteral(".XXXXXX"));
    if (!part.open())
        throw EPrintError("Cannot write " + fileName + ": " + part.errorString().toStdString());
    part.close();
    part.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
        | QFileDevice::ReadOther);
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(part.fileName());
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setDocName(QStringLiteral("Nautical almanac pages"));
        PrintAlmanacPages(printer, texts, DefaultAlmanacPrintFont());
    }
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(part.fileName()).toStdString(), fileName, error);
    if (error)
        throw EPrintError("Cannot write " + fileName + ": " + error.message());
    part.setAutoRemove(false);
}

} // namespace vrn
