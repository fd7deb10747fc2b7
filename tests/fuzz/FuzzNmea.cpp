// libFuzzer target of the NMEA receiver: any bytes, cut into any pieces, give notifications
// and positions or nothing, never a crash, a hang or a position that is not a number. The first
// byte of the input chooses the piece size. Built by tests/fuzz/build.sh.

#include "gps/NmeaReceiver.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char *>(data) + 1, size - 1);
    vrn::TNmeaReceiver receiver;
    receiver.AcceptedMessages = {vrn::TNMeaMessage::nmGLL, vrn::TNMeaMessage::nmRMC};
    std::size_t notified = 0;
    receiver.OnNewPosition = [&] {
        ++notified;
        const auto &p = receiver.Position();
        if (!std::isfinite(p.Lat) || !std::isfinite(p.Lon) || !std::isfinite(p.GMTTime)
            || !std::isfinite(receiver.SpeedOverGround())
            || !std::isfinite(receiver.CourseOverGround()))
            std::abort();
        // A position only comes from a sentence whose fields read.
        if (receiver.NotifiedParsed() && receiver.LastMessage() != receiver.NotifiedKind())
            std::abort();
    };
    for (std::size_t i = 0; i < bytes.size(); i += piece)
        receiver.ReceiveBytes(bytes.substr(i, piece));
    if (notified != receiver.Counters().Notified || receiver.History().Count() > 1000)
        std::abort();
    return 0;
}
