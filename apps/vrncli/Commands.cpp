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

std::span<const TCommand> Commands()
{
    static const TCommand commands[] = {
        {"almanac", "the nautical almanac pages of three days, as text or PDF", kAlmanacUsage,
            &RunAlmanac},
        {"calibrate", "calibrate a chart picture from three reference points into a .CID file",
            kCalibrateUsage, &RunCalibrate},
        {"distance", "distance between two bodies for lunars, and the clearing of a lunar distance",
            kDistanceUsage, &RunDistance},
        {"ephem", "GHA, declination, SD, HP and magnitude of bodies at UTC instants", kEphemUsage,
            &RunEphem},
        {"fetch", "fetch a desktop or a vector chart over http or https into the cache folder",
            kFetchUsage, &RunFetch},
        {"fix", "astronomical position from the selected LOPs of a LOP list", kFixUsage, &RunFix},
        {"gpx", "routes, tracks and waypoints from a GPX file into a desktop, or back to GPX",
            kGpxUsage, &RunGpx},
        {"leg", "rhumb line and great circle between two positions, and their route points",
            kLegUsage, &RunLeg},
        {"nmea", "GLL and RMC sentences of a file or a GPS on a serial port, as positions",
            kNmeaUsage, &RunNmea},
        {"render", "draw a chart file, a calibrated chart picture or a desktop into a PNG",
            kRenderUsage, &RunRender},
        {"riseset", "rising, meridian transit, setting and civil twilight of a body on a date",
            kRiseSetUsage, &RunRiseSet},
        {"sight", "reduce a sextant sight to a line of position", kSightUsage, &RunSight},
        {"starfinder", "the bodies visible from a position, the best ones for a fix, the sky chart",
            kStarFinderUsage, &RunStarFinder},
    };
    return commands;
}

} // namespace vrn::cli
