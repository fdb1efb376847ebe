#pragma once
// The command line's text form of one reference point, per entry format.
// Tokens are separated by white space; hemisphere letters are E or O (east),
// W, N and S, in either case:
//   deg  LON H LAT H            10.5 E 53.25 N
//   dm   D M H D M H            10 30 E 53 15 N
//   dms  D M S H D M S H        10 30 0 E 53 15 0 N
//   utm  ZONE H EASTING NORTHING  32 N 500000 5900000   (H: UTM hemisphere)
// Every number passes the same check as the reference dialog's field for it.

#include <optional>
#include <string>
#include <string_view>

#include "conversion/entry_fields.h"

namespace cli
{

/// "deg", "dm", "dms", "utm" or the list texts "dec.Degree", "dec.Minute",
/// "dec.Second", "UTM", in any case; nothing for other names.
std::optional<std::int32_t> ParseFormatName(std::string_view name);
/// "WGS84", "European", "Potsdam" in any case.
std::optional<std::int32_t> ParseDatumName(std::string_view name);

/// Reads `text` in `format` into point `point` of `values`. On failure returns
/// the text to report in the current language (a catalogue message for a
/// value that fails its field's check, minutes or seconds that carry their
/// angle beyond 180 or 90 degrees included, the expected syntax otherwise)
/// and leaves the point's values unspecified.
std::optional<std::string> ParsePoint(std::int32_t format, std::string_view text, conversion::EntryValues& values,
                                      int point);

/// Point `point` of `values` in `format`, with the fields' decimals and the
/// letters E, W, N, S: "10 30.0000 E 53 15.0000 N".
std::string FormatPoint(std::int32_t format, const conversion::EntryValues& values, int point);

} // namespace cli
