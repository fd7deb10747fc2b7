#include "celestial/SightInputs.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

TEST(SightInputs, SextantSettingsFromTheFields)
{
    struct Case
    {
        const char *Name;
        TDipUnit Unit;
        double Dip;
        bool DipShort;
        TDipMode Mode;
        double EyeHeightFt;
        double DipDeg;
        const char *Message;
    };

    // 3 m = 3 / 0.3048 ft (international foot); a dip in minutes is the signed correction.
    const Case cases[] = {
        {"3 metres", TDipUnit::Meters, 3, false, TDipMode::FromEyeHeight, 3 / 0.3048, 0, nullptr},
        {"0 metres is accepted", TDipUnit::Meters, 0, false, TDipMode::FromEyeHeight, 0, 0,
            nullptr},
        {"10 feet with dip short", TDipUnit::Feet, 10, true, TDipMode::WithDipShort, 10, 0,
            nullptr},
        {"-3 minutes", TDipUnit::Minutes, -3, false, TDipMode::Given, 0, -3 / 60.0, nullptr},
        {"+2 minutes (dip short ignored)", TDipUnit::Minutes, 2, true, TDipMode::Given, 0, 2 / 60.0,
            nullptr},
        {"-3 metres", TDipUnit::Meters, -3, false, TDipMode::Given, 0, 0,
            "Height of the eye (Dip) must be a positive number"},
        {"-1 foot", TDipUnit::Feet, -1, false, TDipMode::Given, 0, 0,
            "Height of the eye (Dip) must be a positive number"},
        {"a huge dip in minutes", TDipUnit::Minutes, 1e300, false, TDipMode::Given, 0, 0,
            "Dip must be between -5400' and 5400'"},
        {"-5400' is the limit", TDipUnit::Minutes, -5400, false, TDipMode::Given, 0, -90, nullptr},
        {"a huge height", TDipUnit::Meters, std::nan(""), false, TDipMode::Given, 0, 0,
            "Height of the eye (Dip) must be a positive number"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TSextantSettingsInput in;
        in.DipUnit = c.Unit;
        in.DipValue = c.Dip;
        in.UseDipShort = c.DipShort;
        in.DipShortDistanceNm = 0.5;
        in.IndexCorrectionArcmin = -2;
        in.UseAtmosphericRefraction = true;
        in.TemperatureC = -5;
        in.PressureMb = 1030;
        TVrnSextant s;
        s.Temperature = 20;
        try {
            ReadSextantSettings(in, s);
            ASSERT_EQ(c.Message, nullptr);
            EXPECT_EQ(s.DipMode, c.Mode);
            EXPECT_NEAR(s.EyeHeight, c.EyeHeightFt, 1e-12);
            EXPECT_NEAR(s.Dip, c.DipDeg, 1e-12);
            EXPECT_NEAR(s.IndexCorrection, -2 / 60.0, 1e-12);
            EXPECT_TRUE(s.UseAtmosphericRefraction);
            EXPECT_EQ(s.Temperature, -5);
            EXPECT_EQ(s.Pressure, 1030);
            EXPECT_EQ(s.DipShortDistance, c.Mode == TDipMode::WithDipShort ? 0.5 : 0);
        } catch (const EVrnError &e) {
            ASSERT_NE(c.Message, nullptr) << e.what();
            EXPECT_STREQ(e.what(), c.Message);
            EXPECT_EQ(s.Temperature, 20) << "nothing changes on failure";
            EXPECT_FALSE(s.UseAtmosphericRefraction);
        }
    }
    EXPECT_EQ(DipUnitFromIndex(2), TDipUnit::Minutes);
    EXPECT_EQ(DipUnitFromIndex(1), TDipUnit::Feet);
    EXPECT_EQ(DipUnitFromIndex(-1), TDipUnit::Meters);
    EXPECT_EQ(DipUnitFromIndex(7), TDipUnit::Meters);
}

TEST(SightInputs, LocalAndGMTTimes)
{
    const TDateFormat dmy {TDateOrder::DayMonthYear, '/'};
    const double d = EncodeDate(2024, 3, 10);

    struct Case
    {
        const char *Name;
        bool FromLocal;
        double Given;
        double Zone;
        int WatchError;
        const char *Expected;
    };

    // GMT = local + zone/24 − watch error/86400, worked by hand.
    const Case cases[] = {
        {"local 10:00:00, zone +3, watch +30 s", true, d + 10 / 24.0, 3, 30, "10/03/2024 12:59:30"},
        {"GMT 23:30:00, zone -2, watch +30 s: next day", false, d + 23.5 / 24, -2, 30,
            "11/03/2024 01:30:30"},
        {"watch error -86400 s: one day later", true, d + 10 / 24.0, 0, -86400,
            "11/03/2024 10:00:00"},
        {"zone -5.5 across midnight backwards", true, d + 2 / 24.0, -5.5, 0, "09/03/2024 20:30:00"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double v = c.FromLocal ? GMTFromLocal(c.Given, c.Zone, c.WatchError)
                                     : LocalFromGMT(c.Given, c.Zone, c.WatchError);
        EXPECT_EQ(FormatDateTimeText(v, dmy), c.Expected);
        // And back.
        const double back = c.FromLocal ? LocalFromGMT(v, c.Zone, c.WatchError)
                                        : GMTFromLocal(v, c.Zone, c.WatchError);
        EXPECT_NEAR(back, c.Given, 1e-9);
    }

    const TVrnWatch w = WatchOf(EncodeDate(2024, 12, 31), 0.75);
    EXPECT_EQ(w.Day, 31);
    EXPECT_EQ(w.Month, 12);
    EXPECT_EQ(w.Year, 2024);
    EXPECT_DOUBLE_EQ(w.GMTHours, 18);
}

class ObjectDataTest : public testing::Test
{
protected:
    void SetUp() override { CreateAstros(); }

    void TearDown() override { FreeAstros(); }

    std::vector<std::string> Report(const char *body, int y, int m, int d, double hours, double lat,
        double lon, TVrnSextant &sextant)
    {
        TObjectDataInputs in;
        in.Body = FindAstro(body);
        in.Watch = {static_cast<std::uint16_t>(d), static_cast<std::uint16_t>(m),
            static_cast<std::uint16_t>(y), hours};
        in.GMTDateText = "date";
        in.GMTTimeText = "time";
        in.AssumedPos = TPosition("AssumedPos", lat, lon);
        in.Settings.DipValue = 3;
        std::vector<std::string> r;
        ObjectDataReport(in, sextant, r);
        return r;
    }

    static bool Has(const std::vector<std::string> &r, const std::string &prefix)
    {
        return std::any_of(
            r.begin(), r.end(), [&](const std::string &l) { return l.rfind(prefix, 0) == 0; });
    }
};

TEST_F(ObjectDataTest, SunAtTheJuneSolstice)
{
    // Solstice 2024 June 20 20:51 UT: declination = true obliquity, 23°26'10" mean (IAU 2006)
    // + 9" nutation = 23°26.3'N; semi-diameter 959.63"/r with r = 1.0163 AU = 15.74'.
    TVrnSextant s;
    const auto r = Report("Sun", 2024, 6, 20, 20 + 51 / 60.0, 40, 70, s);
    ASSERT_GE(r.size(), 12u);
    EXPECT_EQ(r[0], "Sun date time GMT");
    EXPECT_TRUE(r[1].ends_with("  Dec:23°26.3'N")) << r[1];
    ASSERT_EQ(r[3].substr(0, 15), "Semi-diameter: ");
    EXPECT_NEAR(std::stod(r[3].substr(15)), 15.74, 0.05);
    EXPECT_EQ(r[3].back(), '\'');
    EXPECT_FALSE(Has(r, "Horizontal Parallax"));
    EXPECT_EQ(r[4], "In assumed position -----------");
    EXPECT_EQ(r[5], "Ass.Pos. Lat:40°00.0'N  Lon:70°00.0'W");
    EXPECT_TRUE(Has(r, "Calc. Altitude (Hc): "));
    // The sextant reading that gives Hc, named as what it is (no apparent altitude).
    EXPECT_TRUE(Has(r, "Predicted Sextant Altitude (Hs): "));
    EXPECT_FALSE(Has(r, "Apparent Altitude"));
    EXPECT_TRUE(Has(r, "Azimuth (Az): "));
    EXPECT_TRUE(Has(r, "Rise : "));
    EXPECT_TRUE(Has(r, "Civil Twilights -----"));
    EXPECT_FALSE(Has(r, "Mag: "));
    // The settings were read: dip of 3 m.
    EXPECT_NEAR(s.Dip * 60, -3.04, 0.01);
}

TEST_F(ObjectDataTest, StarMoonAndABodyBelowTheHorizon)
{
    TVrnSextant s;
    const auto sirius = Report("Sirius", 2024, 1, 15, 0, 40, 0, s);
    EXPECT_TRUE(Has(sirius, "Mag: "));
    EXPECT_FALSE(Has(sirius, "Semi-diameter: "));
    EXPECT_FALSE(Has(sirius, "Civil Twilights"));

    const auto moon = Report("Moon", 2024, 1, 15, 12, 40, 0, s);
    EXPECT_TRUE(Has(moon, "Semi-diameter: "));
    EXPECT_TRUE(Has(moon, "Horizontal Parallax: "));

    // The Sun at midnight GMT from Greenwich in January is far below the horizon.
    const auto night = Report("Sun", 2024, 1, 15, 0, 51.5, 0, s);
    EXPECT_TRUE(Has(night, "Object not visible (negative altitude)"));
}

TEST(SightInputs, ListAndGridRows)
{
    TLOPRecord lop;
    lop.ObjectName = "Sun";
    lop.GMTDay = 3;
    lop.GMTMonth = 1;
    lop.GMTYear = 2024;
    lop.GMTHours = 12.5;
    lop.HInst = 26.7;
    lop.Intercept = -3.25;
    lop.Azimuth = 184.6;
    const auto row = LOPListRow(2, lop, {TDateOrder::DayMonthYear, '/'});
    EXPECT_EQ(row[0], "2");
    EXPECT_EQ(row[1], "Sun");
    EXPECT_EQ(row[2], "03/01/2024 12:30:00");
    EXPECT_EQ(row[3], "26°42.0' ");
    EXPECT_EQ(row[4], "-3.2");
    EXPECT_EQ(row[5], "185°");

    const auto g = CalibrationGridRow(1, {20, 0.5});
    EXPECT_EQ(g[0], "1");
    EXPECT_EQ(g[1], " 20°");
    EXPECT_EQ(g[2], "0.5'");

    TSextantCalibrationTable t;
    t.AddPair({20, 0.5});
    t.AddPair({60, -0.5});
    const auto v = CalibrationPlotValues(t);
    ASSERT_EQ(v.size(), 126u);
    // Held outside the table, linear inside (Sextante's own table cases).
    EXPECT_DOUBLE_EQ(v.front(), 0.5);
    EXPECT_DOUBLE_EQ(v[45], 0.0); // 40°
    EXPECT_DOUBLE_EQ(v.back(), -0.5);

    const TBoatCourseAndSpeed boat {6, 90};
    EXPECT_EQ(SpeedLabel(boat), " 6.0 kn");
    EXPECT_EQ(CourseLabel(boat), " 90° T");
}

} // namespace
} // namespace vrn
