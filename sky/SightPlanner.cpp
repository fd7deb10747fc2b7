#include "sky/SightPlanner.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/RiseSet.h"
#include "engine/Trigonom.h"
#include "sky/VisibleSky.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vrn {

double AzimuthSpreadDeg(std::span<const double> znDeg)
{
    if (znDeg.size() < 2)
        return 0;
    if (znDeg.size() == 2) {
        double d = FloorMod(znDeg[0] - znDeg[1], 360);
        if (d > 180)
            d = 360 - d;
        return std::min(d, 180 - d);
    }
    std::array<double, kPlannerMaxBodies> z {};
    const std::size_t n = std::min(znDeg.size(), z.size());
    for (std::size_t i = 0; i < n; ++i)
        z[i] = FloorMod(znDeg[i], 360) == 360 ? 0 : FloorMod(znDeg[i], 360);
    std::sort(z.begin(), z.begin() + std::ptrdiff_t(n));
    double smallest = 360 - (z[n - 1] - z[0]); // the gap across north
    for (std::size_t i = 1; i < n; ++i)
        smallest = std::min(smallest, z[i] - z[i - 1]);
    return smallest;
}

bool IsPlannerCandidate(const TVisibleBody &body)
{
    return body.HcDeg >= kPlannerMinAltitudeDeg && body.HcDeg <= kPlannerMaxAltitudeDeg;
}

std::optional<TSightPlan> PlanSights(std::span<const TVisibleBody> bodies, int count)
{
    if (count < kPlannerMinBodies || count > kPlannerMaxBodies)
        return std::nullopt;
    std::vector<std::size_t> candidates;
    for (std::size_t i = 0; i < bodies.size(); ++i) {
        if (IsPlannerCandidate(bodies[i]))
            candidates.push_back(i);
    }
    const std::size_t n = std::size_t(count);
    if (candidates.size() < n)
        return std::nullopt;

    // Every combination, in lexicographic order of the candidates (list order).
    const auto forEachChoice = [&](auto &&visit) {
        std::array<std::size_t, kPlannerMaxBodies> k {};
        for (std::size_t i = 0; i < n; ++i)
            k[i] = i;
        std::array<std::size_t, kPlannerMaxBodies> pick {};
        std::array<double, kPlannerMaxBodies> zn {};
        for (;;) {
            double magnitudes = 0;
            for (std::size_t i = 0; i < n; ++i) {
                pick[i] = candidates[k[i]];
                zn[i] = bodies[pick[i]].ZnDeg;
                magnitudes += bodies[pick[i]].Magnitude;
            }
            visit(pick, AzimuthSpreadDeg(std::span<const double>(zn.data(), n)), magnitudes);
            std::size_t i = n;
            while (i > 0 && k[i - 1] == candidates.size() - n + (i - 1))
                --i;
            if (i == 0)
                return;
            ++k[i - 1];
            for (std::size_t j = i; j < n; ++j)
                k[j] = k[j - 1] + 1;
        }
    };

    double best = -1;
    forEachChoice([&](const auto &, double spread, double) { best = std::max(best, spread); });
    std::array<std::size_t, kPlannerMaxBodies> winner {};
    double winnerSpread = 0;
    double winnerMagnitudes = 0;
    bool found = false;
    forEachChoice([&](const auto &pick, double spread, double magnitudes) {
        // Strictly brighter only, so that the earliest choice of the list wins a tie.
        if (spread < best - kPlannerSpreadToleranceDeg || (found && magnitudes >= winnerMagnitudes))
            return;
        winner = pick;
        winnerSpread = spread;
        winnerMagnitudes = magnitudes;
        found = true;
    });

    TSightPlan plan;
    plan.Indices.assign(winner.begin(), winner.begin() + std::ptrdiff_t(n));
    plan.SpreadDeg = winnerSpread;
    plan.IdealSpreadDeg = n == 2 ? 90.0 : 360.0 / double(n);
    return plan;
}

std::optional<double> CivilTwilightInstant(
    TAstroRegistry &registry, double dateTime, double latDeg, double lonDeg, TTwilightKind which)
{
    const TCalendarDate d = DecodeDate(dateTime);
    const auto t = IsTwilightDefined(*registry.Sun(), d.Year, d.Month, d.Day, latDeg, lonDeg);
    if (!t)
        return std::nullopt;
    const double hours = which == TTwilightKind::Morning ? t->MorningHours : t->EveningHours;
    return std::floor(dateTime) + hours / 24.0;
}

} // namespace vrn
