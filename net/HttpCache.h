#pragma once

// The cache folder of fetched desktops and charts. Each file is kept under the last segment of
// its location's path, directly in the folder (never below or above it), and an index in the
// folder records the URL each file came from, so that a file is only ever revalidated with
// If-modified-since against the URL it was fetched from, never against another server's file
// of the same name.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vrn {

// The index of the folder; no fetched file may take this name.
constexpr std::string_view kCacheIndexName = ".vrn-cache-index";

class TWebCache
{
public:
    explicit TWebCache(std::filesystem::path folder);

    const std::filesystem::path &Folder() const { return FFolder; }

    // Creates the folder (and its parents) when missing; raises EVrnError "Cannot create the
    // cache folder <path>: <reason>".
    void Prepare() const;

    // Why a last path segment cannot name a cached file (empty, ".", "..", a "\" or a control
    // character, longer than a file name may be, the index's name); none when it can.
    static std::optional<std::string> SegmentError(std::string_view segment);

    // The cached file of a segment SegmentError accepts.
    std::filesystem::path PathFor(std::string_view segment) const;

    // The URL recorded for the segment's file; empty when none is.
    std::string RecordedUrl(std::string_view segment) const;

    // The If-modified-since date for fetching url into the segment's file: its modification
    // time as an HTTP date, when the file exists and was fetched from that same URL.
    std::optional<std::string> IfModifiedSince(
        std::string_view segment, std::string_view url) const;

    // The segment's file was just replaced by a fetch of url: records the URL and, when the
    // reply said when the file last changed, gives the file that modification time. Raises
    // EVrnError when the index cannot be written.
    void Record(std::string_view segment, std::string_view url,
        std::optional<std::int64_t> lastModifiedUnix) const;

    // Removes the segment's file and its record (a fetched file that proved unusable).
    void Forget(std::string_view segment) const;

private:
    std::filesystem::path IndexPath() const;
    void WriteRecord(std::string_view segment, std::optional<std::string_view> url) const;

    std::filesystem::path FFolder;
};

} // namespace vrn
