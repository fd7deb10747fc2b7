#include "charts/ChartRender.h"

#include "charts/ChtObjects.h"
#include "engine/Trigonom.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cmath>
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
    std::size_t n = 0;
    for (const auto &obj : FObjects)
        if (const auto *p = dynamic_cast<const TChtPoliPoints *>(obj.get()))
            n += p->PointCount();
    return n;
}

TChartViewSpec TChartScene::DefaultView(int width, int height) const
{
    if (FChartRef)
        return {FChartRef->LatC, FChartRef->LonC, FChartRef->LonSpan};
    double latMin = 90, latMax = -90, lonMin = 540, lonMax = -540;
    for (const auto &obj : FObjects) {
        if (obj->LatMin > obj->LatMax || obj->LonMin > obj->LonMax)
            continue;
        latMin = std::min(latMin, obj->LatMin);
        latMax = std::max(latMax, obj->LatMax);
        lonMin = std::min(lonMin, obj->LonMin);
        lonMax = std::max(lonMax, obj->LonMax);
    }
    if (latMin > latMax || lonMin > lonMax)
        return {};
    TChartViewSpec v;
    v.LatC = std::clamp((latMin + latMax) / 2, -89.0, 89.0);
    v.LonC = (lonMin + lonMax) / 2;
    const double aspect = height > 0 ? double(width) / height : 1;
    const double byLat = (latMax - latMin) / std::max(CosD(v.LatC), 0.01) * aspect;
    v.LonSpan = std::clamp(std::max(lonMax - lonMin, byLat) * 1.05, 0.05, 360.0);
    return v;
}

void TChartScene::Draw(TPainterSurface &surface, bool recompute)
{
    surface.ClearBackground();
    surface.SetPen(kClBlack, 1, TPenStyle::Solid);
    for (const auto &obj : FObjects) {
        if (auto *polygon = dynamic_cast<TChtPolygon *>(obj.get());
            polygon && polygon->DefaultColors) {
            polygon->BGColor = surface.DefaultLandColor;
            polygon->Color = surface.DefaultShoreColor;
        }
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
    surface.Escala.ShowGrid = grid;
    surface.Escala.SetView(view.LatC, view.LonC, view.LonSpan);
    QPainter painter(&image);
    surface.Attach(&painter, width, height, &image);
    Draw(surface);
    surface.Detach();
    return image;
}

} // namespace vrn
