#include "celestial/MeridianPassage.h"

#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "engine/NumText.h"
#include "engine/Trigonom.h"
#include "engine/VrnError.h"

#include <cmath>

namespace vrn {
namespace {

std::string V41(double x)
{
    return FormatFixed(x, 1, 4);
}

std::string Hyphens(int n)
{
    return std::string(static_cast<std::size_t>(n), '-');
}

std::string T(double hours)
{
    return PassageTimeText(hours) + " GMT";
}

// GMT decimal hours of a time read on the watch (a fraction of a day): a watch that is fast
// (a positive watch error, as in the celestial window) reads too late, so its error comes off.
double FieldHours(double dayFraction, int watchErrorSec)
{
    return dayFraction * 24 - watchErrorSec / 3600.0;
}

TMeridianPassageTimePair PairOf(int number, const TEqualAltitudeRow &row, int watchErrorSec)
{
    TMeridianPassageTimePair pair;
    pair.PairNumber = number;
    pair.PairSelected = true;
    pair.TimeBefore = FieldHours(row.BeforeDayFraction, watchErrorSec);
    pair.TimeAfter = FieldHours(row.AfterDayFraction, watchErrorSec);
    if (pair.TimeBefore == pair.TimeAfter)
        throw EVrnError("Times before and after cannot be the same");
    // A millisecond of slack: 11:00 and 12:20 typed in the fields are 80 minutes apart.
    if (std::fabs(pair.TimeAfter - pair.TimeBefore) * 60 > kMaxPairIntervalMin + 1 / 60000.0)
        throw EVrnError("Difference between Times before and after cannot exceed 80 minutes.");
    return pair;
}

bool RowFilled(const TEqualAltitudeRow &row)
{
    return row.BeforeDayFraction != 0 && row.AfterDayFraction != 0;
}

// The equal-altitudes window's dip and index correction (added to the altitude, as in the
// celestial window); refraction, temperature, pressure and Coriolis stay as the main window left
// them.
void ReadEqualAltitudesSextant(const TEqualAltitudesInputs &input, TVrnSextant &sextant)
{
    TSextantSettingsInput settings;
    settings.DipValue = input.DipValue;
    settings.DipUnit = input.DipUnit;
    settings.IndexCorrectionArcmin = input.IndexCorrectionArcmin;
    settings.UseAtmosphericRefraction = sextant.UseAtmosphericRefraction;
    settings.UseCoriolis = sextant.UseCoriolis;
    settings.TemperatureC = sextant.Temperature;
    settings.PressureMb = sextant.Pressure;
    ReadSextantSettings(settings, sextant);
}

} // namespace

TSunPassagePlace TSolEphemeris::At(int year, int month, int day, double hours)
{
    const auto place = FSun.ComputeGHADec(year, month, day, hours);
    return {place.DecDeg, place.GHADeg, FSun.GetEquationOfTime()};
}

std::string PassageTimeText(double hours)
{
    return FormatTimeText(hours / 24);
}

// ---------------------------------------------------------------------------------------------

TNoonPosition NoonPosition(double gmtHours, double equationOfTimeDeg, double decDeg, double hoDeg)
{
    TNoonPosition p;
    p.LonDeg = WrapLongitude((gmtHours - 12) * 15 + equationOfTimeDeg);
    const double z = 90 - hoDeg;
    const double latN = decDeg - z;
    const double latS = decDeg + z;
    if (std::fabs(latN) <= 90)
        p.LatIfSunNorthDeg = latN;
    if (std::fabs(latS) <= 90)
        p.LatIfSunSouthDeg = latS;
    return p;
}

TNoonPosition CalcNoonSight(const TNoonSightInputs &input, TSol &sun, TVrnSextant &sextant,
    TVrnWatch &watch, std::vector<std::string> &report)
{
    if (input.Body != static_cast<const TAstro *>(&sun))
        throw EVrnError("Select the Sun for meridian passage calculation");
    report.clear();
    report.push_back("Position by Meridian Passage of the Sun");
    report.push_back("(No boat movement or declination variation)");

    const double gmtDate = ReadGMTDate(input.GMTDateText, input.DateFormat);
    ReadSextantSettings(input.Settings, sextant);
    sextant.Hs = input.HsDeg;
    watch = WatchOf(gmtDate, input.GMTDayFraction);

    const auto place = sun.ComputeGHADec(watch.Year, watch.Month, watch.Day, watch.GMTHours);
    report.push_back(input.GMTDateText + "  " + FormatTimeHMS(watch.GMTHours).Text + " GMT");
    report.push_back("Inst Altitude (Hs): " + FormatAngleDM1(" -", sextant.Hs).Text);

    const double eDeg = sun.GetEquationOfTime() * 15;
    const double decDeg = place.DecDeg;
    if (input.ArtificialHorizon)
        sextant.Hs = sextant.Hs / 2;
    sextant.CalcCorrections(
        input.Limb, input.ArtificialHorizon, sun, watch, input.AssumedPos, input.Boat);
    const double ho = sextant.Hs + sextant.TotalCorrection;

    report.push_back("Altitude corrections---------------");
    if (input.ArtificialHorizon) {
        report.push_back("Correcting for artificial horizon");
        report.push_back("H.inst: " + FormatAngleDM1(" -", sextant.Hs).Text);
    } else {
        report.push_back(LimbReportLine(input.Limb));
    }
    std::string dipLine =
        "Dip:" + V41(sextant.Dip * 60) + "' IC:" + V41(sextant.IndexCorrection * 60) + "'";
    if (sextant.Calibration != 0)
        dipLine += " Cal:" + V41(sextant.Calibration);
    report.push_back(dipLine);
    report.push_back("Apparent Altitude (Ha): " + FormatAngleDM1(" -", sextant.Ha).Text);
    std::string parLine = "Par:" + V41(sextant.Parallax) + "' Refr:" + V41(sextant.Refraction)
        + "' SD:" + V41(sextant.SemiDiameter);
    if (sextant.UseCoriolis)
        parLine += " Corio:" + V41(sextant.Coriolis) + "'";
    report.push_back(parLine);
    report.push_back("Total Altitude Correction:" + V41(sextant.TotalCorrection * 60) + "'");
    report.push_back("Corrected Inst. Altitude (Ho):" + FormatAngleDM1(" -", ho).Text);

    report.push_back(Hyphens(35));
    report.push_back("Equation of Time:" + FormatAngleDM1("WE", eDeg).Text);
    report.push_back("Declination:" + FormatAngleDM1("NS", decDeg).Text);

    const TNoonPosition p = NoonPosition(watch.GMTHours, eDeg, decDeg, ho);
    report.push_back(Hyphens(35));
    report.push_back("");
    report.push_back("Calculated position:");
    if (p.LatIfSunNorthDeg)
        report.push_back(
            "Lat: " + FormatAngleDM1("NS", *p.LatIfSunNorthDeg).Text + " if Sun to the North");
    if (p.LatIfSunSouthDeg)
        report.push_back(
            "Lat: " + FormatAngleDM1("NS", *p.LatIfSunSouthDeg).Text + " if Sun to the South");
    report.push_back("Lon: " + FormatAngleDM1("WE", p.LonDeg).Text);
    return p;
}

// ---------------------------------------------------------------------------------------------

void TEnhancedMeridianPassageCalculator::SetPassageDate(double date)
{
    const TCalendarDate d = DecodeDate(date);
    if (date == PassageDate && Year != 0)
        return;
    PassageDate = date;
    Day = static_cast<std::uint16_t>(d.Day);
    Month = static_cast<std::uint16_t>(d.Month);
    Year = static_cast<std::uint16_t>(d.Year);
}

void TEnhancedMeridianPassageCalculator::CalcPairCorrections()
{
    for (auto &pair : Pairs) {
        pair.MidTime = (pair.TimeBefore + pair.TimeAfter) / 2;
        const double d1 = FSun.At(Year, Month, Day, pair.TimeBefore).DecDeg;
        const double d2 = FSun.At(Year, Month, Day, pair.TimeAfter).DecDeg;
        NorthSpeed = CosD(Course) * Speed;
        pair.DeclRate = (d2 - d1) * 60 / (pair.TimeAfter - pair.TimeBefore);
        pair.IFactor =
            (TanD(Latitude) - TanD((d1 + d2) / 2)) * 15.28 * (NorthSpeed - pair.DeclRate);
        pair.PassageTime = pair.MidTime + pair.IFactor / 3600;
    }
}

void TEnhancedMeridianPassageCalculator::CalcMeans()
{
    double sumI = 0;
    double sumT = 0;
    int n = 0;
    for (const auto &pair : Pairs) {
        if (!pair.PairSelected)
            continue;
        sumI += pair.IFactor;
        sumT += pair.PassageTime;
        ++n;
    }
    if (n == 0)
        throw EVrnError("No valid time entries");
    MeanIFactor = sumI / n;
    MeanPassageTime = sumT / n;
}

bool TEnhancedMeridianPassageCalculator::ChoosePairsAndCalc(const TPairChooser &choose)
{
    CalcPairCorrections();
    if (Pairs.size() < 2) {
        CalcMeans();
        return true;
    }
    const bool ok = choose(Pairs);
    CalcMeans();
    return ok;
}

TEnhancedMeridianPassageCalculator::TSunAtPassageResult
TEnhancedMeridianPassageCalculator::SunAtPassage()
{
    const TSunPassagePlace p = FSun.At(Year, Month, Day, MeanPassageTime);
    return {p.DecDeg, p.GHADeg, p.EquationOfTimeHours * 15};
}

TAveragePassage AveragePassage(const std::vector<TMeridianPassageTimePair> &pairs)
{
    TAveragePassage a;
    a.DiffSec.resize(pairs.size());
    double sum = 0;
    int n = 0;
    for (const auto &pair : pairs)
        if (pair.PairSelected) {
            sum += pair.PassageTime;
            ++n;
        }
    if (n == 0)
        return a;
    a.MeanHours = sum / n;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (pairs[i].PairSelected)
            a.DiffSec[i] = (pairs[i].PassageTime - *a.MeanHours) * 3600;
    return a;
}

std::vector<TMeridianPassageTimePair> ReadTimePairs(bool multiplePairs,
    const TEqualAltitudeRow &onePair, const std::array<TEqualAltitudeRow, kEqualAltitudeRows> &rows,
    int watchErrorSec)
{
    std::vector<TMeridianPassageTimePair> pairs;
    if (!multiplePairs) {
        if (!RowFilled(onePair))
            throw EVrnError("Invalid times");
        pairs.push_back(PairOf(1, onePair, watchErrorSec));
        return pairs;
    }
    for (int i = 0; i < kEqualAltitudeRows; ++i)
        if (RowFilled(rows[static_cast<std::size_t>(i)]))
            pairs.push_back(PairOf(i + 1, rows[static_cast<std::size_t>(i)], watchErrorSec));
    return pairs;
}

TEqualAltitudesResult CalcEqualAltitudes(const TEqualAltitudesInputs &input, TAstroRegistry &astros,
    TSunEphemeris &sun, TVrnSextant &sextant, const TPairChooser &choose,
    std::vector<std::string> &report)
{
    report.clear();
    report.push_back("Position by Meridian Passage for the Sun");
    report.push_back("by the Two Equal Altitudes Method");
    report.push_back("(with boat movement and");
    report.push_back(" declination variation correction i )");
    report.push_back(Hyphens(32));

    TEnhancedMeridianPassageCalculator calc(sun);
    calc.Speed = input.Boat.Speed;
    calc.Course = input.Boat.Course;
    calc.Latitude = input.LatDeg;
    calc.SetPassageDate(ReadGMTDate(input.GMTDateText, input.DateFormat));
    const double hs = input.HsDeg;
    ReadEqualAltitudesSextant(input, sextant);

    report.push_back("Date: " + input.GMTDateText);
    report.push_back("Max Altitude (Culmination): " + FormatAngleDM1(" -", hs).Text);
    report.push_back("Speed:  " + input.Boat.SpeedText() + " Knts");
    report.push_back("Course: " + input.Boat.CourseText() + "° T");

    calc.Pairs = ReadTimePairs(input.MultiplePairs, input.OnePair, input.Rows, input.WatchErrorSec);
    TEqualAltitudesResult result;
    if (!calc.ChoosePairsAndCalc(choose))
        return result;

    report.push_back("DLat: " + V41(calc.NorthSpeed));
    for (const auto &pair : calc.Pairs) {
        report.push_back(
            "Passage time correction for pair " + FormatInt(pair.PairNumber) + " -------");
        report.push_back("Time before: " + T(pair.TimeBefore));
        report.push_back("Time after : " + T(pair.TimeAfter));
        report.push_back("Culmination time: " + T(pair.MidTime));
        report.push_back("Delta Decl: " + V41(pair.DeclRate));
        report.push_back("i factor: " + V41(pair.IFactor) + " secs");
        report.push_back("Passage time: " + T(pair.PassageTime));
    }

    report.push_back(Hyphens(32));
    const auto atPassage = calc.SunAtPassage();
    TSol &sol = *astros.Sun();
    astros.CurrentAstro = &sol;
    // The semi-diameter comes from the registry's Sun at the instant of the passage.
    sol.ComputeGHADec(calc.Year, calc.Month, calc.Day, calc.MeanPassageTime);
    sextant.Hs = hs;
    TVrnWatch watch;
    watch.Day = calc.Day;
    watch.Month = calc.Month;
    watch.Year = calc.Year;
    watch.GMTHours = calc.MeanPassageTime;
    const TPosition ap("AssumedPos", input.LatDeg, input.LonDeg);
    sextant.CalcCorrections(input.LowerLimb ? TLimbType::LowerLimb : TLimbType::UpperLimb, false,
        sol, watch, ap, input.Boat);
    const double ho = hs + sextant.TotalCorrection;

    report.push_back("Assumed Lat: " + FormatAngleDM1("NS", calc.Latitude).Text);
    report.push_back("Altitude corrections -----------");
    report.push_back(
        input.LowerLimb ? "Using altitude of lower limb" : "Using altitude of upper limb");
    report.push_back("Par:" + V41(sextant.Parallax) + "'  Refr:" + V41(sextant.Refraction)
        + "'  SD:" + V41(sextant.SemiDiameter) + "'  Dip:" + V41(sextant.Dip * 60)
        + "'  IC:" + V41(sextant.IndexCorrection * 60) + "'");
    report.push_back("Total Altitude Correction:" + V41(sextant.TotalCorrection * 60) + "'");
    report.push_back("Corrected Max Altitude: " + FormatAngleDM1(" -", ho).Text);
    report.push_back("Corrected merid. pass. time: " + T(calc.MeanPassageTime));

    report.push_back(Hyphens(32));
    report.push_back("Equation of Time:" + FormatAngleDM1("WE", atPassage.EquationOfTimeDeg).Text);
    report.push_back("Declination:" + FormatAngleDM1("NS", atPassage.DecDeg).Text);

    const double dec = atPassage.DecDeg;
    const double z = 90 - ho;
    result.PassageTimeHours = calc.MeanPassageTime;
    result.LonDeg = WrapLongitude((calc.MeanPassageTime - 12) * 15 + atPassage.EquationOfTimeDeg);
    // The Sun bears south when the observer is north of its declination.
    const double latDeg = calc.Latitude > dec ? dec + z : dec - z;
    // An altitude too low for the declination on that side of it gives no latitude at all.
    if (!(std::fabs(latDeg) <= 90))
        throw EVrnError("No latitude for this altitude and declination: check the altitude");
    result.LatDeg = latDeg;
    result.Done = true;
    report.push_back("");
    report.push_back("Calculated position:");
    report.push_back("Passage time: " + T(calc.MeanPassageTime));
    report.push_back("Lat: " + FormatAngleDM1("NS", result.LatDeg).Text);
    report.push_back("Lon: " + FormatAngleDM1("WE", result.LonDeg).Text);
    return result;
}

} // namespace vrn
