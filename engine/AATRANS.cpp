#include "engine/AATRANS.h"

#include "engine/AABASIC.h"
#include "engine/NutationTable.h"
#include "engine/Trigonom.h"

#include <cmath>

namespace vrn {

namespace {

constexpr double kArcsecToRad = kPi / 648000.0;

// Highest multiple of each fundamental argument in Table 22.A, with a margin (M' 3, M 2, F 4,
// D 4, Ω 2 would do).
using TMultiples = TAngleMultiples<4>;

// Fundamental argument in radians from its cubic in degrees.
double Argument(double c0, double c1, double c2, double c3, double t)
{
    return DegToRad(((c3 * t + c2) * t + c1) * t + c0);
}

} // namespace

TNutation Nutation(double tTT)
{
    const double t = tTT;
    // IAU 1980 fundamental arguments (Meeus 22), degrees.
    const TMultiples mp(Argument(134.9629814, 477198.8673981, 0.0086972, 0.00001778, t));
    const TMultiples m(Argument(357.5277233, 35999.05034, -0.0001603, -0.00000333, t));
    const TMultiples f(Argument(93.2719103, 483202.0175381, -0.0036825, 0.000003056, t));
    const TMultiples d(Argument(297.8503631, 445267.11148, -0.0019142, 0.000005278, t));
    const double omegaRad = Argument(125.0445222, -1934.1362608, 0.00207083, 0.00000222, t);
    const TMultiples om(omegaRad);

    // The largest term, in Ω alone, in arcseconds.
    double dPsi = (-17.1996 - 0.01742 * t) * std::sin(omegaRad);
    double dEps = (9.2025 + 0.00089 * t) * std::cos(omegaRad);

    for (const auto &row : kNutationRows) {
        // sin and cos of Σ kᵢ·argᵢ by angle addition over the precomputed multiples.
        double s = 0;
        double c = 1;
        mp.Add(row.Mp, s, c);
        m.Add(row.M, s, c);
        f.Add(row.F, s, c);
        d.Add(row.D, s, c);
        om.Add(row.Om, s, c);
        double a = row.SinCoef * 1e-4;
        if (row.SinRate != 0)
            a += row.SinRate * 1e-5 * t;
        double b = row.CosCoef * 1e-4;
        if (row.CosRate != 0)
            b += row.CosRate * 1e-5 * t;
        dPsi += a * s;
        dEps += b * c;
    }
    return {dPsi * kArcsecToRad, dEps * kArcsecToRad};
}

double MeanObliquity(double tTT)
{
    const double u = tTT / 100;
    constexpr double c[] = {
        84381.448, -4680.93, -1.55, 1999.25, -51.38, -249.67, -39.05, 7.12, 27.87, 5.79, 2.45};
    double e = 0;
    for (int i = 10; i >= 0; --i)
        e = e * u + c[i];
    return e * kArcsecToRad;
}

TEquatorial EclipticToEquatorial(double epsRad, double betaRad, double lambdaRad)
{
    const double se = std::sin(epsRad);
    const double ce = std::cos(epsRad);
    const double sb = std::sin(betaRad);
    const double cb = std::cos(betaRad);
    const double sl = std::sin(lambdaRad);
    const double cl = std::cos(lambdaRad);
    double alpha = ArcTan2AA(cb * sl * ce - sb * se, cb * cl);
    if (alpha < 0)
        alpha += 2 * kPi;
    return {alpha, ArcSinAA(ce * sb + se * cb * sl)};
}

} // namespace vrn
