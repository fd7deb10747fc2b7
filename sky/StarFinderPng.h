#pragma once

// The star finder chart drawn into a PNG picture without a window (what "vrncli starfinder
// --png" does), with the window's default look: constellation lines, the ecliptic and the body
// names, the sky coloured by the Sun's altitude, and the sight planner's choice marked. The
// header is free of Qt so that console commands can call it.

#include <string>
#include <vector>

namespace vrn {

struct TVisibleSky;

struct TStarFinderPngRequest
{
    int Size = 800; // pixels, square
    std::vector<std::string> Planned; // names of the bodies to mark
    std::string PngFile;
};

// Creates the application object of the drawing library when the process has none (offscreen
// unless QT_QPA_PLATFORM says otherwise). Raises EVrnError when the picture cannot be written
// (an existing file is then left as it was).
void RenderStarFinderPng(const TVisibleSky &sky, const TStarFinderPngRequest &request);

} // namespace vrn
