#include "engine/AABASIC.h"

#include "engine/Trigonom.h"

#include <cmath>

namespace vrn {

double ArcSinAA(double x)
{
    return ArcSinRad(x);
}

// Built from the one-argument arctangent of the smaller ratio, so that the quotient never
// overflows; the sign corrections put the result in (−π, π].
double ArcTan2AA(double y, double x)
{
    if (x == 0 && y == 0)
        return 0;
    if (std::fabs(x) > std::fabs(y)) {
        const double a = std::atan(y / x);
        if (x > 0)
            return a;
        return y >= 0 ? a + kPi : a - kPi;
    }
    const double a = kPi / 2 - std::atan(x / y);
    return y > 0 ? a : a - kPi;
}

double Mod2Pi(double x)
{
    constexpr double twoPi = 2 * kPi;
    double r = x - twoPi * std::trunc(x / twoPi);
    if (r < 0)
        r += twoPi;
    // A tiny negative remainder plus 2π can round up to 2π itself.
    return r >= twoPi ? 0 : r;
}

void MultipleAngles(int n, double x, double *sinK, double *cosK)
{
    if (n < 1)
        return;
    const double s = std::sin(x);
    const double c = std::cos(x);
    sinK[1] = s;
    cosK[1] = c;
    for (int k = 1; k < n; ++k) {
        sinK[k + 1] = sinK[k] * c + cosK[k] * s;
        cosK[k + 1] = cosK[k] * c - sinK[k] * s;
    }
}

double Poly3(const double (&c)[4], double x)
{
    return ((c[3] * x + c[2]) * x + c[1]) * x + c[0];
}

double Poly4(const double (&c)[5], double x)
{
    return (((c[4] * x + c[3]) * x + c[2]) * x + c[1]) * x + c[0];
}

} // namespace vrn
