#include "engine/AATIME.h"

#include "engine/DeltaTTable.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace vrn {

namespace {

// ΔT in tenths of a second for every even year 1620..1656 (Meeus ch. 10, Table 10.A), before
// the observed values begin.
constexpr std::array<short, 19> kDeltaTTenths = {
    1240, 1150, 1060, 980, 910, 850, 790, 740, 700, 650, // 1620
    620, 580, 550, 530, 500, 480, 460, 440, 420, // 1640
};

} // namespace

double JulianCenturies(int year, int month, int day, double hour)
{
    return (JulianDay(year, month, day, hour) - 2451545.0) / 36525.0;
}

// The Part of the calendar before the observed table keeps the two-yearly table and the
// polynomials; its last segment runs to the first observed value, so the join has no step. The
// branches are tested so that a NaN argument falls through to a polynomial and never indexes a
// table.
double DeltaT(double t)
{
    const double y = 100 * t + 2000;
    const std::span<const TDeltaTPoint> observed = ObservedDeltaT();
    const TDeltaTPoint &first = observed.front();
    const TDeltaTPoint &last = observed.back();
    if (y >= first.Year && y <= last.Year) {
        const auto next = std::upper_bound(observed.begin(), observed.end(), y,
            [](double year, const TDeltaTPoint &p) { return year < p.Year; });
        if (next == observed.end())
            return last.Seconds;
        const TDeltaTPoint &a = *(next - 1);
        return a.Seconds + (next->Seconds - a.Seconds) * (y - a.Year) / (next->Year - a.Year);
    }
    if (y > last.Year) {
        if (y <= kDeltaTHoldUntilYear)
            return last.Seconds;
        return last.Seconds + kDeltaTMeanRecentRate * (y - kDeltaTHoldUntilYear);
    }
    if (y >= 1620) {
        const int i = static_cast<int>(std::trunc((y - 1620) / 2));
        const double yearA = 1620 + 2.0 * i;
        const double a = kDeltaTTenths[static_cast<std::size_t>(i)] / 10.0;
        if (yearA + 2 >= first.Year)
            return a + (first.Seconds - a) * (y - yearA) / (first.Year - yearA);
        const double b = kDeltaTTenths[static_cast<std::size_t>(i) + 1] / 10.0;
        return a + (b - a) * (y - yearA) / 2;
    }
    if (y >= 948)
        return 50.6 + 67.5 * t + 22.5 * t * t;
    return 2715.6 + 573.36 * t + 46.5 * t * t;
}

double TerrestrialCenturies(double t)
{
    return t + DeltaT(t) / (86400.0 * 36525.0);
}

} // namespace vrn
