// Time of one ComputeGHADec per class of body: the Sun, the Moon, two planets (Venus has the
// shortest series, Saturn the longest), a star recomputed every call (a new day each time), a
// star answered from its per-day cache, and the first point of Aries (sidereal time only).

#include "engine/Astros.h"

#include <benchmark/benchmark.h>

namespace {

struct TInstant
{
    int Year, Month, Day;
    double Hour;
};

// The i-th of a sequence of instants over 1950..2049 on distinct days.
TInstant InstantAt(long i)
{
    return {int(1950 + (i / 336) % 100), int(1 + (i / 28) % 12), int(1 + i % 28),
        double((i * 7) % 24) + 0.25};
}

void BM_ComputeGHADec(benchmark::State &state, const char *name, bool sameDay)
{
    vrn::CreateAstros();
    vrn::TAstro *body = vrn::FindAstro(name);
    if (body == nullptr) {
        state.SkipWithError("unknown body");
        return;
    }
    long i = 0;
    for (auto _ : state) {
        TInstant t = InstantAt(sameDay ? 0 : i++);
        if (sameDay)
            t.Hour = double(i++ % 12); // same rounded Julian day, different hours
        benchmark::DoNotOptimize(body->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour));
    }
}

BENCHMARK_CAPTURE(BM_ComputeGHADec, Sun, "Sun", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Moon, "Moon", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Venus, "Venus", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Saturn, "Saturn", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, StarNewDay, "Sirius", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, StarSameDay, "Sirius", true);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Aries, "Aries *", false);

} // namespace

BENCHMARK_MAIN();
