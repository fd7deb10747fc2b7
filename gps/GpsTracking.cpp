#include "gps/GpsTracking.h"

#include "engine/NumText.h"
#include "engine/Trigonom.h"

#include <cmath>

namespace vrn {

namespace {

const char *const kNoAngle = "---°--.-";

void ShowInvalid(TFixDisplay &d, TFixStatus status)
{
    d.Status = status;
    d.Lat = kNoAngle;
    d.Lon = kNoAngle;
    d.Time = "Invalid";
    d.StatusText = status == TFixStatus::Error ? "error" : "Invalid";
}

} // namespace

TFixDisplay DescribeFix(const TGpsPosition &p, const TGpsPosition &lastValid,
    TNMeaMessage lastMessage, bool hasCourse, double courseDeg, const TDateFormat &dateFormat)
{
    TFixDisplay d;
    if (!p.Valid) {
        ShowInvalid(d, TFixStatus::Invalid);
        return d; // the marker is hidden
    }
    if (!std::isfinite(p.Lat) || !std::isfinite(p.Lon) || std::fabs(p.Lat) > 90
        || std::fabs(p.Lon) > 180 || !IsValidDateTime(p.GMTTime) || p.GMTTime < 0) {
        ShowInvalid(d, TFixStatus::Error);
        d.MarkerVisible = true; // left as it is: nothing is plotted
        return d;
    }
    d.Status = TFixStatus::Valid;
    d.StatusText = "valid";
    d.Lat = FormatAngleDM2("NS", p.Lat);
    d.Lon = FormatAngleDM2("WE", p.Lon);
    d.Time = (p.GMTTime > 1 ? FormatDateText(p.GMTTime, dateFormat) + " " : std::string())
        + FormatTimeText(p.GMTTime) + " GMT";
    d.NewFix = !lastValid.Valid || p.GMTTime != lastValid.GMTTime || p.Lat != lastValid.Lat
        || p.Lon != lastValid.Lon;
    d.MarkerVisible = true;
    d.MarkerHasCourse = lastMessage == TNMeaMessage::nmRMC && hasCourse;
    d.MarkerCourseDeg = d.MarkerHasCourse ? courseDeg : 0;
    return d;
}

double TrackTimeOf(double gmtTime, double utcNow)
{
    if (gmtTime >= 1 || !std::isfinite(utcNow))
        return gmtTime;
    const double today = std::floor(utcNow);
    double best = today + gmtTime;
    for (const double day : {today - 1, today + 1})
        if (std::fabs(day + gmtTime - utcNow) < std::fabs(best - utcNow))
            best = day + gmtTime;
    return best;
}

// ---------------------------------------------------------------------------------------------

bool TGpsTrackRecorder::Save(bool hasTrack, const TAddPointFn &add, double utcNow)
{
    if (!LastValidPosition.Valid)
        return false;
    const double time = TrackTimeOf(LastValidPosition.GMTTime, utcNow);
    if (!(time > LastSavedTime))
        return false;
    LastSavedTime = time;
    if (!hasTrack)
        return false;
    return add(LastValidPosition.Lat, LastValidPosition.Lon, time);
}

std::optional<std::string> TGpsTrackRecorder::SaveClick(
    bool hasTrack, const TAddPointFn &add, double utcNow)
{
    if (!LastValidPosition.Valid)
        return "GPS position invalid";
    if (!(TrackTimeOf(LastValidPosition.GMTTime, utcNow) > LastSavedTime))
        return "GPS position old or already saved";
    if (!Save(hasTrack, add, utcNow))
        return "Error saving position: no GPS track selected";
    return std::nullopt;
}

// ---------------------------------------------------------------------------------------------

TAutoSaveInterval AutoSaveInterval(bool checked, int value, const std::string &unit)
{
    TAutoSaveInterval r;
    if (!checked)
        return r;
    double perUnit = 0;
    if (unit == "seconds")
        perUnit = 1.0 / 86400;
    else if (unit == "minutes")
        perUnit = 1.0 / 1440;
    else if (unit == "hours")
        perUnit = 1.0 / 24;
    else {
        r.Error = "Invalid save interval unit";
        return r;
    }
    // The interval is at least one unit.
    r.Days = (value < 1 ? 1 : value) * perUnit;
    if (r.Days > 1 + 1e-12) {
        r.Days = 0;
        r.Error = "Autosave interval must be less than 1 day";
    }
    return r;
}

void TAutoSaveSchedule::Start(double intervalDays, double nowMono)
{
    FIntervalSec = intervalDays > 0 ? intervalDays * 86400 : 0;
    FNext = nowMono + FIntervalSec;
}

bool TAutoSaveSchedule::Due(double nowMono)
{
    if (FIntervalSec <= 0 || nowMono < FNext)
        return false;
    FNext = nowMono + FIntervalSec;
    return true;
}

std::string FixAgeText(bool positionValid, double lastValidMono, double nowMono)
{
    if (!positionValid)
        return "...";
    const double age = nowMono - lastValidMono;
    return "last " + std::to_string(age > 0 ? static_cast<long long>(age) : 0) + " secs";
}

std::string TPortHealth::Update(
    std::uint64_t sentences, std::uint64_t checksumErrors, double lastValidMono, double nowMono)
{
    if (FSince >= 0 && nowMono > FSince) {
        const auto count = sentences >= FSentences ? sentences - FSentences : 0;
        FRate = static_cast<double>(count) / (nowMono - FSince);
    }
    FSentences = sentences;
    FSince = nowMono;
    std::string text = FormatFixed(FRate, 1) + " sentences/s, " + std::to_string(checksumErrors)
        + (checksumErrors == 1 ? " checksum error, " : " checksum errors, ");
    if (lastValidMono < 0)
        return text + "no valid fix yet";
    const double age = nowMono - lastValidMono;
    return text + "last valid fix " + std::to_string(age > 0 ? static_cast<long long>(age) : 0)
        + " s ago";
}

} // namespace vrn
