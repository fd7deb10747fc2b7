#pragma once

// Geometric position of the Moon: the truncated ELP-2000/82 theory of Meeus, Astronomical
// Algorithms, ch. 47 (first-edition fundamental arguments, Tables 47.A and 47.B). Angles are
// radians, referred to the mean ecliptic and equinox of date, without nutation.

namespace vrn {

struct TMoonArguments
{
    double LPrimeRad = 0; // Moon's mean longitude L′, 0..2π
    double DRad = 0; // mean elongation D
    double MRad = 0; // Sun's mean anomaly M
    double MPrimeRad = 0; // Moon's mean anomaly M′
    double FRad = 0; // argument of latitude F
    double OmegaRad = 0; // longitude of the ascending node Ω (not used by the series)
    double E = 1; // eccentricity factor of the Earth's orbit, 1 − 0.002516T − 0.0000074T²
};

// Meeus 47.1–47.5 and 47.6, T_TT in Julian centuries of TT from J2000.0; each angle reduced to
// [0, 2π).
TMoonArguments MoonArguments(double tTT);

struct TMoonPosition
{
    double LambdaRad = 0; // geocentric ecliptic longitude, 0..2π
    double BetaRad = 0; // geocentric ecliptic latitude
    double DistanceKm = 0; // centre of the Earth to centre of the Moon
};

// 60 + 60 periodic terms with the additive terms for Venus, Jupiter and the Earth's flattening.
// About 10″ in longitude and 4″ in latitude over 1900..2100 (Meeus ch. 47).
TMoonPosition MoonPosition(double tTT);

} // namespace vrn
