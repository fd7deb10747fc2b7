#pragma once

// Rising, upper meridian transit and setting of a body, and civil twilight (Meeus, Astronomical
// Algorithms, ch. 15). Times are decimal hours of UT of the given date; an event that belongs to
// the neighbouring day comes out slightly below 0 or above 24.

#include <optional>
#include <string>
#include <vector>

namespace vrn {

class TAstro;

enum class TRiseSetStatus
{
    RisesAndSets = 0, // rise, transit and set are given
    AlwaysBelow = 1, // below the standard altitude all day: transit only
    AlwaysAbove = 2, // above the standard altitude all day (circumpolar): transit only
    NotApplicable = 4, // the first point of Aries: all zero
};

struct TRiseTransitSet
{
    double RiseHours = 0;
    double TransitHours = 0;
    double SetHours = 0;
    TRiseSetStatus Status = TRiseSetStatus::NotApplicable;
    // With RisesAndSets: false when the corrections of that event did not settle (the Moon at
    // high latitudes, on a day it rises but does not set, or the reverse); its time is then
    // meaningless and is not shown.
    bool RiseFound = true;
    bool SetFound = true;
};

// The general method for every body: positions at 0h of the day before, the day and the day
// after, second-difference interpolation and five fixed rounds of correction, ΔT taken as 56 s.
// Uses the body's StdAltitude (degrees). Latitude north positive, longitude WEST positive. Leaves
// the body computed at 0h of the next day; callers recompute it for their own instant.
TRiseTransitSet RiseTransitSet(
    TAstro &body, int year, int month, int day, double latDeg, double lonDeg);

struct TTwilight
{
    double MorningHours = 0; // start of morning civil twilight, hours UT
    double EveningHours = 0; // end of evening civil twilight
};

// Civil twilight: the body's RiseTransitSet with the standard altitude lowered to −6°, then
// restored. Empty when the body does not cross −6° that day (polar summer, polar night).
std::optional<TTwilight> IsTwilightDefined(
    TAstro &body, int year, int month, int day, double latDeg, double lonDeg);

// The lines of the body report: "Rise : ", "Meridian: ", "Set :" (or the always-below/above
// texts), and the civil-twilight block when a twilight is given. Times in UT with "GMT" and a
// ",day before" / ",next day" suffix for events of the neighbouring days.
std::vector<std::string> RiseSetReportLines(
    const TRiseTransitSet &rts, const std::optional<TTwilight> &twilight);

// Computes and formats the report lines for a body; the twilight block for the Sun only.
std::vector<std::string> BodyRiseSetReport(
    TAstro &body, int year, int month, int day, double latDeg, double lonDeg);

} // namespace vrn
