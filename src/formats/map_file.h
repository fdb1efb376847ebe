#pragma once
// What kartora-cli learns of a map file and asks of the device BMP made from
// it, in standard C++. The reading itself needs the image decoders of the Qt
// layers (platform/bitmap/map_file_tools.h); kartora-cli is handed them as
// functions when it is built with those layers.

#include <cstdint>
#include <optional>
#include <string>

namespace formats
{

/// A map file as read.
struct MapFacts
{
    std::int32_t width = 0;       ///< pixels
    std::int32_t height = 0;      ///< pixels
    int bitsPerPixel = 0;         ///< the file's own: a BMP's header value, the colour bits of other formats
    int paletteSize = 0;          ///< entries of the file's colour table; 0 without one
    std::string format;           ///< "bmp", "png", "jpeg", "tiff", "gif", ...
    bool bDeviceReadable = false; ///< a BMP with 4 or 8 bits per pixel
};

/// A part of a map in its pixels, x to the right and y down from the top row.
struct MapCrop
{
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

/// How the device BMP is made.
struct DeviceBmpRequest
{
    int bitsPerPixel = 8;        ///< 8 or 4 (a palette of at most 2^bits colours), or 24
    bool bDither = false;        ///< diffuse the palette's error
    std::optional<MapCrop> crop; ///< the part to keep; none: the whole map
};

enum class MapFileFault
{
    None,
    Unreadable,  ///< the map could not be read (`reason` says why)
    CropOutside, ///< the crop is empty or not inside the map
    Failed,      ///< the device BMP could not be made (out of memory)
};

/// A device BMP made from a map file: its bytes, or why there are none.
struct DeviceBmpBytes
{
    std::string bytes;
    MapFileFault fault = MapFileFault::None;
    std::string reason; ///< English, for Unreadable
    MapFacts source;    ///< the map read (its size also for CropOutside)
};

} // namespace formats
