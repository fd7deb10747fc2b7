#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli render: a chart file or a calibrated chart picture drawn into a PNG, with the grid,
// through the chart view's drawing code.
int RunRender(std::span<const std::string> args, TStreams io);

extern const std::string_view kRenderUsage;

} // namespace vrn::cli
