#include "engine/RiseSet.h"

#include "engine/Astros.h"
#include "engine/EarthOrientation.h"
#include "engine/Trigonom.h"

#include <chrono>
#include <cmath>

namespace vrn {

namespace {

constexpr int kRounds = 5; // fixed number of corrections, no convergence test
constexpr double kDeltaTDays = 56.0 / 86400.0; // ΔT of the interpolation, Meeus 15 style
// A rise or set whose last correction still moves it by more than a minute, or that wandered
// more than a day from the date, has not been found: near the latitude where the Moon stops
// rising the corrections diverge (seen: a "set" 605 hours after midnight).
constexpr double kSettledDays = 1.0 / 1440.0;

struct TDate
{
    int Year, Month, Day;
};

TDate AddDays(int year, int month, int day, int days)
{
    using namespace std::chrono;
    const year_month_day ymd {
        sys_days {std::chrono::year {year} / month / day} + std::chrono::days {days}};
    return {int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

// Brings m into [0, 1] by whole days.
double ToDayFraction(double m)
{
    if (m < 0.0 || m > 1.0)
        m -= std::floor(m);
    return m;
}

// Brings x into [−0.5, 0.5] by whole days.
double ToHalfDay(double x)
{
    return x - std::round(x);
}

// Right ascension a within 180° of ref, so that three consecutive days interpolate smoothly.
double NearDeg(double a, double ref)
{
    a = NormalizeSigned180(a);
    if (a - ref > 180.0)
        a -= 360.0;
    else if (a - ref < -180.0)
        a += 360.0;
    return a;
}

} // namespace

TRiseTransitSet RiseTransitSet(
    TAstro &body, int year, int month, int day, double latDeg, double lonDeg)
{
    // Positions at 0h UT of the day before, the day and the day after, in that order of
    // interpolation; the body is computed last for the day after.
    body.Compute(year, month, day, 0.0);
    const double alpha2 = NormalizeSigned180(body.RA);
    const double delta2 = body.Dec;
    const TDate before = AddDays(year, month, day, -1);
    body.Compute(before.Year, before.Month, before.Day, 0.0);
    const double alpha1 = NearDeg(body.RA, alpha2);
    const double delta1 = body.Dec;
    const TDate after = AddDays(year, month, day, 1);
    body.Compute(after.Year, after.Month, after.Day, 0.0);
    const double alpha3 = NearDeg(body.RA, alpha2);
    const double delta3 = body.Dec;

    const double a = alpha2 - alpha1, b = alpha3 - alpha2, c = b - a;
    const double ad = delta2 - delta1, bd = delta3 - delta2, cd = bd - ad;

    const double theta0 = SiderealTime(year, month, day, 0.0).ApparentHours * 15.0;
    const double h0 = body.StdAltitude;
    const double sinPhi = SinD(latDeg), cosPhi = CosD(latDeg);

    TRiseTransitSet r;
    double m0 = (alpha2 + lonDeg - theta0) / 360.0;
    double m1 = 0, m2 = 0;

    const double denom = cosPhi * CosD(delta2);
    const double num = SinD(h0) - sinPhi * SinD(delta2);
    if (std::abs(denom) < 1e-12) {
        // At a pole every body keeps its altitude all day.
        r.Status = num > 0 ? TRiseSetStatus::AlwaysBelow : TRiseSetStatus::AlwaysAbove;
    } else {
        const double cosH0 = num / denom;
        if (cosH0 > 1.0) {
            r.Status = TRiseSetStatus::AlwaysBelow;
        } else if (cosH0 < -1.0) {
            r.Status = TRiseSetStatus::AlwaysAbove;
        } else {
            r.Status = TRiseSetStatus::RisesAndSets;
            const double hour0 = ArcCosD(cosH0);
            m1 = m0 - hour0 / 360.0;
            m2 = m0 + hour0 / 360.0;
        }
    }

    // Interpolated hour angle (and altitude) at the day fraction m.
    auto hourAngle = [&](double m, double &deltaOut) {
        const double theta = theta0 + 360.985647 * m;
        const double n = m + kDeltaTDays;
        const double alpha = NormalizeSigned180(alpha2 + n / 2.0 * (a + b + n * c));
        deltaOut = delta2 + n / 2.0 * (ad + bd + n * cd);
        return theta - lonDeg - alpha;
    };
    auto altitude = [&](double hDeg, double delta) {
        return ArcSinD(sinPhi * SinD(delta) + cosPhi * CosD(delta) * CosD(hDeg));
    };
    auto altitudeAt = [&](double m) {
        double delta;
        const double hDeg = hourAngle(m, delta);
        return altitude(hDeg, delta);
    };
    auto correctRiseSet = [&](double m, double &step) {
        m = ToDayFraction(m);
        double delta;
        const double hDeg = hourAngle(m, delta);
        const double alt = altitude(hDeg, delta);
        const double slope = 360.0 * CosD(delta) * cosPhi * SinD(hDeg);
        // A body exactly on the meridian at h0 gives no slope: keep m rather than divide by 0.
        step = std::abs(slope) < 1e-12 ? 0.0 : (alt - h0) / slope;
        return m + step;
    };

    double riseStep = 0, setStep = 0;
    for (int round = 0; round < kRounds; ++round) {
        m0 = ToDayFraction(m0);
        double unused;
        m0 += ToHalfDay(-hourAngle(m0, unused) / 360.0);
        if (r.Status == TRiseSetStatus::RisesAndSets) {
            m1 = correctRiseSet(m1, riseStep);
            m2 = correctRiseSet(m2, setStep);
        }
    }

    r.TransitHours = 24.0 * m0;
    if (r.Status == TRiseSetStatus::RisesAndSets) {
        const auto settled = [](double m, double step) {
            return std::isfinite(m) && std::abs(step) <= kSettledDays && m >= -1.0 && m <= 2.0;
        };
        r.RiseFound = settled(m1, riseStep);
        r.SetFound = settled(m2, setStep);
        r.RiseHours = r.RiseFound ? 24.0 * m1 : 0.0;
        r.SetHours = r.SetFound ? 24.0 * m2 : 0.0;
        if (!r.RiseFound && !r.SetFound) {
            // Neither event exists on the date: the body stays on one side of h0 all day.
            r.Status = altitudeAt(ToDayFraction(m0)) > h0 ? TRiseSetStatus::AlwaysAbove
                                                          : TRiseSetStatus::AlwaysBelow;
            r.RiseFound = r.SetFound = true;
        }
    }
    return r;
}

std::optional<TTwilight> IsTwilightDefined(
    TAstro &body, int year, int month, int day, double latDeg, double lonDeg)
{
    struct TRestore
    {
        TAstro &Body;
        double Saved;

        ~TRestore() { Body.StdAltitude = Saved; }
    } restore {body, body.StdAltitude};

    body.StdAltitude = -6.0;
    const TRiseTransitSet r = body.RiseTransitSet(year, month, day, latDeg, lonDeg);
    if (r.Status != TRiseSetStatus::RisesAndSets || !r.RiseFound || !r.SetFound)
        return std::nullopt;
    return TTwilight {r.RiseHours, r.SetHours};
}

namespace {

// Label, time text, "GMT" and the day suffix of an event of the neighbouring day.
template <typename Format>
std::string TimeLine(std::string_view label, double hours, Format format)
{
    std::string suffix;
    if (hours < 0.0) {
        hours += 24.0;
        suffix = ",day before";
    } else if (hours > 24.0) {
        hours -= 24.0;
        suffix = ",next day";
    }
    return std::string(label) + format(hours) + "GMT" + suffix;
}

constexpr const char *kNoEventText = "none on this date";

std::string HMS(double hours)
{
    return FormatTimeHMS(hours).Text;
}

std::string HM(double hours)
{
    return FormatTimeHM(hours);
}

} // namespace

std::vector<std::string> RiseSetReportLines(
    const TRiseTransitSet &rts, const std::optional<TTwilight> &twilight)
{
    std::vector<std::string> lines;
    switch (rts.Status) {
    case TRiseSetStatus::RisesAndSets:
        lines.push_back(rts.RiseFound ? TimeLine("Rise : ", rts.RiseHours, HMS)
                                      : std::string("Rise : ") + kNoEventText);
        lines.push_back(TimeLine("Meridian: ", rts.TransitHours, HMS));
        lines.push_back(rts.SetFound ? TimeLine("Set :", rts.SetHours, HMS)
                                     : std::string("Set :") + kNoEventText);
        break;
    case TRiseSetStatus::AlwaysBelow:
        lines.emplace_back("Object always below horizon");
        break;
    case TRiseSetStatus::AlwaysAbove:
        lines.emplace_back("Object always above horizon");
        lines.push_back(TimeLine("Merid.:", rts.TransitHours, HMS));
        break;
    case TRiseSetStatus::NotApplicable:
        break;
    }
    if (twilight) {
        lines.emplace_back("Civil Twilights -----");
        lines.push_back(TimeLine("sunrise twilight: ", twilight->MorningHours, HM));
        lines.push_back(TimeLine("sunset  twilight: ", twilight->EveningHours, HM));
    }
    return lines;
}

std::vector<std::string> BodyRiseSetReport(
    TAstro &body, int year, int month, int day, double latDeg, double lonDeg)
{
    const TRiseTransitSet rts = body.RiseTransitSet(year, month, day, latDeg, lonDeg);
    std::optional<TTwilight> twilight;
    if (dynamic_cast<TSol *>(&body) != nullptr)
        twilight = IsTwilightDefined(body, year, month, day, latDeg, lonDeg);
    return RiseSetReportLines(rts, twilight);
}

} // namespace vrn
