#pragma once

// Desktop files (".vrn"): the chart viewer's working set in the chart file format. A desktop
// names the vector chart with the view and the colours it is shown in, then lists the raster
// chart images, the routes, the tracks and the marks, each as a block of lines ended by an empty
// line. Paths are written relative to the desktop's folder ("../" where needed) and resolved
// against it when read, so a folder of desktop, charts and pictures can move as a whole.
//
// Reading keeps what is good: a line that cannot be used drops its object with a message that
// names the file and the line, a chart image whose files cannot be read stays in the desktop
// unloaded (and is written back), and only a file that is no desktop at all is refused. Writing
// goes through a temporary file, so a failed save leaves the old desktop as it was.

#include "charts/ChartDesk.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

struct TDesktopColors
{
    TColor Sea = kClNavy;
    TColor Grid = kClWhite;
    TColor Land = kClOlive;
    TColor Shore = kClYellow;

    bool operator==(const TDesktopColors &) const = default;
};

// The vector chart of a desktop as its chart block gives it: the file (absolute once read),
// the view centre and width, degrees (longitude west positive), and the colours.
struct TDesktopChart
{
    std::string FileName;
    double LatC = 0;
    double LonC = 0;
    double LonSpan = 0;
    TDesktopColors Colors;
};

// The chart reference of a file with the default colours in place of those it does not set.
TDesktopChart DesktopChartOf(const TChtFileObject &reference);

// What a desktop file holds, read but not yet put on a chart view.
struct TDesktopFile
{
    TObjList Objects; // in file order
    std::unique_ptr<TChtFileObject> ChartRef;
    std::vector<std::string> Messages; // what could not be used, each naming file and line
};

// No desktop comes near this; a larger file is refused rather than exhausting memory.
constexpr std::size_t kMaxDesktopFileBytes = std::size_t(64) << 20;

// Reads a desktop, or any chart-format file of objects. Raises EVrnError "File <name> not
// found" when it cannot be opened, "File <name> is not a desktop" for a binary file or text
// without a single object line, and "File <name> is too large" past kMaxDesktopFileBytes.
TDesktopFile ReadDesktopFile(const std::string &fileName);

// "<file>, line 12: invalid point format (Route "Home" dropped)".
std::string DesktopMessageText(const std::string &fileName, const TChartFileMessage &message);

// The result of putting a desktop on a desk with its chart reference.
struct TDesktopApplied
{
    std::optional<TDesktopChart> Chart; // the reference: its view and colours go to the view
    bool ChartLoaded = false;
    std::vector<std::string> Messages; // the chart's own dropped objects, naming its file
    std::optional<std::string> ChartError; // "File <chart> not found" and other chart errors
};

// TakeDesktop, then the chart reference: the referenced vector chart replaces the open one
// (polygons with default colours take the reference's land and shore colours). When it cannot
// be opened, the open chart is closed and the reference is kept on the desk (KeptChartRef), so
// that saving writes it back. Without a reference the vector chart stays as it was. Clears every
// modified flag.
TDesktopApplied ApplyDesktop(
    TChartDesk &desk, TObjList &objects, std::unique_ptr<TChtFileObject> chartRef);

// The lines of a desktop saved into folder `dir`: the chart block when `chart` is given (the
// colours that differ from the defaults), then every chart image (its BaseDir set to dir),
// route, track and mark. Raises EVrnError when a path cannot be written so that it reads back
// (a chart file name over 100 characters, a data file path over 100).
std::vector<std::string> DesktopLines(
    TChartDesk &desk, const std::optional<TDesktopChart> &chart, const std::string &dir);

// Writes the desk as the desktop fileName through a temporary file; raises EVrnError "Error
// creating file <name>" (with the reason on a second line) and then leaves the old file, the
// desk's name and its modified flags as they were. On success DesktopFileName becomes fileName
// and the modified flags are cleared. `chart` as for DesktopLines; when none and the desk keeps
// the reference of a chart that could not be opened, that reference is written.
void SaveDesktopFile(
    TChartDesk &desk, const std::string &fileName, const std::optional<TDesktopChart> &chart);

} // namespace vrn
