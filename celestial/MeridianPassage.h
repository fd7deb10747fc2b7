#pragma once

// Position from the Sun's meridian passage. The noon sight takes the latitude from the maximum
// altitude and the declination, the longitude from the GMT of that maximum and the equation of
// time, ignoring the boat's run and the change of declination. The method of equal altitudes
// takes the passage as the mean of the GMTs at which the Sun had the same altitude before and
// after noon, corrected by the "i factor" for the boat's northward speed and the Sun's change of
// declination (Bowditch, The American Practical Navigator, ch. 20, "Longitude at local apparent
// noon by equal altitudes"); up to five pairs are averaged.
//
// Degrees, west-positive longitudes, GMT in decimal hours, dates in days since 1899-12-30.

#include "celestial/Sextante.h"
#include "celestial/SightInputs.h"

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vrn {

class TAstroRegistry;
class TSol;

// The Sun's place the passage calculations need at a GMT instant.
struct TSunPassagePlace
{
    double DecDeg = 0;
    double GHADeg = 0;
    double EquationOfTimeHours = 0; // apparent minus mean solar time
};

// Where the Sun's place comes from: the ephemeris, or a fixed Sun in tests.
class TSunEphemeris
{
public:
    virtual ~TSunEphemeris() = default;
    // `hours` may run outside 0..24 (a watch error carried past midnight).
    virtual TSunPassagePlace At(int year, int month, int day, double hours) = 0;
};

// The Sun of the body registry; leaves it computed for the last instant asked.
class TSolEphemeris : public TSunEphemeris
{
public:
    explicit TSolEphemeris(TSol &sun)
        : FSun(sun)
    { }

    TSunPassagePlace At(int year, int month, int day, double hours) override;

private:
    TSol &FSun;
};

// ---------------------------------------------------------------------------------------------
// Noon sight

// The position from a meridian altitude: Lon = (GMT − 12)·15 + E, z = 90 − Ho; the latitude is
// Dec − z with the Sun to the north, Dec + z with the Sun to the south, each only when it lies on
// the globe. The longitude is brought into (−180, 180].
struct TNoonPosition
{
    double LonDeg = 0;
    std::optional<double> LatIfSunNorthDeg;
    std::optional<double> LatIfSunSouthDeg;
};

TNoonPosition NoonPosition(double gmtHours, double equationOfTimeDeg, double decDeg, double hoDeg);

struct TNoonSightInputs
{
    TAstro *Body = nullptr; // the body chosen in the window; must be the Sun
    std::string GMTDateText; // read with ReadGMTDate
    double GMTDayFraction = 0; // the GMT time field
    double HsDeg = 0; // sextant altitude
    TLimbType Limb = TLimbType::LowerLimb;
    bool ArtificialHorizon = false;
    TSextantSettingsInput Settings;
    TPosition AssumedPos; // for the Coriolis correction only
    TBoatCourseAndSpeed Boat; // for the Coriolis correction only
    TDateFormat DateFormat = ShortDateFormat();
};

// "Simple Sun Meridian Passage". Fails with "Select the Sun for meridian passage calculation"
// before writing anything when the body is not the Sun; otherwise replaces the report and writes
// it line by line (a failure such as "Invalid date" leaves the lines written before it). The
// sextant and the watch receive the sight's values. `sun` is the registry's Sun.
TNoonPosition CalcNoonSight(const TNoonSightInputs &input, TSol &sun, TVrnSextant &sextant,
    TVrnWatch &watch, std::vector<std::string> &report);

// ---------------------------------------------------------------------------------------------
// Equal altitudes

struct TMeridianPassageTimePair
{
    std::int32_t PairNumber = 0; // 1..5 (1 for the single pair)
    bool PairSelected = false; // used in the means
    double TimeBefore = 0; // GMT hours of the sight before transit, watch error applied
    double TimeAfter = 0; // GMT hours of the sight after transit
    double MidTime = 0; // (TimeBefore + TimeAfter)/2
    double DeclRate = 0; // the Sun's change of declination, minutes of arc per hour
    double IFactor = 0; // passage time correction, seconds of time
    double PassageTime = 0; // corrected passage time, GMT hours
};

// Shows the pairs and lets the user untick some (the selection dialog); false when cancelled.
using TPairChooser = std::function<bool(std::vector<TMeridianPassageTimePair> &pairs)>;

class TEnhancedMeridianPassageCalculator
{
public:
    explicit TEnhancedMeridianPassageCalculator(TSunEphemeris &sun)
        : FSun(sun)
    { }

    double PassageDate = 0; // days since 1899-12-30
    std::uint16_t Day = 0;
    std::uint16_t Month = 0;
    std::uint16_t Year = 0;
    double Speed = 0; // knots
    double Course = 0; // degrees true
    double Latitude = 0; // assumed, degrees north
    double NorthSpeed = 0; // knots, negative southwards
    std::vector<TMeridianPassageTimePair> Pairs;
    double MeanIFactor = 0; // seconds of time
    double MeanPassageTime = 0; // GMT hours

    // Stores the date and its day, month and year. Raises EConvertError for a value that is no
    // date.
    void SetPassageDate(double date);
    // Mid time, declination rate, i factor and corrected passage time of every pair:
    // i = (tan L − tan Dm)·15.28·(V·cos C − ΔDec) seconds, with Dm the mean declination and
    // ΔDec in minutes per hour.
    void CalcPairCorrections();
    // Means over the selected pairs; raises "No valid time entries" when none is selected.
    void CalcMeans();
    // Corrections, then the selection dialog when there are two pairs or more; false when the
    // user cancelled it (the means are then not computed).
    bool ChoosePairsAndCalc(const TPairChooser &choose);

    struct TSunAtPassageResult
    {
        double DecDeg = 0;
        double GHADeg = 0;
        double EquationOfTimeDeg = 0; // the equation of time × 15
    };

    // The Sun at MeanPassageTime on the passage date.
    TSunAtPassageResult SunAtPassage();

private:
    TSunEphemeris &FSun;
};

// The average passage time of the ticked pairs and each ticked pair's difference from it, in
// seconds (empty for unticked pairs); no average when none is ticked.
struct TAveragePassage
{
    std::optional<double> MeanHours;
    std::vector<std::optional<double>> DiffSec; // index-aligned with the pairs
};

TAveragePassage AveragePassage(const std::vector<TMeridianPassageTimePair> &pairs);

// The two time fields of one row, as fractions of a day (0 when empty).
struct TEqualAltitudeRow
{
    double BeforeDayFraction = 0;
    double AfterDayFraction = 0;
};

constexpr int kEqualAltitudeRows = 5;
// The largest interval between the two sights of a pair.
constexpr double kMaxPairIntervalMin = 80;

// The pairs of the window's time fields, the watch error (seconds, fast positive) taken off. On the
// "Multiple pairs" page a row counts only when both its times are non-zero; on the "One pair"
// page the single row must have both ("Invalid times"). Raises "Times before and after cannot be
// the same" and "Difference between Times before and after cannot exceed 80 minutes." for the
// first row that breaks them.
std::vector<TMeridianPassageTimePair> ReadTimePairs(bool multiplePairs,
    const TEqualAltitudeRow &onePair, const std::array<TEqualAltitudeRow, kEqualAltitudeRows> &rows,
    int watchErrorSec);

struct TEqualAltitudesInputs
{
    std::string GMTDateText;
    double HsDeg = 0; // maximum sextant altitude (culmination)
    // Added to the altitude, with the sign of the celestial window's index correction, of
    // vrncli sight --ie and of the LOP record: negative when the error is on the arc.
    double IndexCorrectionArcmin = 0;
    double DipValue = 0;
    TDipUnit DipUnit = TDipUnit::Meters;
    // Seconds the watch is fast (+) or slow (-), as in the celestial window: taken off every
    // time read.
    int WatchErrorSec = 0;
    bool LowerLimb = true;
    double LatDeg = 0; // assumed latitude
    double LonDeg = 0; // assumed longitude: the Coriolis correction only
    TBoatCourseAndSpeed Boat;
    bool MultiplePairs = false;
    TEqualAltitudeRow OnePair;
    std::array<TEqualAltitudeRow, kEqualAltitudeRows> Rows {};
    TDateFormat DateFormat = ShortDateFormat();
};

struct TEqualAltitudesResult
{
    bool Done = false; // false when the user cancelled the pair selection
    double PassageTimeHours = 0;
    double LatDeg = 0;
    double LonDeg = 0; // (−180, 180]
};

// "Sun Meridian Passage by Equal Altitudes": replaces the report and writes it line by line; a
// failure leaves the lines written before it. The sextant keeps the refraction, temperature,
// pressure and Coriolis settings it holds (the main window's) and receives the dip and index
// correction of this window (a negative height of eye fails as in the main window). The Sun of
// `astros` becomes its current body.
TEqualAltitudesResult CalcEqualAltitudes(const TEqualAltitudesInputs &input, TAstroRegistry &astros,
    TSunEphemeris &sun, TVrnSextant &sextant, const TPairChooser &choose,
    std::vector<std::string> &report);

// The time text of the passage reports: "hh:mm:ss" of `hours` (millisecond-rounded).
std::string PassageTimeText(double hours);

} // namespace vrn
