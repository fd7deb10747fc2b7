#include "common/strtoken.h"

#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <limits>

namespace vrn {

TStringTokenizer::TStringTokenizer(std::string_view text, std::string_view separators)
    : FText(text)
    , FSeparators(separators)
{
    for (std::size_t pos = 0; pos < separators.size();) {
        const std::size_t len = NextUtf8Char(separators, pos).Length;
        FSeparatorChars.emplace_back(separators.substr(pos, len));
        pos += len;
    }
    Split();
}

void TStringTokenizer::SetText(std::string_view text)
{
    FText = text;
    Split();
}

void TStringTokenizer::Split()
{
    FTokens.clear();
    std::string current;
    const std::string_view text = FText;
    for (std::size_t pos = 0; pos < text.size();) {
        const std::string_view ch = text.substr(pos, NextUtf8Char(text, pos).Length);
        pos += ch.size();
        if (std::find(FSeparatorChars.begin(), FSeparatorChars.end(), ch)
            != FSeparatorChars.end()) {
            FTokens.push_back(std::move(current));
            current.clear();
        } else {
            current += ch;
        }
    }
    FTokens.push_back(std::move(current));
}

const std::string &TStringTokenizer::Token(int i) const
{
    if (i < 0 || i >= Count())
        throw EVrnError("Invalid index");
    return FTokens[static_cast<std::size_t>(i)];
}

double TStringTokenizer::AsFloat(int i) const
{
    const std::string_view field = Trim(Token(i));
    if (const auto v = ParseNumber(field))
        return *v;
    throw EConvertError("Invalid number format: " + std::string(field));
}

double TStringTokenizer::AsDateTime(int i) const
{
    return AsDateTime(i, ShortDateFormat());
}

double TStringTokenizer::AsDateTime(int i, const TDateFormat &format) const
{
    const std::string_view field = Trim(Token(i));
    if (const auto v = ParseDateTimeText(field, format))
        return *v;
    throw EConvertError("Invalid date/time format: " + std::string(field));
}

int TStringTokenizer::AsInteger(int i) const
{
    const std::string_view field = Trim(Token(i));
    const auto v = ParseInteger(field);
    if (!v || *v < std::numeric_limits<int>::min() || *v > std::numeric_limits<int>::max())
        throw EConvertError("Invalid integer value:" + std::string(field));
    return static_cast<int>(*v);
}

} // namespace vrn
