#pragma once
// Writing BMP files: the file header, the info header with its colour masks,
// the palette and the pixel rows, byte for byte as the format lays them out
// (little-endian, rows padded to 4 bytes). Standard C++ only.
//
// The writer writes what the fields say and checks nothing: the program's
// encoder gives it the fields of a plain bottom-up file with a 40-byte header,
// and the tests give it damaged and hostile headers as easily.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace formats
{

/// A BMP file's headers, field by field.
struct BmpHeader
{
    std::uint32_t headerSize = 40;        ///< info header: 12 (core), 40, 108 or 124 bytes
    std::int32_t width = 0;               ///< pixels
    std::int32_t height = 0;              ///< pixels; negative: rows stored top-down
    std::uint16_t bpp = 8;                ///< bits per pixel
    std::uint32_t compression = 0;        ///< 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t colorsUsed = 0;         ///< the header's palette count (0: 2^bpp)
    std::vector<std::uint32_t> palette{}; ///< 0xRRGGBB, as many entries as are stored
    std::array<std::uint32_t, 3> masks{}; ///< red, green, blue: after a 40-byte header with bit
                                          ///< fields, and inside the larger headers
    std::int32_t pixelsPerMetre = 2835;   ///< both resolutions; 2835 is 72 dpi
};

/// Everything before the pixel data of a file whose pixel data is
/// `pixelBytes` bytes long: file header, info header, masks and palette. The
/// pixel offset points right behind the palette.
std::vector<std::uint8_t> BmpHeaderBytes(const BmpHeader& header, std::uint32_t pixelBytes);

/// Bytes of one stored row of `width` pixels at `bpp` bits, padded to 4.
std::uint64_t BmpRowBytes(std::int64_t width, std::uint16_t bpp);

/// Packs one row of pixel values into `row` (BmpRowBytes long), padding
/// cleared: a value is a palette index up to 8 bits per pixel (the first
/// pixel in a byte's high bits), 0xRRGGBB at 24 (stored blue, green, red),
/// the raw little-endian value at 16 and 32.
void PackBmpRow(std::span<const std::uint32_t> values, std::uint16_t bpp, std::span<std::uint8_t> row);

} // namespace formats
