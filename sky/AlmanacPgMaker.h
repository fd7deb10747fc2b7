#pragma once

// The daily pages of a nautical almanac as fixed-width text lines, for three consecutive days of
// GMT: the left-hand page holds the GHA of Aries and the GHA and declination of Venus, Mars,
// Jupiter and Saturn for every hour; the right-hand page the Sun and the Moon for every hour and
// the SHA and declination of the 60 catalogue stars at noon of the middle day. Angles are written
// in degrees and minutes of arc (FormatAlmanacDM / FormatAlmanacDecl); v, d, HP and S.D. in
// minutes of arc. Lines are UTF-8 ("°" in the units line).

#include "engine/VrnError.h"

#include <array>
#include <string>
#include <vector>

namespace vrn {

class TAstroRegistry;

// The calendar names printed on the pages, in upper case as they appear (the window passes the
// platform locale's names, upper-cased by Qt; tests pin English). Weekdays run Sunday first.
struct TAlmanacNames
{
    std::array<std::string, 12> ShortMonths; // "JAN".."DEC"
    std::array<std::string, 7> ShortDays; // "SUN".."SAT"
    std::array<std::string, 7> LongDays; // "SUNDAY".."SATURDAY"

    static TAlmanacNames English();
};

// A date that leaves no room for the three days of a page and the hour before them.
class EAlmanacDateError : public EVrnError
{
public:
    using EVrnError::EVrnError;
};

// Page-relative line numbers (1-based) of the fixed layout, shared by both pages.
constexpr int kAlmanacFirstRowLine = 7; // hour 0 of the first day
constexpr int kAlmanacLinesPerDay = 28; // 24 hours, 3 separators, the closing rule
constexpr int kAlmanacPageLines = 6 + 3 * kAlmanacLinesPerDay + 1; // 91 with the summary line

class TAlmanacPageMaker
{
public:
    // The bodies come from `registry` (created on first use if they do not exist yet).
    TAlmanacPageMaker(TAstroRegistry &registry, TAlmanacNames names);

    // First day of the page, days since 1899-12-30; only the whole day is used (0h GMT). Days
    // from 0001-01-02 to 9999-12-29 leave room for the page and for the hour before it. The
    // window starts it at today; the maker reads no clock.
    double Date = 0;

    // Column titles: the line of body names and the line of quantities.
    std::string LeftHeader1;
    std::string LeftHeader2;
    std::string RightHeader1;
    std::string RightHeader2;

    // "2024 MAR. 30, 31, APR. 1 (SAT, SUN, MON)". Raises EAlmanacDateError for a Date out of
    // range.
    std::string MakeTitle() const;
    // Append the 91 lines of a page to `lines`. Computing the bodies leaves them at the page's
    // last instants (shared registry: readers compute before they read). Raises
    // EAlmanacDateError for a Date out of range; `lines` is then unchanged.
    void MakeLeftPage(std::vector<std::string> &lines);
    void MakeRightPage(std::vector<std::string> &lines);

    const TAlmanacNames &Names() const { return FNames; }

private:
    double FirstDay() const; // floor(Date), checked

    TAstroRegistry &FRegistry;
    TAlmanacNames FNames;
};

// The years in which the ephemeris keeps the accuracy of a printed almanac (outside them the
// series and the ΔT model degrade, slowly at first).
constexpr int kAlmanacAccurateFirstYear = 1900;
constexpr int kAlmanacAccurateLastYear = 2100;

} // namespace vrn
