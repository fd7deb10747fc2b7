#include "gps/GpsTracking.h"

#include "engine/DateTime.h"
#include "engine/VrnError.h"
#include "gps/GpsRecovery.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>
#include <vector>

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

constexpr TDateFormat kDayFirst {TDateOrder::DayMonthYear, '/'};

TEST(GpsTracking, DescribeFix)
{
    const double t1994 = EncodeDate(1994, 3, 23) + EncodeTime(12, 35, 19, 0);
    const double t225444 = EncodeTime(22, 54, 44, 0);
    const TGpsPosition none;
    using K = TNMeaMessage;

    struct
    {
        const char *Name;
        TGpsPosition P, Last;
        K LastMessage;
        bool HasCourse;
        TFixStatus Status;
        const char *Time, *Lat, *Lon, *StatusText;
        bool NewFix, Visible, Course;
    } const cases[] = {
        // Angle texts (two decimals of minutes): 48.1173° = 48°07.04'.
        {"RMC fix with a course", Fix(t1994, 48.1173, -11.516667), none, K::nmRMC, true,
            TFixStatus::Valid, "23/03/1994 12:35:19 GMT", "48°07.04'N", "11°31.00'E", "valid", true,
            true, true},
        {"RMC without a course", Fix(t1994, 48.1173, -11.516667), none, K::nmRMC, false,
            TFixStatus::Valid, "23/03/1994 12:35:19 GMT", "48°07.04'N", "11°31.00'E", "valid", true,
            true, false},
        {"GLL fix: time only, no course even after an RMC", Fix(t225444, 49.274167, 123.185333),
            none, K::nmGLL, true, TFixStatus::Valid, "22:54:44 GMT", "49°16.45'N", "123°11.12'W",
            "valid", true, true, false},
        {"the same fix again is no new fix", Fix(t1994, 1, 2), Fix(t1994, 1, 2), K::nmRMC, true,
            TFixStatus::Valid, "23/03/1994 12:35:19 GMT", " 1°00.00'N", " 2°00.00'W", "valid",
            false, true, true},
        {"a moved fix at the same second is new", Fix(t1994, 1, 2.001), Fix(t1994, 1, 2), K::nmRMC,
            true, TFixStatus::Valid, "23/03/1994 12:35:19 GMT", " 1°00.00'N", " 2°00.06'W", "valid",
            true, true, true},
        {"invalid fix", Fix(t1994, 1, 2, false), none, K::nmRMC, true, TFixStatus::Invalid,
            "Invalid", "---°--.-", "---°--.-", "Invalid", false, false, false},
        {"latitude beyond 90", Fix(t1994, 90.5, 2), none, K::nmRMC, true, TFixStatus::Error,
            "Invalid", "---°--.-", "---°--.-", "error", false, true, false},
        {"longitude beyond 180", Fix(t1994, 10, -180.01), none, K::nmRMC, true, TFixStatus::Error,
            "Invalid", "---°--.-", "---°--.-", "error", false, true, false},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto d = DescribeFix(c.P, c.Last, c.LastMessage, c.HasCourse, 84.4, kDayFirst);
        EXPECT_EQ(d.Status, c.Status);
        EXPECT_EQ(d.Time, c.Time);
        EXPECT_EQ(d.Lat, c.Lat);
        EXPECT_EQ(d.Lon, c.Lon);
        EXPECT_EQ(d.StatusText, c.StatusText);
        EXPECT_EQ(d.NewFix, c.NewFix);
        EXPECT_EQ(d.MarkerVisible, c.Visible);
        EXPECT_EQ(d.MarkerHasCourse, c.Course);
        EXPECT_EQ(d.MarkerCourseDeg, c.Course ? 84.4 : 0);
    }
}

TEST(GpsTracking, GllTimeTakesTheNearestDate)
{
    const double day = EncodeDate(2026, 5, 15);

    struct
    {
        const char *Name;
        double Gmt, Now, Expected;
    } const cases[] = {
        {"same day", EncodeTime(10, 0, 0, 0), day + 10.01 / 24, day + 10.0 / 24},
        {"fix just before midnight, clock just after", EncodeTime(23, 59, 59, 0),
            day + 1 + 1 / 86400.0, day + EncodeTime(23, 59, 59, 0)},
        {"fix just after midnight, clock just before", EncodeTime(0, 0, 1, 0),
            day + EncodeTime(23, 59, 59, 0), day + 1 + 1 / 86400.0},
        {"a fix with a date is its own time", day + 0.5, day + 3, day + 0.5},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(TrackTimeOf(c.Gmt, c.Now), c.Expected, 1e-9);
    }
}

TEST(GpsTracking, SavingToTheTrack)
{
    const double t = EncodeDate(2026, 5, 15) + 0.5;
    std::vector<double> written;
    bool addWorks = true;
    const TGpsTrackRecorder::TAddPointFn add = [&](double, double, double time) {
        if (addWorks)
            written.push_back(time);
        return addWorks;
    };
    TGpsTrackRecorder r;
    EXPECT_EQ(r.SaveClick(true, add, t), "GPS position invalid");
    r.LastValidPosition = Fix(t, 1, 2);
    EXPECT_EQ(r.SaveClick(true, add, t), std::nullopt);
    EXPECT_EQ(r.SaveClick(true, add, t), "GPS position old or already saved");
    EXPECT_EQ(written, std::vector<double> {t});

    // Without a track the first click says so, and the fix then counts as handled.
    r.LastValidPosition = Fix(t + 1 / 86400.0, 1, 2);
    EXPECT_EQ(r.SaveClick(false, add, t), "Error saving position: no GPS track selected");
    EXPECT_EQ(r.SaveClick(false, add, t), "GPS position old or already saved");

    // A failing add is no saved point.
    r.LastValidPosition = Fix(t + 2 / 86400.0, 1, 2);
    addWorks = false;
    EXPECT_FALSE(r.Save(true, add, t));
    EXPECT_NEAR(r.LastSavedTime, t + 2 / 86400.0, 1e-12);

    // An older fix is never written.
    addWorks = true;
    r.LastValidPosition = Fix(t - 10 / 86400.0, 1, 2);
    EXPECT_FALSE(r.Save(true, add, t));
    EXPECT_EQ(written.size(), 1u);

    // A GLL time of day is written with the date of the clock.
    r.LastSavedTime = 0;
    r.LastValidPosition = Fix(0.25, 1, 2);
    EXPECT_TRUE(r.Save(true, add, EncodeDate(2026, 5, 16) + 0.26));
    EXPECT_NEAR(written.back(), EncodeDate(2026, 5, 16) + 0.25, 1e-12);
}

TEST(GpsTracking, AutoSaveInterval)
{
    struct
    {
        const char *Name;
        bool Checked;
        int Value;
        const char *Unit;
        double Days;
        const char *Error;
    } const cases[] = {
        {"4 seconds", true, 4, "seconds", 4 / 86400.0, ""},
        {"90 minutes", true, 90, "minutes", 90 / 1440.0, ""},
        {"24 hours is accepted", true, 24, "hours", 1, ""},
        {"25 hours is refused", true, 25, "hours", 0, "Autosave interval must be less than 1 day"},
        {"86401 seconds is refused", true, 86401, "seconds", 0,
            "Autosave interval must be less than 1 day"},
        {"unknown unit", true, 4, "days", 0, "Invalid save interval unit"},
        {"unit in capitals", true, 4, "Seconds", 0, "Invalid save interval unit"},
        {"at least one", true, 0, "seconds", 1 / 86400.0, ""},
        {"unchecked", false, 4, "seconds", 0, ""},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = AutoSaveInterval(c.Checked, c.Value, c.Unit);
        EXPECT_NEAR(r.Days, c.Days, 1e-15);
        EXPECT_EQ(r.Error, c.Error);
    }
}

TEST(GpsTracking, AutoSaveScheduleAndFixAge)
{
    TAutoSaveSchedule s;
    s.Start(4 / 86400.0, 100);
    std::vector<double> fired;
    for (double now = 100; now <= 113; now += 0.5)
        if (s.Due(now))
            fired.push_back(now);
    EXPECT_EQ(fired, (std::vector<double> {104, 108, 112}));
    s.Start(0, 0);
    EXPECT_FALSE(s.Due(1e9));

    EXPECT_EQ(FixAgeText(true, 10, 17.9), "last 7 secs");
    EXPECT_EQ(FixAgeText(false, 10, 17.9), "...");

    TPortHealth h;
    EXPECT_EQ(h.Update(0, 0, -1, 0), "0.0 sentences/s, 0 checksum errors, no valid fix yet");
    EXPECT_EQ(h.Update(16, 1, 1.5, 2), "8.0 sentences/s, 1 checksum error, last valid fix 0 s ago");
    EXPECT_EQ(
        h.Update(16, 3, 1.5, 5.5), "0.0 sentences/s, 3 checksum errors, last valid fix 4 s ago");
}

class RecoveryLog : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vrn-gps-recovery-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        FDir = pattern;
    }

    void TearDown() override { std::filesystem::remove_all(FDir); }

    std::filesystem::path FDir;
};

TEST_F(RecoveryLog, PointsComeBackInOrder)
{
    TGpsRecoveryLog log(FDir / "gps-track.recovery");
    EXPECT_TRUE(log.Read().Points.empty());
    log.Append("Morning\trun", 38.5, 9.25, 46157.5);
    log.Append("Morning run", -0.000000001, -179.999999999, 46157.5 + 1 / 86400.0);
    const auto r = log.Read();
    ASSERT_EQ(r.Points.size(), 2u);
    EXPECT_EQ(r.BadLines, 0);
    EXPECT_EQ(r.Points[0].TrackName, "Morning run");
    EXPECT_NEAR(r.Points[0].Lat, 38.5, 1e-9);
    EXPECT_NEAR(r.Points[1].Lon, -179.999999999, 1e-9);
    EXPECT_NEAR(r.Points[1].Time, 46157.5 + 1 / 86400.0, 1e-9);
    EXPECT_TRUE(log.Clear());
    EXPECT_TRUE(log.Read().Points.empty());
    EXPECT_TRUE(log.Clear());
}

TEST_F(RecoveryLog, BrokenLinesAreSkipped)
{
    const auto path = FDir / "broken.recovery";
    {
        std::ofstream f(path, std::ios::binary);
        f << "T\t1\t2\t46157.5\n"
          << "T\tnan\t2\t46157.5\n"
          << "T\t95\t2\t46157.5\n"
          << "T\t1\t2\n"
          << "T\t1\t2\t46157.5\textra\n"
          << std::string("\0\xff\n", 3) << "T\t3\t4\t46157.6\r\n"
          << "T\t5\t6\t4615"; // cut short by a power cut
    }
    const auto r = TGpsRecoveryLog(path).Read();
    ASSERT_EQ(r.Points.size(), 2u);
    EXPECT_EQ(r.BadLines, 6);
    EXPECT_NEAR(r.Points[1].Lat, 3, 1e-12);
}

TEST_F(RecoveryLog, FullDiskIsReported)
{
    // /dev/full refuses every write with "No space left on device".
    TGpsRecoveryLog log("/dev/full");
    try {
        log.Append("T", 1, 2, 3);
        FAIL() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()),
            "Cannot write the GPS recovery file /dev/full: No space left on device");
    }
    TGpsRecoveryLog missing(FDir / "no-such-folder" / "x.recovery");
    EXPECT_THROW(missing.Append("T", 1, 2, 3), EVrnError);
}

} // namespace
} // namespace vrn
