#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli fix: the astronomical position from the selected LOPs of a ".vll" list, transported to
// a common time as the celestial navigation window does, as its report or one CSV line.
int RunFix(std::span<const std::string> args, TStreams io);

extern const std::string_view kFixUsage;

} // namespace vrn::cli
