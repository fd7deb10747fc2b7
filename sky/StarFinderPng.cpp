#include "sky/StarFinderPng.h"

#include "engine/VrnError.h"
#include "sky/Constelations.h"
#include "sky/StarFinderPainter.h"
#include "sky/VisibleSky.h"

#include <QGuiApplication>
#include <QSaveFile>
#include <memory>

namespace vrn {
namespace {

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

} // namespace

void RenderStarFinderPng(const TVisibleSky &sky, const TStarFinderPngRequest &request)
{
    EnsureGuiApplication();
    TPosicionadorDeConstelacoes constellations;
    constellations.PositionFor(sky.DateTime, sky.LatDeg, sky.LonDeg);
    TStarFinderScene scene;
    LoadScene(scene, sky, constellations);
    scene.SetPlanned(request.Planned);
    TStarFinderStyle style = DefaultStarFinderStyle();
    style.BackColor = SkyColorFor(sky.Shade);
    const QImage image = RenderStarFinder(scene, style, request.Size, request.Size);
    QSaveFile file(QString::fromStdString(request.PngFile));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw EVrnError(
            "Cannot write " + request.PngFile + ": " + file.errorString().toStdString());
}

} // namespace vrn
