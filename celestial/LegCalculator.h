#pragma once

// The leg calculator: rhumb line and great circle between two positions, side by side, with the
// difference of their lengths and a table of evenly spaced points along each, which the chart
// viewer takes as a route. Degrees (longitude WEST positive), nautical miles, courses 0..360
// clockwise from true north.
//
// Beyond the sailing formulas of Trigonom the calculator settles the legs those formulas leave
// open:
// - longitudes 180° apart: the great circle runs over the pole (the north pole when
//   lat1 + lat2 >= 0, else the south pole), course 0 or 180, its points at equal arcs up the
//   first meridian and down the second;
// - a position at a pole: both legs follow the other position's meridian, course 0 or 180,
//   distance the difference of latitude, points in equal latitude steps;
// - the same point: distance 0 and no course.
// The last point of every table is the final position as typed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// "Intermediate points in route:": the points between the ends of each table.
constexpr int kMinRoutePoints = 1;
constexpr int kMaxRoutePoints = 100;
constexpr int kDefaultRoutePoints = 5;

// The names of the routes the tables become.
constexpr std::string_view kGreatCircleRouteName = "Great Circle";
constexpr std::string_view kRhumbLineRouteName = "Rhumb Line";

struct TLegPosition
{
    double LatDeg = 0;
    double LonDeg = 0; // west positive
};

// One way of sailing the leg.
struct TLegLine
{
    bool Ok = false; // false: the course could not be computed; no distance, no points
    std::optional<double> CourseDeg; // none where no course is defined (the same point)
    double DistNm = 0;
    // N + 2 points from the initial to the final position, longitudes in [-180, 180) except
    // the typed final one; a point whose computation failed, and every point after it, is none.
    std::vector<std::optional<TLegPosition>> Points;
};

struct TLegResult
{
    TLegLine RhumbLine;
    TLegLine GreatCircle;
};

// Both legs from `from` to `to` with `intermediatePoints` points between the ends (brought into
// kMinRoutePoints..kMaxRoutePoints). A latitude beyond ±90 or a value that is not finite makes
// both legs fail.
TLegResult CalcLeg(const TLegPosition &from, const TLegPosition &to, int intermediatePoints);

// The texts of the "General" page: courses "%8.2f°", distances and the difference "%8.2f NM",
// the difference in percent of the great circle "%8.2f %". A failed leg shows "?" for its
// course and distance and empties the difference; a course that is not defined is empty. A
// value that rounds to zero is written 0.00 (never -0.00), and so is the percentage of a great
// circle shorter than 0.005 NM.
struct TLegLabels
{
    std::string TcRL;
    std::string DistRL;
    std::string TcGC;
    std::string DistGC;
    std::string DiffNM;
    std::string DifPerc;
};

TLegLabels LegLabels(const TLegResult &result);

// A course as the tables and the console print it: decimals fixed, 360 written as 0.
std::string CourseText(double courseDeg, int decimals);

// One table row: "#", "Lat" (FormatAngleDM2 "NS") and "Lon" (FormatAngleDM2 "WE"); empty
// position cells for a point that could not be computed.
struct TLegGridRow
{
    std::string Number;
    std::string Lat;
    std::string Lon;
};

std::vector<TLegGridRow> LegGridRows(const TLegLine &line);

// The route points of a table, read back from its cell texts (latitude, longitude) with
// ParseAngleText. Every row is read before anything is returned: fewer than two rows, or a cell
// that is empty, unreadable or out of range (latitude beyond ±90, longitude beyond ±180), raises
// EVrnError with routeName + " not calculated". The longitudes are unwrapped from point to point
// (each step at most 180° either way), so that a route across 180° does not jump round the
// world.
std::vector<TLegPosition> RouteFromGridTexts(
    std::string_view routeName, const std::vector<std::pair<std::string, std::string>> &cells);

} // namespace vrn
