// The sight planner on hand-checked skies, and the twilight instants it offers.

#include "sky/SightPlanner.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "sky/HorizonPlace.h"
#include "sky/VisibleSky.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

struct TSkyBody
{
    const char *Name;
    double Hc;
    double Zn;
    float Mag;
};

std::vector<TVisibleBody> SkyOf(std::initializer_list<TSkyBody> bodies)
{
    std::vector<TVisibleBody> sky;
    for (const TSkyBody &b : bodies) {
        TVisibleBody v;
        v.Name = b.Name;
        v.HcDeg = b.Hc;
        v.ZnDeg = b.Zn;
        v.Magnitude = b.Mag;
        sky.push_back(v);
    }
    return sky;
}

std::vector<std::string> NamesOf(const std::vector<TVisibleBody> &sky, const TSightPlan &plan)
{
    std::vector<std::string> names;
    for (std::size_t i : plan.Indices)
        names.push_back(sky[i].Name);
    return names;
}

TEST(AzimuthSpread, TwoBodiesCrossingAngleMoreBodiesSmallestGap)
{
    struct TCase
    {
        const char *Name;
        std::vector<double> Zn;
        double Spread;
    };

    const TCase cases[] = {
        {"two at right angles", {10, 100}, 90},
        {"two reciprocal bearings give parallel LOPs", {10, 190}, 0},
        {"two 150° apart cross at 30°", {10, 160}, 30},
        {"two across north", {359, 1}, 2},
        {"three evenly spread", {0, 120, 240}, 120},
        {"three, the gap across north is the smallest", {350, 10, 130}, 20},
        {"three unsorted", {240, 0, 120}, 120},
        {"four at the cardinal points", {270, 0, 180, 90}, 90},
        {"one body has no spread", {42}, 0},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(AzimuthSpreadDeg(c.Zn), c.Spread, 1e-9);
    }
}

TEST(SightPlanner, HandCheckedSkies)
{
    struct TCase
    {
        const char *Name;
        std::vector<TVisibleBody> Sky;
        int Count;
        std::vector<std::string> Chosen;
        double Spread;
    };

    const TCase cases[] = {
        // D is brighter than A but the best set without A spreads 110°, against 120°.
        {"the even spread wins over brightness",
            SkyOf({{"A", 30, 10, 1}, {"B", 40, 130, 1}, {"C", 50, 250, 1}, {"D", 30, 20, 0},
                {"E too high", 80, 60, -1}, {"F too low", 10, 200, -1}}),
            3, {"A", "B", "C"}, 120},
        // {D, B, C} spreads 119.5°, within the 1° that counts as equal, and is brighter.
        {"brighter bodies when the spread is equal",
            SkyOf({{"A", 30, 0, 2}, {"B", 40, 120, 1}, {"C", 50, 240, 1}, {"D", 30, 0.5, 0.5}}), 3,
            {"B", "C", "D"}, 119.5},
        // AB and BC both cross at 90°; BC is brighter. AC are reciprocal.
        {"two bodies", SkyOf({{"A", 30, 10, 1}, {"B", 30, 100, 1}, {"C", 30, 190, 0}}), 2,
            {"B", "C"}, 90},
        {"four bodies",
            SkyOf({{"N", 20, 0, 1}, {"NE", 20, 45, 1}, {"E", 20, 90, 1}, {"S", 20, 180, 1},
                {"W", 20, 270, 1}}),
            4, {"N", "E", "S", "W"}, 90},
        // The altitude limits are inclusive.
        {"limits",
            SkyOf({{"low", 15, 0, 1}, {"high", 70, 120, 1}, {"A", 14.99, 240, 1},
                {"B", 70.01, 240, 1}, {"C", 45, 200, 3}}),
            3, {"low", "high", "C"}, 80},
        // A tie of equal spread and equal brightness goes to the earliest bodies of the list.
        {"full tie",
            SkyOf({{"A", 30, 0, 1}, {"B", 30, 90, 1}, {"C", 30, 180, 1}, {"D", 30, 270, 1}}), 2,
            {"A", "B"}, 90},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto plan = PlanSights(c.Sky, c.Count);
        ASSERT_TRUE(plan);
        EXPECT_EQ(NamesOf(c.Sky, *plan), c.Chosen);
        EXPECT_NEAR(plan->SpreadDeg, c.Spread, 1e-9);
        EXPECT_NEAR(plan->IdealSpreadDeg, c.Count == 2 ? 90 : 360.0 / c.Count, 1e-12);
    }
}

TEST(SightPlanner, NoChoiceWithoutEnoughCandidates)
{
    const auto sky = SkyOf({{"A", 30, 0, 1}, {"B", 40, 120, 1}, {"C", 5, 240, 1}});
    EXPECT_FALSE(PlanSights(sky, 3));
    EXPECT_TRUE(PlanSights(sky, 2));
    EXPECT_FALSE(PlanSights(sky, 1));
    EXPECT_FALSE(PlanSights(sky, kPlannerMaxBodies + 1));
    EXPECT_FALSE(PlanSights({}, 3));
}

TEST(SightPlanner, CivilTwilightInstants)
{
    CreateAstros();
    TSol &sun = *Astros().Sun();
    const auto sunHcAt = [&](double dt, double lat, double lon) {
        const TDateHour t = SplitDateHour(dt);
        const auto gd = sun.ComputeGHADec(t.Year, t.Month, t.Day, t.Hour);
        return HorizonPlaceOf(gd.DecDeg, gd.GHADeg, lat, lon).HcDeg;
    };

    struct TCase
    {
        const char *Name;
        double Date, Lat, Lon;
    };

    const TCase cases[] = {
        {"Lisbon in June", EncodeDate(2026, 6, 21), 38.7, 9.15},
        {"Rio in December", EncodeDate(2025, 12, 1) + 0.75, -22.9, 43.2},
        {"Tokyo in March", EncodeDate(2024, 3, 20), 35.7, -139.7},
    };
    for (const TCase &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto morning =
            CivilTwilightInstant(Astros(), c.Date, c.Lat, c.Lon, TTwilightKind::Morning);
        const auto evening =
            CivilTwilightInstant(Astros(), c.Date, c.Lat, c.Lon, TTwilightKind::Evening);
        ASSERT_TRUE(morning && evening);
        // At civil twilight the Sun's centre stands 6° below the horizon (geocentric).
        EXPECT_NEAR(sunHcAt(*morning, c.Lat, c.Lon), -6, 0.05);
        EXPECT_NEAR(sunHcAt(*evening, c.Lat, c.Lon), -6, 0.05);
        // Both belong to the GMT date asked for (within the events of the neighbouring days).
        EXPECT_NEAR(*morning, std::floor(c.Date) + 0.5, 0.75);
        EXPECT_NEAR(*evening, std::floor(c.Date) + 0.5, 0.75);
    }
    // Polar summer: civil twilight does not end at 70°N in late June.
    EXPECT_FALSE(
        CivilTwilightInstant(Astros(), EncodeDate(2026, 6, 21), 70, 0, TTwilightKind::Evening));
}

} // namespace
} // namespace vrn
