#pragma once

#include "engine/PlanetDe.h"

namespace vrn {

// Saturn's heliocentric VSOP87D series, truncated as in Meeus Appendix III (generated table).
const TPlanetSeries &SaturnSeries();

} // namespace vrn
