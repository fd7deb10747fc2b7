#pragma once

// Mercator latitude functions for raster chart pictures whose vertical axis follows Mercator's
// law. Latitudes in degrees, north positive.

namespace vrn {

// Mercator ordinate ln tan(pi/4 + phi/2) in radians of the equator; +-inf at the poles.
double MercatorY(double latDeg);

// Linear coordinate of latDeg on an axis where lat1Deg lies at c1 and lat2Deg at c2, the axis
// being linear in Mercator ordinate. Raises EMathError when c1 == c2, when the two reference
// latitudes have the same ordinate, or when a latitude is a pole.
double MercatorCoordFromLat(double c1, double c2, double lat1Deg, double lat2Deg, double latDeg);

// Inverse of MercatorCoordFromLat for the same reference pair; result in degrees.
double MercatorLatFromCoord(double lat1Deg, double lat2Deg, double c1, double c2, double c);

} // namespace vrn
