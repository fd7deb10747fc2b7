#include "engine/Stars.h"

#include "engine/Astros.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace vrn {
namespace {

const TStarRecord &Star(std::string_view name)
{
    for (const auto &r : StarCatalogue()) {
        if (r.Name == name)
            return r;
    }
    throw std::runtime_error("no star " + std::string(name));
}

TEST(Stars, CatalogueEpochGivesTheCataloguePlacePlusOneMonthOfProperMotion)
{
    // On 1993 January 1, 0h the mean place of the epoch with the nutation and aberration of the
    // epoch is the catalogue place again: exactly for a star that does not move. The proper
    // motion still counts Year + Month/12 − 1993 = 1/12 year; the corrections at the moved place
    // differ from those at the catalogue place by far less than 0.001″.
    for (const auto &r : StarCatalogue()) {
        SCOPED_TRACE(std::string(r.Name));
        TStarRecord still = r;
        still.PmRaSecPerYear = 0;
        still.PmDecArcsecPerYear = 0;
        TStarState s = MakeStarState(still);
        const TStarPlace p = StarApparentPlace(s, 1993, 1, 1, 0.0);
        EXPECT_NEAR(p.RaDeg, r.RaHours * 15.0, 1e-9);
        EXPECT_NEAR(p.DecDeg, r.DecDeg, 1e-9);

        TStarState m = MakeStarState(r);
        const TStarPlace q = StarApparentPlace(m, 1993, 1, 1, 0.0);
        const double dRaArcsec =
            (q.RaDeg - r.RaHours * 15.0 - r.PmRaSecPerYear / 12.0 / 240.0) * 3600.0;
        EXPECT_NEAR(dRaArcsec * CosD(r.DecDeg), 0.0, 0.001);
        EXPECT_NEAR((q.DecDeg - r.DecDeg) * 3600.0 - r.PmDecArcsecPerYear / 12.0, 0.0, 0.001);
    }
    // Arcturus: Dec 19.215222° − 0.1665″ (−1.998″/yr over a month).
    TStarState arcturus = MakeStarState(Star("Arcturus"));
    EXPECT_NEAR(StarApparentPlace(arcturus, 1993, 1, 1, 0.0).DecDeg, 19.215222 - 0.1665 / 3600.0,
        0.001 / 3600.0);
}

TEST(Stars, RigilKentProperMotion)
{
    // The largest proper motion of the catalogue: −0.4949 s of time and +0.699″ a year. In
    // January 2003 (2003 + 1/12 − 1993 = 121/12 years) it is the difference with a star at the
    // same place that does not move, but for the precession of the ten years, which depends on
    // the place: 200″ of precession in declination times the 75″ (3.6e-4 rad) moved in right
    // ascension is 0.05″.
    const TStarRecord &rigil = Star("Rigil Kent");
    TStarRecord still = rigil;
    still.PmRaSecPerYear = 0;
    still.PmDecArcsecPerYear = 0;
    TStarState moving = MakeStarState(rigil);
    TStarState fixed = MakeStarState(still);
    const TStarPlace a = StarApparentPlace(moving, 2003, 1, 15, 0.0);
    const TStarPlace b = StarApparentPlace(fixed, 2003, 1, 15, 0.0);
    EXPECT_NEAR((a.RaDeg - b.RaDeg) * 240.0, -0.4949 * 121.0 / 12.0, 0.01); // seconds of time
    EXPECT_NEAR((a.DecDeg - b.DecDeg) * 3600.0, 0.699 * 121.0 / 12.0, 0.06); // arcseconds
}

TEST(Stars, RigorousPrecessionMeeusExample21b)
{
    // θ Persei, J2000.0 mean place with proper motion applied, to 2028 November 13.19 TD.
    const double t = (2462088.69 - 2451545.0) / 36525.0;
    const TStarPlace p = PrecessEquatorial(41.054063, 49.227750, 0.0, t);
    EXPECT_NEAR(p.RaDeg, 41.547214, 0.000002); // book: 2h46m11.331s
    EXPECT_NEAR(p.DecDeg, 49.348483, 0.000002); // book: +49°20′54.54″

    // And back again.
    const TStarPlace q = PrecessEquatorial(p.RaDeg, p.DecDeg, t, 0.0);
    EXPECT_NEAR(q.RaDeg, 41.054063, 1e-8);
    EXPECT_NEAR(q.DecDeg, 49.227750, 1e-8);
}

TEST(Stars, NutationAndAberrationMeeusExample23a)
{
    // θ Persei at 2028 November 13.19: α = 41.5472°, δ = +49.3485°. Nutation here is the
    // four-term series (the book uses the full one: up to 0.3″ apart); aberration as the book.
    const double t = (2462088.69 - 2451545.0) / 36525.0;
    const TStarCorrection n = StarNutation(41.5472, 49.3485, t);
    const TStarCorrection a = StarAberration(41.5472, 49.3485, t);
    EXPECT_NEAR(n.RaArcsec, 15.843, 0.3);
    EXPECT_NEAR(n.DecArcsec, 6.218, 0.3);
    EXPECT_NEAR(a.RaArcsec, 30.045, 0.005);
    EXPECT_NEAR(a.DecArcsec, 6.697, 0.005);
}

TEST(Stars, ApparentPlaceOf2025AgreesWithAnIndependentEphemeris)
{
    // PyEphem 4.1.4, ephem.star(name).compute("2025/1/1 00:00:00"): g_ra, g_dec (apparent
    // geocentric place of date, its own Hipparcos-based catalogue). Navigator tolerance 0.1′ in
    // declination and in RA·cos δ.
    struct Case
    {
        const char *Name;
        double RaDeg;
        double DecDeg;
    };

    const Case cases[] = {
        {"Arcturus", 214.198849, 19.049776},
        {"Polaris", 46.268102, 89.373926},
        {"Rigil Kent", 220.321867, -60.934574},
        {"Sirius", 101.568330, -16.750230},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TStarState s = MakeStarState(Star(c.Name));
        const TStarPlace p = StarApparentPlace(s, 2025, 1, 1, 0.0);
        const double dRa = NormalizeSigned180(p.RaDeg - c.RaDeg) * CosD(c.DecDeg);
        EXPECT_NEAR(dRa * 60.0, 0.0, 0.1);
        EXPECT_NEAR((p.DecDeg - c.DecDeg) * 60.0, 0.0, 0.1);
    }
}

TEST(Stars, NutationAndAberrationApplyAtThePlaceOfDate)
{
    // PyEphem 4.1.4, ephem.star(name).compute(date): g_ra, g_dec (apparent geocentric place of
    // date). Near the pole the corrections of the 1993.0 place would be 0.3′ wrong by 2045 as
    // Polaris moves 20° in right ascension; at the place of date Polaris agrees within 0.01′ on
    // the sky (RA·cos δ and δ), Kochab within 0.02′, the others within the 0.05′ by which the two
    // catalogues differ.
    struct Case
    {
        const char *Name;
        int Year, Month, Day;
        double RaDeg, DecDeg;
        double TolArcmin;
    };

    const Case cases[] = {
        {"Polaris", 1955, 7, 1, 28.078315, 89.052020, 0.01},
        {"Polaris", 2010, 4, 1, 40.674849, 89.312692, 0.01},
        {"Polaris", 2045, 10, 1, 55.343863, 89.439827, 0.01},
        {"Kochab", 1955, 7, 1, 222.714352, 74.340876, 0.02},
        {"Kochab", 2045, 10, 1, 222.645808, 73.969410, 0.02},
        {"Acrux", 1955, 7, 1, 186.031879, -62.859409, 0.05},
        {"Acrux", 2045, 10, 1, 187.283108, -63.352131, 0.05},
        {"Sirius", 2045, 10, 1, 101.793023, -16.777119, 0.05},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.Name << " " << c.Year << "-" << c.Month);
        TStarState s = MakeStarState(Star(c.Name));
        const TStarPlace p = StarApparentPlace(s, c.Year, c.Month, c.Day, 0.0);
        EXPECT_NEAR(
            NormalizeSigned180(p.RaDeg - c.RaDeg) * CosD(c.DecDeg) * 60.0, 0.0, c.TolArcmin);
        EXPECT_NEAR((p.DecDeg - c.DecDeg) * 60.0, 0.0, c.TolArcmin);
    }
}

TEST(Stars, PlaceChangesOncePerRoundedJulianDay)
{
    // A star recomputes only when Round(JD) changes: JD 2460440.625 (2024 May 10, 3h) and
    // 2460441.458 (23h) both round to 2460441; May 11, 3h (2460441.625) rounds to 2460442.
    struct Case
    {
        const char *Name;
        int Day;
        double Hour;
        bool SameAsFirst;
    };

    const Case cases[] = {
        {"same instant", 10, 3.0, true},
        {"afternoon", 10, 13.0, true},
        {"late evening", 10, 23.0, true},
        {"next day", 11, 3.0, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TEstrela star(Star("Vega"));
        star.Compute(2024, 5, 10, 3.0);
        const double ra = star.RA, dec = star.Dec;
        star.Compute(2024, 5, c.Day, c.Hour);
        if (c.SameAsFirst) {
            EXPECT_EQ(star.RA, ra);
            EXPECT_EQ(star.Dec, dec);
        } else {
            EXPECT_NE(star.RA, ra);
            EXPECT_NE(star.Dec, dec);
        }
    }
}

} // namespace
} // namespace vrn
