#include "calibration/calibration.h"

#include <cmath>

#include "geodesy/geodesy_constants.h"

using namespace formats;

namespace calibration
{

namespace
{

constexpr double kDegToRad = 3.14159265358979323846 / 180.0;

double SignedDegrees(std::int32_t hemisphere, std::int32_t degrees, double minutes)
{
    const double value = degrees + minutes / 60.0;
    return hemisphere != 0 ? -value : value;
}

// x + (t - t0) * (x1 - x0) / (t1 - t0): linear through two points.
double Through(double t, double t0, double t1, double x0, double x1)
{
    return x0 + (t - t0) * (x1 - x0) / (t1 - t0);
}

} // namespace

bool Calibration::IsDefined() const
{
    return pixel[0].x != pixel[1].x && pixel[0].y != pixel[1].y && position[0].lon != position[1].lon &&
           position[0].lat != position[1].lat;
}

GeoPoint Calibration::PositionAt(PixelPoint p) const
{
    return {Through(p.x, pixel[0].x, pixel[1].x, position[0].lon, position[1].lon),
            Through(p.y, pixel[0].y, pixel[1].y, position[0].lat, position[1].lat)};
}

PixelPoint Calibration::PixelOf(GeoPoint g) const
{
    return {Through(g.lon, position[0].lon, position[1].lon, pixel[0].x, pixel[1].x),
            Through(g.lat, position[0].lat, position[1].lat, pixel[0].y, pixel[1].y)};
}

Calibration CalibrationOf(const CalValues& values)
{
    Calibration c;
    for (int p = 0; p < 2; ++p)
    {
        c.pixel[p] = {static_cast<double>(values.m_nPixel[p][0]), static_cast<double>(values.m_nPixel[p][1])};
        c.position[p] = {SignedDegrees(values.m_nHemisphere[p][0], values.m_nDegree[p][0], values.m_dMinute[p][0]),
                         SignedDegrees(values.m_nHemisphere[p][1], values.m_nDegree[p][1], values.m_dMinute[p][1])};
    }
    return c;
}

conversion::EntryValues DecimalDegreeEntries(const Calibration& calibration)
{
    conversion::EntryValues values;
    for (int p = 0; p < 2; ++p)
    {
        values.m_nHemisphere[p][0] = calibration.position[p].lon < 0.0 ? 1 : 0;
        values.m_nHemisphere[p][1] = calibration.position[p].lat < 0.0 ? 1 : 0;
        values.m_dDegree[p][0] = std::fabs(calibration.position[p].lon);
        values.m_dDegree[p][1] = std::fabs(calibration.position[p].lat);
    }
    return values;
}

std::pair<double, double> RadiiOfCurvature(double lat)
{
    // a and f of WGS 84, e2 = f (2 - f).
    const double a = geodesy::WGS84_SEMI_MAJOR_AXIS;
    const double f = geodesy::WGS84_FLATTENING;
    const double e2 = f * (2.0 - f);
    const double s = std::sin(lat * kDegToRad);
    const double W = std::sqrt(1.0 - e2 * s * s);
    return {a / W, a * (1.0 - e2) / (W * W * W)};
}

std::pair<double, double> GroundOffset(GeoPoint a, GeoPoint b)
{
    const double lat = (a.lat + b.lat) / 2.0;
    const auto [N, M] = RadiiOfCurvature(lat);
    return {(b.lon - a.lon) * kDegToRad * N * std::cos(lat * kDegToRad), (b.lat - a.lat) * kDegToRad * M};
}

double GroundDistance(GeoPoint a, GeoPoint b)
{
    const auto [east, north] = GroundOffset(a, b);
    return std::hypot(east, north);
}

} // namespace calibration
