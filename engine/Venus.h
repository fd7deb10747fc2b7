#pragma once

#include "engine/PlanetDe.h"

namespace vrn {

// Venus's heliocentric VSOP87D series, truncated as in Meeus Appendix III (generated table).
const TPlanetSeries &VenusSeries();

} // namespace vrn
