#include "charts/ImgCarta.h"

#include "charts/ChartPaths.h"
#include "charts/KaMD5.h"
#include "charts/Mercator.h"
#include "charts/PictureReaders.h"
#include "charts/PictureWriters.h"
#include "common/FileIO.h"
#include "common/strtoken.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <thread>

namespace vrn {

namespace {

constexpr const char *kLineBreak = "\n";
// A chart image data file is a few hundred bytes; anything past this is not one.
constexpr std::size_t kMaxCidBytes = 1 << 20;

std::string BadReferencePointsMessage()
{
    return std::string("Bad reference points.") + kLineBreak
        + "The points provided can't be used. Try again";
}

} // namespace

// ---- TChartRect ----------------------------------------------------------------------------

void TChartRect::UpdateScales()
{
    XScale = PixelWidth() / LonWidth();
    YScale = PixelHeight() / LatHeight();
}

void TChartRect::WorldToPixel(double latDeg, double lonDeg, double &x, double &y) const
{
    x = (TopLeft.Lon - lonDeg) * XScale + TopLeft.X;
    y = (TopLeft.Lat - latDeg) * YScale + TopLeft.Y;
}

void TChartRect::PixelToWorld(double x, double y, double &latDeg, double &lonDeg) const
{
    lonDeg = TopLeft.Lon - (x - TopLeft.X) / XScale;
    latDeg = TopLeft.Lat - (y - TopLeft.Y) / YScale;
}

bool TChartRect::IsValid() const
{
    return TopLeft.Lat >= BottomRight.Lat && TopLeft.Lon >= BottomRight.Lon;
}

std::optional<TChartRect> TChartRect::Intersect(const TChartRect &other) const
{
    TChartRect r;
    r.TopLeft.Lat = std::min(TopLeft.Lat, other.TopLeft.Lat);
    r.TopLeft.Lon = std::min(TopLeft.Lon, other.TopLeft.Lon);
    r.BottomRight.Lat = std::max(BottomRight.Lat, other.BottomRight.Lat);
    r.BottomRight.Lon = std::max(BottomRight.Lon, other.BottomRight.Lon);
    if (!r.IsValid())
        return std::nullopt;
    return r;
}

namespace {

// Rounding noise of the degree arithmetic (a corner computed as 300.0000000001) is no fraction
// of a pixel: snapping it outwards would add a row or column of nothing.
double Whole(double v)
{
    const double r = std::nearbyint(v);
    return std::fabs(v - r) < 1e-6 ? r : v;
}

} // namespace

void TChartRect::SnapToPixels()
{
    const TChartRect old = *this;
    TopLeft.X = std::trunc(Whole(old.TopLeft.X));
    TopLeft.Y = std::trunc(Whole(old.TopLeft.Y));
    BottomRight.X = std::trunc(Whole(old.BottomRight.X));
    if (BottomRight.X != Whole(old.BottomRight.X))
        BottomRight.X += 1;
    BottomRight.Y = std::trunc(Whole(old.BottomRight.Y));
    if (BottomRight.Y != Whole(old.BottomRight.Y))
        BottomRight.Y += 1;
    old.PixelToWorld(TopLeft.X, TopLeft.Y, TopLeft.Lat, TopLeft.Lon);
    old.PixelToWorld(BottomRight.X, BottomRight.Y, BottomRight.Lat, BottomRight.Lon);
    UpdateScales();
}

void TChartRect::Center(double &latDeg, double &lonDeg) const
{
    latDeg = (TopLeft.Lat + BottomRight.Lat) / 2;
    lonDeg = (TopLeft.Lon + BottomRight.Lon) / 2;
}

TChartRect ViewRectOf(const TEscalaCarta &scale)
{
    TChartRect r;
    r.TopLeft.Lat = scale.LatMax;
    r.TopLeft.Lon = scale.LonMax;
    r.BottomRight.Lat = scale.LatMin;
    r.BottomRight.Lon = scale.LonMin;
    const TScreenPointF tl = scale.World2ScreenF(scale.LatMax, scale.LonMax);
    const TScreenPointF br = scale.World2ScreenF(scale.LatMin, scale.LonMin);
    r.TopLeft.X = tl.X;
    r.TopLeft.Y = tl.Y;
    r.BottomRight.X = br.X;
    r.BottomRight.Y = br.Y;
    r.UpdateScales();
    return r;
}

// ---- TImageCalibration ---------------------------------------------------------------------

void TImageCalibration::Clear()
{
    FCalibrated = false;
}

double TImageCalibration::MapLat(double latDeg) const
{
    if (!Mercator)
        return latDeg;
    return MercatorCoordFromLat(FLatMaxRef, FLatMinRef, FLatMaxRef, FLatMinRef, latDeg);
}

double TImageCalibration::UnmapLat(double coord) const
{
    if (!Mercator)
        return coord;
    return MercatorLatFromCoord(FLatMaxRef, FLatMinRef, FLatMaxRef, FLatMinRef, coord);
}

namespace {

// Two offset vectors are degenerate (collinear, or one of them null) when their cross product is
// negligible against their lengths.
bool IsDegenerate(double det, double ax, double ay, double bx, double by)
{
    const double scale = (std::fabs(ax) + std::fabs(ay)) * (std::fabs(bx) + std::fabs(by));
    return !(scale > 0) || !(std::fabs(det) > 1e-9 * scale);
}

} // namespace

void TImageCalibration::Calibrate()
{
    FCalibrated = false;
    FLatMinRef = std::min({Ref[0].Lat, Ref[1].Lat, Ref[2].Lat});
    FLatMaxRef = std::max({Ref[0].Lat, Ref[1].Lat, Ref[2].Lat});
    if (FLatMinRef == FLatMaxRef)
        throw EVrnError("Error: LatMax=LatMin");
    for (const auto &p : Ref)
        if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(p.Lat)
            || !std::isfinite(p.Lon) || std::fabs(p.Lat) >= 90)
            throw EVrnError(BadReferencePointsMessage());
    double l[3];
    try {
        for (int i = 0; i < 3; ++i)
            l[i] = MapLat(Ref[i].Lat);
    } catch (const EMathError &) {
        throw EVrnError(BadReferencePointsMessage());
    }
    FL1 = l[0];
    FDX1 = Ref[1].X - Ref[0].X;
    FDY1 = Ref[1].Y - Ref[0].Y;
    FDX2 = Ref[2].X - Ref[0].X;
    FDY2 = Ref[2].Y - Ref[0].Y;
    FDL1 = l[1] - l[0];
    FDLon1 = Ref[1].Lon - Ref[0].Lon;
    FDL2 = l[2] - l[0];
    FDLon2 = Ref[2].Lon - Ref[0].Lon;
    FPixDet = FDX1 * FDY2 - FDX2 * FDY1;
    FPosDet = FDL1 * FDLon2 - FDL2 * FDLon1;
    if (IsDegenerate(FPixDet, FDX1, FDY1, FDX2, FDY2)
        || IsDegenerate(FPosDet, FDL1, FDLon1, FDL2, FDLon2))
        throw EVrnError(BadReferencePointsMessage());
    FCalibrated = true;
}

void TImageCalibration::World2Screen(double latDeg, double lonDeg, double &x, double &y) const
{
    x = y = 0;
    if (!FCalibrated)
        return;
    double l = 0;
    try {
        l = MapLat(latDeg);
    } catch (const EMathError &) {
        throw EVrnError("Erro em World2Screen()");
    }
    const double dl = l - FL1;
    const double dlon = lonDeg - Ref[0].Lon;
    const double m = (dl * FDLon2 - dlon * FDL2) / FPosDet;
    const double o = (FDL1 * dlon - FDLon1 * dl) / FPosDet;
    x = Ref[0].X + m * FDX1 + o * FDX2;
    y = Ref[0].Y + m * FDY1 + o * FDY2;
}

void TImageCalibration::Screen2World(double x, double y, double &latDeg, double &lonDeg) const
{
    latDeg = lonDeg = 0;
    if (!FCalibrated)
        return;
    const double u = x - Ref[0].X;
    const double v = y - Ref[0].Y;
    const double c = (u * FDY2 - v * FDX2) / FPixDet;
    const double d = (FDX1 * v - FDY1 * u) / FPixDet;
    const double l = FL1 + c * FDL1 + d * FDL2;
    lonDeg = Ref[0].Lon + c * FDLon1 + d * FDLon2;
    try {
        latDeg = UnmapLat(l);
    } catch (const EMathError &) {
        throw EVrnError("Erro em Screen2World()");
    }
}

// ---- TImagemCarta --------------------------------------------------------------------------

TImagemCarta::TImagemCarta() = default;

TImagemCarta::~TImagemCarta()
{
    // A render running on another thread holds its own reference to this object (shared
    // ownership), so by the time this runs none can be using it.
}

namespace {

struct TCidFile
{
    std::vector<std::pair<std::string, std::string>> Entries;

    // Value of the first key matching ignoring case, or none.
    std::optional<std::string> Value(std::string_view key) const
    {
        const std::string k = LowerAscii(key);
        for (const auto &[name, value] : Entries)
            if (name == k)
                return value;
        return std::nullopt;
    }
};

TCidFile ReadCid(const std::string &fileName)
{
    TCidFile cid;
    for (const std::string &line : DecodeTextFile(ReadChartFileBytes(fileName, kMaxCidBytes))) {
        const auto eq = line.find('=');
        if (eq == std::string::npos || line.empty() || line.front() == '[' || line.front() == ';')
            continue;
        cid.Entries.emplace_back(
            LowerAscii(Trim(std::string_view(line).substr(0, eq))), line.substr(eq + 1));
    }
    return cid;
}

std::optional<TChartPoint> ParseCidPoint(const std::optional<std::string> &value)
{
    if (!value)
        return std::nullopt;
    const TStringTokenizer fields(*value, ";");
    if (fields.Count() < 4)
        return std::nullopt;
    const auto x = ParseNumber(fields.Token(0));
    const auto y = ParseNumber(fields.Token(1));
    const auto lon = ParseNumber(fields.Token(2));
    const auto lat = ParseNumber(fields.Token(3));
    if (!x || !y || !lon || !lat || std::fabs(*lat) > 90 || std::fabs(*lon) > 540)
        return std::nullopt;
    return TChartPoint {*x, *y, *lat, *lon};
}

std::string CidPointText(const TChartPoint &p)
{
    return FormatFixed(p.X, 6, 10) + ";" + FormatFixed(p.Y, 6, 10) + ";" + FormatFixed(p.Lon, 6, 10)
        + ";" + FormatFixed(p.Lat, 6, 10);
}

std::string AbsolutePath(const std::string &path)
{
    std::error_code ec;
    const auto abs = std::filesystem::absolute(path, ec);
    return ec ? path : abs.lexically_normal().string();
}

bool IsSameFile(const std::string &a, const std::string &b)
{
    std::error_code ec;
    if (std::filesystem::equivalent(a, b, ec))
        return true;
    return AbsolutePath(a) == AbsolutePath(b);
}

} // namespace

void TImagemCarta::LoadFromCID(const std::string &fileName)
{
    const TCidFile cid = ReadCid(fileName);
    const std::string imageName =
        ResolveFilePath(DirectoryOf(fileName), Trim(cid.Value("ImageName").value_or("")));
    const std::string description(Trim(cid.Value("ChartDescription").value_or("")));
    const std::string computed = MD5OfFile(imageName);
    const std::string stored(Trim(cid.Value("MD5ImageSignature").value_or("")));
    if (computed != stored)
        throw EVrnError("Error loading " + fileName + kLineBreak + "File " + imageName
            + " has changed." + kLineBreak + "MD5 signature = " + stored + kLineBreak
            + "MD5 should be = " + computed + kLineBreak
            + "Image file has changed since it was imported." + kLineBreak
            + "For your safety, image must be imported again with Kartograv.");
    std::array<TChartPoint, 3> ref;
    for (int i = 0; i < 3; ++i) {
        const auto p = ParseCidPoint(cid.Value("RefPoint" + std::to_string(i + 1)));
        if (!p)
            throw EVrnError("Error loading Reference Point " + std::to_string(i + 1));
        ref[i] = *p;
    }
    std::array<TChartPoint, 4> limit;
    for (int i = 0; i < 4; ++i)
        limit[i] =
            ParseCidPoint(cid.Value("LimitPoint" + std::to_string(i + 1))).value_or(TChartPoint {});
    const bool mercator =
        LowerAscii(Trim(cid.Value("MercatorLatitudeScale").value_or(""))) == "true";

    SetImageFile(imageName);
    std::lock_guard lock(FMutex);
    FChartDescription = description;
    FCal.Mercator = mercator;
    FCal.Ref = ref;
    FLimit = limit;
    FPointCount = 3;
    CalibrateLocked();
}

void TImagemCarta::SaveCID(const std::string &fileName, double writtenAt) const
{
    std::lock_guard lock(FMutex);
    if (!FCal.IsCalibrated())
        throw EVrnError("Scale not set");
    if (FRotated)
        throw EVrnError("The image was rotated. You need to save it before savind the CID");
    // A data file names and signs the picture as it is on disk, and never replaces it.
    if (!FBitmap)
        throw EVrnError("No picture has been read for this chart image data file");
    if (IsSameFile(fileName, FImageFileName))
        throw EVrnError(
            "The chart image data file cannot be written over its picture " + FImageFileName);
    const std::string dir = DirectoryOf(AbsolutePath(fileName));
    // Relative even when the picture lies outside the data file's folder ("../").
    const std::string imageName = RelativePathFrom(FImageFileName, dir);
    if (imageName.find_first_of("\r\n") != std::string::npos)
        throw EVrnError("Invalid picture file name: " + imageName);
    std::vector<std::string> lines;
    lines.emplace_back("Content=Varunel Chart Image Data");
    lines.emplace_back("Creator=Varunel Kartograv 4.0");
    lines.push_back("ChartDescription=" + ChartFieldText(FChartDescription));
    lines.push_back(
        "Date=" + (IsValidDateTime(writtenAt) ? FileDateTimeText(writtenAt) : std::string()));
    lines.push_back("ImageName=" + imageName);
    lines.push_back("MD5ImageSignature=" + MD5OfFile(FImageFileName));
    lines.push_back(std::string("MercatorLatitudeScale=") + (FCal.Mercator ? "true" : "false"));
    lines.emplace_back();
    lines.emplace_back("[ReferencePoints] // x; y; Lon; Lat");
    for (int i = 0; i < 3; ++i)
        lines.push_back("RefPoint" + std::to_string(i + 1) + "=" + CidPointText(FCal.Ref[i]));
    lines.emplace_back();
    lines.emplace_back("[LimitPoints]     // x; y; Lon; Lat");
    for (int i = 0; i < 4; ++i)
        lines.push_back("LimitPoint" + std::to_string(i + 1) + "=" + CidPointText(FLimit[i]));
    WriteFileAtomically(fileName, EncodeTextFile(lines));
}

void TImagemCarta::SetImageFile(const std::string &fileName)
{
    const std::string name = AbsolutePath(fileName);
    std::lock_guard lock(FMutex);
    if (name == FImageFileName && !FRotated)
        return;
    FLoadState = 0;
    FImageFileName = name;
    FBitmap.reset();
    FBoundsKnown = false;
    if (!DeferredLoad) {
        FRotated = false;
        FPointCount = 0;
        FCal.Clear();
        LoadImageLocked();
    } else if (!IsRegularFile(name)) {
        FLoadState = 2;
        throw EVrnError("File does not exist: " + name);
    }
}

void TImagemCarta::LoadImage()
{
    std::lock_guard lock(FMutex);
    LoadImageLocked();
}

void TImagemCarta::LoadImageLocked()
{
    if (FImageFileName.empty())
        return;
    const std::string ext = LowerAscii(std::filesystem::path(FImageFileName).extension().string());
    try {
        TExBitmap picture;
        if (ext == ".bmp") {
            picture = ReadBmpFile(FImageFileName);
        } else if (ext == ".gif") {
            picture = ReadGifFile(FImageFileName);
        } else if (ext == ".jpg" || ext == ".jpeg") {
            try {
                picture = ReadJpegFile(FImageFileName);
            } catch (const EVrnError &) {
                throw EVrnError("Error loading " + FImageFileName);
            }
        } else {
            throw EVrnError("Error loading " + FImageFileName);
        }
        FBitmap = std::make_shared<const TExBitmap>(std::move(picture));
        FLoadState = 1;
    } catch (...) {
        FLoadState = 2;
        throw;
    }
}

void TImagemCarta::Calibrate()
{
    std::lock_guard lock(FMutex);
    CalibrateLocked();
}

void TImagemCarta::CalibrateLocked()
{
    try {
        FCal.Calibrate();
    } catch (...) {
        FPointCount = 0;
        FBoundsKnown = false;
        throw;
    }
    ComputeBoundsLocked();
}

void TImagemCarta::World2Screen(double latDeg, double lonDeg, double &x, double &y) const
{
    std::lock_guard lock(FMutex);
    FCal.World2Screen(latDeg, lonDeg, x, y);
}

void TImagemCarta::Screen2World(double x, double y, double &latDeg, double &lonDeg) const
{
    std::lock_guard lock(FMutex);
    FCal.Screen2World(x, y, latDeg, lonDeg);
}

void TImagemCarta::ComputeBounds()
{
    std::lock_guard lock(FMutex);
    ComputeBoundsLocked();
}

void TImagemCarta::ComputeBoundsLocked()
{
    FBoundsKnown = false;
    if (!FCal.IsCalibrated())
        return;
    double right = 0, bottom = 0;
    if (FBitmap && !FBitmap->IsEmpty()) {
        right = FBitmap->Width() - 1;
        bottom = FBitmap->Height() - 1;
    } else if (FLimit[2].X != 0 && FLimit[2].Y != 0) {
        // The far corner: limit point 3 of an upright import, and the largest pixel of the four
        // of a picture the importer turned north-up.
        for (const auto &p : FLimit) {
            right = std::max(right, p.X);
            bottom = std::max(bottom, p.Y);
        }
    } else {
        return;
    }
    TChartRect b;
    b.TopLeft.X = 0;
    b.TopLeft.Y = 0;
    FCal.Screen2World(0, 0, b.TopLeft.Lat, b.TopLeft.Lon);
    b.BottomRight.X = right;
    b.BottomRight.Y = bottom;
    FCal.Screen2World(right, bottom, b.BottomRight.Lat, b.BottomRight.Lon);
    b.UpdateScales();
    FBounds = b;
    FBoundsKnown = true;
}

std::optional<std::array<TScreenPoint, 4>> TImagemCarta::Outline(const TChartRect &view) const
{
    // A view of a scale that has no surface yet has no pixels per degree (0/0).
    if (!std::isfinite(view.XScale) || !std::isfinite(view.YScale))
        return std::nullopt;
    std::lock_guard lock(FMutex);
    if (!FBoundsKnown || !FBounds.Intersect(view))
        return std::nullopt;
    std::array<TScreenPoint, 4> out;
    for (int i = 0; i < 4; ++i) {
        const TChartPoint &p = FLimit[i];
        if (p.Lat == 0 && p.Lon == 0)
            return std::nullopt;
        double x = 0, y = 0;
        view.WorldToPixel(p.Lat, p.Lon, x, y);
        out[i] = {SaturatedPixel(x), SaturatedPixel(y)};
    }
    return out;
}

namespace {

// Clears Busy on every way out of a render.
struct TBusyGate
{
    std::atomic<bool> &Flag;

    ~TBusyGate() { Flag.store(false); }
};

} // namespace

std::optional<TRenderResult> TImagemCarta::RenderView(
    const TChartRect &viewIn, const std::atomic<bool> *cancel, bool waitIfBusy)
{
    for (;;) {
        bool expected = false;
        if (FBusy.compare_exchange_strong(expected, true))
            break;
        if (!waitIfBusy)
            return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    TBusyGate gate {FBusy};
    Abort.store(false);
    TImageCalibration cal;
    TChartRect bounds;
    std::shared_ptr<const TExBitmap> picture;
    {
        std::lock_guard lock(FMutex);
        if (DeferredLoad && FLoadState == 0) {
            LoadImageLocked();
            ComputeBoundsLocked();
        }
        if (!FCal.IsCalibrated() || !FBoundsKnown || !FBitmap)
            return std::nullopt;
        cal = FCal;
        bounds = FBounds;
        picture = FBitmap;
    }
    auto cancelled = [&] {
        return Abort.load(std::memory_order_relaxed)
            || (cancel && cancel->load(std::memory_order_relaxed));
    };
    TChartRect view = viewIn;
    view.UpdateScales();
    auto overlap = bounds.Intersect(view);
    if (!overlap)
        return std::nullopt;
    TChartRect rr = *overlap;
    view.WorldToPixel(rr.TopLeft.Lat, rr.TopLeft.Lon, rr.TopLeft.X, rr.TopLeft.Y);
    view.WorldToPixel(rr.BottomRight.Lat, rr.BottomRight.Lon, rr.BottomRight.X, rr.BottomRight.Y);
    rr.UpdateScales();
    rr.SnapToPixels();
    const double outW = std::trunc(rr.PixelWidth());
    const double outH = std::trunc(rr.PixelHeight());
    if (!(outW >= 1 && outH >= 1) || outW * outH > double(kMaxPicturePixels))
        return std::nullopt;
    TExBitmap out(static_cast<int>(outW), static_cast<int>(outH));
    const double ox = std::trunc(rr.TopLeft.X);
    const double oy = std::trunc(rr.TopLeft.Y);
    auto pictureOf = [&](double vx, double vy, double &px, double &py) {
        double lat = 0, lon = 0;
        rr.PixelToWorld(vx, vy, lat, lon);
        cal.World2Screen(lat, lon, px, py);
    };
    double ax = 0, ay = 0, bx = 0, by = 0;
    pictureOf(ox - 0.5, oy - 0.5, ax, ay);
    pictureOf(ox + 0.5, oy + 0.5, bx, by);
    const double dx = bx - ax;
    const double dy = by - ay;
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return std::nullopt;
    const int sx = dx > 5 ? static_cast<int>(dx) / 5 + 1 : 1;
    const int sy = dy > 5 ? static_cast<int>(dy) / 5 + 1 : 1;
    const int picW = picture->Width();
    const int picH = picture->Height();
    const int w = out.Width();
    const int h = out.Height();

    // Every row covers the same picture columns, so their ranges and edge weights are computed
    // once; columns beyond the picture are dropped here rather than tested per pixel.
    struct TSpan
    {
        int First, Last; // picture columns (or rows), inclusive, already clipped
        double WFirst, WLast; // weight of the unclipped first and last column
        int Lo, Hi; // unclipped range
    };

    auto spanOf = [](double a, double b, int limit) {
        TSpan s {};
        const double lo = std::trunc(a);
        const double hi = std::ceil(b);
        s.Lo = static_cast<int>(std::clamp(lo, -2.0e9, 2.0e9));
        s.Hi = static_cast<int>(std::clamp(hi, -2.0e9, 2.0e9));
        s.WFirst = 1 - std::fabs(a - lo);
        s.WLast = std::fabs(hi - b);
        s.First = std::max(s.Lo, 0);
        s.Last = std::min(s.Hi, limit - 1);
        return s;
    };
    std::vector<TSpan> cols(static_cast<std::size_t>(w));
    {
        double x0 = ax, x1 = ax + dx;
        for (int i = 0; i < w; ++i) {
            cols[static_cast<std::size_t>(i)] = spanOf(x0, x1, picW);
            x0 = x1;
            x1 += dx;
        }
    }
    auto weightOf = [](const TSpan &s, int v) {
        return v == s.Lo ? s.WFirst : (v == s.Hi ? s.WLast : 1.0);
    };
    double y0 = ay, y1 = by;
    for (int r = 0; r < h; ++r) {
        if (cancelled())
            return std::nullopt;
        const TSpan rows = spanOf(y0, y1, picH);
        std::uint8_t *dst = out.ScanLine(r);
        for (int i = 0; i < w; ++i, dst += 3) {
            const TSpan &c = cols[static_cast<std::size_t>(i)];
            double sumR = 0, sumG = 0, sumB = 0, sumW = 0;
            // Start on the sampling grid of the unclipped range so stepping matches it.
            int m = rows.Lo;
            if (m < rows.First)
                m += (rows.First - m + sy - 1) / sy * sy;
            for (; m <= rows.Last; m += sy) {
                const double wy = weightOf(rows, m);
                const std::uint8_t *src = picture->ScanLine(m);
                int l = c.Lo;
                if (l < c.First)
                    l += (c.First - l + sx - 1) / sx * sx;
                for (; l <= c.Last; l += sx) {
                    const double wgt = wy * weightOf(c, l);
                    const std::uint8_t *p = src + 3 * static_cast<std::size_t>(l);
                    sumB += wgt * p[0];
                    sumG += wgt * p[1];
                    sumR += wgt * p[2];
                    sumW += wgt;
                }
            }
            if (sumW > 0) {
                dst[0] = static_cast<std::uint8_t>(std::clamp(sumB / sumW, 0.0, 255.0));
                dst[1] = static_cast<std::uint8_t>(std::clamp(sumG / sumW, 0.0, 255.0));
                dst[2] = static_cast<std::uint8_t>(std::clamp(sumR / sumW, 0.0, 255.0));
            } else {
                dst[0] = dst[1] = dst[2] = 255;
            }
        }
        y0 = y1;
        double px = 0;
        pictureOf(ox + 0.5, oy + r + 1.5, px, y1);
    }
    rr.TopLeft.X = ox;
    rr.TopLeft.Y = oy;
    return TRenderResult {std::move(out), rr};
}

double TImagemCarta::NorthAngle() const
{
    TImageCalibration cal = Calibration();
    if (!cal.IsCalibrated())
        throw EVrnError("Scale not set");
    const double lonMean = (cal.Ref[0].Lon + cal.Ref[1].Lon + cal.Ref[2].Lon) / 3;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cal.World2Screen(cal.LatMinRef(), lonMean, x1, y1);
    cal.World2Screen(cal.LatMaxRef(), lonMean, x2, y2);
    double a = std::numbers::pi - std::atan2(x2 - x1, y2 - y1);
    while (a > std::numbers::pi)
        a -= 2 * std::numbers::pi;
    while (a <= -std::numbers::pi)
        a += 2 * std::numbers::pi;
    return a;
}

bool TImagemCarta::NeedsRotation(double &angleRad) const
{
    angleRad = NorthAngle();
    return std::fabs(angleRad) > 0.0005;
}

bool TImagemCarta::CheckAlignment(const TConfirmFn &confirm)
{
    double a = 0;
    if (!NeedsRotation(a))
        return true;
    const std::string question = "Image " + ImageFileName() + " needs to be rotated "
        + FormatFixed(a * 180 / std::numbers::pi, 6, 10) + " degrees " + kLineBreak
        + "to align with direction North-South." + kLineBreak + "Do it now ?";
    if (!confirm || !confirm(question))
        return false;
    RotateImage();
    return true;
}

void TImagemCarta::RotateImage()
{
    const double a = NorthAngle();
    std::lock_guard lock(FMutex);
    if (!FBitmap) {
        LoadImageLocked();
    }
    const double cx0 = FBitmap->Width() / 2.0;
    const double cy0 = FBitmap->Height() / 2.0;
    auto copy = std::make_shared<const TExBitmap>(FBitmap->Rotated(a));
    const double cx1 = copy->Width() / 2.0;
    const double cy1 = copy->Height() / 2.0;
    const double s = std::sin(a);
    const double c = std::cos(a);
    auto move = [&](TChartPoint &p) {
        const double x = p.X - cx0;
        const double y = p.Y - cy0;
        p.X = x * c + y * s + cx1;
        p.Y = -x * s + y * c + cy1;
    };
    for (auto &p : FCal.Ref)
        move(p);
    for (auto &p : FLimit)
        move(p);
    FBitmap = std::move(copy);
    FRotated = true;
    CalibrateLocked();
    for (auto &p : FLimit)
        FCal.Screen2World(p.X, p.Y, p.Lat, p.Lon);
}

bool TImagemCarta::IsCalibrated() const
{
    std::lock_guard lock(FMutex);
    return FCal.IsCalibrated();
}

TImageCalibration TImagemCarta::Calibration() const
{
    std::lock_guard lock(FMutex);
    return FCal;
}

TChartRect TImagemCarta::Bounds() const
{
    std::lock_guard lock(FMutex);
    return FBounds;
}

bool TImagemCarta::BoundsKnown() const
{
    std::lock_guard lock(FMutex);
    return FBoundsKnown;
}

std::string TImagemCarta::ImageFileName() const
{
    std::lock_guard lock(FMutex);
    return FImageFileName;
}

std::string TImagemCarta::ChartDescription() const
{
    std::lock_guard lock(FMutex);
    return FChartDescription;
}

bool TImagemCarta::MercatorLatitudeScale() const
{
    std::lock_guard lock(FMutex);
    return FCal.Mercator;
}

void TImagemCarta::SetMercatorLatitudeScale(bool on)
{
    std::lock_guard lock(FMutex);
    FCal.Mercator = on;
}

bool TImagemCarta::Rotated() const
{
    std::lock_guard lock(FMutex);
    return FRotated;
}

int TImagemCarta::PointCount() const
{
    std::lock_guard lock(FMutex);
    return FPointCount;
}

std::array<TChartPoint, 3> TImagemCarta::RefPoints() const
{
    std::lock_guard lock(FMutex);
    return FCal.Ref;
}

std::array<TChartPoint, 4> TImagemCarta::LimitPoints() const
{
    std::lock_guard lock(FMutex);
    return FLimit;
}

void TImagemCarta::SetChartDescription(const std::string &text)
{
    std::lock_guard lock(FMutex);
    FChartDescription = text;
}

void TImagemCarta::SetPoints(
    const std::array<TChartPoint, 3> &ref, const std::array<TChartPoint, 4> &limit)
{
    std::lock_guard lock(FMutex);
    FCal.Ref = ref;
    FLimit = limit;
    FPointCount = 3;
    CalibrateLocked();
}

std::shared_ptr<const TExBitmap> TImagemCarta::Bitmap() const
{
    std::lock_guard lock(FMutex);
    return FBitmap;
}

// ---- the importer's side -----------------------------------------------------------------

EInvalidReferencePoints::EInvalidReferencePoints()
    : EVrnError("Invalid reference points. Try again")
{ }

void TImagemCarta::ClearCalibration()
{
    std::lock_guard lock(FMutex);
    FPointCount = 0;
    FCal.Clear();
    FBoundsKnown = false;
}

void TImagemCarta::AddReferencePoint(double x, double y, double latDeg, double lonDeg)
{
    std::lock_guard lock(FMutex);
    if (FPointCount >= 3)
        return;
    FCal.Ref[FPointCount] = TChartPoint {x, y, latDeg, lonDeg};
    ++FPointCount;
    if (FPointCount < 3)
        return;
    try {
        CalibrateLocked();
        ComputeLimitPointsLocked();
    } catch (const EVrnError &) {
        FPointCount = 0;
        FCal.Clear();
        FBoundsKnown = false;
        throw EInvalidReferencePoints();
    }
}

void TImagemCarta::ComputeLimitPoints()
{
    std::lock_guard lock(FMutex);
    ComputeLimitPointsLocked();
}

void TImagemCarta::ComputeLimitPointsLocked()
{
    if (!FBitmap || FBitmap->IsEmpty() || !FCal.IsCalibrated())
        return;
    const double right = FBitmap->Width() - 1;
    const double bottom = FBitmap->Height() - 1;
    const double corners[4][2] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
    std::array<TChartPoint, 4> limit;
    for (int i = 0; i < 4; ++i) {
        TChartPoint &p = limit[i];
        p.X = corners[i][0];
        p.Y = corners[i][1];
        FCal.Screen2World(p.X, p.Y, p.Lat, p.Lon);
        if (!std::isfinite(p.Lat) || !std::isfinite(p.Lon))
            throw EVrnError("Erro em Screen2World()");
        p.Lat = std::clamp(p.Lat, -90.0, 90.0);
    }
    FLimit = limit;
}

double TImagemCarta::EastAngle() const
{
    const TImageCalibration cal = Calibration();
    if (!cal.IsCalibrated())
        throw EVrnError("Scale not set");
    const double latMean = (cal.Ref[0].Lat + cal.Ref[1].Lat + cal.Ref[2].Lat) / 3;
    const double lonMin = std::min({cal.Ref[0].Lon, cal.Ref[1].Lon, cal.Ref[2].Lon});
    const double lonMax = std::max({cal.Ref[0].Lon, cal.Ref[1].Lon, cal.Ref[2].Lon});
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    cal.World2Screen(latMean, lonMin, x1, y1);
    cal.World2Screen(latMean, lonMax, x2, y2);
    double a = std::numbers::pi - std::atan2(y2 - y1, x2 - x1);
    while (a > std::numbers::pi)
        a -= 2 * std::numbers::pi;
    while (a <= -std::numbers::pi)
        a += 2 * std::numbers::pi;
    return a;
}

void TImagemCarta::SaveImage(const std::string &fileName)
{
    std::shared_ptr<const TExBitmap> picture;
    {
        std::lock_guard lock(FMutex);
        picture = FBitmap;
        if (!FImageFileName.empty() && IsSameFile(fileName, FImageFileName))
            throw EVrnError("The picture is not written over its source file " + FImageFileName
                + ". Choose another name.");
    }
    if (!picture || picture->IsEmpty())
        throw EVrnError("No picture to save");
    WritePictureFile(fileName, *picture);
    std::lock_guard lock(FMutex);
    FImageFileName = AbsolutePath(fileName);
    FRotated = false;
}

double TImagemCarta::RotateToNorth()
{
    const double a = NorthAngle();
    if (std::fabs(a) < 1e-9)
        throw EVrnError("Image is already aligned with direction N-S");
    RotateImage();
    ComputeLimitPoints();
    return a;
}

std::vector<TPixelLine> TImagemCarta::ImageGridLines(double stepDeg) const
{
    constexpr int kMaxLines = 10000;
    std::vector<TPixelLine> lines;
    const TImageCalibration cal = Calibration();
    if (!cal.IsCalibrated() || !(stepDeg > 0) || !std::isfinite(stepDeg))
        return lines;
    std::array<TChartPoint, 4> corners;
    {
        std::lock_guard lock(FMutex);
        if (FBitmap && !FBitmap->IsEmpty()) {
            const double r = FBitmap->Width() - 1;
            const double b = FBitmap->Height() - 1;
            corners = {
                TChartPoint {0, 0}, TChartPoint {r, 0}, TChartPoint {r, b}, TChartPoint {0, b}};
            for (auto &p : corners)
                cal.Screen2World(p.X, p.Y, p.Lat, p.Lon);
        } else {
            corners = FLimit;
        }
    }
    // Meridians end short of the poles, which have no place on a Mercator axis.
    constexpr double kPolarLat = 89.999;
    double latMin = kPolarLat, latMax = -kPolarLat, lonMin = 1e9, lonMax = -1e9;
    for (const auto &p : corners) {
        latMin = std::min(latMin, std::clamp(p.Lat, -kPolarLat, kPolarLat));
        latMax = std::max(latMax, std::clamp(p.Lat, -kPolarLat, kPolarLat));
        lonMin = std::min(lonMin, p.Lon);
        lonMax = std::max(lonMax, p.Lon);
    }
    auto add = [&](double lat1, double lon1, double lat2, double lon2) {
        try {
            double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
            cal.World2Screen(lat1, lon1, x1, y1);
            cal.World2Screen(lat2, lon2, x2, y2);
            lines.push_back(
                {{SaturatedPixel(std::nearbyint(x1)), SaturatedPixel(std::nearbyint(y1))},
                    {SaturatedPixel(std::nearbyint(x2)), SaturatedPixel(std::nearbyint(y2))}});
        } catch (const EVrnError &) {
            // A line whose ends cannot be placed is left out; the others are drawn.
        }
    };
    const double lon0 = std::floor(lonMin / stepDeg) * stepDeg;
    for (int k = 0; lines.size() < kMaxLines; ++k) {
        const double lon = lon0 + k * stepDeg;
        if (!(lon < lonMax))
            break;
        add(latMax, lon, latMin, lon);
    }
    const double lat0 = std::floor(latMin / stepDeg) * stepDeg;
    for (int k = 0; lines.size() < kMaxLines; ++k) {
        const double lat = lat0 + k * stepDeg;
        if (!(lat < latMax))
            break;
        add(lat, lonMax, lat, lonMin);
    }
    return lines;
}

// ---- TChtChartImage ------------------------------------------------------------------------

TChtChartImage::TChtChartImage()
    : Imagem(std::make_shared<TImagemCarta>())
{
    Imagem->DeferredLoad = true;
}

TChtChartImage::~TChtChartImage()
{
    DropMaker();
}

void TChtChartImage::DropMaker()
{
    if (FMaker) {
        FMaker->Detach();
        FMaker->Cancel();
        FMaker.reset();
    }
}

void TChtChartImage::SetAttribute(std::string_view key, std::string_view value)
{
    if (key == "cidfile" && !value.empty()) {
        CIDFile = ResolveFilePath(BaseDir, value);
        if (!KeepUnloaded) {
            LoadCID();
            return;
        }
        try {
            LoadCID();
            LoadError.clear();
        } catch (const std::exception &e) {
            LoadError = e.what();
            // Whatever the failed read left in the picture is not drawn.
            Imagem = std::make_shared<TImagemCarta>();
            Imagem->DeferredLoad = true;
        }
    } else if (key == "drawoutline") {
        DrawOutline = !value.empty() && (value.front() == 't' || value.front() == 'T');
    } else if (key == "visible") {
        Visible = !value.empty() && (value.front() == 't' || value.front() == 'T');
    } else if (key == "opacity") {
        Opacity =
            static_cast<int>(std::clamp<long long>(ParseInteger(value).value_or(100), 0, 100));
    }
}

void TChtChartImage::LoadCID(const TConfirmFn &confirm)
{
    Imagem->LoadFromCID(CIDFile);
    if (!Imagem->CheckAlignment(confirm))
        throw EVrnError(std::string("Object load error. Chart Image needs to be rotated to NS")
            + kLineBreak + "with Kartograv to be used here.");
    UpdateBounds();
}

void TChtChartImage::UpdateBounds()
{
    const TChartRect b = Imagem->Bounds();
    LatMin = std::min(b.TopLeft.Lat, b.BottomRight.Lat);
    LatMax = std::max(b.TopLeft.Lat, b.BottomRight.Lat);
    LonMin = std::min(b.TopLeft.Lon, b.BottomRight.Lon);
    LonMax = std::max(b.TopLeft.Lon, b.BottomRight.Lon);
}

std::string TChtChartImage::DisplayName() const
{
    const std::string d = Imagem->ChartDescription();
    return d.empty() ? FileNameOf(CIDFile) : d;
}

void TChtChartImage::WriteAttributes(std::vector<std::string> &lines) const
{
    const std::string cid = BaseDir.empty() ? CIDFile : RelativePathFrom(CIDFile, BaseDir);
    lines.push_back("A;CIDFile=" + ChartFieldText(cid));
    lines.push_back(std::string("A;Visible=") + (Visible ? "TRUE" : "FALSE"));
    lines.push_back("A;Opacity=" + FormatInt(Opacity));
    if (!DrawOutline)
        lines.emplace_back("A;DrawOutline=FALSE");
}

bool TChtChartImage::IsValid() const
{
    return !CIDFile.empty() && (KeepUnloaded || IsRegularFile(CIDFile));
}

void TChtChartImage::Draw(TChartSurface &chart, bool recompute)
{
    if (!Loaded())
        return;
    if (!Visible) {
        if (recompute)
            NeedsRender = true;
        if (DrawOutline) {
            if (const auto o = Imagem->Outline(ViewRectOf(chart.Escala))) {
                const TScreenPoint closed[] = {(*o)[0], (*o)[1], (*o)[2], (*o)[3], (*o)[0]};
                chart.SetPen(kClGreen, chart.PenWidth(), TPenStyle::Solid);
                chart.Polyline(closed);
            }
        }
        return;
    }
    if ((recompute || NeedsRender) && Imagem->IsCalibrated()) {
        NeedsRender = false;
        Chart = &chart;
        Rendered.reset();
        DropMaker();
        const TChartRect view = ViewRectOf(chart.Escala);
        TRenderLauncher *launcher = chart.IsPrinting() ? nullptr : chart.RenderLauncher();
        if (launcher) {
            FMaker = launcher->Start(Imagem, this, view);
        } else {
            // Printing (and drawing without a background renderer) waits for a running render of
            // the same picture rather than leaving the chart off the page.
            if (auto r = Imagem->RenderView(view, nullptr, true))
                TakeRender(std::move(*r));
        }
    }
    if (Rendered) {
        if (Opacity >= 100 || chart.IsPrinting()) {
            chart.DrawBitmap(DrawX, DrawY, *Rendered);
        } else if (auto under =
                       chart.GrabBitmap(DrawX, DrawY, Rendered->Width(), Rendered->Height())) {
            under->AlfaBlend(*Rendered, Opacity);
            chart.DrawBitmap(DrawX, DrawY, *under);
        } else {
            chart.DrawBitmap(DrawX, DrawY, *Rendered);
        }
        if (chart.IsPrinting())
            Rendered.reset();
    }
}

void TChtChartImage::RenderFinished(const TRenderJob *job, std::optional<TRenderResult> result)
{
    if (job == FMaker.get()) {
        FMaker.reset();
        if (result) {
            TakeRender(std::move(*result));
            if (Chart)
                Chart->Invalidate();
        }
    }
}

void TChtChartImage::TakeRender(TRenderResult &&result)
{
    Rendered = std::move(result.Bitmap);
    DrawX = static_cast<int>(result.Rect.TopLeft.X);
    DrawY = static_cast<int>(result.Rect.TopLeft.Y);
}

} // namespace vrn
