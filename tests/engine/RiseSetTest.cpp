#include "engine/RiseSet.h"

#include "engine/Astros.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <tuple>

namespace vrn {
namespace {

// A body whose places at 0h UT are given by a table (the positions of a book example).
class TTabulatedBody : public TAstro
{
public:
    using TKey = std::tuple<int, int, int>;

    struct TPlace
    {
        double RaDeg, DecDeg;
    };

    TTabulatedBody(double stdAltitudeDeg, std::map<TKey, TPlace> places)
        : TAstro("Tabulated", stdAltitudeDeg, 0.0f)
        , FPlaces(std::move(places))
    { }

    void Compute(int year, int month, int day, double hour) override
    {
        const auto it = FPlaces.find({year, month, day});
        ASSERT_TRUE(it != FPlaces.end() && hour == 0.0)
            << "no place for " << year << "-" << month << "-" << day << " " << hour << "h";
        RA = it->second.RaDeg;
        Dec = it->second.DecDeg;
    }

private:
    std::map<TKey, TPlace> FPlaces;
};

TEST(RiseSet, MeeusExample15a)
{
    // Venus at Boston (42.3333°N, 71.0833°W) on 1988 March 20 from the book's apparent places;
    // the book's results: rise 12h25m26s, transit 19h40m31s, set 2h54m40s (m2 = 0.12130, the
    // setting of this date, not of the next day).
    TTabulatedBody venus(-0.5667,
        {{{1988, 3, 19}, {40.68021, 18.04761}}, {{1988, 3, 20}, {41.73129, 18.44092}},
            {{1988, 3, 21}, {42.78204, 18.82742}}});
    const TRiseTransitSet r = RiseTransitSet(venus, 1988, 3, 20, 42.3333, 71.0833);
    ASSERT_EQ(r.Status, TRiseSetStatus::RisesAndSets);
    EXPECT_NEAR(r.RiseHours, 12.4238, 0.003); // 0.0001 day in the book
    EXPECT_NEAR(r.TransitHours, 19.6752, 0.003);
    EXPECT_NEAR(r.SetHours, 2.9112, 0.003);
    // The body is left at 0h of the next day.
    EXPECT_DOUBLE_EQ(venus.RA, 42.78204);
}

struct TEventCase
{
    const char *Name;
    const char *Body;
    int Year, Month, Day;
    double LatDeg, LonDeg; // longitude west positive
    double Rise, Transit, Set; // hours UT
    double TolHours;
};

TEST(RiseSet, MidLatitudesAgreeWithAnIndependentEphemeris)
{
    // PyEphem 4.1.4 Observer.next_rising/next_transit/next_setting from 0h UT of the date, no
    // refraction (pressure 0), horizon −0:34 for the topocentric upper limb of the Sun and the
    // Moon (the system's h0 −0.8333° and +0.125° = 0.7275π − 34′ stand for it, Meeus ch. 15) and
    // for the centre of Venus. Tolerance 1 min: the Moon's h0 takes a mean parallax.
    CreateAstros();
    const TEventCase cases[] = {
        {"Sun Greenwich equinox", "Sun", 2024, 3, 20, 51.4769, 0.0005, 6.0300, 12.1218, 18.2305,
            1.0 / 60},
        {"Sun Sydney, east longitude", "Sun", 2024, 3, 20, -33.8688, -151.2093, 19.9852, 2.0433,
            8.1051, 1.0 / 60},
        {"Sun New York solstice, set of the evening before", "Sun", 2024, 6, 21, 40.7128, 74.0060,
            9.4193, 16.9665, 0.5101, 1.0 / 60},
        {"Moon Greenwich", "Moon", 2024, 3, 20, 51.4769, 0.0005, 12.8229, 21.1925, 4.9204,
            1.0 / 60},
        {"Venus Boston 1988 (Meeus 15.a)", "Venus", 1988, 3, 20, 42.3333, 71.0833, 12.4241, 19.6751,
            2.9108, 1.0 / 60},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TAstro *body = FindAstro(c.Body);
        ASSERT_NE(body, nullptr);
        const TRiseTransitSet r = body->RiseTransitSet(c.Year, c.Month, c.Day, c.LatDeg, c.LonDeg);
        ASSERT_EQ(r.Status, TRiseSetStatus::RisesAndSets);
        EXPECT_NEAR(r.RiseHours, c.Rise, c.TolHours);
        EXPECT_NEAR(r.TransitHours, c.Transit, c.TolHours);
        EXPECT_NEAR(r.SetHours, c.Set, c.TolHours);
    }
}

struct TStatusCase
{
    const char *Name;
    const char *Body;
    int Year, Month, Day;
    double LatDeg, LonDeg;
    TRiseSetStatus Status;
};

TEST(RiseSet, AlwaysAboveAndAlwaysBelow)
{
    CreateAstros();
    const TStatusCase cases[] = {
        // Midnight sun and polar night at 70°N (the Sun stays within 23.44° of the equator).
        {"Sun 70N June", "Sun", 2024, 6, 25, 70.0, -20.0, TRiseSetStatus::AlwaysAbove},
        {"Sun 70N December", "Sun", 2024, 12, 22, 70.0, -20.0, TRiseSetStatus::AlwaysBelow},
        {"Sun at the North Pole in June", "Sun", 2024, 6, 21, 90.0, 0.0,
            TRiseSetStatus::AlwaysAbove},
        {"Sun at the South Pole in June", "Sun", 2024, 6, 21, -90.0, 0.0,
            TRiseSetStatus::AlwaysBelow},
        // Kochab (Dec +74.2°) is circumpolar from 50°N; Canopus (−52.7°) never rises there.
        {"Kochab 50N", "Kochab", 2024, 1, 15, 50.0, 0.0, TRiseSetStatus::AlwaysAbove},
        {"Canopus 50N", "Canopus", 2024, 1, 15, 50.0, 0.0, TRiseSetStatus::AlwaysBelow},
        {"Aries", "Aries *", 2024, 1, 15, 50.0, 0.0, TRiseSetStatus::NotApplicable},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TAstro *body = FindAstro(c.Body);
        ASSERT_NE(body, nullptr);
        const TRiseTransitSet r = body->RiseTransitSet(c.Year, c.Month, c.Day, c.LatDeg, c.LonDeg);
        EXPECT_EQ(r.Status, c.Status);
        EXPECT_TRUE(std::isfinite(r.TransitHours));
        if (c.Status != TRiseSetStatus::NotApplicable) {
            EXPECT_GE(r.TransitHours, -1.0);
            EXPECT_LE(r.TransitHours, 25.0);
        }
    }
}

TEST(RiseSet, MoonAtHighLatitudesNeverRunsAway)
{
    // Days on which the five fixed corrections diverged for the Moon (found by a random search of
    // 100,000 dates and positions poleward of 60°); before the settling test they gave a set 74
    // hours before the date or a rise 333 hours after it.
    struct TCase
    {
        int Year, Month, Day;
        double LatDeg, LonDeg;
    };

    const TCase cases[] = {
        {2005, 7, 17, -67.9093, 59.0206},
        {2020, 6, 16, 79.5810, 73.8316},
        {2040, 7, 25, 68.4613, -121.8680},
        {2000, 6, 12, 79.8354, 76.7235},
        {2003, 6, 12, 73.6840, -121.3663},
        {2025, 11, 4, 78.5225, 33.8119},
        {2040, 7, 19, 73.8864, -23.8055},
        {2040, 1, 25, -66.2976, 30.7599},
    };
    CreateAstros();
    TAstro &moon = *FindAstro("Moon");
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
            << c.Year << "-" << c.Month << "-" << c.Day << " " << c.LatDeg << " " << c.LonDeg);
        const TRiseTransitSet r = moon.RiseTransitSet(c.Year, c.Month, c.Day, c.LatDeg, c.LonDeg);
        if (r.Status != TRiseSetStatus::RisesAndSets)
            continue;
        EXPECT_TRUE(r.RiseFound || r.SetFound);
        for (const auto &[found, hours] :
            {std::pair {r.RiseFound, r.RiseHours}, std::pair {r.SetFound, r.SetHours}}) {
            if (found) {
                EXPECT_GE(hours, -24.0);
                EXPECT_LE(hours, 48.0);
            }
        }
    }
    // PyEphem: on 2000 June 12 at 79°50'N 76°43'W the Moon sets in the early hours (4.7 h UT)
    // and does not rise again that day.
    const TRiseTransitSet r = moon.RiseTransitSet(2000, 6, 12, 79.8354, 76.7235);
    ASSERT_EQ(r.Status, TRiseSetStatus::RisesAndSets);
    EXPECT_FALSE(r.RiseFound);
    ASSERT_TRUE(r.SetFound);
    EXPECT_GT(r.SetHours, 3.0);
    EXPECT_LT(r.SetHours, 6.0);
}

TEST(RiseSet, CivilTwilight)
{
    CreateAstros();
    TAstro &sun = *FindAstro("Sun");
    const double stdAltitude = sun.StdAltitude;

    // New York, 2024 June 21: PyEphem with horizon −6°, centre, no refraction: 8.8617 h and
    // 1.0677 h UT (the end of the evening twilight of June 20, local time).
    const auto t = IsTwilightDefined(sun, 2024, 6, 21, 40.7128, 74.0060);
    ASSERT_TRUE(t.has_value());
    EXPECT_NEAR(t->MorningHours, 8.8617, 1.0 / 60);
    EXPECT_NEAR(t->EveningHours, 1.0677, 1.0 / 60);
    EXPECT_EQ(sun.StdAltitude, stdAltitude);

    // At 65°N near the summer solstice the Sun rises and sets, but never gets 6° below the
    // horizon (its midnight depression is 90 − 65 − 23.4 = 1.6°).
    const TRiseTransitSet r = sun.RiseTransitSet(2024, 6, 21, 65.0, 0.0);
    EXPECT_EQ(r.Status, TRiseSetStatus::RisesAndSets);
    EXPECT_FALSE(IsTwilightDefined(sun, 2024, 6, 21, 65.0, 0.0).has_value());
    EXPECT_EQ(sun.StdAltitude, stdAltitude);

    EXPECT_FALSE(IsTwilightDefined(*FindAstro("Aries *"), 2024, 6, 21, 45.0, 0.0).has_value());
}

struct TLinesCase
{
    const char *Name;
    TRiseTransitSet Rts;
    std::optional<TTwilight> Twilight;
    std::vector<std::string> Lines;
};

TEST(RiseSet, ReportLines)
{
    using S = TRiseSetStatus;
    // Times as the time texts write them (two-digit hours, minutes, seconds, two blanks for a
    // positive time), then "GMT" and the day suffix.
    const TLinesCase cases[] = {
        {"rises and sets, set on the next day", {12.4238, 19.6752, 26.9112, S::RisesAndSets},
            std::nullopt,
            {"Rise : 12:25:26  GMT", "Meridian: 19:40:31  GMT", "Set :02:54:40  GMT,next day"}},
        {"rise of the day before", {-0.5, 5.25, 11.0, S::RisesAndSets}, std::nullopt,
            {"Rise : 23:30:00  GMT,day before", "Meridian: 05:15:00  GMT", "Set :11:00:00  GMT"}},
        {"always below", {0, 12.0, 0, S::AlwaysBelow}, std::nullopt,
            {"Object always below horizon"}},
        {"always above", {0, 24.5, 0, S::AlwaysAbove}, std::nullopt,
            {"Object always above horizon", "Merid.:00:30:00  GMT,next day"}},
        {"not applicable", {0, 0, 0, S::NotApplicable}, std::nullopt, {}},
        {"sets but does not rise", {0, 3.5, 4.68, S::RisesAndSets, false, true}, std::nullopt,
            {"Rise : none on this date", "Meridian: 03:30:00  GMT", "Set :04:40:48  GMT"}},
        {"with twilight", {6.0, 12.0, 18.0, S::RisesAndSets}, TTwilight {5.5, 24.25},
            {"Rise : 06:00:00  GMT", "Meridian: 12:00:00  GMT", "Set :18:00:00  GMT",
                "Civil Twilights -----", "sunrise twilight: 05:30  GMT",
                "sunset  twilight: 00:15  GMT,next day"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RiseSetReportLines(c.Rts, c.Twilight), c.Lines);
    }
}

TEST(RiseSet, BodyReportGivesTwilightForTheSunOnly)
{
    CreateAstros();
    const auto sunLines = BodyRiseSetReport(*FindAstro("Sun"), 2024, 3, 20, 51.4769, 0.0005);
    ASSERT_EQ(sunLines.size(), 6u);
    EXPECT_EQ(sunLines[3], "Civil Twilights -----");
    const auto moonLines = BodyRiseSetReport(*FindAstro("Moon"), 2024, 3, 20, 51.4769, 0.0005);
    EXPECT_EQ(moonLines.size(), 3u);
    EXPECT_TRUE(BodyRiseSetReport(*FindAstro("Aries *"), 2024, 3, 20, 51.0, 0.0).empty());
}

} // namespace
} // namespace vrn
