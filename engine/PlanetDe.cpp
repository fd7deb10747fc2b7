#include "engine/PlanetDe.h"

#include "engine/AABASIC.h"
#include "engine/Earth.h"
#include "engine/EarthOrientation.h"
#include "engine/Trigonom.h"

#include <cmath>

namespace vrn {

namespace {

// Four cosines at once, for the terms of the series: lane by lane the same operations in the
// same order as CosAA, so every lane rounds exactly as CosAA would (no contraction into fused
// multiply-adds: the file is compiled with -ffp-contract=off). Valid for |x| < 2^20 only; the
// caller takes CosAA itself for any other lane.
using TLanes = double __attribute__((vector_size(32)));
using TIntLanes = long long __attribute__((vector_size(32)));

inline TLanes CosAA4(TLanes x)
{
    constexpr double kTwoOverPi = 0.6366197723675814;
    constexpr double kPiOver2Hi = 0x1.921fb54400000p+0;
    constexpr double kPiOver2Mid = 0x1.0b4611a600000p-34;
    constexpr double kPiOver2Lo = 0x1.3198a2e037073p-69;
    constexpr double kRound = 0x1.8p52;
    const TLanes k = (x * kTwoOverPi + kRound) - kRound;
    const TLanes r = ((x - k * kPiOver2Hi) - k * kPiOver2Mid) - k * kPiOver2Lo;
    const TLanes r2 = r * r;
    // clang-format off
    const TLanes s = r + r * r2 * (-1.0 / 6 + r2 * (1.0 / 120 + r2 * (-1.0 / 5040
        + r2 * (1.0 / 362880 + r2 * (-1.0 / 39916800 + r2 * (1.0 / 6227020800
        + r2 * (-1.0 / 1307674368000 + r2 / 355687428096000.0)))))));
    const TLanes c = 1 + r2 * (-0.5 + r2 * (1.0 / 24 + r2 * (-1.0 / 720 + r2 * (1.0 / 40320
        + r2 * (-1.0 / 3628800 + r2 * (1.0 / 479001600 + r2 * (-1.0 / 87178291200
        + r2 * (1.0 / 20922789888000 - r2 / 6402373705728000.0))))))));
    // clang-format on
    const TIntLanes q = __builtin_convertvector(k, TIntLanes) & 3;
    const TLanes v = (q & 1) != 0 ? s : c;
    return ((q + 1) & 2) != 0 ? -v : v;
}

// Σ A·cos(B + C·τ) over one series, added up term by term in table order, so the sum is the
// one a plain loop over CosAA gives, to the last bit; only the cosines are taken four at a time.
// Built twice, for processors with and without AVX2, and chosen when the program loads.
__attribute__((target_clones("avx2", "default"))) double SumTerms(
    std::span<const TVsopTerm> terms, double tau)
{
    double sum = 0;
    std::size_t i = 0;
    const std::size_t n = terms.size();
    for (; i + 4 <= n; i += 4) {
        const TVsopTerm *t = terms.data() + i;
        const TLanes b = {t[0].B, t[1].B, t[2].B, t[3].B};
        const TLanes c = {t[0].C, t[1].C, t[2].C, t[3].C};
        const TLanes x = b + c * tau;
        const TLanes ax = x < 0 ? -x : x;
        const TIntLanes inRange = ax < 1048576.0; // false for NaN as well
        TLanes cosX;
        if (inRange[0] & inRange[1] & inRange[2] & inRange[3]) {
            cosX = CosAA4(x);
        } else {
            for (int j = 0; j < 4; ++j)
                cosX[j] = CosAA(x[j]);
        }
        sum += t[0].A * cosX[0];
        sum += t[1].A * cosX[1];
        sum += t[2].A * cosX[2];
        sum += t[3].A * cosX[3];
    }
    for (; i < n; ++i)
        sum += terms[i].A * CosAA(terms[i].B + terms[i].C * tau);
    return sum;
}

// Σ_i τ^i · Σ_terms A·cos(B + C·τ), by Horner's rule over the powers of τ.
double SumSeries(const std::array<std::span<const TVsopTerm>, 6> &series, double tau)
{
    double value = 0;
    for (int i = 5; i >= 0; --i)
        value = value * tau + SumTerms(series[static_cast<std::size_t>(i)], tau);
    return value;
}

// Full-circle angle in degrees, 0 <= r < 360. ArcTan2D refuses x == 0; a vector exactly on the
// y axis (or at the origin) still has a direction here.
double DirectionDeg(double y, double x)
{
    if (x != 0)
        return ArcTan2D(y, x);
    if (y == 0)
        return 0;
    return y > 0 ? 90 : 270;
}

} // namespace

THeliocentric EvaluateSeries(const TPlanetSeries &series, double tTT)
{
    const double tau = tTT / 10;
    THeliocentric h;
    h.LDeg = Normalize360(RadToDeg(SumSeries(series.L, tau) / 1e8));
    h.BDeg = Normalize360(RadToDeg(SumSeries(series.B, tau) / 1e8));
    h.RAu = SumSeries(series.R, tau) / 1e8;
    return h;
}

TGeocentricVector GeocentricVector(const THeliocentric &earth, const THeliocentric &body)
{
    TGeocentricVector v;
    v.X = body.RAu * CosD(body.BDeg) * CosD(body.LDeg)
        - earth.RAu * CosD(earth.BDeg) * CosD(earth.LDeg);
    v.Y = body.RAu * CosD(body.BDeg) * SinD(body.LDeg)
        - earth.RAu * CosD(earth.BDeg) * SinD(earth.LDeg);
    v.Z = body.RAu * SinD(body.BDeg) - earth.RAu * SinD(earth.BDeg);
    v.DeltaAu = std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z);
    v.LightTimeDays = 0.0057755183 * v.DeltaAu;
    return v;
}

namespace {

TEclipticCorrection AberrationInOrbit(
    double lambdaDeg, double betaDeg, double sunLonDeg, const TEarthOrbit &orbit)
{
    constexpr double kappa = kAberrationArcsec;
    const double e = orbit.Eccentricity;
    const double pi = orbit.PerihelionDeg;
    TEclipticCorrection c;
    c.DeltaLambdaArcsec =
        (-kappa * CosD(sunLonDeg - lambdaDeg) + e * kappa * CosD(pi - lambdaDeg)) / CosD(betaDeg);
    c.DeltaBetaArcsec =
        -kappa * SinD(betaDeg) * (SinD(sunLonDeg - lambdaDeg) - e * SinD(pi - lambdaDeg));
    return c;
}

} // namespace

TEclipticCorrection Aberration(double lambdaDeg, double betaDeg, double sunLonDeg, double tTT)
{
    return AberrationInOrbit(lambdaDeg, betaDeg, sunLonDeg, EarthOrbit(tTT));
}

TSolarFrame MakeSolarFrame(double tTT)
{
    TSolarFrame f;
    f.TTT = tTT;
    f.Earth = EvaluateSeries(EarthSeries(), tTT);
    f.Nutation = NutationShort(tTT);
    f.SinEps = SinD(f.Nutation.EpsDeg);
    f.CosEps = CosD(f.Nutation.EpsDeg);
    f.SunLonDeg = SunTrueLongitude(tTT);
    f.Orbit = EarthOrbit(tTT);
    return f;
}

TApparentPlace ApparentPlace(const TGeocentricVector &v, const TSolarFrame &frame)
{
    const double lambda = DirectionDeg(v.Y, v.X);
    const double beta = DirectionDeg(v.Z, std::sqrt(v.X * v.X + v.Y * v.Y)); // south: 360 + β
    const TEclipticCorrection ab = AberrationInOrbit(lambda, beta, frame.SunLonDeg, frame.Orbit);
    const double lambdaApp =
        lambda + ab.DeltaLambdaArcsec / 3600 + frame.Nutation.DeltaPsiArcsec / 3600;
    const double betaApp = beta + ab.DeltaBetaArcsec / 3600;
    TApparentPlace p;
    p.RADeg = DirectionDeg(
        frame.CosEps * SinD(lambdaApp) - TanD(betaApp) * frame.SinEps, CosD(lambdaApp));
    p.DecDeg =
        ArcSinD(SinD(betaApp) * frame.CosEps + CosD(betaApp) * frame.SinEps * SinD(lambdaApp));
    return p;
}

TApparentPlace ApparentPlace(const TGeocentricVector &v, double tTT)
{
    return ApparentPlace(v, MakeSolarFrame(tTT));
}

TSunPlace SunApparent(const TSolarFrame &frame)
{
    // The Sun is the origin of the series: seen along the negated Earth vector.
    const TGeocentricVector v = GeocentricVector(frame.Earth, THeliocentric {});
    const TApparentPlace p = ApparentPlace(v, frame);
    return {p.RADeg, p.DecDeg, frame.Earth.RAu};
}

TSunPlace SunApparent(double tTT)
{
    return SunApparent(MakeSolarFrame(tTT));
}

TPlanetPlace PlanetApparent(const TPlanetSeries &series, const TSolarFrame &frame)
{
    const double tTT = frame.TTT;
    TPlanetPlace place;
    place.Helio = EvaluateSeries(series, tTT);
    place.Geo = GeocentricVector(frame.Earth, place.Helio);
    // One light-time step: the planet where it was when the light left it, the Earth as now.
    place.Helio = EvaluateSeries(series, tTT - place.Geo.LightTimeDays / 36525);
    place.Geo = GeocentricVector(frame.Earth, place.Helio);
    place.DeltaAu = place.Geo.DeltaAu;
    place.LightTimeDays = place.Geo.LightTimeDays;
    // 8.794″ at 1 AU, in minutes of arc.
    place.HorizontalParallaxArcmin = 0.14656666666666666667 / place.DeltaAu;
    const TApparentPlace p = ApparentPlace(place.Geo, frame);
    place.RADeg = p.RADeg;
    place.DecDeg = p.DecDeg;
    return place;
}

TPlanetPlace PlanetApparent(const TPlanetSeries &series, double tTT)
{
    return PlanetApparent(series, MakeSolarFrame(tTT));
}

TSunAlmanac SunAlmanac(double daysFromJ2000, double raDeg)
{
    const double n = daysFromJ2000;
    TSunAlmanac a;
    const double meanLon = Normalize360(280.46 + 0.9856474 * n);
    double e = (meanLon - raDeg) * 4 / 60;
    // The two longitudes wrap at different moments near the March equinox; the difference is
    // brought back by whole days either way, so E stays within a quarter of an hour of zero.
    if (e > 12)
        e -= 24;
    else if (e <= -12)
        e += 24;
    a.EquationOfTimeHours = e;
    const double g = Normalize360(357.528 + 0.9856003 * n);
    a.RAu = 1.00014 - 0.01671 * CosD(g) - 0.00014 * CosD(2 * g);
    a.SemiDiameterDeg = 0.2666 / a.RAu;
    return a;
}

} // namespace vrn
