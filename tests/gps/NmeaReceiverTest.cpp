#include "gps/NmeaReceiver.h"

#include "common/FileIO.h"
#include "engine/DateTime.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace vrn {
namespace {

// What a listener sees at one notification.
struct TSeen
{
    TNMeaMessage Kind;
    bool Parsed;
    double Lat, Lon, GMTTime;
    bool Valid;
    double Sog, Cog;
    TNMeaMessage LastMessage;

    bool operator==(const TSeen &) const = default;
};

class TRecorder
{
public:
    explicit TRecorder(TNmeaReceiver &r)
        : FR(r)
    {
        r.OnNewPosition = [this] {
            const auto &p = FR.Position();
            Seen.push_back({FR.NotifiedKind(), FR.NotifiedParsed(), p.Lat, p.Lon, p.GMTTime,
                p.Valid, FR.SpeedOverGround(), FR.CourseOverGround(), FR.LastMessage()});
        };
        r.OnBeep = [this] { ++Beeps; };
    }

    std::vector<TSeen> Seen;
    int Beeps = 0;

private:
    TNmeaReceiver &FR;
};

std::string Capture(const char *name)
{
    const auto f = ReadWholeFile(std::string(VRN_TEST_DATA_DIR) + "/" + name, 1 << 20);
    EXPECT_TRUE(f.Found) << name;
    return f.Bytes;
}

constexpr double kPrevLat = 1.5, kPrevLon = -2.5, kPrevTime = 0.25;
constexpr double kDeg = 1e-6; // about 0.1 m
constexpr double kSecond = 0.5 / 86400;

TEST(NmeaReceiver, OneSentence)
{
    // 48°07.038'N 011°31.000'E on 23 March 1994 at 12:35:19: the RMC example of the NMEA 0183
    // reference; 49°16.45'N 123°11.12'W at 22:54:44 its GLL example. Degrees are worked by
    // hand: 48 + 7.038/60, 11 + 31/60, 49 + 16.45/60, 123 + 11.12/60.
    const double lat48 = 48 + 7.038 / 60, lon11 = -(11 + 31.0 / 60);
    const double lat49 = 49 + 16.45 / 60, lon123 = 123 + 11.12 / 60;
    const double t1994 = EncodeDate(1994, 3, 23) + EncodeTime(12, 35, 19, 0);
    const double t225444 = EncodeTime(22, 54, 44, 0);
    const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
    using K = TNMeaMessage;

    struct
    {
        const char *Name;
        std::string Bytes;
        TNMeaMessages Accepted;
        int Notified; // 0: no effect at all
        bool Parsed;
        double Lat, Lon, GMTTime;
        bool Valid;
        double Sog, Cog;
        bool HasCourse;
        K Last;
        int ChecksumErrors;
    } const cases[] = {
        {"RMC reference example", rmc + "*6A\r", {K::nmRMC}, 1, true, lat48, lon11, t1994, true,
            22.4, 84.4, true, K::nmRMC, 0},
        {"RMC without checksum", rmc + "\r", {K::nmRMC}, 1, true, lat48, lon11, t1994, true, 22.4,
            84.4, true, K::nmRMC, 0},
        {"lower-case checksum digits", rmc + "*6a\r", {K::nmRMC}, 1, true, lat48, lon11, t1994,
            true, 22.4, 84.4, true, K::nmRMC, 0},
        {"blanks after the checksum", rmc + "*6A  \r", {K::nmRMC}, 1, true, lat48, lon11, t1994,
            true, 22.4, 84.4, true, K::nmRMC, 0},
        {"status V: not valid, numbers updated",
            "$GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W\r", {K::nmRMC}, 1,
            true, lat48, lon11, t1994, false, 22.4, 84.4, true, K::nmRMC, 0},
        {"year 80 is 1980", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230380,,\r",
            {K::nmRMC}, 1, true, lat48, lon11, EncodeDate(1980, 3, 23) + EncodeTime(12, 35, 19, 0),
            true, 22.4, 84.4, true, K::nmRMC, 0},
        {"year 79 is 2079", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230379,,\r",
            {K::nmRMC}, 1, true, lat48, lon11, EncodeDate(2079, 3, 23) + EncodeTime(12, 35, 19, 0),
            true, 22.4, 84.4, true, K::nmRMC, 0},
        {"empty course: position kept, no course",
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,,230394,,\r", {K::nmRMC}, 1, true, lat48,
            lon11, t1994, true, 22.4, 0, false, K::nmRMC, 0},
        {"empty speed and course", "$GPRMC,123519,A,4807.038,N,01131.000,E, , ,230394,,\r",
            {K::nmRMC}, 1, true, lat48, lon11, t1994, true, 0, 0, false, K::nmRMC, 0},
        {"lower-case hemispheres", "$GPRMC,123519,A,4807.038,s,01131.000,e,1,2,230394,,\r",
            {K::nmRMC}, 1, true, -lat48, lon11, t1994, true, 1, 2, true, K::nmRMC, 0},
        {"extra fields are ignored",
            "$GNRMC,123519.00,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W,A,X,Y\r",
            {K::nmRMC}, 1, true, lat48, lon11, t1994, true, 22.4, 84.4, true, K::nmRMC, 0},
        {"GLL reference example", "$GPGLL,4916.45,N,12311.12,W,225444,A\r", {K::nmGLL}, 1, true,
            lat49, lon123, t225444, true, 0, 0, false, K::nmGLL, 0},
        {"GLL with fractions of a second and mode", "$GLGLL,4916.45,N,12311.12,W,225444.75,A,A\r",
            {K::nmGLL}, 1, true, lat49, lon123, t225444, true, 0, 0, false, K::nmGLL, 0},
        {"GLL without status: notified, nothing changed", "$GPGLL,4916.45,N,12311.12,W,225444\r",
            {K::nmGLL}, 1, false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"GLL status V believed although the rest fails", "$GPGLL,,,,,225444,V,N\r", {K::nmGLL}, 1,
            false, kPrevLat, kPrevLon, kPrevTime, false, 0, 0, false, K::nmNONE, 0},
        {"empty GLL status is present and not valid", "$GPGLL,,,,,225444,,N\r", {K::nmGLL}, 1,
            false, kPrevLat, kPrevLon, kPrevTime, false, 0, 0, false, K::nmNONE, 0},
        {"RMC no-fix sentence", "$GPRMC,101502,V,,,,,,,150526,,,N\r", {K::nmRMC}, 1, false,
            kPrevLat, kPrevLon, kPrevTime, false, 0, 0, false, K::nmNONE, 0},
        {"signed coordinate", "$GPGLL,-4916.45,N,12311.12,W,225444,A\r", {K::nmGLL}, 1, false,
            kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"minutes of 60", "$GPGLL,4960.00,N,12311.12,W,225444,A\r", {K::nmGLL}, 1, false, kPrevLat,
            kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"coordinate with an exponent", "$GPGLL,4.91645e3,N,12311.12,W,225444,A\r", {K::nmGLL}, 1,
            false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"hour 24", "$GPGLL,4916.45,N,12311.12,W,245444,A\r", {K::nmGLL}, 1, false, kPrevLat,
            kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"junk after the seconds", "$GPGLL,4916.45,N,12311.12,W,225444x,A\r", {K::nmGLL}, 1, false,
            kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"impossible date", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,310294,,\r",
            {K::nmRMC}, 1, false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"empty date", "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,,,\r", {K::nmRMC}, 1,
            false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"speed nan", "$GPRMC,123519,A,4807.038,N,01131.000,E,nan,084.4,230394,,\r", {K::nmRMC}, 1,
            false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"bad course after a good speed",
            "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,12abc,230394,,\r", {K::nmRMC}, 1, false,
            kPrevLat, kPrevLon, kPrevTime, true, 22.4, 0, false, K::nmNONE, 0},
        {"lone address", "$GPRMC\r", {K::nmRMC}, 1, false, kPrevLat, kPrevLon, kPrevTime, true, 0,
            0, false, K::nmNONE, 0},
        {"wrong checksum", rmc + "*6B\r", {K::nmRMC}, 0, false, kPrevLat, kPrevLon, kPrevTime, true,
            0, 0, false, K::nmNONE, 1},
        {"one checksum digit", rmc + "*6\r", {K::nmRMC}, 0, false, kPrevLat, kPrevLon, kPrevTime,
            true, 0, 0, false, K::nmNONE, 1},
        {"lone asterisk", rmc + "*\r", {K::nmRMC}, 0, false, kPrevLat, kPrevLon, kPrevTime, true, 0,
            0, false, K::nmNONE, 1},
        {"three checksum digits", rmc + "*6A0\r", {K::nmRMC}, 0, false, kPrevLat, kPrevLon,
            kPrevTime, true, 0, 0, false, K::nmNONE, 1},
        {"bad checksum of an ignored type", "$GPGSV,1,1,00*00\r", {K::nmRMC}, 0, false, kPrevLat,
            kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 1},
        {"GLL while only RMC is accepted", "$GPGLL,4916.45,N,12311.12,W,225444,A\r", {K::nmRMC}, 0,
            false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"GSV is ignored", "$GPGSV,3,1,11,03,03,111,00,04,15,270,00\r", {K::nmRMC, K::nmGLL}, 0,
            false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"a maker's own sentence is not an RMC",
            "$PGRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,\r", {K::nmRMC}, 0, false,
            kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"longer type", "$GPRMCX,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,\r",
            {K::nmRMC}, 0, false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"lower-case talker", "$gpRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,,\r",
            {K::nmRMC}, 0, false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0, false, K::nmNONE, 0},
        {"no line end yet", rmc, {K::nmRMC}, 0, false, kPrevLat, kPrevLon, kPrevTime, true, 0, 0,
            false, K::nmNONE, 0},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TNmeaReceiver r;
        r.AcceptedMessages = c.Accepted;
        TGpsPosition prev;
        prev.Lat = kPrevLat;
        prev.Lon = kPrevLon;
        prev.GMTTime = kPrevTime;
        prev.Valid = true;
        r.SetPosition(prev);
        TRecorder rec(r);
        EXPECT_EQ(r.ReceiveBytes(c.Bytes), c.Bytes.size());
        ASSERT_EQ(static_cast<int>(rec.Seen.size()), c.Notified);
        EXPECT_EQ(rec.Beeps, c.Notified);
        EXPECT_EQ(static_cast<int>(r.History().Count()), c.Notified);
        EXPECT_EQ(r.Counters().ChecksumErrors, static_cast<unsigned>(c.ChecksumErrors));
        EXPECT_EQ(r.NotifiedParsed(), c.Parsed);
        const auto &p = r.Position();
        EXPECT_NEAR(p.Lat, c.Lat, kDeg);
        EXPECT_NEAR(p.Lon, c.Lon, kDeg);
        EXPECT_NEAR(p.GMTTime, c.GMTTime, kSecond);
        EXPECT_EQ(p.Valid, c.Valid);
        EXPECT_NEAR(r.SpeedOverGround(), c.Sog, 1e-12);
        EXPECT_NEAR(r.CourseOverGround(), c.Cog, 1e-12);
        EXPECT_EQ(r.HasCourse(), c.HasCourse);
        EXPECT_EQ(r.LastMessage(), c.Last);
    }
}

TEST(NmeaReceiver, GllTimeOfDayOfTheReferenceExample)
{
    // 22:54:44 is 0.954676 of a day (82484 s / 86400).
    TNmeaReceiver r;
    r.ReceiveBytes("$GPGLL,4916.45,N,12311.12,W,225444,A\r");
    EXPECT_NEAR(r.Position().GMTTime, 0.954676, 1e-6);
    EXPECT_EQ(r.Position().GMTTimeStr(), "22:54:44");
    EXPECT_EQ(r.Position().LonStr(), "123°11.1'W");
}

std::vector<TSeen> Feed(const std::string &bytes, std::size_t chunk, TNMeaMessages accepted)
{
    TNmeaReceiver r;
    r.AcceptedMessages = accepted;
    TRecorder rec(r);
    for (std::size_t i = 0; i < bytes.size(); i += chunk)
        r.ReceiveBytes(std::string_view(bytes).substr(i, chunk));
    return rec.Seen;
}

TEST(NmeaReceiver, Framing)
{
    using namespace std::string_literals;
    using K = TNMeaMessage;
    const std::string gll = "$GPGLL,4916.45,N,12311.12,W,225444,A";
    const std::string rmc = "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W";
    const std::string long256 = "$GPGLL,4916.45,N,12311.12,W,225444,A," + std::string(219, 'x');
    ASSERT_EQ(long256.size(), 256u);

    struct
    {
        const char *Name;
        std::string Bytes;
        std::vector<K> Kinds; // the kinds notified, in order
        int Overlong;
    } const cases[] = {
        {"CR LF", gll + "\r\n" + rmc + "\r\n", {K::nmGLL, K::nmRMC}, 0},
        {"LF alone", gll + "\n" + rmc + "\n", {K::nmGLL, K::nmRMC}, 0},
        {"CR alone", gll + "\r" + rmc + "\r", {K::nmGLL, K::nmRMC}, 0},
        {"noise before the first dollar", "\x00\xff junk\r\n"s + gll + "\r\n", {K::nmGLL}, 0},
        {"RMC cut short by a GLL", rmc.substr(0, 30) + gll + "\r\n", {K::nmGLL}, 0},
        {"256 bytes are a sentence", long256 + "\r\n", {K::nmGLL}, 0},
        {"257 bytes are dropped, the next sentence is read", long256 + "y\r\n" + rmc + "\r\n",
            {K::nmRMC}, 1},
        {"a megabyte without a line end", "$" + std::string(1 << 20, 'A') + "\r\n" + gll + "\r",
            {K::nmGLL}, 1},
        {"NUL bytes inside a sentence",
            "$GPGLL,49\0"
            "16.45,N,12311.12,W,225444,A\r"s
                + rmc + "\r",
            {K::nmGLL, K::nmRMC}, 0},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        for (const std::size_t chunk : {std::size_t(1), std::size_t(7), std::size_t(4096)}) {
            SCOPED_TRACE(chunk);
            TNmeaReceiver r;
            r.AcceptedMessages = {K::nmGLL, K::nmRMC};
            TRecorder rec(r);
            for (std::size_t i = 0; i < c.Bytes.size(); i += chunk)
                r.ReceiveBytes(std::string_view(c.Bytes).substr(i, chunk));
            std::vector<K> kinds;
            for (const auto &s : rec.Seen)
                kinds.push_back(s.Kind);
            EXPECT_EQ(kinds, c.Kinds);
            EXPECT_EQ(r.Counters().Overlong, static_cast<unsigned>(c.Overlong));
        }
    }
}

TEST(NmeaReceiver, CapturesReadTheSameWhateverThePieces)
{
    const TNMeaMessages both {TNMeaMessage::nmGLL, TNMeaMessage::nmRMC};
    for (const char *name : {"talkers_crlf.nmea", "talkers_lf.nmea", "fix_lost.nmea",
             "midnight_year.nmea", "hostile.nmea", "track_60s.nmea"}) {
        SCOPED_TRACE(name);
        const auto bytes = Capture(name);
        const auto whole = Feed(bytes, bytes.size(), both);
        EXPECT_FALSE(whole.empty());
        for (const std::size_t chunk : {1, 2, 3, 13, 64})
            EXPECT_EQ(Feed(bytes, chunk, both), whole) << "pieces of " << chunk;
    }
    // A receiver behind an adapter that sends LF alone loses nothing.
    EXPECT_EQ(
        Feed(Capture("talkers_lf.nmea"), 5, both), Feed(Capture("talkers_crlf.nmea"), 5, both));
}

TEST(NmeaReceiver, HostileCaptureKeepsEveryGoodSentence)
{
    // tools/make-gps-captures.py: 18 hostile lines, each followed by a good GLL. Of the hostile
    // ones 4 fail their checksum, 1 runs past 256 bytes and 2 are no GLL or RMC (junk without
    // "$", a lower-case talker); of the 11 notified, 3 parse (lower-case checksum, extra
    // fields, lower-case hemispheres).
    TNmeaReceiver r;
    r.AcceptedMessages = {TNMeaMessage::nmGLL, TNMeaMessage::nmRMC};
    TRecorder rec(r);
    r.ReceiveBytes(Capture("hostile.nmea"));
    EXPECT_EQ(r.Counters().Notified, 18u + 11u);
    EXPECT_EQ(r.Counters().Parsed, 18u + 3u);
    EXPECT_EQ(r.Counters().ChecksumErrors, 4u);
    EXPECT_EQ(r.Counters().Overlong, 1u);
    int goodGll = 0;
    for (const auto &s : rec.Seen)
        if (s.Kind == TNMeaMessage::nmGLL && s.Parsed) {
            ++goodGll;
            EXPECT_NEAR(s.Lat, 49 + 16.45 / 60, kDeg);
            EXPECT_NEAR(s.Lon, 123 + 11.12 / 60, kDeg);
        }
    EXPECT_EQ(goodGll, 18);
}

TEST(NmeaReceiver, MidnightAndCenturyTurn)
{
    // tools/make-gps-captures.py: 1999-12-31 23:59:58 and :59, then 2000-01-01 00:00:00 and
    // :01 across the date line (179°59.9667'W to 179°59.9667'E), then 1980 and 2079.
    const auto seen = Feed(Capture("midnight_year.nmea"), 4096, {TNMeaMessage::nmRMC});
    ASSERT_EQ(seen.size(), 6u);
    const double expected[] = {
        EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 58, 0),
        EncodeDate(1999, 12, 31) + EncodeTime(23, 59, 59, 0),
        EncodeDate(2000, 1, 1),
        EncodeDate(2000, 1, 1) + EncodeTime(0, 0, 1, 0),
        EncodeDate(1980, 3, 23) + 0.5,
        EncodeDate(2079, 3, 23) + 0.5,
    };
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_TRUE(seen[i].Parsed);
        EXPECT_NEAR(seen[i].GMTTime, expected[i], kSecond);
    }
    EXPECT_NEAR(seen[1].Lon, 179 + 59.9667 / 60, kDeg);
    EXPECT_NEAR(seen[2].Lon, -(179 + 59.9667 / 60), kDeg);
    // The GLL times of the same capture wrap to 00:00:00, a time of day alone.
    const auto gll = Feed(Capture("midnight_year.nmea"), 4096, {TNMeaMessage::nmGLL});
    ASSERT_EQ(gll.size(), 3u);
    EXPECT_NEAR(gll[1].GMTTime, EncodeTime(23, 59, 59, 0), kSecond);
    EXPECT_NEAR(gll[2].GMTTime, 0, kSecond);
}

TEST(NmeaReceiver, FixLostAndRegained)
{
    // tools/make-gps-captures.py: two valid seconds, two without a fix (one with empty fields,
    // one with a position but status V), then valid again.
    const auto seen = Feed(Capture("fix_lost.nmea"), 4096, {TNMeaMessage::nmRMC});
    ASSERT_EQ(seen.size(), 5u);
    const bool valid[] = {true, true, false, false, true};
    const bool parsed[] = {true, true, false, true, true};
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].Valid, valid[i]);
        EXPECT_EQ(seen[i].Parsed, parsed[i]);
    }
    // The empty no-fix sentence keeps the last position; the V sentence with a position moves
    // it (status V, numbers updated).
    EXPECT_NEAR(seen[2].Lat, seen[1].Lat, 1e-12);
    EXPECT_NEAR(seen[3].Lat, 38 + 40.003 / 60, kDeg);
}

TEST(NmeaReceiver, StopLeavesTheRestOfThePiece)
{
    const std::string two = "$GPGLL,4916.45,N,12311.12,W,225444,A\r\n$GPGLL,4916.45,N,12311.12,"
                            "W,225445,A\r\n";
    TNmeaReceiver r;
    int notified = 0;
    r.OnNewPosition = [&] {
        ++notified;
        r.Stop();
    };
    const auto taken = r.ReceiveBytes(two);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(taken, two.find('\n'));
    r.ReceiveBytes(std::string_view(two).substr(taken));
    EXPECT_EQ(notified, 2);
    EXPECT_NEAR(r.Position().GMTTime, EncodeTime(22, 54, 45, 0), kSecond);
}

TEST(NmeaReceiver, ResetFramingDropsAHalfSentence)
{
    TNmeaReceiver r;
    int notified = 0;
    r.OnNewPosition = [&] { ++notified; };
    r.ReceiveBytes("$GPGLL,4916.45,N,123");
    r.ResetFraming();
    r.ReceiveBytes("11.12,W,225444,A\r\n");
    EXPECT_EQ(notified, 0);
}

TEST(NmeaFields, Readers)
{
    // Coordinates worked by hand (degrees + minutes / 60); dates and times against EncodeDate
    // and EncodeTime.
    EXPECT_NEAR(*NmeaToDegrees("4916.45"), 49.2741667, 1e-7);
    EXPECT_NEAR(*NmeaToDegrees(" 12311.12 "), 123.1853333, 1e-7);
    EXPECT_NEAR(*NmeaToDegrees("0000.0001"), 0.0001 / 60, 1e-12);
    EXPECT_NEAR(*NmeaToDegrees("5959.9999"), 59 + 59.9999 / 60, 1e-9);
    for (const char *bad : {"", " ", "+4916.45", "-4916.45", "4960", "4916.45.1", "4.9e3", "nan",
             "0x10", "49 16.45", "."})
        EXPECT_FALSE(NmeaToDegrees(bad)) << bad;
    EXPECT_NEAR(*NmeaTimeOfDay("000000"), 0, 1e-12);
    EXPECT_NEAR(*NmeaTimeOfDay("235959.999"), EncodeTime(23, 59, 59, 0), 1e-12);
    for (const char *bad : {"", "12351", "126019", "125960", "240000", "1235a9", "123519,5"})
        EXPECT_FALSE(NmeaTimeOfDay(bad)) << bad;
    EXPECT_EQ(*NmeaDate("290200"), EncodeDate(2000, 2, 29));
    EXPECT_EQ(*NmeaDate("010180"), EncodeDate(1980, 1, 1));
    for (const char *bad : {"", "29021", "290100x", "290299", "320194", "001294", "011394"})
        EXPECT_FALSE(NmeaDate(bad)) << bad;
}

} // namespace
} // namespace vrn
