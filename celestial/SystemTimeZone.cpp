#include "celestial/SystemTimeZone.h"

#include "celestial/DlgShowOnceMsg.h"
#include "ui/Clock.h"

#include <cmath>

namespace vrn {

double TimeZoneHoursWest(const QTimeZone &zone, const QDateTime &instant)
{
    if (!zone.isValid() || !instant.isValid())
        return 0;
    return -zone.offsetFromUtc(instant) / 3600.0;
}

double SystemTimeZone()
{
    return TimeZoneHoursWest(QTimeZone::systemTimeZone(), UtcNow());
}

bool TimeZoneDisagreesWithLongitude(double zoneHours, double lonDeg)
{
    return std::fabs(lonDeg / 15 - zoneHours) > 1.5;
}

void CheckTimeZoneAgainstLongitude(double zoneHours, double lonDeg, QWidget *parent)
{
    if (TimeZoneDisagreesWithLongitude(zoneHours, lonDeg))
        ShowMessageOnce(QString::fromUtf8(kTimeZoneWarning), parent);
}

} // namespace vrn
