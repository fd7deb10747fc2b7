#include "celestial/TwoObjects.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

constexpr double kArcmin = 1 / 60.0;

double At(int year, int month, int day, int hour, int minute)
{
    return EncodeDate(year, month, day) + (hour + minute / 60.0) / 24;
}

TAstro &Body(const char *name)
{
    CreateAstros();
    TAstro *b = FindAstro(name);
    if (!b)
        throw std::runtime_error(std::string("no body ") + name);
    return *b;
}

TEST(TwoObjects, DistancesAndBearingsAgreeWithPyEphem)
{
    struct Case
    {
        const char *Name1;
        const char *Name2;
        double When;
        double DistDeg, PositionAngleDeg, SD1Arcmin, SD2Arcmin;
        double DistTolArcmin;
    };

    // Apparent geocentric places of PyEphem 4.1.4 and the position-angle formula, printed by
    // tools/lunar-reference.py. The Moon's tolerance covers the engine's Moon against PyEphem's
    // (within 0.06' at these dates).
    const Case cases[] = {
        {"Moon", "Sun", At(2024, 3, 15, 18, 0), 72.74051, 259.309, 15.755, 16.079, 0.08},
        {"Sun", "Moon", At(2024, 3, 15, 18, 0), 72.74051, 62.240, 16.079, 15.755, 0.08},
        {"Moon", "Sun", At(2024, 9, 10, 6, 30), 78.68295, 280.994, 15.107, 15.884, 0.08},
        {"Moon", "Regulus", At(2024, 3, 15, 22, 0), 79.59417, 81.830, 15.712, 0, 0.08},
        {"Moon", "Jupiter", At(2025, 6, 1, 0, 0), 47.58701, 284.358, 15.585, 0, 0.08},
        {"Sirius", "Canopus", At(2025, 1, 20, 3, 0), 36.21227, 185.572, 0, 0, 0.01},
        {"Betelgeuse", "Rigel", At(2025, 1, 20, 3, 0), 18.60712, 213.312, 0, 0, 0.01},
        {"Aries *", "Aldebaran", At(2025, 1, 20, 3, 0), 70.23754, 72.371, 0, 0, 0.01},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Name1) + " - " + c.Name2);
        TAstro &b1 = Body(c.Name1);
        TAstro &b2 = Body(c.Name2);
        const auto r = TwoObjectsDistance(b1, TLimbChoice::Center, b2, TLimbChoice::Center, c.When);
        ASSERT_TRUE(r.has_value());
        EXPECT_NEAR(r->CentreDistDeg, c.DistDeg, c.DistTolArcmin * kArcmin);
        EXPECT_NEAR(r->BearingDeg, c.PositionAngleDeg, 0.01);
        EXPECT_EQ(r->CorrectedDistDeg, r->CentreDistDeg); // centres asked
        EXPECT_NEAR(b1.GetSemiDiameter(), c.SD1Arcmin, 0.03);
        EXPECT_NEAR(b2.GetSemiDiameter(), c.SD2Arcmin, 0.03);
    }
}

TEST(TwoObjects, NearLimbsSubtractAndFarLimbsAddTheSemiDiameters)
{
    struct Case
    {
        const char *Name;
        TLimbChoice Limb1, Limb2;
        double Sign1, Sign2;
    };

    const Case cases[] = {
        {"near, near", TLimbChoice::Near, TLimbChoice::Near, -1, -1},
        {"far, near", TLimbChoice::Far, TLimbChoice::Near, 1, -1},
        {"near, far", TLimbChoice::Near, TLimbChoice::Far, -1, 1},
        {"far, far", TLimbChoice::Far, TLimbChoice::Far, 1, 1},
        {"centre, near", TLimbChoice::Center, TLimbChoice::Near, 0, -1},
    };
    // Semi-diameters of PyEphem (tools/lunar-reference.py): Moon 15.755', Sun 16.079'.
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r =
            TwoObjectsDistance(Body("Moon"), c.Limb1, Body("Sun"), c.Limb2, At(2024, 3, 15, 18, 0));
        ASSERT_TRUE(r.has_value());
        EXPECT_NEAR(r->SD1Arcmin, c.Sign1 * 15.755, 0.03);
        EXPECT_NEAR(r->SD2Arcmin, c.Sign2 * 16.079, 0.03);
        EXPECT_NEAR((r->CorrectedDistDeg - r->CentreDistDeg) * 60,
            c.Sign1 * 15.755 + c.Sign2 * 16.079, 0.05);
    }
    // A star has no limb: whatever is asked, nothing is applied.
    const auto star = TwoObjectsDistance(
        Body("Regulus"), TLimbChoice::Far, Body("Moon"), TLimbChoice::Near, At(2024, 3, 15, 22, 0));
    ASSERT_TRUE(star.has_value());
    EXPECT_EQ(star->SD1Arcmin, 0);
    EXPECT_NEAR(star->SD2Arcmin, -15.712, 0.03);
}

TEST(TwoObjects, AriesToAStarIsTheStarsDistanceFromTheEquinox)
{
    for (const char *name : {"Aldebaran", "Sirius", "Polaris", "Acrux"}) {
        SCOPED_TRACE(name);
        TAstro &star = Body(name);
        const auto r = TwoObjectsDistance(
            Body("Aries *"), TLimbChoice::Center, star, TLimbChoice::Center, At(2025, 1, 20, 3, 0));
        ASSERT_TRUE(r.has_value());
        // The equinox is at RA 0, Dec 0: cos d = cos Dec cos RA.
        const double want =
            std::acos(std::cos(star.Dec * kPi / 180) * std::cos(star.RA * kPi / 180));
        EXPECT_NEAR(r->CentreDistDeg, want * 180 / kPi, 1e-9);
    }
}

TEST(TwoObjects, TheReportNamesTheBodiesTheInstantAndTheDistances)
{
    TTwoObjectsInputs in;
    in.Body1 = &Body("Sirius");
    in.Body2 = &Body("Canopus");
    in.GMTDateText = "20/01/2025";
    in.GMTTime = 2.5 / 24;
    in.WatchErrorSec = 1800;
    std::vector<std::string> report;
    ASSERT_TRUE(CalcTwoObjects(in, report).has_value());
    // 36.21227° (tools/lunar-reference.py) is 36°12.7'; no semi-diameter for two stars.
    const std::vector<std::string> want = {"Distance between Sirius and Canopus",
        std::string(39, '-'), "Date: 20/01/2025 GMT", "Time: 03:00:00 GMT", "Bearing 1-2:  185.57°",
        "", "Dist (obj centers): 36°12.7' "};
    EXPECT_EQ(report, want);

    // Sun and Moon with both switches off: near limbs, both semi-diameters subtracted.
    in.Body1 = &Body("Sun");
    in.Body2 = &Body("Moon");
    in.GMTDateText = "15/03/2024";
    in.GMTTime = 18.0 / 24;
    in.WatchErrorSec = 0;
    report.clear();
    const auto r = CalcTwoObjects(in, report);
    ASSERT_TRUE(r.has_value());
    ASSERT_EQ(report.size(), 10u);
    EXPECT_EQ(report[4].substr(0, 23), "SD correction for Sun: ");
    EXPECT_NEAR(std::stod(report[4].substr(23)), -16.079, 0.06);
    EXPECT_EQ(report[5].substr(0, 24), "SD correction for Moon: ");
    EXPECT_NEAR(std::stod(report[5].substr(24)), -15.755, 0.06);
    EXPECT_EQ(report[6], "Bearing 1-2:   62.24°");
    EXPECT_EQ(report[8], "Dist (obj centers): " + FormatAngleDM1(" -", r->CentreDistDeg).Text);
    EXPECT_EQ(
        report[9], "Dist (corrected for SDs): " + FormatAngleDM1(" -", r->CorrectedDistDeg).Text);
    EXPECT_NEAR(r->CorrectedDistDeg, 72.74051 - (16.079 + 15.755) / 60, 0.1 * kArcmin);
}

TEST(TwoObjects, TheWatchErrorCarriesTheInstantIntoTheNextDay)
{
    TTwoObjectsInputs in;
    in.Body1 = &Body("Sirius");
    in.Body2 = &Body("Canopus");
    in.GMTDateText = "31/12/2024";
    in.GMTTime = (23 + 59 / 60.0) / 24;
    in.WatchErrorSec = 90;
    std::vector<std::string> report;
    const auto r = CalcTwoObjects(in, report);
    ASSERT_TRUE(r.has_value());
    EXPECT_NEAR(r->DateTime, At(2025, 1, 1, 0, 0) + 30 / 86400.0, 1e-9);
    ASSERT_GE(report.size(), 4u);
    EXPECT_EQ(report[2], "Date: 01/01/2025 GMT");
    EXPECT_EQ(report[3], "Time: 00:00:30 GMT");
}

TEST(TwoObjects, MissingOrRepeatedBodiesAndBadDatesWriteNoReport)
{
    // The GMT date reader's message, with the process's day-first format.
    const char *kBadDate = "Invalid date in GMT date: expected dd/MM/yyyy";

    struct Case
    {
        const char *Name;
        const char *Body1;
        const char *Body2;
        const char *Date;
        int Object; // -1: not a selection error
        const char *Message;
    };

    const Case cases[] = {
        {"no object 1", nullptr, "Sun", "15/03/2024", 1, "Select object 1"},
        {"no object 2", "Moon", nullptr, "15/03/2024", 2, "Select object 2"},
        {"neither", nullptr, nullptr, "15/03/2024", 1, "Select object 1"},
        {"the same twice", "Moon", "Moon", "15/03/2024", 0, "Select different objects (1 and 2)"},
        {"empty date", "Moon", "Sun", "", -1, kBadDate},
        {"no such date", "Moon", "Sun", "31/02/2024", -1, kBadDate},
        {"junk date", "Moon", "Sun", "15/03/2024x", -1, kBadDate},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TTwoObjectsInputs in;
        in.Body1 = c.Body1 ? &Body(c.Body1) : nullptr;
        in.Body2 = c.Body2 ? &Body(c.Body2) : nullptr;
        in.GMTDateText = c.Date;
        std::vector<std::string> report;
        try {
            CalcTwoObjects(in, report);
            ADD_FAILURE() << "no error";
        } catch (const ESelectObjectError &e) {
            EXPECT_EQ(e.Object, c.Object);
            EXPECT_STREQ(e.what(), c.Message);
        } catch (const EVrnError &e) {
            EXPECT_EQ(c.Object, -1);
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_TRUE(report.empty());
    }
}

} // namespace
} // namespace vrn
