#pragma once

// Date-time values: a double counting days since 1899-12-30 00:00, the fraction being the time of
// day (1.5 is 1899-12-31 12:00, 45000 is 2023-03-15). Dates are proleptic Gregorian, years
// 1..9999.
//
// The count is linear on both sides of the epoch: the calendar day is floor(v) and the time of
// day v - floor(v), so -0.75 is 1899-12-29 06:00. The platform the file formats come from wrote
// days before the epoch as "day minus time of day" (-1.25 for that same instant), which breaks
// every sum of a date and a time; no file of this system holds dates before 1900, so the linear
// reading loses nothing and keeps v + hours/24 valid everywhere.

#include <optional>
#include <string>
#include <string_view>

namespace vrn {

constexpr double kMinDateTime = -693593.0; // 0001-01-01 00:00
constexpr double kMaxDateTime = 2958466.0; // 10000-01-01 00:00, excluded

bool IsLeapYear(int year);
int DaysInMonth(int year, int month); // 0 for a month outside 1..12
bool IsValidDate(int year, int month, int day); // years 1..9999
bool IsValidTime(int hour, int minute, int second, int msec); // 0..23, 0..59, 0..59, 0..999

// Day numbers of dates and day fractions of times. The Try forms return nothing for an invalid
// argument; the plain forms raise EConvertError "Invalid argument to date encode" / "...time
// encode", the platform's messages.
std::optional<double> TryEncodeDate(int year, int month, int day);
double EncodeDate(int year, int month, int day);
std::optional<double> TryEncodeTime(int hour, int minute, int second, int msec);
double EncodeTime(int hour, int minute, int second, int msec);

struct TCalendarDate
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
};

struct TClockTime
{
    int Hour = 0;
    int Minute = 0;
    int Second = 0;
    int Msec = 0;
};

struct TDateTimeParts
{
    TCalendarDate Date;
    TClockTime Time;
};

// True for a finite value in [kMinDateTime, kMaxDateTime).
bool IsValidDateTime(double dateTime);

// The one conversion of a date-time into calendar and clock fields: the value is rounded to the
// nearest millisecond first, so 12:59:30 stored as 0.54131944... reads 12:59:30, not 12:59:29,
// and 23:59:59.9997 reads as midnight of the next day (date and time always agree). An invalid
// value (see IsValidDateTime) raises EConvertError "Invalid date/time value".
TDateTimeParts DecodeDateTime(double dateTime);
TCalendarDate DecodeDate(double dateTime);
TClockTime DecodeTime(double dateTime);

// Day of the week of the (millisecond-rounded) date, 1 = Sunday .. 7 = Saturday.
int DayOfWeek(double dateTime);

// A date-time as calendar date and decimal hour of that day, the form the ephemeris takes.
// No rounding: Hour = (v - floor(v))·24 exactly, in [0, 24). Raises like DecodeDateTime.
struct TDateHour
{
    int Year = 0;
    int Month = 0;
    int Day = 0;
    double Hour = 0;
};

TDateHour SplitDateHour(double dateTime);
// The inverse: EncodeDate + hour/24 (the hour may run outside 0..24). Raises like EncodeDate.
double JoinDateHour(int year, int month, int day, double hour);

// The short date format of the process. The program fixes it at start-up to day-month-year or
// month-day-year with the user's date separator ("/", "." or "-"); a file format that prescribes
// its own ("dd/mm/yyyy" in chart files) passes a TDateFormat of its own instead.
enum class TDateOrder
{
    DayMonthYear, // dd/MM/yyyy
    MonthDayYear, // MM/dd/yyyy
};

struct TDateFormat
{
    TDateOrder Order = TDateOrder::DayMonthYear;
    char Separator = '/';

    // The pattern shown to users, for instance in field hints: "dd/MM/yyyy", "MM-dd-yyyy".
    std::string Pattern() const;
};

// The separators a date may be written with; any of them is read in every date.
inline constexpr std::string_view kDateSeparators = "/.-";

// The process-wide short date format, dd/MM/yyyy until SetShortDateFormat changes it. A
// separator other than those of kDateSeparators is replaced by "/".
const TDateFormat &ShortDateFormat();
void SetShortDateFormat(const TDateFormat &format);

// The short date format the programs fix from the user's own pattern (a Qt pattern such as
// "d.M.yy" or "yyyy-MM-dd"): day first when the pattern begins with "d" or "D", month first
// otherwise; the separator is the pattern's first character that is not a letter when that is
// "/", "." or "-", else "/" (the C locale's "d MMM yyyy" gives dd/MM/yyyy). An empty pattern
// leaves `current` unchanged.
TDateFormat DateFormatFromUserPattern(std::string_view userPattern, const TDateFormat &current);

// Texts of date-times in reports and files: the date with two-digit day and month and a
// four-digit year; the time as "hh:mm:ss" (24 hours, seconds truncated after the millisecond
// rounding); a date-time is the date, a blank and the time, the time being left out when it
// reads 00:00:00. Raise like DecodeDateTime.
std::string FormatDateText(double dateTime, const TDateFormat &format);
std::string FormatTimeText(double dateTime);
std::string FormatDateTimeText(double dateTime, const TDateFormat &format);

// Reads a date, optionally followed by blanks and a time: day and month of one or two digits in
// the order of `format`, separated twice by the same separator ("/", "." or "-", whatever the
// format's own), a four-digit year, then "h:mm", "h:mm:ss" or "h:mm:ss.zzz" (one or two digits
// per field, one to three after the point). Blanks around the whole are ignored. The digits
// after the point are a decimal fraction of the second (".5" is 500 ms). Anything else, or an
// impossible date or time, gives nothing.
std::optional<double> ParseDateTimeText(std::string_view text, const TDateFormat &format);

// Dates in the files the programs write and read (LOP lists, desktops, tracks, chart image
// data): always day, month, year written with "/" ("21/06/2024 04:29:47"), whatever the user's
// locale, so that a file travels between machines, locales and programs (vrncli reads what the
// windows write). Reading takes any of the separators of kDateSeparators.
inline constexpr TDateFormat kFileDateFormat {TDateOrder::DayMonthYear, '/'};

// The date-time text of a file (FormatDateTimeText in kFileDateFormat).
std::string FileDateTimeText(double dateTime);
// The one reader of a date, with optional time, of a file (ParseDateTimeText in
// kFileDateFormat).
std::optional<double> ReadFileDateTime(std::string_view text);

// The message of a date field that does not hold a date: "Invalid date in GMT date: expected
// dd/MM/yyyy".
std::string InvalidDateMessage(std::string_view fieldName, const TDateFormat &format);

// The date of a date field (an optional time after it is ignored) as the date-time of its
// midnight. Raises EVrnError with InvalidDateMessage for an empty or unreadable text.
double ReadDateField(std::string_view text, std::string_view fieldName, const TDateFormat &format);

} // namespace vrn
