#include "engine/DateTime.h"

#include "engine/VrnError.h"

#include <cctype>
#include <cmath>

namespace vrn {

namespace {

constexpr long long kMsecPerDay = 86400000;

// Days since 1970-01-01 of a proleptic Gregorian date and back (H. Hinnant, "chrono-Compatible
// Low-Level Date Algorithms", days_from_civil / civil_from_days).
constexpr long long DaysFromCivil(long long y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

TCalendarDate CivilFromDays(long long z)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    return {static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0)), m, d};
}

// 1899-12-30 in days since 1970-01-01.
constexpr long long kEpochDays = DaysFromCivil(1899, 12, 30);
static_assert(kEpochDays == -25569);

void CheckValid(double dateTime)
{
    if (!IsValidDateTime(dateTime))
        throw EConvertError("Invalid date/time value");
}

std::string ZeroPadded(int value, int width)
{
    std::string s = std::to_string(value);
    if (static_cast<int>(s.size()) < width)
        s.insert(0, static_cast<std::size_t>(width) - s.size(), '0');
    return s;
}

// Reads one to maxDigits decimal digits at pos; nothing when there is no digit or more digits
// follow.
std::optional<int> ReadDigits(std::string_view text, std::size_t &pos, int maxDigits)
{
    int value = 0;
    int n = 0;
    while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
        if (++n > maxDigits)
            return std::nullopt;
        value = value * 10 + (text[pos] - '0');
        ++pos;
    }
    if (n == 0)
        return std::nullopt;
    return value;
}

bool ReadChar(std::string_view text, std::size_t &pos, char c)
{
    if (pos < text.size() && text[pos] == c) {
        ++pos;
        return true;
    }
    return false;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

bool IsLeapYear(int year)
{
    return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
}

int DaysInMonth(int year, int month)
{
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && IsLeapYear(year) ? 29 : days[month - 1];
}

bool IsValidDate(int year, int month, int day)
{
    return year >= 1 && year <= 9999 && day >= 1 && day <= DaysInMonth(year, month);
}

bool IsValidTime(int hour, int minute, int second, int msec)
{
    return hour >= 0 && hour < 24 && minute >= 0 && minute < 60 && second >= 0 && second < 60
        && msec >= 0 && msec < 1000;
}

std::optional<double> TryEncodeDate(int year, int month, int day)
{
    if (!IsValidDate(year, month, day))
        return std::nullopt;
    return static_cast<double>(DaysFromCivil(year, month, day) - kEpochDays);
}

double EncodeDate(int year, int month, int day)
{
    if (const auto v = TryEncodeDate(year, month, day))
        return *v;
    throw EConvertError("Invalid argument to date encode");
}

std::optional<double> TryEncodeTime(int hour, int minute, int second, int msec)
{
    if (!IsValidTime(hour, minute, second, msec))
        return std::nullopt;
    const long long ms = ((hour * 60LL + minute) * 60 + second) * 1000 + msec;
    return static_cast<double>(ms) / kMsecPerDay;
}

double EncodeTime(int hour, int minute, int second, int msec)
{
    if (const auto v = TryEncodeTime(hour, minute, second, msec))
        return *v;
    throw EConvertError("Invalid argument to time encode");
}

bool IsValidDateTime(double dateTime)
{
    return std::isfinite(dateTime) && dateTime >= kMinDateTime && dateTime < kMaxDateTime;
}

TDateTimeParts DecodeDateTime(double dateTime)
{
    CheckValid(dateTime);
    double day = std::floor(dateTime);
    // Exact: a double minus its floor loses no bits.
    const double fraction = dateTime - day;
    long long ms = std::llround(fraction * static_cast<double>(kMsecPerDay));
    if (ms >= kMsecPerDay) {
        ms -= kMsecPerDay;
        day += 1;
    }
    TDateTimeParts parts;
    parts.Date = CivilFromDays(static_cast<long long>(day) + kEpochDays);
    parts.Time.Msec = static_cast<int>(ms % 1000);
    ms /= 1000;
    parts.Time.Second = static_cast<int>(ms % 60);
    ms /= 60;
    parts.Time.Minute = static_cast<int>(ms % 60);
    parts.Time.Hour = static_cast<int>(ms / 60);
    return parts;
}

TCalendarDate DecodeDate(double dateTime)
{
    return DecodeDateTime(dateTime).Date;
}

TClockTime DecodeTime(double dateTime)
{
    return DecodeDateTime(dateTime).Time;
}

int DayOfWeek(double dateTime)
{
    const TCalendarDate d = DecodeDate(dateTime);
    const long long day = DaysFromCivil(d.Year, d.Month, d.Day) - kEpochDays;
    // Day 0, 1899-12-30, was a Saturday.
    return static_cast<int>(((day + 6) % 7 + 7) % 7) + 1;
}

TDateHour SplitDateHour(double dateTime)
{
    CheckValid(dateTime);
    double day = std::floor(dateTime);
    double hour = (dateTime - day) * 24;
    if (hour >= 24) { // a tiny negative value has a fraction that rounds to 1
        hour = 0;
        day += 1;
    }
    const TCalendarDate d = CivilFromDays(static_cast<long long>(day) + kEpochDays);
    return {d.Year, d.Month, d.Day, hour};
}

double JoinDateHour(int year, int month, int day, double hour)
{
    return EncodeDate(year, month, day) + hour / 24;
}

std::string TDateFormat::Pattern() const
{
    const char sep = Separator;
    return Order == TDateOrder::DayMonthYear ? std::string("dd") + sep + "MM" + sep + "yyyy"
                                             : std::string("MM") + sep + "dd" + sep + "yyyy";
}

static TDateFormat &CurrentShortDateFormat()
{
    static TDateFormat format;
    return format;
}

const TDateFormat &ShortDateFormat()
{
    return CurrentShortDateFormat();
}

namespace {

bool IsDateSeparator(char c)
{
    return c != '\0' && kDateSeparators.find(c) != std::string_view::npos;
}

} // namespace

void SetShortDateFormat(const TDateFormat &format)
{
    CurrentShortDateFormat() = format;
    if (!IsDateSeparator(format.Separator))
        CurrentShortDateFormat().Separator = '/';
}

TDateFormat DateFormatFromUserPattern(std::string_view userPattern, const TDateFormat &current)
{
    if (userPattern.empty())
        return current;
    TDateFormat format;
    format.Order = userPattern.front() == 'd' || userPattern.front() == 'D'
        ? TDateOrder::DayMonthYear
        : TDateOrder::MonthDayYear;
    for (const char c : userPattern) {
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            format.Separator = IsDateSeparator(c) ? c : '/';
            break;
        }
    }
    return format;
}

namespace {

std::string DateText(const TCalendarDate &d, const TDateFormat &format)
{
    const std::string day = ZeroPadded(d.Day, 2);
    const std::string month = ZeroPadded(d.Month, 2);
    const char sep = format.Separator;
    return (format.Order == TDateOrder::DayMonthYear ? day + sep + month : month + sep + day) + sep
        + ZeroPadded(d.Year, 4);
}

std::string TimeText(const TClockTime &t)
{
    return ZeroPadded(t.Hour, 2) + ":" + ZeroPadded(t.Minute, 2) + ":" + ZeroPadded(t.Second, 2);
}

} // namespace

std::string FormatDateText(double dateTime, const TDateFormat &format)
{
    return DateText(DecodeDate(dateTime), format);
}

std::string FormatTimeText(double dateTime)
{
    return TimeText(DecodeTime(dateTime));
}

std::string FormatDateTimeText(double dateTime, const TDateFormat &format)
{
    const TDateTimeParts parts = DecodeDateTime(dateTime);
    std::string text = DateText(parts.Date, format);
    const TClockTime &t = parts.Time;
    if (t.Hour != 0 || t.Minute != 0 || t.Second != 0)
        text += " " + TimeText(t);
    return text;
}

std::optional<double> ParseDateTimeText(std::string_view text, const TDateFormat &format)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);

    std::size_t pos = 0;
    const auto first = ReadDigits(text, pos, 2);
    if (!first || pos >= text.size())
        return std::nullopt;
    // The format's own separator or any of the usual ones, the same both times.
    const char separator = text[pos];
    if (separator != format.Separator && !IsDateSeparator(separator))
        return std::nullopt;
    ++pos;
    const auto second = ReadDigits(text, pos, 2);
    if (!second || !ReadChar(text, pos, separator))
        return std::nullopt;
    const std::size_t yearStart = pos;
    const auto year = ReadDigits(text, pos, 4);
    if (!year || pos - yearStart != 4)
        return std::nullopt;
    const bool dayFirst = format.Order == TDateOrder::DayMonthYear;
    const auto date =
        TryEncodeDate(*year, dayFirst ? *second : *first, dayFirst ? *first : *second);
    if (!date)
        return std::nullopt;
    if (pos == text.size())
        return date;

    const std::size_t blanks = pos;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    if (pos == blanks)
        return std::nullopt;
    const auto hour = ReadDigits(text, pos, 2);
    if (!hour || !ReadChar(text, pos, ':'))
        return std::nullopt;
    const auto minute = ReadDigits(text, pos, 2);
    if (!minute)
        return std::nullopt;
    int secondValue = 0;
    int msec = 0;
    if (ReadChar(text, pos, ':')) {
        const auto sec = ReadDigits(text, pos, 2);
        if (!sec)
            return std::nullopt;
        secondValue = *sec;
        if (ReadChar(text, pos, '.')) {
            const std::size_t msStart = pos;
            const auto ms = ReadDigits(text, pos, 3);
            if (!ms)
                return std::nullopt;
            // ".5" is half a second, as a decimal fraction reads.
            msec = *ms * (pos - msStart == 1 ? 100 : pos - msStart == 2 ? 10 : 1);
        }
    }
    if (pos != text.size())
        return std::nullopt;
    const auto time = TryEncodeTime(*hour, *minute, secondValue, msec);
    if (!time)
        return std::nullopt;
    return *date + *time;
}

std::string FileDateTimeText(double dateTime)
{
    return FormatDateTimeText(dateTime, kFileDateFormat);
}

std::optional<double> ReadFileDateTime(std::string_view text)
{
    return ParseDateTimeText(text, kFileDateFormat);
}

std::string InvalidDateMessage(std::string_view fieldName, const TDateFormat &format)
{
    return "Invalid date in " + std::string(fieldName) + ": expected " + format.Pattern();
}

double ReadDateField(std::string_view text, std::string_view fieldName, const TDateFormat &format)
{
    const auto v = ParseDateTimeText(text, format);
    if (!v)
        throw EVrnError(InvalidDateMessage(fieldName, format));
    return std::floor(*v);
}

} // namespace vrn
