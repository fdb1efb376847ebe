#include "support/photo_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{

std::uint8_t Channel(double value)
{
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

// Deterministic noise in -1..1 from the pixel's position.
double Noise(int x, int y)
{
    std::uint32_t h = static_cast<std::uint32_t>(x) * 73856093u ^ static_cast<std::uint32_t>(y) * 19349663u;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return static_cast<double>(h & 0xFFFF) / 32767.5 - 1.0;
}

} // namespace

BmpColour PhotoChartColour(int x, int y, int width, int height)
{
    const double u = static_cast<double>(x) / width;
    const double v = static_cast<double>(y) / height;
    double r, g, b;
    if (v < 0.3)
    {
        // Sky: deep blue at the top to hazy light blue at the horizon.
        const double t = v / 0.3;
        r = 70 + 130 * t, g = 120 + 100 * t, b = 200 + 45 * t;
    }
    else if (v < 0.7)
    {
        // Fields and woods: greens in rolling patches, darker in the woods.
        const double patch = 0.5 + 0.5 * std::sin(12 * u + 3 * std::sin(7 * v)) * std::cos(9 * v + 2 * u);
        const double texture = 0.5 + 0.5 * std::sin(90 * u) * std::sin(70 * v);
        r = 40 + 90 * patch + 15 * texture, g = 80 + 90 * patch + 20 * texture, b = 30 + 40 * patch;
    }
    else
    {
        // Earth and roads: browns and greys.
        const double t = 0.5 + 0.5 * std::sin(6 * u + 10 * v);
        r = 120 + 70 * t, g = 95 + 55 * t, b = 70 + 50 * t * t;
        if (std::abs(v - 0.85 - 0.05 * std::sin(8 * u)) < 0.02)
            r = g = b = 110 + 30 * t; // a road
    }
    // Saturated details: red roofs and a rape field.
    if (u > 0.62 && u < 0.70 && v > 0.45 && v < 0.52)
        r = 190, g = 45, b = 35;
    if (u > 0.15 && u < 0.35 && v > 0.55 && v < 0.65)
        r = 235, g = 210, b = 40 + 20 * v;
    const double n = 4 * Noise(x, y);
    return {Channel(r + n), Channel(g + n), Channel(b + n)};
}
