#include "apps/vrncli/EphemCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/Astros.h"
#include "engine/NumText.h"

#include <exception>
#include <istream>
#include <ostream>
#include <string>
#include <string_view>
#include <unordered_map>

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
    "line number; the other lines are still answered and the exit status is then 2. Input is\n"
    "read and answers are written in blocks of 64 KiB: all answers are out when input ends.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--body", true}, {"--utc", true}};

constexpr std::string_view kHeader = "utc;body;gha;dec;sd;hp;mag";

// One answer line, appended to `out`; utcText is the instant as ParseUtc accepted it, which is
// already written as TUtcInstant::Text writes it. GHA is printed in [0, 360): a value that rounds
// to 360 reads 0.
void AppendEphemLine(
    std::string &out, TAstro &body, const TUtcInstant &utc, std::string_view utcText)
{
    const auto r = body.ComputeGHADec(utc.Year, utc.Month, utc.Day, utc.DecimalHour());
    out += Trim(utcText);
    out += ';';
    out += body.Name();
    out += ';';
    const std::size_t ghaStart = out.size();
    AppendFixed(out, r.GHADeg, 6);
    if (std::string_view(out).substr(ghaStart) == "360.000000")
        out.replace(ghaStart, std::string::npos, "0.000000");
    out += ';';
    AppendFixed(out, r.DecDeg, 6);
    out += ';';
    AppendFixed(out, body.GetSemiDiameter(), 4);
    out += ';';
    AppendFixed(out, body.GetHorizontalParallax(), 4);
    out += ';';
    AppendFixed(out, body.GetMagnitude(), 2);
    out += '\n';
}

// Lines of standard input read in large blocks (a read per line, and the flush of standard
// output that every read of a tied stream makes, would cost more than the bodies). The last
// line may lack its newline, as with std::getline.
class TBlockLineReader
{
public:
    explicit TBlockLineReader(std::istream &in)
        : FIn(in)
    { }

    bool Next(std::string &line)
    {
        for (;;) {
            const std::size_t nl = FBuf.find('\n', FPos);
            if (nl != std::string::npos) {
                line.assign(FBuf, FPos, nl - FPos);
                FPos = nl + 1;
                return true;
            }
            if (FEnd) {
                if (FPos >= FBuf.size())
                    return false;
                line.assign(FBuf, FPos);
                FPos = FBuf.size();
                return true;
            }
            FBuf.erase(0, FPos);
            FPos = 0;
            const std::size_t kept = FBuf.size();
            FBuf.resize(kept + kBlock);
            FIn.read(FBuf.data() + kept, static_cast<std::streamsize>(kBlock));
            FBuf.resize(kept + static_cast<std::size_t>(FIn.gcount()));
            FEnd = !FIn;
        }
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::istream &FIn;
    std::string FBuf;
    std::size_t FPos = 0;
    bool FEnd = false;
};

// Answers collected and written in blocks of about 64 KiB.
class TBlockWriter
{
public:
    explicit TBlockWriter(std::ostream &out)
        : FOut(out)
    {
        FBuf.reserve(kBlock + 256);
    }

    ~TBlockWriter() { Flush(); }

    TBlockWriter(const TBlockWriter &) = delete;
    TBlockWriter &operator=(const TBlockWriter &) = delete;

    std::string &Buffer() { return FBuf; }

    void Written()
    {
        if (FBuf.size() >= kBlock)
            Flush();
    }

    void Flush()
    {
        FOut.write(FBuf.data(), static_cast<std::streamsize>(FBuf.size()));
        FOut.flush();
        FBuf.clear();
    }

private:
    static constexpr std::size_t kBlock = 1 << 16;
    std::ostream &FOut;
    std::string FBuf;
};

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
        std::string out(kHeader);
        out += '\n';
        AppendEphemLine(out, *body, *utc, *utcText);
        io.Out << out;
        return kExitOk;
    }

    TBlockWriter writer(io.Out);
    std::string &out = writer.Buffer();
    out += kHeader;
    out += '\n';
    TBlockLineReader reader(io.In);
    // FindAstro's exact, case-sensitive match, without its search through the list per line.
    std::unordered_map<std::string_view, TAstro *> bodies;
    for (TAstro *b : Astros().BodyList())
        bodies.emplace(b->Name(), b);
    int status = kExitOk;
    std::string line;
    long lineNo = 0;
    const auto bad = [&](const std::string &message) {
        io.Err << "vrncli ephem: line " << lineNo << ": " << message << '\n';
        status = kExitBadInput;
    };
    while (reader.Next(line)) {
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
        const auto found = bodies.find(bodyName);
        TAstro *body = found == bodies.end() ? nullptr : found->second;
        if (!body) {
            bad("unknown body " + Quoted(bodyName));
            continue;
        }
        const std::size_t lineStart = out.size();
        try {
            AppendEphemLine(out, *body, *utc, utcText);
            writer.Written();
        } catch (const std::exception &e) {
            out.resize(lineStart);
            io.Err << "vrncli ephem: line " << lineNo << ": " << e.what() << '\n';
            if (status == kExitOk)
                status = kExitFailure;
        }
    }
    return status;
}

} // namespace vrn::cli
