#pragma once

// Time scales: Julian centuries and ΔT = TT − UT.

namespace vrn {

// T = (JD − 2451545)/36525, Julian centuries of UT from J2000.0, for a Gregorian date and
// decimal hour of UT.
double JulianCenturies(int year, int month, int day, double hour);

// ΔT in seconds for T in Julian centuries of UT: a table of even years 1620..2016 (tenths of a
// second, linear interpolation) and polynomials outside it (Meeus ch. 10 style). After 2016 the
// polynomial 102.3 + 123.5T + 32.5T² − 50 takes over, a second below the table's end.
double DeltaT(double t);

// T_TT = T + ΔT(T)/(86400·36525): the argument of the Sun, Moon and planet theories.
double TerrestrialCenturies(double t);

} // namespace vrn
