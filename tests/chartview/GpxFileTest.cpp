// GPX exchange: a file written by hand read into routes, tracks and marks, the file written back
// and read again, bad and hostile files, a 100 MB file read in bounded memory, and gpsbabel as
// the peer that reads what we write and writes what we read.

#include "charts/GpxFile.h"

#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/VrnError.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace vrn {
namespace {

namespace fs = std::filesystem;

const std::string kDataDir = std::string(VRN_TEST_DATA_DIR) + "/chartview/gpx/";

double Utc(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

std::string Wrap(const std::string &body)
{
    return "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"test\" "
           "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
        + body + "</gpx>\n";
}

const TChtURLObject &MarkAt(const TGpxImport &g, std::size_t i)
{
    return dynamic_cast<const TChtURLObject &>(*g.Marks[i]);
}

class TTempDir
{
public:
    TTempDir()
    {
        char pattern[] = "/tmp/vrn-gpx-XXXXXX";
        FPath = ::mkdtemp(pattern);
    }

    ~TTempDir() { fs::remove_all(FPath); }

    std::string operator/(const std::string &name) const { return (FPath / name).string(); }

private:
    fs::path FPath;
};

TEST(GpxFile, HandWrittenFileGivesRoutesTracksAndMarks)
{
    const TGpxImport g = ReadGpxFile(kDataDir + "handwritten.gpx");
    EXPECT_TRUE(g.Messages.empty()) << g.Messages.front();

    // Values typed into the file; GPX longitudes are east positive, ours west positive.
    ASSERT_EQ(g.Marks.Count(), 2u);
    EXPECT_EQ(MarkAt(g, 0).Name, "Ponta Delgada");
    EXPECT_DOUBLE_EQ(MarkAt(g, 0).Lat, 37.7412);
    EXPECT_DOUBLE_EQ(MarkAt(g, 0).Lon, 25.6756);
    EXPECT_EQ(MarkAt(g, 0).URL, "https://example.org/ponta-delgada");
    // "Anchor" is no icon of ours: the default hand; "sailboat" is the SAILBOAT icon.
    EXPECT_EQ(MarkAt(g, 0).BitmapName, "HAND");
    EXPECT_EQ(MarkAt(g, 1).BitmapName, "SAILBOAT");

    ASSERT_EQ(g.Routes.Count(), 1u);
    const TChtRoute &route = *g.Routes[0];
    EXPECT_EQ(route.Name, "Sao Miguel - Faial");
    ASSERT_EQ(route.Points.size(), 3u);
    EXPECT_EQ(route.Points[0].Name, "Start");
    EXPECT_DOUBLE_EQ(route.Points[1].Lon, 27.2);
    EXPECT_EQ(route.Points[2].Time, 0); // routes carry no times
    EXPECT_DOUBLE_EQ(route.LatMax, 38.5336);
    EXPECT_DOUBLE_EQ(route.LonMin, 25.6756);

    // Two segments: two tracks, the second named after the first.
    ASSERT_EQ(g.Tracks.Count(), 2u);
    const TChtTrack &a = *g.Tracks[0];
    const TChtTrack &b = *g.Tracks[1];
    EXPECT_EQ(a.Name, "Log");
    EXPECT_EQ(b.Name, "Log (2)");
    ASSERT_EQ(a.Points.size(), 2u);
    ASSERT_EQ(b.Points.size(), 3u);
    EXPECT_EQ(a.Points[1].Name, "Reef 1");
    EXPECT_DOUBLE_EQ(a.Points[0].Time, Utc(2024, 6, 21, 4, 29, 47));
    EXPECT_NEAR(b.Points[0].Time, Utc(2024, 6, 21, 12, 0, 0, 250), 1e-9);
    // 14:30 at UTC+2 is 12:30 UTC; a time without a zone is UTC.
    EXPECT_NEAR(b.Points[1].Time, Utc(2024, 6, 21, 12, 30, 0), 1e-9);
    EXPECT_NEAR(b.Points[2].Time, Utc(2024, 6, 21, 13, 0, 0), 1e-9);
    // East of Greenwich is negative here.
    EXPECT_DOUBLE_EQ(b.Points[2].Lon, -0.5);
    EXPECT_EQ(b.LastDrawn, 2);
    EXPECT_EQ(g.PointCount(), 2u + 3u + 5u);
}

// The objects of two imports agree point for point, times included.
void ExpectSameObjects(const TGpxImport &x, const TGpxImport &y)
{
    ASSERT_EQ(x.Marks.Count(), y.Marks.Count());
    for (std::size_t i = 0; i < x.Marks.Count(); ++i) {
        EXPECT_EQ(MarkAt(x, i).Name, MarkAt(y, i).Name);
        EXPECT_EQ(MarkAt(x, i).Lat, MarkAt(y, i).Lat);
        EXPECT_EQ(MarkAt(x, i).Lon, MarkAt(y, i).Lon);
        EXPECT_EQ(MarkAt(x, i).URL, MarkAt(y, i).URL);
        EXPECT_EQ(MarkAt(x, i).BitmapName, MarkAt(y, i).BitmapName);
    }
    auto samePoints = [](const TChtRoute &r, const TChtRoute &s) {
        EXPECT_EQ(r.Name, s.Name);
        ASSERT_EQ(r.Points.size(), s.Points.size());
        for (std::size_t i = 0; i < r.Points.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(r.Points[i].Lat, s.Points[i].Lat);
            EXPECT_EQ(r.Points[i].Lon, s.Points[i].Lon);
            EXPECT_EQ(r.Points[i].Name, s.Points[i].Name);
            // Times are kept to the millisecond.
            EXPECT_NEAR(r.Points[i].Time, s.Points[i].Time, 0.5e-3 / 86400);
        }
    };
    ASSERT_EQ(x.Routes.Count(), y.Routes.Count());
    for (std::size_t i = 0; i < x.Routes.Count(); ++i)
        samePoints(*x.Routes[i], *y.Routes[i]);
    ASSERT_EQ(x.Tracks.Count(), y.Tracks.Count());
    for (std::size_t i = 0; i < x.Tracks.Count(); ++i)
        samePoints(*x.Tracks[i], *y.Tracks[i]);
}

TGpxExport ExportOf(const TGpxImport &g)
{
    TGpxExport what;
    for (const auto &m : g.Marks)
        what.Marks.push_back(dynamic_cast<const TChtURLObject *>(m.get()));
    for (const auto &r : g.Routes)
        what.Routes.push_back(r.get());
    for (const auto &t : g.Tracks)
        what.Tracks.push_back(t.get());
    return what;
}

TEST(GpxFile, WrittenFileReadsBackTheSame)
{
    const TGpxImport first = ReadGpxFile(kDataDir + "handwritten.gpx");
    const std::string text = GpxText(ExportOf(first));
    const TGpxImport second = ReadGpxText(text, "written.gpx");
    EXPECT_TRUE(second.Messages.empty());
    ExpectSameObjects(first, second);

    // What GPX 1.1 asks of a file: its namespace, version and creator, times in UTC with "Z",
    // east-positive longitudes, waypoints before routes before tracks.
    EXPECT_NE(text.find("xmlns=\"http://www.topografix.com/GPX/1/1\""), std::string::npos);
    EXPECT_NE(text.find("version=\"1.1\""), std::string::npos);
    EXPECT_NE(text.find("creator=\"Varunel\""), std::string::npos);
    EXPECT_NE(text.find("<time>2024-06-21T04:29:47Z</time>"), std::string::npos);
    EXPECT_NE(text.find("<time>2024-06-21T12:00:00.250Z</time>"), std::string::npos);
    EXPECT_NE(text.find("<wpt lat=\"37.7412\" lon=\"-25.6756\">"), std::string::npos);
    EXPECT_NE(text.find("<trkpt lat=\"38.2\" lon=\"0.5\">"), std::string::npos);
    EXPECT_LT(text.find("<wpt"), text.find("<rte>"));
    EXPECT_LT(text.find("<rte>"), text.find("<trk>"));
}

TEST(GpxFile, WrittenLongitudesAreEastPositiveWithinHalfACircle)
{
    struct TCase
    {
        double LonWest;
        const char *Written;
    };

    // GPX's longitudeType runs from -180 (included) to 180 (excluded).
    const TCase cases[] = {
        {0.0, "lon=\"0\""},
        {-0.0, "lon=\"0\""},
        {25.5, "lon=\"-25.5\""},
        {-151.25, "lon=\"151.25\""},
        {180.0, "lon=\"-180\""},
        {-180.0, "lon=\"-180\""},
        {190.0, "lon=\"170\""}, // 10° beyond the antimeridian, as routes may run
        {1e-10, "lon=\"0\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.LonWest);
        TChtRoute route;
        route.AddPoint("", 10, c.LonWest, 0);
        const std::string text = GpxText(GpxExportOf(route));
        EXPECT_NE(text.find(c.Written), std::string::npos) << text;
    }
}

TEST(GpxFile, PointsWithoutAUsablePositionAreLeftOutWithTheirLine)
{
    struct TCase
    {
        const char *Name;
        const char *Point; // on line 3 of the file
        const char *Message;
    };

    const TCase cases[] = {
        {"no lat", "<wpt lon=\"1\"/>", "waypoint without a latitude left out"},
        {"no lon", "<wpt lat=\"1\"/>", "waypoint without a longitude left out"},
        {"latitude beyond the pole", "<wpt lat=\"95\" lon=\"1\"/>",
            "waypoint with an invalid latitude \"95\" left out"},
        {"longitude beyond 180", "<wpt lat=\"1\" lon=\"-180.5\"/>",
            "waypoint with an invalid longitude \"-180.5\" left out"},
        {"not a number", "<wpt lat=\"nan\" lon=\"1\"/>",
            "waypoint with an invalid latitude \"nan\" left out"},
        {"trailing junk", "<wpt lat=\"12abc\" lon=\"1\"/>",
            "waypoint with an invalid latitude \"12abc\" left out"},
        {"a comma", "<wpt lat=\"12,5\" lon=\"1\"/>",
            "waypoint with an invalid latitude \"12,5\" left out"},
        {"empty", "<wpt lat=\"\" lon=\"1\"/>", "waypoint with an invalid latitude \"\" left out"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TGpxImport g = ReadGpxText(
            Wrap(std::string(c.Point) + "\n<wpt lat=\"2\" lon=\"3\"><name>kept</name></wpt>\n"),
            "bad.gpx");
        ASSERT_EQ(g.Marks.Count(), 1u);
        EXPECT_EQ(MarkAt(g, 0).Name, "kept");
        ASSERT_EQ(g.Messages.size(), 1u);
        EXPECT_EQ(g.Messages[0], std::string("bad.gpx, line 3: ") + c.Message);
    }
}

TEST(GpxFile, EmptyRoutesAndTracksAreReportedAndLeftOut)
{
    const TGpxImport g = ReadGpxText(Wrap("<rte><name>Nothing</name></rte>\n"
                                          "<trk><name>Nor this</name><trkseg/></trk>\n"
                                          "<rte><rtept lat=\"100\" lon=\"0\"/></rte>\n"),
        "empty.gpx");
    EXPECT_TRUE(g.Empty());
    ASSERT_EQ(g.Messages.size(), 4u);
    EXPECT_EQ(g.Messages[0], "empty.gpx, line 3: route \"Nothing\" has no points, left out");
    EXPECT_EQ(g.Messages[1], "empty.gpx, line 4: track \"Nor this\" has no points, left out");
    EXPECT_EQ(
        g.Messages[2], "empty.gpx, line 5: route point with an invalid latitude \"100\" left out");
    EXPECT_EQ(g.Messages[3], "empty.gpx, line 5: route \"\" has no points, left out");
}

TEST(GpxFile, UnreadableTimesAreDroppedButThePointKept)
{
    struct TCase
    {
        const char *Time;
        std::optional<double> Value;
    };

    // xsd:dateTime, as GPX writes it.
    const TCase cases[] = {
        {"2024-06-21T04:29:47Z", Utc(2024, 6, 21, 4, 29, 47)},
        {"2024-06-21T04:29:47.123456Z", Utc(2024, 6, 21, 4, 29, 47, 123) + 0.456e-3 / 86400},
        {"2024-06-21T00:30:00-01:30", Utc(2024, 6, 21, 2, 0, 0)},
        {"2024-12-31T23:00:00-02:00", Utc(2025, 1, 1, 1, 0, 0)},
        {"2024-06-21T24:00:00Z", Utc(2024, 6, 22, 0, 0, 0)},
        {"2024-02-30T04:29:47Z", std::nullopt},
        {"21/06/2024 04:29:47", std::nullopt},
        {"2024-06-21T04:29:47+2:00", std::nullopt},
        {"2024-06-21T04:29:47Zjunk", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Time);
        const TGpxImport g =
            ReadGpxText(Wrap(std::string("<trk><trkseg><trkpt lat=\"1\" lon=\"2\"><time>") + c.Time
                            + "</time></trkpt></trkseg></trk>\n"),
                "t.gpx");
        ASSERT_EQ(g.Tracks.Count(), 1u);
        const double time = g.Tracks[0]->Points.at(0).Time;
        if (c.Value) {
            EXPECT_NEAR(time, *c.Value, 1e-9);
            EXPECT_TRUE(g.Messages.empty());
        } else {
            EXPECT_EQ(time, 0);
            ASSERT_EQ(g.Messages.size(), 1u);
            EXPECT_EQ(g.Messages[0],
                "t.gpx, line 3: time \"" + std::string(c.Time)
                    + "\" not understood, point kept without it");
        }
    }
}

TEST(GpxFile, BrokenFilesImportNothing)
{
    struct TCase
    {
        const char *Name;
        std::string Text;
        const char *Message;
    };

    const std::string head = "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" "
                             "xmlns=\"http://www.topografix.com/GPX/1/1\">\n";
    const TCase cases[] = {
        // The fault shows where the reader meets it: at the end tag that does not match.
        {"a tag not closed", head + "<wpt lat=\"1\" lon=\"2\"><name>A</name>\n</gpx>\n",
            "broken.gpx, line 4: Opening and ending tag mismatch. (nothing imported)"},
        {"cut short", head + "<wpt lat=\"1\" lon=\"2\"/>\n<rte><rtept lat=\"1\"",
            "broken.gpx, line 4: Premature end of document. (nothing imported)"},
        {"not XML", "lat,lon\n1,2\n", "broken.gpx, line 1: Start tag expected. (nothing imported)"},
        {"empty", "", "broken.gpx, line 1: Premature end of document. (nothing imported)"},
        {"another format", "<?xml version=\"1.0\"?>\n<kml><Placemark/></kml>\n",
            "broken.gpx is not a GPX file"},
        {"entities that expand without end",
            "<?xml version=\"1.0\"?>\n<!DOCTYPE gpx [\n<!ENTITY a "
            "\"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa\">\n"
            "<!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n"
            "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
            "<!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n]>\n"
                + std::string("<gpx version=\"1.1\"><wpt lat=\"1\" lon=\"2\"><name>&d;</name></wpt>"
                              "</gpx>\n"),
            "broken.gpx, line 8: Entity expands to more characters than the entity expansion "
            "limit. (nothing imported)"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        try {
            const TGpxImport g = ReadGpxText(c.Text, "broken.gpx");
            ADD_FAILURE() << "read " << g.PointCount() << " points";
        } catch (const EVrnError &e) {
            EXPECT_STREQ(e.what(), c.Message);
        }
    }
    EXPECT_THROW(ReadGpxFile(kDataDir + "no-such-file.gpx"), EVrnError);
    EXPECT_THROW(ReadGpxFile(kDataDir), EVrnError); // a folder
}

TEST(GpxFile, NamesAndLinksFitADesktopLine)
{
    const std::string longName(200, 'n');
    const std::string longLink = "https://example.org/" + std::string(200, 'x');
    const TGpxImport g = ReadGpxText(Wrap("<wpt lat=\"1\" lon=\"2\"><name>A;B\n C " + longName
                                         + "</name><link href=\"" + longLink
                                         + "\"/></wpt>\n"
                                           "<wpt lat=\"1\" lon=\"2\"><name>\xCE\xB1 &amp; "
                                           "<![CDATA[x]]></name></wpt>\n"),
        "names.gpx");
    ASSERT_EQ(g.Marks.Count(), 2u);
    // ";" would split a desktop line, a line break end it; 80 characters at most.
    EXPECT_EQ(MarkAt(g, 0).Name.substr(0, 6), "A,B  C");
    EXPECT_EQ(MarkAt(g, 0).Name.size(), 80u);
    EXPECT_EQ(MarkAt(g, 0).URL, "");
    ASSERT_EQ(g.Messages.size(), 1u);
    EXPECT_EQ(g.Messages[0].substr(0, 23), "names.gpx, line 3: link");
    // A desktop is Windows-1252: a Greek letter cannot be kept.
    EXPECT_EQ(MarkAt(g, 1).Name, "? & x");
}

TEST(GpxFile, MessagesStopAfterTheLimit)
{
    std::string body;
    for (std::size_t i = 0; i < kMaxGpxMessages + 7; ++i)
        body += "<wpt lat=\"91\" lon=\"0\"/>\n";
    const TGpxImport g = ReadGpxText(Wrap(body), "many.gpx");
    ASSERT_EQ(g.Messages.size(), kMaxGpxMessages + 1);
    EXPECT_EQ(g.Messages.back(), "many.gpx: 7 more problems not listed");
}

TEST(GpxFile, AddedObjectsTakeFreeNamesAndMarkTheDeskChanged)
{
    TChartDesk desk;
    auto *old = desk.Routes.Add(std::make_unique<TChtRoute>());
    old->Name = "Route1";
    TGpxImport g = ReadGpxText(Wrap("<rte><rtept lat=\"1\" lon=\"-2\"/><rtept lat=\"3\" "
                                    "lon=\"4\"/></rte>\n<trk><trkseg><trkpt lat=\"-5\" "
                                    "lon=\"6\"/></trkseg></trk>\n<wpt lat=\"7\" lon=\"8\"/>\n"),
        "a.gpx");
    const TGpxAdded added = AddGpxToDesk(desk, g);
    EXPECT_TRUE(g.Empty());
    EXPECT_EQ(added.Routes, 1u);
    EXPECT_EQ(added.Tracks, 1u);
    EXPECT_EQ(added.Marks, 1u);
    EXPECT_EQ(added.Points, 4u);
    ASSERT_EQ(desk.Routes.Count(), 2u);
    EXPECT_EQ(desk.Routes[1]->Name, "Route2");
    EXPECT_EQ(desk.Tracks[0]->Name, "Track1");
    EXPECT_TRUE(desk.RoutesModified);
    EXPECT_TRUE(desk.TracksModified);
    EXPECT_TRUE(desk.OtherObjectsModified);
    EXPECT_TRUE(desk.IsModified());
    // The box of what came in, longitudes west positive.
    EXPECT_EQ(added.LatMin, -5);
    EXPECT_EQ(added.LatMax, 7);
    EXPECT_EQ(added.LonMin, -8);
    EXPECT_EQ(added.LonMax, 2);
    EXPECT_EQ(GpxSummaryText(1, 2, 3, 4), "1 route, 2 tracks, 3 marks (4 points)");
    EXPECT_EQ(GpxSummaryText(0, 1, 0, 1), "1 track (1 point)");
    EXPECT_EQ(GpxSummaryText(0, 0, 0, 0), "nothing");
}

long PeakMemoryKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return -1;
}

TEST(GpxFile, HundredMegabyteFileIsReadInBoundedMemory)
{
    TTempDir dir;
    const std::string file = dir / "big.gpx";
    // 100 MB of a plotter's log: 40,000 points, each with a long block of its own extensions.
    constexpr int kPoints = 40000;
    {
        std::ofstream out(file, std::ios::binary);
        out << "<?xml version=\"1.0\"?>\n<gpx version=\"1.1\" creator=\"plotter\" "
               "xmlns=\"http://www.topografix.com/GPX/1/1\" xmlns:p=\"urn:plotter\">\n"
               "<trk><name>Long log</name><trkseg>\n";
        const std::string padding(2500, 'x');
        for (int i = 0; i < kPoints; ++i)
            out << "<trkpt lat=\"" << FormatFixed(40 + i * 1e-4, 6) << "\" lon=\"-9\"><time>"
                << "2024-06-21T04:29:47Z</time><extensions><p:raw>" << padding
                << "</p:raw></extensions></trkpt>\n";
        out << "</trkseg></trk></gpx>\n";
    }
    const auto size = fs::file_size(file);
    ASSERT_GT(size, 100'000'000u);

    const long before = PeakMemoryKb();
    std::vector<std::uint64_t> reports;
    const TGpxImport g = ReadGpxFile(file, [&](std::uint64_t done, std::uint64_t total) {
        EXPECT_EQ(total, size);
        reports.push_back(done);
        return true;
    });
    const long after = PeakMemoryKb();
    ASSERT_EQ(g.Tracks.Count(), 1u);
    EXPECT_EQ(g.Tracks[0]->Points.size(), static_cast<std::size_t>(kPoints));
    EXPECT_NEAR(g.Tracks[0]->Points.back().Lat, 40 + (kPoints - 1) * 1e-4, 1e-9);
    // The points take a few megabytes; reading the file whole would take more than its size.
    EXPECT_LT(after - before, 40 * 1024) << "peak memory grew by " << (after - before) << " kB";
    // Progress goes forward to the end.
    ASSERT_GT(reports.size(), 10u);
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_EQ(reports.back(), size);

    // Cancelled part-way: nothing.
    int calls = 0;
    EXPECT_THROW(ReadGpxFile(file, [&](std::uint64_t, std::uint64_t) { return ++calls < 3; }),
        EGpxCancelled);
    EXPECT_EQ(calls, 3);
}

TEST(GpxFile, FileIsWrittenWholeOrNotAtAll)
{
    TTempDir dir;
    const std::string file = dir / "out.gpx";
    std::ofstream(file) << "old";
    TChtRoute route;
    route.AddPoint("A", 1, 2, 0);
    EXPECT_THROW(WriteGpxFile(dir / "no-folder/out.gpx", GpxExportOf(route)), EVrnError);
    WriteGpxFile(file, GpxExportOf(route));
    const TGpxImport g = ReadGpxFile(file);
    ASSERT_EQ(g.Routes.Count(), 1u);
    EXPECT_EQ(g.Routes[0]->Points[0].Name, "A");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

// ---- gpsbabel, the peer

std::string ReadText(const std::string &file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool HaveGpsbabel()
{
    return std::system("gpsbabel -V > /dev/null 2>&1") == 0;
}

struct TPeerRun
{
    int Status = -1;
    std::string Out;
    std::string Err;
};

TPeerRun Gpsbabel(const TTempDir &dir, const std::string &arguments)
{
    const std::string out = dir / "peer.out";
    const std::string err = dir / "peer.err";
    TPeerRun run;
    run.Status = std::system(("gpsbabel " + arguments + " > " + out + " 2> " + err).c_str());
    run.Out = ReadText(out);
    run.Err = ReadText(err);
    return run;
}

// The rows of a unicsv file, split at commas outside quotes, quotes removed.
std::vector<std::vector<std::string>> CsvRows(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::vector<std::string> cells(1);
        bool quoted = false;
        for (char c : line) {
            if (c == '"')
                quoted = !quoted;
            else if (c == ',' && !quoted)
                cells.emplace_back();
            else
                cells.back() += c;
        }
        rows.push_back(cells);
    }
    return rows;
}

std::string CsvCell(
    const std::vector<std::vector<std::string>> &rows, std::size_t row, const std::string &column)
{
    const auto &head = rows.at(0);
    for (std::size_t i = 0; i < head.size(); ++i)
        if (head[i] == column)
            return i < rows.at(row).size() ? rows[row][i] : std::string();
    return "<no column " + column + ">";
}

TEST(GpxPeer, GpsbabelReadsWhatWeWriteWithoutAWarning)
{
    if (!HaveGpsbabel())
        GTEST_SKIP() << "gpsbabel is not installed (tools/install-deps.sh installs it)";
    TTempDir dir;
    TChartDesk desk;
    auto *route = desk.Routes.Add(std::make_unique<TChtRoute>());
    route->Name = "Passage";
    route->AddPoint("Start & end", 37.5, 25.25, 0);
    route->AddPoint("", -33.85, -151.25, 0);
    auto *track = desk.Tracks.Add(std::make_unique<TChtTrack>());
    track->Name = "Log";
    track->AddPoint("", 37.5, 25.25, Utc(2024, 6, 21, 4, 29, 47));
    track->AddPoint("Reef", 37.6, 25.5, Utc(2024, 6, 21, 5, 0, 0, 500));
    track->AddPoint("", 37.7, 179.5, Utc(2024, 6, 21, 6, 0, 0));
    desk.OtherObjects.Add(std::make_unique<TChtURLObject>(
        "https://example.org/a?b=1&c=2", "BOAT", "Marina <north>", 0.1, 38.5, 28.6));
    const std::string ours = dir / "ours.gpx";
    WriteGpxFile(ours, GpxExportOfDesk(desk));

    // unicsv writes one kind at a time: waypoints, routes, tracks. Its coordinates have six
    // decimals and east-positive longitudes; utc=0 writes the times in UTC.
    const TPeerRun w = Gpsbabel(dir, "-w -i gpx -f " + ours + " -o unicsv,utc=0 -F -");
    ASSERT_EQ(w.Status, 0) << w.Err;
    EXPECT_EQ(w.Err, "");
    const auto wr = CsvRows(w.Out);
    ASSERT_EQ(wr.size(), 2u) << w.Out;
    EXPECT_EQ(CsvCell(wr, 1, "Name"), "Marina <north>");
    EXPECT_EQ(CsvCell(wr, 1, "Latitude"), "38.500000");
    EXPECT_EQ(CsvCell(wr, 1, "Longitude"), "-28.600000");
    EXPECT_EQ(CsvCell(wr, 1, "URL"), "https://example.org/a?b=1&c=2");
    EXPECT_EQ(CsvCell(wr, 1, "Symbol"), "BOAT");

    const TPeerRun r = Gpsbabel(dir, "-r -i gpx -f " + ours + " -o unicsv,utc=0 -F -");
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(r.Err, "");
    const auto rr = CsvRows(r.Out);
    ASSERT_EQ(rr.size(), 3u) << r.Out;
    EXPECT_EQ(CsvCell(rr, 1, "Name"), "Start & end");
    EXPECT_EQ(CsvCell(rr, 1, "Longitude"), "-25.250000");
    EXPECT_EQ(CsvCell(rr, 2, "Latitude"), "-33.850000");
    EXPECT_EQ(CsvCell(rr, 2, "Longitude"), "151.250000");

    const TPeerRun t = Gpsbabel(dir, "-t -i gpx -f " + ours + " -o unicsv,utc=0 -F -");
    ASSERT_EQ(t.Status, 0) << t.Err;
    EXPECT_EQ(t.Err, "");
    const auto tr = CsvRows(t.Out);
    ASSERT_EQ(tr.size(), 4u) << t.Out;
    EXPECT_EQ(CsvCell(tr, 1, "Date"), "2024/06/21");
    EXPECT_EQ(CsvCell(tr, 1, "Time"), "04:29:47");
    EXPECT_EQ(CsvCell(tr, 2, "Time"), "05:00:00.500");
    EXPECT_EQ(CsvCell(tr, 2, "Name"), "Reef");
    EXPECT_EQ(CsvCell(tr, 3, "Longitude"), "-179.500000");

    // Its own GPX reader checks the file as strictly as it can: a round trip through it keeps
    // every point.
    const std::string back = dir / "back.gpx";
    const TPeerRun g = Gpsbabel(dir, "-w -r -t -i gpx -f " + ours + " -o gpx -F " + back);
    ASSERT_EQ(g.Status, 0) << g.Err;
    EXPECT_EQ(g.Err, "");
    const TGpxImport again = ReadGpxFile(back);
    EXPECT_EQ(again.PointCount(), 6u);
}

TEST(GpxPeer, WhatGpsbabelWritesFromItsOwnFormatsImportsIntoOurs)
{
    if (!HaveGpsbabel())
        GTEST_SKIP() << "gpsbabel is not installed (tools/install-deps.sh installs it)";
    TTempDir dir;
    const std::string csv = dir / "waypoints.csv";
    std::ofstream(csv) << "Latitude,Longitude,Name,Date,Time\n"
                          "37.5,-25.25,\"Vila Franca\",2024/06/21,04:00:00\n"
                          "-33.85,151.25,Sydney,2024/06/22,05:30:15\n";
    const std::string wpts = dir / "wpts.gpx";
    const TPeerRun a = Gpsbabel(dir, "-i unicsv,utc=0 -f " + csv + " -o gpx -F " + wpts);
    ASSERT_EQ(a.Status, 0) << a.Err;
    // gpsbabel writes GPX 1.0 here, with a time and bounds at the top: read all the same.
    const TGpxImport marks = ReadGpxFile(wpts);
    EXPECT_TRUE(marks.Messages.empty());
    ASSERT_EQ(marks.Marks.Count(), 2u);
    EXPECT_EQ(MarkAt(marks, 0).Name, "Vila Franca");
    EXPECT_DOUBLE_EQ(MarkAt(marks, 0).Lat, 37.5);
    EXPECT_DOUBLE_EQ(MarkAt(marks, 0).Lon, 25.25);
    EXPECT_DOUBLE_EQ(MarkAt(marks, 1).Lon, -151.25);

    // The same rows as a track: the times come with them.
    const std::string trk = dir / "trk.gpx";
    const TPeerRun b =
        Gpsbabel(dir, "-i unicsv,utc=0 -f " + csv + " -x transform,trk=wpt,del -o gpx -F " + trk);
    ASSERT_EQ(b.Status, 0) << b.Err;
    const TGpxImport track = ReadGpxFile(trk);
    ASSERT_EQ(track.Tracks.Count(), 1u);
    const auto &points = track.Tracks[0]->Points;
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(points[0].Time, Utc(2024, 6, 21, 4, 0, 0), 1e-9);
    EXPECT_NEAR(points[1].Time, Utc(2024, 6, 22, 5, 30, 15), 1e-9);
    EXPECT_EQ(points[1].Name, "Sydney");
    EXPECT_DOUBLE_EQ(points[1].Lat, -33.85);
}

} // namespace
} // namespace vrn
