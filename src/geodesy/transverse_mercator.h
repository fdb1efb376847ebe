#pragma once

// Transverse Mercator projection on an ellipsoid with settable origin
// latitude, central meridian, false easting and northing and central scale
// factor.
//
// Process-wide state, replaced as a whole by each successful set-up and
// read by the conversions; single-threaded and unguarded, so a set-up and the
// conversion that relies on it must not be interleaved with another caller's
// set-up. Before any set-up the state is WGS 84 with scale 1 and no false
// origin. Bits returned are of the TM_... family (geodesy_constants.h).

#include <cstdint>

#include "geodesy/geodesy_constants.h"

namespace geodesy
{

/// Sets up the projection. Also derives from the ellipsoid alone the
/// half-widths of the easting and northing ranges the inverse accepts.
/// @param a semi-major axis (metres).
/// @param f flattening (dimensionless).
/// @param originLatitude (radians), -pi/2 to pi/2.
/// @param centralMeridian (radians), -pi to 2*pi; stored within -pi to pi.
/// @param falseEasting, falseNorthing (metres).
/// @param scaleFactor scale at the central meridian, 0.3 to 3.0.
/// @return TM_AXIS_ERROR: a not positive; TM_FLATTENING_ERROR: 1/f outside
///   250 to 350; TM_ORIGIN_LATITUDE_ERROR; TM_CENTRAL_MERIDIAN_ERROR;
///   TM_SCALE_FACTOR_ERROR (NaN fails each check). On any bit the state is
///   unchanged.
std::uint32_t SetTransverseMercatorParameters(double a, double f, double originLatitude, double centralMeridian,
                                              double falseEasting, double falseNorthing, double scaleFactor);

/// Geodetic to projected coordinates.
/// @param latitude (radians), within +-89.99 degrees.
/// @param longitude (radians), within 90 degrees of the central meridian
///   (either way round the antimeridian).
/// @param[out] easting, northing (metres); written unless an error bit is set.
/// @return TM_LATITUDE_ERROR, TM_LONGITUDE_ERROR (NaN included): nothing
///   written; TM_DISTORTION_WARNING alone: more than 9 degrees from the
///   central meridian, outputs written but of lower accuracy.
std::uint32_t ConvertGeodeticToTransverseMercator(double latitude, double longitude, double& easting, double& northing);

/// Projected to geodetic coordinates.
/// @param easting, northing (metres).
/// @param[out] latitude, longitude (radians).
/// @return TM_EASTING_ERROR / TM_NORTHING_ERROR for an input outside the
///   accepted ranges (NaN included): nothing written. Otherwise the outputs
///   are written and the bits judge them: TM_NORTHING_ERROR latitude beyond
///   +-90 degrees; TM_EASTING_ERROR longitude not within -pi to pi;
///   TM_DISTORTION_WARNING more than 9 degrees times cos latitude from the
///   central meridian.
std::uint32_t ConvertTransverseMercatorToGeodetic(double easting, double northing, double& latitude, double& longitude);

} // namespace geodesy
