#pragma once

// A recently used list of files (the chart viewer's desktops): absolute paths, most recent
// first, each once, at most a given number.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TRecentFiles
{
public:
    explicit TRecentFiles(std::size_t capacity = 8);

    // Puts the file first (made absolute and normal; an entry naming the same file goes), then
    // drops entries past the capacity.
    void Add(std::string_view path);
    // Takes the file out (a file found missing); nothing when it is not listed.
    void Remove(std::string_view path);
    // Replaces the list by stored entries, keeping their order: empty and relative entries are
    // skipped (stored values are outside input), duplicates merged, the list cut at capacity.
    void SetItems(const std::vector<std::string> &items);

    const std::vector<std::string> &Items() const { return FItems; }

    std::size_t Capacity() const { return FCapacity; }

private:
    std::size_t FCapacity;
    std::vector<std::string> FItems;
};

// The menu text of entry index (0 first): "&1 " and the shown (abbreviated) path with each "&"
// doubled, so that a path never makes a mnemonic of its own.
std::string RecentMenuText(std::size_t index, std::string_view shownPath);

} // namespace vrn
