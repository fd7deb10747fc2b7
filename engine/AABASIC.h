#pragma once

// Numeric helpers of the ephemeris engine. Angles here are radians.

namespace vrn {

// ±π/2 for x = ±1 exactly, else arctan(x/√(1−x²)). |x| > 1 raises EMathError (clamped within
// 1e-12 of ±1 like ArcSinRad).
double ArcSinAA(double x);
// 0 for (0, 0); otherwise the two-argument arctangent in (−π, π].
double ArcTan2AA(double y, double x);
// x reduced to [0, 2π).
double Mod2Pi(double x);

// sin kx and cos kx for k = 1..n into sinK[1..n], cosK[1..n] (index 0 is left alone), by the
// angle-addition recurrences. The arrays hold at least n + 1 entries.
void MultipleAngles(int n, double x, double *sinK, double *cosK);

// c[0] + c[1]x + c[2]x² + c[3]x³ (and to x⁴), by Horner's rule.
double Poly3(const double (&c)[4], double x);
double Poly4(const double (&c)[5], double x);

} // namespace vrn
