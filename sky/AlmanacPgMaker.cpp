#include "sky/AlmanacPgMaker.h"

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/Stars.h"
#include "engine/TextCodec.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <string_view>

namespace vrn {
namespace {

constexpr std::string_view kLeftRule = "------+----------+-------------------+-------------------+"
                                       "-------------------+--------------------";
constexpr std::string_view kLeftNames = "      |  ARIES   |   VENUS           |   MARS            |"
                                        "   JUPITER         |   SATURN           ";
constexpr std::string_view kLeftTitles =
    "G.M.T |   GHA    |   GHA      Dec    |   GHA      Dec    |"
    "   GHA      Dec    |   GHA      Dec     ";
constexpr std::string_view kLeftUnits =
    " d  h |    \u00B0  '  |    \u00B0  '     \u00B0  '  |"
    "    \u00B0  '     \u00B0  '  |    \u00B0  '     \u00B0  '  |"
    "    \u00B0  '     \u00B0  '  ";
constexpr std::string_view kLeftSeparator = "  ";
constexpr std::string_view kLeftSummaryLead = "                 |";

constexpr std::string_view kRightRule =
    "------+-------------------+----------------------------------+------------------------------";
constexpr std::string_view kRightNames =
    "      |   SUN             |   MOON                           | STARS                       ";
constexpr std::string_view kRightTitles = "G.M.T |   GHA      Dec    |   GHA      v    Dec      d  "
                                          " HP  | Name          SHA      Dec     ";
constexpr std::string_view kRightUnits =
    " d  h |    \u00B0  '     \u00B0  '  |    \u00B0  '    '     \u00B0  '    '    '  |"
    "                \u00B0  '     \u00B0  '   ";
constexpr std::string_view kRightSeparator =
    "      |                   |                                  | ";
constexpr std::string_view kRightDayRule =
    "------+-------------------+----------------------------------| ";

// The page covers three days of 24 hourly rows; each day's block of lines is the rows with a
// separator after hours 5, 11 and 17, then a rule line.
constexpr int kDays = 3;
constexpr int kHours = 24;
// The vertical weekday name starts on the row of hour 5 and may use every line of the day up to
// the row of hour 23: 19 rows and 3 separators.
constexpr int kWeekdayFirstOffset = 5;
constexpr int kWeekdayMaxLetters = 22;
constexpr int kStarNameWidth = 11;
constexpr int kStarsPerGroup = 5;

// Minutes of arc of GHA the Moon gains on 15°/h in an average hour: 14°19' per hour is the
// almanac's base for its v column.
constexpr double kMoonBaseExcessArcmin = 41;

bool IsSeparatorHour(int hour)
{
    return hour == 5 || hour == 11 || hour == 17;
}

// "30  0 | " on the first row of a day, "    5 | " on the others.
std::string HourLabel(int day, int hour)
{
    if (hour == 0)
        return FormatInt(day, 2) + " " + FormatInt(hour, 2) + " | ";
    return "   " + FormatInt(hour, 2) + " | ";
}

std::string Tenths(double arcmin)
{
    return FormatFixed(arcmin, 1, 4);
}

// The UTF-8 characters of a text, one string each.
std::vector<std::string> Utf8Chars(std::string_view text)
{
    std::vector<std::string> chars;
    for (std::size_t i = 0, n = 0; i < text.size(); i += n) {
        n = NextUtf8Char(text, i).Length;
        chars.emplace_back(text.substr(i, n));
    }
    return chars;
}

// Exactly `width` characters: cut, or padded with blanks on the right.
std::string FitWidth(std::string_view text, std::size_t width)
{
    std::string fitted(Utf8Left(text, width));
    fitted.append(width - Utf8Length(fitted), ' ');
    return fitted;
}

// Writes the day's weekday name down the second column of the page, from the row of hour 5 on.
// `dayStart` is the index in `page` of the day's first row. A name too long for the day's lines
// is cut there.
void WriteVerticalName(std::vector<std::string> &page, std::size_t dayStart, std::string_view name)
{
    const std::vector<std::string> letters = Utf8Chars(name);
    for (std::size_t k = 0; k < letters.size() && k < std::size_t(kWeekdayMaxLetters); ++k) {
        std::string &line = page.at(dayStart + kWeekdayFirstOffset + k);
        // The second character of these lines is always an ASCII blank.
        line = line.substr(0, 1) + letters[k] + line.substr(2);
    }
}

// Angle difference brought into [-180, 180).
double SignedDifference(double toDeg, double fromDeg)
{
    const double d = toDeg - fromDeg;
    return d - 360 * std::floor((d + 180) / 360);
}

std::size_t DayStart(int day)
{
    return std::size_t(kAlmanacFirstRowLine - 1 + day * kAlmanacLinesPerDay);
}

} // namespace

TAlmanacNames TAlmanacNames::English()
{
    return {{"JAN", "FEB", "MAR", "APR", "MAY", "JUN", "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"},
        {"SUN", "MON", "TUE", "WED", "THU", "FRI", "SAT"},
        {"SUNDAY", "MONDAY", "TUESDAY", "WEDNESDAY", "THURSDAY", "FRIDAY", "SATURDAY"}};
}

TAlmanacPageMaker::TAlmanacPageMaker(TAstroRegistry &registry, TAlmanacNames names)
    : LeftHeader1(kLeftNames)
    , LeftHeader2(kLeftTitles)
    , RightHeader1(kRightNames)
    , RightHeader2(kRightTitles)
    , FRegistry(registry)
    , FNames(std::move(names))
{ }

double TAlmanacPageMaker::FirstDay() const
{
    // The Moon is first computed an hour before the page, the last row is 23h of the third day.
    if (!std::isfinite(Date) || std::floor(Date) - 1 < kMinDateTime
        || std::floor(Date) + kDays > kMaxDateTime)
        throw EAlmanacDateError("Date out of range for almanac pages (0001-01-02 to 9999-12-29)");
    return std::floor(Date);
}

std::string TAlmanacPageMaker::MakeTitle() const
{
    const double first = FirstDay();
    TCalendarDate previous = DecodeDate(first);
    std::string title = FormatInt(previous.Year) + " " + FNames.ShortMonths.at(previous.Month - 1)
        + ". " + FormatInt(previous.Day) + ", ";
    for (int k = 1; k < kDays; ++k) {
        const TCalendarDate c = DecodeDate(first + k);
        if (c.Year != previous.Year)
            title += FormatInt(c.Year) + " ";
        if (c.Day == 1)
            title += FNames.ShortMonths.at(c.Month - 1) + ". ";
        title += FormatInt(c.Day);
        title += k == kDays - 1 ? " " : ", ";
        previous = c;
    }
    title += "(";
    for (int k = 0; k < kDays; ++k) {
        if (k > 0)
            title += ", ";
        title += FNames.ShortDays.at(DayOfWeek(first + k) - 1);
    }
    return title + ")";
}

void TAlmanacPageMaker::MakeLeftPage(std::vector<std::string> &lines)
{
    const double first = FirstDay();
    FRegistry.CreateAstros();
    TAstro &aries = *FRegistry.Aries();
    TAstro *planets[] = {FRegistry.FindAstro("Venus"), FRegistry.FindAstro("Mars"),
        FRegistry.FindAstro("Jupiter"), FRegistry.FindAstro("Saturn")};
    constexpr int kPlanets = 4;

    std::vector<std::string> page;
    page.reserve(kAlmanacPageLines);
    page.push_back("     " + MakeTitle());
    page.emplace_back(kLeftRule);
    page.push_back(LeftHeader1);
    page.emplace_back(kLeftRule);
    page.push_back(LeftHeader2);
    page.emplace_back(kLeftUnits);

    // Positions at 0h of the second and third days give v and d over the middle day.
    TAstro::TGHADec atSecond[kPlanets];
    TAstro::TGHADec atThird[kPlanets];
    for (int day = 0; day < kDays; ++day) {
        const int dayNumber = DecodeDate(first + day).Day;
        for (int hour = 0; hour < kHours; ++hour) {
            const double t = first + day + hour / 24.0;
            std::string row =
                HourLabel(dayNumber, hour) + FormatAlmanacDM(aries.SetDateTime(t).GHADeg);
            for (int p = 0; p < kPlanets; ++p) {
                const TAstro::TGHADec r = planets[p]->SetDateTime(t);
                row += " | " + FormatAlmanacDM(r.GHADeg) + " " + FormatAlmanacDecl(r.DecDeg);
                if (hour == 0 && day == 1)
                    atSecond[p] = r;
                if (hour == 0 && day == 2)
                    atThird[p] = r;
            }
            page.push_back(std::move(row));
            if (IsSeparatorHour(hour))
                page.emplace_back(kLeftSeparator);
        }
        page.emplace_back(kLeftRule);
    }
    for (int day = 0; day < kDays; ++day)
        WriteVerticalName(page, DayStart(day), FNames.LongDays.at(DayOfWeek(first + day) - 1));

    std::string summary(kLeftSummaryLead);
    for (int p = 0; p < kPlanets; ++p) {
        if (p > 0)
            summary += " |";
        const double v = SignedDifference(atThird[p].GHADeg, atSecond[p].GHADeg) * 60 / 24;
        const double d = std::fabs(atThird[p].DecDeg - atSecond[p].DecDeg) * 60 / 24;
        summary += "   v " + Tenths(v) + "   d " + Tenths(d);
    }
    page.push_back(std::move(summary));

    lines.insert(lines.end(), page.begin(), page.end());
}

void TAlmanacPageMaker::MakeRightPage(std::vector<std::string> &lines)
{
    const double first = FirstDay();
    FRegistry.CreateAstros();
    TAstro &sun = *FRegistry.Sun();
    TAstro &moon = *FRegistry.Moon();
    TAstro &aries = *FRegistry.Aries();

    std::vector<std::string> page;
    page.reserve(kAlmanacPageLines);
    page.push_back("      " + MakeTitle());
    page.emplace_back(kRightRule);
    page.push_back(RightHeader1);
    page.emplace_back(kRightRule);
    page.push_back(RightHeader2);
    page.emplace_back(kRightUnits);

    // v and d of the first row are counted from 23h of the day before the page.
    TAstro::TGHADec previousMoon = moon.SetDateTime(first - 1.0 / 24);
    double moonSemiDiameterAtNoon[kDays] = {};
    double sunDecSecond = 0;
    double sunDecThird = 0;
    double sunSemiDiameterThird = 0;
    for (int day = 0; day < kDays; ++day) {
        const int dayNumber = DecodeDate(first + day).Day;
        for (int hour = 0; hour < kHours; ++hour) {
            const double t = first + day + hour / 24.0;
            const TAstro::TGHADec s = sun.SetDateTime(t);
            const TAstro::TGHADec m = moon.SetDateTime(t);
            if (hour == 12)
                moonSemiDiameterAtNoon[day] = moon.GetSemiDiameter();
            if (hour == 0 && day == 1)
                sunDecSecond = s.DecDeg;
            if (hour == 0 && day == 2) {
                sunDecThird = s.DecDeg;
                sunSemiDiameterThird = sun.GetSemiDiameter();
            }
            const double v =
                (FloorMod(m.GHADeg - previousMoon.GHADeg, 360) - 15) * 60 + kMoonBaseExcessArcmin;
            const double d = std::fabs(m.DecDeg - previousMoon.DecDeg) * 60;
            page.push_back(HourLabel(dayNumber, hour) + FormatAlmanacDM(s.GHADeg) + " "
                + FormatAlmanacDecl(s.DecDeg) + " | " + FormatAlmanacDM(m.GHADeg) + " " + Tenths(v)
                + " " + FormatAlmanacDecl(m.DecDeg) + " " + Tenths(d) + " "
                + Tenths(moon.GetHorizontalParallax()) + " | ");
            previousMoon = m;
            if (IsSeparatorHour(hour))
                page.emplace_back(kRightSeparator);
        }
        page.emplace_back(kRightDayRule);
    }
    for (int day = 0; day < kDays; ++day)
        WriteVerticalName(page, DayStart(day), FNames.LongDays.at(DayOfWeek(first + day) - 1));

    // Stars at noon of the middle day, five to a group, a blank line between groups.
    const double noon = first + 1.5;
    const double ariesGha = aries.SetDateTime(noon).GHADeg;
    const auto catalogue = StarCatalogue();
    for (int k = 0; k < kStarCount; ++k) {
        TAstro *star = FRegistry.FindAstro(catalogue[k].Name);
        if (star == nullptr)
            throw EVrnError("Star not found: " + std::string(catalogue[k].Name));
        const TAstro::TGHADec r = star->SetDateTime(noon);
        const double sha = FloorMod(r.GHADeg - ariesGha, 360);
        page.at(std::size_t(kAlmanacFirstRowLine - 1 + k + k / kStarsPerGroup)) +=
            FitWidth(star->Name(), kStarNameWidth) + " " + FormatAlmanacDM(sha) + " "
            + FormatAlmanacDecl(r.DecDeg);
    }

    std::string summary = "      |S.D. " + Tenths(sunSemiDiameterThird) + "   d "
        + Tenths(std::fabs(sunDecThird - sunDecSecond) * 60 / 24) + " | S.D.    ";
    for (const double sd : moonSemiDiameterAtNoon)
        summary += Tenths(sd) + "    ";
    page.push_back(summary + " |");

    lines.insert(lines.end(), page.begin(), page.end());
}

} // namespace vrn
