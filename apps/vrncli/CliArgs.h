#pragma once

// Option parsing shared by the vrncli commands, and the readers of the values they take: UTC
// instants and positions. Every reader refuses what it cannot read exactly; nothing is guessed.

#include "engine/VrnError.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vrn::cli {

// A command line the command cannot run with (exit status 2).
class EUsageError : public EVrnError
{
public:
    using EVrnError::EVrnError;
};

struct TOptionSpec
{
    std::string_view Name; // with the dashes: "--body"
    bool TakesValue; // "--key value" when true, a bare "--flag" otherwise
};

// The options of one command line, and the arguments that are no option (a file name) where a
// command takes them.
class TCliArgs
{
public:
    // Raises EUsageError for an unknown option, a missing value, an option given twice or more
    // than maxPositionals arguments that are no option.
    static TCliArgs Parse(std::span<const std::string> args, std::span<const TOptionSpec> specs,
        std::size_t maxPositionals = 0);

    const std::vector<std::string> &Positionals() const { return FPositionals; }

    std::optional<std::string> Value(std::string_view name) const;
    bool Flag(std::string_view name) const;
    bool Has(std::string_view name) const;

    bool Empty() const { return FItems.empty(); }

private:
    struct TItem
    {
        std::string Name;
        std::string Value;
    };

    std::vector<TItem> FItems;
    std::vector<std::string> FPositionals;
};

// A UTC instant to the second, as "YYYY-MM-DDTHH:MM:SS".
struct TUtcInstant
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Hour = 0;
    int Minute = 0;
    int Second = 0;

    double DecimalHour() const { return Hour + Minute / 60.0 + Second / 3600.0; }

    double DateTime() const; // the system's date-time value: days since 1899-12-30

    std::string Text() const; // "YYYY-MM-DDTHH:MM:SS"
};

// Exactly "YYYY-MM-DDTHH:MM:SS" (years 0001..9999, a real calendar date: 2026-02-30 and
// 2025-02-29 are refused; hours 00..23, minutes and seconds 00..59). Blanks around are ignored.
std::optional<TUtcInstant> ParseUtc(std::string_view text);

// Exactly "YYYY-MM-DD", a real calendar date as ParseUtc reads it, as the instant of its
// midnight.
std::optional<TUtcInstant> ParseUtcDate(std::string_view text);

// A plain decimal number: digits, one "." and a sign, with blanks around but none inside; no
// exponent ("1e3"), so that what is typed is what is read.
std::optional<double> ParsePlainNumber(std::string_view text);

// Positions as the system writes them or as decimal degrees. Latitude: "45°07.3'N",
// "45°07.3'S", "45.12N", "45.12S" or a bare signed number, north positive; |lat| <= 90.
// Longitude: "012°15.5'W", "012°15.5'E", "12.26W", "12.26E" or a bare signed number, WEST
// positive (east negative); |lon| <= 180. A hemisphere letter and a sign together are refused,
// as are minutes of 60 or more.
std::optional<double> ParseLatitude(std::string_view text);
std::optional<double> ParseLongitude(std::string_view text);

// What the user typed, in double quotes, as messages show it.
std::string Quoted(std::string_view text);

// An engine message on one line of standard error: its CR LF line breaks become blanks.
std::string OneLine(std::string message);

} // namespace vrn::cli
