#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli nmea: NMEA 0183 from a file or a serial device through the GPS window's receiver, one
// line per notification with the receiver's state right after it.
int RunNmea(std::span<const std::string> args, TStreams io);

extern const std::string_view kNmeaUsage;

} // namespace vrn::cli
