// Geocentric conversion and datum shifts, against GeographicLib's exact
// geocentric conversion, PROJ's Helmert transformation, the published worked
// figures and hand computation.

#include <algorithm>
#include <cmath>
#include <limits>

#include <GeographicLib/Geocentric.hpp>
#include <gtest/gtest.h>
#include <proj.h>

#include "geodesy_test_support.h"

using namespace geodesy;
using geodesy_test::Deg;
using geodesy_test::GroundDistance;
using geodesy_test::Rad;

namespace
{

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double UNTOUCHED = 12345.0; // an output that must not be written
constexpr std::int32_t WGS84_INDEX = 1, WGS72_INDEX = 2, EUR7_INDEX = 3, DHDN_INDEX = 4;

const GeographicLib::Geocentric WGS84_GEOCENTRIC(6378137.0, 1 / 298.257223563);
const GeographicLib::Geocentric BESSEL_GEOCENTRIC(6377397.155, 1 / 299.1528128);

struct Position
{
    double lat, lon, h;
}; // degrees, metres

Position Shift(bool toWgs84, std::int32_t index, Position p)
{
    Position out{};
    const std::uint32_t bits = toWgs84 ? ShiftToWgs84(index, Rad(p.lat), Rad(p.lon), p.h, out.lat, out.lon, out.h)
                                       : ShiftFromWgs84(Rad(p.lat), Rad(p.lon), p.h, index, out.lat, out.lon, out.h);
    EXPECT_EQ(bits, 0u);
    return {Deg(out.lat), Deg(out.lon), out.h};
}

// The exact 587/16/393 m translation from Bessel 1841 to WGS 84.
Position ExactDhdnToWgs84(Position p)
{
    double X = 0, Y = 0, Z = 0;
    BESSEL_GEOCENTRIC.Forward(p.lat, p.lon, p.h, X, Y, Z);
    Position out{};
    WGS84_GEOCENTRIC.Reverse(X + 587, Y + 16, Z + 393, out.lat, out.lon, out.h);
    return out;
}

// The X of (0, 0, 0) is the axis of the geocentric ellipsoid currently set.
double CurrentGeocentricAxis()
{
    double X = 0, Y = 0, Z = 0;
    ConvertGeodeticToGeocentric(0, 0, 0, X, Y, Z);
    return X;
}

class DatumShift : public ::testing::Test
{
protected:
    void SetUp() override { geodesy_test::ResetGeodesyState(true); }
};

} // namespace

TEST_F(DatumShift, GeocentricSetUpRefusesImplausibleEllipsoidsAndKeepsThePreviousOne)
{
    ASSERT_EQ(SetGeocentricParameters(6377397.155, 1 / 299.1528128), 0u);
    EXPECT_EQ(SetGeocentricParameters(6378137.0, 1 / 200.0), GEOCENTRIC_FLATTENING_ERROR);
    EXPECT_EQ(SetGeocentricParameters(0.0, 1 / 200.0), GEOCENTRIC_AXIS_ERROR | GEOCENTRIC_FLATTENING_ERROR);
    EXPECT_EQ(SetGeocentricParameters(NaN, NaN), GEOCENTRIC_AXIS_ERROR | GEOCENTRIC_FLATTENING_ERROR);
    EXPECT_EQ(SetGeocentricParameters(6378137.0, 0.0), GEOCENTRIC_FLATTENING_ERROR);
    EXPECT_EQ(CurrentGeocentricAxis(), 6377397.155);
}

TEST_F(DatumShift, GeodeticToGeocentricIsExactAndTakesLongitudesBeyondPiAsWest)
{
    for (const Position& p :
         {Position{50, 10, 250}, Position{-33.9, 18.4, 1500}, Position{-90, 0, -50}, Position{45, 200, 100}})
    {
        double X = 0, Y = 0, Z = 0, Xe = 0, Ye = 0, Ze = 0;
        ASSERT_EQ(ConvertGeodeticToGeocentric(Rad(p.lat), Rad(p.lon), p.h, X, Y, Z), 0u);
        WGS84_GEOCENTRIC.Forward(p.lat, p.lon, p.h, Xe, Ye, Ze);
        EXPECT_NEAR(X, Xe, 1e-6) << p.lat; // m
        EXPECT_NEAR(Y, Ye, 1e-6) << p.lat; // m
        EXPECT_NEAR(Z, Ze, 1e-6) << p.lat; // m
    }
    struct Row
    {
        double lat, lon;
        std::uint32_t bits;
    };
    const Row bad[] = {{1.6, 0, GEOCENTRIC_LATITUDE_ERROR},
                       {0, -3.2, GEOCENTRIC_LONGITUDE_ERROR},
                       {NaN, 7.0, GEOCENTRIC_LATITUDE_ERROR | GEOCENTRIC_LONGITUDE_ERROR}};
    for (const Row& row : bad)
    {
        double X = UNTOUCHED, Y = UNTOUCHED, Z = UNTOUCHED;
        EXPECT_EQ(ConvertGeodeticToGeocentric(row.lat, row.lon, 0, X, Y, Z), row.bits);
        EXPECT_EQ(X, UNTOUCHED);
    }
}

TEST_F(DatumShift, GeocentricToGeodeticHandlesTheAxisTheCentreAndTheSurface)
{
    const double b = 6378137.0 * (1 - 1 / 298.257223563);
    struct Row
    {
        double X, Y, Z, lat, lon, h;
    };
    const Row rows[] = {
        {0, 0, 0, PI / 2, 0, -b}, {0, 0, 6356752.3142, PI / 2, 0, 0}, {0, 0, -6356852.3142, -PI / 2, 0, 100}};
    for (const Row& row : rows)
    {
        double lat = 0, lon = 0, h = 0;
        ConvertGeocentricToGeodetic(row.X, row.Y, row.Z, lat, lon, h);
        EXPECT_EQ(lat, row.lat);
        EXPECT_EQ(lon, row.lon);
        EXPECT_NEAR(h, row.h, 1e-3); // m, b is published to 0.1 mm
    }
    double lat = 0, lon = 0, h = 0;
    ConvertGeocentricToGeodetic(0, 5, 0, lat, lon, h);
    EXPECT_EQ(lon, PI / 2);

    for (double latitude = -89.5; latitude <= 89.5; latitude += 0.5)
    {
        double X = 0, Y = 0, Z = 0;
        WGS84_GEOCENTRIC.Forward(latitude, -71.25, 1000, X, Y, Z);
        ConvertGeocentricToGeodetic(X, Y, Z, lat, lon, h);
        // Closed method; measured maxima 4.7 mm horizontal, 5.5 mm in height.
        EXPECT_LT(GroundDistance(latitude, -71.25, Deg(lat), Deg(lon)), 0.006) << latitude; // m
        EXPECT_NEAR(h, 1000, 0.006) << latitude;                                            // m
    }
}

TEST_F(DatumShift, AWgs84PositionIsNotMovedEitherWay)
{
    double lat = 0, lon = 0, h = 0;
    EXPECT_EQ(ShiftToWgs84(WGS84_INDEX, -0.3, 6.2, 12.5, lat, lon, h), 0u);
    EXPECT_EQ(lat, -0.3);
    EXPECT_EQ(lon, 6.2);
    EXPECT_EQ(h, 12.5);
    EXPECT_EQ(ShiftFromWgs84(PI / 2, -PI, -3, WGS84_INDEX, lat, lon, h), 0u);
    EXPECT_EQ(lon, -PI);
}

TEST_F(DatumShift, DhdnIsShiftedByMolodenskyWithinFiveCentimetresOfTheExactTranslation)
{
    const Position worked = Shift(true, DHDN_INDEX, {50, 10, 0});
    EXPECT_NEAR(worked.lat, 49.998859555, 6e-10); // degrees, the figure's last digit
    EXPECT_NEAR(worked.lon, 9.998797906, 6e-10);  // degrees
    EXPECT_NEAR(worked.h, -26.457, 6e-4);         // m

    for (double lat = 47; lat <= 55; lat += 2)
    {
        for (double lon = 6; lon <= 24; lon += 3)
        {
            const Position expected = ExactDhdnToWgs84({lat, lon, 500});
            const Position wgs = Shift(true, DHDN_INDEX, {lat, lon, 500});
            EXPECT_LT(GroundDistance(expected.lat, expected.lon, wgs.lat, wgs.lon), 0.05) << lat << " " << lon; // m
            EXPECT_NEAR(wgs.h, expected.h, 0.05); // m; measured maxima 3.8 cm horizontal, 1.1 cm height
            // The second-order error has the same sign both ways, so a round
            // trip gets twice the one-way bound (measured 7.5 cm).
            const Position back = Shift(false, DHDN_INDEX, wgs);
            EXPECT_LT(GroundDistance(lat, lon, back.lat, back.lon), 0.1); // m
            EXPECT_NEAR(back.h, 500, 0.1);                                // m
        }
    }
}

// 89.75 degrees is honoured as the rounded figure 1.5664330036649106:
// there Molodensky applies; one ulp further, which is 89.75 * pi/180, the
// cartesian route takes over, leaving the geocentric state at its target.
TEST_F(DatumShift, NearThePoleDhdnGoesThroughGeocentricCoordinatesFromEightyNineDotSevenFive)
{
    const double a = 6377397.155, f = 1 / 299.1528128;
    for (double bound : {1.5664330036649106, -1.5664330036649106})
    {
        ASSERT_EQ(SetGeocentricParameters(6378388.0, 1 / 297.0), 0u);
        double lat = 0, lon = 0, h = 0, latM = 0, lonM = 0, hM = 0;
        ASSERT_EQ(ShiftToWgs84(DHDN_INDEX, bound, 0.2, 0, lat, lon, h), 0u);
        MolodenskyShift(a, 6378137.0 - a, f, 1 / 298.257223563 - f, 587, 16, 393, bound, 0.2, 0, latM, lonM, hM);
        EXPECT_EQ(lat, latM);
        EXPECT_EQ(lon, lonM);
        EXPECT_EQ(CurrentGeocentricAxis(), 6378388.0);

        const double beyond = std::nextafter(bound, 2 * bound);
        EXPECT_EQ(std::fabs(beyond), 89.75 * DEG_TO_RAD);
        ASSERT_EQ(ShiftToWgs84(DHDN_INDEX, beyond, 0.2, 0, lat, lon, h), 0u);
        EXPECT_EQ(CurrentGeocentricAxis(), 6378137.0);
    }

    const Position expected = ExactDhdnToWgs84({89.8, 10, 0});
    const Position wgs = Shift(true, DHDN_INDEX, {89.8, 10, 0});
    EXPECT_LT(GroundDistance(expected.lat, expected.lon, wgs.lat, wgs.lon), 0.001); // m
    EXPECT_NEAR(wgs.h, expected.h, 0.001);                                          // m
    Shift(false, DHDN_INDEX, wgs);
    EXPECT_EQ(CurrentGeocentricAxis(), 6377397.155); // left at Bessel 1841
}

// PROJ's reference: the pipeline it builds for +proj=longlat +ellps=intl
// +towgs84=-102,-102,-129,-0.413,0.184,-0.385,2.4664 (position-vector
// rotations there, hence the negated signs; scale in ppm), kept 3D.
TEST_F(DatumShift, Eur7IsTheCoordinateFrameHelmertOfProjWithinOneCentimetre)
{
    const Position worked = Shift(true, EUR7_INDEX, {50, 10, 0});
    EXPECT_NEAR(worked.lat, 49.999188274, 6e-10); // degrees, the figure's last digit
    EXPECT_NEAR(worked.lon, 9.998862295, 6e-10);  // degrees
    EXPECT_NEAR(worked.h, 38.365, 6e-4);          // m

    PJ_CONTEXT* context = proj_context_create();
    PJ* pipeline = proj_create(context, "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                        "+step +proj=cart +ellps=intl +step +proj=helmert +x=-102 +y=-102 +z=-129 "
                                        "+rx=-0.413 +ry=0.184 +rz=-0.385 +s=2.4664 +convention=position_vector "
                                        "+step +inv +proj=cart +ellps=WGS84 "
                                        "+step +proj=unitconvert +xy_in=rad +xy_out=deg");
    ASSERT_NE(pipeline, nullptr);
    for (double lat = -80; lat <= 80; lat += 20)
    {
        for (double lon = -170; lon <= 180; lon += 35)
        {
            const PJ_COORD expected = proj_trans(pipeline, PJ_FWD, proj_coord(lon, lat, 0, 0));
            const Position wgs = Shift(true, EUR7_INDEX, {lat, lon, 0});
            EXPECT_LT(GroundDistance(expected.lpz.phi, expected.lpz.lam, wgs.lat, wgs.lon), 0.01)
                << lat << " " << lon;                 // m; measured 4.5 mm
            EXPECT_NEAR(wgs.h, expected.lpz.z, 0.01); // m; measured 5.3 mm
            // The reverse signs invert the Helmert step to first order, and
            // each geocentric-to-geodetic step adds a few millimetres.
            const Position back = Shift(false, EUR7_INDEX, wgs);
            EXPECT_LT(GroundDistance(lat, lon, back.lat, back.lon), 0.015); // m; measured 1.0 cm
            EXPECT_NEAR(back.h, 0, 0.015);                                  // m; measured 1.2 cm
        }
    }
    proj_destroy(pipeline);
    proj_context_destroy(context);

    double x = 0, y = 0, z = 0;
    ASSERT_EQ(ShiftGeocentricFromWgs84(4100000, 720000, 4860000, DHDN_INDEX, x, y, z), 0u);
    EXPECT_EQ(x, 4100000 - 587);
    EXPECT_EQ(z, 4860000 - 393);
}

TEST_F(DatumShift, Wgs72MovesTheOriginHalfASecondEastAndChangesTheHeightByTheFixedTerms)
{
    // Equator, by hand: 4.5 m along Z move the latitude by 4.5/a72 rad; the
    // height changes by -(a84 - a72) + 1.4 = -0.6 m.
    double lat = 0, lon = 0, h = 0;
    Wgs72ToWgs84Geodetic(0, 0.1, 0, lat, lon, h);
    EXPECT_NEAR(lat, 4.5 / 6378135.0, 1e-15); // rad
    EXPECT_EQ(lon, 0.1 + 2.685867793346782e-06);
    EXPECT_NEAR(h, -0.6, 1e-9); // m
    Wgs84ToWgs72Geodetic(0, 0.1, 0, lat, lon, h);
    EXPECT_NEAR(lat, -4.5 / 6378137.0, 1e-15); // rad
    EXPECT_NEAR(h, 0.6, 1e-9);                 // m
    // 45 degrees: 4.5 sin 45 + a72 (f84 - f72) / 2 - 0.6 = 2.681513 m.
    Wgs72ToWgs84Geodetic(PI / 4, 0, 10, lat, lon, h);
    EXPECT_NEAR(h, 10 + 2.681513, 1e-6); // m
    // Past the antimeridian the longitude comes back from the west.
    Wgs72ToWgs84Geodetic(0, PI - 1e-6, 0, lat, lon, h);
    EXPECT_NEAR(lon, -PI + 1.685867793346782e-06, 1e-15); // rad

    // The datum shifts use these formulas, geodetically and geocentrically.
    double latS = 0, lonS = 0, hS = 0, X = 0, Y = 0, Z = 0, x = 0, y = 0, z = 0, Xe = 0, Ye = 0, Ze = 0;
    ASSERT_EQ(ShiftToWgs84(WGS72_INDEX, 0.6, 0.3, 50, latS, lonS, hS), 0u);
    Wgs72ToWgs84Geodetic(0.6, 0.3, 50, lat, lon, h);
    EXPECT_EQ(latS, lat);
    EXPECT_EQ(hS, h);
    GeographicLib::Geocentric(6378135.0, 1 / 298.26).Forward(Deg(0.6), Deg(0.3), 50, X, Y, Z);
    ASSERT_EQ(ShiftGeocentricToWgs84(WGS72_INDEX, X, Y, Z, x, y, z), 0u);
    WGS84_GEOCENTRIC.Forward(Deg(lat), Deg(lon), h, Xe, Ye, Ze);
    EXPECT_NEAR(x, Xe, 0.01); // m, two closed geocentric steps
    EXPECT_NEAR(z, Ze, 0.01); // m
}

TEST_F(DatumShift, BadIndexLatitudeAndLongitudeAreReportedTogetherWithoutOutput)
{
    struct Row
    {
        bool toWgs84;
        std::int32_t index;
        double lat, lon;
        std::uint32_t bits;
    };
    const Row rows[] = {
        {true, 0, 0.5, 0.5, DATUM_SOURCE_INDEX_ERROR},
        {true, 5, 0.5, 0.5, DATUM_SOURCE_INDEX_ERROR},
        {false, 5, 0.5, 0.5, DATUM_TARGET_INDEX_ERROR},
        {true, 4, 1.6, 0.5, DATUM_LATITUDE_ERROR},
        {false, 4, 0.5, 7.0, DATUM_LONGITUDE_ERROR},
        {true, 0, 1.6, 0.5, 0x900},
        {true, 3, NaN, std::nextafter(-PI, -4.0), DATUM_LATITUDE_ERROR | DATUM_LONGITUDE_ERROR},
    };
    for (const Row& row : rows)
    {
        double lat = UNTOUCHED, lon = UNTOUCHED, h = UNTOUCHED;
        const std::uint32_t bits = row.toWgs84 ? ShiftToWgs84(row.index, row.lat, row.lon, 0, lat, lon, h)
                                               : ShiftFromWgs84(row.lat, row.lon, 0, row.index, lat, lon, h);
        EXPECT_EQ(bits, row.bits) << row.index << " " << row.lat << " " << row.lon;
        EXPECT_EQ(lat, UNTOUCHED);
        EXPECT_EQ(h, UNTOUCHED);
    }
    double x = UNTOUCHED, y = UNTOUCHED, z = UNTOUCHED;
    EXPECT_EQ(ShiftGeocentricToWgs84(5, 1, 2, 3, x, y, z), DATUM_SOURCE_INDEX_ERROR);
    EXPECT_EQ(ShiftGeocentricFromWgs84(1, 2, 3, 0, x, y, z), DATUM_TARGET_INDEX_ERROR);
    EXPECT_EQ(x, UNTOUCHED);
}

TEST_F(DatumShift, WithoutTheTablesShiftsReportWhatIsMissingAndWriteNothing)
{
    geodesy_test::ResetGeodesyState(false);
    double lat = UNTOUCHED, lon = UNTOUCHED, h = UNTOUCHED;
    EXPECT_EQ(ShiftToWgs84(1, 0.5, 0.5, 0, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(ShiftFromWgs84(0.5, 0.5, 0, 1, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(ShiftGeocentricToWgs84(1, 1, 2, 3, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(lat, UNTOUCHED);

    // Datum table only: WGS 72 would run its formulas on zero axes, so it is
    // refused like the datums whose ellipsoid cannot be read.
    ASSERT_EQ(InitializeDatums(), 0u);
    for (std::int32_t index : {WGS72_INDEX, EUR7_INDEX, DHDN_INDEX})
    {
        EXPECT_EQ(ShiftToWgs84(index, 0.5, 0.5, 0, lat, lon, h), DATUM_ELLIPSOID_ERROR) << index;
        EXPECT_EQ(ShiftFromWgs84(0.5, 0.5, 0, index, lat, lon, h), DATUM_ELLIPSOID_ERROR) << index;
    }
    EXPECT_EQ(ShiftGeocentricToWgs84(WGS72_INDEX, 1, 2, 3, lat, lon, h), DATUM_ELLIPSOID_ERROR);
    EXPECT_EQ(lat, UNTOUCHED);
    EXPECT_EQ(ShiftToWgs84(WGS84_INDEX, 0.5, 0.5, 7, lat, lon, h), 0u); // needs no ellipsoid
}
