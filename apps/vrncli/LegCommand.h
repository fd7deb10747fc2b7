#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli leg: rhumb line and great circle between two positions, or the points of one of them.
int RunLeg(std::span<const std::string> args, TStreams io);

extern const std::string_view kLegUsage;

} // namespace vrn::cli
