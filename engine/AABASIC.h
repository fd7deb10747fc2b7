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

// sin kx and cos kx of one fundamental argument for k = 1..N, and the angle-addition step that
// adds k·x (k = −N..N, the sign through sin) to an angle held as its sine and cosine: the
// periodic terms of the Moon and of nutation are summed without a sin and cos per term.
template <int N>
struct TAngleMultiples
{
    double Sin[N + 1] = {};
    double Cos[N + 1] = {};

    explicit TAngleMultiples(double xRad) { MultipleAngles(N, xRad, Sin, Cos); }

    // Adds k·x to the angle whose sine and cosine are (s, c); k = 0 leaves it alone.
    void Add(int k, double &s, double &c) const
    {
        if (k == 0)
            return;
        const int a = k < 0 ? -k : k;
        const double sk = k > 0 ? Sin[a] : -Sin[a];
        const double ck = Cos[a];
        const double s2 = s * ck + c * sk;
        c = c * ck - s * sk;
        s = s2;
    }
};

// c[0] + c[1]x + c[2]x² + c[3]x³ (and to x⁴), by Horner's rule.
double Poly3(const double (&c)[4], double x);
double Poly4(const double (&c)[5], double x);

} // namespace vrn
