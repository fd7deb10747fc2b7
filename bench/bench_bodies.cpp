// Time of one ComputeGHADec per class of body: the Sun, the Moon, two planets (Venus has the
// shortest series, Saturn the longest), a star recomputed every call (a new day each time), a
// star answered from its per-day cache, and the first point of Aries (sidereal time only), all at
// instants no body has used before; then a star at an instant that other bodies have already
// used (the goal is under 0.2 us), and all 67 bodies of one instant together.

#include "engine/Astros.h"

#include <benchmark/benchmark.h>
#include <vector>

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

// A star at an instant another star has already used, so that the terms of the instant are
// known: every call is a new day for the star computed (no per-day cache) and the instants are
// few enough to stay in the store of instants.
void BM_StarAtUsedInstant(benchmark::State &state)
{
    vrn::CreateAstros();
    const std::vector<vrn::TAstro *> bodies = vrn::Astros().BodyList();
    std::vector<vrn::TAstro *> stars(bodies.begin() + 6, bodies.end() - 1);
    constexpr long kInstants = 256;
    for (long i = 0; i < kInstants; ++i) {
        const TInstant t = InstantAt(i * 131);
        vrn::Astros().Sun()->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour);
        stars.front()->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour);
    }
    long k = 0;
    for (auto _ : state) {
        const TInstant t = InstantAt((k % kInstants) * 131);
        vrn::TAstro *star = stars[1 + static_cast<std::size_t>(k / kInstants) % (stars.size() - 1)];
        ++k;
        benchmark::DoNotOptimize(star->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour));
    }
}

// All 67 bodies of one instant, a new instant each time: the time per body is this over 67.
void BM_AllBodiesOfAnInstant(benchmark::State &state)
{
    vrn::CreateAstros();
    const std::vector<vrn::TAstro *> bodies = vrn::Astros().BodyList();
    long i = 1000000;
    for (auto _ : state) {
        const TInstant t = InstantAt(i++);
        for (vrn::TAstro *b : bodies)
            benchmark::DoNotOptimize(b->ComputeGHADec(t.Year, t.Month, t.Day, t.Hour));
    }
}

BENCHMARK(BM_StarAtUsedInstant);
BENCHMARK(BM_AllBodiesOfAnInstant);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Sun, "Sun", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Moon, "Moon", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Venus, "Venus", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Saturn, "Saturn", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, StarNewDay, "Sirius", false);
BENCHMARK_CAPTURE(BM_ComputeGHADec, StarSameDay, "Sirius", true);
BENCHMARK_CAPTURE(BM_ComputeGHADec, Aries, "Aries *", false);

} // namespace

BENCHMARK_MAIN();
