#include "celestial/SightInputs.h"

#include "engine/Astros.h"
#include "engine/NumText.h"
#include "engine/RiseSet.h"
#include "engine/VrnError.h"

#include <cmath>

namespace vrn {
namespace {

constexpr double kMetresPerFoot = 0.3048;

std::string V41(double x)
{
    return FormatFixed(x, 1, 4);
}

} // namespace

TDipUnit DipUnitFromIndex(int index)
{
    switch (index) {
    case 1:
        return TDipUnit::Feet;
    case 2:
        return TDipUnit::Minutes;
    default:
        return TDipUnit::Meters;
    }
}

void ReadSextantSettings(const TSextantSettingsInput &input, TVrnSextant &sextant)
{
    TDipMode mode = TDipMode::Given;
    double eyeHeightFt = sextant.EyeHeight;
    double dipDeg = sextant.Dip;
    if (input.DipUnit == TDipUnit::Minutes) {
        if (!std::isfinite(input.DipValue) || std::fabs(input.DipValue) > kMaxGivenDipArcmin)
            throw EVrnError("Dip must be between -" + FormatInt(kMaxGivenDipArcmin) + "' and "
                + FormatInt(kMaxGivenDipArcmin) + "'");
        dipDeg = input.DipValue / 60;
    } else {
        if (!std::isfinite(input.DipValue) || input.DipValue < 0)
            throw EVrnError("Height of the eye (Dip) must be a positive number");
        eyeHeightFt =
            input.DipUnit == TDipUnit::Meters ? input.DipValue / kMetresPerFoot : input.DipValue;
        mode = input.UseDipShort ? TDipMode::WithDipShort : TDipMode::FromEyeHeight;
    }
    sextant.DipMode = mode;
    sextant.EyeHeight = eyeHeightFt;
    sextant.Dip = dipDeg;
    if (mode == TDipMode::WithDipShort)
        sextant.DipShortDistance = input.DipShortDistanceNm;
    sextant.IndexCorrection = input.IndexCorrectionArcmin / 60;
    sextant.UseAtmosphericRefraction = input.UseAtmosphericRefraction;
    sextant.UseCoriolis = input.UseCoriolis;
    sextant.Temperature = input.TemperatureC;
    sextant.Pressure = input.PressureMb;
}

double GMTFromLocal(double localDateTime, double zoneHours, int watchErrorSec)
{
    return localDateTime + zoneHours / 24 - watchErrorSec / 86400.0;
}

double LocalFromGMT(double gmtDateTime, double zoneHours, int watchErrorSec)
{
    return gmtDateTime - zoneHours / 24 + watchErrorSec / 86400.0;
}

TVrnWatch WatchOf(double gmtDate, double gmtDayFraction)
{
    const TCalendarDate d = DecodeDate(gmtDate);
    TVrnWatch watch;
    watch.Day = static_cast<std::uint16_t>(d.Day);
    watch.Month = static_cast<std::uint16_t>(d.Month);
    watch.Year = static_cast<std::uint16_t>(d.Year);
    watch.GMTHours = gmtDayFraction * 24;
    return watch;
}

void ObjectDataReport(
    const TObjectDataInputs &input, TVrnSextant &sextant, std::vector<std::string> &report)
{
    TAstro &body = *input.Body;
    const TVrnWatch &w = input.Watch;
    const TPosition &ap = input.AssumedPos;
    report.clear();

    // Rising and setting leave the body computed for another instant: they come first.
    const std::vector<std::string> riseSet =
        BodyRiseSetReport(body, w.Year, w.Month, w.Day, ap.Latitude, ap.Longitude);
    const auto place = body.ComputeGHADec(w.Year, w.Month, w.Day, w.GMTHours);
    const TAltitudeAzimuth hz =
        ComputeAltitudeAzimuth(place.DecDeg, place.GHADeg, ap.Latitude, ap.Longitude, 0);

    ReadSextantSettings(input.Settings, sextant);
    sextant.Hs = hz.HcDeg;
    sextant.CalcCorrections(input.Limb, false, body, w, ap, input.Boat);

    report.push_back(body.Name() + " " + input.GMTDateText + " " + input.GMTTimeText + " GMT");
    report.push_back("GHA:" + FormatAngleDM1(" -", place.GHADeg).Text
        + "  Dec:" + FormatAngleDM1("NS", place.DecDeg).Text);
    report.push_back("LHA: " + FormatAngleDM1(" -", hz.LHADeg).Text
        + "  RA:" + FormatTimeHMS(body.RA / 15).Text);
    if (IsSunOrMoon(body))
        report.push_back("Semi-diameter: " + V41(body.GetSemiDiameter()) + "'");
    const double hp = body.GetHorizontalParallax();
    if (hp != 0)
        report.push_back(
            "Horizontal Parallax: " + (hp < 0.1 ? FormatFixed(hp, 2, 5) : V41(hp)) + "'");
    report.push_back("In assumed position -----------");
    report.push_back("Ass.Pos. Lat:" + ap.LatitudeText() + "  Lon:" + ap.LongitudeText());
    if (!hz.AboveHorizon)
        report.push_back("Object not visible (negative altitude)");
    report.push_back("Calc. Altitude (Hc): " + FormatAngleDM1(" -", hz.HcDeg).Text);
    report.push_back("Predicted Sextant Altitude (Hs): "
        + FormatAngleDM1(" -", hz.HcDeg - sextant.TotalCorrection).Text);
    report.push_back("Azimuth (Az): " + FormatFixed(hz.ZnDeg, 2, 6) + "°");

    // The rise/set block ends with the Sun's twilight lines, which go after the magnitude;
    // only stars have a magnitude line, and only the Sun twilight, so the order holds.
    report.insert(report.end(), riseSet.begin(), riseSet.end());
    if (dynamic_cast<const TEstrela *>(&body) != nullptr)
        report.push_back("Mag: " + V41(body.GetMagnitude()));
}

std::array<std::string, 6> LOPListRow(int number, const TLOPRecord &lop, const TDateFormat &format)
{
    return {FormatInt(number), lop.ObjectName, LOPDateTimeText(lop, format),
        FormatAngleDM1(" -", lop.HInst).Text, V41(lop.Intercept),
        FormatFixed(lop.Azimuth, 0, 3) + "°"};
}

std::array<std::string, 3> CalibrationGridRow(int number, const TSextantCalibrationPair &pair)
{
    return {FormatInt(number), FormatFixed(pair.Angle, 0, 3) + "°",
        FormatFixed(pair.Error, 1, 3) + "'"};
}

std::vector<double> CalibrationPlotValues(const TSextantCalibrationTable &table)
{
    std::vector<double> values;
    for (int x = kCalibrationPlotFirstDeg; x <= kCalibrationPlotLastDeg; ++x)
        values.push_back(table.GetCorrection(x));
    return values;
}

std::string SpeedLabel(const TBoatCourseAndSpeed &boat)
{
    return boat.SpeedText() + " kn";
}

std::string CourseLabel(const TBoatCourseAndSpeed &boat)
{
    return boat.CourseText() + "° T";
}

} // namespace vrn
