#pragma once

// The route and track editor without its window: the list of routes and tracks and the selection
// it keeps, the cells of the point table (position, leg course and distance to the next point,
// text, time), the total length, the leg text of the point hint, and the text pages a table
// prints as. The editor's table reads these functions row by row from the chart view's own
// point lists, so a table of any length costs only the rows on screen.

#include "charts/ChartDesk.h"
#include "engine/DateTime.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// ---- Legs

// Great-circle initial course and distance from one point to the next.
struct TLeg
{
    double CourseDeg = 0;
    double DistNm = 0;
};

// None when the sailing formula reports a failure (a non-finite position, a pole).
std::optional<TLeg> LegBetween(const TChtPoint &from, const TChtPoint &to);

// "%3.0f°" of the course and "%6.2f " (with its trailing blank) of the distance, as the table
// shows them.
std::string CourseCellText(double courseDeg);
std::string RangeCellText(double distNm);

// "%6.1f" of the total followed by "NM".
std::string TotalLengthText(double totalNm);

// A time span in days as total hours, minutes and seconds, "01:00:00", "36:05:09" (hours of
// two digits at least; the seconds rounded to the nearest one).
std::string DurationText(double days);

// The hint's leg from P to Q: "Cog:" course " Rng:" distance, then " Tm:" time and " Spd:"
// speed in knots when both points have a time and Q's is later. Empty when the leg cannot be
// computed.
std::string LegText(const TChtPoint &p, const TChtPoint &q);

// The point hint: the time of a track point (when it has one) and a blank, then the name.
std::string PointHintText(const TChtPoint &point, bool trackPoint);

// ---- Point table

enum class TPointColumn
{
    Number,
    Lat,
    Lon,
    Cog,
    Rng,
    Text,
    DateTime,
};

inline constexpr int kPointColumnCount = 7;

// "#", "Lat", "Lon", "Cog", "Rng [NM]", "Text", "Date/Time".
const char *PointColumnHeader(TPointColumn column);

// Widths of the columns on screen at the default font, pixels.
inline constexpr std::array<int, kPointColumnCount> kPointColumnWidths = {
    23, 59, 64, 35, 50, 76, 116};

// The text of one cell for the index-th point (from 0). "Cog" and "Rng [NM]" hold the leg to the
// next point and are empty on the last point and where the leg cannot be computed; "Date/Time"
// is empty for route points and for track points without a time.
std::string PointCellText(
    const TChtPoliPoints &points, std::size_t index, TPointColumn column, bool track);

// Sum of the legs that can be computed.
double TotalLength(const TChtPoliPoints &points);
// The legs from point `from` to the last point (a track that grew by GPS fixes adds only its new
// legs to the total it had).
double LengthFrom(const TChtPoliPoints &points, std::size_t from);

// ---- Typed cells

// A latitude or longitude typed into the table as the table writes it ("45°07.25'N",
// "012°30.00'E", longitude west positive); none when it does not read or is out of range
// (beyond 90° of latitude or 180° of longitude).
std::optional<double> ParseLatitudeCell(std::string_view text);
std::optional<double> ParseLongitudeCell(std::string_view text);

// ---- Route and track list

// One entry of the list: every route of the desk, then every track, in list order.
struct TRouteListEntry
{
    TChtRoute *Object = nullptr;
    bool Track = false;
};

std::vector<TRouteListEntry> RouteListEntries(const TChartDesk &desk);

// The entry to select after a refill. A list that was empty selects the first visible route or
// track; otherwise the entry that was selected is found again by its object, else by the row it
// was on while that row still exists. -1 selects nothing.
int RouteListSelection(const std::vector<TRouteListEntry> &entries, bool wasEmpty,
    const TChtRoute *previous, int previousRow);

// Whether the object is one of the desk's listed routes or tracks (a pointer kept by a window is
// used only then: the object may have been freed since).
bool IsListedRouteOrTrack(const TChartDesk &desk, const TChtRoute *object);

// ---- Printed table

// One printed line: its bold beginning, then regular text.
struct TPrintLine
{
    std::string Bold;
    std::string Text;
};

// A text cut or padded to exactly `width` characters: a longer one keeps width - 2 characters
// followed by "..", a shorter one is padded with blanks.
std::string FitColumn(std::string_view text, std::size_t width);

// Widths of the printed columns in characters: "#" as wide as the largest row number plus one
// (at least 3), then 12, 12, 6, 9, 20, 20.
std::array<std::size_t, kPointColumnCount> PrintColumnWidths(std::size_t pointCount);

// The printed route or track: two empty lines; the title line, bold "  Track: " or "  Route: "
// with the name and a blank, then a blank, the point count, " points  " and the total length;
// an empty line; then the header row and one row per point, a blank and each cell fitted to its
// column.
std::vector<TPrintLine> RouteTablePrintLines(const TChtRoute &object, bool track);

} // namespace vrn
