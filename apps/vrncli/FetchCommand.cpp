#include "apps/vrncli/FetchCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/NumText.h"
#include "net/WebFetchRun.h"

#include <ostream>

namespace vrn::cli {

const std::string_view kFetchUsage =
    "Usage: vrncli fetch LOCATION [--cache DIR] [--timeout S] [--ca FILE]\n\n"
    "Fetches a desktop (.vrn) or a vector chart (.cht) from a web server into the cache\n"
    "folder, as the chart viewer's location panel does: a copy already in the cache is asked\n"
    "for only if it changed, and a desktop brings along the chart it names, from its own\n"
    "folder on the same server. Nothing is written outside the cache folder.\n\n"
    "  LOCATION     an http:// or https:// address whose file name holds \".vrn\" or \".cht\".\n"
    "  --cache DIR  the cache folder (default: the one of vrn32.ini, or the user's cache).\n"
    "  --timeout S  seconds the whole fetch may take, lookup and connection included\n"
    "               (default 30).\n"
    "  --ca FILE    a PEM certificate trusted for https besides the system's.\n\n"
    "Prints each status text on standard error as it happens, and on standard output one\n"
    "line per file held afterwards: \"fetched<TAB>PATH\", or \"cached<TAB>PATH\" when the\n"
    "server said it had not changed. Exit status 0 when the files are in the cache,\n"
    "complete and readable; 1 when the fetch failed (the reason is the last line on\n"
    "standard error); 2 for bad arguments or a location that is refused.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--cache", true}, {"--timeout", true}, {"--ca", true}};

constexpr double kMaxTimeoutSecs = 24 * 3600;

} // namespace

int RunFetch(std::span<const std::string> args, TStreams io)
{
    TWebFetchRequest request;
    try {
        if (args.empty() || args[0].starts_with("--"))
            throw EUsageError("missing location");
        request.Location = args[0];
        const TCliArgs options = TCliArgs::Parse(args.subspan(1), kSpecs);
        if (const auto cache = options.Value("--cache")) {
            if (cache->empty())
                throw EUsageError("empty --cache");
            request.CacheFolder = *cache;
        }
        if (const auto t = options.Value("--timeout")) {
            const auto secs = ParsePlainNumber(*t);
            if (!secs || !(*secs > 0 && *secs <= kMaxTimeoutSecs))
                throw EUsageError("invalid --timeout " + Quoted(*t) + " (seconds, 0 < S <= 86400)");
            request.TimeoutSecs = *secs;
        }
        if (const auto ca = options.Value("--ca")) {
            if (ca->empty())
                throw EUsageError("empty --ca");
            request.CaFile = *ca;
        }
    } catch (const EUsageError &e) {
        io.Err << "vrncli fetch: " << e.what() << " (try vrncli fetch --help)\n";
        return kExitBadInput;
    }
    const TWebFetchReport report = RunWebFetch(request, [&](const std::string &message) {
        io.Err << OneLine(message) << '\n' << std::flush;
    });
    for (const auto &file : report.Files)
        io.Out << (file.Fetched ? "fetched\t" : "cached\t") << file.Path << '\n';
    switch (report.Outcome) {
    case TWebFetchOutcome::Ok:
        return kExitOk;
    case TWebFetchOutcome::Refused:
        io.Err << "vrncli fetch: " << OneLine(report.Reason) << '\n';
        return kExitBadInput;
    case TWebFetchOutcome::Failed:
        break;
    }
    io.Err << "vrncli fetch: " << OneLine(report.Reason) << '\n';
    return kExitFailure;
}

} // namespace vrn::cli
