#include "net/HttpCache.h"

#include "common/FileIO.h"
#include "engine/VrnError.h"
#include "net/HttpRequest.h"

#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <vector>

namespace vrn {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxIndexBytes = 4 << 20;
constexpr std::size_t kMaxFileNameBytes = 255;

struct TIndexEntry
{
    std::string Segment;
    std::string Url;
};

// One "segment TAB url" line per cached file; lines of any other form are skipped.
std::vector<TIndexEntry> ReadIndex(const fs::path &path)
{
    std::vector<TIndexEntry> entries;
    const TFileContents file = ReadWholeFile(path, kMaxIndexBytes);
    std::string_view rest = file.Bytes;
    while (!rest.empty()) {
        const auto end = rest.find('\n');
        const std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        const auto tab = line.find('\t');
        if (tab == std::string_view::npos || tab == 0 || tab + 1 == line.size())
            continue;
        entries.push_back({std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))});
    }
    return entries;
}

} // namespace

TWebCache::TWebCache(fs::path folder)
    : FFolder(std::move(folder))
{ }

void TWebCache::Prepare() const
{
    std::error_code ec;
    if (fs::is_directory(FFolder, ec))
        return;
    fs::create_directories(FFolder, ec);
    if (ec || !fs::is_directory(FFolder))
        throw EVrnError("Cannot create the cache folder " + FFolder.string() + ": "
            + (ec ? ec.message() : std::string("not a folder")));
}

std::optional<std::string> TWebCache::SegmentError(std::string_view segment)
{
    if (segment.empty())
        return "the location names no file";
    if (segment == "." || segment == "..")
        return "the location names a folder, not a file";
    if (segment.size() > kMaxFileNameBytes)
        return "the file name is longer than 255 bytes";
    for (const char c : segment) {
        if (c == '\\' || c == '/')
            return "the file name holds a path separator";
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return "the file name holds control characters";
    }
    if (segment.starts_with(kCacheIndexName))
        return "the file name is reserved for the cache index";
    return std::nullopt;
}

fs::path TWebCache::PathFor(std::string_view segment) const
{
    return FFolder / fs::path(std::string(segment));
}

fs::path TWebCache::IndexPath() const
{
    return FFolder / fs::path(std::string(kCacheIndexName));
}

std::string TWebCache::RecordedUrl(std::string_view segment) const
{
    for (const TIndexEntry &e : ReadIndex(IndexPath()))
        if (e.Segment == segment)
            return e.Url;
    return {};
}

std::optional<std::string> TWebCache::IfModifiedSince(
    std::string_view segment, std::string_view url) const
{
    if (SegmentError(segment) || url.empty() || RecordedUrl(segment) != url)
        return std::nullopt;

    struct stat st
    { };

    if (::stat(PathFor(segment).c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return HttpDate(static_cast<std::int64_t>(st.st_mtime));
}

void TWebCache::WriteRecord(std::string_view segment, std::optional<std::string_view> url) const
{
    std::string text;
    for (const TIndexEntry &e : ReadIndex(IndexPath()))
        if (e.Segment != segment)
            text += e.Segment + "\t" + e.Url + "\n";
    if (url)
        text += std::string(segment) + "\t" + std::string(*url) + "\n";
    WriteFileAtomically(IndexPath(), text);
}

void TWebCache::Record(std::string_view segment, std::string_view url,
    std::optional<std::int64_t> lastModifiedUnix) const
{
    if (lastModifiedUnix) {
        const struct timespec times[2] = {
            {0, UTIME_OMIT}, {static_cast<time_t>(*lastModifiedUnix), 0}};
        // A file whose time cannot be set is revalidated by its write time instead: the server
        // then answers with the whole file once more, never with a wrong 304.
        ::utimensat(AT_FDCWD, PathFor(segment).c_str(), times, 0);
    }
    WriteRecord(segment, url);
}

void TWebCache::Forget(std::string_view segment) const
{
    if (SegmentError(segment))
        return;
    std::error_code ec;
    fs::remove(PathFor(segment), ec);
    WriteRecord(segment, std::nullopt);
}

} // namespace vrn
