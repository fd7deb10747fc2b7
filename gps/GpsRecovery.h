#pragma once

// The recovery file of the GPS track: every point written to the GPS track is also appended to
// this file and flushed to the disk at once, so that a crash, a power cut or a desktop that
// could not be saved loses none of them. A committed save of the desktop clears it; at the next
// start the points it still holds are offered back.
//
// One line a point: the track name, a tab, latitude, longitude (degrees, west positive, 9
// decimals) and the date-time (10 decimals), tab-separated, LF-ended.

#include <filesystem>
#include <string>
#include <vector>

namespace vrn {

struct TRecoveredPoint
{
    std::string TrackName;
    double Lat = 0;
    double Lon = 0;
    double Time = 0;
};

struct TRecoveryContents
{
    std::vector<TRecoveredPoint> Points;
    int BadLines = 0; // lines that did not read (a line cut short by a crash)
};

class TGpsRecoveryLog
{
public:
    explicit TGpsRecoveryLog(std::filesystem::path path);

    const std::filesystem::path &Path() const { return FPath; }

    // Appends and flushes one point; raises EVrnError "Cannot write the GPS recovery file
    // <path>: <reason>" when it fails (a full disk). Tabs and line breaks in the name become
    // blanks.
    void Append(const std::string &trackName, double latDeg, double lonDeg, double time);

    // The points of the file, in order; nothing when there is no file. A file larger than 64 MB
    // is not read (BadLines 1).
    TRecoveryContents Read() const;

    // Removes the file; false when it is there and cannot be removed.
    bool Clear();

private:
    std::filesystem::path FPath;
};

} // namespace vrn
