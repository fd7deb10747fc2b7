#include "engine/NumText.h"

#include "engine/VrnError.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <limits>

namespace vrn {

std::string_view Trim(std::string_view text)
{
    constexpr std::string_view blanks = " \t\r\n";
    const auto first = text.find_first_not_of(blanks);
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::optional<double> ParseNumber(std::string_view text)
{
    std::string_view s = Trim(text);
    if (s.empty())
        return std::nullopt;
    // from_chars refuses a leading "+", which users type; it accepts "inf", "nan" and hex only
    // when asked, and we never ask for hex.
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s.front())) || s.front() == '.'))
        return std::nullopt;
    double value = 0;
    const auto [end, ec] =
        std::from_chars(s.data(), s.data() + s.size(), value, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

std::optional<long long> ParseInteger(std::string_view text)
{
    std::string_view s = Trim(text);
    if (s.empty())
        return std::nullopt;
    bool negative = false;
    if (s.front() == '+' || s.front() == '-') {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !std::isdigit(static_cast<unsigned char>(s.front())))
        return std::nullopt;
    unsigned long long magnitude = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), magnitude);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    constexpr unsigned long long maxPositive = 9223372036854775807ULL;
    if (magnitude > maxPositive + (negative ? 1 : 0))
        return std::nullopt;
    if (negative)
        return magnitude == maxPositive + 1 ? std::numeric_limits<long long>::min()
                                            : -static_cast<long long>(magnitude);
    return static_cast<long long>(magnitude);
}

double StrToFloat(std::string_view text)
{
    if (const auto v = ParseNumber(text))
        return *v;
    throw EConvertError("'" + std::string(text) + "' is not a valid floating point value");
}

long long StrToInt(std::string_view text)
{
    if (const auto v = ParseInteger(text))
        return *v;
    throw EConvertError("'" + std::string(text) + "' is not a valid integer value");
}

static std::string PadLeft(std::string s, int width)
{
    if (width > 0 && static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<size_t>(width) - s.size(), ' ');
    return s;
}

void AppendFixed(std::string &out, double value, int decimals)
{
    char buf[400];
    const auto [end, ec] = std::isfinite(value)
        ? std::to_chars(
            buf, buf + sizeof buf, value, std::chars_format::fixed, decimals < 0 ? 0 : decimals)
        : std::to_chars_result {buf, std::errc::invalid_argument};
    if (ec != std::errc()) {
        out += '?';
        return;
    }
    const std::string_view s(buf, static_cast<std::size_t>(end - buf));
    // printf writes -0.0 for tiny negatives; the platform wrote 0.0
    if (s.front() == '-' && s.find_first_not_of("-0.") == std::string_view::npos)
        out.append(s.substr(1));
    else
        out.append(s);
}

std::string FormatFixed(double value, int decimals, int width)
{
    std::string s;
    AppendFixed(s, value, decimals);
    return PadLeft(std::move(s), width);
}

std::string FormatInt(long long value, int width)
{
    char buf[32];
    const auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    return PadLeft(std::string(buf, ec == std::errc() ? end : buf), width);
}

} // namespace vrn
