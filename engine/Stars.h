#pragma once

// The 60-star catalogue and the reduction of its 1993.0 apparent places to the apparent place of
// a date: precession, nutation, annual aberration and proper motion.

#include <span>
#include <string_view>

namespace vrn {

// One catalogue record: apparent place for 1993 January 1, 0h UT.
struct TStarRecord
{
    std::string_view Name; // the key of FindAstro, at most 15 characters
    double RaHours;
    double DecDeg;
    float Magnitude; // visual
    float PmRaSecPerYear; // proper motion in right ascension, seconds of time per year
    float PmDecArcsecPerYear; // proper motion in declination
};

constexpr int kStarCount = 60;

// Julian day of the catalogue epoch, 1993 January 1, 0h UT.
constexpr double kStarCatalogueJD = 2448988.5;

// The catalogue in its fixed order, the order of the stars in every body list.
std::span<const TStarRecord, kStarCount> StarCatalogue();

// A change of place in arcseconds: Δα in seconds of arc of right ascension (not multiplied by
// cos δ), Δδ in seconds of arc of declination.
struct TStarCorrection
{
    double RaArcsec = 0;
    double DecArcsec = 0;
};

struct TStarPlace
{
    double RaDeg = 0; // right ascension; not normalised by the star reduction (GHA is, later)
    double DecDeg = 0;
};

// Rigorous precession (Meeus 21.2–21.4) of an equatorial place in degrees from the epoch t0 to
// the epoch t, both in Julian centuries from J2000.0. The result's RA is in [0, 360).
TStarPlace PrecessEquatorial(double raDeg, double decDeg, double t0, double t);

// Rigorous precession of the place (α, δ) in degrees from the catalogue epoch
// to T, Julian centuries of UT from J2000.0; exactly zero at the epoch.
TStarCorrection StarPrecession(double raDeg, double decDeg, double t);

// Nutation of a star's place (Meeus 23.1) with the four-term nutation and true obliquity of T.
TStarCorrection StarNutation(double raDeg, double decDeg, double t);

// Annual aberration with the e-terms (Meeus 23.3), mean obliquity of T, κ = 20.49552″.
TStarCorrection StarAberration(double raDeg, double decDeg, double t);

// What every star shares at one instant, T in Julian centuries of UT (no ΔT): the rigorous
// precession from the catalogue epoch as a rotation of unit vectors, the four-term nutation with
// the true obliquity, and the Sun's and the perihelion's terms of annual aberration. With it a
// star's place of date costs a rotation and a few products.
struct TStarFrame
{
    double T = 0;
    bool AtEpoch = true; // T is the catalogue epoch: no precession
    double Precession[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}; // mean equator 1993.0 → date
    double DeltaPsiArcsec = 0;
    double DeltaEpsArcsec = 0;
    double SinEps = 0; // true obliquity
    double CosEps = 1;
    double SinEps0 = 0; // mean obliquity
    double CosEps0 = 1;
    double AberrationCos = 0; // e·κ·cos π − κ·cos ☉, arcseconds
    double AberrationSin = 0; // e·κ·sin π − κ·sin ☉
};

TStarFrame MakeStarFrame(double t);

// What a star body keeps between computations.
struct TStarState
{
    double Ra0Deg = 0; // catalogue place (apparent, 1993 January 1, 0h UT)
    double Dec0Deg = 0;
    double CosDec0 = 1;
    double PmRaSecPerYear = 0;
    double PmDecArcsecPerYear = 0;
    bool EpochCorrectionsKnown = false;
    // Nutation and aberration of the catalogue epoch: the catalogue place minus its mean place.
    TStarCorrection EpochCorrections;
    double PmRaOffsetDeg = 0; // proper motion accumulated since 1993, in right ascension
    double PmDecOffsetDeg = 0;
    double PmTotalDeg = 0; // length of the proper-motion displacement on the sky
    // The mean place of 1993.0 moved by the proper motion of PmYears, as a unit vector.
    double PmYears = 0;
    bool MeanVectorKnown = false;
    double MeanVector[3] = {};
};

TStarState MakeStarState(const TStarRecord &record);

// Apparent place of date for a UT date and hour: the catalogue place less the nutation and
// aberration of the epoch gives the mean place of 1993.0; the proper motion of Year + Month/12 −
// 1993 years (the day is not used) and the rigorous precession bring it to the mean place of
// date, where the nutation and the aberration of date are applied. The first call finds and keeps
// the epoch's corrections. On 1993 January 1, 0h a star without proper motion is at its catalogue
// place. Caching by Julian day belongs to the caller.
TStarPlace StarApparentPlace(TStarState &state, int year, int month, int day, double hour);

// The same with the frame of the instant already made (frame.T = JulianCenturies of the date).
TStarPlace StarApparentPlace(TStarState &state, const TStarFrame &frame, int year, int month);

} // namespace vrn
