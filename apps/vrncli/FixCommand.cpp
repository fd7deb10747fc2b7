#include "apps/vrncli/FixCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "celestial/LOPFiles.h"
#include "celestial/LeastSquaresFix.h"
#include "celestial/VrnCalc.h"
#include "engine/NumText.h"

#include <algorithm>
#include <istream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace vrn::cli {

const std::string_view kFixUsage =
    "Usage: vrncli fix FILE.vll [--transport none|latest|mean|YYYY-MM-DDTHH:MM:SS]\n"
    "                  [--course DEG --speed KN] [--method crossings|lsq] [--out report|csv]\n\n"
    "Crosses every pair of selected LOPs of a LOP list file (dates dd/MM/yyyy) and weights\n"
    "each crossing by the sine of the angle between the two LOPs.\n\n"
    "  --transport  moves the LOPs along the boat's course to a common time first: the latest\n"
    "               LOP time, their mean time, or the UTC instant given (none)\n"
    "  --course     boat's course in degrees true and --speed in knots (0)\n"
    "  --method     adds the least-squares fix on the sphere (every LOP re-reduced from the\n"
    "               last position until it moves less than 0.01 NM) and its quality: the\n"
    "               residual of every LOP, the 1-sigma error ellipse from their scatter (three\n"
    "               LOPs or more) and the suspect sight (four or more); the position given is\n"
    "               that of the crossings or of the least squares\n"
    "  --out        report: the fix report, followed with --method by the least-squares lines;\n"
    "               csv: the header \"lat;lon;lops;crossings;mean_dist;sd\" and one line\n"
    "               (degrees with 5 decimals, latitude north and longitude WEST positive;\n"
    "               distances of the crossings from the fix by crossings in nautical miles with\n"
    "               2 decimals); with --method the header goes on with\n"
    "               \";sigma_major_nm;sigma_minor_nm;orientation;suspect\": the semi-axes of\n"
    "               the ellipse (2 decimals), the bearing of its major axis (degrees true\n"
    "               0..180, 1 decimal) and the number of the suspect LOP, each empty when there\n"
    "               is none\n\n"
    "Lines of the file that are not LOPs, LOPs past the twentieth and LOPs transported over\n"
    "more than a day are reported on standard error.\n"
    "Exit status: 0 done, 1 no fix (fewer than two usable LOPs, no crossing, no least-squares\n"
    "fix with --method lsq, file not readable), 2 bad input.\n";

namespace {

constexpr TOptionSpec kOptions[] = {{"--transport", true}, {"--course", true}, {"--speed", true},
    {"--method", true}, {"--out", true}};

// The position the csv line gives; without --method the output is the fix by crossings alone.
enum class TFixMethod
{
    CrossingsOnly,
    Crossings,
    LeastSquares,
};

struct TFixRequest
{
    std::string FileName;
    TAutoTransportMode Mode = TAutoTransportMode::DontTransport;
    TTransportSettings Settings;
    TFixMethod Method = TFixMethod::CrossingsOnly;
    bool Csv = false;
};

double NumberOption(const TCliArgs &options, std::string_view name, double min, double max)
{
    const auto text = options.Value(name);
    if (!text)
        return 0;
    const auto v = ParsePlainNumber(*text);
    if (!v || *v < min || *v > max)
        throw EUsageError("invalid value " + Quoted(*text) + " for " + std::string(name));
    return *v;
}

TFixRequest ReadRequest(std::span<const std::string> args)
{
    // The one positional argument, the file, may stand anywhere among the options.
    TFixRequest r;
    std::vector<std::string> optionArgs;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const auto option = std::find_if(std::begin(kOptions), std::end(kOptions),
            [&](const TOptionSpec &s) { return s.Name == args[i]; });
        if (option != std::end(kOptions)) {
            optionArgs.push_back(args[i]);
            if (option->TakesValue && i + 1 < args.size())
                optionArgs.push_back(args[++i]);
        } else if ((args[i] == "-" || !args[i].starts_with("-")) && r.FileName.empty()
            && !args[i].empty()) {
            r.FileName = args[i];
        } else {
            optionArgs.push_back(args[i]);
        }
    }
    const TCliArgs options = TCliArgs::Parse(optionArgs, kOptions);
    if (r.FileName.empty())
        throw EUsageError("a LOP list file (.vll) is required");

    r.Settings.Boat.Course = NumberOption(options, "--course", 0, 360);
    r.Settings.Boat.Speed = NumberOption(options, "--speed", 0, 1000);
    const std::string transport = options.Value("--transport").value_or("none");
    if (transport == "none") {
        r.Mode = TAutoTransportMode::DontTransport;
    } else if (transport == "latest") {
        r.Mode = TAutoTransportMode::ToLatestLOPTime;
    } else if (transport == "mean") {
        r.Mode = TAutoTransportMode::ToLOPsMeanTime;
    } else if (const auto utc = ParseUtc(transport)) {
        r.Mode = TAutoTransportMode::ToSelectedTime;
        r.Settings.SelectedTime = utc->DateTime();
    } else {
        throw EUsageError("invalid transport " + Quoted(transport)
            + " (none, latest, mean or a UTC instant YYYY-MM-DDTHH:MM:SS)");
    }
    if (const auto method = options.Value("--method")) {
        if (*method == "crossings")
            r.Method = TFixMethod::Crossings;
        else if (*method == "lsq")
            r.Method = TFixMethod::LeastSquares;
        else
            throw EUsageError("invalid method " + Quoted(*method) + " (crossings or lsq)");
    }
    const std::string out = options.Value("--out").value_or("report");
    if (out != "report" && out != "csv")
        throw EUsageError("invalid output " + Quoted(out) + " (report or csv)");
    r.Csv = out == "csv";
    return r;
}

} // namespace

int RunFix(std::span<const std::string> args, TStreams io)
{
    TFixRequest request;
    try {
        request = ReadRequest(args);
    } catch (const EUsageError &e) {
        io.Err << "vrncli fix: " << e.what() << " (try vrncli fix --help)\n";
        return kExitBadInput;
    }

    TLOPListRead read;
    try {
        if (request.FileName == "-") {
            const std::string bytes {
                std::istreambuf_iterator<char>(io.In), std::istreambuf_iterator<char>()};
            read = ReadLOPListText(bytes);
        } else {
            read = ReadLOPListFile(request.FileName);
        }
    } catch (const EVrnError &e) {
        io.Err << "vrncli fix: " << e.what() << '\n';
        return kExitFailure;
    }
    if (const std::string message = LOPListReadMessage(read); !message.empty())
        io.Err << "vrncli fix: " << message << '\n';

    TLOPList list;
    try {
        list.AddLOPs(read.LOPs);
    } catch (const EVrnError &e) {
        io.Err << "vrncli fix: " << e.what() << " (the first " << FormatInt(kMaxLOPs)
               << " are used)\n";
    }
    list.SetTransportMode(request.Mode);

    TFixReport report;
    std::vector<std::string> quality;
    TFixWithQuality fix;
    try {
        fix = CalcFixWithQuality(list, request.Settings, report, quality);
    } catch (const EVrnError &e) {
        for (const auto &w : report.Transport.Warnings)
            io.Err << "vrncli fix: " << w << '\n';
        if (!request.Csv)
            for (const auto &line : report.Lines)
                io.Out << line << '\n';
        io.Err << "vrncli fix: " << OneLine(e.what()) << '\n';
        return kExitFailure;
    }
    for (const auto &w : report.Transport.Warnings)
        io.Err << "vrncli fix: " << w << '\n';

    const TLeastSquaresFix &lsq = fix.LeastSquares;
    const bool withQuality = request.Method != TFixMethod::CrossingsOnly;
    if (!request.Csv) {
        for (const auto &line : report.Lines)
            io.Out << line << '\n';
        if (withQuality)
            for (const auto &line : quality)
                io.Out << line << '\n';
    }
    if (request.Method == TFixMethod::LeastSquares && !lsq.Found()) {
        io.Err << "vrncli fix: no least-squares fix: " << quality.back() << '\n';
        return kExitFailure;
    }
    if (!request.Csv)
        return kExitOk;

    const bool byLsq = request.Method == TFixMethod::LeastSquares;
    io.Out << "lat;lon;lops;crossings;mean_dist;sd"
           << (withQuality ? ";sigma_major_nm;sigma_minor_nm;orientation;suspect" : "") << '\n'
           << FormatFixed(byLsq ? lsq.Lat : fix.Crossings.Lat, 5) << ';'
           << FormatFixed(byLsq ? lsq.Lon : fix.Crossings.Lon, 5) << ';'
           << FormatInt(static_cast<long long>(fix.Crossings.LOPNumbers.size())) << ';'
           << FormatInt(static_cast<long long>(fix.Crossings.Crossings.size())) << ';'
           << FormatFixed(fix.Crossings.MeanDistNm, 2) << ';' << FormatFixed(fix.Crossings.SdNm, 2);
    if (withQuality) {
        const bool ellipse = lsq.Found() && lsq.Ellipse;
        io.Out << ';' << (ellipse ? FormatFixed(lsq.Ellipse->SigmaMajorNm, 2) : "") << ';'
               << (ellipse ? FormatFixed(lsq.Ellipse->SigmaMinorNm, 2) : "") << ';'
               << (ellipse ? FormatFixed(lsq.Ellipse->OrientationDeg, 1) : "") << ';'
               << (lsq.Suspect ? FormatInt(lsq.Suspect->LOP) : "");
    }
    io.Out << '\n';
    return kExitOk;
}

} // namespace vrn::cli
