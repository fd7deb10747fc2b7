#pragma once

// Observed ΔT = TT − UT1, generated from published data by tools/gen-deltat-table.mjs.

#include <span>

namespace vrn {

struct TDeltaTPoint
{
    double Year; // 2000 + 100·T, T in Julian centuries of UT from J2000.0
    double Seconds; // ΔT
};

// Every half year from 1657.0 to 1973.0, then on the first day of every month from 1973
// February to the last final value; years strictly increasing.
std::span<const TDeltaTPoint> ObservedDeltaT();

// Mean rate of the observed ΔT from 2000 January 1 to the last value, seconds a year: the slope
// of the extrapolation after 2026.
extern const double kDeltaTMeanRecentRate;

} // namespace vrn
