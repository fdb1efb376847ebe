#pragma once

// Datum shifts between the datums of the datum table and WGS 84 in both
// directions.
//
// Units: angles in radians (latitude positive north, longitude positive
// east), lengths and heights in metres.
//
// No state of its own: the WGS 72 conversions and the cartesian route of the
// shifts set the geocentric conversion ellipsoid (geocentric.h) to the one
// they need before converting and leave it there. Single-threaded.
//
// Bits returned: the DATUM_... family (geodesy_constants.h); the geocentric
// WGS 72 conversions return the GEOCENTRIC_... bits of their last step.

#include <cstdint>

#include "geodesy/geodesy_constants.h"

namespace geodesy
{

/// Shifts geocentric coordinates of a datum to WGS 84: translation for a
/// three-parameter datum, small-angle coordinate-frame Helmert for a
/// seven-parameter datum, the WGS 72 formulas for WGS 72, identity for WGS 84.
/// @param index 1-based datum index.
/// @param x,y,z coordinates on the datum (metres).
/// @param[out] xOut,yOut,zOut coordinates on WGS 84 (metres); not written on
///   failure. Non-finite input on WGS 72 gives NaN.
/// @return DATUM_NOT_INITIALIZED_ERROR; DATUM_SOURCE_INDEX_ERROR: index
///   outside 1 to the count; DATUM_ELLIPSOID_ERROR: WGS 72 datum and the
///   WGS 72 or WGS 84 ellipsoid cannot be read.
std::uint32_t ShiftGeocentricToWgs84(std::int32_t index, double x, double y, double z, double& xOut, double& yOut,
                                     double& zOut);

/// Shifts geocentric WGS 84 coordinates to a datum: the reverse signs of
/// ShiftGeocentricToWgs84 (for seven parameters an inverse to first order).
/// @param x,y,z coordinates on WGS 84 (metres).
/// @param index 1-based datum index.
/// @param[out] xOut,yOut,zOut coordinates on the datum (metres); not written
///   on failure. Non-finite input on WGS 72 gives NaN.
/// @return DATUM_NOT_INITIALIZED_ERROR; DATUM_TARGET_INDEX_ERROR: index
///   outside 1 to the count; DATUM_ELLIPSOID_ERROR as above.
std::uint32_t ShiftGeocentricFromWgs84(double x, double y, double z, std::int32_t index, double& xOut, double& yOut,
                                       double& zOut);

/// WGS 72 to WGS 84, geocentric: converts to geodetic on WGS 72, applies
/// Wgs72ToWgs84Geodetic and converts back on WGS 84. Leaves the geocentric
/// ellipsoid at WGS 84. Needs the ellipsoid table.
/// @param x,y,z (metres). @param[out] xOut,yOut,zOut (metres); not written on
///   failure.
/// @return the GEOCENTRIC_... bits of the final conversion to geocentric.
std::uint32_t Wgs72ToWgs84Geocentric(double x, double y, double z, double& xOut, double& yOut, double& zOut);

/// WGS 84 to WGS 72, geocentric; the mirror of Wgs72ToWgs84Geocentric. Leaves
/// the geocentric ellipsoid at WGS 72.
std::uint32_t Wgs84ToWgs72Geocentric(double x, double y, double z, double& xOut, double& yOut, double& zOut);

/// WGS 72 to WGS 84 by the fixed closed formulas: 4.5 m shift of the origin
/// along Z, 0.554 arc-seconds of longitude east, the change of flattening and
/// axis, 1.4 m of height. A latitude pushed over a pole is folded back, a
/// longitude is kept within -pi to pi. Needs the ellipsoid table (WGS 72 and
/// WGS 84 parameters); without it the outputs are not meaningful.
/// @param latitude,longitude (radians), height (metres) on WGS 72.
/// @param[out] latOut,lonOut (radians), heightOut (metres) on WGS 84; always
///   written.
void Wgs72ToWgs84Geodetic(double latitude, double longitude, double height, double& latOut, double& lonOut,
                          double& heightOut);

/// WGS 84 to WGS 72; the mirror of Wgs72ToWgs84Geodetic.
void Wgs84ToWgs72Geodetic(double latitude, double longitude, double height, double& latOut, double& lonOut,
                          double& heightOut);

/// The standard Molodensky formulas: shift of a geodetic position by a
/// translation of the ellipsoid centre and a change of ellipsoid.
/// @param a semi-major axis of the source ellipsoid (metres).
/// @param da target minus source semi-major axis (metres).
/// @param f flattening of the source ellipsoid.
/// @param df target minus source flattening.
/// @param dX,dY,dZ translation from the source to the target centre (metres).
/// @param latitude,longitude (radians), height (metres) on the source.
/// @param[out] latOut,lonOut (radians), heightOut (metres) on the target;
///   always written. A longitude below -pi comes back with 2*pi added, above
///   2*pi with 2*pi subtracted.
void MolodenskyShift(double a, double da, double f, double df, double dX, double dY, double dZ, double latitude,
                     double longitude, double height, double& latOut, double& lonOut, double& heightOut);

/// Shifts a geodetic position on a datum to WGS 84. A three-parameter datum
/// is shifted by the Molodensky formulas up to 89.75 degrees of latitude; a
/// seven-parameter datum, and a three-parameter datum nearer a pole, go
/// through geocentric coordinates (leaving the geocentric ellipsoid at WGS 84).
/// @param index 1-based datum index.
/// @param latitude (radians), -pi/2 to pi/2.
/// @param longitude (radians), -pi to 2*pi.
/// @param height above the datum's ellipsoid (metres).
/// @param[out] latOut,lonOut (radians), heightOut (metres) on WGS 84; not
///   written on failure.
/// @return DATUM_NOT_INITIALIZED_ERROR (alone); otherwise any of
///   DATUM_SOURCE_INDEX_ERROR, DATUM_LATITUDE_ERROR, DATUM_LONGITUDE_ERROR
///   (NaN included) together; DATUM_ELLIPSOID_ERROR: an ellipsoid the shift
///   needs (the datum's own, WGS 84, and WGS 72 for the WGS 72 datum) is not
///   in the ellipsoid table.
std::uint32_t ShiftToWgs84(std::int32_t index, double latitude, double longitude, double height, double& latOut,
                           double& lonOut, double& heightOut);

/// Shifts a geodetic WGS 84 position to a datum; the mirror of ShiftToWgs84
/// (the cartesian route leaves the geocentric ellipsoid at the datum's).
/// @param latitude,longitude (radians), height (metres) on WGS 84; ranges as
///   in ShiftToWgs84.
/// @param index 1-based datum index.
/// @param[out] latOut,lonOut (radians), heightOut (metres) on the datum; not
///   written on failure.
/// @return as ShiftToWgs84, with DATUM_TARGET_INDEX_ERROR for a bad index.
std::uint32_t ShiftFromWgs84(double latitude, double longitude, double height, std::int32_t index, double& latOut,
                             double& lonOut, double& heightOut);

} // namespace geodesy
