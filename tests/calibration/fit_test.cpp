// The least-squares fit against a closed-form solution computed another way,
// a hand-computed case, the refusals, and the file written from a fit.
#include "calibration/fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

using namespace formats;

using namespace calibration;

namespace
{

// Slope and intercept from the uncentred normal equations in long double:
// not how the fit computes them.
std::pair<long double, long double> ClosedForm(const std::vector<FitPoint>& points, bool bX)
{
    long double n = 0, st = 0, sv = 0, stt = 0, stv = 0;
    for (const FitPoint& p : points)
    {
        const long double t = bX ? p.pixel.x : p.pixel.y;
        const long double v = bX ? p.position.lon : p.position.lat;
        n += 1, st += t, sv += v, stt += t * t, stv += t * v;
    }
    const long double slope = (n * stv - st * sv) / (n * stt - st * st);
    return {(sv - slope * st) / n, slope};
}

} // namespace

TEST(Fit, AgreesWithTheClosedFormSolutionOnANoisyMapAndWithAHandComputedCase)
{
    // A 4000 x 3000 map near 47.8 N, 12.5 E at about 5 m per pixel, with
    // picking noise of up to +-1.5 pixels from a fixed sequence.
    std::vector<FitPoint> points;
    for (int i = 0; i < 12; ++i)
    {
        const double x = 150 + 310 * i, y = 2900 - 230 * i;
        const double noise = std::sin(i * 2.3) * 1.5;
        points.push_back({{x, y}, {12.40 + (x + noise) * 6.7e-5, 47.75 + (y - noise) * 4.5e-5}});
    }
    const std::optional<Fit> fit = FitPoints(points);
    ASSERT_TRUE(fit);
    const auto [a, b] = ClosedForm(points, true);
    const auto [c, d] = ClosedForm(points, false);
    EXPECT_NEAR(fit->a, static_cast<double>(a), 1e-11);
    EXPECT_NEAR(fit->b, static_cast<double>(b), 1e-15);
    EXPECT_NEAR(fit->c, static_cast<double>(c), 1e-11);
    EXPECT_NEAR(fit->d, static_cast<double>(d), 1e-15);
    EXPECT_LT(fit->rmsMetres, 8.0); // noise of about a pixel at 5 m per pixel

    // x 0, 1, 2 with longitudes 0, 1, 3: slope 3 / 2, intercept 4/3 - 3/2.
    const std::vector<FitPoint> three = {{{0, 0}, {0, 0}}, {{1, 1}, {1, 1}}, {{2, 2}, {3, 3}}};
    const std::optional<Fit> hand = FitPoints(three);
    ASSERT_TRUE(hand);
    EXPECT_DOUBLE_EQ(hand->b, 1.5);
    EXPECT_NEAR(hand->a, -1.0 / 6.0, 1e-15);
    EXPECT_EQ(hand->worst, 1u); // residuals -1/6, 1/3, -1/6 degrees: the middle point
}

TEST(Fit, TooFewPointsOrPixelsOrPositionsOnAnAxisAreRefusedNamingTheAxis)
{
    const std::vector<FitPoint> good = {{{0, 0}, {10, 50}}, {{100, 100}, {10.1, 50.1}}};
    struct Row
    {
        const char* what;
        std::vector<FitPoint> points;
        FitRefusal::Reason reason;
        const char* axis;
    };
    const Row rows[] = {
        {"one point", {good[0]}, FitRefusal::FewPixels, "x"},
        {"one column", {good[0], {{0, 100}, {10.1, 50.1}}}, FitRefusal::FewPixels, "x"},
        {"one row", {good[0], {{100, 0}, {10.1, 50.1}}}, FitRefusal::FewPixels, "y"},
        {"one longitude", {good[0], {{100, 100}, {10, 50.1}}}, FitRefusal::SamePositions, "x"},
        {"one latitude", {good[0], {{100, 100}, {10.1, 50}}}, FitRefusal::SamePositions, "y"},
    };
    for (const Row& row : rows)
    {
        FitRefusal refusal{};
        EXPECT_FALSE(FitPoints(row.points, &refusal)) << row.what;
        EXPECT_EQ(refusal.reason, row.reason) << row.what;
        EXPECT_EQ(refusal.axis, row.axis) << row.what;
    }
}

TEST(Fit, TheFileWrittenFromAFitGivesTheFitBackAtItsPrecision)
{
    const std::vector<FitPoint> points = {{{100, 500}, {10.864458, 54.074192}},
                                          {{700, 500}, {10.933392, 54.074192}},
                                          {{300, 300}, {10.887411, 54.060733}},
                                          {{700, 100}, {10.933392, 54.047292}}};
    const std::optional<Fit> fit = FitPoints(points);
    ASSERT_TRUE(fit);
    const MapSize size{800, 600};
    const Calibration reference = ReferencePointsOf(*fit, size);
    EXPECT_EQ(reference.pixel[0].x, 80);
    EXPECT_EQ(reference.pixel[1].y, 540);

    std::ostringstream out;
    WriteCalFile(out, CalValuesOf(reference), {9, 12, 2026});
    std::istringstream in(out.str());
    CalValues read;
    ReadCalFile(in, read, [](MessageId, const std::string&) { ADD_FAILURE() << "the file does not read"; });
    const Calibration back = CalibrationOf(read);
    for (int p = 0; p < 2; ++p)
    {
        EXPECT_NEAR(back.position[p].lon, reference.position[p].lon, 0.00005 / 60); // half of 0.0001'
        EXPECT_NEAR(back.position[p].lat, reference.position[p].lat, 0.00005 / 60);
    }
    for (const PixelPoint corner : {PixelPoint{0, 1}, PixelPoint{799, 600}, PixelPoint{0, 600}, PixelPoint{799, 1}})
        EXPECT_LT(GroundDistance(back.PositionAt(corner), fit->PositionAt(corner)), 0.5); // m
}
