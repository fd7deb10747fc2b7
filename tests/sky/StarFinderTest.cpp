// The star finder's Qt-free parts: the constellation data and its positioning, the projection
// of the chart, the plotted items, the visible sky, the list texts and the animation steps.

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/EarthOrientation.h"
#include "engine/Trigonom.h"
#include "sky/Constelations.h"
#include "sky/HorizonPlace.h"
#include "sky/StarFinderScene.h"
#include "sky/VisibleSky.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <string>

namespace vrn {
namespace {

double Rad(double deg)
{
    return deg * std::numbers::pi / 180;
}

// The projection written independently of the code: x = cx + r·sin Z, y = cy − r·cos Z (north up,
// east right), r = (90 − h)·R/90.
TSkyChartPoint ExpectedPoint(const TSkyProjection &p, double hc, double zn)
{
    const double r = (90 - hc) * p.R / 90;
    return {int(std::lround(p.Cx + r * std::sin(Rad(zn)))),
        int(std::lround(p.Cy - r * std::cos(Rad(zn))))};
}

class TStarFinderSky : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CreateAstros(); }
};

// ---------------------------------------------------------------------------------------------
// Constellation data.

TEST(ConstellationTables, StoredFormHoldsItsRules)
{
    const auto figures = ConstellationFigureTable();
    int penUps = 0;
    for (const TStoredSkyPoint &p : figures) {
        if (p.RaMinus360 == 0.0f) {
            ++penUps;
            continue;
        }
        EXPECT_GE(p.RaMinus360, -360.0f);
        EXPECT_LT(p.RaMinus360, 0.0f);
        EXPECT_LE(std::fabs(p.Dec), 90.0f);
    }
    EXPECT_GT(penUps, 30); // a polyline at least for each named constellation
    ASSERT_FALSE(figures.empty());
    EXPECT_EQ(figures.back().RaMinus360, 0.0f); // the last polyline is closed by a pen-up

    const auto ecliptic = EclipticTable();
    ASSERT_EQ(ecliptic.size(), 37u);
    for (std::size_t i = 0; i < ecliptic.size(); ++i) {
        SCOPED_TRACE(i);
        const double ra = ecliptic[i].RaMinus360 + 360.0;
        EXPECT_NEAR(ra, 360.0 - 10.0 * double(i), 1e-4);
        // The table follows δ = ε·sin α with ε = 23.43° (the extremes ±ε at RA 90 and 270); the
        // true ecliptic, tan δ = tan ε·sin α, lies within 0.51° of it, which the dotted guide
        // line does not show.
        EXPECT_NEAR(ecliptic[i].Dec, 23.43 * std::sin(Rad(ra)), 0.006);
        EXPECT_NEAR(ecliptic[i].Dec,
            std::atan(std::tan(Rad(23.43)) * std::sin(Rad(ra))) * 180 / std::numbers::pi, 0.51);
    }

    const auto names = ConstellationNameTable();
    ASSERT_EQ(names.size(), 30u);
    EXPECT_EQ(names.front().Name, "URSA MAJOR");
    EXPECT_EQ(names.back().Name, "ANDROMEDA");
}

TEST(ConstellationPositioning, EveryPointAsTheSightReductionPlacesIt)
{
    TPosicionadorDeConstelacoes c;
    const double dt = EncodeDate(2026, 6, 21) + 22.0 / 24;
    const double lat = 38.7;
    const double lon = 9.15; // west
    c.PositionFor(dt, lat, lon);

    const double gast = SiderealTime(2026, 6, 21, 22.0).ApparentHours;
    EXPECT_NEAR(c.ApparentSiderealHours(), gast, 1e-9);
    ASSERT_TRUE(c.LastDateTime());
    EXPECT_EQ(*c.LastDateTime(), dt);

    const auto check = [&](const TPontoConstelacao &p) {
        const double gha = Normalize360(15 * gast - p.RA);
        const TAltitudeAzimuth a = ComputeAltitudeAzimuth(p.Dec, gha, lat, lon, 0);
        EXPECT_NEAR(p.Altitude, a.HcDeg, 1e-4);
        EXPECT_NEAR(p.Azimuth, a.ZnDeg, 1e-3);
    };
    int figurePoints = 0;
    for (const auto &p : c.Figures()) {
        if (p) {
            check(*p);
            ++figurePoints;
        }
    }
    EXPECT_EQ(std::size_t(figurePoints) + 102, c.Figures().size());
    for (const auto &p : c.Ecliptic())
        check(p);
    for (const auto &n : c.Names())
        check(n);
    EXPECT_EQ(c.Names()[0].Name, "URSA MAJOR");
}

// ---------------------------------------------------------------------------------------------
// Places that have no azimuth formula.

TEST(HorizonPlace, PlacesWhereTheAzimuthFormulaFails)
{
    struct TCase
    {
        const char *Name;
        double Dec, Gha, Lat, Lon;
        double Hc, Zn;
    };

    const TCase cases[] = {
        // The body at the zenith: LHA 0 and Dec = Lat make x = 0; Hc 90, drawn at the centre.
        {"zenith", 40, 30, 40, 30, 90, 270},
        // On the celestial pole: Hc = latitude, due north or south.
        {"north pole", 90, 123, 40, 0, 40, 0},
        {"south pole", -90, 123, -33, 0, 33, 180},
        // An ordinary place keeps the sight-reduction result (Hc 57.485, Zn 240.94).
        {"ordinary", 20, 30, 40, 0, 57.485, 240.94},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const THorizonPlace p = HorizonPlaceOf(c.Dec, c.Gha, c.Lat, c.Lon);
        EXPECT_NEAR(p.HcDeg, c.Hc, 0.001);
        EXPECT_NEAR(p.ZnDeg, c.Zn, 0.01);
        EXPECT_TRUE(p.AboveHorizon);
    }
}

// ---------------------------------------------------------------------------------------------
// Projection.

TEST(SkyProjection, CentreRadiusAndDirections)
{
    const TSkyProjection p = TSkyProjection::ForSize(400, 300, false);
    EXPECT_EQ(p.Cx, 200);
    EXPECT_EQ(p.Cy, 150);
    EXPECT_EQ(p.R, 146);

    struct TCase
    {
        const char *Name;
        bool Overhead;
        double Hc, Zn;
        TSkyChartPoint At;
    };

    const TCase cases[] = {
        {"zenith", false, 90, 123, {200, 150}},
        {"north on the rim", false, 0, 0, {200, 4}},
        {"east to the right", false, 0, 90, {346, 150}},
        {"south at the bottom", false, 0, 180, {200, 296}},
        {"west to the left", false, 0, 270, {54, 150}},
        {"east to the left overhead", true, 0, 90, {54, 150}},
        {"north still up overhead", true, 0, 0, {200, 4}},
        {"45° up in the south-west", false, 45, 225, {148, 202}},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        TSkyProjection q = p;
        q.Overhead = c.Overhead;
        EXPECT_EQ(q.Project(c.Hc, c.Zn), c.At);
    }
    // Tiny pictures keep a centre and radius of at least one pixel.
    const TSkyProjection tiny = TSkyProjection::ForSize(0, 3, false);
    EXPECT_EQ(tiny.Cx, 1);
    EXPECT_EQ(tiny.R, 1);
}

TEST(SkyProjection, InverseUndoesTheProjection)
{
    for (const bool overhead : {false, true}) {
        const TSkyProjection p = TSkyProjection::ForSize(1000, 1000, overhead);
        for (double hc = 0; hc < 90; hc += 15) {
            for (double zn = 0; zn < 360; zn += 30) {
                SCOPED_TRACE(testing::Message() << overhead << " " << hc << " " << zn);
                const double r = (90 - hc) * p.R / 90;
                const double th = Rad((overhead ? -zn : zn) - 90);
                const TSkyDirection d = p.Inverse(p.Cx + r * std::cos(th), p.Cy + r * std::sin(th));
                EXPECT_NEAR(d.HcDeg, hc, 1e-9);
                EXPECT_NEAR(std::fmod(d.ZnDeg + 360, 360), zn, 1e-9);
            }
        }
    }
}

TEST(SkyProjection, PrintedPageSitsAgainstTheLeftMargin)
{
    // A landscape page of 1500 × 1000 dots: m = 100, R = min(650, 400) = 400, cx = 500.
    const TSkyProjection p = TSkyProjection::ForPage(1500, 1000);
    EXPECT_EQ(p.R, 400);
    EXPECT_EQ(p.Cx, 500);
    EXPECT_EQ(p.Cy, 500);
}

// ---------------------------------------------------------------------------------------------
// Plotted items.

TIconSizes SomeIconSizes()
{
    TIconSizes s {};
    s[kIconSun] = {15, 15};
    s[kIconBrightStar] = {9, 9};
    s[kIconFaintStar] = {7, 7};
    return s;
}

TEST(StarFinderScene, BodiesOnTheRimAtTheCentreAndTheirRectangles)
{
    TStarFinderScene scene;
    scene.AddBody("Zenith", kIconBrightStar, 90, 10, 0, 0);
    scene.AddBody("Horizon east", kIconFaintStar, 0, 90, 0, 0);
    scene.AddBody("No icon", kNoIcon, 30, 200, 0, 0);
    const TSkyProjection p = TSkyProjection::ForSize(200, 200, false);
    scene.Layout(p, SomeIconSizes());
    const auto &b = scene.Bodies();
    EXPECT_EQ(b[0].Center, (TSkyChartPoint {100, 100}));
    EXPECT_EQ(b[0].Rect, (TSkyChartRect {96, 96, 9, 9}));
    EXPECT_EQ(b[1].Center, (TSkyChartPoint {196, 100}));
    EXPECT_EQ(b[1].Rect, (TSkyChartRect {193, 97, 7, 7}));
    EXPECT_EQ(b[2].Rect.Width, 0);
    EXPECT_EQ(scene.BodyAt(100, 100), &b[0]);
    EXPECT_EQ(scene.BodyAt(b[2].Center.X, b[2].Center.Y), nullptr);
}

TEST(StarFinderScene, SelectionIsANameThatSurvivesRebuilds)
{
    TStarFinderScene scene;
    scene.AddBody("Vega", kIconBrightStar, 40, 60, 0, 0);
    ASSERT_NE(scene.Select("vEGA"), nullptr);
    EXPECT_EQ(scene.SelectedName(), "Vega");

    scene.Clear();
    EXPECT_EQ(scene.SelectedName(), "Vega");
    EXPECT_EQ(scene.SelectedBody(), nullptr); // not plotted for now: no blinking
    scene.AddBody("Deneb", kIconBrightStar, 30, 50, 0, 0);
    scene.AddBody("Vega", kIconBrightStar, 41, 61, 0, 0);
    ASSERT_NE(scene.SelectedBody(), nullptr);
    EXPECT_EQ(scene.SelectedBody()->HcDeg, 41);

    EXPECT_EQ(scene.Select("Sirius"), nullptr);
    EXPECT_EQ(scene.SelectedName(), "");
    EXPECT_EQ(scene.SelectedBody(), nullptr);
}

TEST(StarFinderScene, FigureSegmentsNeedOneEndAboveTheHorizon)
{
    TStarFinderScene scene;
    scene.AddFigurePoint(10, -5); // below ...
    scene.AddFigurePoint(20, 5); // ... to above: drawn
    scene.AddFigurePoint(30, -1); // from above to below: drawn
    scene.AddFigurePoint(40, -2); // both below: not drawn
    scene.AddFigureBreak();
    scene.AddFigurePoint(50, 10); // across the pen-up: not joined
    scene.AddFigurePoint(60, 0); // on the horizon counts as above
    scene.AddEclipticPoint(0, -10);
    scene.AddEclipticPoint(10, -3);
    scene.AddEclipticPoint(20, 0);
    scene.Layout(TSkyProjection::ForSize(300, 300, false), SomeIconSizes());

    const auto segments = scene.FigureSegments();
    ASSERT_EQ(segments.size(), 3u);
    EXPECT_EQ(segments[0].From, (TSkyChartPoint {scene.Figures()[0]->X, scene.Figures()[0]->Y}));
    EXPECT_EQ(segments[0].To, (TSkyChartPoint {scene.Figures()[1]->X, scene.Figures()[1]->Y}));
    EXPECT_EQ(segments[1].To, (TSkyChartPoint {scene.Figures()[2]->X, scene.Figures()[2]->Y}));
    EXPECT_EQ(segments[2].From, (TSkyChartPoint {scene.Figures()[5]->X, scene.Figures()[5]->Y}));
    // The point below the horizon lies outside the rim: the line runs beyond it.
    const TSkyProjection &p = scene.Projection();
    EXPECT_GT(std::hypot(segments[0].From.X - p.Cx, segments[0].From.Y - p.Cy), p.R);

    const auto ecliptic = scene.EclipticSegments();
    ASSERT_EQ(ecliptic.size(), 1u);
    EXPECT_EQ(ecliptic[0].To, (TSkyChartPoint {scene.Ecliptic()[2].X, scene.Ecliptic()[2].Y}));
}

TEST(StarFinderScene, PointerReadOut)
{
    TStarFinderScene scene;
    scene.AddBody("Vega", kIconBrightStar, 30, 45, 279.2, 38.8);
    const TSkyProjection p = TSkyProjection::ForSize(400, 400, false);
    scene.Layout(p, SomeIconSizes());
    const TAstroStarFinder &vega = scene.Bodies()[0];

    const TPointerInfo onBody = scene.PointerInfoAt(vega.Center.X + 2, vega.Center.Y - 2);
    ASSERT_EQ(onBody.Kind, TPointerInfo::TKind::Body);
    // 279.2° of right ascension is 18h36m48s.
    EXPECT_EQ(onBody.Lines,
        (std::vector<std::string> {
            "Vega", "Az=45.00°  Hc:30°00.0' ", "RA=18:36:48    Dec=38°48.0'N"}));

    const TPointerInfo centre = scene.PointerInfoAt(p.Cx, p.Cy);
    ASSERT_EQ(centre.Kind, TPointerInfo::TKind::Sky);
    EXPECT_EQ(centre.Lines[0].substr(0, 8), "Hc=90° ");

    // Halfway out towards the west: 45° high, azimuth 270.
    const TPointerInfo west = scene.PointerInfoAt(p.Cx - p.R / 2, p.Cy);
    EXPECT_EQ(west.Lines, (std::vector<std::string> {"Hc=45° Az=270°"}));

    EXPECT_EQ(scene.PointerInfoAt(2, 2).Kind, TPointerInfo::TKind::None);
}

// ---------------------------------------------------------------------------------------------
// The visible sky.

TEST_F(TStarFinderSky, EveryListedBodyAsTheSightReductionGivesIt)
{
    struct TCase
    {
        const char *Name;
        double DateTime, Lat, Lon;
    };

    const TCase cases[] = {
        {"Lisbon, June night", EncodeDate(2026, 6, 21) + 22.0 / 24, 38.7, 9.15},
        {"Cape Horn, morning", EncodeDate(2025, 1, 10) + 8.5 / 24, -55.98, 67.27},
        {"Tropics by day", EncodeDate(2024, 3, 20) + 12.0 / 24, 10, -120},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const TVisibleSky sky = ComputeVisibleSky(Astros(), c.DateTime, c.Lat, c.Lon);
        const TDateHour t = SplitDateHour(c.DateTime);
        std::size_t listed = 0;
        for (TAstro *body : Astros().BodyList()) {
            if (body == Astros().Aries())
                continue;
            const auto gd = body->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour);
            const TAltitudeAzimuth a =
                ComputeAltitudeAzimuth(gd.DecDeg, gd.GHADeg, c.Lat, c.Lon, 0);
            if (body == Astros().Sun()) {
                EXPECT_DOUBLE_EQ(sky.SunHcDeg, a.HcDeg);
            }
            if (!a.AboveHorizon)
                continue;
            ASSERT_LT(listed, sky.Bodies.size());
            const TVisibleBody &v = sky.Bodies[listed++];
            SCOPED_TRACE(v.Name);
            EXPECT_EQ(v.Name, body->Name()); // the registry order
            EXPECT_DOUBLE_EQ(v.HcDeg, a.HcDeg);
            EXPECT_DOUBLE_EQ(v.ZnDeg, a.ZnDeg);
            EXPECT_EQ(v.Icon, StarFinderIconIndex(*body));
        }
        EXPECT_EQ(listed, sky.Bodies.size());

        // On the chart each body stands where the independent projection puts it.
        TPosicionadorDeConstelacoes constellations;
        constellations.PositionFor(c.DateTime, c.Lat, c.Lon);
        TStarFinderScene scene;
        LoadScene(scene, sky, constellations);
        const TSkyProjection p = TSkyProjection::ForSize(800, 800, false);
        scene.Layout(p, SomeIconSizes());
        ASSERT_EQ(scene.Bodies().size(), sky.Bodies.size());
        for (std::size_t i = 0; i < sky.Bodies.size(); ++i) {
            const TSkyChartPoint e = ExpectedPoint(p, sky.Bodies[i].HcDeg, sky.Bodies[i].ZnDeg);
            EXPECT_LE(std::abs(scene.Bodies()[i].Center.X - e.X), 1);
            EXPECT_LE(std::abs(scene.Bodies()[i].Center.Y - e.Y), 1);
        }
        EXPECT_EQ(scene.Figures().size(), constellations.Figures().size());
        EXPECT_EQ(scene.Names().size(), 30u);
        EXPECT_EQ(scene.Ecliptic().size(), 37u);
    }
}

TEST_F(TStarFinderSky, SunAboveTheHorizonIsListedByDay)
{
    // 2024-03-20 12:00 UT at 0° longitude on the equator: the Sun stands near the zenith.
    const TVisibleSky sky = ComputeVisibleSky(Astros(), EncodeDate(2024, 3, 20) + 0.5, 0, 0);
    ASSERT_FALSE(sky.Bodies.empty());
    EXPECT_EQ(sky.Bodies[0].Name, "Sun");
    EXPECT_GT(sky.SunHcDeg, 85);
    EXPECT_EQ(sky.Shade, TSkyShade::Day);
}

TEST(SkyShade, FromTheSunsAltitude)
{
    struct TCase
    {
        double SunHc;
        TSkyShade Shade;
    };

    const TCase cases[] = {{-3, TSkyShade::Twilight}, {-7, TSkyShade::Night}, {1, TSkyShade::Day},
        {-6, TSkyShade::Twilight}, {0, TSkyShade::Twilight}, {-6.01, TSkyShade::Night},
        {0.01, TSkyShade::Day}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.SunHc);
        EXPECT_EQ(SkyShadeFor(c.SunHc), c.Shade);
    }
}

TEST_F(TStarFinderSky, IconSlots)
{
    struct TCase
    {
        const char *Body;
        int Icon;
    };

    // Sirius is −1.6, Polaris +2.0 (catalogue magnitudes).
    const TCase cases[] = {{"Sun", 0}, {"Moon", 1}, {"Jupiter", 6}, {"Venus", 7}, {"Saturn", 8},
        {"Mars", 9}, {"Sirius", 4}, {"Polaris", 5}, {"Aries *", kNoIcon}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Body);
        const TAstro *body = FindAstro(c.Body);
        ASSERT_NE(body, nullptr);
        EXPECT_EQ(StarFinderIconIndex(*body), c.Icon);
    }
}

// ---------------------------------------------------------------------------------------------
// List texts and sorting.

TEST(StarFinderList, CellTexts)
{
    EXPECT_EQ(HcCellText(45.1217), "45°07.3' ");
    EXPECT_EQ(HcCellText(0), " 0°00.0' ");
    EXPECT_EQ(ZnCellText(95.4), "  95°");
    EXPECT_EQ(ZnCellText(359.6), " 360°");
    EXPECT_EQ(MagnitudeCellText(1.5), "+1.5");
    EXPECT_EQ(MagnitudeCellText(-0.72), "-0.7");
    EXPECT_EQ(MagnitudeCellText(-26.5), "-26.5");
}

TEST(StarFinderList, NumericColumnsSortByValue)
{
    struct TCase
    {
        const char *Name;
        TStarFinderColumn Column;
        const char *Lower;
        const char *Higher;
    };

    const TCase cases[] = {
        {"Hc numeric, not text", TStarFinderColumn::Hc, " 9°05.3' ", "45°00.0' "},
        {"Hc minutes", TStarFinderColumn::Hc, "45°00.0' ", "45°00.1' "},
        {"Hc below zero", TStarFinderColumn::Hc, " 0°00.4'-", " 0°00.0' "},
        {"Az", TStarFinderColumn::Az, "  95°", " 305°"},
        {"Mag", TStarFinderColumn::Mag, "-0.7", "+0.1"},
        {"Mag text order would differ", TStarFinderColumn::Mag, "-1.6", "-0.7"},
        {"Body ignores case", TStarFinderColumn::Body, "achernar", "Betelgeuse"},
        {"a cell without a number goes last", TStarFinderColumn::Mag, "+9.9", "12abc"},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_TRUE(StarFinderCellLess(c.Column, c.Lower, c.Higher));
        EXPECT_FALSE(StarFinderCellLess(c.Column, c.Higher, c.Lower));
    }
    EXPECT_EQ(StarFinderSortKey(TStarFinderColumn::Hc, " 9°05.3' "), 9.053);
    EXPECT_FALSE(StarFinderSortKey(TStarFinderColumn::Az, "nan°"));
    EXPECT_FALSE(StarFinderSortKey(TStarFinderColumn::Mag, "inf"));
}

TEST(StarFinderList, PrintedCellsAreCutOrPadded)
{
    struct TCase
    {
        const char *Cell;
        std::size_t Width;
        const char *Printed;
    };

    const TCase cases[] = {
        {"Vega", 7, "Vega   "},
        {"Rigil Kent", 7, "Rigil.."},
        {"1234567", 7, "1234567"},
        {"45°07.3' ", 9, "45°07.3' "}, // nine characters, ten bytes
        {"45°07.3' ", 6, "45°0.."},
        {"", 3, "   "},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Cell);
        EXPECT_EQ(FitCell(c.Cell, c.Width), c.Printed);
    }
}

TEST(StarFinderList, ViewLabel)
{
    const double dt = EncodeDate(2026, 6, 21) + EncodeTime(22, 10, 0, 0);
    EXPECT_EQ(StarFinderViewLabel(-23.3717, 43.8717, dt, TDateFormat {}),
        "Lat: 23°22.3'S  Lon: 43°52.3'W | 21/06/2026 22:10:00 GMT");
}

// ---------------------------------------------------------------------------------------------
// Animation steps.

TEST(StarFinderAnimation, StepIsCountTimesUnit)
{
    struct TCase
    {
        int Count;
        TAnimationUnit Unit;
        double Days;
    };

    const TCase cases[] = {{1, TAnimationUnit::Hours, 1.0 / 24},
        {30, TAnimationUnit::Seconds, 30.0 / 86400}, {-1, TAnimationUnit::Days, -1},
        {15, TAnimationUnit::Minutes, 15.0 / 1440}, {2, TAnimationUnit::Months, 60},
        {-1, TAnimationUnit::Years, -365}, {0, TAnimationUnit::Days, 0}};
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Days);
        EXPECT_DOUBLE_EQ(AnimationStepDays(c.Count, c.Unit), c.Days);
    }
}

TEST(StarFinderAnimation, StepsStayWithinTheCalendar)
{
    const double start = EncodeDate(2026, 6, 21);
    EXPECT_EQ(AdvanceViewDateTime(start, -1, TAnimationUnit::Days), start - 1);
    EXPECT_FALSE(AdvanceViewDateTime(EncodeDate(9999, 12, 31) + 0.5, 1, TAnimationUnit::Days));
    EXPECT_FALSE(AdvanceViewDateTime(EncodeDate(1, 1, 1) + 0.25, -1, TAnimationUnit::Days));
    EXPECT_TRUE(AdvanceViewDateTime(EncodeDate(9999, 12, 31), 23, TAnimationUnit::Hours));
    EXPECT_FALSE(AdvanceViewDateTime(EncodeDate(9500, 1, 1), 1000, TAnimationUnit::Years));
}

} // namespace
} // namespace vrn
