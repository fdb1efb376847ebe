#pragma once
// What the calibration files of other map programs have in common: the
// reasons a file is refused, in both languages, and the georeference a file
// describes before the map's size turns it into two reference points.
//
// Pixel/line space. The files read and written here place points in the
// image's own continuous coordinates: u pixels right of the image's left
// edge and v pixels down from its top edge, so that the top-left pixel's
// centre is (0.5, 0.5). A .CAL point (x, y) of a map H pixels high lies at
// u = x + 0.5, v = H - y + 0.5 (see the pixel convention in calibration.h).
//
// Numbers in the files are read strictly (the whole field one decimal
// number, an exponent allowed, never "inf" or "nan") and written with "."
// whatever the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "calibration/calibration.h"

namespace calibration
{

/// Why a file of another program gives no calibration, or a calibration no
/// file. Each has a sentence in both languages (ExchangeErrorText).
enum class ExchangeFault
{
    CannotOpen,        ///< %1: the system's reason
    UnknownKind,       ///< the file's extension names no format read here
    UnknownExportKind, ///< the file's extension names no format written here
    LineTooLong,       ///< %1: the line's number
    TooLarge,          ///< %1: the limit in MiB
    MissingField,      ///< %1: the field
    BadNumber,         ///< %1: the field, %2: its text
    NotOziMap,         ///< the first line is not an OziExplorer map file's
    NotWgs84Prj,       ///< %1: what the .prj file describes
    OutsideRange,      ///< longitudes beyond 180° or latitudes beyond 90°
    Rotated,           ///< %1: the rotation or the rotation terms
    UnknownDatum,      ///< %1: the datum's name
    TooFewPoints,      ///< fewer than two usable calibration points
    PointOutsideMap,   ///< %1: the point's number in the file
    NotKml,            ///< %1: the XML parser's reason
    NoGroundOverlay,   ///< no GroundOverlay with a LatLonBox
    NoLatLonBox,       ///< a GroundOverlay placed by its four corners
    CrossesDateLine,   ///< a box across the 180° meridian
    NotZip,            ///< %1: the zip library's reason
    NoKmlInZip,        ///< a zip archive without a .kml file
    NoCalibration,     ///< the points share a pixel column, row, longitude or latitude
    NoMapSize,         ///< nothing tells the map's size
    NotABmp,           ///< %1: the file that is no BMP
    SizeMismatch,      ///< %1: the map's size, %2: the size the file states
    NotExportable,     ///< the file's pixels and coordinates run against each other
    NoPosition,        ///< %1: the point that has no WGS84 position
    NeedsImage,        ///< KMZ without the map converted to PNG
    MapNotReadable,    ///< the map to export cannot be read
    WriteFailed,       ///< %1: what the writing library said
};

struct ExchangeError
{
    ExchangeError(ExchangeFault f, std::string first = {}, std::string second = {})
        : fault(f), insert(std::move(first)), insert2(std::move(second))
    {
    }

    ExchangeFault fault;
    std::string insert;  ///< for %1
    std::string insert2; ///< for %2
};

/// The sentence for `error` in the language g_nLanguage (UTF-8).
std::string ExchangeErrorText(const ExchangeError& error);

/// A value, or why there is none.
template <class T> using Exchange = std::variant<T, ExchangeError>;

/// What a file of another program says about a map: two points of the
/// image in pixel/line space (in fractions of the image's width and height
/// when `bRelative`) and their positions in `datum`.
struct Georeference
{
    double u[2] = {};
    double v[2] = {};
    bool bRelative = false;
    GeoPoint position[2];
    std::int32_t datum = 0; ///< MapDatum
    /// The reference pixels are the pixels that hold the file's own two
    /// points; otherwise they are spread to 10 % and 90 % of the map.
    bool bKeepPoints = false;
    std::string imageName;       ///< the image the file names (UTF-8, no directory); may be empty
    std::optional<MapSize> size; ///< the size the file states
};

/// `text` (white space around it removed) as one finite decimal number:
/// optional sign, digits with one optional ".", optional exponent.
std::optional<double> StrictNumber(std::string_view text);

/// `value` in fixed notation with the fewest digits that read back as the
/// same double ("0.000114893617021276"); "-0" never appears.
std::string ShortestDecimal(double value);

/// `german` or `english` by g_nLanguage: the inserts that name a field.
std::string InLanguage(const char* german, const char* english);

/// The last component of a path as another program may write it ("/" or
/// "\" separating).
std::string_view LastPathComponent(std::string_view path);

} // namespace calibration
