// Transverse Mercator series against GeographicLib's exact Transverse
// Mercator and exact meridian arc, plus the set-up and range rules.

#include <cmath>
#include <limits>

#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/TransverseMercatorExact.hpp>
#include <gtest/gtest.h>

#include "geodesy_test_support.h"

using namespace geodesy;
using geodesy_test::Rad;

namespace
{

constexpr double A = 6378137.0, F = 1 / 298.257223563, K0 = 0.9996;
constexpr double CM9 = 0.15707963267948966; // 9 degrees
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double INF = std::numeric_limits<double>::infinity();
constexpr double UNTOUCHED = 12345.0;

const GeographicLib::TransverseMercatorExact EXACT(A, F, K0);

class TransverseMercator : public ::testing::Test
{
protected:
    void SetUp() override
    {
        geodesy_test::ResetGeodesyState(false);
        ASSERT_EQ(SetTransverseMercatorParameters(A, F, 0, CM9, 500000, 0, K0), 0u);
    }
};

} // namespace

TEST_F(TransverseMercator, OnTheCentralMeridianAndOneDegreeEastTheSeriesMatchTheExactProjection)
{
    double E0 = 0, N0 = 0, lat = 0, lon = 0;
    ASSERT_EQ(ConvertGeodeticToTransverseMercator(Rad(50), CM9, E0, N0), 0u);
    EXPECT_EQ(E0, 500000.0);
    EXPECT_NEAR(N0, K0 * GeographicLib::Ellipsoid(A, F).MeridianDistance(50), 1e-6); // m
    ASSERT_EQ(ConvertTransverseMercatorToGeodetic(E0, N0, lat, lon), 0u);
    EXPECT_NEAR(lat, Rad(50), 1e-9); // rad
    EXPECT_EQ(lon, CM9);

    double E = 0, N = 0, x = 0, y = 0;
    ASSERT_EQ(ConvertGeodeticToTransverseMercator(Rad(50), Rad(10), E, N), 0u);
    EXPECT_GT(N, N0);
    EXACT.Forward(9, 50, 10, x, y);
    EXPECT_NEAR(E, 500000 + x, 1e-5); // m
    EXPECT_NEAR(N, y, 1e-5);          // m
    ASSERT_EQ(ConvertTransverseMercatorToGeodetic(E, N, lat, lon), 0u);
    EXPECT_NEAR(lat, Rad(50), 1e-9); // rad
    EXPECT_NEAR(lon, Rad(10), 1e-9); // rad
}

// Half-widths on WGS 84, the series' easting at the equator and northing at
// 89.99 degrees, 90 degrees from the central meridian with scale 1,
// evaluated separately (Python, double): 18577793.6576 m and 10001965.7017 m.
TEST_F(TransverseMercator, AcceptedRangesComeFromTheEllipsoidAloneWhateverTheOrigin)
{
    const double dE = 18577793.657600805, dN = 10001965.701686263; // m
    struct Setup
    {
        double FE, FN, k0, phi0;
    };
    for (const Setup& s : {Setup{0, 0, 1, 0}, Setup{1e6, -2e6, 2.5, 0.7}, Setup{-3e5, 5e5, 0.3, -1.2}})
    {
        ASSERT_EQ(SetTransverseMercatorParameters(A, F, s.phi0, 0.3, s.FE, s.FN, s.k0), 0u);
        struct Probe
        {
            double dE, dN;
            std::uint32_t refusal;
        };
        const Probe probes[] = {
            {dE - 0.01, 0, 0},
            {-(dE - 0.01), 0, 0},
            {0, dN - 0.01, 0},
            {0, -(dN - 0.01), 0},
            {dE + 0.01, 0, TM_EASTING_ERROR},
            {-(dE + 0.01), 0, TM_EASTING_ERROR},
            {0, dN + 0.01, TM_NORTHING_ERROR},
            {0, -(dN + 0.01), TM_NORTHING_ERROR},
        };
        for (const Probe& p : probes)
        {
            double lat = UNTOUCHED, lon = UNTOUCHED;
            const std::uint32_t bits = ConvertTransverseMercatorToGeodetic(s.FE + p.dE, s.FN + p.dN, lat, lon);
            EXPECT_EQ(lat == UNTOUCHED, p.refusal != 0) << s.FE << " " << p.dE << " " << p.dN;
            EXPECT_TRUE(p.refusal == 0 || bits == p.refusal);
        }
    }
}

// 89.99 degrees is honoured as the rounded figure 1.570621793869697;
// 89.99 * pi/180 is one ulp larger and refused.
TEST_F(TransverseMercator, ForwardRefusesPolarLatitudesAndFarLongitudesButOnlyWarnsBeyondNineDegrees)
{
    const double bound = 1.570621793869697;
    struct Row
    {
        double lat, lon;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {1.5707, CM9, TM_LATITUDE_ERROR},
        {bound, CM9, 0},
        {-bound, CM9, 0},
        {89.99 * DEG_TO_RAD, CM9, TM_LATITUDE_ERROR},
        {-89.99 * DEG_TO_RAD, CM9, TM_LATITUDE_ERROR},
        {0, CM9 + Rad(91), TM_LONGITUDE_ERROR},
        {0, CM9 - Rad(91), TM_LONGITUDE_ERROR},
        {Rad(50), Rad(19), TM_DISTORTION_WARNING},
        {NaN, CM9, TM_LATITUDE_ERROR},
        {INF, NaN, TM_LATITUDE_ERROR | TM_LONGITUDE_ERROR},
    };
    for (const Row& row : rows)
    {
        double E = UNTOUCHED, N = UNTOUCHED;
        EXPECT_EQ(ConvertGeodeticToTransverseMercator(row.lat, row.lon, E, N), row.bits) << row.lat << " " << row.lon;
        EXPECT_EQ(N != UNTOUCHED, (row.bits & ~TM_DISTORTION_WARNING) == 0);
    }
    // The warned point is still projected, to a few centimetres.
    double E = 0, N = 0, x = 0, y = 0;
    ConvertGeodeticToTransverseMercator(Rad(50), Rad(19), E, N);
    EXACT.Forward(9, 50, 19, x, y);
    EXPECT_NEAR(E, 500000 + x, 0.05); // m
    EXPECT_NEAR(N, y, 0.05);          // m
}

TEST_F(TransverseMercator, DifferencesBelowTheThresholdsMapExactlyOntoTheCentralMeridian)
{
    double E = 0, N = 0, lat = 0, lon = 0;
    ConvertGeodeticToTransverseMercator(Rad(50), CM9 + 1.9e-10, E, N);
    EXPECT_EQ(E, 500000.0);
    ConvertGeodeticToTransverseMercator(Rad(50), CM9 + 3e-10, E, N);
    EXPECT_GT(E, 500000.0);
    ConvertTransverseMercatorToGeodetic(500000.00009, 5.5e6, lat, lon);
    EXPECT_EQ(lon, CM9);
    ConvertTransverseMercatorToGeodetic(500000.0002, 5.5e6, lat, lon);
    EXPECT_GT(lon, CM9);
}

TEST_F(TransverseMercator, PointsAcrossTheAntimeridianAreProjectedAndComeBackWithinPi)
{
    // Central meridian 179 E, point 179 W: 2 degrees east across the line,
    // no distortion warning. (Judging the difference before wrapping it
    // would flag every such point as more than 9 degrees away.)
    ASSERT_EQ(SetTransverseMercatorParameters(A, F, 0, Rad(179), 500000, 0, K0), 0u);
    double E = 0, N = 0, x = 0, y = 0, lat = 0, lon = 0;
    ASSERT_EQ(ConvertGeodeticToTransverseMercator(Rad(-30), Rad(-179), E, N), 0u);
    EXACT.Forward(179, -30, -179, x, y);
    EXPECT_NEAR(E, 500000 + x, 1e-5); // m
    EXPECT_NEAR(N, y, 1e-5);          // m
    ASSERT_EQ(ConvertTransverseMercatorToGeodetic(E, N, lat, lon), 0u);
    EXPECT_NEAR(lon, Rad(-179), 1e-9); // rad

    // Central meridian 179 W, point 179 E, 2 degrees west across the line:
    // the series give 181 W, which is brought back to 179 E.
    ASSERT_EQ(SetTransverseMercatorParameters(A, F, 0, Rad(-179), 500000, 0, K0), 0u);
    ASSERT_EQ(ConvertGeodeticToTransverseMercator(Rad(-30), Rad(179), E, N), 0u);
    ASSERT_EQ(ConvertTransverseMercatorToGeodetic(E, N, lat, lon), 0u);
    EXPECT_NEAR(lon, Rad(179), 1e-9); // rad

    // A central meridian given beyond pi is stored as its western equivalent.
    ASSERT_EQ(SetTransverseMercatorParameters(A, F, 0, Rad(358), 500000, 0, K0), 0u);
    ConvertGeodeticToTransverseMercator(Rad(10), Rad(-2), E, N);
    EXPECT_EQ(E, 500000.0);
}

TEST_F(TransverseMercator, RefusedSetUpsKeepTheWholePreviousStateAndTheOriginMapsOntoTheFalseOrigin)
{
    struct Row
    {
        double a, f, phi0, lam0, k0;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {A, F, 0, CM9, 0.2, TM_SCALE_FACTOR_ERROR},
        {-1, 1 / 100.0, 0, CM9, K0, TM_AXIS_ERROR | TM_FLATTENING_ERROR},
        {A, F, 1.6, CM9, K0, TM_ORIGIN_LATITUDE_ERROR},
        {A, F, 0, -3.2, K0, TM_CENTRAL_MERIDIAN_ERROR},
        {NaN, NaN, NaN, NaN, NaN, 0x1F0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SetTransverseMercatorParameters(row.a, row.f, row.phi0, row.lam0, 0, 0, row.k0), row.bits);
    double E = 0, N = 0, x = 0, y = 0, lat = 0, lon = 0;
    ConvertGeodeticToTransverseMercator(Rad(50), Rad(10), E, N);
    EXACT.Forward(9, 50, 10, x, y);
    EXPECT_NEAR(E, 500000 + x, 1e-5); // m, still the projection set up first
    EXPECT_NEAR(N, y, 1e-5);          // m

    ASSERT_EQ(SetTransverseMercatorParameters(A, F, 0.7, 0.2, 2000, 1000, 1.0), 0u);
    ASSERT_EQ(ConvertGeodeticToTransverseMercator(0.7, 0.2, E, N), 0u);
    EXPECT_EQ(E, 2000.0);
    EXPECT_EQ(N, 1000.0);
    ASSERT_EQ(ConvertTransverseMercatorToGeodetic(2000, 1000, lat, lon), 0u);
    EXPECT_NEAR(lat, 0.7, 1e-12); // rad
    EXPECT_EQ(lon, 0.2);
}
