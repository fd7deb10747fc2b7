#pragma once

// A serial device read through the GPS receiver of the window (TGpsInterface), for programs
// without a window (vrncli nmea). The header is plain C++; the work runs a Qt event loop of its
// own, creating the core application object when the program has none.

#include "gps/NmeaReceiver.h"

#include <cstddef>
#include <functional>
#include <string>

namespace vrn {

struct TSerialFeedOptions
{
    std::string Device; // /dev/ttyUSB0, a pseudo-terminal...
    int Baud = 4800;
    std::size_t Chunk = 4096; // bytes fed to the receiver at a time
    double TimeoutSec = 0; // 0: no limit
};

struct TSerialFeedResult
{
    bool Opened = false;
    bool Lost = false; // the device went away while it was read
    bool TimedOut = false;
    std::string Message; // why it could not be opened, or how it was lost
};

// Opens the device 8N1 without flow control, hands its receiver to attach (which sets the
// accepted kinds and the listener), and feeds it until a listener calls Stop, the timeout runs
// out or the device goes away; detach sees the receiver last, before it is freed.
TSerialFeedResult FeedFromSerialDevice(const TSerialFeedOptions &options,
    const std::function<void(TNmeaReceiver &)> &attach,
    const std::function<void(const TNmeaReceiver &)> &detach);

} // namespace vrn
