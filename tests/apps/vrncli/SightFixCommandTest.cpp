#include "apps/vrncli/FixCommand.h"
#include "apps/vrncli/SightCommand.h"
#include "celestial/LOPFiles.h"
#include "engine/Astros.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace vrn::cli {
namespace {

namespace fs = std::filesystem;

struct TRun
{
    int Status = 0;
    std::string Out;
    std::string Err;
};

TRun RunCommand(
    TCommandFn command, const std::vector<std::string> &args, const std::string &input = {})
{
    std::istringstream in(input);
    std::ostringstream out, err;
    TRun r;
    r.Status = command(args, TStreams {in, out, err});
    r.Out = out.str();
    r.Err = err.str();
    return r;
}

TEST(SightCommand, SextantAltitudeTexts)
{
    struct Case
    {
        const char *Text;
        std::optional<double> Expected;
    };

    const Case cases[] = {
        {"45°07.3'", 45 + 7.3 / 60},
        {"45°07.3", 45 + 7.3 / 60},
        {" 5°00.0' ", 5.0},
        {"12°30.0'-", -12.5}, // the system's own text of a negative altitude
        {"-12°30.0'", -12.5},
        {"45.1217", 45.1217},
        {"-0.5", -0.5},
        {"120°00.0'", 120.0},
        {"", std::nullopt},
        {"45°", std::nullopt},
        {"45°60.0'", std::nullopt},
        {"45°-5'", std::nullopt},
        {"-12°30.0'-", std::nullopt},
        {"1e2", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
        {"45 07.3", std::nullopt},
        {"+5", std::nullopt},
        {"4.5.1", std::nullopt},
        {"0x10", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        const auto v = ParseSextantAltitude(c.Text);
        ASSERT_EQ(v.has_value(), c.Expected.has_value());
        if (v) {
            EXPECT_NEAR(*v, *c.Expected, 1e-12);
        }
    }
}

TEST(SightCommand, BadInputIsRefusedWithStatusTwo)
{
    const std::vector<std::string> base = {
        "--body", "Sun", "--utc", "2024-01-03T12:13:00", "--lat", "40N", "--lon", "10W"};

    struct Case
    {
        const char *Name;
        std::vector<std::string> Extra;
        const char *Message;
    };

    const Case cases[] = {
        {"no altitude", {}, "--hs is required"},
        {"negative height of eye", {"--hs", "26.7", "--eye", "-3"},
            "Height of the eye (Dip) must be a positive number"},
        {"height and dip", {"--hs", "26.7", "--eye", "3", "--dip", "-3"}, "only one of"},
        {"dip short with a given dip", {"--hs", "26.7", "--dip", "-3", "--dip-short", "1"},
            "--dip-short needs"},
        {"limb", {"--hs", "26.7", "--limb", "left"}, "invalid limb"},
        {"output", {"--hs", "26.7", "--out", "xml"}, "invalid output"},
        {"altitude beyond 90 without a horizon", {"--hs", "95"}, "invalid sextant altitude"},
        {"index correction with junk", {"--hs", "26.7", "--ie", "2'"}, "invalid number"},
        {"temperature nan", {"--hs", "26.7", "--temp", "nan"}, "invalid number"},
        {"empty append", {"--hs", "26.7", "--append", ""}, "--append needs"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<std::string> args = base;
        args.insert(args.end(), c.Extra.begin(), c.Extra.end());
        const TRun r = RunCommand(&RunSight, args);
        EXPECT_EQ(r.Status, kExitBadInput);
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
        EXPECT_TRUE(r.Out.empty());
    }
    const TRun unknown = RunCommand(&RunSight,
        {"--body", "Sol", "--utc", "2024-01-03T12:13:00", "--hs", "26.7", "--lat", "40N", "--lon",
            "10W"});
    EXPECT_EQ(unknown.Status, kExitBadInput);
    EXPECT_NE(unknown.Err.find("unknown body \"Sol\""), std::string::npos);
}

class SightAndFixFiles : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vrn-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
    }

    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(FDir, ec);
        FreeAstros();
    }

    fs::path FDir;
};

TEST_F(SightAndFixFiles, AppendedSightsMakeAListThatFixFinds)
{
    // Three sights of 2025-03-04 16:00 UT from 38°36'N 24°05'W, taken at 38°30'N 24°00'W
    // (readings from the engine at that position, as in the end-to-end test of the fix).
    const fs::path list = FDir / "sights.vll";

    struct Sight
    {
        const char *Body, *Hs, *Limb;
    };

    const Sight sights[] = {{"Sun", "35°34.8'", "lower"}, {"Moon", "61°18.0'", "lower"},
        {"Polaris", "39°06.4'", "center"}};
    for (const auto &s : sights) {
        SCOPED_TRACE(s.Body);
        const TRun r = RunCommand(&RunSight,
            {"--body", s.Body, "--utc", "2025-03-04T16:00:00", "--hs", s.Hs, "--ie", "1.2", "--eye",
                "3", "--limb", s.Limb, "--lat", "38°36.0'N", "--lon", "024°05.0'W", "--out", "csv",
                "--append", list.string()});
        EXPECT_EQ(r.Status, kExitOk) << r.Err;
    }
    const TLOPListRead read = ReadLOPListFile(list);
    ASSERT_EQ(read.LOPs.size(), 3u);
    EXPECT_EQ(read.LinesSkipped, 0);
    EXPECT_EQ(read.LOPs[2].ObjectName, "Polaris");

    const TRun fix = RunCommand(&RunFix, {list.string(), "--out", "csv"});
    ASSERT_EQ(fix.Status, kExitOk) << fix.Err;
    // The fix lies within a fifth of a mile of 38°30'N 24°00'W.
    double lat = 0, lon = 0;
    ASSERT_EQ(
        std::sscanf(fix.Out.c_str(), "lat;lon;lops;crossings;mean_dist;sd\n%lf;%lf", &lat, &lon), 2)
        << fix.Out;
    EXPECT_LT(std::hypot((lat - 38.5) * 60, (lon - 24) * 60 * std::cos(38.5 * kPi / 180)), 0.2);
    EXPECT_NE(fix.Out.find(";3;3;"), std::string::npos);
}

TEST_F(SightAndFixFiles, AppendToAFullListFails)
{
    const fs::path list = FDir / "full.vll";
    TLOPRecord lop;
    lop.ObjectName = "Sun";
    lop.GMTDay = 3;
    lop.GMTMonth = 1;
    lop.GMTYear = 2024;
    SaveLOPListFile(list, std::vector<TLOPRecord>(20, lop));
    const TRun r = RunCommand(&RunSight,
        {"--body", "Sun", "--utc", "2024-01-03T12:13:00", "--hs", "26.7", "--lat", "40N", "--lon",
            "10W", "--out", "csv", "--append", list.string()});
    EXPECT_EQ(r.Status, kExitFailure);
    EXPECT_NE(r.Err.find("Too many LOPs. Max=20"), std::string::npos) << r.Err;
    EXPECT_EQ(ReadLOPListFile(list).LOPs.size(), 20u);
}

TEST_F(SightAndFixFiles, FixRefusals)
{
    struct Case
    {
        const char *Name;
        std::vector<std::string> Args;
        int Status;
        const char *Message;
    };

    const Case cases[] = {
        {"no file", {"--out", "csv"}, kExitBadInput, "is required"},
        {"two files", {"a.vll", "b.vll"}, kExitBadInput, "unexpected argument"},
        {"transport", {"-", "--transport", "yesterday"}, kExitBadInput, "invalid transport"},
        {"course beyond 360", {"-", "--course", "400"}, kExitBadInput, "invalid value"},
        {"negative speed", {"-", "--speed", "-3"}, kExitBadInput, "invalid value"},
        {"missing file", {(FDir / "none.vll").string()}, kExitFailure, "Cannot read file"},
        {"a folder", {FDir.string()}, kExitFailure, "Cannot read file"},
        {"empty input", {"-"}, kExitFailure, "Need at least 2 selected LOPs"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun r = RunCommand(&RunFix, c.Args);
        EXPECT_EQ(r.Status, c.Status);
        EXPECT_NE(r.Err.find(c.Message), std::string::npos) << r.Err;
    }
}

} // namespace
} // namespace vrn::cli
