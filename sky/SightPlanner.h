#pragma once

// The sight planner: which bodies of the visible sky give the best fix at an instant.
//
// The rule, for a choice of N bodies (N = 2..6):
// 1. Candidates are the visible bodies with an altitude from 15° to 70°: lower sights suffer
//    from uncertain refraction, higher ones are hard to swing and their LOPs curve.
// 2. The spread of a choice says how well its LOPs cross. For two bodies it is the crossing angle
//    of their LOPs, min(d, 180° − d) for an azimuth difference d (0..180°); for three or more it
//    is the smallest angle between neighbouring azimuths around the horizon, which is 360°/N at
//    best (bodies evenly spread all round).
// 3. The choice with the largest spread wins. Spreads within kPlannerSpreadToleranceDeg of the
//    largest count as equal, and among those the brightest choice wins: the smallest sum of
//    magnitudes, then the earliest bodies of the list.

#include <optional>
#include <span>
#include <vector>

namespace vrn {

class TAstroRegistry;
struct TVisibleBody;

constexpr double kPlannerMinAltitudeDeg = 15;
constexpr double kPlannerMaxAltitudeDeg = 70;
constexpr double kPlannerSpreadToleranceDeg = 1;
constexpr int kPlannerMinBodies = 2;
constexpr int kPlannerMaxBodies = 6;

struct TSightPlan
{
    std::vector<std::size_t> Indices; // into the visible bodies, in list order
    double SpreadDeg = 0;
    double IdealSpreadDeg = 0; // 90 for two bodies, 360/N otherwise
};

// The spread of a set of azimuths (degrees, any range) by rule 2; 0 for fewer than two.
double AzimuthSpreadDeg(std::span<const double> znDeg);

bool IsPlannerCandidate(const TVisibleBody &body);

// The best choice of `count` bodies (kPlannerMinBodies..kPlannerMaxBodies); nothing when fewer
// candidates stand between the altitude limits or the count is outside its range.
std::optional<TSightPlan> PlanSights(std::span<const TVisibleBody> bodies, int count);

enum class TTwilightKind
{
    Morning, // start of morning civil twilight
    Evening, // end of evening civil twilight
};

// The instant (GMT date-time) of the Sun's civil twilight on the GMT date of `dateTime` for the
// observer; nothing when the Sun does not reach 6° below the horizon that day (or never rises
// to it). The Sun is left computed for another instant.
std::optional<double> CivilTwilightInstant(
    TAstroRegistry &registry, double dateTime, double latDeg, double lonDeg, TTwilightKind which);

} // namespace vrn
