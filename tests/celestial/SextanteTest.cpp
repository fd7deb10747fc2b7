#include "celestial/Sextante.h"

#include "engine/Astros.h"
#include "engine/VrnError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>

namespace vrn {
namespace {

// A fresh registry per test; the Sun on 2024 January 3 (semi-diameter 16.3', Nautical Almanac
// 2024 daily page; 16.26' from PyEphem 4.1.4).
class SextanteTest : public testing::Test
{
protected:
    void SetUp() override { CreateAstros(); }

    void TearDown() override { FreeAstros(); }

    TVrnWatch SunWatch() const { return {3, 1, 2024, 12}; }

    TAstro &ComputedSun()
    {
        TAstro &sun = *FindAstro("Sun");
        sun.ComputeGHADec(2024, 1, 3, 12);
        return sun;
    }

    TPosition FAP {"AssumedPos", 40, 10};
    TBoatCourseAndSpeed FBoat;
};

TEST_F(SextanteTest, DipFromHeightOfEyeAndDipShort)
{
    struct Case
    {
        const char *Name;
        TDipMode Mode;
        double EyeFt;
        double DistNm;
        double ExpectedArcmin;
    };

    // Sea horizon: 0.97'·√h(ft), the Nautical Almanac's 1.76'·√h(m). Dip short: Bowditch
    // (Pub. 9) table 22, ds = 60·atan(h/(6076.1·d) + d/8268), values computed independently.
    const Case cases[] = {
        {"10 ft", TDipMode::FromEyeHeight, 10, 0, -3.067},
        {"3 m as the window converts it", TDipMode::FromEyeHeight, 3 / 0.3048, 0, -3.043},
        {"no height", TDipMode::FromEyeHeight, 0, 0, 0},
        {"9 m, waterline 1 NM: dip short", TDipMode::WithDipShort, 29.53, 1, -17.123},
        {"10 ft, waterline 0.5 NM", TDipMode::WithDipShort, 10, 0.5, -11.523},
        {"9 m, waterline 6 NM beyond sqrt(h): sea horizon", TDipMode::WithDipShort, 29.53, 6,
            -0.97 * std::sqrt(29.53)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TVrnSextant s;
        s.Hs = 30;
        s.DipMode = c.Mode;
        s.EyeHeight = c.EyeFt;
        s.DipShortDistance = c.DistNm;
        s.CalcCorrections(
            TLimbType::ObjectCenter, false, *FindAstro("Sirius"), SunWatch(), FAP, FBoat);
        EXPECT_NEAR(s.Dip * 60, c.ExpectedArcmin, 0.005);
    }
}

TEST_F(SextanteTest, DipGivenDirectlyIsKept)
{
    TVrnSextant s;
    s.Hs = 30;
    s.DipMode = TDipMode::Given;
    s.Dip = -3.0 / 60; // the window's "minutes" unit, signed
    s.CalcCorrections(TLimbType::LowerLimb, false, *FindAstro("Sirius"), SunWatch(), FAP, FBoat);
    EXPECT_DOUBLE_EQ(s.Dip, -3.0 / 60);
}

TEST_F(SextanteTest, CorrectionFailuresCarryTheSystemMessages)
{
    struct Case
    {
        const char *Name;
        TDipMode Mode;
        double EyeFt;
        double DistNm;
        bool Atmospheric;
        double TemperatureC;
        const char *Message;
    };

    const Case cases[] = {
        {"dip short distance 0", TDipMode::WithDipShort, 10, 0, false, 20,
            "Dip short distance cannot be zero"},
        {"dip short, no height and no distance", TDipMode::WithDipShort, 0, 0, false, 20,
            "Dip short distance cannot be zero"},
        {"negative distance", TDipMode::WithDipShort, 10, -1, false, 20,
            "Dip short distance cannot be zero"},
        {"absolute zero", TDipMode::FromEyeHeight, 10, 0, true, -273.15,
            "Invalid temperature in refraction formula"},
        {"below absolute zero", TDipMode::FromEyeHeight, 10, 0, true, -300,
            "Invalid temperature in refraction formula"},
        // A slip of the keyboard: -273 °C once gave an intercept of -3546 nm, reported as a LOP.
        {"colder than any air", TDipMode::FromEyeHeight, 10, 0, true, -273,
            "Invalid temperature in refraction formula"},
        {"hotter than any air", TDipMode::FromEyeHeight, 10, 0, true, 200,
            "Invalid temperature in refraction formula"},
        {"negative height of eye", TDipMode::FromEyeHeight, -3, 0, false, 20,
            "Height of the eye (Dip) must be a positive number"},
        {"negative height with dip short", TDipMode::WithDipShort, -3, 1, false, 20,
            "Height of the eye (Dip) must be a positive number"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TVrnSextant s;
        s.Hs = 30;
        s.DipMode = c.Mode;
        s.EyeHeight = c.EyeFt;
        s.DipShortDistance = c.DistNm;
        s.UseAtmosphericRefraction = c.Atmospheric;
        s.Temperature = c.TemperatureC;
        try {
            s.CalcCorrections(TLimbType::LowerLimb, false, ComputedSun(), SunWatch(), FAP, FBoat);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
    }
}

TEST_F(SextanteTest, SimpleRefractionAgainstPublishedValues)
{
    struct Case
    {
        double HaDeg;
        double ExpectedArcmin;
        double TolArcmin;
        const char *Source;
    };

    const Case cases[] = {
        {0, -34.46, 0.005, "Meeus ch. 16 formula with correction term, independent computation"},
        {10, -5.33, 0.005, "idem"},
        {45, -0.97, 0.005, "idem"},
        {90, 0.015, 0.001, "idem: the formula gives a small positive value at the zenith"},
        {5, -9.9, 0.06, "Nautical Almanac, stars and planets table (0.1' steps)"},
        {10, -5.3, 0.06, "Nautical Almanac, stars and planets table"},
        {30, -1.7, 0.06, "Nautical Almanac, stars and planets table"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Source) + " at " + std::to_string(c.HaDeg));
        EXPECT_NEAR(SimpleRefraction(c.HaDeg), c.ExpectedArcmin, c.TolArcmin);
    }
    EXPECT_THROW(SimpleRefraction(-4.4), EVrnError); // 7.31 / 0: the formula has no value
}

TEST_F(SextanteTest, AtmosphericRefraction)
{
    struct Case
    {
        double HaDeg;
        double TemperatureC;
        double PressureMb;
        double ExpectedArcmin; // independent computation of the same formula
    };

    const Case cases[] = {
        {10, 20, 1010, -5.0936}, {10, -10, 1040, -5.8428}, // cold and high pressure bend more
        {30, 35, 990, -1.4810}, {5, 20, 1010, -9.6958},
        {90, 20, 1010, 0}, // exactly 0 at the zenith
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.HaDeg) + " deg " + std::to_string(c.TemperatureC) + " C");
        TVrnSextant s;
        s.Ha = c.HaDeg;
        s.Temperature = c.TemperatureC;
        s.Pressure = c.PressureMb;
        EXPECT_NEAR(s.AtmosphericRefraction(), c.ExpectedArcmin, 0.0005);
    }
    // 250 mb is the air at an aircraft's height: still a refraction.
    TVrnSextant aloft;
    aloft.Ha = 10;
    aloft.Temperature = -50;
    aloft.Pressure = 250;
    EXPECT_LT(aloft.AtmosphericRefraction(), 0);
    for (const double pressureMb : {0.0, -1010.0, 10100.0}) {
        SCOPED_TRACE(pressureMb);
        TVrnSextant s;
        s.Ha = 10;
        s.Pressure = pressureMb;
        try {
            s.AtmosphericRefraction();
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_STREQ(e.what(), "Invalid pressure in refraction formula");
        }
    }
}

TEST_F(SextanteTest, SemiDiameterByLimbAndBody)
{
    struct Case
    {
        const char *Body;
        TLimbType Limb;
        double ExpectedArcmin;
    };

    // The Sun's semi-diameter on 2024 January 3 is 16.3' (Nautical Almanac); a star has none.
    const Case cases[] = {
        {"Sun", TLimbType::LowerLimb, 16.26},
        {"Sun", TLimbType::UpperLimb, -16.26},
        {"Sun", TLimbType::ObjectCenter, 0},
        {"Sun", LimbTypeFromIndex(7), 0}, // any other choice is the centre
        {"Sirius", TLimbType::LowerLimb, 0},
        {"Sirius", TLimbType::UpperLimb, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Body) + " limb " + std::to_string(int(c.Limb)));
        TAstro &body = *FindAstro(c.Body);
        body.ComputeGHADec(2024, 1, 3, 12);
        TVrnSextant s;
        s.Hs = 30;
        s.CalcCorrections(c.Limb, false, body, SunWatch(), FAP, FBoat);
        EXPECT_NEAR(s.SemiDiameter, c.ExpectedArcmin, 0.05);
    }
}

TEST_F(SextanteTest, MoonParallaxAgainstExactGeometry)
{
    // 2024-01-03 0h UT, observer 40°N 48.26°E: the Moon 403779 km from the Earth's centre
    // (PyEphem 4.1.4 geocentric: HP 54.305', SD 14.814'); its centre, seen at 42.4694° from the
    // surface of a spherical Earth, lies 40.057' below its geocentric altitude (vector
    // computation, independent of the formula).
    TAstro &moon = *FindAstro("Moon");
    moon.ComputeGHADec(2024, 1, 3, 0);
    EXPECT_NEAR(moon.GetHorizontalParallax(), 54.305, 0.02);
    EXPECT_NEAR(ParallaxInAltitude(moon, 42.4694), 40.057, 0.02);
    EXPECT_NEAR(moon.GetSemiDiameter(), 14.814, 0.02);
}

TEST_F(SextanteTest, ArtificialHorizonCountsHalfTheIndexCorrectionAndNoDipOrLimb)
{
    // A reading of 60°00' with IC -2': the caller halves Hs to 30°00'; semi-diameter and dip are 0
    // and the index correction counted is -1'. The Sun's refraction at Ha 29°59' is -1.68'
    // (Meeus ch. 16, independent computation); the Sun has no parallax here.
    TVrnSextant s;
    s.Hs = 30;
    s.IndexCorrection = -2.0 / 60;
    s.EyeHeight = 10;
    s.CalcCorrections(TLimbType::LowerLimb, true, ComputedSun(), SunWatch(), FAP, FBoat);
    EXPECT_EQ(s.SemiDiameter, 0);
    EXPECT_EQ(s.Dip, 0);
    EXPECT_DOUBLE_EQ(s.IndexCorrection, -2.0 / 60); // the input keeps its full value
    EXPECT_NEAR(s.Ha, 30 - 1.0 / 60, 1e-12);
    EXPECT_NEAR(s.Refraction, -1.681, 0.002);
    EXPECT_NEAR(s.TotalCorrection * 60, -1 - 1.681, 0.002);
}

TEST_F(SextanteTest, TotalCorrectionOfASunLowerLimbSight)
{
    // Hs 30°00', IC +1.5', 10 ft: dip -3.067' (Nautical Almanac formula), Ha 29.97388°,
    // refraction -1.682' (Meeus ch. 16), SD +16.265' (PyEphem 4.1.4), no parallax for the Sun:
    // +13.015', summed independently.
    TVrnSextant s;
    s.Hs = 30;
    s.IndexCorrection = 1.5 / 60;
    s.EyeHeight = 10;
    s.CalcCorrections(TLimbType::LowerLimb, false, ComputedSun(), SunWatch(), FAP, FBoat);
    EXPECT_NEAR(s.Ha, 30 + (1.5 - 3.067) / 60, 1e-5);
    EXPECT_NEAR(s.TotalCorrection * 60, 13.015, 0.02);
    EXPECT_EQ(s.Calibration, 0);
    EXPECT_EQ(s.Coriolis, 0);
}

TEST_F(SextanteTest, CalibrationTableLookup)
{
    struct Case
    {
        const char *Name;
        std::vector<TSextantCalibrationPair> Pairs;
        double AngleDeg;
        double ExpectedArcmin;
    };

    // Linear inside the table, held outside it (hand computation).
    const std::vector<TSextantCalibrationPair> two = {{60, -0.5}, {20, 0.5}}; // sorted on load
    const Case cases[] = {
        {"midway", two, 40, 0},
        {"quarter", two, 30, 0.25},
        {"below the first angle", two, 10, 0.5},
        {"above the last angle", two, 90, -0.5},
        {"on a point", two, 60, -0.5},
        {"empty table", {}, 40, 0},
        {"single pair", {{45, 1.2}}, 10, 1.2},
        {"duplicate angle: the second of them", {{30, 1}, {30, 2}, {50, 4}}, 30, 2},
        {"just past duplicates", {{30, 1}, {30, 2}, {50, 4}}, 40, 3},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TSextantCalibrationTable t;
        t.SetPairs(c.Pairs);
        EXPECT_NEAR(t.GetCorrection(c.AngleDeg), c.ExpectedArcmin, 1e-12);
    }
}

TEST_F(SextanteTest, CalibrationEntersHaAndTotal)
{
    TVrnSextant s;
    s.Hs = 40;
    s.CalibrationTable.SetPairs({{20, 0.5}, {60, -1.5}});
    s.CalcCorrections(TLimbType::ObjectCenter, false, *FindAstro("Sirius"), SunWatch(), FAP, FBoat);
    EXPECT_NEAR(s.Calibration, -0.5, 1e-12);
    EXPECT_NEAR(s.Ha, 40 - 0.5 / 60, 1e-12);
    EXPECT_NEAR(s.TotalCorrection * 60, -0.5 + s.Refraction, 1e-9);
}

TEST_F(SextanteTest, CoriolisFormula)
{
    struct Case
    {
        double ZnDeg, SpeedKn, CourseDeg, LatDeg;
        double ExpectedArcmin;
        const char *Source;
    };

    const Case cases[] = {
        {90, 400, 0, 50, 8.03, "Air Almanac Coriolis table: 2.62·V·sin L at 400 kn, 50°"},
        {270, 400, 0, 50, -8.03, "idem, body on the other side of the track"},
        {180, 400, 90, 50, 10.812, "with the rhumb-line term, independent computation"},
        {45, 300, 315, -30, -3.394, "southern latitude, independent computation"},
        {120, 0, 45, 60, 0, "no speed, no correction"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Source);
        EXPECT_NEAR(
            CoriolisArcmin(c.ZnDeg, c.SpeedKn, c.CourseDeg, c.LatDeg), c.ExpectedArcmin, 0.005);
    }
}

TEST_F(SextanteTest, CoriolisUsesTheBodysAzimuthFromTheAssumedPosition)
{
    // Aries on 2024-01-03 12h has declination 0. From 50°N with LHA 300° its azimuth is
    // atan2(−sin LHA, −sin φ·cos LHA) = 113.9°, from the spherical triangle with atan2,
    // independently of the engine's quadrant rules.
    TAstro &aries = *FindAstro("Aries *");
    const double gha = aries.ComputeGHADec(2024, 1, 3, 12).GHADeg;
    const double lat = 50;
    const TPosition ap("AssumedPos", lat, gha - 300); // LHA 300: east of the meridian
    const double lha = 300 * kPi / 180, phi = lat * kPi / 180;
    const double zn = std::fmod(
        std::atan2(-std::sin(lha), -std::sin(phi) * std::cos(lha)) * 180 / kPi + 360, 360.0);
    TVrnSextant s;
    s.Hs = 20;
    s.UseCoriolis = true;
    const TBoatCourseAndSpeed plane {450, 30};
    s.CalcCorrections(TLimbType::ObjectCenter, false, aries, SunWatch(), ap, plane);
    EXPECT_NEAR(s.Coriolis, CoriolisArcmin(zn, 450, 30, lat), 0.01);
    EXPECT_GT(zn, 0);
    EXPECT_LT(zn, 180);
    EXPECT_NEAR(s.TotalCorrection * 60, s.Refraction + s.Coriolis, 1e-9);
}

TEST_F(SextanteTest, ResetKeepsDipModeTemperatureAndPressure)
{
    TVrnSextant s;
    s.DipMode = TDipMode::WithDipShort;
    s.Temperature = -5;
    s.Pressure = 1030;
    s.Hs = 12;
    s.UseCoriolis = true;
    s.UseAtmosphericRefraction = true;
    s.TotalCorrection = 1;
    s.ResetSextant();
    EXPECT_EQ(s.DipMode, TDipMode::WithDipShort);
    EXPECT_EQ(s.Temperature, -5);
    EXPECT_EQ(s.Pressure, 1030);
    EXPECT_EQ(s.Hs, 0);
    EXPECT_FALSE(s.UseCoriolis);
    EXPECT_FALSE(s.UseAtmosphericRefraction);
    EXPECT_EQ(s.TotalCorrection, 0);
}

TEST_F(SextanteTest, BoatTexts)
{
    const TBoatCourseAndSpeed boat {6, 90};
    EXPECT_EQ(boat.CourseText(), " 90");
    EXPECT_EQ(boat.SpeedText(), " 6.0");
    EXPECT_EQ(AssumedPos().Name(), "AssumedPos");
}

} // namespace
} // namespace vrn
