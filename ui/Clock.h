#pragma once

// The computer clock read by every "Now" command. Tests install a fixed clock.

#include <QDateTime>

namespace vrn {

class TClock
{
public:
    virtual ~TClock() = default;
    virtual QDateTime Now() const = 0;
};

// Installs the clock; nullptr restores the computer clock. The caller keeps ownership.
void SetClock(const TClock *clock);

// The current local date and time (with its offset from UTC).
QDateTime LocalNow();

// The same instant in UTC.
QDateTime UtcNow();

} // namespace vrn
