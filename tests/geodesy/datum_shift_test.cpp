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

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double UNTOUCHED = 12345.0;  // sentinel: an output that must not be written

constexpr std::int32_t WGS84_INDEX = 1;
constexpr std::int32_t WGS72_INDEX = 2;
constexpr std::int32_t EUR7_INDEX = 3;
constexpr std::int32_t DHDN_INDEX = 4;

const GeographicLib::Geocentric& Wgs84Geocentric()
{
    static const GeographicLib::Geocentric g(6378137.0, 1 / 298.257223563);
    return g;
}

const GeographicLib::Geocentric& BesselGeocentric()
{
    static const GeographicLib::Geocentric g(6377397.155, 1 / 299.1528128);
    return g;
}

struct Position { double lat; double lon; double h; };  // degrees, metres

Position ShiftTo(std::int32_t index, Position p)
{
    Position out{};
    EXPECT_EQ(ShiftToWgs84(index, Rad(p.lat), Rad(p.lon), p.h, out.lat, out.lon, out.h), 0u);
    return {Deg(out.lat), Deg(out.lon), out.h};
}

Position ShiftFrom(std::int32_t index, Position p)
{
    Position out{};
    EXPECT_EQ(ShiftFromWgs84(Rad(p.lat), Rad(p.lon), p.h, index, out.lat, out.lon, out.h), 0u);
    return {Deg(out.lat), Deg(out.lon), out.h};
}

// The exact 587/16/393 m translation from Bessel 1841 to WGS 84.
Position ExactDhdnToWgs84(Position p)
{
    double X = 0, Y = 0, Z = 0;
    BesselGeocentric().Forward(p.lat, p.lon, p.h, X, Y, Z);
    Position out{};
    Wgs84Geocentric().Reverse(X + 587, Y + 16, Z + 393, out.lat, out.lon, out.h);
    return out;
}

// The X coordinate of (0, 0, 0) is the semi-major axis of the geocentric
// ellipsoid currently set.
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

// PROJ's coordinate-frame Helmert for EUR-7 through geocentric coordinates:
// the pipeline PROJ builds for +towgs84=-102,-102,-129,-0.413,0.184,-0.385,2.4664
// on the International ellipsoid (position-vector rotations there, hence the
// negated signs; scale in ppm), kept three-dimensional.
class Eur7Proj
{
public:
    Eur7Proj()
    {
        m_pContext = proj_context_create();
        m_pPipeline = proj_create(m_pContext,
                                  "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad "
                                  "+step +proj=cart +ellps=intl "
                                  "+step +proj=helmert +x=-102 +y=-102 +z=-129 +rx=-0.413 +ry=0.184 +rz=-0.385 "
                                  "+s=2.4664 +convention=position_vector "
                                  "+step +inv +proj=cart +ellps=WGS84 "
                                  "+step +proj=unitconvert +xy_in=rad +xy_out=deg");
        m_pHelmert = proj_create(m_pContext, "+proj=helmert +x=-102 +y=-102 +z=-129 +rx=0.413 +ry=-0.184 +rz=0.385 "
                                             "+s=2.4664 +convention=coordinate_frame");
    }
    ~Eur7Proj()
    {
        proj_destroy(m_pHelmert);
        proj_destroy(m_pPipeline);
        proj_context_destroy(m_pContext);
    }
    Eur7Proj(const Eur7Proj&) = delete;
    Eur7Proj& operator=(const Eur7Proj&) = delete;

    bool IsValid() const { return m_pPipeline != nullptr && m_pHelmert != nullptr; }

    Position ToWgs84(Position p) const
    {
        const PJ_COORD out = proj_trans(m_pPipeline, PJ_FWD, proj_coord(p.lon, p.lat, p.h, 0));
        return {out.lpz.phi, out.lpz.lam, out.lpz.z};
    }

    PJ_COORD Helmert(PJ_DIRECTION direction, double X, double Y, double Z) const
    {
        return proj_trans(m_pHelmert, direction, proj_coord(X, Y, Z, 0));
    }

private:
    PJ_CONTEXT* m_pContext = nullptr;
    PJ* m_pPipeline = nullptr;
    PJ* m_pHelmert = nullptr;
};

}  // namespace

TEST_F(DatumShift, GeocentricSetUpRefusesImplausibleEllipsoidsAndKeepsThePreviousOne)
{
    ASSERT_EQ(SetGeocentricParameters(6377397.155, 1 / 299.1528128), 0u);
    struct Row { double a; double f; std::uint32_t bits; };
    const Row rows[] = {
        {6378137.0, 1 / 200.0, GEOCENTRIC_FLATTENING_ERROR},
        {0.0, 1 / 200.0, GEOCENTRIC_AXIS_ERROR | GEOCENTRIC_FLATTENING_ERROR},
        {-1.0, 1 / 300.0, GEOCENTRIC_AXIS_ERROR},
        {NaN, 1 / 300.0, GEOCENTRIC_AXIS_ERROR},
        {6378137.0, NaN, GEOCENTRIC_FLATTENING_ERROR},
        {6378137.0, 0.0, GEOCENTRIC_FLATTENING_ERROR},
        {6378137.0, 1 / 350.0001, GEOCENTRIC_FLATTENING_ERROR},
    };
    for (const Row& row : rows)
        EXPECT_EQ(SetGeocentricParameters(row.a, row.f), row.bits) << row.a << " 1/" << 1 / row.f;

    double X = 0, Y = 0, Z = 0, Xe = 0, Ye = 0, Ze = 0;
    ASSERT_EQ(ConvertGeodeticToGeocentric(Rad(50), Rad(10), 300, X, Y, Z), 0u);
    BesselGeocentric().Forward(50, 10, 300, Xe, Ye, Ze);
    EXPECT_NEAR(X, Xe, 1e-6);  // m
    EXPECT_NEAR(Z, Ze, 1e-6);  // m

    EXPECT_EQ(SetGeocentricParameters(6378137.0, 1 / 250.0), 0u);
    EXPECT_EQ(SetGeocentricParameters(6378137.0, 1 / 350.0), 0u);
}

TEST_F(DatumShift, GeodeticToGeocentricIsExactAndTakesLongitudesBeyondPiAsWest)
{
    const Position points[] = {{0, 0, 0}, {50, 10, 250}, {-33.9, 18.4, 1500}, {89.9, -120, 0}, {-90, 0, -50},
                               {45, 200, 100}, {12, 360, 0}};
    for (const Position& p : points) {
        SCOPED_TRACE(testing::Message() << p.lat << " " << p.lon);
        double X = 0, Y = 0, Z = 0, Xe = 0, Ye = 0, Ze = 0;
        ASSERT_EQ(ConvertGeodeticToGeocentric(Rad(p.lat), Rad(p.lon), p.h, X, Y, Z), 0u);
        Wgs84Geocentric().Forward(p.lat, p.lon > 180 ? p.lon - 360 : p.lon, p.h, Xe, Ye, Ze);
        EXPECT_NEAR(X, Xe, 1e-6);  // m
        EXPECT_NEAR(Y, Ye, 1e-6);  // m
        EXPECT_NEAR(Z, Ze, 1e-6);  // m
    }

    struct Row { double lat; double lon; std::uint32_t bits; };
    const Row bad[] = {
        {1.6, 0, GEOCENTRIC_LATITUDE_ERROR}, {-1.6, 0, GEOCENTRIC_LATITUDE_ERROR},
        {0, 7.0, GEOCENTRIC_LONGITUDE_ERROR}, {0, -3.2, GEOCENTRIC_LONGITUDE_ERROR},
        {NaN, 0, GEOCENTRIC_LATITUDE_ERROR}, {0, NaN, GEOCENTRIC_LONGITUDE_ERROR},
        {2, 7, GEOCENTRIC_LATITUDE_ERROR | GEOCENTRIC_LONGITUDE_ERROR},
    };
    for (const Row& row : bad) {
        double X = UNTOUCHED, Y = UNTOUCHED, Z = UNTOUCHED;
        EXPECT_EQ(ConvertGeodeticToGeocentric(row.lat, row.lon, 0, X, Y, Z), row.bits) << row.lat << " " << row.lon;
        EXPECT_EQ(X, UNTOUCHED);
        EXPECT_EQ(Z, UNTOUCHED);
    }
}

TEST_F(DatumShift, GeocentricToGeodeticHandlesTheAxisAndTheCentre)
{
    const double b = 6378137.0 * (1 - 1 / 298.257223563);  // 6356752.314245 m
    struct Row { double X, Y, Z, lat, lon, h; };
    const Row rows[] = {
        {0, 0, 0, PI / 2, 0, -b},
        {0, 0, 6356752.3142, PI / 2, 0, 0},
        {0, 0, -6356852.3142, -PI / 2, 0, 100},
    };
    for (const Row& row : rows) {
        double lat = 0, lon = 0, h = 0;
        ConvertGeocentricToGeodetic(row.X, row.Y, row.Z, lat, lon, h);
        EXPECT_EQ(lat, row.lat);
        EXPECT_EQ(lon, row.lon);
        EXPECT_NEAR(h, row.h, 1e-3);  // m, b is published to 0.1 mm
    }
    double lat = 0, lon = 0, h = 0;
    ConvertGeocentricToGeodetic(0, 5, 0, lat, lon, h);
    EXPECT_EQ(lon, PI / 2);
    ConvertGeocentricToGeodetic(0, -5, 0, lat, lon, h);
    EXPECT_EQ(lon, -PI / 2);
}

TEST_F(DatumShift, GeocentricToGeodeticIsWithinAFewMillimetresNearTheSurface)
{
    for (double h : {-1000.0, 0.0, 10000.0}) {
        for (double latitude = -89.5; latitude <= 89.5; latitude += 0.5) {
            double X = 0, Y = 0, Z = 0, lat = 0, lon = 0, height = 0;
            Wgs84Geocentric().Forward(latitude, -71.25, h, X, Y, Z);
            ConvertGeocentricToGeodetic(X, Y, Z, lat, lon, height);
            // Measured maxima 4.7 mm horizontal, 5.5 mm in height.
            EXPECT_LT(GroundDistance(latitude, -71.25, Deg(lat), Deg(lon)), 0.006) << latitude << " " << h;  // m
            EXPECT_NEAR(height, h, 0.006) << latitude;  // m
        }
    }
}

TEST_F(DatumShift, AWgs84PositionIsNotMovedEitherWay)
{
    for (const Position& p : {Position{50, 10, 0}, Position{-90, 359.9, 12.5}, Position{90, -180, -3}}) {
        double lat = 0, lon = 0, h = 0;
        EXPECT_EQ(ShiftToWgs84(WGS84_INDEX, Rad(p.lat), Rad(p.lon), p.h, lat, lon, h), 0u);
        EXPECT_EQ(lat, Rad(p.lat));
        EXPECT_EQ(lon, Rad(p.lon));
        EXPECT_EQ(h, p.h);
        EXPECT_EQ(ShiftFromWgs84(Rad(p.lat), Rad(p.lon), p.h, WGS84_INDEX, lat, lon, h), 0u);
        EXPECT_EQ(lon, Rad(p.lon));
    }
}

TEST_F(DatumShift, ADhdnPointIsShiftedByMolodenskyAsInTheWorkedExample)
{
    const Position wgs = ShiftTo(DHDN_INDEX, {50, 10, 0});
    EXPECT_NEAR(wgs.lat, 49.998859555, 6e-10);  // degrees, the figure's last digit
    EXPECT_NEAR(wgs.lon, 9.998797906, 6e-10);   // degrees
    EXPECT_NEAR(wgs.h, -26.457, 6e-4);          // m
}

TEST_F(DatumShift, DhdnAgreesWithTheExactTranslationWithinFiveCentimetresInItsArea)
{
    double worstRoundTrip = 0;
    for (double lat = 47; lat <= 55; lat += 1) {
        for (double lon = 6; lon <= 24; lon += 2) {
            for (double h : {0.0, 2000.0}) {
                const Position expected = ExactDhdnToWgs84({lat, lon, h});
                const Position wgs = ShiftTo(DHDN_INDEX, {lat, lon, h});
                EXPECT_LT(GroundDistance(expected.lat, expected.lon, wgs.lat, wgs.lon), 0.05)
                    << lat << " " << lon;                      // m; measured maximum 3.8 cm
                EXPECT_NEAR(wgs.h, expected.h, 0.05);          // m; measured maximum 1.1 cm
                // Molodensky's second-order error has the same sign both
                // ways, so a round trip is allowed twice the one-way bound.
                const Position back = ShiftFrom(DHDN_INDEX, wgs);
                worstRoundTrip = std::max(worstRoundTrip, GroundDistance(lat, lon, back.lat, back.lon));
                EXPECT_NEAR(back.h, h, 0.1);  // m
            }
        }
    }
    EXPECT_LT(worstRoundTrip, 0.1);  // m; measured 7.5 cm
}

TEST_F(DatumShift, ADhdnPointNearThePoleGoesThroughGeocentricCoordinates)
{
    ASSERT_EQ(SetGeocentricParameters(6378388.0, 1 / 297.0), 0u);
    const Position expected = ExactDhdnToWgs84({89.8, 10, 0});
    const Position wgs = ShiftTo(DHDN_INDEX, {89.8, 10, 0});
    EXPECT_LT(GroundDistance(expected.lat, expected.lon, wgs.lat, wgs.lon), 0.001);  // m
    EXPECT_NEAR(wgs.h, expected.h, 0.001);                                          // m
    EXPECT_EQ(CurrentGeocentricAxis(), 6378137.0);  // left at the target, WGS 84

    ShiftFrom(DHDN_INDEX, wgs);
    EXPECT_EQ(CurrentGeocentricAxis(), 6377397.155);  // left at Bessel 1841
}

// 89.75 degrees is honoured as the rounded figure 1.5664330036649106:
// there Molodensky still applies; one ulp further (89.75 * pi/180) the
// cartesian route takes over.
TEST_F(DatumShift, MolodenskyEndsAtEightyNineDotSevenFiveDegreesOnBothSides)
{
    const double a = 6377397.155, f = 1 / 299.1528128;
    const double da = 6378137.0 - a, df = 1 / 298.257223563 - f;
    for (double bound : {1.5664330036649106, -1.5664330036649106}) {
        SCOPED_TRACE(bound);
        ASSERT_EQ(SetGeocentricParameters(6378388.0, 1 / 297.0), 0u);
        double lat = 0, lon = 0, h = 0, latM = 0, lonM = 0, hM = 0;
        ASSERT_EQ(ShiftToWgs84(DHDN_INDEX, bound, 0.2, 0, lat, lon, h), 0u);
        MolodenskyShift(a, da, f, df, 587, 16, 393, bound, 0.2, 0, latM, lonM, hM);
        EXPECT_EQ(lat, latM);
        EXPECT_EQ(lon, lonM);
        EXPECT_EQ(CurrentGeocentricAxis(), 6378388.0);  // Molodensky leaves it alone

        const double beyond = std::nextafter(bound, 2 * bound);
        EXPECT_EQ(std::fabs(beyond), 89.75 * DEG_TO_RAD);
        ASSERT_EQ(ShiftToWgs84(DHDN_INDEX, beyond, 0.2, 0, lat, lon, h), 0u);
        EXPECT_EQ(CurrentGeocentricAxis(), 6378137.0);  // the cartesian route ran
    }
}

TEST_F(DatumShift, AnEur7PointGoesThroughGeocentricCoordinatesAsInTheWorkedExample)
{
    const Position wgs = ShiftTo(EUR7_INDEX, {50, 10, 0});
    EXPECT_NEAR(wgs.lat, 49.999188274, 6e-10);  // degrees, the figure's last digit
    EXPECT_NEAR(wgs.lon, 9.998862295, 6e-10);   // degrees
    EXPECT_NEAR(wgs.h, 38.365, 6e-4);           // m

    const Position back = ShiftFrom(EUR7_INDEX, wgs);
    EXPECT_LT(GroundDistance(50, 10, back.lat, back.lon), 0.01);  // m
    EXPECT_NEAR(back.h, 0, 0.015);                               // m
}

TEST_F(DatumShift, Eur7AgreesWithProjsCoordinateFrameHelmertWithinOneCentimetre)
{
    const Eur7Proj proj;
    ASSERT_TRUE(proj.IsValid());
    for (double lat = -80; lat <= 80; lat += 10) {
        for (double lon = -170; lon <= 180; lon += 25) {
            SCOPED_TRACE(testing::Message() << lat << " " << lon);
            const Position expected = proj.ToWgs84({lat, lon, 0});
            const Position wgs = ShiftTo(EUR7_INDEX, {lat, lon, 0});
            EXPECT_LT(GroundDistance(expected.lat, expected.lon, wgs.lat, wgs.lon), 0.01);  // m; measured 4.5 mm
            EXPECT_NEAR(wgs.h, expected.h, 0.01);                                          // m; measured 5.3 mm
            // The reverse signs invert the Helmert step to first order, and
            // each geocentric-to-geodetic step adds a few millimetres.
            const Position back = ShiftFrom(EUR7_INDEX, wgs);
            EXPECT_LT(GroundDistance(lat, lon, back.lat, back.lon), 0.015);  // m; measured 1.0 cm
            EXPECT_NEAR(back.h, 0, 0.015);                                  // m; measured 1.2 cm
        }
    }
}

TEST_F(DatumShift, GeocentricShiftsTranslateAndRotateInTheCoordinateFrameConvention)
{
    const double X = 4100000.0, Y = 720000.0, Z = 4860000.0;
    double x = 0, y = 0, z = 0;
    ASSERT_EQ(ShiftGeocentricToWgs84(DHDN_INDEX, X, Y, Z, x, y, z), 0u);
    EXPECT_EQ(x, X + 587);
    EXPECT_EQ(y, Y + 16);
    EXPECT_EQ(z, Z + 393);
    ASSERT_EQ(ShiftGeocentricFromWgs84(X, Y, Z, DHDN_INDEX, x, y, z), 0u);
    EXPECT_EQ(z, Z - 393);

    // PROJ applies (1 + s) to the rotated vector; the small-angle form here
    // omits s times the rotation, about 0.03 mm.
    const Eur7Proj proj;
    ASSERT_TRUE(proj.IsValid());
    const PJ_COORD forward = proj.Helmert(PJ_FWD, X, Y, Z);
    ASSERT_EQ(ShiftGeocentricToWgs84(EUR7_INDEX, X, Y, Z, x, y, z), 0u);
    EXPECT_NEAR(x, forward.xyz.x, 1e-4);  // m
    EXPECT_NEAR(y, forward.xyz.y, 1e-4);  // m
    EXPECT_NEAR(z, forward.xyz.z, 1e-4);  // m
    // The reverse is an inverse to first order only.
    const PJ_COORD inverse = proj.Helmert(PJ_INV, X, Y, Z);
    ASSERT_EQ(ShiftGeocentricFromWgs84(X, Y, Z, EUR7_INDEX, x, y, z), 0u);
    EXPECT_NEAR(x, inverse.xyz.x, 1e-3);  // m
    EXPECT_NEAR(y, inverse.xyz.y, 1e-3);  // m
    EXPECT_NEAR(z, inverse.xyz.z, 1e-3);  // m
}

TEST_F(DatumShift, Wgs72MovesTheOriginHalfASecondEastAndRaisesByTheFixedTerms)
{
    // Equator, by hand: 4.5 m along Z moves the latitude by 4.5/a72 rad; the
    // height changes by -(a84 - a72) + 1.4 = -0.6 m.
    double lat = 0, lon = 0, h = 0;
    Wgs72ToWgs84Geodetic(0, 0.1, 0, lat, lon, h);
    EXPECT_NEAR(lat, 4.5 / 6378135.0, 1e-15);  // rad
    EXPECT_EQ(lon, 0.1 + 2.685867793346782e-06);
    EXPECT_NEAR(h, -0.6, 1e-9);  // m
    Wgs84ToWgs72Geodetic(0, 0.1, 0, lat, lon, h);
    EXPECT_NEAR(lat, -4.5 / 6378137.0, 1e-15);  // rad
    EXPECT_EQ(lon, 0.1 - 2.685867793346782e-06);
    EXPECT_NEAR(h, 0.6, 1e-9);  // m

    // 45 degrees: 4.5 sin 45 + a72 (f84 - f72) / 2 - 0.6 = 2.681513 m.
    Wgs72ToWgs84Geodetic(PI / 4, 0, 10, lat, lon, h);
    EXPECT_NEAR(h, 10 + 2.681513, 1e-6);  // m

    // Past the antimeridian the longitude comes back from the west.
    Wgs72ToWgs84Geodetic(0, PI - 1e-6, 0, lat, lon, h);
    EXPECT_NEAR(lon, -PI + 1.685867793346782e-06, 1e-15);  // rad

    // The datum shifts use the same formulas, geodetic and geocentric.
    double latS = 0, lonS = 0, hS = 0;
    ASSERT_EQ(ShiftToWgs84(WGS72_INDEX, 0.6, 0.3, 50, latS, lonS, hS), 0u);
    Wgs72ToWgs84Geodetic(0.6, 0.3, 50, lat, lon, h);
    EXPECT_EQ(latS, lat);
    EXPECT_EQ(hS, h);
    double X = 0, Y = 0, Z = 0, x = 0, y = 0, z = 0, Xe = 0, Ye = 0, Ze = 0;
    GeographicLib::Geocentric(6378135.0, 1 / 298.26).Forward(Deg(0.6), Deg(0.3), 50, X, Y, Z);
    ASSERT_EQ(ShiftGeocentricToWgs84(WGS72_INDEX, X, Y, Z, x, y, z), 0u);
    Wgs84Geocentric().Forward(Deg(lat), Deg(lon), h, Xe, Ye, Ze);
    EXPECT_NEAR(x, Xe, 0.01);  // m, two closed geocentric steps
    EXPECT_NEAR(z, Ze, 0.01);  // m
}

TEST_F(DatumShift, BadIndexLatitudeAndLongitudeAreReportedTogetherWithoutOutput)
{
    struct Row { bool toWgs84; std::int32_t index; double lat; double lon; std::uint32_t bits; };
    const Row rows[] = {
        {true, 0, 0.5, 0.5, DATUM_SOURCE_INDEX_ERROR}, {true, 5, 0.5, 0.5, DATUM_SOURCE_INDEX_ERROR},
        {false, 5, 0.5, 0.5, DATUM_TARGET_INDEX_ERROR}, {false, -1, 0.5, 0.5, DATUM_TARGET_INDEX_ERROR},
        {true, 4, 1.6, 0.5, DATUM_LATITUDE_ERROR}, {false, 4, 0.5, 7.0, DATUM_LONGITUDE_ERROR},
        {true, 0, 1.6, 0.5, 0x900}, {true, 4, NaN, NaN, DATUM_LATITUDE_ERROR | DATUM_LONGITUDE_ERROR},
        {true, 3, 0.5, std::nextafter(-PI, -4.0), DATUM_LONGITUDE_ERROR},
        {false, 3, -std::numeric_limits<double>::infinity(), 0.5, DATUM_LATITUDE_ERROR},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.index << " " << row.lat << " " << row.lon);
        double lat = UNTOUCHED, lon = UNTOUCHED, h = UNTOUCHED;
        const std::uint32_t bits = row.toWgs84 ? ShiftToWgs84(row.index, row.lat, row.lon, 0, lat, lon, h)
                                               : ShiftFromWgs84(row.lat, row.lon, 0, row.index, lat, lon, h);
        EXPECT_EQ(bits, row.bits);
        EXPECT_EQ(lat, UNTOUCHED);
        EXPECT_EQ(lon, UNTOUCHED);
        EXPECT_EQ(h, UNTOUCHED);
    }
    double x = UNTOUCHED, y = UNTOUCHED, z = UNTOUCHED;
    EXPECT_EQ(ShiftGeocentricToWgs84(5, 1, 2, 3, x, y, z), DATUM_SOURCE_INDEX_ERROR);
    EXPECT_EQ(ShiftGeocentricFromWgs84(1, 2, 3, 0, x, y, z), DATUM_TARGET_INDEX_ERROR);
    EXPECT_EQ(x, UNTOUCHED);
}

TEST_F(DatumShift, ShiftsBeforeTheDatumTableIsBuiltReportNotInitialised)
{
    geodesy_test::ResetGeodesyState(false);
    double lat = UNTOUCHED, lon = UNTOUCHED, h = UNTOUCHED;
    EXPECT_EQ(ShiftToWgs84(1, 0.5, 0.5, 0, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(ShiftFromWgs84(0.5, 0.5, 0, 1, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(ShiftGeocentricToWgs84(1, 1, 2, 3, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(ShiftGeocentricFromWgs84(1, 2, 3, 1, lat, lon, h), DATUM_NOT_INITIALIZED_ERROR);
    EXPECT_EQ(lat, UNTOUCHED);
    EXPECT_EQ(h, UNTOUCHED);
}

// Without the ellipsoid table the WGS 72 formulas would run on zero axes and
// give a meaningless position; the shifts refuse instead.
TEST_F(DatumShift, ShiftsWithoutTheEllipsoidTableReportTheMissingEllipsoid)
{
    geodesy_test::ResetGeodesyState(false);
    ASSERT_EQ(InitializeDatums(), 0u);
    for (std::int32_t index : {WGS72_INDEX, EUR7_INDEX, DHDN_INDEX}) {
        double lat = UNTOUCHED, lon = UNTOUCHED, h = UNTOUCHED;
        EXPECT_EQ(ShiftToWgs84(index, 0.5, 0.5, 0, lat, lon, h), DATUM_ELLIPSOID_ERROR) << index;
        EXPECT_EQ(ShiftFromWgs84(0.5, 0.5, 0, index, lat, lon, h), DATUM_ELLIPSOID_ERROR) << index;
        EXPECT_EQ(lat, UNTOUCHED);
    }
    double x = UNTOUCHED, y = UNTOUCHED, z = UNTOUCHED;
    EXPECT_EQ(ShiftGeocentricToWgs84(WGS72_INDEX, 1, 2, 3, x, y, z), DATUM_ELLIPSOID_ERROR);
    EXPECT_EQ(x, UNTOUCHED);
    double lat = 0, lon = 0, h = 0;
    EXPECT_EQ(ShiftToWgs84(WGS84_INDEX, 0.5, 0.5, 7, lat, lon, h), 0u);  // needs no ellipsoid
    EXPECT_EQ(h, 7.0);
}
