#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli almanac: the nautical almanac pages of three days as text, or as a PDF file printed by
// the window's printing code.
int RunAlmanac(std::span<const std::string> args, TStreams io);

extern const std::string_view kAlmanacUsage;

} // namespace vrn::cli
