#include "celestial/LegCalculator.h"

#include "engine/Trigonom.h"
#include "engine/VrnError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace vrn {
namespace {

// Reference formulas written independently of Trigonom (E. Williams, Aviation Formulary;
// Bowditch, Mercator sailing), with EAST-positive longitudes in radians.
constexpr double kRad = 3.14159265358979323846 / 180;

double WrapPi(double x)
{
    return std::remainder(x, 2 * 3.14159265358979323846);
}

struct TRef
{
    double CourseDeg;
    double DistNm;
};

// Great circle: distance by Vincenty's spherical formula (well conditioned from 0 to 180°),
// initial course by atan2.
TRef RefGreatCircle(double lat1, double lon1W, double lat2, double lon2W)
{
    const double p1 = lat1 * kRad, p2 = lat2 * kRad;
    const double dl = WrapPi((lon1W - lon2W) * kRad); // eastward
    const double y = std::hypot(std::cos(p2) * std::sin(dl),
        std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl));
    const double x = std::sin(p1) * std::sin(p2) + std::cos(p1) * std::cos(p2) * std::cos(dl);
    const double course = std::atan2(std::sin(dl) * std::cos(p2),
        std::cos(p1) * std::sin(p2) - std::sin(p1) * std::cos(p2) * std::cos(dl));
    double c = course / kRad;
    if (c < 0)
        c += 360;
    return {c, std::atan2(y, x) / kRad * 60};
}

// Rhumb line: the stretched latitude difference and the q factor, the shorter way round.
TRef RefRhumbLine(double lat1, double lon1W, double lat2, double lon2W)
{
    const double p1 = lat1 * kRad, p2 = lat2 * kRad;
    const double dl = WrapPi((lon1W - lon2W) * kRad);
    const double dpsi = std::log(std::tan(3.14159265358979323846 / 4 + p2 / 2)
        / std::tan(3.14159265358979323846 / 4 + p1 / 2));
    const double q = std::fabs(dpsi) > 1e-12 ? (p2 - p1) / dpsi : std::cos(p1);
    double c = std::atan2(dl, dpsi) / kRad;
    if (c < 0)
        c += 360;
    return {c, std::hypot(p2 - p1, q * dl) / kRad * 60};
}

// Unit vector of a position (any frame; west-positive longitude).
struct TVec
{
    double X, Y, Z;
};

TVec Vec(double lat, double lonW)
{
    return {std::cos(lat * kRad) * std::cos(lonW * kRad),
        std::cos(lat * kRad) * std::sin(lonW * kRad), std::sin(lat * kRad)};
}

double Dot(TVec a, TVec b)
{
    return a.X * b.X + a.Y * b.Y + a.Z * b.Z;
}

TVec Cross(TVec a, TVec b)
{
    return {a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X};
}

struct TLegCase
{
    const char *Name;
    double Lat1, Lon1, Lat2, Lon2;
    // Where the reference formulas have no answer, the leg rules give it.
    std::optional<double> GcCourse; // NAN: take the reference
    double GcDist;
    std::optional<double> RlCourse;
    double RlDist;
};

constexpr double kRef = NAN;

TEST(LegCalculator, CoursesAndDistancesAgreeWithIndependentFormulas)
{
    const double eps = 0.007 / 60; // about 0.01 nm on the diagonal
    const TLegCase cases[] = {
        // Same point: no course, distance 0.
        {"same point", 20, 30, 20, 30, std::nullopt, 0, std::nullopt, 0},
        {"along the equator, westward", 0, 0, 0, 10, kRef, kRef, kRef, kRef},
        {"along a meridian, northward", 10, 20, 20, 20, kRef, kRef, kRef, kRef},
        {"along a meridian, southward", 20, -20, -5, -20, kRef, kRef, kRef, kRef},
        {"across 180 westward", 10, 175, 12, -175, kRef, kRef, kRef, kRef},
        {"across 180 eastward", 10, -175, 12, 175, kRef, kRef, kRef, kRef},
        {"10 W to 10 E", 45, 10, 45, -10, kRef, kRef, kRef, kRef},
        {"near-antipodal points", 10, 20, -10.5, -159.5, kRef, kRef, kRef, kRef},
        {"0.01 nm", 45, 10, 45 + eps, 10 - eps / std::cos(45 * kRad), kRef, kRef, kRef, kRef},
        {"long east-west rhumb line at 60 N", 60, 0, 60, -120, kRef, kRef, kRef, kRef},
        {"east-west rhumb line at 60 N across 180", 60, 170, 60, -100, kRef, kRef, kRef, kRef},
        // A pole as end point: the other position's meridian, distance = Δlat·60 for both.
        {"to the North Pole", 60, 30, 90, 0, 0.0, 1800, 0.0, 1800},
        {"to the South Pole", -60, 30, -90, 100, 180.0, 1800, 180.0, 1800},
        {"from the North Pole", 90, 0, 30, -45, 180.0, 3600, 180.0, 3600},
        {"from the South Pole", -90, 0, -30, 100, 0.0, 3600, 0.0, 3600},
        {"pole to pole", 90, 0, -90, 0, 180.0, 10800, 180.0, 10800},
        // Longitudes 180° apart: over the pole, (90 − φ1 + 90 − φ2)·60.
        {"180 apart, over the North Pole", 30, 20, 40, -160, 0.0, 6600, kRef, kRef},
        {"180 apart, over the South Pole", -30, 20, -40, -160, 180.0, 6600, kRef, kRef},
        {"antipodes", 20, 10, -20, -170, 0.0, 10800, kRef, kRef},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLegResult r = CalcLeg({c.Lat1, c.Lon1}, {c.Lat2, c.Lon2}, 5);
        ASSERT_TRUE(r.GreatCircle.Ok);
        ASSERT_TRUE(r.RhumbLine.Ok);
        const TRef gc = RefGreatCircle(c.Lat1, c.Lon1, c.Lat2, c.Lon2);
        const TRef rl = RefRhumbLine(c.Lat1, c.Lon1, c.Lat2, c.Lon2);
        const auto check = [](const TLegLine &line, std::optional<double> course, double dist,
                               const TRef &ref) {
            EXPECT_NEAR(line.DistNm, std::isnan(dist) ? ref.DistNm : dist, 1e-6);
            if (!course) {
                EXPECT_FALSE(line.CourseDeg.has_value());
                return;
            }
            ASSERT_TRUE(line.CourseDeg.has_value());
            const double want = std::isnan(*course) ? ref.CourseDeg : *course;
            EXPECT_NEAR(std::remainder(*line.CourseDeg - want, 360.0), 0, 1e-6);
        };
        check(r.GreatCircle, c.GcCourse, c.GcDist, gc);
        check(r.RhumbLine, c.RlCourse, c.RlDist, rl);
    }
}

TEST(LegCalculator, GreatCirclePointsLieOnTheGreatCircleInOrder)
{
    struct Case
    {
        const char *Name;
        double Lat1, Lon1, Lat2, Lon2;
    };

    const Case cases[] = {
        {"north Atlantic", 40, 70, 50, 5},
        {"10 W to 10 E", 45, 10, 45, -10},
        {"170 E to 170 W", -30, -170, -20, 170},
        {"170 W to 170 E", 20, 170, 25, -170},
        {"near-antipodal", 10, 20, -10.5, -159.5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLegLine gc = CalcLeg({c.Lat1, c.Lon1}, {c.Lat2, c.Lon2}, 7).GreatCircle;
        ASSERT_EQ(gc.Points.size(), 9u);
        const TVec a = Vec(c.Lat1, c.Lon1), b = Vec(c.Lat2, c.Lon2);
        const TVec n = Cross(a, b);
        const double nn = std::sqrt(Dot(n, n));
        double lastAlong = -1;
        double lastLonStep = 0;
        for (std::size_t k = 0; k < gc.Points.size(); ++k) {
            ASSERT_TRUE(gc.Points[k].has_value());
            const TLegPosition p = *gc.Points[k];
            EXPECT_GE(p.LonDeg, -180);
            if (k + 1 < gc.Points.size()) {
                EXPECT_LT(p.LonDeg, 180);
            }
            const TVec v = Vec(p.LatDeg, p.LonDeg);
            EXPECT_NEAR(Dot(v, n) / nn, 0, 1e-12); // on the circle
            const double along = std::acos(std::min(1.0, Dot(a, v)));
            EXPECT_GT(along, lastAlong); // and moving from the start to the end
            lastAlong = along;
            if (k > 0) {
                // The longitude steps the shorter way by the same amount every row.
                const double step = std::remainder(p.LonDeg - gc.Points[k - 1]->LonDeg, 360.0);
                const double want = std::remainder(c.Lon2 - c.Lon1, 360.0) / 8;
                EXPECT_NEAR(step, want, 1e-9);
                lastLonStep = step;
            }
        }
        EXPECT_NE(lastLonStep, 0);
        EXPECT_EQ(gc.Points.front()->LatDeg, c.Lat1);
        EXPECT_EQ(gc.Points.back()->LatDeg, c.Lat2);
        EXPECT_EQ(gc.Points.back()->LonDeg, c.Lon2);
    }
}

TEST(LegCalculator, RhumbLinePointsLieOnTheRhumbLineAtEqualSteps)
{
    struct Case
    {
        const char *Name;
        double Lat1, Lon1, Lat2, Lon2;
    };

    const Case cases[] = {
        {"north-east", 10, 30, 35, 5},
        {"east-west at 60 N", 60, 0, 60, -120},
        {"across 180", -10, 175, -12, -178},
        {"southward, west", 40, -20, 10, 15},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLegLine rl = CalcLeg({c.Lat1, c.Lon1}, {c.Lat2, c.Lon2}, 4).RhumbLine;
        ASSERT_EQ(rl.Points.size(), 6u);
        const TRef whole = RefRhumbLine(c.Lat1, c.Lon1, c.Lat2, c.Lon2);
        for (std::size_t k = 1; k < rl.Points.size(); ++k) {
            ASSERT_TRUE(rl.Points[k].has_value());
            const TRef part =
                RefRhumbLine(c.Lat1, c.Lon1, rl.Points[k]->LatDeg, rl.Points[k]->LonDeg);
            EXPECT_NEAR(part.CourseDeg, whole.CourseDeg, 1e-7);
            EXPECT_NEAR(part.DistNm, whole.DistNm * k / 5, 1e-6);
            EXPECT_GE(rl.Points[k]->LonDeg, -180);
        }
    }
}

TEST(LegCalculator, OverThePoleAndFromAPoleTheTablesFollowTheMeridians)
{
    // 30 N 20 W to 40 N 160 E: up 20 W to the pole (60°), down 160 E (50°); 10 steps of 11°.
    const TLegLine over = CalcLeg({30, 20}, {40, -160}, 9).GreatCircle;
    ASSERT_EQ(over.Points.size(), 11u);
    const double lats[] = {30, 41, 52, 63, 74, 85, 84, 73, 62, 51, 40};
    for (std::size_t k = 0; k < over.Points.size(); ++k) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(over.Points[k].has_value());
        EXPECT_NEAR(over.Points[k]->LatDeg, lats[k], 1e-9);
        EXPECT_EQ(over.Points[k]->LonDeg, k < 6 ? 20 : -160);
    }

    // From the North Pole to 30 N 45 E: both tables run down 45 E in latitude steps.
    const TLegResult fromPole = CalcLeg({90, 0}, {30, -45}, 2);
    for (const TLegLine *line : {&fromPole.GreatCircle, &fromPole.RhumbLine}) {
        ASSERT_EQ(line->Points.size(), 4u);
        const double want[] = {90, 70, 50, 30};
        for (std::size_t k = 0; k < 4; ++k) {
            ASSERT_TRUE(line->Points[k].has_value());
            EXPECT_NEAR(line->Points[k]->LatDeg, want[k], 1e-12);
            EXPECT_EQ(line->Points[k]->LonDeg, k == 0 ? 0 : -45); // the typed pole keeps its own
        }
    }

    // Along a meridian the great circle steps in latitude.
    const TLegLine meridian = CalcLeg({10, 20}, {20, 20}, 1).GreatCircle;
    ASSERT_EQ(meridian.Points.size(), 3u);
    EXPECT_NEAR(meridian.Points[1]->LatDeg, 15, 1e-12);
    EXPECT_EQ(meridian.Points[1]->LonDeg, 20);
}

TEST(LegCalculator, IntermediatePointsAreKeptWithinTheirRange)
{
    struct Case
    {
        int Asked;
        std::size_t Rows;
    };

    const Case cases[] = {{1, 3}, {5, 7}, {0, 3}, {-4, 3}, {100, 102}, {500, 102}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Asked);
        const TLegResult r = CalcLeg({10, 10}, {20, 30}, c.Asked);
        EXPECT_EQ(r.GreatCircle.Points.size(), c.Rows);
        EXPECT_EQ(r.RhumbLine.Points.size(), c.Rows);
    }
}

TEST(LegCalculator, LabelsShowTheResultsTheirFailuresAndNoNegativeZero)
{
    struct Case
    {
        const char *Name;
        TLegPosition From, To;
        TLegLabels Want;
    };

    // Along the equator and along a meridian both legs are 600 NM; the same point has no
    // course. From (0, 0) to (10, -10) the great circle is 846.36 NM on 44.56° (the sailing
    // formulas' own example) and the difference is taken against the reference formulas.
    const Case cases[] = {
        {"equator", {0, 0}, {0, 10},
            {"  270.00°", "  600.00 NM", "  270.00°", "  600.00 NM", "    0.00 NM", "    0.00 %"}},
        {"same point", {5, 5}, {5, 5},
            {"", "    0.00 NM", "", "    0.00 NM", "    0.00 NM", "    0.00 %"}},
        {"north", {10, 20}, {20, 20},
            {"    0.00°", "  600.00 NM", "    0.00°", "  600.00 NM", "    0.00 NM", "    0.00 %"}},
        {"latitude beyond the pole", {95, 0}, {10, 10}, {"?", "?", "?", "?", "", ""}},
        {"not a number", {NAN, 0}, {10, 10}, {"?", "?", "?", "?", "", ""}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLegLabels l = LegLabels(CalcLeg(c.From, c.To, 5));
        EXPECT_EQ(l.TcRL, c.Want.TcRL);
        EXPECT_EQ(l.DistRL, c.Want.DistRL);
        EXPECT_EQ(l.TcGC, c.Want.TcGC);
        EXPECT_EQ(l.DistGC, c.Want.DistGC);
        EXPECT_EQ(l.DiffNM, c.Want.DiffNM);
        EXPECT_EQ(l.DifPerc, c.Want.DifPerc);
    }
    const TLegLabels ne = LegLabels(CalcLeg({0, 0}, {10, -10}, 5));
    EXPECT_EQ(ne.TcGC, "   44.56°");
    EXPECT_EQ(ne.DistGC, "  846.36 NM");
    const TRef rl = RefRhumbLine(0, 0, 10, -10);
    const TRef gc = RefGreatCircle(0, 0, 10, -10);
    char want[32];
    std::snprintf(want, sizeof want, "%8.2f NM", rl.DistNm - gc.DistNm);
    EXPECT_EQ(ne.DiffNM, want);
    std::snprintf(want, sizeof want, "%8.2f %%", (rl.DistNm - gc.DistNm) / gc.DistNm * 100);
    EXPECT_EQ(ne.DifPerc, want);
}

TEST(LegCalculator, GridRowsWriteDegreesAndMinutesAndLeaveFailedPointsEmpty)
{
    TLegLine line;
    line.Ok = true;
    line.Points = {TLegPosition {45.5, -10.25}, std::nullopt, TLegPosition {-0.5, 179.99999}};
    const auto rows = LegGridRows(line);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].Number, "1");
    EXPECT_EQ(rows[0].Lat, "45°30.00'N");
    EXPECT_EQ(rows[0].Lon, "10°15.00'E");
    EXPECT_EQ(rows[1].Number, "2");
    EXPECT_EQ(rows[1].Lat, "");
    EXPECT_EQ(rows[1].Lon, "");
    EXPECT_EQ(rows[2].Lat, " 0°30.00'S");
    EXPECT_EQ(rows[2].Lon, "180°00.00'W");
}

TEST(LegCalculator, RoutesAreReadBackFromTheTableTexts)
{
    using TCells = std::vector<std::pair<std::string, std::string>>;
    // Read back and unwrapped across 180: 175 W, 179 E (-179) and 176 E become 175, 181, 184.
    const auto route = RouteFromGridTexts(kRhumbLineRouteName,
        {{"10°00.00'N", "175°00.00'W"}, {"10°30.00'N", "179°00.00'E"},
            {"11°00.00'S", "176°00.00'E"}});
    ASSERT_EQ(route.size(), 3u);
    EXPECT_DOUBLE_EQ(route[1].LatDeg, 10.5);
    EXPECT_DOUBLE_EQ(route[2].LatDeg, -11);
    EXPECT_DOUBLE_EQ(route[0].LonDeg, 175);
    EXPECT_DOUBLE_EQ(route[1].LonDeg, 181);
    EXPECT_DOUBLE_EQ(route[2].LonDeg, 184);

    // And the other way: 10 W to 10 E stays near 0.
    const auto east = RouteFromGridTexts(kGreatCircleRouteName,
        {{"45°00.00'N", " 10°00.00'W"}, {"45°10.00'N", "  0°00.00'W"},
            {"45°00.00'N", " 10°00.00'E"}});
    ASSERT_EQ(east.size(), 3u);
    EXPECT_DOUBLE_EQ(east[2].LonDeg, -10);

    struct Bad
    {
        const char *Name;
        TCells Cells;
    };

    const Bad bad[] = {
        {"no rows", {}},
        {"one row", {{"10°00.00'N", "10°00.00'W"}}},
        {"an empty cell", {{"10°00.00'N", "10°00.00'W"}, {"", ""}, {"11°00.00'N", "10°00.00'W"}}},
        {"no degree sign", {{"10°00.00'N", "10°00.00'W"}, {"11 00.00'N", "10°00.00'W"}}},
        {"no minutes", {{"10°00.00'N", "10°00.00'W"}, {"11°'N", "10°00.00'W"}}},
        {"junk degrees", {{"10°00.00'N", "10°00.00'W"}, {"1x°00.00'N", "10°00.00'W"}}},
        {"latitude beyond 90", {{"10°00.00'N", "10°00.00'W"}, {"91°00.00'N", "10°00.00'W"}}},
        {"longitude beyond 180", {{"10°00.00'N", "10°00.00'W"}, {"10°00.00'N", "181°00.00'W"}}},
    };
    for (const auto &b : bad) {
        SCOPED_TRACE(b.Name);
        try {
            RouteFromGridTexts(kGreatCircleRouteName, b.Cells);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_STREQ(e.what(), "Great Circle not calculated");
        }
    }
}

} // namespace
} // namespace vrn
