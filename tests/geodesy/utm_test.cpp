// UTM: zone choice, bounds, override and set-up rules, and the accuracy of
// the series against GeographicLib's exact Transverse Mercator.

#include <cmath>
#include <limits>

#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include "geodesy_test_support.h"

using namespace geodesy;
using geodesy_test::Deg;
using geodesy_test::GroundDistance;
using geodesy_test::Rad;

namespace
{

constexpr double A = 6378137.0;
constexpr double F = 1 / 298.257223563;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double UNTOUCHED = 12345.0;

double CentralMeridianDegrees(std::int32_t zone)
{
    return 6.0 * zone - 183;
}

// Exact UTM easting and northing of a point (degrees) in a zone.
void ExactUtm(const GeographicLib::TransverseMercatorExact& tm, std::int32_t zone, double lat, double lon,
              double& easting, double& northing)
{
    double x = 0, y = 0;
    tm.Forward(CentralMeridianDegrees(zone), lat, lon, x, y);
    easting = x + 500000;
    northing = y + (lat < 0 ? 10000000 : 0);
}

class Utm : public ::testing::Test
{
protected:
    void SetUp() override
    {
        geodesy_test::ResetGeodesyState(false);
        ASSERT_EQ(SetUtmParameters(A, F, 0), 0u);
    }
    const GeographicLib::TransverseMercatorExact m_exact{A, F, 0.9996};
};

} // namespace

// Western longitudes reach the projection with 2 pi + 1e-10 added (the zone
// rule's shift of -180 degrees into zone 1), that is 1e-10 rad (0.6 mm)
// east of where they are; the forward reference takes that same longitude.
TEST_F(Utm, SeriesAgreeWithTheExactProjectionToTheirKnownAccuracy)
{
    struct Ellipsoid
    {
        double a, f;
    };
    const Ellipsoid ellipsoids[] = {{A, F}, {6377397.155, 1 / 299.1528128}, {6378388.0, 1 / 297.0}};
    // Bounds by distance from the central meridian: up to 3, 6, 9 degrees.
    // Measured on WGS 84: forward 3.1e-6 m, 0.43 mm, 8.2 mm; inverse
    // 9.0e-7 m, 0.35 mm, 13 mm.
    const double bounds[] = {1e-5, 1e-3, 2e-2}; // m
    for (const Ellipsoid& e : ellipsoids)
    {
        const GeographicLib::TransverseMercatorExact exact(e.a, e.f, 0.9996);
        for (std::int32_t zone : {2, 17, 44, 59})
        {
            ASSERT_EQ(SetUtmParameters(e.a, e.f, zone), 0u);
            for (double lat = -80; lat <= 84; lat += 4)
            {
                for (double offset = -8.9; offset <= 8.95; offset += 0.5)
                {
                    const double lon = CentralMeridianDegrees(zone) + offset;
                    const double bound = bounds[std::fabs(offset) <= 3 ? 0 : std::fabs(offset) <= 6 ? 1 : 2];
                    SCOPED_TRACE(testing::Message() << "zone " << zone << " lat " << lat << " lon " << lon);

                    std::int32_t z = 0;
                    char hemisphere = 0;
                    double E = 0, N = 0, Ex = 0, Nx = 0;
                    const std::uint32_t bits = ConvertGeodeticToUtm(Rad(lat), Rad(lon), z, hemisphere, E, N);
                    ASSERT_EQ(bits & ~UTM_EASTING_ERROR, 0u);
                    ASSERT_EQ(z, zone);
                    EXPECT_EQ(hemisphere, lat < 0 ? 'S' : 'N');
                    const double projected = lon < 0 ? Deg(Rad(lon) + 6.283185307279586) : lon;
                    ExactUtm(exact, zone, lat, projected, Ex, Nx);
                    EXPECT_NEAR(E, Ex, bound);
                    EXPECT_NEAR(N, Nx, bound);

                    ExactUtm(exact, zone, lat, lon, Ex, Nx);
                    if (Ex < 100000 || Ex > 900000)
                        continue; // not a UTM easting
                    double phi = 0, lam = 0;
                    ConvertUtmToGeodetic(zone, hemisphere, Ex, Nx, phi, lam);
                    EXPECT_LT(GroundDistance(lat, lon, Deg(phi), Deg(lam)), bound);
                }
            }
        }
    }
}

TEST_F(Utm, ZoneFollowsTheLongitudeWithTheNorwayAndSvalbardExceptions)
{
    struct Row
    {
        double lat;
        double lon;
        std::int32_t zone;
    };
    const Row rows[] = {
        {50, 10, 32}, {-33.9, 18.4, 34}, {0, -1, 30},  {0, 180, 1},    {0, -180, 1},     {0, 179.99, 60}, {0, 0, 31},
        {0, 360, 31}, {0, 359, 30},      {60, 5, 32},  {56, 3, 32},    {63.9, 11.9, 32}, {60, 2.5, 31},   {60, 12, 33},
        {64, 5, 31},  {55.9, 5, 31},     {75, 10, 33}, {75, 5, 31},    {75, 8.9, 31},    {75, 20.9, 33},  {75, 21, 35},
        {75, 33, 37}, {75, 41.9, 37},    {75, 42, 38}, {71.9, 10, 32}, {72, 10, 33},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.lat << " " << row.lon);
        std::int32_t zone = 0;
        char hemisphere = 0;
        double E = 0, N = 0, Ex = 0, Nx = 0;
        ConvertGeodeticToUtm(Rad(row.lat), Rad(row.lon), zone, hemisphere, E, N);
        EXPECT_EQ(zone, row.zone);
        EXPECT_EQ(hemisphere, row.lat < 0 ? 'S' : 'N');
        ExactUtm(m_exact, row.zone, row.lat, row.lon, Ex, Nx);
        EXPECT_NEAR(E, Ex, 0.02); // m, at most 9 degrees from the zone's meridian
        EXPECT_NEAR(N, Nx, 0.02); // m
    }
}

// -80.5 degrees is honoured as -80.5 * pi/180 (-1.4049900478554354, what
// the converter computes from a typed -80.5); the rounded figure
// -1.4049900478554351 lies one ulp inside. 84.5 degrees: both are one double.
TEST_F(Utm, LatitudeLimitsAcceptMinusEightyDotFiveAsTypedAndEightyFourDotFive)
{
    const double typedSouth = (-80.5) * ((4 * std::atan(1.0)) / 180);
    EXPECT_EQ(typedSouth, -1.4049900478554354);
    struct Row
    {
        double lat;
        double lon;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {typedSouth, 0.2, 0},
        {-1.4049900478554351, 0.2, 0},
        {std::nextafter(typedSouth, -2.0), 0.2, UTM_LATITUDE_ERROR},
        {84.5 * DEG_TO_RAD, 0.2, 0},
        {std::nextafter(84.5 * DEG_TO_RAD, 2.0), 0.2, UTM_LATITUDE_ERROR},
        {Rad(84.6), 0.2, UTM_LATITUDE_ERROR},
        {0, -PI, 0},
        {0, TWO_PI, 0},
        {0, std::nextafter(-PI, -4.0), UTM_LONGITUDE_ERROR},
        {0, std::nextafter(TWO_PI, 7.0), UTM_LONGITUDE_ERROR},
        {NaN, 0.2, UTM_LATITUDE_ERROR},
        {0, NaN, UTM_LONGITUDE_ERROR},
        {1e300, -INF, UTM_LATITUDE_ERROR | UTM_LONGITUDE_ERROR},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.lat << " " << row.lon);
        std::int32_t zone = -1;
        char hemisphere = '?';
        double E = UNTOUCHED, N = UNTOUCHED;
        EXPECT_EQ(ConvertGeodeticToUtm(row.lat, row.lon, zone, hemisphere, E, N), row.bits);
        EXPECT_EQ(zone != -1, row.bits == 0);
        EXPECT_EQ(E != UNTOUCHED, row.bits == 0);
    }

    // The inverse judges its result by the same limits, from both sides of
    // the northing of -80.5 degrees on zone 31's meridian.
    double x = 0, y = 0, lat = 0, lon = 0;
    m_exact.Forward(3, -80.5, 3, x, y);
    const double northing = 10000000 + y;
    EXPECT_EQ(ConvertUtmToGeodetic(31, 'S', 500000, northing + 0.001, lat, lon), 0u);
    EXPECT_EQ(ConvertUtmToGeodetic(31, 'S', 500000, northing - 0.001, lat, lon), UTM_NORTHING_ERROR);
    EXPECT_NEAR(lat, Rad(-80.5), 1e-9); // rad, written although flagged
}

TEST_F(Utm, AnOverrideMovesThePointIntoANeighbouringZoneOnly)
{
    std::int32_t zone = 0;
    char hemisphere = 0;
    double E = 0, N = 0, Ex = 0, Nx = 0;
    ASSERT_EQ(SetUtmParameters(A, F, 33), 0u);
    ASSERT_EQ(ConvertGeodeticToUtm(Rad(50), Rad(10), zone, hemisphere, E, N), 0u);
    EXPECT_EQ(zone, 33);
    ExactUtm(m_exact, 33, 50, 10, Ex, Nx); // central meridian 15 E
    EXPECT_NEAR(E, Ex, 1e-3);              // m
    EXPECT_NEAR(N, Nx, 1e-3);              // m

    // 8.9 degrees from zone 31's meridian: projected, flagged, written.
    ASSERT_EQ(SetUtmParameters(A, F, 31), 0u);
    EXPECT_EQ(ConvertGeodeticToUtm(0.0, Rad(11.9), zone, hemisphere, E, N), UTM_EASTING_ERROR);
    EXPECT_EQ(zone, 31);
    EXPECT_GT(E, 900000.0);

    ASSERT_EQ(SetUtmParameters(A, F, 35), 0u);
    zone = -1;
    E = UNTOUCHED;
    EXPECT_EQ(ConvertGeodeticToUtm(Rad(50), Rad(10), zone, hemisphere, E, N), UTM_ZONE_OVERRIDE_ERROR);
    EXPECT_EQ(zone, -1);
    EXPECT_EQ(E, UNTOUCHED);

    // Zones 60 and 1 are neighbours across the antimeridian, both ways, and
    // the inverse brings the longitude back within -pi..pi.
    ASSERT_EQ(SetUtmParameters(A, F, 1), 0u);
    ASSERT_EQ(ConvertGeodeticToUtm(Rad(0.5), Rad(179.5), zone, hemisphere, E, N), 0u);
    EXPECT_EQ(zone, 1);
    ExactUtm(m_exact, 1, 0.5, 179.5, Ex, Nx);
    EXPECT_NEAR(E, Ex, 1e-3); // m
    double lat = 0, lon = 0;
    ConvertUtmToGeodetic(1, 'N', E, N, lat, lon);
    EXPECT_NEAR(Deg(lon), 179.5, 1e-8); // degrees
    EXPECT_NEAR(Deg(lat), 0.5, 1e-8);   // degrees

    ASSERT_EQ(SetUtmParameters(A, F, 60), 0u);
    ASSERT_EQ(ConvertGeodeticToUtm(Rad(0.5), Rad(-179.5), zone, hemisphere, E, N), 0u);
    EXPECT_EQ(zone, 60);
    ConvertUtmToGeodetic(60, 'N', E, N, lat, lon);
    EXPECT_NEAR(Deg(lon), -179.5, 1e-8); // degrees
}

TEST_F(Utm, ARefusedSetUpKeepsThePreviousEllipsoidAndOverride)
{
    ASSERT_EQ(SetUtmParameters(6377397.155, 1 / 299.1528128, 33), 0u);
    struct Row
    {
        double a, f;
        std::int32_t zoneOverride;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {A, F, 61, UTM_ZONE_OVERRIDE_ERROR},
        {A, F, -1, UTM_ZONE_OVERRIDE_ERROR},
        {0, F, 0, UTM_AXIS_ERROR},
        {A, 1 / 200.0, 0, UTM_FLATTENING_ERROR},
        {NaN, NaN, 61, UTM_AXIS_ERROR | UTM_FLATTENING_ERROR | UTM_ZONE_OVERRIDE_ERROR},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SetUtmParameters(row.a, row.f, row.zoneOverride), row.bits);

    std::int32_t zone = 0;
    char hemisphere = 0;
    double E = 0, N = 0, Ex = 0, Nx = 0;
    ConvertGeodeticToUtm(Rad(50), Rad(10), zone, hemisphere, E, N);
    EXPECT_EQ(zone, 33);
    ExactUtm(GeographicLib::TransverseMercatorExact(6377397.155, 1 / 299.1528128, 0.9996), 33, 50, 10, Ex, Nx);
    EXPECT_NEAR(E, Ex, 1e-3); // m
    EXPECT_NEAR(N, Nx, 1e-3); // m
}

TEST_F(Utm, InverseRefusesBadZoneHemisphereEastingAndNorthingWithoutOutput)
{
    struct Row
    {
        std::int32_t zone;
        char hemisphere;
        double E, N;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {0, 'X', 500000, 5e6, UTM_ZONE_ERROR | UTM_HEMISPHERE_ERROR},
        {61, 'n', 500000, 5e6, 0x30},
        {32, 'N', 900001, 5e6, UTM_EASTING_ERROR},
        {32, 'N', 99999, 5e6, UTM_EASTING_ERROR},
        {32, 'S', 500000, -1, UTM_NORTHING_ERROR},
        {32, 'S', 500000, 10000001, UTM_NORTHING_ERROR},
        {32, 'N', NaN, NaN, UTM_EASTING_ERROR | UTM_NORTHING_ERROR},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(testing::Message() << row.zone << " " << row.hemisphere << " " << row.E << " " << row.N);
        double lat = UNTOUCHED, lon = UNTOUCHED;
        EXPECT_EQ(ConvertUtmToGeodetic(row.zone, row.hemisphere, row.E, row.N, lat, lon), row.bits);
        EXPECT_EQ(lat, UNTOUCHED);
        EXPECT_EQ(lon, UNTOUCHED);
    }
    // A valid point far from the meridian at high latitude is written with
    // the distortion warning reported as an easting error.
    double lat = UNTOUCHED, lon = UNTOUCHED;
    EXPECT_EQ(ConvertUtmToGeodetic(32, 'N', 150000, 7e6, lat, lon), UTM_EASTING_ERROR);
    EXPECT_NE(lat, UNTOUCHED);
}

// On an ellipsoid far smaller than the earth the projection refuses a UTM
// northing; the position must then stay unwritten rather than be filled
// with values the projection never produced.
TEST_F(Utm, InverseOnATinyEllipsoidLeavesTheOutputsUnwrittenWhenTheProjectionRefuses)
{
    ASSERT_EQ(SetUtmParameters(1000.0, F, 0), 0u);
    double lat = UNTOUCHED, lon = UNTOUCHED;
    const std::uint32_t bits = ConvertUtmToGeodetic(32, 'N', 500000, 5e6, lat, lon);
    EXPECT_EQ(bits, UTM_NORTHING_ERROR);
    EXPECT_EQ(lat, UNTOUCHED);
    EXPECT_EQ(lon, UNTOUCHED);
}
