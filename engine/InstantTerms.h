#pragma once

// The terms that every body computed for one UT instant shares: the time scales, the sidereal
// time, and the frames of the Sun and planets (the Earth's place, nutation and obliquity of
// T_TT, the aberration terms) and of the stars (precession, nutation and aberration of T). They
// are computed once per instant, when a body first needs them, and kept for the next bodies of
// the same instant; a star then costs a rotation and a few products.

#include "engine/EarthOrientation.h"
#include "engine/PlanetDe.h"
#include "engine/Stars.h"

#include <optional>

namespace vrn {

class TInstantTerms
{
public:
    // The UT date and decimal hour 0..24 the terms belong to.
    TInstantTerms(int year, int month, int day, double hour);

    bool IsFor(int year, int month, int day, double hour) const
    {
        return hour == FHour && day == FDay && month == FMonth && year == FYear;
    }

    double T() const { return FT; } // Julian centuries of UT from J2000.0

    double TTT() const { return FTTT; } // the same in TT: T + ΔT(T)/(86400·36525)

    const TSiderealTime &Sidereal() const { return FSidereal; }

    const TSolarFrame &Solar(); // MakeSolarFrame(TTT()), made on first use
    const TStarFrame &Stars(); // MakeStarFrame(T()), made on first use

private:
    int FYear, FMonth, FDay;
    double FHour;
    double FT, FTTT;
    TSiderealTime FSidereal;
    std::optional<TSolarFrame> FSolar;
    std::optional<TStarFrame> FStars;
};

// The terms of a UT instant, from this thread's store of the instants used last (about a
// thousand of them). The values are exactly those a new TInstantTerms would give. The reference
// is valid until the next call for another instant.
TInstantTerms &InstantTerms(int year, int month, int day, double hour);

} // namespace vrn
