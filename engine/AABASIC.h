#pragma once

// Numeric helpers of the ephemeris engine. Angles here are radians.

#include <cmath>

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

// cos x for the arguments of the periodic series (B + C·τ, up to some 1e5 radians): x less the
// nearest multiple of π/2 (π/2 in three parts, Cody–Waite, exact for |x| < 2^20), then the
// Taylor series of sine or cosine on [−π/4, π/4], whose truncation is below 1e-19. Agrees with
// std::cos within a few units in the last place at a third of its cost, without branches; falls
// back to std::cos beyond 2^20 and for values that are not finite.
inline double CosAA(double x)
{
    if (!(std::fabs(x) < 1048576.0))
        return std::cos(x);
    constexpr double kTwoOverPi = 0.6366197723675814;
    constexpr double kPiOver2Hi = 0x1.921fb54400000p+0; // 33 bits: k·Hi exact for k < 2^20
    constexpr double kPiOver2Mid = 0x1.0b4611a600000p-34;
    constexpr double kPiOver2Lo = 0x1.3198a2e037073p-69;
    // Rounds to the nearest whole number: adding 1.5·2^52 leaves no fraction bits.
    constexpr double kRound = 0x1.8p52;
    const double k = (x * kTwoOverPi + kRound) - kRound;
    const double r = ((x - k * kPiOver2Hi) - k * kPiOver2Mid) - k * kPiOver2Lo;
    const double r2 = r * r;
    const double s = r
        + r * r2
            * (-1.0 / 6
                + r2
                    * (1.0 / 120
                        + r2
                            * (-1.0 / 5040
                                + r2
                                    * (1.0 / 362880
                                        + r2
                                            * (-1.0 / 39916800
                                                + r2
                                                    * (1.0 / 6227020800
                                                        + r2
                                                            * (-1.0 / 1307674368000
                                                                + r2 / 355687428096000.0)))))));
    const double c = 1
        + r2
            * (-0.5
                + r2
                    * (1.0 / 24
                        + r2
                            * (-1.0 / 720
                                + r2
                                    * (1.0 / 40320
                                        + r2
                                            * (-1.0 / 3628800
                                                + r2
                                                    * (1.0 / 479001600
                                                        + r2
                                                            * (-1.0 / 87178291200
                                                                + r2
                                                                    * (1.0 / 20922789888000
                                                                        - r2
                                                                            / 6402373705728000.0))))))));
    // cos(r + qπ/2) is c, −s, −c, s for q = 0..3.
    const long long q = static_cast<long long>(k) & 3;
    const double v = (q & 1) ? s : c;
    return ((q + 1) & 2) ? -v : v;
}

// c[0] + c[1]x + c[2]x² + c[3]x³ (and to x⁴), by Horner's rule.
double Poly3(const double (&c)[4], double x);
double Poly4(const double (&c)[5], double x);

} // namespace vrn
