#include "charts/ChartRender.h"

#include "charts/ChtObjects.h"
#include "engine/VrnError.h"

#include <filesystem>

namespace vrn {

void TChartScene::Load(const std::string &fileName)
{
    const std::string ext = LowerAscii(std::filesystem::path(fileName).extension().string());
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
}

std::size_t TChartScene::PointCount() const
{
    return PointCountOf(FObjects);
}

TChartViewSpec TChartScene::DefaultView(int width, int height) const
{
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
    ApplyDefaultColors(FObjects, surface.DefaultLandColor, surface.DefaultShoreColor);
    for (const auto &obj : FObjects)
        obj->Draw(surface, recompute);
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
    surface.Escala.ShowGrid = grid;
    surface.Escala.SetView(view.LatC, view.LonC, view.LonSpan);
    QPainter painter(&image);
    surface.Attach(&painter, width, height, &image);
    Draw(surface);
    surface.Detach();
    return image;
}

} // namespace vrn
