#pragma once
// The monkey's oracle for a saved .CAL file: what the reference dialog shows
// at the moment of Save, converted independently of the dialog (the fields'
// texts through the core's field checks and converter, as kartora-cli's
// "cal write" converts its points), and the comparison of a written file with
// it.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/cal_file.h"

class CCoordConverter;

/// One reference point as its fields show it: the texts of the entry format's
/// fields ([axis]: 0 longitude or easting, 1 latitude or northing) and the
/// hemisphere buttons' flags.
struct ShownPoint
{
    std::string pixel[2];   ///< x, y from the bottom row
    std::string degrees[2]; ///< dec.Degree: decimal degrees; dec.Minute, dec.Second: whole degrees
    std::string minutes[2]; ///< dec.Minute: decimal minutes; dec.Second: whole minutes
    std::string seconds[2]; ///< dec.Second
    std::string utm[2];     ///< easting, northing (m)
    std::string zone;
    std::int32_t hemisphere[2] = {}; ///< 0 east/north, 1 west/south; [1] is the UTM hemisphere
};

/// Both points, the height difference, and the entry format and input datum
/// in force (InputFormat, MapDatum).
struct ShownEntry
{
    std::int32_t format = 0;
    std::int32_t datum = 0;
    ShownPoint point[2];
    std::string heightDiff; ///< m
};

/// What the file must hold for `shown`: the pixels, the WGS84 hemispheres,
/// whole degrees and decimal minutes of both points, and the height
/// difference as the file writes it (one decimal). `refusal` names the first
/// field that fails its check or the point that has no WGS84 position; no
/// file may be written then.
struct ExpectedFile
{
    std::optional<std::string> refusal;
    formats::CalValues values; ///< names left empty
};

/// Converts `shown` with `converter`, whose datum it selects: that also sets
/// the process-wide UTM ellipsoid, so the caller selects its own converter's
/// datum again afterwards.
ExpectedFile ExpectFile(const ShownEntry& shown, CCoordConverter& converter);

/// One line for each difference between `written` and `expected` beyond the
/// file's precision: pixels and the height difference exactly, positions
/// within one 0.0005' step of the converter's minutes.
std::vector<std::string> CompareWithExpected(const formats::CalValues& written, const formats::CalValues& expected);

/// The fields of `shown` in one line, for a report.
std::string Describe(const ShownEntry& shown);

/// A point's position as the file writes it, e.g. 10°30.0000'E 53°15.0000'N.
std::string FilePosition(const formats::CalValues& values, int point);
