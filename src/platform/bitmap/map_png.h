#pragma once
// A map as PNG, for the programs that take a map and its placement in one
// file (KMZ): decoded by Kartora's own BMP decoder, encoded by Qt. Needs no
// application object and no display.

#include <filesystem>
#include <optional>
#include <string>

/// The BMP map at `path` as PNG bytes, its colours as they are (an indexed
/// map stays indexed); nothing when the decoder refuses the file or the PNG
/// cannot be made.
std::optional<std::string> MapAsPng(const std::filesystem::path& path);
