#include "engine/TextCodec.h"

#include <array>

namespace vrn {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Windows-1252 0x80..0x9F; the rest of the code page is Latin-1. Undefined positions map to the
// C1 control of the same value (WHATWG encoding standard, index windows-1252).
constexpr std::array<char32_t, 32> kCp1252High = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

bool IsContinuation(unsigned char b, unsigned char lo = 0x80, unsigned char hi = 0xBF)
{
    return b >= lo && b <= hi;
}

// The Windows-1252 byte of a code point, or -1 when the code page has none.
int Cp1252Byte(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<int>(cp);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i)
        if (kCp1252High[i] == cp)
            return static_cast<int>(0x80 + i);
    return -1;
}

} // namespace

TUtf8Char NextUtf8Char(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return {};
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const std::size_t left = text.size() - pos;
    const unsigned char b0 = at(0);
    if (b0 < 0x80)
        return {b0, 1};
    const TUtf8Char bad {kReplacement, 1};
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (left < 2 || !IsContinuation(at(1)))
            return bad;
        return {static_cast<char32_t>(((b0 & 0x1F) << 6) | (at(1) & 0x3F)), 2};
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        // E0 needs A0.. (no overlong forms), ED stops at 9F (no surrogates).
        const unsigned char lo = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char hi = b0 == 0xED ? 0x9F : 0xBF;
        if (left < 3 || !IsContinuation(at(1), lo, hi) || !IsContinuation(at(2)))
            return bad;
        return {
            static_cast<char32_t>(((b0 & 0x0F) << 12) | ((at(1) & 0x3F) << 6) | (at(2) & 0x3F)), 3};
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        // F0 needs 90.. (no overlong forms), F4 stops at 8F (nothing above U+10FFFF).
        const unsigned char lo = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char hi = b0 == 0xF4 ? 0x8F : 0xBF;
        if (left < 4 || !IsContinuation(at(1), lo, hi) || !IsContinuation(at(2))
            || !IsContinuation(at(3)))
            return bad;
        return {static_cast<char32_t>(((b0 & 0x07) << 18) | ((at(1) & 0x3F) << 12)
                    | ((at(2) & 0x3F) << 6) | (at(3) & 0x3F)),
            4};
    }
    return bad;
}

std::size_t Utf8Length(std::string_view text)
{
    std::size_t count = 0;
    for (std::size_t pos = 0; pos < text.size(); pos += NextUtf8Char(text, pos).Length)
        ++count;
    return count;
}

std::string_view Utf8Left(std::string_view text, std::size_t count)
{
    std::size_t pos = 0;
    for (std::size_t n = 0; n < count && pos < text.size(); ++n)
        pos += NextUtf8Char(text, pos).Length;
    return text.substr(0, pos);
}

void AppendUtf8(std::string &out, char32_t cp)
{
    if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        cp = kReplacement;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Cp1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        AppendUtf8(out, b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : b);
    }
    return out;
}

std::string Utf8ToCp1252(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        const TUtf8Char ch = NextUtf8Char(text, pos);
        pos += ch.Length;
        const int b = Cp1252Byte(ch.CodePoint);
        out += b < 0 ? '?' : static_cast<char>(b);
    }
    return out;
}

bool IsCp1252Encodable(std::string_view text)
{
    for (std::size_t pos = 0; pos < text.size();) {
        const TUtf8Char ch = NextUtf8Char(text, pos);
        pos += ch.Length;
        if (ch.CodePoint == kReplacement || Cp1252Byte(ch.CodePoint) < 0)
            return false;
    }
    return true;
}

std::vector<std::string> SplitLines(std::string_view contents, std::size_t maxLineBytes)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        const std::size_t lf = contents.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? contents.size() : lf;
        std::string_view line = contents.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (maxLineBytes > 0 && line.size() > maxLineBytes)
            line = line.substr(0, maxLineBytes);
        // A trailing CR alone after the last LF is the end of a CR LF pair cut short, not a line.
        if (lf != std::string_view::npos || !line.empty())
            lines.emplace_back(line);
        if (lf == std::string_view::npos)
            break;
        start = lf + 1;
    }
    return lines;
}

std::vector<std::string> DecodeTextFile(std::string_view contents, std::size_t maxLineBytes)
{
    std::vector<std::string> lines = SplitLines(contents, maxLineBytes);
    for (auto &line : lines)
        line = Cp1252ToUtf8(line);
    return lines;
}

std::string EncodeTextFile(const std::vector<std::string> &lines)
{
    std::string out;
    for (const auto &line : lines) {
        out += Utf8ToCp1252(line);
        out += "\r\n";
    }
    return out;
}

} // namespace vrn
