#include "sky/AlmanacPdf.h"

#include "sky/AlmanacPrint.h"

#include <QGuiApplication>
#include <QPrinter>
#include <QTemporaryFile>
#include <filesystem>
#include <memory>
#include <system_error>

namespace vrn {
namespace {

// A console process has no display: the application object it needs for fonts and printing
// draws offscreen.
std::unique_ptr<QGuiApplication> HeadlessApplication()
{
    if (QCoreApplication::instance() != nullptr) {
        if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr)
            throw EPrintError("Cannot print without a graphical application object");
        return nullptr;
    }
    static char name[] = "vrncli";
    static char platformOption[] = "-platform";
    static char platform[] = "offscreen";
    static char *argv[] = {name, platformOption, platform, nullptr};
    static int argc = 3;
    return std::make_unique<QGuiApplication>(argc, argv);
}

} // namespace

void WriteAlmanacPdf(
    const std::string &fileName, const std::vector<std::vector<std::string>> &pages)
{
    const std::unique_ptr<QGuiApplication> app = HeadlessApplication();
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
