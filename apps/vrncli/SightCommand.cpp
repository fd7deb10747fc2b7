#include "apps/vrncli/SightCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "celestial/LOPFiles.h"
#include "celestial/Sextante.h"
#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"

#include <cmath>
#include <ostream>
#include <string>
#include <vector>

namespace vrn::cli {

const std::string_view kSightUsage =
    "Usage: vrncli sight --body NAME --utc YYYY-MM-DDTHH:MM:SS --hs ALT --lat LAT --lon LON\n"
    "                    [--ie MIN] [--eye M | --eye-ft FT | --dip MIN] [--dip-short NM]\n"
    "                    [--limb lower|upper|center] [--horizon] [--temp C] [--pressure MB]\n"
    "                    [--out report|csv] [--append FILE.vll]\n\n"
    "Reduces one sextant sight to a line of position (intercept method) from the assumed\n"
    "position --lat/--lon, as the celestial navigation window does.\n\n"
    "  --hs        sextant altitude: 45°07.3' or decimal degrees (45.1217); with --horizon,\n"
    "              the reading of the artificial horizon (twice the altitude)\n"
    "  --ie        index correction in minutes, negative when the error is on the arc (0)\n"
    "  --eye       height of eye in metres; --eye-ft in feet (0); or --dip, the dip\n"
    "              correction itself in minutes, signed (-3.1)\n"
    "  --dip-short distance in nautical miles to a waterline nearer than the horizon\n"
    "              (with --eye or --eye-ft)\n"
    "  --limb      limb observed, Sun and Moon only (lower)\n"
    "  --horizon   the sight was taken with an artificial horizon\n"
    "  --temp      air temperature in °C, --pressure in millibars: refraction with\n"
    "              atmospheric variables (the other defaults to 20 °C or 1010 mb)\n"
    "  --lat --lon assumed position: 45°07.3'N, 45.1217N or 45.1217 (north positive);\n"
    "              012°15.5'W, 12.2583E or -12.2583 (longitude WEST positive)\n"
    "  --out       report: the LOP report; csv: the header \"body;utc;ho;hc;zn;intercept\"\n"
    "              and one line (degrees with 4 decimals, intercept in nautical miles with 2,\n"
    "              positive towards the body)\n"
    "  --append    adds the LOP to a LOP list file (created when missing; dates dd/MM/yyyy)\n\n"
    "Exit status: 0 done, 1 the sight cannot be reduced (the message says why), 2 bad input.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--body", true}, {"--utc", true}, {"--hs", true}, {"--ie", true},
    {"--eye", true}, {"--eye-ft", true}, {"--dip", true}, {"--dip-short", true}, {"--limb", true},
    {"--horizon", false}, {"--temp", true}, {"--pressure", true}, {"--lat", true}, {"--lon", true},
    {"--out", true}, {"--append", true}};

constexpr double kFeetPerMetre = 1 / 0.3048;

// What the command line asks for, checked; EUsageError names the first bad option.
struct TSightRequest
{
    TAstro *Body = nullptr;
    TUtcInstant Utc;
    double HsDeg = 0;
    double LatDeg = 0;
    double LonDeg = 0;
    TVrnSextant Sextant;
    TLimbType Limb = TLimbType::LowerLimb;
    bool Horizon = false;
    bool Csv = false;
    std::optional<std::string> AppendTo;
};

double NumberOption(const TCliArgs &options, std::string_view name, double fallback)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    const auto v = ParsePlainNumber(*text);
    if (!v)
        throw EUsageError("invalid number " + Quoted(*text) + " for " + std::string(name));
    return *v;
}

TSightRequest ReadRequest(const TCliArgs &options)
{
    TSightRequest r;
    for (const char *required : {"--body", "--utc", "--hs", "--lat", "--lon"})
        if (!options.Has(required))
            throw EUsageError(std::string(required) + " is required");

    const std::string bodyName = *options.Value("--body");
    r.Body = FindAstro(bodyName);
    if (!r.Body)
        throw EUsageError("unknown body " + Quoted(bodyName));
    const std::string utcText = *options.Value("--utc");
    const auto utc = ParseUtc(utcText);
    if (!utc)
        throw EUsageError("invalid UTC " + Quoted(utcText)
            + " (expected a real date and time as YYYY-MM-DDTHH:MM:SS)");
    r.Utc = *utc;

    r.Horizon = options.Flag("--horizon");
    const std::string hsText = *options.Value("--hs");
    const auto hs = ParseSextantAltitude(hsText);
    const double hsMax = r.Horizon ? 180 : 90;
    const double hsMin = r.Horizon ? 0 : -90;
    if (!hs || *hs < hsMin || *hs > hsMax)
        throw EUsageError("invalid sextant altitude " + Quoted(hsText));
    r.HsDeg = *hs;

    const std::string latText = *options.Value("--lat");
    const std::string lonText = *options.Value("--lon");
    const auto lat = ParseLatitude(latText);
    if (!lat)
        throw EUsageError("invalid latitude " + Quoted(latText));
    const auto lon = ParseLongitude(lonText);
    if (!lon)
        throw EUsageError("invalid longitude " + Quoted(lonText));
    r.LatDeg = *lat;
    r.LonDeg = *lon;

    TVrnSextant &s = r.Sextant;
    s.IndexCorrection = NumberOption(options, "--ie", 0) / 60;
    const int dipOptions =
        int(options.Has("--eye")) + int(options.Has("--eye-ft")) + int(options.Has("--dip"));
    if (dipOptions > 1)
        throw EUsageError("give only one of --eye, --eye-ft and --dip");
    if (options.Has("--dip")) {
        if (options.Has("--dip-short"))
            throw EUsageError("--dip-short needs the height of eye (--eye or --eye-ft)");
        s.DipMode = TDipMode::Given;
        s.Dip = NumberOption(options, "--dip", 0) / 60;
    } else {
        const double eyeFt = options.Has("--eye-ft")
            ? NumberOption(options, "--eye-ft", 0)
            : NumberOption(options, "--eye", 0) * kFeetPerMetre;
        if (eyeFt < 0)
            throw EUsageError("Height of the eye (Dip) must be a positive number");
        s.EyeHeight = eyeFt;
        s.DipMode = TDipMode::FromEyeHeight;
        if (options.Has("--dip-short")) {
            s.DipMode = TDipMode::WithDipShort;
            s.DipShortDistance = NumberOption(options, "--dip-short", 0);
        }
    }
    s.UseAtmosphericRefraction = options.Has("--temp") || options.Has("--pressure");
    s.Temperature = NumberOption(options, "--temp", 20);
    s.Pressure = NumberOption(options, "--pressure", 1010);

    const std::string limb = options.Value("--limb").value_or("lower");
    if (limb == "lower")
        r.Limb = TLimbType::LowerLimb;
    else if (limb == "upper")
        r.Limb = TLimbType::UpperLimb;
    else if (limb == "center")
        r.Limb = TLimbType::ObjectCenter;
    else
        throw EUsageError("invalid limb " + Quoted(limb) + " (lower, upper or center)");

    const std::string out = options.Value("--out").value_or("report");
    if (out != "report" && out != "csv")
        throw EUsageError("invalid output " + Quoted(out) + " (report or csv)");
    r.Csv = out == "csv";
    r.AppendTo = options.Value("--append");
    if (r.AppendTo && r.AppendTo->empty())
        throw EUsageError("--append needs a file name");
    return r;
}

} // namespace

std::optional<double> ParseSextantAltitude(std::string_view text)
{
    std::string_view t = Trim(text);
    bool negative = false;
    if (t.ends_with('-')) {
        negative = true;
        t = Trim(t.substr(0, t.size() - 1));
    }
    if (t.starts_with('-')) {
        if (negative)
            return std::nullopt;
        negative = true;
        t.remove_prefix(1);
    }
    constexpr std::string_view degreeSign = "\xC2\xB0";
    double value = 0;
    const std::size_t deg = t.find(degreeSign);
    if (deg == std::string_view::npos) {
        if (t.starts_with('+') || t.starts_with('-'))
            return std::nullopt;
        const auto v = ParsePlainNumber(t);
        if (!v)
            return std::nullopt;
        value = *v;
    } else {
        const std::string_view degrees = t.substr(0, deg);
        std::string_view minutes = t.substr(deg + degreeSign.size());
        if (minutes.ends_with('\''))
            minutes.remove_suffix(1);
        if (degrees.empty() || degrees.find_first_not_of("0123456789") != std::string_view::npos
            || minutes.empty()
            || minutes.find_first_not_of("0123456789.") != std::string_view::npos)
            return std::nullopt;
        const auto d = ParseInteger(degrees);
        const auto m = ParseNumber(minutes);
        if (!d || !m || *m >= 60)
            return std::nullopt;
        value = static_cast<double>(*d) + *m / 60;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

int RunSight(std::span<const std::string> args, TStreams io)
{
    CreateAstros();
    TSightRequest request;
    try {
        request = ReadRequest(TCliArgs::Parse(args, kSpecs));
    } catch (const EUsageError &e) {
        io.Err << "vrncli sight: " << e.what() << " (try vrncli sight --help)\n";
        return kExitBadInput;
    }

    const TUtcInstant &utc = request.Utc;
    const double gmt = utc.DateTime();
    TSightInputs sight;
    sight.Body = request.Body;
    sight.Watch.Day = static_cast<std::uint16_t>(utc.Day);
    sight.Watch.Month = static_cast<std::uint16_t>(utc.Month);
    sight.Watch.Year = static_cast<std::uint16_t>(utc.Year);
    sight.Watch.GMTHours = utc.DecimalHour();
    sight.AssumedPos = TPosition("AssumedPos", request.LatDeg, request.LonDeg);
    sight.Limb = request.Limb;
    sight.ArtificialHorizon = request.Horizon;
    sight.GMTDateText = FormatDateText(gmt, ShortDateFormat());
    sight.GMTTimeText = utc.Text().substr(11); // hh:mm:ss
    sight.LocalDateTime = gmt;

    TVrnSextant &sextant = request.Sextant;
    sextant.Hs = request.HsDeg;
    std::vector<std::string> report;
    TLOPRecord lop;
    try {
        lop = CalcLOP(sight, sextant, report);
    } catch (const EVrnError &e) {
        if (!request.Csv)
            for (const auto &line : report)
                io.Out << line << '\n';
        io.Err << "vrncli sight: " << OneLine(e.what()) << '\n';
        return kExitFailure;
    }

    if (request.Csv) {
        const double ho = sextant.Hs + sextant.TotalCorrection;
        io.Out << "body;utc;ho;hc;zn;intercept\n"
               << lop.ObjectName << ';' << utc.Text() << ';' << FormatFixed(ho, 4) << ';'
               << FormatFixed(lop.HCalc, 4) << ';' << FormatFixed(lop.Azimuth, 4) << ';'
               << FormatFixed(lop.Intercept, 2) << '\n';
    } else {
        for (const auto &line : report)
            io.Out << line << '\n';
    }

    if (request.AppendTo) {
        try {
            AppendToLOPListFile(*request.AppendTo, lop);
        } catch (const EVrnError &e) {
            io.Err << "vrncli sight: the LOP was not added to " << *request.AppendTo << ": "
                   << e.what() << '\n';
            return kExitFailure;
        }
    }
    return kExitOk;
}

} // namespace vrn::cli
