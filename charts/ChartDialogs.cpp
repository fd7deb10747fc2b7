#include "charts/ChartDialogs.h"

#include "charts/ChartPaths.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <filesystem>
#include <system_error>

namespace vrn {

std::optional<std::string> FieldTextProblem(std::string_view text, std::string_view what)
{
    if (text.find(';') != std::string_view::npos)
        return std::string(what) + " cannot contain \";\".";
    if (text.find_first_of("\r\n") != std::string_view::npos)
        return std::string(what) + " cannot contain line breaks.";
    if (!IsCp1252Encodable(text))
        return std::string(what) + " contains characters that chart files cannot hold.";
    return std::nullopt;
}

namespace {

void CheckField(std::string_view text, std::string_view what)
{
    if (auto problem = FieldTextProblem(text, what))
        throw EVrnError(*problem);
}

constexpr std::string_view kNoLink = "http://";

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    return text.size() >= prefix.size() && LowerAscii(text.substr(0, prefix.size())) == prefix;
}

} // namespace

// ---- Mark editor

std::string MarkLinkText(const TChtURLObject &mark)
{
    return mark.URL.empty() ? std::string(kNoLink) : mark.URL;
}

void ApplyMarkEdit(TChtURLObject &mark, const TMarkEdit &edit)
{
    CheckField(edit.Name, "The name");
    CheckField(edit.Link, "The link");
    mark.Name = edit.Name;
    mark.URL = edit.Link == kNoLink ? std::string() : edit.Link;
    if (edit.Icon)
        mark.BitmapName = *edit.Icon;
}

std::optional<std::string> MarkLinkAddress(std::string_view url)
{
    const std::string_view link = Trim(url);
    if (link.empty() || link.find_first_of(" \t\r\n") != std::string_view::npos)
        return std::nullopt;
    for (const std::string_view scheme : {"http://", "https://"})
        if (StartsWithIgnoringCase(link, scheme))
            return link.size() > scheme.size() ? std::optional<std::string>(link) : std::nullopt;
    // Any other scheme ("file:", "javascript:", "mailto:") is refused; "www.x.org:8080/a" has
    // a colon too, but after a dot, so it is a host with a port.
    const auto colon = link.find(':');
    const auto slash = link.find('/');
    const auto dot = link.find('.');
    if (colon != std::string_view::npos && (dot == std::string_view::npos || colon < dot)
        && (slash == std::string_view::npos || colon < slash))
        return std::nullopt;
    return "http://" + std::string(link);
}

// ---- Colour editor

const char *ChartColorItemText(TChartColorItem item)
{
    switch (item) {
    case TChartColorItem::Sea:
        return "Sea color";
    case TChartColorItem::DefaultLand:
        return "Default land color";
    case TChartColorItem::DefaultShore:
        return "Default shore color";
    case TChartColorItem::Grid:
        break;
    }
    return "Grid color";
}

std::optional<int> StandardColorIndex(TColor colour)
{
    for (std::size_t i = 0; i < kStandardColors.size(); ++i)
        if (kStandardColors[i] == colour)
            return static_cast<int>(i);
    return std::nullopt;
}

// ---- Point editor

std::string PointDateTimeText(const TChtPoint &point)
{
    if (point.Time == 0 || !IsValidDateTime(point.Time))
        return {};
    return FormatDateTimeText(point.Time, ShortDateFormat());
}

std::optional<double> ParsePointDateTime(std::string_view text)
{
    return ParseDateTimeText(text, ShortDateFormat());
}

void ApplyPointEdit(TChtPoint &point, const TPointEdit &edit)
{
    CheckField(edit.Name, "The text");
    std::optional<double> time;
    if (edit.DateTimeText) {
        time = ParsePointDateTime(*edit.DateTimeText);
        if (!time)
            throw EVrnError("\"" + *edit.DateTimeText + "\" is not a valid date and time");
    }
    if (edit.PositionChanged) {
        point.Lat = edit.LatDeg;
        point.Lon = edit.LonDeg;
    }
    point.Name = edit.Name;
    if (time)
        point.Time = *time;
}

// ---- Chart information box

TChartInfoRows ChartInfoOf(const TChartDesk &desk)
{
    TChartInfoRows rows;
    if (Trim(desk.ChartFileName).empty())
        return rows;
    rows.ChartName = FileNameOf(desk.ChartFileName);
    rows.Polygons = FormatInt(static_cast<long long>(desk.ChartObjectCount()));
    rows.Points = FormatInt(static_cast<long long>(desk.ChartPointCount()));
    std::error_code ec;
    const std::filesystem::path file(desk.ChartFileName);
    if (!std::filesystem::exists(file, ec) && !ec)
        return rows;
    const auto size = std::filesystem::file_size(file, ec);
    rows.FileSize = ec ? "[error]" : FormatInt(static_cast<long long>(size)) + " bytes";
    return rows;
}

} // namespace vrn
