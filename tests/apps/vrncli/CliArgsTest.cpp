#include "apps/vrncli/CliArgs.h"

#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace vrn::cli {
namespace {

TEST(CliUtc, ReadsOnlyRealInstants)
{
    struct Case
    {
        const char *Name;
        const char *Text;
        std::optional<std::string> Expected; // normalised text, or refused
    };

    const Case cases[] = {
        {"plain", "2024-01-03T09:15:30", "2024-01-03T09:15:30"},
        {"blanks around", "  2024-01-03T09:15:30 ", "2024-01-03T09:15:30"},
        {"leap day of a leap year", "2024-02-29T00:00:00", "2024-02-29T00:00:00"},
        {"leap day of 2000 (divisible by 400)", "2000-02-29T12:00:00", "2000-02-29T12:00:00"},
        {"last second of a year", "1999-12-31T23:59:59", "1999-12-31T23:59:59"},
        {"February 30", "2026-02-30T00:00:00", std::nullopt},
        {"leap day of a common year", "2025-02-29T00:00:00", std::nullopt},
        {"leap day of 1900 (century)", "1900-02-29T00:00:00", std::nullopt},
        {"April 31", "2024-04-31T00:00:00", std::nullopt},
        {"month 13", "2024-13-01T00:00:00", std::nullopt},
        {"month 0", "2024-00-10T00:00:00", std::nullopt},
        {"day 0", "2024-01-00T00:00:00", std::nullopt},
        {"hour 24", "2024-01-03T24:00:00", std::nullopt},
        {"minute 60", "2024-01-03T10:60:00", std::nullopt},
        {"leap second", "2016-12-31T23:59:60", std::nullopt},
        {"year 0", "0000-01-01T00:00:00", std::nullopt},
        {"one-digit month", "2024-1-03T00:00:00", std::nullopt},
        {"blank for T", "2024-01-03 00:00:00", std::nullopt},
        {"date only", "2024-01-03", std::nullopt},
        {"trailing Z", "2024-01-03T00:00:00Z", std::nullopt},
        {"fraction of a second", "2024-01-03T00:00:00.5", std::nullopt},
        {"signed field", "2024-+1-03T00:00:00", std::nullopt},
        {"empty", "", std::nullopt},
        {"letters", "YYYY-MM-DDTHH:MM:SS", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = ParseUtc(c.Text);
        ASSERT_EQ(r.has_value(), c.Expected.has_value());
        if (r) {
            EXPECT_EQ(r->Text(), *c.Expected);
        }
    }
    EXPECT_DOUBLE_EQ(ParseUtc("2024-01-03T09:15:36")->DecimalHour(), 9.26);
}

TEST(CliUtc, DatesAreInstantsAtMidnight)
{
    struct Case
    {
        const char *Name;
        const char *Text;
        std::optional<std::string> Expected; // the instant's text, or refused
    };

    const Case cases[] = {
        {"plain", "2024-02-29", "2024-02-29T00:00:00"},
        {"blanks around", " 2024-01-03 ", "2024-01-03T00:00:00"},
        {"leap day of a common year", "2025-02-29", std::nullopt},
        {"with a time", "2024-01-03T00:00:00", std::nullopt},
        {"one-digit day", "2024-01-3", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = ParseUtcDate(c.Text);
        ASSERT_EQ(r.has_value(), c.Expected.has_value());
        if (r) {
            EXPECT_EQ(r->Text(), *c.Expected);
        }
    }
    // 2024-01-03 is day 45294 of the system's count from 1899-12-30 (45000 is 2023-03-15,
    // 294 days earlier); 09:15:36 is 0.3858333 of a day.
    EXPECT_DOUBLE_EQ(ParseUtc("2024-01-03T09:15:36")->DateTime(), 45294 + 9.26 / 24);
}

TEST(CliNumber, PlainNumbersOnly)
{
    struct Case
    {
        const char *Text;
        std::optional<double> Expected;
    };

    const Case cases[] = {
        {"12.5", 12.5},
        {" -3 ", -3.0},
        {"+4", 4.0},
        {".5", 0.5},
        {"1e3", std::nullopt}, // an exponent is not what a navigator types
        {"1 2", std::nullopt},
        {"12,5", std::nullopt},
        {"", std::nullopt},
        {".", std::nullopt},
        {"--1", std::nullopt},
        {"nan", std::nullopt},
        {"inf", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Text);
        EXPECT_EQ(ParsePlainNumber(c.Text), c.Expected);
    }
}

TEST(CliPosition, LatitudesNorthPositive)
{
    struct Case
    {
        const char *Name;
        const char *Text;
        std::optional<double> Expected;
    };

    const Case cases[] = {
        {"system text", "45°07.3'N", 45 + 7.3 / 60},
        {"system text south", "45°07.3'S", -(45 + 7.3 / 60)},
        {"no minute mark", "45°07.3N", 45 + 7.3 / 60},
        {"blank-padded degrees", " 5°30.0'S", -5.5},
        {"decimal with letter", "45.12N", 45.12},
        {"decimal south, lower case", "45.12s", -45.12},
        {"bare number is north", "45.12", 45.12},
        {"bare negative is south", "-33.5", -33.5},
        {"signed degrees-minutes", "-33°30'", -33.5},
        {"the pole", "90N", 90},
        {"beyond the pole", "90.5N", std::nullopt},
        {"beyond the pole, bare", "-91", std::nullopt},
        {"longitude letter", "45.12W", std::nullopt},
        {"sign and letter", "-45.12N", std::nullopt},
        {"60 minutes", "45°60.0'N", std::nullopt},
        {"negative minutes", "45°-5'N", std::nullopt},
        {"fractional degrees before °", "45.5°10'N", std::nullopt},
        {"empty minutes", "45°N", std::nullopt},
        {"exponent", "4.5e1N", std::nullopt},
        {"nan", "nan", std::nullopt},
        {"junk", "45N12", std::nullopt},
        {"empty", "", std::nullopt},
        {"letter only", "N", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = ParseLatitude(c.Text);
        ASSERT_EQ(r.has_value(), c.Expected.has_value());
        if (r) {
            EXPECT_NEAR(*r, *c.Expected, 1e-12);
        }
    }
}

TEST(CliPosition, LongitudesWestPositive)
{
    struct Case
    {
        const char *Name;
        const char *Text;
        std::optional<double> Expected;
    };

    const Case cases[] = {
        {"system text west", "012°15.5'W", 12 + 15.5 / 60},
        {"system text east", "012°15.5'E", -(12 + 15.5 / 60)},
        {"decimal west", "12.26W", 12.26},
        {"decimal east", "12.26E", -12.26},
        {"bare number is west", "12.26", 12.26},
        {"bare negative is east", "-151.2", -151.2},
        {"the antimeridian", "180E", -180},
        {"beyond", "180.01W", std::nullopt},
        {"beyond, bare", "-200", std::nullopt},
        {"latitude letter", "12.26N", std::nullopt},
        {"sign and letter", "+12.26W", std::nullopt},
        {"inner blank", "12 .26W", std::nullopt},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto r = ParseLongitude(c.Text);
        ASSERT_EQ(r.has_value(), c.Expected.has_value());
        if (r) {
            EXPECT_NEAR(*r, *c.Expected, 1e-12);
        }
    }
}

TEST(CliOptions, ParsesKeysValuesAndFlags)
{
    const TOptionSpec specs[] = {{"--body", true}, {"--csv", false}};
    const std::vector<std::string> good = {"--csv", "--body", "Aries *"};
    const TCliArgs a = TCliArgs::Parse(good, specs);
    EXPECT_EQ(a.Value("--body"), "Aries *");
    EXPECT_TRUE(a.Flag("--csv"));
    EXPECT_FALSE(a.Has("--utc"));

    struct Case
    {
        const char *Name;
        std::vector<std::string> Args;
    };

    const Case bad[] = {
        {"unknown option", {"--bogus"}},
        {"missing value", {"--body"}},
        {"given twice", {"--body", "Sun", "--body", "Moon"}},
        {"stray argument", {"Sun"}},
    };
    for (const auto &c : bad) {
        SCOPED_TRACE(c.Name);
        EXPECT_THROW(TCliArgs::Parse(c.Args, specs), EUsageError);
    }
}

} // namespace
} // namespace vrn::cli
