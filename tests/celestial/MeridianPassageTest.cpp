#include "celestial/MeridianPassage.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

constexpr double kArcmin = 1 / 60.0;

// A Sun whose declination moves at a fixed rate from 0 at 12:00 GMT and whose equation of time
// is fixed: the cases of the i factor worked by hand.
class TFixedSun : public TSunEphemeris
{
public:
    TFixedSun(double decDeg, double rateArcminPerHour, double eotHours)
        : FDec(decDeg)
        , FRate(rateArcminPerHour)
        , FEot(eotHours)
    { }

    TSunPassagePlace At(int, int, int, double hours) override
    {
        ++Calls;
        return {FDec + FRate * (hours - 12) / 60, 0, FEot};
    }

    int Calls = 0;

private:
    double FDec;
    double FRate;
    double FEot;
};

double Hours(int h, int m, int s = 0)
{
    return h + m / 60.0 + s / 3600.0;
}

TEST(NoonPosition, LongitudeFromTimeAndLatitudeFromZenithDistance)
{
    struct Case
    {
        const char *Name;
        double GmtHours, EotDeg, DecDeg, HoDeg;
        double Lon;
        bool HasNorth;
        double LatNorth;
        bool HasSouth;
        double LatSouth;
    };

    // Worked by hand from Lon = (GMT − 12)·15 + E, z = 90 − Ho, Lat = Dec ∓ z.
    const Case cases[] = {
        {"12:00 GMT, E 0: Greenwich", 12, 0, 20, 60, 0, true, -10, true, 50},
        {"15:00 GMT, E +0.1 h: 46.5 W", 15, 1.5, 20, 60, 46.5, true, -10, true, 50},
        {"Ho 10, Dec 20: the southern candidate (100) is off the globe", 12, 0, 20, 10, 0, true,
            -60, false, 0},
        {"07:00 GMT, E -0.2 h: 78 E", 7, -3, -10, 50, -78, true, -50, true, 30},
        {"00:30 GMT: past the date line, 172.5 E", 0.5, 0, 0, 45, -172.5, true, -45, true, 45},
        {"23:59 GMT with E +0.25 h: 183.5 W wraps to 176.5 E", 23 + 59 / 60.0, 3.75, 0, 89, -176.5,
            true, -1, true, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TNoonPosition p = NoonPosition(c.GmtHours, c.EotDeg, c.DecDeg, c.HoDeg);
        EXPECT_NEAR(p.LonDeg, c.Lon, 1e-9);
        EXPECT_GT(p.LonDeg, -180);
        EXPECT_LE(p.LonDeg, 180);
        ASSERT_EQ(p.LatIfSunNorthDeg.has_value(), c.HasNorth);
        ASSERT_EQ(p.LatIfSunSouthDeg.has_value(), c.HasSouth);
        if (c.HasNorth) {
            EXPECT_NEAR(*p.LatIfSunNorthDeg, c.LatNorth, 1e-9);
        }
        if (c.HasSouth) {
            EXPECT_NEAR(*p.LatIfSunSouthDeg, c.LatSouth, 1e-9);
        }
    }
}

// Sights synthesised with the engine alone (GHA and declination, altitude by the sight
// reduction formulas): an observer at a known position, the Sun at its meridian transit (GHA =
// longitude) and equal altitudes before and after it.
class SunPassageTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CreateAstros();
        SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    }

    void TearDown() override { FreeAstros(); }

    TSol &Sun() { return *Astros().Sun(); }

    // The GMT hours at which the Sun's GHA equals `lonDeg` (west), near noon of local time.
    double TransitHours(int y, int m, int d, double lonDeg)
    {
        double lo = 12 + lonDeg / 15 - 1;
        double hi = lo + 2;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            const double lha =
                std::remainder(Sun().ComputeGHADec(y, m, d, mid).GHADeg - lonDeg, 360);
            (lha < 0 ? lo : hi) = mid;
        }
        return (lo + hi) / 2;
    }

    // Altitude of the Sun's centre from a boat that left (lat0, lon) at `t0` hours.
    double Altitude(
        int y, int m, int d, double hours, double lat0, double lon, double t0, double northKn)
    {
        const auto p = Sun().ComputeGHADec(y, m, d, hours);
        const double lat = lat0 + northKn * (hours - t0) / 60;
        return ComputeAltitudeAzimuth(p.DecDeg, p.GHADeg, lat, lon, 0).HcDeg;
    }

    // The time after transit at which the altitude falls back to `hDeg`.
    double EqualAltitudeAfter(int y, int m, int d, double hDeg, double from, double lat0,
        double lon, double t0, double northKn)
    {
        double lo = from;
        double hi = from + 1.5;
        for (int i = 0; i < 60; ++i) {
            const double mid = (lo + hi) / 2;
            (Altitude(y, m, d, mid, lat0, lon, t0, northKn) > hDeg ? lo : hi) = mid;
        }
        return (lo + hi) / 2;
    }

    // The sextant altitude of the lower limb that the corrections turn into `hoDeg` (no dip,
    // no index error, simple refraction).
    double SextantAltitudeFor(double hoDeg, const TVrnWatch &watch)
    {
        TVrnSextant s;
        s.DipMode = TDipMode::Given;
        double hs = hoDeg;
        for (int i = 0; i < 10; ++i) {
            s.Hs = hs;
            s.CalcCorrections(TLimbType::LowerLimb, false, Sun(), watch, {}, {});
            hs = hoDeg - s.TotalCorrection;
        }
        return hs;
    }
};

TEST_F(SunPassageTest, NoonSightRecoversThePositionOfTheSight)
{
    struct Case
    {
        const char *Name;
        int Y, M, D;
        double Lat, Lon;
        bool SunSouth;
    };

    const Case cases[] = {
        {"40N 70W, June: Sun to the south", 2024, 6, 15, 40, 70, true},
        {"33.9S 18.4E, January: Sun to the north", 2024, 1, 20, -33.9, -18.4, false},
        {"5N 150E, March equinox", 2024, 3, 20, 5, -150, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double t = TransitHours(c.Y, c.M, c.D, c.Lon);
        const auto p = Sun().ComputeGHADec(c.Y, c.M, c.D, t);
        const double ho = 90 - std::fabs(c.Lat - p.DecDeg);
        const TVrnWatch watch {static_cast<std::uint16_t>(c.D), static_cast<std::uint16_t>(c.M),
            static_cast<std::uint16_t>(c.Y), t};

        TNoonSightInputs in;
        in.Body = &Sun();
        in.GMTDateText = FormatDateText(EncodeDate(c.Y, c.M, c.D), ShortDateFormat());
        in.GMTDayFraction = t / 24;
        in.HsDeg = SextantAltitudeFor(ho, watch);
        in.Settings.DipUnit = TDipUnit::Minutes;
        TVrnSextant sextant;
        TVrnWatch w;
        std::vector<std::string> report;
        const TNoonPosition pos = CalcNoonSight(in, Sun(), sextant, w, report);

        EXPECT_NEAR(pos.LonDeg, c.Lon, 0.1 * kArcmin);
        const auto &lat = c.SunSouth ? pos.LatIfSunSouthDeg : pos.LatIfSunNorthDeg;
        ASSERT_TRUE(lat.has_value());
        EXPECT_NEAR(*lat, c.Lat, 0.1 * kArcmin);
        EXPECT_EQ(w.Year, c.Y);
        EXPECT_NEAR(w.GMTHours, t, 1e-9);
        ASSERT_GE(report.size(), 18u);
        EXPECT_EQ(report[0], "Position by Meridian Passage of the Sun");
        EXPECT_EQ(report[1], "(No boat movement or declination variation)");
        EXPECT_EQ(report[4], "Altitude corrections---------------");
        EXPECT_EQ(report[5], "Altitude for lower limb");
        EXPECT_EQ(report.back().substr(0, 5), "Lon: ");
    }
}

TEST_F(SunPassageTest, NoonSightReportLines)
{
    // 2024-06-15 16:40:00 GMT, Hs 72°00.0' lower limb, dip 3 m, IC +1.0'.
    TNoonSightInputs in;
    in.Body = &Sun();
    in.GMTDateText = "15/06/2024";
    in.GMTDayFraction = (16 + 40 / 60.0) / 24;
    in.HsDeg = 72;
    in.Settings.DipValue = 3;
    in.Settings.IndexCorrectionArcmin = 1;
    TVrnSextant sextant;
    TVrnWatch watch;
    std::vector<std::string> r;
    CalcNoonSight(in, Sun(), sextant, watch, r);

    // Dip 1.76'·√3 m = 3.0' (Nautical Almanac dip table); the other corrections as computed.
    ASSERT_EQ(r.size(), 20u);
    EXPECT_EQ(r[2], "15/06/2024  16:40:00   GMT");
    EXPECT_EQ(r[3], "Inst Altitude (Hs): 72°00.0' ");
    EXPECT_EQ(r[6], "Dip:-3.0' IC: 1.0'");
    EXPECT_EQ(r[8].substr(0, 4), "Par:");
    EXPECT_EQ(r[8].find(" Corio:"), std::string::npos);
    // SD of the Sun in mid-June 959.63"/r with r = 1.0160 AU = 15.74'; no closing "'" here.
    const std::size_t sd = r[8].find("' SD:");
    ASSERT_NE(sd, std::string::npos);
    EXPECT_NEAR(std::stod(r[8].substr(sd + 5)), 15.74, 0.05);
    EXPECT_NE(r[8].back(), '\'');
    EXPECT_EQ(r[11], std::string(35, '-'));
    EXPECT_EQ(r[12].substr(0, 17), "Equation of Time:");
    EXPECT_EQ(r[14], std::string(35, '-'));
    EXPECT_EQ(r[15], "");
    EXPECT_EQ(r[16], "Calculated position:");
    EXPECT_NE(r[17].find(" if Sun to the North"), std::string::npos);
    EXPECT_NE(r[18].find(" if Sun to the South"), std::string::npos);
    EXPECT_EQ(r[19].substr(0, 5), "Lon: ");
}

TEST_F(SunPassageTest, NoonSightArtificialHorizonAndCalibration)
{
    TNoonSightInputs in;
    in.Body = &Sun();
    in.GMTDateText = "15/06/2024";
    in.GMTDayFraction = 0.5;
    in.HsDeg = 120;
    in.ArtificialHorizon = true;
    in.Settings.DipUnit = TDipUnit::Minutes;
    TVrnSextant sextant;
    sextant.CalibrationTable.AddPair({60, 0.5});
    TVrnWatch watch;
    std::vector<std::string> r;
    CalcNoonSight(in, Sun(), sextant, watch, r);
    ASSERT_GE(r.size(), 8u);
    EXPECT_EQ(r[5], "Correcting for artificial horizon");
    EXPECT_EQ(r[6], "H.inst: 60°00.0' ");
    EXPECT_EQ(r[7], "Dip: 0.0' IC: 0.0' Cal: 0.5");
}

TEST_F(SunPassageTest, NoonSightFailures)
{
    struct Case
    {
        const char *Name;
        const char *Body;
        const char *Date;
        double Dip;
        const char *Message;
        std::size_t LinesKept;
    };

    const Case cases[] = {
        {"the Moon chosen", "Moon", "15/06/2024", 0,
            "Select the Sun for meridian passage calculation", 1},
        {"empty date", "Sun", "", 0, "Invalid date in GMT date: expected dd/MM/yyyy", 2},
        {"impossible date", "Sun", "31/02/2024", 0, "Invalid date in GMT date: expected dd/MM/yyyy",
            2},
        {"negative height of eye", "Sun", "15/06/2024", -3,
            "Height of the eye (Dip) must be a positive number", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TNoonSightInputs in;
        in.Body = FindAstro(c.Body);
        in.GMTDateText = c.Date;
        in.HsDeg = 50;
        in.Settings.DipValue = c.Dip;
        TVrnSextant sextant;
        TVrnWatch watch;
        std::vector<std::string> report {"kept"};
        try {
            CalcNoonSight(in, Sun(), sextant, watch, report);
            ADD_FAILURE() << "no failure";
        } catch (const EVrnError &e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
        EXPECT_EQ(report.size(), c.LinesKept);
    }
}

TEST(MeridianPassageCalculator, IFactorCases)
{
    struct Case
    {
        const char *Name;
        double Lat, Dec, RateArcminPerHour, Speed, Course;
        double Before, After;
        double IFactorSec, PassageHours;
    };

    // Worked by hand: i = (tan L − tan Dm)·15.28·(V cos C − ΔDec).
    const Case cases[] = {
        {"at rest, constant declination: the mid time", 45, 0, 0, 0, 0, Hours(11, 40),
            Hours(12, 40), 0, Hours(12, 10)},
        {"north at 10 kn, 45N, Dec 0: 152.8 s", 45, 0, 0, 10, 0, Hours(11, 30), Hours(12, 30),
            152.8, 12 + 152.8 / 3600},
        {"south at 10 kn: -152.8 s", 45, 0, 0, 10, 180, Hours(11, 30), Hours(12, 30), -152.8,
            12 - 152.8 / 3600},
        {"due east: no northward speed", 45, 0, 0, 10, 90, Hours(11, 30), Hours(12, 30), 0, 12},
        {"Sun moving north 1'/h at rest, 45N: -15.28 s", 45, 0, 1, 0, 0, Hours(11, 30),
            Hours(12, 30), -15.28, 12 - 15.28 / 3600},
        {"observer on the declination: no correction", 20, 20, 1, 10, 0, Hours(11, 30),
            Hours(12, 30), 0, 12},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TFixedSun sun(c.Dec, c.RateArcminPerHour, 0);
        TEnhancedMeridianPassageCalculator calc(sun);
        calc.SetPassageDate(EncodeDate(2024, 3, 20));
        calc.Latitude = c.Lat;
        calc.Speed = c.Speed;
        calc.Course = c.Course;
        TMeridianPassageTimePair pair;
        pair.PairNumber = 1;
        pair.PairSelected = true;
        pair.TimeBefore = c.Before;
        pair.TimeAfter = c.After;
        calc.Pairs.push_back(pair);
        EXPECT_TRUE(calc.ChoosePairsAndCalc([](auto &) {
            ADD_FAILURE() << "no dialog for one pair";
            return false;
        }));
        EXPECT_NEAR(calc.Pairs[0].DeclRate, c.RateArcminPerHour, 1e-9);
        EXPECT_NEAR(calc.Pairs[0].IFactor, c.IFactorSec, 0.01);
        EXPECT_NEAR(calc.MeanPassageTime, c.PassageHours, 0.01 / 3600);
        EXPECT_NEAR(calc.MeanIFactor, c.IFactorSec, 0.01);
    }
}

TEST(MeridianPassageCalculator, PassageDateAndMeans)
{
    TFixedSun sun(0, 0, 0);
    TEnhancedMeridianPassageCalculator calc(sun);
    calc.SetPassageDate(EncodeDate(2025, 12, 31));
    EXPECT_EQ(calc.Day, 31);
    EXPECT_EQ(calc.Month, 12);
    EXPECT_EQ(calc.Year, 2025);
    EXPECT_THROW(calc.SetPassageDate(std::nan("")), EConvertError);
    EXPECT_EQ(calc.Year, 2025);

    calc.Pairs.resize(3);
    calc.Pairs[0] = {1, true, 0, 0, 0, 0, 10, 12};
    calc.Pairs[1] = {2, false, 0, 0, 0, 0, 99, 20};
    calc.Pairs[2] = {3, true, 0, 0, 0, 0, 20, 12.5};
    calc.CalcMeans();
    EXPECT_DOUBLE_EQ(calc.MeanIFactor, 15);
    EXPECT_DOUBLE_EQ(calc.MeanPassageTime, 12.25);

    const TAveragePassage avg = AveragePassage(calc.Pairs);
    ASSERT_TRUE(avg.MeanHours.has_value());
    EXPECT_DOUBLE_EQ(*avg.MeanHours, 12.25);
    ASSERT_EQ(avg.DiffSec.size(), 3u);
    EXPECT_NEAR(*avg.DiffSec[0], -900, 1e-6);
    EXPECT_FALSE(avg.DiffSec[1].has_value());
    EXPECT_NEAR(*avg.DiffSec[2], 900, 1e-6);

    for (auto &p : calc.Pairs)
        p.PairSelected = false;
    EXPECT_FALSE(AveragePassage(calc.Pairs).MeanHours.has_value());
    try {
        calc.CalcMeans();
        ADD_FAILURE() << "no failure";
    } catch (const EVrnError &e) {
        EXPECT_STREQ(e.what(), "No valid time entries");
    }
}

TEST(MeridianPassagePairs, ReadingTheTimeFields)
{
    const auto f = [](double h) { return h / 24; };

    struct Case
    {
        const char *Name;
        bool Multiple;
        TEqualAltitudeRow One;
        std::array<TEqualAltitudeRow, kEqualAltitudeRows> Rows;
        int WatchErrorSec;
        std::vector<int> Numbers;
        double FirstBefore;
        const char *Message;
    };

    const std::array<TEqualAltitudeRow, kEqualAltitudeRows> none {};
    const Case cases[] = {
        {"one pair", false, {f(11.5), f(12.5)}, none, 0, {1}, 11.5, nullptr},
        // A watch 60 s fast reads every time a minute late, as in the celestial window.
        {"watch error +60 s: one minute earlier", false, {f(11.5), f(12.5)}, none, 60, {1},
            11.5 - 1 / 60.0, nullptr},
        {"watch error -30 s: half a minute later", false, {f(11.5), f(12.5)}, none, -30, {1},
            11.5 + 0.5 / 60.0, nullptr},
        {"one pair, time after zero", false, {f(11.5), 0}, none, 0, {}, 0, "Invalid times"},
        {"one pair, both zero", false, {}, none, 0, {}, 0, "Invalid times"},
        {"same times", false, {f(12), f(12)}, none, 0, {}, 0,
            "Times before and after cannot be the same"},
        {"10:30 and 13:30: 180 minutes", false, {f(10.5), f(13.5)}, none, 0, {}, 0,
            "Difference between Times before and after cannot exceed 80 minutes."},
        {"80 minutes exactly is accepted", false, {f(11), f(12 + 20 / 60.0)}, none, 0, {1}, 11,
            nullptr},
        {"rows 2 and 4 filled", true, {},
            {TEqualAltitudeRow {}, {f(11.5), f(12.5)}, {f(11.6), 0}, {f(11.7), f(12.3)}, {}}, 0,
            {2, 4}, 11.5, nullptr},
        {"multiple page: a half-filled row is ignored, none is left", true, {f(11), f(12)},
            {TEqualAltitudeRow {0, f(12.5)}, {}, {}, {}, {}}, 0, {}, 0, nullptr},
        {"multiple page: a bad row stops it", true, {},
            {TEqualAltitudeRow {f(11.5), f(12.5)}, {f(10), f(14)}, {}, {}, {}}, 0, {}, 0,
            "Difference between Times before and after cannot exceed 80 minutes."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            const auto pairs = ReadTimePairs(c.Multiple, c.One, c.Rows, c.WatchErrorSec);
            ASSERT_EQ(c.Message, nullptr);
            ASSERT_EQ(pairs.size(), c.Numbers.size());
            for (std::size_t i = 0; i < pairs.size(); ++i) {
                EXPECT_EQ(pairs[i].PairNumber, c.Numbers[i]);
                EXPECT_TRUE(pairs[i].PairSelected);
            }
            if (!pairs.empty()) {
                EXPECT_NEAR(pairs[0].TimeBefore, c.FirstBefore, 1e-9);
            }
        } catch (const EVrnError &e) {
            ASSERT_NE(c.Message, nullptr) << e.what();
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
}

class EqualAltitudesTest : public SunPassageTest
{
protected:
    TEqualAltitudesInputs Inputs()
    {
        TEqualAltitudesInputs in;
        in.GMTDateText = "20/03/2024";
        in.HsDeg = 45;
        in.DipUnit = TDipUnit::Minutes;
        in.LatDeg = 45;
        in.OnePair = {Hours(11, 40) / 24, Hours(12, 40) / 24};
        return in;
    }
};

TEST_F(EqualAltitudesTest, ReportWithAFixedSun)
{
    TFixedSun sun(0, 0, 0);
    TVrnSextant sextant;
    std::vector<std::string> r;
    TEqualAltitudesInputs in = Inputs();
    in.IndexCorrectionArcmin = -2;
    const auto res = CalcEqualAltitudes(in, Astros(), sun, sextant, nullptr, r);
    ASSERT_TRUE(res.Done);
    EXPECT_NEAR(res.PassageTimeHours, Hours(12, 10), 1e-9);
    // Lon = (12:10 − 12)·15 = 2.5° W.
    EXPECT_NEAR(res.LonDeg, 2.5, 1e-9);
    EXPECT_EQ(Astros().CurrentAstro, static_cast<TAstro *>(&Sun()));
    // The value typed as IC is added, as in the celestial window.
    EXPECT_NEAR(sextant.IndexCorrection, -2 * kArcmin, 1e-12);

    const std::vector<std::string> head {"Position by Meridian Passage for the Sun",
        "by the Two Equal Altitudes Method", "(with boat movement and",
        " declination variation correction i )", std::string(32, '-'), "Date: 20/03/2024",
        "Max Altitude (Culmination): 45°00.0' ", "Speed:   0.0 Knts", "Course:   0° T",
        "DLat:  0.0", "Passage time correction for pair 1 -------", "Time before: 11:40:00 GMT",
        "Time after : 12:40:00 GMT", "Culmination time: 12:10:00 GMT", "Delta Decl:  0.0",
        "i factor:  0.0 secs", "Passage time: 12:10:00 GMT", std::string(32, '-'),
        "Assumed Lat: 45°00.0'N", "Altitude corrections -----------",
        "Using altitude of lower limb"};
    ASSERT_GE(r.size(), head.size() + 10);
    for (std::size_t i = 0; i < head.size(); ++i)
        EXPECT_EQ(r[i], head[i]) << "line " << i;
    EXPECT_NE(r[head.size()].find("'  IC:-2.0'"), std::string::npos) << r[head.size()];
    EXPECT_EQ(r[head.size() + 3], "Corrected merid. pass. time: 12:10:00 GMT");
    EXPECT_EQ(r[head.size() + 4], std::string(32, '-'));
    EXPECT_EQ(r[head.size() + 5], "Equation of Time: 0°00.0'W");
    EXPECT_EQ(r[head.size() + 6], "Declination: 0°00.0'N");
    EXPECT_EQ(r[head.size() + 7], "");
    EXPECT_EQ(r[head.size() + 8], "Calculated position:");
    EXPECT_EQ(r[head.size() + 9], "Passage time: 12:10:00 GMT");
    // Assumed 45N is north of the declination: Sun to the south, Lat = Dec + z.
    EXPECT_NEAR(res.LatDeg, 0 + 90 - (45 + sextant.TotalCorrection), 1e-9);
    EXPECT_EQ(r.back(), "Lon:  2°30.0'W");
}

TEST_F(EqualAltitudesTest, MultiplePairsGoThroughTheSelection)
{
    TFixedSun sun(0, 0, 0);
    TVrnSextant sextant;
    TEqualAltitudesInputs in = Inputs();
    in.MultiplePairs = true;
    in.Rows[1] = {Hours(11, 30) / 24, Hours(12, 30) / 24};
    in.Rows[3] = {Hours(11, 40) / 24, Hours(12, 40) / 24};

    struct Case
    {
        const char *Name;
        bool Answer;
        bool UntickFirst;
        bool UntickSecond;
        const char *Message;
        bool Done;
        double Passage;
    };

    const Case cases[] = {
        {"both kept: the mean", true, false, false, nullptr, true, Hours(12, 5)},
        {"pair 2 unticked", true, true, false, nullptr, true, Hours(12, 10)},
        {"both unticked and OK", true, true, true, "No valid time entries", false, 0},
        {"cancelled", false, false, false, nullptr, false, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        int shown = 0;
        const TPairChooser choose = [&](std::vector<TMeridianPassageTimePair> &pairs) {
            ++shown;
            EXPECT_EQ(pairs.size(), 2u);
            EXPECT_EQ(pairs[0].PairNumber, 2);
            EXPECT_EQ(pairs[1].PairNumber, 4);
            pairs[0].PairSelected = !c.UntickFirst;
            pairs[1].PairSelected = !c.UntickSecond;
            return c.Answer;
        };
        std::vector<std::string> r;
        try {
            const auto res = CalcEqualAltitudes(in, Astros(), sun, sextant, choose, r);
            ASSERT_EQ(c.Message, nullptr);
            EXPECT_EQ(res.Done, c.Done);
            if (c.Done) {
                EXPECT_NEAR(res.PassageTimeHours, c.Passage, 1e-9);
            } else {
                EXPECT_EQ(r.size(), 9u) << "the lines before the selection stay";
            }
        } catch (const EVrnError &e) {
            ASSERT_NE(c.Message, nullptr);
            EXPECT_STREQ(e.what(), c.Message);
            EXPECT_EQ(r.size(), 9u);
        }
        EXPECT_EQ(shown, 1);
    }
}

TEST_F(EqualAltitudesTest, Failures)
{
    struct Case
    {
        const char *Name;
        const char *Date;
        TDipUnit Unit;
        double Dip;
        bool Multiple;
        double After;
        const char *Message;
        std::size_t LinesKept;
    };

    const Case cases[] = {
        {"empty date", "", TDipUnit::Minutes, 0, false, Hours(12, 40),
            "Invalid date in GMT date: expected dd/MM/yyyy", 5},
        {"negative height of eye", "20/03/2024", TDipUnit::Meters, -3, false, Hours(12, 40),
            "Height of the eye (Dip) must be a positive number", 5},
        {"one pair, time after zero", "20/03/2024", TDipUnit::Feet, 10, false, 0, "Invalid times",
            9},
        {"multiple page with no row", "20/03/2024", TDipUnit::Feet, 10, true, 0,
            "No valid time entries", 9},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TFixedSun sun(0, 0, 0);
        TVrnSextant sextant;
        TEqualAltitudesInputs in = Inputs();
        in.GMTDateText = c.Date;
        in.DipUnit = c.Unit;
        in.DipValue = c.Dip;
        in.MultiplePairs = c.Multiple;
        in.OnePair.AfterDayFraction = c.After / 24;
        std::vector<std::string> r;
        try {
            CalcEqualAltitudes(in, Astros(), sun, sextant, nullptr, r);
            ADD_FAILURE() << "no failure";
        } catch (const EVrnError &e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_EQ(r.size(), c.LinesKept);
    }
}

TEST_F(EqualAltitudesTest, AnAltitudeTooLowForTheDeclinationGivesNoLatitude)
{
    // Declination 20°N, observer assumed north of it, culmination at 10°: 20 + 80 = 100°N.
    TFixedSun sun(20, 0, 0);
    TVrnSextant sextant;
    TEqualAltitudesInputs in = Inputs();
    in.HsDeg = 10;
    std::vector<std::string> r;
    try {
        CalcEqualAltitudes(in, Astros(), sun, sextant, nullptr, r);
        ADD_FAILURE() << "no failure";
    } catch (const EVrnError &e) {
        EXPECT_STREQ(e.what(), "No latitude for this altitude and declination: check the altitude");
    }
    ASSERT_FALSE(r.empty());
    EXPECT_EQ(r.back().rfind("Declination:", 0), 0u) << r.back();
}

TEST_F(EqualAltitudesTest, RealSunFromAMovingBoat)
{
    struct Case
    {
        const char *Name;
        int Y, M, D;
        double Lat, Lon;
        double NorthKn;
        double HalfIntervalH;
    };

    // Equinox and solstice dates (declination changing fastest and slowest), a boat at rest and
    // one running north or south; sights 30 or 40 minutes either side of the transit.
    const Case cases[] = {
        {"March, 45N 10W, at rest", 2024, 3, 20, 45, 10, 0, 0.5},
        {"March, 45N 10W, north at 12 kn", 2024, 3, 20, 45, 10, 12, 0.5},
        {"September, 30S 150E, south at 8 kn", 2024, 9, 22, -30, -150, -8, 2 / 3.0},
        {"June, 50N 5W, at rest", 2024, 6, 21, 50, 5, 0, 0.5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const double t0 = TransitHours(c.Y, c.M, c.D, c.Lon);
        const double before = t0 - c.HalfIntervalH;
        const double h = Altitude(c.Y, c.M, c.D, before, c.Lat, c.Lon, t0, c.NorthKn);
        const double after = EqualAltitudeAfter(c.Y, c.M, c.D, h, t0, c.Lat, c.Lon, t0, c.NorthKn);
        // The boat's own transit: GHA = its (unchanging) longitude; its latitude then is c.Lat.
        TSolEphemeris sun(Sun());
        TEnhancedMeridianPassageCalculator calc(sun);
        calc.SetPassageDate(EncodeDate(c.Y, c.M, c.D));
        calc.Latitude = c.Lat;
        calc.Speed = std::fabs(c.NorthKn);
        calc.Course = c.NorthKn < 0 ? 180 : 0;
        TMeridianPassageTimePair pair;
        pair.PairSelected = true;
        pair.TimeBefore = before;
        pair.TimeAfter = after;
        calc.Pairs.push_back(pair);
        ASSERT_TRUE(calc.ChoosePairsAndCalc(nullptr));
        const double midErrSec = (calc.Pairs[0].MidTime - t0) * 3600;
        const double errSec = (calc.MeanPassageTime - t0) * 3600;
        // Within 4 s of time (1' of longitude), and never worse than the plain mid time.
        EXPECT_NEAR(errSec, 0, 4) << "mid time error " << midErrSec << " s";
        EXPECT_LE(std::fabs(errSec), std::fabs(midErrSec) + 0.5);
    }
}

} // namespace
} // namespace vrn
