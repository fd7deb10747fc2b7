#include "engine/InstantTerms.h"

#include "engine/Astros.h"
#include "engine/Trigonom.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace vrn {
namespace {

struct TInstant
{
    int Year, Month, Day;
    double Hour;
};

bool SameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Seeded instants 1950-2049 with whole seconds, and close neighbours of some of them: a second
// later, three hours later the same day, the same hour the next day.
std::vector<TInstant> DrawInstants(unsigned seed, int count)
{
    std::mt19937 rng(seed);
    std::vector<TInstant> out;
    for (int i = 0; i < count; ++i) {
        const TInstant t {1950 + static_cast<int>(rng() % 100), 1 + static_cast<int>(rng() % 12),
            1 + static_cast<int>(rng() % 28), static_cast<double>(rng() % 86400) / 3600.0};
        out.push_back(t);
        if (i % 4 == 0) {
            out.push_back({t.Year, t.Month, t.Day, t.Hour + 1.0 / 3600.0});
            out.push_back({t.Year, t.Month, t.Day, std::min(t.Hour + 3.0, 23.5)});
            out.push_back({t.Year, t.Month, t.Day + 1, t.Hour});
        }
    }
    return out;
}

TEST(InstantTerms, StoredTermsAreThoseOfANewComputation)
{
    // Far more instants than the store keeps, each asked for twice in a shuffled order, so that
    // terms are found again, evicted and made anew; every answer must be bit for bit what a new
    // TInstantTerms of that instant gives.
    std::vector<TInstant> instants = DrawInstants(11, 3000);
    std::vector<TInstant> asked = instants;
    asked.insert(asked.end(), instants.begin(), instants.end());
    std::shuffle(asked.begin(), asked.end(), std::mt19937(5));
    int mismatches = 0;
    for (const TInstant &t : asked) {
        TInstantTerms &stored = InstantTerms(t.Year, t.Month, t.Day, t.Hour);
        TInstantTerms fresh(t.Year, t.Month, t.Day, t.Hour);
        ASSERT_TRUE(stored.IsFor(t.Year, t.Month, t.Day, t.Hour));
        const bool same = SameBits(stored.T(), fresh.T()) && SameBits(stored.TTT(), fresh.TTT())
            && SameBits(stored.Sidereal().ApparentHours, fresh.Sidereal().ApparentHours)
            && SameBits(stored.Solar().Earth.LDeg, fresh.Solar().Earth.LDeg)
            && SameBits(
                stored.Solar().Nutation.DeltaPsiArcsec, fresh.Solar().Nutation.DeltaPsiArcsec)
            && SameBits(stored.Stars().Precession[0][1], fresh.Stars().Precession[0][1])
            && SameBits(stored.Stars().AberrationSin, fresh.Stars().AberrationSin);
        mismatches += same ? 0 : 1;
    }
    EXPECT_EQ(mismatches, 0);
}

// Every body at every instant, in list order instant by instant; stars only at instants on
// distinct rounded Julian days, since a star keeps one place per day by design.
struct TLine
{
    TInstant At;
    std::size_t Body;
};

struct TAnswer
{
    double GHA, Dec, SD, HP;
};

class InstantReuseTest : public testing::Test
{
protected:
    void SetUp() override { CreateAstros(); }

    void TearDown() override { FreeAstros(); }
};

TEST_F(InstantReuseTest, ShuffledLinesGiveTheSameAnswersBitForBit)
{
    std::vector<TAstro *> bodies = Astros().BodyList();
    std::vector<TLine> lines;
    std::vector<double> starDays;
    for (const TInstant &t : DrawInstants(3, 60)) {
        const double day = std::nearbyint(JulianDay(t.Year, t.Month, t.Day, t.Hour));
        const bool starsToo = std::find(starDays.begin(), starDays.end(), day) == starDays.end();
        if (starsToo)
            starDays.push_back(day);
        for (std::size_t b = 0; b < bodies.size(); ++b) {
            if (starsToo || dynamic_cast<TEstrela *>(bodies[b]) == nullptr)
                lines.push_back({t, b});
        }
    }
    ASSERT_GT(lines.size(), 4000u);

    const auto answer = [&](const TLine &l) {
        TAstro &body = *bodies[l.Body];
        const auto r = body.ComputeGHADec(l.At.Year, l.At.Month, l.At.Day, l.At.Hour);
        return TAnswer {r.GHADeg, r.DecDeg, body.GetSemiDiameter(), body.GetHorizontalParallax()};
    };

    // In order, starting from new bodies: the stars have never seen these days.
    std::vector<TAnswer> inOrder;
    for (const TLine &l : lines)
        inOrder.push_back(answer(l));

    for (const unsigned seed : {1u, 2u, 3u}) {
        SCOPED_TRACE(testing::Message() << "shuffle " << seed);
        FreeAstros();
        CreateAstros();
        bodies = Astros().BodyList();
        std::vector<std::size_t> order(lines.size());
        for (std::size_t i = 0; i < order.size(); ++i)
            order[i] = i;
        std::shuffle(order.begin(), order.end(), std::mt19937(seed));
        std::vector<std::string> differing;
        for (std::size_t k = 0; k < order.size(); ++k) {
            const TLine &l = lines[order[k]];
            // Rising and setting compute the Sun at other instants in between.
            if (k % 97 == 0)
                Astros().Sun()->RiseTransitSet(l.At.Year, l.At.Month, l.At.Day, 50.0, 4.0);
            const TAnswer a = answer(l);
            const TAnswer &e = inOrder[order[k]];
            if (!SameBits(a.GHA, e.GHA) || !SameBits(a.Dec, e.Dec) || !SameBits(a.SD, e.SD)
                || !SameBits(a.HP, e.HP))
                differing.push_back(bodies[l.Body]->Name());
        }
        EXPECT_TRUE(differing.empty()) << differing.size() << " answers differ, first "
                                       << (differing.empty() ? "" : differing.front());
    }
}

} // namespace
} // namespace vrn
