#pragma once
// Whether a two-point calibration is plausible, before the device shows it:
// the figures a user can judge (metres per pixel, the scale ratio in degrees
// and in UTM grid metres, how far apart the points are, the map scale, how
// far off the device will be at the corners) and the findings, each with a
// stable code, a kind and a sentence that names the likely cause.
//
// With two points nothing is left over to measure an error against; these
// checks look for what a real map cannot be: pixels square on the ground
// neither in degrees nor in grid metres, points in one row, coordinates
// running against the pixels.

#include <optional>
#include <string>
#include <vector>

#include "calibration/calibration.h"

namespace calibration
{

/// What the check knows besides the file: the map's size (from the BMP
/// header or given) and the scan's resolution.
struct CheckInput
{
    std::optional<MapSize> size;
    std::optional<double> dpi; ///< dots per inch
};

struct CalibrationFigures
{
    std::optional<double> scaleX;         ///< metres per pixel in x
    std::optional<double> scaleY;         ///< metres per pixel in y
    std::optional<double> scaleRatio;     ///< larger over smaller of the two
    std::optional<double> gridScaleRatio; ///< the same in UTM grid metres (zone of point 1)
    double separationX = 0.0;             ///< pixels between the points in x
    double separationY = 0.0;             ///< pixels between the points in y
    std::optional<MapSize> size;
    std::optional<long long> scaleDenominator; ///< the map scale 1 : n
    std::optional<double> cornerError;         ///< metres (see CornerError)
};

enum class FindingKind
{
    Error,   ///< the file cannot serve
    Warning, ///< it can, but is probably wrong
};

struct Finding
{
    std::string code; ///< stable: "same-pixel-column", "scale-mismatch", ...
    FindingKind kind;
    std::string message; ///< in the current language (g_nLanguage), names the likely cause
};

struct CheckReport
{
    CalibrationFigures figures;
    std::vector<Finding> findings;

    bool HasError() const;
};

/// Figures and findings of `calibration`.
CheckReport CheckCalibration(const Calibration& calibration, const CheckInput& input);

/// The largest distance (metres), over the map's four corner pixels, between
/// the position the device computes and the position of a calibration linear
/// in UTM easting and northing (WGS 84, zone of point 1) through the same two
/// points. Nothing when the calibration is not defined or a corner has no
/// UTM position. It is what a map printed on a UTM grid costs its user at the
/// edges; the check warns about it only for a map whose pixels are square in
/// grid metres (grid scale ratio at most 1.05) and more so than in degrees.
std::optional<double> CornerError(const Calibration& calibration, MapSize size);

/// The WGS 84 UTM easting and northing of `position` in the zone and
/// hemisphere of `zoneOf` (northings continued across the equator). The
/// process-wide UTM state (the converter's datum) is as it was afterwards.
std::optional<std::pair<double, double>> UtmInZoneOf(GeoPoint zoneOf, GeoPoint position);

/// The position of UTM easting and northing in the zone and hemisphere of
/// `zoneOf` (WGS 84).
std::optional<GeoPoint> UtmToPosition(GeoPoint zoneOf, double easting, double northing);

} // namespace calibration
