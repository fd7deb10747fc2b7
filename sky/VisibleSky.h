#pragma once

// The star finder's view of the sky: which bodies stand above the horizon for an observer at a
// GMT instant, the texts of the visible-body list and how they sort, the colour of the sky, and
// the instants the animation steps through. Plain C++, shared by the window, vrncli starfinder
// and the tests.

#include "engine/DateTime.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TAstroRegistry;
class TPosicionadorDeConstelacoes;
class TStarFinderScene;

struct TVisibleBody
{
    std::string Name;
    int Icon = -1; // StarFinderIconIndex
    double HcDeg = 0; // geocentric altitude, no refraction or dip
    double ZnDeg = 0; // true azimuth
    double RADeg = 0;
    double DecDeg = 0;
    float Magnitude = 0;
};

enum class TSkyShade
{
    Night, // the Sun more than 6° below the horizon
    Twilight,
    Day, // the Sun above the horizon
};

struct TVisibleSky
{
    double DateTime = 0; // GMT, days since 1899-12-30
    double LatDeg = 0;
    double LonDeg = 0; // WEST positive
    double SunHcDeg = 0;
    TSkyShade Shade = TSkyShade::Night;
    // In list order (Sun, Moon, Venus, Saturn, Mars, Jupiter, the 60 stars in catalogue order),
    // every body with sin Hc >= 0, by day as well.
    std::vector<TVisibleBody> Bodies;
};

// Computes every body of the registry (which must exist) for the instant. A body whose azimuth
// has no formula (on the pole, due east or west at the zenith) is still placed. Raises
// EConvertError for a date-time outside years 1..9999.
TVisibleSky ComputeVisibleSky(
    TAstroRegistry &registry, double dateTime, double latDeg, double lonDeg);

// Night below −6°, day above 0°, twilight between (both limits included in twilight).
TSkyShade SkyShadeFor(double sunHcDeg);

// Replaces the chart's items with the sky's bodies and the positioned constellation data
// (figures with their breaks, ecliptic, names).
void LoadScene(TStarFinderScene &scene, const TVisibleSky &sky,
    const TPosicionadorDeConstelacoes &constellations);

// The list's cells: Hc as "45°07.3' " (a trailing "-" below the horizon), Zn as "%4.0f°", the
// magnitude as "%2.1f" with "+" unless negative.
std::string HcCellText(double hcDeg);
std::string ZnCellText(double znDeg);
std::string MagnitudeCellText(double magnitude);

enum class TStarFinderColumn
{
    Body,
    Hc,
    Az,
    Mag,
};

// The key a numeric column sorts by: Hc without ",", "." and "'" and with "°" read as the decimal
// point (9°05.3' is 9.053), Az without "°", Mag as written; trimmed, and read by the one number
// parser. Nothing for a cell that is no number (and for the Body column, which sorts as text).
std::optional<double> StarFinderSortKey(TStarFinderColumn column, std::string_view cell);
// Whether the row of `a` goes before the row of `b` in ascending order of the column: text
// without regard to case for Body, the key for the others (cells without a key last).
bool StarFinderCellLess(TStarFinderColumn column, std::string_view a, std::string_view b);

// A cell of a printed list: cut to `width` characters as width − 2 characters and "..", or
// padded with blanks. Widths count characters, not bytes ("°" is one).
std::string FitCell(std::string_view cell, std::size_t width);

// "Lat: 23°22.3'S  Lon: 043°52.3'W | 21/06/2026 22:10:00 GMT".
std::string StarFinderViewLabel(
    double latDeg, double lonDeg, double dateTime, const TDateFormat &format);

// The animation's time step.
enum class TAnimationUnit
{
    Seconds,
    Minutes,
    Hours,
    Days,
    Months, // 30 days
    Years, // 365 days
};

// count × unit in days.
double AnimationStepDays(int count, TAnimationUnit unit);
// The instant one step on; nothing when it would leave 0001-01-01 00:00 .. 9999-12-31 23:59:59.
std::optional<double> AdvanceViewDateTime(double dateTime, int count, TAnimationUnit unit);

// Why the animation stopped at the end of the calendar.
constexpr const char *kAnimationRangeMessage =
    "The animation stopped: the next step would leave the years 1 to 9999.";

} // namespace vrn
