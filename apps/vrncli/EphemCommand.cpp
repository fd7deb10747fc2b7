#include "apps/vrncli/EphemCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/Astros.h"
#include "engine/NumText.h"

#include <exception>
#include <istream>
#include <ostream>
#include <string>

namespace vrn::cli {

const std::string_view kEphemUsage =
    "Usage: vrncli ephem --body NAME --utc YYYY-MM-DDTHH:MM:SS\n"
    "       vrncli ephem < lines\n\n"
    "Greenwich hour angle, declination, semi-diameter, horizontal parallax and magnitude of a\n"
    "body at a UTC instant. With no options, reads lines \"YYYY-MM-DDTHH:MM:SS;BODY\" from\n"
    "standard input (blank lines are skipped).\n\n"
    "Output: the header \"utc;body;gha;dec;sd;hp;mag\", then one line per instant:\n"
    "  UTC;BODY;GHA;DEC;SD;HP;MAG\n"
    "GHA in degrees 0..360 (westward) and DEC in degrees (north positive), 6 decimals; SD and\n"
    "HP in minutes of arc, 4 decimals; MAG, 2 decimals.\n\n"
    "Bodies, named exactly as Varunel spells them (case matters): Sun, Moon, Venus, Saturn,\n"
    "Mars, Jupiter, the 60 navigational stars (\"Sirius\", \"Polaris\", ...) and \"Aries *\".\n\n"
    "A bad line (malformed, invalid date, unknown body) is reported on standard error with its\n"
    "line number; the other lines are still answered and the exit status is then 2.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--body", true}, {"--utc", true}};

constexpr std::string_view kHeader = "utc;body;gha;dec;sd;hp;mag";

// One answer line. GHA is printed in [0, 360): a value that rounds to 360 reads 0.
std::string EphemLine(TAstro &body, const TUtcInstant &utc)
{
    const auto r = body.ComputeGHADec(utc.Year, utc.Month, utc.Day, utc.DecimalHour());
    std::string gha = FormatFixed(r.GHADeg, 6);
    if (gha == "360.000000")
        gha = "0.000000";
    return utc.Text() + ';' + body.Name() + ';' + gha + ';' + FormatFixed(r.DecDeg, 6) + ';'
        + FormatFixed(body.GetSemiDiameter(), 4) + ';'
        + FormatFixed(body.GetHorizontalParallax(), 4) + ';' + FormatFixed(body.GetMagnitude(), 2);
}

} // namespace

int RunEphem(std::span<const std::string> args, TStreams io)
{
    TCliArgs options;
    try {
        options = TCliArgs::Parse(args, kSpecs);
    } catch (const EUsageError &e) {
        io.Err << "vrncli ephem: " << e.what() << " (try vrncli ephem --help)\n";
        return kExitBadInput;
    }
    CreateAstros();

    if (!options.Empty()) {
        const auto bodyName = options.Value("--body");
        const auto utcText = options.Value("--utc");
        if (!bodyName || !utcText) {
            io.Err << "vrncli ephem: --body and --utc go together (try vrncli ephem --help)\n";
            return kExitBadInput;
        }
        const auto utc = ParseUtc(*utcText);
        if (!utc) {
            io.Err << "vrncli ephem: invalid UTC " << Quoted(*utcText)
                   << " (expected a real date and time as YYYY-MM-DDTHH:MM:SS)\n";
            return kExitBadInput;
        }
        TAstro *body = FindAstro(*bodyName);
        if (!body) {
            io.Err << "vrncli ephem: unknown body " << Quoted(*bodyName) << '\n';
            return kExitBadInput;
        }
        io.Out << kHeader << '\n' << EphemLine(*body, *utc) << '\n';
        return kExitOk;
    }

    io.Out << kHeader << '\n';
    int status = kExitOk;
    std::string line;
    long lineNo = 0;
    const auto bad = [&](const std::string &message) {
        io.Err << "vrncli ephem: line " << lineNo << ": " << message << '\n';
        status = kExitBadInput;
    };
    while (std::getline(io.In, line)) {
        ++lineNo;
        const std::string_view text = Trim(line);
        if (text.empty())
            continue;
        const std::size_t sep = text.find(';');
        if (sep == std::string_view::npos || text.find(';', sep + 1) != std::string_view::npos) {
            bad("malformed line " + Quoted(text) + " (expected YYYY-MM-DDTHH:MM:SS;BODY)");
            continue;
        }
        const std::string_view utcText = text.substr(0, sep);
        const std::string_view bodyName = Trim(text.substr(sep + 1));
        const auto utc = ParseUtc(utcText);
        if (!utc) {
            bad("invalid UTC " + Quoted(utcText)
                + " (expected a real date and time as YYYY-MM-DDTHH:MM:SS)");
            continue;
        }
        TAstro *body = FindAstro(bodyName);
        if (!body) {
            bad("unknown body " + Quoted(bodyName));
            continue;
        }
        try {
            io.Out << EphemLine(*body, *utc) << '\n';
        } catch (const std::exception &e) {
            io.Err << "vrncli ephem: line " << lineNo << ": " << e.what() << '\n';
            if (status == kExitOk)
                status = kExitFailure;
        }
    }
    return status;
}

} // namespace vrn::cli
