#include "net/Htmldoc.h"

#include "engine/NumText.h"

#include <cctype>
#include <climits>

namespace vrn {

int THtmlDoc::StatusCode() const
{
    if (FLines.empty())
        return 0;
    constexpr std::string_view separators = "\b\t\n\r ,";
    const std::string_view line = FLines.front();
    std::vector<std::string_view> words;
    std::size_t pos = 0;
    while (words.size() < 2) {
        pos = line.find_first_not_of(separators, pos);
        if (pos == std::string_view::npos)
            break;
        const auto end = line.find_first_of(separators, pos);
        words.push_back(line.substr(pos, end == std::string_view::npos ? end : end - pos));
        pos = end;
    }
    if (words.size() < 2)
        return 0;
    // Each word is kept to its first 20 characters, as the status line reader always did.
    const auto code = ParseInteger(words[1].substr(0, 20));
    if (!code || *code < INT_MIN || *code > INT_MAX)
        return 0;
    return static_cast<int>(*code);
}

std::vector<std::string> THtmlDoc::HeaderValues(std::string_view lowerName) const
{
    std::vector<std::string> values;
    for (const std::string &line : FLines) {
        if (line.empty())
            break;
        const auto colon = line.find(':');
        if (colon == std::string::npos || colon != lowerName.size())
            continue;
        bool same = true;
        for (std::size_t i = 0; i < colon && same; ++i)
            same = std::tolower(static_cast<unsigned char>(line[i])) == lowerName[i];
        if (!same)
            continue;
        const auto value = line.find_first_not_of(' ', colon + 1);
        values.push_back(value == std::string::npos ? std::string() : line.substr(value));
    }
    return values;
}

std::string THtmlDoc::HeaderValue(std::string_view lowerName) const
{
    auto values = HeaderValues(lowerName);
    return values.empty() ? std::string() : std::move(values.front());
}

} // namespace vrn
