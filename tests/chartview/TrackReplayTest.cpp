// The track replay's rules without its window: label formats, slider times, the timer's pace,
// the position reached by the clock and the date pickers.

#include "charts/TrackReplay.h"

#include <gtest/gtest.h>

namespace vrn {
namespace {

TEST(TrackReplay, LabelFormatFollowsTheSpan)
{
    struct TCase
    {
        const char *Name;
        double SpanDays;
        TDateFormat Date;
        const char *Format;
    };

    const TDateFormat dmy {TDateOrder::DayMonthYear, '/'};
    const TDateFormat mdy {TDateOrder::MonthDayYear, '-'};
    // The Part's edge cases: exactly one day is a time alone; two days drop the year (the date
    // format cut before the "y" and its separator); 400 days keep the whole date.
    const TCase cases[] = {
        {"half a day", 0.5, dmy, "hh:mm:ss"},
        {"exactly one day", 1.0, dmy, "hh:mm:ss"},
        {"two days", 2.0, dmy, "dd/MM hh:mm"},
        {"two days, month first", 2.0, mdy, "MM-dd hh:mm"},
        {"364 days", 364.0, dmy, "dd/MM hh:mm"},
        {"365 days", 365.0, dmy, "dd/MM/yyyy hh:mm"},
        {"400 days", 400.0, dmy, "dd/MM/yyyy hh:mm"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReplayFormatFor(c.SpanDays, c.Date), c.Format);
    }
}

TEST(TrackReplay, TimesWrittenInTheLabelFormat)
{
    const double t = EncodeDate(2024, 6, 21) + EncodeTime(4, 29, 47, 0);
    EXPECT_EQ(FormatReplayTime(t, "hh:mm:ss"), "04:29:47");
    EXPECT_EQ(FormatReplayTime(t, "dd/MM hh:mm"), "21/06 04:29");
    EXPECT_EQ(FormatReplayTime(t, "MM-dd-yyyy hh:mm"), "06-21-2024 04:29");
    EXPECT_EQ(FormatReplayTime(1e300, "hh:mm:ss"), "?");
}

TEST(TrackReplay, SliderPositionsSpreadTheRange)
{
    const TReplayRange range {45000.25, 45002.25};
    EXPECT_DOUBLE_EQ(ReplayTimeAt(range, 0), 45000.25);
    EXPECT_DOUBLE_EQ(ReplayTimeAt(range, 500), 45001.25);
    EXPECT_DOUBLE_EQ(ReplayTimeAt(range, kReplaySliderMax), 45002.25);
    EXPECT_TRUE(range.IsRange());
    // A start of 0 is no time (tracks without times), and an empty span is nothing to replay.
    EXPECT_FALSE((TReplayRange {0, 45000}).IsRange());
    EXPECT_FALSE((TReplayRange {45000, 45000}).IsRange());
}

TEST(TrackReplay, SpeedGivesStepAndInterval)
{
    struct TCase
    {
        int Speed;
        int Step;
        int Interval;
    };

    // step = s div 10, at least 1; interval = 3000 div s ms. 30 gives the start values 3 and
    // 100 ms.
    const TCase cases[] = {
        {30, 3, 100},
        {1, 1, 3000},
        {9, 1, 333},
        {10, 1, 300},
        {55, 5, 54},
        {100, 10, 30},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Speed);
        EXPECT_EQ(ReplayStepFor(c.Speed), c.Step);
        EXPECT_EQ(ReplayIntervalFor(c.Speed), c.Interval);
    }
}

TEST(TrackReplay, PositionFollowsTheClock)
{
    struct TCase
    {
        const char *Name;
        int Anchor;
        std::int64_t ElapsedMs;
        int Interval, Step;
        int Position;
    };

    const TCase cases[] = {
        {"ten ticks of 100 ms, 3 a tick", 0, 1000, 100, 3, 30},
        {"a tick not yet complete", 30, 99, 100, 3, 30},
        {"from the middle", 500, 1050, 100, 3, 530},
        {"stops at the end", 990, 5000, 100, 3, kReplaySliderMax},
        {"a clock set back moves nothing", 200, -5000, 100, 3, 200},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(ReplayPositionAfter(c.Anchor, c.ElapsedMs, c.Interval, c.Step), c.Position);
    }
}

TEST(TrackReplay, PickedDatesKeepTheTimeOfDay)
{
    const TReplayRange range {EncodeDate(2024, 6, 21) + 0.25, EncodeDate(2024, 6, 23) + 0.75};
    const auto start = WithStartDate(range, EncodeDate(2024, 6, 22));
    ASSERT_TRUE(start);
    EXPECT_DOUBLE_EQ(start->Start, EncodeDate(2024, 6, 22) + 0.25);
    EXPECT_DOUBLE_EQ(start->End, range.End);
    const auto end = WithEndDate(range, EncodeDate(2024, 7, 1));
    ASSERT_TRUE(end);
    EXPECT_DOUBLE_EQ(end->End, EncodeDate(2024, 7, 1) + 0.75);
    // A pick that leaves no span is refused.
    EXPECT_FALSE(WithStartDate(range, EncodeDate(2024, 6, 24)));
    EXPECT_FALSE(WithEndDate(range, EncodeDate(2024, 6, 20)));
}

} // namespace
} // namespace vrn
