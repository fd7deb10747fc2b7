// The route and track editor without its window: leg cells, totals, the hint's leg text, typed
// positions, the list's selection after a refill and the printed table.

#include "charts/RouteTable.h"

#include "engine/DateTime.h"
#include "engine/Trigonom.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

std::unique_ptr<TChtRoute> RouteOf(std::initializer_list<std::pair<double, double>> points)
{
    auto route = std::make_unique<TChtRoute>();
    route->Name = "Test";
    for (const auto &[lat, lon] : points)
        route->AddPoint("", lat, lon, 0);
    return route;
}

std::string Cell(
    const TChtPoliPoints &points, std::size_t row, TPointColumn column, bool track = false)
{
    return PointCellText(points, row, column, track);
}

TEST(RouteTable, LegCellsHoldCourseAndDistanceToTheNextPoint)
{
    struct TCase
    {
        const char *Name;
        double Lat1, Lon1, Lat2, Lon2;
        const char *Cog;
        const char *Rng;
    };

    // One minute of arc of a great circle is one nautical mile, so legs along a meridian or the
    // equator are their difference in minutes; longitudes are west positive.
    const TCase cases[] = {
        {"60' north along a meridian", 10, 20, 11, 20, "  0°", " 60.00 "},
        {"60' south along a meridian", 11, 20, 10, 20, "180°", " 60.00 "},
        {"a quarter of the equator east", 0, 0, 0, -90, " 90°", "5400.00 "},
        {"ten degrees of the equator west", 0, 0, 0, 10, "270°", "600.00 "},
        {"across the antimeridian, 2° east", 0, -179, 0, 179, " 90°", "120.00 "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto routeOwner = RouteOf({{c.Lat1, c.Lon1}, {c.Lat2, c.Lon2}});
        TChtRoute &route = *routeOwner;
        EXPECT_EQ(Cell(route, 0, TPointColumn::Cog), c.Cog);
        EXPECT_EQ(Cell(route, 0, TPointColumn::Rng), c.Rng);
        // The last point has no leg.
        EXPECT_EQ(Cell(route, 1, TPointColumn::Cog), "");
        EXPECT_EQ(Cell(route, 1, TPointColumn::Rng), "");
    }
}

TEST(RouteTable, PositionNumberAndTextCells)
{
    auto routeOwner = RouteOf({{45.5, 8.25}, {-33.125, -151.5}});
    TChtRoute &route = *routeOwner;
    route.Points[1].Name = "Sydney Heads";
    // FormatAngleDM2 of the positions (west positive longitudes read "W").
    EXPECT_EQ(Cell(route, 0, TPointColumn::Number), "1");
    EXPECT_EQ(Cell(route, 1, TPointColumn::Number), "2");
    EXPECT_EQ(Cell(route, 0, TPointColumn::Lat), "45°30.00'N");
    EXPECT_EQ(Cell(route, 0, TPointColumn::Lon), " 8°15.00'W");
    EXPECT_EQ(Cell(route, 1, TPointColumn::Lat), "33°07.50'S");
    EXPECT_EQ(Cell(route, 1, TPointColumn::Lon), "151°30.00'E");
    EXPECT_EQ(Cell(route, 1, TPointColumn::Text), "Sydney Heads");
    // Past the list: nothing (a table row that is no longer there).
    EXPECT_EQ(Cell(route, 2, TPointColumn::Lat), "");
}

TEST(RouteTable, SinglePointRouteHasNoLegAndNoLength)
{
    const auto routeOwner = RouteOf({{38.7, 9.1}});
    TChtRoute &route = *routeOwner;
    EXPECT_EQ(Cell(route, 0, TPointColumn::Cog), "");
    EXPECT_EQ(Cell(route, 0, TPointColumn::Rng), "");
    EXPECT_EQ(TotalLengthText(TotalLength(route)), "   0.0NM");
}

TEST(RouteTable, FailedLegLeavesItsCellsEmptyAndAddsNothing)
{
    // The sailing formula gives no initial course to a pole (status 1): that leg is not shown
    // and not counted; the 60' leg before it is.
    const auto routeOwner = RouteOf({{88, 0}, {89, 0}, {90, 0}});
    TChtRoute &route = *routeOwner;
    EXPECT_EQ(Cell(route, 0, TPointColumn::Rng), " 60.00 ");
    EXPECT_EQ(Cell(route, 1, TPointColumn::Cog), "");
    EXPECT_EQ(Cell(route, 1, TPointColumn::Rng), "");
    EXPECT_NEAR(TotalLength(route), 60, 1e-9);
}

TEST(RouteTable, TotalOfATrackThatGrewIsItsOldTotalPlusTheNewLegs)
{
    TChtTrack track;
    for (int i = 0; i < 50; ++i)
        track.AddPoint("", 40 + i * 0.01, 9 + (i % 7) * 0.013, 45000 + i / 1440.0);
    const double first30 = [&] {
        TChtTrack copy;
        for (int i = 0; i < 30; ++i)
            copy.AddPoint("", track.Points[static_cast<std::size_t>(i)].Lat,
                track.Points[static_cast<std::size_t>(i)].Lon, 0);
        return TotalLength(copy);
    }();
    EXPECT_NEAR(first30 + LengthFrom(track, 29), TotalLength(track), 1e-9);
    // Format("%6.1f") followed by "NM".
    EXPECT_EQ(TotalLengthText(1234.56), "1234.6NM");
    EXPECT_EQ(TotalLengthText(60), "  60.0NM");
}

TEST(RouteTable, TrackPointTimesInTheDateTimeColumn)
{
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    TChtTrack track;
    track.AddPoint("", 10, 10, EncodeDate(2024, 6, 21) + EncodeTime(4, 29, 47, 0));
    track.AddPoint("", 10.1, 10, 0);
    EXPECT_EQ(Cell(track, 0, TPointColumn::DateTime, true), "21/06/2024 04:29:47");
    // A time of 0 is no time.
    EXPECT_EQ(Cell(track, 1, TPointColumn::DateTime, true), "");
    // Route points never show one.
    EXPECT_EQ(Cell(track, 0, TPointColumn::DateTime, false), "");
}

TEST(RouteTable, LegTextShowsTimeAndSpeedOnlyForALaterPoint)
{
    const double t0 = EncodeDate(2024, 6, 21) + EncodeTime(10, 0, 0, 0);

    struct TCase
    {
        const char *Name;
        double Lat2;
        double T1, T2;
        const char *Text;
    };

    // 10' of latitude is 10 NM; in one hour that is 10 knots (the Part's example). Times of 0
    // are none (no Tm, no Spd), and so is a next point that is not later.
    const TCase cases[] = {
        {"one hour, ten miles", 10 + 10 / 60.0, t0, t0 + 1 / 24.0,
            "Cog:  0° Rng: 10.00 Tm:01:00:00 Spd: 10.00"},
        {"36 hours, 36 miles", 10 + 36 / 60.0, t0, t0 + 1.5,
            "Cog:  0° Rng: 36.00 Tm:36:00:00 Spd:  1.00"},
        {"next point without a time", 10 + 10 / 60.0, t0, 0, "Cog:  0° Rng: 10.00"},
        {"point without a time", 10 + 10 / 60.0, 0, t0, "Cog:  0° Rng: 10.00"},
        {"next point earlier", 10 + 10 / 60.0, t0, t0 - 1 / 24.0, "Cog:  0° Rng: 10.00"},
        {"leg to a pole fails", 90, t0, t0 + 1, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChtPoint p, q;
        p.Lat = 10;
        q.Lat = c.Lat2;
        p.Time = c.T1;
        q.Time = c.T2;
        EXPECT_EQ(LegText(p, q), c.Text);
    }
}

TEST(RouteTable, DurationsAreTotalHoursMinutesSeconds)
{
    struct TCase
    {
        double Days;
        const char *Text;
    };

    const TCase cases[] = {
        {1 / 24.0, "01:00:00"},
        {1.5, "36:00:00"},
        {(3 * 3600 + 25 * 60 + 9) / 86400.0, "03:25:09"},
        {0.4 / 86400, "00:00:00"},
        {0.6 / 86400, "00:00:01"},
        {125.0, "3000:00:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(DurationText(c.Days), c.Text);
    }
}

TEST(RouteTable, PointHintIsTimeThenName)
{
    SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    TChtPoint p;
    p.Name = "Buoy";
    p.Time = EncodeDate(2024, 1, 2) + EncodeTime(3, 4, 5, 0);
    EXPECT_EQ(PointHintText(p, true), "02/01/2024 03:04:05 Buoy");
    EXPECT_EQ(PointHintText(p, false), "Buoy");
    p.Time = 0;
    EXPECT_EQ(PointHintText(p, true), "Buoy");
}

TEST(RouteTable, TypedPositionsReadAsTheTableWritesThem)
{
    // Every text the table writes reads back to the position within its rounding (0.005').
    for (double lat : {0.0, 45.12345, -33.99999, 89.999, -90.0}) {
        SCOPED_TRACE(lat);
        const auto read = ParseLatitudeCell(FormatAngleDM2("NS", lat));
        ASSERT_TRUE(read);
        EXPECT_NEAR(*read, lat, 0.005 / 60 + 1e-12);
    }
    for (double lon : {0.0, 8.25, -151.5, 179.99, -180.0}) {
        SCOPED_TRACE(lon);
        const auto read = ParseLongitudeCell(FormatAngleDM2("WE", lon));
        ASSERT_TRUE(read);
        EXPECT_NEAR(*read, lon, 0.005 / 60 + 1e-12);
    }

    struct TCase
    {
        const char *Text;
        bool Latitude;
        std::optional<double> Value;
    };

    const TCase cases[] = {
        {"45.5", true, 45.5},
        {"-12.25", false, -12.25},
        {" 45°30.00'S ", true, -45.5},
        {"95°00.00'N", true, std::nullopt},
        {"181°00.00'W", false, std::nullopt},
        {"45°00.00'E", true, std::nullopt}, // a longitude's letter in a latitude
        {"45°00.00'N", false, std::nullopt},
        {"12abc", true, std::nullopt},
        {"nan", true, std::nullopt},
        {"", false, std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        const auto read = c.Latitude ? ParseLatitudeCell(c.Text) : ParseLongitudeCell(c.Text);
        ASSERT_EQ(read.has_value(), c.Value.has_value());
        if (c.Value) {
            EXPECT_NEAR(*read, *c.Value, 1e-12);
        }
    }
}

TEST(RouteTable, RefilledListFindsItsSelectionAgain)
{
    TChartDesk desk;
    auto *r1 = desk.Routes.Add(std::make_unique<TChtRoute>());
    auto *r2 = desk.Routes.Add(std::make_unique<TChtRoute>());
    auto *t1 = desk.Tracks.Add(std::make_unique<TChtTrack>());
    auto *t2 = desk.Tracks.Add(std::make_unique<TChtTrack>());
    r1->Visible = false;
    r2->Visible = false;
    t1->Visible = false;
    const auto entries = RouteListEntries(desk);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(entries[0].Object, r1);
    EXPECT_FALSE(entries[1].Track);
    EXPECT_EQ(entries[2].Object, t1);
    EXPECT_TRUE(entries[3].Track);

    struct TCase
    {
        const char *Name;
        bool WasEmpty;
        const TChtRoute *Previous;
        int PreviousRow;
        int Expected;
    };

    const TChtRoute gone;
    const TCase cases[] = {
        // With no route visible, the first visible track (the Part's edge case).
        {"empty before: first visible entry", true, nullptr, -1, 3},
        {"found again by its object", false, t1, 0, 2},
        {"object gone: the same row", false, &gone, 1, 1},
        {"object gone, row past the list", false, &gone, 4, -1},
        {"nothing was selected", false, nullptr, -1, -1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RouteListSelection(entries, c.WasEmpty, c.Previous, c.PreviousRow), c.Expected);
    }
    EXPECT_EQ(RouteListSelection({}, true, nullptr, -1), -1);
    t2->Visible = false;
    EXPECT_EQ(RouteListSelection(RouteListEntries(desk), true, nullptr, -1), -1);

    EXPECT_TRUE(IsListedRouteOrTrack(desk, r2));
    EXPECT_TRUE(IsListedRouteOrTrack(desk, t2));
    EXPECT_FALSE(IsListedRouteOrTrack(desk, desk.CurrentRoute()));
    EXPECT_FALSE(IsListedRouteOrTrack(desk, &gone));
    EXPECT_FALSE(IsListedRouteOrTrack(desk, nullptr));
}

TEST(RouteTable, PrintedColumnsAreCutOrPadded)
{
    struct TCase
    {
        const char *Text;
        std::size_t Width;
        const char *Fitted;
    };

    // Widths count characters: "°" is two bytes but one character.
    const TCase cases[] = {
        {"Lat", 12, "Lat         "},
        {"45°30.00'N", 12, "45°30.00'N  "},
        {"A very long point name", 20, "A very long point .."},
        {"exactly twenty chars", 20, "exactly twenty chars"},
        {"", 3, "   "},
        {"12345", 3, "1.."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(FitColumn(c.Text, c.Width), c.Fitted);
    }
    // "#" is as wide as the largest row number plus one, at least 3.
    EXPECT_EQ(PrintColumnWidths(5)[0], 3u);
    EXPECT_EQ(PrintColumnWidths(99)[0], 3u);
    EXPECT_EQ(PrintColumnWidths(100)[0], 4u);
    EXPECT_EQ(PrintColumnWidths(36000)[0], 6u);
    EXPECT_EQ(PrintColumnWidths(1)[6], 20u);
}

// The text followed by blanks up to `width` characters; `chars` is its length in characters
// when that differs from its bytes ("°").
std::string Pad(const std::string &text, std::size_t width, std::size_t chars = 0)
{
    return text + std::string(width - (chars ? chars : text.size()), ' ');
}

TEST(RouteTable, PrintedTableOfARoute)
{
    auto routeOwner = RouteOf({{10, 20}, {11, 20}});
    TChtRoute &route = *routeOwner;
    route.Name = "Home";
    route.Points[1].Name = "Landfall";
    const auto lines = RouteTablePrintLines(route, false);
    // Laid out by hand from the printing rules: a blank, then the cells at widths 3, 12, 12, 6,
    // 9, 20 and 20.
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"", ""},
        {"", ""},
        {"  Route: Home ", " 2 points    60.0NM"},
        {"", ""},
        {"",
            " " + Pad("#", 3) + Pad("Lat", 12) + Pad("Lon", 12) + Pad("Cog", 6) + Pad("Rng [NM]", 9)
                + Pad("Text", 20) + Pad("Date/Time", 20)},
        {"",
            " " + Pad("1", 3) + Pad("10°00.00'N", 12, 10) + Pad("20°00.00'W", 12, 10)
                + Pad("  0°", 6, 4) + Pad(" 60.00 ", 9) + Pad("", 20) + Pad("", 20)},
        {"",
            " " + Pad("2", 3) + Pad("11°00.00'N", 12, 10) + Pad("20°00.00'W", 12, 10) + Pad("", 6)
                + Pad("", 9) + Pad("Landfall", 20) + Pad("", 20)},
    };
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(lines[i].Bold, expected[i].first);
        EXPECT_EQ(lines[i].Text, expected[i].second);
    }
    EXPECT_EQ(RouteTablePrintLines(route, true)[2].Bold, "  Track: Home ");
}

} // namespace
} // namespace vrn
