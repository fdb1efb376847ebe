#include "calibration/fit.h"

#include <cmath>
#include <tuple>

using namespace formats;

namespace calibration
{

namespace
{

// One axis: value = intercept + slope * t by least squares. The pixels are
// centred first, so that the sums stay small beside the mean and no
// cancellation of large products spoils the slope.
struct Line
{
    double intercept;
    double slope;
};

std::optional<Line> FitLine(const std::vector<double>& t, const std::vector<double>& value)
{
    const double n = static_cast<double>(t.size());
    double tMean = 0.0;
    double vMean = 0.0;
    for (std::size_t i = 0; i < t.size(); ++i)
    {
        tMean += t[i];
        vMean += value[i];
    }
    tMean /= n;
    vMean /= n;
    double stt = 0.0;
    double stv = 0.0;
    for (std::size_t i = 0; i < t.size(); ++i)
    {
        stt += (t[i] - tMean) * (t[i] - tMean);
        stv += (t[i] - tMean) * (value[i] - vMean);
    }
    if (!(stt > 0.0))
        return std::nullopt;
    const double slope = stv / stt;
    return Line{vMean - slope * tMean, slope};
}

bool AllEqual(const std::vector<double>& values)
{
    for (const double v : values)
        if (v != values.front())
            return false;
    return true;
}

void SplitDegrees(double value, std::int32_t& hemisphere, std::int32_t& degrees, double& minutes)
{
    hemisphere = value < 0.0 ? 1 : 0;
    const double magnitude = std::fabs(value);
    double whole = std::floor(magnitude);
    // The file shows four decimals of a minute: rounded here, so that 59.99996'
    // becomes the next degree and not "60.0000".
    double tenThousandths = std::round((magnitude - whole) * 600000.0);
    if (tenThousandths >= 600000.0)
    {
        tenThousandths = 0.0;
        whole += 1.0;
    }
    degrees = static_cast<std::int32_t>(whole);
    minutes = tenThousandths / 10000.0;
}

} // namespace

std::optional<Fit> FitPoints(const std::vector<FitPoint>& points, FitRefusal* refusal)
{
    std::vector<double> x, y, lon, lat;
    for (const FitPoint& p : points)
    {
        x.push_back(p.pixel.x);
        y.push_back(p.pixel.y);
        lon.push_back(p.position.lon);
        lat.push_back(p.position.lat);
    }
    const auto refuse = [refusal](FitRefusal::Reason reason, const char* axis) -> std::optional<Fit>
    {
        if (refusal != nullptr)
            *refusal = {reason, axis};
        return std::nullopt;
    };
    if (points.size() < 2 || AllEqual(x))
        return refuse(FitRefusal::FewPixels, "x");
    if (AllEqual(y))
        return refuse(FitRefusal::FewPixels, "y");
    if (AllEqual(lon))
        return refuse(FitRefusal::SamePositions, "x");
    if (AllEqual(lat))
        return refuse(FitRefusal::SamePositions, "y");
    const std::optional<Line> lonLine = FitLine(x, lon);
    const std::optional<Line> latLine = FitLine(y, lat);
    if (!lonLine || !latLine)
        return refuse(FitRefusal::FewPixels, lonLine ? "y" : "x");

    Fit fit{lonLine->intercept, lonLine->slope, latLine->intercept, latLine->slope, {}, 0.0, 0};
    double sumSquares = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i)
    {
        const GeoPoint fitted = fit.PositionAt(points[i].pixel);
        PointResidual r;
        // East and north with N cos(lat) and M at the point's latitude.
        const auto [N, M] = RadiiOfCurvature(points[i].position.lat);
        const double rad = 3.14159265358979323846 / 180.0;
        r.east = (fitted.lon - points[i].position.lon) * rad * N * std::cos(points[i].position.lat * rad);
        r.north = (fitted.lat - points[i].position.lat) * rad * M;
        r.metres = std::hypot(r.east, r.north);
        r.pixels =
            std::hypot((fitted.lon - points[i].position.lon) / fit.b, (fitted.lat - points[i].position.lat) / fit.d);
        sumSquares += r.metres * r.metres;
        if (r.metres > (fit.residuals.empty() ? -1.0 : fit.residuals[fit.worst].metres))
            fit.worst = i;
        fit.residuals.push_back(r);
    }
    fit.rmsMetres = std::sqrt(sumSquares / static_cast<double>(points.size()));
    return fit;
}

std::pair<PixelPoint, PixelPoint> SpreadReferencePixels(MapSize size)
{
    return {{std::round(0.1 * size.width), std::round(0.1 * size.height)},
            {std::round(0.9 * size.width), std::round(0.9 * size.height)}};
}

Calibration ReferencePointsOf(const Fit& fit, MapSize size)
{
    Calibration c;
    std::tie(c.pixel[0], c.pixel[1]) = SpreadReferencePixels(size);
    for (int p = 0; p < 2; ++p)
        c.position[p] = fit.PositionAt(c.pixel[p]);
    return c;
}

CalValues CalValuesOf(const Calibration& calibration)
{
    CalValues values;
    for (int p = 0; p < 2; ++p)
    {
        values.m_nPixel[p][0] = static_cast<std::uint32_t>(std::llround(calibration.pixel[p].x));
        values.m_nPixel[p][1] = static_cast<std::uint32_t>(std::llround(calibration.pixel[p].y));
        SplitDegrees(calibration.position[p].lon, values.m_nHemisphere[p][0], values.m_nDegree[p][0],
                     values.m_dMinute[p][0]);
        SplitDegrees(calibration.position[p].lat, values.m_nHemisphere[p][1], values.m_nDegree[p][1],
                     values.m_dMinute[p][1]);
    }
    return values;
}

} // namespace calibration
