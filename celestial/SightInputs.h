#pragma once

// What the celestial navigation windows do with their fields before and after a calculation:
// the sextant settings read from the dip, index correction and refraction fields, the local and
// GMT time fields kept in step, the object data report and the rows of the LOP list view and of
// the calibration grid. Qt-free: the windows only move values between widgets and these
// functions.

#include "celestial/Sextante.h"
#include "celestial/VrnCalc.h"
#include "engine/DateTime.h"

#include <array>
#include <string>
#include <vector>

namespace vrn {

class TAstro;
class TAstroRegistry;

// The order of the dip unit list: "meters", "feet", "minutes".
enum class TDipUnit
{
    Meters = 0,
    Feet = 1,
    Minutes = 2,
};

// The unit list's index; anything outside 0..2 is metres (the first entry).
TDipUnit DipUnitFromIndex(int index);

// The sextant fields of a window as typed.
struct TSextantSettingsInput
{
    double DipValue = 0; // height of eye in the unit, or the dip itself in minutes (signed)
    TDipUnit DipUnit = TDipUnit::Meters;
    bool UseDipShort = false;
    double DipShortDistanceNm = 0;
    double IndexCorrectionArcmin = 0; // negative when the error is on the arc
    bool UseAtmosphericRefraction = false;
    bool UseCoriolis = false;
    double TemperatureC = 20;
    double PressureMb = 1010;
};

// The largest dip accepted when it is typed in minutes: a quarter of the sky. A dip beyond it has
// no geometric meaning and would carry the apparent altitude off the globe.
constexpr double kMaxGivenDipArcmin = 5400;

// Copies the settings of the main window into the sextant. A height of eye below zero (metres or
// feet) fails with "Height of the eye (Dip) must be a positive number"; metres become feet
// (÷ 0.3048); "Use Dip Short" selects the dip short with its distance. A dip in minutes is
// stored as given (degrees = minutes / 60) but must lie within ±kMaxGivenDipArcmin ("Dip must be
// between -5400' and 5400'"). Nothing is changed when it fails.
void ReadSextantSettings(const TSextantSettingsInput &input, TVrnSextant &sextant);

// The GMT and local date-times the time fields show, days since 1899-12-30. The zone is in hours,
// positive west (GMT = local + zone); the watch error in seconds, positive when the watch is fast.
double GMTFromLocal(double localDateTime, double zoneHours, int watchErrorSec);
double LocalFromGMT(double gmtDateTime, double zoneHours, int watchErrorSec);

// The watch of a sight: the calendar date of `gmtDate` (days) and the GMT time of day
// (a fraction of a day, as the time field holds it) in decimal hours.
TVrnWatch WatchOf(double gmtDate, double gmtDayFraction);

// The object data report of the "Other.." page: almanac data of `body` at the watch's instant and
// its altitude and azimuth from the assumed position, with rising, transit, setting and (for the
// Sun) civil twilight of the GMT date. The sextant receives the settings and Hc as Hs, so that
// "Predicted Sextant Altitude (Hs)" is the sextant reading that corresponds to Hc. Lines are
// appended as they are produced; a failure leaves them.
struct TObjectDataInputs
{
    TAstro *Body = nullptr; // never null
    TVrnWatch Watch;
    std::string GMTDateText;
    std::string GMTTimeText;
    TPosition AssumedPos;
    TLimbType Limb = TLimbType::LowerLimb;
    TBoatCourseAndSpeed Boat; // for the Coriolis correction
    TSextantSettingsInput Settings;
};

void ObjectDataReport(
    const TObjectDataInputs &input, TVrnSextant &sextant, std::vector<std::string> &report);

// One row of the LOP list view: "#", "Object", "Date/time", "Hi", "Delta", "Az".
std::array<std::string, 6> LOPListRow(
    int number, const TLOPRecord &lop, const TDateFormat &format = ShortDateFormat());

// One row of the calibration grid: "#", "Alt", "Error '".
std::array<std::string, 3> CalibrationGridRow(int number, const TSextantCalibrationPair &pair);

// The calibration plot: the table's error at every whole degree from -5 to 120.
constexpr int kCalibrationPlotFirstDeg = -5;
constexpr int kCalibrationPlotLastDeg = 120;
std::vector<double> CalibrationPlotValues(const TSextantCalibrationTable &table);

// "%4.1f kn" and "%3.0f° T", the course and speed labels of the windows (the reports keep their
// own "Knts").
std::string SpeedLabel(const TBoatCourseAndSpeed &boat);
std::string CourseLabel(const TBoatCourseAndSpeed &boat);

} // namespace vrn
