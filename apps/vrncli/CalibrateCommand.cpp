#include "apps/vrncli/CalibrateCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "charts/ChartImageImport.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"

#include <cmath>
#include <ctime>
#include <numbers>
#include <ostream>
#include <vector>

namespace vrn::cli {

const std::string_view kCalibrateUsage =
    "Usage: vrncli calibrate PICTURE --ref X,Y,LAT,LON --ref X,Y,LAT,LON --ref X,Y,LAT,LON\n"
    "                        [--linear] [--description TEXT] [--rotate] --out FILE.CID\n\n"
    "Calibrates a chart picture (.jpg, .jpeg, .gif or .bmp) from three reference points and\n"
    "writes its chart image data file, as the chart image importer of kartograv does.\n\n"
    "  --ref X,Y,LAT,LON   a reference point: its pixel (x to the right, y down, from the top\n"
    "                      left corner) and its position in decimal degrees, latitude north\n"
    "                      positive, longitude WEST positive. Given three times.\n"
    "  --linear            the picture's latitude scale is linear (default: Mercator).\n"
    "  --description TEXT  the chart's description.\n"
    "  --rotate            when the picture's North-South axis is not vertical, turn it\n"
    "                      north-up and write it beside FILE.CID under FILE's name with the\n"
    "                      picture's extension (never over the picture itself).\n"
    "  --out FILE.CID      the chart image data file to write.\n\n"
    "Prints the north angle found and the scale. Exit status 0 on success, 1 when the points\n"
    "cannot be used, the picture must be rotated or a file cannot be read or written, 2 for\n"
    "bad arguments.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {
    {"--linear", false}, {"--description", true}, {"--rotate", false}, {"--out", true}};

TChartPoint ReadRef(const std::string &text)
{
    std::vector<std::string_view> parts;
    std::string_view rest(text);
    for (;;) {
        const auto comma = rest.find(',');
        parts.push_back(rest.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    if (parts.size() != 4)
        throw EUsageError("--ref needs X,Y,LAT,LON: " + Quoted(text));
    const auto x = ParsePlainNumber(parts[0]);
    const auto y = ParsePlainNumber(parts[1]);
    const auto lat = ParsePlainNumber(parts[2]);
    const auto lon = ParsePlainNumber(parts[3]);
    if (!x || !y || !lat || !lon || std::fabs(*lat) > 90 || std::fabs(*lon) > 180)
        throw EUsageError("invalid --ref " + Quoted(text)
            + " (pixels, then decimal degrees: |LAT| <= 90, |LON| <= 180)");
    return TChartPoint {*x, *y, *lat, *lon};
}

double LocalNow()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm {};
    if (!localtime_r(&t, &tm))
        return 0;
    return EncodeDate(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday)
        + EncodeTime(tm.tm_hour, tm.tm_min, std::min(tm.tm_sec, 59), 0);
}

double Degrees(double rad)
{
    return rad * 180 / std::numbers::pi;
}

} // namespace

int RunCalibrate(std::span<const std::string> args, TStreams io)
{
    TCalibrationRequest request;
    try {
        if (args.empty() || args[0].starts_with("--"))
            throw EUsageError("missing picture file");
        request.Picture = args[0];
        // --ref is the one option given more than once; the others go to the common parser.
        std::vector<std::string> others;
        int refs = 0;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] != "--ref") {
                others.push_back(args[i]);
                continue;
            }
            if (i + 1 >= args.size())
                throw EUsageError("option --ref needs a value");
            if (refs == 3)
                throw EUsageError("--ref given more than three times");
            request.Ref[refs++] = ReadRef(args[++i]);
        }
        if (refs != 3)
            throw EUsageError("three --ref points are needed, " + FormatInt(refs) + " given");
        const TCliArgs options = TCliArgs::Parse(others, kSpecs);
        const auto out = options.Value("--out");
        if (!out || out->empty())
            throw EUsageError("missing --out FILE.CID");
        request.CidFile = *out;
        request.Mercator = !options.Flag("--linear");
        request.Rotate = options.Flag("--rotate");
        request.Description = options.Value("--description").value_or("");
    } catch (const EUsageError &e) {
        io.Err << "vrncli calibrate: " << e.what() << " (try vrncli calibrate --help)\n";
        return kExitBadInput;
    }
    request.WrittenAt = LocalNow();
    try {
        const TCalibrationOutcome outcome = CalibrateChartImage(request);
        io.Out << "north angle " << FormatFixed(Degrees(outcome.NorthAngleRad), 6) << " degrees\n";
        if (outcome.Rotated)
            io.Out << "rotated picture " << outcome.RotatedPicture << '\n';
        io.Out << "scale " << FormatFixed(outcome.Bounds.XScale, 6)
               << " pixels per degree of longitude, " << FormatFixed(outcome.Bounds.YScale, 6)
               << " pixels per degree of latitude\n";
        io.Out << "wrote " << request.CidFile << '\n';
        return kExitOk;
    } catch (const EPointOutsidePicture &e) {
        io.Err << "vrncli calibrate: " << e.what() << '\n';
        return kExitBadInput;
    } catch (const EInvalidReferencePoints &) {
        io.Err << "vrncli calibrate: Bad reference points.\n";
        return kExitFailure;
    } catch (const ENeedsRotation &e) {
        io.Err << "vrncli calibrate: " << e.what() << " (use --rotate)\n";
        return kExitFailure;
    } catch (const EVrnError &e) {
        io.Err << "vrncli calibrate: " << OneLine(e.what()) << '\n';
        return kExitFailure;
    }
}

} // namespace vrn::cli
