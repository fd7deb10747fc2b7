#include "sky/HorizonPlace.h"

#include "engine/Astros.h"
#include "engine/Trigonom.h"

namespace vrn {

THorizonPlace HorizonPlaceOf(double decDeg, double ghaDeg, double latDeg, double lonDeg)
{
    try {
        const TAltitudeAzimuth a = ComputeAltitudeAzimuth(decDeg, ghaDeg, latDeg, lonDeg, 0);
        return {a.HcDeg, a.ZnDeg, a.AboveHorizon};
    } catch (const EAzimuthError &e) {
        // The altitude was computed before the azimuth failed; only the azimuth is chosen here.
        if (IsNearZero(SinD(90 - decDeg)))
            return {e.Partial.HcDeg, decDeg > 0 ? 0.0 : 180.0, e.Partial.AboveHorizon};
        const double lha = Normalize360(ghaDeg - lonDeg);
        return {e.Partial.HcDeg, lha > 180 ? 90.0 : 270.0, e.Partial.AboveHorizon};
    }
}

} // namespace vrn
