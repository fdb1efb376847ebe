#pragma once
// kartora-cli's exchange with other map programs: a .CAL file's calibration
// exported as a world file, an OziExplorer .map file, KML, KMZ or GPX (cal
// export), and a .CAL file started from another program's calibration (cal
// from). They write results to `out`, messages to `err` and return the exit
// status: 0, 1 with the reason, 2 for a question answered No.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

namespace cli
{

/// The map at a path as PNG bytes (for KMZ); nothing when it cannot be read.
using MapPngEncoder = std::function<std::optional<std::string>(const std::filesystem::path&)>;

struct CalExportOptions
{
    std::string file;   ///< the .CAL file
    std::string to;     ///< worldfile, wld, ozi, kml, kmz or gpx
    std::string bmp;    ///< the map; empty: the file's BMP name beside it
    std::string output; ///< empty: beside the map, its name with the format's extension
    bool yes = false;   ///< replace existing files without asking No
};

/// Writes the export's files (a world file also the .prj beside it), each
/// completely or not at all; an existing file is a question. Prints the
/// paths written. KMZ needs `png`, which kartora-cli has only when built
/// with the Qt layers.
int RunCalExport(const CalExportOptions& options, const MapPngEncoder& png, std::ostream& out, std::ostream& err);

struct CalFromOptions
{
    std::string source; ///< world file, .map, .kml or .kmz
    std::string bmp;    ///< the map's BMP file
    std::string size;   ///< "WxH" instead of a BMP file
    std::string output; ///< the .CAL file to write
    bool yes = false;
};

/// Starts a .CAL file from another program's calibration and writes it
/// through Save's checks and questions, as cal write does.
int RunCalFrom(const CalFromOptions& options, std::ostream& out, std::ostream& err);

} // namespace cli
