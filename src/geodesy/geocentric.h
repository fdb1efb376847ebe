#pragma once

// Geodetic <-> geocentric (earth-centred cartesian) conversion on a settable
// ellipsoid.
//
// Units: angles in radians (latitude positive north, longitude positive
// east), lengths and heights in metres.
//
// Process-wide state: the conversion ellipsoid (a, f and the eccentricities
// derived from them), WGS 84 at process start. The datum shifts
// (datum_shift.h) set it to the ellipsoid they need before converting, so
// callers must not expect it to keep a value across calls. Single-threaded,
// unguarded. Bits returned are of the GEOCENTRIC_... family
// (geodesy_constants.h).

#include <cstdint>

#include "geodesy/geodesy_constants.h"

namespace geodesy
{

/// Sets the ellipsoid of the geocentric conversions.
/// @param a semi-major axis (metres).
/// @param f flattening (dimensionless).
/// @return GEOCENTRIC_AXIS_ERROR: a not positive (or NaN);
///   GEOCENTRIC_FLATTENING_ERROR: 1/f outside 250 to 350 (or NaN). On any
///   bit the state is unchanged.
std::uint32_t SetGeocentricParameters(double a, double f);

/// Geodetic to geocentric coordinates on the current ellipsoid.
/// @param latitude (radians), -pi/2 to pi/2.
/// @param longitude (radians), -pi to 2*pi; above pi is taken as west.
/// @param height above the ellipsoid (metres).
/// @param[out] x,y,z geocentric coordinates (metres); not written on failure.
/// @return GEOCENTRIC_LATITUDE_ERROR, GEOCENTRIC_LONGITUDE_ERROR (NaN
///   included).
std::uint32_t ConvertGeodeticToGeocentric(double latitude, double longitude, double height, double& x, double& y,
                                          double& z);

/// Geocentric to geodetic coordinates on the current ellipsoid, by a closed
/// (non-iterative) method, accurate to a few millimetres near the surface.
/// On the polar axis the longitude is 0 and the latitude +-pi/2; at the
/// centre of the earth the latitude is pi/2 and the height -b.
/// @param x,y,z geocentric coordinates (metres).
/// @param[out] latitude (radians), longitude (radians, -pi to pi),
///   height (metres); always written.
void ConvertGeocentricToGeodetic(double x, double y, double z, double& latitude, double& longitude, double& height);

} // namespace geodesy
