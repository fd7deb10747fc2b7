#include "apps/vrncli/DistanceCommand.h"
#include "apps/vrncli/LegCommand.h"

#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vrn::cli {
namespace {

struct TRun
{
    int Status = 0;
    std::string Out;
    std::string Err;
};

TRun RunCli(TCommandFn command, const std::vector<std::string> &args)
{
    std::istringstream in;
    std::ostringstream out, err;
    TRun r;
    r.Status = command(args, TStreams {in, out, err});
    r.Out = out.str();
    r.Err = err.str();
    return r;
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream s(text);
    for (std::string line; std::getline(s, line);)
        lines.push_back(line);
    return lines;
}

struct TBadCase
{
    const char *Name;
    std::vector<std::string> Args;
    int Status;
    const char *Err; // the whole of standard error
};

void ExpectRefused(TCommandFn command, const TBadCase &c)
{
    SCOPED_TRACE(c.Name);
    const TRun r = RunCli(command, c.Args);
    EXPECT_EQ(r.Status, c.Status);
    EXPECT_EQ(r.Err, c.Err);
    EXPECT_EQ(r.Out, "");
}

TEST(LegCommand, CsvGivesBothMethodsAndEmptyUndefinedCourses)
{
    struct Case
    {
        const char *Name;
        const char *From;
        const char *To;
        std::vector<std::string> Want;
    };

    // Meridian and equator legs worked by hand (600 NM); the pole leg is the difference of
    // latitude (60°, 3600 NM, course 180 from the North Pole); the same point has no course.
    const Case cases[] = {
        {"along the equator", "0,0", "0,10W",
            {"method;course;distance_nm", "rhumb_line;270.0000;600.0000",
                "great_circle;270.0000;600.0000"}},
        {"due north", "10°00.0'N,020°00.0'E", "20N,20E",
            {"method;course;distance_nm", "rhumb_line;0.0000;600.0000",
                "great_circle;0.0000;600.0000"}},
        {"from the North Pole", "90,0", "30,-45",
            {"method;course;distance_nm", "rhumb_line;180.0000;3600.0000",
                "great_circle;180.0000;3600.0000"}},
        {"the same point", "20,30", "20,30",
            {"method;course;distance_nm", "rhumb_line;;0.0000", "great_circle;;0.0000"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun r = RunCli(RunLeg, {"--from", c.From, "--to", c.To, "--csv"});
        EXPECT_EQ(r.Status, kExitOk);
        EXPECT_EQ(r.Err, "");
        EXPECT_EQ(Lines(r.Out), c.Want);
    }
}

TEST(LegCommand, RouteRowsRunFromTheStartToTheEnd)
{
    // 10 N 20 W to 20 N 20 W along the meridian in N + 1 equal steps.
    const TRun r =
        RunCli(RunLeg, {"--from", "10,20", "--to", "20,20", "--route", "rl", "--points", "1"});
    EXPECT_EQ(r.Status, kExitOk);
    EXPECT_EQ(Lines(r.Out),
        (std::vector<std::string> {"point;lat;lon", "1;10.000000;20.000000",
            "2;15.000000;20.000000", "3;20.000000;20.000000"}));
    const TRun dflt = RunCli(RunLeg, {"--from", "40,70", "--to", "50,5", "--route", "gc"});
    EXPECT_EQ(dflt.Status, kExitOk);
    EXPECT_EQ(Lines(dflt.Out).size(), 1u + 5 + 2);
}

TEST(LegCommand, BadInputIsRefusedWithStatusTwo)
{
    const TBadCase cases[] = {
        {"no --from", {"--to", "1,1"}, 2,
            "vrncli leg: --from is required (try vrncli leg --help)\n"},
        {"no comma", {"--from", "45", "--to", "1,1"}, 2,
            "vrncli leg: invalid position \"45\" for --from (expected LAT,LON) (try vrncli leg "
            "--help)\n"},
        {"two commas", {"--from", "1,1", "--to", "1,1,1"}, 2,
            "vrncli leg: invalid position \"1,1,1\" for --to (expected LAT,LON) (try vrncli leg "
            "--help)\n"},
        {"latitude beyond 90", {"--from", "91,0", "--to", "1,1"}, 2,
            "vrncli leg: invalid latitude \"91\" for --from (try vrncli leg --help)\n"},
        {"decimal comma", {"--from", "45,5,10", "--to", "1,1"}, 2,
            "vrncli leg: invalid position \"45,5,10\" for --from (expected LAT,LON) (try vrncli "
            "leg --help)\n"},
        {"longitude not a number", {"--from", "1,nan", "--to", "1,1"}, 2,
            "vrncli leg: invalid longitude \"nan\" for --from (try vrncli leg --help)\n"},
        {"unknown route", {"--from", "1,1", "--to", "2,2", "--route", "xx"}, 2,
            "vrncli leg: invalid route \"xx\" (gc or rl) (try vrncli leg --help)\n"},
        {"no points", {"--from", "1,1", "--to", "2,2", "--route", "gc", "--points", "0"}, 2,
            "vrncli leg: invalid number of points \"0\" (1..100) (try vrncli leg --help)\n"},
        {"too many points", {"--from", "1,1", "--to", "2,2", "--route", "gc", "--points", "101"}, 2,
            "vrncli leg: invalid number of points \"101\" (1..100) (try vrncli leg --help)\n"},
        {"points not a number", {"--from", "1,1", "--to", "2,2", "--route", "gc", "--points", "5x"},
            2, "vrncli leg: invalid number of points \"5x\" (1..100) (try vrncli leg --help)\n"},
        {"points without a route", {"--from", "1,1", "--to", "2,2", "--points", "5"}, 2,
            "vrncli leg: --points goes with --route (try vrncli leg --help)\n"},
        {"stray argument", {"--from", "1,1", "--to", "2,2", "extra"}, 2,
            "vrncli leg: unexpected argument \"extra\" (try vrncli leg --help)\n"},
    };
    for (const auto &c : cases)
        ExpectRefused(RunLeg, c);
}

TEST(DistanceCommand, CsvGivesTheCentresAndTheLimbs)
{
    const TRun r = RunCli(RunDistance,
        {"--body1", "Moon", "--body2", "Sun", "--utc", "2024-03-15T18:00:00", "--limb1", "near",
            "--limb2", "far", "--csv"});
    ASSERT_EQ(r.Status, kExitOk);
    const auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "body1;body2;utc;bearing;distance;corrected");
    // PyEphem (tools/lunar-reference.py): 72.74051°, position angle 259.309°, Moon's SD 15.755',
    // Sun's 16.079': near Moon and far Sun give 72.74051 + (16.079 − 15.755)/60.
    double bearing = 0, dist = 0, corrected = 0;
    ASSERT_EQ(std::sscanf(lines[1].c_str(), "Moon;Sun;2024-03-15T18:00:00;%lf;%lf;%lf", &bearing,
                  &dist, &corrected),
        3);
    EXPECT_NEAR(bearing, 259.309, 0.01);
    EXPECT_NEAR(dist, 72.74051, 0.08 / 60);
    EXPECT_NEAR(corrected - dist, (16.079 - 15.755) / 60, 0.05 / 60);
}

TEST(DistanceCommand, ClearingFindsTheGMTOfAWorkedExample)
{
    // tools/lunar-reference.py: Moon and Sun, near limbs, 35 N 45 W, IC -1.2', eye 3 m, true
    // GMT 2024-03-15 18:00:00; the watch shows 18:05:00.
    const TRun r = RunCli(RunDistance,
        {"--body1", "Moon", "--body2", "Sun", "--utc", "2024-03-15T18:05:00", "--limb1", "near",
            "--limb2", "near", "--sextant", "72.523626", "--hs1", "64.717741", "--hs2", "35.764724",
            "--lat", "35N", "--lon", "45W", "--ie", "-1.2", "--eye", "3", "--csv"});
    ASSERT_EQ(r.Status, kExitOk) << r.Err;
    const auto lines = Lines(r.Out);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "body1;body2;watch;apparent;cleared;gmt;watch_error_s");
    double apparent = 0, cleared = 0, err = 0;
    int h = 0, m = 0, s = 0;
    ASSERT_EQ(std::sscanf(lines[1].c_str(),
                  "Moon;Sun;2024-03-15T18:05:00;%lf;%lf;2024-03-15T%d:%d:%d;%lf", &apparent,
                  &cleared, &h, &m, &s, &err),
        6);
    EXPECT_NEAR(cleared, 72.740509, 0.05 / 60);
    const double gmtSec = h * 3600 + m * 60 + s;
    EXPECT_NEAR(gmtSec, 18 * 3600, 3);
    EXPECT_NEAR(err, gmtSec - (18 * 3600 + 300), 1);
}

TEST(DistanceCommand, BadInputIsRefusedAndFailedClearingsSayWhy)
{
    const std::vector<std::string> base = {
        "--body1", "Moon", "--body2", "Sun", "--utc", "2024-03-15T18:00:00"};
    const auto with = [&](std::vector<std::string> more) {
        std::vector<std::string> a = base;
        a.insert(a.end(), more.begin(), more.end());
        return a;
    };
    const std::vector<std::string> clearing = {
        "--sextant", "72.5", "--hs1", "64.7", "--hs2", "35.8", "--lat", "35", "--lon", "45"};
    const TBadCase cases[] = {
        {"no body 1", {"--body2", "Sun", "--utc", "2024-03-15T18:00:00"}, 2,
            "vrncli distance: --body1 is required (try vrncli distance --help)\n"},
        {"unknown body", {"--body1", "moon", "--body2", "Sun", "--utc", "2024-03-15T18:00:00"}, 2,
            "vrncli distance: unknown body \"moon\" (try vrncli distance --help)\n"},
        {"the same body", {"--body1", "Sun", "--body2", "Sun", "--utc", "2024-03-15T18:00:00"}, 2,
            "vrncli distance: --body1 and --body2 name the same body (try vrncli distance "
            "--help)\n"},
        {"bad utc", {"--body1", "Moon", "--body2", "Sun", "--utc", "2024-02-30T18:00:00"}, 2,
            "vrncli distance: invalid UTC \"2024-02-30T18:00:00\" (expected a real date and time "
            "as YYYY-MM-DDTHH:MM:SS) (try vrncli distance --help)\n"},
        {"bad limb", with({"--limb1", "upper"}), 2,
            "vrncli distance: invalid limb \"upper\" for --limb1 (near, far or center) (try "
            "vrncli distance --help)\n"},
        {"a star's limb",
            {"--body1", "Moon", "--body2", "Regulus", "--utc", "2024-03-15T18:00:00", "--limb2",
                "near"},
            2,
            "vrncli distance: Regulus has no limb to measure: --limb2 can only be center (try "
            "vrncli distance --help)\n"},
        {"part of a clearing", with({"--sextant", "72.5", "--hs1", "64.7"}), 2,
            "vrncli distance: clearing a lunar distance needs --sextant, --hs1, --hs2, --lat and "
            "--lon (try vrncli distance --help)\n"},
        {"eye without a clearing", with({"--eye", "3"}), 2,
            "vrncli distance: --ie and --eye go with the clearing of a lunar distance (try "
            "vrncli distance --help)\n"},
        {"bad sextant distance",
            with({"--sextant", "72x", "--hs1", "64.7", "--hs2", "35.8", "--lat", "35", "--lon",
                "45"}),
            2,
            "vrncli distance: invalid angle \"72x\" for --sextant (try vrncli distance --help)\n"},
        {"bad height of eye",
            [&] {
                auto a = with(clearing);
                a.insert(a.end(), {"--eye", "inf"});
                return a;
            }(),
            2, "vrncli distance: invalid number \"inf\" for --eye (try vrncli distance --help)\n"},
        {"no Moon",
            {"--body1", "Sun", "--body2", "Regulus", "--utc", "2024-03-15T18:00:00", "--sextant",
                "72.5", "--hs1", "64.7", "--hs2", "35.8", "--lat", "35", "--lon", "45"},
            1, "vrncli distance: A lunar distance needs the Moon as one of the objects\n"},
        {"distance the altitudes do not allow",
            [&] {
                auto a = base;
                a.insert(a.end(),
                    {"--sextant", "10", "--hs1", "64.7", "--hs2", "35.8", "--lat", "35", "--lon",
                        "45"});
                return a;
            }(),
            1, "vrncli distance: The distance does not agree with the altitudes of the objects\n"},
    };
    for (const auto &c : cases)
        ExpectRefused(RunDistance, c);
}

} // namespace
} // namespace vrn::cli
