#include "gps/GpsPosition.h"

#include "common/FileIO.h"
#include "engine/DateTime.h"
#include "gps/NmeaReceiver.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

TGpsPosition Fix(double time, double lat, double lon, bool valid = true)
{
    TGpsPosition p;
    p.GMTTime = time;
    p.Lat = lat;
    p.Lon = lon;
    p.Valid = valid;
    return p;
}

TEST(GpsPosition, NewCopyAndClone)
{
    const TGpsPosition fresh;
    EXPECT_EQ(fresh.GMTTime, 0);
    EXPECT_FALSE(fresh.Valid);
    EXPECT_TRUE(fresh.Text.empty());

    TGpsPosition a = Fix(EncodeDate(1994, 3, 23) + EncodeTime(12, 35, 19, 0), -33.5, -151.25);
    a.Text = "off Sydney";
    TGpsPosition b;
    b.CopyFrom(&a);
    EXPECT_EQ(b.GMTTime, a.GMTTime);
    EXPECT_EQ(b.Lat, a.Lat);
    EXPECT_EQ(b.Lon, a.Lon);
    EXPECT_TRUE(b.Valid);
    EXPECT_EQ(b.Text, "off Sydney");
    b.CopyFrom(nullptr);
    EXPECT_EQ(b.Text, "off Sydney");

    const TGpsPosition c = a.Clone();
    EXPECT_FALSE(c.Valid);
    EXPECT_EQ(c.Lat, a.Lat);
    EXPECT_EQ(c.Text, a.Text);

    // Angle texts with one decimal of minutes; east is the negative longitude.
    EXPECT_EQ(a.LatStr(), "33°30.0'S");
    EXPECT_EQ(a.LonStr(), "151°15.0'E");
    EXPECT_EQ(a.GMTTimeStr(), "12:35:19");
}

TEST(SpeedAverage, HistoryKeepsTheNewestThousand)
{
    TSpeedAverage h;
    for (int i = 0; i < 1500; ++i)
        h.AddPosition(Fix(i / 86400.0, 0, 0, i % 2 == 0));
    ASSERT_EQ(h.Count(), 1000u);
    EXPECT_NEAR(h.At(0).GMTTime, 500 / 86400.0, 1e-12);
    EXPECT_NEAR(h.At(999).GMTTime, 1499 / 86400.0, 1e-12);
    EXPECT_FALSE(h.At(999).Valid);
    EXPECT_NEAR(h.CurrPosition.GMTTime, 1499 / 86400.0, 1e-12);
    h.Clear();
    EXPECT_EQ(h.Count(), 0u);
    EXPECT_FALSE(h.Speed());
}

TEST(SpeedAverage, SpeedMadeGood)
{
    const double day = EncodeDate(2026, 5, 15);

    struct
    {
        const char *Name;
        std::vector<TGpsPosition> Fixes;
        int NumPeriods;
        std::optional<double> Knots;
    } const cases[] = {
        // One minute of latitude is one nautical mile: 1' in 10 minutes is 6 kn.
        {"north 1' in 10 min", {Fix(day, 10, 0), Fix(day + 600 / 86400.0, 10 + 1 / 60.0, 0)}, 10,
            6.0},
        {"only the last periods count",
            {Fix(day, 0, 0), Fix(day + 3600 / 86400.0, 0, 0),
                Fix(day + 7200 / 86400.0, 5 / 60.0, 0)},
            1, 5.0},
        {"invalid fixes are skipped",
            {Fix(day, 0, 0), Fix(day + 1800 / 86400.0, 9, 9, false),
                Fix(day + 3600 / 86400.0, 0, 3 / 60.0)},
            10, 3.0},
        {"time-only fixes across midnight",
            {Fix(EncodeTime(23, 30, 0, 0), 0, 0), Fix(EncodeTime(0, 30, 0, 0), 4 / 60.0, 0)}, 10,
            4.0},
        {"a repeated fix says nothing", {Fix(day, 0, 0), Fix(day, 1, 0)}, 10, std::nullopt},
        {"one fix", {Fix(day, 0, 0)}, 10, std::nullopt},
        {"no periods", {Fix(day, 0, 0), Fix(day + 0.1, 1, 0)}, 0, std::nullopt},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TSpeedAverage h;
        h.NumPeriods = c.NumPeriods;
        for (const auto &f : c.Fixes)
            h.AddPosition(f);
        const auto speed = h.Speed();
        ASSERT_EQ(speed.has_value(), c.Knots.has_value());
        if (speed) {
            EXPECT_NEAR(*speed, *c.Knots, 1e-3);
        }
    }
}

TEST(SpeedAverage, SpeedAndEtaOfARecordedMinute)
{
    // tools/make-gps-captures.py moves the boat at 6 kn on 045; the positions are rounded to
    // 0.0001', which over the 10 s averaged here is within 0.1 kn.
    const auto capture = ReadWholeFile(std::string(VRN_TEST_DATA_DIR) + "/track_60s.nmea", 1 << 20);
    ASSERT_TRUE(capture.Found);
    TNmeaReceiver r;
    r.AcceptedMessages = {TNMeaMessage::nmRMC};
    r.ReceiveBytes(capture.Bytes);
    ASSERT_EQ(r.History().Count(), 60u);
    const auto speed = r.History().Speed();
    ASSERT_TRUE(speed);
    EXPECT_NEAR(*speed, 6.0, 0.1);

    // 3 nm due north of the last fix at about 6 kn: about half an hour later.
    TSpeedAverage &h = r.History();
    h.EndPoint = Fix(0, h.CurrPosition.Lat + 3 / 60.0, h.CurrPosition.Lon);
    const auto eta = h.ETA();
    ASSERT_TRUE(eta);
    EXPECT_NEAR((*eta - h.CurrPosition.GMTTime) * 24 * 60, 30, 0.6);
}

} // namespace
} // namespace vrn
