#pragma once

// Sextant altitude corrections: from the sextant altitude Hs to the observed altitude
// Ho = Hs + TotalCorrection. Units differ between fields on purpose (they are the units the
// navigator reads them in): altitudes, index correction, dip and the total in degrees;
// refraction, semi-diameter, parallax, calibration and Coriolis in minutes of arc. Every
// correction is signed so that it is added to the altitude.
//
// The module also holds the four objects shared by the celestial navigation windows: the
// sextant, the watch (GMT of the sight), the assumed position and the boat's course and speed.
// Windows copy their fields into them before each calculation; the calculations themselves take
// them as parameters.

#include "engine/Trigonom.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

class TAstro;

// Limits of the refraction formula with atmospheric variables: the coldest and hottest air on
// record near the surface (−89 °C, 57 °C) with a margin, and the highest sea-level pressure
// (1084 mb) with a margin. Low pressures are allowed: bubble sextants are used aloft.
constexpr double kMinAirTemperatureC = -90;
constexpr double kMaxAirTemperatureC = 60;
constexpr double kMaxAirPressureMb = 1100;

// The order of the "Semi Diameter" choices of the sight window.
enum class TLimbType
{
    LowerLimb = 0,
    UpperLimb = 1,
    ObjectCenter = 2,
};

// The choice index of the window; any value other than 0 and 1 is the object centre.
TLimbType LimbTypeFromIndex(int index);

enum class TDipMode : std::uint8_t
{
    Given = 0, // the caller stores the dip itself in TVrnSextant::Dip
    FromEyeHeight = 1,
    WithDipShort = 2, // dip short when the near waterline is closer than the horizon
};

struct TSextantCalibrationPair
{
    double Angle = 0; // sextant angle, degrees
    double Error = 0; // instrument error at that angle, minutes of arc, added to the altitude
};

// A sextant reads angles of 0 to 180 degrees: a pair outside raises EVrnError "Altitude out of
// range: enter 0 to 180" (the calibration point dialog refuses it with that message).
void CheckCalibrationPair(const TSextantCalibrationPair &pair);

// What a load of a calibration table found: the number of pairs taken and the problems met, in
// the system's words ("P3: ..."). Reading stops at the first missing, empty or bad entry.
struct TCalibrationLoadResult
{
    int PairsRead = 0;
    std::vector<std::string> Problems;
};

// The sextant's calibration errors at a few angles, kept sorted ascending by angle after every
// change. It has no size limit: texts and files hold it whole.
class TSextantCalibrationTable
{
public:
    const std::vector<TSextantCalibrationPair> &Pairs() const { return FPairs; }

    int Count() const { return static_cast<int>(FPairs.size()); }

    void AddPair(const TSextantCalibrationPair &pair);
    // Replaces pair `index` (0-based, in sorted order); an index out of range does nothing.
    void SetPair(int index, const TSextantCalibrationPair &pair);
    void DeletePair(int index);
    void SetPairs(std::vector<TSextantCalibrationPair> pairs);
    void ClearPairs();
    // Ascending by angle; pairs of equal angle keep their order.
    void SortByAngle();

    // Error in minutes of arc at `angleDeg`: linear between the neighbouring pairs, held at the
    // first or last error outside the table, 0 for an empty table. At an angle held by two
    // pairs, the error of the second of them.
    double GetCorrection(double angleDeg) const;

    // The calibration text kept with the window settings: "P0=20|0.5" CR LF ... and a last
    // "P<n>=" without line end ("P0=" for an empty table).
    std::string AsText() const;
    // Replaces the table with the pairs of a calibration text (LF or CR LF lines, keys in any
    // case). Reads P0, P1, ... up to the first missing or empty key; a value that is not
    // "angle|error" ends the reading with a problem. The pairs read so far stay.
    TCalibrationLoadResult LoadFromText(std::string_view text);

private:
    std::vector<TSextantCalibrationPair> FPairs;
};

// The GMT instant of the sight being reduced. Year 0 means no date was entered.
struct TVrnWatch
{
    std::uint16_t Day = 0;
    std::uint16_t Month = 0;
    std::uint16_t Year = 0;
    double GMTHours = 0; // decimal hours 0..24
};

struct TBoatCourseAndSpeed
{
    double Speed = 0; // knots
    double Course = 0; // degrees true

    std::string CourseText() const; // "%3.0f": " 90"
    std::string SpeedText() const; // "%4.1f": " 6.0"
};

class TVrnSextant
{
public:
    TVrnSextant();

    double Hs = 0; // sextant altitude, degrees (halved by the caller for an artificial horizon)
    double Ha = 0; // apparent altitude, degrees
    double IndexCorrection = 0; // degrees; negative when the index error is on the arc
    TSextantCalibrationTable CalibrationTable;
    TDipMode DipMode = TDipMode::FromEyeHeight;
    double EyeHeight = 0; // feet
    double DipShortDistance = 0; // distance to the near waterline, nautical miles
    bool UseAtmosphericRefraction = false;
    double Temperature = 20; // °C
    double Pressure = 1010; // millibars
    bool UseCoriolis = false;

    double Dip = 0; // degrees, negative for a normal horizon (an input in TDipMode::Given)
    double Refraction = 0; // minutes of arc, negative
    double SemiDiameter = 0; // minutes of arc, as applied for the limb
    double Parallax = 0; // minutes of arc
    double Calibration = 0; // minutes of arc
    double TotalCorrection = 0; // degrees: Ho = Hs + TotalCorrection
    double Coriolis = 0; // minutes of arc

    // Zeroes the inputs and results and clears both flags; keeps DipMode, Temperature and
    // Pressure.
    void ResetSextant();

    // Computes every result from the inputs for a sight of `body`, which must just have been
    // computed for the GMT of the sight (semi-diameter and horizontal parallax come from it).
    // With an artificial horizon the caller has already halved Hs; semi-diameter and dip are
    // then 0 and the index correction counts half. The watch, assumed position and boat serve
    // the Coriolis correction only. Raises EVrnError with the messages of the dip short and
    // refraction formulas, and "Height of the eye (Dip) must be a positive number" for a negative
    // height; the results computed before a failure stay.
    void CalcCorrections(TLimbType limb, bool artificialHorizon, TAstro &body,
        const TVrnWatch &watch, const TPosition &assumedPos, const TBoatCourseAndSpeed &boat);

    // Dip of a waterline nearer than the horizon (Bowditch, dip short of the horizon), minutes
    // of arc, negative. Raises "Dip short distance cannot be zero" for a distance <= 0.
    double DipShortCorrection() const;
    // Refraction for Ha with temperature and pressure, minutes of arc, negative; exactly 0 at
    // Ha = 90. Raises "Invalid temperature in refraction formula" outside
    // kMinAirTemperatureC..kMaxAirTemperatureC and "Invalid pressure in refraction formula"
    // outside (0, kMaxAirPressureMb].
    double AtmosphericRefraction() const;
    // Coriolis (and rhumb line) correction of a bubble-sextant sight from an aircraft, minutes
    // of arc, using the body's azimuth from the assumed position at the watch's instant.
    double CoriolisCorrection(TAstro &body, const TVrnWatch &watch, const TPosition &assumedPos,
        const TBoatCourseAndSpeed &boat) const;

    // The ".sxt" file: INI section "CalibrationTable", keys "P0".."P<n-1>" = "angle|error" and
    // an empty "P<n>"; other sections and keys of an existing file stay. Written through a
    // temporary file; raises EVrnError when it cannot be written (the old file stays).
    void SaveCalibrationTable(const std::filesystem::path &fileName) const;
    // Reads a ".sxt" file. A file that cannot be read, or that yields no pair, leaves the table
    // as it was and says so in Problems.
    TCalibrationLoadResult LoadCalibrationTable(const std::filesystem::path &fileName);
};

// Bennett's refraction with the small correction term (Meeus, Astronomical Algorithms 2nd ed.,
// ch. 16) for an apparent altitude in degrees; minutes of arc, negative (-34.46' at 0°, -0.97'
// at 45°). Raises "Error in refraction calculation" where the formula has no value (Ha = -4.4).
double SimpleRefraction(double haDeg);

// Parallax in altitude, minutes of arc: the body's horizontal parallax times cos Ha.
double ParallaxInAltitude(const TAstro &body, double haDeg);

// Coriolis correction for a ground speed in knots, course and azimuth in degrees true and
// latitude in degrees north: sin(Zn − C)·(2.62·V·sin L + 0.146·V²·sin C·tan L) with V in hundreds
// of knots (Air Almanac / AP 3270 Coriolis table for the first term). Minutes of arc.
double CoriolisArcmin(double znDeg, double speedKn, double courseDeg, double latDeg);

// The process-wide objects of the celestial navigation windows.
TVrnSextant &Sextant();
TVrnWatch &Watch();
TPosition &AssumedPos(); // named "AssumedPos"
TBoatCourseAndSpeed &BoatCourseAndSpeed();

} // namespace vrn
