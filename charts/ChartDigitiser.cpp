#include "charts/ChartDigitiser.h"

#include "charts/ChtFile.h"
#include "charts/ChtObjects.h"
#include "common/FileIO.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace vrn {

// ---- scale ---------------------------------------------------------------------------------

void TChartDigitiser::ResetScale()
{
    FRefCount = 0;
    FCal.Clear();
}

void TChartDigitiser::SetMercator(bool on)
{
    FCal.Mercator = on;
    if (FRefCount == 3)
        Calibrate();
}

int TChartDigitiser::BeginReferencePoint(int x, int y)
{
    if (FRefCount >= 3)
        return 0;
    FRef[FRefCount].X = x;
    FRef[FRefCount].Y = y;
    return ++FRefCount;
}

void TChartDigitiser::CancelReferencePoint()
{
    if (FRefCount > 0 && !ScaleSet())
        --FRefCount;
}

void TChartDigitiser::SetReferencePosition(double latDeg, double lonDeg)
{
    if (FRefCount == 0 || ScaleSet())
        return;
    FRef[FRefCount - 1].Lat = latDeg;
    FRef[FRefCount - 1].Lon = lonDeg;
    if (FRefCount == 3)
        Calibrate();
}

void TChartDigitiser::Calibrate()
{
    FCal.Ref = FRef;
    try {
        FCal.Calibrate();
    } catch (const EVrnError &) {
        ResetScale();
        throw EInvalidReferencePoints();
    }
}

std::optional<TChartPoint> TChartDigitiser::ImageToWorld(int x, int y) const
{
    if (!ScaleSet())
        return std::nullopt;
    TChartPoint p {double(x), double(y), 0, 0};
    try {
        FCal.Screen2World(p.X, p.Y, p.Lat, p.Lon);
    } catch (const EVrnError &) {
        return std::nullopt;
    }
    if (!std::isfinite(p.Lat) || !std::isfinite(p.Lon))
        return std::nullopt;
    p.Lat = std::clamp(p.Lat, -90.0, 90.0);
    return p;
}

std::optional<TScreenPoint> TChartDigitiser::WorldToImage(double latDeg, double lonDeg) const
{
    if (!ScaleSet())
        return std::nullopt;
    double x = 0, y = 0;
    try {
        FCal.World2Screen(latDeg, lonDeg, x, y);
    } catch (const EVrnError &) {
        return std::nullopt;
    }
    if (!std::isfinite(x) || !std::isfinite(y))
        return std::nullopt;
    return TScreenPoint {SaturatedPixel(std::nearbyint(x)), SaturatedPixel(std::nearbyint(y))};
}

std::vector<TPixelLine> TChartDigitiser::AxisLines() const
{
    std::vector<TPixelLine> lines;
    if (!ScaleSet())
        return lines;
    double latMin = 90, latMax = -90, lonMin = 180, lonMax = -180;
    for (const auto &p : FRef) {
        latMin = std::min(latMin, p.Lat);
        latMax = std::max(latMax, p.Lat);
        lonMin = std::min(lonMin, p.Lon);
        lonMax = std::max(lonMax, p.Lon);
    }
    const int lat0 = static_cast<int>(std::trunc(latMin)) - 1;
    const int lat1 = static_cast<int>(std::nearbyint(latMax)) + 1;
    const int lon0 = static_cast<int>(std::trunc(lonMin)) - 1;
    const int lon1 = static_cast<int>(std::nearbyint(lonMax)) + 1;
    // Meridians end short of the poles, which a Mercator axis cannot place.
    constexpr double kPolar = 89.999;
    const double latLow = std::max<double>(lat0, -kPolar);
    const double latHigh = std::min<double>(lat1, kPolar);
    auto add = [&](double la1, double lo1, double la2, double lo2) {
        const auto a = WorldToImage(la1, lo1);
        const auto b = WorldToImage(la2, lo2);
        if (a && b)
            lines.push_back({*a, *b});
    };
    for (int l = lat0; l <= lat1; ++l)
        for (const double lat : {double(l), l + 0.5})
            if (std::fabs(lat) < 90)
                add(lat, lon0, lat, lon1);
    for (int m = lon0; m <= lon1; ++m)
        for (const double lon : {double(m), m + 0.5})
            add(latLow, lon, latHigh, lon);
    return lines;
}

// ---- polygons ------------------------------------------------------------------------------

const TPontoEdChart &TChartDigitiser::AddPoint(int x, int y)
{
    const auto p = ImageToWorld(x, y);
    if (!p) {
        ResetScale();
        throw EVrnError("Invalid reference points. Scale reset");
    }
    CurrentPolygon.Points.push_back({x, y, p->Lat, p->Lon});
    FModified = true;
    return CurrentPolygon.Points.back();
}

bool TChartDigitiser::DeleteLastPoint()
{
    if (CurrentPolygon.Points.empty())
        return false;
    CurrentPolygon.Points.pop_back();
    FModified = true;
    return true;
}

void TChartDigitiser::ClearCurrentPolygon()
{
    CurrentPolygon = TPoligonoEdChart {};
}

bool TChartDigitiser::ClosePolygon(const std::string &name, TColor color, TColor bgColor)
{
    if (CurrentPolygon.Points.empty())
        return false;
    CurrentPolygon.Name = name;
    CurrentPolygon.Color = color;
    CurrentPolygon.BGColor = bgColor;
    Polygons.push_back(std::move(CurrentPolygon));
    CurrentPolygon = TPoligonoEdChart {};
    FModified = true;
    return true;
}

void TChartDigitiser::ResetChart()
{
    Polygons.clear();
    CurrentPolygon = TPoligonoEdChart {};
    FModified = false;
}

// ---- writing -------------------------------------------------------------------------------

std::vector<std::string> DigitisedPolygonLines(const TPoligonoEdChart &polygon)
{
    std::vector<std::string> lines;
    lines.push_back("O;Polygon;" + ChartFieldText(polygon.Name));
    lines.push_back("A;Color=" + FormatChartColor(polygon.Color));
    lines.push_back("A;BGColor=" + FormatChartColor(polygon.BGColor));
    for (const auto &p : polygon.Points)
        lines.push_back("P;" + FormatChartNumber(p.Lat) + ";" + FormatChartNumber(p.Lon));
    return lines;
}

namespace {

std::string FileKey(const std::string &fileName)
{
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(std::filesystem::absolute(fileName, ec), ec);
    return ec ? fileName : p.string();
}

bool WrittenTo(const TPoligonoEdChart &polygon, const std::string &key)
{
    return std::find(polygon.WrittenTo.begin(), polygon.WrittenTo.end(), key)
        != polygon.WrittenTo.end();
}

} // namespace

TChartWriteResult TChartDigitiser::WriteChart(const std::string &fileName, bool append)
{
    if (Polygons.empty())
        throw EVrnError("No polygons defined");
    const std::string key = FileKey(fileName);
    TChartWriteResult result;
    std::string bytes;
    std::vector<std::size_t> written;
    std::vector<std::string> lines;
    std::error_code ec;
    const bool exists = std::filesystem::exists(fileName, ec);
    if (append && exists) {
        const TFileContents old = ReadWholeFile(fileName, kMaxChartFileBytes);
        if (!old.Found || old.TooLarge || old.ReadError)
            throw EVrnError("Error reading file " + fileName);
        bytes = old.Bytes;
        if (!bytes.empty() && bytes.back() != '\n')
            bytes += "\r\n";
    } else {
        lines = VectorChartHeader();
        result.Created = !exists;
    }
    for (std::size_t i = 0; i < Polygons.size(); ++i) {
        if (append && exists && WrittenTo(Polygons[i], key))
            continue;
        const auto polygonLines = DigitisedPolygonLines(Polygons[i]);
        lines.insert(lines.end(), polygonLines.begin(), polygonLines.end());
        written.push_back(i);
    }
    for (const auto &line : lines)
        if (Utf8ToCp1252(line).size() > kChartLineBytes)
            throw EVrnError("Cannot write " + fileName + ": a polygon name is longer than a "
                + "chart file line can hold");
    if (!written.empty() || !(append && exists)) {
        try {
            WriteFileAtomically(fileName, bytes + EncodeTextFile(lines));
        } catch (const EVrnError &) {
            throw EVrnError("Error creating file " + fileName);
        }
    }
    for (const std::size_t i : written)
        if (!WrittenTo(Polygons[i], key))
            Polygons[i].WrittenTo.push_back(key);
    result.PolygonsWritten = static_cast<int>(written.size());
    FOutputChartFile = fileName;
    FModified = false;
    return result;
}

} // namespace vrn
