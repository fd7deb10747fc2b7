// The chart viewer's window-free rules: scroll bar positions and the start-up location file.

#include "apps/vrn32/ChartViewerLogic.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <limits>
#include <unistd.h>

namespace vrn {
namespace {

TEST(ChartViewerLogic, ScrollPositionsAreNegatedTenthsRoundedHalfToEven)
{
    struct TCase
    {
        double Deg;
        int Position;
    };

    // West (positive) at the left end; 28.25 gives -282.5, which rounds to the even -282.
    const TCase cases[] = {{0, 0}, {28.25, -282}, {28.35, -284}, {-9.15, 92}, {38.55, -386},
        {180, -1800}, {-180, 1800}, {200, -1800}, {-1e9, 1800}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Deg);
        EXPECT_EQ(ScrollPositionOf(c.Deg, 1800), c.Position);
    }
    EXPECT_EQ(ScrollPositionOf(std::numeric_limits<double>::quiet_NaN(), 900), 0);
    EXPECT_EQ(DegreesOfScroll(-282), 28.2);
    EXPECT_EQ(DegreesOfScroll(ScrollPositionOf(-12.3, 1800)), -12.3);
}

TEST(ChartViewerLogic, LocationFileGivesItsFirstLine)
{
    const auto dir =
        std::filesystem::temp_directory_path() / ("vrn-location-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    auto write = [&](const char *name, const std::string &text) {
        std::ofstream((dir / name).string(), std::ios::binary) << text;
        return (dir / name).string();
    };

    struct TCase
    {
        const char *Name;
        std::string Path;
        std::optional<std::string> Location;
    };

    const std::string longLine(3000, 'x');
    const TCase cases[] = {
        {"first line, CR LF", write("a.txt", "http://x.org/d.vrn\r\nsecond\r\n"),
            std::string("http://x.org/d.vrn")},
        {"blanks around", write("b.txt", "  /charts/a.cht \n"), std::string("/charts/a.cht")},
        {"at most 1024 bytes", write("c.txt", longLine), std::string(1024, 'x')},
        {"empty", write("d.txt", ""), std::nullopt},
        {"empty first line", write("e.txt", "\r\nhttp://x.org/d.vrn\r\n"), std::nullopt},
        {"missing", (dir / "none.txt").string(), std::nullopt},
        {"a folder", dir.string(), std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReadLocationFile(c.Path), c.Location);
    }
    std::filesystem::remove_all(dir);
}

} // namespace
} // namespace vrn
