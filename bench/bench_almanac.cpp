// Time to build almanac pages: both pages of one date (216 hourly rows of Aries, the planets, the
// Sun and the Moon, and 60 star places), and a whole year of them (365 dates) as one figure.

#include "engine/Astros.h"
#include "engine/DateTime.h"
#include "sky/AlmanacPgMaker.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace {

void BuildBothPages(vrn::TAlmanacPageMaker &maker, std::vector<std::string> &lines)
{
    lines.clear();
    maker.MakeLeftPage(lines);
    maker.MakeRightPage(lines);
    benchmark::DoNotOptimize(lines.data());
}

// A new date every time, so that the stars are recomputed as they would be for a new page.
void BM_AlmanacBothPagesOneDate(benchmark::State &state)
{
    vrn::CreateAstros();
    vrn::TAlmanacPageMaker maker(vrn::Astros(), vrn::TAlmanacNames::English());
    const double first = vrn::EncodeDate(2024, 1, 1);
    std::vector<std::string> lines;
    long i = 0;
    for (auto _ : state) {
        maker.Date = first + double(i++ % 3650);
        BuildBothPages(maker, lines);
    }
}

BENCHMARK(BM_AlmanacBothPagesOneDate)->Unit(benchmark::kMillisecond);

void BM_AlmanacBothPagesYear(benchmark::State &state)
{
    vrn::CreateAstros();
    vrn::TAlmanacPageMaker maker(vrn::Astros(), vrn::TAlmanacNames::English());
    const double first = vrn::EncodeDate(2025, 1, 1);
    std::vector<std::string> lines;
    for (auto _ : state) {
        for (int day = 0; day < 365; ++day) {
            maker.Date = first + day;
            BuildBothPages(maker, lines);
        }
    }
}

BENCHMARK(BM_AlmanacBothPagesYear)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
