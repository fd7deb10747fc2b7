#include "apps/vrncli/AlmanacCommand.h"

#include "apps/vrncli/CliArgs.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "sky/AlmanacPdf.h"
#include "sky/AlmanacPgMaker.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

namespace vrn::cli {

const std::string_view kAlmanacUsage =
    "Usage: vrncli almanac YYYY-MM-DD [--page left|right] [--pdf FILE]\n\n"
    "The daily pages of a nautical almanac for the three days starting at the date (GMT),\n"
    "exactly as the Nautical Almanac Page Maker window builds them, with English month and\n"
    "weekday names:\n"
    "  left   GHA of Aries; GHA and declination of Venus, Mars, Jupiter and Saturn, hourly;\n"
    "         v and d of the planets over the middle day\n"
    "  right  GHA and declination of the Sun and the Moon hourly, with the Moon's v, d and HP;\n"
    "         SHA and declination of the 60 stars at 12h of the middle day; S.D. and d\n"
    "Angles are degrees and minutes of arc; v, d, HP and S.D. are minutes of arc.\n\n"
    "Without --page both pages are written, the left one first. With --pdf FILE the page(s)\n"
    "are printed to a PDF file instead (A4, Courier New 7 pt or a fixed-pitch substitute)\n"
    "and nothing is written on standard output.\n\n"
    "Dates run from 0001-01-02 to 9999-12-29; outside 1900..2100 the pages are written with a\n"
    "warning, since the ephemeris loses accuracy there. A malformed or impossible date or an\n"
    "unknown page gives exit status 2; a PDF that cannot be written, 1.\n";

namespace {

constexpr TOptionSpec kSpecs[] = {{"--page", true}, {"--pdf", true}};

constexpr std::string_view kPrefix = "vrncli almanac: ";

// Splits off the one positional argument (the date); the options are left to TCliArgs.
struct TAlmanacCommandLine
{
    std::vector<std::string> Positional;
    std::vector<std::string> Options;
};

TAlmanacCommandLine SplitCommandLine(std::span<const std::string> args)
{
    TAlmanacCommandLine split;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        if (a.starts_with("-")) {
            split.Options.push_back(a);
            const bool takesValue = std::any_of(std::begin(kSpecs), std::end(kSpecs),
                [&](const TOptionSpec &s) { return s.TakesValue && s.Name == a; });
            if (takesValue && i + 1 < args.size())
                split.Options.push_back(args[++i]);
        } else {
            split.Positional.push_back(a);
        }
    }
    return split;
}

int BadInput(TStreams io, const std::string &message)
{
    io.Err << kPrefix << message << " (try vrncli almanac --help)\n";
    return kExitBadInput;
}

} // namespace

int RunAlmanac(std::span<const std::string> args, TStreams io)
{
    const TAlmanacCommandLine split = SplitCommandLine(args);
    TCliArgs options;
    try {
        options = TCliArgs::Parse(split.Options, kSpecs);
    } catch (const EUsageError &e) {
        return BadInput(io, e.what());
    }
    if (split.Positional.empty())
        return BadInput(io, "a date is needed");
    if (split.Positional.size() > 1)
        return BadInput(io, "unexpected argument " + Quoted(split.Positional[1]));
    const auto date = ParseUtcDate(split.Positional[0]);
    if (!date)
        return BadInput(io,
            "invalid date " + Quoted(split.Positional[0])
                + " (expected a real date as YYYY-MM-DD)");
    bool left = true;
    bool right = true;
    if (const auto page = options.Value("--page")) {
        if (*page != "left" && *page != "right")
            return BadInput(io, "unknown page " + Quoted(*page) + " (expected left or right)");
        left = *page == "left";
        right = !left;
    }

    CreateAstros();
    TAlmanacPageMaker maker(Astros(), TAlmanacNames::English());
    maker.Date = EncodeDate(date->Year, date->Month, date->Day);
    std::vector<std::vector<std::string>> pages;
    try {
        if (left)
            maker.MakeLeftPage(pages.emplace_back());
        if (right)
            maker.MakeRightPage(pages.emplace_back());
    } catch (const EAlmanacDateError &e) {
        return BadInput(io, e.what());
    }
    if (date->Year < kAlmanacAccurateFirstYear || date->Year > kAlmanacAccurateLastYear)
        io.Err << kPrefix << "warning: " << date->Year << " is outside "
               << kAlmanacAccurateFirstYear << ".." << kAlmanacAccurateLastYear
               << "; the ephemeris loses accuracy far from the present\n";

    if (const auto pdf = options.Value("--pdf")) {
        if (pdf->empty())
            return BadInput(io, "--pdf needs a file name");
        try {
            WriteAlmanacPdf(*pdf, pages);
        } catch (const std::exception &e) {
            io.Err << kPrefix << e.what() << '\n';
            return kExitFailure;
        }
        return kExitOk;
    }
    for (const auto &page : pages)
        for (const auto &line : page)
            io.Out << line << '\n';
    return kExitOk;
}

} // namespace vrn::cli
