#pragma once

// A chart drawn without a window: the objects of a chart file, a calibrated chart picture, or a
// desktop (its vector chart, chart images, routes, tracks and marks, drawn by the desk the chart
// view draws with), with the grid, in the chart view's drawing order and through the same surface
// code. Used by "vrncli render", the benchmarks and the drawing tests.

#include "charts/ChartDesktop.h"
#include "charts/ChtFile.h"
#include "charts/ImgCarta.h"
#include "charts/PainterSurface.h"

#include <QImage>
#include <string>
#include <vector>

namespace vrn {

struct TChartViewSpec
{
    double LatC = 0; // degrees, north positive
    double LonC = 0; // degrees, west positive
    double LonSpan = 360; // degrees of longitude across the picture
};

class TChartScene
{
public:
    // Reads a chart file (".cht"), a chart image data file (".cid") or a desktop (".vrn"), the
    // extension in any case; raises EVrnError with the format's messages. Information messages
    // of dropped objects are kept; a desktop keeps what it could not use (lines, pictures, its
    // chart) as Problems and draws the rest.
    void Load(const std::string &fileName);

    // The view a file asks for (its chart reference), else one that shows every object.
    TChartViewSpec DefaultView(int width, int height) const;

    // Clears to the sea colour, draws every object, the grid and a frame.
    void Draw(TPainterSurface &surface, bool recompute = true);

    // Renders into a new RGB image of width x height.
    QImage Render(const TChartViewSpec &view, int width, int height, bool grid = true);

    const std::vector<TChartFileMessage> &Messages() const { return FMessages; }

    const std::vector<std::string> &Problems() const { return FProblems; }

    std::size_t ObjectCount() const;

    std::size_t PointCount() const;

private:
    void LoadDesktop(const std::string &fileName);

    TObjList FObjects;
    std::unique_ptr<TChartDesk> FDesk; // a desktop
    std::optional<TDesktopChart> FDesktopChart;
    std::vector<std::string> FProblems;
    std::unique_ptr<TChtFileObject> FChartRef;
    std::vector<TChartFileMessage> FMessages;
};

} // namespace vrn
