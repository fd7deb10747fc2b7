#pragma once

#include "apps/vrncli/CliCommand.h"

#include <optional>
#include <string_view>

namespace vrn::cli {

// vrncli sight: reduces one sextant sight to a line of position, as the celestial navigation
// window does, and prints its report or one CSV line; optionally appends the LOP to a ".vll".
int RunSight(std::span<const std::string> args, TStreams io);

extern const std::string_view kSightUsage;

// A sextant altitude as the system writes angles ("45°07.3'", "45°07.3'-" for a negative
// value, "-45°07.3'") or as decimal degrees ("45.1217"); no exponents, minutes below 60.
std::optional<double> ParseSextantAltitude(std::string_view text);

} // namespace vrn::cli
