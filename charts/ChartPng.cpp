#include "charts/ChartPng.h"

#include "charts/ChartRender.h"
#include "engine/VrnError.h"

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
    QSaveFile file(QString::fromStdString(request.PngFile));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        throw EVrnError(
            "Cannot write " + request.PngFile + ": " + file.errorString().toStdString());
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
