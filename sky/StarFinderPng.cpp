#include "sky/StarFinderPng.h"

#include "common/ConsolePicture.h"
#include "sky/Constelations.h"
#include "sky/StarFinderPainter.h"
#include "sky/VisibleSky.h"

namespace vrn {

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
    // The labels in one family whatever fontconfig would choose, so that pictures compare.
    for (QFont *font : {&style.ConstNamesFont, &style.ObjNamesFont, &style.LettersFont})
        font->setFamily(kConsolePictureFontFamily);
    const QImage image = RenderStarFinder(scene, style, request.Size, request.Size);
    SavePng(image, request.PngFile);
}

} // namespace vrn
