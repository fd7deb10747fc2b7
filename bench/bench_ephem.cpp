// Time of one apparent Sun and one apparent Saturn position (T_TT given), and of the series
// evaluations under them: the Earth (195 terms) and Saturn (632 terms).

#include "engine/AATIME.h"
#include "engine/Earth.h"
#include "engine/PlanetDe.h"
#include "engine/Saturn.h"

#include <benchmark/benchmark.h>

namespace {

// Instants stepping 1.37 days through 1950..2050, so no two calls see the same argument.
double CenturiesAt(long i)
{
    return -0.5 + static_cast<double>(i % 26000) * 1.37 / 36525.0;
}

void BM_SunPosition(benchmark::State &state)
{
    long i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(vrn::SunApparent(CenturiesAt(i++)));
}

void BM_SaturnPosition(benchmark::State &state)
{
    long i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(vrn::PlanetApparent(vrn::SaturnSeries(), CenturiesAt(i++)));
}

void BM_EarthSeries(benchmark::State &state)
{
    long i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(vrn::EvaluateSeries(vrn::EarthSeries(), CenturiesAt(i++)));
}

void BM_SaturnSeries(benchmark::State &state)
{
    long i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(vrn::EvaluateSeries(vrn::SaturnSeries(), CenturiesAt(i++)));
}

void BM_DeltaTAndCenturies(benchmark::State &state)
{
    long i = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(vrn::TerrestrialCenturies(CenturiesAt(i++)));
}

BENCHMARK(BM_SunPosition);
BENCHMARK(BM_SaturnPosition);
BENCHMARK(BM_EarthSeries);
BENCHMARK(BM_SaturnSeries);
BENCHMARK(BM_DeltaTAndCenturies);

} // namespace

BENCHMARK_MAIN();
