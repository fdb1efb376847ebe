#pragma once
// BMP files for the tests, the benchmarks and the sample map, written by the
// program's own BMP writer (formats/bmp_file.h). It writes what the recipe
// says and checks nothing, so that damaged and hostile files are written as
// easily as good ones. Standard C++ only.

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

using BmpBytes = std::vector<std::uint8_t>;

/// A BMP file field by field.
struct BmpRecipe
{
    std::uint32_t headerSize = 40;        ///< info header: 12 (core), 40, 108 or 124 bytes
    std::int32_t width = 0;               ///< pixels
    std::int32_t height = 0;              ///< pixels; negative: rows stored top-down
    std::uint16_t bpp = 8;                ///< bits per pixel
    std::uint32_t compression = 0;        ///< 0 none, 1 RLE8, 2 RLE4, 3 bit fields
    std::uint32_t colorsUsed = 0;         ///< the header's palette count (0: 2^bpp)
    std::vector<std::uint32_t> palette{}; ///< 0xRRGGBB, as many entries as are stored (a QRgb's alpha is not)
    std::array<std::uint32_t, 3> masks{}; ///< red, green, blue: after a 40-byte header with bit
                                          ///< fields, and inside the larger headers
    BmpBytes pixels{};                    ///< exactly as stored after the pixel offset
    std::int32_t pixelsPerMetre = 2835;   ///< both resolutions; 2835 is 72 dpi
};

/// The whole file: file header, info header, masks, palette and pixels.
BmpBytes WriteBmp(const BmpRecipe& recipe);

/// Everything before the pixel data, for a file whose `pixelBytes` bytes of
/// pixels are written after it row by row (recipe.pixels is not used).
BmpBytes WriteBmpHeaders(const BmpRecipe& recipe, std::uint32_t pixelBytes);

/// One row as the file stores it, padded to 4 bytes: `value(x)` is a palette
/// index up to 8 bits per pixel, 0xRRGGBB at 24, the raw little-endian value
/// at 16 and 32.
BmpBytes PackRow(int width, std::uint16_t bpp, const std::function<std::uint32_t(int x)>& value);

/// Every row in the file's order (bottom row first, top row first for a
/// negative `height`); `value(x, y)` as for PackRow, y from the top row.
BmpBytes PackRows(int width, int height, std::uint16_t bpp, const std::function<std::uint32_t(int x, int y)>& value);

// ---- short forms for maps ----------------------------------------------------

struct BmpColour
{
    std::uint8_t r = 0, g = 0, b = 0;
};

/// An uncompressed bottom-up map with a 40-byte info header. 1, 4 and 8
/// bits per pixel: `palette` (2^bpp entries stored, missing ones black) and
/// `pixel(x, y)` a palette index; x from the left, y from the top row.
BmpBytes MakeIndexedBmp(int width, int height, int bitsPerPixel, const std::vector<BmpColour>& palette,
                        const std::function<int(int x, int y)>& pixel);
/// The same at 24 bits per pixel.
BmpBytes MakeRgbBmp(int width, int height, const std::function<BmpColour(int x, int y)>& colour);
