#include "charts/ChtFile.h"

#include "charts/ImgCarta.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace vrn {
namespace {

namespace fs = std::filesystem;

TChartFileContents Read(std::vector<std::string> lines)
{
    return ReadObjects(lines, VRN_TEST_DATA_DIR);
}

std::string ErrorOf(std::vector<std::string> lines)
{
    try {
        Read(std::move(lines));
    } catch (const EVrnError &e) {
        return e.what();
    }
    return "no error";
}

TEST(ChtFile, ObjectsPointsAndNames)
{
    struct Case
    {
        const char *Name;
        std::vector<std::string> Lines;
        std::vector<std::string> Kept; // header line and name of every kept object
    };

    const Case cases[] = {
        {"polygon with a point", {"O;Polygon;Iceland", "P;  64.25082;  13.69018"},
            {"O;Polygon;Iceland"}},
        {"route with an empty name", {"O;Route;", "P;1;2"}, {"O;Route;"}},
        {"two fields keep the default name", {"O;Route", "P;1;2"}, {"O;Route;Route1"}},
        {"leading blank is no object line", {" O;Route;X", "P;1;2"}, {}},
        {"lower-case record letter ignored", {"o;route;x", "P;1;2"}, {}},
        {"type ignores case", {"O;ROUTE;x", "P;1;2"}, {"O;Route;x"}},
        {"object without points dropped", {"O;Route;a", "O;Route;b", "P;1;2"}, {"O;Route;b"}},
        {"unknown type dropped at its end", {"O;Island;a", "P;1;2", "O;Track;t", "P;1;2"},
            {"O;Track;t"}},
        {"unknown record letters ignored", {"X;1;2", "O;Route;r", "Q;whatever", "P;1;2"},
            {"O;Route;r"}},
        {"comment and empty lines", {";O;Route;c", "", "O;Route;r", ";P;x;y", "P;1;2"},
            {"O;Route;r"}},
        {"point before any object ignored", {"P;1;2", "O;Route;r", "P;3;4"}, {"O;Route;r"}},
        {"attribute without object ignored", {"A;Color=1", "O;Route;r", "P;3;4"}, {"O;Route;r"}},
        {"single-field lines ignored", {"O", "P", "O;Route;r", "P;3;4"}, {"O;Route;r"}},
        {"mark", {"O;URL;Buoy;45;-12;0.1;http://x;BOAT"},
            {"O;URL;Buoy;  45.00000; -12.00000;   0.10000;http://x;BOAT"}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = Read(c.Lines);
        std::vector<std::string> kept;
        for (const auto &o : r.Objects)
            kept.push_back(o->HeaderLine());
        EXPECT_EQ(kept, c.Kept);
        EXPECT_TRUE(r.Messages.empty());
    }
}

TEST(ChtFile, PointFields)
{
    const auto r = Read({"O;Track;t", "P;  64.25082;  13.69018", "P;1;2;Cape;31/12/2003 23:59:00",
        "P;3;4;Bay;not a date", "P; -5 ; 6 ;x;;"});
    ASSERT_EQ(r.Objects.Count(), 1u);
    const auto &pts = static_cast<TChtTrack *>(r.Objects[0])->Points;
    ASSERT_EQ(pts.size(), 4u);
    EXPECT_DOUBLE_EQ(pts[0].Lat, 64.25082); // north
    EXPECT_DOUBLE_EQ(pts[0].Lon, 13.69018); // west
    EXPECT_EQ(pts[1].Name, "Cape");
    EXPECT_DOUBLE_EQ(pts[1].Time, EncodeDate(2003, 12, 31) + EncodeTime(23, 59, 0, 0));
    EXPECT_EQ(pts[2].Time, 0); // a bad date-time still adds the point
    EXPECT_DOUBLE_EQ(pts[3].Lat, -5); // numbers tolerate blanks
}

TEST(ChtFile, ErrorsNameTheLine)
{
    struct Case
    {
        const char *Name;
        std::vector<std::string> Lines;
        std::string Error;
    };

    std::vector<std::string> chartOnLine12(11, ";");
    chartOnLine12.push_back("O;Chart;world.cht;45;10");
    const Case cases[] = {
        {"chart with 5 fields on line 12", chartOnLine12,
            "Missing parameters in Chart object. Line: 12"},
        {"URL with 7 fields", {"O;URL;a;1;2;3;u"}, "Missing parameters in URL object. Line: 1"},
        {"chart number", {"", "O;Chart;w.cht;45;x;10"}, "Error in line 2: invalid number format."},
        {"chart span of zero", {"O;Chart;w.cht;45;10;0"},
            "Error in line 1: invalid number format."},
        {"chart latitude past a pole", {"O;Chart;w.cht;91;10;5"},
            "Error in line 1: invalid number format."},
        {"URL number", {"O;URL;a;1;2;big;u;b"}, "Error in line 1: invalid number format."},
        {"point number", {"O;Route;r", "P;1;east"}, "Error in line 2: invalid point format."},
        {"point missing longitude", {"O;Route;r", "P;1"}, "Error in line 2: invalid point format."},
        {"point nan", {"O;Route;r", "P;nan;1"}, "Error in line 2: invalid point format."},
        {"point latitude 95", {"O;Route;r", "P;95;1"}, "Error in line 2: invalid point format."},
        {"point hex float", {"O;Route;r", "P;0x1p3;1"}, "Error in line 2: invalid point format."},
        {"bad point before any object", {"P;a;b"}, "Error in line 1: invalid point format."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ErrorOf(c.Lines), c.Error);
    }
}

TEST(ChtFile, ChartReferenceIsReturnedNotListed)
{
    const auto r = Read({"O;Chart;first.cht;10;20;30", "A;SeaColor=$00112233",
        "O;Chart;second.cht;45.5;-3;2.5", "A;GridColor=bad", "P;1;2"});
    EXPECT_TRUE(r.Objects.Empty());
    ASSERT_TRUE(r.ChartRef);
    EXPECT_EQ(fs::path(r.ChartRef->FileName).filename(), "second.cht");
    EXPECT_DOUBLE_EQ(r.ChartRef->LatC, 45.5);
    EXPECT_DOUBLE_EQ(r.ChartRef->LonC, -3);
    EXPECT_DOUBLE_EQ(r.ChartRef->LonSpan, 2.5);
    EXPECT_EQ(r.ChartRef->GridColor, kClWhite); // a bad colour gives its default
    EXPECT_EQ(r.ChartRef->SeaColor, -1);
}

TEST(ChtFile, BadImageChartIsDroppedWithAMessage)
{
    const auto r = Read({"O;ImgChart;Harbour", "A;CIDFile=missing.CID", "A;Visible=TRUE", "P;1;2",
        "O;Route;r", "P;1;2", "O;ImgChart;", "A;Visible=TRUE"});
    ASSERT_EQ(r.Messages.size(), 1u);
    EXPECT_EQ(r.Messages[0].Text, "Error loading object Harbour");
    EXPECT_EQ(r.Messages[0].Line, 2);
    EXPECT_NE(r.Messages[0].Detail.find("missing.CID"), std::string::npos);
    // The route is kept; the image chart without a cidfile attribute is dropped silently.
    ASSERT_EQ(r.Objects.Count(), 1u);
    EXPECT_EQ(r.Objects[0]->HeaderLine(), "O;Route;r");
}

TEST(ChtFile, ImageChartFromItsDataFile)
{
    const auto r =
        Read({"O;ImgChart;", "A;CIDFile=sample.CID", "A;Visible=TRUE", "A;Opacity=250", "P;1;2"});
    ASSERT_EQ(r.Objects.Count(), 1u);
    const auto *img = dynamic_cast<const TChtChartImage *>(r.Objects[0]);
    ASSERT_TRUE(img);
    EXPECT_TRUE(img->Visible);
    EXPECT_EQ(img->Opacity, 100); // clamped to 0..100
    EXPECT_TRUE(img->Imagem->IsCalibrated());
    EXPECT_EQ(img->DisplayName(), "English Channel (world coastline)");
    // Written back as its data file only: a stray point line is not carried along.
    EXPECT_EQ(ObjectLines(*img),
        (std::vector<std::string> {
            "O;ImgChart;", "A;CIDFile=sample.CID", "A;Visible=TRUE", "A;Opacity=100", ""}));
}

fs::path TempDir()
{
    const fs::path dir = fs::temp_directory_path() / ("vrn-chtfile-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir;
}

TEST(ChtFile, FilesReadWithCrLfOrLfAndCutLongLines)
{
    const fs::path dir = TempDir();
    const std::string name(300, 'n');

    struct Case
    {
        const char *Name;
        std::string Bytes;
        std::size_t Points;
    };

    const Case cases[] = {
        {"CR LF", "O;Route;r\r\nP;1;2\r\nP;3;4\r\n", 2},
        {"LF, no final newline", "O;Route;r\nP;1;2\nP;3;4", 2},
        {"300-character name cut with its line", "O;Route;r\nP;1;2;" + name + "\n", 1},
        {"Windows-1252 name", "O;Route;Ca\xe7\x61\nP;1;2;S\xe3o Tom\xe9\n", 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const fs::path file = dir / "t.cht";
        std::ofstream(file, std::ios::binary) << c.Bytes;
        const auto r = ReadChartFile(file.string());
        ASSERT_EQ(r.Objects.Count(), 1u);
        const auto *route = static_cast<const TChtRoute *>(r.Objects[0]);
        EXPECT_EQ(route->Points.size(), c.Points);
        if (c.Bytes.find(name) != std::string::npos) {
            EXPECT_EQ(route->Points[0].Name.size(), 255u - 6u); // "P;1;2;" is 6 of the 255
        }
        if (c.Bytes.find('\xe7') != std::string::npos) {
            EXPECT_EQ(route->Name, "Ca\xc3\xa7\x61");
            EXPECT_EQ(route->Points[0].Name, "S\xc3\xa3o Tom\xc3\xa9");
        }
    }
    fs::remove_all(dir);
}

TEST(ChtFile, MissingFileIsNotFound)
{
    try {
        ReadChartFile("/nonexistent/x.cht");
        FAIL();
    } catch (const EVrnError &e) {
        EXPECT_STREQ(e.what(), "File /nonexistent/x.cht not found");
    }
    EXPECT_THROW(ReadChartFile(fs::temp_directory_path().string()), EVrnError);
}

TEST(ChtFile, WrittenObjectsReadBackTheSame)
{
    const fs::path dir = TempDir();
    TObjList objects;
    auto route = std::make_unique<TChtRoute>();
    route->Name = "Passage";
    route->Color = 0x00FF00;
    route->AddPoint("Start", 50.1, 1.5, 0);
    route->AddPoint("", -0.5, -179.99999, 0);
    objects.Add(std::move(route));
    auto track = std::make_unique<TChtTrack>();
    track->GpsTrack = true;
    track->Visible = false;
    track->AddPoint("a", 10, 20, EncodeDate(2024, 2, 29) + EncodeTime(6, 30, 15, 0));
    track->AddPoint("b", 10.5, 20.5, EncodeDate(2024, 3, 1));
    objects.Add(std::move(track));
    objects.Add(std::make_unique<TChtURLObject>("http://a.b", "EYE", "Look", 0.2, -33.5, -151.25));
    std::vector<std::string> lines;
    for (const auto &o : objects) {
        const auto l = ObjectLines(*o);
        lines.insert(lines.end(), l.begin(), l.end());
    }
    const fs::path file = dir / "desk.cht";
    WriteChartFile(file.string(), lines);
    const auto back = ReadChartFile(file.string());
    ASSERT_EQ(back.Objects.Count(), 3u);
    std::vector<std::string> again;
    for (const auto &o : back.Objects) {
        const auto l = ObjectLines(*o);
        again.insert(again.end(), l.begin(), l.end());
    }
    EXPECT_EQ(again, lines);
    const auto *t = static_cast<const TChtTrack *>(back.Objects[1]);
    EXPECT_TRUE(t->GpsTrack);
    EXPECT_DOUBLE_EQ(t->Points[0].Time, EncodeDate(2024, 2, 29) + EncodeTime(6, 30, 15, 0));
    // A line the readers would cut is refused and the file stays as it was.
    EXPECT_THROW(WriteChartFile(file.string(), {"O;Route;" + std::string(300, 'x')}), EVrnError);
    EXPECT_EQ(ReadChartFile(file.string()).Objects.Count(), 3u);
    fs::remove_all(dir);
}

TEST(ChtFile, VectorChartRoundTrip)
{
    TObjList polygons;
    auto land = std::make_unique<TChtPolygon>();
    land->Name = "Isle";
    land->AddPoint("", 1, 2, 0);
    land->AddPoint("", 1.5, 2.5, 0);
    land->AddPoint("", 0.5, 2.5, 0);
    polygons.Add(std::move(land));
    auto red = std::make_unique<TChtPolygon>();
    red->Name = "Red";
    red->ParseAttribute("Color=$000000FF");
    red->ParseAttribute("BrushStyle=0");
    red->AddPoint("", -1, -2, 0);
    polygons.Add(std::move(red));
    std::vector<std::string> lines = VectorChartHeader();
    EXPECT_EQ(lines.size(), 44u);
    const auto body = VectorChartLines(polygons);
    EXPECT_EQ(body,
        (std::vector<std::string> {"O;Polygon;Isle", "P;   1.00000;   2.00000",
            "P;   1.50000;   2.50000", "P;   0.50000;   2.50000", "O;Polygon;Red",
            "A;Color=$000000FF", "A;BGColor=$00008080", "A;BrushStyle=0",
            "P;  -1.00000;  -2.00000"}));
    lines.insert(lines.end(), body.begin(), body.end());
    const auto back = Read(lines);
    ASSERT_EQ(back.Objects.Count(), 2u);
    const auto *isle = static_cast<const TChtPolygon *>(back.Objects[0]);
    EXPECT_TRUE(isle->DefaultColors);
    EXPECT_EQ(isle->Points.size(), 3u);
    const auto *r = static_cast<const TChtPolygon *>(back.Objects[1]);
    EXPECT_EQ(r->Color, 0x0000FFu);
    EXPECT_EQ(r->BrushStyle, 1);
}

TEST(ChtFile, WorldCoastlineReads)
{
    const auto r = ReadChartFile(VRN_TEST_DATA_DIR "/../../../charts/data/world.cht");
    EXPECT_GT(r.Objects.Count(), 5000u);
    EXPECT_TRUE(r.Messages.empty());
    // Every vertex is a valid position, longitudes west positive within the world.
    std::size_t points = 0;
    for (const auto &o : r.Objects) {
        const auto *p = static_cast<const TChtPolygon *>(o.get());
        points += p->Points.size();
        EXPECT_GE(p->LatMin, -90);
        EXPECT_LE(p->LonMax, 180);
    }
    EXPECT_GT(points, 50000u);
}

} // namespace
} // namespace vrn
