#include "engine/DateTime.h"

#include "engine/VrnError.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

// Day numbers marked "Python" are (date - date(1899, 12, 30)).days and weekdays
// date.strftime("%a") from Python's datetime module, an independent proleptic Gregorian
// calendar.

namespace vrn {
namespace {

struct DateCase
{
    const char *Name;
    int Year, Month, Day;
    double Days;
    int Weekday; // 1 = Sunday
};

TEST(DateTime, EncodeDecodeDateMatchesAnIndependentCalendar)
{
    const DateCase cases[] = {
        {"epoch, Saturday", 1899, 12, 30, 0, 7},
        {"day before the epoch", 1899, 12, 29, -1, 6},
        {"year end 1899", 1899, 12, 31, 1, 1},
        {"1900-01-01", 1900, 1, 1, 2, 2},
        {"1900 is not leap", 1900, 3, 1, 61, 5},
        {"2000-01-01", 2000, 1, 1, 36526, 7},
        {"2023-03-15", 2023, 3, 15, 45000, 4},
        {"leap day 2024", 2024, 2, 29, 45351, 5},
        {"year end 2023", 2023, 12, 31, 45291, 1},
        {"new year 2024", 2024, 1, 1, 45292, 2},
        {"1600-03-01", 1600, 3, 1, -109511, 4},
        {"first day", 1, 1, 1, -693593, 2},
        {"last day", 9999, 12, 31, 2958465, 6},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Days);
        const TCalendarDate d = DecodeDate(c.Days + 0.5);
        EXPECT_EQ(d.Year, c.Year);
        EXPECT_EQ(d.Month, c.Month);
        EXPECT_EQ(d.Day, c.Day);
        EXPECT_EQ(DayOfWeek(c.Days + 0.99), c.Weekday);
    }
}

TEST(DateTime, AlmanacExampleWeekdays)
{
    // 2024 March 30, 31, April 1 are SAT, SUN, MON (almanac page heading example).
    const double d = EncodeDate(2024, 3, 30);
    EXPECT_EQ(DayOfWeek(d), 7);
    EXPECT_EQ(DayOfWeek(d + 1), 1);
    EXPECT_EQ(DayOfWeek(d + 2), 2);
}

TEST(DateTime, InvalidDatesAndTimesAreRefused)
{
    struct
    {
        const char *Name;
        int Year, Month, Day;
    } const dates[] = {
        {"29 February 2023", 2023, 2, 29},
        {"29 February 1900", 1900, 2, 29},
        {"31 April", 2024, 4, 31},
        {"month 13", 2024, 13, 1},
        {"month 0", 2024, 0, 1},
        {"day 0", 2024, 1, 0},
        {"year 0", 0, 1, 1},
        {"year 10000", 10000, 1, 1},
    };

    for (const auto &c : dates) {
        SCOPED_TRACE(c.Name);
        EXPECT_FALSE(IsValidDate(c.Year, c.Month, c.Day));
        EXPECT_FALSE(TryEncodeDate(c.Year, c.Month, c.Day).has_value());
        EXPECT_THROW(EncodeDate(c.Year, c.Month, c.Day), EConvertError);
    }
    EXPECT_TRUE(IsValidDate(2000, 2, 29)); // divisible by 400
    EXPECT_EQ(DaysInMonth(2024, 2), 29);
    EXPECT_EQ(DaysInMonth(2100, 2), 28);
    EXPECT_EQ(DaysInMonth(2024, 13), 0);

    EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 60, 0, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 60, 0), EConvertError);
    EXPECT_THROW(EncodeTime(0, 0, 0, 1000), EConvertError);
    EXPECT_THROW(EncodeTime(-1, 0, 0, 0), EConvertError);
}

struct TimeCase
{
    const char *Name;
    double Value;
    TCalendarDate Date;
    TClockTime Time;
};

TEST(DateTime, DecodeRoundsToTheNearestMillisecond)
{
    const double d = EncodeDate(2024, 3, 30);
    const TimeCase cases[] = {
        // 12:59:30 as decimal hours lands a hair below the second; truncation would say 29.
        {"12:59:30 from hours", d + (12 + 59 / 60.0 + 30 / 3600.0) / 24, {2024, 3, 30},
            {12, 59, 30, 0}},
        {"12:59:30 from seconds", d + 46770.0 / 86400, {2024, 3, 30}, {12, 59, 30, 0}},
        {"noon", d + 0.5, {2024, 3, 30}, {12, 0, 0, 0}},
        {"milliseconds", d + EncodeTime(1, 2, 3, 456), {2024, 3, 30}, {1, 2, 3, 456}},
        {"last millisecond", d + 86399999.0 / 86400000, {2024, 3, 30}, {23, 59, 59, 999}},
        // Rounding carries into the next day and the date follows.
        {"rounds to next day", d + 86399999.6 / 86400000, {2024, 3, 31}, {0, 0, 0, 0}},
        {"rounds over the year end", EncodeDate(2023, 12, 31) + 86399999.7 / 86400000, {2024, 1, 1},
            {0, 0, 0, 0}},
        // Linear on both sides of the epoch: floor is the day, the rest the time.
        {"before the epoch", -0.75, {1899, 12, 29}, {6, 0, 0, 0}},
        {"two days before", -1.25, {1899, 12, 28}, {18, 0, 0, 0}},
        {"tiny negative", -1e-20, {1899, 12, 30}, {0, 0, 0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TDateTimeParts p = DecodeDateTime(c.Value);
        EXPECT_EQ(p.Date.Year, c.Date.Year);
        EXPECT_EQ(p.Date.Month, c.Date.Month);
        EXPECT_EQ(p.Date.Day, c.Date.Day);
        EXPECT_EQ(p.Time.Hour, c.Time.Hour);
        EXPECT_EQ(p.Time.Minute, c.Time.Minute);
        EXPECT_EQ(p.Time.Second, c.Time.Second);
        EXPECT_EQ(p.Time.Msec, c.Time.Msec);
    }
}

TEST(DateTime, EveryDayRoundTrips)
{
    // Four centuries cover every leap-year rule; each day must decode to itself and follow
    // its predecessor by one.
    const double first = EncodeDate(1800, 1, 1);
    const double last = EncodeDate(2200, 12, 31);
    TCalendarDate prev = DecodeDate(first - 1);
    for (double day = first; day <= last; day += 1) {
        const TCalendarDate d = DecodeDate(day + 0.25);
        ASSERT_EQ(EncodeDate(d.Year, d.Month, d.Day), day);
        const bool nextDay = d.Day == prev.Day + 1 && d.Month == prev.Month;
        const bool nextMonth =
            d.Day == 1 && (d.Month == prev.Month + 1 || (d.Month == 1 && prev.Month == 12));
        ASSERT_TRUE(nextDay || nextMonth) << d.Year << "-" << d.Month << "-" << d.Day;
        prev = d;
    }
}

TEST(DateTime, InvalidValuesRaise)
{
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::infinity(), 1e20, -1e20, kMaxDateTime, kMinDateTime - 1};
    for (const double v : bad) {
        SCOPED_TRACE(v);
        EXPECT_FALSE(IsValidDateTime(v));
        EXPECT_THROW(DecodeDateTime(v), EConvertError);
        EXPECT_THROW(SplitDateHour(v), EConvertError);
        EXPECT_THROW(FormatDateTimeText(v, TDateFormat()), EConvertError);
    }
}

TEST(DateTime, SplitDateHourKeepsTheExactFraction)
{
    const double d = EncodeDate(2024, 3, 30);

    struct
    {
        const char *Name;
        double Value;
        int Year, Month, Day;
        double Hour;
    } const cases[] = {
        {"18 h", d + 0.75, 2024, 3, 30, 18},
        {"just before midnight stays on the day", d + 1 - 1e-9, 2024, 3, 30, 24 - 24e-9},
        {"tiny negative is the epoch", -1e-20, 1899, 12, 30, 0},
        {"before the epoch", -0.75, 1899, 12, 29, 6},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const TDateHour s = SplitDateHour(c.Value);
        EXPECT_EQ(s.Year, c.Year);
        EXPECT_EQ(s.Month, c.Month);
        EXPECT_EQ(s.Day, c.Day);
        EXPECT_NEAR(s.Hour, c.Hour, 1e-9);
        EXPECT_LT(s.Hour, 24);
        EXPECT_NEAR(JoinDateHour(s.Year, s.Month, s.Day, s.Hour), c.Value, 1e-9);
    }
}

TEST(DateTime, DateFormatFromUserPattern)
{
    const TDateFormat mdy {TDateOrder::MonthDayYear, '-'};

    struct
    {
        const char *Pattern;
        TDateOrder Order;
        char Separator;
        const char *Shown;
    } const cases[] = {
        // Start-up rule: day first when the user's pattern begins with d or D.
        {"dd.MM.yyyy", TDateOrder::DayMonthYear, '.', "dd.MM.yyyy"},
        {"d/M/yy", TDateOrder::DayMonthYear, '/', "dd/MM/yyyy"},
        {"M/d/yy", TDateOrder::MonthDayYear, '/', "MM/dd/yyyy"},
        {"yyyy-MM-dd", TDateOrder::MonthDayYear, '-', "MM-dd-yyyy"},
        {"ddMMyyyy", TDateOrder::DayMonthYear, '/', "dd/MM/yyyy"},
        // Separators other than "/", "." and "-" become "/": the C locale's pattern has blanks.
        {"d MMM yyyy", TDateOrder::DayMonthYear, '/', "dd/MM/yyyy"},
        {"dd MM yyyy", TDateOrder::DayMonthYear, '/', "dd/MM/yyyy"},
        {"MM,dd,yyyy", TDateOrder::MonthDayYear, '/', "MM/dd/yyyy"},
        {"d. M. yyyy", TDateOrder::DayMonthYear, '.', "dd.MM.yyyy"},
        {"", TDateOrder::MonthDayYear, '-', "MM-dd-yyyy"}, // unchanged
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Pattern);
        const TDateFormat f = DateFormatFromUserPattern(c.Pattern, mdy);
        EXPECT_EQ(f.Order, c.Order);
        EXPECT_EQ(f.Separator, c.Separator);
        EXPECT_EQ(f.Pattern(), c.Shown);
    }
}

TEST(DateTime, FormatDateTimeTextLeavesOutMidnight)
{
    const TDateFormat dmy;
    const TDateFormat mdy {TDateOrder::MonthDayYear, '-'};
    const double d = EncodeDate(2023, 3, 15);

    struct
    {
        const char *Name;
        double Value;
        TDateFormat Format;
        const char *Expected;
    } const cases[] = {
        {"noon", d + 0.5, dmy, "15/03/2023 12:00:00"},
        {"midnight has no time", d, dmy, "15/03/2023"},
        {"below half a millisecond is midnight", d + 0.0004 / 86400, dmy, "15/03/2023"},
        {"one second", d + 1 / 86400.0, dmy, "15/03/2023 00:00:01"},
        {"month first", d + 0.75, mdy, "03-15-2023 18:00:00"},
        {"seconds are not rounded up", d + EncodeTime(12, 59, 59, 600), dmy, "15/03/2023 12:59:59"},
        {"year with four digits", EncodeDate(800, 1, 2), dmy, "02/01/0800"},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(FormatDateTimeText(c.Value, c.Format), c.Expected);
    }
}

TEST(DateTime, ParseDateTimeText)
{
    const TDateFormat dmy;
    const TDateFormat mdy {TDateOrder::MonthDayYear, '/'};
    const TDateFormat dots {TDateOrder::DayMonthYear, '.'};
    const double d = 45000; // 2023-03-15 (Python)

    struct
    {
        const char *Name;
        const char *Text;
        TDateFormat Format;
        std::optional<double> Expected;
    } const cases[] = {
        {"date", "15/03/2023", dmy, d},
        {"date and time", "15/03/2023 12:00:00", dmy, d + 0.5},
        {"one-digit fields", "5/3/2023 7:05", dmy, EncodeDate(2023, 3, 5) + 7.0 / 24 + 5.0 / 1440},
        {"fraction of a second", "15/03/2023 12:00:00.5", dmy, d + 0.5 + 0.5 / 86400},
        {"month first", "03/15/2023 18:00", mdy, d + 0.75},
        {"dot separator", "15.03.2023", dots, d},
        {"blanks around", "  15/03/2023  ", dmy, d},
        {"tab before time", "15/03/2023\t06:00", dmy, d + 0.25},
        {"empty", "", dmy, std::nullopt},
        {"two-digit year", "15/03/23", dmy, std::nullopt},
        {"impossible date", "31/02/2023", dmy, std::nullopt},
        {"day-first text read month first", "15/03/2023", mdy, std::nullopt},
        // Any of "/", "." and "-" is read whatever the format's own, the same one both times.
        {"dash read by a slash format", "15-03-2023", dmy, d},
        {"slash read by a dot format", "15/03/2023", dots, d},
        {"mixed separators", "15/03-2023", dmy, std::nullopt},
        {"blank separator", "15 03 2023", dmy, std::nullopt},
        {"colon separator", "15:03:2023", dmy, std::nullopt},
        {"hour 24", "15/03/2023 24:00", dmy, std::nullopt},
        {"minute 60", "15/03/2023 12:60", dmy, std::nullopt},
        {"hour only", "15/03/2023 12", dmy, std::nullopt},
        {"trailing junk", "15/03/2023x", dmy, std::nullopt},
        {"junk after time", "15/03/2023 12:00:00 PM", dmy, std::nullopt},
        {"four digits of fraction", "15/03/2023 12:00:00.1234", dmy, std::nullopt},
        {"three-digit day", "015/03/2023", dmy, std::nullopt},
        {"empty month", "15//2023", dmy, std::nullopt},
        {"signed", "-1/03/2023", dmy, std::nullopt},
        {"time glued to date", "15/03/202312:00", dmy, std::nullopt},
        {"high bytes", "15/03/2023 \xff\xfe", dmy, std::nullopt},
    };

    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        const auto v = ParseDateTimeText(c.Text, c.Format);
        ASSERT_EQ(v.has_value(), c.Expected.has_value());
        if (v) {
            EXPECT_NEAR(*v, *c.Expected, 1e-9);
        }
    }
}

TEST(DateTime, DateTimeTextRoundTripsToTheSecond)
{
    const TDateFormat formats[] = {{}, {TDateOrder::MonthDayYear, '-'}};
    const double values[] = {EncodeDate(2023, 12, 31) + EncodeTime(23, 59, 59, 0),
        EncodeDate(2024, 1, 1), EncodeDate(2024, 2, 29) + EncodeTime(0, 0, 1, 0),
        EncodeDate(1900, 1, 1) + EncodeTime(12, 59, 30, 0)};
    for (const auto &f : formats) {
        for (const double v : values) {
            SCOPED_TRACE(FormatDateTimeText(v, f));
            const auto back = ParseDateTimeText(FormatDateTimeText(v, f), f);
            ASSERT_TRUE(back.has_value());
            EXPECT_NEAR(*back, v, 0.5 / 86400000);
        }
    }
}

TEST(DateTime, ProcessShortDateFormatDefaultsToDayFirst)
{
    // No test of this program changes the setting for good, so it still has its default.
    EXPECT_EQ(ShortDateFormat().Pattern(), "dd/MM/yyyy");
    const TDateFormat saved = ShortDateFormat();
    SetShortDateFormat({TDateOrder::MonthDayYear, '.'});
    EXPECT_EQ(ShortDateFormat().Pattern(), "MM.dd.yyyy");
    // A blank (the C locale) is no separator a date can be read back with.
    SetShortDateFormat({TDateOrder::MonthDayYear, ' '});
    EXPECT_EQ(ShortDateFormat().Pattern(), "MM/dd/yyyy");
    SetShortDateFormat(saved);
}

TEST(DateTime, FileDatesAreTheSameUnderEveryShortDateFormat)
{
    const double v = EncodeDate(2024, 6, 21) + EncodeTime(4, 29, 47, 0);
    const TDateFormat saved = ShortDateFormat();
    const TDateFormat userFormats[] = {{TDateOrder::DayMonthYear, '/'},
        {TDateOrder::MonthDayYear, '-'}, {TDateOrder::DayMonthYear, ' '}};
    for (const auto &f : userFormats) {
        SetShortDateFormat(f);
        SCOPED_TRACE(ShortDateFormat().Pattern());
        EXPECT_EQ(FileDateTimeText(v), "21/06/2024 04:29:47");
        EXPECT_EQ(FileDateTimeText(std::floor(v)), "21/06/2024");
        const auto back = ReadFileDateTime(FileDateTimeText(v));
        ASSERT_TRUE(back.has_value());
        EXPECT_NEAR(*back, v, 0.5 / 86400000);
    }
    SetShortDateFormat(saved);

    struct
    {
        const char *Text;
        std::optional<double> Expected;
    } const reads[] = {
        {"21.06.2024 04:29:47", v},
        {"21-06-2024", std::floor(v)},
        {"06/21/2024", std::nullopt}, // month first is no file date: there is no month 21
        {"21 06 2024", std::nullopt},
        {"", std::nullopt},
    };

    for (const auto &r : reads) {
        SCOPED_TRACE(r.Text);
        const auto got = ReadFileDateTime(r.Text);
        ASSERT_EQ(got.has_value(), r.Expected.has_value());
        if (got) {
            EXPECT_NEAR(*got, *r.Expected, 0.5 / 86400000);
        }
    }
}

TEST(DateTime, InvalidDateMessageNamesFieldAndFormat)
{
    EXPECT_EQ(InvalidDateMessage("GMT date", {TDateOrder::DayMonthYear, '/'}),
        "Invalid date in GMT date: expected dd/MM/yyyy");
    EXPECT_EQ(InvalidDateMessage("local date", {TDateOrder::MonthDayYear, '.'}),
        "Invalid date in local date: expected MM.dd.yyyy");
}

} // namespace
} // namespace vrn
