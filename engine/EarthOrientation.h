#pragma once

// The short nutation, sidereal time and the Sun's true longitude used by the Sun, the planets
// and the stars. Degrees and hours, as the bodies use them.

namespace vrn {

struct TNutationShort
{
    double EpsDeg = 0; // true obliquity of the ecliptic
    double DeltaPsiArcsec = 0; // nutation in longitude
    double DeltaEpsArcsec = 0; // nutation in obliquity
};

// Four-term nutation and the true obliquity, T in Julian centuries (Meeus ch. 22, low accuracy).
TNutationShort NutationShort(double t);

// Mean obliquity of the ecliptic in degrees, the IAU cubic of Meeus 22.2 that NutationShort
// builds its true obliquity on; T in Julian centuries.
double MeanObliquityDeg(double t);

// Constant of aberration κ in arcseconds, and the Earth's orbit in the e-terms of annual
// aberration (Meeus 23.2, 23.3): eccentricity e and longitude of the perihelion π in degrees.
constexpr double kAberrationArcsec = 20.49552;

struct TEarthOrbit
{
    double Eccentricity = 0;
    double PerihelionDeg = 0;
};

TEarthOrbit EarthOrbit(double t);

struct TSiderealTime
{
    double MeanHours = 0; // Greenwich mean sidereal time, 0..24
    double ApparentHours = 0; // Greenwich apparent sidereal time, 0..24
};

// Sidereal time at Greenwich for a UT date and decimal hour (Meeus ch. 12). The GHA of Aries in
// degrees is 15 × ApparentHours.
TSiderealTime SiderealTime(int year, int month, int day, double hour);

// The Sun's true geometric longitude ☉ in degrees, not normalised (Meeus 25.2–25.4); T in Julian
// centuries. Used for annual aberration.
double SunTrueLongitude(double t);

} // namespace vrn
