#include "engine/NumText.h"

#include "engine/VrnError.h"

#include <clocale>
#include <cmath>
#include <gtest/gtest.h>

namespace vrn {
namespace {

struct ParseCase
{
    const char *Name;
    const char *Text;
    std::optional<double> Expected;
};

TEST(NumText, ParseNumberAcceptsOnlyFiniteDecimalNumbers)
{
    const ParseCase cases[] = {
        {"integer", "42", 42.0},
        {"blanks around", "  -12.5 \t", -12.5},
        {"leading plus", "+3", 3.0},
        {"leading point", ".5", 0.5},
        {"exponent", "1e3", 1000.0},
        {"empty", "", std::nullopt},
        {"blank", "   ", std::nullopt},
        {"comma decimal", "12,5", std::nullopt},
        {"trailing junk", "12abc", std::nullopt},
        {"nan", "nan", std::nullopt},
        {"inf", "inf", std::nullopt},
        {"signed inf", "-inf", std::nullopt},
        {"hex float", "0x1p3", std::nullopt},
        {"overflow", "1e400", std::nullopt},
        {"sign only", "-", std::nullopt},
        {"double sign", "--1", std::nullopt},
        {"inner blank", "1 2", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ParseNumber(c.Text), c.Expected);
    }
}

TEST(NumText, ParseIntegerRefusesFractionsAndOverflow)
{
    EXPECT_EQ(ParseInteger(" 12 "), 12);
    EXPECT_EQ(ParseInteger("-7"), -7);
    EXPECT_EQ(ParseInteger("1.5"), std::nullopt);
    EXPECT_EQ(ParseInteger("99999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseInteger(""), std::nullopt);
}

TEST(NumText, ConversionErrorsNameTheText)
{
    EXPECT_THROW(
        {
            try {
                StrToFloat("12abc");
            } catch (const EConvertError &e) {
                EXPECT_STREQ(e.what(), "'12abc' is not a valid floating point value");
                throw;
            }
        },
        EConvertError);
    EXPECT_THROW(StrToInt("x"), EConvertError);
}

TEST(NumText, FormatFixedIsPrintfWithAPointWhateverTheLocale)
{
    // A comma-decimal locale must not leak into files and reports.
    const char *old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(FormatFixed(7.25, 1, 4), " 7.2"); // to_chars rounds half to even like printf
    EXPECT_EQ(FormatFixed(123.456, 2), "123.46");
    EXPECT_EQ(FormatFixed(-0.01, 1, 4), " 0.0");
    EXPECT_EQ(FormatFixed(-1.25, 2, 6), " -1.25");
    EXPECT_EQ(FormatFixed(std::nan(""), 2, 5), "    ?");
    EXPECT_EQ(FormatInt(5, 3), "  5");
    EXPECT_EQ(FormatInt(-12, 2), "-12");
    EXPECT_EQ(ParseNumber("3.5"), 3.5);
    if (old)
        std::setlocale(LC_NUMERIC, "C");
}

} // namespace
} // namespace vrn
