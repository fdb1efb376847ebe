// Geocentric conversion.
//
// Methods:
//  - geodetic to geocentric: the exact closed formulas;
//  - geocentric to geodetic: a closed (non-iterative) method in the manner of
//    Bowring: a start latitude from the auxiliary factor 1.0026, one
//    correction step, and the height from whichever of cos/sin of the
//    latitude is the better conditioned (split at 67.5 degrees).
//
// Legend of formula symbols:
//   phi, lam   latitude, longitude (rad)
//   h          ellipsoidal height (m)
//   a, b, f    semi-axes (m) and flattening
//   e2, ep2    first and second eccentricity squared
//   N, Rn      prime-vertical radius of curvature (m)
//   W          distance from the polar axis sqrt(X^2 + Y^2) (m)
//   T0, S0, B0 start values of the closed method; T1, S1, phi1 its corrected
//              values

#include "geodesy/geocentric.h"

#include <cmath>

#include "geodesy/geodesy_test_hooks.h"
#include "geodesy/parameter_rules.h"

namespace geodesy
{
namespace
{

// Starts on WGS 84 with the published eccentricities, which a set-up replaces
// by the ones it derives from f.
struct GeocentricState
{
    double a = WGS84_SEMI_MAJOR_AXIS;
    double f = WGS84_FLATTENING;
    double e2 = WGS84_PUBLISHED_E2;
    double ep2 = WGS84_PUBLISHED_EP2;
};

GeocentricState g_geocentric;

// Factor of the start latitude of the closed method.
constexpr double CLOSED_METHOD_START_FACTOR = 1.0026;
// cos 67.5 degrees: beyond it the height is taken from the Z axis.
constexpr double COS_67_5_DEG = 0.3826834323650898;

} // namespace

std::uint32_t SetGeocentricParameters(double a, double f)
{
    std::uint32_t bits = GEOCENTRIC_NO_ERROR;
    if (!detail::IsValidAxis(a))
        bits |= GEOCENTRIC_AXIS_ERROR;
    if (!detail::IsValidFlattening(f))
        bits |= GEOCENTRIC_FLATTENING_ERROR;
    if (bits != GEOCENTRIC_NO_ERROR)
        return bits;

    g_geocentric.a = a;
    g_geocentric.f = f;
    g_geocentric.e2 = detail::FirstEccentricitySquared(f);
    g_geocentric.ep2 = detail::SecondEccentricitySquared(g_geocentric.e2);
    return GEOCENTRIC_NO_ERROR;
}

std::uint32_t ConvertGeodeticToGeocentric(double latitude, double longitude, double height, double& x, double& y,
                                          double& z)
{
    std::uint32_t bits = GEOCENTRIC_NO_ERROR;
    if (!detail::IsValidLatitude(latitude))
        bits |= GEOCENTRIC_LATITUDE_ERROR;
    if (!detail::IsValidLongitude(longitude))
        bits |= GEOCENTRIC_LONGITUDE_ERROR;
    if (bits != GEOCENTRIC_NO_ERROR)
        return bits;

    const double a = g_geocentric.a;
    const double e2 = g_geocentric.e2;
    const double phi = latitude;
    const double lam = longitude > PI ? longitude - TWO_PI : longitude;
    const double h = height;

    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double sin2Phi = sinPhi * sinPhi;
    const double N = a / std::sqrt(1 - e2 * sin2Phi);
    x = (N + h) * cosPhi * std::cos(lam);
    y = (N + h) * cosPhi * std::sin(lam);
    z = (N * (1 - e2) + h) * sinPhi;
    return GEOCENTRIC_NO_ERROR;
}

void ConvertGeocentricToGeodetic(double x, double y, double z, double& latitude, double& longitude, double& height)
{
    const double a = g_geocentric.a;
    const double e2 = g_geocentric.e2;
    const double ep2 = g_geocentric.ep2;
    const double b = a * (1 - g_geocentric.f);
    const double X = x;
    const double Y = y;
    const double Z = z;

    bool atPole = false;
    double phi = 0.0;
    double lam = 0.0;
    if (X != 0.0)
    {
        lam = std::atan2(Y, X);
    }
    else if (Y > 0)
    {
        lam = PI_OVER_2;
    }
    else if (Y < 0)
    {
        lam = -PI_OVER_2;
    }
    else
    {
        // On the polar axis the longitude is undefined; 0 by convention.
        atPole = true;
        lam = 0.0;
        if (Z > 0.0)
        {
            phi = PI_OVER_2;
        }
        else if (Z < 0.0)
        {
            phi = -PI_OVER_2;
        }
        else
        {
            latitude = PI_OVER_2;
            longitude = lam;
            height = -b;
            return;
        }
    }

    const double W2 = X * X + Y * Y;
    const double W = std::sqrt(W2);
    const double T0 = Z * CLOSED_METHOD_START_FACTOR;
    const double S0 = std::sqrt(T0 * T0 + W2);
    const double sinB0 = T0 / S0;
    const double cosB0 = W / S0;
    const double sin3B0 = sinB0 * sinB0 * sinB0;
    const double T1 = Z + b * ep2 * sin3B0;
    const double cos3B0 = cosB0 * cosB0 * cosB0;
    const double sum = W - a * e2 * cos3B0;
    const double S1 = std::sqrt(T1 * T1 + sum * sum);
    const double sinPhi1 = T1 / S1;
    const double cosPhi1 = sum / S1;
    const double Rn = a / std::sqrt(1 - e2 * sinPhi1 * sinPhi1);

    // Divide by the larger of cos and sin of the latitude.
    if (cosPhi1 >= COS_67_5_DEG)
        height = W / cosPhi1 - Rn;
    else if (cosPhi1 <= -COS_67_5_DEG)
        height = -W / cosPhi1 - Rn;
    else
        height = Z / sinPhi1 + Rn * (e2 - 1);

    if (!atPole)
        phi = std::atan(sinPhi1 / cosPhi1);
    latitude = phi;
    longitude = lam;
}

namespace test_hooks
{

void ResetGeocentricParameters()
{
    g_geocentric = GeocentricState{};
}

} // namespace test_hooks
} // namespace geodesy
