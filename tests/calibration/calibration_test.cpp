// The device's two-point model and its plausibility check, against
// GeographicLib's radii, UTM and geodesics, and hand-computed cases; the
// grid over a calibrated map and the check of a third known point.
#include "calibration/calibration_check.h"
#include "calibration/graticule.h"
#include "calibration/third_point.h"

#include <GeographicLib/Ellipsoid.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/UTMUPS.hpp>
#include <gtest/gtest.h>

#include <cmath>

#include "geodesy/geodesy.h"
#include "messages/messages.h"

using namespace calibration;

namespace
{

// The sample harbour map (800 x 600): lighthouse and church.
Calibration Harbour()
{
    Calibration c;
    c.pixel[0] = {170, 170};
    c.pixel[1] = {640, 460};
    c.position[0] = {10 + 52.35 / 60, 54 + 3.12 / 60};
    c.position[1] = {10 + 55.59 / 60, 54 + 4.29 / 60};
    return c;
}

// A map printed on the UTM grid of zone 32 near the zone's edge, 5 m per
// pixel in grid metres both ways, 4200 x 4200 pixels.
Calibration OnUtmGrid()
{
    Calibration c;
    c.pixel[0] = {100, 100};
    c.pixel[1] = {4100, 4100};
    const double grid[2][2] = {{700000, 5320000}, {720000, 5340000}};
    for (int p = 0; p < 2; ++p)
        GeographicLib::UTMUPS::Reverse(32, true, grid[p][0], grid[p][1], c.position[p].lat, c.position[p].lon);
    return c;
}

std::vector<std::string> Codes(const CheckReport& report)
{
    std::vector<std::string> codes;
    for (const Finding& finding : report.findings)
        codes.push_back(finding.code);
    return codes;
}

// The language for the texts, German again afterwards.
struct LanguageScope
{
    explicit LanguageScope(int language) { g_nLanguage = language; }
    ~LanguageScope() { g_nLanguage = 0; }
};

} // namespace

TEST(CalibrationModel, PixelsAndPositionsMapBothWaysThroughTheTwoPoints)
{
    const Calibration c = Harbour();
    const GeoPoint middle = c.PositionAt({405, 315});
    EXPECT_NEAR(middle.lon, 10 + 53.97 / 60, 1e-12); // halfway in both
    EXPECT_NEAR(middle.lat, 54 + 3.705 / 60, 1e-12);
    const PixelPoint back = c.PixelOf(middle);
    EXPECT_NEAR(back.x, 405, 1e-9);
    EXPECT_NEAR(back.y, 315, 1e-9);
}

TEST(CalibrationModel, RadiiAndGroundDistancesAgreeWithGeographicLib)
{
    const GeographicLib::Ellipsoid wgs84(GeographicLib::Constants::WGS84_a(), GeographicLib::Constants::WGS84_f());
    for (const double lat : {0.0, 48.0, -54.07, 80.0})
    {
        const auto [N, M] = RadiiOfCurvature(lat);
        EXPECT_NEAR(N, wgs84.TransverseCurvatureRadius(lat), 1e-6) << lat; // m
        EXPECT_NEAR(M, wgs84.MeridionalCurvatureRadius(lat), 1e-6) << lat; // m
    }
    // Points a few hundred metres apart: within 0.1 % of the geodesic.
    const GeographicLib::Geodesic& geodesic = GeographicLib::Geodesic::WGS84();
    const GeoPoint a{10.8725, 54.052};
    const GeoPoint b{10.8790, 54.049};
    double s12 = 0.0;
    geodesic.Inverse(a.lat, a.lon, b.lat, b.lon, s12);
    EXPECT_NEAR(GroundDistance(a, b), s12, s12 * 1e-3);
}

TEST(CalibrationModel, UtmOfTheFirstPointsZoneAndTheCornerErrorAgreeWithGeographicLib)
{
    // A 20 km map near the edge of zone 32 (2.6 degrees east of 9 E), where
    // the grid turns far against the meridians.
    Calibration c;
    c.pixel[0] = {100, 100};
    c.pixel[1] = {3900, 3900};
    c.position[0] = {11.55, 48.00};
    c.position[1] = {11.80, 48.17};
    const MapSize size{4000, 4000};

    int zone = 0;
    bool north = true;
    double e[2], n[2];
    for (int p = 0; p < 2; ++p)
        GeographicLib::UTMUPS::Forward(c.position[p].lat, c.position[p].lon, zone, north, e[p], n[p], 32);
    const auto ours = UtmInZoneOf(c.position[0], c.position[1]);
    ASSERT_TRUE(ours);
    EXPECT_NEAR(ours->first, e[1], 1e-3);  // m
    EXPECT_NEAR(ours->second, n[1], 1e-3); // m

    double worst = 0.0;
    for (const double x : {0.0, 3999.0})
        for (const double y : {1.0, 4000.0})
        {
            const GeoPoint device = c.PositionAt({x, y});
            const double ex = e[0] + (x - 100) * (e[1] - e[0]) / 3800;
            const double ny = n[0] + (y - 100) * (n[1] - n[0]) / 3800;
            double lat = 0.0, lon = 0.0;
            GeographicLib::UTMUPS::Reverse(32, true, ex, ny, lat, lon);
            double s12 = 0.0;
            GeographicLib::Geodesic::WGS84().Inverse(device.lat, device.lon, lat, lon, s12);
            worst = std::max(worst, s12);
        }
    const std::optional<double> error = CornerError(c, size);
    ASSERT_TRUE(error);
    EXPECT_NEAR(*error, worst, 0.01 + worst * 1e-3); // m
    EXPECT_GT(worst, 10.0);                          // the model's own error is real here
}

TEST(CalibrationCheck, EachFaultOfAFileGivesItsFinding)
{
    g_nLanguage = 1;
    geodesy::InitializeDatums();
    geodesy::InitializeEllipsoids();
    struct Row
    {
        const char* what;
        void (*change)(Calibration&);
        std::optional<MapSize> size;
        std::vector<std::string> codes;
    };
    const Row rows[] = {
        {"the sample", [](Calibration&) {}, MapSize{800, 600}, {}},
        {"same column", [](Calibration& c) { c.pixel[1].x = 170; }, MapSize{800, 600}, {"same-pixel-column"}},
        {"same row", [](Calibration& c) { c.pixel[1].y = 170; }, MapSize{800, 600}, {"same-pixel-row"}},
        {"same longitude",
         [](Calibration& c) { c.position[1].lon = c.position[0].lon; },
         MapSize{800, 600},
         {"same-longitude"}},
        {"same latitude",
         [](Calibration& c) { c.position[1].lat = c.position[0].lat; },
         MapSize{800, 600},
         {"same-latitude"}},
        {"point 2 west",
         [](Calibration& c) { c.position[1].lon = 2 * c.position[0].lon - c.position[1].lon; },
         MapSize{800, 600},
         {"direction-mismatch"}},
        // Point 2's 4.29' of latitude typed as seconds: 4.29" = 0.0715'.
        {"minutes as seconds",
         [](Calibration& c) { c.position[1].lat = 54 + 4.0715 / 60; },
         MapSize{800, 600},
         {"scale-mismatch"}},
        {"close without a size",
         [](Calibration& c) {
             c.pixel[1] = {230, 230};
         },
         std::nullopt,
         {"scale-mismatch", "points-close-x", "points-close-y"}},
        {"outside",
         [](Calibration& c) { c.pixel[1].x = 900; },
         MapSize{800, 600},
         {"scale-mismatch", "point-outside-map"}},
        // Square in grid metres, not in degrees: the device's degrees are off
        // at the corners by the grid's convergence (about 2 degrees here).
        {"on a UTM grid", [](Calibration& c) { c = OnUtmGrid(); }, MapSize{4200, 4200}, {"corner-error"}},
    };
    for (const Row& row : rows)
    {
        Calibration c = Harbour();
        row.change(c);
        EXPECT_EQ(Codes(CheckCalibration(c, {row.size, std::nullopt})), row.codes) << row.what;
    }
    g_nLanguage = 0;
}

TEST(CalibrationCheck, TheSamplesFiguresAndTheMapScaleAreTheHandComputedOnes)
{
    const GeographicLib::Ellipsoid wgs84(GeographicLib::Constants::WGS84_a(), GeographicLib::Constants::WGS84_f());
    const Calibration c = Harbour();
    const CheckReport report = CheckCalibration(c, {MapSize{800, 600}, 254.0});
    const double latMean = (c.position[0].lat + c.position[1].lat) / 2;
    const double rad = std::acos(-1.0) / 180;
    const double sx = 3.24 / 60 * rad * wgs84.TransverseCurvatureRadius(latMean) * std::cos(latMean * rad) / 470;
    const double sy = 1.17 / 60 * rad * wgs84.MeridionalCurvatureRadius(latMean) / 290;
    ASSERT_TRUE(report.figures.scaleX && report.figures.scaleY);
    EXPECT_NEAR(*report.figures.scaleX, sx, 1e-9);
    EXPECT_NEAR(*report.figures.scaleY, sy, 1e-9);
    EXPECT_EQ(report.figures.separationX, 470);
    EXPECT_EQ(report.figures.separationY, 290);
    // 254 dpi is 10000 dots per metre: 1 : (mean m/px x 10000).
    EXPECT_EQ(report.figures.scaleDenominator, std::llround((sx + sy) / 2 * 10000));
    EXPECT_TRUE(report.findings.empty());
}

// ---- the grid over the map and the check of a third known point --------

TEST(Graticule, TheStepIsTheSmallestThatPutsLinesAtLeast80PixelsApart)
{
    struct Row
    {
        double pixelsPerMinute;
        int step;
    };
    const Row rows[] = {
        {400.0, 1}, // even 1' lines stand further apart than 300 px
        {80.0, 1},  {79.9, 2}, {40.0, 2}, {39.9, 5}, {16.0, 5}, {15.9, 10},
        {8.0, 10},  {7.9, 30}, {2.7, 30}, {2.6, 60}, {0.5, 60}, // a whole continent: 1 degree is the coarsest
    };
    for (const Row& row : rows)
        EXPECT_EQ(GraticuleStep(row.pixelsPerMinute), row.step) << row.pixelsPerMinute;
}

TEST(Graticule, TheSampleMapGetsWholeMinuteLinesWhereTheReferencePointsPutThem)
{
    // x: 470 px for 3.24' (145 px per minute), y: 290 px for 1.17' (248 px):
    // 1' in both. 10°52' lies 0.35' west of the lighthouse: x = 170 - 0.35 *
    // 470 / 3.24 = 119.228; 54°03' lies 0.12' south: y = 170 - 0.12 * 290 /
    // 1.17 = 140.256; 54°04': y = 170 + 0.88 * 290 / 1.17 = 388.120.
    const std::vector<GraticuleLine> lines = GraticuleOf(Harbour(), {800, 600});
    ASSERT_EQ(lines.size(), 5u + 2u);
    const int minutes[] = {652, 653, 654, 655, 656, 3243, 3244};
    for (std::size_t i = 0; i < lines.size(); ++i)
    {
        EXPECT_EQ(lines[i].bMeridian, i < 5) << i;
        EXPECT_EQ(lines[i].minutes, minutes[i]) << i;
    }
    EXPECT_NEAR(lines[0].pixel, 119.228, 0.001);
    EXPECT_NEAR(lines[5].pixel, 140.256, 0.001);
    EXPECT_NEAR(lines[6].pixel, 388.120, 0.001);

    EXPECT_EQ(GraticuleLabel(lines[0]), "10°52' O");
    const LanguageScope english(1);
    EXPECT_EQ(GraticuleLabel(lines[0]), "10°52' E");
    EXPECT_EQ(GraticuleLabel(lines[5]), "54°03' N");
    EXPECT_EQ(GraticuleLabel({true, -90, 0.0}), "1°30' W");
}

TEST(ThirdPoint, AClickTenPixelsEastOfTheKnownPlaceIsReportedWithDistanceAndDirection)
{
    const LanguageScope english(1);
    const Calibration c = Harbour();
    // The lighthouse's position, clicked 10 pixels east of the lighthouse.
    const ThirdPointCheck check = CheckThirdPoint(c, {180, 170}, c.position[0]);
    EXPECT_NEAR(check.predicted.x, 170.0, 1e-9);
    EXPECT_NEAR(check.predicted.y, 170.0, 1e-9);
    EXPECT_NEAR(check.pixels, 10.0, 1e-9);
    EXPECT_NEAR(check.bearing, 270.0, 1e-9);
    const GeoPoint atClick = c.PositionAt({180, 170});
    double metres = 0.0;
    GeographicLib::Geodesic::WGS84().Inverse(atClick.lat, atClick.lon, c.position[0].lat, c.position[0].lon, metres);
    EXPECT_NEAR(check.metres, metres, 0.01);
    EXPECT_EQ(ThirdPointText(check).substr(0, 67),
              "The calibration puts this position 75.2 m (10.0 pixels) west of the");
    EXPECT_NE(ThirdPointText(check).find("more than two pixels"), std::string::npos);

    // On the spot: no direction, agreement.
    EXPECT_EQ(ThirdPointText(CheckThirdPoint(c, {170, 170}, c.position[0])),
              "The calibration puts this position at the clicked point: it agrees with this point.");
}
