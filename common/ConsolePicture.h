#pragma once

// Pictures drawn by console commands without a window: the application object that QPainter's
// text drawing needs, the pinned font of their labels, and the atomic save of the PNG.

#include <QString>
#include <string>

class QImage;

namespace vrn {

// The family of every label in a console picture: DejaVu Sans (fonts-dejavu-core, always
// installed with fontconfig), so that the picture is the same on a machine whose fontconfig
// would pick another font (Noto Sans, pulled in by desktop packages).
inline const QString kConsolePictureFontFamily = QStringLiteral("DejaVu Sans");

// Creates the application object of the drawing library when the process has none (offscreen
// unless QT_QPA_PLATFORM says otherwise). It lives until the process ends, since text drawing
// needs it for every later picture too.
void EnsureGuiApplication();

// Writes `image` as a PNG through a temporary file; raises EVrnError naming the file when it
// cannot be written (an existing file is then left as it was).
void SavePng(const QImage &image, const std::string &fileName);

} // namespace vrn
