#include "common/strtoken.h"

#include "engine/VrnError.h"

#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace vrn {
namespace {

using Fields = std::vector<std::string>;

TEST(StrToken, SplitsAtEverySeparator)
{
    struct
    {
        const char *Name;
        std::string Text;
        std::string Separators;
        Fields Expected;
    } const cases[] = {
        // The splitting rules of the tokenizer: empty fields count, there is always one more
        // field than separators.
        {"empty text is one empty field", "", ";", {""}},
        {"adjacent and trailing separators", "a;;b;", ";", {"a", "", "b", ""}},
        {"fields are not trimmed", " a , b ", ",", {" a ", " b "}},
        {"bar", "LOP|12.5|x", "|", {"LOP", "12.5", "x"}},
        {"any of several separators", "a;b|c", ";|", {"a", "b", "c"}},
        {"no separators, one field", "a;b", "", {"a;b"}},
        {"only separators", ";;", ";", {"", "", ""}},
        {"NMEA sentence", "$GPRMC,,A,,*6A", ",", {"$GPRMC", "", "A", "", "*6A"}},
        {"multi-byte separator", "12\u00B030\u00B0", "\u00B0", {"12", "30", ""}},
        // A separator byte inside a multi-byte character does not split it.
        {"UTF-8 text", "caf\u00E9;\u00B0", ";", {"caf\u00E9", "\u00B0"}},
        {"stray bytes kept", "\xFF;\xC2", ";", {"\xFF", "\xC2"}},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TStringTokenizer t(c.Text, c.Separators);
        EXPECT_EQ(t.Tokens(), c.Expected);
        EXPECT_EQ(t.Count(), static_cast<int>(c.Expected.size()));
    }
}

TEST(StrToken, SetTextSplitsAgain)
{
    TStringTokenizer t("", ";");
    EXPECT_EQ(t.Count(), 1);
    t.SetText("P;45.5;-10.25");
    EXPECT_EQ(t.Count(), 3);
    EXPECT_EQ(t.Token(0), "P");
    EXPECT_EQ(t.Text(), "P;45.5;-10.25");
    t.SetText("x");
    EXPECT_EQ(t.Tokens(), Fields {"x"});
}

std::string Message(const std::function<void()> &f)
{
    try {
        f();
    } catch (const EVrnError &e) {
        return e.what();
    }
    return "no error";
}

TEST(StrToken, TypedReadersAndTheirMessages)
{
    const TStringTokenizer t(" 12 ;1.5; -3.25e1 ;abc;;1,5;nan;3000000000;-2147483648;0x10", ";");
    EXPECT_EQ(t.AsInteger(0), 12);
    EXPECT_DOUBLE_EQ(t.AsFloat(0), 12);
    EXPECT_DOUBLE_EQ(t.AsFloat(1), 1.5);
    EXPECT_DOUBLE_EQ(t.AsFloat(2), -32.5);
    EXPECT_EQ(t.AsInteger(8), -2147483648);

    struct
    {
        const char *Name;
        std::function<void()> Call;
        std::string Message;
    } const cases[] = {
        {"index below 0", [&] { t.Token(-1); }, "Invalid index"},
        {"index at Count", [&] { t.Token(t.Count()); }, "Invalid index"},
        {"reader past the end", [&] { t.AsFloat(99); }, "Invalid index"},
        {"integer of a fraction", [&] { t.AsInteger(1); }, "Invalid integer value:1.5"},
        {"integer beyond 32 bits", [&] { t.AsInteger(7); }, "Invalid integer value:3000000000"},
        {"integer in hex", [&] { t.AsInteger(9); }, "Invalid integer value:0x10"},
        {"text as number", [&] { t.AsFloat(3); }, "Invalid number format: abc"},
        {"empty as number", [&] { t.AsFloat(4); }, "Invalid number format: "},
        {"comma decimal", [&] { t.AsFloat(5); }, "Invalid number format: 1,5"},
        {"nan is no number", [&] { t.AsFloat(6); }, "Invalid number format: nan"},
        {"trimmed field in message", [&] { t.AsDateTime(2); }, "Invalid date/time format: -3.25e1"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Message(c.Call), c.Message);
    }
    EXPECT_THROW(t.AsFloat(3), EConvertError);
}

TEST(StrToken, AsDateTimeFollowsTheShortDateFormat)
{
    // 2023-03-15 is day 45000 (Python datetime).
    const TStringTokenizer t(" 15/03/2023 12:00:00 ;03/15/2023;31/02/2023", ";");
    EXPECT_DOUBLE_EQ(t.AsDateTime(0), 45000.5);
    EXPECT_EQ(Message([&] { t.AsDateTime(1); }), "Invalid date/time format: 03/15/2023");
    const TDateFormat mdy {TDateOrder::MonthDayYear, '/'};
    EXPECT_DOUBLE_EQ(t.AsDateTime(1, mdy), 45000);
    EXPECT_EQ(Message([&] { t.AsDateTime(2); }), "Invalid date/time format: 31/02/2023");

    const TDateFormat saved = ShortDateFormat();
    SetShortDateFormat(mdy);
    EXPECT_DOUBLE_EQ(t.AsDateTime(1), 45000);
    SetShortDateFormat(saved);
}

TEST(StrToken, HostileLinesNeverCrash)
{
    std::mt19937 rng(42);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> len(0, 300);
    TStringTokenizer t("", ";,");
    for (int i = 0; i < 1000; ++i) {
        std::string line(static_cast<std::size_t>(len(rng)), '\0');
        for (auto &c : line)
            c = static_cast<char>(byte(rng) % 3 == 0 ? ';' : byte(rng));
        t.SetText(line);
        ASSERT_GE(t.Count(), 1);
        std::string joined;
        for (int k = 0; k < t.Count(); ++k) {
            // Every reader either succeeds or raises one of the system's errors.
            try {
                t.AsFloat(k);
                t.AsInteger(k);
                t.AsDateTime(k);
            } catch (const EVrnError &) { }
            joined += t.Token(k);
        }
        // Nothing but separators is lost.
        std::size_t kept = 0;
        for (const char c : line)
            kept += c != ';' && c != ',';
        ASSERT_EQ(joined.size(), kept);
    }
}

} // namespace
} // namespace vrn
