#pragma once

// Small text helpers: character filtering, a simple input-mask matcher, the program's settings
// file name, fixed-width padding and a number reader that ignores thousands separators.
// Texts are UTF-8 and every count is in characters, not bytes.

#include <string>
#include <string_view>

namespace vrn {

// The characters of `text` that are in `keep` and not in `remove`, in order. An empty `keep`
// keeps every character; an empty `remove` removes none.
std::string FilterChars(std::string_view text, std::string_view keep, std::string_view remove);

// `path` with a trailing directory separator, unless it already ends with one; an empty path
// stays empty. The name is the one the program has always used; on this platform the separator
// is "/".
std::string WithTrailingBackslash(std::string_view path);

// The settings file name of the program at `programPath`: the file name in lower case, up to
// and including its first ".", followed by "ini" ("Vrn32.EXE" gives "vrn32.ini"). A name without
// a "." (the usual program file on this platform) gets ".ini" appended ("vrn32" gives
// "vrn32.ini"); an empty name gives "noname.ini". Only ASCII letters change case.
std::string SettingsFileName(std::string_view programPath);

// True when `text` has at least as many characters as `mask` and each mask position matches:
// "#" a digit 0-9, "?" any character, "L" a letter A-Z or a-z, "N" a digit, ",", "-" or ".",
// any other mask character itself. Characters of `text` beyond the mask are not examined.
bool MatchMask(std::string_view mask, std::string_view text);

// The first n characters of `text`, padded with blanks to exactly n (nothing for n <= 0).
std::string PadOrCut(std::string_view text, int n);

// `text` with every "," (thousands separator) removed, read as a number with "." decimals:
// "1,234.5" gives 1234.5. Raises EConvertError, the number-conversion error, when what is left
// is not a number.
double ReadNumber(std::string_view text);

constexpr int MinInt(int a, int b)
{
    return a < b ? a : b;
}

constexpr int MaxInt(int a, int b)
{
    return a > b ? a : b;
}

} // namespace vrn
