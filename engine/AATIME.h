#pragma once

// Time scales: Julian centuries and ΔT = TT − UT.

namespace vrn {

// The year up to which ΔT keeps its last observed value.
constexpr double kDeltaTHoldUntilYear = 2026.0;

// T = (JD − 2451545)/36525, Julian centuries of UT from J2000.0, for a Gregorian date and
// decimal hour of UT.
double JulianCenturies(int year, int month, int day, double hour);

// ΔT = TT − UT in seconds for T in Julian centuries of UT; Y = 2000 + 100·T is the year.
//  - 1657.0 to the last final value (early 2023): the observed values of DeltaTTable, half
//    yearly to 1973, monthly after, linearly interpolated.
//  - After them: the last value (69.16 s) held to 2026.0, then growing at the mean rate of the
//    observed values since 2000 (0.23 s a year), joined without a step.
//  - 1620 to 1657: the two-yearly table of Meeus ch. 10 (its last step runs to the first
//    observed value); 948 to 1620: 50.6 + 67.5T + 22.5T²; before 948: 2715.6 + 573.36T + 46.5T².
double DeltaT(double t);

// T_TT = T + ΔT(T)/(86400·36525): the argument of the Sun, Moon and planet theories.
double TerrestrialCenturies(double t);

} // namespace vrn
