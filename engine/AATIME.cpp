#include "engine/AATIME.h"

#include "engine/Trigonom.h"

#include <array>
#include <cmath>

namespace vrn {

namespace {

// ΔT in tenths of a second for every even year 1620..2018 (Meeus ch. 10, Table 10.A, extended
// with the observed values to 2018).
constexpr std::array<short, 200> kDeltaTTenths = {
    1240, 1150, 1060, 980, 910, 850, 790, 740, 700, 650, // 1620
    620, 580, 550, 530, 500, 480, 460, 440, 420, 400, // 1640
    370, 350, 330, 310, 280, 260, 240, 220, 200, 180, // 1660
    160, 140, 130, 120, 110, 100, 90, 90, 90, 90, // 1680
    90, 90, 90, 90, 100, 100, 100, 100, 100, 110, // 1700
    110, 110, 110, 110, 110, 110, 110, 120, 120, 120, // 1720
    120, 120, 130, 130, 130, 130, 140, 140, 140, 150, // 1740
    150, 150, 150, 160, 160, 160, 160, 160, 170, 170, // 1760
    170, 170, 170, 170, 170, 170, 160, 160, 150, 140, // 1780
    137, 131, 127, 125, 125, 125, 125, 125, 125, 123, // 1800
    120, 114, 106, 96, 86, 75, 66, 60, 57, 56, // 1820
    57, 59, 62, 65, 68, 71, 73, 75, 77, 78, // 1840
    79, 75, 64, 54, 29, 16, -10, -27, -36, -47, // 1860
    -54, -52, -55, -56, -58, -59, -62, -64, -61, -47, // 1880
    -27, 0, 26, 54, 77, 105, 134, 160, 182, 202, // 1900
    212, 224, 235, 239, 243, 240, 239, 239, 237, 240, // 1920
    243, 253, 262, 273, 282, 291, 300, 307, 314, 322, // 1940
    331, 340, 350, 365, 383, 402, 422, 445, 465, 485, // 1960
    505, 522, 538, 549, 558, 569, 580, 599, 610, 620, // 1980
    630, 642, 658, 670, 680, 700, 710, 730, 740, 750, // 2000
};

} // namespace

double JulianCenturies(int year, int month, int day, double hour)
{
    return (JulianDay(year, month, day, hour) - 2451545.0) / 36525.0;
}

// The branches are tested so that a NaN argument falls through to a polynomial and never
// indexes the table.
double DeltaT(double t)
{
    const double y = 100 * t + 2000;
    if (y >= 1620 && y <= 2016) {
        int i = static_cast<int>(std::trunc((y - 1620) / 2));
        if (i > 198)
            i = 198;
        const double f = y / 2 - (i + 810);
        const double a = kDeltaTTenths[static_cast<std::size_t>(i)];
        const double b = kDeltaTTenths[static_cast<std::size_t>(i) + 1];
        return (a + (b - a) * f) / 10;
    }
    if (y > 2016)
        return 102.3 + 123.5 * t + 32.5 * t * t - 50;
    if (y >= 948)
        return 50.6 + 67.5 * t + 22.5 * t * t;
    return 2715.6 + 573.36 * t + 46.5 * t * t;
}

double TerrestrialCenturies(double t)
{
    return t + DeltaT(t) / (86400.0 * 36525.0);
}

} // namespace vrn
