#pragma once

// GPX exchange: routes, tracks and waypoints in the GPS Exchange Format that chart plotters,
// phone apps and other navigation programs read and write. A GPX route ("rte") becomes a route,
// each segment of a GPX track ("trk"/"trkseg") a track with its times, and each waypoint
// ("wpt") a mark; writing goes the other way, as GPX 1.1.
//
// GPX counts longitude east positive; this system counts it west positive everywhere else. The
// sign changes here, on reading and on writing, and nowhere else.
//
// Reading keeps what is good: a point without a usable position is left out with a message that
// names the file and the line, and unknown elements and extensions are skipped. A file that is
// not well-formed XML gives nothing at all, with the line of the fault. The file is read as a
// stream, so memory grows with the points kept, not with the size of the file.

#include "charts/ChartDesk.h"
#include "engine/VrnError.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vrn {

struct TGpxImport
{
    TOwnedList<TChtRoute> Routes;
    TOwnedList<TChtTrack> Tracks;
    TObjList Marks; // TChtURLObject
    std::vector<std::string> Messages; // what was left out, each naming the file and the line

    std::size_t PointCount() const;

    bool Empty() const { return Routes.Empty() && Tracks.Empty() && Marks.Empty(); }
};

// Reading stopped because the progress function said so; nothing was imported.
class EGpxCancelled : public EVrnError
{
public:
    EGpxCancelled();
};

// Told the bytes read so far and the size of the file, now and then while reading; false stops
// the reading (EGpxCancelled).
using TGpxProgressFn = std::function<bool(std::uint64_t bytesRead, std::uint64_t bytesTotal)>;

// At most this many messages are kept; the last one then says how many more there were.
inline constexpr std::size_t kMaxGpxMessages = 50;

// Reads a GPX 1.0 or 1.1 file. Raises EVrnError "File <name> not found" when it cannot be
// opened, "<name>, line <n>: <fault>" when it is not well-formed XML, and "<name> is not a GPX
// file" when its root element is not "gpx"; nothing is imported then.
TGpxImport ReadGpxFile(const std::string &fileName, const TGpxProgressFn &progress = {});
// The same on the contents of a file; sourceName names it in the messages.
TGpxImport ReadGpxText(std::string_view text, const std::string &sourceName);

// What goes into a GPX file, in this order (waypoints, routes, tracks, as GPX wants them).
// Objects without points are left out.
struct TGpxExport
{
    std::vector<const TChtURLObject *> Marks;
    std::vector<const TChtRoute *> Routes;
    std::vector<const TChtTrack *> Tracks;

    std::size_t PointCount() const;
};

// Every mark, route and track of the desk.
TGpxExport GpxExportOfDesk(const TChartDesk &desk);
// One route or one track (a route that is a track goes with the tracks).
TGpxExport GpxExportOf(const TChtRoute &routeOrTrack);

// The GPX 1.1 document: UTF-8, the GPX namespace, creator "Varunel", times in UTC with "Z".
std::string GpxText(const TGpxExport &what);
// Writes it through a temporary file; raises EVrnError "Cannot write file <name>" and then the
// old file stays as it was.
void WriteGpxFile(const std::string &fileName, const TGpxExport &what);

// What AddGpxToDesk added, for the message after an import.
struct TGpxAdded
{
    std::size_t Routes = 0;
    std::size_t Tracks = 0;
    std::size_t Marks = 0;
    std::size_t Points = 0;
    // The box of everything added (degrees, longitude west positive); valid when Points > 0.
    double LatMin = 90, LatMax = -90, LonMin = 180, LonMax = -180;
};

// Moves the imported objects to the end of the desk's lists and marks those lists changed. A
// route or track without a name takes the desk's next free one. `import` is left empty.
TGpxAdded AddGpxToDesk(TChartDesk &desk, TGpxImport &import);

// "1 route, 2 tracks (340 points), 3 marks"; "nothing" when all are 0.
std::string GpxSummaryText(
    std::size_t routes, std::size_t tracks, std::size_t marks, std::size_t points);

} // namespace vrn
