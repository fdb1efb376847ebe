#pragma once
// A .CAL file's calibration for other map programs: the files each export
// writes, their bytes made here, written by the caller (atomically, as Save
// writes).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calibration/exchange.h"
#include "formats/cal_file.h"

namespace calibration
{

enum class ExportFormat
{
    WorldFile, ///< "worldfile": NAME.bpw and NAME.prj
    Wld,       ///< "wld": NAME.wld and NAME.prj
    OziMap,    ///< "ozi": NAME.map
    Kml,       ///< "kml": NAME.kml referring to the BMP file
    Kmz,       ///< "kmz": NAME.kmz holding doc.kml and the map as PNG
    Gpx,       ///< "gpx": NAME.gpx with both reference points
};

/// "worldfile", "wld", "ozi", "kml", "kmz", "gpx" in any case.
std::optional<ExportFormat> ExportFormatOfName(std::string_view name);

/// The format of a file by its extension (".bpw", ".wld", ".map", ".kml",
/// ".kmz", ".gpx"), in any case.
std::optional<ExportFormat> ExportFormatOfPath(const std::filesystem::path& path);

/// ".bpw", ".wld", ".map", ".kml", ".kmz", ".gpx".
std::string_view ExportExtension(ExportFormat format);

/// Every format but GPX places the map and needs its size.
bool NeedsMapSize(ExportFormat format);

struct ExportRequest
{
    ExportFormat format = ExportFormat::WorldFile;
    formats::CalValues values;    ///< the .CAL file's values
    std::optional<MapSize> size;  ///< the map's size
    std::filesystem::path target; ///< the file to write
    std::filesystem::path bmp;    ///< the map; empty: the file's BMP name beside the target
    std::string png;              ///< KMZ: the map as PNG
};

struct ExportFile
{
    std::filesystem::path path;
    std::string bytes;
};

/// The files of `request`: the target, and for world files the .prj file
/// beside it. Refused: a calibration that other programs cannot take (not
/// defined, or pixels and coordinates running against each other), no size
/// where one is needed, KMZ without PNG.
Exchange<std::vector<ExportFile>> ExportFiles(const ExportRequest& request);

} // namespace calibration
