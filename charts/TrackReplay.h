#pragma once

// The rules of the track replay without its window: the range of times it runs over, the format
// of its time labels, the time of a slider position, the pace of its timer and the position the
// slider has reached after a while of playing.
//
// The replay keeps its pace by the clock: the slider position follows the time since "Play"
// (one step of ReplayStep positions per timer interval), so a slow redraw of a long track makes
// the slider jump rather than fall behind.

#include "engine/DateTime.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vrn {

// The slider runs from 0 to this position.
inline constexpr int kReplaySliderMax = 1000;

// The times the replay runs between (date-times). A start of 0 is no time at all.
struct TReplayRange
{
    double Start = 0;
    double End = 0;

    double Span() const { return End - Start; }

    // Something to replay: a span above 0 from a real start.
    bool IsRange() const { return Span() > 0 && Start > 0; }
};

// The label format (a pattern of dd, MM, yyyy, hh, mm, ss and separators) for a span of days:
// "hh:mm:ss" up to one day; above it the short date format and " hh:mm", the date without its
// year while the span is below 365 days ("dd/MM hh:mm").
std::string ReplayFormatFor(double spanDays, const TDateFormat &shortDate);

// A date-time written in a pattern of ReplayFormatFor ("21/06 04:29"); "?" for a value that is
// no date-time.
std::string FormatReplayTime(double dateTime, std::string_view pattern);

// The replay time of a slider position (0..kReplaySliderMax).
double ReplayTimeAt(const TReplayRange &range, int position);

// The speed slider (1..100) gives the slider steps per tick (at least 1, so that a slow replay
// still moves) and the timer interval in milliseconds.
int ReplayStepFor(int speed);
int ReplayIntervalFor(int speed);

// The slider position after elapsedMs of playing from `anchor`: one step per whole interval,
// never past the end, never back.
int ReplayPositionAfter(int anchor, std::int64_t elapsedMs, int intervalMs, int step);

// The range with a picked date in place of the start's (or the end's) date, the time of day
// kept; none when the picked date would leave no span (start at or after the end).
std::optional<TReplayRange> WithStartDate(const TReplayRange &range, double pickedDate);
std::optional<TReplayRange> WithEndDate(const TReplayRange &range, double pickedDate);

} // namespace vrn
