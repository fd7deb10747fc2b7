#pragma once

#include "engine/PlanetDe.h"

namespace vrn {

// Mars's heliocentric VSOP87D series, truncated as in Meeus Appendix III (generated table).
const TPlanetSeries &MarsSeries();

} // namespace vrn
