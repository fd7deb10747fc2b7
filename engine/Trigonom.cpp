#include "engine/Trigonom.h"

#include "engine/VrnError.h"

#include <cmath>

namespace vrn {

double DegToRad(double deg)
{
    return deg * kPi / 180.0;
}

double RadToDeg(double rad)
{
    return rad * 180.0 / kPi;
}

double SinD(double deg)
{
    return std::sin(DegToRad(deg));
}

double CosD(double deg)
{
    return std::cos(DegToRad(deg));
}

double TanD(double deg)
{
    return SinD(deg) / CosD(deg);
}

double CotD(double deg)
{
    return CosD(deg) / SinD(deg);
}

// Arguments a hair beyond ±1 are rounding noise of the spherical formulas, not faults.
static double ClampUnit(double x)
{
    constexpr double slack = 1e-12;
    if (std::isnan(x) || x > 1 + slack || x < -1 - slack)
        throw EMathError("Invalid floating point operation");
    return x > 1 ? 1 : (x < -1 ? -1 : x);
}

double ArcSinRad(double x)
{
    x = ClampUnit(x);
    if (x == 1)
        return kPi / 2;
    if (x == -1)
        return -kPi / 2;
    return std::atan(x / std::sqrt(1 - x * x));
}

double ArcCosRad(double x)
{
    x = ClampUnit(x);
    if (x == 0)
        return kPi / 2;
    const double r = std::atan(std::sqrt(1 - x * x) / x);
    return x < 0 ? r + kPi : r;
}

double ArcSinD(double x)
{
    return RadToDeg(ArcSinRad(x));
}

double ArcCosD(double x)
{
    return RadToDeg(ArcCosRad(x));
}

double ArcTanD(double x)
{
    return RadToDeg(std::atan(x));
}

double ArcTan2D(double y, double x)
{
    if (x == 0)
        throw EMathError("Floating point division by zero");
    double r = ArcTanD(y / x);
    if (x <= 0)
        r += 180;
    else if (y < 0)
        r += 360;
    return r;
}

double NormalizeAngle(double v, double range)
{
    if (!std::isfinite(v) || !(range > 0))
        return v;
    if (v > range)
        return v - range * (std::ceil(v / range) - 1);
    if (v < 0)
        return v + range * std::ceil(-v / range);
    return v;
}

double Normalize360(double v)
{
    return NormalizeAngle(v, 360);
}

double Normalize24(double v)
{
    return NormalizeAngle(v, 24);
}

double NormalizeSigned180(double v)
{
    if (!std::isfinite(v))
        return v;
    if (v < -180)
        v += 360 * std::ceil((-180 - v) / 360);
    if (v > 180)
        v -= 360 * std::ceil((v - 180) / 360);
    return v;
}

int QuadrantOf(double deg)
{
    return static_cast<int>(std::trunc(Normalize360(deg) / 90)) + 1;
}

double FloorMod(double a, double m)
{
    if (a >= 0)
        return a - m * std::trunc(a / m);
    return a + m * (std::trunc(-a / m) + 1);
}

bool IsNearZero(double x)
{
    return std::fabs(x) < 1e-10;
}

double JulianDay(int year, int month, int day, double hour)
{
    int y = year;
    int m = month;
    if (m <= 2) {
        y -= 1;
        m += 12;
    }
    const int a = y / 100;
    const int b = 2 - a + a / 4;
    return std::trunc(365.25 * (y + 4716)) + std::trunc(30.6001 * (m + 1)) + day + b - 1524.5
        + hour / 24.0;
}

} // namespace vrn
