// From a known ship position back to it: the engine gives the altitudes of three well-spread
// bodies at the position and instant, the sextant corrections are undone to get the readings a
// navigator would take, and the sights are reduced from an assumed position and crossed.

#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/Trigonom.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

constexpr double kTrueLat = 38.5; // 38°30'N
constexpr double kTrueLon = 24; // 24°00'W
const TVrnWatch kWatch {4, 3, 2025, 16}; // 2025-03-04 16:00 UT

// The sextant of the sights: IC +1.2', eye 3 m, simple refraction.
TVrnSextant ShipSextant()
{
    TVrnSextant s;
    s.IndexCorrection = 1.2 / 60;
    s.EyeHeight = 3 / 0.3048;
    return s;
}

// The reading that corrects to the body's altitude at the true position: Hs + corrections(Hs)
// = Hc, solved by fixed-point iteration (the corrections change slowly with the altitude).
double SextantReading(TAstro &body, TLimbType limb)
{
    const auto place = body.ComputeGHADec(kWatch.Year, kWatch.Month, kWatch.Day, kWatch.GMTHours);
    const double hc =
        ComputeAltitudeAzimuth(place.DecDeg, place.GHADeg, kTrueLat, kTrueLon, 0).HcDeg;
    TVrnSextant s = ShipSextant();
    const TPosition truePos("AssumedPos", kTrueLat, kTrueLon);
    double hs = hc;
    for (int i = 0; i < 20; ++i) {
        s.Hs = hs;
        s.CalcCorrections(limb, false, body, kWatch, truePos, {});
        hs = hc - s.TotalCorrection;
    }
    return hs;
}

struct TSight
{
    const char *Body;
    TLimbType Limb;
};

// Sun (azimuth 222°, altitude 36°), Moon (121°, 62°) and Polaris (north): crossing angles of
// about 100°, 120° and 140°.
const TSight kSights[] = {{"Sun", TLimbType::LowerLimb}, {"Moon", TLimbType::LowerLimb},
    {"Polaris", TLimbType::ObjectCenter}};

TFixResult FixFrom(double apLat, double apLon)
{
    TLOPList list;
    for (const auto &sight : kSights) {
        SCOPED_TRACE(sight.Body);
        TSightInputs in;
        in.Body = FindAstro(sight.Body);
        in.Watch = kWatch;
        in.AssumedPos = TPosition("AssumedPos", apLat, apLon);
        in.Limb = sight.Limb;
        in.GMTDateText = "04/03/2025";
        in.GMTTimeText = "16:00:00";
        TVrnSextant s = ShipSextant();
        s.Hs = SextantReading(*in.Body, sight.Limb);
        std::vector<std::string> report;
        list.AddLOP(CalcLOP(in, s, report));
    }
    TFixReport report;
    return list.CalcFix({}, report);
}

class EndToEndTest : public testing::Test
{
protected:
    void SetUp() override { CreateAstros(); }

    void TearDown() override { FreeAstros(); }
};

TEST_F(EndToEndTest, ThreeBodiesFromAnAssumedPositionWithinTenMiles)
{
    struct Case
    {
        const char *Name;
        double APLat, APLon;
    };

    // Assumed positions 6 to 10 nautical miles off in four directions.
    const Case cases[] = {
        {"north-west", 38.5 + 6 / 60.0, 24 + 5 / 60.0},
        {"south-east", 38.5 - 7 / 60.0, 24 - 6 / 60.0},
        {"east", 38.5, 24 - 12 / 60.0},
        {"south", 38.5 - 10 / 60.0, 24},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        ASSERT_LE(PlaneSailingDistance(c.APLat, c.APLon, kTrueLat, kTrueLon), 10.0);
        const TFixResult fix = FixFrom(c.APLat, c.APLon);
        EXPECT_EQ(fix.Crossings.size(), 3u);
        EXPECT_LT(PlaneSailingDistance(fix.Lat, fix.Lon, kTrueLat, kTrueLon), 0.5);
    }
}

TEST_F(EndToEndTest, ThirtyMilesOffWithASecondReduction)
{
    // 20' of latitude and 25' of longitude off: about 28 NM. LOPs taken as straight lines on the
    // (longitude, latitude) plane err more the farther the assumed position (up to about 0.6 NM
    // from 40 NM); reducing again from the first fix brings it within half a mile.
    const double apLat = 38.5 + 20 / 60.0, apLon = 24 + 25 / 60.0;
    ASSERT_GT(PlaneSailingDistance(apLat, apLon, kTrueLat, kTrueLon), 25.0);
    const TFixResult first = FixFrom(apLat, apLon);
    EXPECT_LT(PlaneSailingDistance(first.Lat, first.Lon, kTrueLat, kTrueLon), 2.0);
    const TFixResult second = FixFrom(first.Lat, first.Lon);
    EXPECT_LT(PlaneSailingDistance(second.Lat, second.Lon, kTrueLat, kTrueLon), 0.5);
}

} // namespace
} // namespace vrn
