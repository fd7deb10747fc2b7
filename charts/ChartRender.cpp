#include "charts/ChartRender.h"

#include "charts/ChtObjects.h"
#include "engine/VrnError.h"

#include <filesystem>

namespace vrn {

void TChartScene::LoadDesktop(const std::string &fileName)
{
    TDesktopFile file = ReadDesktopFile(fileName);
    auto desk = std::make_unique<TChartDesk>();
    TDesktopApplied applied = ApplyDesktop(*desk, file.Objects, std::move(file.ChartRef));
    FObjects.FreeAll();
    FChartRef.reset();
    FMessages.clear();
    FDesk = std::move(desk);
    FDesktopChart = applied.Chart;
    FProblems = std::move(file.Messages);
    FProblems.insert(FProblems.end(), applied.Messages.begin(), applied.Messages.end());
    if (applied.ChartError)
        FProblems.push_back(*applied.ChartError);
}

void TChartScene::Load(const std::string &fileName)
{
    const std::string ext = LowerAscii(std::filesystem::path(fileName).extension().string());
    if (ext == ".vrn") {
        LoadDesktop(fileName);
        return;
    }
    TObjList objects;
    std::unique_ptr<TChtFileObject> chartRef;
    std::vector<TChartFileMessage> messages;
    if (ext == ".cid") {
        auto image = std::make_unique<TChtChartImage>();
        image->CIDFile = std::filesystem::absolute(fileName).lexically_normal().string();
        image->Visible = true;
        image->LoadCID();
        objects.Add(std::move(image));
    } else {
        TChartFileContents contents = ReadChartFile(fileName);
        objects = std::move(contents.Objects);
        chartRef = std::move(contents.ChartRef);
        messages = std::move(contents.Messages);
    }
    FObjects = std::move(objects);
    FChartRef = std::move(chartRef);
    FMessages = std::move(messages);
    FDesk.reset();
    FDesktopChart.reset();
    FProblems.clear();
}

std::size_t TChartScene::ObjectCount() const
{
    return FDesk ? FDesk->ObjectCount() : FObjects.Count();
}

std::size_t TChartScene::PointCount() const
{
    if (!FDesk)
        return PointCountOf(FObjects);
    std::size_t n = FDesk->ChartPointCount();
    for (const auto &r : FDesk->Routes)
        n += r->PointCount();
    for (const auto &t : FDesk->Tracks)
        n += t->PointCount();
    return n;
}

TChartViewSpec TChartScene::DefaultView(int width, int height) const
{
    if (FDesk) {
        if (FDesktopChart)
            return {FDesktopChart->LatC, FDesktopChart->LonC, FDesktopChart->LonSpan};
        if (const auto v = FDesk->DesktopExtent(width, height))
            return {v->LatC, v->LonC, v->LonSpan};
        return {};
    }
    if (FChartRef)
        return {FChartRef->LatC, FChartRef->LonC, FChartRef->LonSpan};
    const auto v = ViewOfObjects(FObjects, height > 0 ? double(width) / height : 1);
    if (!v)
        return {};
    return {v->LatC, v->LonC, v->LonSpan};
}

void TChartScene::Draw(TPainterSurface &surface, bool recompute)
{
    surface.ClearBackground();
    surface.SetPen(kClBlack, 1, TPenStyle::Solid);
    if (FDesk) {
        FDesk->DrawListed(surface, recompute);
    } else {
        ApplyDefaultColors(FObjects, surface.DefaultLandColor, surface.DefaultShoreColor);
        for (const auto &obj : FObjects)
            obj->Draw(surface, recompute);
    }
    surface.DrawGrid();
    surface.SetPen(kClBlack, 1, TPenStyle::Solid);
    surface.SetBrush(kClWhite, TBrushStyle::Clear);
    surface.DrawFrame();
}

QImage TChartScene::Render(const TChartViewSpec &view, int width, int height, bool grid)
{
    if (width <= 0 || height <= 0 || std::int64_t(width) * height > kMaxPicturePixels)
        throw EVrnError(
            "Invalid picture size " + std::to_string(width) + "x" + std::to_string(height));
    QImage image(width, height, QImage::Format_RGB32);
    TPainterSurface surface;
    surface.SetSize(width, height);
    if (FChartRef)
        FChartRef->ApplyColors(surface);
    if (FDesktopChart) {
        surface.SeaColor = FDesktopChart->Colors.Sea;
        surface.GridColor = FDesktopChart->Colors.Grid;
        surface.DefaultLandColor = FDesktopChart->Colors.Land;
        surface.DefaultShoreColor = FDesktopChart->Colors.Shore;
    }
    surface.Escala.ShowGrid = grid;
    surface.Escala.SetView(view.LatC, view.LonC, view.LonSpan);
    QPainter painter(&image);
    surface.Attach(&painter, width, height, &image);
    Draw(surface);
    surface.Detach();
    return image;
}

} // namespace vrn
