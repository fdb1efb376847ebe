#pragma once
// kartora-cli's map commands: what a map file is (map info), and the device
// BMP made of a scan of any image format (map convert). The images are read
// and the palettes made by the Qt layers' code, handed in as MapTools: a
// kartora-cli built without those layers has none and says so.

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <string>
#include <variant>

#include "formats/map_file.h"

namespace cli
{

/// The readers of map files (platform/bitmap/map_file_tools.h); empty in a
/// build without the Qt layers.
struct MapTools
{
    std::function<std::variant<formats::MapFacts, std::string>(const std::filesystem::path&)> describe;
    std::function<formats::DeviceBmpBytes(const std::filesystem::path&, const formats::DeviceBmpRequest&)> convert;
};

/// Prints the size, bits per pixel, palette size and whether the device
/// reads the map at `file` as it is. 1 when it cannot be read.
int RunMapInfo(const std::string& file, const MapTools& tools, std::ostream& out, std::ostream& err);

struct MapConvertOptions
{
    std::string input{};  ///< the scan; never written
    std::string output{}; ///< the BMP file to write
    int bpp = 8;          ///< 8, 4 or 24
    bool dither = false;
    std::string crop{}; ///< "X,Y,W,H" in the scan's pixels, y from the top row; empty: all
    bool yes = false;   ///< replace an existing output (without it: No, exit status 2)
};

/// Writes the device BMP of the scan completely or not at all and prints
/// its path. A scan that cannot be read, a crop outside it, or an output
/// that is the scan itself: 1 with the reason, nothing written.
int RunMapConvert(const MapConvertOptions& options, const MapTools& tools, std::ostream& out, std::ostream& err);

} // namespace cli
