#include "engine/Trigonom.h"

#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>

namespace vrn {

double DegToRad(double deg)
{
    return deg * kPi / 180.0;
}

double RadToDeg(double rad)
{
    return rad * 180.0 / kPi;
}

double SinD(double deg)
{
    return std::sin(DegToRad(deg));
}

double CosD(double deg)
{
    return std::cos(DegToRad(deg));
}

double TanD(double deg)
{
    return SinD(deg) / CosD(deg);
}

double CotD(double deg)
{
    return CosD(deg) / SinD(deg);
}

// Arguments a hair beyond ±1 are rounding noise of the spherical formulas, not faults.
static double ClampUnit(double x)
{
    constexpr double slack = 1e-12;
    if (std::isnan(x) || x > 1 + slack || x < -1 - slack)
        throw EMathError("Invalid floating point operation");
    return x > 1 ? 1 : (x < -1 ? -1 : x);
}

double ArcSinRad(double x)
{
    x = ClampUnit(x);
    if (x == 1)
        return kPi / 2;
    if (x == -1)
        return -kPi / 2;
    return std::atan(x / std::sqrt(1 - x * x));
}

double ArcCosRad(double x)
{
    x = ClampUnit(x);
    if (x == 0)
        return kPi / 2;
    const double r = std::atan(std::sqrt(1 - x * x) / x);
    return x < 0 ? r + kPi : r;
}

double ArcSinD(double x)
{
    return RadToDeg(ArcSinRad(x));
}

double ArcCosD(double x)
{
    return RadToDeg(ArcCosRad(x));
}

double ArcTanD(double x)
{
    return RadToDeg(std::atan(x));
}

double ArcTan2D(double y, double x)
{
    if (x == 0)
        throw EMathError("Floating point division by zero");
    double r = ArcTanD(y / x);
    if (x <= 0)
        r += 180;
    else if (y < 0)
        r += 360;
    return r;
}

double NormalizeAngle(double v, double range)
{
    if (!std::isfinite(v) || !(range > 0))
        return v;
    if (v > range)
        return v - range * (std::ceil(v / range) - 1);
    if (v < 0)
        return v + range * std::ceil(-v / range);
    return v;
}

double Normalize360(double v)
{
    return NormalizeAngle(v, 360);
}

double Normalize24(double v)
{
    return NormalizeAngle(v, 24);
}

double NormalizeSigned180(double v)
{
    if (!std::isfinite(v))
        return v;
    if (v < -180)
        v += 360 * std::ceil((-180 - v) / 360);
    if (v > 180)
        v -= 360 * std::ceil((v - 180) / 360);
    return v;
}

int QuadrantOf(double deg)
{
    return static_cast<int>(std::trunc(Normalize360(deg) / 90)) + 1;
}

double FloorMod(double a, double m)
{
    if (a >= 0)
        return a - m * std::trunc(a / m);
    return a + m * (std::trunc(-a / m) + 1);
}

bool IsNearZero(double x)
{
    return std::fabs(x) < 1e-10;
}

namespace {

constexpr std::size_t kMaxTextChars = 20;
constexpr std::string_view kDegreeSign = "\u00B0";

std::string CutText(std::string text)
{
    return std::string(Utf8Left(text, kMaxTextChars));
}

// The letter for x >= 0 is letters[0], for x < 0 letters[1]; a shorter string gives no letter.
std::string_view HemisphereLetter(std::string_view letters, bool negative)
{
    const std::size_t i = negative ? 1 : 0;
    return i < letters.size() ? letters.substr(i, 1) : std::string_view();
}

// A leading blank of a zero-padded field ("%2d" minutes, "%4.1f" minutes) becomes "0".
std::string ZeroLead(std::string field)
{
    for (auto &c : field) {
        if (c != ' ')
            break;
        c = '0';
    }
    return field;
}

struct TDegMin
{
    double Deg = 0;
    double Min = 0; // rounded to the shown decimals, below 60
};

// Whole degrees and minutes of |x| with the minutes rounded to `decimals`; minutes that round
// to 60 carry into the degrees, so 45.99999 is 46°00.0', never 45°60.0'.
TDegMin SplitDegMin(double absDeg, int decimals)
{
    const double scale = std::pow(10.0, decimals);
    TDegMin r;
    r.Deg = std::trunc(absDeg);
    r.Min = std::round((absDeg - r.Deg) * 60 * scale) / scale;
    if (r.Min >= 60) {
        r.Min -= 60;
        r.Deg += 1;
    }
    return r;
}

TAngleText FormatAngleDM(std::string_view letters, double deg, int decimals)
{
    if (!std::isfinite(deg))
        return {"?", deg};
    const bool negative = deg < 0;
    const TDegMin dm = SplitDegMin(std::fabs(deg), decimals);
    const std::string text = FormatFixed(dm.Deg, 0, 2) + std::string(kDegreeSign)
        + ZeroLead(FormatFixed(dm.Min, decimals, decimals + 3)) + "'"
        + std::string(HemisphereLetter(letters, negative));
    const double packed = dm.Deg + dm.Min / 100;
    return {CutText(text), negative ? -packed : packed};
}

// Almanac minutes "%4.1f" of the fraction of |x|; a value that reads 60.0 carries.
TDegMin AlmanacDegMin(double absDeg, std::string &minutesText)
{
    TDegMin r;
    r.Deg = std::trunc(absDeg);
    minutesText = FormatFixed((absDeg - r.Deg) * 60, 1, 4);
    if (minutesText == "60.0") {
        r.Deg += 1;
        minutesText = "00.0";
    }
    minutesText = ZeroLead(minutesText);
    return r;
}

// Almanac columns are eight characters wide.
constexpr int kAlmanacWidth = 8;

} // namespace

std::string FormatAngleDM2(std::string_view letters, double deg)
{
    return FormatAngleDM(letters, deg, 2).Text;
}

TAngleText FormatAngleDM1(std::string_view letters, double deg)
{
    return FormatAngleDM(letters, deg, 1);
}

TAngleText FormatTimeHMS(double hours)
{
    if (!std::isfinite(hours))
        return {"?", hours};
    const bool negative = hours < 0;
    const double a = std::fabs(hours);
    double h = std::trunc(a);
    const double minutes = (a - h) * 60;
    double m = std::trunc(minutes);
    double s = std::round((minutes - m) * 60);
    if (s >= 60) {
        s -= 60;
        m += 1;
    }
    if (m >= 60) {
        m -= 60;
        h += 1;
    }
    // Two-digit hours ("04:29:47"), as every time the programs write.
    const std::string text = ZeroLead(FormatFixed(h, 0, 2)) + ":" + ZeroLead(FormatFixed(m, 0, 2))
        + ":" + ZeroLead(FormatFixed(s, 0, 2)) + (negative ? " O" : "  ");
    const double packed = h + m / 100 + s / 10000;
    return {CutText(text), negative ? -packed : packed};
}

std::string FormatTimeHM(double hours)
{
    if (!std::isfinite(hours))
        return "?";
    const bool negative = hours < 0;
    const double a = std::fabs(hours);
    double h = std::trunc(a);
    double m = std::round((a - h) * 60);
    if (m >= 60) {
        m -= 60;
        h += 1;
    }
    return CutText(ZeroLead(FormatFixed(h, 0, 2)) + ":" + ZeroLead(FormatFixed(m, 0, 2))
        + (negative ? " *" : "  "));
}

std::string FormatAlmanacDM(double deg)
{
    if (!std::isfinite(deg))
        return FormatFixed(deg, 0, kAlmanacWidth);
    const bool negative = deg < 0;
    std::string minutes;
    TDegMin dm = AlmanacDegMin(std::fabs(deg), minutes);
    if (!negative && dm.Deg == 360) // 359°59.96' is written 0 00.0, never 360 00.0
        dm.Deg = 0;
    std::string degrees = (negative ? "-" : "") + FormatFixed(dm.Deg, 0);
    if (degrees.size() < 3)
        degrees.insert(0, 3 - degrees.size(), ' ');
    return degrees + " " + minutes;
}

std::string FormatAlmanacDecl(double deg)
{
    if (!std::isfinite(deg))
        return FormatFixed(deg, 0, kAlmanacWidth);
    std::string minutes;
    const TDegMin dm = AlmanacDegMin(std::fabs(deg), minutes);
    return std::string(deg < 0 ? "S" : "N") + FormatFixed(dm.Deg, 0, 2) + " " + minutes;
}

double ParseAngleText(std::string_view text)
{
    const std::string t(Utf8Left(Trim(text), kMaxTextChars));
    const std::size_t signPos = t.find(kDegreeSign);
    if (signPos == std::string::npos)
        throw EVrnError("Invalid angle format (missing \u00B0): " + t);

    std::string_view degText = Trim(std::string_view(t).substr(0, signPos));
    const bool leadingMinus = !degText.empty() && degText.front() == '-';
    if (leadingMinus)
        degText = Trim(degText.substr(1));
    double degrees = 0;
    if (!degText.empty()) {
        // The sign belongs to the whole angle: "-45°30'" is -45.5, and "--45°" is no angle.
        if (leadingMinus && (degText.front() == '-' || degText.front() == '+'))
            throw EConvertError("'" + std::string(degText) + "' is not a valid integer value");
        degrees = static_cast<double>(StrToInt(degText));
    }

    std::string minutesText;
    bool southOrEast = false;
    for (std::size_t i = signPos + kDegreeSign.size(); i < t.size(); ++i) {
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(t[i])));
        if (c == ',' || c == '.')
            minutesText += '.';
        else if (c >= '0' && c <= '9')
            minutesText += c;
        else if (c == 'E' || c == 'S')
            southOrEast = true;
    }
    const double minutes = StrToFloat(minutesText);
    const double value = degrees + minutes / 60;
    return leadingMinus != southOrEast ? -value : value;
}

double PlaneSailingDistance(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg)
{
    const double north = (lat1Deg - lat2Deg) * 60;
    const double west = CosD(lat1Deg) * (lon1Deg - lon2Deg) * 60;
    return std::sqrt(north * north + west * west);
}

TCourseDistance GreatCircleCourseDistance(
    double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg)
{
    TCourseDistance r;
    r.Status = 1;
    if (!std::isfinite(lat1Deg) || !std::isfinite(lon1Deg) || !std::isfinite(lat2Deg)
        || !std::isfinite(lon2Deg))
        return r;
    try {
        // Colatitudes and the spherical law of cosines (Bowditch, great-circle sailing).
        const double c1 = 90 - lat1Deg;
        const double c2 = 90 - lat2Deg;
        double dLon = lon2Deg - lon1Deg;
        const double cosD = CosD(c1) * CosD(c2) + SinD(c1) * SinD(c2) * CosD(dLon);
        r.DistNm = ArcCosD(cosD) * 60;
        if (IsNearZero(SinD(c2)))
            return r; // the destination is a pole: no initial course from the formula below

        const double x = CosD(dLon) * CosD(c1) - CosD(c2) / SinD(c2) * SinD(c1);
        double t = 0;
        double c = 90;
        if (x != 0) {
            t = SinD(dLon) / x;
            c = ArcTanD(t);
        }
        // With west-positive longitudes dLon above 180 after normalising is a destination to
        // the east. A negative zero t (due north) counts as t >= 0 and is turned to 0 below.
        dLon = Normalize360(dLon);
        if (dLon > 180)
            r.CourseDeg = t >= 0 ? c : c + 180;
        else
            r.CourseDeg = t >= 0 ? c + 180 : c + 360;
        if (r.CourseDeg == 180 && lat1Deg < lat2Deg)
            r.CourseDeg = 0;
        r.Status = 0;
    } catch (const EMathError &) {
        r.Status = 1;
    }
    return r;
}

namespace {

// Meridional part ln(tan(45° + φ/2)) in radians (Bowditch, Mercator sailing); it diverges at the
// poles, so a latitude within 1e-10 of the cosine's zero (or beyond ±90) has none.
std::optional<double> MeridionalPart(double latDeg)
{
    const double c = CosD(latDeg);
    if (!(c > 1e-10))
        return std::nullopt;
    const double m = std::log((SinD(latDeg) + 1) / c);
    if (!std::isfinite(m))
        return std::nullopt;
    return m;
}

// Latitudes within this of ±90° are at the pole (CosD(90) is 6e-17, not 0).
constexpr double kPoleSlackDeg = 1e-9;

bool AtPole(double latDeg)
{
    return std::fabs(latDeg) >= 90 - kPoleSlackDeg && std::fabs(latDeg) <= 90 + kPoleSlackDeg;
}

} // namespace

TCourseDistance RhumbLineCourseDistance(
    double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg)
{
    TCourseDistance r;
    if (!std::isfinite(lat1Deg) || !std::isfinite(lon1Deg) || !std::isfinite(lat2Deg)
        || !std::isfinite(lon2Deg) || std::fabs(lat1Deg) > 90 + kPoleSlackDeg
        || std::fabs(lat2Deg) > 90 + kPoleSlackDeg) {
        r.Status = 2;
        return r;
    }
    // Along a meridian, and to or from a pole, where every rhumb line is the meridian itself.
    if (lon1Deg == lon2Deg || AtPole(lat1Deg) || AtPole(lat2Deg)) {
        r.CourseDeg = lat1Deg > lat2Deg ? 180 : 0;
        r.DistNm = std::fabs(lat1Deg - lat2Deg) * 60;
        return r;
    }
    const double w = FloorMod(DegToRad(lon2Deg - lon1Deg), 2 * kPi); // westward, radians
    const double e = FloorMod(DegToRad(lon1Deg - lon2Deg), 2 * kPi); // eastward, radians
    const auto m1 = MeridionalPart(lat1Deg);
    const auto m2 = MeridionalPart(lat2Deg);
    if (!m1 || !m2) {
        r.Status = 2;
        return r;
    }
    const double dPhi = *m2 - *m1;
    const double course =
        w < e ? FloorMod(std::atan2(-w, dPhi), 2 * kPi) : FloorMod(std::atan2(e, dPhi), 2 * kPi);
    r.CourseDeg = RadToDeg(course);
    double dist = 0;
    if (std::fabs(lat1Deg - lat2Deg) < 1e-10)
        dist = RadToDeg(CosD(lat1Deg) * std::min(w, e));
    else
        dist = std::fabs((lat2Deg - lat1Deg) / std::cos(course));
    r.DistNm = dist * 60;
    if (!std::isfinite(r.CourseDeg) || !std::isfinite(r.DistNm)) {
        r = {};
        r.Status = 2;
    }
    return r;
}

TLatLonResult GreatCircleLatitudeAt(
    double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg, double lonDeg)
{
    // Latitude of the great circle at a given longitude (Williams, Aviation Formulary), which
    // takes longitudes west-positive as this system does.
    TLatLonResult r;
    r.LonDeg = lonDeg;
    const double den = CosD(lat1Deg) * CosD(lat2Deg) * SinD(lon1Deg - lon2Deg);
    const double num = CosD(lat2Deg) * SinD(lat1Deg) * SinD(lonDeg - lon2Deg)
        - SinD(lat2Deg) * CosD(lat1Deg) * SinD(lonDeg - lon1Deg);
    // Equal (or opposite) longitudes, or a point at a pole, leave the circle undefined here.
    if (!std::isfinite(num) || !std::isfinite(den) || IsNearZero(den)) {
        r.Status = 1;
        return r;
    }
    r.LatDeg = ArcTanD(num / den);
    return r;
}

TLatLonResult RhumbLineDestination(double lat1Deg, double lon1Deg, double distNm, double courseDeg)
{
    TLatLonResult fault;
    fault.Status = 1;
    if (!std::isfinite(lat1Deg) || !std::isfinite(lon1Deg) || !std::isfinite(distNm)
        || !std::isfinite(courseDeg) || std::fabs(lat1Deg) > 90 + kPoleSlackDeg)
        return fault;
    const double d = distNm / 60;
    const double cosCourse = CosD(courseDeg);
    double lat2 = cosCourse * d + lat1Deg;
    // A rhumb line cannot run over a pole.
    if (std::fabs(lat2) > 90 + kPoleSlackDeg)
        return fault;
    if (AtPole(lat2))
        lat2 = lat2 > 0 ? 90 : -90;

    double dLon = 0;
    if (std::fabs(cosCourse) > 1e-10) {
        // Due north or south stays on the meridian, also into a pole; any other course spirals
        // round a pole with no end, so it has no longitude there.
        if (!IsNearZero(SinD(courseDeg))) {
            const auto m1 = MeridionalPart(lat1Deg);
            const auto m2 = MeridionalPart(lat2);
            if (!m1 || !m2)
                return fault;
            dLon = TanD(courseDeg) * RadToDeg(*m2 - *m1);
        }
    } else {
        const double cosLat = CosD(lat1Deg);
        if (!(std::fabs(cosLat) > 1e-10)) // due east or west at a pole
            return fault;
        dLon = SinD(courseDeg) * d / cosLat;
    }
    if (!std::isfinite(dLon))
        return fault;
    TLatLonResult r;
    r.LatDeg = lat2;
    // lon1 - dLon brought into [-180, 180).
    r.LonDeg = RadToDeg(FloorMod(DegToRad(lon1Deg - dLon) + kPi, 2 * kPi) - kPi);
    return r;
}

TPosition::TPosition(std::string_view name, double latitudeDeg, double longitudeDeg)
    : Latitude(latitudeDeg)
    , Longitude(longitudeDeg)
{
    SetName(name);
}

void TPosition::SetName(std::string_view name)
{
    FName = std::string(Utf8Left(name, kMaxTextChars));
}

std::string TPosition::LatitudeText() const
{
    return FormatAngleDM1("NS", Latitude).Text;
}

std::string TPosition::LongitudeText() const
{
    return FormatAngleDM1("WE", Longitude).Text;
}

double JulianDay(int year, int month, int day, double hour)
{
    int y = year;
    int m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const int a = y / 100;
    const int b = 2 - a + a / 4;
    return std::trunc(365.25 * (y + 4716)) + std::trunc(30.6001 * (m + 1)) + day + b - 1524.5
        + hour / 24.0;
}

} // namespace vrn
