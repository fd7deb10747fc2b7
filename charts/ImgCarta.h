#pragma once

// Raster charts: a scanned or photographed chart picture (".bmp", ".jpg"/".jpeg", ".gif") tied to
// geographic positions by three reference points of a chart image data file (".CID"), which
// also signs the picture with its MD5 digest. TImagemCarta converts between positions and
// picture pixels (linearly, or along a Mercator latitude axis) and renders the part of the
// picture that falls into a chart view at the view's resolution; TChtChartImage puts one into a
// desktop and renders it in the background through a TRenderLauncher.
//
// Threads: the picture, its calibration and its bounds are guarded by one mutex per picture. A
// render takes the Busy flag by compare-exchange, loads a deferred picture inside that gate,
// copies the calibration and a shared reference to the pixels, and then resamples without the
// lock, so the main thread never waits for a render and a rotation never pulls pixels away from
// under one.

#include "charts/ChtObjects.h"
#include "charts/EXBitmap.h"
#include "engine/VrnError.h"

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

struct TChartPoint
{
    double X = 0; // pixel, picture or view
    double Y = 0;
    double Lat = 0; // degrees, north positive
    double Lon = 0; // degrees, west positive
};

// A rectangle both in pixels and in degrees; the top-left corner has the larger latitude and the
// larger (west-positive) longitude.
class TChartRect
{
public:
    double XScale = 0; // pixels per degree of longitude
    double YScale = 0; // pixels per degree of latitude
    TChartPoint TopLeft;
    TChartPoint BottomRight;

    double PixelWidth() const { return BottomRight.X - TopLeft.X; }

    double PixelHeight() const { return BottomRight.Y - TopLeft.Y; }

    double LonWidth() const { return TopLeft.Lon - BottomRight.Lon; }

    double LatHeight() const { return TopLeft.Lat - BottomRight.Lat; }

    void UpdateScales();
    void WorldToPixel(double latDeg, double lonDeg, double &x, double &y) const;
    void PixelToWorld(double x, double y, double &latDeg, double &lonDeg) const;
    bool IsValid() const;
    // The overlap in degrees (pixels are left 0), or none.
    std::optional<TChartRect> Intersect(const TChartRect &other) const;
    // Corners moved outwards to whole pixels, their positions following with the old scales.
    void SnapToPixels();
    void Center(double &latDeg, double &lonDeg) const;
};

// The window of a chart view as a TChartRect: (LatMax, LonMax) and (LatMin, LonMin) with their
// surface pixels.
TChartRect ViewRectOf(const TEscalaCarta &scale);

// The affine tie of three reference points between picture pixels and positions; with the
// Mercator axis the latitudes are first mapped to a coordinate linear in Mercator ordinate that
// equals the latitude at the extreme reference latitudes.
class TImageCalibration
{
public:
    std::array<TChartPoint, 3> Ref;
    bool Mercator = true;

    // Raises "Error: LatMax=LatMin" or "Bad reference points." + line break + "The points provided
    // can't be used. Try again" for points whose pixels or positions are collinear or repeated,
    // or a latitude at a pole; the calibration is then cleared.
    void Calibrate();
    void Clear();

    bool IsCalibrated() const { return FCalibrated; }

    double LatMinRef() const { return FLatMinRef; }

    double LatMaxRef() const { return FLatMaxRef; }

    // Position to picture pixel; (0, 0) when not calibrated. Raises "Erro em World2Screen()"
    // when the Mercator mapping fails (a pole).
    void World2Screen(double latDeg, double lonDeg, double &x, double &y) const;
    // Picture pixel to position; (0, 0) when not calibrated.
    void Screen2World(double x, double y, double &latDeg, double &lonDeg) const;

private:
    double MapLat(double latDeg) const;
    double UnmapLat(double coord) const;

    bool FCalibrated = false;
    double FLatMinRef = 0, FLatMaxRef = 0;
    double FL1 = 0; // mapped latitude of reference point 1
    double FDX1 = 0, FDY1 = 0, FDX2 = 0, FDY2 = 0;
    double FDL1 = 0, FDLon1 = 0, FDL2 = 0, FDLon2 = 0;
    double FPosDet = 0, FPixDet = 0;
};

struct TRenderResult
{
    TExBitmap Bitmap;
    TChartRect Rect; // where it goes on the view: TopLeft pixel is the bitmap's top-left
};

// Reference points the importer cannot calibrate from: "Invalid reference points. Try again".
class EInvalidReferencePoints : public EVrnError
{
public:
    EInvalidReferencePoints();
};

// One straight line on a picture, in whole pixels.
struct TPixelLine
{
    TScreenPoint A;
    TScreenPoint B;
};

// Asks whether a picture that leans should be rotated now (the importer's question).
using TConfirmFn = std::function<bool(const std::string &question)>;

class TImagemCarta
{
public:
    TImagemCarta();
    ~TImagemCarta();
    TImagemCarta(const TImagemCarta &) = delete;
    TImagemCarta &operator=(const TImagemCarta &) = delete;

    // Set by the owner before use; the picture is then read by the first render.
    bool DeferredLoad = false;

    // Reads a chart image data file: picture name, signature check, reference and limit points,
    // calibration. Raises EVrnError with the system's messages.
    void LoadFromCID(const std::string &fileName);
    // Writes one (the importer's side); writtenAt is the date-time put on the "Date=" line.
    void SaveCID(const std::string &fileName, double writtenAt) const;

    // Absolute picture name; a new name (or a rotated picture) is read at once, or only checked
    // for existence with DeferredLoad.
    void SetImageFile(const std::string &fileName);
    // Reads ImageFileName by its extension.
    void LoadImage();
    void Calibrate();

    void World2Screen(double latDeg, double lonDeg, double &x, double &y) const;
    void Screen2World(double x, double y, double &latDeg, double &lonDeg) const;
    void ComputeBounds();
    // View pixels of the four limit points when the picture meets the view; none when it does
    // not or a limit point is unknown (latitude and longitude both 0).
    std::optional<std::array<TScreenPoint, 4>> Outline(const TChartRect &view) const;

    // Resamples the visible part of the picture for the view. None when not calibrated, busy
    // (unless waitIfBusy), cancelled (Abort or *cancel) or outside the view. Loading errors of a
    // deferred picture are raised.
    std::optional<TRenderResult> RenderView(
        const TChartRect &view, const std::atomic<bool> *cancel = nullptr, bool waitIfBusy = false);

    // Radians, 0 for a north-up picture; "Scale not set" when not calibrated.
    double NorthAngle() const;
    bool NeedsRotation(double &angleRad) const;
    // True when the picture is north-up or was rotated after confirm said yes.
    bool CheckAlignment(const TConfirmFn &confirm);
    void RotateImage();

    // ---- The importer's side ----

    // No reference point entered, not calibrated.
    void ClearCalibration();
    // The next reference point (1, 2, then 3); ignored once three are entered. The third one
    // calibrates and computes the limit points; when either fails the calibration is cleared and
    // EInvalidReferencePoints raised in place of the failure's own message.
    void AddReferencePoint(double x, double y, double latDeg, double lonDeg);
    // The limit points become the picture's four corners (0, 0), (W - 1, 0), (W - 1, H - 1),
    // (0, H - 1) with their positions, latitudes kept within the poles; nothing happens before
    // the picture has been read or while it is not calibrated.
    void ComputeLimitPoints();
    // Radians, 0 for a picture whose east-west axis is horizontal: the lean of the parallel of
    // the mean reference latitude between the smallest and largest reference longitude. "Scale
    // not set" when not calibrated.
    double EastAngle() const;
    // Writes the picture in the format of the file's extension (SaveImage's messages are those of
    // WritePictureFile); afterwards it is the picture's file and no longer counts as rotated.
    // Refuses to write over the file the picture was read from, which would lose the source.
    void SaveImage(const std::string &fileName);
    // Turns a calibrated picture north-up as the importer does: the picture, the reference points
    // and the calibration turn (RotateImage), and the limit points become the corners of the
    // turned picture. Returns the angle turned, in radians. "Scale not set" when not calibrated,
    // "Image is already aligned with direction N-S" when the angle is below 1e-9 radian.
    double RotateToNorth();
    // The meridians and parallels of the grid at stepDeg over the picture: from the multiple of
    // the step at or below the smallest longitude (latitude) of the four corners, while below the
    // largest, at most 10 000 lines in all; none before calibration.
    std::vector<TPixelLine> ImageGridLines(double stepDeg) const;

    // Accessors (each takes the picture's lock).
    bool IsCalibrated() const;
    TImageCalibration Calibration() const;
    TChartRect Bounds() const;
    // Whether Bounds is known yet (a calibration and the picture's size, or its limit points).
    bool BoundsKnown() const;
    std::string ImageFileName() const;
    std::string ChartDescription() const;
    bool MercatorLatitudeScale() const;
    void SetMercatorLatitudeScale(bool on);
    bool Rotated() const;
    int PointCount() const;
    std::array<TChartPoint, 3> RefPoints() const;
    std::array<TChartPoint, 4> LimitPoints() const;
    void SetChartDescription(const std::string &text);
    // Calibrates from new reference points (the importer's side); limit points as given.
    void SetPoints(const std::array<TChartPoint, 3> &ref, const std::array<TChartPoint, 4> &limit);
    // The picture's pixels, or none before it was read.
    std::shared_ptr<const TExBitmap> Bitmap() const;

    int LoadState() const { return FLoadState.load(); } // 0 not read, 1 read, 2 failed

    bool Busy() const { return FBusy.load(); }

    std::atomic<bool> Abort {false};

private:
    void LoadImageLocked();
    void ComputeLimitPointsLocked();
    void ComputeBoundsLocked();
    void CalibrateLocked();

    mutable std::mutex FMutex;
    std::atomic<bool> FBusy {false};
    std::atomic<int> FLoadState {0};
    std::shared_ptr<const TExBitmap> FBitmap;
    std::string FImageFileName;
    std::string FChartDescription;
    TImageCalibration FCal;
    int FPointCount = 0;
    std::array<TChartPoint, 4> FLimit;
    TChartRect FBounds;
    bool FBoundsKnown = false;
    bool FRotated = false;
};

class TChtChartImage;

// A background render in progress, as seen by its chart image.
class TRenderJob
{
public:
    virtual ~TRenderJob() = default;
    // Stops the render at its next row; its result is discarded.
    virtual void Cancel() = 0;
    // The chart image is going away: its result is never delivered to it.
    virtual void Detach() = 0;
};

// Starts background renders; the chart view's surface supplies one. The result reaches
// TChtChartImage::RenderFinished on the main thread, unless the job was detached first.
class TRenderLauncher
{
public:
    virtual ~TRenderLauncher() = default;
    virtual std::shared_ptr<TRenderJob> Start(
        std::shared_ptr<TImagemCarta> image, TChtChartImage *owner, const TChartRect &view) = 0;
};

// The chart object of a raster chart in a desktop ("O;ImgChart;").
class TChtChartImage : public TChtPoliPoints
{
public:
    TChtChartImage();
    ~TChtChartImage() override;

    std::shared_ptr<TImagemCarta> Imagem;
    TChartRect ViewRect;
    std::optional<TExBitmap> Rendered; // the picture part rendered for the current view
    int DrawX = 0;
    int DrawY = 0;
    TChartSurface *Chart = nullptr; // the surface that last drew it, not owned
    bool Visible = false;
    bool NeedsRender = false;
    bool DrawOutline = true;
    std::string BaseDir; // folder that desktop paths are relative to
    std::string CIDFile;
    int Opacity = 100; // percent
    // Set by a desktop reader: a data file or picture that cannot be read leaves the image in the
    // desktop, unloaded and not drawn, with LoadError saying why, instead of failing the object.
    bool KeepUnloaded = false;
    std::string LoadError;

    bool Loaded() const { return LoadError.empty(); }

    void SetAttribute(std::string_view key, std::string_view value) override;
    void WriteAttributes(std::vector<std::string> &lines) const override;

    std::string HeaderLine() const override { return "O;ImgChart;"; }

    bool IsValid() const override;
    void Draw(TChartSurface &chart, bool recompute) override;

    // Reads CIDFile and checks the picture's alignment (confirm answers the rotation question;
    // none refuses rotation). Raises EVrnError.
    void LoadCID(const TConfirmFn &confirm = nullptr);
    // The object's box from the picture's bounds (after the picture was read).
    void UpdateBounds();
    // The description of the picture, or the data file's name when it has none.
    std::string DisplayName() const;

    // Main thread, from the launcher: the render of job finished (none when it failed or was
    // cancelled).
    void RenderFinished(const TRenderJob *job, std::optional<TRenderResult> result);

    bool IsRendering() const { return FMaker != nullptr; }

protected:
    // The picture and its positions are in the data file: a chart image writes no point lines.
    void WritePointLines(std::vector<std::string> &) const override { }

private:
    void DropMaker();
    // Keeps a finished render to be drawn at its place on the view.
    void TakeRender(TRenderResult &&result);

    std::shared_ptr<TRenderJob> FMaker;
};

} // namespace vrn
