#include "common/ConsolePicture.h"

#include "engine/VrnError.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

namespace vrn {

void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Lives until the process ends: text drawing needs it for every later picture too. It is
    // never destroyed, since Qt's per-thread data must outlive it at exit and a static would not.
    static int argc = 1;
    static char name[] = "vrncli";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv);
}

void SavePng(const QImage &image, const std::string &fileName)
{
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw EVrnError("Cannot write " + fileName + ": " + file.errorString().toStdString());
}

} // namespace vrn
