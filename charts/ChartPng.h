#pragma once

// A chart file or a chart image data file drawn into a PNG picture without a window (what
// "vrncli render" does). The header is free of Qt so that console commands can call it; the
// drawing itself lives in the charts drawing library.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

struct TPngRenderRequest
{
    std::string ChartFile; // ".cht", ".cid" or ".vrn" (any case)
    std::optional<double> LatC; // view centre, degrees north; default from the file
    std::optional<double> LonC; // degrees WEST positive
    std::optional<double> LonSpan; // degrees of longitude across the picture
    int Width = 800;
    int Height = 600;
    bool Grid = true;
    std::string PngFile;
};

struct TPngRenderReport
{
    double LatC = 0;
    double LonC = 0;
    double LonSpan = 0;
    std::size_t Objects = 0;
    std::vector<std::string> Messages; // objects dropped while reading, one line each
    // What a desktop could not use (its own lines name file and line), one each.
    std::vector<std::string> Problems;
};

// Creates the application object of the drawing library when the process has none (offscreen
// unless QT_QPA_PLATFORM says otherwise). Raises EVrnError with the file's messages, or when
// the picture cannot be written (an existing PNG is then left as it was).
TPngRenderReport RenderChartToPng(const TPngRenderRequest &request);

} // namespace vrn
