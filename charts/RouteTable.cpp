#include "charts/RouteTable.h"

#include "charts/ChartDialogs.h"
#include "engine/NumText.h"
#include "engine/TextCodec.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <cstdio>

namespace vrn {

// ---- Legs

std::optional<TLeg> LegBetween(const TChtPoint &from, const TChtPoint &to)
{
    const TCourseDistance cd = GreatCircleCourseDistance(from.Lat, from.Lon, to.Lat, to.Lon);
    if (cd.Status != 0 || !std::isfinite(cd.CourseDeg) || !std::isfinite(cd.DistNm))
        return std::nullopt;
    return TLeg {cd.CourseDeg, cd.DistNm};
}

std::string CourseCellText(double courseDeg)
{
    return FormatFixed(courseDeg, 0, 3) + "°";
}

std::string RangeCellText(double distNm)
{
    return FormatFixed(distNm, 2, 6) + " ";
}

std::string TotalLengthText(double totalNm)
{
    return FormatFixed(totalNm, 1, 6) + "NM";
}

std::string DurationText(double days)
{
    if (!std::isfinite(days))
        return "?";
    const bool negative = days < 0;
    const long long total = std::llround(std::fabs(days) * 86400.0);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%s%02lld:%02lld:%02lld", negative ? "-" : "", total / 3600,
        (total / 60) % 60, total % 60);
    return buf;
}

namespace {

bool HasTime(const TChtPoint &p)
{
    return p.Time != 0 && IsValidDateTime(p.Time);
}

} // namespace

std::string LegText(const TChtPoint &p, const TChtPoint &q)
{
    const auto leg = LegBetween(p, q);
    if (!leg)
        return {};
    std::string text =
        "Cog:" + CourseCellText(leg->CourseDeg) + " Rng:" + FormatFixed(leg->DistNm, 2, 6);
    // A time of 0 is no time: a leg from or to such a point has no duration.
    if (HasTime(p) && HasTime(q)) {
        const double dt = q.Time - p.Time;
        if (dt > 0)
            text += " Tm:" + DurationText(dt) + " Spd:" + FormatFixed(leg->DistNm / dt / 24, 2, 6);
    }
    return text;
}

std::string PointHintText(const TChtPoint &point, bool trackPoint)
{
    std::string text;
    if (trackPoint && HasTime(point))
        text = PointDateTimeText(point) + " ";
    return text + point.Name;
}

// ---- Point table

const char *PointColumnHeader(TPointColumn column)
{
    switch (column) {
    case TPointColumn::Number:
        return "#";
    case TPointColumn::Lat:
        return "Lat";
    case TPointColumn::Lon:
        return "Lon";
    case TPointColumn::Cog:
        return "Cog";
    case TPointColumn::Rng:
        return "Rng [NM]";
    case TPointColumn::Text:
        return "Text";
    case TPointColumn::DateTime:
        return "Date/Time";
    }
    return "";
}

std::string PointCellText(
    const TChtPoliPoints &points, std::size_t index, TPointColumn column, bool track)
{
    if (index >= points.Points.size())
        return {};
    const TChtPoint &p = points.Points[index];
    switch (column) {
    case TPointColumn::Number:
        return FormatInt(static_cast<long long>(index) + 1);
    case TPointColumn::Lat:
        return FormatAngleDM2("NS", p.Lat);
    case TPointColumn::Lon:
        return FormatAngleDM2("WE", p.Lon);
    case TPointColumn::Cog:
    case TPointColumn::Rng: {
        if (index + 1 >= points.Points.size())
            return {};
        const auto leg = LegBetween(p, points.Points[index + 1]);
        if (!leg)
            return {};
        return column == TPointColumn::Cog ? CourseCellText(leg->CourseDeg)
                                           : RangeCellText(leg->DistNm);
    }
    case TPointColumn::Text:
        return p.Name;
    case TPointColumn::DateTime:
        return track ? PointDateTimeText(p) : std::string();
    }
    return {};
}

double LengthFrom(const TChtPoliPoints &points, std::size_t from)
{
    double total = 0;
    for (std::size_t i = from; i + 1 < points.Points.size(); ++i)
        if (const auto leg = LegBetween(points.Points[i], points.Points[i + 1]))
            total += leg->DistNm;
    return total;
}

double TotalLength(const TChtPoliPoints &points)
{
    return LengthFrom(points, 0);
}

// ---- Typed cells

namespace {

bool HasLetterOf(std::string_view text, std::string_view letters)
{
    for (char c : text)
        for (char l : letters)
            if (c == l || c == l + ('a' - 'A'))
                return true;
    return false;
}

std::optional<double> ParseCoordinateCell(
    std::string_view text, std::string_view otherAxisLetters, double limitDeg)
{
    text = Trim(text);
    if (text.empty() || HasLetterOf(text, otherAxisLetters))
        return std::nullopt;
    std::optional<double> value = ParseNumber(text);
    if (!value) {
        try {
            value = ParseAngleText(text);
        } catch (const std::exception &) {
            return std::nullopt;
        }
    }
    if (!value || !std::isfinite(*value) || std::fabs(*value) > limitDeg)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<double> ParseLatitudeCell(std::string_view text)
{
    return ParseCoordinateCell(text, "WE", 90);
}

std::optional<double> ParseLongitudeCell(std::string_view text)
{
    return ParseCoordinateCell(text, "NS", 180);
}

// ---- Route and track list

std::vector<TRouteListEntry> RouteListEntries(const TChartDesk &desk)
{
    std::vector<TRouteListEntry> entries;
    entries.reserve(desk.Routes.Count() + desk.Tracks.Count());
    for (const auto &r : desk.Routes)
        entries.push_back({r.get(), false});
    for (const auto &t : desk.Tracks)
        entries.push_back({t.get(), true});
    return entries;
}

int RouteListSelection(const std::vector<TRouteListEntry> &entries, bool wasEmpty,
    const TChtRoute *previous, int previousRow)
{
    const int count = static_cast<int>(entries.size());
    if (wasEmpty) {
        for (int i = 0; i < count; ++i)
            if (entries[static_cast<std::size_t>(i)].Object->Visible)
                return i;
        return -1;
    }
    if (previous)
        for (int i = 0; i < count; ++i)
            if (entries[static_cast<std::size_t>(i)].Object == previous)
                return i;
    return previousRow >= 0 && previousRow < count ? previousRow : -1;
}

bool IsListedRouteOrTrack(const TChartDesk &desk, const TChtRoute *object)
{
    if (!object)
        return false;
    if (desk.Routes.IndexOf(object) >= 0)
        return true;
    for (const auto &t : desk.Tracks)
        if (t.get() == object)
            return true;
    return false;
}

// ---- Printed table

std::string FitColumn(std::string_view text, std::size_t width)
{
    const std::size_t length = Utf8Length(text);
    if (length > width) {
        const std::size_t keep = width >= 2 ? width - 2 : 0;
        return std::string(Utf8Left(text, keep)) + std::string(width - keep, '.');
    }
    return std::string(text) + std::string(width - length, ' ');
}

std::array<std::size_t, kPointColumnCount> PrintColumnWidths(std::size_t pointCount)
{
    const std::size_t digits = FormatInt(static_cast<long long>(pointCount)).size();
    return {std::max<std::size_t>(3, digits + 1), 12, 12, 6, 9, 20, 20};
}

std::vector<TPrintLine> RouteTablePrintLines(const TChtRoute &object, bool track)
{
    const std::size_t n = object.Points.size();
    std::vector<TPrintLine> lines;
    lines.reserve(n + 6);
    lines.push_back({});
    lines.push_back({});
    lines.push_back({std::string(track ? "  Track: " : "  Route: ") + object.Name + " ",
        " " + FormatInt(static_cast<long long>(n)) + " points  "
            + TotalLengthText(TotalLength(object))});
    lines.push_back({});
    const auto widths = PrintColumnWidths(n);
    std::string header = " ";
    for (int c = 0; c < kPointColumnCount; ++c)
        header += FitColumn(
            PointColumnHeader(static_cast<TPointColumn>(c)), widths[static_cast<std::size_t>(c)]);
    lines.push_back({{}, header});
    for (std::size_t i = 0; i < n; ++i) {
        std::string row = " ";
        for (int c = 0; c < kPointColumnCount; ++c)
            row += FitColumn(PointCellText(object, i, static_cast<TPointColumn>(c), track),
                widths[static_cast<std::size_t>(c)]);
        lines.push_back({{}, row});
    }
    return lines;
}

} // namespace vrn
