#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli riseset: rising, meridian transit, setting and civil twilight of a body for a UT date
// and a position, for people (hours and hh:mm) or for scripts (--csv).
int RunRiseSet(std::span<const std::string> args, TStreams io);

extern const std::string_view kRiseSetUsage;

} // namespace vrn::cli
