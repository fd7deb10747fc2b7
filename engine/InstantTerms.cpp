#include "engine/InstantTerms.h"

#include "engine/AATIME.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

namespace vrn {

TInstantTerms::TInstantTerms(int year, int month, int day, double hour)
    : FYear(year)
    , FMonth(month)
    , FDay(day)
    , FHour(hour)
    , FT(JulianCenturies(year, month, day, hour))
    , FTTT(TerrestrialCenturies(FT))
    , FSidereal(SiderealTime(year, month, day, hour))
{ }

const TSolarFrame &TInstantTerms::Solar()
{
    if (!FSolar)
        FSolar = MakeSolarFrame(FTTT);
    return *FSolar;
}

const TStarFrame &TInstantTerms::Stars()
{
    if (!FStars)
        FStars = MakeStarFrame(FT);
    return *FStars;
}

namespace {

// Four-way sets, the least recently used way replaced: bodies of a few instants interleaved, or
// the lines of a few hundred instants in any order, find their terms again.
constexpr std::size_t kSets = 256;
constexpr int kWays = 4;

struct TSet
{
    std::optional<TInstantTerms> Way[kWays];
    std::uint64_t Used[kWays] = {};
};

struct TStore
{
    std::array<TSet, kSets> Sets;
    std::uint64_t Clock = 0;
};

std::size_t SetOf(int year, int month, int day, double hour)
{
    std::uint64_t bits;
    std::memcpy(&bits, &hour, sizeof bits);
    std::uint64_t h = static_cast<std::uint64_t>((year * 13 + month) * 32 + day);
    h = (h * 0x9E3779B97F4A7C15ULL) ^ (bits * 0xC2B2AE3D27D4EB4FULL);
    h ^= h >> 31;
    h *= 0x94D049BB133111EBULL;
    h ^= h >> 29;
    return static_cast<std::size_t>(h % kSets);
}

} // namespace

TInstantTerms &InstantTerms(int year, int month, int day, double hour)
{
    thread_local std::unique_ptr<TStore> store;
    if (!store)
        store = std::make_unique<TStore>();
    TSet &set = store->Sets[SetOf(year, month, day, hour)];
    const std::uint64_t now = ++store->Clock;
    int victim = 0;
    for (int w = 0; w < kWays; ++w) {
        if (set.Way[w] && set.Way[w]->IsFor(year, month, day, hour)) {
            set.Used[w] = now;
            return *set.Way[w];
        }
        if (set.Used[w] < set.Used[victim])
            victim = w;
    }
    set.Way[victim].emplace(year, month, day, hour);
    set.Used[victim] = now;
    return *set.Way[victim];
}

} // namespace vrn
