#pragma once
// A calibration fitted to any number of known points. The device's model is
// linear per axis (longitude = a + b x, latitude = c + d y, y counted from
// the bottom row as the .CAL file counts it); with more than two points it is
// fitted by ordinary least squares, each axis on its own, and every point's
// residual shows how well it agrees with the others. The two reference points
// of the file are then placed so that they reproduce the fitted model.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "calibration/calibration.h"

namespace calibration
{

/// A known point: where it is on the map and on the ground (WGS84).
struct FitPoint
{
    PixelPoint pixel;
    GeoPoint position;
};

struct PointResidual
{
    double east = 0.0;   ///< fitted minus typed, metres east
    double north = 0.0;  ///< fitted minus typed, metres north
    double metres = 0.0; ///< the distance
    double pixels = 0.0; ///< the same in pixels of the fitted model
};

struct Fit
{
    double a = 0.0;                       ///< longitude at x = 0 (degrees)
    double b = 0.0;                       ///< degrees of longitude per pixel
    double c = 0.0;                       ///< latitude at y = 0 (degrees)
    double d = 0.0;                       ///< degrees of latitude per pixel
    std::vector<PointResidual> residuals; ///< in the points' order
    double rmsMetres = 0.0;               ///< root mean square of the residuals' distances
    std::size_t worst = 0;                ///< index of the point with the largest residual

    GeoPoint PositionAt(PixelPoint pixel) const { return {a + b * pixel.x, c + d * pixel.y}; }
};

/// Why no fit exists: fewer than two distinct pixels on an axis, or all
/// positions equal on an axis. `axis` is "x" or "y".
struct FitRefusal
{
    enum Reason
    {
        FewPixels,
        SamePositions,
    } reason;
    std::string axis;
};

/// Fits the model to `points` (two or more).
std::optional<Fit> FitPoints(const std::vector<FitPoint>& points, FitRefusal* refusal = nullptr);

/// The pixels of two reference points spread over a map of `size`: at
/// 10 % and 90 % of its width and of its height (whole pixels, y from the
/// bottom row), point 1 bottom left, point 2 top right.
std::pair<PixelPoint, PixelPoint> SpreadReferencePixels(MapSize size);

/// The two reference points that reproduce `fit` on a map of `size`: pixels
/// at 10 % and 90 % of the width and of the height (whole pixels, y from the
/// bottom row), positions from the fitted model.
Calibration ReferencePointsOf(const Fit& fit, MapSize size);

/// A reference file's values holding `calibration`'s points at the file's
/// precision (whole degrees and minutes rounded to 0.0001').
formats::CalValues CalValuesOf(const Calibration& calibration);

} // namespace calibration
