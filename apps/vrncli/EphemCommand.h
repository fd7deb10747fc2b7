#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli ephem: GHA, declination, semi-diameter, horizontal parallax and magnitude of bodies at
// UTC instants, one machine-readable line each.
int RunEphem(std::span<const std::string> args, TStreams io);

extern const std::string_view kEphemUsage;

} // namespace vrn::cli
