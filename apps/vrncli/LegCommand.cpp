#include "apps/vrncli/LegCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "celestial/LegCalculator.h"
#include "engine/NumText.h"

#include <cmath>
#include <ostream>
#include <string>

namespace vrn::cli {

const std::string_view kLegUsage =
    "Usage: vrncli leg --from LAT,LON --to LAT,LON [--csv]\n"
    "       vrncli leg --from LAT,LON --to LAT,LON --route gc|rl [--points N]\n\n"
    "Rhumb line and great circle from one position to another, as the leg calculator gives\n"
    "them.\n\n"
    "  --from --to  positions as LAT,LON: 45°07.3'N,012°15.5'W, 45.1217N,12.2583W or\n"
    "               45.1217,12.2583 (north positive, longitude WEST positive)\n"
    "  --csv        the header \"method;course;distance_nm\" and the lines \"rhumb_line;C;D\"\n"
    "               and \"great_circle;C;D\": course in degrees 0..360, distance in nautical\n"
    "               miles, 4 decimals. The course is empty where none is defined: between\n"
    "               the same point. Longitudes 180° apart go over the pole (course 0 or 180);\n"
    "               from or to a pole both legs follow the meridian of the other position\n"
    "               (course 180 from the North Pole, 0 from the South Pole, 0 or 180 into one)\n"
    "  --route      the points of the great circle (gc) or of the rhumb line (rl): the header\n"
    "               \"point;lat;lon\" and N + 2 lines from the start to the end, degrees with\n"
    "               6 decimals, north and west positive\n"
    "  --points     N, the points between the ends of the route, 1..100 (5)\n\n"
    "Without --csv or --route the leg calculator's figures are printed as text.\n\n"
    "Exit status: 0 done, 1 a leg cannot be computed, 2 bad input.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {
    {"--from", true}, {"--to", true}, {"--csv", false}, {"--route", true}, {"--points", true}};

TLegPosition ReadPosition(const TCliArgs &options, std::string_view name)
{
    const auto text = options.Value(name);
    if (!text)
        throw EUsageError(std::string(name) + " is required");
    const std::size_t comma = text->find(',');
    if (comma == std::string::npos || text->find(',', comma + 1) != std::string::npos)
        throw EUsageError("invalid position " + Quoted(*text) + " for " + std::string(name)
            + " (expected LAT,LON)");
    const auto lat = ParseLatitude(text->substr(0, comma));
    const auto lon = ParseLongitude(text->substr(comma + 1));
    if (!lat)
        throw EUsageError(
            "invalid latitude " + Quoted(text->substr(0, comma)) + " for " + std::string(name));
    if (!lon)
        throw EUsageError(
            "invalid longitude " + Quoted(text->substr(comma + 1)) + " for " + std::string(name));
    return {*lat, *lon};
}

// Fixed decimals without a negative zero.
std::string Fixed(double v, int decimals)
{
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals))
        v = 0;
    return FormatFixed(v, decimals);
}

std::string CsvLine(std::string_view method, const TLegLine &line)
{
    if (!line.Ok)
        return std::string(method) + ";;";
    return std::string(method) + ';' + (line.CourseDeg ? CourseText(*line.CourseDeg, 4) : "") + ';'
        + Fixed(line.DistNm, 4);
}

} // namespace

int RunLeg(std::span<const std::string> args, TStreams io)
{
    TLegPosition from;
    TLegPosition to;
    int points = kDefaultRoutePoints;
    std::optional<std::string> route;
    bool csv = false;
    try {
        const TCliArgs options = TCliArgs::Parse(args, kSpecs);
        from = ReadPosition(options, "--from");
        to = ReadPosition(options, "--to");
        csv = options.Flag("--csv");
        route = options.Value("--route");
        if (route && *route != "gc" && *route != "rl")
            throw EUsageError("invalid route " + Quoted(*route) + " (gc or rl)");
        if (const auto n = options.Value("--points")) {
            if (!route)
                throw EUsageError("--points goes with --route");
            const auto v = ParseInteger(*n);
            if (!v || *v < kMinRoutePoints || *v > kMaxRoutePoints)
                throw EUsageError("invalid number of points " + Quoted(*n) + " (1..100)");
            points = static_cast<int>(*v);
        }
    } catch (const EUsageError &e) {
        io.Err << "vrncli leg: " << e.what() << " (try vrncli leg --help)\n";
        return kExitBadInput;
    }

    const TLegResult r = CalcLeg(from, to, points);
    if (route) {
        const bool gc = *route == "gc";
        const TLegLine &line = gc ? r.GreatCircle : r.RhumbLine;
        io.Out << "point;lat;lon\n";
        int number = 0;
        bool complete = line.Ok;
        for (const auto &p : line.Points) {
            io.Out << ++number << ';';
            if (p)
                io.Out << Fixed(p->LatDeg, 6) << ';' << Fixed(p->LonDeg, 6) << '\n';
            else {
                io.Out << ";\n";
                complete = false;
            }
        }
        if (!complete) {
            io.Err << "vrncli leg: the " << (gc ? "great circle" : "rhumb line")
                   << " cannot be computed\n";
            return kExitFailure;
        }
        return kExitOk;
    }
    if (csv) {
        io.Out << "method;course;distance_nm\n"
               << CsvLine("rhumb_line", r.RhumbLine) << '\n'
               << CsvLine("great_circle", r.GreatCircle) << '\n';
    } else {
        const TLegLabels l = LegLabels(r);
        io.Out << "Rhumb line    true course:    " << l.TcRL << "  distance: " << l.DistRL << '\n'
               << "Great circle  initial course: " << l.TcGC << "  distance: " << l.DistGC << '\n'
               << "Difference                              " << l.DiffNM << "  " << l.DifPerc
               << '\n';
    }
    if (!r.RhumbLine.Ok || !r.GreatCircle.Ok) {
        io.Err << "vrncli leg: the leg cannot be computed\n";
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace vrn::cli
