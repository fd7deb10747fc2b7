#pragma once

// What the chart dialogs do to the chart objects, without the windows: the mark editor's name,
// link and icon, the point editor's position, text and time, the sixteen colours of the colour
// editor, the rows of the chart information box and the lists of the route/track selector. The
// dialogs move values between their fields and these functions.

#include "charts/ChartDesk.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

// Why a text cannot go into one field of a chart file line (";" splits fields, a line break
// ends the line), or none when it can. `what` names the field: "The name", "The link".
std::optional<std::string> FieldTextProblem(std::string_view text, std::string_view what);

// ---- Mark editor

// What the link field shows: the mark's URL, or "http://" when it has none.
std::string MarkLinkText(const TChtURLObject &mark);

struct TMarkEdit
{
    std::string Name;
    std::string Link; // "http://" alone means no link
    std::optional<std::string> Icon; // the chosen icon row; none keeps the mark's icon
};

// Gives the mark the edited values. Raises EVrnError with FieldTextProblem's text for a name or
// link a desktop could not hold; the mark is then unchanged.
void ApplyMarkEdit(TChtURLObject &mark, const TMarkEdit &edit);

// The web address a mark's link opens: http:// and https:// addresses as written, a link without
// a scheme with "http://" put before it. None for empty links and for other schemes (file:,
// javascript:, mailto:...), which a click on a mark must never start.
std::optional<std::string> MarkLinkAddress(std::string_view url);

// ---- Colour editor

enum class TChartColorItem
{
    Sea,
    DefaultLand,
    DefaultShore,
    Grid,
};

inline constexpr std::array<TChartColorItem, 4> kChartColorItems = {TChartColorItem::Sea,
    TChartColorItem::DefaultLand, TChartColorItem::DefaultShore, TChartColorItem::Grid};

// "Sea color", "Default land color", "Default shore color", "Grid color".
const char *ChartColorItemText(TChartColorItem item);

// The sixteen standard colours of the palette, in palette order ($00BBGGRR).
inline constexpr std::array<TColor, 16> kStandardColors = {0x000000, 0x000080, 0x008000, 0x008080,
    0x800000, 0x800080, 0x808000, 0x808080, 0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000,
    0xFF00FF, 0xFFFF00, 0xFFFFFF};

// The palette cell of a colour; none when it is not one of the sixteen.
std::optional<int> StandardColorIndex(TColor colour);

// ---- Point editor

// The point's time as the field shows it (the short date format, the time left out at
// midnight); empty for a point without a time.
std::string PointDateTimeText(const TChtPoint &point);

// A typed date-time: the short date format, "/", "." or "-" between the date's fields, and an
// optional time; a date alone is midnight. None when the text is not a date-time.
std::optional<double> ParsePointDateTime(std::string_view text);

struct TPointEdit
{
    bool PositionChanged = true; // false: the fields only showed the point's position, rounded
    double LatDeg = 0;
    double LonDeg = 0;
    std::string Name;
    std::optional<std::string> DateTimeText; // track points only
};

// Gives the point the edited values. Raises EVrnError ""<text>" is not a valid date and time"
// for a date-time that does not read, or FieldTextProblem's text for a name a desktop could not
// hold; the point is then unchanged. Unchanged position fields keep the point's exact position.
void ApplyPointEdit(TChtPoint &point, const TPointEdit &edit);

// ---- Chart information box

struct TChartInfoRows
{
    std::string ChartName = "[none]";
    std::string Polygons = "0";
    std::string Points = "0";
    std::string FileSize = "0";
};

// The rows for the chart view's vector chart: its file name without folder, its object and
// point counts and its size ("12345 bytes", "[error]" when the size cannot be read, the initial
// "0" when the file is gone). The initial rows without a vector chart.
TChartInfoRows ChartInfoOf(const TChartDesk &desk);

// ---- Selector

// The names of a list in list order, for the rows of the selection dialog.
template <class T>
std::vector<std::string> NamesOf(const TOwnedList<T> &list)
{
    std::vector<std::string> names;
    names.reserve(list.Count());
    for (const auto &item : list)
        names.push_back(item->Name);
    return names;
}

// The object of a chosen row; none for no row (-1) or a row past the list.
template <class T>
T *ObjectAtRow(const TOwnedList<T> &list, int row)
{
    if (row < 0 || static_cast<std::size_t>(row) >= list.Count())
        return nullptr;
    return list[static_cast<std::size_t>(row)];
}

} // namespace vrn
