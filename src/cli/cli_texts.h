#pragma once
// kartora-cli's own texts (its syntax errors, file and output errors, the
// names of values), in German and English like the message catalogue and
// chosen by the same language index, g_nLanguage.

#include <string>
#include <string_view>

namespace cli
{

enum CliTextId : int
{
    TXT_SYNTAX_DEG, ///< the point syntax of each entry format, in InputFormat order
    TXT_SYNTAX_DM,
    TXT_SYNTAX_DMS,
    TXT_SYNTAX_UTM,
    TXT_BAD_HEMISPHERE, ///< %1: the letter given
    TXT_UNKNOWN_FORMAT, ///< %1: the name given
    TXT_UNKNOWN_DATUM,  ///< %1: the name given
    TXT_PIXEL_SYNTAX,
    TXT_CANNOT_OPEN,  ///< %1: the system's reason
    TXT_CANNOT_READ,  ///< %1: the system's reason
    TXT_CANNOT_WRITE, ///< %1: the system's reason
    TXT_IS_DIRECTORY,
    TXT_NOT_REGULAR_FILE,
    TXT_STANDARD_INPUT,
    TXT_STANDARD_OUTPUT,
    TXT_NOT_EXPRESSIBLE,
    TXT_FEWER_THAN_TWO_LINES,
    TXT_NOT_TWO_NUMBERS,
    TXT_LINE, ///< %1: the line's number, from 1
    TXT_LONGITUDE,
    TXT_LATITUDE,
    TXT_EASTING,
    TXT_NORTHING,
    TXT_ZONE,
    TXT_DEGREES, ///< the parts of an angle, after its name: "latitude minutes"
    TXT_MINUTES,
    TXT_SECONDS,
    TXT_UNKNOWN_COMMAND, ///< %1: the commands there are
    TXT_RUN_WITH_HELP,
    TXT_YES,
    TXT_NO,
    // cal check, locate, pixel
    TXT_NOT_A_BMP,
    TXT_SIZE_SYNTAX,
    TXT_BAD_DPI,
    TXT_NO_CALIBRATION,
    TXT_FIT_LINE_SYNTAX,
    TXT_FIT_SAME_PIXEL,     ///< %1: the earlier line
    TXT_FIT_HEADER,
    TXT_FIT_RMS,   ///< %1: metres
    TXT_FIT_WORST, ///< %1: the point's number
    TXT_NEED_MAP_SIZE,
    // map info, map convert
    TXT_MAP_NEEDS_QT,
    TXT_IMAGE_NOT_READ, ///< %1: why, in English
    TXT_CROP_SYNTAX,
    TXT_CROP_OUTSIDE, ///< %1: the map's size, "W x H"
    TXT_OUTPUT_IS_INPUT,
    TXT_MAP_FORMAT,
    TXT_MAP_SIZE,
    TXT_MAP_BITS_PER_PIXEL,
    TXT_MAP_PALETTE,
    TXT_MAP_DEVICE_READS,
    TXT_COUNT
};

/// The text `id` in the language g_nLanguage (1 English, any other value
/// German), UTF-8, with "%1" replaced by `insert`.
std::string CliText(CliTextId id, std::string_view insert = {});

} // namespace cli
