#include "celestial/VrnCalc.h"

#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace vrn {

namespace {

// Offsets of the LOPS.LST record; each field follows the previous one without padding.
constexpr std::size_t kOffSelected = 0;
constexpr std::size_t kOffObjectName = 1; // length byte + 15
constexpr std::size_t kOffGMTDay = 17;
constexpr std::size_t kOffGMTMonth = 21;
constexpr std::size_t kOffGMTYear = 25;
constexpr std::size_t kOffGMTHours = 29;
constexpr std::size_t kOffLocalDateTime = 37;
constexpr std::size_t kOffTimeZone = 45;
constexpr std::size_t kOffWatchError = 53;
constexpr std::size_t kOffIE = 57;
constexpr std::size_t kOffDipMin = 65;
constexpr std::size_t kOffHInst = 73;
constexpr std::size_t kOffAPLat = 81;
constexpr std::size_t kOffAPLon = 89;
constexpr std::size_t kOffTotalCorr = 97;
constexpr std::size_t kOffDecl = 105;
constexpr std::size_t kOffGHA = 113;
constexpr std::size_t kOffLHA = 121;
constexpr std::size_t kOffHCalc = 129;
constexpr std::size_t kOffComments = 137; // length byte + 255
constexpr std::size_t kOffSDCorr = 393;
constexpr std::size_t kOffLowerLimb = 401;
constexpr std::size_t kOffArtificialHorizon = 402;
constexpr std::size_t kOffIntercept = 403;
constexpr std::size_t kOffAzimuth = 411;
static_assert(kOffAzimuth + 8 == kLOPRecordSize);

constexpr std::size_t kNameCapacity = 15;
constexpr std::size_t kCommentsCapacity = 255;

// Two LOPs whose directions differ by less than this are parallel (degrees).
constexpr double kParallelAngleDeg = 1e-6;
// A fix whose weights sum to less than this has no defined mean.
constexpr double kMinWeightSum = 1e-9;

class TRecordWriter
{
public:
    explicit TRecordWriter(TLOPRecordBytes &bytes)
        : FBytes(bytes)
    { }

    void Byte(std::size_t off, std::uint8_t v) { FBytes[off] = v; }

    void Int32(std::size_t off, std::int32_t v) { Uint(off, static_cast<std::uint32_t>(v), 4); }

    void Double(std::size_t off, double v) { Uint(off, std::bit_cast<std::uint64_t>(v), 8); }

    void ShortString(std::size_t off, std::size_t capacity, const std::string &utf8)
    {
        std::string bytes = Utf8ToCp1252(utf8);
        if (bytes.size() > capacity)
            bytes.resize(capacity);
        FBytes[off] = static_cast<std::uint8_t>(bytes.size());
        std::copy(
            bytes.begin(), bytes.end(), FBytes.begin() + static_cast<std::ptrdiff_t>(off + 1));
    }

private:
    void Uint(std::size_t off, std::uint64_t v, int size)
    {
        for (int i = 0; i < size; ++i)
            FBytes[off + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
    }

    TLOPRecordBytes &FBytes;
};

class TRecordReader
{
public:
    explicit TRecordReader(std::span<const std::uint8_t, kLOPRecordSize> bytes)
        : FBytes(bytes)
    { }

    std::uint8_t Byte(std::size_t off) const { return FBytes[off]; }

    std::int32_t Int32(std::size_t off) const
    {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(Uint(off, 4)));
    }

    double Double(std::size_t off)
    {
        const double v = std::bit_cast<double>(Uint(off, 8));
        if (!std::isfinite(v))
            FNonFinite = true;
        return v;
    }

    // Nothing when the length byte exceeds the capacity.
    std::optional<std::string> ShortString(std::size_t off, std::size_t capacity) const
    {
        const std::size_t length = FBytes[off];
        if (length > capacity)
            return std::nullopt;
        const auto *first = reinterpret_cast<const char *>(FBytes.data() + off + 1);
        return Cp1252ToUtf8(std::string_view(first, length));
    }

    bool NonFinite() const { return FNonFinite; }

private:
    std::uint64_t Uint(std::size_t off, int size) const
    {
        std::uint64_t v = 0;
        for (int i = 0; i < size; ++i)
            v |= static_cast<std::uint64_t>(FBytes[off + static_cast<std::size_t>(i)]) << (8 * i);
        return v;
    }

    std::span<const std::uint8_t, kLOPRecordSize> FBytes;
    bool FNonFinite = false;
};

// `lonDeg` moved by whole turns to within 180° of `referenceDeg`.
double UnwrapLongitude(double lonDeg, double referenceDeg)
{
    return referenceDeg + std::remainder(lonDeg - referenceDeg, 360.0);
}

std::string V41(double x)
{
    return FormatFixed(x, 1, 4);
}

[[noreturn]] void TooManyLOPs()
{
    throw EVrnError("Too many LOPs. Max=" + FormatInt(kMaxLOPs));
}

int SelectedCount(std::span<const TLOPRecord> lops)
{
    return static_cast<int>(
        std::count_if(lops.begin(), lops.end(), [](const TLOPRecord &l) { return l.Selected; }));
}

void AppendLines(std::vector<std::string> &report, std::string_view text)
{
    for (auto &line : SplitLines(text))
        report.push_back(std::move(line));
}

} // namespace

// ---------------------------------------------------------------------------------------------

TLOPRecordBytes EncodeLOPRecord(const TLOPRecord &lop)
{
    TLOPRecordBytes bytes {};
    TRecordWriter w(bytes);
    w.Byte(kOffSelected, lop.Selected ? 1 : 0);
    w.ShortString(kOffObjectName, kNameCapacity, lop.ObjectName);
    w.Int32(kOffGMTDay, lop.GMTDay);
    w.Int32(kOffGMTMonth, lop.GMTMonth);
    w.Int32(kOffGMTYear, lop.GMTYear);
    w.Double(kOffGMTHours, lop.GMTHours);
    w.Double(kOffLocalDateTime, lop.LocalDateTime);
    w.Double(kOffTimeZone, lop.TimeZone);
    w.Int32(kOffWatchError, lop.WatchError);
    w.Double(kOffIE, lop.IE);
    w.Double(kOffDipMin, lop.DipMin);
    w.Double(kOffHInst, lop.HInst);
    w.Double(kOffAPLat, lop.APLat);
    w.Double(kOffAPLon, lop.APLon);
    w.Double(kOffTotalCorr, lop.TotalCorr);
    w.Double(kOffDecl, lop.Decl);
    w.Double(kOffGHA, lop.GHA);
    w.Double(kOffLHA, lop.LHA);
    w.Double(kOffHCalc, lop.HCalc);
    w.ShortString(kOffComments, kCommentsCapacity, lop.Comments);
    w.Double(kOffSDCorr, lop.SDCorr);
    w.Byte(kOffLowerLimb, lop.LowerLimb ? 1 : 0);
    w.Byte(kOffArtificialHorizon, lop.ArtificialHorizon ? 1 : 0);
    w.Double(kOffIntercept, lop.Intercept);
    w.Double(kOffAzimuth, lop.Azimuth);
    return bytes;
}

std::optional<TLOPRecord> DecodeLOPRecord(
    std::span<const std::uint8_t, kLOPRecordSize> bytes, std::string *problem)
{
    const auto fail = [&](const std::string &why) -> std::optional<TLOPRecord> {
        if (problem)
            *problem = why;
        return std::nullopt;
    };
    TRecordReader r(bytes);
    TLOPRecord lop;
    lop.Selected = r.Byte(kOffSelected) != 0;
    const auto name = r.ShortString(kOffObjectName, kNameCapacity);
    if (!name)
        return fail("object name longer than 15 characters");
    lop.ObjectName = *name;
    lop.GMTDay = r.Int32(kOffGMTDay);
    lop.GMTMonth = r.Int32(kOffGMTMonth);
    lop.GMTYear = r.Int32(kOffGMTYear);
    if (!IsValidDate(lop.GMTYear, lop.GMTMonth, lop.GMTDay))
        return fail("invalid GMT date");
    lop.GMTHours = r.Double(kOffGMTHours);
    lop.LocalDateTime = r.Double(kOffLocalDateTime);
    lop.TimeZone = r.Double(kOffTimeZone);
    lop.WatchError = r.Int32(kOffWatchError);
    lop.IE = r.Double(kOffIE);
    lop.DipMin = r.Double(kOffDipMin);
    lop.HInst = r.Double(kOffHInst);
    lop.APLat = r.Double(kOffAPLat);
    lop.APLon = r.Double(kOffAPLon);
    lop.TotalCorr = r.Double(kOffTotalCorr);
    lop.Decl = r.Double(kOffDecl);
    lop.GHA = r.Double(kOffGHA);
    lop.LHA = r.Double(kOffLHA);
    lop.HCalc = r.Double(kOffHCalc);
    // Any length 0..255 fits the comment field.
    lop.Comments = *r.ShortString(kOffComments, kCommentsCapacity);
    lop.SDCorr = r.Double(kOffSDCorr);
    lop.LowerLimb = r.Byte(kOffLowerLimb) != 0;
    lop.ArtificialHorizon = r.Byte(kOffArtificialHorizon) != 0;
    lop.Intercept = r.Double(kOffIntercept);
    lop.Azimuth = r.Double(kOffAzimuth);
    if (r.NonFinite())
        return fail("a number that is not finite");
    return lop;
}

double LOPDateTime(const TLOPRecord &lop)
{
    return EncodeDate(lop.GMTYear, lop.GMTMonth, lop.GMTDay) + lop.GMTHours / 24;
}

std::string LOPDateTimeText(const TLOPRecord &lop, const TDateFormat &format)
{
    return FormatDateTimeText(LOPDateTime(lop), format);
}

std::string LOPCaption(const TLOPRecord &lop, const TDateFormat &format)
{
    return lop.ObjectName + "-" + LOPDateTimeText(lop, format);
}

double WrapLongitude(double lonDeg)
{
    double r = std::remainder(lonDeg, 360.0);
    if (r <= -180)
        r += 360;
    return r;
}

bool IsSunOrMoon(const TAstro &body)
{
    return dynamic_cast<const TSol *>(&body) != nullptr
        || dynamic_cast<const TLua *>(&body) != nullptr;
}

std::string LimbReportLine(TLimbType limb)
{
    switch (limb) {
    case TLimbType::LowerLimb:
        return "Altitude for lower limb";
    case TLimbType::UpperLimb:
        return "Altitude for upper limb";
    default:
        return "Altitude for object center";
    }
}

std::optional<double> DateOfText(std::string_view text, const TDateFormat &format)
{
    const auto v = ParseDateTimeText(text, format);
    if (!v)
        return std::nullopt;
    return std::floor(*v);
}

double ReadGMTDate(std::string_view text, const TDateFormat &format)
{
    return ReadDateField(text, "GMT date", format);
}

// ---------------------------------------------------------------------------------------------

TLOPRecord CalcLOP(
    const TSightInputs &sight, TVrnSextant &sextant, std::vector<std::string> &report)
{
    TAstro &body = *sight.Body;
    const TVrnWatch &watch = sight.Watch;
    const TPosition &ap = sight.AssumedPos;

    const auto place = body.ComputeGHADec(watch.Year, watch.Month, watch.Day, watch.GMTHours);
    report.clear();
    report.push_back("LOP for " + body.Name());
    report.push_back(sight.GMTDateText + " " + sight.GMTTimeText + " GMT");
    report.push_back("Assumed Pos. Lat:" + ap.LatitudeText() + "  Lon:" + ap.LongitudeText());
    report.push_back("Inst. Altitude (Hs): " + FormatAngleDM1(" -", sextant.Hs).Text);

    if (sight.ArtificialHorizon)
        sextant.Hs = sextant.Hs / 2;
    sextant.CalcCorrections(sight.Limb, sight.ArtificialHorizon, body, watch, ap, sight.Boat);
    const double ho = sextant.Hs + sextant.TotalCorrection;
    if (watch.Year == 0 || !IsValidDate(watch.Year, watch.Month, watch.Day))
        throw EVrnError(InvalidDateMessage("GMT date", ShortDateFormat()));
    if (sextant.Hs == 0)
        throw EInvalidSextantAltitude();

    const TAltitudeAzimuth hz =
        ComputeAltitudeAzimuth(place.DecDeg, place.GHADeg, ap.Latitude, ap.Longitude, ho);
    if (!hz.AboveHorizon)
        throw EVrnError(body.Name() + " is not currently visible\r\nfrom assumed position.");

    TLOPRecord lop;
    lop.Selected = true;
    lop.ObjectName = std::string(Utf8Left(body.Name(), 15));
    lop.GMTDay = watch.Day;
    lop.GMTMonth = watch.Month;
    lop.GMTYear = watch.Year;
    lop.GMTHours = watch.GMTHours;
    lop.LocalDateTime = sight.LocalDateTime;
    lop.TimeZone = sight.TimeZone;
    lop.WatchError = sight.WatchError;
    lop.IE = sextant.IndexCorrection * 60;
    lop.DipMin = sextant.Dip * 60;
    lop.HInst = sextant.Hs;
    lop.APLat = ap.Latitude;
    lop.APLon = ap.Longitude;
    lop.TotalCorr = sextant.TotalCorrection * 60;
    lop.Decl = place.DecDeg;
    lop.GHA = place.GHADeg;
    lop.LHA = hz.LHADeg;
    lop.HCalc = hz.HcDeg;
    lop.SDCorr = sextant.SemiDiameter;
    lop.LowerLimb = sight.Limb == TLimbType::LowerLimb;
    lop.ArtificialHorizon = sight.ArtificialHorizon;
    lop.Intercept = hz.InterceptArcmin;
    lop.Azimuth = hz.ZnDeg;

    if (IsSunOrMoon(body) && !sight.ArtificialHorizon)
        report.push_back(LimbReportLine(sight.Limb));
    if (sight.ArtificialHorizon) {
        report.push_back("Correcting for artificial horizon.");
        report.push_back("H.inst: " + FormatAngleDM1(" -", sextant.Hs).Text);
    }
    report.push_back("Altitude corrections --- ");
    std::string corrections =
        "Dip:" + V41(sextant.Dip * 60) + "' IC:" + V41(sextant.IndexCorrection * 60) + "'";
    if (sextant.Calibration != 0)
        corrections += " Cal:" + V41(sextant.Calibration) + "'";
    if (sextant.UseCoriolis)
        corrections += " Corio:" + V41(sextant.Coriolis) + "'";
    report.push_back(corrections);
    report.push_back("Apparent Altitude (Ha): " + FormatAngleDM1(" -", sextant.Ha).Text);
    report.push_back("Par:" + V41(sextant.Parallax) + "' Refr:" + V41(sextant.Refraction)
        + "' SD:" + V41(sextant.SemiDiameter) + "'");
    report.push_back("Total Altitude Correction:" + V41(sextant.TotalCorrection * 60) + "'");
    report.push_back("Corrected Inst Altitude (Ho): " + FormatAngleDM1(" -", ho).Text);
    report.push_back("Object Positional data -----");
    report.push_back("GHA: " + FormatAngleDM1(" -", place.GHADeg).Text);
    report.push_back("Decl: " + FormatAngleDM1("NS", place.DecDeg).Text);
    report.push_back("LHA: " + FormatAngleDM1(" -", hz.LHADeg).Text);
    report.push_back("LOP Results------------------");
    report.push_back("Calculated Altitude (Hc): " + FormatAngleDM1(" -", hz.HcDeg).Text);
    report.push_back("Intercept:" + FormatFixed(lop.Intercept, 1, 5) + " NM"
        + (lop.Intercept > 0 ? " (towards)" : " (away)"));
    report.push_back("Az.calc: " + FormatFixed(lop.Azimuth, 0, 4) + "°");
    return lop;
}

// ---------------------------------------------------------------------------------------------

TLatLon LOPFootPoint(const TLOPRecord &lop)
{
    const double d = lop.Intercept / 60;
    return {lop.APLat + CosD(lop.Azimuth) * d, lop.APLon - SinD(lop.Azimuth) * d / CosD(lop.APLat)};
}

TLOPLineGeometry LOPLineGeometry(const TLOPRecord &lop, TLOPPlaneScale scale)
{
    TLOPLineGeometry g;
    g.Foot = LOPFootPoint(lop);
    const double a = lop.Azimuth + 90; // direction of the line
    if (IsNearZero(CosD(a))) {
        g.M = 0;
        g.B = g.Foot.Lat;
        return g;
    }
    const double scaleLat = scale == TLOPPlaneScale::FootLatitude ? g.Foot.Lat : lop.APLat;
    const double k = TanD(a) / CosD(scaleLat);
    if (IsNearZero(k)) {
        g.Meridian = true;
        return g;
    }
    g.M = -1 / k;
    g.B = g.Foot.Lon / k + g.Foot.Lat;
    return g;
}

double AngleBetweenLOPs(const TLOPRecord &a, const TLOPRecord &b)
{
    double angle = NormalizeAngle(std::fabs(a.Azimuth - b.Azimuth), 180);
    if (angle > 90)
        angle = 180 - angle;
    return angle;
}

std::optional<TLatLon> LOPCrossing(const TLOPRecord &a, const TLOPRecord &b)
{
    if (AngleBetweenLOPs(a, b) < kParallelAngleDeg)
        return std::nullopt;
    const TLOPLineGeometry l1 = LOPLineGeometry(a);
    const TLOPLineGeometry l2 = LOPLineGeometry(b);
    TLatLon p;
    if (l1.Meridian && l2.Meridian)
        return std::nullopt;
    if (l1.Meridian) {
        p.Lon = l1.Foot.Lon;
        p.Lat = l2.M * p.Lon + l2.B;
    } else if (l2.Meridian) {
        p.Lon = l2.Foot.Lon;
        p.Lat = l1.M * p.Lon + l1.B;
    } else {
        const double delta = l2.M - l1.M;
        if (delta == 0)
            return std::nullopt;
        p.Lat = (l1.B * l2.M - l2.B * l1.M) / delta;
        p.Lon = l1.M != 0 ? (p.Lat - l1.B) / l1.M : (p.Lat - l2.B) / l2.M;
    }
    // An assumed position at a pole leaves the plane without a scale.
    if (!std::isfinite(p.Lat) || !std::isfinite(p.Lon))
        return std::nullopt;
    return p;
}

void MoveLOP(TLOPRecord &lop, double distNm, double directionDeg)
{
    const double delta = distNm / 60;
    const double cosLat = CosD(lop.APLat);
    // At a pole every longitude is the same point; only the latitude moves.
    if (!IsNearZero(cosLat))
        lop.APLon = WrapLongitude(lop.APLon - SinD(directionDeg) * delta / cosLat);
    lop.APLat = lop.APLat + CosD(directionDeg) * delta;
}

std::optional<std::string> TransportLOP(
    TLOPRecord &lop, double targetTime, double speedKn, double courseDeg)
{
    const double dtDays = targetTime - LOPDateTime(lop);
    std::optional<std::string> warning;
    if (std::fabs(dtDays) > 1)
        warning = "Warning: Transporting LOP \"" + lop.ObjectName + "\" for more than one day.";
    MoveLOP(lop, speedKn * dtDays * 24, courseDeg);
    return warning;
}

double LatestLOPTime(std::span<const TLOPRecord> lops)
{
    double latest = 0;
    for (const auto &l : lops)
        if (l.Selected)
            latest = std::max(latest, LOPDateTime(l));
    return latest;
}

double MeanLOPTime(std::span<const TLOPRecord> lops)
{
    double sum = 0;
    int n = 0;
    for (const auto &l : lops) {
        if (l.Selected) {
            sum += LOPDateTime(l);
            ++n;
        }
    }
    return n == 0 ? 0 : sum / n;
}

// ---------------------------------------------------------------------------------------------

void TLOPList::SetTransportMode(TAutoTransportMode mode)
{
    FTransportMode = mode;
    FTransportText.clear();
    FTransportLabel.clear();
}

void TLOPList::AddLOP(const TLOPRecord &lop)
{
    if (LOPCount() >= kMaxLOPs)
        TooManyLOPs();
    FLOPs.push_back(lop);
    FTransportedLOPs.push_back(lop);
    FFixValid = false;
}

void TLOPList::AddCurrentLOP(const std::optional<TLOPRecord> &current)
{
    if (LOPCount() >= kMaxLOPs)
        TooManyLOPs();
    if (!current)
        throw EVrnError("Invalid LOP.");
    AddLOP(*current);
}

void TLOPList::AddLOPs(std::span<const TLOPRecord> lops)
{
    for (const auto &lop : lops)
        AddLOP(lop);
}

bool TLOPList::DeleteLOP(int n)
{
    if (n < 1 || n > LOPCount())
        return false;
    FLOPs.erase(FLOPs.begin() + (n - 1));
    FTransportedLOPs.erase(FTransportedLOPs.begin() + (n - 1));
    FFixValid = false;
    return true;
}

void TLOPList::ClearLOPs()
{
    if (FLOPs.empty())
        throw EVrnError("No LOPs to delete");
    FLOPs.clear();
    FTransportedLOPs.clear();
    FFixValid = false;
}

void TLOPList::SetLOPs(std::vector<TLOPRecord> lops)
{
    if (lops.size() > static_cast<std::size_t>(kMaxLOPs))
        lops.resize(kMaxLOPs);
    FLOPs = std::move(lops);
    FTransportedLOPs = FLOPs;
    FFixValid = false;
}

bool TLOPList::SetSelected(int n, bool selected)
{
    if (n < 1 || n > LOPCount())
        return false;
    const auto i = static_cast<std::size_t>(n - 1);
    if (FLOPs[i].Selected != selected)
        FFixValid = false;
    FLOPs[i].Selected = selected;
    FTransportedLOPs[i].Selected = selected;
    return true;
}

TTransportResult TLOPList::ApplyTransport(const TTransportSettings &settings)
{
    FTransportedLOPs = FLOPs;
    TTransportResult r;
    double target = 0;
    switch (FTransportMode) {
    case TAutoTransportMode::DontTransport:
        return r;
    case TAutoTransportMode::ToLatestLOPTime:
        target = LatestLOPTime(FLOPs);
        break;
    case TAutoTransportMode::ToLOPsMeanTime:
        target = MeanLOPTime(FLOPs);
        break;
    case TAutoTransportMode::ToSelectedTime:
        if (!settings.SelectedTime)
            throw EVrnError(InvalidDateMessage("GMT date", settings.DateFormat));
        target = *settings.SelectedTime;
        break;
    default:
        throw EVrnError("Invalid transport mode");
    }
    if (target == 0) {
        r.TimeLabel = "--";
        FTransportLabel = r.TimeLabel;
        return r;
    }
    r.TimeLabel = FormatDateTimeText(target, settings.DateFormat) + " GMT";
    FTransportLabel = r.TimeLabel;
    FTransportText = "LOPs transported to \r\n" + r.TimeLabel + "\r\nSpeed="
        + settings.Boat.SpeedText() + " Knts  Course=" + settings.Boat.CourseText() + "° T";
    for (auto &lop : FTransportedLOPs) {
        if (auto warning = TransportLOP(lop, target, settings.Boat.Speed, settings.Boat.Course))
            r.Warnings.push_back(std::move(*warning));
    }
    r.Moved = true;
    return r;
}

TFixResult TLOPList::CalcFix(const TTransportSettings &settings, TFixReport &report)
{
    report.Lines.clear();
    report.Transport = ApplyTransport(settings);
    if (!FTransportText.empty())
        AppendLines(report.Lines, FTransportText);
    const std::string label = FTransportText.empty() ? std::string() : FTransportLabel;
    TFixResult fix = CrossLOPs(FTransportedLOPs, label, report.Lines, settings.DateFormat);
    FFixValid = true;
    FFixLat = fix.Lat;
    FFixLon = fix.Lon;
    return fix;
}

TFixResult CrossLOPs(std::span<const TLOPRecord> lops, const std::string &transportLabel,
    std::vector<std::string> &report, const TDateFormat &format)
{
    if (SelectedCount(lops) < 2)
        throw EVrnError("Need at least 2 selected LOPs to calculate the Position");

    // The plane of the crossings: every assumed longitude within 180° of the first selected one,
    // so that LOPs on both sides of the 180th meridian meet where they should.
    const auto first =
        std::find_if(lops.begin(), lops.end(), [](const TLOPRecord &l) { return l.Selected; });
    std::vector<TLOPRecord> plane(lops.begin(), lops.end());
    for (auto &l : plane)
        l.APLon = UnwrapLongitude(l.APLon, first->APLon);

    TFixResult fix;
    std::vector<double> planeLons; // crossing longitudes unwrapped around the first crossing
    double sumW = 0, sumLat = 0, sumLon = 0;
    for (std::size_t i = 0; i + 1 < plane.size(); ++i) {
        for (std::size_t j = i + 1; j < plane.size(); ++j) {
            if (!plane[i].Selected || !plane[j].Selected)
                continue;
            const auto p = LOPCrossing(plane[i], plane[j]);
            if (!p)
                continue;
            const double angle = AngleBetweenLOPs(plane[i], plane[j]);
            const double lon =
                planeLons.empty() ? p->Lon : UnwrapLongitude(p->Lon, planeLons.front());
            const double w = SinD(angle);
            sumW += w;
            sumLat += w * p->Lat;
            sumLon += w * lon;
            planeLons.push_back(lon);
            fix.Crossings.push_back({static_cast<int>(i + 1), static_cast<int>(j + 1), angle,
                p->Lat, WrapLongitude(p->Lon)});
        }
    }
    if (fix.Crossings.empty() || sumW < kMinWeightSum)
        throw EVrnError("No crossing Found");
    fix.Lat = sumLat / sumW;
    const double fixPlaneLon = sumLon / sumW;
    fix.Lon = WrapLongitude(fixPlaneLon);

    std::vector<double> dists;
    for (std::size_t k = 0; k < fix.Crossings.size(); ++k)
        dists.push_back(
            PlaneSailingDistance(fix.Crossings[k].Lat, planeLons[k], fix.Lat, fixPlaneLon));
    const double n = static_cast<double>(dists.size());
    double sumD = 0;
    for (double d : dists)
        sumD += d;
    fix.MeanDistNm = sumD / n;
    double sumSq = 0;
    for (double d : dists)
        sumSq += (fix.MeanDistNm - d) * (fix.MeanDistNm - d);
    fix.SdNm = std::sqrt(sumSq / n);

    report.push_back("Astronomical Position Calculation");
    for (std::size_t i = 0; i < lops.size(); ++i) {
        if (!lops[i].Selected)
            continue;
        fix.LOPNumbers.push_back(static_cast<int>(i + 1));
        report.push_back(
            "#" + FormatInt(static_cast<long long>(i + 1)) + " " + LOPCaption(lops[i], format));
    }
    const std::string count = FormatInt(static_cast<long long>(fix.Crossings.size()));
    const auto pairText = [](const TLOPCrossing &c) {
        return "LOPs " + FormatInt(c.LOP1) + " and " + FormatInt(c.LOP2) + ": ";
    };
    report.push_back("Crossings between LOPs:");
    report.push_back(count + " crossings calculated");
    for (const auto &c : fix.Crossings)
        report.push_back("[" + FormatInt(c.LOP1) + "," + FormatInt(c.LOP2)
            + "]: " + FormatAngleDM1("NS", c.Lat).Text + " : " + FormatAngleDM1("WE", c.Lon).Text);
    report.push_back("Angles between LOPs");
    for (const auto &c : fix.Crossings)
        report.push_back(pairText(c) + FormatFixed(c.Angle, 1, 4) + "°");
    report.push_back("Distances from AP to crossings:");
    for (std::size_t k = 0; k < fix.Crossings.size(); ++k)
        report.push_back(pairText(fix.Crossings[k]) + FormatFixed(dists[k], 1, 4) + "NM");
    report.push_back("Average Delta: " + FormatFixed(fix.MeanDistNm, 1, 4) + "NM");
    report.push_back("Standard Deviation: " + FormatFixed(fix.SdNm, 1, 4) + "NM");
    report.push_back("------------");
    std::string numbers;
    for (int number : fix.LOPNumbers)
        numbers += (numbers.empty() ? "" : ",") + FormatInt(number);
    report.push_back("AP for LOPs " + numbers);
    report.push_back(count + " crossings calculated");
    if (!transportLabel.empty())
        report.push_back(transportLabel);
    report.push_back("Lat: " + FormatAngleDM1("NS", fix.Lat).Text);
    report.push_back("Lon: " + FormatAngleDM1("WE", fix.Lon).Text);
    return fix;
}

} // namespace vrn
