#include "engine/TextCodec.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

// Code page values marked "Python" come from Python's "cp1252" codec; the five bytes it leaves
// undefined follow the WHATWG index windows-1252 (C1 controls of the same value).

namespace vrn {
namespace {

using Lines = std::vector<std::string>;

TEST(TextCodec, Cp1252DecodesToUtf8)
{
    struct
    {
        const char *Name;
        std::string Bytes;
        std::string Utf8;
    } const cases[] = {
        {"ASCII unchanged", "45;N", "45;N"},
        {"degree sign (Python)", "\xB0", "\u00B0"},
        {"e acute (Python)", "\xE9", "\u00E9"},
        {"euro (Python)", "\x80", "\u20AC"},
        {"Y diaeresis (Python)", "\x9F", "\u0178"},
        {"right quote (Python)", "\x92", "\u2019"},
        {"undefined 0x81 (WHATWG)", "\x81", "\xC2\x81"},
        {"undefined 0x9D (WHATWG)", "\x9D", "\xC2\x9D"},
        {"NUL kept", std::string("a\0b", 3), std::string("a\0b", 3)},
        {"y diaeresis (Python)", "\xFF", "\u00FF"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Cp1252ToUtf8(c.Bytes), c.Utf8);
    }
}

TEST(TextCodec, Utf8EncodesToCp1252WithQuestionMarks)
{
    struct
    {
        const char *Name;
        std::string Utf8;
        std::string Bytes;
        bool Encodable;
    } const cases[] = {
        {"position text", "45\u00B007.3'N",
            "45\xB0"
            "07.3'N",
            true},
        {"euro", "\u20AC", "\x80", true},
        {"e acute", "caf\u00E9", "caf\xE9", true},
        {"CJK has no byte", "\u6F22", "?", false},
        {"astral character is one ?", "\U0001F6A2", "?", false},
        {"stray byte",
            "a\xFF"
            "b",
            "a?b", false},
        {"truncated sequence", "a\xC2", "a?", false},
        {"surrogate half", "\xED\xA0\x80", "???", false},
        {"overlong slash", "\xC0\xAF", "??", false},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Utf8ToCp1252(c.Utf8), c.Bytes);
        EXPECT_EQ(IsCp1252Encodable(c.Utf8), c.Encodable);
    }
}

TEST(TextCodec, EveryByteRoundTrips)
{
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    EXPECT_EQ(Utf8Length(utf8), 256u);
    EXPECT_TRUE(IsCp1252Encodable(utf8));
    EXPECT_EQ(Utf8ToCp1252(utf8), all);
}

TEST(TextCodec, RandomBytesNeverBreakTheCodec)
{
    std::mt19937 rng(1234);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> len(0, 64);
    for (int i = 0; i < 2000; ++i) {
        std::string bytes(static_cast<std::size_t>(len(rng)), '\0');
        for (auto &c : bytes)
            c = static_cast<char>(byte(rng));
        // As a file: decoding and encoding give back the bytes line by line.
        const Lines lines = DecodeTextFile(bytes);
        for (const auto &line : lines)
            ASSERT_TRUE(IsCp1252Encodable(line));
        // As UTF-8: every byte is one character or part of one, and a cut never exceeds.
        const std::size_t n = Utf8Length(bytes);
        ASSERT_LE(n, bytes.size());
        ASSERT_EQ(Utf8Left(bytes, n), bytes);
        ASSERT_LE(Utf8Left(bytes, 3).size(), 12u);
    }
}

TEST(TextCodec, Utf8CountsCharactersNotBytes)
{
    struct
    {
        const char *Name;
        std::string Text;
        std::size_t Length;
        std::size_t Cut;
        std::string Left;
    } const cases[] = {
        {"degree sign is one", "45\u00B007.3'N", 9, 3, "45\u00B0"},
        {"cut never splits", "\u00B0\u00B0\u00B0", 3, 2, "\u00B0\u00B0"},
        {"four-byte character", "a\U0001F6A2b", 3, 2, "a\U0001F6A2"},
        {"stray bytes count one each", "\xFF\xFE", 2, 1, "\xFF"},
        {"truncated sequence", "\xE2\x82", 2, 1, "\xE2"},
        {"empty", "", 0, 5, ""},
        {"cut beyond the end", "ab", 2, 10, "ab"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(Utf8Length(c.Text), c.Length);
        EXPECT_EQ(Utf8Left(c.Text, c.Cut), c.Left);
    }
}

TEST(TextCodec, SplitLinesAcceptsCrLfAndLf)
{
    struct
    {
        const char *Name;
        std::string Contents;
        std::size_t Max;
        Lines Expected;
    } const cases[] = {
        {"empty file", "", 0, {}},
        {"no line end", "a", 0, {"a"}},
        {"LF", "a\nb\n", 0, {"a", "b"}},
        {"CR LF", "a\r\nb\r\n", 0, {"a", "b"}},
        {"mixed, last without end", "a\r\nb\nc", 0, {"a", "b", "c"}},
        {"empty lines kept", "a\n\nb\n", 0, {"a", "", "b"}},
        {"lone LF", "\n", 0, {""}},
        {"two empty CR LF lines", "\r\n\r\n", 0, {"", ""}},
        {"CR inside a line kept", "a\rb\n", 0, {"a\rb"}},
        {"only one CR stripped", "a\r\r\n", 0, {"a\r"}},
        {"CR at the very end", "a\r", 0, {"a"}},
        {"lone CR", "\r", 0, {}},
        {"cut at N bytes", "abcdef\r\nxy\n", 3, {"abc", "xy"}},
        {"cut after the CR is gone", "abc\r\n", 3, {"abc"}},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(SplitLines(c.Contents, c.Max), c.Expected);
    }
}

TEST(TextCodec, DecodeTextFileCutsBytesBeforeDecoding)
{
    // Three e-acute are three bytes on disk but six in UTF-8: a 2-byte cut keeps two of them.
    EXPECT_EQ(DecodeTextFile("\xE9\xE9\xE9\r\n", 2), Lines {"\u00E9\u00E9"});
    EXPECT_EQ(DecodeTextFile("45\xB0"
                             "30'N\r\nA;B\n"),
        (Lines {"45\u00B030'N", "A;B"}));
}

TEST(TextCodec, EncodeTextFileWritesCrLfAndReadsBack)
{
    const Lines lines = {"45\u00B030'N", "", "caf\u00E9;\u20AC"};
    const std::string file = EncodeTextFile(lines);
    EXPECT_EQ(file,
        "45\xB0"
        "30'N\r\n\r\ncaf\xE9;\x80\r\n");
    EXPECT_EQ(DecodeTextFile(file), lines);
    EXPECT_EQ(EncodeTextFile({}), "");
}

} // namespace
} // namespace vrn
