#include "celestial/LunarDistance.h"

#include "celestial/Sextante.h"
#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vrn {
namespace {

// Earth's equatorial radius and the ratio of the polar one to it (Meeus ch. 11, IAU 1976).
constexpr double kEquatorialRadiusM = 6378140;
constexpr double kPolarRatio = 0.99664719;
constexpr double kEarthRadiiPerAu = 149597870.7 / 6378.140;
constexpr double kFeetPerMetre = 1 / 0.3048;
constexpr double kSecondsPerDay = 86400;
// A distance that changes more slowly than this leaves the time undetermined: one minute of arc
// would be ten minutes of time.
constexpr double kMinRateArcminPerHour = 6;
// Observed altitudes are rough; a distance this much outside what they allow is still taken.
constexpr double kTriangleSlackDeg = 2.0 / 60;

struct TVec
{
    double X = 0; // east
    double Y = 0; // north
    double Z = 0; // up (the observer's vertical)
};

double Dot(const TVec &a, const TVec &b)
{
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

double Norm(const TVec &a)
{
    return std::sqrt(Dot(a, a));
}

TVec Add(const TVec &a, const TVec &b, double k)
{
    return {a.X + k * b.X, a.Y + k * b.Y, a.Z + k * b.Z};
}

// Angle between two vectors, well conditioned at every size.
double AngleDeg(const TVec &a, const TVec &b)
{
    const TVec c {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
    return RadToDeg(std::atan2(Norm(c), Dot(a, b)));
}

double ElevationDeg(const TVec &a)
{
    return RadToDeg(std::asin(std::clamp(a.Z / Norm(a), -1.0, 1.0)));
}

// A direction of altitude and azimuth in the observer's east-north-up frame.
TVec Direction(double altDeg, double azDeg)
{
    return {CosD(altDeg) * SinD(azDeg), CosD(altDeg) * CosD(azDeg), SinD(altDeg)};
}

// The observer's place as seen from the Earth's centre, in equatorial Earth radii and in the
// observer's frame: off the vertical towards the equator by φ − φ' (Meeus ch. 11).
TVec ObserverVector(double latDeg, double heightM)
{
    const double u = std::atan(kPolarRatio * TanD(latDeg));
    const double h = heightM / kEquatorialRadiusM;
    const double rhoSin = kPolarRatio * std::sin(u) + h * SinD(latDeg);
    const double rhoCos = std::cos(u) + h * CosD(latDeg);
    const double rho = std::hypot(rhoSin, rhoCos);
    const double tilt = latDeg - RadToDeg(std::atan2(rhoSin, rhoCos)); // φ − φ'
    return {0, -rho * SinD(tilt), rho * CosD(tilt)};
}

// Distance of a body from the Earth's centre in equatorial Earth radii; infinite for a star.
double BodyDistance(const TAstro &body)
{
    if (const auto *sun = dynamic_cast<const TSol *>(&body))
        return sun->DistanceAu() * kEarthRadiiPerAu;
    const double hpArcmin = body.GetHorizontalParallax();
    if (hpArcmin > 0)
        return 1 / SinD(hpArcmin / 60);
    return std::numeric_limits<double>::infinity();
}

// Distance from the observer to a body at distance r from the centre in direction u.
double TopocentricDistance(const TVec &observer, const TVec &u, double r)
{
    const double pu = Dot(observer, u);
    return -pu + std::sqrt(pu * pu - Dot(observer, observer) + r * r);
}

double LimbSign(TLimbChoice limb)
{
    switch (limb) {
    case TLimbChoice::Near:
        return 1; // the centres are further apart than the near limbs
    case TLimbChoice::Far:
        return -1;
    default:
        return 0;
    }
}

// Refraction lifting an apparent altitude, degrees, positive.
double RefractionDeg(double haDeg)
{
    return -SimpleRefraction(haDeg) / 60;
}

// What one body brings to a clearing at a trial time.
struct TBodyState
{
    double HaDeg = 0; // apparent altitude
    double AzDeg = 0; // azimuth from the ephemeris at the trial time
    double SDGeoArcmin = 0;
    double DistanceRadii = 0;
    TLimbChoice Limb = TLimbChoice::Center;
};

struct TClearingResult
{
    TLunarBody Body[2];
    double ApparentDistDeg = 0;
    double ClearedDistDeg = 0;
};

TClearingResult Clear(const TBodyState (&b)[2], double readingDeg, const TVec &observer)
{
    TClearingResult r;
    double h[2]; // true topocentric altitudes
    double kv[2]; // refraction's scale of the disc along the vertical and along the horizon
    double kh[2];
    double sdTopo[2]; // topocentric semi-diameters, degrees
    for (int i = 0; i < 2; ++i) {
        const double ha = b[i].HaDeg;
        h[i] = ha - RefractionDeg(ha);
        constexpr double step = 0.01;
        const double dRefraction =
            (RefractionDeg(ha + step) - RefractionDeg(ha - step)) / (2 * step);
        kv[i] = 1 / (1 - dRefraction);
        kh[i] = CosD(h[i]) > 1e-12 ? CosD(ha) / CosD(h[i]) : 1;
        sdTopo[i] = 0;
        if (b[i].SDGeoArcmin > 0 && std::isfinite(b[i].DistanceRadii)) {
            const TVec u = Direction(h[i], b[i].AzDeg);
            const double delta = TopocentricDistance(observer, u, b[i].DistanceRadii);
            const double s = SinD(b[i].SDGeoArcmin / 60) * b[i].DistanceRadii / delta;
            sdTopo[i] = RadToDeg(std::asin(std::min(1.0, s)));
        }
        r.Body[i].HaDeg = ha;
        r.Body[i].RefractionArcmin = -RefractionDeg(ha) * 60;
    }

    // The apparent distance between the centres: the topocentric semi-diameters as refraction
    // flattens them in the direction of the other body (angle q at each body between the
    // vertical and the other body, in the apparent triangle).
    const double sinH[2] = {SinD(b[0].HaDeg), SinD(b[1].HaDeg)};
    const double cosH[2] = {CosD(b[0].HaDeg), CosD(b[1].HaDeg)};
    double apparent = readingDeg;
    double applied[2] = {0, 0};
    for (int pass = 0; pass < 4; ++pass) {
        double next = readingDeg;
        for (int i = 0; i < 2; ++i) {
            const int j = 1 - i;
            double cosQ = 1;
            if (cosH[i] > 1e-9 && SinD(apparent) > 1e-9)
                cosQ = std::clamp(
                    (sinH[j] - sinH[i] * CosD(apparent)) / (cosH[i] * SinD(apparent)), -1.0, 1.0);
            const double support = sdTopo[i]
                * std::sqrt(kv[i] * kv[i] * cosQ * cosQ + kh[i] * kh[i] * (1 - cosQ * cosQ));
            applied[i] = LimbSign(b[i].Limb) * support;
            next += applied[i];
        }
        apparent = next;
    }
    r.ApparentDistDeg = apparent;
    for (int i = 0; i < 2; ++i)
        r.Body[i].SemiDiameterArcmin = applied[i] * 60;

    // The difference of azimuth the apparent triangle gives; which side the second body lies on
    // comes from the ephemeris.
    const double least = std::fabs(b[0].HaDeg - b[1].HaDeg);
    const double most = 180 - b[0].HaDeg - b[1].HaDeg;
    if (!(apparent > least - kTriangleSlackDeg && apparent < most + kTriangleSlackDeg))
        throw EVrnError("The distance does not agree with the altitudes of the objects");
    double dAz = 0;
    if (cosH[0] * cosH[1] > 1e-12)
        dAz = ArcCosD(
            std::clamp((CosD(apparent) - sinH[0] * sinH[1]) / (cosH[0] * cosH[1]), -1.0, 1.0));
    const double az1 = b[0].AzDeg;
    const auto off = [&](double az) { return std::fabs(NormalizeSigned180(az - b[1].AzDeg)); };
    const double az2 = off(az1 + dAz) <= off(az1 - dAz) ? az1 + dAz : az1 - dAz;

    TVec geocentric[2];
    const double az[2] = {az1, az2};
    for (int i = 0; i < 2; ++i) {
        const TVec u = Direction(h[i], az[i]);
        if (std::isfinite(b[i].DistanceRadii))
            geocentric[i] = Add(observer, u, TopocentricDistance(observer, u, b[i].DistanceRadii));
        else
            geocentric[i] = u;
        r.Body[i].TrueAltitudeDeg = ElevationDeg(geocentric[i]);
        r.Body[i].ParallaxArcmin = (r.Body[i].TrueAltitudeDeg - h[i]) * 60;
    }
    r.ClearedDistDeg = AngleDeg(geocentric[0], geocentric[1]);
    return r;
}

double CentreDistance(TAstro &body1, TAstro &body2, double dateTime)
{
    const auto r =
        TwoObjectsDistance(body1, TLimbChoice::Center, body2, TLimbChoice::Center, dateTime);
    if (!r)
        throw EVrnError("The distance between " + body1.Name() + " and " + body2.Name()
            + " cannot be computed");
    return r->CentreDistDeg;
}

double RateArcminPerHour(TAstro &body1, TAstro &body2, double dateTime)
{
    constexpr double h = 60 / kSecondsPerDay;
    return (CentreDistance(body1, body2, dateTime + h) - CentreDistance(body1, body2, dateTime - h))
        / (2 * h) * 60 / 24;
}

// Newton's method on the ephemeris distance, from `start`, within half a day of `origin`.
double TimeOfDistance(TAstro &body1, TAstro &body2, double distDeg, double start, double origin)
{
    double t = start;
    for (int i = 0; i < 50; ++i) {
        const double rate = RateArcminPerHour(body1, body2, t);
        if (std::fabs(rate) < kMinRateArcminPerHour)
            throw EVrnError("The distance between " + body1.Name() + " and " + body2.Name()
                + " changes too slowly to find the time");
        const double f = (CentreDistance(body1, body2, t) - distDeg) * 60;
        const double step = -f / rate / 24; // days
        t += step;
        if (!(std::fabs(t - origin) <= 0.5))
            throw EVrnError("No time within 12 hours of the watch gives the cleared distance");
        if (std::fabs(step) * kSecondsPerDay < 0.01)
            return t;
    }
    // A star's place moves by a step at each new day of its cache: the last iterate is kept
    // when it gives the distance within that step.
    if (std::fabs(CentreDistance(body1, body2, t) - distDeg) * 60 < 0.02)
        return t;
    throw EVrnError("No time within 12 hours of the watch gives the cleared distance");
}

TBodyState StateAt(
    TAstro &body, TLimbChoice limb, double haDeg, double dateTime, double latDeg, double lonDeg)
{
    const auto place = body.SetDateTime(dateTime);
    TBodyState s;
    s.HaDeg = haDeg;
    s.SDGeoArcmin = body.GetSemiDiameter();
    s.DistanceRadii = BodyDistance(body);
    s.Limb = EffectiveLimb(body, limb);
    try {
        s.AzDeg = ComputeAltitudeAzimuth(place.DecDeg, place.GHADeg, latDeg, lonDeg, 0).ZnDeg;
    } catch (const EAzimuthError &) {
        s.AzDeg = 0; // a body on the pole: its azimuth hardly moves its parallax
    }
    return s;
}

bool IsMoon(const TAstro *body)
{
    return dynamic_cast<const TLua *>(body) != nullptr;
}

std::string Arcmin(double arcmin)
{
    return (arcmin >= 0.05 ? "+" : "") + FormatFixed(std::fabs(arcmin) < 0.05 ? 0 : arcmin, 1)
        + "'";
}

std::string Column(const std::string &text, std::size_t width)
{
    std::size_t chars = 0; // UTF-8 characters: "°" is two bytes
    for (const char c : text)
        chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars < width ? std::string(width - chars, ' ') + text : text;
}

} // namespace

TLunarClearing ClearLunarDistance(const TLunarObservation &observation)
{
    const TLunarObservation &o = observation;
    CheckTwoObjects(o.Body1, o.Body2);
    if (!IsMoon(o.Body1) && !IsMoon(o.Body2))
        throw EVrnError("A lunar distance needs the Moon as one of the objects");
    if (!(o.EyeHeightM >= 0) || !std::isfinite(o.EyeHeightM))
        throw EVrnError("Height of the eye (Dip) must be a positive number");
    const double reading = o.SextantDistDeg + o.IndexCorrectionArcmin / 60;
    if (!(o.SextantDistDeg > 0 && o.SextantDistDeg < 180) || !(reading > 0 && reading < 180))
        throw EVrnError("Sextant distance must be between 0° and 180°");
    const double dip = -0.97 * std::sqrt(o.EyeHeightM * kFeetPerMetre) / 60;
    const double ha[2] = {o.Hs1Deg + o.IndexCorrectionArcmin / 60 + dip,
        o.Hs2Deg + o.IndexCorrectionArcmin / 60 + dip};
    TAstro *bodies[2] = {o.Body1, o.Body2};
    for (int i = 0; i < 2; ++i)
        if (!(ha[i] >= 0 && ha[i] <= 90))
            throw EVrnError("Altitude of " + bodies[i]->Name() + " must be between 0° and 90°");
    if (!IsValidDateTime(o.WatchDateTime) || !std::isfinite(o.WatchErrorSec))
        throw EVrnError("Invalid date");

    const TVec observer = ObserverVector(o.LatDeg, o.EyeHeightM);
    const double origin = o.WatchDateTime + o.WatchErrorSec / kSecondsPerDay;
    double t = origin;
    TClearingResult cleared;
    for (int pass = 0; pass < 10; ++pass) {
        const TBodyState states[2] = {
            StateAt(*o.Body1, o.Limb1, ha[0], t, o.LatDeg, o.LonDeg),
            StateAt(*o.Body2, o.Limb2, ha[1], t, o.LatDeg, o.LonDeg),
        };
        cleared = Clear(states, reading, observer);
        const double next = TimeOfDistance(*o.Body1, *o.Body2, cleared.ClearedDistDeg, t, origin);
        const bool settled = std::fabs(next - t) * kSecondsPerDay < 0.01;
        t = next;
        if (settled && pass > 0)
            break;
    }

    TLunarClearing r;
    r.Object1 = cleared.Body[0];
    r.Object2 = cleared.Body[1];
    r.ApparentDistDeg = cleared.ApparentDistDeg;
    r.ClearedDistDeg = cleared.ClearedDistDeg;
    r.GMT = t;
    r.WatchErrorSec = (t - o.WatchDateTime) * kSecondsPerDay;
    r.RateArcminPerHour = RateArcminPerHour(*o.Body1, *o.Body2, t);
    o.Body1->SetDateTime(t);
    o.Body2->SetDateTime(t);
    return r;
}

void LunarReport(const TLunarObservation &observation, const TLunarClearing &clearing,
    std::vector<std::string> &report)
{
    const TLunarObservation &o = observation;
    constexpr std::size_t kLabel = 22;
    constexpr std::size_t kCol = 11;
    const auto row = [&](const std::string &label, const std::string &a, const std::string &b) {
        std::string text = label;
        text.resize(kLabel, ' ');
        report.push_back(text + Column(a, kCol) + Column(b, kCol));
    };
    const auto line = [&](const std::string &label, const std::string &value) {
        std::string text = label;
        text.resize(kLabel, ' ');
        report.push_back(text + value);
    };
    // Degrees and minutes without the blank that stands for a positive sign.
    const auto dm = [](double deg) { return std::string(Trim(FormatAngleDM1(" -", deg).Text)); };
    report.push_back("Lunar distance " + o.Body1->Name() + " - " + o.Body2->Name());
    report.push_back(std::string(42, '-'));
    line("Sextant distance:", dm(o.SextantDistDeg));
    line("Index correction:", Arcmin(o.IndexCorrectionArcmin));
    row("", o.Body1->Name(), o.Body2->Name());
    row("Apparent altitude:", dm(clearing.Object1.HaDeg), dm(clearing.Object2.HaDeg));
    row("Refraction:", Arcmin(clearing.Object1.RefractionArcmin),
        Arcmin(clearing.Object2.RefractionArcmin));
    row("Parallax:", Arcmin(clearing.Object1.ParallaxArcmin),
        Arcmin(clearing.Object2.ParallaxArcmin));
    row("True altitude:", dm(clearing.Object1.TrueAltitudeDeg),
        dm(clearing.Object2.TrueAltitudeDeg));
    row("Semi-diameter:", Arcmin(clearing.Object1.SemiDiameterArcmin),
        Arcmin(clearing.Object2.SemiDiameterArcmin));
    line("Apparent distance:", dm(clearing.ApparentDistDeg));
    line("Cleared distance:", dm(clearing.ClearedDistDeg));
    report.push_back("");
    // To the nearest second, as the watch error is written.
    const double gmt = std::round(clearing.GMT * kSecondsPerDay) / kSecondsPerDay;
    line("GMT of the distance:", FormatDateTimeText(gmt, ShortDateFormat()) + " GMT");
    line("Watch time:", FormatDateTimeText(o.WatchDateTime, ShortDateFormat()) + " GMT");
    const double err = std::round(clearing.WatchErrorSec);
    line("Watch error:",
        (err >= 0 ? "+" : "") + FormatFixed(err == 0 ? 0 : err, 0) + " s (added to the watch)");
    line("Distance changes:", FormatFixed(clearing.RateArcminPerHour, 1) + "' per hour");
}

} // namespace vrn
