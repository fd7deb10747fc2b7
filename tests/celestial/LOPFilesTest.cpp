#include "celestial/LOPFiles.h"

#include "celestial/Sextante.h"
#include "engine/DateTime.h"
#include "engine/VrnError.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

namespace vrn {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VRN_TEST_DATA_DIR;

std::string ReadBytes(const fs::path &p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const fs::path &p, const std::string &bytes)
{
    std::ofstream(p, std::ios::binary) << bytes;
}

// A private folder per test, removed afterwards.
class FilesTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vrn-celestial-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        FDir = pattern;
    }

    void TearDown() override
    {
        std::error_code ec;
        fs::remove_all(FDir, ec);
    }

    fs::path FDir;
};

TLOPRecord SampleLOP(const char *name, int hour, double azimuth)
{
    TLOPRecord l;
    l.ObjectName = name;
    l.GMTDay = 3;
    l.GMTMonth = 1;
    l.GMTYear = 2024;
    l.GMTHours = hour + 13 / 60.0;
    l.LocalDateTime = EncodeDate(2024, 1, 3) + (hour + 2.5 + 13 / 60.0) / 24;
    l.TimeZone = -2.5;
    l.WatchError = 30;
    l.IE = -2;
    l.DipMin = -3.0432;
    l.HInst = 26.7;
    l.APLat = 40;
    l.APLon = 10;
    l.TotalCorr = 9.2896;
    l.Decl = -22.84;
    l.GHA = 2.186;
    l.LHA = 352.186;
    l.HCalc = 26.737;
    l.Comments = "note";
    l.SDCorr = 16.265;
    l.LowerLimb = true;
    l.Intercept = 7.07;
    l.Azimuth = azimuth;
    return l;
}

std::string RecordBytes(const TLOPRecord &l)
{
    const TLOPRecordBytes b = EncodeLOPRecord(l);
    return std::string(reinterpret_cast<const char *>(b.data()), b.size());
}

// ---------------------------------------------------------------------------------------------

using LOPsFileTest = FilesTest;

TEST_F(LOPsFileTest, MissingFileGivesAnEmptyListSilently)
{
    const TLOPsFileLoad r = LoadLOPsFile(FDir);
    EXPECT_TRUE(r.LOPs.empty());
    EXPECT_TRUE(r.Message.empty());
    fs::create_directory(FDir / "LOPS.LST"); // not a file either
    EXPECT_TRUE(LoadLOPsFile(FDir).Message.empty());
}

TEST_F(LOPsFileTest, SaveAndLoadRoundTrip)
{
    const std::vector<TLOPRecord> lops = {SampleLOP("Sun", 10, 171.9), SampleLOP("Moon", 11, 95)};
    SaveLOPsFile(FDir, lops);
    EXPECT_EQ(fs::file_size(FDir / "LOPS.LST"), 838u); // two records of 419 bytes
    EXPECT_FALSE(fs::exists(FDir / "LOPS.LST.tmp"));
    const TLOPsFileLoad r = LoadLOPsFile(FDir);
    EXPECT_TRUE(r.Message.empty());
    ASSERT_EQ(r.LOPs.size(), 2u);
    EXPECT_EQ(RecordBytes(r.LOPs[0]), RecordBytes(lops[0]));
    EXPECT_EQ(RecordBytes(r.LOPs[1]), RecordBytes(lops[1]));

    SaveLOPsFile(FDir, {}); // an empty list leaves an empty file
    EXPECT_EQ(fs::file_size(FDir / "LOPS.LST"), 0u);
    EXPECT_TRUE(LoadLOPsFile(FDir).LOPs.empty());
}

TEST_F(LOPsFileTest, CorruptFilesAreResetAndKeptAside)
{
    struct Case
    {
        const char *Name;
        std::string Bytes;
    };

    const std::string good = RecordBytes(SampleLOP("Sun", 10, 171.9));
    std::string longName = good;
    longName[1] = 16;
    std::string badMonth = good;
    badMonth[21] = 13;
    std::string nan = good;
    const double q = std::numeric_limits<double>::quiet_NaN();
    std::memcpy(nan.data() + 81, &q, 8);
    std::string twentyOne;
    for (int i = 0; i < 21; ++i)
        twentyOne += good;
    const Case cases[] = {
        {"900 bytes: a truncated third record", good + good + std::string(62, '\0')},
        {"a few bytes", "abc"},
        {"21 records", twentyOne},
        {"second record with a name length of 16", good + longName},
        {"month 13", badMonth},
        {"NaN latitude", good + nan},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        fs::remove(FDir / "LOPS.LST.bad");
        WriteBytes(FDir / "LOPS.LST", c.Bytes);
        const TLOPsFileLoad r = LoadLOPsFile(FDir);
        EXPECT_EQ(r.Message, "File LOPS.LST is corrupted\n\rLOPs list reset");
        EXPECT_FALSE(r.Problem.empty());
        EXPECT_TRUE(r.LOPs.empty());
        // The file is kept aside whole, so the save at exit cannot destroy it.
        EXPECT_EQ(r.BadFile, FDir / "LOPS.LST.bad");
        EXPECT_FALSE(fs::exists(FDir / "LOPS.LST"));
        EXPECT_EQ(ReadBytes(FDir / "LOPS.LST.bad"), c.Bytes);
    }
}

TEST_F(LOPsFileTest, TwentyRecordsAreTheMostAFileHolds)
{
    std::string twenty;
    for (int i = 0; i < 20; ++i)
        twenty += RecordBytes(SampleLOP("Sun", i, i * 9.0));
    WriteBytes(FDir / "LOPS.LST", twenty);
    const TLOPsFileLoad r = LoadLOPsFile(FDir);
    EXPECT_TRUE(r.Message.empty());
    EXPECT_EQ(r.LOPs.size(), 20u);
}

TEST_F(LOPsFileTest, AFailedSaveKeepsTheOldFile)
{
    const std::vector<TLOPRecord> one = {SampleLOP("Sun", 10, 171.9)};
    SaveLOPsFile(FDir, one);
    const std::string before = ReadBytes(FDir / "LOPS.LST");
    fs::create_directory(FDir / "LOPS.LST.tmp"); // the temporary file cannot be created
    const std::vector<TLOPRecord> two = {one[0], one[0]};
    EXPECT_THROW(SaveLOPsFile(FDir, two), EVrnError);
    EXPECT_EQ(ReadBytes(FDir / "LOPS.LST"), before);
    EXPECT_THROW(SaveLOPsFile(FDir / "no such folder", two), EVrnError);
}

// ---------------------------------------------------------------------------------------------

using LOPListFileTest = FilesTest;

TEST_F(LOPListFileTest, LineFieldsAndWidths)
{
    // The fields of the ".vll" line, written by hand from the formats "%5.1f" and "%12.5f".
    EXPECT_EQ(LOPLine(SampleLOP("Sun", 12, 171.94)),
        "Sun;03/01/2024 12:13:00;03/01/2024 14:43:00; -2.5;30; -2.0; -3.0;    26.70000;    "
        "40.00000;    10.00000;  9.3;   -22.84000;     2.18600;   352.18600;    26.73700; 16.3;  "
        "7.1;171.9;1;note");
    TLOPRecord midnight = SampleLOP("Vega", 0, 5);
    midnight.GMTHours = 0;
    midnight.Selected = false;
    midnight.Comments.clear();
    const std::string line = LOPLine(midnight);
    EXPECT_TRUE(line.starts_with("Vega;03/01/2024;")) << line; // no time at exact midnight
    EXPECT_TRUE(line.ends_with(";  5.0;0;")) << line;
}

TEST_F(LOPListFileTest, DatesTravelWhateverTheUserLocale)
{
    // Written day first with "/" under any short date format, so that another locale, and
    // vrncli, read the same instant; read back with any of "/", "." and "-".
    const TLOPRecord lop = SampleLOP("Sun", 12, 171.94);
    const TDateFormat saved = ShortDateFormat();
    SetShortDateFormat({TDateOrder::MonthDayYear, '-'});
    const std::string line = LOPLine(lop);
    SetShortDateFormat(saved);
    EXPECT_TRUE(line.starts_with("Sun;03/01/2024 12:13:00;03/01/2024 14:43:00;")) << line;

    for (const char separator : {'/', '.', '-'}) {
        SCOPED_TRACE(separator);
        std::string other = line;
        for (std::size_t i = 0; i < 40; ++i)
            if (other[i] == '/')
                other[i] = separator;
        const auto back = ReadLOPLine(other);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(back->GMTDay, 3);
        EXPECT_EQ(back->GMTMonth, 1);
        EXPECT_EQ(back->GMTYear, 2024);
        EXPECT_NEAR(back->GMTHours, 12 + 13 / 60.0, 1e-9);
        EXPECT_NEAR(back->LocalDateTime, lop.LocalDateTime, 0.5 / 86400000);
    }
}

TEST_F(LOPListFileTest, SaveAndOpenRoundsAsTheFormatSays)
{
    const std::vector<TLOPRecord> lops = {SampleLOP("Sun", 10, 171.94), SampleLOP("Moon", 11, 95)};
    const fs::path file = FDir / "list.vll";
    SaveLOPListFile(file, lops);
    const std::string bytes = ReadBytes(file);
    EXPECT_TRUE(bytes.starts_with(std::string(kLOPListHeader) + "\r\n"));
    EXPECT_TRUE(bytes.ends_with("note\r\n"));
    const TLOPListRead r = ReadLOPListFile(file);
    EXPECT_EQ(r.LinesSkipped, 0);
    ASSERT_EQ(r.LOPs.size(), 2u);
    const TLOPRecord &b = r.LOPs[0];
    EXPECT_EQ(b.ObjectName, "Sun");
    EXPECT_EQ(b.GMTDay, 3);
    EXPECT_NEAR(b.GMTHours, 10 + 13 / 60.0, 1e-9);
    EXPECT_EQ(b.TimeZone, -2.5);
    EXPECT_EQ(b.WatchError, 30);
    EXPECT_EQ(b.DipMin, -3.0); // one decimal
    EXPECT_EQ(b.TotalCorr, 9.3);
    EXPECT_EQ(b.SDCorr, 16.3);
    EXPECT_EQ(b.Intercept, 7.1);
    EXPECT_EQ(b.Azimuth, 171.9);
    EXPECT_EQ(b.GHA, 2.186); // five decimals
    EXPECT_FALSE(b.LowerLimb); // not carried by the file
    EXPECT_EQ(b.Comments, "note");
    EXPECT_TRUE(b.Selected);
}

TEST_F(LOPListFileTest, SeparatorsAndLineBreaksInTextsStayInTheirLine)
{
    struct Case
    {
        const char *Name;
        std::string ObjectName;
        std::string Comments;
        std::string NameBack; // ";" and line breaks written as blanks, CR LF as one
        std::string CommentsBack;
    };

    const Case cases[] = {
        {"comment lines of the LOP editor", "Sun",
            "Sun through haze\r\nLOP transported 12.0 NM in direction 90.0 T", "Sun",
            "Sun through haze LOP transported 12.0 NM in direction 90.0 T"},
        {"separators", "Sun;Moon", "a;b;c", "Sun Moon", "a b c"},
        {"lone LF and CR", "Vega\n", "one\ntwo\rthree", "Vega ", "one two three"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TLOPRecord lop = SampleLOP("", 10, 171.9);
        lop.ObjectName = c.ObjectName;
        lop.Comments = c.Comments;
        const fs::path file = FDir / "texts.vll";
        SaveLOPListFile(file, std::vector<TLOPRecord> {lop});
        const TLOPListRead r = ReadLOPListFile(file);
        EXPECT_EQ(r.LinesSkipped, 0);
        ASSERT_EQ(r.LOPs.size(), 1u);
        EXPECT_EQ(r.LOPs[0].ObjectName, c.NameBack);
        EXPECT_EQ(r.LOPs[0].Comments, c.CommentsBack);
        EXPECT_EQ(r.LOPs[0].Azimuth, 171.9);
    }
}

TEST_F(LOPListFileTest, BrokenLinesAreSkippedAndCounted)
{
    const TLOPListRead r = ReadLOPListFile(kData / "bad_lines.vll");
    // Kept: a good line, an 18-field line, a comment cut at ";", a bad "Selected" (ticked) and
    // an unticked LOP. Skipped: 17 fields, "12abc", "," separators, "nan", latitude 95, binary
    // junk, 31/02/2024.
    ASSERT_EQ(r.LOPs.size(), 5u);
    EXPECT_EQ(r.LinesSkipped, 7);
    EXPECT_EQ(LOPListReadMessage(r), "5 LOPs read, 7 lines skipped");
    EXPECT_EQ(r.LOPs[0].ObjectName, "Sun");
    EXPECT_EQ(r.LOPs[0].Comments, "first");
    EXPECT_EQ(r.LOPs[1].ObjectName, "Moon");
    EXPECT_TRUE(r.LOPs[1].Selected);
    EXPECT_TRUE(r.LOPs[1].Comments.empty());
    EXPECT_EQ(r.LOPs[2].Comments, "a");
    EXPECT_TRUE(r.LOPs[3].Selected);
    EXPECT_FALSE(r.LOPs[4].Selected);

    const TLOPListRead header = ReadLOPListFile(kData / "header_only.vll");
    EXPECT_TRUE(header.LOPs.empty());
    EXPECT_EQ(header.LinesSkipped, 0);
    EXPECT_TRUE(LOPListReadMessage(header).empty());

    EXPECT_THROW(ReadLOPListFile(FDir / "missing.vll"), EVrnError);
    EXPECT_THROW(ReadLOPListFile(FDir), EVrnError); // a folder
}

TEST_F(LOPListFileTest, HostileLines)
{
    const std::string good = LOPLine(SampleLOP("Sun", 10, 171.94));
    const std::string cases[] = {
        "",
        ";",
        std::string(100000, ';'),
        good.substr(0, good.size() / 2),
        "Sun;03/01/2024 10:13:00;03/01/2024;inf;0;0;0;0;0;0;0;0;0;0;0;0;0;0",
        "Sun;03/01/2024 10:13:00;03/01/2024;1e400;0;0;0;0;0;0;0;0;0;0;0;0;0;0",
        "Sun;03/01/2024 10:13:00;03/01/2024;0;99999999999;0;0;0;0;0;0;0;0;0;0;0;0;0",
        "Sun;03/01/2024 10:13:00;03/01/2024;0;0;0;0;0;0;-180.5;0;0;0;0;0;0;0;0",
        "Sun;03/01/2024 25:13:00;03/01/2024;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0",
        "Sun;0x10;03/01/2024;0;0;0;0;0;0;0;0;0;0;0;0;0;0;0",
    };
    for (const auto &line : cases) {
        SCOPED_TRACE(line.substr(0, 60));
        EXPECT_FALSE(ReadLOPLine(line).has_value());
    }
    // A name longer than fifteen characters and a huge comment are cut, not refused.
    const std::string longer =
        "A very long body name;" + good.substr(good.find(';') + 1) + std::string(400, 'c');
    const auto lop = ReadLOPLine(longer);
    ASSERT_TRUE(lop.has_value());
    EXPECT_EQ(lop->ObjectName, "A very long bod");
    EXPECT_EQ(lop->Comments.size(), 255u);
}

TEST_F(LOPListFileTest, SaveRefusals)
{
    const fs::path file = FDir / "list.vll";
    try {
        SaveLOPListFile(file, {});
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "No LOPs to save");
    }
    WriteBytes(file, "old contents");
    std::vector<TLOPRecord> lops = {SampleLOP("Sun", 10, 1), SampleLOP("Moon", 11, 2)};
    lops[1].LocalDateTime = std::numeric_limits<double>::quiet_NaN();
    try {
        SaveLOPListFile(file, lops);
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Error saving LOP #2 (Moon)");
    }
    EXPECT_EQ(ReadBytes(file), "old contents");
}

TEST_F(LOPListFileTest, MoreThanTwentyLOPsStopAtTwenty)
{
    std::vector<TLOPRecord> many;
    for (int i = 0; i < 23; ++i)
        many.push_back(SampleLOP("Sun", i % 24, i * 7.0));
    const fs::path file = FDir / "many.vll";
    SaveLOPListFile(file, many);
    const TLOPListRead r = ReadLOPListFile(file);
    ASSERT_EQ(r.LOPs.size(), 23u);
    TLOPList list;
    try {
        list.AddLOPs(r.LOPs);
        ADD_FAILURE() << "no error";
    } catch (const EVrnError &e) {
        EXPECT_EQ(std::string(e.what()), "Too many LOPs. Max=20");
    }
    EXPECT_EQ(list.LOPCount(), 20);
    EXPECT_EQ(list.LOPs()[19].Azimuth, 19 * 7.0);
}

TEST_F(LOPListFileTest, AppendKeepsEveryLineAlreadyThere)
{
    const fs::path file = FDir / "append.vll";
    AppendToLOPListFile(file, SampleLOP("Sun", 10, 1));
    EXPECT_EQ(ReadBytes(file),
        std::string(kLOPListHeader) + "\r\n" + LOPLine(SampleLOP("Sun", 10, 1)) + "\r\n");

    // An existing file with a stray line and no final line break keeps both.
    const std::string old = std::string(kLOPListHeader) + "\r\n" + "a continuation line";
    WriteBytes(file, old);
    AppendToLOPListFile(file, SampleLOP("Moon", 11, 2));
    EXPECT_EQ(ReadBytes(file), old + "\r\n" + LOPLine(SampleLOP("Moon", 11, 2)) + "\r\n");

    std::vector<TLOPRecord> twenty(20, SampleLOP("Sun", 10, 1));
    SaveLOPListFile(file, twenty);
    const std::string full = ReadBytes(file);
    EXPECT_THROW(AppendToLOPListFile(file, SampleLOP("Moon", 11, 2)), EVrnError);
    EXPECT_EQ(ReadBytes(file), full);
}

TEST(LOPListFileName, DefaultName)
{
    EXPECT_EQ(DefaultLOPListFileName(EncodeDate(2024, 1, 3) + 0.7), "2024-01-03.vll");
    EXPECT_EQ(DefaultLOPListFileName(EncodeDate(987, 12, 31)), "0987-12-31.vll");
}

// ---------------------------------------------------------------------------------------------

using SextantFileTest = FilesTest;

TEST_F(SextantFileTest, ReadTables)
{
    struct Case
    {
        const char *File;
        std::vector<TSextantCalibrationPair> Expected;
        int Problems;
    };

    const std::vector<TSextantCalibrationPair> kept = {{45, 9}};
    const Case cases[] = {
        {"sextant_no3.sxt", {{20, 0.5}, {60, -0.5}, {90, -1.25}}, 0},
        {"missing_key.sxt", {{10, 1}}, 0}, // P1 missing: reading stops
        {"garbage_value.sxt", {{10, 1}}, 1}, // P1 "abc|1": stops with a problem
        {"lower_case_lf.sxt", {{15, 0.1}, {40, 0.2}}, 0}, // sorted after reading
        {"empty_table.sxt", kept, 1}, // no pair: the table is kept and it says so
        {"nan_first.sxt", kept, 2},
        {"binary_junk.sxt", kept, 1},
        {"does_not_exist.sxt", kept, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.File);
        TVrnSextant s;
        s.CalibrationTable.SetPairs(kept);
        const TCalibrationLoadResult r = s.LoadCalibrationTable(kData / c.File);
        const auto &pairs = s.CalibrationTable.Pairs();
        ASSERT_EQ(pairs.size(), c.Expected.size());
        for (std::size_t i = 0; i < pairs.size(); ++i) {
            EXPECT_EQ(pairs[i].Angle, c.Expected[i].Angle);
            EXPECT_EQ(pairs[i].Error, c.Expected[i].Error);
        }
        EXPECT_EQ(static_cast<int>(r.Problems.size()), c.Problems);
    }
}

TEST_F(SextantFileTest, SaveReplacesTheTableAndKeepsTheRestOfTheFile)
{
    // A file that held five pairs and another section; three pairs are saved into it.
    const fs::path file = FDir / "t.sxt";
    WriteBytes(file,
        "[Sextant]\r\nName=No. 3\r\n\r\n[CalibrationTable]\r\nP0=1|1\r\nP1=2|2\r\nP2=3|3\r\n"
        "P3=4|4\r\nP4=5|5\r\nP5=\r\n");
    TVrnSextant s;
    s.CalibrationTable.SetPairs({{60, -0.5}, {20, 0.5}, {90.25, -1.125}});
    s.SaveCalibrationTable(file);
    // General number format: shortest form, "." decimals; P3 is emptied and the stale P4 stays.
    EXPECT_EQ(ReadBytes(file),
        "[Sextant]\r\nName=No. 3\r\n\r\n[CalibrationTable]\r\nP0=20|0.5\r\nP1=60|-0.5\r\n"
        "P2=90.25|-1.125\r\nP3=\r\nP4=5|5\r\nP5=\r\n");
    TVrnSextant back;
    EXPECT_TRUE(back.LoadCalibrationTable(file).Problems.empty());
    EXPECT_EQ(back.CalibrationTable.Count(), 3);

    const fs::path fresh = FDir / "new.sxt";
    s.SaveCalibrationTable(fresh);
    EXPECT_EQ(ReadBytes(fresh),
        "[CalibrationTable]\r\nP0=20|0.5\r\nP1=60|-0.5\r\nP2=90.25|-1.125\r\nP3=\r\n");
    EXPECT_THROW(s.SaveCalibrationTable(FDir / "no such folder" / "x.sxt"), EVrnError);
}

TEST_F(SextantFileTest, LargeTablesAreReadAndWrittenWhole)
{
    std::vector<TSextantCalibrationPair> pairs;
    for (int i = 0; i < 150; ++i)
        pairs.push_back({i * 0.8, (i % 7) * 0.1});
    TVrnSextant s;
    s.CalibrationTable.SetPairs(pairs);
    const fs::path file = FDir / "big.sxt";
    s.SaveCalibrationTable(file);
    TVrnSextant back;
    back.LoadCalibrationTable(file);
    EXPECT_EQ(back.CalibrationTable.Count(), 150);
    TSextantCalibrationTable fromText;
    fromText.LoadFromText(s.CalibrationTable.AsText());
    EXPECT_EQ(fromText.Count(), 150);
    EXPECT_EQ(fromText.Pairs()[149].Angle, 149 * 0.8);
}

TEST(CalibrationText, WriteAndRead)
{
    TSextantCalibrationTable t;
    EXPECT_EQ(t.AsText(), "P0=");
    t.SetPairs({{60, -0.5}, {20, 0.5}});
    EXPECT_EQ(t.AsText(), "P0=20|0.5\r\nP1=60|-0.5\r\nP2=");

    struct Case
    {
        const char *Name;
        const char *Text;
        int Pairs;
        int Problems;
    };

    const Case cases[] = {
        {"written text", "P0=20|0.5\r\nP1=60|-0.5\r\nP2=", 2, 0},
        {"no P1: one pair", "P0=10|1\r\nP2=30|3\r\nP3=", 1, 0},
        {"LF lines, blanks", "P0 = 10 | 1\nP1=30|3\n", 2, 0},
        {"empty", "", 0, 0},
        {"bad error", "P0=10|1\r\nP1=30|x\r\n", 1, 1},
        {"no separator", "P0=10\r\n", 0, 1},
        {"hex and nan", "P0=0x10|1\r\nP1=nan|2", 0, 1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        TSextantCalibrationTable r;
        r.SetPairs({{1, 1}, {2, 2}, {3, 3}});
        const TCalibrationLoadResult result = r.LoadFromText(c.Text);
        EXPECT_EQ(r.Count(), c.Pairs);
        EXPECT_EQ(result.PairsRead, c.Pairs);
        EXPECT_EQ(static_cast<int>(result.Problems.size()), c.Problems);
    }
}

} // namespace
} // namespace vrn
