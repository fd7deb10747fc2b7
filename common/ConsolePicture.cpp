#include "common/ConsolePicture.h"

#include "engine/VrnError.h"

#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <memory>

namespace vrn {

void EnsureGuiApplication()
{
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "vrncli";
    static char *argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app = std::make_unique<QGuiApplication>(argc, argv);
}

void SavePng(const QImage &image, const std::string &fileName)
{
    QSaveFile file(QString::fromStdString(fileName));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw EVrnError("Cannot write " + fileName + ": " + file.errorString().toStdString());
}

} // namespace vrn
