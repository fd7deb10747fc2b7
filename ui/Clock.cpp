#include "ui/Clock.h"

namespace vrn {
namespace {

const TClock *gClock = nullptr;

} // namespace

void SetClock(const TClock *clock)
{
    gClock = clock;
}

QDateTime LocalNow()
{
    return gClock ? gClock->Now().toLocalTime() : QDateTime::currentDateTime();
}

QDateTime UtcNow()
{
    return gClock ? gClock->Now().toUTC() : QDateTime::currentDateTimeUtc();
}

} // namespace vrn
