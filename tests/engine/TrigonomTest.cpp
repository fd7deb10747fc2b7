#include "engine/Trigonom.h"

#include "engine/TextCodec.h"
#include "engine/VrnError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <string>

// Reference values marked "Veness" were computed independently in Python with the east-positive
// spherical formulas of C. Veness, "Calculate distance, bearing and more between Latitude/
// Longitude points" (haversine distance, atan2 initial bearing, rhumb lines by the
// isometric-latitude difference), longitudes negated to west-positive.

namespace vrn {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct NormalizeCase
{
    const char *Name;
    double Value;
    double Range;
    double Expected;
};

TEST(Trigonom, NormalizeAngleGivesTheClosedInterval)
{
    const NormalizeCase cases[] = {
        // Values from the angle conventions: the loop adds, so 360 stays 360.
        {"-30 -> 330", -30, 360, 330},
        {"725 -> 5", 725, 360, 5},
        {"360 stays 360", 360, 360, 360},
        {"720 -> 360", 720, 360, 360},
        {"0 stays 0", 0, 360, 0},
        {"-360 -> 0", -360, 360, 0},
        {"359.5 untouched", 359.5, 360, 359.5},
        {"-0.5 -> 359.5", -0.5, 360, 359.5},
        {"hours -1.5 -> 22.5", -1.5, 24, 22.5},
        {"hours 25 -> 1", 25, 24, 1},
        {"huge positive", 360.0 * 1e9 + 90, 360, 90},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(NormalizeAngle(c.Value, c.Range), c.Expected, 1e-6);
    }
    // A value far beyond any loop still lands in range at once.
    const double big = Normalize360(-1e300);
    EXPECT_GE(big, 0);
    EXPECT_LE(big, 360);
}

TEST(Trigonom, QuadrantOfWrapsAt360)
{
    struct
    {
        double Deg;
        int Expected;
    } const cases[] = {{0, 1}, {89.9, 1}, {90, 2}, {359, 4}, {360, 5}, {361, 1}, {-1, 4}};

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Deg);
        EXPECT_EQ(QuadrantOf(c.Deg), c.Expected);
    }
}

TEST(Trigonom, ArcTan2DCoversTheFullCircle)
{
    struct
    {
        double Y, X, Expected;
    } const cases[] = {
        {0, -1, 180}, // edge cases of the angle conventions
        {-1, 1, 315},
        {1, 1, 45},
        {1, -1, 135},
        {-1, -1, 225},
        {0, 1, 0},
        {-1e-9, 1, 360 - 1e-9 * 180 / kPi},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.Y) + ", " + std::to_string(c.X));
        const double r = ArcTan2D(c.Y, c.X);
        EXPECT_NEAR(r, c.Expected, 1e-9);
        EXPECT_GE(r, 0);
        EXPECT_LT(r, 360);
    }
    EXPECT_THROW(ArcTan2D(1, 0), EMathError);
    EXPECT_THROW(ArcTan2D(-1, 0), EMathError);
}

TEST(Trigonom, ArcSinArcCosClampRoundingNoiseOnly)
{
    EXPECT_DOUBLE_EQ(ArcCosD(1 + 5e-13), 0);
    EXPECT_DOUBLE_EQ(ArcSinD(-1 - 5e-13), -90);
    EXPECT_DOUBLE_EQ(ArcCosD(-1), 180);
    EXPECT_DOUBLE_EQ(ArcCosD(0), 90);
    EXPECT_NEAR(ArcCosD(-0.5), 120, 1e-12);
    EXPECT_NEAR(ArcSinD(0.5), 30, 1e-12);
    EXPECT_THROW(ArcCosD(1 + 1e-9), EMathError);
    EXPECT_THROW(ArcSinD(-1.5), EMathError);
    EXPECT_THROW(ArcSinD(kNaN), EMathError);
}

struct AngleTextCase
{
    const char *Name;
    const char *Letters;
    double Deg;
    const char *Dm1;
    double Packed;
    const char *Dm2;
};

TEST(Trigonom, FormatAngleDMWritesDegreesMinutesAndLetter)
{
    // Texts from the edge cases of the angle text forms; other minutes worked by hand
    // (0.4194° = 25.164', 0.121° = 7.26').
    const AngleTextCase cases[] = {
        {"-5.5 south", "NS", -5.5, " 5\u00B030.0'S", -5.30, " 5\u00B030.00'S"},
        {"43.2 west", "WE", 43.2, "43\u00B012.0'W", 43.12, "43\u00B012.00'W"},
        {"zero is north", "NS", 0, " 0\u00B000.0'N", 0, " 0\u00B000.00'N"},
        {"45.99999 carries", "NS", 45.99999, "46\u00B000.0'N", 46.00, "46\u00B000.00'N"},
        {"east longitude", "WE", -122.4194, "122\u00B025.2'E", -122.252, "122\u00B025.16'E"},
        {"leading zero of minutes", "NS", 45.121, "45\u00B007.3'N", 45.073, "45\u00B007.26'N"},
        {"59.96' carries at one decimal only", "NS", 10 + 59.96 / 60, "11\u00B000.0'N", 11.00,
            "10\u00B059.96'N"},
        {"59.999' carries at both", "NS", 10 + 59.999 / 60, "11\u00B000.0'N", 11.00,
            "11\u00B000.00'N"},
        {"59.94' does not carry", "NS", 10 + 59.94 / 60, "10\u00B059.9'N", 10.599,
            "10\u00B059.94'N"},
        {"179.99 west", "WE", 179.99, "179\u00B059.4'W", 179.594, "179\u00B059.40'W"},
        {"sextant sign letters", " -", -0.5, " 0\u00B030.0'-", -0.30, " 0\u00B030.00'-"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TAngleText t = FormatAngleDM1(c.Letters, c.Deg);
        EXPECT_EQ(t.Text, c.Dm1);
        EXPECT_NEAR(t.Packed, c.Packed, 1e-9);
        EXPECT_EQ(FormatAngleDM2(c.Letters, c.Deg), c.Dm2);
    }
}

TEST(Trigonom, TextFormsStayWithinTwentyCharactersAndNeverPrintNan)
{
    const double hostile[] = {1e20, -1e300, std::numeric_limits<double>::max(), kNaN,
        std::numeric_limits<double>::infinity()};
    for (const double x : hostile) {
        SCOPED_TRACE(x);
        for (const std::string &s : {FormatAngleDM1("NS", x).Text, FormatAngleDM2("WE", x),
                 FormatTimeHMS(x).Text, FormatTimeHM(x)}) {
            EXPECT_LE(Utf8Length(s), 20u) << s;
            EXPECT_EQ(s.find("nan"), std::string::npos) << s;
            EXPECT_EQ(s.find("inf"), std::string::npos) << s;
        }
    }
    EXPECT_EQ(FormatAngleDM1("NS", kNaN).Text, "?");
    EXPECT_EQ(FormatAlmanacDM(kNaN), "       ?");
    EXPECT_EQ(FormatAlmanacDecl(kNaN), "       ?");
    // The cut counts characters: the two bytes of the degree sign stay whole.
    EXPECT_EQ(FormatAngleDM2("NS", 1e18), "1000000000000000000\u00B0");
}

struct TimeTextCase
{
    const char *Name;
    double Hours;
    const char *Hms;
    double Packed;
    const char *Hm;
};

TEST(Trigonom, FormatTimeWritesHoursMinutesSecondsAndMark)
{
    const TimeTextCase cases[] = {
        // -1.5 and 12.25 are the edge cases of the time text forms; hours have two digits.
        {"negative gets O and *", -1.5, "01:30:00 O", -1.30, "01:30 *"},
        {"12.25", 12.25, "12:15:00  ", 12.15, "12:15  "},
        {"12:59:31", 12 + 59 / 60.0 + 31 / 3600.0, "12:59:31  ", 12.5931, "13:00  "},
        {"12:59:29", 12 + 59 / 60.0 + 29 / 3600.0, "12:59:29  ", 12.5929, "12:59  "},
        {"zero", 0, "00:00:00  ", 0, "00:00  "},
        // 1 + 5/60 is 1.0833...: the minutes truncate to 4 and the seconds round to 60.
        {"seconds carry", 1 + 5 / 60.0, "01:05:00  ", 1.05, "01:05  "},
        {"minutes carry into hours", 9.99999, "10:00:00  ", 10.0, "10:00  "},
        {"end of day is 24:00", 23.99999, "24:00:00  ", 24.0, "24:00  "},
        {"half second", 1 + 1 / 3600.0 * 0.4, "01:00:00  ", 1.0, "01:00  "},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TAngleText t = FormatTimeHMS(c.Hours);
        EXPECT_EQ(t.Text, c.Hms);
        EXPECT_NEAR(t.Packed, c.Packed, 1e-9);
        EXPECT_EQ(FormatTimeHM(c.Hours), c.Hm);
    }
}

TEST(Trigonom, AlmanacColumnsCarryAndNeverShow360)
{
    struct
    {
        const char *Name;
        double Deg;
        const char *Dm;
        const char *Decl;
    } const cases[] = {
        // Minutes worked by hand: 0.1217° = 7.302', 0.44° = 26.4'.
        {"example column", 123.1217, "123 07.3", "N123 07.3"},
        {"small value", 5.1217, "  5 07.3", "N 5 07.3"},
        {"south declination", -23.44, "-23 26.4", "S23 26.4"},
        {"60.0 carries", 12.9999, " 13 00.0", "N13 00.0"},
        {"59.9 does not", 12 + 59.9 / 60, " 12 59.9", "N12 59.9"},
        {"rounds to 360", 359.9995, "  0 00.0", "N360 00.0"},
        {"exactly 360", 360, "  0 00.0", "N360 00.0"},
        {"zero", 0, "  0 00.0", "N 0 00.0"},
        {"tiny south", -0.0001, " -0 00.0", "S 0 00.0"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FormatAlmanacDM(c.Deg), c.Dm);
        EXPECT_EQ(FormatAlmanacDecl(c.Deg), c.Decl);
    }
}

struct ParseCase
{
    const char *Name;
    const char *Text;
    double Expected;
};

TEST(Trigonom, ParseAngleTextReadsDegreesMinutesAndHemisphere)
{
    const ParseCase cases[] = {
        // Worked examples of the angle reader, and the leading minus decision.
        {"south", "45\u00B030'S", -45.5},
        {"comma minutes", "12\u00B015,5'W", 12 + 15.5 / 60},
        {"empty degrees", "\u00B030", 0.5},
        {"leading minus negates all", "-45\u00B030'", -45.5},
        {"minus and south cancel", "-45\u00B030'S", 45.5},
        {"east is negative", "45\u00B030'E", -45.5},
        {"lower-case letters", "45\u00B030's", -45.5},
        {"blanks around", "  45\u00B0 30.5' N  ", 45 + 30.5 / 60},
        {"point minutes", "179\u00B059.9'W", 179 + 59.9 / 60},
        {"plus sign", "+5\u00B006", 5.1},
        {"spaced minus", "- 5\u00B006", -5.1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(ParseAngleText(c.Text), c.Expected, 1e-12);
    }
}

std::string MessageOf(const char *text)
{
    try {
        ParseAngleText(text);
    } catch (const EVrnError &e) {
        return e.what();
    }
    return "no error";
}

TEST(Trigonom, ParseAngleTextFailures)
{
    const std::string missing = "Invalid angle format (missing \u00B0): ";

    struct
    {
        const char *Name;
        const char *Text;
        std::string Message;
    } const cases[] = {
        {"no degree sign", "45 30'N", missing + "45 30'N"},
        {"empty", "   ", missing},
        // The text is cut to 20 characters first; the sign in position 21 is not seen.
        {"sign beyond 20 characters", "12345678901234567890\u00B030",
            missing + "12345678901234567890"},
        {"degrees not whole", "4.5\u00B030", "'4.5' is not a valid integer value"},
        {"degrees not a number", "4x\u00B030", "'4x' is not a valid integer value"},
        {"double minus", "--45\u00B030", "'-45' is not a valid integer value"},
        {"empty minutes", "45\u00B0N", "'' is not a valid floating point value"},
        {"two points", "45\u00B030.5.1", "'30.5.1' is not a valid floating point value"},
        {"huge degrees", "9999999999999999999\u00B0",
            "'9999999999999999999' is not a valid integer value"},
        {"stray UTF-8 bytes", "\xff\xfe\u00B030", "'\xff\xfe' is not a valid integer value"},
        {"lone Latin-1 degree byte",
            "45\xB0"
            "30",
            missing
                + "45\xB0"
                  "30"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(MessageOf(c.Text), c.Message);
    }
    EXPECT_THROW(ParseAngleText("4x\u00B030"), EConvertError);
}

TEST(Trigonom, AngleTextRoundTrips)
{
    const double values[] = {
        0, 45.5, -45.5, 12.2583, -0.01, 89.999, -89.999, 179.99, -179.99, 100.1234, 359.99};
    for (const double x : values) {
        SCOPED_TRACE(x);
        // Two decimals of minutes hold the angle to 0.005'.
        EXPECT_NEAR(ParseAngleText(FormatAngleDM2("NS", x)), x, 0.005 / 60 + 1e-12);
        EXPECT_NEAR(ParseAngleText(FormatAngleDM2("WE", x)), x, 0.005 / 60 + 1e-12);
        EXPECT_NEAR(ParseAngleText(FormatAngleDM1("WE", x).Text), x, 0.05 / 60 + 1e-12);
    }
}

struct CourseCase
{
    const char *Name;
    double Lat1, Lon1, Lat2, Lon2;
    double Course, Dist;
};

TEST(Trigonom, GreatCircleCourseDistance)
{
    const CourseCase cases[] = {
        // The first five from the sailing edge cases; all agree with Veness.
        {"north-east", 0, 0, 10, -10, 44.56, 846.36},
        {"south-east", 10, 0, 0, -10, 134.56, 846.36},
        {"south-west", 10, -10, 0, 0, 225.44, 846.36},
        {"due north", 10, 20, 20, 20, 0, 600},
        {"due west on the equator", 0, 0, 0, 10, 270, 600},
        {"due south", 20, 20, 10, 20, 180, 600},
        {"due east on the equator", 0, 0, 0, -10, 90, 600},
        {"west over the date line", 0, 179, 0, -179, 270, 120},
        {"San Francisco - Tokyo (Veness)", 37.7749, 122.4194, 35.6762, -139.6503, 303.36, 4464.92},
        {"Sydney - Cape Town (Veness)", -33.8688, -151.2093, -33.9249, 18.4241, 189.24, 6690.72},
        {"Channel - New York (Veness)", 50, -1, 40.7, 74, 290.16, 3076.14},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TCourseDistance r = GreatCircleCourseDistance(c.Lat1, c.Lon1, c.Lat2, c.Lon2);
        EXPECT_EQ(r.Status, 0);
        EXPECT_NEAR(r.CourseDeg, c.Course, 0.01);
        EXPECT_NEAR(r.DistNm, c.Dist, 0.01);
    }
}

TEST(Trigonom, GreatCircleSpecialPoints)
{
    // A point to itself: rounding puts cos D a hair above 1, which must read as 0 miles.
    for (int i = 0; i < 200; ++i) {
        const double lat = -89 + 0.89 * i;
        const double lon = -179 + 1.79 * i;
        const TCourseDistance r = GreatCircleCourseDistance(lat, lon, lat, lon);
        ASSERT_EQ(r.Status, 0) << lat << " " << lon;
        ASSERT_NEAR(r.DistNm, 0, 0.01);
    }
    // A pole as destination: distance valid, no course, status 1.
    const TCourseDistance pole = GreatCircleCourseDistance(30, 10, 90, 0);
    EXPECT_EQ(pole.Status, 1);
    EXPECT_NEAR(pole.DistNm, 3600, 1e-6);
    EXPECT_EQ(pole.CourseDeg, 0);
    EXPECT_EQ(GreatCircleCourseDistance(-30, 10, -90, 0).Status, 1);
    EXPECT_EQ(GreatCircleCourseDistance(kNaN, 0, 10, 10).Status, 1);
}

TEST(Trigonom, RhumbLineCourseDistance)
{
    const CourseCase cases[] = {
        // Meridian and equator cases from the sailing edge cases; the rest agree with Veness.
        {"north on a meridian", 10, 20, 20, 20, 0, 600},
        {"south on a meridian", 20, 20, 10, 20, 180, 600},
        {"west on the equator", 0, 0, 0, 10, 270, 600},
        {"east on the equator", 0, 0, 0, -10, 90, 600},
        {"along 60 N", 60, 0, 60, 10, 270, 300},
        {"north-east (Veness)", 40, 70, 50, 10, 76.69, 2605.87},
        {"over the date line (Veness)", 10, 179, 12, -179, 315.53, 168.15},
        {"Sydney - Cape Town (Veness)", -33.8688, -151.2093, -33.9249, 18.4241, 269.98, 8448.18},
        {"Channel - New York (Veness)", 50, -1, 40.7, 74, 259.96, 3200.88},
        // Every rhumb line into a pole is the meridian.
        {"into the north pole", 80, 10, 90, 50, 0, 600},
        {"into the south pole", -80, 0, -90, 10, 180, 600},
        {"out of the north pole", 90, 0, 80, 30, 180, 600},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TCourseDistance r = RhumbLineCourseDistance(c.Lat1, c.Lon1, c.Lat2, c.Lon2);
        EXPECT_EQ(r.Status, 0);
        EXPECT_NEAR(r.CourseDeg, c.Course, 0.01);
        EXPECT_NEAR(r.DistNm, c.Dist, 0.01);
    }
    EXPECT_EQ(RhumbLineCourseDistance(95, 0, 10, 10).Status, 2);
    EXPECT_EQ(RhumbLineCourseDistance(10, 0, -91, 10).Status, 2);
    EXPECT_EQ(RhumbLineCourseDistance(10, kNaN, 10, 10).Status, 2);
}

struct DestinationCase
{
    const char *Name;
    double Lat1, Lon1, Dist, Course;
    double Lat2, Lon2;
};

TEST(Trigonom, RhumbLineDestination)
{
    const DestinationCase cases[] = {
        // The first is the wrap case of the sailing edge cases; the others agree with Veness.
        {"west over the date line", 0, 179, 120, 270, 0, -179},
        {"east over the date line", 0, -179, 120, 90, 0, 179},
        {"north-west", 40, 70, 2000, 300, 56.666667, 113.975946},
        {"east-south-east over the date line", -50, -170, 1500, 100, -54.341204, 149.815475},
        {"along 60 N", 60, 0, 300, 270, 60, 10},
        {"north into the pole", 80, 10, 600, 0, 90, 10},
        {"south from the pole", 90, 10, 600, 180, 80, 10},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLatLonResult r = RhumbLineDestination(c.Lat1, c.Lon1, c.Dist, c.Course);
        EXPECT_EQ(r.Status, 0);
        // 1e-5° is 0.0006 nm.
        EXPECT_NEAR(r.LatDeg, c.Lat2, 1e-5);
        EXPECT_NEAR(r.LonDeg, c.Lon2, 1e-5);
        EXPECT_GE(r.LonDeg, -180);
        EXPECT_LT(r.LonDeg, 180);
    }
}

TEST(Trigonom, RhumbLineDestinationFaults)
{
    struct
    {
        const char *Name;
        double Lat1, Lon1, Dist, Course;
    } const cases[] = {
        {"over the pole", 80, 10, 700, 0},
        {"east at the pole", 90, 0, 60, 90},
        {"spiral into the pole", 80, 0, 600 / CosD(45), 45},
        {"not a number", 10, 10, kNaN, 45},
        {"start beyond 90", 91, 0, 10, 180},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(RhumbLineDestination(c.Lat1, c.Lon1, c.Dist, c.Course).Status, 1);
    }
}

TEST(Trigonom, RhumbLineDestinationInvertsCourseDistance)
{
    const DestinationCase legs[] = {
        {"north-east", 10, 20, 500, 40, 0, 0},
        {"south-west", -20, -170, 800, 225, 0, 0},
        {"high latitude", 70, 0, 300, 300, 0, 0},
        {"near east", 45, 5, 100, 89.9, 0, 0},
    };
    for (const auto &c : legs) {
        SCOPED_TRACE(c.Name);
        const TLatLonResult to = RhumbLineDestination(c.Lat1, c.Lon1, c.Dist, c.Course);
        ASSERT_EQ(to.Status, 0);
        const TCourseDistance back = RhumbLineCourseDistance(c.Lat1, c.Lon1, to.LatDeg, to.LonDeg);
        EXPECT_EQ(back.Status, 0);
        EXPECT_NEAR(back.CourseDeg, c.Course, 0.01);
        EXPECT_NEAR(back.DistNm, c.Dist, 0.01);
    }
}

TEST(Trigonom, GreatCircleLatitudeAt)
{
    struct
    {
        const char *Name;
        double Lat1, Lon1, Lat2, Lon2, Lon;
        double Expected;
    } const cases[] = {
        // Reference: the latitude where the plane of the two points' unit vectors (their
        // cross product) meets the meridian, computed independently in Python.
        {"between the points", 0, 0, 10, -10, -5, 5.057515},
        {"Pacific, date line", 37.7749, 122.4194, 35.6762, -139.6503, 180, 48.201710},
        {"Atlantic", 50, -1, 40.7, 74, 30, 52.763194},
        {"at the first point", 50, -1, 40.7, 74, -1, 50},
        {"at the second point", 50, -1, 40.7, 74, 74, 40.7},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TLatLonResult r = GreatCircleLatitudeAt(c.Lat1, c.Lon1, c.Lat2, c.Lon2, c.Lon);
        EXPECT_EQ(r.Status, 0);
        EXPECT_NEAR(r.LatDeg, c.Expected, 1e-5);
    }
    EXPECT_EQ(GreatCircleLatitudeAt(10, 20, 30, 20, 25).Status, 1);
    EXPECT_EQ(GreatCircleLatitudeAt(10, 20, 30, -160, 25).Status, 1);
    EXPECT_EQ(GreatCircleLatitudeAt(90, 20, 30, 40, 25).Status, 1);
}

TEST(Trigonom, PlaneSailingDistance)
{
    // Departure uses the first latitude: 1° of longitude at 60° is 30 nm; sqrt(60² + 30²).
    EXPECT_NEAR(PlaneSailingDistance(60, 0, 61, 1), 67.0820, 1e-4);
    EXPECT_NEAR(PlaneSailingDistance(0, 0, 0, 10), 600, 1e-9);
    EXPECT_NEAR(PlaneSailingDistance(10, 5, 10, 5), 0, 1e-12);
}

TEST(Trigonom, PositionCutsItsNameAndWritesItsTexts)
{
    const TPosition p("An assumed position name longer than twenty", -33.5, -151.25);
    EXPECT_EQ(p.Name(), "An assumed position ");
    EXPECT_EQ(p.LatitudeText(), "33\u00B030.0'S");
    EXPECT_EQ(p.LongitudeText(), "151\u00B015.0'E");
    // Twenty characters, not bytes: each "°" is two bytes.
    TPosition q;
    q.SetName("\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0"
              "\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0\u00B0");
    EXPECT_EQ(Utf8Length(q.Name()), 20u);
    EXPECT_EQ(q.Name().size(), 40u);
}

} // namespace
} // namespace vrn
