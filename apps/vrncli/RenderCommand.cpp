#include "apps/vrncli/RenderCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "charts/ChartPng.h"
#include "engine/NumText.h"

#include <ostream>

namespace vrn::cli {

const std::string_view kRenderUsage =
    "Usage: vrncli render FILE.cht|FILE.CID|FILE.vrn --png OUT.png [--center LAT,LON]\n"
    "                     [--span DEG] [--size WxH] [--no-grid]\n\n"
    "Draws a chart file (vector charts, coastlines, routes, tracks, marks), a calibrated\n"
    "chart picture (its chart image data file) or a desktop (its vector chart, chart images,\n"
    "routes, tracks and marks) into a PNG picture, with the latitude and longitude grid, as\n"
    "the chart viewer draws it.\n\n"
    "  --center LAT,LON  view centre: \"45.5,-12.25\" or \"45°30.0'N,012°15.0'E\"; longitudes\n"
    "                    are WEST positive. Default: the file's own view, or all of it.\n"
    "  --span DEG        degrees of longitude across the picture, 0 < DEG <= 525.\n"
    "  --size WxH        picture size in pixels (default 800x600), each 1..16384.\n"
    "  --no-grid         leave out grid lines and ticks (the labels stay).\n\n"
    "Prints the view drawn. Objects dropped while reading, and what a desktop names but cannot\n"
    "be used (a missing chart or picture, a bad line), are reported on standard error and the\n"
    "rest is drawn; a file that cannot be read at all ends with status 1.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {
    {"--png", true}, {"--center", true}, {"--span", true}, {"--size", true}, {"--no-grid", false}};

void ReadCenter(const std::string &text, TPngRenderRequest &r)
{
    const auto comma = text.find(',');
    if (comma == std::string::npos)
        throw EUsageError("--center needs LAT,LON: " + Quoted(text));
    const auto lat = ParseLatitude(std::string_view(text).substr(0, comma));
    const auto lon = ParseLongitude(std::string_view(text).substr(comma + 1));
    if (!lat || !lon)
        throw EUsageError("invalid --center " + Quoted(text));
    r.LatC = *lat;
    r.LonC = *lon;
}

void ReadSize(const std::string &text, TPngRenderRequest &r)
{
    const auto x = text.find_first_of("xX");
    const auto w = x == std::string::npos ? std::nullopt : ParseInteger(text.substr(0, x));
    const auto h = x == std::string::npos ? std::nullopt : ParseInteger(text.substr(x + 1));
    if (!w || !h || *w < 1 || *h < 1 || *w > 16384 || *h > 16384)
        throw EUsageError("invalid --size " + Quoted(text) + " (WxH, each 1..16384)");
    r.Width = static_cast<int>(*w);
    r.Height = static_cast<int>(*h);
}

} // namespace

int RunRender(std::span<const std::string> args, TStreams io)
{
    TPngRenderRequest request;
    try {
        if (args.empty() || args[0].starts_with("--"))
            throw EUsageError("missing chart file");
        request.ChartFile = args[0];
        const TCliArgs options = TCliArgs::Parse(args.subspan(1), kSpecs);
        const auto png = options.Value("--png");
        if (!png || png->empty())
            throw EUsageError("missing --png OUT.png");
        request.PngFile = *png;
        if (const auto c = options.Value("--center"))
            ReadCenter(*c, request);
        if (const auto s = options.Value("--span")) {
            const auto span = ParseNumber(*s);
            if (!span || !(*span > 0 && *span <= 525))
                throw EUsageError("invalid --span " + Quoted(*s) + " (0 < DEG <= 525)");
            request.LonSpan = *span;
        }
        if (const auto s = options.Value("--size"))
            ReadSize(*s, request);
        request.Grid = !options.Flag("--no-grid");
    } catch (const EUsageError &e) {
        io.Err << "vrncli render: " << e.what() << " (try vrncli render --help)\n";
        return kExitBadInput;
    }
    const TPngRenderReport report = RenderChartToPng(request);
    for (const auto &m : report.Messages)
        io.Err << "vrncli render: " << request.ChartFile << ": " << m << '\n';
    for (const auto &p : report.Problems)
        io.Err << "vrncli render: " << p << '\n';
    io.Out << "wrote " << request.PngFile << " " << request.Width << "x" << request.Height
           << " center " << FormatFixed(report.LatC, 5) << " " << FormatFixed(report.LonC, 5)
           << " span " << FormatFixed(report.LonSpan, 5) << " objects " << report.Objects << '\n';
    return kExitOk;
}

} // namespace vrn::cli
