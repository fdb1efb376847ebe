#pragma once
// OziExplorer map files ("OziExplorer Map Data File Version 2.2"): a
// Windows-1252 text of comma-separated lines with CR LF line ends: a header,
// the map's title, its image file, the datum, thirty calibration points
// ("Point01,xy,X,Y,in, deg,LAT_DEG,LAT_MIN,N,LON_DEG,LON_MIN,E, grid,..."),
// the map's corners (MMPXY pixels, MMPLL longitude and latitude) and its
// size (IWH).
//
// Pixel convention: a calibration point's pixel (X, Y) is a point in
// pixel/line space (see exchange.h), X pixels right of the image's left edge
// and Y down from its top edge, as GDAL reads these files. Whole numbers name
// pixel corners: (x, H - y) is the top-left corner of the .CAL pixel (x, y).
// The writer keeps whole pixels in the file and writes there the position of
// that corner; the reader takes the pixel holding each point as the
// reference pixel and the position of its centre.

#include <istream>
#include <string>
#include <string_view>

#include "calibration/exchange.h"

namespace calibration
{

/// The file for `calibration` on a map of `size`: datum "WGS 84", the two
/// reference points as calibration points 1 and 2 (minutes with 8
/// decimals), the outer corners as MMPXY/MMPLL, the size as IWH. `title`
/// and `imagePath` (relative to the .map file) are UTF-8; the bytes are
/// Windows-1252.
std::string OziMapText(const Calibration& calibration, MapSize size, std::string_view title,
                       std::string_view imagePath);

/// Reads the datum, the image's name, the size (IWH) and the first two
/// calibration points with latitude and longitude whose pixels differ in
/// both directions. Datums: "WGS 84", "European 1950", "Potsdam Rauenberg
/// DHDN" (also "WGS84" and "Potsdam"), in any case; any other is refused by
/// name.
Exchange<Georeference> ReadOziMap(std::istream& in);

} // namespace calibration
