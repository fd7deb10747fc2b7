#include "engine/AABASIC.h"
#include "engine/AATIME.h"
#include "engine/AATRANS.h"
#include "engine/DeltaTTable.h"
#include "engine/EarthOrientation.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <random>

namespace vrn {
namespace {

constexpr double kArcsec = kPi / 648000.0; // one arcsecond in radians

// Hours, minutes, seconds of time to hours.
constexpr double Hms(int h, int m, double s)
{
    return h + m / 60.0 + s / 3600.0;
}

TEST(TimeScales, JulianCenturiesFromJ2000)
{
    struct Case
    {
        const char *Name;
        int Year, Month, Day;
        double Hour;
        double Expected;
    };

    const Case cases[] = {
        {"J2000.0 itself", 2000, 1, 1, 12, 0},
        // Meeus example 12.a: T = -0.127296372348.
        {"1987 April 10, 0h (Meeus 12.a)", 1987, 4, 10, 0, -0.127296372348},
        // Meeus example 7.a: JD 2436116.31 → (2436116.31 − 2451545)/36525.
        {"1957 October 4.81 (Meeus 7.a)", 1957, 10, 4, 19.44, (2436116.31 - 2451545) / 36525},
        // Meeus example 25.a: 1992 October 13.0 is JD 2448908.5, T = -0.072183436.
        {"1992 October 13, 0h (Meeus 25.a)", 1992, 10, 13, 0, -0.072183436},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(JulianCenturies(c.Year, c.Month, c.Day, c.Hour), c.Expected, 1e-9);
    }
}

TEST(TimeScales, DeltaTAgreesWithTheLeapSeconds)
{
    // TT − UT1 = 32.184 s + (TAI − UTC) − (UT1 − UTC), and |UT1 − UTC| stays below 0.9 s: from
    // 1972 the observed ΔT lies within 0.9 s of 32.184 s + TAI − UTC. The steps of TAI − UTC
    // are those of IERS Bulletin C (each row: the first day of the value and the value).
    struct Step
    {
        int Year, Month;
        int TaiMinusUtc;
    };

    const Step steps[] = {{1973, 1, 12}, {1974, 1, 13}, {1975, 1, 14}, {1976, 1, 15}, {1977, 1, 16},
        {1978, 1, 17}, {1979, 1, 18}, {1980, 1, 19}, {1981, 7, 20}, {1982, 7, 21}, {1983, 7, 22},
        {1985, 7, 23}, {1988, 1, 24}, {1990, 1, 25}, {1991, 1, 26}, {1992, 7, 27}, {1993, 7, 28},
        {1994, 7, 29}, {1996, 1, 30}, {1997, 7, 31}, {1999, 1, 32}, {2006, 1, 33}, {2009, 1, 34},
        {2012, 7, 35}, {2015, 7, 36}, {2017, 1, 37}, {2018, 1, 37}};
    for (std::size_t i = 0; i + 1 < std::size(steps); ++i) {
        const Step &s = steps[i];
        const double from = JulianCenturies(s.Year, s.Month, 1, 0);
        const double to = JulianCenturies(steps[i + 1].Year, steps[i + 1].Month, 1, 0);
        for (const double f : {0.001, 0.25, 0.5, 0.75, 0.999}) {
            const double t = from + f * (to - from);
            SCOPED_TRACE(testing::Message() << "year " << 2000 + 100 * t);
            EXPECT_NEAR(DeltaT(t), 32.184 + s.TaiMinusUtc, 0.9);
        }
    }
}

TEST(TimeScales, DeltaTHasNoStepWhereItsSourcesMeet)
{
    struct Case
    {
        const char *Name;
        double Year;
    };

    const Case cases[] = {
        {"two-yearly table to the first observed value, 1657", 1657.0},
        {"half-yearly to monthly values, 1973", 1973.0},
        {"first monthly value, 1973 February", 1973.085558},
        {"last observed value to the extrapolation", ObservedDeltaT().back().Year},
        {"held value to the slope, 2026", kDeltaTHoldUntilYear},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double before = DeltaT((c.Year - 1e-7 - 2000) / 100);
        const double after = DeltaT((c.Year + 1e-7 - 2000) / 100);
        EXPECT_NEAR(after - before, 0.0, 0.001);
    }
}

TEST(TimeScales, DeltaTAfterTheObservedValues)
{
    // Observed ΔT has stayed near 69.2 s since 2017 (IERS Bulletin A, TT − UT1): it is held to
    // 2026, then grows by less than a second a year.
    const double last = ObservedDeltaT().back().Seconds;
    EXPECT_NEAR(last, 69.2, 0.1);
    EXPECT_EQ(DeltaT((2024.5 - 2000) / 100), last);
    EXPECT_EQ(DeltaT((2026.0 - 2000) / 100), last);

    struct Case
    {
        double FromYear, ToYear;
    };

    for (const Case c : {Case {2026, 2035}, Case {2035, 2050}, Case {2050, 2100}}) {
        SCOPED_TRACE(testing::Message() << c.FromYear << ".." << c.ToYear);
        const double rate = (DeltaT((c.ToYear - 2000) / 100) - DeltaT((c.FromYear - 2000) / 100))
            / (c.ToYear - c.FromYear);
        EXPECT_GT(rate, 0.0);
        EXPECT_LT(rate, 1.0);
    }
}

TEST(TimeScales, DeltaTBeforeTheObservedValues)
{
    struct Case
    {
        const char *Name;
        double Year;
        double ExpectedSec;
        double TolSec;
    };

    // Table values are the tenths of a second of Meeus Table 10.A; the polynomial values are
    // evaluated by hand from the formulas with T = (Y − 2000)/100.
    const Case cases[] = {
        {"first table entry 1620", 1620, 124.0, 1e-9},
        {"halfway 1620-1622", 1621, 119.5, 1e-9},
        {"1650 (table: 48.0)", 1650, 48.0, 1e-9},
        {"year 1000: 50.6 + 67.5T + 22.5T²", 1000, 50.6 - 675 + 2250, 1e-6},
        {"year 500: 2715.6 + 573.36T + 46.5T²", 500, 2715.6 - 8600.4 + 10462.5, 1e-6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(DeltaT((c.Year - 2000) / 100), c.ExpectedSec, c.TolSec);
    }
}

TEST(TimeScales, DeltaTOfNaNStaysOutOfTheTable)
{
    EXPECT_TRUE(std::isnan(DeltaT(std::numeric_limits<double>::quiet_NaN())));
}

TEST(TimeScales, TerrestrialCenturiesAddsDeltaT)
{
    // J2000.0: TT − UT1 = 32.184 + 32 (TAI − UTC) − 0.355 (UT1 − UTC, IERS Bulletin B) = 63.83 s.
    EXPECT_NEAR(TerrestrialCenturies(0.0) * 86400.0 * 36525.0, 63.83, 0.01);
}

TEST(Nutation, MeeusExample22a)
{
    // 1987 April 10, 0h TD: JDE 2446895.5. Meeus gives Δψ = −3.788″, Δε = +9.443″,
    // ε0 = 23°26′27.407″.
    const double tTT = (2446895.5 - 2451545.0) / 36525.0;
    const TNutation n = Nutation(tTT);
    EXPECT_NEAR(n.DeltaPsiRad / kArcsec, -3.788, 0.0015);
    EXPECT_NEAR(n.DeltaEpsRad / kArcsec, 9.443, 0.0015);
    EXPECT_NEAR(MeanObliquity(tTT) / kArcsec, (23 * 60 + 26) * 60 + 27.407, 0.01);
}

TEST(Nutation, SeriesMatchesDirectSummationOverTheCentury)
{
    // Recomputes Δψ with one sine per term, the way Meeus prints the method, from the five
    // leading rows of Table 22.A; the angle-addition evaluation must agree with the full series
    // within the size of the terms left out (< 0.04″ each, 57 of them; a wrong multiplier or
    // a sign slip in the recurrences gives errors of 0.1″ to 1″).
    for (double year = 1950; year <= 2050; year += 12.5) {
        SCOPED_TRACE(year);
        const double t = (year - 2000) / 100;
        const auto deg = [](double d) { return DegToRad(d); };
        const double d = deg(297.8503631 + 445267.11148 * t);
        const double m = deg(357.5277233 + 35999.05034 * t);
        const double mp = deg(134.9629814 + 477198.8673981 * t);
        const double f = deg(93.2719103 + 483202.0175381 * t);
        const double om = deg(125.0445222 - 1934.1362608 * t);
        const double dPsi = (-17.1996 - 0.01742 * t) * std::sin(om)
            + (-1.3187 - 0.00016 * t) * std::sin(-2 * d + 2 * f + 2 * om)
            + (-0.2274 - 0.00002 * t) * std::sin(2 * f + 2 * om)
            + (0.2062 + 0.00002 * t) * std::sin(2 * om) + (0.1426 - 0.00034 * t) * std::sin(m)
            + (0.0712 + 0.00001 * t) * std::sin(mp);
        EXPECT_NEAR(Nutation(t).DeltaPsiRad / kArcsec, dPsi, 0.25);
    }
}

TEST(EarthOrientation, SiderealTimeMeeus12)
{
    struct Case
    {
        const char *Name;
        double Hour;
        double MeanHours;
        double ApparentHours;
        double TolSec;
    };

    const Case cases[] = {
        // Meeus 12.a: mean 13h10m46.3668s; apparent 13h10m46.1351s with the full nutation (the
        // short series differs by a few thousandths of a second).
        {"1987 April 10, 0h UT (Meeus 12.a)", 0, Hms(13, 10, 46.3668), Hms(13, 10, 46.1351), 0.01},
        // Meeus 12.b: 19h21m00s UT, mean 128.7378734° = 8h34m57.0896s. The apparent value
        // carries the same equation of the equinoxes as at 0h (−0.2317 s).
        {"1987 April 10, 19:21 UT (Meeus 12.b)", 19.35, 128.7378734 / 15,
            128.7378734 / 15 - 0.2317 / 3600, 0.01},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TSiderealTime st = SiderealTime(1987, 4, 10, c.Hour);
        EXPECT_NEAR(st.MeanHours * 3600, c.MeanHours * 3600, 0.001);
        EXPECT_NEAR(st.ApparentHours * 3600, c.ApparentHours * 3600, c.TolSec);
    }
}

TEST(EarthOrientation, SiderealTimeStaysInTheDay)
{
    // Around J2000 the mean sidereal time at 0h UT is 6h39m52s (Astronomical Almanac 2000:
    // GMST at 2000 Jan 1, 0h UT = 6h39m52.27s); 23.9 h later it has wrapped past 24 h.
    const TSiderealTime a = SiderealTime(2000, 1, 1, 0);
    EXPECT_NEAR(a.MeanHours, Hms(6, 39, 52.27), 0.01 / 3600);
    const TSiderealTime b = SiderealTime(2000, 1, 1, 23.9);
    EXPECT_GE(b.MeanHours, 0);
    EXPECT_LE(b.MeanHours, 24);
    EXPECT_NEAR(b.MeanHours, std::fmod(Hms(6, 39, 52.27) + 23.9 * 1.00273790935, 24), 0.01 / 3600);
}

TEST(EarthOrientation, NutationShortAgainstFullSeries)
{
    // The four-term form is good to 0.5″ in Δψ and 0.1″ in Δε (Meeus ch. 22); 22.a again.
    const double t = (2446895.5 - 2451545.0) / 36525.0;
    const TNutationShort s = NutationShort(t);
    EXPECT_NEAR(s.DeltaPsiArcsec, -3.788, 0.5);
    EXPECT_NEAR(s.DeltaEpsArcsec, 9.443, 0.1);
    // True obliquity 23°26′36.850″ (Meeus 22.a).
    EXPECT_NEAR(s.EpsDeg * 3600, (23 * 60 + 26) * 60 + 36.850, 0.15);
}

TEST(EarthOrientation, SunTrueLongitudeMeeus25a)
{
    // Meeus 25.a, 1992 October 13.0 TD: L0 = 201.80720°, C = −1.89732°, ☉ = 199.90988°. The
    // function leaves whole turns in (only sines and cosines of it are used).
    const double sun = SunTrueLongitude(-0.072183436);
    EXPECT_NEAR(std::remainder(sun - 199.90988, 360), 0, 0.00002);
}

TEST(Transformations, EclipticToEquatorialMeeus13a)
{
    struct Case
    {
        const char *Name;
        double EpsDeg, BetaDeg, LambdaDeg;
        double AlphaDeg, DeltaDeg;
    };

    const Case cases[] = {
        // Meeus 13.a, Pollux: λ 113.215630°, β 6.684170°, ε 23.4392911° → α 116.328942°,
        // δ 28.026183°.
        {"Pollux (Meeus 13.a)", 23.4392911, 6.684170, 113.215630, 116.328942, 28.026183},
        // On the ecliptic at λ = 270°: α = 270°, δ = −ε (a wrap check: α must not come out
        // negative).
        {"winter solstice point", 23.44, 0, 270, 270, -23.44},
        // Just west of the equinox: α slightly below 360°.
        {"λ = 359°", 23.44, 0, 359, 359.0825, -0.3978},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TEquatorial e =
            EclipticToEquatorial(DegToRad(c.EpsDeg), DegToRad(c.BetaDeg), DegToRad(c.LambdaDeg));
        EXPECT_NEAR(RadToDeg(e.AlphaRad), c.AlphaDeg, 1e-4);
        EXPECT_NEAR(RadToDeg(e.DeltaRad), c.DeltaDeg, 1e-4);
        EXPECT_GE(e.AlphaRad, 0);
        EXPECT_LT(e.AlphaRad, 2 * kPi);
    }
}

TEST(EngineHelpers, ArcTan2AAAgreesWithTheLibraryInEveryQuadrant)
{
    const double values[] = {-3, -1, -0.25, 0, 0.25, 1, 3};
    for (const double y : values) {
        for (const double x : values) {
            SCOPED_TRACE(testing::Message() << "y=" << y << " x=" << x);
            const double expected = (x == 0 && y == 0) ? 0 : std::atan2(y, x);
            EXPECT_NEAR(ArcTan2AA(y, x), expected, 1e-15);
        }
    }
}

TEST(EngineHelpers, CosAAAgreesWithTheLibrary)
{
    // The arguments of the periodic terms: phases of a few radians plus frequency·τ, up to
    // 1e5 rad; and the places where the reduction changes quadrant.
    struct Range
    {
        const char *Name;
        double From, To;
    };

    const Range ranges[] = {
        {"one turn", -6.3, 6.3},
        {"series of 1900-2100", -2e4, 2e4},
        {"far centuries", -1e6, 1e6},
        {"beyond the reduction, library", 2e6, 1e9},
    };
    std::mt19937_64 rng(42);
    for (const auto &r : ranges) {
        SCOPED_TRACE(r.Name);
        std::uniform_real_distribution<double> x(r.From, r.To);
        double worst = 0;
        for (int i = 0; i < 200000; ++i) {
            const double v = x(rng);
            worst = std::max(worst, std::fabs(CosAA(v) - std::cos(v)));
        }
        EXPECT_LT(worst, 4e-16);
    }
    for (int k = -8; k <= 8; ++k) {
        SCOPED_TRACE(k);
        for (const double d : {-1e-9, 0.0, 1e-9}) {
            const double v = k * kPi / 4 + d;
            EXPECT_NEAR(CosAA(v), std::cos(v), 4e-16);
        }
    }
    EXPECT_TRUE(std::isnan(CosAA(std::numeric_limits<double>::quiet_NaN())));
}

TEST(EngineHelpers, ArcSinAAAndMod2Pi)
{
    EXPECT_DOUBLE_EQ(ArcSinAA(1), kPi / 2);
    EXPECT_DOUBLE_EQ(ArcSinAA(-1), -kPi / 2);
    EXPECT_NEAR(ArcSinAA(0.5), kPi / 6, 1e-15);
    EXPECT_DOUBLE_EQ(ArcSinAA(1 + 1e-13), kPi / 2); // rounding noise is clamped

    struct Case
    {
        const char *Name;
        double X;
        double Expected;
    };

    const Case cases[] = {
        {"zero", 0, 0},
        {"just under 2π", 6.28, 6.28},
        {"one turn and a bit", 7, 7 - 2 * kPi},
        {"small negative", -0.1, 2 * kPi - 0.1},
        {"minus several turns", -20, -20 + 4 * 2 * kPi},
        {"exactly −2π", -2 * kPi, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double r = Mod2Pi(c.X);
        EXPECT_NEAR(r, c.Expected, 1e-12);
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 2 * kPi);
    }
}

TEST(EngineHelpers, MultipleAnglesMatchDirectSines)
{
    double s[7] = {};
    double c[7] = {};
    for (const double x : {0.0, 0.3, 2.5, -1.7, 100.0}) {
        MultipleAngles(6, x, s, c);
        for (int k = 1; k <= 6; ++k) {
            SCOPED_TRACE(testing::Message() << "x=" << x << " k=" << k);
            EXPECT_NEAR(s[k], std::sin(k * x), 1e-13);
            EXPECT_NEAR(c[k], std::cos(k * x), 1e-13);
        }
    }
}

TEST(EngineHelpers, Polynomials)
{
    const double c3[4] = {1, -2, 3, -4};
    const double c4[5] = {1, -2, 3, -4, 5};
    // 1 − 2·2 + 3·4 − 4·8 = −23; plus 5·16 = 57.
    EXPECT_DOUBLE_EQ(Poly3(c3, 2), -23);
    EXPECT_DOUBLE_EQ(Poly4(c4, 2), 57);
    EXPECT_DOUBLE_EQ(Poly4(c4, 0), 1);
}

} // namespace
} // namespace vrn
