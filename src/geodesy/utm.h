#pragma once

// Universal Transverse Mercator: zone, hemisphere, easting and northing on a
// settable ellipsoid. The zone follows the longitude, with the Norway
// (56 to 64 degrees north, zone 32 from 3 degrees east) and Svalbard (north
// of 72 degrees, zones 31, 33, 35, 37) exceptions and an optional override
// to a neighbouring zone. Every zone: origin latitude 0, false easting
// 500000 m, false northing 0 (north) or 10000000 m (south), scale 0.9996.
//
// Process-wide state: a, f and the zone override (WGS 84, none at process
// start), changed only by a successful SetUtmParameters. Every conversion
// re-configures the shared Transverse Mercator state. Single-threaded.
// Bits returned are of the UTM_... family (geodesy_constants.h).

#include <cstdint>

#include "geodesy/geodesy_constants.h"

namespace geodesy
{

/// Sets the ellipsoid and the zone override of the UTM conversions.
/// @param a semi-major axis (metres).
/// @param f flattening (dimensionless).
/// @param zoneOverride 0 for none, else the zone to use when it lies within
///   one zone of the computed one (1 and 60 count as neighbours).
/// @return UTM_AXIS_ERROR: a not positive; UTM_FLATTENING_ERROR: 1/f outside
///   250 to 350; UTM_ZONE_OVERRIDE_ERROR: override outside 0 to 60. On any bit
///   nothing is stored.
std::uint32_t SetUtmParameters(double a, double f, std::int32_t zoneOverride);

/// The UTM state as the last successful SetUtmParameters left it (WGS 84 and
/// no override at process start), so that a caller can put it back.
/// @param[out] a semi-major axis (metres).
/// @param[out] f flattening.
/// @param[out] zoneOverride 0 for none.
void GetUtmParameters(double& a, double& f, std::int32_t& zoneOverride);

/// Geodetic to UTM coordinates.
/// @param latitude (radians), -80.5 to 84.5 degrees (see UTM_MIN_LATITUDE:
///   -80.5 * pi/180 is accepted).
/// @param longitude (radians), -pi to 2*pi.
/// @param[out] zone 1 to 60.
/// @param[out] hemisphere 'N', or 'S' for a negative latitude.
/// @param[out] easting, northing (metres).
/// @return UTM_LATITUDE_ERROR, UTM_LONGITUDE_ERROR (NaN included) or
///   UTM_ZONE_OVERRIDE_ERROR (override more than one zone away): nothing
///   written. UTM_EASTING_ERROR (easting outside 100000 to 900000 m) and
///   UTM_NORTHING_ERROR (northing outside 0 to 10000000 m): all outputs
///   written.
std::uint32_t ConvertGeodeticToUtm(double latitude, double longitude, std::int32_t& zone, char& hemisphere,
                                   double& easting, double& northing);

/// UTM to geodetic coordinates.
/// @param zone 1 to 60.
/// @param hemisphere 'N' or 'S'.
/// @param easting 100000 to 900000 (metres).
/// @param northing 0 to 10000000 (metres).
/// @param[out] latitude, longitude (radians, longitude within -pi to pi).
/// @return UTM_ZONE_ERROR, UTM_HEMISPHERE_ERROR, UTM_EASTING_ERROR,
///   UTM_NORTHING_ERROR for bad input (NaN included): nothing written.
///   Otherwise the outputs are written whenever the projection produced
///   them, and UTM_EASTING_ERROR reports the projection's easting error or
///   distortion warning (more than 9 degrees times cos latitude from the
///   central meridian), UTM_NORTHING_ERROR its northing error or a latitude
///   outside -80.5 to 84.5 degrees. On an ellipsoid far smaller than the
///   earth the projection may refuse the easting or northing; the outputs are
///   then left unwritten and the same two bits say so.
std::uint32_t ConvertUtmToGeodetic(std::int32_t zone, char hemisphere, double easting, double northing,
                                   double& latitude, double& longitude);

} // namespace geodesy
