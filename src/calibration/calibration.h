#pragma once
// The device's model of a calibrated map: the mapping between bitmap pixels
// and WGS84 positions that two reference points define, linear per axis in
// degrees (x with longitude, y with latitude), as the hand-held device
// computes it from a .CAL file.
//
// Pixel convention. A .CAL point (x, y) is the centre of the pixel in column
// x (counted from 0 at the left) and in row H - y counted from 0 at the top,
// for a map H pixels high: the map view's picking rule, where a pick in the
// top row gives y = H and one in the bottom row y = 1. Pixels may be
// fractional here: (x + 0.5, y) is the pixel's right edge. Every export and
// import of another program's calibration states its own convention relative
// to this one.
//
// Standard C++ only. Angles in degrees, east and north positive.

#include <optional>
#include <utility>

#include "conversion/entry_fields.h"
#include "formats/cal_file.h"

namespace calibration
{

/// A WGS84 position (degrees).
struct GeoPoint
{
    double lon = 0.0;
    double lat = 0.0;
};

/// A pixel position as the .CAL file counts it (y from the bottom row).
struct PixelPoint
{
    double x = 0.0;
    double y = 0.0;
};

/// A map's size in pixels.
struct MapSize
{
    int width = 0;
    int height = 0;
};

/// The two reference points of a calibration.
struct Calibration
{
    PixelPoint pixel[2];
    GeoPoint position[2];

    /// Whether the mapping exists: the points differ in x, in y, in
    /// longitude and in latitude.
    bool IsDefined() const;
    /// The position the device computes at `pixel`; only when IsDefined().
    GeoPoint PositionAt(PixelPoint pixel) const;
    /// The pixel the device puts `position` at; only when IsDefined().
    PixelPoint PixelOf(GeoPoint position) const;
};

/// The calibration of a reference file's values (WGS84 degrees, minutes and
/// hemispheres of both points).
Calibration CalibrationOf(const formats::CalValues& values);

/// Both positions of `calibration` as the dec.Degree entry values a user
/// would type for them (hemisphere flags and unsigned degrees), for the
/// converter's to-WGS84 path.
conversion::EntryValues DecimalDegreeEntries(const Calibration& calibration);

/// The WGS 84 radii of curvature at latitude `lat` (degrees): N in the prime
/// vertical and M in the meridian (metres).
std::pair<double, double> RadiiOfCurvature(double lat);

/// The ground distance between two nearby positions (metres), from their
/// east and north differences with N cos(lat) and M at their mean latitude.
double GroundDistance(GeoPoint a, GeoPoint b);

/// East and north differences b - a (metres), as GroundDistance measures them.
std::pair<double, double> GroundOffset(GeoPoint a, GeoPoint b);

} // namespace calibration
