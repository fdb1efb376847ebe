#pragma once
// Starting a calibration from another program's: a world file (with the
// .prj beside it), an OziExplorer .map file, a KML or KMZ ground overlay,
// turned into the values of a .CAL file (names, both reference points in
// WGS84 degrees and minutes at the file's precision of 0.0001').

#include <filesystem>
#include <optional>
#include <string_view>

#include "calibration/exchange.h"
#include "formats/cal_file.h"

namespace calibration
{

enum class SourceKind
{
    WorldFile, ///< .bpw, .bmpw, .wld, .tfw, .jgw, .pgw
    OziMap,    ///< .map
    Kml,       ///< .kml
    Kmz,       ///< .kmz
};

/// The kind of file by its extension, in any case.
std::optional<SourceKind> SourceKindOf(const std::filesystem::path& path);

/// The georeference in `bytes`, read as a file of `kind` (a world file
/// without its .prj).
Exchange<Georeference> ReadGeoreference(SourceKind kind, std::string_view bytes);

/// The two reference points of `georeference` on a map of `size`, in its
/// datum. A file's own points (OziExplorer) become the pixels that hold them,
/// which must lie on the map; otherwise the points are spread to 10 % and
/// 90 % of the map (SpreadReferencePixels). Each position is the one the file
/// gives the reference pixel's centre. Refused: points that define no
/// calibration, a map whose corners lie beyond 180° or 90°.
Exchange<Calibration> PlaceReferencePoints(const Georeference& georeference, MapSize size);

/// The map a calibration is imported for: its BMP file (its header gives
/// the size, its name the names), or its size alone; neither: the BMP file
/// beside the source that the source names (or that has the source's name),
/// or else the size the source states.
struct ImportMap
{
    std::filesystem::path bmp;
    std::optional<MapSize> size;
};

/// Reads `source`, places the reference points on the map and shifts their
/// positions to WGS84 as the reference dialog does. The values carry the BMP
/// file's name and its base name as the map name, height difference 0.
/// Refused as ExchangeError says; a map whose size differs from the one the
/// source states is refused too.
Exchange<formats::CalValues> ImportCalibration(const std::filesystem::path& source, const ImportMap& map);

} // namespace calibration
