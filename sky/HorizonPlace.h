#pragma once

// Where a point of the sky stands for an observer: altitude and azimuth from its Greenwich hour
// angle and declination, for the star finder, which must place every body and every figure point
// even where the sight-reduction formula has no azimuth.

namespace vrn {

struct THorizonPlace
{
    double HcDeg = 0; // geocentric altitude, no refraction or dip
    double ZnDeg = 0; // true azimuth, 0..360 clockwise from north
    bool AboveHorizon = false; // sin Hc >= 0
};

// ComputeAltitudeAzimuth with Ho = 0, but never failing: where the azimuth formula has no answer
// the place is still sound. A point due east or west (x = 0) gets 90 (LHA > 180) or 270; a point
// on the celestial pole gets 0 (north) or 180 (south); at the zenith the azimuth does not matter
// (the chart puts it at the centre). Degrees; latitude north positive, longitude WEST positive.
THorizonPlace HorizonPlaceOf(double decDeg, double ghaDeg, double latDeg, double lonDeg);

} // namespace vrn
