// The digitiser's scale, polygons and chart files, read back by the chart file reader.

#include "charts/ChartDigitiser.h"

#include "charts/ChtFile.h"
#include "charts/Mercator.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <unistd.h>

namespace vrn {
namespace {

namespace fs = std::filesystem;

struct TTempDir
{
    fs::path Path = fs::temp_directory_path() / ("vrn-digitiser-" + std::to_string(::getpid()));

    TTempDir() { fs::create_directories(Path); }

    ~TTempDir() { fs::remove_all(Path); }

    std::string operator/(const std::string &name) const { return (Path / name).string(); }
};

std::string ErrorOf(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EVrnError &e) {
        return e.what();
    }
    return "no error";
}

std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// (0, 0) at 10N 20W, (100, 0) at 10N 19W, (100, 100) at 9N 19W.
TChartDigitiser Scaled(bool mercator)
{
    TChartDigitiser d;
    d.SetMercator(mercator);
    const double ref[3][4] = {{0, 0, 10, 20}, {100, 0, 10, 19}, {100, 100, 9, 19}};
    for (const auto &r : ref) {
        d.BeginReferencePoint(static_cast<int>(r[0]), static_cast<int>(r[1]));
        d.SetReferencePosition(r[2], r[3]);
    }
    return d;
}

int CountOf(const std::string &text, const std::string &what)
{
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(DigitiserScale, ConvertsBetweenPixelsAndPositions)
{
    const TChartDigitiser linear = Scaled(false);
    ASSERT_TRUE(linear.ScaleSet());
    const auto p = linear.ImageToWorld(50, 50);
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->Lat, 9.5, 1e-12);
    EXPECT_NEAR(p->Lon, 19.5, 1e-12);
    const auto px = linear.WorldToImage(9.25, 19.75);
    ASSERT_TRUE(px);
    EXPECT_EQ(px->X, 25);
    EXPECT_EQ(px->Y, 75);
    // Far above the picture the latitude stops at the pole.
    EXPECT_EQ(linear.ImageToWorld(0, -100000)->Lat, 90);

    // Mercator: halfway down the picture lies the mean Mercator ordinate of 9N and 10N,
    // y = ln tan(45 + lat/2), so the latitude is 2 atan(exp(y)) - 90.
    const TChartDigitiser mercator = Scaled(true);
    const auto m = mercator.ImageToWorld(50, 50);
    ASSERT_TRUE(m);
    const double yMid = (MercatorY(9) + MercatorY(10)) / 2;
    EXPECT_NEAR(m->Lat, 2 * std::atan(std::exp(yMid)) * 180 / std::numbers::pi - 90, 1e-9);
    const auto back = mercator.WorldToImage(m->Lat, m->Lon);
    EXPECT_EQ(back->X, 50);
    EXPECT_EQ(back->Y, 50);
}

TEST(DigitiserScale, DegeneratePointsAreRefusedAtTheThirdClick)
{
    struct Case
    {
        const char *Name;
        double Ref[3][4]; // x, y, lat, lon
        bool Works;
    };

    const Case cases[] = {
        {"one parallel", {{0, 0, 10, 20}, {100, 0, 10, 19}, {100, 100, 10, 18}}, false},
        {"one meridian", {{0, 0, 10, 20}, {100, 0, 9, 20}, {100, 100, 8, 20}}, false},
        {"one pixel row", {{0, 0, 10, 20}, {100, 0, 10, 19}, {50, 0, 9, 19}}, false},
        {"repeated pixel", {{0, 0, 10, 20}, {0, 0, 10, 19}, {100, 100, 9, 19}}, false},
        {"first and third in one column", {{0, 0, 10, 20}, {100, 0, 10, 19}, {0, 100, 9, 20}},
            true},
        {"first and second on one parallel and meridian pairs",
            {{0, 0, 10, 20}, {100, 10, 10, 19}, {10, 100, 9, 20}}, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChartDigitiser d;
        d.SetMercator(false);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(d.BeginReferencePoint(int(c.Ref[i][0]), int(c.Ref[i][1])), i + 1);
            d.SetReferencePosition(c.Ref[i][2], c.Ref[i][3]);
        }
        d.BeginReferencePoint(int(c.Ref[2][0]), int(c.Ref[2][1]));
        const std::string error =
            ErrorOf([&] { d.SetReferencePosition(c.Ref[2][2], c.Ref[2][3]); });
        EXPECT_EQ(error, c.Works ? "no error" : "Invalid reference points. Try again");
        EXPECT_EQ(d.ScaleSet(), c.Works);
        EXPECT_EQ(d.RefCount(), c.Works ? 3 : 0);
        if (c.Works) { // every pixel converts (no division by a zero offset)
            EXPECT_TRUE(d.ImageToWorld(37, 81));
        }
        // The values stay as defaults for the next entry.
        EXPECT_EQ(d.RefPoints()[2].Lat, c.Ref[2][2]);
    }
}

TEST(DigitiserScale, CancelledEntryAndMercatorToggle)
{
    TChartDigitiser d;
    EXPECT_EQ(d.BeginReferencePoint(5, 5), 1);
    d.CancelReferencePoint();
    EXPECT_EQ(d.RefCount(), 0);
    TChartDigitiser s = Scaled(false);
    const double linearLat = s.ImageToWorld(50, 50)->Lat;
    s.SetMercator(true); // recalibrates
    EXPECT_GT(s.ImageToWorld(50, 50)->Lat, linearLat);
    EXPECT_EQ(s.BeginReferencePoint(1, 1), 0); // scale set: clicks digitise
}

TEST(DigitiserScale, AxisEveryHalfDegreeAroundTheReferencePoints)
{
    const TChartDigitiser d = Scaled(false);
    const auto lines = d.AxisLines();
    std::vector<int> parallels, meridians;
    for (const auto &l : lines) {
        if (l.A.Y == l.B.Y)
            parallels.push_back(l.A.Y);
        else if (l.A.X == l.B.X)
            meridians.push_back(l.A.X);
    }
    // Parallels 8N..11.5N: y = (10 - lat) * 100; meridians 18W..21.5W: x = (20 - lon) * 100.
    EXPECT_EQ(parallels, (std::vector<int> {200, 150, 100, 50, 0, -50, -100, -150}));
    EXPECT_EQ(meridians, (std::vector<int> {200, 150, 100, 50, 0, -50, -100, -150}));
    EXPECT_EQ(lines.size(), 16u);

    // Near the pole the axis stops short of it (Mercator cannot place 90N).
    TChartDigitiser polar;
    const double ref[3][4] = {{0, 0, 89.5, 20}, {100, 0, 89.5, 19}, {100, 100, 89, 19}};
    for (const auto &r : ref) {
        polar.BeginReferencePoint(int(r[0]), int(r[1]));
        polar.SetReferencePosition(r[2], r[3]);
    }
    ASSERT_TRUE(polar.ScaleSet());
    for (const auto &l : polar.AxisLines())
        if (l.A.Y == l.B.Y) {
            EXPECT_TRUE(polar.ImageToWorld(0, l.A.Y)->Lat < 90);
        }
}

TEST(DigitiserPolygons, PointsAndPolygons)
{
    TChartDigitiser d = Scaled(false);
    EXPECT_FALSE(d.DeleteLastPoint());
    d.AddPoint(10, 20);
    EXPECT_TRUE(d.DeleteLastPoint()); // the only point: empty, no error
    EXPECT_TRUE(d.CurrentPolygon.Points.empty());
    EXPECT_FALSE(d.ClosePolygon("x", 0, 0));
    d.AddPoint(0, 0);
    d.AddPoint(100, 0);
    d.AddPoint(100, 100);
    EXPECT_TRUE(d.Modified());
    EXPECT_TRUE(d.ClosePolygon("", 0x00FFFF, 0x008080));
    EXPECT_EQ(d.Polygons.size(), 1u);
    EXPECT_EQ(d.Polygons[0].Points[2].Lat, 9);
    EXPECT_TRUE(d.CurrentPolygon.Points.empty());
    d.AddPoint(5, 5);
    d.ClearCurrentPolygon();
    EXPECT_TRUE(d.CurrentPolygon.Points.empty());
    d.ResetChart();
    EXPECT_FALSE(d.HasWork());
    TChartDigitiser none;
    EXPECT_EQ(ErrorOf([&] { none.AddPoint(1, 1); }), "Invalid reference points. Scale reset");
}

TChartDigitiser WithPolygons(std::initializer_list<const char *> names)
{
    TChartDigitiser d = Scaled(false);
    int k = 0;
    for (const char *name : names) {
        d.AddPoint(10 * k, 0);
        d.AddPoint(10 * k + 50, 50);
        d.AddPoint(10 * k, 100);
        d.ClosePolygon(name, 0x00FFFF, 0x008080); // yellow, olive
        ++k;
    }
    return d;
}

TEST(DigitiserFiles, SavedChartReadsBackWithTheSameVertices)
{
    TTempDir tmp;
    TChartDigitiser d = WithPolygons({"Isle; of Test", ""});
    const auto r = d.WriteChart(tmp / "c.cht", false);
    EXPECT_EQ(r.PolygonsWritten, 2);
    EXPECT_TRUE(r.Created);
    EXPECT_EQ(d.OutputChartFile(), tmp / "c.cht");
    EXPECT_FALSE(d.Modified());
    const std::string text = FileBytes(tmp / "c.cht");
    EXPECT_EQ(text.rfind(";-------------------------------------------------\r\n"
                         "; World coordinates for Varunel Light software\r\n",
                  0),
        0u);
    EXPECT_NE(text.find("O;Polygon;Isle, of Test\r\nA;Color=$0000FFFF\r\nA;BGColor=$00008080\r\n"
                        "P;  10.00000;  20.00000\r\nP;   9.50000;  19.50000\r\n"),
        std::string::npos);
    EXPECT_NE(text.find("O;Polygon;\r\n"), std::string::npos);
    const TChartFileContents back = ReadChartFile(tmp / "c.cht");
    ASSERT_EQ(back.Objects.Count(), 2u);
    const auto *polygon = dynamic_cast<const TChtPolygon *>(back.Objects[0]);
    ASSERT_TRUE(polygon);
    ASSERT_EQ(polygon->Points.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(polygon->Points[i].Lat, d.Polygons[0].Points[i].Lat, 1e-5);
        EXPECT_NEAR(polygon->Points[i].Lon, d.Polygons[0].Points[i].Lon, 1e-5);
    }
    EXPECT_EQ(polygon->Color, 0x00FFFFu);
    EXPECT_EQ(polygon->BGColor, 0x008080u);
}

TEST(DigitiserFiles, AppendsAddOnlyWhatTheFileLacks)
{
    TTempDir tmp;
    TChartDigitiser d = WithPolygons({"A"});
    // A new file by append gets the header too.
    EXPECT_TRUE(d.WriteChart(tmp / "new.cht", true).Created);
    EXPECT_EQ(FileBytes(tmp / "new.cht").rfind(";----", 0), 0u);
    EXPECT_EQ(d.WriteChart(tmp / "new.cht", true).PolygonsWritten, 0);
    d.AddPoint(1, 1);
    d.ClosePolygon("B", 0, 0);
    EXPECT_EQ(d.WriteChart(tmp / "new.cht", true).PolygonsWritten, 1);
    const std::string text = FileBytes(tmp / "new.cht");
    EXPECT_EQ(CountOf(text, "O;Polygon;A\r\n"), 1);
    EXPECT_EQ(CountOf(text, "O;Polygon;B\r\n"), 1);
    EXPECT_EQ(CountOf(text, "; World coordinates"), 1);

    // An old file without a final line break keeps its bytes and gets one before the polygons.
    std::ofstream(tmp / "old.cht", std::ios::binary) << "O;Polygon;Old\r\nP;1;2";
    EXPECT_EQ(d.WriteChart(tmp / "old.cht", true).PolygonsWritten, 2);
    const std::string old = FileBytes(tmp / "old.cht");
    EXPECT_EQ(old.rfind("O;Polygon;Old\r\nP;1;2\r\nO;Polygon;A\r\n", 0), 0u);
    EXPECT_EQ(ReadChartFile(tmp / "old.cht").Objects.Count(), 3u);

    // Saving rewrites every polygon; the file then holds each once.
    EXPECT_EQ(d.WriteChart(tmp / "new.cht", false).PolygonsWritten, 2);
    EXPECT_EQ(d.WriteChart(tmp / "new.cht", false).PolygonsWritten, 2);
    EXPECT_EQ(CountOf(FileBytes(tmp / "new.cht"), "O;Polygon;A\r\n"), 1);
}

TEST(DigitiserFiles, PolygonsOfAnySize)
{
    // Well past the 4999 points a fixed fill buffer would hold.
    TTempDir tmp;
    TChartDigitiser d = Scaled(false);
    for (int i = 0; i < 6000; ++i)
        d.AddPoint(i % 100, i / 100);
    d.ClosePolygon("Big", 0, 0);
    d.WriteChart(tmp / "big.cht", false);
    const TChartFileContents back = ReadChartFile(tmp / "big.cht");
    ASSERT_EQ(back.Objects.Count(), 1u);
    const auto *polygon = dynamic_cast<const TChtPolygon *>(back.Objects[0]);
    ASSERT_TRUE(polygon);
    EXPECT_EQ(polygon->Points.size(), 6000u);
    EXPECT_NEAR(polygon->Points[5999].Lat, 10 - 59 / 100.0, 1e-5);
}

TEST(DigitiserFiles, FailedWritesKeepTheFileAndTheTarget)
{
    TTempDir tmp;
    TChartDigitiser empty = Scaled(false);
    EXPECT_EQ(ErrorOf([&] { empty.WriteChart(tmp / "x.cht", false); }), "No polygons defined");
    TChartDigitiser d = WithPolygons({"A"});
    d.WriteChart(tmp / "c.cht", false);
    EXPECT_EQ(ErrorOf([&] { d.WriteChart(tmp / "missing/c.cht", false); }),
        "Error creating file " + tmp / "missing/c.cht");
    EXPECT_EQ(ErrorOf([&] { d.WriteChart(tmp / "missing/c.cht", true); }),
        "Error creating file " + tmp / "missing/c.cht");
    fs::create_directory(tmp.Path / "dir.cht");
    EXPECT_EQ(ErrorOf([&] { d.WriteChart(tmp / "dir.cht", true); }),
        "Error reading file " + tmp / "dir.cht");
    EXPECT_EQ(d.OutputChartFile(), tmp / "c.cht");
    d.AddPoint(3, 3);
    d.ClosePolygon(std::string(300, 'n'), 0, 0);
    const std::string before = FileBytes(tmp / "c.cht");
    EXPECT_NE(ErrorOf([&] { d.WriteChart(tmp / "c.cht", false); }), "no error");
    EXPECT_EQ(FileBytes(tmp / "c.cht"), before);
    EXPECT_TRUE(d.Modified());
}

} // namespace
} // namespace vrn
