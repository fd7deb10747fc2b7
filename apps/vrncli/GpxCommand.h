#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli gpx: routes, tracks and waypoints of a GPX file into a desktop, or the routes, tracks
// and marks of a desktop (or chart file) into a GPX file, through the chart viewer's own GPX
// reader and writer.
int RunGpx(std::span<const std::string> args, TStreams io);

extern const std::string_view kGpxUsage;

} // namespace vrn::cli
