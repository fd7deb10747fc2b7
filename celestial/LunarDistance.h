#pragma once

// Clearing a lunar distance: from the sextant distance between the Moon's limb and another body,
// the altitudes of both and the assumed position, the GMT at which the Moon was that far from
// the body, and so the error of the chronometer.
//
// Method: rigorous clearing by vectors (Borda's spherical clearing carried to the Earth's
// spheroid).
// 1. The altitudes read on the sextant become apparent altitudes (index correction and dip).
// 2. The sextant distance between the limbs becomes the apparent distance between the centres:
//    each semi-diameter is the topocentric one (the Moon is nearer to an observer with the Moon
//    high: its "augmentation"), shortened where refraction flattens the disc in the direction of
//    the other body (the support function of the refracted ellipse).
// 3. The apparent altitudes and distance fix the difference of azimuth of the two bodies (the
//    triangle zenith, body 1, body 2). Refraction lifts each body along its vertical (Bennett's
//    formula, as for sights) and leaves the azimuths; the true topocentric directions follow.
// 4. Each body is put at its distance from the observer, whose place on the spheroid (Meeus,
//    Astronomical Algorithms, ch. 11) lies off the vertical towards the equator; the geocentric
//    directions are the sums of the observer's vector and the bodies' vectors, and the cleared
//    distance is the angle between them. With a spherical Earth this is Borda's formula
//    cos D = cos H1 cos H2 (cos d - sin h1 sin h2) / (cos h1 cos h2) + sin H1 sin H2.
// 5. The GMT is found where the geocentric distance of the ephemeris equals the cleared one, by
//    Newton's method from the watch time; the bodies' distances, semi-diameters and azimuths are
//    then taken again at the time found until it no longer moves.
// Degrees unless a name says otherwise; date-times in days since 1899-12-30.

#include "celestial/TwoObjects.h"

#include <string>
#include <vector>

namespace vrn {

class TAstro;

struct TLunarObservation
{
    TAstro *Body1 = nullptr; // one of the two is the Moon
    TAstro *Body2 = nullptr;
    TLimbChoice Limb1 = TLimbChoice::Near; // taken as the centre for stars and planets
    TLimbChoice Limb2 = TLimbChoice::Near;
    double WatchDateTime = 0; // the GMT the chronometer showed at the distance
    double WatchErrorSec = 0; // the error known so far, added to the watch: the first guess
    double SextantDistDeg = 0; // sextant reading between the limbs
    double IndexCorrectionArcmin =
        0; // added to every reading; negative when the error is on the arc
    double EyeHeightM = 0; // height of eye above the sea, metres (dip of the altitudes)
    double Hs1Deg = 0; // sextant altitudes of the centres above the sea horizon
    double Hs2Deg = 0;
    double LatDeg = 0; // assumed position, longitude west positive
    double LonDeg = 0;
};

// What the clearing found for one body.
struct TLunarBody
{
    double HaDeg = 0; // apparent altitude of the centre
    double RefractionArcmin = 0; // negative
    double ParallaxArcmin = 0; // the rise of the geocentric place over the topocentric one
    double TrueAltitudeDeg = 0; // geocentric altitude of the centre
    // Added to the sextant distance: + for the near limb, − for the far one, 0 for a centre.
    double SemiDiameterArcmin = 0;
};

struct TLunarClearing
{
    TLunarBody Object1;
    TLunarBody Object2;
    double ApparentDistDeg = 0; // between the centres as the observer saw them
    double ClearedDistDeg = 0; // between the geocentric centres
    double GMT = 0; // when the ephemeris gives the cleared distance
    double WatchErrorSec = 0; // GMT − watch time: the correction to add to the watch
    double RateArcminPerHour = 0; // change of the distance at GMT
};

// Clears the distance and finds its GMT. Raises EVrnError with the system's words when the
// observation cannot be cleared: the objects as CheckTwoObjects says, "A lunar distance needs the
// Moon as one of the objects", "Height of the eye (Dip) must be a positive number", "Sextant
// distance must be between 0° and 180°", "Altitude of <name> must be between 0° and 90°", "The
// distance does not agree with the altitudes of the objects", "The distance between <name> and
// <name> changes too slowly to find the time", "No time within 12 hours of the watch gives the
// cleared distance". Leaves the bodies computed for the GMT found.
TLunarClearing ClearLunarDistance(const TLunarObservation &observation);

// The report of a clearing: the readings, the corrections of each body, the apparent and the
// cleared distance, the GMT found and the watch error.
void LunarReport(const TLunarObservation &observation, const TLunarClearing &clearing,
    std::vector<std::string> &report);

} // namespace vrn
