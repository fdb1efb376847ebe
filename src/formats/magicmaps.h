#pragma once
// The reference-coordinate export of the MagicMaps map software: a text file
// whose first two lines each hold "latitude,longitude" in signed decimal
// degrees, for reference points 1 and 2, e.g.
//
//     47.8595,12.4687
//     47.8002,-12.5750

#include <cstdint>
#include <iosfwd>
#include <string_view>

namespace formats
{

/// Reads the first two lines of `file` (ending in CR LF or LF; further lines
/// are not read) as the coordinates of points 0 and 1. A UTF-8 byte-order
/// mark before the first line is skipped.
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
/// Returns how many point lines were read: 0, 1 or 2; a line longer than
/// kMaxLineBytes ends the reading before it. `hemisphere` and `degree` are
/// written only when both lines were read, so a file of fewer than two lines
/// changes nothing.
int ReadMagicMapsPoints(std::istream& file, std::int32_t hemisphere[2][2], double degree[2][2]);

/// What the strict reading of an export line finds.
enum class MagicMapsLineCheck
{
    Valid,
    NotTwoNumbers,     ///< not "latitude,longitude" (a header line, UTF-16 text, a missing number)
    LatitudeTooLarge,  ///< beyond 90 degrees north or south
    LongitudeTooLarge, ///< beyond 180 degrees east or west
};

/// The strict reading of one export line (without its line end), for callers
/// that must not take a guess for a position: the text before the first ","
/// must be one number, the text after it must start with one, followed by
/// the end of the line, white space or a further ","; blanks around the
/// numbers are allowed. Both must lie within ±90 and ±180 degrees.
MagicMapsLineCheck CheckMagicMapsLine(std::string_view line);

} // namespace formats
