#include "apps/vrncli/CliCommand.h"
#include "apps/vrncli/EphemCommand.h"

namespace vrn::cli {

std::span<const TCommand> Commands()
{
    static const TCommand commands[] = {
        {"ephem", "GHA, declination, SD, HP and magnitude of bodies at UTC instants", kEphemUsage,
            &RunEphem},
    };
    return commands;
}

} // namespace vrn::cli
