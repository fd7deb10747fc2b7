#include "engine/uLua.h"

#include "engine/AABASIC.h"
#include "engine/AAPHYS.h"
#include "engine/AAPOS.h"
#include "engine/AATRANS.h"
#include "engine/Trigonom.h"

namespace vrn {

namespace {

constexpr double kEarthEquatorialRadiusKm = 6378.14; // Meeus 47 (IAU 1976)

} // namespace

TMoonApparent MoonApparent(double tTT)
{
    const double eps0 = MeanObliquity(tTT);
    const TNutation nut = Nutation(tTT);
    const TMoonPosition pos = MoonPosition(tTT);
    const TEquatorial eq =
        EclipticToEquatorial(eps0 + nut.DeltaEpsRad, pos.BetaRad, pos.LambdaRad + nut.DeltaPsiRad);

    TMoonApparent r;
    r.RaDeg = RadToDeg(eq.AlphaRad);
    r.DecDeg = RadToDeg(eq.DeltaRad);
    r.HpDeg = RadToDeg(ArcSinAA(kEarthEquatorialRadiusKm / pos.DistanceKm));
    r.SdArcmin = MoonSemiDiameterFromDistance(pos.DistanceKm) / 60.0;
    return r;
}

} // namespace vrn
