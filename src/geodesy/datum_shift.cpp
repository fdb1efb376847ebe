// Geocentric conversion and datum shifts.
//
// Methods:
//  - geodetic to geocentric: the exact closed formulas;
//  - geocentric to geodetic: a closed (non-iterative) method in the manner of
//    Bowring: a start latitude from the auxiliary factor 1.0026, one
//    correction step, and the height from whichever of cos/sin of the
//    latitude is the better conditioned (split at 67.5 degrees);
//  - three-parameter datums: the standard Molodensky formulas, except within
//    0.25 degrees of a pole, where the translation is applied to geocentric
//    coordinates instead (the formulas divide by cos latitude);
//  - seven-parameter datums: the small-angle Helmert transformation in the
//    coordinate-frame sign convention (X' = X + dX + Rz*Y - Ry*Z + s*X ...;
//    the position-vector convention has the opposite rotation signs), scale
//    s as a plain multiplier of the coordinates. The reverse applies the same
//    parameters with reversed signs, which inverts the forward step only to
//    first order (a few millimetres for EUR-7);
//  - WGS 72: the fixed closed formulas (origin 4.5 m along Z, 0.554" of
//    longitude, change of axis and flattening, 1.4 m of height).
// Deviations: the WGS 72 formulas fold a latitude pushed over a pole back
// without turning the longitude by pi; non-finite input to a geocentric
// WGS 72 shift yields NaN instead of leaving the outputs unset.
//
// Legend of formula symbols:
//   phi, lam   latitude, longitude (rad); lamC the longitude within -pi..pi
//   h          ellipsoidal height (m)
//   a, b, f    semi-axes (m) and flattening; da, df target minus source
//   e2, ep2    first and second eccentricity squared
//   N, M       prime-vertical and meridian radii of curvature (m); Rn = N
//   W          1 - e2 sin^2 phi (Molodensky), or the distance from the polar
//              axis sqrt(X^2 + Y^2) (geocentric to geodetic)
//   dX, dY, dZ translation (m); Rx, Ry, Rz rotations (rad); s scale difference
//   T0, S0, B0 start values of the closed geocentric method; T1, S1, phi1 its
//              corrected values

#include "geodesy/datum_shift.h"

#include <cmath>
#include <limits>

#include "geodesy/datum.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/geodesy_test_hooks.h"

namespace geodesy
{
namespace
{

struct GeocentricState
{
    double a = 6378137.0;
    double f = 0.0033528106647474805;
    // Start values as published for WGS 84 (ep2 from a and the rounded
    // b = 6356752.3142 m); a set-up recomputes both from f.
    double e2 = 0.00669437999014138;
    double ep2 = 0.006739496756586903;
};

GeocentricState g_geocentric;

// Factor of the start latitude of the closed geocentric method.
constexpr double CLOSED_METHOD_START_FACTOR = 1.0026;
// cos 67.5 degrees: beyond it the height is taken from the Z axis.
constexpr double COS_67_5_DEG = 0.3826834323650898;

// WGS 72 -> WGS 84 constants: arc-seconds per radian, the arc-second as the
// divisor of the origin shift (its last digits differ from
// ARC_SECONDS_TO_RAD; both are used as published), and the longitude shift of
// 0.554 arc-seconds in radians.
constexpr double ARC_SECONDS_PER_RAD = 206264.80624709636;
constexpr double ARC_SECOND_DIVISOR = 4.84813681109536e-06;
constexpr double WGS72_LONGITUDE_SHIFT = 2.685867793346782e-06;
constexpr double WGS72_ORIGIN_SHIFT = 4.5; // m along Z
constexpr double WGS72_HEIGHT_SHIFT = 1.4; // m

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

bool IsValidLatitude(double phi)
{
    return phi >= -PI_OVER_2 && phi <= PI_OVER_2;
}

bool IsValidLongitude(double lam)
{
    return lam >= -PI && lam <= TWO_PI;
}

// Both world ellipsoids can be read from the ellipsoid table.
bool WorldEllipsoidsReadable()
{
    double a = 0.0;
    double f = 0.0;
    return GetWgs84EllipsoidParameters(a, f) == ELLIPSOID_NO_ERROR &&
           GetWgs72EllipsoidParameters(a, f) == ELLIPSOID_NO_ERROR;
}

// Fold a latitude pushed over a pole back, bring a longitude within -pi..pi.
void FoldWgs72Result(double& phi, double& lam)
{
    if (phi > PI_OVER_2)
        phi = PI_OVER_2 - (phi - PI_OVER_2);
    else if (phi < -PI_OVER_2)
        phi = -PI_OVER_2 - (phi + PI_OVER_2);
    if (lam > PI)
        lam -= TWO_PI;
    if (lam < -PI)
        lam += TWO_PI;
}

enum class Direction
{
    ToWgs84,
    FromWgs84
};

std::uint32_t ShiftGeocentric(Direction direction, std::int32_t index, double X, double Y, double Z, double& xOut,
                              double& yOut, double& zOut)
{
    if (!IsDatumTableInitialized())
        return DATUM_NOT_INITIALIZED_ERROR;
    const DatumRecord* datum = GetDatumRecord(index);
    if (datum == nullptr)
        return direction == Direction::ToWgs84 ? DATUM_SOURCE_INDEX_ERROR : DATUM_TARGET_INDEX_ERROR;

    const double dX = datum->DeltaX;
    const double dY = datum->DeltaY;
    const double dZ = datum->DeltaZ;
    const double Rx = datum->RotationX;
    const double Ry = datum->RotationY;
    const double Rz = datum->RotationZ;
    const double s = datum->ScaleFactor;

    switch (datum->Type)
    {
    case ThreeParamDatum:
        if (direction == Direction::ToWgs84)
        {
            xOut = X + dX;
            yOut = Y + dY;
            zOut = Z + dZ;
        }
        else
        {
            xOut = X - dX;
            yOut = Y - dY;
            zOut = Z - dZ;
        }
        break;
    case SevenParamDatum:
        if (direction == Direction::ToWgs84)
        {
            xOut = X + dX + Rz * Y - Ry * Z + s * X;
            yOut = Y + dY - Rz * X + Rx * Z + s * Y;
            zOut = Z + dZ + Ry * X - Rx * Y + s * Z;
        }
        else
        {
            xOut = X - dX - Rz * Y + Ry * Z - s * X;
            yOut = Y - dY + Rz * X - Rx * Z - s * Y;
            zOut = Z - dZ - Ry * X + Rx * Y - s * Z;
        }
        break;
    case Wgs84Datum:
        xOut = X;
        yOut = Y;
        zOut = Z;
        break;
    case Wgs72Datum:
    {
        if (!WorldEllipsoidsReadable())
            return DATUM_ELLIPSOID_ERROR;
        // The inner conversion refuses only a non-finite intermediate
        // latitude or longitude; the shift then yields NaN rather than
        // leaving its outputs unset behind a success.
        double x = NaN;
        double y = NaN;
        double z = NaN;
        if (direction == Direction::ToWgs84)
            Wgs72ToWgs84Geocentric(X, Y, Z, x, y, z);
        else
            Wgs84ToWgs72Geocentric(X, Y, Z, x, y, z);
        xOut = x;
        yOut = y;
        zOut = z;
        break;
    }
    }
    return DATUM_NO_ERROR;
}

std::uint32_t ShiftGeodetic(Direction direction, std::int32_t index, double phi, double lam, double h, double& latOut,
                            double& lonOut, double& heightOut)
{
    if (!IsDatumTableInitialized())
        return DATUM_NOT_INITIALIZED_ERROR;

    std::uint32_t bits = DATUM_NO_ERROR;
    const DatumRecord* datum = GetDatumRecord(index);
    if (datum == nullptr)
        bits |= direction == Direction::ToWgs84 ? DATUM_SOURCE_INDEX_ERROR : DATUM_TARGET_INDEX_ERROR;
    if (!IsValidLatitude(phi))
        bits |= DATUM_LATITUDE_ERROR;
    if (!IsValidLongitude(lam))
        bits |= DATUM_LONGITUDE_ERROR;
    if (bits != DATUM_NO_ERROR)
        return bits;

    switch (datum->Type)
    {
    case ThreeParamDatum:
    case SevenParamDatum:
    {
        std::int32_t ellipsoidIndex = 0;
        double aLocal = 0.0;
        double fLocal = 0.0;
        double a84 = 0.0;
        double f84 = 0.0;
        if (GetEllipsoidIndex(datum->EllipsoidCode, ellipsoidIndex) != ELLIPSOID_NO_ERROR)
            bits = DATUM_ELLIPSOID_ERROR;
        else if (GetEllipsoidParameters(ellipsoidIndex, aLocal, fLocal) != ELLIPSOID_NO_ERROR)
            bits |= DATUM_ELLIPSOID_ERROR;
        if (GetWgs84EllipsoidParameters(a84, f84) != ELLIPSOID_NO_ERROR)
            bits |= DATUM_ELLIPSOID_ERROR;
        if (bits != DATUM_NO_ERROR)
            return bits;

        if (datum->Type == ThreeParamDatum && phi >= -MOLODENSKY_MAX_LATITUDE && phi <= MOLODENSKY_MAX_LATITUDE)
        {
            if (direction == Direction::ToWgs84)
                MolodenskyShift(aLocal, a84 - aLocal, fLocal, f84 - fLocal, datum->DeltaX, datum->DeltaY, datum->DeltaZ,
                                phi, lam, h, latOut, lonOut, heightOut);
            else
                MolodenskyShift(a84, aLocal - a84, f84, fLocal - f84, -datum->DeltaX, -datum->DeltaY, -datum->DeltaZ,
                                phi, lam, h, latOut, lonOut, heightOut);
        }
        else
        {
            // Latitude and longitude are already checked, so neither inner
            // conversion nor the cartesian shift can refuse.
            const double aSource = direction == Direction::ToWgs84 ? aLocal : a84;
            const double fSource = direction == Direction::ToWgs84 ? fLocal : f84;
            const double aTarget = direction == Direction::ToWgs84 ? a84 : aLocal;
            const double fTarget = direction == Direction::ToWgs84 ? f84 : fLocal;
            double X = 0.0;
            double Y = 0.0;
            double Z = 0.0;
            double xShifted = 0.0;
            double yShifted = 0.0;
            double zShifted = 0.0;
            SetGeocentricParameters(aSource, fSource);
            ConvertGeodeticToGeocentric(phi, lam, h, X, Y, Z);
            ShiftGeocentric(direction, index, X, Y, Z, xShifted, yShifted, zShifted);
            SetGeocentricParameters(aTarget, fTarget);
            ConvertGeocentricToGeodetic(xShifted, yShifted, zShifted, latOut, lonOut, heightOut);
        }
        break;
    }
    case Wgs84Datum:
        latOut = phi;
        lonOut = lam;
        heightOut = h;
        break;
    case Wgs72Datum:
        if (!WorldEllipsoidsReadable())
            return DATUM_ELLIPSOID_ERROR;
        if (direction == Direction::ToWgs84)
            Wgs72ToWgs84Geodetic(phi, lam, h, latOut, lonOut, heightOut);
        else
            Wgs84ToWgs72Geodetic(phi, lam, h, latOut, lonOut, heightOut);
        break;
    }
    return DATUM_NO_ERROR;
}

} // namespace

std::uint32_t SetGeocentricParameters(double a, double f)
{
    std::uint32_t bits = GEOCENTRIC_NO_ERROR;
    if (!(a > 0.0))
        bits |= GEOCENTRIC_AXIS_ERROR;
    const double inverseFlattening = 1 / f;
    if (!(inverseFlattening >= 250 && inverseFlattening <= 350))
        bits |= GEOCENTRIC_FLATTENING_ERROR;
    if (bits != GEOCENTRIC_NO_ERROR)
        return bits;

    g_geocentric.a = a;
    g_geocentric.f = f;
    g_geocentric.e2 = 2 * f - f * f;
    g_geocentric.ep2 = 1 / (1 - g_geocentric.e2) - 1;
    return GEOCENTRIC_NO_ERROR;
}

std::uint32_t ConvertGeodeticToGeocentric(double latitude, double longitude, double height, double& x, double& y,
                                          double& z)
{
    std::uint32_t bits = GEOCENTRIC_NO_ERROR;
    if (!IsValidLatitude(latitude))
        bits |= GEOCENTRIC_LATITUDE_ERROR;
    if (!IsValidLongitude(longitude))
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

namespace
{

using EllipsoidGetter = std::uint32_t (*)(double& a, double& f);
using GeodeticShift = void (*)(double latitude, double longitude, double height, double& latOut, double& lonOut,
                               double& heightOut);

// A geocentric shift done in geodetic coordinates: to geodetic on the source
// ellipsoid, the geodetic shift, back to geocentric on the target ellipsoid.
// Returns the bits of the final conversion.
std::uint32_t ShiftGeocentricThroughGeodetic(double x, double y, double z, EllipsoidGetter source, GeodeticShift shift,
                                             EllipsoidGetter target, double& xOut, double& yOut, double& zOut)
{
    double aSource = 0.0;
    double fSource = 0.0;
    double aTarget = 0.0;
    double fTarget = 0.0;
    source(aSource, fSource);
    target(aTarget, fTarget);

    double phi = 0.0;
    double lam = 0.0;
    double h = 0.0;
    double phiOut = 0.0;
    double lamOut = 0.0;
    double hOut = 0.0;
    SetGeocentricParameters(aSource, fSource);
    ConvertGeocentricToGeodetic(x, y, z, phi, lam, h);
    shift(phi, lam, h, phiOut, lamOut, hOut);
    SetGeocentricParameters(aTarget, fTarget);
    return ConvertGeodeticToGeocentric(phiOut, lamOut, hOut, xOut, yOut, zOut);
}

} // namespace

std::uint32_t ShiftGeocentricToWgs84(std::int32_t index, double x, double y, double z, double& xOut, double& yOut,
                                     double& zOut)
{
    return ShiftGeocentric(Direction::ToWgs84, index, x, y, z, xOut, yOut, zOut);
}

std::uint32_t ShiftGeocentricFromWgs84(double x, double y, double z, std::int32_t index, double& xOut, double& yOut,
                                       double& zOut)
{
    return ShiftGeocentric(Direction::FromWgs84, index, x, y, z, xOut, yOut, zOut);
}

std::uint32_t Wgs72ToWgs84Geocentric(double x, double y, double z, double& xOut, double& yOut, double& zOut)
{
    return ShiftGeocentricThroughGeodetic(x, y, z, GetWgs72EllipsoidParameters, Wgs72ToWgs84Geodetic,
                                          GetWgs84EllipsoidParameters, xOut, yOut, zOut);
}

std::uint32_t Wgs84ToWgs72Geocentric(double x, double y, double z, double& xOut, double& yOut, double& zOut)
{
    return ShiftGeocentricThroughGeodetic(x, y, z, GetWgs84EllipsoidParameters, Wgs84ToWgs72Geodetic,
                                          GetWgs72EllipsoidParameters, xOut, yOut, zOut);
}

void Wgs72ToWgs84Geodetic(double latitude, double longitude, double height, double& latOut, double& lonOut,
                          double& heightOut)
{
    double a72 = 0.0;
    double f72 = 0.0;
    double a84 = 0.0;
    double f84 = 0.0;
    GetWgs72EllipsoidParameters(a72, f72);
    GetWgs84EllipsoidParameters(a84, f84);

    const double phi = latitude;
    const double df = f84 - f72;
    const double sinPhi = std::sin(phi);
    const double sin2Phi = sinPhi * sinPhi;

    double phiOut = phi + (df * std::sin(2 * phi) * ARC_SECONDS_PER_RAD +
                           WGS72_ORIGIN_SHIFT * std::cos(phi) / (a72 * ARC_SECOND_DIVISOR)) *
                              ARC_SECONDS_TO_RAD;
    double lamOut = longitude + WGS72_LONGITUDE_SHIFT;
    heightOut = height + WGS72_ORIGIN_SHIFT * sinPhi + a72 * df * sin2Phi - (a84 - a72) + WGS72_HEIGHT_SHIFT;
    FoldWgs72Result(phiOut, lamOut);
    latOut = phiOut;
    lonOut = lamOut;
}

void Wgs84ToWgs72Geodetic(double latitude, double longitude, double height, double& latOut, double& lonOut,
                          double& heightOut)
{
    double a72 = 0.0;
    double f72 = 0.0;
    double a84 = 0.0;
    double f84 = 0.0;
    GetWgs72EllipsoidParameters(a72, f72);
    GetWgs84EllipsoidParameters(a84, f84);

    const double phi = latitude;
    const double df = f72 - f84;
    const double sinPhi = std::sin(phi);
    const double sin2Phi = sinPhi * sinPhi;

    double phiOut = phi + (df * std::sin(2 * phi) * ARC_SECONDS_PER_RAD -
                           WGS72_ORIGIN_SHIFT * std::cos(phi) / (a84 * ARC_SECOND_DIVISOR)) *
                              ARC_SECONDS_TO_RAD;
    double lamOut = longitude - WGS72_LONGITUDE_SHIFT;
    heightOut = height - WGS72_ORIGIN_SHIFT * sinPhi + a84 * df * sin2Phi - (a72 - a84) - WGS72_HEIGHT_SHIFT;
    FoldWgs72Result(phiOut, lamOut);
    latOut = phiOut;
    lonOut = lamOut;
}

void MolodenskyShift(double a, double da, double f, double df, double dX, double dY, double dZ, double latitude,
                     double longitude, double height, double& latOut, double& lonOut, double& heightOut)
{
    const double phi = latitude;
    const double lam = longitude;
    const double h = height;
    // lamC only feeds sin and cos; the result keeps the caller's range.
    const double lamC = lam > PI ? lam - TWO_PI : lam;

    const double sinPhi = std::sin(phi);
    const double cosPhi = std::cos(phi);
    const double sinLam = std::sin(lamC);
    const double cosLam = std::cos(lamC);
    const double sin2Phi = sinPhi * sinPhi;

    const double e2 = 2 * f - f * f;
    const double W = 1 - e2 * sin2Phi;
    const double sqrtW = std::sqrt(W);
    const double N = a / sqrtW;
    const double M = a * (1 - e2) / (W * sqrtW);

    const double dPhi =
        ((e2 / (1 - e2) * M * sin2Phi + 2 * N) * (1 - f) * cosPhi * sinPhi * df +
         (dZ * cosPhi - dX * cosLam * sinPhi - dY * sinLam * sinPhi) + (e2 * sinPhi * cosPhi / sqrtW) * da) /
        (M + h);
    double lamOut = lam + (dY * cosLam - dX * sinLam) / ((N + h) * cosPhi);
    if (lamOut > TWO_PI)
        lamOut -= TWO_PI;
    if (lamOut < -PI)
        lamOut += TWO_PI;

    latOut = phi + dPhi;
    lonOut = lamOut;
    heightOut = h + (1 - f) * (a / sqrtW) * sin2Phi * df - sqrtW * da +
                (dX * cosLam * cosPhi + dY * sinLam * cosPhi + dZ * sinPhi);
}

std::uint32_t ShiftToWgs84(std::int32_t index, double latitude, double longitude, double height, double& latOut,
                           double& lonOut, double& heightOut)
{
    return ShiftGeodetic(Direction::ToWgs84, index, latitude, longitude, height, latOut, lonOut, heightOut);
}

std::uint32_t ShiftFromWgs84(double latitude, double longitude, double height, std::int32_t index, double& latOut,
                             double& lonOut, double& heightOut)
{
    return ShiftGeodetic(Direction::FromWgs84, index, latitude, longitude, height, latOut, lonOut, heightOut);
}

namespace test_hooks
{

void ResetGeocentricParameters()
{
    g_geocentric = GeocentricState{};
}

} // namespace test_hooks
} // namespace geodesy
