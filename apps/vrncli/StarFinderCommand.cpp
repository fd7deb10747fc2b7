#include "apps/vrncli/StarFinderCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"
#include "sky/SightPlanner.h"
#include "sky/StarFinderPng.h"
#include "sky/VisibleSky.h"

#include <ostream>

namespace vrn::cli {

const std::string_view kStarFinderUsage =
    "Usage: vrncli starfinder --lat LAT --lon LON --utc YYYY-MM-DDTHH:MM:SS [--csv] [--best N]\n"
    "                         [--png FILE] [--size N]\n\n"
    "The bodies the star finder lists as visible from a position at a UTC instant: the Sun,\n"
    "the Moon, Venus, Saturn, Mars, Jupiter and the 60 stars, in that order, each one with a\n"
    "geocentric altitude of 0 or more (by day too).\n\n"
    "  --lat LAT, --lon LON  the observer: \"45°07.3'N\", \"45.12N\" or a signed number;\n"
    "                        longitudes are WEST positive (\"012°15.5'E\" or -12.26 for east).\n"
    "  --csv                 the header \"body;hc;zn;mag\", then one line per body: HC and ZN,\n"
    "                        altitude and azimuth in degrees with 4 decimals, from GHA and\n"
    "                        declination without refraction or dip; MAG with 2 decimals.\n"
    "  --best N              only the N bodies (2..6) the sight planner chooses for the best\n"
    "                        fix: altitudes 15° to 70°, azimuths spread as evenly as possible\n"
    "                        (for two bodies the crossing angle of their LOPs, for more the\n"
    "                        smallest angle between neighbouring azimuths), brighter bodies\n"
    "                        when the spread is equal.\n"
    "  --png FILE            also draws the sky chart into FILE, the planner's choice marked.\n"
    "  --size N              the chart's side in pixels, 100..4000 (default 800).\n\n"
    "Without --csv the list is a readable table. Exit status 0, 2 for bad input, 1 when the\n"
    "picture cannot be written.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--lat", true}, {"--lon", true}, {"--utc", true},
    {"--csv", false}, {"--best", true}, {"--png", true}, {"--size", true}};

struct TRequest
{
    double LatDeg = 0;
    double LonDeg = 0;
    TUtcInstant Utc;
    bool Csv = false;
    int Best = 0; // 0: every visible body
    std::string Png;
    int Size = 800;
};

std::string Required(const TCliArgs &options, std::string_view name)
{
    const auto value = options.Value(name);
    if (!value)
        throw EUsageError("missing " + std::string(name));
    return *value;
}

int IntegerIn(const std::string &text, std::string_view option, int low, int high)
{
    const auto n = ParseInteger(text);
    if (!n || *n < low || *n > high)
        throw EUsageError("invalid " + std::string(option) + " " + Quoted(text) + " ("
            + std::to_string(low) + ".." + std::to_string(high) + ")");
    return int(*n);
}

TRequest ReadRequest(std::span<const std::string> args)
{
    const TCliArgs options = TCliArgs::Parse(args, kSpecs);
    TRequest r;
    const std::string lat = Required(options, "--lat");
    const std::string lon = Required(options, "--lon");
    const std::string utc = Required(options, "--utc");
    const auto latDeg = ParseLatitude(lat);
    if (!latDeg)
        throw EUsageError("invalid latitude " + Quoted(lat));
    const auto lonDeg = ParseLongitude(lon);
    if (!lonDeg)
        throw EUsageError("invalid longitude " + Quoted(lon));
    const auto instant = ParseUtc(utc);
    if (!instant)
        throw EUsageError("invalid UTC " + Quoted(utc)
            + " (expected a real date and time as YYYY-MM-DDTHH:MM:SS)");
    r.LatDeg = *latDeg;
    r.LonDeg = *lonDeg;
    r.Utc = *instant;
    r.Csv = options.Flag("--csv");
    if (const auto best = options.Value("--best"))
        r.Best = IntegerIn(*best, "--best", kPlannerMinBodies, kPlannerMaxBodies);
    if (const auto png = options.Value("--png")) {
        if (png->empty())
            throw EUsageError("--png needs a file name");
        r.Png = *png;
    }
    if (const auto size = options.Value("--size"))
        r.Size = IntegerIn(*size, "--size", 100, 4000);
    return r;
}

std::string Padded(std::string text, std::size_t width)
{
    // Widths count characters; "°" is two bytes of UTF-8 and one character.
    std::size_t chars = 0;
    for (const unsigned char c : text)
        chars += (c & 0xC0) != 0x80;
    if (chars < width)
        text.append(width - chars, ' ');
    return text;
}

} // namespace

int RunStarFinder(std::span<const std::string> args, TStreams io)
{
    TRequest r;
    try {
        r = ReadRequest(args);
    } catch (const EUsageError &e) {
        io.Err << "vrncli starfinder: " << e.what() << " (try vrncli starfinder --help)\n";
        return kExitBadInput;
    }
    CreateAstros();
    const TVisibleSky sky = ComputeVisibleSky(Astros(), r.Utc.DateTime(), r.LatDeg, r.LonDeg);

    std::vector<const TVisibleBody *> listed;
    std::optional<TSightPlan> plan;
    if (r.Best > 0) {
        plan = PlanSights(sky.Bodies, r.Best);
        if (plan) {
            for (std::size_t i : plan->Indices)
                listed.push_back(&sky.Bodies[i]);
        } else {
            io.Err << "vrncli starfinder: fewer than " << r.Best << " bodies stand between "
                   << FormatFixed(kPlannerMinAltitudeDeg, 0) << "° and "
                   << FormatFixed(kPlannerMaxAltitudeDeg, 0) << "° of altitude\n";
        }
    } else {
        for (const TVisibleBody &b : sky.Bodies)
            listed.push_back(&b);
    }

    if (r.Csv) {
        io.Out << "body;hc;zn;mag\n";
        for (const TVisibleBody *b : listed)
            io.Out << b->Name << ';' << FormatFixed(b->HcDeg, 4) << ';' << FormatFixed(b->ZnDeg, 4)
                   << ';' << FormatFixed(b->Magnitude, 2) << '\n';
    } else {
        io.Out << "Observer " << FormatAngleDM1("NS", r.LatDeg).Text << "  "
               << FormatAngleDM1("WE", r.LonDeg).Text << " at " << r.Utc.Text() << " UTC\n\n"
               << Padded("Body", 16) << Padded("Hc", 11) << Padded("Az", 7) << "Mag\n";
        for (const TVisibleBody *b : listed)
            io.Out << Padded(b->Name, 16) << Padded(HcCellText(b->HcDeg), 11)
                   << Padded(ZnCellText(b->ZnDeg), 7) << MagnitudeCellText(b->Magnitude) << '\n';
        io.Out << '\n' << sky.Bodies.size() << " visible\n";
        if (plan)
            io.Out << "Best " << r.Best << " for a fix: spread " << FormatFixed(plan->SpreadDeg, 1)
                   << "° (ideal " << FormatFixed(plan->IdealSpreadDeg, 0) << "°)\n";
    }

    if (!r.Png.empty()) {
        TStarFinderPngRequest png;
        png.Size = r.Size;
        png.PngFile = r.Png;
        for (const TVisibleBody *b : listed) {
            if (plan)
                png.Planned.push_back(b->Name);
        }
        try {
            RenderStarFinderPng(sky, png);
        } catch (const EVrnError &e) {
            io.Err << "vrncli starfinder: " << e.what() << '\n';
            return kExitFailure;
        }
    }
    return kExitOk;
}

} // namespace vrn::cli
