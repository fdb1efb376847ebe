#pragma once
// Reading a map in any image format the program takes: BMP through the
// program's own decoder (bmp_decoder.h), PNG, JPEG, TIFF (a GeoTIFF as the
// image it holds) and GIF (its first frame) through Qt's image plugins.
//
// Maps are held in two formats only, whatever the file: QImage::Format_Indexed8
// (files of at most 8 bits per pixel with a colour table, and grey images of 8
// bits) and QImage::Format_BGR888, three bytes per pixel (everything else; an
// alpha channel is laid over white, as the map would show on paper).
//
// Bounds: the image as Qt's reader allocates it (four bytes per pixel for most
// colour files) must fit the memory budget, checked from the file's header
// before anything large is allocated, so a file that declares 100000 x 100000
// pixels is refused at once. A JPEG cut short, which its decoder would
// complete with grey, counts as damaged. Only regular files are opened.
//
// Reads may run on any thread; `progress` follows the bytes read and stops
// the read when cancelled.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

#include "platform/bitmap/bmp_decoder.h"
#include "platform/bitmap/map_progress.h"

/// Why a map was not read.
enum class MapReadError
{
    None,
    OpenFailed,  ///< missing, unreadable, or not a regular file
    NotAnImage,  ///< no format the program reads (a BMP the decoder does not take included)
    Damaged,     ///< a known format, but the file is cut short or broken
    TooLarge,    ///< beyond the memory budget
    OutOfMemory, ///< the image could not be allocated
    Cancelled,   ///< stopped through the progress
};

/// A short English reason, e.g. "the file is damaged or cut short".
const char* MapReadErrorText(MapReadError error);

struct MapImage
{
    QImage image;        ///< Format_Indexed8 or Format_BGR888, top row first
    BitmapRecord info;   ///< a BMP's record; for other formats width, height,
                         ///< the colour bits of the file's pixels (1, 8, 16, 24,
                         ///< 32, 48, 64) and the image's bytes per row
    QByteArray format;   ///< Qt's name of the format: "bmp", "png", "jpeg", "tiff", "gif", ...
    int paletteSize = 0; ///< entries of the file's colour table; 0 without one
};

/// What a map file is, from its first bytes.
enum class MapFileKind
{
    DeviceBitmap, ///< a BMP with 4 or 8 bits per pixel, as the device reads it
    OtherImage,   ///< another BMP, or a file of another image format
    Unknown,      ///< no image file the program knows, or no regular file
};

/// Looks at the header of the file at `path` only.
MapFileKind ClassifyMapFile(const QString& path);

/// Whether the device reads `map` as it is: a BMP with 4 or 8 bits per pixel.
bool IsDeviceBitmap(const MapImage& map);

/// Reads the map at `path`. On failure returns nothing and stores the reason
/// in `error` when given.
std::optional<MapImage> ReadMapImage(const QString& path, MapReadError* error = nullptr,
                                     CMapProgress* progress = nullptr,
                                     std::uint64_t memoryBudget = DefaultBmpMemoryBudget());
