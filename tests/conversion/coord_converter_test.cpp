// The coordinate converter against the worked figures of its rounding and
// carry rules, the datum figures of the geodesy library's published examples,
// and GeographicLib's exact Transverse Mercator for UTM on two ellipsoids.

#include "conversion/coord_converter.h"
#include "conversion/entry_fields.h"
#include "support/points.h"

#include <GeographicLib/TransverseMercator.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>

using namespace conversion;

namespace
{

struct Point
{
    std::int32_t hemi[2][2] = {{0, 0}, {0, 0}};
    double deg[2][2] = {{0, 0}, {0, 0}};
    std::int32_t wholeDeg[2][2] = {{0, 0}, {0, 0}};
    std::int32_t wholeMin[2][2] = {{0, 0}, {0, 0}};
    double min[2][2] = {{0, 0}, {0, 0}};
    double sec[2][2] = {{0, 0}, {0, 0}};
};

// Both points at the same decimal-degree position (longitude, latitude),
// signs taken from the values.
Point DecimalDegrees(double lon, double lat)
{
    Point p;
    for (int point = 0; point < 2; ++point)
    {
        p.hemi[point][0] = lon < 0 ? 1 : 0;
        p.hemi[point][1] = lat < 0 ? 1 : 0;
        p.deg[point][0] = std::fabs(lon);
        p.deg[point][1] = std::fabs(lat);
    }
    return p;
}

constexpr double kRad = 3.14159265358979323846 / 180.0;

// Rounding of one angle, entered as decimal degrees on WGS84 and read back in
// the three degree formats.
struct RoundingRow
{
    double entered;
    double degrees;         // five decimals
    std::int32_t dmDegrees; // dec.Minute
    double dmMinutes;
    std::int32_t dmsDegrees; // dec.Second
    std::int32_t dmsMinutes;
    double dmsSeconds;
};

void PrintTo(const RoundingRow& row, std::ostream* os)
{
    *os << row.entered << " deg";
}

class ConverterRounding : public ::testing::TestWithParam<RoundingRow>
{
};

TEST_P(ConverterRounding, DegreesComeBackWithTheFieldsRoundingAndCarries)
{
    const RoundingRow row = GetParam();
    CCoordConverter converter;
    Point in = DecimalDegrees(row.entered, row.entered / 2);
    converter.DegreesToWgs84(in.hemi, in.deg);

    Point out;
    converter.Wgs84ToDegrees(out.hemi, out.deg);
    EXPECT_DOUBLE_EQ(out.deg[0][0], row.degrees);
    EXPECT_EQ(out.hemi[0][0], row.entered < 0 ? 1 : 0);

    converter.Wgs84ToDegMin(out.hemi, out.wholeDeg, out.min);
    EXPECT_EQ(out.wholeDeg[0][0], row.dmDegrees);
    EXPECT_NEAR(out.min[0][0], row.dmMinutes, 1e-9); // minutes

    converter.Wgs84ToDegMinSec(out.hemi, out.wholeDeg, out.wholeMin, out.sec);
    EXPECT_EQ(out.wholeDeg[0][0], row.dmsDegrees);
    EXPECT_EQ(out.wholeMin[0][0], row.dmsMinutes);
    EXPECT_NEAR(out.sec[0][0], row.dmsSeconds, 1e-9); // seconds
    EXPECT_FALSE(std::signbit(out.sec[0][0])) << "a field would show -0.00";
}

INSTANTIATE_TEST_SUITE_P(WorkedFigures, ConverterRounding,
                         ::testing::Values(RoundingRow{10.5, 10.5, 10, 30.0, 10, 30, 0.0},
                                           RoundingRow{53.25, 53.25, 53, 15.0, 53, 15, 0.0},
                                           // five-decimal rounding carries into the whole degree
                                           RoundingRow{10.999999, 11.0, 11, 0.0, 11, 0, 0.0},
                                           // m = 119999 carries into the degrees; the seconds do not carry
                                           RoundingRow{53.99999, 53.99999, 54, 0.0, 53, 59, 59.96},
                                           // s = 2999 (59.98") carries into the minutes
                                           RoundingRow{10.01666, 10.01666, 10, 0.9995, 10, 1, 0.0},
                                           RoundingRow{7.123456, 7.12346, 7, 7.4075, 7, 7, 24.46},
                                           // the seconds' rounding meets a value a hair below zero
                                           RoundingRow{10.03333, 10.03333, 10, 2.0, 10, 2, 0.0},
                                           RoundingRow{53.03333, 53.03333, 53, 2.0, 53, 2, 0.0},
                                           // west or south: flag 1, same magnitudes
                                           RoundingRow{-10.5, 10.5, 10, 30.0, 10, 30, 0.0},
                                           RoundingRow{0.0, 0.0, 0, 0.0, 0, 0, 0.0},
                                           RoundingRow{-179.999999, 180.0, 180, 0.0, 180, 0, 0.0}));

TEST(Converter, DegMinAndDegMinSecEntriesMeanTheSamePosition)
{
    CCoordConverter converter;
    EntryValues in;
    SetPoint(in, 0, DegMin(10, 30, 'E', 53, 15, 'N'));
    SetPoint(in, 1, DegMin(12, 34.5, 'W', 47, 48.012, 'N'));
    converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute);
    EXPECT_DOUBLE_EQ(converter.Wgs84Position(0)[0], 10.5 * kRad);
    EXPECT_DOUBLE_EQ(converter.Wgs84Position(0)[1], 53.25 * kRad);
    EXPECT_DOUBLE_EQ(converter.Wgs84Position(1)[0], -(12.0 + 34.5 / 60) * kRad);

    Point dms;
    dms.wholeDeg[0][0] = 10;
    dms.wholeMin[0][0] = 30;
    dms.wholeDeg[0][1] = 53;
    dms.wholeMin[0][1] = 14;
    dms.sec[0][1] = 60.0; // 60" is a full minute
    converter.DegMinSecToWgs84(dms.hemi, dms.wholeDeg, dms.wholeMin, dms.sec);
    EXPECT_DOUBLE_EQ(converter.Wgs84Position(0)[0], 10.5 * kRad);
    EXPECT_DOUBLE_EQ(converter.Wgs84Position(0)[1], 53.25 * kRad);

    Point out;
    converter.Wgs84ToDegMinSec(out.hemi, out.wholeDeg, out.wholeMin, out.sec);
    EXPECT_EQ(out.wholeDeg[0][1], 53);
    EXPECT_EQ(out.wholeMin[0][1], 15);
    EXPECT_DOUBLE_EQ(out.sec[0][1], 0.0);
}

TEST(Converter, PotsdamEntryComesBackUnchangedThroughWgs84)
{
    // Shifted to WGS84 and back with height 0 on both ways: the point moves by
    // far less than the fifth decimal of a degree.
    CCoordConverter converter;
    converter.SelectDatum(DATUM_POTSDAM);
    EntryValues in;
    SetPoint(in, 0, DegMin(10, 30, 'E', 53, 15, 'N'));
    SetPoint(in, 1, DegMin(10, 30, 'E', 53, 15, 'N'));
    converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute);

    // The stored position really is WGS84, not Potsdam.
    EXPECT_GT(std::fabs(converter.Wgs84Position(0)[0] - 10.5 * kRad), 1e-6);

    Point out;
    converter.Wgs84ToDegrees(out.hemi, out.deg);
    EXPECT_DOUBLE_EQ(out.deg[0][0], 10.5);
    EXPECT_DOUBLE_EQ(out.deg[0][1], 53.25);
}

TEST(Converter, EuropeanDatumPointReadsAsItsWgs84Figure)
{
    // EUR-7 at 50° N, 10° E is 49.999188274° N, 9.998862295° E on WGS84.
    CCoordConverter converter;
    converter.SelectDatum(DATUM_EUROPEAN);
    Point in = DecimalDegrees(10.0, 50.0);
    converter.DegreesToWgs84(in.hemi, in.deg);
    converter.SelectDatum(DATUM_WGS84);
    Point out;
    converter.Wgs84ToDegrees(out.hemi, out.deg);
    EXPECT_DOUBLE_EQ(out.deg[0][0], 9.99886);
    EXPECT_DOUBLE_EQ(out.deg[0][1], 49.99919);
}

TEST(Converter, ALongitudeShiftedAcrossTheAntimeridianComesBackWithinHalfATurn)
{
    // Fault pinned: WGS84 180° E came out as 180.00022° E on Potsdam, which no field takes.
    // Figures from PROJ's cs2cs, rounded to five decimals: Potsdam (+towgs84=587,16,393)
    // gives -179.999776867°, European 1950 (coordinate-frame rotations) 179.998820044°.
    struct Row
    {
        std::int32_t datum;
        double wgs84Lon;
        std::int32_t hemisphere;
        double degrees;
    };
    const Row rows[] = {{DATUM_POTSDAM, 180.0, 1, 179.99978}, {DATUM_EUROPEAN, -180.0, 0, 179.99882}};
    for (const Row& row : rows)
    {
        CCoordConverter converter;
        Point in = DecimalDegrees(row.wgs84Lon, 50.0);
        converter.DegreesToWgs84(in.hemi, in.deg);
        converter.SelectDatum(row.datum);
        Point out;
        ASSERT_TRUE(converter.Wgs84ToDegrees(out.hemi, out.deg));
        EXPECT_EQ(out.hemi[0][0], row.hemisphere) << g_datumNames[row.datum];
        EXPECT_NEAR(out.deg[0][0], row.degrees, 1e-9) << g_datumNames[row.datum];
    }
}

TEST(Converter, DatumShiftIsSkippedBetweenEqualDatumsAndReportsFailure)
{
    CCoordConverter converter;
    converter.SelectDatum(DATUM_POTSDAM);
    bool ok = false;
    auto same = converter.ShiftDatum(0.2, 0.9, DATUM_POTSDAM, DATUM_POTSDAM, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(same.first, 0.2);
    EXPECT_EQ(same.second, 0.9);

    auto refused = converter.ShiftDatum(0.2, 1.6, DATUM_POTSDAM, DATUM_WGS84, &ok); // latitude beyond the pole
    EXPECT_FALSE(ok);
    EXPECT_EQ(refused.second, 1.6);
}

TEST(Converter, UtmOnWgs84MatchesTheExactProjectionCutToWholeMetres)
{
    CCoordConverter converter;
    const double points[][2] = {{10.0, 50.0}, {-1.0, 40.0}, {151.2153, -33.8568}, {5.0, 60.0}, {-70.0, -79.0}};
    for (const auto& lonLat : points)
    {
        SCOPED_TRACE(testing::Message() << lonLat[0] << ", " << lonLat[1]);
        Point in = DecimalDegrees(lonLat[0], lonLat[1]);
        converter.DegreesToWgs84(in.hemi, in.deg);
        std::int32_t south[2] = {-1, -1};
        std::int32_t zone[2] = {-1, -1};
        std::int32_t utm[2][2] = {{-1, -1}, {-1, -1}};
        converter.Wgs84ToUtm(south, zone, utm);

        int gZone = 0;
        bool gNorth = false;
        double x = 0, y = 0;
        GeographicLib::UTMUPS::Forward(lonLat[1], lonLat[0], gZone, gNorth, x, y);
        EXPECT_EQ(zone[0], gZone);
        EXPECT_EQ(south[0], gNorth ? 0 : 1);
        EXPECT_NEAR(utm[0][0], std::trunc(x), 1.0); // m: the series agree to mm
        EXPECT_NEAR(utm[0][1], std::trunc(y), 1.0); // m

        // and back: the whole-metre UTM values land within a metre or two
        converter.UtmToWgs84(south, zone, utm);
        // rad: 5e-7 is about 3 m on the ground, east-west scaled by the latitude
        EXPECT_NEAR(converter.Wgs84Position(0)[0], lonLat[0] * kRad, 5e-7 / std::cos(lonLat[1] * kRad));
        EXPECT_NEAR(converter.Wgs84Position(0)[1], lonLat[1] * kRad, 5e-7);
    }
}

TEST(Converter, UtmEastingIsCutTowardZeroNotRounded)
{
    // A point about 0.9 m east of the central meridian of zone 32 at 50° N:
    // one metre of easting there is 1 / (k0 N cos φ) radians of longitude.
    const GeographicLib::TransverseMercator tm(GeographicLib::Constants::WGS84_a(), GeographicLib::Constants::WGS84_f(),
                                               0.9996);
    const double f = GeographicLib::Constants::WGS84_f();
    const double e2 = f * (2 - f);
    const double phi = 50.0 * kRad;
    const double n = GeographicLib::Constants::WGS84_a() / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    const double lon50 = 9.0 + 0.9 / (0.9996 * n * std::cos(phi)) / kRad;
    double x = 0, y = 0;
    tm.Forward(9.0, 50.0, lon50, x, y);
    ASSERT_GT(x, 0.5); // metres east of the meridian
    ASSERT_LT(x, 1.0);

    CCoordConverter converter;
    Point in = DecimalDegrees(lon50, 50.0);
    converter.DegreesToWgs84(in.hemi, in.deg);
    std::int32_t south[2], zone[2], utm[2][2];
    converter.Wgs84ToUtm(south, zone, utm);
    EXPECT_EQ(zone[0], 32);
    EXPECT_EQ(utm[0][0], 500000);
}

TEST(Converter, UtmValuesAreOnTheSelectedDatumsEllipsoid)
{
    // A Potsdam point shown in UTM uses the Bessel ellipsoid.
    CCoordConverter converter;
    converter.SelectDatum(DATUM_POTSDAM);
    Point in = DecimalDegrees(10.0, 50.0);
    converter.DegreesToWgs84(in.hemi, in.deg);
    std::int32_t south[2], zone[2], utm[2][2];
    converter.Wgs84ToUtm(south, zone, utm);

    const GeographicLib::TransverseMercator bessel(6377397.155, 1 / 299.1528128, 0.9996);
    double x = 0, y = 0;
    bessel.Forward(9.0, 50.0, 10.0, x, y);
    EXPECT_EQ(zone[0], 32);
    EXPECT_NEAR(utm[0][0], 500000 + x, 1.5); // m: truncation and the datum round trip
    EXPECT_NEAR(utm[0][1], y, 1.5);          // m
}

TEST(Converter, SouthernEightyPointFiveDegreesIsInsideTheUtmBand)
{
    // A user's 80° 30' S reaches UTM as (30 / 60 + 80) × π/180.
    CCoordConverter converter;
    EntryValues in;
    SetPoint(in, 0, DegMin(0, 0, 'E', 80, 30, 'S'));
    SetPoint(in, 1, DegMin(0, 0, 'E', 80, 30, 'S'));
    converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute);
    std::int32_t south[2] = {-1, -1}, zone[2] = {-1, -1}, utm[2][2] = {{-1, -1}, {-1, -1}};
    converter.Wgs84ToUtm(south, zone, utm);
    EXPECT_EQ(zone[0], 31);
    EXPECT_EQ(south[0], 1);
    EXPECT_GT(utm[0][1], 1000000);
}

TEST(Converter, PointWithoutPositionKeepsItsPreviousValues)
{
    CCoordConverter converter;
    converter.SelectDatum(DATUM_POTSDAM);
    EntryValues in;
    SetPoint(in, 0, DegMin(10, 0, 'E', 53, 0, 'N'));
    SetPoint(in, 1, DegMin(10, 0, 'E', 53, 0, 'N'));
    converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute);
    const double before[2] = {converter.Wgs84Position(0)[0], converter.Wgs84Position(0)[1]};

    // 90° plus 30' is beyond the pole: the Potsdam shift refuses point 1 only.
    in.m_nDegree[0][1] = 90;
    in.m_dMinute[0][1] = 30.0;
    in.m_nDegree[1][0] = 11;
    converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute);
    EXPECT_EQ(converter.Wgs84Position(0)[0], before[0]);
    EXPECT_EQ(converter.Wgs84Position(0)[1], before[1]);
    EXPECT_NEAR(converter.Wgs84Position(1)[0], 11.0 * kRad, 1e-4);

    // UTM values the conversion refuses (easting below 100 km, zone 0) leave
    // the stored positions alone.
    std::int32_t south[2] = {0, 0};
    std::int32_t zone[2] = {32, 0};
    std::int32_t utm[2][2] = {{50000, 5900000}, {500000, 5900000}};
    converter.UtmToWgs84(south, zone, utm);
    EXPECT_EQ(converter.Wgs84Position(0)[0], before[0]);
    EXPECT_NEAR(converter.Wgs84Position(1)[0], 11.0 * kRad, 1e-4);

    // From WGS84: a stored latitude beyond the pole cannot be shifted into
    // Potsdam, so that point's outputs keep what they held.
    converter.SelectDatum(DATUM_WGS84);
    EntryValues far;
    SetPoint(far, 0, DegMin(0, 0, 'E', 90, 30, 'N'));
    SetPoint(far, 1, DegMin(0, 0, 'E', 50, 0, 'N'));
    converter.DegMinToWgs84(far.m_nHemisphere, far.m_nDegree, far.m_dMinute);
    converter.SelectDatum(DATUM_POTSDAM);
    Point out;
    out.hemi[0][0] = out.hemi[0][1] = 7;
    out.wholeDeg[0][0] = out.wholeDeg[0][1] = 77;
    out.min[0][0] = out.min[0][1] = 7.7;
    converter.Wgs84ToDegMin(out.hemi, out.wholeDeg, out.min);
    EXPECT_EQ(out.hemi[0][1], 7);
    EXPECT_EQ(out.wholeDeg[0][0], 77);
    EXPECT_EQ(out.min[0][1], 7.7);
    EXPECT_EQ(out.wholeDeg[1][1], 50);

    // UTM refuses a latitude outside its band: that point keeps zone and values.
    converter.SelectDatum(DATUM_WGS84);
    Point polar = DecimalDegrees(10.0, 85.0);
    polar.deg[1][1] = 50.0;
    converter.DegreesToWgs84(polar.hemi, polar.deg);
    std::int32_t southOut[2] = {9, 9}, zoneOut[2] = {99, 99}, utmOut[2][2] = {{1, 2}, {3, 4}};
    converter.Wgs84ToUtm(southOut, zoneOut, utmOut);
    EXPECT_EQ(zoneOut[0], 99);
    EXPECT_EQ(southOut[0], 9);
    EXPECT_EQ(utmOut[0][0], 1);
    EXPECT_EQ(zoneOut[1], 32);
}

TEST(Converter, APointWithoutPositionNamesTheValueToMendAndWhy)
{
    // Point 2 always converts; point 1 carries the refused UTM values.
    // Figures: the grid covers eastings of 100 to 900 km; the north pole lies
    // at 10001965.7 m x 0.9996 = 9997964 m of northing, so the south pole at
    // 2036 m of a southern zone.
    struct Row
    {
        std::int32_t zone, south, easting, northing;
        EntryValue value;
        MessageId message;
    };
    const Row rows[] = {
        {32, 0, 56711, 5872738, VALUE_EASTING, MSG_VALUE_TOO_SMALL},
        {0, 0, 567110, 5872738, VALUE_ZONE, MSG_VALUE_TOO_SMALL},
        {32, 0, 500000, 9999000, VALUE_NORTHING, MSG_VALUE_TOO_LARGE},
        {32, 1, 500000, 1000, VALUE_NORTHING, MSG_VALUE_TOO_SMALL},
    };
    CCoordConverter converter;
    for (const Row& row : rows)
    {
        const std::int32_t south[2] = {row.south, 0};
        const std::int32_t zone[2] = {row.zone, 32};
        const std::int32_t utm[2][2] = {{row.easting, row.northing}, {500000, 5900000}};
        EXPECT_FALSE(converter.UtmToWgs84(south, zone, utm));
        ASSERT_TRUE(converter.Fault(0).has_value()) << row.easting << ' ' << row.northing;
        EXPECT_EQ(converter.Fault(0)->value, row.value) << row.easting << ' ' << row.northing;
        EXPECT_EQ(converter.Fault(0)->message, row.message) << row.easting << ' ' << row.northing;
        EXPECT_FALSE(converter.Fault(1).has_value());
    }

    // A latitude the Potsdam shift refuses (90 degrees and 30 minutes); the
    // next conversion that succeeds forgets the fault.
    converter.SelectDatum(DATUM_POTSDAM);
    EntryValues in;
    SetPoint(in, 0, DegMin(0, 0, 'E', 90, 30, 'N'));
    EXPECT_FALSE(converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute));
    ASSERT_TRUE(converter.Fault(0).has_value());
    EXPECT_EQ(converter.Fault(0)->value, VALUE_LATITUDE);
    EXPECT_EQ(converter.Fault(0)->message, MSG_NO_POSITION);
    in.m_nDegree[0][1] = 53;
    EXPECT_TRUE(converter.DegMinToWgs84(in.m_nHemisphere, in.m_nDegree, in.m_dMinute));
    EXPECT_FALSE(converter.Fault(0).has_value());
}

TEST(Converter, PixelRelationNeedsXEastwardsAndYNorthwards)
{
    CCoordConverter converter;
    Point in;
    in.deg[0][0] = 12.0; // point 1 west and south of point 2
    in.deg[0][1] = 47.0;
    in.deg[1][0] = 13.0;
    in.deg[1][1] = 48.0;
    converter.DegreesToWgs84(in.hemi, in.deg);

    const std::uint32_t good[2][2] = {{100, 100}, {900, 700}};
    EXPECT_TRUE(converter.CheckPixelRelation(good));
    const std::uint32_t sameX[2][2] = {{100, 100}, {100, 700}};
    EXPECT_FALSE(converter.CheckPixelRelation(sameX));
    const std::uint32_t sameY[2][2] = {{100, 100}, {900, 100}};
    EXPECT_FALSE(converter.CheckPixelRelation(sameY));
    const std::uint32_t xWestwards[2][2] = {{900, 100}, {100, 700}};
    EXPECT_FALSE(converter.CheckPixelRelation(xWestwards));
    const std::uint32_t yFromTop[2][2] = {{100, 700}, {900, 100}};
    EXPECT_FALSE(converter.CheckPixelRelation(yFromTop));
    // differences beyond the signed range wrap as 32-bit values do: 0 - 0x80000001
    // is +0x7FFFFFFF, so x seems to grow westwards
    const std::uint32_t wrapped[2][2] = {{0, 0}, {0x80000001u, 700}};
    EXPECT_FALSE(converter.CheckPixelRelation(wrapped));

    Point sameLon = in;
    sameLon.deg[1][0] = 12.0;
    converter.DegreesToWgs84(sameLon.hemi, sameLon.deg);
    EXPECT_FALSE(converter.CheckPixelRelation(good));
}

TEST(Converter, InputErrorsGoToTheOwnedWindow)
{
    auto window = std::make_unique<CTextErrorWindow>();
    CTextErrorWindow* raw = window.get();
    CCoordConverter converter(std::move(window));
    converter.ShowInputError(MSG_VALUE_TOO_LARGE);
    EXPECT_TRUE(raw->IsShown());
    EXPECT_EQ(raw->LastMessage(), MSG_VALUE_TOO_LARGE);
    converter.HideInputError();
    EXPECT_FALSE(raw->IsShown());
    EXPECT_EQ(raw->ShowCount(), 1);
}

} // namespace
