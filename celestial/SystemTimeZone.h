#pragma once

// The computer's time zone and the check that a time zone fits a longitude. Time zones are hours
// positive WEST (GMT = local time + zone), longitudes degrees positive west.

#include <QDateTime>
#include <QTimeZone>

namespace vrn {

constexpr const char *kTimeZoneWarning =
    "Warning: Time zone and Longitude values are incompatible. If you are using GMT date/time, "
    "this message can be ignored. Calculation will proceed.";

// The offset of `zone` at `instant` (standard or daylight time, whichever is in force then), in
// hours positive west: Sao Paulo is +3, Kolkata -5.5. 0 for an invalid zone or instant.
double TimeZoneHoursWest(const QTimeZone &zone, const QDateTime &instant);

// TimeZoneHoursWest of the system's time zone now (the clock of ui/Clock.h).
double SystemTimeZone();

// True when the zone is more than 1.5 hours from longitude/15, the zone the longitude would
// keep. Non-finite values never disagree.
bool TimeZoneDisagreesWithLongitude(double zoneHours, double lonDeg);

// Shows kTimeZoneWarning through ShowMessageOnce when the two disagree. The calculation that
// asks always proceeds.
void CheckTimeZoneAgainstLongitude(double zoneHours, double lonDeg, QWidget *parent = nullptr);

} // namespace vrn
