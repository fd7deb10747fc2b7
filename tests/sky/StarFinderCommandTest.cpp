// vrncli starfinder called as the binary calls it: the chart it draws against a golden picture,
// and the failures of its picture output. The lists are golden tests of the binary
// (tests/apps/vrncli/starfinder_*).

#include "apps/vrncli/StarFinderCommand.h"

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace vrn::cli {
namespace {

struct TRun
{
    int Status = -1;
    std::string Out;
    std::string Err;
};

TRun RunCli(const std::vector<std::string> &args)
{
    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    TRun r;
    r.Status = RunStarFinder(args, TStreams {in, out, err});
    r.Out = out.str();
    r.Err = err.str();
    return r;
}

std::filesystem::path TempDir()
{
    const auto dir = std::filesystem::temp_directory_path() / "vrn_starfinder_command_test";
    std::filesystem::create_directories(dir);
    return dir;
}

// The share of pixels whose colour differs by more than `level` in a channel.
double DifferingShare(const QImage &a, const QImage &b, int level)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    long long differing = 0;
    for (int row = 0; row < x.height(); ++row) {
        for (int col = 0; col < x.width(); ++col) {
            const QRgb p = x.pixel(col, row);
            const QRgb q = y.pixel(col, row);
            if (std::abs(qRed(p) - qRed(q)) > level || std::abs(qGreen(p) - qGreen(q)) > level
                || std::abs(qBlue(p) - qBlue(q)) > level)
                ++differing;
        }
    }
    return double(differing) / (double(x.width()) * x.height());
}

const std::vector<std::string> kLisbon = {
    "--lat", "38.7N", "--lon", "9.15W", "--utc", "2026-06-21T21:15:00", "--best", "3"};

TEST(StarFinderCommand, ChartMatchesTheGoldenPicture)
{
    const auto png = TempDir() / "lisbon.png";
    std::vector<std::string> args = kLisbon;
    args.insert(args.end(), {"--png", png.string(), "--size", "400"});
    const TRun r = RunCli(args);
    ASSERT_EQ(r.Status, 0) << r.Err;
    const QImage got(QString::fromStdString(png.string()));
    const QImage expected(QStringLiteral(VRN_TEST_DATA_DIR "/starfinder_lisbon.png"));
    ASSERT_FALSE(expected.isNull());
    ASSERT_EQ(got.size(), expected.size());
    // Font rasterising may move a few text pixels between machines; the sky may not move.
    EXPECT_LT(DifferingShare(got, expected, 48), 0.01);
    // The sky of 21:15 is night (civil twilight ended 20:37): a black disk.
    for (const QPoint p : {QPoint(230, 300), QPoint(160, 120), QPoint(250, 90)})
        EXPECT_EQ(got.pixelColor(p).rgb() & 0xFFFFFF, 0u);
}

TEST(StarFinderCommand, DefaultSizeAndPictureFailures)
{
    const auto png = TempDir() / "default.png";
    std::vector<std::string> args = kLisbon;
    args.insert(args.end(), {"--png", png.string()});
    ASSERT_EQ(RunCli(args).Status, 0);
    EXPECT_EQ(QImage(QString::fromStdString(png.string())).size(), QSize(800, 800));

    args = kLisbon;
    args.insert(args.end(), {"--png", (TempDir() / "no-such-folder" / "x.png").string()});
    const TRun failed = RunCli(args);
    EXPECT_EQ(failed.Status, kExitFailure);
    EXPECT_NE(failed.Err.find("Cannot write"), std::string::npos) << failed.Err;

    for (const char *size : {"99", "4001", "8x8", ""}) {
        SCOPED_TRACE(size);
        args = kLisbon;
        args.insert(args.end(), {"--png", png.string(), "--size", size});
        EXPECT_EQ(RunCli(args).Status, kExitBadInput);
    }
}

} // namespace
} // namespace vrn::cli
