#include "apps/vrncli/GpxCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "charts/ChartDesktop.h"
#include "charts/GpxFile.h"
#include "charts/ImgCarta.h"
#include "engine/NumText.h"

#include <filesystem>
#include <ostream>

namespace vrn::cli {

const std::string_view kGpxUsage =
    "Usage: vrncli gpx FILE.gpx --to FILE.vrn\n"
    "       vrncli gpx FILE.vrn|FILE.cht --to FILE.gpx [--route NAME | --track NAME]\n\n"
    "Imports the routes (rte), tracks (trk, each segment a track, with its times) and waypoints\n"
    "(wpt, as marks) of a GPX 1.0 or 1.1 file into a desktop: a new one, or added to the\n"
    "desktop FILE.vrn when it exists. Or exports the routes, tracks and marks of a desktop or\n"
    "chart file to a GPX 1.1 file: all of them, or the one route or track of that name.\n\n"
    "GPX longitudes are east positive; desktops keep them west positive.\n"
    "Points that cannot be used are left out and reported on standard error.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--to", true}, {"--route", true}, {"--track", true}};

bool EndsWith(const std::string &name, std::string_view extension)
{
    if (name.size() < extension.size())
        return false;
    return LowerAscii(std::string_view(name).substr(name.size() - extension.size())) == extension;
}

struct TGpxRequest
{
    std::string From;
    std::string To;
    std::optional<std::string> Route;
    std::optional<std::string> Track;
    bool Import = false;
};

TGpxRequest ReadRequest(std::span<const std::string> args)
{
    TGpxRequest r;
    if (args.empty() || args[0].starts_with("--"))
        throw EUsageError("missing input file");
    r.From = args[0];
    const TCliArgs options = TCliArgs::Parse(args.subspan(1), kSpecs);
    const auto to = options.Value("--to");
    if (!to || to->empty())
        throw EUsageError("missing --to FILE");
    r.To = *to;
    r.Route = options.Value("--route");
    r.Track = options.Value("--track");
    if (EndsWith(r.From, ".gpx")) {
        if (!EndsWith(r.To, ".vrn"))
            throw EUsageError("a GPX file goes --to a desktop (.vrn): " + Quoted(r.To));
        if (r.Route || r.Track)
            throw EUsageError("--route and --track choose what a GPX file is written from");
        r.Import = true;
    } else if (EndsWith(r.From, ".vrn") || EndsWith(r.From, ".cht")) {
        if (!EndsWith(r.To, ".gpx"))
            throw EUsageError(
                "a desktop or chart file goes --to a GPX file (.gpx): " + Quoted(r.To));
        if (r.Route && r.Track)
            throw EUsageError("give --route or --track, not both");
    } else {
        throw EUsageError("the input is a .gpx, .vrn or .cht file: " + Quoted(r.From));
    }
    return r;
}

std::string Summary(const TGpxAdded &a)
{
    return GpxSummaryText(a.Routes, a.Tracks, a.Marks, a.Points);
}

int Import(const TGpxRequest &r, TStreams io)
{
    TGpxImport import = ReadGpxFile(r.From);
    for (const auto &m : import.Messages)
        io.Err << "vrncli gpx: " << m << '\n';
    if (import.Empty()) {
        io.Err << "vrncli gpx: no routes, tracks or waypoints in " << r.From << '\n';
        return kExitFailure;
    }
    TChartDesk desk;
    const bool existing = std::filesystem::exists(r.To);
    if (existing) {
        TDesktopFile desktop = ReadDesktopFile(r.To);
        std::size_t unloaded = 0;
        for (const auto &o : desktop.Objects)
            if (const auto *image = dynamic_cast<const TChtChartImage *>(o.get());
                image && !image->Loaded())
                ++unloaded;
        // Lines the reader dropped would be lost by writing the desktop again.
        if (desktop.Messages.size() > unloaded) {
            for (const auto &m : desktop.Messages)
                io.Err << "vrncli gpx: " << m << '\n';
            io.Err << "vrncli gpx: " << r.To
                   << " has lines that cannot be used; it is left as it was\n";
            return kExitFailure;
        }
        desk.TakeDesktop(desktop.Objects);
        desk.KeptChartRef = std::move(desktop.ChartRef);
    }
    const TGpxAdded added = AddGpxToDesk(desk, import);
    SaveDesktopFile(desk, r.To, std::nullopt);
    io.Out << "read " << r.From << ": " << Summary(added) << '\n'
           << (existing ? "added to " : "wrote ") << r.To << '\n';
    return kExitOk;
}

int Export(const TGpxRequest &r, TStreams io)
{
    TDesktopFile desktop = ReadDesktopFile(r.From);
    for (const auto &m : desktop.Messages)
        io.Err << "vrncli gpx: " << m << '\n';
    TGpxExport what;
    for (const auto &o : desktop.Objects) {
        if (const auto *track = dynamic_cast<const TChtTrack *>(o.get()))
            what.Tracks.push_back(track);
        else if (const auto *route = dynamic_cast<const TChtRoute *>(o.get()))
            what.Routes.push_back(route);
        else if (const auto *mark = dynamic_cast<const TChtURLObject *>(o.get()))
            what.Marks.push_back(mark);
    }
    // A name chooses one route or track: the first of that name.
    if (r.Route || r.Track) {
        const std::string &name = r.Route ? *r.Route : *r.Track;
        const TChtRoute *chosen = nullptr;
        if (r.Route) {
            for (const auto *route : what.Routes)
                if (!chosen && route->Name == name)
                    chosen = route;
        } else {
            for (const auto *track : what.Tracks)
                if (!chosen && track->Name == name)
                    chosen = track;
        }
        if (!chosen) {
            io.Err << "vrncli gpx: no " << (r.Route ? "route" : "track") << " named "
                   << Quoted(name) << " in " << r.From << '\n';
            return kExitFailure;
        }
        what = GpxExportOf(*chosen);
    }
    std::size_t routes = 0, tracks = 0, points = what.Marks.size();
    for (const auto *route : what.Routes)
        if (!route->Points.empty()) {
            ++routes;
            points += route->Points.size();
        }
    for (const auto *track : what.Tracks)
        if (!track->Points.empty()) {
            ++tracks;
            points += track->Points.size();
        }
    if (points == 0) {
        io.Err << "vrncli gpx: no routes, tracks or marks with points in " << r.From << '\n';
        return kExitFailure;
    }
    WriteGpxFile(r.To, what);
    io.Out << "wrote " << r.To << ": " << GpxSummaryText(routes, tracks, what.Marks.size(), points)
           << '\n';
    return kExitOk;
}

} // namespace

int RunGpx(std::span<const std::string> args, TStreams io)
{
    TGpxRequest request;
    try {
        request = ReadRequest(args);
    } catch (const EUsageError &e) {
        io.Err << "vrncli gpx: " << e.what() << " (try vrncli gpx --help)\n";
        return kExitBadInput;
    }
    try {
        return request.Import ? Import(request, io) : Export(request, io);
    } catch (const EVrnError &e) {
        io.Err << "vrncli gpx: " << OneLine(e.what()) << '\n';
        return kExitFailure;
    }
}

} // namespace vrn::cli
