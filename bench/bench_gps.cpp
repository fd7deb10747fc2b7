// Sentences framed and parsed a second by the NMEA receiver, from a capture in memory: one
// minute of a receiver at one fix a second (GGA, GSA, three GSV, RMC, GLL and VTG each second,
// tests/data/gps/track_60s.nmea) repeated, fed in the pieces a serial port delivers. Every
// sentence is framed and its checksum checked; the accepted ones are parsed into the position.
// Goal: 5 million sentences a second (a 4800-baud line carries about 8).

#include "common/FileIO.h"
#include "gps/NmeaReceiver.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <string>

namespace {

const std::string &Capture()
{
    static const std::string bytes = [] {
        const auto f = vrn::ReadWholeFile(VRN_GPS_CAPTURE, 1 << 20);
        if (!f.Found || f.Bytes.empty())
            throw std::runtime_error("cannot read " VRN_GPS_CAPTURE);
        std::string repeated;
        for (int i = 0; i < 20; ++i)
            repeated += f.Bytes;
        return repeated;
    }();
    return bytes;
}

// range(0): bytes per piece; range(1): 0 accepts RMC only (the window's default), 1 both kinds.
void BM_FrameAndParse(benchmark::State &state)
{
    const std::string &bytes = Capture();
    const auto chunk = static_cast<std::size_t>(state.range(0));
    vrn::TNmeaReceiver receiver;
    receiver.AcceptedMessages = state.range(1) == 0
        ? vrn::TNMeaMessages {vrn::TNMeaMessage::nmRMC}
        : vrn::TNMeaMessages {vrn::TNMeaMessage::nmGLL, vrn::TNMeaMessage::nmRMC};
    double sink = 0;
    receiver.OnNewPosition = [&] { sink += receiver.Position().Lat; };
    for (auto _ : state) {
        for (std::size_t i = 0; i < bytes.size(); i += chunk)
            receiver.ReceiveBytes(std::string_view(bytes).substr(i, chunk));
        benchmark::DoNotOptimize(sink);
    }
    const auto sentences = static_cast<double>(receiver.Counters().Sentences);
    state.counters["sentences/s"] = benchmark::Counter(sentences, benchmark::Counter::kIsRate);
    state.counters["parsed/s"] = benchmark::Counter(
        static_cast<double>(receiver.Counters().Parsed), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

BENCHMARK(BM_FrameAndParse)->Args({4096, 0})->Args({4096, 1})->Args({64, 1});

} // namespace

BENCHMARK_MAIN();
