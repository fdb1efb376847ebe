#pragma once
// Device maps: a map image brought to what the device reads, a BMP with 8
// (or 4) bits per pixel, and the BMP files of 4, 8 and 24 bits per pixel
// themselves.
//
// The palette is chosen by libimagequant (the best palette of at most 256,
// or 16, colours for the image, with optional Floyd-Steinberg dithering). An
// indexed image that uses no more colours than the depth allows keeps them
// exactly, without a new palette. The source is never changed.
//
// Files are uncompressed and bottom-up with a 40-byte header, as the sample
// map; the palette has all 2^bits entries (those no pixel uses black), which
// readers that ignore the header's colour count expect. The resolution is
// the image's, 72 dpi when it has none.

#include <QImage>
#include <QRect>
#include <QString>

#include <optional>
#include <string>

#include "platform/bitmap/map_progress.h"

struct DeviceBmpOptions
{
    int bitsPerPixel = 8;      ///< 8 or 4 (a palette), or 24 (true colour)
    bool bDither = false;      ///< diffuse the palette's error (4 and 8 bits)
    std::optional<QRect> crop; ///< the part of the image to keep, in its pixels
};

enum class DeviceBmpError
{
    None,
    BadOptions, ///< bits per pixel other than 4, 8, 24, or a crop not inside the image
    Failed,     ///< the palette could not be made (out of memory)
    Cancelled,  ///< stopped through the progress
};

/// `source` (Format_Indexed8 or Format_BGR888, as maps are read) brought to
/// the device: Format_Indexed8 with at most 2^bits colour-table entries for
/// 4 and 8 bits, Format_BGR888 for 24. `progress` follows the current step
/// from 0 to 1 and stops the work when cancelled. On failure returns nothing
/// and stores the reason in `error` when given.
std::optional<QImage> MakeDeviceImage(const QImage& source, const DeviceBmpOptions& options,
                                      DeviceBmpError* error = nullptr, CMapProgress* progress = nullptr);

/// Where the device BMP of the map at `scanPath` goes: beside it, the map's
/// title with ".bmp", or with "-2.bmp", "-3.bmp", ... when that name is taken
/// (a BMP map itself takes its own name), so that no file is ever replaced.
QString DeviceBmpPathFor(const QString& scanPath);

/// The BMP file of `image` at `bitsPerPixel`: 4 or 8 from a Format_Indexed8
/// image with at most 2^bits colour-table entries, 24 from Format_BGR888.
/// Empty for any other combination, or when the memory cannot be had.
std::string EncodeBmp(const QImage& image, int bitsPerPixel);
