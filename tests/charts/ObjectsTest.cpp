#include "RecordingSurface.h"
#include "charts/ChtObjects.h"
#include "engine/DateTime.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

using test::TRecordingSurface;

// Records the attribute calls that ParseAttribute makes.
class TProbe : public TChtObject
{
public:
    void SetAttribute(std::string_view key, std::string_view value) override
    {
        Calls.emplace_back(std::string(key), std::string(value));
    }

    std::vector<std::pair<std::string, std::string>> Calls;
};

TEST(ChtObject, ParseAttributeSplitsAtTheFirstEqualsSign)
{
    struct Case
    {
        const char *Name;
        std::string Text;
        bool Called;
        std::string Key, Value;
    };

    const Case cases[] = {
        {"colour", "Color=$000000FF", true, "color", "$000000FF"},
        {"no equals sign", "Color", false, "", ""},
        {"empty key", "=abc", true, "", "abc"},
        {"second equals kept in value", "URL=a=b", true, "url", "a=b"},
        {"key and value cut to 100", std::string(150, 'K') + "=" + std::string(150, 'v'), true,
            std::string(100, 'k'), std::string(100, 'v')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TProbe p;
        p.ParseAttribute(c.Text);
        ASSERT_EQ(p.Calls.size(), c.Called ? 1u : 0u);
        if (c.Called) {
            EXPECT_EQ(p.Calls[0].first, c.Key);
            EXPECT_EQ(p.Calls[0].second, c.Value);
        }
    }
}

TEST(ChtObject, RouteAndPolygonAttributes)
{
    struct Case
    {
        const char *Name;
        const char *Attribute;
        bool Visible;
        TColor Color;
    };

    const Case routeCases[] = {
        {"visible t", "Visible=t", true, kClRed},
        {"visible TRUE", "visible=TRUE", true, kClRed},
        {"visible empty hides", "Visible=", false, kClRed},
        {"visible false", "Visible=false", false, kClRed},
        {"hex colour", "Color=$00FF0000", true, 0xFF0000},
        {"decimal colour", "Color=65280", true, 0x00FF00},
        {"bad colour gives red", "Color=blue", true, kClRed},
    };
    for (const auto &c : routeCases) {
        SCOPED_TRACE(c.Name);
        TChtRoute r;
        r.ParseAttribute(c.Attribute);
        EXPECT_EQ(r.Visible, c.Visible);
        EXPECT_EQ(r.Color, c.Color);
    }
    TChtPolygon p;
    p.ParseAttribute("BrushStyle=0");
    EXPECT_EQ(p.BrushStyle, 1); // no fill
    EXPECT_TRUE(p.DefaultColors);
    p.ParseAttribute("BrushStyle=7"); // ignored
    EXPECT_EQ(p.BrushStyle, 1);
    p.ParseAttribute("BrushStyle=x"); // not a number: 1, solid
    EXPECT_EQ(p.BrushStyle, 0);
    p.ParseAttribute("BGColor=junk");
    EXPECT_EQ(p.BGColor, kClOlive);
    EXPECT_FALSE(p.DefaultColors);
    TChtTrack t;
    t.ParseAttribute("GpsTrack=false");
    EXPECT_FALSE(t.GpsTrack);
    t.ParseAttribute("gpstrack=TRUE");
    EXPECT_TRUE(t.GpsTrack);
}

TEST(ChtObject, AttributeLinesOfEachKind)
{
    TChtPolygon p;
    p.ParseAttribute("BrushStyle=0");
    p.Color = 0x0000FF;
    std::vector<std::string> lines;
    p.WriteAttributes(lines);
    EXPECT_EQ(lines,
        (std::vector<std::string> {"A;Color=$000000FF", "A;BGColor=$00008080", "A;BrushStyle=0"}));
    TChtTrack t;
    t.GpsTrack = true;
    t.Visible = false;
    lines.clear();
    t.WriteAttributes(lines);
    EXPECT_EQ(lines,
        (std::vector<std::string> {"A;GpsTrack=TRUE", "A;Color=$000000FF", "A;Visible=FALSE"}));
    TChtURLObject mark("http://x/a;b", "", "Buoy;1", 0.1, 45.5, -12.25);
    EXPECT_EQ(mark.HeaderLine(), "O;URL;Buoy,1;  45.50000; -12.25000;   0.10000;http://x/a%3Bb;");
}

TEST(ChtPoint, LinesAndScreenLimits)
{
    TChtPoint p {"Cape", 64.25082, 13.69018};
    EXPECT_EQ(p.AsLine(), "P;  64.25082;  13.69018;Cape");
    p.Name.clear();
    EXPECT_EQ(p.AsLine(), "P;  64.25082;  13.69018;");
    p.Time = EncodeDate(2003, 12, 31) + EncodeTime(23, 59, 0, 0);
    EXPECT_EQ(p.AsTrackLine(), "P;  64.25082;  13.69018;;31/12/2003 23:59:00");
    p.Time = EncodeDate(2003, 12, 31);
    EXPECT_EQ(p.AsTrackLine(), "P;  64.25082;  13.69018;;31/12/2003");

    TRecordingSurface s(600, 300);
    s.Escala.SetView(0, 0, 1);
    TChtPoint far {"", 0, 170};
    far.CalcScreen(s);
    EXPECT_EQ(far.X, -32000);
    far.Lon = -170;
    far.Lat = -80;
    far.CalcScreen(s);
    EXPECT_EQ(far.X, 32000);
    EXPECT_EQ(far.Y, 32000);
}

TEST(ChtPoliPoints, FindPointWithinFivePixels)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(0, 0, 60); // 10 pixels per degree
    TChtRoute r;
    r.AddPoint("a", 0, 0, 0);
    r.AddPoint("b", 0, -1, 0);
    r.Draw(s, true); // computes the cached positions
    const TChtPoint &a = r.Points[0];

    struct Case
    {
        const char *Name;
        int Dx, Dy;
        const char *Found;
    };

    const Case cases[] = {
        {"on it", 0, 0, "a"},
        {"five pixels (3 across, 2 down)", 3, 2, "a"},
        {"six pixels", 4, 2, nullptr},
        {"nearer to b", 6, 0, "b"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TChtPoint *hit = r.FindPoint(a.X + c.Dx, a.Y + c.Dy);
        if (c.Found) {
            EXPECT_TRUE(hit && hit->Name == c.Found);
        } else {
            EXPECT_EQ(hit, nullptr);
        }
    }
    EXPECT_FALSE(TChtRoute().FindPoint(0, 0));
}

TEST(ObjList, TakeAllReversesAndEmptiesTheOther)
{
    TObjList a, b;
    for (const char *n : {"1", "2"}) {
        auto r = std::make_unique<TChtRoute>();
        r->Name = n;
        a.Add(std::move(r));
    }
    for (const char *n : {"3", "4", "5"}) {
        auto r = std::make_unique<TChtRoute>();
        r->Name = n;
        b.Add(std::move(r));
    }
    a.TakeAll(b);
    EXPECT_TRUE(b.Empty());
    std::string order;
    for (const auto &o : a)
        order += o->Name;
    EXPECT_EQ(order, "12543");
}

TEST(ChtTrack, ReplayDrawsUpToTheTimeLimit)
{
    // Points at 10:00, 10:10 and 10:20; a limit of 10:15 draws the first segment and half of
    // the second.
    TRecordingSurface s(600, 300);
    s.Escala.SetView(0, 0, 60);
    TChtTrack t;
    const double day = EncodeDate(2024, 5, 1);
    t.AddPoint("", 0, 0, day + EncodeTime(10, 0, 0, 0));
    t.AddPoint("", 0, -2, day + EncodeTime(10, 10, 0, 0));
    t.AddPoint("", 2, -2, day + EncodeTime(10, 20, 0, 0));
    t.TimeLimit = day + EncodeTime(10, 15, 0, 0);
    t.Draw(s, true);
    std::vector<test::TDrawnLine> drawn;
    for (const auto &l : s.Lines)
        if (l.Colour == t.Color)
            drawn.push_back(l);
    ASSERT_EQ(drawn.size(), 2u);
    const auto &p = t.Points;
    EXPECT_EQ(drawn[0].X1, p[0].X);
    EXPECT_EQ(drawn[0].X2, p[1].X);
    EXPECT_EQ(drawn[1].X2, p[1].X);
    EXPECT_EQ(drawn[1].Y2, p[1].Y + (p[2].Y - p[1].Y) / 2);
}

TEST(ChtTrack, ReplayErasesOnScreenButNeverOnPaper)
{
    // Drawn up to 10:15, then replayed back to 10:05: the screen erases the part drawn since in
    // the sea colour; a page has nothing to erase.
    for (const bool printing : {false, true}) {
        SCOPED_TRACE(printing ? "printer" : "screen");
        TRecordingSurface s(600, 300);
        s.Printing = printing;
        s.Escala.SetView(0, 0, 60);
        TChtTrack t;
        const double day = EncodeDate(2024, 5, 1);
        for (int i = 0; i < 4; ++i)
            t.AddPoint("", 0, -i, day + EncodeTime(10, 10 * i, 0, 0));
        t.TimeLimit = day + EncodeTime(10, 25, 0, 0);
        t.Draw(s, true);
        t.TimeLimit = day + EncodeTime(10, 5, 0, 0);
        t.Draw(s, false);
        int seaStrokes = 0;
        for (const auto &l : s.Lines)
            seaStrokes += l.Colour == s.SeaColor;
        EXPECT_EQ(seaStrokes > 0, !printing);
    }
}

TEST(ChtTrack, WithoutALimitItDrawsAsARoute)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(0, 0, 60);
    TChtTrack t;
    t.AddPoint("", 0, 0, 1);
    t.AddPoint("", 1, 1, 2);
    t.Draw(s, true);
    ASSERT_EQ(s.Polylines.size(), 1u);
    EXPECT_EQ(s.Polylines[0].size(), 2u);
    t.Visible = false;
    s.Polylines.clear();
    t.Draw(s, true);
    EXPECT_TRUE(s.Polylines.empty());
}

TEST(ChtPolygon, PrinterColoursAndNoFill)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(0, 0, 60);
    TChtPolygon p;
    p.AddPoint("", 1, 1, 0);
    p.AddPoint("", 1, -1, 0);
    p.AddPoint("", -1, 0, 0);
    p.Draw(s, true);
    s.Printing = true;
    p.Draw(s, true);
    p.ParseAttribute("BrushStyle=0");
    s.Printing = false;
    p.Draw(s, true);
    ASSERT_EQ(s.Polygons.size(), 3u);
    EXPECT_EQ(s.PolygonFills[0], kClOlive);
    EXPECT_EQ(s.PolygonPens[0], kClYellow);
    EXPECT_EQ(s.PolygonFills[1], kClWhite);
    EXPECT_EQ(s.PolygonPens[1], kClGreen);
    EXPECT_EQ(s.PolygonFills[2], 0xFFFFFFFFu);
    // Outside the view nothing is drawn.
    s.Escala.SetView(50, 50, 1);
    p.Draw(s, true);
    EXPECT_EQ(s.Polygons.size(), 3u);
}

TEST(BoatMarker, ShapesPointAlongTheCourse)
{
    TMarcadorDePosicao m(nullptr);
    m.X = 100;
    m.Y = 100;
    m.ShowCourse = true;

    struct Case
    {
        const char *Name;
        int Shape;
        double Course;
        TScreenPoint Bow; // first point of the shape
        std::size_t Count;
    };

    const Case cases[] = {
        {"hull north: bow up", 0, 0, {100, 90}, 9},
        {"hull east: bow right", 0, 90, {110, 100}, 9},
        {"arrow south: bow down", 1, 180, {100, 110}, 7},
        {"triangle is not turned", 2, 90, {100, 106}, 3},
        {"square", 3, 45, {105, 105}, 4},
        {"unknown shape draws nothing", 7, 0, {0, 0}, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        m.Shape = c.Shape;
        m.Course = c.Course;
        const auto pts = m.ShapePoints();
        ASSERT_EQ(pts.size(), c.Count);
        if (c.Count) {
            EXPECT_EQ(pts[0], c.Bow);
        }
    }
    m.ShowCourse = false;
    m.Shape = 0;
    EXPECT_EQ(m.ShapePoints().size(), 4u); // the square without a course
}

TEST(ChtURLObject, DrawsItsIconCentredOnThePosition)
{
    TRecordingSurface s(600, 300);
    s.Escala.SetView(45, 10, 10);
    TChtURLObject mark("", "", "m", 0.1, 45, 10);
    mark.Draw(s, true);
    TChtURLObject boat("", "BOAT", "b", 0.1, 45, 12);
    boat.Draw(s, true);
    ASSERT_EQ(s.Icons.size(), 2u);
    EXPECT_EQ(s.Icons[0].Text, "HAND");
    EXPECT_EQ(s.Icons[0].X, 300);
    EXPECT_EQ(s.Icons[0].Y, 150);
    EXPECT_EQ(s.Icons[1].Text, "BOAT");
    EXPECT_EQ(mark.Distance(303, 152), 5);
}

} // namespace
} // namespace vrn
