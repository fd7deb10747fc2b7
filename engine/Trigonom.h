#pragma once

// Angles, positions, their texts and the sailing formulas. Every angle is a double in degrees,
// every time of day a double in hours, every distance in nautical miles. Latitude and declination
// are north-positive; longitude is WEST-positive (east negative); courses and azimuths run 0..360
// clockwise from true north. Strings are UTF-8 ("°" is one character, two bytes).

#include <string>
#include <string_view>

namespace vrn {

constexpr double kPi = 3.1415926535897932385;

double DegToRad(double deg);
double RadToDeg(double rad);
double SinD(double deg);
double CosD(double deg);
double TanD(double deg); // SinD/CosD
double CotD(double deg); // CosD/SinD

// Arcsine and arccosine in radians. Arguments within 1e-12 of ±1 are taken as ±1 (rounding
// noise of a great circle from a point to itself); beyond [-1, 1] they raise EMathError.
double ArcSinRad(double x);
double ArcCosRad(double x);
double ArcSinD(double x);
double ArcCosD(double x);
double ArcTanD(double x); // -90..+90

// Full-circle angle of (x, y) in degrees, 0 <= r < 360. x == 0 raises EMathError (the formulas
// built on it treat that case as a fault and report a status).
double ArcTan2D(double y, double x);

// Brings v into the closed interval [0, range] in closed form: 360 stays 360, 725 gives 5,
// -30 gives 330, and a huge value costs no more than a small one.
double NormalizeAngle(double v, double range);
double Normalize360(double v);
double Normalize24(double v);
// Brings v into [-180, 180]; used by the bodies for right ascension differences.
double NormalizeSigned180(double v);
int QuadrantOf(double deg); // 1..4, 5 only for exactly 360
double FloorMod(double a, double m); // result in [0, m]
bool IsNearZero(double x); // |x| < 1e-10

// Text forms of angles and times; at most 20 characters. `letters` holds two letters, the first
// for x >= 0 and the second for x < 0: "NS" for latitudes, "WE" for longitudes. Minutes are
// rounded to the shown decimals and carry into the degrees (45.99999 is 46°00.0'N, never
// 45°60.0'N). A non-finite value is written "?" (its packed value stays non-finite).
struct TAngleText
{
    std::string Text;
    double Packed = 0; // sign·(degrees + minutes/100), or sign·(h + m/100 + s/10000)
};

std::string FormatAngleDM2(std::string_view letters, double deg); // "45°07.25'N", " 0°00.00'N"
TAngleText FormatAngleDM1(std::string_view letters, double deg); // "45°07.3'N", " 5°30.0'S"
// Hours, minutes, seconds, a blank and a mark: blank for x >= 0, "O" for x < 0.
TAngleText FormatTimeHMS(double hours); // "12:59:30  ", "01:30:00 O"
// Hours and rounded minutes, a blank and a mark: blank for x >= 0, "*" for x < 0.
std::string FormatTimeHM(double hours); // "12:15  ", "01:30 *"
// Almanac columns, eight characters: "%3d" degrees, a blank, "%4.1f" minutes with a zero for a
// leading blank. GHA and SHA run 0..360; a value that rounds to 360° is written "  0 00.0".
// Negative values (no almanac column has them) carry the sign on the degrees.
std::string FormatAlmanacDM(double deg); // "123 07.3"
// "N" or "S", "%2d" whole degrees of |x|, a blank and the minutes as above.
std::string FormatAlmanacDecl(double deg); // "N 5 07.3"

// Reads an angle typed as degrees, "°", minutes and a hemisphere letter ("45°30'S" is -45.5,
// "12°15,5'W" is 12.2583). Only the first 20 characters count. Empty degrees count as 0 ("°30"
// is 0.5); "E" or "S" anywhere after the sign makes the value negative, and a leading "-"
// negates the whole value (xor with E/S: "-45°30'" is -45.5). Raises EVrnError "Invalid angle
// format (missing °): <text>" without a degree sign, EConvertError for degrees that are not a
// whole number or minutes that are empty or not a number. Ranges are the caller's to check.
double ParseAngleText(std::string_view text);

// Sailing formulas; latitudes and longitudes in degrees (west positive), distances in nautical
// miles, courses 0..360 clockwise from true north. Status 0 is success; see each formula for
// the others. None of them throws; a non-finite argument is a fault.
struct TCourseDistance
{
    double CourseDeg = 0;
    double DistNm = 0;
    int Status = 0;
};

struct TLatLonResult
{
    double LatDeg = 0;
    double LonDeg = 0;
    int Status = 0;
};

// Plane sailing: the north-south leg and the east-west leg at the departure's latitude
// (departure = difference of longitude · cos lat1), combined by Pythagoras.
double PlaneSailingDistance(double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);
// Initial course and distance on the sphere; status 1 (course 0, distance valid) when the
// destination is a pole.
TCourseDistance GreatCircleCourseDistance(
    double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);
// Loxodrome course and distance. Along a meridian, and to or from a pole, the course is 0 or
// 180 and the distance the difference of latitude. Status 2 on a fault (a latitude beyond ±90).
TCourseDistance RhumbLineCourseDistance(
    double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg);
// Latitude of the great circle through two points at longitude lonDeg; status 1 when the points
// do not fix the circle (equal or opposite longitudes, a point at a pole). Only LatDeg and
// Status are meaningful.
TLatLonResult GreatCircleLatitudeAt(
    double lat1Deg, double lon1Deg, double lat2Deg, double lon2Deg, double lonDeg);
// Destination along a loxodrome, longitude wrapped into [-180, 180). Status 1 on a fault: the
// line would run over a pole, or meets a pole on any course but due north or south (no
// longitude there), or runs due east or west at a pole.
TLatLonResult RhumbLineDestination(double lat1Deg, double lon1Deg, double distNm, double courseDeg);

// A named position. The name keeps at most 20 characters.
class TPosition
{
public:
    TPosition() = default;
    TPosition(std::string_view name, double latitudeDeg, double longitudeDeg);

    const std::string &Name() const { return FName; }

    void SetName(std::string_view name);
    double Latitude = 0; // degrees, north positive
    double Longitude = 0; // degrees, west positive

    std::string LatitudeText() const; // FormatAngleDM1("NS", Latitude)
    std::string LongitudeText() const; // FormatAngleDM1("WE", Longitude)

private:
    std::string FName;
};

// Julian day of a Gregorian calendar date and decimal hour of Universal Time (Meeus ch. 7,
// Gregorian branch for every date).
double JulianDay(int year, int month, int day, double hour);

} // namespace vrn
