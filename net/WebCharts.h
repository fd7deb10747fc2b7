#pragma once

// What the chart viewer and vrncli fetch do with fetched files: which locations they fetch
// (desktops and vector charts), whether a fetched file is a usable chart-format file, which
// chart a fetched desktop brings along and where on the server that chart lies.

#include <optional>
#include <string>
#include <string_view>

namespace vrn {

enum class TWebFileKind
{
    None,
    Desktop, // the last path segment holds ".vrn" (any case)
    Chart, // it holds ".cht" and no ".vrn"
};

TWebFileKind WebFileKind(std::string_view uri);

// Reads a fetched desktop or chart as the chart viewer will. Raises EVrnError naming the file
// when it is not a chart-format text file (binary bytes, a first line of no chart-format kind)
// or when the chart file reader refuses it. For a desktop, returns the file name its chart
// reference gives, exactly as the desktop wrote it; none without a chart reference.
std::optional<std::string> ReadFetchedFile(const std::string &path);

// The server path of the chart a desktop fetched from desktopBaseDir names. The name is always
// taken as relative to the desktop's folder on the same server: "\" becomes "/", a drive
// ("C:") and leading "/" are dropped, and ".." cannot climb above the server's root.
std::string ChartReferenceUri(std::string_view desktopBaseDir, std::string_view chartName);

// True when a desktop's chart reference names a vector chart the viewer fetches along.
bool IsFetchableChartName(std::string_view chartName);

} // namespace vrn
