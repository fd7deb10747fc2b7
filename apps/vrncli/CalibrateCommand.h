#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli calibrate: a chart picture calibrated from three reference points into its chart image
// data file, through the chart image importer's own code.
int RunCalibrate(std::span<const std::string> args, TStreams io);

extern const std::string_view kCalibrateUsage;

} // namespace vrn::cli
