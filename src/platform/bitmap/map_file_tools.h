#pragma once
// Map files for a program without windows (kartora-cli): what a file is, and
// the device BMP made of it, through the same readers and the same palette
// as the desktop program (map_image.h, device_bmp.h). No Qt type in the
// interface; needs no application object and no display.

#include <filesystem>
#include <string>
#include <variant>

#include "formats/map_file.h"

/// The facts of the map at `path`, or an English reason why it cannot be read.
std::variant<formats::MapFacts, std::string> DescribeMapFile(const std::filesystem::path& path);

/// The device BMP of the map at `path` as `request` asks.
formats::DeviceBmpBytes DeviceBmpOfFile(const std::filesystem::path& path, const formats::DeviceBmpRequest& request);
