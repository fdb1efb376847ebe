#pragma once
// KMZ: a zip archive with the KML document "doc.kml" and the image it
// refers to, for programs that take one file. Zip through libzip.

#include <filesystem>
#include <string>
#include <string_view>

#include "calibration/exchange.h"

namespace calibration
{

/// The archive holding `kml` as "doc.kml" (deflated) and `image` as
/// `imageName` (stored: a PNG is compressed already).
Exchange<std::string> KmzBytes(std::string_view kml, std::string_view imageName, std::string_view image);

/// The overlay of the archive's "doc.kml", or of its first .kml file when it
/// has no "doc.kml" (see ReadKml). A .kml entry above kMaxKmlBytes is
/// refused without being unpacked whole.
Exchange<Georeference> ReadKmz(std::string_view bytes);
Exchange<Georeference> ReadKmzFile(const std::filesystem::path& path);

} // namespace calibration
