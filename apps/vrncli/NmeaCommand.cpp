#include "apps/vrncli/NmeaCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"
#include "gps/NmeaReceiver.h"
#include "gps/SerialFeed.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

namespace vrn::cli {

const std::string_view kNmeaUsage =
    "Usage: vrncli nmea FILE|DEVICE [--accept GLL,RMC|GLL|RMC] [--chunk N] [--baud N]\n"
    "                   [--count N] [--timeout S] [--tsv]\n\n"
    "Feeds the bytes of FILE, or of a serial device (8N1, no flow control), to the GPS\n"
    "receiver of the GPS window in pieces of --chunk bytes (4096), and prints one line per\n"
    "accepted GLL or RMC sentence with the receiver's state right after it.\n\n"
    "  --accept   the sentence kinds the receiver processes (GLL,RMC)\n"
    "  --baud     line speed of a serial device (4800)\n"
    "  --count    stop at the N-th accepted sentence\n"
    "  --timeout  stop reading a serial device after S seconds\n"
    "  --tsv      tab-separated: seq kind parsed last_message lat lon_west gmt_time valid\n"
    "             sog_kn cog_deg (degrees with 7 decimals, north and WEST positive; the time\n"
    "             \"YYYY-MM-DD hh:mm:ss\" once an RMC has set a date, else \"hh:mm:ss\")\n\n"
    "Last, on standard error: \"N notified, P parsed, V valid, C checksum errors\".\n"
    "Exit status: 0 the input was read, 1 FILE or DEVICE cannot be opened or was lost,\n"
    "2 bad arguments.\n";

namespace {

constexpr TOptionSpec kOptions[] = {{"--accept", true}, {"--chunk", true}, {"--baud", true},
    {"--count", true}, {"--timeout", true}, {"--tsv", false}};

struct TNmeaRequest
{
    std::string Source;
    TNMeaMessages Accepted {TNMeaMessage::nmGLL, TNMeaMessage::nmRMC};
    std::size_t Chunk = 4096;
    int Baud = 4800;
    unsigned long long Count = 0; // 0: all
    double TimeoutSec = 0;
    bool Tsv = false;
};

long long WholeOption(const TCliArgs &options, std::string_view name, long long fallback,
    long long min, long long max)
{
    const auto text = options.Value(name);
    if (!text)
        return fallback;
    const auto v = ParseInteger(*text);
    if (!v || *v < min || *v > max)
        throw EUsageError("invalid value " + Quoted(*text) + " for " + std::string(name));
    return *v;
}

TNMeaMessages AcceptOption(const TCliArgs &options)
{
    const auto text = options.Value("--accept");
    if (!text)
        return {TNMeaMessage::nmGLL, TNMeaMessage::nmRMC};
    bool gll = false;
    bool rmc = false;
    std::size_t start = 0;
    for (;;) {
        const auto comma = text->find(',', start);
        std::string kind = text->substr(start, comma == std::string::npos ? comma : comma - start);
        for (auto &c : kind)
            if (c >= 'a' && c <= 'z')
                c = static_cast<char>(c - 'a' + 'A');
        if (kind == "GLL" && !gll)
            gll = true;
        else if (kind == "RMC" && !rmc)
            rmc = true;
        else
            throw EUsageError("invalid value " + Quoted(*text) + " for --accept");
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (gll && rmc)
        return {TNMeaMessage::nmGLL, TNMeaMessage::nmRMC};
    return gll ? TNMeaMessages {TNMeaMessage::nmGLL} : TNMeaMessages {TNMeaMessage::nmRMC};
}

TNmeaRequest ReadRequest(std::span<const std::string> args)
{
    const TCliArgs options = TCliArgs::Parse(args, kOptions, 1);
    if (options.Positionals().empty() || options.Positionals().front().empty())
        throw EUsageError("a FILE or DEVICE to read is needed");
    TNmeaRequest r;
    r.Source = options.Positionals().front();
    r.Accepted = AcceptOption(options);
    r.Chunk = static_cast<std::size_t>(WholeOption(options, "--chunk", 4096, 1, 1 << 24));
    r.Baud = static_cast<int>(WholeOption(options, "--baud", 4800, 1, 4000000));
    r.Count = static_cast<unsigned long long>(WholeOption(options, "--count", 0, 1, 1LL << 62));
    if (const auto text = options.Value("--timeout")) {
        const auto v = ParsePlainNumber(*text);
        if (!v || *v <= 0 || *v > 1e6)
            throw EUsageError("invalid value " + Quoted(*text) + " for --timeout");
        r.TimeoutSec = *v;
    }
    r.Tsv = options.Flag("--tsv");
    return r;
}

const char *KindName(TNMeaMessage kind)
{
    switch (kind) {
    case TNMeaMessage::nmGLL:
        return "GLL";
    case TNMeaMessage::nmRMC:
        return "RMC";
    case TNMeaMessage::nmNONE:
        break;
    }
    return "NONE";
}

// The shortest text that reads back as the same number.
std::string Number(double v)
{
    char buf[64];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    return ec == std::errc() ? std::string(buf, end) : std::string("?");
}

// "YYYY-MM-DD hh:mm:ss" once a date is set, else "hh:mm:ss".
std::string TimeText(double gmtTime)
{
    if (!IsValidDateTime(gmtTime))
        return "?";
    if (gmtTime < 1)
        return FormatTimeText(gmtTime);
    const auto d = DecodeDate(gmtTime);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d ", d.Year, d.Month, d.Day);
    return buf + FormatTimeText(gmtTime);
}

// Prints each notification and counts them; stops the receiver at the requested count.
class TNmeaPrinter
{
public:
    TNmeaPrinter(const TNmeaRequest &request, std::ostream &out)
        : FRequest(request)
        , FOut(out)
    {
        if (request.Tsv)
            FOut << "seq\tkind\tparsed\tlast_message\tlat\tlon_west\tgmt_time\tvalid\tsog_kn\t"
                    "cog_deg\n";
    }

    void Attach(TNmeaReceiver &receiver)
    {
        FReceiver = &receiver;
        receiver.AcceptedMessages = FRequest.Accepted;
        receiver.Beep = false;
        receiver.OnNewPosition = [this] { Notified(); };
    }

    bool Done() const { return FRequest.Count > 0 && FNotified >= FRequest.Count; }

    // The receiver is going away: its counts are kept for the summary.
    void Detach(const TNmeaCounters &counters)
    {
        FChecksumErrors = counters.ChecksumErrors;
        if (FReceiver)
            FReceiver->OnNewPosition = nullptr;
        FReceiver = nullptr;
    }

    std::string Summary() const
    {
        const auto checksum = FChecksumErrors;
        return std::to_string(FNotified) + " notified, " + std::to_string(FParsed) + " parsed, "
            + std::to_string(FValid) + " valid, " + std::to_string(checksum) + " checksum errors";
    }

private:
    void Notified()
    {
        const TNmeaReceiver &r = *FReceiver;
        const TGpsPosition &p = r.Position();
        ++FNotified;
        const bool parsed = r.NotifiedParsed();
        if (parsed) {
            ++FParsed;
            if (p.Valid)
                ++FValid;
        }
        if (FRequest.Tsv) {
            FOut << FNotified << '\t' << KindName(r.NotifiedKind()) << '\t' << (parsed ? 1 : 0)
                 << '\t' << KindName(r.LastMessage()) << '\t' << FormatFixed(p.Lat, 7) << '\t'
                 << FormatFixed(p.Lon, 7) << '\t' << TimeText(p.GMTTime) << '\t'
                 << (p.Valid ? 1 : 0) << '\t' << Number(r.SpeedOverGround()) << '\t'
                 << Number(r.CourseOverGround()) << '\n';
        } else {
            FOut << FNotified << ' ' << KindName(r.NotifiedKind()) << ' '
                 << FormatAngleDM2("NS", p.Lat) << ' ' << FormatAngleDM2("WE", p.Lon) << ' '
                 << TimeText(p.GMTTime) << ' ' << (p.Valid ? "valid" : "invalid");
            if (r.LastMessage() == TNMeaMessage::nmRMC)
                FOut << " SOG " << Number(r.SpeedOverGround()) << " kn COG "
                     << Number(r.CourseOverGround());
            if (!parsed)
                FOut << " (not read)";
            FOut << '\n';
        }
        if (Done())
            FReceiver->Stop();
    }

    const TNmeaRequest &FRequest;
    std::ostream &FOut;
    TNmeaReceiver *FReceiver = nullptr;
    unsigned long long FNotified = 0;
    unsigned long long FParsed = 0;
    unsigned long long FValid = 0;
    unsigned long long FChecksumErrors = 0;
};

// A message of the receiver on one line: its line breaks become blanks.
std::string OneLineMessage(std::string message)
{
    for (std::size_t p; (p = message.find('\n')) != std::string::npos;) {
        const bool blankFollows = p + 1 < message.size() && message[p + 1] == ' ';
        const bool blankBefore = p > 0 && message[p - 1] == '\r';
        message.replace(
            blankBefore ? p - 1 : p, (blankBefore ? 2 : 1) + (blankFollows ? 1 : 0), " ");
    }
    return message;
}

// Reads a file (or a pipe) in pieces; false when it could not be read. opened tells whether it
// could be opened at all.
bool FeedFile(const TNmeaRequest &request, TNmeaPrinter &printer, std::ostream &err, bool &opened)
{
    std::ifstream in(request.Source, std::ios::binary);
    opened = static_cast<bool>(in);
    if (!opened) {
        err << "vrncli nmea: cannot open " << Quoted(request.Source) << '\n';
        return false;
    }
    TNmeaReceiver receiver;
    printer.Attach(receiver);
    std::vector<char> buffer(request.Chunk);
    while (!printer.Done()) {
        in.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        const auto got = in.gcount();
        if (got > 0)
            receiver.ReceiveBytes(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
        if (in.bad()) {
            printer.Detach(receiver.Counters());
            err << "vrncli nmea: cannot read " << Quoted(request.Source) << '\n';
            return false;
        }
        if (got < static_cast<std::streamsize>(buffer.size()))
            break;
    }
    printer.Detach(receiver.Counters());
    return true;
}

} // namespace

int RunNmea(std::span<const std::string> args, TStreams io)
{
    TNmeaRequest request;
    try {
        request = ReadRequest(args);
    } catch (const EUsageError &e) {
        io.Err << "vrncli nmea: " << e.what() << " (try vrncli nmea --help)\n";
        return kExitBadInput;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const auto status = fs::status(request.Source, ec);
    if (fs::is_directory(status)) {
        io.Err << "vrncli nmea: " << Quoted(request.Source) << " is a folder\n";
        return kExitFailure;
    }
    TNmeaPrinter printer(request, io.Out);
    bool ok = true;
    bool opened = true;
    if (fs::is_character_file(status)) {
        TSerialFeedOptions options;
        options.Device = request.Source;
        options.Baud = request.Baud;
        options.Chunk = request.Chunk;
        options.TimeoutSec = request.TimeoutSec;
        const auto result = FeedFromSerialDevice(
            options, [&](TNmeaReceiver &r) { printer.Attach(r); },
            [&](const TNmeaReceiver &r) { printer.Detach(r.Counters()); });
        opened = result.Opened;
        if (!result.Opened || result.Lost) {
            io.Err << "vrncli nmea: " << OneLineMessage(result.Message) << '\n';
            ok = false;
        }
    } else {
        ok = FeedFile(request, printer, io.Err, opened);
    }
    io.Out.flush();
    if (opened)
        io.Err << printer.Summary() << '\n';
    return ok ? kExitOk : kExitFailure;
}

} // namespace vrn::cli
