// UTM zone selection and the fixed Transverse Mercator set-up of each zone.
// The projection itself is the classical series of transverse_mercator.cpp.
//
// The zone is computed from the longitude in 0..2*pi (a negative longitude
// gets 2*pi + 1e-10 added, so that -180 degrees lands in zone 1 and not in a
// zone 61). Latitude and longitude are validated before any truncation to
// whole degrees or zones, so every double given converts to int safely.
//
// Legend: phi, lam latitude and longitude (rad); latDeg, lonDeg their whole
// degrees cut toward zero; FN false northing (m).

#include "geodesy/utm.h"

#include "geodesy/geodesy_test_hooks.h"
#include "geodesy/parameter_rules.h"
#include "geodesy/transverse_mercator.h"
#include "geodesy/transverse_mercator_internal.h"

namespace geodesy
{
namespace
{

struct UtmState
{
    double a = WGS84_SEMI_MAJOR_AXIS;
    double f = WGS84_FLATTENING;
    std::int32_t zoneOverride = 0;
};

UtmState g_utm;

constexpr std::int32_t MIN_ZONE = 1;
constexpr std::int32_t MAX_ZONE = 60;
// 2*pi plus 1e-10: moves -180 degrees just past 180 degrees.
constexpr double TWO_PI_PLUS_EPSILON = 6.283185307279586;
constexpr double FALSE_EASTING = 500000.0;          // m
constexpr double FALSE_NORTHING_SOUTH = 10000000.0; // m
constexpr double SCALE_FACTOR = 0.9996;
constexpr double MIN_EASTING = 100000.0;    // m
constexpr double MAX_EASTING = 900000.0;    // m
constexpr double MIN_NORTHING = 0.0;        // m
constexpr double MAX_NORTHING = 10000000.0; // m

// Central meridian of a zone 1..60 (radians); 183 to 357 degrees for zones
// 1 to 30, which the projection set-up brings within -pi..pi.
double CentralMeridian(std::int32_t zone)
{
    const std::int32_t degrees = zone >= 31 ? 6 * zone - 183 : 6 * zone + 177;
    return degrees * DEG_TO_RAD;
}

bool IsValidEasting(double easting)
{
    return easting >= MIN_EASTING && easting <= MAX_EASTING;
}

bool IsValidNorthing(double northing)
{
    return northing >= MIN_NORTHING && northing <= MAX_NORTHING;
}

} // namespace

std::uint32_t SetUtmParameters(double a, double f, std::int32_t zoneOverride)
{
    std::uint32_t bits = UTM_NO_ERROR;
    if (!detail::IsValidAxis(a))
        bits |= UTM_AXIS_ERROR;
    if (!detail::IsValidFlattening(f))
        bits |= UTM_FLATTENING_ERROR;
    if (zoneOverride < 0 || zoneOverride > MAX_ZONE)
        bits |= UTM_ZONE_OVERRIDE_ERROR;
    if (bits != UTM_NO_ERROR)
        return bits;

    g_utm.a = a;
    g_utm.f = f;
    g_utm.zoneOverride = zoneOverride;
    return UTM_NO_ERROR;
}

void GetUtmParameters(double& a, double& f, std::int32_t& zoneOverride)
{
    a = g_utm.a;
    f = g_utm.f;
    zoneOverride = g_utm.zoneOverride;
}

std::uint32_t ConvertGeodeticToUtm(double latitude, double longitude, std::int32_t& zone, char& hemisphere,
                                   double& easting, double& northing)
{
    std::uint32_t bits = UTM_NO_ERROR;
    if (!(latitude >= UTM_MIN_LATITUDE && latitude <= UTM_MAX_LATITUDE))
        bits |= UTM_LATITUDE_ERROR;
    if (!detail::IsValidLongitude(longitude))
        bits |= UTM_LONGITUDE_ERROR;
    if (bits != UTM_NO_ERROR)
        return bits;

    const double phi = latitude;
    double lam = longitude;
    if (lam < 0)
        lam += TWO_PI_PLUS_EPSILON;

    // phi and lam are bounded here, so these truncations cannot overflow.
    const auto latDeg = static_cast<std::int32_t>(phi * RAD_TO_DEG);
    const auto lonDeg = static_cast<std::int32_t>(lam * RAD_TO_DEG);
    const double lonDegrees = lam * RAD_TO_DEG;

    std::int32_t utmZone =
        lam < PI ? static_cast<std::int32_t>(lonDegrees / 6 + 31) : static_cast<std::int32_t>(lonDegrees / 6 - 29);
    if (utmZone > MAX_ZONE)
        utmZone = MIN_ZONE;

    // Norway.
    if (latDeg >= 56 && latDeg < 64)
    {
        if (lonDeg >= 0 && lonDeg <= 2)
            utmZone = 31;
        else if (lonDeg >= 3 && lonDeg <= 11)
            utmZone = 32;
    }
    // Svalbard.
    if (latDeg > 71)
    {
        if (lonDeg >= 0 && lonDeg <= 8)
            utmZone = 31;
        else if (lonDeg >= 9 && lonDeg <= 20)
            utmZone = 33;
        else if (lonDeg >= 21 && lonDeg <= 32)
            utmZone = 35;
        else if (lonDeg >= 33 && lonDeg <= 41)
            utmZone = 37;
    }

    const std::int32_t zoneOverride = g_utm.zoneOverride;
    if (zoneOverride != 0)
    {
        if (utmZone == MIN_ZONE && zoneOverride == MAX_ZONE)
            utmZone = MAX_ZONE;
        else if (utmZone == MAX_ZONE && zoneOverride == MIN_ZONE)
            utmZone = MIN_ZONE;
        else if (zoneOverride >= utmZone - 1 && zoneOverride <= utmZone + 1)
            utmZone = zoneOverride;
        else
            return UTM_ZONE_OVERRIDE_ERROR;
    }

    const bool south = phi < 0;
    const double FN = south ? FALSE_NORTHING_SOUTH : 0.0;
    SetTransverseMercatorParameters(g_utm.a, g_utm.f, 0.0, CentralMeridian(utmZone), FALSE_EASTING, FN, SCALE_FACTOR);

    double projectedEasting = 0.0;
    double projectedNorthing = 0.0;
    bool written = false;
    detail::ConvertGeodeticToTransverseMercator(phi, lam, projectedEasting, projectedNorthing, written);
    if (!written)
    {
        // Cannot happen: the chosen zone's central meridian is never more
        // than 12 degrees from the point. Guarded so that no unset value is
        // ever handed out.
        return UTM_EASTING_ERROR | UTM_NORTHING_ERROR;
    }

    zone = utmZone;
    hemisphere = south ? 'S' : 'N';
    easting = projectedEasting;
    northing = projectedNorthing;

    if (!IsValidEasting(projectedEasting))
        bits |= UTM_EASTING_ERROR;
    if (!IsValidNorthing(projectedNorthing))
        bits |= UTM_NORTHING_ERROR;
    return bits;
}

std::uint32_t ConvertUtmToGeodetic(std::int32_t zone, char hemisphere, double easting, double northing,
                                   double& latitude, double& longitude)
{
    std::uint32_t bits = UTM_NO_ERROR;
    if (zone < MIN_ZONE || zone > MAX_ZONE)
        bits |= UTM_ZONE_ERROR;
    if (hemisphere != 'N' && hemisphere != 'S')
        bits |= UTM_HEMISPHERE_ERROR;
    if (!IsValidEasting(easting))
        bits |= UTM_EASTING_ERROR;
    if (!IsValidNorthing(northing))
        bits |= UTM_NORTHING_ERROR;
    if (bits != UTM_NO_ERROR)
        return bits;

    const double FN = hemisphere == 'S' ? FALSE_NORTHING_SOUTH : 0.0;
    SetTransverseMercatorParameters(g_utm.a, g_utm.f, 0.0, CentralMeridian(zone), FALSE_EASTING, FN, SCALE_FACTOR);

    double phi = 0.0;
    double lam = 0.0;
    bool written = false;
    const std::uint32_t projectionBits =
        detail::ConvertTransverseMercatorToGeodetic(easting, northing, phi, lam, written);
    if (projectionBits & (TM_EASTING_ERROR | TM_DISTORTION_WARNING))
        bits = UTM_EASTING_ERROR;
    if (projectionBits & TM_NORTHING_ERROR)
        bits |= UTM_NORTHING_ERROR;
    if (!written)
        return bits;

    if (!(phi >= UTM_MIN_LATITUDE && phi <= UTM_MAX_LATITUDE))
        bits |= UTM_NORTHING_ERROR;
    latitude = phi;
    longitude = lam;
    return bits;
}

namespace test_hooks
{

void ResetUtmParameters()
{
    g_utm = UtmState{};
}

} // namespace test_hooks
} // namespace geodesy
