// Time of the two celestial navigation calculations a user waits for: one sight reduction
// (CalcLOP: the Sun's place, the corrections, the altitude and azimuth, the report) and one fix
// over the full list of 20 LOPs (190 crossings, their statistics and the report), with and
// without a transport of every LOP to the latest time.

#include "celestial/VrnCalc.h"
#include "engine/Astros.h"
#include "engine/DateTime.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

void BM_CalcLOP(benchmark::State &state)
{
    vrn::CreateAstros();
    vrn::TSightInputs sight;
    sight.Body = vrn::FindAstro("Sun");
    sight.Watch = {3, 1, 2024, 12 + 13 / 60.0};
    sight.AssumedPos = vrn::TPosition("AssumedPos", 40, 10);
    sight.GMTDateText = "03/01/2024";
    sight.GMTTimeText = "12:13:00";
    std::vector<std::string> report;
    for (auto _ : state) {
        vrn::TVrnSextant sextant;
        sextant.Hs = 26.7;
        sextant.IndexCorrection = -2.0 / 60;
        sextant.EyeHeight = 9.843;
        benchmark::DoNotOptimize(vrn::CalcLOP(sight, sextant, report));
    }
}

// Twenty LOPs of different bodies and hours around one assumed position: every pair crosses.
vrn::TLOPList TwentyLOPs()
{
    vrn::TLOPList list;
    for (int i = 0; i < vrn::kMaxLOPs; ++i) {
        vrn::TLOPRecord l;
        l.ObjectName = "Star " + std::to_string(i + 1);
        l.GMTDay = 3;
        l.GMTMonth = 1;
        l.GMTYear = 2024;
        l.GMTHours = 4 + i * 0.1;
        l.APLat = 38.6;
        l.APLon = 24.1;
        l.Azimuth = i * 17.3;
        l.Intercept = (i % 5) - 2.0;
        list.AddLOP(l);
    }
    return list;
}

void BM_CalcFix20(benchmark::State &state, vrn::TAutoTransportMode mode)
{
    vrn::TLOPList list = TwentyLOPs();
    list.SetTransportMode(mode);
    vrn::TTransportSettings settings;
    settings.Boat = {6, 45};
    vrn::TFixReport report;
    for (auto _ : state) {
        const vrn::TFixResult fix = list.CalcFix(settings, report);
        if (fix.Crossings.size() != 190)
            state.SkipWithError("not 190 crossings");
        benchmark::DoNotOptimize(fix.Lat);
    }
}

} // namespace

BENCHMARK(BM_CalcLOP);
BENCHMARK_CAPTURE(BM_CalcFix20, no_transport, vrn::TAutoTransportMode::DontTransport);
BENCHMARK_CAPTURE(BM_CalcFix20, to_latest_time, vrn::TAutoTransportMode::ToLatestLOPTime);
BENCHMARK_MAIN();
