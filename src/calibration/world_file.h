#pragma once
// World files: six numbers that place a raster image, one per line.
//
//     A   degrees of longitude per pixel column
//     D   rotation term (0 here)
//     B   rotation term (0 here)
//     E   degrees of latitude per pixel row, negative (rows count down)
//     C   longitude of the centre of the top-left pixel
//     F   latitude of the centre of the top-left pixel
//
// Pixel convention: column c, row r (0-based from the top-left) has its
// centre at C + A c, F + E r; for a .CAL point (x, y) on a map H pixels high
// that is c = x, r = H - y. The coordinates are WGS 84 degrees, which the
// .prj file beside the world file says in WKT.

#include <istream>
#include <optional>
#include <string>
#include <string_view>

#include "calibration/exchange.h"

namespace calibration
{

/// The six lines (CR LF) of `calibration` on a map of `size`, each number
/// written with the digits that read back as the same double, so that the
/// corners survive far below 1e-9°.
std::string WorldFileText(const Calibration& calibration, MapSize size);

/// The WKT of geographic WGS 84 coordinates, for the .prj file.
std::string_view Wgs84PrjText();

/// Reads a world file's six numbers. Refused: fewer than six lines, a line
/// longer than kMaxLineBytes, a line that is not one number, rotation terms
/// other than 0.
Exchange<Georeference> ReadWorldFile(std::istream& in);

/// Nothing when the WKT `text` of a .prj file describes geographic WGS 84
/// coordinates (or says nothing at all); otherwise why not, naming what it
/// describes.
std::optional<ExchangeError> CheckPrj(std::string_view text);

} // namespace calibration
