#include "celestial/LegCalculator.h"

#include "engine/NumText.h"
#include "engine/Trigonom.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cmath>

namespace vrn {
namespace {

// A latitude within this of ±90° is at the pole.
constexpr double kPoleSlackDeg = 1e-9;
// Longitudes this close (or this close to 180° apart) are one meridian (or its continuation over
// the pole): the latitude of the great circle at a longitude has no usable value there. 1e-7° is
// about a centimetre.
constexpr double kMeridianSlackDeg = 1e-7;

bool AtPole(double latDeg)
{
    return std::fabs(std::fabs(latDeg) - 90) < kPoleSlackDeg;
}

// Difference of longitude brought into [-180, 180).
double LonDiff(double lonDeg)
{
    return FloorMod(lonDeg + 180, 360) - 180;
}

bool Finite(const TLegPosition &p)
{
    return std::isfinite(p.LatDeg) && std::isfinite(p.LonDeg);
}

bool InRange(const TLegPosition &p)
{
    return std::fabs(p.LatDeg) <= 90 + kPoleSlackDeg;
}

// A leg that follows one meridian (or runs along a meridian through a pole), in equal latitude
// steps: the typed ends, and the meridian `lonDeg` between them.
TLegLine MeridianLeg(const TLegPosition &from, const TLegPosition &to, int n, double lonDeg,
    std::optional<double> courseDeg)
{
    TLegLine line;
    line.Ok = true;
    line.CourseDeg = courseDeg;
    line.DistNm = std::fabs(to.LatDeg - from.LatDeg) * 60;
    const double step = (to.LatDeg - from.LatDeg) / (n + 1);
    line.Points.push_back(from);
    for (int k = 1; k <= n; ++k)
        line.Points.push_back(TLegPosition {from.LatDeg + k * step, lonDeg});
    line.Points.push_back(to);
    return line;
}

// The great circle between positions whose longitudes are 180° apart: over the north pole
// when lat1 + lat2 >= 0, else over the south pole, at equal arcs.
TLegLine OverThePole(const TLegPosition &from, const TLegPosition &to, int n)
{
    const bool north = from.LatDeg + to.LatDeg >= 0;
    const double pole = north ? 90 : -90;
    const double up = std::fabs(pole - from.LatDeg); // arc from the start to the pole
    const double down = std::fabs(pole - to.LatDeg);
    TLegLine line;
    line.Ok = true;
    line.CourseDeg = north ? 0 : 180;
    line.DistNm = (up + down) * 60;
    const double step = (up + down) / (n + 1);
    line.Points.push_back(from);
    for (int k = 1; k <= n; ++k) {
        const double arc = k * step;
        if (arc <= up)
            line.Points.push_back(TLegPosition {from.LatDeg + (north ? arc : -arc), from.LonDeg});
        else {
            const double back = arc - up;
            line.Points.push_back(TLegPosition {pole + (north ? -back : back), to.LonDeg});
        }
    }
    line.Points.push_back(to);
    return line;
}

TLegLine RhumbLine(const TLegPosition &from, const TLegPosition &to, int n)
{
    TLegLine line;
    const TCourseDistance cd =
        RhumbLineCourseDistance(from.LatDeg, from.LonDeg, to.LatDeg, to.LonDeg);
    if (cd.Status != 0)
        return line;
    line.Ok = true;
    line.CourseDeg = cd.CourseDeg;
    line.DistNm = cd.DistNm;
    const double step = cd.DistNm / (n + 1);
    line.Points.push_back(from);
    bool failed = false;
    for (int k = 1; k <= n; ++k) {
        const TLatLonResult p = failed
            ? TLatLonResult {0, 0, 1}
            : RhumbLineDestination(from.LatDeg, from.LonDeg, k * step, cd.CourseDeg);
        failed = p.Status != 0;
        if (failed)
            line.Points.push_back(std::nullopt);
        else
            line.Points.push_back(TLegPosition {p.LatDeg, p.LonDeg});
    }
    line.Points.push_back(failed ? std::nullopt : std::optional<TLegPosition>(to));
    return line;
}

TLegLine GreatCircle(const TLegPosition &from, const TLegPosition &to, int n)
{
    TLegLine line;
    const TCourseDistance cd =
        GreatCircleCourseDistance(from.LatDeg, from.LonDeg, to.LatDeg, to.LonDeg);
    if (cd.Status != 0)
        return line;
    line.Ok = true;
    line.CourseDeg = cd.CourseDeg;
    line.DistNm = cd.DistNm;
    // The longitude runs the shorter way round; along a meridian the latitude steps instead.
    const double a = FloorMod(to.LonDeg - from.LonDeg, 360);
    const double b = FloorMod(from.LonDeg - to.LonDeg, 360);
    const double lonStep = a < b ? a / (n + 1) : -b / (n + 1);
    if (std::fabs(LonDiff(to.LonDeg - from.LonDeg)) < kMeridianSlackDeg) {
        TLegLine meridian = MeridianLeg(from, to, n, from.LonDeg, cd.CourseDeg);
        meridian.DistNm = cd.DistNm;
        return meridian;
    }
    line.Points.push_back(from);
    bool failed = false;
    for (int k = 1; k <= n; ++k) {
        const double lon = LonDiff(from.LonDeg + k * lonStep);
        const TLatLonResult p = failed
            ? TLatLonResult {0, 0, 1}
            : GreatCircleLatitudeAt(from.LatDeg, from.LonDeg, to.LatDeg, to.LonDeg, lon);
        failed = p.Status != 0 || !std::isfinite(p.LatDeg);
        if (failed)
            line.Points.push_back(std::nullopt);
        else
            line.Points.push_back(TLegPosition {p.LatDeg, lon});
    }
    line.Points.push_back(failed ? std::nullopt : std::optional<TLegPosition>(to));
    return line;
}

std::string PadLeft(const std::string &text, std::size_t width)
{
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string Fixed2(double v)
{
    if (std::fabs(v) < 0.005)
        v = 0;
    return FormatFixed(v, 2, 8);
}

} // namespace

TLegResult CalcLeg(const TLegPosition &from, const TLegPosition &to, int intermediatePoints)
{
    const int n = std::clamp(intermediatePoints, kMinRoutePoints, kMaxRoutePoints);
    TLegResult r;
    if (!Finite(from) || !Finite(to) || !InRange(from) || !InRange(to))
        return r;

    const double dLon = LonDiff(to.LonDeg - from.LonDeg);
    const bool fromPole = AtPole(from.LatDeg);
    const bool toPole = AtPole(to.LatDeg);
    const bool samePoint = std::fabs(to.LatDeg - from.LatDeg) < kPoleSlackDeg
        && (fromPole || std::fabs(dLon) < kPoleSlackDeg);
    if (samePoint) {
        r.RhumbLine = MeridianLeg(from, to, n, from.LonDeg, std::nullopt);
        r.RhumbLine.DistNm = 0;
        r.GreatCircle = r.RhumbLine;
        return r;
    }
    if (fromPole || toPole) {
        // Away from a pole there is only south (or north); into a pole only north (or south).
        const double course = fromPole ? (from.LatDeg > 0 ? 180 : 0) : (to.LatDeg > 0 ? 0 : 180);
        r.RhumbLine = MeridianLeg(from, to, n, fromPole ? to.LonDeg : from.LonDeg, course);
        r.GreatCircle = r.RhumbLine;
        return r;
    }
    r.RhumbLine = RhumbLine(from, to, n);
    if (std::fabs(std::fabs(dLon) - 180) < kMeridianSlackDeg)
        r.GreatCircle = OverThePole(from, to, n);
    else
        r.GreatCircle = GreatCircle(from, to, n);
    return r;
}

std::string CourseText(double courseDeg, int decimals)
{
    std::string text = FormatFixed(courseDeg, decimals);
    if (std::fabs(courseDeg) < 0.5 * std::pow(10.0, -decimals)
        || text == FormatFixed(360, decimals))
        text = FormatFixed(0, decimals);
    return text;
}

TLegLabels LegLabels(const TLegResult &result)
{
    TLegLabels labels;
    const auto fill = [](const TLegLine &line, std::string &course, std::string &dist) {
        if (!line.Ok) {
            course = "?";
            dist = "?";
            return;
        }
        course = line.CourseDeg ? PadLeft(CourseText(*line.CourseDeg, 2), 8) + "°" : std::string();
        dist = Fixed2(line.DistNm) + " NM";
    };
    fill(result.RhumbLine, labels.TcRL, labels.DistRL);
    fill(result.GreatCircle, labels.TcGC, labels.DistGC);
    if (result.RhumbLine.Ok && result.GreatCircle.Ok) {
        const double drl = result.RhumbLine.DistNm;
        const double dgc = result.GreatCircle.DistNm;
        labels.DiffNM = Fixed2(drl - dgc) + " NM";
        labels.DifPerc = (dgc < 0.005 ? Fixed2(0) : Fixed2((drl - dgc) / dgc * 100)) + " %";
    }
    return labels;
}

std::vector<TLegGridRow> LegGridRows(const TLegLine &line)
{
    std::vector<TLegGridRow> rows;
    int number = 0;
    for (const auto &p : line.Points) {
        TLegGridRow row;
        row.Number = std::to_string(++number);
        if (p) {
            row.Lat = FormatAngleDM2("NS", p->LatDeg);
            row.Lon = FormatAngleDM2("WE", p->LonDeg);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<TLegPosition> RouteFromGridTexts(
    std::string_view routeName, const std::vector<std::pair<std::string, std::string>> &cells)
{
    const auto refuse = [routeName]() {
        return EVrnError(std::string(routeName) + " not calculated");
    };
    if (cells.size() < 2)
        throw refuse();
    std::vector<TLegPosition> points;
    points.reserve(cells.size());
    for (const auto &[latText, lonText] : cells) {
        TLegPosition p;
        try {
            if (Trim(latText).empty() || Trim(lonText).empty())
                throw refuse();
            p.LatDeg = ParseAngleText(latText);
            p.LonDeg = ParseAngleText(lonText);
        } catch (const EVrnError &) {
            throw refuse();
        }
        if (!Finite(p) || std::fabs(p.LatDeg) > 90 || std::fabs(p.LonDeg) > 180)
            throw refuse();
        if (!points.empty()) {
            const double previous = points.back().LonDeg;
            p.LonDeg = previous + LonDiff(p.LonDeg - previous);
        }
        points.push_back(p);
    }
    return points;
}

} // namespace vrn
