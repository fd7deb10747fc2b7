// Desktop files: the ".vrn" text as written (blocks, CR LF, relative paths, colour lines), what
// reading does with every kind of bad line and file, chart images and charts that cannot be
// opened, and saves that fail without losing the old file.

#include "charts/ChartDesktop.h"

#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace vrn {
namespace {

namespace fs = std::filesystem;

const fs::path kChartsData = fs::path(VRN_TEST_DATA_DIR) / "charts";

std::string ReadBytes(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class Desktops : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FDir = fs::temp_directory_path()
            / ("vrn-desktop-" + std::to_string(::getpid()) + "-"
                + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FDir);
        fs::create_directories(FDir / "charts");
        fs::create_directories(FDir / "pictures");
        fs::create_directories(FDir / "desks");
        fs::copy_file(kChartsData / "sample.CID", FDir / "pictures" / "sample.CID");
        fs::copy_file(kChartsData / "sample.jpg", FDir / "pictures" / "sample.jpg");
        Write(
            "charts/channel.cht", "O;Polygon;Wight\r\nP;50.7;1.5\r\nP;50.6;1.1\r\nP;50.7;1.2\r\n");
    }

    void TearDown() override
    {
        fs::permissions(FDir / "desks", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(FDir);
    }

    std::string Write(const std::string &name, const std::string &text)
    {
        const auto path = FDir / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }

    std::string Path(const std::string &name) const { return (FDir / name).string(); }

    // A desk as a user leaves it: a chart image, a route, a GPS track with a point at midnight
    // and one without a time, and a mark.
    void Populate(TChartDesk &desk)
    {
        auto image = std::make_unique<TChtChartImage>();
        image->CIDFile = Path("pictures/sample.CID");
        image->LoadCID();
        image->Visible = true;
        image->Opacity = 60;
        image->DrawOutline = false;
        desk.ChartImages.Add(std::move(image));
        auto route = std::make_unique<TChtRoute>();
        route->Name = "Solent";
        route->Color = 0x00FF00;
        route->AddPoint("Cowes", 50.76, 1.3, 0);
        route->AddPoint("", 50.7, 1.05, 0);
        desk.Routes.Add(std::move(route));
        auto track = std::make_unique<TChtTrack>();
        track->Name = "Log";
        track->GpsTrack = true;
        track->Visible = false;
        track->AddPoint("", 50.8, 1.2, EncodeDate(2024, 7, 1));
        track->AddPoint("", 50.81, 1.21, EncodeDate(2024, 7, 1) + EncodeTime(0, 10, 5, 0));
        track->AddPoint("", 50.82, 1.22, 0);
        desk.Tracks.Add(std::move(track));
        desk.OtherObjects.Add(std::make_unique<TChtURLObject>(
            "http://x.org/needles", "WARNING", "Needles", 0.1, 50.66, 1.59));
    }

    fs::path FDir;
};

TEST_F(Desktops, SavedTextIsTheFormatLineByLine)
{
    TChartDesk desk;
    Populate(desk);
    TDesktopChart chart;
    chart.FileName = Path("charts/channel.cht");
    chart.LatC = 50.7;
    chart.LonC = 1.3;
    chart.LonSpan = 0.8;
    chart.Colors.Sea = 0x000000; // black differs from the default; the rest do not
    const std::string file = Path("desks/solent.vrn");
    SaveDesktopFile(desk, file, chart);

    // The blocks of the format in their order: chart, chart images, routes, tracks, marks; each
    // ends with an empty line; paths relative to the desktop's folder.
    const std::string expected =
        "O;Chart;../charts/channel.cht;  50.70000;   1.30000;   0.80000\r\n"
        "A;seacolor=$00000000\r\n"
        "\r\n"
        "O;ImgChart;\r\n"
        "A;CIDFile=../pictures/sample.CID\r\n"
        "A;Visible=TRUE\r\n"
        "A;Opacity=60\r\n"
        "A;DrawOutline=FALSE\r\n"
        "\r\n"
        "O;Route;Solent\r\n"
        "A;Color=$0000FF00\r\n"
        "A;Visible=TRUE\r\n"
        "P;  50.76000;   1.30000;Cowes\r\n"
        "P;  50.70000;   1.05000;\r\n"
        "\r\n"
        "O;Track;Log\r\n"
        "A;GpsTrack=TRUE\r\n"
        "A;Color=$000000FF\r\n"
        "A;Visible=FALSE\r\n"
        "P;  50.80000;   1.20000;;01/07/2024\r\n"
        "P;  50.81000;   1.21000;;01/07/2024 00:10:05\r\n"
        "P;  50.82000;   1.22000;;\r\n"
        "\r\n"
        "O;URL;Needles;  50.66000;   1.59000;   0.10000;http://x.org/needles;"
        "WARNING\r\n"
        "\r\n";
    EXPECT_EQ(ReadBytes(file), expected);
    EXPECT_EQ(desk.DesktopFileName, file);
    EXPECT_FALSE(desk.IsModified());
}

TEST_F(Desktops, ReadBackFromAnotherFolderFindsTheSameObjects)
{
    TChartDesk saved;
    Populate(saved);
    TDesktopChart chart;
    chart.FileName = Path("charts/channel.cht");
    chart.LatC = 50.7;
    chart.LonC = 1.3;
    chart.LonSpan = 0.8;
    chart.Colors.Grid = 0x00FFFF;
    const std::string file = Path("desks/solent.vrn");
    SaveDesktopFile(saved, file, chart);

    // The current folder plays no part: paths resolve against the desktop's folder.
    const fs::path before = fs::current_path();
    fs::current_path(FDir / "pictures");
    TDesktopFile read = ReadDesktopFile(file);
    fs::current_path(before);
    EXPECT_TRUE(read.Messages.empty()) << read.Messages.front();
    TChartDesk desk;
    const TDesktopApplied applied = ApplyDesktop(desk, read.Objects, std::move(read.ChartRef));
    ASSERT_TRUE(applied.Chart);
    EXPECT_TRUE(applied.ChartLoaded);
    EXPECT_EQ(fs::path(desk.ChartFileName), fs::path(Path("charts/channel.cht")));
    EXPECT_EQ(applied.Chart->LatC, 50.7);
    EXPECT_EQ(applied.Chart->LonSpan, 0.8);
    EXPECT_EQ(applied.Chart->Colors.Grid, 0x00FFFFu);
    EXPECT_EQ(applied.Chart->Colors.Sea, kClNavy); // absent: the default
    ASSERT_EQ(desk.ChartImages.Count(), 1u);
    const TChtChartImage &image = *desk.ChartImages[0];
    EXPECT_TRUE(image.Loaded());
    EXPECT_TRUE(image.Visible);
    EXPECT_EQ(image.Opacity, 60);
    EXPECT_FALSE(image.DrawOutline);
    EXPECT_EQ(image.DisplayName(), "English Channel (world coastline)");
    ASSERT_EQ(desk.Routes.Count(), 1u);
    EXPECT_EQ(desk.Routes[0]->Name, "Solent");
    EXPECT_EQ(desk.Routes[0]->Color, 0x00FF00u);
    EXPECT_EQ(desk.Routes[0]->GetPoint(0).Name, "Cowes");
    ASSERT_EQ(desk.Tracks.Count(), 1u);
    const TChtTrack &track = *desk.Tracks[0];
    EXPECT_EQ(desk.GpsTrack(), &track);
    EXPECT_FALSE(track.Visible);
    ASSERT_EQ(track.PointCount(), 3u);
    EXPECT_EQ(track.Points[0].Time, EncodeDate(2024, 7, 1)); // midnight: 00:00:00
    EXPECT_NEAR(track.Points[1].Time, EncodeDate(2024, 7, 1) + EncodeTime(0, 10, 5, 0), 1e-9);
    EXPECT_EQ(track.Points[2].Time, 0); // no time stays no time
    ASSERT_EQ(desk.OtherObjects.Count(), 1u);
    const auto *mark = dynamic_cast<const TChtURLObject *>(desk.OtherObjects[0]);
    ASSERT_TRUE(mark);
    EXPECT_EQ(mark->URL, "http://x.org/needles");
    EXPECT_EQ(mark->BitmapName, "WARNING");
    EXPECT_FALSE(desk.IsModified());

    // Saving what was read gives the same text.
    const std::string again = Path("desks/again.vrn");
    SaveDesktopFile(desk, again, applied.Chart);
    EXPECT_EQ(ReadBytes(again), ReadBytes(file));
}

TEST_F(Desktops, WithoutAChartNothingIsWrittenForIt)
{
    TChartDesk desk;
    const std::string empty = Path("desks/empty.vrn");
    SaveDesktopFile(desk, empty, std::nullopt);
    EXPECT_EQ(ReadBytes(empty), ""); // an empty desktop is an empty file
    TDesktopFile read = ReadDesktopFile(empty); // and reads back as one
    EXPECT_EQ(read.Objects.Count(), 0u);
    EXPECT_FALSE(read.ChartRef);

    auto route = std::make_unique<TChtRoute>();
    route->AddPoint("", 1, 2, 0);
    desk.Routes.Add(std::move(route));
    SaveDesktopFile(desk, empty, std::nullopt);
    EXPECT_EQ(ReadBytes(empty).rfind("O;Route;Route1\r\n", 0), 0u);
}

TEST_F(Desktops, LoadingKeepsTheOpenChartWithoutAChartBlockAndRenewsTheCurrentRoute)
{
    TChartDesk desk;
    desk.LoadChart(Path("charts/channel.cht"), false, kClOlive, kClYellow);
    desk.AddCurrentRoutePoint(1, 1);
    desk.FinishRoute([](const std::string &, const std::string &) { return "Drawn"; });
    TChtRoute *listed = desk.Routes[0];
    TFinishResult<TChtRoute> finished;
    ASSERT_TRUE(desk.SelectRoute(listed, nullptr, nullptr, finished));
    ASSERT_EQ(desk.CurrentRoute(), listed);

    TDesktopFile read = ReadDesktopFile(
        Write("desks/routes.vrn", "O;Route;Route1\r\nP;2;2\r\n\r\nO;Route;Route2\r\nP;3;3\r\n"));
    const TDesktopApplied applied = ApplyDesktop(desk, read.Objects, std::move(read.ChartRef));
    EXPECT_FALSE(applied.Chart);
    EXPECT_EQ(desk.ChartObjectCount(), 1u); // the open chart stays
    ASSERT_EQ(desk.Routes.Count(), 2u);
    EXPECT_FALSE(desk.IsRouteListed(desk.CurrentRoute()));
    EXPECT_EQ(desk.CurrentRoute()->PointCount(), 0u);
    EXPECT_EQ(desk.CurrentRoute()->Name, "Route3"); // named after the desktop's routes
    EXPECT_FALSE(desk.IsModified());
}

TEST_F(Desktops, ALineThatCannotBeUsedDropsOnlyItsObject)
{
    struct TCase
    {
        const char *Name;
        std::string Text; // between a good route before and a good route after
        std::string Message; // "" for none
        int Routes; // routes read, the two good ones included
    };

    const std::string ref = "O;Chart;../charts/channel.cht;50;1;2\r\n";
    const TCase cases[] = {
        {"nan latitude", "O;Route;Bad\r\nP;nan;1\r\n",
            "line 4: invalid point format (Route \"Bad\" dropped)", 2},
        {"huge number", "O;Route;Bad\r\nP;1e400;1\r\n",
            "line 4: invalid point format (Route \"Bad\" dropped)", 2},
        {"trailing junk", "O;Route;Bad\r\nP;12abc;1\r\n",
            "line 4: invalid point format (Route \"Bad\" dropped)", 2},
        {"latitude 95", "O;Route;Bad\r\nP;95;1\r\n",
            "line 4: invalid point format (Route \"Bad\" dropped)", 2},
        {"mark cut short", "O;URL;Buoy;50;1\r\n",
            "line 3: missing parameters in URL object (Mark \"Buoy\" dropped)", 2},
        {"mark with a bad size", "O;URL;Buoy;50;1;huge;http://x;HAND\r\n",
            "line 3: invalid number format (Mark \"Buoy\" dropped)", 2},
        {"span 0", "O;Chart;../charts/channel.cht;50;1;0\r\n",
            "line 3: invalid number format (the chart reference dropped)", 2},
        {"span 1000", "O;Chart;../charts/channel.cht;50;1;1000\r\n",
            "line 3: invalid number format (the chart reference dropped)", 2},
        {"view at latitude 95", "O;Chart;../charts/channel.cht;95;1;2\r\n",
            "line 3: invalid number format (the chart reference dropped)", 2},
        {"chart line cut short", "O;Chart;../charts/channel.cht;50\r\n",
            "line 3: missing parameters in Chart object (the chart reference dropped)", 2},
        {"a declared count is just an unknown attribute",
            "O;Route;Big\r\nA;Points=999999999\r\nP;1;1\r\n", "", 3},
        {"truncated object line", "O;Ro", "", 2},
        {"cut in a point line", "O;Route;Cut\r\nP;50.1",
            "line 4: invalid point format (Route \"Cut\" dropped)", 2},
        {"unknown object", "O;Spaceship;X\r\nP;1;1\r\n", "", 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string file = Write("desks/bad.vrn",
            "O;Route;First\r\nP;1;1\r\n" + c.Text + "\r\n" + ref + "\r\nO;Route;Last\r\nP;2;2\r\n");
        const TDesktopFile read = ReadDesktopFile(file);
        int routes = 0;
        for (const auto &o : read.Objects)
            routes += dynamic_cast<const TChtRoute *>(o.get()) != nullptr;
        EXPECT_EQ(routes, c.Routes);
        EXPECT_EQ(read.Objects[0]->Name, "First");
        EXPECT_EQ(read.Objects[read.Objects.Count() - 1]->Name, "Last");
        if (c.Message.empty()) {
            EXPECT_TRUE(read.Messages.empty()) << read.Messages.front();
        } else {
            ASSERT_EQ(read.Messages.size(), 1u);
            EXPECT_EQ(read.Messages[0], file + ", " + c.Message);
        }
        // A bad chart line drops only itself: the good one after it gives the reference.
        EXPECT_TRUE(read.ChartRef);
    }
}

TEST_F(Desktops, FilesThatAreNoDesktopAreRefusedWithTheirName)
{
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += static_cast<char>((i * 7919) % 256);

    struct TCase
    {
        const char *Name;
        std::string File;
        std::string Message;
    };

    const std::string missing = Path("desks/none.vrn");
    const TCase cases[] = {
        {"missing", missing, "File " + missing + " not found"},
        {"a folder", Path("desks"), "File " + Path("desks") + " not found"},
        {"binary garbage", Write("desks/garbage.vrn", garbage),
            "File " + Path("desks/garbage.vrn") + " is not a desktop"},
        {"text without objects", Write("desks/letter.vrn", "Dear Sir,\r\nthe chart is wrong.\r\n"),
            "File " + Path("desks/letter.vrn") + " is not a desktop"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            ReadDesktopFile(c.File);
            ADD_FAILURE() << "read";
        } catch (const EVrnError &e) {
            EXPECT_EQ(e.what(), c.Message);
        }
    }
    // Comments alone are an empty desktop, not a refusal.
    EXPECT_EQ(
        ReadDesktopFile(Write("desks/notes.vrn", "; my desktop\r\n\r\n")).Objects.Count(), 0u);
}

TEST_F(Desktops, ABigDesktopIsRefusedBeforeItIsRead)
{
    const std::string big = Path("desks/big.vrn");
    std::ofstream(big, std::ios::binary) << "O;Route;R\r\n";
    fs::resize_file(big, kMaxDesktopFileBytes + 1); // sparse: no disk written
    try {
        ReadDesktopFile(big);
        ADD_FAILURE() << "read";
    } catch (const EVrnError &e) {
        EXPECT_EQ(e.what(), "File " + big + " is too large");
    }
}

TEST_F(Desktops, AFiftyMegabyteDesktopOpensWhole)
{
    // A year of GPS positions: one track of a million points, 50 MB.
    std::string text = "O;Track;Year\r\n";
    const std::string point = "P;  45.12345;  10.12345;;01/07/2024 12:34:56\r\n";
    const std::size_t points = (std::size_t(50) << 20) / point.size();
    text.reserve(text.size() + points * point.size());
    for (std::size_t i = 0; i < points; ++i)
        text += point;
    const std::string file = Write("desks/year.vrn", text);
    text.clear();
    text.shrink_to_fit();
    const TDesktopFile read = ReadDesktopFile(file);
    ASSERT_EQ(read.Objects.Count(), 1u);
    EXPECT_EQ(PointCountOf(read.Objects), points);
    EXPECT_TRUE(read.Messages.empty());
}

TEST_F(Desktops, PathsWithBackslashesOtherCaseOrElsewhereAreFound)
{
    fs::create_directories(FDir / "elsewhere");
    fs::copy_file(kChartsData / "sample.CID", FDir / "elsewhere" / "far.CID");
    fs::copy_file(kChartsData / "sample.jpg", FDir / "elsewhere" / "sample.jpg");
    const std::string text = "O;Chart;..\\CHARTS\\Channel.cht;50;1;2\r\n\r\n"
                             "O;ImgChart;\r\nA;CIDFile=..\\Pictures\\SAMPLE.cid\r\n\r\n"
                             "O;ImgChart;\r\nA;CIDFile="
        + Path("elsewhere/far.CID") + "\r\n\r\n";
    TDesktopFile read = ReadDesktopFile(Write("desks/windows.vrn", text));
    EXPECT_TRUE(read.Messages.empty()) << read.Messages.front();
    ASSERT_TRUE(read.ChartRef);
    EXPECT_EQ(fs::path(read.ChartRef->FileName), fs::path(Path("charts/channel.cht")));
    ASSERT_EQ(read.Objects.Count(), 2u);
    for (const auto &o : read.Objects)
        EXPECT_TRUE(static_cast<const TChtChartImage &>(*o).Loaded());

    // Written back relative to the folder they are saved in, "../" where needed, case as found.
    TChartDesk desk;
    ApplyDesktop(desk, read.Objects, nullptr);
    SaveDesktopFile(desk, Path("desks/again.vrn"), std::nullopt);
    EXPECT_EQ(ReadBytes(Path("desks/again.vrn")),
        "O;ImgChart;\r\nA;CIDFile=../pictures/"
        "sample.CID\r\nA;Visible=FALSE\r\nA;Opacity=100\r\n\r\n"
        "O;ImgChart;\r\nA;CIDFile=../elsewhere/"
        "far.CID\r\nA;Visible=FALSE\r\nA;Opacity=100\r\n\r\n");
}

TEST_F(Desktops, ChartImagesThatFailAreKeptUnloadedAndWrittenBack)
{
    fs::remove(FDir / "pictures" / "sample.jpg");
    const std::string text = "O;ImgChart;\r\nA;CIDFile=../pictures/sample.CID\r\nA;Visible=TRUE\r\n"
                             "A;Opacity=40\r\n\r\n"
                             "O;ImgChart;\r\nA;CIDFile=../pictures/gone.CID\r\nA;Visible=FALSE\r\n"
                             "A;Opacity=100\r\n\r\n"
                             "O;Route;R\r\nA;Color=$000000FF\r\nA;Visible=TRUE\r\n"
                             "P;   1.00000;   1.00000;\r\n\r\n";
    const std::string file = Write("desks/pictures.vrn", text);
    TDesktopFile read = ReadDesktopFile(file);
    ASSERT_EQ(read.Objects.Count(), 3u);
    ASSERT_EQ(read.Messages.size(), 2u); // once each, after the reading, by data file and cause
    EXPECT_EQ(read.Messages[0].rfind(
                  "Chart image " + Path("pictures/sample.CID") + " could not be loaded: ", 0),
        0u)
        << read.Messages[0];
    EXPECT_EQ(read.Messages[1].rfind(
                  "Chart image " + Path("pictures/gone.CID") + " could not be loaded: ", 0),
        0u)
        << read.Messages[1];
    const auto &kept = static_cast<const TChtChartImage &>(*read.Objects[0]);
    EXPECT_FALSE(kept.Loaded());
    EXPECT_TRUE(kept.Visible);
    EXPECT_EQ(kept.Opacity, 40);

    TChartDesk desk;
    ApplyDesktop(desk, read.Objects, nullptr);
    SaveDesktopFile(desk, Path("desks/pictures2.vrn"), std::nullopt);
    EXPECT_EQ(ReadBytes(Path("desks/pictures2.vrn")), text);
}

TEST_F(Desktops, AChartThatCannotBeOpenedIsKeptForTheNextSave)
{
    TChartDesk desk;
    desk.LoadChart(Path("charts/channel.cht"), false, kClOlive, kClYellow);
    const std::string text =
        "O;Chart;../charts/lost.cht;  50.00000;   1.00000;   2.00000\r\n"
        "A;landcolor=$000000FF\r\n\r\n"
        "O;Route;R\r\nA;Color=$000000FF\r\nA;Visible=TRUE\r\nP;   1.00000;   1.00000;\r\n\r\n";
    TDesktopFile read = ReadDesktopFile(Write("desks/lost.vrn", text));
    const TDesktopApplied applied = ApplyDesktop(desk, read.Objects, std::move(read.ChartRef));
    ASSERT_TRUE(applied.ChartError);
    EXPECT_EQ(*applied.ChartError, "File " + Path("charts/lost.cht") + " not found");
    EXPECT_FALSE(applied.ChartLoaded);
    EXPECT_EQ(desk.ChartObjectCount(), 0u); // the desktop's chart is not the one that was open
    EXPECT_EQ(desk.Routes.Count(), 1u);
    ASSERT_TRUE(applied.Chart);
    EXPECT_EQ(applied.Chart->Colors.Land, 0x0000FFu);
    SaveDesktopFile(desk, Path("desks/lost2.vrn"), std::nullopt);
    EXPECT_EQ(ReadBytes(Path("desks/lost2.vrn")), text);
    // Another chart opened: that one is saved from then on.
    desk.LoadChart(Path("charts/channel.cht"), false, kClOlive, kClYellow);
    EXPECT_FALSE(desk.KeptChartRef);
}

TEST_F(Desktops, AFailedSaveLeavesTheOldFileTheNameAndTheFlags)
{
    TChartDesk desk;
    Populate(desk);
    desk.RoutesModified = true;
    desk.DesktopFileName = "before.vrn";

    struct TCase
    {
        const char *Name;
        std::string File;
    };

    std::vector<TCase> cases = {{"no such folder", Path("nowhere/x.vrn")}};
    const std::string old = Write("desks/old.vrn", "O;Route;Old\r\nP;1;1\r\n");
    fs::permissions(FDir / "desks",
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
        fs::perm_options::remove);
    const bool readOnlyHolds = ::access((FDir / "desks").c_str(), W_OK) != 0; // not for root
    if (readOnlyHolds)
        cases.push_back({"read-only folder", old});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            SaveDesktopFile(desk, c.File, std::nullopt);
            ADD_FAILURE() << "saved";
        } catch (const EVrnError &e) {
            EXPECT_EQ(std::string(e.what()).rfind("Error creating file " + c.File + "\n", 0), 0u)
                << e.what();
        }
        EXPECT_EQ(desk.DesktopFileName, "before.vrn");
        EXPECT_TRUE(desk.IsModified());
    }
    EXPECT_EQ(ReadBytes(old), "O;Route;Old\r\nP;1;1\r\n");
}

TEST_F(Desktops, PathsADesktopCannotHoldAreRefusedOnSave)
{
    const std::string longName = std::string(120, 'c') + ".cht";
    Write("charts/" + longName, "O;Polygon;P\r\nP;1;1\r\n");
    TChartDesk desk;
    TDesktopChart chart;
    chart.FileName = Path("charts/" + longName);
    chart.LonSpan = 1;
    const std::string file = Path("desks/long.vrn");
    try {
        SaveDesktopFile(desk, file, chart);
        ADD_FAILURE() << "saved";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()),
            "The path of the vector chart ../charts/" + longName
                + " is longer than 100 characters; a desktop cannot hold it.");
    }
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
} // namespace vrn
