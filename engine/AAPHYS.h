#pragma once

// Physical quantities of the Moon derived from its position.

namespace vrn {

// Geocentric semi-diameter of the Moon in arcseconds for the distance Δ in km between the centres
// of the Earth and the Moon: 358473400/Δ (Meeus ch. 55, k = 0.272481).
double MoonSemiDiameterFromDistance(double distKm);

} // namespace vrn
