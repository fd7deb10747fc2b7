#pragma once

// The vector chart digitiser without its window: three reference points tie the picture to
// positions through the shared TImageCalibration, clicked vertices become polygons with names and
// colours, and the polygons are written to a vector chart file, whole or appended.

#include "charts/ChartColor.h"
#include "charts/ImgCarta.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

struct TPontoEdChart
{
    int X = 0; // picture pixel
    int Y = 0;
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, west positive
};

class TPoligonoEdChart
{
public:
    std::string Name;
    TColor Color = 0; // outline
    TColor BGColor = 0; // fill
    std::vector<TPontoEdChart> Points;
    // The files of this session that already hold the polygon (absolute paths).
    std::vector<std::string> WrittenTo;
};

struct TChartWriteResult
{
    int PolygonsWritten = 0;
    bool Created = false; // the file did not exist and was written with its header
};

class TChartDigitiser
{
public:
    // ---- Scale ----

    int RefCount() const { return FRefCount; }

    // Pixels and positions of the reference points; they stay after a reset and are offered as
    // the defaults of the next entry.
    const std::array<TChartPoint, 3> &RefPoints() const { return FRef; }

    bool Mercator() const { return FCal.Mercator; }

    // Recalibrates when the scale is set. Raises EInvalidReferencePoints (and resets the scale)
    // when the points cannot be used with the new axis.
    void SetMercator(bool on);
    void ResetScale();
    // The next reference point's pixel; returns its number (1 to 3). Ignored (0) when the scale
    // is set.
    int BeginReferencePoint(int x, int y);
    // The entry of the point begun last was cancelled.
    void CancelReferencePoint();
    // The position of the point begun last. The third one calibrates; points whose pixels or
    // positions are collinear or repeated, or a latitude at a pole, reset the scale and raise
    // EInvalidReferencePoints.
    void SetReferencePosition(double latDeg, double lonDeg);

    bool ScaleSet() const { return FRefCount == 3 && FCal.IsCalibrated(); }

    // Position of a pixel, the latitude kept within the poles; none without a scale or when the
    // conversion fails.
    std::optional<TChartPoint> ImageToWorld(int x, int y) const;
    // Pixel of a position, rounded to the nearest (halves to even); none without a scale or
    // when the conversion fails.
    std::optional<TScreenPoint> WorldToImage(double latDeg, double lonDeg) const;
    // The parallels and meridians of "Draw Axis": every half degree over the reference points'
    // range widened by a degree each way, within the poles.
    std::vector<TPixelLine> AxisLines() const;

    // ---- Polygons ----

    std::vector<TPoligonoEdChart> Polygons;
    TPoligonoEdChart CurrentPolygon;

    // A vertex at pixel (x, y) appended to the current polygon. Raises "Invalid reference points.
    // Scale reset" (and resets the scale) when the pixel has no position.
    const TPontoEdChart &AddPoint(int x, int y);
    // False when the current polygon has no point.
    bool DeleteLastPoint();
    void ClearCurrentPolygon();
    // The current polygon, when it has points, becomes a closed one with its name and colours;
    // false otherwise.
    bool ClosePolygon(const std::string &name, TColor color, TColor bgColor);
    void ResetChart();

    bool HasWork() const { return !Polygons.empty() || !CurrentPolygon.Points.empty(); }

    // Polygons changed since the last successful write.
    bool Modified() const { return FModified; }

    // ---- Writing ----

    // The vector chart file written last; set only by a successful write.
    const std::string &OutputChartFile() const { return FOutputChartFile; }

    // Writes the closed polygons to fileName through a temporary file. A new file (by save or
    // by append) starts with the vector chart header. Save replaces the file with every polygon;
    // append keeps the old bytes (a CR LF is added when they do not end a line) and adds the
    // polygons not yet written to that file in this session. Raises "No polygons defined",
    // "Error reading file <name>" for old bytes that cannot be read, and "Error creating file
    // <name>" when the file cannot be written (then the old file is unchanged).
    TChartWriteResult WriteChart(const std::string &fileName, bool append);

private:
    void Calibrate();

    TImageCalibration FCal;
    std::array<TChartPoint, 3> FRef {};
    int FRefCount = 0;
    bool FModified = false;
    std::string FOutputChartFile;
};

// The lines of one closed polygon as the digitiser writes it.
std::vector<std::string> DigitisedPolygonLines(const TPoligonoEdChart &polygon);

} // namespace vrn
