// The device BMP made from a scan: how close its colours stay, and that the
// file is one every reader takes alike.
#include <QBuffer>
#include <QImageReader>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "platform/bitmap/bmp_decoder.h"
#include "platform/bitmap/device_bmp.h"
#include "support/photo_chart.h"

namespace
{

struct Lab
{
    double L, a, b;
};

// sRGB (D65) to CIE L*a*b*.
Lab ToLab(QRgb rgb)
{
    const auto linear = [](int c)
    {
        const double v = c / 255.0;
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const double r = linear(qRed(rgb)), g = linear(qGreen(rgb)), b = linear(qBlue(rgb));
    const double x = (0.4124564 * r + 0.3575761 * g + 0.1804375 * b) / 0.95047;
    const double y = 0.2126729 * r + 0.7151522 * g + 0.0721750 * b;
    const double z = (0.0193339 * r + 0.1191920 * g + 0.9503041 * b) / 1.08883;
    const auto f = [](double t) { return t > 216.0 / 24389.0 ? std::cbrt(t) : (24389.0 / 27.0 * t + 16) / 116; };
    return {116 * f(y) - 16, 500 * (f(x) - f(y)), 200 * (f(y) - f(z))};
}

// CIEDE2000 colour difference (Sharma, Wu, Dalal 2005), kL = kC = kH = 1.
double DeltaE2000(const Lab& p, const Lab& q)
{
    constexpr double kPi = std::numbers::pi;
    const auto deg = [](double r) { return r * 180 / kPi; };
    const auto rad = [](double d) { return d * kPi / 180; };
    const double c1 = std::hypot(p.a, p.b), c2 = std::hypot(q.a, q.b);
    const double cMean7 = std::pow((c1 + c2) / 2, 7);
    const double gFactor = 0.5 * (1 - std::sqrt(cMean7 / (cMean7 + std::pow(25.0, 7))));
    const double a1 = (1 + gFactor) * p.a, a2 = (1 + gFactor) * q.a;
    const double C1 = std::hypot(a1, p.b), C2 = std::hypot(a2, q.b);
    const auto hue = [&](double a, double b)
    {
        if (a == 0 && b == 0)
            return 0.0;
        const double h = deg(std::atan2(b, a));
        return h < 0 ? h + 360 : h;
    };
    const double h1 = hue(a1, p.b), h2 = hue(a2, q.b);
    double dh = 0;
    if (C1 * C2 != 0)
        dh = std::abs(h2 - h1) <= 180 ? h2 - h1 : (h2 - h1 > 180 ? h2 - h1 - 360 : h2 - h1 + 360);
    const double dL = q.L - p.L, dC = C2 - C1, dH = 2 * std::sqrt(C1 * C2) * std::sin(rad(dh / 2));
    const double L = (p.L + q.L) / 2, C = (C1 + C2) / 2;
    double H = h1 + h2;
    if (C1 * C2 != 0)
        H = std::abs(h1 - h2) <= 180 ? (h1 + h2) / 2 : (h1 + h2 < 360 ? (h1 + h2 + 360) / 2 : (h1 + h2 - 360) / 2);
    const double T = 1 - 0.17 * std::cos(rad(H - 30)) + 0.24 * std::cos(rad(2 * H)) + 0.32 * std::cos(rad(3 * H + 6)) -
                     0.20 * std::cos(rad(4 * H - 63));
    const double sL = 1 + 0.015 * (L - 50) * (L - 50) / std::sqrt(20 + (L - 50) * (L - 50));
    const double sC = 1 + 0.045 * C, sH = 1 + 0.015 * C * T;
    const double C7 = std::pow(C, 7);
    const double rT =
        -2 * std::sqrt(C7 / (C7 + std::pow(25.0, 7))) * std::sin(rad(60 * std::exp(-std::pow((H - 275) / 25, 2))));
    return std::sqrt(std::pow(dL / sL, 2) + std::pow(dC / sC, 2) + std::pow(dH / sH, 2) + rT * (dC / sC) * (dH / sH));
}

QImage Chart(int width, int height)
{
    QImage chart(width, height, QImage::Format_BGR888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            const BmpColour c = PhotoChartColour(x, y, width, height);
            chart.setPixel(x, y, qRgb(c.r, c.g, c.b));
        }
    return chart;
}

} // namespace

TEST(DeviceBmp, TheColourDifferenceFormulaGivesSharmasWorkedPairs)
{
    // Pairs 1, 7 and 17 of the published CIEDE2000 test data.
    EXPECT_NEAR(DeltaE2000({50, 2.6772, -79.7751}, {50, 0, -82.7485}), 2.0425, 1e-4);
    EXPECT_NEAR(DeltaE2000({50, 0, 0}, {50, -1, 2}), 2.3669, 1e-4);
    EXPECT_NEAR(DeltaE2000({50, 2.5, 0}, {73, 25, -18}), 27.1492, 1e-4);
}

TEST(DeviceBmp, APhotoLikeScanKeepsItsColoursIn256WithoutDithering)
{
    const QImage chart = Chart(400, 300);
    for (const int bpp : {8, 4})
    {
        SCOPED_TRACE(bpp);
        DeviceBmpError error = DeviceBmpError::None;
        const std::optional<QImage> device =
            MakeDeviceImage(chart, {.bitsPerPixel = bpp, .bDither = false, .crop = {}}, &error);
        ASSERT_TRUE(device);
        EXPECT_LE(device->colorCount(), 1 << bpp);
        if (bpp != 8)
            continue;
        double sum = 0;
        for (int y = 0; y < chart.height(); ++y)
            for (int x = 0; x < chart.width(); ++x)
                sum += DeltaE2000(ToLab(chart.pixel(x, y)), ToLab(device->pixel(x, y)));
        EXPECT_LE(sum / (chart.width() * chart.height()), 2.5);
    }
}

TEST(DeviceBmp, QtsReaderAndTheProgramsDecoderReadTheFileWithTheSamePixels)
{
    const QImage chart = Chart(37, 23); // odd width: rows padded in the file
    for (const int bpp : {4, 8, 24})
        for (const bool dither : {false, true})
        {
            SCOPED_TRACE(testing::Message() << bpp << " bpp, dither " << dither);
            const std::optional<QImage> device =
                MakeDeviceImage(chart, {.bitsPerPixel = bpp, .bDither = dither, .crop = {}});
            ASSERT_TRUE(device);
            const std::string file = EncodeBmp(*device, bpp);
            ASSERT_FALSE(file.empty());
            const auto ours = DecodeBmp(file.data(), file.size());
            ASSERT_TRUE(ours);
            EXPECT_EQ(ours->info.bmBitsPixel, bpp);
            QByteArray bytes(file.data(), static_cast<qsizetype>(file.size()));
            QBuffer buffer(&bytes);
            const QImage qt = QImageReader(&buffer, "bmp").read();
            ASSERT_EQ(qt.size(), QSize(37, 23));
            int different = 0;
            for (int y = 0; y < 23; ++y)
                for (int x = 0; x < 37; ++x)
                    different += qt.pixel(x, y) != ours->image.pixel(x, y);
            EXPECT_EQ(different, 0);
        }
}
