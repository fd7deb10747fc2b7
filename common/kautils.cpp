#include "common/kautils.h"

#include "engine/NumText.h"
#include "engine/TextCodec.h"

#include <vector>

namespace vrn {

namespace {

std::vector<char32_t> CodePoints(std::string_view text)
{
    std::vector<char32_t> cps;
    for (std::size_t pos = 0; pos < text.size();) {
        const TUtf8Char ch = NextUtf8Char(text, pos);
        cps.push_back(ch.CodePoint);
        pos += ch.Length;
    }
    return cps;
}

bool Contains(const std::vector<char32_t> &set, char32_t cp)
{
    for (const char32_t c : set)
        if (c == cp)
            return true;
    return false;
}

bool IsDigit(char32_t c)
{
    return c >= '0' && c <= '9';
}

bool IsAsciiLetter(char32_t c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

} // namespace

std::string FilterChars(std::string_view text, std::string_view keep, std::string_view remove)
{
    const std::vector<char32_t> keepSet = CodePoints(keep);
    const std::vector<char32_t> removeSet = CodePoints(remove);
    std::string out;
    for (std::size_t pos = 0; pos < text.size();) {
        const TUtf8Char ch = NextUtf8Char(text, pos);
        if ((keepSet.empty() || Contains(keepSet, ch.CodePoint))
            && !Contains(removeSet, ch.CodePoint))
            out.append(text.substr(pos, ch.Length));
        pos += ch.Length;
    }
    return out;
}

std::string WithTrailingBackslash(std::string_view path)
{
    std::string out(path);
    if (!out.empty() && out.back() != '/')
        out += '/';
    return out;
}

std::string SettingsFileName(std::string_view programPath)
{
    const std::size_t slash = programPath.rfind('/');
    std::string name(slash == std::string_view::npos ? programPath : programPath.substr(slash + 1));
    for (auto &c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (name.empty())
        return "noname.ini";
    const std::size_t dot = name.find('.');
    if (dot == std::string::npos)
        return name + ".ini";
    return name.substr(0, dot + 1) + "ini";
}

bool MatchMask(std::string_view mask, std::string_view text)
{
    const std::vector<char32_t> m = CodePoints(mask);
    const std::vector<char32_t> t = CodePoints(text);
    if (t.size() < m.size())
        return false;
    for (std::size_t i = 0; i < m.size(); ++i) {
        const char32_t c = t[i];
        bool ok = false;
        switch (m[i]) {
        case '#':
            ok = IsDigit(c);
            break;
        case '?':
            ok = true;
            break;
        case 'L':
            ok = IsAsciiLetter(c);
            break;
        case 'N':
            ok = IsDigit(c) || c == ',' || c == '-' || c == '.';
            break;
        default:
            ok = c == m[i];
            break;
        }
        if (!ok)
            return false;
    }
    return true;
}

std::string PadOrCut(std::string_view text, int n)
{
    if (n <= 0)
        return {};
    const auto count = static_cast<std::size_t>(n);
    std::string out(Utf8Left(text, count));
    const std::size_t have = Utf8Length(out);
    if (have < count)
        out.append(count - have, ' ');
    return out;
}

double ReadNumber(std::string_view text)
{
    std::string cleaned;
    for (const char c : text)
        if (c != ',')
            cleaned += c;
    return StrToFloat(cleaned);
}

} // namespace vrn
