#include "apps/vrncli/CliArgs.h"

#include "engine/DateTime.h"
#include "engine/NumText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

namespace vrn::cli {

TCliArgs TCliArgs::Parse(std::span<const std::string> args, std::span<const TOptionSpec> options,
    std::size_t maxPositionals)
{
    TCliArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &a = args[i];
        const auto option = std::find_if(
            options.begin(), options.end(), [&](const TOptionSpec &s) { return s.Name == a; });
        if (option == options.end()) {
            if (a.starts_with("-") && a != "-")
                throw EUsageError("unknown option " + Quoted(a));
            if (parsed.FPositionals.size() >= maxPositionals)
                throw EUsageError("unexpected argument " + Quoted(a));
            parsed.FPositionals.push_back(a);
            continue;
        }
        if (parsed.Has(a))
            throw EUsageError("option " + a + " given twice");
        TItem item {a, {}};
        if (option->TakesValue) {
            if (i + 1 >= args.size())
                throw EUsageError("option " + a + " needs a value");
            item.Value = args[++i];
        }
        parsed.FItems.push_back(std::move(item));
    }
    return parsed;
}

std::optional<std::string> TCliArgs::Value(std::string_view name) const
{
    for (const auto &item : FItems)
        if (item.Name == name)
            return item.Value;
    return std::nullopt;
}

bool TCliArgs::Flag(std::string_view name) const
{
    return Has(name);
}

bool TCliArgs::Has(std::string_view name) const
{
    return std::any_of(
        FItems.begin(), FItems.end(), [&](const TItem &item) { return item.Name == name; });
}

// ---------------------------------------------------------------------------------------------

namespace {

// Exactly `width` decimal digits.
std::optional<int> Digits(std::string_view text, std::size_t width)
{
    if (text.size() != width)
        return std::nullopt;
    int v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        v = v * 10 + (c - '0');
    }
    return v;
}

} // namespace

std::string TUtcInstant::Text() const
{
    char buf[32];
    std::snprintf(
        buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02d", Year, Month, Day, Hour, Minute, Second);
    return buf;
}

std::optional<TUtcInstant> ParseUtc(std::string_view text)
{
    const std::string_view t = Trim(text);
    if (t.size() != 19 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':'
        || t[16] != ':')
        return std::nullopt;
    const auto y = Digits(t.substr(0, 4), 4);
    const auto mo = Digits(t.substr(5, 2), 2);
    const auto d = Digits(t.substr(8, 2), 2);
    const auto h = Digits(t.substr(11, 2), 2);
    const auto mi = Digits(t.substr(14, 2), 2);
    const auto s = Digits(t.substr(17, 2), 2);
    if (!y || !mo || !d || !h || !mi || !s)
        return std::nullopt;
    if (!IsValidDate(*y, *mo, *d) || *h > 23 || *mi > 59 || *s > 59)
        return std::nullopt;
    return TUtcInstant {*y, *mo, *d, *h, *mi, *s};
}

std::optional<TUtcInstant> ParseUtcDate(std::string_view text)
{
    const std::string_view t = Trim(text);
    if (t.size() != 10)
        return std::nullopt;
    return ParseUtc(std::string(t) + "T00:00:00");
}

double TUtcInstant::DateTime() const
{
    return JoinDateHour(Year, Month, Day, DecimalHour());
}

std::optional<double> ParsePlainNumber(std::string_view text)
{
    const std::string_view t = Trim(text);
    if (t.empty() || t.find_first_not_of("0123456789.+-") != std::string_view::npos)
        return std::nullopt;
    return ParseNumber(t);
}

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

std::string OneLine(std::string message)
{
    for (std::size_t p; (p = message.find("\r\n")) != std::string::npos;)
        message.replace(p, 2, " ");
    return message;
}

// ---------------------------------------------------------------------------------------------

namespace {

// Reads a position: degrees and minutes with "°" (the minutes' "'" optional) or decimal degrees,
// then an optional hemisphere letter; `positive` and `negative` are the letters of the two
// hemispheres. Returns signed degrees, positive towards `positive`.
std::optional<double> ParsePosition(
    std::string_view text, char positive, char negative, double limit)
{
    std::string_view t = Trim(text);
    if (t.empty())
        return std::nullopt;
    int sign = 0; // 0: no hemisphere letter
    const char last = static_cast<char>(std::toupper(static_cast<unsigned char>(t.back())));
    if (last == positive || last == negative) {
        sign = last == positive ? 1 : -1;
        t = Trim(t.substr(0, t.size() - 1));
    }
    double value = 0;
    constexpr std::string_view degreeSign = "\xC2\xB0"; // "°" in UTF-8
    const std::size_t deg = t.find(degreeSign);
    if (deg != std::string_view::npos) {
        std::string_view minutesText = t.substr(deg + degreeSign.size());
        if (minutesText.ends_with('\''))
            minutesText.remove_suffix(1);
        const std::string_view degreesText = Trim(t.substr(0, deg));
        // Whole degrees of plain digits, an optional leading "-" when no letter is given.
        std::string_view digits = degreesText;
        bool negativeNumber = false;
        if (sign == 0 && digits.starts_with('-')) {
            negativeNumber = true;
            digits.remove_prefix(1);
        }
        if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos)
            return std::nullopt;
        const auto degrees = ParseInteger(digits);
        const auto minutes = ParseNumber(minutesText);
        if (!degrees || !minutes || *minutes < 0 || *minutes >= 60
            || Trim(minutesText).find_first_of("+-eE") != std::string_view::npos)
            return std::nullopt;
        value = static_cast<double>(*degrees) + *minutes / 60;
        if (negativeNumber)
            value = -value;
    } else {
        const auto v = ParsePlainNumber(t);
        if (!v)
            return std::nullopt;
        if (sign != 0 && (*v < 0 || t.starts_with('+')))
            return std::nullopt; // "−12.5W" is ambiguous
        value = *v;
    }
    if (sign != 0)
        value *= sign;
    if (!std::isfinite(value) || std::fabs(value) > limit)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseLatitude(std::string_view text)
{
    return ParsePosition(text, 'N', 'S', 90);
}

std::optional<double> ParseLongitude(std::string_view text)
{
    return ParsePosition(text, 'W', 'E', 180);
}

} // namespace vrn::cli
