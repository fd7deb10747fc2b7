#include "net/WebCharts.h"

#include "TempFolder.h"
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

    struct
    {
        const char *Name;
        std::string Bytes;
        std::optional<std::string> ChartName;
        const char *Error; // empty: read
    } const cases[] = {
        {"desktop with a chart", chartLine + "A;seacolor=$00800000\r\n\r\nO;Route;r\r\n",
            "charts\\Coast.cht", ""},
        {"the last chart reference counts", "O;Chart;a.cht;1;2;3\r\n\r\n" + chartLine,
            "charts\\Coast.cht", ""},
        {"desktop without a chart", ";comment\r\nO;Route;r\r\nP;1;2;p\r\n", std::nullopt, ""},
        {"empty file", "", std::nullopt, ""},
        {"binary garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), std::nullopt,
            "is not a chart file"},
        {"an error page", "<html><body>Not here</body></html>\n", std::nullopt,
            "is not a chart file"},
        {"a chart line the reader refuses", "O;Chart;x.cht;1\r\n", std::nullopt,
            "Missing parameters in Chart object. Line: 1"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const std::string path = tmp.Write("fetched.vrn", c.Bytes).string();
        if (*c.Error == 0) {
            EXPECT_EQ(ReadFetchedFile(path), c.ChartName);
        } else {
            try {
                ReadFetchedFile(path);
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
    const TFetchedContents fetched = ReadFetchedObjects(path);
    EXPECT_EQ(fetched.ChartName, "..\\..\\charts\\Coast.cht");
    ASSERT_TRUE(fetched.Contents.ChartRef);
    EXPECT_EQ(fetched.Contents.ChartRef->FileName, (cache.Path() / "Coast.cht").string());
    EXPECT_EQ(fetched.RefusedImages,
        (std::vector<std::string> {"../../etc/passwd", "/var/maps/a.CID", "C:\\maps\\b.CID"}));
    // The image inside the folder is read (and fails there, its data file being absent); the
    // three outside never reach the reader.
    EXPECT_EQ(fetched.Contents.Objects.Count(), 0u);
    ASSERT_EQ(fetched.Contents.Messages.size(), 1u);
    EXPECT_NE(fetched.Contents.Messages[0].Detail.find("c.CID"), std::string::npos)
        << fetched.Contents.Messages[0].Detail;
    EXPECT_EQ(CachedChartName("..\\..\\charts\\Coast.cht"), "Coast.cht");
    EXPECT_EQ(CachedChartName("/etc/x.cht"), "x.cht");
}

} // namespace
} // namespace vrn
