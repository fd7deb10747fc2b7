#include "apps/vrncli/AlmanacCommand.h"
#include "apps/vrncli/CalibrateCommand.h"
#include "apps/vrncli/CliCommand.h"
#include "apps/vrncli/DistanceCommand.h"
#include "apps/vrncli/EphemCommand.h"
#include "apps/vrncli/FetchCommand.h"
#include "apps/vrncli/FixCommand.h"
#include "apps/vrncli/GpxCommand.h"
#include "apps/vrncli/LegCommand.h"
#include "apps/vrncli/NmeaCommand.h"
#include "apps/vrncli/RenderCommand.h"
#include "apps/vrncli/RiseSetCommand.h"
#include "apps/vrncli/SightCommand.h"
#include "apps/vrncli/StarFinderCommand.h"

namespace vrn::cli {

#ifdef VRN_CLI_WITHOUT_QT
// In vrncli the commands that need Qt have neither usage nor function here: they run in vrncli-gui.
#define VRN_QT_COMMAND(usage, run) std::string_view(), nullptr
#else
#define VRN_QT_COMMAND(usage, run) usage, &run
#endif

std::span<const TCommand> Commands()
{
    static const TCommand commands[] = {
        {"almanac", "the nautical almanac pages of three days, as text or PDF",
            VRN_QT_COMMAND(kAlmanacUsage, RunAlmanac)},
        {"calibrate", "calibrate a chart picture from three reference points into a .CID file",
            VRN_QT_COMMAND(kCalibrateUsage, RunCalibrate)},
        {"distance", "distance between two bodies for lunars, and the clearing of a lunar distance",
            kDistanceUsage, &RunDistance},
        {"ephem", "GHA, declination, SD, HP and magnitude of bodies at UTC instants", kEphemUsage,
            &RunEphem},
        {"fetch", "fetch a desktop or a vector chart over http or https into the cache folder",
            VRN_QT_COMMAND(kFetchUsage, RunFetch)},
        {"fix", "astronomical position from the selected LOPs of a LOP list", kFixUsage, &RunFix},
        {"gpx", "routes, tracks and waypoints from a GPX file into a desktop, or back to GPX",
            VRN_QT_COMMAND(kGpxUsage, RunGpx)},
        {"leg", "rhumb line and great circle between two positions, and their route points",
            kLegUsage, &RunLeg},
        {"nmea", "GLL and RMC sentences of a file or a GPS on a serial port, as positions",
            VRN_QT_COMMAND(kNmeaUsage, RunNmea)},
        {"render", "draw a chart file, a calibrated chart picture or a desktop into a PNG",
            VRN_QT_COMMAND(kRenderUsage, RunRender)},
        {"riseset", "rising, meridian transit, setting and civil twilight of a body on a date",
            kRiseSetUsage, &RunRiseSet},
        {"sight", "reduce a sextant sight to a line of position", kSightUsage, &RunSight},
        {"starfinder", "the bodies visible from a position, the best ones for a fix, the sky chart",
            VRN_QT_COMMAND(kStarFinderUsage, RunStarFinder)},
    };
    return commands;
}

} // namespace vrn::cli
