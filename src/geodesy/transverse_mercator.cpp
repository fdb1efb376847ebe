// Transverse Mercator by the classical series: forward in powers of the
// longitude difference up to the eighth, inverse in powers of the easting
// difference up to the eighth from the footpoint latitude, the meridian arc
// by a five-term series in the third flattening n = (a - b) / (a + b).
// Deviations from the textbook form:
//  - the footpoint latitude takes exactly five Newton-like steps from
//    T / SR(0), without a convergence test (ample for |phi| < 90 degrees);
//  - the ranges the inverse accepts come from the ellipsoid alone: the
//    series' own northing at 89.99 degrees and easting at the equator, both
//    90 degrees from the central meridian, with scale 1 and no false origin;
//  - longitude differences below 2e-10 rad and easting differences below
//    0.1 mm are taken as exactly zero, so the central meridian maps exactly;
//  - the forward distortion warning judges the longitude difference after it
//    is wrapped within -pi..pi, not before;
//  - an inverse longitude beyond the antimeridian is brought back within
//    -pi..pi from either side (west of a central meridian near -180 degrees
//    as well as east of one near +180 degrees).
//
// Legend of formula symbols:
//   phi, lam     latitude, longitude (rad); phi0, lam0 origin latitude and
//                central meridian; dlam = lam - lam0
//   FE, FN, k0   false easting, false northing (m), central scale factor
//   s, c, t      sin, cos, tan of the latitude (footpoint latitude phi1 in
//                the inverse)
//   eta          ep2 c^2, with e2, ep2 the first and second eccentricity
//                squared
//   SN, SR       prime-vertical and meridian radii of curvature (m)
//   TMD(x)       meridian arc from the equator to latitude x (m)
//   AP..EP       coefficients of the arc series (m)
//   T            target arc of the inverse (m); de = E - FE (m)
//   t2, eta3 ... powers, e.g. t2 = t^2, dlam5 = dlam^5, k0_4 = k0^4

#include "geodesy/transverse_mercator.h"

#include <cmath>

#include "geodesy/geodesy_test_hooks.h"
#include "geodesy/parameter_rules.h"
#include "geodesy/transverse_mercator_internal.h"

namespace geodesy
{
namespace
{

struct TransverseMercatorState
{
    // Start values: WGS 84 with e2, e'2 and the arc coefficients as published
    // (from the rounded b = 6356752.3142 m) rather than derived from f as a
    // set-up does: results before the first set-up depend on these figures.
    double a = WGS84_SEMI_MAJOR_AXIS;
    double f = WGS84_FLATTENING;
    double e2 = WGS84_PUBLISHED_E2;
    double ep2 = WGS84_PUBLISHED_EP2_14_DIGITS;
    double k0 = 1.0;
    double AP = 6367449.1458008;
    double BP = 16038.508696861;
    double CP = 16.832613334334;
    double DP = 0.021984404273757;
    double EP = 3.1148371319283e-05;
    double deltaEasting = 40000000.0;
    double deltaNorthing = 40000000.0;
    double phi0 = 0.0;
    double lam0 = 0.0;
    double FE = 0.0;
    double FN = 0.0;
};

TransverseMercatorState g_transverseMercator;

// Beyond this longitude difference (9 degrees) the series lose accuracy.
constexpr double MAX_ACCURATE_DELTA_LON = 0.15707963267948966;
// Smaller longitude differences (rad) and easting differences (m) count as 0.
constexpr double MIN_DELTA_LON = 2.e-10;
constexpr double MIN_DELTA_EASTING = 0.0001;
// Latitudes beyond this are not plausible results of the footpoint iteration.
constexpr double MAX_PLAUSIBLE_LATITUDE = 1.0e10;

double TMD(const TransverseMercatorState& st, double x)
{
    return st.AP * x - st.BP * std::sin(2 * x) + st.CP * std::sin(4 * x) - st.DP * std::sin(6 * x) +
           st.EP * std::sin(8 * x);
}

double SN(const TransverseMercatorState& st, double x)
{
    const double s = std::sin(x);
    return st.a / std::sqrt(1 - st.e2 * (s * s));
}

double SR(const TransverseMercatorState& st, double x)
{
    const double s = std::sin(x);
    const double w = std::sqrt(1 - st.e2 * (s * s));
    return st.a * (1 - st.e2) / (w * w * w);
}

std::uint32_t Forward(const TransverseMercatorState& st, double phi, double lam, double& easting, double& northing)
{
    std::uint32_t bits = TM_NO_ERROR;
    if (!(phi >= -TM_MAX_LATITUDE && phi <= TM_MAX_LATITUDE))
        bits |= TM_LATITUDE_ERROR;

    if (lam > PI)
        lam -= TWO_PI;
    const double lam0 = st.lam0;
    if (!(lam >= lam0 - PI_OVER_2 && lam <= lam0 + PI_OVER_2))
    {
        // Either side of the antimeridian: compare once more within 0..2*pi.
        const double lamWrapped = lam < 0 ? lam + TWO_PI : lam;
        const double lam0Wrapped = lam0 < 0 ? lam0 + TWO_PI : lam0;
        if (!(lamWrapped >= lam0Wrapped - PI_OVER_2 && lamWrapped <= lam0Wrapped + PI_OVER_2))
            bits |= TM_LONGITUDE_ERROR;
    }
    if (bits != TM_NO_ERROR)
        return bits;

    double dlam = lam - lam0;
    if (dlam > PI)
        dlam -= TWO_PI;
    if (dlam < -PI)
        dlam += TWO_PI;
    // Judged after the wrap, so that a point just across the antimeridian
    // from the central meridian is not taken for one 350 degrees away.
    if (std::fabs(dlam) > MAX_ACCURATE_DELTA_LON)
        bits |= TM_DISTORTION_WARNING;
    if (std::fabs(dlam) < MIN_DELTA_LON)
        dlam = 0.0;

    const double k0 = st.k0;
    const double s = std::sin(phi);
    const double c = std::cos(phi);
    const double t = std::tan(phi);
    const double c2 = c * c;
    const double c3 = c2 * c;
    const double c5 = c3 * c2;
    const double c7 = c5 * c2;
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta = st.ep2 * c2;
    const double eta2 = eta * eta;
    const double eta3 = eta2 * eta;
    const double eta4 = eta3 * eta;
    const double sn = SN(st, phi);
    const double dlam2 = dlam * dlam;
    const double dlam3 = dlam2 * dlam;
    const double dlam4 = dlam3 * dlam;
    const double dlam5 = dlam4 * dlam;
    const double dlam6 = dlam5 * dlam;
    const double dlam7 = dlam6 * dlam;
    const double dlam8 = dlam7 * dlam;

    northing = st.FN + k0 * (TMD(st, phi) - TMD(st, st.phi0)) + dlam2 * k0 * sn * s * c / 2 +
               dlam4 * k0 * sn * s * c3 * (5 - t2 + 9 * eta + 4 * eta2) / 24 +
               dlam6 * k0 * sn * s * c5 *
                   (61 - 58 * t2 + t4 + 270 * eta - 330 * t2 * eta + 445 * eta2 + 324 * eta3 - 680 * t2 * eta2 +
                    88 * eta4 - 600 * t2 * eta3 - 192 * t2 * eta4) /
                   720 +
               dlam8 * k0 * sn * s * c7 * (1385 - 3111 * t2 + 543 * t4 - t6) / 40320;

    easting =
        st.FE + dlam * k0 * sn * c + dlam3 * k0 * sn * c3 * (1 - t2 + eta) / 6 +
        dlam5 * k0 * sn * c5 *
            (5 - 18 * t2 + t4 + 14 * eta - 58 * t2 * eta + 13 * eta2 + 4 * eta3 - 64 * t2 * eta2 - 24 * t2 * eta3) /
            120 +
        dlam7 * k0 * sn * c7 * (61 - 479 * t2 + 179 * t4 - t6) / 5040;
    return bits;
}

std::uint32_t Inverse(const TransverseMercatorState& st, double E, double N, double& latitude, double& longitude,
                      bool& written)
{
    written = false;
    std::uint32_t bits = TM_NO_ERROR;
    if (!(E >= st.FE - st.deltaEasting && E <= st.FE + st.deltaEasting))
        bits |= TM_EASTING_ERROR;
    if (!(N >= st.FN - st.deltaNorthing && N <= st.FN + st.deltaNorthing))
        bits |= TM_NORTHING_ERROR;
    if (bits != TM_NO_ERROR)
        return bits;

    const double k0 = st.k0;
    const double T = TMD(st, st.phi0) + (N - st.FN) / k0;

    double phi1 = T / SR(st, 0.0);
    for (int i = 0; i < 5; ++i)
        phi1 = phi1 + (T - TMD(st, phi1)) / SR(st, phi1);

    const double c = std::cos(phi1);
    const double t = std::tan(phi1);
    const double t2 = t * t;
    const double t4 = t2 * t2;
    const double t6 = t4 * t2;
    const double eta = st.ep2 * (c * c);
    const double eta2 = eta * eta;
    const double eta3 = eta2 * eta;
    const double eta4 = eta3 * eta;
    const double sn = SN(st, phi1);
    const double sr = SR(st, phi1);
    const double sn3 = sn * sn * sn;
    const double sn5 = sn3 * sn * sn;
    const double sn7 = sn5 * sn * sn;
    const double k0_2 = k0 * k0;
    const double k0_3 = k0_2 * k0;
    const double k0_4 = k0_3 * k0;
    const double k0_5 = k0_4 * k0;
    const double k0_6 = k0_5 * k0;
    const double k0_7 = k0_6 * k0;
    const double k0_8 = k0_7 * k0;

    double de = E - st.FE;
    if (std::fabs(de) < MIN_DELTA_EASTING)
        de = 0.0;
    const double de2 = de * de;
    const double de3 = de2 * de;
    const double de4 = de3 * de;
    const double de5 = de4 * de;
    const double de6 = de5 * de;
    const double de7 = de6 * de;
    const double de8 = de7 * de;

    const double phi =
        phi1 - t * de2 / (2 * k0_2 * sn * sr) +
        t * (5 + 3 * t2 + eta - 4 * eta2 - 9 * t2 * eta) * de4 / (24 * k0_4 * sn3 * sr) -
        t *
            (61 + 90 * t2 + 46 * eta + 45 * t4 - 252 * t2 * eta - 3 * eta2 + 100 * eta3 - 66 * t2 * eta2 -
             90 * t4 * eta + 88 * eta4 + 225 * t4 * eta2 + 84 * t2 * eta3 - 192 * t2 * eta4) *
            de6 / (720 * k0_6 * sn5 * sr) +
        t * (1385 + 3633 * t2 + 4095 * t4 + 1575 * t6) * de8 / (40320 * k0_8 * sn7 * sr);

    const double dlam =
        de / (k0 * sn * c) - (1 + 2 * t2 + eta) * de3 / (6 * k0_3 * sn3 * c) +
        (5 + 6 * eta + 28 * t2 - 3 * eta2 + 8 * t2 * eta + 24 * t4 - 4 * eta3 + 4 * t2 * eta2 + 24 * t2 * eta3) * de5 /
            (120 * k0_5 * sn5 * c) -
        (61 + 662 * t2 + 1320 * t4 + 720 * t6) * de7 / (5040 * k0_7 * sn7 * c);

    double lam = st.lam0 + dlam;
    latitude = phi;
    longitude = lam;
    written = true;

    if (std::fabs(phi) > PI_OVER_2)
        bits = TM_NORTHING_ERROR;
    // A central meridian near the antimeridian gives results beyond it on
    // either side; both sides are brought back within -pi..pi.
    if (lam > PI)
        lam -= TWO_PI;
    else if (lam < -PI)
        lam += TWO_PI;
    longitude = lam;
    if (std::fabs(lam) > PI)
        bits |= TM_EASTING_ERROR;
    if (std::fabs(dlam) > MAX_ACCURATE_DELTA_LON * std::cos(phi))
        bits |= TM_DISTORTION_WARNING;
    if (phi > MAX_PLAUSIBLE_LATITUDE)
        bits |= TM_DISTORTION_WARNING;
    return bits;
}

} // namespace

std::uint32_t SetTransverseMercatorParameters(double a, double f, double originLatitude, double centralMeridian,
                                              double falseEasting, double falseNorthing, double scaleFactor)
{
    std::uint32_t bits = TM_NO_ERROR;
    if (!detail::IsValidAxis(a))
        bits |= TM_AXIS_ERROR;
    if (!detail::IsValidFlattening(f))
        bits |= TM_FLATTENING_ERROR;
    if (!detail::IsValidLatitude(originLatitude))
        bits |= TM_ORIGIN_LATITUDE_ERROR;
    if (!detail::IsValidLongitude(centralMeridian))
        bits |= TM_CENTRAL_MERIDIAN_ERROR;
    if (!(scaleFactor >= 0.3 && scaleFactor <= 3.0))
        bits |= TM_SCALE_FACTOR_ERROR;
    if (bits != TM_NO_ERROR)
        return bits;

    // Interim state without false origin, scale 1 at the equator and
    // Greenwich, from which the accepted ranges are derived.
    TransverseMercatorState st;
    st.phi0 = 0.0;
    st.lam0 = 0.0;
    st.FE = 0.0;
    st.FN = 0.0;
    st.k0 = 1.0;
    st.a = a;
    st.f = f;
    st.e2 = detail::FirstEccentricitySquared(f);
    st.ep2 = detail::SecondEccentricitySquared(st.e2);

    const double b = a * (1 - f);
    const double n = (a - b) / (a + b);
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n3 * n;
    const double n5 = n4 * n;
    st.AP = a * (1 - n + 1.25 * (n2 - n3) + 1.265625 * (n4 - n5));
    st.BP = 1.5 * a * (n - n2 + 0.875 * (n3 - n4) + 0.859375 * n5);
    st.CP = 0.9375 * a * (n2 - n3 + 0.75 * (n4 - n5));
    st.DP = 0.7291666666666666 * a * (n3 - n4 + 0.6875 * n5);
    st.EP = 0.615234375 * a * (n4 - n5);

    // Neither conversion can refuse: both points lie exactly on the accepted
    // limits, and only the distortion warning comes back.
    double easting = 0.0;
    double northing = 0.0;
    Forward(st, TM_MAX_LATITUDE, PI_OVER_2, easting, northing);
    st.deltaNorthing = northing;
    Forward(st, 0.0, PI_OVER_2, easting, northing);
    st.deltaEasting = easting;

    st.phi0 = originLatitude;
    st.FE = falseEasting;
    st.FN = falseNorthing;
    st.k0 = scaleFactor;
    st.lam0 = centralMeridian > PI ? centralMeridian - TWO_PI : centralMeridian;
    g_transverseMercator = st;
    return TM_NO_ERROR;
}

std::uint32_t ConvertGeodeticToTransverseMercator(double latitude, double longitude, double& easting, double& northing)
{
    return Forward(g_transverseMercator, latitude, longitude, easting, northing);
}

std::uint32_t ConvertTransverseMercatorToGeodetic(double easting, double northing, double& latitude, double& longitude)
{
    bool written = false;
    return Inverse(g_transverseMercator, easting, northing, latitude, longitude, written);
}

namespace detail
{

std::uint32_t ConvertGeodeticToTransverseMercator(double latitude, double longitude, double& easting, double& northing,
                                                  bool& written)
{
    const std::uint32_t bits = Forward(g_transverseMercator, latitude, longitude, easting, northing);
    written = (bits & ~TM_DISTORTION_WARNING) == TM_NO_ERROR;
    return bits;
}

std::uint32_t ConvertTransverseMercatorToGeodetic(double easting, double northing, double& latitude, double& longitude,
                                                  bool& written)
{
    return Inverse(g_transverseMercator, easting, northing, latitude, longitude, written);
}

} // namespace detail

namespace test_hooks
{

void ResetTransverseMercatorParameters()
{
    g_transverseMercator = TransverseMercatorState{};
}

} // namespace test_hooks
} // namespace geodesy
