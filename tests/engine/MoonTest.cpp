#include "engine/AAPHYS.h"
#include "engine/AAPOS.h"
#include "engine/Trigonom.h"
#include "engine/uLua.h"

#include <cmath>
#include <gtest/gtest.h>

namespace vrn {
namespace {

// T_TT of a Julian ephemeris day.
double CenturiesTT(double jde)
{
    return (jde - 2451545.0) / 36525.0;
}

TEST(Moon, MeeusExample47a)
{
    // Meeus, Astronomical Algorithms, example 47.a: 1992 April 12, 0h TD (JDE 2448724.5).
    const double t = CenturiesTT(2448724.5);
    const TMoonPosition p = MoonPosition(t);
    EXPECT_NEAR(RadToDeg(p.LambdaRad), 133.162655, 0.00002); // book λ
    EXPECT_NEAR(RadToDeg(p.BetaRad), -3.229126, 0.00002); // book β
    EXPECT_NEAR(p.DistanceKm, 368409.7, 0.1); // book Δ

    const TMoonApparent a = MoonApparent(t);
    EXPECT_NEAR(a.RaDeg, 134.688470, 0.00002); // book α (134°41′18.5″)
    EXPECT_NEAR(a.DecDeg, 13.768368, 0.00002); // book δ (+13°46′06″)
    EXPECT_NEAR(a.HpDeg, 0.991990, 0.000002); // book π
    EXPECT_NEAR(a.SdArcmin, 16.22, 0.005); // 358473400/368409.7″ (Meeus ch. 55)
}

TEST(Moon, ArgumentsOfExample47a)
{
    // Meeus example 47.a lists the fundamental arguments and E (degrees, reduced). The book's
    // second-edition polynomials differ from the first-edition ones used here by < 0.00001°.
    const TMoonArguments a = MoonArguments(CenturiesTT(2448724.5));

    struct Case
    {
        const char *Name;
        double GotRad;
        double BookDeg;
    };

    const Case cases[] = {
        {"L'", a.LPrimeRad, 134.290182},
        {"D", a.DRad, 113.842304},
        {"M", a.MRad, 97.643514},
        {"M'", a.MPrimeRad, 5.150833},
        {"F", a.FRad, 219.889721},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(RadToDeg(c.GotRad), c.BookDeg, 0.00001);
    }
    EXPECT_NEAR(a.E, 1.000194, 0.0000005);
}

TEST(Moon, SemiDiameterFromDistance)
{
    struct Case
    {
        const char *Name;
        double DistKm;
        double ArcminExpected; // k·R⊕/Δ, k = 0.272481, R⊕ = 6378.14 km (Meeus ch. 55)
    };

    const Case cases[] = {
        {"perigee", 356400.0, 16.763},
        {"mean distance", 384400.0, 15.542},
        {"apogee", 406700.0, 14.690},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_NEAR(MoonSemiDiameterFromDistance(c.DistKm) / 60.0, c.ArcminExpected, 0.002);
    }
}

TEST(Moon, RightAscensionIsContinuousThroughTheEquinox)
{
    // Around T = 0.000306 the mean longitude passes 360°: the place must move by the Moon's
    // hourly motion (about 0.55°), not jump by a full turn.
    double previous = MoonApparent(0.000280).RaDeg;
    for (double t = 0.000281; t < 0.000330; t += 0.000001) {
        const double ra = MoonApparent(t).RaDeg;
        double step = ra - previous;
        step -= 360.0 * std::round(step / 360.0);
        EXPECT_GT(step, 0.0) << "t=" << t;
        EXPECT_LT(step, 0.7) << "t=" << t;
        EXPECT_GE(ra, 0.0);
        EXPECT_LT(ra, 360.0);
        previous = ra;
    }
}

} // namespace
} // namespace vrn
