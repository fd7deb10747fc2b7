#include "charts/Mercator.h"

#include "engine/Trigonom.h"
#include "engine/VrnError.h"

#include <cmath>

namespace vrn {

double MercatorY(double latDeg)
{
    const double s = std::sin(DegToRad(latDeg));
    return 0.5 * std::log(std::fabs((s + 1) / (s - 1)));
}

namespace {

double CheckedOrdinate(double latDeg)
{
    const double y = MercatorY(latDeg);
    if (!std::isfinite(y))
        throw EMathError("Invalid floating point operation");
    return y;
}

} // namespace

double MercatorCoordFromLat(double c1, double c2, double lat1Deg, double lat2Deg, double latDeg)
{
    const double y1 = CheckedOrdinate(lat1Deg);
    const double y2 = CheckedOrdinate(lat2Deg);
    const double y = CheckedOrdinate(latDeg);
    if (c1 == c2 || y1 == y2)
        throw EMathError("Floating point division by zero");
    return c1 - (y1 - y) * (c1 - c2) / (y1 - y2);
}

double MercatorLatFromCoord(double lat1Deg, double lat2Deg, double c1, double c2, double c)
{
    const double y1 = CheckedOrdinate(lat1Deg);
    const double y2 = CheckedOrdinate(lat2Deg);
    if (c1 == c2 || y1 == y2)
        throw EMathError("Floating point division by zero");
    const double y = y1 + (c - c1) * (y1 - y2) / (c1 - c2);
    // tanh through exp(2y) overflows for |y| > ~355; std::tanh saturates to +-1 instead.
    const double t = std::tanh(y);
    if (!std::isfinite(t))
        throw EMathError("Invalid floating point operation");
    return RadToDeg(std::asin(t));
}

} // namespace vrn
