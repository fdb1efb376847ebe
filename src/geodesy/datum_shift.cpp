// Datum shifts between the datums of the datum table and WGS 84.
//
// Methods:
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
//    longitude, change of axis and flattening, 1.4 m of height), written
//    once with a sign: +1 towards WGS 84, -1 back. The sign only negates
//    terms, which is exact, so both directions round as if written apart.
// Deviations: the WGS 72 formulas fold a latitude pushed over a pole back
// without turning the longitude by pi; non-finite input to a geocentric
// WGS 72 shift yields NaN instead of leaving the outputs unset.
//
// Legend of formula symbols:
//   phi, lam   latitude, longitude (rad); lamC the longitude within -pi..pi
//   h          ellipsoidal height (m)
//   a, f       semi-major axis (m) and flattening; da, df target minus source
//   e2         first eccentricity squared
//   N, M       prime-vertical and meridian radii of curvature (m)
//   W          1 - e2 sin^2 phi
//   dX, dY, dZ translation (m); Rx, Ry, Rz rotations (rad); s scale difference

#include "geodesy/datum_shift.h"

#include <cmath>
#include <limits>

#include "geodesy/datum.h"
#include "geodesy/ellipsoid.h"
#include "geodesy/geocentric.h"
#include "geodesy/parameter_rules.h"

namespace geodesy
{
namespace
{

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

// Axes (m) and flattenings of the two world ellipsoids from the ellipsoid
// table; 0 where the table cannot give them.
struct WorldEllipsoids
{
    double a72 = 0.0;
    double f72 = 0.0;
    double a84 = 0.0;
    double f84 = 0.0;
    bool readable = false;
};

WorldEllipsoids ReadWorldEllipsoids()
{
    WorldEllipsoids world;
    const std::uint32_t bits72 = GetWgs72EllipsoidParameters(world.a72, world.f72);
    const std::uint32_t bits84 = GetWgs84EllipsoidParameters(world.a84, world.f84);
    world.readable = bits72 == ELLIPSOID_NO_ERROR && bits84 == ELLIPSOID_NO_ERROR;
    return world;
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

// The sign of the WGS 72 formulas for a direction.
double Wgs72Sign(Direction direction)
{
    return direction == Direction::ToWgs84 ? 1.0 : -1.0;
}

// WGS 72 <-> WGS 84 by the fixed formulas; sign +1 from WGS 72 to WGS 84,
// -1 back. The source ellipsoid's axis divides the origin shift and scales
// the flattening term of the height.
void ShiftWgs72Geodetic(double sign, double phi, double lam, double h, double& latOut, double& lonOut,
                        double& heightOut)
{
    const WorldEllipsoids world = ReadWorldEllipsoids();
    const double aSource = sign > 0 ? world.a72 : world.a84;
    const double aTarget = sign > 0 ? world.a84 : world.a72;

    const double df = sign * (world.f84 - world.f72); // target minus source
    const double sinPhi = std::sin(phi);
    const double sin2Phi = sinPhi * sinPhi;

    double phiOut = phi + (df * std::sin(2 * phi) * ARC_SECONDS_PER_RAD +
                           sign * WGS72_ORIGIN_SHIFT * std::cos(phi) / (aSource * ARC_SECOND_DIVISOR)) *
                              ARC_SECONDS_TO_RAD;
    double lamOut = lam + sign * WGS72_LONGITUDE_SHIFT;
    heightOut = h + sign * WGS72_ORIGIN_SHIFT * sinPhi + aSource * df * sin2Phi - (aTarget - aSource) +
                sign * WGS72_HEIGHT_SHIFT;
    FoldWgs72Result(phiOut, lamOut);
    latOut = phiOut;
    lonOut = lamOut;
}

// The WGS 72 shift in geocentric coordinates: to geodetic on the source
// ellipsoid, the geodetic shift, back to geocentric on the target ellipsoid.
// Returns the bits of the final conversion.
std::uint32_t ShiftWgs72Geocentric(double sign, double x, double y, double z, double& xOut, double& yOut, double& zOut)
{
    const WorldEllipsoids world = ReadWorldEllipsoids();
    double phi = 0.0;
    double lam = 0.0;
    double h = 0.0;
    double phiOut = 0.0;
    double lamOut = 0.0;
    double hOut = 0.0;
    SetGeocentricParameters(sign > 0 ? world.a72 : world.a84, sign > 0 ? world.f72 : world.f84);
    ConvertGeocentricToGeodetic(x, y, z, phi, lam, h);
    ShiftWgs72Geodetic(sign, phi, lam, h, phiOut, lamOut, hOut);
    SetGeocentricParameters(sign > 0 ? world.a84 : world.a72, sign > 0 ? world.f84 : world.f72);
    return ConvertGeodeticToGeocentric(phiOut, lamOut, hOut, xOut, yOut, zOut);
}

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
        if (!ReadWorldEllipsoids().readable)
            return DATUM_ELLIPSOID_ERROR;
        // The inner conversion refuses only a non-finite intermediate
        // latitude or longitude; the shift then yields NaN rather than
        // leaving its outputs unset behind a success.
        double x = NaN;
        double y = NaN;
        double z = NaN;
        ShiftWgs72Geocentric(Wgs72Sign(direction), X, Y, Z, x, y, z);
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
    if (!detail::IsValidLatitude(phi))
        bits |= DATUM_LATITUDE_ERROR;
    if (!detail::IsValidLongitude(lam))
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
        if (!ReadWorldEllipsoids().readable)
            return DATUM_ELLIPSOID_ERROR;
        ShiftWgs72Geodetic(Wgs72Sign(direction), phi, lam, h, latOut, lonOut, heightOut);
        break;
    }
    return DATUM_NO_ERROR;
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
    return ShiftWgs72Geocentric(1.0, x, y, z, xOut, yOut, zOut);
}

std::uint32_t Wgs84ToWgs72Geocentric(double x, double y, double z, double& xOut, double& yOut, double& zOut)
{
    return ShiftWgs72Geocentric(-1.0, x, y, z, xOut, yOut, zOut);
}

void Wgs72ToWgs84Geodetic(double latitude, double longitude, double height, double& latOut, double& lonOut,
                          double& heightOut)
{
    ShiftWgs72Geodetic(1.0, latitude, longitude, height, latOut, lonOut, heightOut);
}

void Wgs84ToWgs72Geodetic(double latitude, double longitude, double height, double& latOut, double& lonOut,
                          double& heightOut)
{
    ShiftWgs72Geodetic(-1.0, latitude, longitude, height, latOut, lonOut, heightOut);
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

    const double e2 = detail::FirstEccentricitySquared(f);
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

} // namespace geodesy
