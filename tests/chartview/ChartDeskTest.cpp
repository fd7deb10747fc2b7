// The chart view's window-free logic: tool geometry and texts, zoom and drag on a scale, and the
// lists it owns (naming, finishing, selecting, deleting, hit tests, track times, chart loading).

#include "charts/ChartDesk.h"

#include "charts/ChartTools.h"
#include "engine/VrnError.h"
#include "tests/charts/RecordingSurface.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vrn {
namespace {

using test::TRecordingSurface;

// The view of the scale's worked example: centre 45N 10W, 10 degrees wide on 600 x 300 pixels,
// so 60 pixels per degree of longitude and 84.85 per degree of latitude; x 0 is 15W.
void SetWorkedView(TChartSurface &s)
{
    s.Escala.SetView(45, 10, 10);
}

TEST(SnapLine, HoldsTheLineAtZeroFortyFiveOrNinetyDegrees)
{
    struct TCase
    {
        const char *Name;
        TScreenPoint End;
        TScreenPoint Expected;
    };

    // Start (100, 100). The first two rows are the worked examples of the measuring tool;
    // the diagonals follow from the rule by hand (dy < dx, signed, keeps the end's column).
    const TCase cases[] = {
        {"slope 0.5 is horizontal", {200, 150}, {200, 100}},
        {"slope 2.8 is vertical", {150, 240}, {100, 240}},
        {"slope 0.8 down-right is a diagonal", {200, 180}, {200, 200}},
        {"slope 0.8 up-left is a diagonal", {0, 20}, {20, 20}},
        {"slope 0.8 down-left is a diagonal", {0, 180}, {20, 180}},
        {"slope 0.8 up-right is a diagonal", {200, 20}, {200, 0}},
        {"slope 0.58 is already a diagonal", {200, 158}, {200, 200}},
        {"slope 1.73 is vertical", {200, 273}, {100, 273}},
        {"a vertical mouse path is kept", {100, 300}, {100, 300}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(SnapLine({100, 100}, c.End), c.Expected);
    }
}

TEST(MeasureText, GivesCourseAndGreatCircleRange)
{
    struct TCase
    {
        const char *Name;
        double Lat1, Lon1, Lat2, Lon2;
        const char *Expected;
    };

    // Ranges: one minute of arc is one nautical mile; the 45N case is the spherical law of
    // cosines computed independently (89.646 deg, 42.426 NM).
    const TCase cases[] = {
        {"one degree east along the equator", 0, 0, 0, -1, "COG= 90°  Rng= 60.00 NM"},
        {"one degree north", 0, 0, 1, 0, "COG=  0°  Rng= 60.00 NM"},
        {"one degree west at 45N", 45, 10, 45, 11, "COG=270°  Rng= 42.43 NM"},
        {"one degree east at 45N", 45, 10, 45, 9, "COG= 90°  Rng= 42.43 NM"},
        {"to the pole the formula has no course", 10, 0, 90, 0, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(MeasureText(c.Lat1, c.Lon1, c.Lat2, c.Lon2), c.Expected);
    }
}

TEST(CursorPositionText, WritesLatitudeAndWestPositiveLongitude)
{
    struct TCase
    {
        const char *Name;
        double Lat, Lon;
        const char *Expected;
    };

    const TCase cases[] = {
        {"north and west", 45 + 7.25 / 60, 12.5, "45°07.25'N 12°30.00'W"},
        {"south and east", -33.5, -18.25, "33°30.00'S 18°15.00'E"},
        {"past the antimeridian westwards", 10, 190, "10°00.00'N 170°00.00'E"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(CursorPositionText(c.Lat, c.Lon), c.Expected);
    }
}

TEST(PlaceMeasureLabel, KeepsTheLabelInsideTheControl)
{
    struct TCase
    {
        const char *Name;
        int X, Y;
        TScreenPoint Expected;
    };

    // A 100 x 20 label on a 600 pixel wide control.
    const TCase cases[] = {
        {"right of and above the cursor", 200, 100, {205, 75}},
        {"left of the cursor near the right edge", 495, 100, {390, 75}},
        {"just clear of the right edge", 494, 100, {499, 75}},
        {"below the cursor near the top", 200, 10, {205, 15}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(PlaceMeasureLabel(c.X, c.Y, 100, 20, 600), c.Expected);
    }
}

TEST(ZoomAtPixel, CentresOnTheClickAndStopsAtTheLimits)
{
    struct TCase
    {
        const char *Name;
        double Span;
        int X, Y;
        bool Out;
        bool Changed;
        double NewSpan, LatC, LonC;
    };

    // Clicked positions from the worked view: x 0 is 15W, y 150 is 45N (with span 10).
    const TCase cases[] = {
        {"zoom in at the left edge", 10, 0, 150, false, true, 10 / 1.5, 45, 15},
        {"zoom out at the centre", 10, 300, 150, true, true, 15, 45, 10},
        {"no zoom in at 0.05", 0.05, 300, 150, false, false, 0.05, 45, 10},
        {"no zoom out at 350", 350, 300, 150, true, false, 350, 45, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingSurface s(600, 300);
        s.Escala.SetView(45, 10, c.Span);
        const auto centre = ZoomAtPixel(s.Escala, c.X, c.Y, c.Out);
        EXPECT_EQ(centre.has_value(), c.Changed);
        EXPECT_NEAR(s.Escala.LonSpan, c.NewSpan, 1e-12);
        EXPECT_NEAR(s.Escala.LatC, c.LatC, 1e-9);
        EXPECT_NEAR(s.Escala.LonC, c.LonC, 1e-9);
    }
}

TEST(ZoomAtPixel, RefusesAScaleWithoutAView)
{
    TRecordingSurface s(600, 300);
    EXPECT_FALSE(ZoomAtPixel(s.Escala, 10, 10, false));
    EXPECT_EQ(s.Escala.LonSpan, 0);
}

TEST(ZoomKeepingPixel, KeepsThePositionUnderTheCursor)
{
    struct TCase
    {
        const char *Name;
        int X, Y;
        bool Out;
    };

    const TCase cases[] = {
        {"in at the top left", 20, 30, false},
        {"out at the bottom right", 580, 290, true},
        {"in at the centre", 300, 150, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingSurface s(600, 300);
        SetWorkedView(s);
        double lat0 = 0, lon0 = 0, lat1 = 0, lon1 = 0;
        s.Escala.Screen2World(c.X, c.Y, lat0, lon0);
        ASSERT_TRUE(ZoomKeepingPixel(s.Escala, c.X, c.Y, c.Out));
        EXPECT_NEAR(s.Escala.LonSpan, c.Out ? 15 : 10 / 1.5, 1e-12);
        s.Escala.Screen2World(c.X, c.Y, lat1, lon1);
        // Navigator tolerance: a hundredth of a minute.
        EXPECT_NEAR(lat1, lat0, 0.01 / 60);
        EXPECT_NEAR(lon1, lon0, 0.01 / 60);
    }
}

TEST(DragView, ThePictureFollowsTheHand)
{
    struct TCase
    {
        const char *Name;
        int Dx, Dy;
        double LatC, LonC;
    };

    // 60 pixels are 1 degree of longitude; 300 pixels of height are the whole LatSpan
    // (cos 45 * 10 * 0.5 = 3.5355 deg), so 30 pixels are 0.35355 deg.
    const TCase cases[] = {
        {"60 pixels right moves the view 1 degree west", 60, 0, 45, 11},
        {"60 pixels left moves it east", -60, 0, 45, 9},
        {"30 pixels down moves it north", 0, 30, 45 + 0.353553, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TRecordingSurface s(600, 300);
        SetWorkedView(s);
        EXPECT_TRUE(DragView(s.Escala, c.Dx, c.Dy));
        EXPECT_NEAR(s.Escala.LatC, c.LatC, 1e-6);
        EXPECT_NEAR(s.Escala.LonC, c.LonC, 1e-9);
    }
    TRecordingSurface s(600, 300);
    SetWorkedView(s);
    EXPECT_FALSE(DragView(s.Escala, 0, 0));
}

TEST(PanByQuarters, MovesAQuarterOfTheView)
{
    TRecordingSurface s(600, 300);
    SetWorkedView(s);
    ASSERT_TRUE(PanByQuarters(s.Escala, 1, 0));
    EXPECT_NEAR(s.Escala.LonC, 12.5, 1e-12);
    ASSERT_TRUE(PanByQuarters(s.Escala, 0, -1));
    EXPECT_NEAR(s.Escala.LatC, 45 - 3.535534 / 4, 1e-6);
}

// ---- The desk ---------------------------------------------------------------------------

std::unique_ptr<TChtRoute> NamedRoute(const std::string &name)
{
    auto r = std::make_unique<TChtRoute>();
    r->Name = name;
    return r;
}

std::unique_ptr<TChtTrack> NamedTrack(const std::string &name)
{
    auto t = std::make_unique<TChtTrack>();
    t->Name = name;
    return t;
}

TEST(ChartDesk, NextNamesTakeTheSmallestFreeNumber)
{
    struct TCase
    {
        const char *Name;
        std::vector<std::string> Listed;
        const char *Expected;
    };

    const TCase cases[] = {
        {"empty desk", {}, "Route1"},
        {"Route1 and Route3 listed", {"Route1", "Route3"}, "Route2"},
        {"names compare case-sensitively", {"route1", "ROUTE1"}, "Route1"},
        {"a name with a blank is another name", {"Route1 ", "Route1"}, "Route2"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChartDesk desk;
        // The same names for tracks, with "Track" in place of "Route" in the same letter case.
        auto asTrack = [](std::string n) {
            const std::string stem = n.substr(0, 5);
            n.replace(0, 5, stem == "Route" ? "Track" : stem == "route" ? "track" : "TRACK");
            return n;
        };
        for (const auto &n : c.Listed) {
            desk.Routes.Add(NamedRoute(n));
            desk.Tracks.Add(NamedTrack(asTrack(n)));
        }
        EXPECT_EQ(desk.NextRouteName(), c.Expected);
        EXPECT_EQ(desk.NextTrackName(), asTrack(c.Expected));
    }
}

TEST(ChartDesk, FinishingNamesListsOrDropsTheRoute)
{
    struct TCase
    {
        const char *Name;
        int Points;
        std::optional<std::string> Answer;
        bool Asked;
        bool Listed;
        const char *NextCurrent;
    };

    const TCase cases[] = {
        {"named route is listed", 2, "Passage", true, true, "Route1"},
        {"cancel drops the route", 2, std::nullopt, true, false, "Route1"},
        {"an empty route is dropped without asking", 0, "Unused", false, false, "Route1"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChartDesk desk;
        for (int i = 0; i < c.Points; ++i)
            desk.AddCurrentRoutePoint(10 + i, 20);
        int asked = 0;
        std::string prompt, initial;
        const auto result = desk.FinishRoute([&](const std::string &p, const std::string &i) {
            ++asked;
            prompt = p;
            initial = i;
            return c.Answer;
        });
        EXPECT_EQ(asked > 0, c.Asked);
        if (c.Asked) {
            EXPECT_EQ(prompt, "Enter Name for new route or Cancel to drop");
            EXPECT_EQ(initial, "Route1");
        }
        EXPECT_EQ(desk.Routes.Count(), c.Listed ? 1u : 0u);
        EXPECT_EQ(result.Added != nullptr, c.Listed);
        EXPECT_EQ(desk.RoutesModified, c.Listed);
        if (c.Listed) {
            EXPECT_EQ(desk.Routes[0]->Name, *c.Answer);
        }
        EXPECT_EQ(desk.CurrentRoute()->Name, c.NextCurrent);
        EXPECT_EQ(desk.CurrentRoute()->PointCount(), 0u);
        EXPECT_FALSE(desk.IsRouteListed(desk.CurrentRoute()));
    }
}

TEST(ChartDesk, FinishingAListedCurrentTrackLeavesItListed)
{
    TChartDesk desk;
    TChtTrack *listed = desk.Tracks.Add(NamedTrack("Track1"));
    TFinishResult<TChtTrack> finished;
    ASSERT_TRUE(desk.SelectTrack(listed, nullptr, nullptr, finished));
    EXPECT_TRUE(desk.AddCurrentTrackPoint(1, 2, 45000.5)); // listed: the desk changed
    EXPECT_TRUE(desk.TracksModified);
    int asked = 0;
    desk.FinishTrack([&](const std::string &, const std::string &) {
        ++asked;
        return std::optional<std::string>("x");
    });
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(desk.Tracks.Count(), 1u);
    EXPECT_EQ(desk.CurrentTrack()->Name, "Track2");
    EXPECT_EQ(listed->PointCount(), 1u);
}

TEST(ChartDesk, SelectingAsksToSaveAnUnlistedRouteWithPoints)
{
    struct TCase
    {
        const char *Name;
        int Points;
        bool Save;
        std::size_t Listed;
        bool Asked;
    };

    const TCase cases[] = {
        {"Yes names and lists it", 1, true, 2, true},
        {"No drops it", 1, false, 1, true},
        {"an empty one is dropped without asking", 0, true, 1, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChartDesk desk;
        TChtRoute *target = desk.Routes.Add(NamedRoute("Coast"));
        for (int i = 0; i < c.Points; ++i)
            desk.AddCurrentRoutePoint(1, 1);
        std::string question;
        TFinishResult<TChtRoute> finished;
        EXPECT_TRUE(desk.SelectRoute(
            target,
            [&](const std::string &q) {
                question = q;
                return c.Save;
            },
            [](const std::string &, const std::string &) {
                return std::optional<std::string>("Saved");
            },
            finished));
        EXPECT_EQ(!question.empty(), c.Asked);
        if (c.Asked) {
            EXPECT_EQ(question, "Save current route before selecting Coast ?");
        }
        EXPECT_EQ(desk.Routes.Count(), c.Listed);
        EXPECT_EQ(desk.CurrentRoute(), target);
        EXPECT_EQ(finished.Added != nullptr, c.Listed == 2);
    }
}

TEST(ChartDesk, SelectingIgnoresTheCurrentAndUnlistedRoutes)
{
    TChartDesk desk;
    TFinishResult<TChtRoute> finished;
    EXPECT_FALSE(desk.SelectRoute(desk.CurrentRoute(), nullptr, nullptr, finished));
    TChtRoute stray;
    EXPECT_FALSE(desk.SelectRoute(&stray, nullptr, nullptr, finished));
}

TEST(ChartDesk, DeletingAndClearingAlwaysLeaveACurrentRoute)
{
    TChartDesk desk;
    TChtRoute *r1 = desk.Routes.Add(NamedRoute("Route1"));
    desk.Routes.Add(NamedRoute("Route2"));
    TFinishResult<TChtRoute> finished;
    ASSERT_TRUE(desk.SelectRoute(r1, nullptr, nullptr, finished));

    EXPECT_TRUE(desk.DeleteRoute(r1));
    EXPECT_TRUE(desk.RoutesModified);
    EXPECT_EQ(desk.Routes.Count(), 1u);
    ASSERT_NE(desk.CurrentRoute(), nullptr);
    EXPECT_EQ(desk.CurrentRoute()->Name, "Route1"); // freed name is free again
    EXPECT_FALSE(desk.DeleteRoute(nullptr));
    TChtRoute stray;
    EXPECT_FALSE(desk.DeleteRoute(&stray));

    desk.RoutesModified = false;
    desk.AddCurrentRoutePoint(1, 1);
    EXPECT_TRUE(desk.ClearRoutes());
    EXPECT_TRUE(desk.RoutesModified);
    EXPECT_TRUE(desk.Routes.Empty());
    ASSERT_NE(desk.CurrentRoute(), nullptr);
    EXPECT_EQ(desk.CurrentRoute()->PointCount(), 0u);

    desk.RoutesModified = false;
    EXPECT_FALSE(desk.ClearRoutes()); // nothing listed: the desk did not change
    EXPECT_FALSE(desk.RoutesModified);

    TChtTrack *t = desk.Tracks.Add(NamedTrack("Track1"));
    TFinishResult<TChtTrack> finishedTrack;
    ASSERT_TRUE(desk.SelectTrack(t, nullptr, nullptr, finishedTrack));
    EXPECT_TRUE(desk.ClearTracks());
    ASSERT_NE(desk.CurrentTrack(), nullptr);
    EXPECT_EQ(desk.CurrentTrack()->Name, "Track1");
    EXPECT_FALSE(desk.IsTrackListed(desk.CurrentTrack()));
}

TEST(ChartDesk, TrackPointsGoOnlyToListedOrCurrentTracks)
{
    TChartDesk desk;
    TChtTrack *listed = desk.Tracks.Add(NamedTrack("Gps"));
    TChtTrack stray;

    struct TCase
    {
        const char *Name;
        TChtTrack *Track;
        bool Accepted;
    };

    const TCase cases[] = {
        {"listed track", listed, true},
        {"current track", desk.CurrentTrack(), true},
        {"a track of no list", &stray, false},
        {"no track", nullptr, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        desk.TracksModified = false;
        if (c.Accepted) {
            desk.AddTrackPoint(c.Track, "fix", 50, 1, 45000.25);
            EXPECT_TRUE(desk.TracksModified);
            EXPECT_EQ(c.Track->LastPoint()->Name, "fix");
            EXPECT_EQ(c.Track->LastPoint()->Time, 45000.25);
        } else {
            try {
                desk.AddTrackPoint(c.Track, "fix", 50, 1, 45000.25);
                ADD_FAILURE() << "no error";
            } catch (const EVrnError &e) {
                EXPECT_STREQ(e.what(), "invalid Track.");
            }
            EXPECT_FALSE(desk.TracksModified);
        }
    }
}

// A mark at the view centre, a route with a named point 2 pixels right of it and an unnamed one
// far away, and two polygons of a vector chart.
struct THitScene
{
    TRecordingSurface Surface {600, 300};
    TChartDesk Desk;
    TChtURLObject *Mark = nullptr;
    TChtRoute *Route = nullptr;

    THitScene()
    {
        SetWorkedView(Surface);
        Mark = static_cast<TChtURLObject *>(Desk.OtherObjects.Add(
            std::make_unique<TChtURLObject>("", "HAND", "Buoy", 0.1, 45, 10)));
        auto route = NamedRoute("Passage");
        route->AddPoint("WP1", 45, 10 - 2.0 / 60, 0); // 2 pixels east of the mark
        route->AddPoint("", 44, 8, 0); // x 420, y 235
        Route = Desk.Routes.Add(std::move(route));
        Desk.ChartObjects = std::make_unique<TObjList>();
        auto island = std::make_unique<TChtPolygon>();
        island->Name = "Island";
        island->AddPoint("", 46, 13, 0); // box centre 46N 12.5W: x 150, y 65
        island->AddPoint("", 46, 12, 0);
        Desk.ChartObjects->Add(std::move(island));
        auto cape = std::make_unique<TChtPolygon>();
        cape->Name = "Cape";
        cape->AddPoint("Cape Light", 44.5, 6, 0); // x 540, y 192
        cape->AddPoint("", 44.5, 5.5, 0);
        Desk.ChartObjects->Add(std::move(cape));
        Desk.DrawListed(Surface, true);
    }
};

TEST(ChartDesk, FindObjectAtPrefersMarksThenRoutesThenChartObjects)
{
    struct TCase
    {
        const char *Name;
        int X, Y;
        const char *Object; // "" for nothing
        const char *Point; // "" for no point
    };

    // Pixels from the worked view: 60 px per degree of longitude, 84.85 per degree of latitude.
    const TCase cases[] = {
        {"a mark within 10 pixels beats a named route point 2 pixels away", 302, 150, "Buoy", ""},
        {"the mark at its limit of 10 pixels", 306, 154, "Buoy", ""},
        {"an unnamed route point gives the route", 421, 236, "Passage", ""},
        {"a named chart point ends the search", 541, 192, "Cape", "Cape Light"},
        {"a chart object by its box centre", 153, 69, "Island", ""},
        {"the centre at 10 pixels is too far", 155, 70, "", ""},
        {"open sea", 50, 250, "", ""},
    };
    THitScene scene;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TChartHit hit = scene.Desk.FindObjectAt(scene.Surface, c.X, c.Y);
        EXPECT_EQ(hit.Object ? hit.Object->Name : std::string(), c.Object);
        EXPECT_EQ(hit.Point ? hit.Point->Name : std::string(), c.Point);
    }
}

TEST(ChartDesk, FindObjectAtSeesOnlyWhatIsShown)
{
    THitScene scene;
    // Without the mark the named route point 2 pixels away is found.
    scene.Desk.OtherObjects.FreeAll();
    TChartHit hit = scene.Desk.FindObjectAt(scene.Surface, 302, 150);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit.Object, scene.Route);
    ASSERT_NE(hit.Point, nullptr);
    EXPECT_EQ(hit.Point->Name, "WP1");
    // A hidden route is not hit.
    scene.Route->Visible = false;
    EXPECT_FALSE(scene.Desk.FindObjectAt(scene.Surface, 302, 150));
    // A mark whose last drawn position is under the cursor but which is now out of view.
    scene.Desk.OtherObjects.Add(std::make_unique<TChtURLObject>("", "HAND", "Far", 0.1, 45, 10));
    scene.Desk.DrawListed(scene.Surface, true);
    scene.Surface.Escala.SetView(45, 100, 10);
    EXPECT_FALSE(scene.Desk.FindObjectAt(scene.Surface, 300, 150));
}

TEST(ChartDesk, TrackTimesIgnoreHiddenTracksAndUntimedStarts)
{
    TChartDesk desk;
    auto add = [&](const char *name, double first, double last, bool visible) {
        auto t = NamedTrack(name);
        t->AddPoint("", 1, 1, first);
        t->AddPoint("", 1, 2, last);
        t->Visible = visible;
        desk.Tracks.Add(std::move(t));
    };
    EXPECT_EQ(desk.TrackTimeInicial(), 0);
    EXPECT_EQ(desk.TrackTimeFinal(), 0);
    add("untimed start", 0, 45000.9, true);
    add("hidden", 44000, 46000, false);
    add("shown", 45000.2, 45000.5, true);
    EXPECT_EQ(desk.TrackTimeInicial(), 45000.2);
    EXPECT_EQ(desk.TrackTimeFinal(), 45000.9);
}

TEST(ChartDesk, OneGpsTrackAtATime)
{
    TChartDesk desk;
    TChtTrack *a = desk.Tracks.Add(NamedTrack("A"));
    TChtTrack *b = desk.Tracks.Add(NamedTrack("B"));
    EXPECT_EQ(desk.GpsTrack(), nullptr);
    EXPECT_TRUE(desk.SetGpsTrack(b));
    EXPECT_TRUE(desk.TracksModified);
    EXPECT_EQ(desk.GpsTrack(), b);
    EXPECT_TRUE(desk.SetGpsTrack(a));
    EXPECT_FALSE(b->GpsTrack);
    EXPECT_FALSE(desk.SetGpsTrack(a));
    EXPECT_TRUE(desk.SetGpsTrack(nullptr));
    EXPECT_EQ(desk.GpsTrack(), nullptr);
}

class ChartDeskFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FDir = std::filesystem::temp_directory_path()
            / ("vrn-chartdesk-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed())
                + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(FDir);
    }

    void TearDown() override { std::filesystem::remove_all(FDir); }

    std::string Write(const std::string &name, const std::string &text)
    {
        const auto path = FDir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::filesystem::path FDir;
};

TEST_F(ChartDeskFiles, LoadChartReplacesOrMergesAndKeepsTheChartOnErrors)
{
    const std::string first = Write("a.cht",
        "O;Polygon;A1\r\nP;1;1\r\nP;2;2\r\nO;Polygon;A2\r\nA;Color=$000000FF\r\nP;3;3\r\n"
        "O;Chart;x.cht;1;2;3\r\n");
    const std::string second = Write("b.cht", "O;Polygon;B1\nP;1;1\nO;Polygon;B2\nP;5;5\nP;6;6\n");
    const std::string broken = Write("c.cht", "O;Polygon;C1\nP;1;1\nP;north;1\n");
    TChartDesk desk;
    EXPECT_EQ(desk.ChartObjectCount(), 0u);
    desk.LoadChart(first, false, 0x111111, 0x222222);
    EXPECT_EQ(desk.ChartFileName, first);
    ASSERT_EQ(desk.ChartObjectCount(), 2u); // the chart reference is not an object
    EXPECT_EQ(desk.ChartPointCount(), 3u);
    const auto *a1 = static_cast<TChtPolygon *>((*desk.ChartObjects)[0]);
    const auto *a2 = static_cast<TChtPolygon *>((*desk.ChartObjects)[1]);
    EXPECT_EQ(a1->BGColor, 0x111111u); // default colours follow the view
    EXPECT_EQ(a1->Color, 0x222222u);
    EXPECT_EQ(a2->Color, 0x0000FFu); // its own colour stays

    EXPECT_TRUE(desk.IsModified()); // opening a chart changes the desktop
    desk.ChartModified = false;
    desk.LoadChart(second, true, 0x111111, 0x222222);
    EXPECT_TRUE(desk.IsModified());
    EXPECT_EQ(desk.ChartFileName, first); // a merge goes into the open chart
    ASSERT_EQ(desk.ChartObjectCount(), 4u);
    // Merged objects follow the open ones in reverse file order.
    EXPECT_EQ((*desk.ChartObjects)[2]->Name, "B2");
    EXPECT_EQ((*desk.ChartObjects)[3]->Name, "B1");
    EXPECT_EQ(desk.ChartPointCount(), 6u);

    struct TCase
    {
        const char *Name;
        std::string File;
        std::string Message;
    };

    const TCase cases[] = {
        {"missing file", (FDir / "none.cht").string(),
            "File " + (FDir / "none.cht").string() + " not found"},
        {"bad point", broken, "Error in line 3: invalid point format."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            desk.LoadChart(c.File, false, 0, 0);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
        EXPECT_EQ(desk.ChartObjectCount(), 4u);
        EXPECT_EQ(desk.ChartFileName, first);
    }

    desk.LoadChart(second, false, 0, 0);
    EXPECT_EQ(desk.ChartFileName, second);
    EXPECT_EQ(desk.ChartObjectCount(), 2u);
    EXPECT_EQ((*desk.ChartObjects)[0]->Name, "B1");
}

TEST(ChartDesk, ChartExtentShowsTheWholeChart)
{
    TChartDesk desk;
    EXPECT_FALSE(desk.ChartExtent(600, 300));
    desk.ChartObjects = std::make_unique<TObjList>();
    auto wide = std::make_unique<TChtPolygon>();
    wide->AddPoint("", 10, 20, 0);
    wide->AddPoint("", 12, 0, 0);
    desk.ChartObjects->Add(std::move(wide));
    // 20 degrees wide and 2 high: the width decides, plus 5%.
    auto v = desk.ChartExtent(600, 300);
    ASSERT_TRUE(v);
    EXPECT_NEAR(v->LatC, 11, 1e-12);
    EXPECT_NEAR(v->LonC, 10, 1e-12);
    EXPECT_NEAR(v->LonSpan, 21, 1e-12);
    auto tall = std::make_unique<TChtPolygon>();
    tall->AddPoint("", -60, 10, 0);
    tall->AddPoint("", 60, 10, 0);
    desk.ChartObjects->Add(std::move(tall));
    v = desk.ChartExtent(600, 300);
    ASSERT_TRUE(v);
    // 120 degrees of latitude at LatC 0 need 240 degrees of longitude on a 2:1 surface.
    EXPECT_NEAR(v->LatC, 0, 1e-12);
    EXPECT_NEAR(v->LonSpan, 240 * 1.05, 1e-9);
}

} // namespace
} // namespace vrn
