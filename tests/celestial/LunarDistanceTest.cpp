#include "celestial/LunarDistance.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/Trigonom.h"
#include "engine/VrnError.h"

#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

constexpr double kArcmin = 1 / 60.0;
constexpr double kSecond = 1 / 86400.0;

double At(int year, int month, int day, int hour, int minute)
{
    return EncodeDate(year, month, day) + (hour + minute / 60.0) / 24;
}

TAstro *Body(const char *name)
{
    CreateAstros();
    return FindAstro(name);
}

// Worked examples of tools/lunar-reference.py: PyEphem's topocentric places for an observer on
// the spheroid, limb points taken on the true sky and lifted by Bennett's refraction, the
// readings less the index correction and the dip. The true GMT is `Truth`; the watch is taken
// five minutes fast.
struct TWorkedLunar
{
    const char *Name;
    double Truth;
    double Lat, Lon;
    const char *Body1;
    TLimbChoice Limb1;
    const char *Body2;
    TLimbChoice Limb2;
    double IcArcmin, EyeM;
    double ReadingDeg, Hs1Deg, Hs2Deg;
    double GeocentricDeg; // PyEphem's distance between the apparent geocentric centres
};

const TWorkedLunar kWorked[] = {
    {"Moon and Sun, near limbs, afternoon in the Atlantic", At(2024, 3, 15, 18, 0), 35, 45, "Moon",
        TLimbChoice::Near, "Sun", TLimbChoice::Near, -1.2, 3.0, 72.523626, 64.717741, 35.764724,
        72.740509},
    {"Moon's far limb and Regulus at night", At(2024, 3, 15, 22, 0), 40, 0, "Moon",
        TLimbChoice::Far, "Regulus", TLimbChoice::Center, 0, 0, 80.601669, 26.189428, 60.889167,
        79.594175},
    {"Sun and a Moon near the zenith in the Pacific", At(2024, 9, 10, 6, 30), -20, -150, "Sun",
        TLimbChoice::Near, "Moon", TLimbChoice::Near, 0.8, 4.5, 78.221933, 18.661643, 81.355800,
        78.682952},
};

TLunarObservation Observation(const TWorkedLunar &w)
{
    TLunarObservation o;
    o.Body1 = Body(w.Body1);
    o.Body2 = Body(w.Body2);
    o.Limb1 = w.Limb1;
    o.Limb2 = w.Limb2;
    o.WatchDateTime = w.Truth + 300 * kSecond;
    o.SextantDistDeg = w.ReadingDeg;
    o.IndexCorrectionArcmin = w.IcArcmin;
    o.EyeHeightM = w.EyeM;
    o.Hs1Deg = w.Hs1Deg;
    o.Hs2Deg = w.Hs2Deg;
    o.LatDeg = w.Lat;
    o.LonDeg = w.Lon;
    return o;
}

TEST(LunarDistance, WorkedExamplesClearToTheGeocentricDistanceAndFindTheGMT)
{
    for (const auto &w : kWorked) {
        SCOPED_TRACE(w.Name);
        const TLunarObservation o = Observation(w);
        const TLunarClearing c = ClearLunarDistance(o);
        // The clearing itself against PyEphem: only the semi-diameters and parallaxes of the
        // engine enter it (they differ from PyEphem's by about 0.02').
        EXPECT_NEAR(c.ClearedDistDeg, w.GeocentricDeg, 0.05 * kArcmin);
        // The GMT also carries the engine's own Moon against PyEphem's (up to 0.03' at these
        // dates, 4 s at 30' an hour, partly cancelling the clearing's 0.02').
        EXPECT_NEAR(c.GMT, w.Truth, 3 * kSecond);
        EXPECT_NEAR(c.WatchErrorSec, (c.GMT - o.WatchDateTime) * 86400, 1e-6);
        EXPECT_NEAR(std::fabs(c.RateArcminPerHour), 30, 5);
        // The GMT found gives the cleared distance.
        const auto at =
            TwoObjectsDistance(*o.Body1, TLimbChoice::Center, *o.Body2, TLimbChoice::Center, c.GMT);
        ASSERT_TRUE(at.has_value());
        EXPECT_NEAR(at->CentreDistDeg, c.ClearedDistDeg, 0.001 * kArcmin);
    }
}

TEST(LunarDistance, TheGMTDoesNotDependOnTheWatchErrorGuessed)
{
    const TLunarObservation base = Observation(kWorked[0]);
    const double reference = ClearLunarDistance(base).GMT;
    for (const double guessSec : {-2400.0, -600.0, 0.0, 1800.0, 7200.0}) {
        SCOPED_TRACE(guessSec);
        TLunarObservation o = base;
        o.WatchErrorSec = guessSec;
        EXPECT_NEAR(ClearLunarDistance(o).GMT, reference, 0.05 * kSecond);
    }
}

TEST(LunarDistance, CorrectionsOfTheReportHaveTheirSignsAndSizes)
{
    const TLunarClearing c = ClearLunarDistance(Observation(kWorked[0]));
    // Moon at 64.7°: parallax HP·cos h ≈ 57.8'·0.43 = +24.7'; refraction about -0.5'; the
    // topocentric semi-diameter augmented by about sin h·sin HP (0.27'), added for a near limb.
    EXPECT_NEAR(c.Object1.ParallaxArcmin, 24.7, 0.3);
    EXPECT_NEAR(c.Object1.RefractionArcmin, -0.46, 0.05);
    EXPECT_NEAR(c.Object1.SemiDiameterArcmin, 15.74 + 0.27, 0.05);
    EXPECT_NEAR(c.Object2.ParallaxArcmin, 0.15 * std::cos(35.7 * kPi / 180), 0.02);
    EXPECT_NEAR(c.Object2.SemiDiameterArcmin, 16.08, 0.05);
    const TLunarClearing far = ClearLunarDistance(Observation(kWorked[1]));
    EXPECT_LT(far.Object1.SemiDiameterArcmin, -15.7);
    EXPECT_EQ(far.Object2.SemiDiameterArcmin, 0);
    EXPECT_NEAR(far.Object2.ParallaxArcmin, 0, 1e-9);

    std::vector<std::string> report;
    LunarReport(Observation(kWorked[0]), c, report);
    ASSERT_GE(report.size(), 14u);
    EXPECT_EQ(report[0], "Lunar distance Moon - Sun");
    EXPECT_EQ(report[report.size() - 4].substr(0, 22), "GMT of the distance:  ");
}

// An instant when the Moon's distance from Polaris hardly changes: the Moon at its greatest
// declination of the month.
double SlowMoonPolaris()
{
    TAstro &moon = *Body("Moon");
    TAstro &polaris = *Body("Polaris");
    double best = 0;
    double bestRate = 1e9;
    for (double t = At(2024, 3, 1, 0, 0); t < At(2024, 4, 1, 0, 0); t += 1.0 / 24) {
        const double a =
            TwoObjectsDistance(moon, TLimbChoice::Center, polaris, TLimbChoice::Center, t)
                ->CentreDistDeg;
        const double b = TwoObjectsDistance(
            moon, TLimbChoice::Center, polaris, TLimbChoice::Center, t + 1.0 / 24)
                             ->CentreDistDeg;
        if (std::fabs(b - a) < bestRate) {
            bestRate = std::fabs(b - a);
            best = t + 0.5 / 24;
        }
    }
    return best;
}

TEST(LunarDistance, ObservationsThatCannotBeClearedSayWhy)
{
    struct Case
    {
        const char *Name;
        std::function<void(TLunarObservation &)> Change;
        const char *Message;
    };

    const Case cases[] = {
        {"no Moon", [](TLunarObservation &o) { o.Body1 = Body("Regulus"); },
            "A lunar distance needs the Moon as one of the objects"},
        {"no object 2", [](TLunarObservation &o) { o.Body2 = nullptr; }, "Select object 2"},
        {"the Moon twice", [](TLunarObservation &o) { o.Body2 = Body("Moon"); },
            "Select different objects (1 and 2)"},
        {"negative height of eye", [](TLunarObservation &o) { o.EyeHeightM = -1; },
            "Height of the eye (Dip) must be a positive number"},
        {"height of eye not a number", [](TLunarObservation &o) { o.EyeHeightM = NAN; },
            "Height of the eye (Dip) must be a positive number"},
        {"no distance", [](TLunarObservation &o) { o.SextantDistDeg = 0; },
            "Sextant distance must be between 0° and 180°"},
        {"half the sky", [](TLunarObservation &o) { o.SextantDistDeg = 180; },
            "Sextant distance must be between 0° and 180°"},
        {"distance not a number", [](TLunarObservation &o) { o.SextantDistDeg = NAN; },
            "Sextant distance must be between 0° and 180°"},
        {"Moon below the horizon", [](TLunarObservation &o) { o.Hs1Deg = -0.5; },
            "Altitude of Moon must be between 0° and 90°"},
        {"Sun beyond the zenith", [](TLunarObservation &o) { o.Hs2Deg = 91; },
            "Altitude of Sun must be between 0° and 90°"},
        {"altitude not a number", [](TLunarObservation &o) { o.Hs2Deg = NAN; },
            "Altitude of Sun must be between 0° and 90°"},
        {"closer than the altitudes allow", [](TLunarObservation &o) { o.SextantDistDeg = 20; },
            "The distance does not agree with the altitudes of the objects"},
        {"further than the altitudes allow", [](TLunarObservation &o) { o.SextantDistDeg = 85; },
            "The distance does not agree with the altitudes of the objects"},
        {"a distance a day away", [](TLunarObservation &o) { o.SextantDistDeg = 60; },
            "No time within 12 hours of the watch gives the cleared distance"},
        {"watch time not a date", [](TLunarObservation &o) { o.WatchDateTime = NAN; },
            "Invalid date"},
        {"Moon and Polaris at the Moon's standstill",
            [](TLunarObservation &o) {
                o.Body2 = Body("Polaris");
                o.Limb2 = TLimbChoice::Center;
                o.WatchDateTime = SlowMoonPolaris();
                o.Hs1Deg = 45;
                o.Hs2Deg = 45;
                o.SextantDistDeg = 60;
            },
            "The distance between Moon and Polaris changes too slowly to find the time"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TLunarObservation o = Observation(kWorked[0]);
        c.Change(o);
        try {
            ClearLunarDistance(o);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

} // namespace
} // namespace vrn
