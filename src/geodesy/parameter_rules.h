#pragma once

// Internal to the geodesy library: the rules every routine family applies
// alike to a geodetic position and to an ellipsoid given to its set-up. The
// checks are written as "within" tests so that NaN fails them.

#include "geodesy/geodesy_constants.h"

namespace geodesy::detail
{

/// Latitude (radians) within -pi/2 to pi/2.
constexpr bool IsValidLatitude(double phi)
{
    return phi >= -PI_OVER_2 && phi <= PI_OVER_2;
}

/// Longitude (radians) within -pi to 2*pi.
constexpr bool IsValidLongitude(double lam)
{
    return lam >= -PI && lam <= TWO_PI;
}

/// Semi-major axis (metres) positive.
constexpr bool IsValidAxis(double a)
{
    return a > 0.0;
}

/// Flattening whose inverse lies within 250 to 350: every earth ellipsoid.
constexpr bool IsValidFlattening(double f)
{
    const double inverseFlattening = 1 / f;
    return inverseFlattening >= 250 && inverseFlattening <= 350;
}

/// First eccentricity squared, 2f - f^2.
constexpr double FirstEccentricitySquared(double f)
{
    return 2 * f - f * f;
}

/// Second eccentricity squared from the first, 1/(1 - e2) - 1.
constexpr double SecondEccentricitySquared(double e2)
{
    return 1 / (1 - e2) - 1;
}

} // namespace geodesy::detail
