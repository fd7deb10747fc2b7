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

// Sum of the three above, all evaluated at the catalogue place, T = JulianCenturies of the UT date
// and decimal hour (no ΔT).
TStarCorrection StarCorrections(
    double raDeg, double decDeg, int year, int month, int day, double hour);

// What a star body keeps between computations.
struct TStarState
{
    double Ra0Deg = 0; // catalogue place
    double Dec0Deg = 0;
    double PmRaSecPerYear = 0;
    double PmDecArcsecPerYear = 0;
    bool EpochCorrectionsKnown = false;
    TStarCorrection EpochCorrections; // StarCorrections at the catalogue epoch
    double PmRaOffsetDeg = 0; // proper motion accumulated since 1993, in right ascension
    double PmDecOffsetDeg = 0;
    double PmTotalDeg = 0; // length of the proper-motion displacement on the sky
};

TStarState MakeStarState(const TStarRecord &record);

// Apparent place of date for a UT date and hour. The first call computes and keeps the epoch
// corrections; the proper motion counts years as Year + Month/12 − 1993 (the day is not used).
// Caching by Julian day belongs to the caller.
TStarPlace StarApparentPlace(TStarState &state, int year, int month, int day, double hour);

} // namespace vrn
