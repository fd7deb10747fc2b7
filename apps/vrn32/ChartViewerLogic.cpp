#include "apps/vrn32/ChartViewerLogic.h"

#include "charts/ChartPaths.h"
#include "engine/NumText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace vrn {

int ScrollPositionOf(double deg, int limit)
{
    if (!std::isfinite(deg))
        return 0;
    // nearbyint rounds halves to even in the default rounding mode.
    const double tenths = std::nearbyint(-deg * 10);
    return static_cast<int>(std::clamp(tenths, -double(limit), double(limit)));
}

double DegreesOfScroll(int position)
{
    return -position / 10.0;
}

TChartImageLabels ChartImageLabelsOf(const TChtChartImage &image)
{
    return {
        image.DisplayName(), FileNameOf(image.CIDFile), FileNameOf(image.Imagem->ImageFileName())};
}

std::string OpacityText(int percent)
{
    return FormatInt(percent) + " %";
}

TGeoPoint ChartImageCentre(const TImagemCarta &image)
{
    if (image.BoundsKnown()) {
        TGeoPoint c;
        image.Bounds().Center(c.LatDeg, c.LonDeg);
        return c;
    }
    TGeoPoint mean;
    const auto ref = image.RefPoints();
    for (const TChartPoint &p : ref) {
        mean.LatDeg += p.Lat / ref.size();
        mean.LonDeg += p.Lon / ref.size();
    }
    return mean;
}

std::optional<std::string> ReadLocationFile(const std::string &path)
{
    if (!IsRegularFile(path))
        return std::nullopt;
    TFilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f)
        return std::nullopt;
    char buf[1024];
    const std::size_t n = std::fread(buf, 1, sizeof buf, f.get());
    std::string line(buf, n);
    line = line.substr(0, line.find_first_of("\r\n"));
    const std::string_view trimmed = Trim(line);
    if (trimmed.empty())
        return std::nullopt;
    return std::string(trimmed);
}

std::string FindShippedFile(const std::vector<std::string> &folders, const std::string &name)
{
    for (const std::string &folder : folders) {
        const std::string path = (std::filesystem::path(folder) / name).lexically_normal().string();
        if (IsRegularFile(path))
            return path;
    }
    return {};
}

} // namespace vrn
