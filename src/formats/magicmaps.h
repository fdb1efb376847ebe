#pragma once
// The reference-coordinate export of the MagicMaps map software: a text file
// whose first two lines each hold "latitude,longitude" in signed decimal
// degrees, for reference points 1 and 2, e.g.
//
//     47.8595,12.4687
//     47.8002,-12.5750

#include <cstdint>
#include <iosfwd>

/// Reads the first two lines of `file` (ending in CR LF or LF; further lines
/// are not read) as the coordinates of points 0 and 1.
///
/// In each line the latitude is the number at the start of the text before
/// the first ",", the longitude the number at the start of the text after it;
/// a line without "," has latitude 0 and the whole line as longitude. Numbers
/// are read leniently (optional white space, sign, digits, fraction,
/// exponent); text that is not a number gives 0 and anything after the
/// longitude's number is ignored. A value beyond the double range reads as
/// infinity of its sign.
///
/// Layout [point][0] longitude, [point][1] latitude: `degree` receives the
/// magnitude (decimal degrees), `hemisphere` 1 when the value is below 0
/// (west, south), else 0.
///
/// Returns how many point lines were read: 0, 1 or 2. `hemisphere` and
/// `degree` are written only when both lines were read, so a file of fewer
/// than two lines changes nothing.
int ReadMagicMapsPoints(std::istream& file, std::int32_t hemisphere[2][2], double degree[2][2]);
