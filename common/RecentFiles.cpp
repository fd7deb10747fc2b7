#include "common/RecentFiles.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace vrn {

namespace {

std::string Normal(std::string_view path)
{
    std::error_code ec;
    const auto abs = std::filesystem::absolute(std::filesystem::path(path), ec);
    return (ec ? std::filesystem::path(path) : abs).lexically_normal().string();
}

} // namespace

TRecentFiles::TRecentFiles(std::size_t capacity)
    : FCapacity(capacity)
{ }

void TRecentFiles::Add(std::string_view path)
{
    if (path.empty())
        return;
    const std::string item = Normal(path);
    Remove(item);
    FItems.insert(FItems.begin(), item);
    if (FItems.size() > FCapacity)
        FItems.resize(FCapacity);
}

void TRecentFiles::Remove(std::string_view path)
{
    const std::string item = Normal(path);
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
}

void TRecentFiles::SetItems(const std::vector<std::string> &items)
{
    FItems.clear();
    for (const std::string &stored : items) {
        if (stored.empty() || !std::filesystem::path(stored).is_absolute())
            continue;
        const std::string item = Normal(stored);
        if (std::find(FItems.begin(), FItems.end(), item) == FItems.end())
            FItems.push_back(item);
        if (FItems.size() == FCapacity)
            break;
    }
}

std::string RecentMenuText(std::size_t index, std::string_view shownPath)
{
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (const char c : shownPath) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}

} // namespace vrn
