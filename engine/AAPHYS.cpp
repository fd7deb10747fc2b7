#include "engine/AAPHYS.h"

namespace vrn {

double MoonSemiDiameterFromDistance(double distKm)
{
    return 358473400.0 / distKm;
}

} // namespace vrn
