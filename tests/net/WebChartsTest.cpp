#include "net/WebCharts.h"

#include "TempFolder.h"
#include "charts/ImgCarta.h"
#include "engine/VrnError.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

TEST(WebCharts, KindOfALocation)
{
    struct
    {
        const char *Uri;
        TWebFileKind Kind;
    } const cases[] = {
        {"/d/desk.vrn", TWebFileKind::Desktop},
        {"/d/DESK.VRN", TWebFileKind::Desktop},
        {"/d/coast.cht", TWebFileKind::Chart},
        {"/get?f=coast.cht", TWebFileKind::Chart},
        {"/a.vrn.d/coast.cht", TWebFileKind::Chart}, // the folder's name does not count
        {"/charts.cht/", TWebFileKind::None},
        {"/d/readme.txt", TWebFileKind::None},
        {"/", TWebFileKind::None},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Uri);
        EXPECT_EQ(WebFileKind(c.Uri), c.Kind);
    }
}

TEST(WebCharts, ChartReferenceStaysOnTheServerBesideTheDesktop)
{
    struct
    {
        const char *BaseDir, *Name, *Uri;
    } const cases[] = {
        {"/dir/", "coast.cht", "/dir/coast.cht"},
        {"/dir/", "charts/coast.cht", "/dir/charts/coast.cht"},
        {"/dir/", "charts\\coast.cht", "/dir/charts/coast.cht"},
        {"/dir/sub/", "../coast.cht", "/dir/coast.cht"},
        {"/dir/", "../../x.cht", "/x.cht"},
        {"/dir/", "/etc/x.cht", "/dir/etc/x.cht"},
        {"/dir/", "C:\\charts\\x.cht", "/dir/charts/x.cht"},
        {"/dir/", "http://elsewhere/x.cht", "/dir/http://elsewhere/x.cht"},
        {"/a/b/../", "x.cht", "/a/x.cht"},
        {"", "x.cht", "/x.cht"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ChartReferenceUri(c.BaseDir, c.Name), c.Uri);
    }
    EXPECT_TRUE(IsFetchableChartName("Coast.CHT"));
    EXPECT_FALSE(IsFetchableChartName("coast.txt"));
}

TEST(WebCharts, ReadFetchedFile)
{
    TTempFolder tmp;
    const std::string chartLine = "O;Chart;charts\\Coast.cht;  45.00000;  10.00000;   5.00000\r\n";

    const auto desktop = TWebFileKind::Desktop;
    const auto chart = TWebFileKind::Chart;

    struct
    {
        const char *Name;
        TWebFileKind Kind;
        std::string Bytes;
        std::optional<std::string> ChartName;
        const char *Error; // empty: read
    } const cases[] = {
        {"desktop with a chart", desktop, chartLine + "A;seacolor=$00800000\r\n\r\nO;Route;r\r\n",
            "charts\\Coast.cht", ""},
        {"the last chart reference counts", desktop, "O;Chart;a.cht;1;2;3\r\n\r\n" + chartLine,
            "charts\\Coast.cht", ""},
        {"desktop without a chart", desktop, ";comment\r\nO;Route;r\r\nP;1;2;p\r\n", std::nullopt,
            ""},
        {"empty file", chart, "", std::nullopt, ""},
        {"binary garbage", desktop, std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), std::nullopt,
            "is not a chart file"},
        {"an error page", chart, "<html><body>Not here</body></html>\n", std::nullopt,
            "is not a chart file"},
        // A desktop keeps what is good, as desktops are opened; a chart is refused whole, as
        // charts are opened.
        {"a bad line in a desktop drops its object", desktop,
            "O;Chart;x.cht;1\r\n\r\nO;Route;r\r\n", std::nullopt, ""},
        {"a bad line in a chart", chart, "O;Chart;x.cht;1\r\n", std::nullopt,
            "Missing parameters in Chart object. Line: 1"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = tmp.Write("fetched.vrn", c.Bytes).string();
        if (*c.Error == 0) {
            EXPECT_EQ(ReadFetchedFile(path, c.Kind), c.ChartName);
        } else {
            try {
                ReadFetchedFile(path, c.Kind);
                ADD_FAILURE() << "read without error";
            } catch (const EVrnError &e) {
                EXPECT_NE(std::string(e.what()).find(c.Error), std::string::npos) << e.what();
            }
        }
    }
}

TEST(WebCharts, PathsOfAFetchedDesktopStayInTheCache)
{
    TTempFolder cache;
    const std::string desktop =
        "O;Chart;..\\..\\charts\\Coast.cht;45;10;5\r\n\r\n"
        "O;ImgChart;\r\nA;CIDFile=../../etc/passwd\r\nA;Visible=TRUE\r\n\r\n"
        "O;ImgChart;\r\nA;CIDFile=/var/maps/a.CID\r\n\r\n"
        "O;ImgChart;\r\nA;cidfile=C:\\maps\\b.CID\r\n\r\n"
        "O;ImgChart;\r\nA;CIDFile=maps\\..\\c.CID\r\n\r\n";
    const auto path = cache.Write("desk.vrn", desktop).string();
    const TFetchedContents fetched = ReadFetchedObjects(path, TWebFileKind::Desktop);
    EXPECT_EQ(fetched.ChartName, "..\\..\\charts\\Coast.cht");
    ASSERT_TRUE(fetched.Desktop.ChartRef);
    EXPECT_EQ(fetched.Desktop.ChartRef->FileName, (cache.Path() / "Coast.cht").string());
    EXPECT_EQ(fetched.RefusedImages,
        (std::vector<std::string> {"../../etc/passwd", "/var/maps/a.CID", "C:\\maps\\b.CID"}));
    // The image inside the folder is read (and stays unloaded, its data file being absent);
    // the three outside never reach the reader, which drops them for want of a data file.
    ASSERT_EQ(fetched.Desktop.Objects.Count(), 1u);
    const auto *image = dynamic_cast<const TChtChartImage *>(fetched.Desktop.Objects[0]);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->CIDFile, (cache.Path() / "c.CID").string());
    ASSERT_EQ(fetched.Desktop.Messages.size(), 4u);
    EXPECT_EQ(fetched.Desktop.Messages[0].rfind("Chart image " + image->CIDFile, 0), 0u)
        << fetched.Desktop.Messages[0];
    EXPECT_EQ(fetched.Desktop.Messages[1],
        "Chart image ../../etc/passwd lies outside the cache folder and is not loaded");
    EXPECT_EQ(CachedChartName("..\\..\\charts\\Coast.cht"), "Coast.cht");
    EXPECT_EQ(CachedChartName("/etc/x.cht"), "x.cht");
}

} // namespace
} // namespace vrn
