#include "charts/ChartPng.h"

#include "charts/ChartRender.h"
#include "common/ConsolePicture.h"
#include "engine/VrnError.h"

namespace vrn {

TPngRenderReport RenderChartToPng(const TPngRenderRequest &request)
{
    EnsureGuiApplication();
    TChartScene scene;
    scene.Load(request.ChartFile);
    TChartViewSpec view = scene.DefaultView(request.Width, request.Height);
    if (request.LatC)
        view.LatC = *request.LatC;
    if (request.LonC)
        view.LonC = *request.LonC;
    if (request.LonSpan)
        view.LonSpan = *request.LonSpan;
    const QImage image = scene.Render(view, request.Width, request.Height, request.Grid);
    SavePng(image, request.PngFile);
    TPngRenderReport report;
    report.LatC = view.LatC;
    report.LonC = view.LonC;
    report.LonSpan = view.LonSpan;
    report.Objects = scene.ObjectCount();
    for (const auto &m : scene.Messages())
        report.Messages.push_back("line " + std::to_string(m.Line) + ": " + m.Text
            + (m.Detail.empty() ? "" : " (" + m.Detail + ")"));
    report.Problems = scene.Problems();
    return report;
}

} // namespace vrn
