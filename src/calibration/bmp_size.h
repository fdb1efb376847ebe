#pragma once
// A map's size from its BMP file's header, for programs without an image
// library (kartora-cli): only the headers' fields the size needs are read.

#include <filesystem>
#include <optional>

#include "calibration/calibration.h"

namespace calibration
{

/// Width and height (top-down files count positive) of the BMP file at
/// `path`: nothing when it is no regular file, has no "BM" signature, no
/// 12-, 40-, 108- or 124-byte header, or a width or height not above 0.
std::optional<MapSize> ReadBmpSize(const std::filesystem::path& path);

} // namespace calibration
