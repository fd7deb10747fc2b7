#include "engine/EarthOrientation.h"

#include "engine/AATIME.h"
#include "engine/Trigonom.h"

#include <cmath>

namespace vrn {

TNutationShort NutationShort(double t)
{
    const double omega = 125.04452 - 1934.136261 * t;
    const double l = 280.4665 + 36000.7698 * t;
    const double lMoon = 218.3165 + 481267.8813 * t;
    TNutationShort r;
    r.DeltaPsiArcsec =
        -17.20 * SinD(omega) - 1.32 * SinD(2 * l) - 0.23 * SinD(2 * lMoon) + 0.21 * SinD(2 * omega);
    r.DeltaEpsArcsec =
        9.20 * CosD(omega) + 0.57 * CosD(2 * l) + 0.10 * CosD(2 * lMoon) - 0.09 * CosD(2 * omega);
    r.EpsDeg = MeanObliquityDeg(t) + r.DeltaEpsArcsec / 3600;
    return r;
}

double MeanObliquityDeg(double t)
{
    return 23.4392911 + (-46.815 * t - 0.00059 * t * t + 0.001813 * t * t * t) / 3600;
}

TEarthOrbit EarthOrbit(double t)
{
    return {0.016708617 - 0.000042037 * t - 0.0000001236 * t * t,
        102.93735 + 1.71953 * t + 0.00046 * t * t};
}

TSiderealTime SiderealTime(int year, int month, int day, double hour)
{
    const double t0 = JulianCenturies(year, month, day, 0);
    const double theta0Sec =
        24110.54841 + 8640184.812866 * t0 + 0.093104 * t0 * t0 - 0.0000062 * t0 * t0 * t0;
    const double mean = hour * 1.00273790935 + theta0Sec / 3600;
    // Equation of the equinoxes Δψ·cos ε, from arcseconds of arc to hours of time.
    const TNutationShort nut = NutationShort(t0);
    const double apparent = mean + nut.DeltaPsiArcsec * CosD(nut.EpsDeg) / 3600 / 15;
    return {Normalize24(mean), Normalize24(apparent)};
}

double SunTrueLongitude(double t)
{
    const double l0 = 280.46645 + 36000.76983 * t + 0.0003032 * t * t;
    const double m = 357.5291 + 35999.0503 * t - 0.0001559 * t * t - 0.00000048 * t * t * t;
    const double c = (1.9146 - 0.004817 * t - 0.000014 * t * t) * SinD(m)
        + (0.019993 - 0.000101 * t) * SinD(2 * m) + 0.00029 * SinD(3 * m);
    return l0 + c;
}

} // namespace vrn
