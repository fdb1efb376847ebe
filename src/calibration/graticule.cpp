#include "calibration/graticule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "messages/messages.h"

namespace calibration
{

namespace
{

constexpr int kSteps[] = {1, 2, 5, 10, 30, 60}; // minutes
constexpr double kMinSpacing = 80.0;            // pixels
constexpr double kMinDrawnSpacing = 1.0;        // pixels

// The lines of one axis: the multiples of the step between the values at
// the two edges `edge0` and `edge1` (pixels), through the pixel `toPixel`
// gives for a value in degrees.
template <class ToPixel>
void AddLines(std::vector<GraticuleLine>& lines, bool bMeridian, double degrees0, double degrees1,
              double pixelsPerMinute, ToPixel toPixel)
{
    if (!std::isfinite(pixelsPerMinute) || !(pixelsPerMinute > 0.0))
        return;
    const int step = GraticuleStep(pixelsPerMinute);
    if (step * pixelsPerMinute < kMinDrawnSpacing)
        return;
    const double low = std::min(degrees0, degrees1) * 60.0;
    const double high = std::max(degrees0, degrees1) * 60.0;
    for (long long k = static_cast<long long>(std::ceil(low / step)); k * step <= high; ++k)
    {
        const auto minutes = static_cast<int>(k * step);
        lines.push_back({bMeridian, minutes, toPixel(minutes / 60.0)});
    }
}

} // namespace

int GraticuleStep(double pixelsPerMinute)
{
    for (const int step : kSteps)
        if (step * pixelsPerMinute >= kMinSpacing)
            return step;
    return kSteps[std::size(kSteps) - 1];
}

std::vector<GraticuleLine> GraticuleOf(const Calibration& c, MapSize size)
{
    std::vector<GraticuleLine> lines;
    if (!c.IsDefined() || size.width <= 0 || size.height <= 0)
        return lines;
    // The map's edges: x from the left edge of column 0 to the right edge of
    // column W - 1, y from the bottom edge of row y = 1 to the top edge of y = H.
    const GeoPoint low = c.PositionAt({-0.5, 0.5});
    const GeoPoint high = c.PositionAt({size.width - 0.5, size.height + 0.5});
    const double dx = c.pixel[1].x - c.pixel[0].x;
    const double dy = c.pixel[1].y - c.pixel[0].y;
    const double pxPerMinuteX = std::fabs(dx / ((c.position[1].lon - c.position[0].lon) * 60.0));
    const double pxPerMinuteY = std::fabs(dy / ((c.position[1].lat - c.position[0].lat) * 60.0));
    AddLines(lines, true, low.lon, high.lon, pxPerMinuteX, [&](double lon) { return c.PixelOf({lon, 0.0}).x; });
    AddLines(lines, false, low.lat, high.lat, pxPerMinuteY, [&](double lat) { return c.PixelOf({0.0, lat}).y; });
    return lines;
}

std::string GraticuleLabel(const GraticuleLine& line)
{
    const int magnitude = std::abs(line.minutes);
    const char* hemisphere = line.bMeridian ? (line.minutes < 0   ? "W"
                                               : g_nLanguage == 1 ? "E"
                                                                  : "O")
                                            : (line.minutes < 0 ? "S" : "N");
    char text[32];
    std::snprintf(text, sizeof text, "%d\xC2\xB0%02d' %s", magnitude / 60, magnitude % 60, hemisphere);
    return text;
}

} // namespace calibration
