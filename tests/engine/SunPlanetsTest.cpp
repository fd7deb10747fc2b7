#include "engine/AABASIC.h"
#include "engine/AATIME.h"
#include "engine/Earth.h"
#include "engine/Jupiter.h"
#include "engine/Mars.h"
#include "engine/PlanetDe.h"
#include "engine/Saturn.h"
#include "engine/Trigonom.h"
#include "engine/Venus.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>
#include <utility>
#include <vector>

namespace vrn {
namespace {

constexpr double Hms(int h, int m, double s)
{
    return (h + m / 60.0 + s / 3600.0) * 15;
}

constexpr double Dms(int d, int m, double s)
{
    const double v = std::abs(d) + m / 60.0 + s / 3600.0;
    return d < 0 ? -v : v;
}

// Difference of two angles in degrees, across the 0/360 seam.
double AngleDiff(double a, double b)
{
    return std::remainder(a - b, 360.0);
}

// 1992 December 20, 0h TD (JDE 2448976.5): Meeus examples 32.a and 33.a.
constexpr double kTTVenus = (2448976.5 - 2451545.0) / 36525.0;
// 1992 October 13, 0h TD (JDE 2448908.5): Meeus example 25.b.
constexpr double kTTSun = (2448908.5 - 2451545.0) / 36525.0;

TEST(PlanetSeries, TermCountsOfTheTruncatedTables)
{
    struct Case
    {
        const char *Name;
        const TPlanetSeries &Series;
        int Total;
    };

    // Sums of the term counts of Meeus Appendix III: Earth 129 + 7 + 59, Saturn 319 + 130 + 183.
    const Case cases[] = {
        {"Earth", EarthSeries(), 195},
        {"Venus", VenusSeries(), 93},
        {"Mars", MarsSeries(), 302},
        {"Jupiter", JupiterSeries(), 498},
        {"Saturn", SaturnSeries(), 632},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        int total = 0;
        for (const auto *coord : {&c.Series.L, &c.Series.B, &c.Series.R})
            for (const auto &s : *coord)
                total += static_cast<int>(s.size());
        EXPECT_EQ(total, c.Total);
    }
    // The first two Venus L0 terms as Meeus prints them, with the source's extra decimals.
    EXPECT_DOUBLE_EQ(VenusSeries().L[0][0].A, 317614666.774);
    EXPECT_DOUBLE_EQ(VenusSeries().L[0][1].A, 1353968.419);
    EXPECT_NEAR(VenusSeries().L[0][1].B, 5.5931332, 1e-7);
    EXPECT_NEAR(VenusSeries().L[0][1].C, 10213.2855462, 1e-7);
}

// The series taken the plain way: one cosine at a time, added in table order, Horner over τ.
double PlainSeries(const std::array<std::span<const TVsopTerm>, 6> &series, double tau)
{
    double value = 0;
    for (int i = 5; i >= 0; --i) {
        double sum = 0;
        for (const TVsopTerm &term : series[static_cast<std::size_t>(i)])
            sum += term.A * CosAA(term.B + term.C * tau);
        value = value * tau + sum;
    }
    return value;
}

bool SameBits(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

// The evaluation takes its cosines several at a time; every place must still be the one the
// plain loop gives, to the last bit, or almanac lines would shift between builds and machines.
TEST(PlanetSeries, EvaluationRoundsExactlyAsThePlainLoop)
{
    std::vector<double> centuries = {0.0, -0.0, 1e-300, 0.26, -0.5, 1.0, 10.0, -10.0, 30.0,
        // far out: C·τ passes 2^20 for the fast terms only, so one group of terms mixes both ways
        -2000.0, 5000.0, 1e5, 1e7, std::numeric_limits<double>::infinity(),
        std::numeric_limits<double>::quiet_NaN()};
    std::uint64_t state = 0x9e3779b97f4a7c15u;
    for (int i = 0; i < 3000; ++i) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        centuries.push_back(static_cast<double>(state >> 11) / 9007199254740992.0 * 20 - 10);
    }
    const std::pair<const char *, const TPlanetSeries *> bodies[] = {{"Earth", &EarthSeries()},
        {"Venus", &VenusSeries()}, {"Mars", &MarsSeries()}, {"Jupiter", &JupiterSeries()},
        {"Saturn", &SaturnSeries()}};
    for (const auto &[name, series] : bodies) {
        SCOPED_TRACE(name);
        int differing = 0;
        for (const double t : centuries) {
            const THeliocentric h = EvaluateSeries(*series, t);
            const double tau = t / 10;
            const bool same =
                SameBits(h.LDeg, Normalize360(RadToDeg(PlainSeries(series->L, tau) / 1e8)))
                && SameBits(h.BDeg, Normalize360(RadToDeg(PlainSeries(series->B, tau) / 1e8)))
                && SameBits(h.RAu, PlainSeries(series->R, tau) / 1e8);
            if (!same && ++differing <= 3)
                ADD_FAILURE() << "T = " << t << " centuries";
        }
        EXPECT_EQ(differing, 0);
    }
}

TEST(PlanetSeries, HeliocentricPlacesOfMeeus32aAnd33a)
{
    struct Case
    {
        const char *Name;
        const TPlanetSeries &Series;
        double LDeg, BDeg, RAu;
    };

    const Case cases[] = {
        // Meeus 32.a: Venus L = 26.11428°, B = −2.62070°, R = 0.724603.
        {"Venus (Meeus 32.a)", VenusSeries(), 26.11428, -2.62070, 0.724603},
        // Meeus 33.a: the Earth at the same instant, L0 = 88.35704°, B0 = 0.00014°, R0 = 0.983824.
        {"Earth (Meeus 33.a)", EarthSeries(), 88.35704, 0.00014, 0.983824},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const THeliocentric h = EvaluateSeries(c.Series, kTTVenus);
        EXPECT_NEAR(h.LDeg, c.LDeg, 0.00001);
        // Southern latitudes come back as 360 + B.
        EXPECT_NEAR(AngleDiff(h.BDeg, c.BDeg), 0, 0.00001);
        EXPECT_GE(h.BDeg, 0);
        EXPECT_NEAR(h.RAu, c.RAu, 0.000001);
    }
}

TEST(SunPlanets, SunMeeus25b)
{
    // Meeus 25.b: α = 198.378178°, δ = −7.783871°, R = 0.99760775 (the book adds a 0.09″ FK5
    // shift and the full nutation; the short nutation is good to 0.5″).
    const TSunPlace s = SunApparent(kTTSun);
    EXPECT_NEAR(s.RADeg, 198.378178, 0.0002);
    EXPECT_NEAR(s.DecDeg, -7.783871, 0.0002);
    EXPECT_NEAR(s.RAu, 0.99760775, 0.000002);
}

TEST(SunPlanets, VenusMeeus33a)
{
    // Meeus 33.a: α = 21h04m41.50s, δ = −18°53′17.0″, Δ = 0.91095 AU after the light-time step.
    const TPlanetPlace v = PlanetApparent(VenusSeries(), kTTVenus);
    EXPECT_NEAR(v.RADeg, Hms(21, 4, 41.50), 0.05 / 240);
    EXPECT_NEAR(v.DecDeg, Dms(-18, 53, 17.0), 0.5 / 3600);
    EXPECT_NEAR(v.DeltaAu, 0.91095, 0.00001);
    // 8.794″/Δ = 0.161′.
    EXPECT_NEAR(v.HorizontalParallaxArcmin, 0.161, 0.0005);
}

TEST(SunPlanets, PlanetsAgainstPyEphem)
{
    struct Case
    {
        const char *Name;
        const TPlanetSeries &Series;
        int Year, Month, Day;
        double Hour;
        double RADeg, DecDeg, DeltaAu;
    };

    // Apparent geocentric places of date computed with PyEphem 4.1.4 (full VSOP87), UT instants.
    const Case cases[] = {
        {"Mars at the 2003 opposition", MarsSeries(), 2003, 8, 27, 9, 339.731475, -15.709613,
            0.372717},
        {"Jupiter near opposition 2024", JupiterSeries(), 2024, 12, 7, 0, 75.275166, 22.072918,
            4.089423},
        {"Saturn at RA 359.6° (the 0/360 seam)", SaturnSeries(), 2025, 9, 21, 6, 359.630831,
            -2.895539, 8.546756},
        {"Venus at inferior conjunction 2020", VenusSeries(), 2020, 6, 3, 18, 72.137038, 22.908490,
            0.288576},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double tTT = TerrestrialCenturies(JulianCenturies(c.Year, c.Month, c.Day, c.Hour));
        const TPlanetPlace p = PlanetApparent(c.Series, tTT);
        // Navigational accuracy: 0.2′ of arc (RA on the sky, scaled by cos δ).
        EXPECT_NEAR(AngleDiff(p.RADeg, c.RADeg) * std::cos(DegToRad(c.DecDeg)), 0, 0.2 / 60);
        EXPECT_NEAR(p.DecDeg, c.DecDeg, 0.2 / 60);
        EXPECT_NEAR(p.DeltaAu, c.DeltaAu, 0.0001);
        EXPECT_GE(p.RADeg, 0);
        EXPECT_LT(p.RADeg, 360);
    }
}

TEST(SunPlanets, HorizontalParallaxOfVenusNearInferiorConjunction)
{
    // Δ = 0.2886 AU (PyEphem, 2020 June 3, 18h UT): 8.794″/0.2886 = 30.47″ = 0.508′.
    const double tTT = TerrestrialCenturies(JulianCenturies(2020, 6, 3, 18));
    EXPECT_NEAR(
        PlanetApparent(VenusSeries(), tTT).HorizontalParallaxArcmin, 8.794 / 0.288576 / 60, 0.001);
}

TEST(SunPlanets, EquationOfTimeAroundTheMarchEquinox)
{
    struct Case
    {
        const char *Name;
        int Year, Month, Day;
        double Minutes;
    };

    // Apparent minus mean time at 12h UT from PyEphem's apparent Sun and sidereal time (the
    // Sun's GHA at 12h UT in minutes of time). The mean longitude crosses 360° about two days
    // after the Sun's right ascension does.
    const Case cases[] = {
        {"2024-03-18", 2024, 3, 18, -7.899},
        {"2024-03-20 (equinox)", 2024, 3, 20, -7.309},
        {"2024-03-21", 2024, 3, 21, -7.011},
        {"2024-03-22", 2024, 3, 22, -6.711},
        {"2024-03-24", 2024, 3, 24, -6.107},
        {"2025-03-21", 2025, 3, 21, -7.063},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double t = JulianCenturies(c.Year, c.Month, c.Day, 12);
        const TSunPlace s = SunApparent(TerrestrialCenturies(t));
        const TSunAlmanac a = SunAlmanac(t * 36525, s.RADeg);
        // The low-precision mean longitude is good to a few seconds of time.
        EXPECT_NEAR(a.EquationOfTimeHours * 60, c.Minutes, 0.1);
    }
}

TEST(SunPlanets, EquationOfTimeWrapsByWholeDaysBothWays)
{
    struct Case
    {
        const char *Name;
        double MeanLonDeg; // wanted mean longitude, reached through n
        double RADeg;
        double Hours;
    };

    // (L − α)·4/60 hours brought into (−12, 12] by ±24.
    const Case cases[] = {
        {"mean longitude just below 360, RA past 0", 359.0, 1.0, -2 * 4 / 60.0},
        {"mean longitude past 360, RA just below it", 1.0, 359.0, 2 * 4 / 60.0},
        {"no wrap", 100.0, 101.5, -1.5 * 4 / 60.0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double n = (c.MeanLonDeg + 360 - 280.46) / 0.9856474;
        EXPECT_NEAR(SunAlmanac(n, c.RADeg).EquationOfTimeHours, c.Hours, 1e-9);
    }
}

TEST(SunPlanets, SemiDiameterAtPerihelionAndAphelion)
{
    struct Case
    {
        const char *Name;
        int Year, Month, Day;
        double RAu; // PyEphem 4.1.4 Earth-Sun distance at 0h UT
    };

    const Case cases[] = {
        {"perihelion 2024-01-03", 2024, 1, 3, 0.983307},
        {"aphelion 2024-07-05", 2024, 7, 5, 1.016725},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double t = JulianCenturies(c.Year, c.Month, c.Day, 0);
        const TSunAlmanac a = SunAlmanac(t * 36525, 0);
        EXPECT_NEAR(a.RAu, c.RAu, 0.0001);
        // 0.2666°/R: 16.27′ and 15.73′; the solar radius 959.63″ at 1 AU gives 16.26′ and
        // 15.73′ (Nautical Almanac: 16.3′ and 15.8′).
        EXPECT_NEAR(a.SemiDiameterDeg * 60, 959.63 / c.RAu / 60, 0.015);
    }
}

TEST(SunPlanets, AberrationOfTheSunIsMinusTwentyArcseconds)
{
    // For the Sun λ = ☉: Δλ = −κ(1 − e·cos(ϖ − λ)) ≈ −20.5″ (Meeus 25.b: −20.539″), Δβ = 0.
    const TEclipticCorrection c = Aberration(199.907347, 0, 199.907347, kTTSun);
    EXPECT_NEAR(c.DeltaLambdaArcsec, -20.539, 0.002);
    EXPECT_NEAR(c.DeltaBetaArcsec, 0, 1e-12);
}

} // namespace
} // namespace vrn
