#include "celestial/VrnCalc.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

class VrnCalcTest : public testing::Test
{
protected:
    void SetUp() override
    {
        CreateAstros();
        SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    }

    void TearDown() override { FreeAstros(); }

    // A Sun sight of 2024-01-03 12:13:00 UT from 40°N 10°W: Hs 26°42.0', IC -2', eye 3 m.
    TSightInputs SunSight() const
    {
        TSightInputs s;
        s.Body = FindAstro("Sun");
        s.Watch = {3, 1, 2024, 12 + 13 / 60.0};
        s.AssumedPos = TPosition("AssumedPos", 40, 10);
        s.Limb = TLimbType::LowerLimb;
        s.GMTDateText = "03/01/2024";
        s.GMTTimeText = "12:13:00";
        s.LocalDateTime = EncodeDate(2024, 1, 3) + (12 + 13 / 60.0) / 24;
        return s;
    }

    static TVrnSextant SextantFor(double hsDeg)
    {
        TVrnSextant s;
        s.Hs = hsDeg;
        s.IndexCorrection = -2.0 / 60;
        s.EyeHeight = 3 / 0.3048;
        return s;
    }
};

TEST_F(VrnCalcTest, SunSightReportLineByLine)
{
    // Expected lines from an independent reduction: GHA and declination from PyEphem 4.1.4
    // (GHA 2°11.2', Dec 22°50.5'S), dip 0.97'·√ft, refraction Meeus ch. 16, SD 16.27', Hc and Zn
    // from the spherical triangle with atan2. Every value is at least 0.006' from a rounding
    // boundary of its text.
    TVrnSextant sextant = SextantFor(26.7);
    std::vector<std::string> report;
    const TLOPRecord lop = CalcLOP(SunSight(), sextant, report);
    const std::vector<std::string> expected = {
        "LOP for Sun",
        "03/01/2024 12:13:00 GMT",
        "Assumed Pos. Lat:40°00.0'N  Lon:10°00.0'W",
        "Inst. Altitude (Hs): 26°42.0' ",
        "Altitude for lower limb",
        "Altitude corrections --- ",
        "Dip:-3.0' IC:-2.0'",
        "Apparent Altitude (Ha): 26°37.0' ",
        "Par: 0.0' Refr:-1.9' SD:16.3'",
        "Total Altitude Correction: 9.3'",
        "Corrected Inst Altitude (Ho): 26°51.3' ",
        "Object Positional data -----",
        "GHA:  2°11.2' ",
        "Decl: 22°50.5'S",
        "LHA: 352°11.2' ",
        "LOP Results------------------",
        "Calculated Altitude (Hc): 26°44.2' ",
        "Intercept:  7.1 NM (towards)",
        "Az.calc:  172°",
    };
    EXPECT_EQ(report, expected);

    EXPECT_TRUE(lop.Selected);
    EXPECT_EQ(lop.ObjectName, "Sun");
    EXPECT_EQ(lop.GMTDay, 3);
    EXPECT_EQ(lop.GMTMonth, 1);
    EXPECT_EQ(lop.GMTYear, 2024);
    EXPECT_NEAR(lop.IE, -2, 1e-12);
    EXPECT_NEAR(lop.DipMin, -3.0432, 1e-4);
    EXPECT_EQ(lop.HInst, 26.7);
    EXPECT_EQ(lop.APLat, 40);
    EXPECT_EQ(lop.APLon, 10);
    EXPECT_NEAR(lop.TotalCorr, 9.287, 0.01); // independent sum as above
    EXPECT_NEAR(lop.Intercept, 7.074, 0.02);
    EXPECT_NEAR(lop.Azimuth, 171.94, 0.01);
    EXPECT_NEAR(lop.SDCorr, 16.265, 0.01);
    EXPECT_TRUE(lop.LowerLimb);
    EXPECT_FALSE(lop.ArtificialHorizon);
    EXPECT_TRUE(lop.Comments.empty());
}

TEST_F(VrnCalcTest, MoonLimbAndArtificialHorizonLines)
{
    struct Case
    {
        const char *Name;
        TLimbType Limb;
        bool Horizon;
        std::vector<std::string> Expected; // the lines from the fifth to the "Dip" line
        std::string SdText; // the end of the "Par" line
    };

    // 2024-01-03 0h UT from 40°N 48.26°E: the Moon's SD is 14.8' (PyEphem geocentric).
    const Case cases[] = {
        {"upper limb", TLimbType::UpperLimb, false,
            {"Altitude for upper limb", "Altitude corrections --- ", "Dip:-3.0' IC:-2.0'"},
            " SD:-14.8'"},
        {"centre", TLimbType::ObjectCenter, false,
            {"Altitude for object center", "Altitude corrections --- ", "Dip:-3.0' IC:-2.0'"},
            " SD: 0.0'"},
        {"artificial horizon: no limb, no dip, halved reading, full IC shown", TLimbType::UpperLimb,
            true,
            {"Correcting for artificial horizon.", "H.inst: 21°30.0' ", "Altitude corrections --- ",
                "Dip: 0.0' IC:-2.0'"},
            " SD: 0.0'"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TSightInputs sight;
        sight.Body = FindAstro("Moon");
        sight.Watch = {3, 1, 2024, 0};
        sight.AssumedPos = TPosition("AssumedPos", 40, -48.26);
        sight.Limb = c.Limb;
        sight.ArtificialHorizon = c.Horizon;
        TVrnSextant sextant = SextantFor(43);
        std::vector<std::string> report;
        const TLOPRecord lop = CalcLOP(sight, sextant, report);
        ASSERT_GT(report.size(), 4 + c.Expected.size());
        EXPECT_EQ(report[3], "Inst. Altitude (Hs): 43°00.0' ");
        EXPECT_EQ(std::vector<std::string>(report.begin() + 4,
                      report.begin() + 4 + static_cast<std::ptrdiff_t>(c.Expected.size())),
            c.Expected);
        const std::string &par = report[4 + c.Expected.size() + 1];
        EXPECT_TRUE(par.ends_with(c.SdText)) << par;
        EXPECT_EQ(lop.HInst, c.Horizon ? 21.5 : 43);
        EXPECT_EQ(lop.ArtificialHorizon, c.Horizon);
        EXPECT_FALSE(lop.LowerLimb);
        EXPECT_EQ(lop.DipMin, c.Horizon ? 0 : sextant.Dip * 60);
    }
}

TEST_F(VrnCalcTest, StarSightHasNoLimbLine)
{
    TSightInputs sight = SunSight();
    sight.Body = FindAstro("Sirius");
    sight.Watch = {3, 1, 2024, 0};
    sight.AssumedPos = TPosition("AssumedPos", 40, 60); // Sirius near the meridian, east of it
    TVrnSextant sextant = SextantFor(30);
    std::vector<std::string> report;
    CalcLOP(sight, sextant, report);
    ASSERT_GT(report.size(), 5u);
    EXPECT_EQ(report[4], "Altitude corrections --- ");
}

TEST_F(VrnCalcTest, CalcLOPFailuresKeepTheLinesWrittenBefore)
{
    struct Case
    {
        const char *Name;
        TVrnWatch Watch;
        double HsDeg;
        bool Horizon;
        double LonDeg;
        TDipMode Dip;
        std::string Message;
    };

    const Case cases[] = {
        {"no date", {0, 0, 0, 12}, 26.7, false, 10, TDipMode::FromEyeHeight,
            "Invalid date in GMT date: expected dd/MM/yyyy"},
        {"impossible date", {31, 2, 2024, 12}, 26.7, false, 10, TDipMode::FromEyeHeight,
            "Invalid date in GMT date: expected dd/MM/yyyy"},
        {"zero altitude", {3, 1, 2024, 12}, 0, false, 10, TDipMode::FromEyeHeight,
            "Invalid sextant altitude (0°00)"},
        {"zero reading of an artificial horizon", {3, 1, 2024, 12}, 0, true, 10,
            TDipMode::FromEyeHeight, "Invalid sextant altitude (0°00)"},
        {"Sun below the horizon (LHA 172°)", {3, 1, 2024, 12 + 13 / 60.0}, 26.7, false, -170,
            TDipMode::FromEyeHeight, "Sun is not currently visible\r\nfrom assumed position."},
        {"a failing correction comes before the date check", {0, 0, 0, 12}, 26.7, false, 10,
            TDipMode::WithDipShort, "Dip short distance cannot be zero"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TSightInputs sight = SunSight();
        sight.Watch = c.Watch;
        sight.ArtificialHorizon = c.Horizon;
        sight.AssumedPos.Longitude = c.LonDeg;
        TVrnSextant sextant = SextantFor(c.HsDeg);
        sextant.DipMode = c.Dip;
        std::vector<std::string> report {"an old line"};
        try {
            CalcLOP(sight, sextant, report);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
        ASSERT_GE(report.size(), 4u);
        EXPECT_EQ(report[0], "LOP for Sun");
    }
    TVrnSextant sextant = SextantFor(0);
    std::vector<std::string> report;
    EXPECT_THROW(CalcLOP(SunSight(), sextant, report), EInvalidSextantAltitude);
}

// ---------------------------------------------------------------------------------------------

// Little-endian readers written for the test, independent of the record writer.
std::int32_t Int32At(const TLOPRecordBytes &b, std::size_t off)
{
    return static_cast<std::int32_t>(std::uint32_t(b[off]) | std::uint32_t(b[off + 1]) << 8
        | std::uint32_t(b[off + 2]) << 16 | std::uint32_t(b[off + 3]) << 24);
}

double DoubleAt(const TLOPRecordBytes &b, std::size_t off)
{
    std::uint64_t v = 0;
    for (int i = 7; i >= 0; --i)
        v = v << 8 | b[off + static_cast<std::size_t>(i)];
    return std::bit_cast<double>(v);
}

std::string TextAt(const TLOPRecordBytes &b, std::size_t off)
{
    return std::string(reinterpret_cast<const char *>(&b[off + 1]), b[off]);
}

TLOPRecord DistinctRecord()
{
    TLOPRecord l;
    l.Selected = true;
    l.ObjectName = "Rigil Kentaurus"; // 15 characters, the longest name
    l.GMTDay = 29;
    l.GMTMonth = 2;
    l.GMTYear = 2024;
    l.GMTHours = 23.5;
    l.LocalDateTime = 45351.75;
    l.TimeZone = -2.5;
    l.WatchError = -31;
    l.IE = -1.25;
    l.DipMin = -3.5;
    l.HInst = 45.125;
    l.APLat = -33.75;
    l.APLon = -151.25;
    l.TotalCorr = 12.375;
    l.Decl = -60.875;
    l.GHA = 359.5;
    l.LHA = 150.75;
    l.HCalc = 45.0625;
    l.Comments = "Transported 12 NM\r\nsecond line";
    l.SDCorr = -16.25;
    l.LowerLimb = false;
    l.ArtificialHorizon = true;
    l.Intercept = -4.5;
    l.Azimuth = 201.25;
    return l;
}

TEST(LOPRecord, ByteLayoutFieldByField)
{
    const TLOPRecord l = DistinctRecord();
    const TLOPRecordBytes b = EncodeLOPRecord(l);
    ASSERT_EQ(b.size(), 419u);

    // Offsets of the LOPS.LST layout, little-endian, no padding.
    EXPECT_EQ(b[0], 1);
    EXPECT_EQ(TextAt(b, 1), "Rigil Kentaurus");
    EXPECT_EQ(Int32At(b, 17), 29);
    EXPECT_EQ(Int32At(b, 21), 2);
    EXPECT_EQ(Int32At(b, 25), 2024);

    struct DoubleField
    {
        std::size_t Offset;
        double Value;
    };

    const DoubleField doubles[] = {{29, 23.5}, {37, 45351.75}, {45, -2.5}, {57, -1.25}, {65, -3.5},
        {73, 45.125}, {81, -33.75}, {89, -151.25}, {97, 12.375}, {105, -60.875}, {113, 359.5},
        {121, 150.75}, {129, 45.0625}, {393, -16.25}, {403, -4.5}, {411, 201.25}};
    for (const auto &d : doubles) {
        SCOPED_TRACE(d.Offset);
        EXPECT_EQ(DoubleAt(b, d.Offset), d.Value);
    }
    EXPECT_EQ(Int32At(b, 53), -31);
    EXPECT_EQ(b[53], 0xE1); // -31 as two's complement, low byte first
    EXPECT_EQ(TextAt(b, 137), "Transported 12 NM\r\nsecond line");
    EXPECT_EQ(b[401], 0);
    EXPECT_EQ(b[402], 1);
    // 1.0 as IEEE 754 little-endian: the exponent byte last.
    TLOPRecord one;
    one.Azimuth = 1.0;
    const TLOPRecordBytes ob = EncodeLOPRecord(one);
    EXPECT_EQ(ob[418], 0x3F);
    EXPECT_EQ(ob[417], 0xF0);
    EXPECT_EQ(ob[411], 0x00);
}

TEST(LOPRecord, RoundTripAndTextsInTheCodePage)
{
    TLOPRecord l = DistinctRecord();
    l.ObjectName = "Achernar";
    l.Comments = "Ré-observé à 12°";
    const TLOPRecordBytes b = EncodeLOPRecord(l);
    EXPECT_EQ(b[137], 16); // 16 characters, one byte each in Windows-1252
    EXPECT_EQ(b[137 + 1 + 15], 0xB0); // "°"
    const auto back = DecodeLOPRecord(b);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->ObjectName, "Achernar");
    EXPECT_EQ(back->Comments, l.Comments);
    EXPECT_EQ(back->APLon, l.APLon);
    EXPECT_EQ(back->WatchError, l.WatchError);
    EXPECT_EQ(back->ArtificialHorizon, true);
    EXPECT_EQ(back->LowerLimb, false);

    TLOPRecord longer;
    longer.GMTYear = 2024;
    longer.GMTMonth = 1;
    longer.GMTDay = 1;
    longer.ObjectName = "A name far longer than fifteen";
    longer.Comments = std::string(300, 'x');
    const TLOPRecordBytes lb = EncodeLOPRecord(longer);
    EXPECT_EQ(lb[1], 15);
    EXPECT_EQ(lb[137], 255);
    EXPECT_EQ(DecodeLOPRecord(lb)->ObjectName, "A name far long");
}

TEST(LOPRecord, UnreadableRecords)
{
    struct Case
    {
        const char *Name;
        std::size_t Offset;
        std::vector<std::uint8_t> Bytes;
    };

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<std::uint8_t> nanBytes(8), infBytes(8);
    std::memcpy(nanBytes.data(), &nan, 8);
    std::memcpy(infBytes.data(), &inf, 8);
    const Case cases[] = {
        {"name length 16", 1, {16}},
        {"name length 255", 1, {255}},
        {"month 13", 21, {13, 0, 0, 0}},
        {"month 0", 21, {0, 0, 0, 0}},
        {"day 30 in February", 17, {30, 0, 0, 0}},
        {"negative year", 25, {0xFF, 0xFF, 0xFF, 0xFF}},
        {"NaN hours", 29, nanBytes},
        {"infinite latitude", 81, infBytes},
        {"NaN azimuth, last field", 411, nanBytes},
    };
    const TLOPRecordBytes good = EncodeLOPRecord(DistinctRecord());
    ASSERT_TRUE(DecodeLOPRecord(good).has_value());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TLOPRecordBytes b = good;
        std::copy(
            c.Bytes.begin(), c.Bytes.end(), b.begin() + static_cast<std::ptrdiff_t>(c.Offset));
        std::string problem;
        EXPECT_FALSE(DecodeLOPRecord(b, &problem).has_value());
        EXPECT_FALSE(problem.empty());
    }
}

TEST(LOPRecord, DerivedTexts)
{
    TLOPRecord l;
    l.ObjectName = "Sun";
    l.GMTDay = 3;
    l.GMTMonth = 1;
    l.GMTYear = 2024;
    l.GMTHours = 12 + 59 / 60.0 + 30 / 3600.0;
    const TDateFormat dmy {TDateOrder::DayMonthYear, '/'};
    const TDateFormat mdy {TDateOrder::MonthDayYear, '/'};
    EXPECT_EQ(LOPDateTimeText(l, dmy), "03/01/2024 12:59:30"); // rounded, not 12:59:29
    EXPECT_EQ(LOPCaption(l, mdy), "Sun-01/03/2024 12:59:30");
    l.GMTHours = 0;
    EXPECT_EQ(LOPDateTimeText(l, dmy), "03/01/2024"); // no time at exact midnight
    EXPECT_DOUBLE_EQ(LOPDateTime(l), EncodeDate(2024, 1, 3));
}

TEST(LOPRecord, GMTDateReader)
{
    const TDateFormat dmy {TDateOrder::DayMonthYear, '/'};
    EXPECT_EQ(ReadGMTDate("03/01/2024", dmy), EncodeDate(2024, 1, 3));
    EXPECT_EQ(ReadGMTDate(" 03/01/2024 12:00 ", dmy), EncodeDate(2024, 1, 3));
    EXPECT_EQ(ReadGMTDate("03.01.2024", dmy), EncodeDate(2024, 1, 3));
    try {
        ReadGMTDate("2024-01-03", {TDateOrder::MonthDayYear, '-'});
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Invalid date in GMT date: expected MM-dd-yyyy");
    }
    for (const char *bad : {"", "  ", "31/02/2024", "2024-01-03", "03/01/24", "nan"}) {
        SCOPED_TRACE(bad);
        try {
            ReadGMTDate(bad, dmy);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_EQ(std::string(e.what()), "Invalid date in GMT date: expected dd/MM/yyyy");
        }
    }
}

// ---------------------------------------------------------------------------------------------

TLOPRecord LineOfPosition(double apLat, double apLon, double azimuthDeg, double interceptNm,
    int hour = 12, const char *name = "Sun")
{
    TLOPRecord l;
    l.ObjectName = name;
    l.GMTDay = 3;
    l.GMTMonth = 1;
    l.GMTYear = 2024;
    l.GMTHours = hour;
    l.APLat = apLat;
    l.APLon = apLon;
    l.Azimuth = azimuthDeg;
    l.Intercept = interceptNm;
    return l;
}

TEST(LOPGeometry, FootPointsAndCrossing)
{
    // Two LOPs from AP 0°N 0°: azimuth 0°, +6 NM is the parallel 0°06'N; azimuth 90°, +3 NM runs
    // north-south through 0°03'E (longitude -0.05); they cross at 90°, weight 1.
    const TLOPRecord north = LineOfPosition(0, 0, 0, 6);
    const TLOPRecord east = LineOfPosition(0, 0, 90, 3);
    EXPECT_NEAR(LOPFootPoint(north).Lat, 0.1, 1e-12);
    EXPECT_NEAR(LOPFootPoint(north).Lon, 0, 1e-12);
    EXPECT_NEAR(LOPFootPoint(east).Lat, 0, 1e-12);
    EXPECT_NEAR(LOPFootPoint(east).Lon, -0.05, 1e-12);
    EXPECT_FALSE(LOPLineGeometry(north).Meridian); // east-west: constant latitude
    EXPECT_EQ(LOPLineGeometry(north).M, 0);
    EXPECT_TRUE(LOPLineGeometry(east).Meridian);
    for (const auto &[a, b] : {std::pair {north, east}, std::pair {east, north}}) {
        const auto p = LOPCrossing(a, b);
        ASSERT_TRUE(p.has_value());
        EXPECT_NEAR(p->Lat, 0.1, 1e-12);
        EXPECT_NEAR(p->Lon, -0.05, 1e-12);
    }
    EXPECT_NEAR(AngleBetweenLOPs(north, east), 90, 1e-12);
}

TEST(LOPGeometry, SlopeOnThePlaneOfTheAssumedOrTheFootLatitude)
{
    // Azimuth 45°, +60 NM from 60°N: the foot point is at 60° + cos 45°. The line runs at 135°;
    // one degree of longitude spans cos(lat) degrees of latitude, so the slope lat/lon (west
    // positive) is cos(lat)/tan 45° = cos(lat).
    const TLOPRecord l = LineOfPosition(60, 10, 45, 60);
    const double footLat = 60 + std::cos(45 * kPi / 180);
    const TLOPLineGeometry ap = LOPLineGeometry(l);
    const TLOPLineGeometry foot = LOPLineGeometry(l, TLOPPlaneScale::FootLatitude);
    EXPECT_NEAR(ap.M, 0.5, 1e-12);
    EXPECT_NEAR(foot.M, std::cos(footLat * kPi / 180), 1e-12);
    for (const auto &g : {ap, foot}) {
        EXPECT_NEAR(g.Foot.Lat, footLat, 1e-12);
        EXPECT_NEAR(g.M * g.Foot.Lon + g.B, g.Foot.Lat, 1e-9); // through the foot point
    }
}

TEST(LOPGeometry, AnglesAndParallels)
{
    struct Case
    {
        double Az1, Az2;
        double ExpectedDeg;
    };

    const Case cases[] = {{0, 90, 90}, {10, 350, 20}, {30, 210, 0}, {359, 1, 2}, {100, 10, 90},
        {45, 170, 55}, {0, 0, 0}};
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.Az1) + " " + std::to_string(c.Az2));
        EXPECT_NEAR(
            AngleBetweenLOPs(LineOfPosition(0, 0, c.Az1, 0), LineOfPosition(0, 0, c.Az2, 0)),
            c.ExpectedDeg, 1e-9);
    }
    // Same azimuth: parallel, even from assumed positions at different latitudes.
    EXPECT_FALSE(LOPCrossing(LineOfPosition(10, 0, 40, 2), LineOfPosition(12, 1, 40, -3)));
    EXPECT_FALSE(LOPCrossing(LineOfPosition(10, 0, 40, 2), LineOfPosition(12, 1, 220, -3)));
    // Two meridians never meet.
    EXPECT_FALSE(LOPCrossing(LineOfPosition(0, 0, 90, 2), LineOfPosition(0, 0, 270, 2)));
}

TEST(LOPGeometry, LongitudesComeBackIntoTheHalfOpenRange)
{
    struct Case
    {
        double LonDeg;
        double ExpectedDeg; // whole turns added or taken by hand into (-180, 180]
    };

    const Case cases[] = {{0, 0}, {180, 180}, {-180, 180}, {190, -170}, {-190, 170}, {359.9, -0.1},
        {540, 180}, {-725, -5}, {179.99, 179.99}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.LonDeg);
        EXPECT_NEAR(WrapLongitude(c.LonDeg), c.ExpectedDeg, 1e-9);
    }
}

TEST(LOPGeometry, MoveAndTransport)
{
    // 6 kn on 090° for 2 hours at 60°N: 12 NM east, longitude decreases by 12/60/cos 60° = 0.4°.
    TLOPRecord l = LineOfPosition(60, 10, 45, 2, 10);
    EXPECT_FALSE(TransportLOP(l, EncodeDate(2024, 1, 3) + 12.0 / 24, 6, 90).has_value());
    EXPECT_NEAR(l.APLon, 9.6, 1e-9);
    EXPECT_NEAR(l.APLat, 60, 1e-12);
    EXPECT_EQ(l.Intercept, 2);
    EXPECT_EQ(l.Azimuth, 45);

    // Backwards in time: 5 kn on 000° for -3 hours moves 15 NM south.
    TLOPRecord s = LineOfPosition(0, 0, 0, 0, 12);
    TransportLOP(s, EncodeDate(2024, 1, 3) + 9.0 / 24, 5, 0);
    EXPECT_NEAR(s.APLat, -0.25, 1e-12);

    // Thirty hours: warned, still moved.
    TLOPRecord old = LineOfPosition(0, 0, 0, 0, 0, "Vega");
    const auto warning = TransportLOP(old, EncodeDate(2024, 1, 4) + 6.0 / 24, 1, 0);
    ASSERT_TRUE(warning.has_value());
    EXPECT_EQ(*warning, "Warning: Transporting LOP \"Vega\" for more than one day.");
    EXPECT_NEAR(old.APLat, 0.5, 1e-12);

    // Across the 180th meridian the longitude comes back into (-180, 180].
    TLOPRecord dateLine = LineOfPosition(0, 179.9, 0, 0);
    MoveLOP(dateLine, 12, 270); // 12 NM west
    EXPECT_NEAR(dateLine.APLon, -179.9, 1e-9);
}

TEST(LOPGeometry, LatestAndMeanTimesOfSelectedLOPs)
{
    std::vector<TLOPRecord> lops = {LineOfPosition(0, 0, 0, 0, 9), LineOfPosition(0, 0, 0, 0, 15),
        LineOfPosition(0, 0, 0, 0, 12)};
    lops[1].Selected = false;
    const double day = EncodeDate(2024, 1, 3);
    EXPECT_NEAR(LatestLOPTime(lops), day + 12.0 / 24, 1e-9);
    EXPECT_NEAR(MeanLOPTime(lops), day + 10.5 / 24, 1e-9);
    for (auto &l : lops)
        l.Selected = false;
    EXPECT_EQ(LatestLOPTime(lops), 0);
    EXPECT_EQ(MeanLOPTime(lops), 0);
}

// ---------------------------------------------------------------------------------------------

class LOPListTest : public testing::Test
{
protected:
    void SetUp() override { SetShortDateFormat({TDateOrder::DayMonthYear, '/'}); }

    TTransportSettings Settings(double speedKn = 0, double courseDeg = 0) const
    {
        TTransportSettings s;
        s.Boat = {speedKn, courseDeg};
        s.DateFormat = {TDateOrder::DayMonthYear, '/'};
        return s;
    }
};

TEST_F(LOPListTest, FixOfTwoPerpendicularLOPsAndItsReport)
{
    TLOPList list;
    list.AddLOP(LineOfPosition(0, 0, 0, 6, 10));
    list.AddLOP(LineOfPosition(0, 0, 90, 3, 14));
    TFixReport report;
    const TFixResult fix = list.CalcFix(Settings(), report);
    EXPECT_NEAR(fix.Lat, 0.1, 1e-12);
    EXPECT_NEAR(fix.Lon, -0.05, 1e-12);
    ASSERT_EQ(fix.Crossings.size(), 1u);
    EXPECT_NEAR(fix.Crossings[0].Angle, 90, 1e-12);
    EXPECT_TRUE(list.FixValid());
    EXPECT_NEAR(list.FixLat(), 0.1, 1e-12);
    const std::vector<std::string> expected = {
        "Astronomical Position Calculation",
        "#1 Sun-03/01/2024 10:00:00",
        "#2 Sun-03/01/2024 14:00:00",
        "Crossings between LOPs:",
        "1 crossings calculated",
        "[1,2]:  0°06.0'N :  0°03.0'E",
        "Angles between LOPs",
        "LOPs 1 and 2: 90.0°",
        "Distances from AP to crossings:",
        "LOPs 1 and 2:  0.0NM",
        "Average Delta:  0.0NM",
        "Standard Deviation:  0.0NM",
        "------------",
        "AP for LOPs 1,2",
        "1 crossings calculated",
        "Lat:  0°06.0'N",
        "Lon:  0°03.0'E",
    };
    EXPECT_EQ(report.Lines, expected);
}

TEST_F(LOPListTest, TriangleIsWeightedBySineOfTheAngle)
{
    // From AP 0°N 0°: A azimuth 0°, +6 NM (lat 0.1); B azimuth 10°, 0 NM (lat = lon·tan 10°,
    // west-positive); C azimuth 90°, 0 NM (lon 0). Crossings by hand: A×B (0.1, 0.1/tan 10°)
    // weight sin 10° = 0.17; A×C (0.1, 0) weight 1; B×C (0, 0) weight sin 80°.
    TLOPList list;
    list.AddLOP(LineOfPosition(0, 0, 0, 6));
    list.AddLOP(LineOfPosition(0, 0, 10, 0));
    list.AddLOP(LineOfPosition(0, 0, 90, 0));
    TFixReport report;
    const TFixResult fix = list.CalcFix(Settings(), report);
    ASSERT_EQ(fix.Crossings.size(), 3u);
    const double w10 = std::sin(10 * kPi / 180), w80 = std::sin(80 * kPi / 180);
    const double lonAB = 0.1 / std::tan(10 * kPi / 180);
    EXPECT_NEAR(fix.Crossings[0].Lon, lonAB, 1e-9);
    EXPECT_NEAR(fix.Lat, (w10 * 0.1 + 1 * 0.1) / (w10 + 1 + w80), 1e-12);
    EXPECT_NEAR(fix.Lon, (w10 * lonAB) / (w10 + 1 + w80), 1e-12);
    EXPECT_EQ(report.Lines[6], "[1,2]:  0°06.0'N :  0°34.0'W"); // 0.5671° = 0°34.03'
    EXPECT_EQ(report.Lines[10], "LOPs 1 and 2: 10.0°");
    EXPECT_EQ(report.Lines[12], "LOPs 2 and 3: 80.0°");
    // Distances from the fix (plane sailing, departure at the crossing's latitude) and their
    // population standard deviation, by hand.
    const double cos01 = std::cos(0.1 * kPi / 180);
    const double d[3] = {std::hypot((0.1 - fix.Lat) * 60, cos01 * (lonAB - fix.Lon) * 60),
        std::hypot((0.1 - fix.Lat) * 60, cos01 * fix.Lon * 60),
        std::hypot(fix.Lat * 60, fix.Lon * 60)};
    const double mean = (d[0] + d[1] + d[2]) / 3;
    EXPECT_NEAR(fix.MeanDistNm, mean, 1e-9);
    EXPECT_NEAR(fix.SdNm,
        std::sqrt(((d[0] - mean) * (d[0] - mean) + (d[1] - mean) * (d[1] - mean)
                      + (d[2] - mean) * (d[2] - mean))
            / 3),
        1e-9);
}

TEST_F(LOPListTest, FixAcrossThe180thMeridian)
{
    // Assumed positions on both sides of 180°: the crossing and the fix stay near 180°, not 0°.
    TLOPList list;
    list.AddLOP(LineOfPosition(10, 179.95, 0, 6));
    list.AddLOP(LineOfPosition(10, -179.95, 90, 3)); // 3 NM east of 179°57'E
    list.AddLOP(LineOfPosition(10, 179.99, 45, 0));
    TFixReport report;
    const TFixResult fix = list.CalcFix(Settings(), report);
    EXPECT_GT(std::fabs(fix.Lon), 179.5);
    for (const auto &c : fix.Crossings) {
        EXPECT_GT(std::fabs(c.Lon), 179.5);
        EXPECT_LE(c.Lon, 180);
        EXPECT_GT(c.Lon, -180);
    }
    EXPECT_LT(fix.MeanDistNm, 10);
}

TEST_F(LOPListTest, FixFailures)
{
    struct Case
    {
        const char *Name;
        std::vector<TLOPRecord> LOPs;
        std::vector<bool> Selected;
        std::string Message;
    };

    const Case cases[] = {
        {"empty list", {}, {}, "Need at least 2 selected LOPs to calculate the Position"},
        {"one LOP selected", {LineOfPosition(0, 0, 0, 1), LineOfPosition(0, 0, 90, 1)},
            {true, false}, "Need at least 2 selected LOPs to calculate the Position"},
        {"parallel LOPs", {LineOfPosition(0, 0, 30, 1), LineOfPosition(1, 1, 210, 4)}, {true, true},
            "No crossing Found"},
        {"nearly parallel (under 1e-6°)",
            {LineOfPosition(0, 0, 30, 1), LineOfPosition(1, 1, 30 + 5e-7, 4)}, {true, true},
            "No crossing Found"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TLOPList list;
        list.AddLOP(LineOfPosition(0, 0, 0, 6));
        list.AddLOP(LineOfPosition(0, 0, 90, 3));
        TFixReport first;
        list.CalcFix(Settings(), first);
        list.SetLOPs(c.LOPs);
        for (std::size_t i = 0; i < c.Selected.size(); ++i)
            list.SetSelected(static_cast<int>(i + 1), c.Selected[i]);
        TFixReport report;
        try {
            list.CalcFix(Settings(), report);
            ADD_FAILURE() << "no error";
        } catch (const EVrnError &e) {
            EXPECT_EQ(std::string(e.what()), c.Message);
        }
        // The fix of the earlier list went with the change of the list.
        EXPECT_FALSE(list.FixValid());
    }
}

TEST_F(LOPListTest, AFixIsClearedByEveryChangeOfTheList)
{
    using TChange = std::function<void(TLOPList &)>;

    const struct
    {
        const char *Name;
        TChange Change;
        bool Cleared;
    } cases[] = {
        {"a LOP added", [](TLOPList &l) { l.AddLOP(LineOfPosition(0, 0, 45, 1)); }, true},
        {"a LOP deleted", [](TLOPList &l) { l.DeleteLOP(3); }, true},
        {"no LOP of that number", [](TLOPList &l) { l.DeleteLOP(9); }, false},
        {"all deleted", [](TLOPList &l) { l.ClearLOPs(); }, true},
        {"replaced (opened, edited)", [](TLOPList &l) { l.SetLOPs(l.LOPs()); }, true},
        {"a LOP unticked", [](TLOPList &l) { l.SetSelected(3, false); }, true},
        {"ticked again as it was", [](TLOPList &l) { l.SetSelected(3, true); }, false},
        {"the transport mode",
            [](TLOPList &l) { l.SetTransportMode(TAutoTransportMode::ToLatestLOPTime); }, false},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TLOPList list;
        list.AddLOP(LineOfPosition(0, 0, 0, 6));
        list.AddLOP(LineOfPosition(0, 0, 90, 3));
        list.AddLOP(LineOfPosition(0, 0, 30, 3));
        TFixReport report;
        list.CalcFix(Settings(), report);
        ASSERT_TRUE(list.FixValid());
        c.Change(list);
        EXPECT_EQ(list.FixValid(), !c.Cleared);
    }

    // A fix that fails on an unchanged list leaves the one before it.
    TLOPList list;
    list.AddLOP(LineOfPosition(0, 0, 0, 6));
    list.AddLOP(LineOfPosition(0, 0, 90, 3));
    TFixReport report;
    list.CalcFix(Settings(), report);
    list.SetTransportMode(TAutoTransportMode::ToSelectedTime);
    EXPECT_THROW(list.CalcFix(Settings(), report), EVrnError);
    EXPECT_TRUE(list.FixValid());
    EXPECT_NEAR(list.FixLat(), 0.1, 1e-12);
}

TEST_F(LOPListTest, TwentyLOPsGiveOneHundredNinetyCrossings)
{
    TLOPList list;
    for (int i = 0; i < kMaxLOPs; ++i)
        list.AddLOP(LineOfPosition(0, 0, i * 9.0, (i % 3) - 1.0));
    try {
        list.AddLOP(LineOfPosition(0, 0, 5, 0));
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Too many LOPs. Max=20");
    }
    EXPECT_EQ(list.LOPCount(), 20);
    TFixReport report;
    const TFixResult fix = list.CalcFix(Settings(), report);
    EXPECT_EQ(fix.Crossings.size(), 190u);
    EXPECT_EQ(report.Lines[22], "190 crossings calculated");
}

TEST_F(LOPListTest, ListOperations)
{
    TLOPList list;
    EXPECT_THROW(list.ClearLOPs(), EVrnError);
    try {
        list.AddCurrentLOP(std::nullopt);
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Invalid LOP.");
    }
    list.AddCurrentLOP(LineOfPosition(0, 0, 0, 1, 9, "Sun"));
    list.AddLOP(LineOfPosition(0, 0, 0, 1, 10, "Moon"));
    list.AddLOP(LineOfPosition(0, 0, 0, 1, 11, "Vega"));
    EXPECT_FALSE(list.DeleteLOP(0));
    EXPECT_FALSE(list.DeleteLOP(4));
    EXPECT_TRUE(list.DeleteLOP(2));
    ASSERT_EQ(list.LOPCount(), 2);
    EXPECT_EQ(list.LOPs()[1].ObjectName, "Vega");
    EXPECT_EQ(list.TransportedLOPs()[1].ObjectName, "Vega");
    EXPECT_TRUE(list.SetSelected(2, false));
    EXPECT_FALSE(list.SetSelected(3, false));
    EXPECT_FALSE(list.LOPs()[1].Selected);
    EXPECT_FALSE(list.TransportedLOPs()[1].Selected);
    list.ClearLOPs();
    EXPECT_EQ(list.LOPCount(), 0);

    // Appending a file's LOPs stops at twenty with the message; the twenty stay.
    std::vector<TLOPRecord> many(25, LineOfPosition(0, 0, 0, 1));
    list.AddLOP(LineOfPosition(0, 0, 0, 1));
    EXPECT_THROW(list.AddLOPs(many), EVrnError);
    EXPECT_EQ(list.LOPCount(), 20);
}

TEST_F(LOPListTest, TransportToLatestTimeAndItsTexts)
{
    // LOP 1 at 10:00 on 60°N, LOP 2 at 12:00; 6 kn on 090°: LOP 1 moves 12 NM east (-0.4°).
    TLOPList list;
    list.AddLOP(LineOfPosition(60, 10, 0, 0, 10));
    list.AddLOP(LineOfPosition(60, 10, 90, 0, 12));
    list.SetTransportMode(TAutoTransportMode::ToLatestLOPTime);
    EXPECT_TRUE(list.TransportActive());
    TFixReport report;
    const TFixResult fix = list.CalcFix(Settings(6, 90), report);
    EXPECT_NEAR(list.TransportedLOPs()[0].APLon, 9.6, 1e-9);
    EXPECT_EQ(list.LOPs()[0].APLon, 10); // the list itself does not move
    EXPECT_NEAR(fix.Lon, 10, 1e-12); // LOP 2 is a meridian through its own AP
    EXPECT_EQ(report.Transport.TimeLabel, "03/01/2024 12:00:00 GMT");
    EXPECT_EQ(list.TransportText(),
        "LOPs transported to \r\n03/01/2024 12:00:00 GMT\r\nSpeed= 6.0 Knts  Course= 90° T");
    ASSERT_GE(report.Lines.size(), 4u);
    EXPECT_EQ(report.Lines[0], "LOPs transported to ");
    EXPECT_EQ(report.Lines[1], "03/01/2024 12:00:00 GMT");
    EXPECT_EQ(report.Lines[2], "Speed= 6.0 Knts  Course= 90° T");
    EXPECT_EQ(report.Lines[3], "Astronomical Position Calculation");
    const auto n = report.Lines.size();
    EXPECT_EQ(report.Lines[n - 3], "03/01/2024 12:00:00 GMT");
    EXPECT_EQ(report.Lines[n - 4], "1 crossings calculated");

    // Mean time: 11:00, each LOP moves 6 NM.
    list.SetTransportMode(TAutoTransportMode::ToLOPsMeanTime);
    EXPECT_TRUE(list.TransportText().empty());
    const TTransportResult mean = list.ApplyTransport(Settings(6, 90));
    EXPECT_EQ(mean.TimeLabel, "03/01/2024 11:00:00 GMT");
    EXPECT_NEAR(list.TransportedLOPs()[0].APLon, 9.8, 1e-9);
    EXPECT_NEAR(list.TransportedLOPs()[1].APLon, 10.2, 1e-9);
}

TEST_F(LOPListTest, TransportCornerCases)
{
    TLOPList list;
    list.AddLOP(LineOfPosition(60, 10, 0, 0, 10));
    list.AddLOP(LineOfPosition(60, 10, 90, 0, 12));

    // Nothing selected: target 0, label "--", nothing moves, and the fix lacks LOPs.
    list.SetSelected(1, false);
    list.SetSelected(2, false);
    list.SetTransportMode(TAutoTransportMode::ToLatestLOPTime);
    const TTransportResult none = list.ApplyTransport(Settings(6, 90));
    EXPECT_EQ(none.TimeLabel, "--");
    EXPECT_FALSE(none.Moved);
    EXPECT_EQ(list.TransportedLOPs()[0].APLon, 10);
    TFixReport report;
    EXPECT_THROW(list.CalcFix(Settings(6, 90), report), EVrnError);
    list.SetSelected(1, true);
    list.SetSelected(2, true);

    // Selected time without a readable date.
    list.SetTransportMode(TAutoTransportMode::ToSelectedTime);
    try {
        list.ApplyTransport(Settings());
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Invalid date in GMT date: expected dd/MM/yyyy");
    }
    // A selected time 30 hours after a LOP: warned for each LOP, still moved.
    TTransportSettings late = Settings(1, 0);
    late.SelectedTime = EncodeDate(2024, 1, 4) + 16.0 / 24;
    const TTransportResult r = list.ApplyTransport(late);
    ASSERT_EQ(r.Warnings.size(), 2u);
    EXPECT_EQ(r.Warnings[0], "Warning: Transporting LOP \"Sun\" for more than one day.");
    EXPECT_NEAR(list.TransportedLOPs()[0].APLat, 60.5, 1e-12);

    // Don't transport: copies as they are.
    list.SetTransportMode(TAutoTransportMode::DontTransport);
    const TTransportResult off = list.ApplyTransport(late);
    EXPECT_TRUE(off.TimeLabel.empty());
    EXPECT_EQ(list.TransportedLOPs()[0].APLat, 60);

    list.SetTransportMode(static_cast<TAutoTransportMode>(7));
    try {
        list.ApplyTransport(late);
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Invalid transport mode");
    }
}

} // namespace
} // namespace vrn
