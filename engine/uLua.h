#pragma once

// Apparent geocentric place of the Moon in the units the navigator uses.

namespace vrn {

struct TMoonApparent
{
    double RaDeg = 0; // apparent right ascension, 0..360
    double DecDeg = 0; // apparent declination, north positive
    double HpDeg = 0; // equatorial horizontal parallax
    double SdArcmin = 0; // geocentric semi-diameter
};

// The Moon of Meeus ch. 47 with the full IAU 1980 nutation and Laskar's mean obliquity, for T_TT
// in Julian centuries of TT from J2000.0 (Meeus example 47.a: α 134.688°, δ +13.768°). Geocentric:
// no aberration (the theory gives apparent longitudes) and no topocentric correction; the sextant
// corrections apply parallax in altitude.
TMoonApparent MoonApparent(double tTT);

} // namespace vrn
