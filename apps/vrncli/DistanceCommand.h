#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli distance: the distance and bearing between two bodies at a UTC instant, and the
// clearing of a lunar distance observed with a sextant.
int RunDistance(std::span<const std::string> args, TStreams io);

extern const std::string_view kDistanceUsage;

} // namespace vrn::cli
