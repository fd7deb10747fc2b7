#include "common/kautils.h"

#include "engine/VrnError.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace vrn {
namespace {

TEST(KaUtils, FilterChars)
{
    struct
    {
        const char *Name;
        const char *Text, *Keep, *Remove, *Expected;
    } const cases[] = {
        {"keep digits", "a1b2", "0123456789", "", "12"},
        {"remove digits", "a1b2", "", "12", "ab"},
        {"keep and remove", "abcabc", "ab", "b", "aa"},
        {"neither given", "a;b", "", "", "a;b"},
        {"number out of an angle", "12.5\u00B0N", "0123456789.", "", "12.5"},
        {"remove a multi-byte character", "\u00B0x\u00B0", "", "\u00B0", "x"},
        {"keep a multi-byte character", "a\u00E9b", "\u00E9", "", "\u00E9"},
        {"empty text", "", "abc", "", ""},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FilterChars(c.Text, c.Keep, c.Remove), c.Expected);
    }
}

TEST(KaUtils, WithTrailingBackslashUsesThePlatformSeparator)
{
    EXPECT_EQ(WithTrailingBackslash(""), "");
    EXPECT_EQ(WithTrailingBackslash("/tmp/cache"), "/tmp/cache/");
    EXPECT_EQ(WithTrailingBackslash("/tmp/cache/"), "/tmp/cache/");
    EXPECT_EQ(WithTrailingBackslash("/"), "/");
}

TEST(KaUtils, SettingsFileName)
{
    struct
    {
        const char *Path, *Expected;
    } const cases[] = {
        // Upper-case name with the extension EXE: the lower-case name, a dot and "ini".
        {"/opt/varunel/VRN32.EXE", "vrn32.ini"},
        {"Kartograv.Old.exe", "kartograv.ini"},
        // The program files of this platform have no extension.
        {"/usr/local/bin/vrn32", "vrn32.ini"},
        {"/home/x.y/bin/Kartograv", "kartograv.ini"},
        {"", "noname.ini"},
        {"/usr/bin/", "noname.ini"},
        {".hidden", ".ini"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Path);
        EXPECT_EQ(SettingsFileName(c.Path), c.Expected);
    }
}

TEST(KaUtils, MatchMask)
{
    struct
    {
        const char *Mask, *Text;
        bool Expected;
    } const cases[] = {
        // Edge cases of the mask matcher.
        {"##L", "12a", true},
        {"##L", "1a2", false},
        {"###", "12", false},
        {"N#", "-5x", true},
        {"NNNN", ",.-9", true},
        {"N", "+", false},
        {"L", "Z", true},
        {"L", "\u00E9", false},
        {"?", "\u00B0", true}, // one character, two bytes
        {"??", "\u00B0", false},
        {"ab", "ab", true},
        {"ab", "aB", false},
        {"\u00B0#", "\u00B05", true},
        {"", "", true},
        {"", "anything", true},
        {"#", "\xFF", false},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Mask) + " / " + c.Text);
        EXPECT_EQ(MatchMask(c.Mask, c.Text), c.Expected);
    }
}

TEST(KaUtils, PadOrCutCountsCharacters)
{
    struct
    {
        const char *Text;
        int N;
        const char *Expected;
    } const cases[] = {
        {"abc", 5, "abc  "},
        {"abcdef", 3, "abc"},
        {"abc", 3, "abc"},
        {"\u00B0\u00B0\u00B0\u00B0", 2, "\u00B0\u00B0"},
        {"\u00B0", 3, "\u00B0  "},
        {"x", 0, ""},
        {"x", -1, ""},
        {"", 2, "  "},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.Text) + " " + std::to_string(c.N));
        EXPECT_EQ(PadOrCut(c.Text, c.N), c.Expected);
    }
}

TEST(KaUtils, ReadNumberIgnoresThousandsSeparators)
{
    struct
    {
        const char *Text;
        std::optional<double> Expected;
    } const cases[] = {
        {"1,234.5", 1234.5},
        {"1,234,567", 1234567},
        {" -12 ", -12},
        {"0.5", 0.5},
        {"1.234,5", 1.2345}, // every comma goes, even one meant as a decimal comma
        {"", std::nullopt},
        {",", std::nullopt},
        {"abc", std::nullopt},
        {"1e999", std::nullopt},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        if (c.Expected) {
            EXPECT_DOUBLE_EQ(ReadNumber(c.Text), *c.Expected);
        } else {
            EXPECT_THROW(ReadNumber(c.Text), EConvertError);
        }
    }
}

} // namespace
} // namespace vrn
