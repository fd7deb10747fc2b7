// vrncli almanac: the pages as text and PDF, its refusals, and a check of page cells against
// vrncli ephem for the same instants.

#include "apps/vrncli/AlmanacCommand.h"

#include "apps/vrncli/EphemCommand.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vrn::cli {
namespace {

struct TRun
{
    int Status = -1;
    std::string Out;
    std::string Err;
};

TRun RunCommand(
    TCommandFn command, const std::vector<std::string> &args, const std::string &input = {})
{
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    TRun run;
    run.Status = command(args, TStreams {in, out, err});
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string Golden(const char *page)
{
    return ReadFile(std::string(VRN_TEST_DATA_DIR) + "/almanac_2024-03-30_" + page + ".expected");
}

std::vector<std::string> Lines(const std::string &text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line))
        lines.push_back(line);
    return lines;
}

class TTempDir
{
public:
    TTempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vrn-almanac-XXXXXX");
        if (mkdtemp(pattern.data()) != nullptr)
            FPath = pattern;
    }

    ~TTempDir()
    {
        std::error_code ignored;
        if (!FPath.empty())
            std::filesystem::remove_all(FPath, ignored);
    }

    TTempDir(const TTempDir &) = delete;
    TTempDir &operator=(const TTempDir &) = delete;

    const std::string &Path() const { return FPath; }

private:
    std::string FPath;
};

TEST(AlmanacCommand, WritesThePagesOfTheWindow)
{
    // The golden pages are those the window builds (reviewed against PyEphem and the layout).
    struct TCase
    {
        const char *Name;
        std::vector<std::string> Args;
        std::string Expected;
    };

    const TCase cases[] = {
        {"left", {"2024-03-30", "--page", "left"}, Golden("left")},
        {"right", {"2024-03-30", "--page", "right"}, Golden("right")},
        {"option first", {"--page", "right", "2024-03-30"}, Golden("right")},
        {"both pages, left first", {"2024-03-30"}, Golden("left") + Golden("right")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCommand(&RunAlmanac, c.Args);
        EXPECT_EQ(run.Status, kExitOk);
        EXPECT_EQ(run.Err, "");
        EXPECT_EQ(run.Out, c.Expected);
    }
}

TEST(AlmanacCommand, RefusesBadCommandLines)
{
    struct TCase
    {
        const char *Name;
        std::vector<std::string> Args;
        const char *ErrorPart;
    };

    const TCase cases[] = {
        {"impossible date", {"2026-02-30"}, "invalid date \"2026-02-30\""},
        {"no leap day in 2025", {"2025-02-29"}, "invalid date \"2025-02-29\""},
        {"month 13", {"2024-13-01"}, "invalid date"},
        {"single-digit month", {"2024-3-30"}, "invalid date"},
        {"no separators", {"20240330"}, "invalid date"},
        {"trailing junk", {"2024-03-30x"}, "invalid date"},
        {"a time as well", {"2024-03-30T12:00:00"}, "invalid date"},
        {"letters", {"abcd-ef-gh"}, "invalid date"},
        {"empty", {""}, "invalid date"},
        {"embedded NUL", {std::string("2024-03-3\0", 10)}, "invalid date"},
        {"very long", {std::string(100000, '9')}, "invalid date"},
        {"no hour before the page", {"0001-01-01"}, "Date out of range"},
        {"no third day", {"9999-12-30"}, "Date out of range"},
        {"unknown page", {"2024-03-30", "--page", "middle"}, "unknown page \"middle\""},
        {"page in capitals", {"2024-03-30", "--page", "LEFT"}, "unknown page"},
        {"page without value", {"2024-03-30", "--page"}, "option --page needs a value"},
        {"page twice", {"2024-03-30", "--page", "left", "--page", "right"}, "given twice"},
        {"unknown option", {"2024-03-30", "--month"}, "unknown option \"--month\""},
        {"no date", {"--page", "left"}, "a date is needed"},
        {"nothing", {}, "a date is needed"},
        {"two dates", {"2024-03-30", "2024-04-02"}, "unexpected argument \"2024-04-02\""},
        {"empty PDF name", {"2024-03-30", "--pdf", ""}, "--pdf needs a file name"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TRun run = RunCommand(&RunAlmanac, c.Args);
        EXPECT_EQ(run.Status, kExitBadInput);
        EXPECT_EQ(run.Out, "");
        EXPECT_NE(run.Err.find(c.ErrorPart), std::string::npos) << run.Err;
        EXPECT_EQ(run.Err.rfind("vrncli almanac: ", 0), 0u) << run.Err;
    }
}

TEST(AlmanacCommand, WarnsOutsideTheYearsOfFullAccuracy)
{
    struct TCase
    {
        const char *Date;
        bool Warns;
    };

    const TCase cases[] = {
        {"1899-12-31", true},
        {"1900-01-01", false},
        {"2100-12-29", false},
        {"2101-01-01", true},
        {"0001-01-02", true},
        {"9999-12-29", true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Date);
        const TRun run = RunCommand(&RunAlmanac, {c.Date, "--page", "left"});
        EXPECT_EQ(run.Status, kExitOk);
        EXPECT_EQ(Lines(run.Out).size(), 91u);
        const std::string year = std::string(c.Date).substr(0, 4);
        const std::string warning =
            "vrncli almanac: warning: " + FormatInt(*ParseInteger(year)) + " is outside 1900..2100";
        if (c.Warns)
            EXPECT_EQ(run.Err.rfind(warning, 0), 0u) << run.Err;
        else
            EXPECT_EQ(run.Err, "");
    }
}

// Cells of the 2024-03-30 pages and the vrncli ephem request for the same body and instant,
// formatted with the page's own rounding.
TEST(AlmanacCommand, PageCellsAgreeWithEphemAtTheSameInstants)
{
    enum class TField
    {
        GHA,
        Dec,
        HP,
        SHA, // GHA of the body minus GHA of Aries at the same instant
    };

    struct TCase
    {
        const char *Page;
        int Line; // 1-based page line
        std::size_t Column; // 0-based first character of the cell
        const char *Utc;
        const char *Body;
        TField Field;
    };

    const TCase cases[] = {
        {"left", 7, 8, "2024-03-30T00:00:00", "Aries *", TField::GHA},
        {"left", 23, 19, "2024-03-30T14:00:00", "Venus", TField::GHA},
        {"left", 23, 28, "2024-03-30T14:00:00", "Venus", TField::Dec},
        {"left", 44, 39, "2024-03-31T08:00:00", "Mars", TField::GHA},
        {"left", 44, 48, "2024-03-31T08:00:00", "Mars", TField::Dec},
        {"left", 63, 59, "2024-04-01T00:00:00", "Jupiter", TField::GHA},
        {"left", 63, 68, "2024-04-01T00:00:00", "Jupiter", TField::Dec},
        {"left", 89, 79, "2024-04-01T23:00:00", "Saturn", TField::GHA},
        {"left", 89, 88, "2024-04-01T23:00:00", "Saturn", TField::Dec},
        {"right", 21, 8, "2024-03-30T12:00:00", "Sun", TField::GHA},
        {"right", 21, 17, "2024-03-30T12:00:00", "Sun", TField::Dec},
        {"right", 28, 28, "2024-03-30T18:00:00", "Moon", TField::GHA},
        {"right", 28, 42, "2024-03-30T18:00:00", "Moon", TField::Dec},
        {"right", 28, 56, "2024-03-30T18:00:00", "Moon", TField::HP},
        {"right", 88, 28, "2024-04-01T22:00:00", "Moon", TField::GHA},
        {"right", 88, 42, "2024-04-01T22:00:00", "Moon", TField::Dec},
        {"right", 7, 75, "2024-03-31T12:00:00", "Acamar", TField::SHA},
        {"right", 7, 84, "2024-03-31T12:00:00", "Acamar", TField::Dec},
        {"right", 61, 75, "2024-03-31T12:00:00", "Polaris", TField::SHA},
        {"right", 61, 84, "2024-03-31T12:00:00", "Polaris", TField::Dec},
        {"right", 73, 75, "2024-03-31T12:00:00", "Sirius", TField::SHA},
        {"right", 73, 84, "2024-03-31T12:00:00", "Sirius", TField::Dec},
    };
    const std::vector<std::string> left =
        Lines(RunCommand(&RunAlmanac, {"2024-03-30", "--page", "left"}).Out);
    const std::vector<std::string> right =
        Lines(RunCommand(&RunAlmanac, {"2024-03-30", "--page", "right"}).Out);
    ASSERT_EQ(left.size(), 91u);
    ASSERT_EQ(right.size(), 91u);

    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Page) + " line " + std::to_string(c.Line) + " " + c.Body);
        std::string request = std::string(c.Utc) + ";" + c.Body + "\n";
        if (c.Field == TField::SHA)
            request += std::string(c.Utc) + ";Aries *\n";
        const TRun ephem = RunCommand(&RunEphem, {}, request);
        ASSERT_EQ(ephem.Status, kExitOk) << ephem.Err;
        const std::vector<std::string> answer = Lines(ephem.Out);
        ASSERT_EQ(answer.size(), c.Field == TField::SHA ? 3u : 2u);
        // utc;body;gha;dec;sd;hp;mag
        const auto field = [&](std::size_t line, std::size_t index) {
            std::istringstream fields(answer.at(line));
            std::string f;
            for (std::size_t k = 0; k <= index; ++k)
                std::getline(fields, f, ';');
            return *ParseNumber(f);
        };
        std::string expected;
        switch (c.Field) {
        case TField::GHA:
            expected = FormatAlmanacDM(field(1, 2));
            break;
        case TField::Dec:
            expected = FormatAlmanacDecl(field(1, 3));
            break;
        case TField::HP:
            expected = FormatFixed(field(1, 5), 1, 4);
            break;
        case TField::SHA:
            expected = FormatAlmanacDM(FloorMod(field(1, 2) - field(2, 2), 360));
            break;
        }
        const std::vector<std::string> &page = std::string(c.Page) == "left" ? left : right;
        EXPECT_EQ(page.at(std::size_t(c.Line - 1)).substr(c.Column, expected.size()), expected);
    }
}

// Words separated by single blanks, line ends kept.
std::string SingleBlanks(const std::string &text)
{
    std::string out;
    for (const char c : text) {
        if (c == ' ' && (out.empty() || out.back() == ' ' || out.back() == '\n'))
            continue;
        if (c == '\n' && !out.empty() && out.back() == ' ')
            out.pop_back();
        out += c;
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

bool HavePdfToText()
{
    return std::system("pdftotext -v >/dev/null 2>&1") == 0;
}

// The text of a PDF as pdftotext lays it out.
std::string PdfText(const std::string &pdf)
{
    const std::string txt = pdf + ".txt";
    const std::string command = "pdftotext -layout '" + pdf + "' '" + txt + "'";
    if (std::system(command.c_str()) != 0)
        return {};
    return ReadFile(txt);
}

TEST(AlmanacCommand, PrintsBothPagesToPdf)
{
    if (!HavePdfToText())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    TTempDir dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string pdf = dir.Path() + "/pages.pdf";
    const TRun run = RunCommand(&RunAlmanac, {"2024-03-30", "--pdf", pdf});
    ASSERT_EQ(run.Status, kExitOk) << run.Err;
    EXPECT_EQ(run.Out, "");
    const std::string text = PdfText(pdf);
    ASSERT_FALSE(text.empty());
    // Each page line in order, left page first. pdftotext rebuilds the spacing from glyph
    // positions, so runs of blanks are compared as one.
    const std::string printed = SingleBlanks(text);
    std::size_t from = 0;
    for (const std::string &line : Lines(Golden("left") + Golden("right"))) {
        const std::string words = SingleBlanks(line);
        if (words.empty())
            continue;
        const std::size_t at = printed.find(words, from);
        ASSERT_NE(at, std::string::npos) << "missing: " << line;
        from = at + words.size();
    }
    EXPECT_NE(printed.find("Varunel - https://varunel.example.org"), std::string::npos);
    EXPECT_EQ(printed.find("Varunel - ", from), printed.rfind("Varunel - "));
    // No temporary file is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(dir.Path()))
        ++files;
    EXPECT_EQ(files, 2); // the PDF and its text
}

TEST(AlmanacCommand, UnwritablePdfFailsAndLeavesNothing)
{
    TTempDir dir;
    ASSERT_FALSE(dir.Path().empty());
    const std::string pdf = dir.Path() + "/no such folder/pages.pdf";
    const TRun run = RunCommand(&RunAlmanac, {"2024-03-30", "--page", "left", "--pdf", pdf});
    EXPECT_EQ(run.Status, kExitFailure);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err.rfind("vrncli almanac: Cannot write " + pdf, 0), 0u) << run.Err;
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
}

} // namespace
} // namespace vrn::cli
