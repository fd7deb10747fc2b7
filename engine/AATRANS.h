#pragma once

// Nutation, obliquity and the ecliptic-to-equatorial rotation. Angles are radians.

namespace vrn {

struct TNutation
{
    double DeltaPsiRad = 0; // nutation in longitude
    double DeltaEpsRad = 0; // nutation in obliquity
};

// IAU 1980 nutation, all 63 terms of Meeus Table 22.A, for T_TT in Julian centuries.
TNutation Nutation(double tTT);

// Mean obliquity of the ecliptic ε0 in radians, Laskar's polynomial (Meeus 22.3), T_TT in
// Julian centuries (valid within 10000 years of J2000).
double MeanObliquity(double tTT);

struct TEquatorial
{
    double AlphaRad = 0; // right ascension, 0..2π
    double DeltaRad = 0; // declination
};

// Ecliptic (β latitude, λ longitude) to equatorial, for obliquity ε; all radians.
TEquatorial EclipticToEquatorial(double epsRad, double betaRad, double lambdaRad);

} // namespace vrn
