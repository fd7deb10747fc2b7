#include "engine/Stars.h"

#include "engine/AATIME.h"
#include "engine/EarthOrientation.h"
#include "engine/Trigonom.h"

#include <array>
#include <cmath>

namespace vrn {

namespace {

// Apparent places of 1993 January 1, 0h UT. Polaris (place and proper motion) and the proper
// motion of Zuben-ubi in right ascension are Hipparcos values brought to that epoch.
// clang-format off
constexpr std::array<TStarRecord, kStarCount> kCatalogue = {{
    {"Acamar", 2.96711, -40.335, 3.1f, -0.0039f, 0.019f}, // 1
    {"Achernar", 1.6245778, -57.275555, 0.6f, 0.0127f, -0.034f}, // 2
    {"Acrux", 12.43722, -63.05667, 1.1f, -0.0044f, -0.012f}, // 3
    {"Adhara", 6.973178, -28.963389, 1.63f, 0.0005f, 0.004f}, // 4
    {"Albireo", 19.507136, 27.9461388, 3.24f, 0.0003f, -0.004f}, // 5
    {"Aldebaran", 4.59265, 16.49625, 1.06f, 0.0045f, -0.19f}, // 6
    {"Alioth", 12.89556, 55.99167, 1.7f, 0.0134f, -0.005f}, // 7
    {"Alkaid", 13.787772, 49.342167, 1.91f, -0.0124f, -0.01f}, // 8
    {"Al Na-ir", 22.12989, -46.99667, 2.2f, 0.0128f, -0.153f}, // 9
    {"Alnilam", 5.59833, -1.20667, 1.8f, 0.0001f, -0.002f}, // 10
    {"Alphard", 9.45467, -8.63, 2.2f, -0.0008f, 0.033f}, // 11
    {"Alphecca", 15.573125, 26.7350278, 2.31f, 0.0091f, -0.088f}, // 12
    {"Alpheratz", 0.134, 29.05667, 2.2f, 0.0104f, -0.163f}, // 13
    {"Altair", 19.840608, 8.85069444, 0.89f, 0.0363f, 0.387f}, // 14
    {"Ankaa", 0.43256, -42.34667, 2.4f, 0.0189f, -0.395f}, // 15
    {"Antares", 16.482953, -26.416167, 1.2f, -0.0006f, -0.021f}, // 16
    {"Arcturus", 14.255792, 19.215222, 0.24f, -0.077f, -1.998f}, // 17
    {"Atria", 16.798333, -69.013389, 1.88f, 0.0035f, -0.032f}, // 18
    {"Avior", 8.37367, -59.48667, 1.7f, -0.0033f, 0.017f}, // 19
    {"Bellatrix", 5.413264, 6.343278, 1.7f, -0.0006f, -0.015f}, // 20
    {"Betelgeuse", 5.9139028, 7.4054167, 0.1f, 0.0019f, 0.01f}, // 21
    {"Canopus", 6.397375, -52.6929722, -0.86f, 0.0034f, 0.021f}, // 22
    {"Capella", 5.2704694, 45.9925278, 0.21f, 0.0074f, -0.424f}, // 23
    {"Castor", 7.57003056, 31.901944, 1.99f, -0.0135f, -0.098f}, // 24
    {"Deneb", 20.686303, 45.258583, 1.33f, 0.0004f, 0.002f}, // 25
    {"Denebola", 11.8120922, 14.607417, 2.23f, -0.0342f, -0.114f}, // 26
    {"Diphda", 0.72089, -18.025, 2.2f, 0.0165f, 0.032f}, // 27
    {"Dubhe", 11.05556, 61.78167, 2.0f, -0.0164f, -0.067f}, // 28
    {"Elnath", 5.43156, 28.60167, 1.8f, 0.0018f, -0.176f}, // 29
    {"Eltanin", 17.94022, 51.48833, 2.4f, -0.0007f, -0.019f}, // 30
    {"Enif", 21.73078, 9.845, 2.5f, 0.0021f, 0.0f}, // 31
    {"Fomalhaut", 22.954525, -29.660417, 1.29f, 0.0257f, -0.165f}, // 32
    {"Gacrux", 12.51333, -57.071389, 1.61f, 0.0032f, -0.263f}, // 33
    {"Gienah", 12.25778, -17.50333, 2.8f, -0.0112f, 0.023f}, // 34
    {"Hadar", 14.055594, -60.336417, 0.86f, -0.0035f, -0.019f}, // 35
    {"Hamal", 2.11344, 23.43333, 2.2f, 0.0138f, -0.149f}, // 36
    {"Kaus Austr.", 18.395, -34.38833, 2.0f, -0.0026f, -0.126f}, // 37
    {"Kochab", 14.84444, 74.17833, 2.2f, -0.0073f, 0.012f}, // 38
    {"Markab", 23.07367, 15.17, 2.6f, 0.0043f, -0.042f}, // 39
    {"Menkar", 3.03244, 4.06333, 2.8f, -0.0006f, -0.078f}, // 40
    {"Menkent", 14.10467, -36.335, 2.3f, -0.0428f, -0.52f}, // 41
    {"Miaplacidus", 9.219747, -69.686889, 1.8f, -0.0297f, 0.108f}, // 42
    {"Mirfak", 3.3978333, 49.8405833, 1.9f, 0.0025f, -0.025f}, // 43
    {"Nunki", 18.91378, -26.305, 2.1f, 0.0009f, -0.054f}, // 44
    {"Peacock", 20.418081, -56.758861, 2.12f, 0.0014f, -0.088f}, // 45
    {"Polaris", 2.4256049, 89.2394027, 2.0f, 0.2295f, -0.012f}, // 46, Hipparcos
    {"Pollux", 7.7489028, 28.0408556, 1.21f, -0.0474f, -0.046f}, // 47
    {"Procyon", 7.649608, 5.241472, 0.48f, -0.0474f, -1.024f}, // 48
    {"Rasalhague", 17.57667, 12.565, 2.1f, 0.0082f, -0.226f}, // 49
    {"Regulus", 10.133869, 11.9983056, 1.34f, -0.0169f, 0.008f}, // 50
    {"Rigel", 5.237325, -8.2102222, 0.34f, 0.0002f, -0.002f}, // 51
    {"Rigil Kent", 14.652094, -60.803778, 0.1f, -0.4949f, 0.699f}, // 52
    {"Sabik", 17.16622, -15.71667, 2.6f, 0.0027f, 0.098f}, // 53
    {"Schedar", 0.66889, 56.505, 2.5f, 0.0065f, -0.032f}, // 54
    {"Shaula", 17.55215, -37.098278, 1.71f, 0.0001f, -0.028f}, // 55
    {"Sirius", 6.747986, -16.7075, -1.58f, -0.0379f, -1.206f}, // 56
    {"Spica", 13.413961, -11.125861, 1.21f, -0.0026f, -0.027f}, // 57
    {"Suhail", 9.129633, -43.40383, 2.22f, -0.0014f, 0.014f}, // 58
    {"Vega", 18.6114, 38.7773056, 0.14f, 0.0173f, 0.286f}, // 59
    {"Zuben-ubi", 14.84156, -16.01333, 2.9f, -0.0073f, -0.067f}, // 60, pm RA from Hipparcos
}};
// clang-format on

// Julian centuries of the catalogue epoch from J2000.0.
constexpr double kEpochCenturies = (kStarCatalogueJD - 2451545.0) / 36525.0;

// Meeus 21.2: ζ, z and θ in radians from the starting epoch t0 to t.
struct TPrecessionAngles
{
    double Zeta, Z, Theta;
};

TPrecessionAngles PrecessionAngles(double t0, double t)
{
    const double dt = t - t0;
    const double k = 2306.2181 + 1.39656 * t0 - 0.000139 * t0 * t0;
    const double zetaArcsec =
        k * dt + (0.30188 - 0.000344 * t0) * dt * dt + 0.017998 * dt * dt * dt;
    const double zArcsec = k * dt + (1.09468 + 0.000066 * t0) * dt * dt + 0.018203 * dt * dt * dt;
    const double thetaArcsec = (2004.3109 - 0.85330 * t0 - 0.000217 * t0 * t0) * dt
        - (0.42665 + 0.000217 * t0) * dt * dt - 0.041833 * dt * dt * dt;
    return {
        DegToRad(zetaArcsec / 3600.0), DegToRad(zArcsec / 3600.0), DegToRad(thetaArcsec / 3600.0)};
}

// Meeus 21.4 as the rotation Rz(z)·Ry(θ)·Rz(ζ) of the vector (cos δ cos α, cos δ sin α, sin δ).
void PrecessionMatrix(double t0, double t, double (&m)[3][3])
{
    const TPrecessionAngles a = PrecessionAngles(t0, t);
    const double cz = std::cos(a.Zeta), sz = std::sin(a.Zeta);
    const double cZ = std::cos(a.Z), sZ = std::sin(a.Z);
    const double cT = std::cos(a.Theta), sT = std::sin(a.Theta);
    m[0][0] = cZ * cT * cz - sZ * sz;
    m[0][1] = -cZ * cT * sz - sZ * cz;
    m[0][2] = -cZ * sT;
    m[1][0] = sZ * cT * cz + cZ * sz;
    m[1][1] = -sZ * cT * sz + cZ * cz;
    m[1][2] = -sZ * sT;
    m[2][0] = sT * cz;
    m[2][1] = -sT * sz;
    m[2][2] = cT;
}

struct TUnitVector
{
    double X, Y, Z;
};

// Sine and cosine of one angle side by side, which the compiler turns into one sincos call.
TUnitVector VectorOf(double raDeg, double decDeg)
{
    const double a = DegToRad(raDeg), d = DegToRad(decDeg);
    const double sa = std::sin(a), ca = std::cos(a);
    const double sd = std::sin(d), cd = std::cos(d);
    return {cd * ca, cd * sa, sd};
}

// The sines and cosines of a place, whichever way they were found.
struct TPlaceTrig
{
    double SinA, CosA, SinD, CosD, TanD;
};

TPlaceTrig TrigOf(double raDeg, double decDeg)
{
    return {SinD(raDeg), CosD(raDeg), SinD(decDeg), CosD(decDeg), TanD(decDeg)};
}

// Meeus 23.1 with the frame's nutation and true obliquity.
TStarCorrection NutationAt(const TStarFrame &f, const TPlaceTrig &p)
{
    TStarCorrection r;
    r.RaArcsec = (f.CosEps + f.SinEps * p.SinA * p.TanD) * f.DeltaPsiArcsec
        - p.CosA * p.TanD * f.DeltaEpsArcsec;
    r.DecArcsec = f.SinEps * p.CosA * f.DeltaPsiArcsec + p.SinA * f.DeltaEpsArcsec;
    return r;
}

// Meeus 23.3 with the frame's mean obliquity; the Sun's and the perihelion's terms are gathered
// in AberrationCos and AberrationSin.
TStarCorrection AberrationAt(const TStarFrame &f, const TPlaceTrig &p)
{
    TStarCorrection r;
    r.RaArcsec = (p.CosA * f.CosEps0 * f.AberrationCos + p.SinA * f.AberrationSin) / p.CosD;
    r.DecArcsec = f.AberrationCos * (f.SinEps0 * p.CosD - f.CosEps0 * p.SinA * p.SinD)
        + f.AberrationSin * p.CosA * p.SinD;
    return r;
}

// Apparent place of date of a mean place of the catalogue epoch given as a unit vector.
TStarPlace PlaceOfDate(const TUnitVector &v, const TStarFrame &f)
{
    double x = v.X, y = v.Y, z = v.Z;
    if (!f.AtEpoch) {
        const auto &m = f.Precession;
        x = m[0][0] * v.X + m[0][1] * v.Y + m[0][2] * v.Z;
        y = m[1][0] * v.X + m[1][1] * v.Y + m[1][2] * v.Z;
        z = m[2][0] * v.X + m[2][1] * v.Y + m[2][2] * v.Z;
    }
    const double rho = std::sqrt(x * x + y * y);
    const double len = std::sqrt(rho * rho + z * z);
    const TPlaceTrig trig {y / rho, x / rho, z / len, rho / len, z / rho};
    const TStarCorrection n = NutationAt(f, trig);
    const TStarCorrection a = AberrationAt(f, trig);
    // atan2 of the declination keeps its precision next to the pole (Polaris).
    double raDeg = RadToDeg(std::atan2(y, x));
    if (raDeg < 0)
        raDeg += 360.0;
    return {raDeg + (n.RaArcsec + a.RaArcsec) / 3600.0,
        RadToDeg(std::atan2(z, rho)) + (n.DecArcsec + a.DecArcsec) / 3600.0};
}

const TStarFrame &EpochFrame()
{
    static const TStarFrame frame = MakeStarFrame(kEpochCenturies);
    return frame;
}

// The mean place m of the epoch whose apparent place is the catalogue's: m + N(m) + A(m) = the
// catalogue place, by fixed-point steps from the catalogue place (each shrinks the error by more
// than a thousand, Polaris included).
void FindEpochCorrections(TStarState &s)
{
    double ra = s.Ra0Deg, dec = s.Dec0Deg;
    for (int i = 0; i < 4; ++i) {
        const TStarPlace p = PlaceOfDate(VectorOf(ra, dec), EpochFrame());
        ra = s.Ra0Deg - NormalizeSigned180(p.RaDeg - ra);
        dec = s.Dec0Deg - (p.DecDeg - dec);
    }
    s.EpochCorrections = {NormalizeSigned180(s.Ra0Deg - ra) * 3600.0, (s.Dec0Deg - dec) * 3600.0};
    s.EpochCorrectionsKnown = true;
}

} // namespace

std::span<const TStarRecord, kStarCount> StarCatalogue()
{
    return kCatalogue;
}

TStarPlace PrecessEquatorial(double raDeg, double decDeg, double t0, double t)
{
    double m[3][3];
    PrecessionMatrix(t0, t, m);
    const TUnitVector v = VectorOf(raDeg, decDeg);
    const double x = m[0][0] * v.X + m[0][1] * v.Y + m[0][2] * v.Z;
    const double y = m[1][0] * v.X + m[1][1] * v.Y + m[1][2] * v.Z;
    const double z = m[2][0] * v.X + m[2][1] * v.Y + m[2][2] * v.Z;
    TStarPlace p;
    p.RaDeg = RadToDeg(std::atan2(y, x));
    p.RaDeg -= 360.0 * std::floor(p.RaDeg / 360.0);
    p.DecDeg = RadToDeg(std::atan2(z, std::hypot(x, y)));
    return p;
}

TStarCorrection StarPrecession(double raDeg, double decDeg, double t)
{
    if (t == kEpochCenturies)
        return {};
    const TStarPlace p = PrecessEquatorial(raDeg, decDeg, kEpochCenturies, t);
    return {NormalizeSigned180(p.RaDeg - raDeg) * 3600.0, (p.DecDeg - decDeg) * 3600.0};
}

TStarCorrection StarNutation(double raDeg, double decDeg, double t)
{
    return NutationAt(MakeStarFrame(t), TrigOf(raDeg, decDeg));
}

TStarCorrection StarAberration(double raDeg, double decDeg, double t)
{
    return AberrationAt(MakeStarFrame(t), TrigOf(raDeg, decDeg));
}

TStarFrame MakeStarFrame(double t)
{
    TStarFrame f;
    f.T = t;
    f.AtEpoch = t == kEpochCenturies;
    if (!f.AtEpoch)
        PrecessionMatrix(kEpochCenturies, t, f.Precession);
    const TNutationShort n = NutationShort(t);
    f.DeltaPsiArcsec = n.DeltaPsiArcsec;
    f.DeltaEpsArcsec = n.DeltaEpsArcsec;
    f.SinEps = SinD(n.EpsDeg);
    f.CosEps = CosD(n.EpsDeg);
    const double eps0 = MeanObliquityDeg(t);
    f.SinEps0 = SinD(eps0);
    f.CosEps0 = CosD(eps0);
    const double sun = SunTrueLongitude(t);
    const TEarthOrbit orbit = EarthOrbit(t);
    constexpr double kappa = kAberrationArcsec;
    const double eKappa = orbit.Eccentricity * kappa;
    f.AberrationCos = eKappa * CosD(orbit.PerihelionDeg) - kappa * CosD(sun);
    f.AberrationSin = eKappa * SinD(orbit.PerihelionDeg) - kappa * SinD(sun);
    return f;
}

TStarState MakeStarState(const TStarRecord &record)
{
    TStarState s;
    s.Ra0Deg = record.RaHours * 15.0;
    s.Dec0Deg = record.DecDeg;
    s.PmRaSecPerYear = record.PmRaSecPerYear;
    s.PmDecArcsecPerYear = record.PmDecArcsecPerYear;
    s.CosDec0 = CosD(s.Dec0Deg);
    return s;
}

TStarPlace StarApparentPlace(TStarState &state, const TStarFrame &frame, int year, int month)
{
    if (!state.EpochCorrectionsKnown)
        FindEpochCorrections(state);
    const double years = year + month / 12.0 - 1993.0;
    if (!state.MeanVectorKnown || state.PmYears != years) {
        state.PmRaOffsetDeg = state.PmRaSecPerYear * years / 3600.0 * 15.0;
        state.PmDecOffsetDeg = state.PmDecArcsecPerYear * years / 3600.0;
        const double pmRaOnSkyDeg = state.CosDec0 * state.PmRaOffsetDeg;
        state.PmTotalDeg =
            std::sqrt(state.PmDecOffsetDeg * state.PmDecOffsetDeg + pmRaOnSkyDeg * pmRaOnSkyDeg);
        const TUnitVector v =
            VectorOf(state.Ra0Deg - state.EpochCorrections.RaArcsec / 3600.0 + state.PmRaOffsetDeg,
                state.Dec0Deg - state.EpochCorrections.DecArcsec / 3600.0 + state.PmDecOffsetDeg);
        state.MeanVector[0] = v.X;
        state.MeanVector[1] = v.Y;
        state.MeanVector[2] = v.Z;
        state.PmYears = years;
        state.MeanVectorKnown = true;
    }
    return PlaceOfDate({state.MeanVector[0], state.MeanVector[1], state.MeanVector[2]}, frame);
}

TStarPlace StarApparentPlace(TStarState &state, int year, int month, int day, double hour)
{
    return StarApparentPlace(
        state, MakeStarFrame(JulianCenturies(year, month, day, hour)), year, month);
}

} // namespace vrn
