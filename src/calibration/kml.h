#pragma once
// KML ground overlays: the map as an image on the globe, placed by a
// LatLonBox that gives the latitudes of its top and bottom edges and the
// longitudes of its left and right edges (north, south, east, west, in WGS
// 84 degrees; rotation 0), the image named by a path relative to the KML
// file.
//
// Pixel convention: the box holds the image's outer edges, so the .CAL
// pixel (x, y) of a map W x H pixels has its centre at
// west + (x + 0.5) (east - west) / W, south + (y - 0.5) (north - south) / H.

#include <string>
#include <string_view>

#include "calibration/exchange.h"

namespace calibration
{

/// The largest KML document read (bytes): KML files that carry an overlay
/// are small; a larger file is no calibration.
constexpr std::size_t kMaxKmlBytes = 16 * 1024 * 1024;

/// The KML document of `calibration` on a map of `size`: one GroundOverlay
/// named `name` whose Icon refers to `imageHref`.
Exchange<std::string> KmlText(const Calibration& calibration, MapSize size, std::string_view name,
                              std::string_view imageHref);

/// Reads the first GroundOverlay with a LatLonBox of the KML document `xml`.
/// Refused: no well-formed XML, a document type declaration (KML has none;
/// it could make the parser expand entities), an overlay placed by a
/// LatLonQuad, a box rotated, out of range or across the 180° meridian.
Exchange<Georeference> ReadKml(std::string_view xml);

} // namespace calibration
