#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli starfinder: the bodies the star finder lists as visible from a position at a UTC
// instant, the sight planner's best choice for a fix, and the sky chart as a PNG.
int RunStarFinder(std::span<const std::string> args, TStreams io);

extern const std::string_view kStarFinderUsage;

} // namespace vrn::cli
