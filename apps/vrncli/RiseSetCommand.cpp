#include "apps/vrncli/RiseSetCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/RiseSet.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <optional>
#include <ostream>
#include <string>

namespace vrn::cli {

const std::string_view kRiseSetUsage =
    "Usage: vrncli riseset --body NAME --date YYYY-MM-DD --lat LAT --lon LON [--csv]\n\n"
    "Rising, meridian transit and setting of a body on a UT date seen from a position, and for\n"
    "the Sun the civil twilight (the Sun's centre 6 degrees below the horizon). Times are hours\n"
    "of UT of the date, as a decimal number and as hh:mm; an event of the neighbouring day is\n"
    "marked \"(day before)\" or \"(next day)\". A body that stays above or below the horizon all\n"
    "day is reported in words, with its transit.\n\n"
    "Positions as Varunel writes them (45°07.3'N, 012°15.5'W), as decimal degrees with a\n"
    "hemisphere letter (45.12N, 12.26W, 151.2E), or as a bare signed number in Varunel's\n"
    "convention: latitude NORTH positive, longitude WEST positive (east negative).\n\n"
    "Bodies are named exactly as Varunel spells them (case matters): Sun, Moon, Venus, Saturn,\n"
    "Mars, Jupiter, the 60 navigational stars (\"Sirius\", \"Kaus Austr.\", ...).\n\n"
    "--csv writes the header\n"
    "  body;date;lat;lon;status;rise;transit;set;twilight_begin;twilight_end\n"
    "and one line: latitude and longitude in degrees (north and west positive), the status\n"
    "(rises_and_sets, always_below, always_above, not_applicable) and the times in decimal hours\n"
    "UT with 4 decimals, empty where there is none.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {
    {"--body", true}, {"--date", true}, {"--lat", true}, {"--lon", true}, {"--csv", false}};

struct TRequest
{
    TAstro *Body = nullptr;
    TUtcInstant Date;
    double LatDeg = 0;
    double LonDeg = 0; // west positive
    bool Csv = false;
};

// Reads the command line; on a mistake writes the message and returns nothing.
std::optional<TRequest> ReadRequest(std::span<const std::string> args, std::ostream &err)
{
    TCliArgs options;
    try {
        options = TCliArgs::Parse(args, kSpecs);
    } catch (const EUsageError &e) {
        err << "vrncli riseset: " << e.what() << " (try vrncli riseset --help)\n";
        return std::nullopt;
    }
    const auto body = options.Value("--body");
    const auto date = options.Value("--date");
    const auto lat = options.Value("--lat");
    const auto lon = options.Value("--lon");
    if (!body || !date || !lat || !lon) {
        err << "vrncli riseset: --body, --date, --lat and --lon are all needed"
               " (try vrncli riseset --help)\n";
        return std::nullopt;
    }
    TRequest r;
    r.Csv = options.Flag("--csv");
    const auto utc = ParseUtcDate(*date);
    if (!utc) {
        err << "vrncli riseset: invalid date " << Quoted(*date)
            << " (expected a real date as YYYY-MM-DD)\n";
        return std::nullopt;
    }
    r.Date = *utc;
    const auto latDeg = ParseLatitude(*lat);
    if (!latDeg) {
        err << "vrncli riseset: invalid latitude " << Quoted(*lat)
            << " (45°07.3'N, 45.12N or a signed number, north positive, at most 90)\n";
        return std::nullopt;
    }
    const auto lonDeg = ParseLongitude(*lon);
    if (!lonDeg) {
        err << "vrncli riseset: invalid longitude " << Quoted(*lon)
            << " (012°15.5'W, 12.26W, 151.2E or a signed number, WEST positive, at most 180)\n";
        return std::nullopt;
    }
    r.LatDeg = *latDeg;
    r.LonDeg = *lonDeg;
    CreateAstros();
    r.Body = FindAstro(*body);
    if (r.Body == nullptr) {
        err << "vrncli riseset: unknown body " << Quoted(*body) << '\n';
        return std::nullopt;
    }
    return r;
}

std::string_view StatusWord(TRiseSetStatus s)
{
    switch (s) {
    case TRiseSetStatus::RisesAndSets:
        return "rises_and_sets";
    case TRiseSetStatus::AlwaysBelow:
        return "always_below";
    case TRiseSetStatus::AlwaysAbove:
        return "always_above";
    case TRiseSetStatus::NotApplicable:
        break;
    }
    return "not_applicable";
}

// "  6.0299  06:02" with "(next day)" / "(day before)" for an event of the neighbouring day;
// hh:mm rounded to the minute.
std::string TimeCells(double hours)
{
    const long long minutes = std::llround(hours * 60.0);
    const long long dayOffset = (minutes >= 0 ? minutes : minutes - 1439) / 1440;
    const long long ofDay = minutes - dayOffset * 1440;
    std::string text = FormatFixed(hours, 4, 8) + "  " + (ofDay / 60 < 10 ? "0" : "")
        + FormatInt(ofDay / 60) + ":" + (ofDay % 60 < 10 ? "0" : "") + FormatInt(ofDay % 60);
    if (dayOffset < 0)
        text += " (day before)";
    else if (dayOffset > 0)
        text += " (next day)";
    return text;
}

std::string DateText(const TUtcInstant &d)
{
    return d.Text().substr(0, 10);
}

} // namespace

int RunRiseSet(std::span<const std::string> args, TStreams io)
{
    const auto request = ReadRequest(args, io.Err);
    if (!request)
        return kExitBadInput;
    const TRequest &q = *request;
    TAstro &body = *q.Body;
    const int y = q.Date.Year, m = q.Date.Month, d = q.Date.Day;

    const TRiseTransitSet rts = body.RiseTransitSet(y, m, d, q.LatDeg, q.LonDeg);
    const bool isSun = &body == Astros().Sun();
    bool hasTwilight = false;
    double twilightBeginHours = 0, twilightEndHours = 0;
    if (isSun) {
        if (const auto t = IsTwilightDefined(body, y, m, d, q.LatDeg, q.LonDeg)) {
            hasTwilight = true;
            twilightBeginHours = t->MorningHours;
            twilightEndHours = t->EveningHours;
        }
    }
    const bool risesAndSets = rts.Status == TRiseSetStatus::RisesAndSets;
    const bool hasTransit = rts.Status != TRiseSetStatus::NotApplicable;

    if (q.Csv) {
        std::string twilightBegin, twilightEnd;
        if (hasTwilight) {
            twilightBegin = FormatFixed(twilightBeginHours, 4);
            twilightEnd = FormatFixed(twilightEndHours, 4);
        }
        io.Out << "body;date;lat;lon;status;rise;transit;set;twilight_begin;twilight_end\n"
               << body.Name() << ';' << DateText(q.Date) << ';' << FormatFixed(q.LatDeg, 6) << ';'
               << FormatFixed(q.LonDeg, 6) << ';' << StatusWord(rts.Status) << ';'
               << (risesAndSets && rts.RiseFound ? FormatFixed(rts.RiseHours, 4) : "") << ';'
               << (hasTransit ? FormatFixed(rts.TransitHours, 4) : "") << ';'
               << (risesAndSets && rts.SetFound ? FormatFixed(rts.SetHours, 4) : "") << ';'
               << twilightBegin << ';' << twilightEnd << '\n';
        return kExitOk;
    }

    io.Out << body.Name() << " on " << DateText(q.Date) << " at "
           << FormatAngleDM1("NS", q.LatDeg).Text << ' ' << FormatAngleDM1("WE", q.LonDeg).Text
           << ", hours UT\n";
    switch (rts.Status) {
    case TRiseSetStatus::RisesAndSets:
        io.Out << "rise            "
               << (rts.RiseFound ? TimeCells(rts.RiseHours) : "none on this date") << '\n'
               << "transit         " << TimeCells(rts.TransitHours) << '\n'
               << "set             "
               << (rts.SetFound ? TimeCells(rts.SetHours) : "none on this date") << '\n';
        break;
    case TRiseSetStatus::AlwaysBelow:
        io.Out << "always below the horizon\n"
               << "transit         " << TimeCells(rts.TransitHours) << '\n';
        break;
    case TRiseSetStatus::AlwaysAbove:
        io.Out << "always above the horizon (circumpolar)\n"
               << "transit         " << TimeCells(rts.TransitHours) << '\n';
        break;
    case TRiseSetStatus::NotApplicable:
        io.Out << "no rising or setting: not a body in the sky\n";
        break;
    }
    if (isSun) {
        if (hasTwilight) {
            io.Out << "twilight begins " << TimeCells(twilightBeginHours) << '\n'
                   << "twilight ends   " << TimeCells(twilightEndHours) << '\n';
        } else {
            io.Out << "no civil twilight: the Sun does not cross 6 degrees below the horizon\n";
        }
    }
    return kExitOk;
}

} // namespace vrn::cli
