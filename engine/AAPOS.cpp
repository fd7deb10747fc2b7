#include "engine/AAPOS.h"

#include "engine/AABASIC.h"
#include "engine/MoonTerms.h"
#include "engine/Trigonom.h"

#include <cmath>
#include <cstdlib>

namespace vrn {

namespace {

// Degrees, c0..c4 in T_TT: Meeus first edition, 47.1–47.5 (c3, c4 are the book's 1/divisor).
constexpr double kLPrime[5] = {
    218.3164591, 481267.88134236, -0.0013268, 1.0 / 538841.0, -1.0 / 65194000.0};
constexpr double kD[5] = {
    297.8502042, 445267.1115168, -0.00163, 1.0 / 545868.0, -1.0 / 113065000.0};
constexpr double kM[5] = {357.5291092, 35999.0502909, -0.0001536, 1.0 / 24490000.0, 0.0};
constexpr double kMPrime[5] = {
    134.9634114, 477198.8676313, 0.008997, 1.0 / 69699.0, -1.0 / 14712000.0};
constexpr double kF[5] = {
    93.2720993, 483202.0175273, -0.0034029, -1.0 / 3526000.0, 1.0 / 863310000.0};
constexpr double kOmega[5] = {
    125.044555, -1934.1361849, 0.0020762, 1.0 / 467410.0, -1.0 / 60616000.0};

double ArgumentRad(const double (&c)[5], double tTT)
{
    return Mod2Pi(DegToRad(Poly4(c, tTT)));
}

} // namespace

TMoonArguments MoonArguments(double tTT)
{
    TMoonArguments a;
    a.LPrimeRad = ArgumentRad(kLPrime, tTT);
    a.DRad = ArgumentRad(kD, tTT);
    a.MRad = ArgumentRad(kM, tTT);
    a.MPrimeRad = ArgumentRad(kMPrime, tTT);
    a.FRad = ArgumentRad(kF, tTT);
    a.OmegaRad = ArgumentRad(kOmega, tTT);
    a.E = 1.0 - tTT * (0.002516 + 0.0000074 * tTT);
    return a;
}

TMoonPosition MoonPosition(double tTT)
{
    const TMoonArguments a = MoonArguments(tTT);
    const double a1 = DegToRad(119.75 + 131.849 * tTT);
    const double a2 = DegToRad(53.09 + 479264.29 * tTT);
    const double a3 = DegToRad(313.45 + 481266.484 * tTT);
    const double eFactor[3] = {1.0, a.E, a.E * a.E}; // by |multiplier of M|

    const TAngleMultiples<4> d(a.DRad);
    const TAngleMultiples<2> m(a.MRad);
    const TAngleMultiples<4> mp(a.MPrimeRad);
    const TAngleMultiples<3> f(a.FRad);
    auto sinCos = [&](int kd, int km, int kmp, int kf, double &s, double &c) {
        s = 0.0;
        c = 1.0;
        d.Add(kd, s, c);
        m.Add(km, s, c);
        mp.Add(kmp, s, c);
        f.Add(kf, s, c);
    };

    double sigmaL = 0, sigmaR = 0, sigmaB = 0;
    for (const auto &t : moonterms::kLonDist) {
        double s, c;
        sinCos(t.D, t.M, t.MPrime, t.F, s, c);
        const double e = eFactor[std::abs(t.M)];
        sigmaL += t.SigmaL * e * s;
        sigmaR += t.SigmaR * e * c;
    }
    for (const auto &t : moonterms::kLat) {
        double s, c;
        sinCos(t.D, t.M, t.MPrime, t.F, s, c);
        sigmaB += t.SigmaB * eFactor[std::abs(t.M)] * s;
    }

    sigmaL +=
        3958.0 * std::sin(a1) + 1962.0 * std::sin(a.LPrimeRad - a.FRad) + 318.0 * std::sin(a2);
    // 350·sin A1·cos F is Meeus's 175·sin(A1 − F) + 175·sin(A1 + F).
    sigmaB += -2235.0 * std::sin(a.LPrimeRad) + 382.0 * std::sin(a3)
        + 350.0 * std::sin(a1) * std::cos(a.FRad) + 127.0 * std::sin(a.LPrimeRad - a.MPrimeRad)
        - 115.0 * std::sin(a.LPrimeRad + a.MPrimeRad);

    TMoonPosition p;
    p.LambdaRad = Mod2Pi(a.LPrimeRad + DegToRad(sigmaL * 1e-6));
    p.BetaRad = DegToRad(sigmaB * 1e-6);
    p.DistanceKm = 385000.56 + sigmaR / 1000.0;
    return p;
}

} // namespace vrn
