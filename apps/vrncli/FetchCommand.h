#pragma once

#include "apps/vrncli/CliCommand.h"

namespace vrn::cli {

// vrncli fetch: a desktop (with the chart it names) or a vector chart fetched over http or
// https into the cache folder, as the chart viewer's location panel fetches it.
int RunFetch(std::span<const std::string> args, TStreams io);

extern const std::string_view kFetchUsage;

} // namespace vrn::cli
