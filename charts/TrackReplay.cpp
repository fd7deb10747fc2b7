#include "charts/TrackReplay.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace vrn {

std::string ReplayFormatFor(double spanDays, const TDateFormat &shortDate)
{
    if (spanDays <= 1)
        return "hh:mm:ss";
    std::string date = shortDate.Pattern();
    const auto y =
        std::find_if(date.begin(), date.end(), [](char c) { return c == 'y' || c == 'Y'; });
    // The date is cut before its year together with the separator in front of the year.
    if (y != date.end() && spanDays < 365) {
        const auto keep = static_cast<std::size_t>(y - date.begin());
        if (keep >= 2)
            date.resize(keep - 1);
    }
    return date + " hh:mm";
}

std::string FormatReplayTime(double dateTime, std::string_view pattern)
{
    if (!IsValidDateTime(dateTime))
        return "?";
    const TDateTimeParts parts = DecodeDateTime(dateTime);
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        std::size_t run = 1;
        while (i + run < pattern.size() && pattern[i + run] == c)
            ++run;
        char buf[16];
        auto field = [&](int value, int digits) {
            std::snprintf(buf, sizeof buf, "%0*d", digits, value);
            out += buf;
        };
        switch (c) {
        case 'd':
            field(parts.Date.Day, 2);
            break;
        case 'M':
            field(parts.Date.Month, 2);
            break;
        case 'y':
            field(parts.Date.Year, run >= 4 ? 4 : 2);
            break;
        case 'h':
            field(parts.Time.Hour, 2);
            break;
        case 'm':
            field(parts.Time.Minute, 2);
            break;
        case 's':
            field(parts.Time.Second, 2);
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

double ReplayTimeAt(const TReplayRange &range, int position)
{
    return range.Start + range.Span() * position / kReplaySliderMax;
}

int ReplayStepFor(int speed)
{
    return std::max(1, speed / 10);
}

int ReplayIntervalFor(int speed)
{
    return 3000 / std::clamp(speed, 1, 100);
}

int ReplayPositionAfter(int anchor, std::int64_t elapsedMs, int intervalMs, int step)
{
    if (elapsedMs <= 0 || intervalMs <= 0)
        return std::clamp(anchor, 0, kReplaySliderMax);
    const std::int64_t ticks = elapsedMs / intervalMs;
    const std::int64_t position = anchor + ticks * std::max(step, 1);
    return static_cast<int>(std::clamp<std::int64_t>(position, 0, kReplaySliderMax));
}

namespace {

double WithDateOf(double dateTime, double pickedDate)
{
    return std::floor(pickedDate) + (dateTime - std::floor(dateTime));
}

} // namespace

std::optional<TReplayRange> WithStartDate(const TReplayRange &range, double pickedDate)
{
    TReplayRange r = range;
    r.Start = WithDateOf(range.Start, pickedDate);
    if (!r.IsRange())
        return std::nullopt;
    return r;
}

std::optional<TReplayRange> WithEndDate(const TReplayRange &range, double pickedDate)
{
    TReplayRange r = range;
    r.End = WithDateOf(range.End, pickedDate);
    if (!r.IsRange())
        return std::nullopt;
    return r;
}

} // namespace vrn
