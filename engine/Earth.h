#pragma once

#include "engine/PlanetDe.h"

namespace vrn {

// Earth's heliocentric VSOP87D series, truncated as in Meeus Appendix III (generated table).
const TPlanetSeries &EarthSeries();

} // namespace vrn
