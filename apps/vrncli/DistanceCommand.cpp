#include "apps/vrncli/DistanceCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "apps/vrncli/SightCommand.h"
#include "celestial/LegCalculator.h"
#include "celestial/LunarDistance.h"
#include "celestial/TwoObjects.h"
#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"

#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace vrn::cli {

const std::string_view kDistanceUsage =
    "Usage: vrncli distance --body1 NAME --body2 NAME --utc YYYY-MM-DDTHH:MM:SS\n"
    "                       [--limb1 near|far|center] [--limb2 near|far|center] [--csv]\n"
    "       vrncli distance --body1 NAME --body2 NAME --utc YYYY-MM-DDTHH:MM:SS\n"
    "                       [--limb1 ...] [--limb2 ...] --sextant DIST --hs1 ALT --hs2 ALT\n"
    "                       --lat LAT --lon LON [--ie MIN] [--eye M] [--csv]\n\n"
    "The angular distance between two bodies at a UTC instant, as used for lunar distances:\n"
    "between the centres of their apparent geocentric places, and between the limbs a sextant\n"
    "brings together. The bearing is the position angle of body 2 from body 1, north through\n"
    "east.\n\n"
    "  --limb1 --limb2  near subtracts the body's semi-diameter, far adds it; center (the\n"
    "                   default, and the only choice for stars and planets) adds nothing\n"
    "  --csv            the header \"body1;body2;utc;bearing;distance;corrected\" and one line,\n"
    "                   degrees with 4 decimals; without it, the report of the two-object\n"
    "                   window\n\n"
    "Clearing a lunar distance (one of the bodies is the Moon): --utc is the time the watch\n"
    "showed; the distance read on the sextant between the limbs (--sextant) and the sextant\n"
    "altitudes of the centres of both bodies (--hs1, --hs2: 45°07.3' or decimal degrees) from\n"
    "the assumed position (--lat, --lon: north and WEST positive) are cleared of refraction and\n"
    "parallax, and the GMT is found at which the bodies were that far apart.\n"
    "  --ie             index correction in minutes, added to every reading, negative when the\n"
    "                   error is on the arc (0)\n"
    "  --eye            height of eye in metres, for the dip of the altitudes (0)\n"
    "  --csv            the header \"body1;body2;watch;apparent;cleared;gmt;watch_error_s\" and\n"
    "                   one line: the apparent and the cleared distance between the centres in\n"
    "                   degrees with 4 decimals, the GMT found to the second and the watch\n"
    "                   error in seconds with 1 decimal (GMT = watch + error); without it, the\n"
    "                   clearing report\n\n"
    "Exit status: 0 done, 1 the distance cannot be computed or cleared (the message says why),\n"
    "2 bad input.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--body1", true}, {"--body2", true}, {"--utc", true},
    {"--limb1", true}, {"--limb2", true}, {"--csv", false}, {"--sextant", true}, {"--hs1", true},
    {"--hs2", true}, {"--lat", true}, {"--lon", true}, {"--ie", true}, {"--eye", true}};

constexpr const char *kClearingOptions[] = {"--sextant", "--hs1", "--hs2", "--lat", "--lon"};

struct TDistanceRequest
{
    TAstro *Body1 = nullptr;
    TAstro *Body2 = nullptr;
    TUtcInstant Utc;
    TLimbChoice Limb1 = TLimbChoice::Center;
    TLimbChoice Limb2 = TLimbChoice::Center;
    bool Csv = false;
    bool Clear = false;
    TLunarObservation Lunar;
};

TAstro *ReadBody(const TCliArgs &options, const char *name)
{
    const auto text = options.Value(name);
    if (!text)
        throw EUsageError(std::string(name) + " is required");
    TAstro *body = FindAstro(*text);
    if (!body)
        throw EUsageError("unknown body " + Quoted(*text));
    return body;
}

TLimbChoice ReadLimb(const TCliArgs &options, const char *name, const TAstro &body)
{
    const std::string text = options.Value(name).value_or("center");
    TLimbChoice limb = TLimbChoice::Center;
    if (text == "near")
        limb = TLimbChoice::Near;
    else if (text == "far")
        limb = TLimbChoice::Far;
    else if (text != "center")
        throw EUsageError(
            "invalid limb " + Quoted(text) + " for " + name + " (near, far or center)");
    if (limb != EffectiveLimb(body, limb))
        throw EUsageError(body.Name() + " has no limb to measure: " + name + " can only be center");
    return limb;
}

double Angle(const TCliArgs &options, const char *name)
{
    const std::string text = *options.Value(name);
    const auto v = ParseSextantAltitude(text);
    if (!v)
        throw EUsageError("invalid angle " + Quoted(text) + " for " + name);
    return *v;
}

double Number(const TCliArgs &options, const char *name, double fallback)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    const auto v = ParsePlainNumber(*text);
    if (!v)
        throw EUsageError("invalid number " + Quoted(*text) + " for " + name);
    return *v;
}

TDistanceRequest ReadRequest(const TCliArgs &options)
{
    TDistanceRequest r;
    r.Body1 = ReadBody(options, "--body1");
    r.Body2 = ReadBody(options, "--body2");
    if (r.Body1 == r.Body2)
        throw EUsageError("--body1 and --body2 name the same body");
    const auto utcText = options.Value("--utc");
    if (!utcText)
        throw EUsageError("--utc is required");
    const auto utc = ParseUtc(*utcText);
    if (!utc)
        throw EUsageError("invalid UTC " + Quoted(*utcText)
            + " (expected a real date and time as YYYY-MM-DDTHH:MM:SS)");
    r.Utc = *utc;
    r.Limb1 = ReadLimb(options, "--limb1", *r.Body1);
    r.Limb2 = ReadLimb(options, "--limb2", *r.Body2);
    r.Csv = options.Flag("--csv");

    int clearing = 0;
    for (const char *name : kClearingOptions)
        clearing += options.Has(name);
    if (clearing == 0) {
        if (options.Has("--ie") || options.Has("--eye"))
            throw EUsageError("--ie and --eye go with the clearing of a lunar distance");
        return r;
    }
    if (clearing != static_cast<int>(std::size(kClearingOptions)))
        throw EUsageError(
            "clearing a lunar distance needs --sextant, --hs1, --hs2, --lat and --lon");
    r.Clear = true;
    TLunarObservation &o = r.Lunar;
    o.Body1 = r.Body1;
    o.Body2 = r.Body2;
    o.Limb1 = r.Limb1;
    o.Limb2 = r.Limb2;
    o.WatchDateTime = r.Utc.DateTime();
    o.SextantDistDeg = Angle(options, "--sextant");
    o.Hs1Deg = Angle(options, "--hs1");
    o.Hs2Deg = Angle(options, "--hs2");
    const std::string latText = *options.Value("--lat");
    const std::string lonText = *options.Value("--lon");
    const auto lat = ParseLatitude(latText);
    if (!lat)
        throw EUsageError("invalid latitude " + Quoted(latText));
    const auto lon = ParseLongitude(lonText);
    if (!lon)
        throw EUsageError("invalid longitude " + Quoted(lonText));
    o.LatDeg = *lat;
    o.LonDeg = *lon;
    o.IndexCorrectionArcmin = Number(options, "--ie", 0);
    o.EyeHeightM = Number(options, "--eye", 0);
    return r;
}

std::string Fixed4(double v)
{
    return FormatFixed(std::fabs(v) < 0.00005 ? 0 : v, 4);
}

// "YYYY-MM-DDTHH:MM:SS" of a date-time, to the nearest second.
std::string UtcText(double dateTime)
{
    const TDateTimeParts p = DecodeDateTime(std::round(dateTime * 86400) / 86400);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", p.Date.Year, p.Date.Month,
        p.Date.Day, p.Time.Hour, p.Time.Minute, p.Time.Second);
    return buf;
}

int Clear(const TDistanceRequest &request, TStreams io)
{
    const TLunarClearing c = ClearLunarDistance(request.Lunar);
    if (request.Csv) {
        const double err = std::fabs(c.WatchErrorSec) < 0.05 ? 0 : c.WatchErrorSec;
        io.Out << "body1;body2;watch;apparent;cleared;gmt;watch_error_s\n"
               << request.Body1->Name() << ';' << request.Body2->Name() << ';' << request.Utc.Text()
               << ';' << Fixed4(c.ApparentDistDeg) << ';' << Fixed4(c.ClearedDistDeg) << ';'
               << UtcText(c.GMT) << ';' << FormatFixed(err, 1) << '\n';
        return kExitOk;
    }
    std::vector<std::string> report;
    LunarReport(request.Lunar, c, report);
    for (const auto &line : report)
        io.Out << line << '\n';
    return kExitOk;
}

} // namespace

int RunDistance(std::span<const std::string> args, TStreams io)
{
    CreateAstros();
    TDistanceRequest request;
    try {
        request = ReadRequest(TCliArgs::Parse(args, kSpecs));
    } catch (const EUsageError &e) {
        io.Err << "vrncli distance: " << e.what() << " (try vrncli distance --help)\n";
        return kExitBadInput;
    }
    try {
        if (request.Clear)
            return Clear(request, io);
        const auto r = TwoObjectsDistance(
            *request.Body1, request.Limb1, *request.Body2, request.Limb2, request.Utc.DateTime());
        if (!r)
            throw EVrnError("the distance cannot be computed");
        if (request.Csv) {
            io.Out << "body1;body2;utc;bearing;distance;corrected\n"
                   << request.Body1->Name() << ';' << request.Body2->Name() << ';'
                   << request.Utc.Text() << ';' << CourseText(r->BearingDeg, 4) << ';'
                   << Fixed4(r->CentreDistDeg) << ';' << Fixed4(r->CorrectedDistDeg) << '\n';
        } else {
            std::vector<std::string> report;
            TwoObjectsReport(*request.Body1, *request.Body2, *r, report);
            for (const auto &line : report)
                io.Out << line << '\n';
        }
    } catch (const EVrnError &e) {
        io.Err << "vrncli distance: " << OneLine(e.what()) << '\n';
        return kExitFailure;
    }
    return kExitOk;
}

} // namespace vrn::cli
