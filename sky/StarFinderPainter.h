#pragma once

// Drawing of the star finder chart with QPainter, on a picture or a printed page: the sky disk,
// the altitude and azimuth grids, the cardinal letters, the ecliptic, the constellation figures
// and names, the bodies with their icons and names, the sight planner's marks and the boat. The
// positions come from TStarFinderScene; nothing here computes the sky.

#include "sky/StarFinderScene.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>

class QPainter;

namespace vrn {

struct TStarFinderStyle
{
    QColor BackColor = Qt::black; // the sky disk
    QColor Surround = QColor(240, 240, 240); // the picture outside the disk
    bool GridAltitudes = true;
    bool GridAzimuths = true;
    bool DrawConstelations = true;
    bool DrawConstelationNames = false;
    bool DrawEcliptica = false;
    bool DrawObjectNames = false;
    bool Overhead = false;
    bool Antialias = false;
    QFont ConstNamesFont = QFont(QStringLiteral("Arial"), 8);
    QColor ConstNamesColor = QColor(0, 255, 255);
    QFont ObjNamesFont = QFont(QStringLiteral("Arial"), 7);
    QColor ObjNamesColor = QColor(255, 255, 0);
    QFont LettersFont = QFont(QStringLiteral("Arial"), 7); // the cardinal points
    bool BoatVisible = false;
    double BoatCourse = 0; // degrees true
    QColor BoatColor = QColor(255, 0, 0);

    QColor GridColor = QColor(0, 255, 255);
    QColor LettersColor = QColor(255, 255, 0);
    QColor LinesColor = QColor(192, 192, 192);
    QColor EclipticColor = QColor(0, 255, 255);
    QColor PlannedColor = QColor(0, 255, 0);

    // Black on white, without antialias: the style of a printed chart.
    TStarFinderStyle ForPrinting() const;
};

enum class TSkyShade;

// The look the star finder window starts with: constellation lines, the ecliptic and the body
// names on.
TStarFinderStyle DefaultStarFinderStyle();

// Black at night, dark blue (0, 0, 128) in twilight, blue (0, 0, 255) by day.
QColor SkyColorFor(TSkyShade shade);

// Scale of the drawing: pixel sizes (pens, squares, icons) and text sizes.
struct TStarFinderScale
{
    double Pixel = 1; // printer dpi / 96 on paper
    double Text = 1; // 2 on the double-size antialias picture
    bool Printer = false; // printer icons
};

// Draws the scene as laid out (Layout) with the painter's current device.
void PaintStarFinder(QPainter &painter, const TStarFinderScene &scene,
    const TStarFinderStyle &style, const TStarFinderScale &scale);

// The icon sizes a layout takes for a scale.
TIconSizes StarFinderIconSizes(const TStarFinderScale &scale);

// The chart as a picture of width × height pixels, laid out for that size (at double size and
// reduced by averaging 2 × 2 blocks with Antialias). The scene keeps the picture's layout.
QImage RenderStarFinder(
    TStarFinderScene &scene, const TStarFinderStyle &style, int width, int height);

// The picture reduced to half its size, each pixel the average of a 2 × 2 block.
QImage HalveByAveraging(const QImage &image);

// The chart on a printed page (`page` in the painter's device pixels, dpi for the pixel sizes):
// black on white, against the left margin, clipped to its square. The scene keeps the page's
// layout; the caller lays it out again for the screen.
void PrintStarFinder(QPainter &painter, const QRect &page, double dpi, TStarFinderScene &scene,
    const TStarFinderStyle &style);

} // namespace vrn
