#pragma once

// Heliocentric positions from truncated VSOP87D series and the apparent geocentric places of the
// Sun and the planets built on them (Meeus ch. 25, 32, 33 and Appendix III).

#include "engine/EarthOrientation.h"

#include <array>
#include <span>

namespace vrn {

// One periodic term: A·cos(B + C·τ), with τ in Julian millennia of TT from J2000.0. A is in
// 1e-8 radian (L, B series) or 1e-8 AU (R series); B in radians; C in radians per millennium.
struct TVsopTerm
{
    double A;
    double B;
    double C;
};

// The 18 series L0..L5, B0..B5, R0..R5 of one body (VSOP87D: heliocentric ecliptic coordinates
// referred to the mean ecliptic and equinox of date). An absent series is an empty span.
struct TPlanetSeries
{
    std::array<std::span<const TVsopTerm>, 6> L;
    std::array<std::span<const TVsopTerm>, 6> B;
    std::array<std::span<const TVsopTerm>, 6> R;
};

struct THeliocentric
{
    double LDeg = 0; // ecliptic longitude, 0..360
    double BDeg = 0; // ecliptic latitude, 0..360: a southern latitude is carried as 360 + B
    double RAu = 0; // distance from the Sun
};

// Evaluates the series for T_TT in Julian centuries of TT from J2000.0. Works straight from the
// constant tables, allocating nothing.
THeliocentric EvaluateSeries(const TPlanetSeries &series, double tTT);

struct TGeocentricVector
{
    double X = 0; // AU, ecliptic of date, x towards the equinox
    double Y = 0;
    double Z = 0; // towards the north ecliptic pole
    double DeltaAu = 0; // distance from the Earth
    double LightTimeDays = 0; // 0.0057755183·Δ
};

// Geocentric rectangular position of a body at `body` seen from the Earth at `earth` (Meeus 33.1).
TGeocentricVector GeocentricVector(const THeliocentric &earth, const THeliocentric &body);

struct TEclipticCorrection
{
    double DeltaLambdaArcsec = 0;
    double DeltaBetaArcsec = 0;
};

// Annual aberration in ecliptic coordinates (Meeus 23.2) for a body at longitude λ and latitude
// β (degrees), the Sun's true longitude ☉ (degrees) and T_TT in Julian centuries.
TEclipticCorrection Aberration(double lambdaDeg, double betaDeg, double sunLonDeg, double tTT);

struct TApparentPlace
{
    double RADeg = 0; // apparent right ascension, 0..360
    double DecDeg = 0; // apparent declination, north positive
};

// What the Sun and every planet share at one instant, T_TT in Julian centuries: the Earth's
// heliocentric place, the short nutation with the true obliquity, and the Sun's true longitude
// with the Earth's orbit for annual aberration.
struct TSolarFrame
{
    double TTT = 0;
    THeliocentric Earth;
    TNutationShort Nutation;
    double SinEps = 0; // true obliquity
    double CosEps = 1;
    double SunLonDeg = 0; // ☉ of SunTrueLongitude(T_TT)
    TEarthOrbit Orbit;
};

TSolarFrame MakeSolarFrame(double tTT);

// Apparent right ascension and declination of a geocentric ecliptic vector: ecliptic longitude
// and latitude, then aberration, the short nutation in longitude and the true obliquity of
// NutationShort(T_TT). A vector lying exactly on an axis keeps its true direction.
TApparentPlace ApparentPlace(const TGeocentricVector &v, const TSolarFrame &frame);
TApparentPlace ApparentPlace(const TGeocentricVector &v, double tTT);

struct TSunPlace
{
    double RADeg = 0;
    double DecDeg = 0;
    double RAu = 0; // Earth-Sun distance from the VSOP87 series
};

// The Sun's apparent place for T_TT in Julian centuries (no light-time step: the Earth series
// already refer to the Sun).
TSunPlace SunApparent(double tTT);
TSunPlace SunApparent(const TSolarFrame &frame);

struct TPlanetPlace
{
    double RADeg = 0;
    double DecDeg = 0;
    double DeltaAu = 0; // distance from the Earth, after the light-time step
    double LightTimeDays = 0;
    double HorizontalParallaxArcmin = 0; // 8.794″/Δ in minutes of arc
    THeliocentric Helio; // heliocentric place at the time the light left the planet
    TGeocentricVector Geo;
};

// A planet's apparent place for T_TT in Julian centuries, with one light-time correction step.
TPlanetPlace PlanetApparent(const TPlanetSeries &series, double tTT);
TPlanetPlace PlanetApparent(const TPlanetSeries &series, const TSolarFrame &frame);

// The Sun's low-precision almanac quantities for n = JD(UT) − 2451545 days and its apparent
// right ascension: the equation of time in hours (−12, 12], the distance R in AU and the
// semi-diameter in degrees (0.2666°/R).
struct TSunAlmanac
{
    double EquationOfTimeHours = 0;
    double RAu = 0;
    double SemiDiameterDeg = 0;
};

TSunAlmanac SunAlmanac(double daysFromJ2000, double raDeg);

} // namespace vrn
