#include "sky/AlmanacPdf.h"

#include "engine/VrnError.h"
#include "sky/AlmanacPrint.h"
#include "ui/PrintJob.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <memory>

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
                throw EVrnError("Cannot print without a graphical application object");
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
    const QFont font = DefaultAlmanacPrintFont();
    PrintToPdfFile(QFile::decodeName(fileName.c_str()),
        {QStringLiteral("Nautical almanac pages"), QPageLayout::Portrait, QString(), nullptr},
        [&](QPrinter &printer) { PrintAlmanacPages(printer, texts, font); });
}

} // namespace vrn
