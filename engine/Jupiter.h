#pragma once

#include "engine/PlanetDe.h"

namespace vrn {

// Jupiter's heliocentric VSOP87D series, truncated as in Meeus Appendix III (generated table).
const TPlanetSeries &JupiterSeries();

} // namespace vrn
