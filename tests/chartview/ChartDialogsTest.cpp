// What the chart dialogs do to chart objects, without the windows: field texts a desktop can
// hold, the mark's link, the palette, the point editor's date-times and edits, the chart
// information rows and the selector's rows; and the boxes of edited point lists.

#include "charts/ChartDialogs.h"

#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

namespace vrn {
namespace {

TEST(ChartDialogs, FieldsRefuseWhatAChartFileLineCannotHold)
{
    struct TCase
    {
        const char *Name;
        std::string Text;
        const char *Problem; // nullptr: accepted
    };

    // ";" splits the fields of a line and a line break ends it (the reader's grammar); the
    // files are Windows-1252, which has the euro sign but no Greek letters.
    const TCase cases[] = {
        {"plain", "Ponta Delgada", nullptr},
        {"empty", "", nullptr},
        {"euro sign", "Cost 5\xE2\x82\xAC", nullptr},
        {"semicolon", "A;B", "The name cannot contain \";\"."},
        {"line feed", "A\nB", "The name cannot contain line breaks."},
        {"carriage return", "A\rB", "The name cannot contain line breaks."},
        {"greek", "\xCE\xB1lpha", "The name contains characters that chart files cannot hold."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto problem = FieldTextProblem(c.Text, "The name");
        if (c.Problem)
            EXPECT_EQ(problem.value_or("<none>"), c.Problem);
        else
            EXPECT_FALSE(problem) << *problem;
    }
}

TEST(ChartDialogs, MarkEditTakesNameLinkAndChosenIcon)
{
    struct TCase
    {
        const char *Name;
        TMarkEdit Edit;
        std::string Url;
        std::string Icon;
    };

    // The mark editor's rules: "http://" alone and an empty field both mean no link; an icon
    // row that was not chosen keeps the mark's icon.
    const TCase cases[] = {
        {"http:// alone is no link", {"Buoy", "http://", std::nullopt}, "", "CAMERA"},
        {"empty link", {"Buoy", "", std::nullopt}, "", "CAMERA"},
        {"a link", {"Buoy", "http://x.org/a", std::nullopt}, "http://x.org/a", "CAMERA"},
        {"chosen icon", {"Buoy", "http://", std::string("ROCK")}, "", "ROCK"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChtURLObject mark("http://old", "CAMERA", "Old", 0.1, 1, 2);
        EXPECT_EQ(MarkLinkText(mark), "http://old");
        ApplyMarkEdit(mark, c.Edit);
        EXPECT_EQ(mark.Name, "Buoy");
        EXPECT_EQ(mark.URL, c.Url);
        EXPECT_EQ(mark.BitmapName, c.Icon);
    }
    TChtURLObject bare("", "HAND", "New", 0.1, 1, 2);
    EXPECT_EQ(MarkLinkText(bare), "http://");
}

TEST(ChartDialogs, RefusedMarkEditLeavesTheMark)
{
    TChtURLObject mark("http://old", "CAMERA", "Old", 0.1, 1, 2);
    const TMarkEdit edits[] = {
        {"A;B", "http://x", std::string("ROCK")},
        {"Fine", "http://x/a;b", std::string("ROCK")},
    };
    for (const auto &edit : edits) {
        SCOPED_TRACE(edit.Name + " " + edit.Link);
        EXPECT_THROW(ApplyMarkEdit(mark, edit), EVrnError);
        EXPECT_EQ(mark.Name, "Old");
        EXPECT_EQ(mark.URL, "http://old");
        EXPECT_EQ(mark.BitmapName, "CAMERA");
    }
}

TEST(ChartDialogs, MarkLinksOpenOnlyWebAddresses)
{
    struct TCase
    {
        const char *Url;
        const char *Opened; // nullptr: refused
    };

    const TCase cases[] = {
        {"http://www.x.org/a", "http://www.x.org/a"},
        {"HTTPS://x.org", "HTTPS://x.org"},
        {"  https://x.org/b  ", "https://x.org/b"},
        {"www.x.org/page", "http://www.x.org/page"},
        {"www.x.org:8080/page", "http://www.x.org:8080/page"},
        {"localhost", "http://localhost"},
        {"", nullptr},
        {"http://", nullptr},
        {"file:///etc/passwd", nullptr},
        {"javascript:alert(1)", nullptr},
        {"mailto:a@b.c", nullptr},
        {"ftp://x.org/f", nullptr},
        {"smb://host/share", nullptr},
        {"http://a b", nullptr},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Url);
        const auto opened = MarkLinkAddress(c.Url);
        if (c.Opened)
            EXPECT_EQ(opened.value_or("<refused>"), c.Opened);
        else
            EXPECT_FALSE(opened) << *opened;
    }
}

TEST(ChartDialogs, PaletteHoldsTheSixteenColoursInOrder)
{
    // The standard colour order: black, maroon, green, olive, navy, purple, teal, grey, silver,
    // red, lime, yellow, blue, fuchsia, aqua, white ($00BBGGRR).
    EXPECT_EQ(StandardColorIndex(0x000000), 0);
    EXPECT_EQ(StandardColorIndex(0x008080), 3); // olive, the default land
    EXPECT_EQ(StandardColorIndex(0x800000), 4); // navy, the default sea
    EXPECT_EQ(StandardColorIndex(0x00FFFF), 11); // yellow, the default shore
    EXPECT_EQ(StandardColorIndex(0xFFFFFF), 15); // white, the default grid
    EXPECT_FALSE(StandardColorIndex(0x123456));
    EXPECT_STREQ(ChartColorItemText(TChartColorItem::DefaultShore), "Default shore color");
}

class PointEditor : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FSaved = ShortDateFormat();
        SetShortDateFormat({TDateOrder::DayMonthYear, '/'});
    }

    void TearDown() override { SetShortDateFormat(FSaved); }

    TDateFormat FSaved;
};

TEST_F(PointEditor, DateTimesReadWithAnyOfTheSeparators)
{
    struct TCase
    {
        const char *Text;
        std::optional<double> Expected;
    };

    const double day = EncodeDate(2003, 12, 31);
    const double evening = day + EncodeTime(23, 59, 0, 0);
    const TCase cases[] = {
        {"31/12/2003 23:59:00", evening},
        {"31.12.2003 23:59", evening},
        {"31-12-2003 23:59:00", evening},
        {"31/12/2003", day}, // a date alone is midnight
        {"", std::nullopt},
        {"12/31/2003", std::nullopt}, // month first is not this user's format
        {"31/12/2003 24:00", std::nullopt},
        {"tomorrow", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        const auto t = ParsePointDateTime(c.Text);
        ASSERT_EQ(t.has_value(), c.Expected.has_value());
        if (t) {
            EXPECT_NEAR(*t, *c.Expected, 1e-9);
        }
    }
}

TEST_F(PointEditor, FieldTextShowsTheTimeAndNothingForNone)
{
    TChtPoint p;
    EXPECT_EQ(PointDateTimeText(p), ""); // a time of 0 is no time
    p.Time = EncodeDate(2003, 12, 31) + EncodeTime(23, 59, 0, 0);
    EXPECT_EQ(PointDateTimeText(p), "31/12/2003 23:59:00");
    p.Time = EncodeDate(2004, 1, 2);
    EXPECT_EQ(PointDateTimeText(p), "02/01/2004");
}

TEST_F(PointEditor, EditKeepsAnUntouchedPositionExactly)
{
    TChtPoint p;
    p.Lat = 38.123456789;
    p.Lon = 25.987654321;
    // The fields show hundredths of a minute: 38°07.41' reads back 38.1235, not the point.
    TPointEdit edit {false, 38.1235, 25.98767, "Cais", std::nullopt};
    ApplyPointEdit(p, edit);
    EXPECT_EQ(p.Lat, 38.123456789);
    EXPECT_EQ(p.Lon, 25.987654321);
    EXPECT_EQ(p.Name, "Cais");
    edit.PositionChanged = true;
    ApplyPointEdit(p, edit);
    EXPECT_EQ(p.Lat, 38.1235);
    EXPECT_EQ(p.Lon, 25.98767);
}

TEST_F(PointEditor, UnreadableDateTimeOrNameLeavesThePoint)
{
    struct TCase
    {
        const char *Name;
        TPointEdit Edit;
        const char *Message;
    };

    const TCase cases[] = {
        {"cleared date-time", {true, 1, 2, "X", std::string("")},
            "\"\" is not a valid date and time"},
        {"not a date-time", {true, 1, 2, "X", std::string("31/02/2003")},
            "\"31/02/2003\" is not a valid date and time"},
        {"name with a separator", {true, 1, 2, "X;Y", std::string("01/01/2004")},
            "The text cannot contain \";\"."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChtPoint p;
        p.Lat = 10;
        p.Lon = 20;
        p.Name = "Old";
        p.Time = 40000;
        try {
            ApplyPointEdit(p, c.Edit);
            ADD_FAILURE() << "accepted";
        } catch (const EVrnError &e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
        EXPECT_EQ(p.Lat, 10);
        EXPECT_EQ(p.Lon, 20);
        EXPECT_EQ(p.Name, "Old");
        EXPECT_EQ(p.Time, 40000);
    }
}

TEST(ChartDialogs, EditedAndDeletedPointsMoveTheBox)
{
    TChtRoute route;
    route.AddPoint("", 10, 20, 0);
    route.AddPoint("", 12, 25, 0);
    route.AddPoint("", 11, 30, 0);
    route.GetPoint(2).Lat = 15;
    route.RecomputeBounds();
    EXPECT_EQ(route.LatMax, 15);
    route.DeletePoint(2);
    EXPECT_EQ(route.LatMax, 12);
    EXPECT_EQ(route.LonMax, 25);
    route.DeletePoint(0);
    route.DeletePoint(0);
    EXPECT_GT(route.LatMin, route.LatMax); // no points: a box that overlaps no view

    TChtTrack track;
    for (int i = 0; i < 4; ++i)
        track.AddPoint("", i, i, 40000 + i);
    ASSERT_EQ(track.LastDrawn, 3);
    track.DeletePoint(3);
    track.DeletePoint(2);
    EXPECT_EQ(track.LastDrawn, 1);
}

TEST(ChartDialogs, ChartInfoRows)
{
    TChartDesk desk;
    TChartInfoRows none = ChartInfoOf(desk);
    EXPECT_EQ(none.ChartName, "[none]");
    EXPECT_EQ(none.Polygons, "0");
    EXPECT_EQ(none.FileSize, "0");

    const auto dir = std::filesystem::temp_directory_path() / "vrn-chartinfo-test";
    std::filesystem::create_directories(dir);
    const auto file = dir / "two.cht";
    const std::string text = "O;Polygon;A\r\nP;1;1\r\nP;2;2\r\nO;Polygon;B\r\nP;3;3\r\n";
    std::ofstream(file, std::ios::binary) << text;
    desk.LoadChart(file.string(), false, 0, 0);
    const TChartInfoRows rows = ChartInfoOf(desk);
    EXPECT_EQ(rows.ChartName, "two.cht");
    EXPECT_EQ(rows.Polygons, "2");
    EXPECT_EQ(rows.Points, "3");
    EXPECT_EQ(rows.FileSize, std::to_string(text.size()) + " bytes");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(ChartInfoOf(desk).FileSize, "0"); // a file that is gone leaves the row
}

TEST(ChartDialogs, SelectorRowsAreTheListInOrder)
{
    TChartDesk desk;
    EXPECT_TRUE(NamesOf(desk.Routes).empty());
    EXPECT_EQ(ObjectAtRow(desk.Routes, 0), nullptr); // OK over an empty list chooses none
    for (const char *name : {"North", "South"}) {
        auto r = std::make_unique<TChtRoute>();
        r->Name = name;
        desk.Routes.Add(std::move(r));
    }
    EXPECT_EQ(NamesOf(desk.Routes), (std::vector<std::string> {"North", "South"}));
    EXPECT_EQ(ObjectAtRow(desk.Routes, 1), desk.Routes[1]);
    EXPECT_EQ(ObjectAtRow(desk.Routes, -1), nullptr);
    EXPECT_EQ(ObjectAtRow(desk.Routes, 2), nullptr);
}

} // namespace
} // namespace vrn
