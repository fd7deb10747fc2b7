#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vrn {

// The one reader of numbers that come from outside (files, fields, command line, NMEA, HTTP).
// Accepts an optional sign, digits with at most one "." and an optional exponent, surrounded by
// blanks or tabs; nothing else. "nan", "inf", hex floats, "," decimals and trailing junk ("12abc")
// are refused. Never depends on the process locale.
std::optional<double> ParseNumber(std::string_view text);

// Whole numbers: optional sign and decimal digits, surrounded by blanks; refuses overflow.
std::optional<long long> ParseInteger(std::string_view text);

// As above, but a refusal raises EConvertError with "'<text>' is not a valid floating point
// value" / "'<text>' is not a valid integer value", the conversion messages users know.
double StrToFloat(std::string_view text);
long long StrToInt(std::string_view text);

// printf-style "%<width>.<decimals>f" with "." whatever the locale; width pads with blanks on the
// left. A non-finite value is written as "?" padded to the width, never as "nan".
std::string FormatFixed(double value, int decimals, int width = 0);

// FormatFixed without a width, appended to `out` (for writers of many numbers).
void AppendFixed(std::string &out, double value, int decimals);

// printf-style "%<width>d".
std::string FormatInt(long long value, int width = 0);

// Removes leading and trailing blanks, tabs, CR and LF.
std::string_view Trim(std::string_view text);

} // namespace vrn
