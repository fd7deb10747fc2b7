#pragma once

// What the chart viewer and vrncli fetch do with fetched files: which locations they fetch
// (desktops and vector charts), whether a fetched file is a usable chart-format file, which
// chart a fetched desktop brings along and where on the server that chart lies.

#include "charts/ChartDesktop.h"
#include "charts/ChtFile.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

enum class TWebFileKind
{
    None,
    Desktop, // the last path segment holds ".vrn" (any case)
    Chart, // it holds ".cht" and no ".vrn"
};

TWebFileKind WebFileKind(std::string_view uri);

struct TFetchedContents
{
    // The objects and the chart reference as the chart viewer takes them, with what could not
    // be used (each naming file and line). Paths in a fetched file are used only inside the
    // cache folder: the chart reference names the cached copy of its chart (the last segment of
    // its name), and chart images whose data file lies outside the folder are left out.
    TDesktopFile Desktop;
    // The chart reference's file name exactly as the file wrote it; none without one.
    std::optional<std::string> ChartName;
    // The image data files left out, as the file named them.
    std::vector<std::string> RefusedImages;
};

// Reads a fetched desktop (kind Desktop: as desktops are opened, a bad line dropping only its
// object) or vector chart (kind Chart: as charts are opened, a bad line refusing the file) from
// the cache folder. Raises EVrnError naming the file when it is not a chart-format text file
// (binary bytes, a first line of no chart-format kind) or when the reader refuses it.
TFetchedContents ReadFetchedObjects(const std::string &path, TWebFileKind kind);

// ReadFetchedObjects, for the chart reference's name alone.
std::optional<std::string> ReadFetchedFile(const std::string &path, TWebFileKind kind);

// The file name under which the cache keeps the chart a desktop names.
std::string CachedChartName(std::string_view chartName);

// The server path of the chart a desktop fetched from desktopBaseDir names. The name is always
// taken as relative to the desktop's folder on the same server: "\" becomes "/", a drive
// ("C:") and leading "/" are dropped, and ".." cannot climb above the server's root.
std::string ChartReferenceUri(std::string_view desktopBaseDir, std::string_view chartName);

// True when a desktop's chart reference names a vector chart the viewer fetches along.
bool IsFetchableChartName(std::string_view chartName);

} // namespace vrn
