#pragma once

// What the GPS window decides, without the window: the texts and the boat marker of a
// notification, which fixes are new, the date of a GLL fix for the track, when a position is
// written to the GPS track, the autosave interval and its schedule, the age of the last fix and
// the port health line. Times given as "mono" are seconds of a monotonic clock; "utcNow" is a
// date-time (days since 1899-12-30).

#include "engine/DateTime.h"
#include "gps/GpsPosition.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace vrn {

enum class TFixStatus
{
    Valid,
    Invalid, // the receiver reports no fix
    Error, // a fix that cannot be shown (beyond ±90 / ±180, or no date-time)
};

struct TFixDisplay
{
    TFixStatus Status = TFixStatus::Invalid;
    std::string Time; // "23/03/1994 12:35:19 GMT", "22:54:44 GMT", "Invalid"
    std::string Lat; // "48°07.04'N", or "---°--.-"
    std::string Lon;
    std::string StatusText; // "valid", "Invalid", "error"
    // A valid fix that differs from the last valid one in time or place: it moves the marker,
    // restarts the age of the fix and may be written to the track.
    bool NewFix = false;
    // The marker: shown for a new fix, hidden for Invalid; Error leaves it as it is.
    bool MarkerVisible = false;
    bool MarkerHasCourse = false;
    double MarkerCourseDeg = 0;
};

// The display of the receiver's position p. hasCourse is true only after an RMC that had a
// course (a GLL fix, or an RMC with the course left empty, shows the marker without one).
TFixDisplay DescribeFix(const TGpsPosition &p, const TGpsPosition &lastValid,
    TNMeaMessage lastMessage, bool hasCourse, double courseDeg, const TDateFormat &dateFormat);

// The date-time of a fix for the track: a GLL time of day (below 1) gets the UTC date that puts
// it nearest to utcNow; a fix with a date is its own time.
double TrackTimeOf(double gmtTime, double utcNow);

// The last valid fix that reached the window and the time of the last one written to the GPS
// track.
class TGpsTrackRecorder
{
public:
    TGpsPosition LastValidPosition;
    // 0 at start. A change of the autosave settings keeps it: a fix already in the track is
    // never written a second time (two points of one instant make a leg without time).
    double LastSavedTime = 0;

    // Adds a point to the GPS track; false when it failed.
    using TAddPointFn = std::function<bool(double latDeg, double lonDeg, double time)>;

    // The recorder's SaveGpsPosition: writes the last valid fix when it is newer than the last
    // saved one (LastSavedTime then takes its time, even when there is no track or the add
    // fails). True when a point was written.
    bool Save(bool hasTrack, const TAddPointFn &add, double utcNow);

    // "&Save position!": nothing when a point was written, else the message to show.
    std::optional<std::string> SaveClick(bool hasTrack, const TAddPointFn &add, double utcNow);
};

// The autosave interval in days from the check box, the spin value and the unit text; an error
// message when the unit is unknown or the interval is more than one day. Unchecked gives 0.
struct TAutoSaveInterval
{
    double Days = 0;
    std::string Error;
};

TAutoSaveInterval AutoSaveInterval(bool checked, int value, const std::string &unit);

// Fires once per interval of a monotonic clock: the first time one interval after Start.
class TAutoSaveSchedule
{
public:
    void Start(double intervalDays, double nowMono);
    // True when the time has come (and the next one is set an interval from now).
    bool Due(double nowMono);

    double IntervalSec() const { return FIntervalSec; }

private:
    double FIntervalSec = 0;
    double FNext = 0;
};

// "last <n> secs" for a valid position (whole seconds since lastValidMono), "..." otherwise.
std::string FixAgeText(bool positionValid, double lastValidMono, double nowMono);

// The port's health: sentences a second since the previous update, checksum errors, and the
// seconds since the last valid fix.
class TPortHealth
{
public:
    // lastValidMono < 0: no valid fix yet.
    std::string Update(std::uint64_t sentences, std::uint64_t checksumErrors, double lastValidMono,
        double nowMono);

private:
    std::uint64_t FSentences = 0;
    double FSince = -1;
    double FRate = 0;
};

} // namespace vrn
