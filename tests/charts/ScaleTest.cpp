#include "RecordingSurface.h"
#include "charts/Mercator.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace vrn {
namespace {

using test::TRecordingSurface;

TEST(Mercator, OrdinateOfKnownLatitudes)
{
    struct Case
    {
        const char *Name;
        double LatDeg;
        double Expected; // asinh(tan(lat)), computed independently with Python's math module
    };

    const Case cases[] = {
        {"equator", 0, 0},
        {"45 N", 45, 0.8813735870195429},
        {"60 S", -60, -1.3169578969248164},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(MercatorY(c.LatDeg), c.Expected, 1e-12);
    }
}

TEST(Mercator, LatitudeFromCoordinateInvertsCoordinateFromLatitude)
{
    struct Case
    {
        const char *Name;
        double C1, C2, Lat1, Lat2;
    };

    const Case cases[] = {
        {"picture rows, north at the top", 0, 4000, 52, 47},
        {"reference latitudes in the south", 100, 900, -30, -45},
        {"across the equator", 10, 20, 5, -5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        for (double lat = -80; lat <= 80; lat += 7.3) {
            const double coord = MercatorCoordFromLat(c.C1, c.C2, c.Lat1, c.Lat2, lat);
            EXPECT_NEAR(MercatorLatFromCoord(c.Lat1, c.Lat2, c.C1, c.C2, coord), lat, 1e-9);
        }
        // The reference latitudes sit exactly at their coordinates.
        EXPECT_NEAR(MercatorCoordFromLat(c.C1, c.C2, c.Lat1, c.Lat2, c.Lat1), c.C1, 1e-9);
        EXPECT_NEAR(MercatorCoordFromLat(c.C1, c.C2, c.Lat1, c.Lat2, c.Lat2), c.C2, 1e-9);
    }
}

TEST(Mercator, DegenerateReferencesFail)
{
    EXPECT_THROW(MercatorCoordFromLat(5, 5, 10, 20, 15), EMathError);
    EXPECT_THROW(MercatorCoordFromLat(0, 10, 20, 20, 15), EMathError);
    EXPECT_THROW(MercatorLatFromCoord(20, 20, 0, 10, 5), EMathError);
    EXPECT_THROW(MercatorCoordFromLat(0, 10, 90, 20, 15), EMathError);
}

TEST(EscalaCarta, ScreenSetupOfTheDocumentedExample)
{
    // View centre (45, 10), span 10, surface 600 x 300.
    TRecordingSurface s(600, 300);
    s.Escala.SetView(45, 10, 10);
    const TEscalaCarta &e = s.Escala;
    EXPECT_EQ(e.CellPixels, 30);
    EXPECT_DOUBLE_EQ(e.WidthCells, 20);
    EXPECT_DOUBLE_EQ(e.HeightCells, 10);
    EXPECT_NEAR(e.LatSpan, 3.5355339059327378, 1e-12); // cos 45 * 10 * 0.5
    EXPECT_NEAR(e.XScale, 60, 1e-12);
    EXPECT_NEAR(e.YScale, 84.8528137423857, 1e-9);
    EXPECT_EQ(e.World2Screen(45, 15).X, 0); // LonMax is the left edge
    EXPECT_EQ(e.World2Screen(45, 5).X, 600);
    EXPECT_EQ(e.World2Screen(45, 5).Y, 150);
    // East of the view: beyond the right edge, not clipped.
    EXPECT_EQ(e.World2Screen(45, 0).X, 900);
}

TEST(EscalaCarta, ScreenAndWorldRoundTripAtAnyZoom)
{
    struct Case
    {
        const char *Name;
        double LatC, LonC, Span;
        int W, H;
    };

    const Case cases[] = {
        {"world", 0, 0, 360, 1920, 1080},
        {"channel", 49.5, 2, 4, 800, 600},
        {"harbour", -33.85, -151.2, 0.05, 640, 480},
        {"near a pole", 85, 120, 30, 500, 900},
        {"date line", 10, 180, 2, 300, 300},
        {"widest", 0, 0, 525, 1000, 500},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingSurface s(c.W, c.H);
        s.Escala.SetView(c.LatC, c.LonC, c.Span);
        const TEscalaCarta &e = s.Escala;
        for (int x = 0; x <= c.W; x += c.W / 7) {
            for (int y = 0; y <= c.H; y += c.H / 5) {
                double lat = 0, lon = 0;
                e.Screen2World(x, y, lat, lon);
                const TScreenPoint p = e.World2Screen(lat, lon);
                EXPECT_EQ(p.X, x);
                EXPECT_EQ(p.Y, y);
            }
        }
        // One pixel of longitude is span/width degrees everywhere.
        double lat0, lon0, lat1, lon1;
        e.Screen2World(0, 0, lat0, lon0);
        e.Screen2World(1, 0, lat1, lon1);
        EXPECT_NEAR(lon0 - lon1, c.Span / c.W, 1e-12);
    }
}

TEST(EscalaCarta, WorldToScreenRoundsHalvesToEven)
{
    TRecordingSurface s(100, 100);
    s.Escala.SetView(0, 0, 100); // one pixel per degree of longitude, LonMax 50
    EXPECT_EQ(s.Escala.World2Screen(0, 49.5).X, 0); // 0.5 -> 0
    EXPECT_EQ(s.Escala.World2Screen(0, 48.5).X, 2); // 1.5 -> 2
    EXPECT_EQ(s.Escala.World2Screen(0, 47.5).X, 2); // 2.5 -> 2
}

TEST(EscalaCarta, ZoomLimits)
{
    struct Case
    {
        const char *Name;
        bool In;
        double Span;
        bool Changed;
        double After;
    };

    const Case cases[] = {
        {"in at the limit", true, 0.05, false, 0.05},
        {"in one step above it", true, 0.06, true, 0.04},
        {"out below the limit", false, 349, true, 523.5},
        {"out at the limit", false, 350, false, 350},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingSurface s(600, 300);
        s.Escala.SetView(0, 0, c.Span);
        EXPECT_EQ(c.In ? s.Escala.ZoomIn() : s.Escala.ZoomOut(), c.Changed);
        EXPECT_NEAR(s.Escala.LonSpan, c.After, 1e-12);
    }
}

TEST(EscalaCarta, ViewNearAPoleIsHeldAt89OnItsSide)
{
    const std::pair<double, double> cases[] = {
        {90, 89}, {-90, -89}, {123, 89}, {89.5, 89}, {-89.9, -89}, {88.5, 88.5}, {-89, -89}};
    for (const auto &[lat, held] : cases) {
        SCOPED_TRACE(lat);
        TRecordingSurface s(600, 300);
        s.Escala.SetView(lat, 0, 10);
        EXPECT_EQ(s.Escala.LatC, held);
        EXPECT_GT(s.Escala.LatSpan, 0);
    }
}

TEST(EscalaCarta, EmptySurfaceKeepsThePreviousScale)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(45, 10, 10);
    TRecordingSurface empty(0, 300);
    s.Escala.SetOwner(&empty);
    s.Escala.SetView(0, 0, 20);
    EXPECT_NEAR(s.Escala.XScale, 60, 1e-12);
    EXPECT_EQ(s.Escala.PixelsToDegrees(10, 10).DLon, 0);
    s.Escala.SetOwner(&s);
    s.Escala.SetView(0, 0, -5); // a span that is not positive is refused as well
    EXPECT_NEAR(s.Escala.XScale, 60, 1e-12);
    EXPECT_EQ(s.Escala.LonSpan, 20);
}

TEST(EscalaCarta, DraggingSixtyPixelsMovesTheViewOneDegree)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(45, 10, 10);
    const TWorldOffset d = s.Escala.PixelsToDegrees(60, 0);
    s.Escala.Pan(d.DLat, d.DLon);
    EXPECT_NEAR(s.Escala.LonC, 11, 1e-12); // one degree west
}

TEST(EscalaCarta, GridLinesAndLabelsFollowTheSpan)
{
    struct Case
    {
        const char *Name;
        double LatC, LonC, Span;
        int Meridians; // full-height lines
        std::vector<std::string> SomeLabels;
        std::vector<std::string> NoLabels;
    };

    const Case cases[] = {
        // Span 4: half-degree lines, whole-degree labels (lon 8..12 with a line every 0.5).
        {"span 4", 45, 10, 4, 12, {"10°W", "11°W", " 45°N"}, {"10.5°W"}},
        // Span 20: meridians and labels every 5 degrees (-20..0), ticks every 0.5 and 1.
        {"span 20", 0, -10, 20, 5, {"5°E", "10°E", "15°E", "  0°N", "  5°S"}, {"11°E", "  1°N"}},
        {"world", 0, 0, 360, 25, {"180°W", "0°W", "165°E", " 45°N"}, {"10°E"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingSurface s(600, 300);
        s.Escala.SetView(c.LatC, c.LonC, c.Span);
        s.DrawGrid();
        int meridians = 0;
        for (const auto &l : s.Lines)
            if (l.X1 == l.X2 && l.Y1 == 0 && l.Y2 == 300)
                ++meridians;
        EXPECT_EQ(meridians, c.Meridians);
        auto has = [&](const std::string &t) {
            return std::any_of(
                s.Texts.begin(), s.Texts.end(), [&](const auto &d) { return d.Text == t; });
        };
        for (const auto &t : c.SomeLabels)
            EXPECT_TRUE(has(t)) << t;
        for (const auto &t : c.NoLabels)
            EXPECT_FALSE(has(t)) << t;
    }
}

TEST(EscalaCarta, GridWithoutLinesStillLabels)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(45, 10, 10);
    s.Escala.ShowGrid = false;
    s.DrawGrid();
    EXPECT_TRUE(s.Lines.empty());
    EXPECT_FALSE(s.Texts.empty());
}

TEST(EscalaCarta, TickLengthsOnScreenAndPaper)
{
    for (const bool printing : {false, true}) {
        SCOPED_TRACE(printing ? "printer" : "screen");
        TRecordingSurface s(600, 300);
        s.Printing = printing;
        s.Escala.SetView(45, 10, 10);
        s.DrawGrid();
        int longest = 0, shortest = 1000;
        for (const auto &l : s.Lines) {
            const int len = std::abs(l.X2 - l.X1) + std::abs(l.Y2 - l.Y1);
            if (len < 100) {
                longest = std::max(longest, len);
                shortest = std::min(shortest, len);
            }
        }
        EXPECT_EQ(shortest, printing ? 12 : 3);
        EXPECT_EQ(longest, printing ? 24 : 6);
    }
}

TEST(ChartSurface, ClippingKeepsSegmentsStraight)
{
    // A segment from far left to far right through the middle of the surface: clipped at the
    // margin, it must still pass through the same middle point.
    TRecordingSurface s(200, 100);
    const TScreenPointF pts[] = {{-1e9, 50}, {1e9, 50}};
    s.PolylineClipped(pts);
    ASSERT_EQ(s.Polylines.size(), 1u);
    for (const auto &p : s.Polylines[0])
        EXPECT_EQ(p.Y, 50);
    // A diagonal whose ends lie far outside: the clipped piece keeps its slope of 1.
    s.Polylines.clear();
    const TScreenPointF diag[] = {{-1e6, -1e6}, {1e6, 1e6}};
    s.PolylineClipped(diag);
    ASSERT_EQ(s.Polylines.size(), 1u);
    for (const auto &p : s.Polylines[0])
        EXPECT_EQ(p.X, p.Y);
    // Wholly outside: nothing.
    s.Polylines.clear();
    const TScreenPointF away[] = {{-5000, -5000}, {-4000, -4000}};
    s.PolylineClipped(away);
    EXPECT_TRUE(s.Polylines.empty());
}

TEST(ChartSurface, PolygonClippedToTheMargin)
{
    TRecordingSurface s(200, 100);
    const TScreenPointF big[] = {{-1e7, -1e7}, {1e7, -1e7}, {1e7, 1e7}, {-1e7, 1e7}};
    s.PolygonClipped(big);
    ASSERT_EQ(s.Polygons.size(), 1u);
    for (const auto &p : s.Polygons[0]) {
        EXPECT_GE(p.X, -64);
        EXPECT_LE(p.X, 264);
        EXPECT_GE(p.Y, -64);
        EXPECT_LE(p.Y, 164);
    }
}

} // namespace
} // namespace vrn
