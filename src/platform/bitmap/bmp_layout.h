#pragma once
// Internal to the BMP decoder: the validated description of a BMP file that
// the header parser hands to the pixel decoders.

#include "platform/bitmap/bmp_decoder.h"

#include <QImage>
#include <QList>

#include <cstdint>

namespace bmp_detail
{

// Compression codes of the info header.
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;

// Everything the pixel decoders need, already checked against the bounds and
// against the size of the source: width and height are in 1..65535, the
// image fits the memory bound, and for uncompressed data
// pixelOffset + stride x height <= source size.
struct BmpLayout
{
    std::int32_t width = 0;         // pixels
    std::int32_t height = 0;        // pixels, positive
    bool bTopDown = false;          // first row in the file is the top row
    std::uint16_t bitsPerPixel = 0; // 1, 4, 8, 16, 24 or 32
    std::uint32_t compression = BI_RGB;
    std::uint64_t stride = 0;           // bytes per row in the file, multiple of 4
    std::uint64_t pixelOffset = 0;      // byte offset of the first row / the stream
    std::uint32_t masks[3] = {0, 0, 0}; // red, green, blue (16 and 32 bits)
    QList<QRgb> colorTable;             // indexed formats: exactly 256 entries
    int paletteEntries = 0;             // of those, the ones the file stores
};

// A width x height image of `format` (Format_Indexed8 or Format_BGR888) with
// rows padded to 4 bytes, its pixels undefined; a null image when the memory
// cannot be had.
QImage AllocateBitmapImage(int width, int height, QImage::Format format);

// The machine's physical memory in bytes, 0 when the system does not tell.
std::uint64_t PhysicalMemoryBytes();

// Decodes the uncompressed or bit-field rows of `layout` into `image`, which
// has the layout's size and the matching output format. Returns
// BmpError::ReadFailed if the source cannot deliver bytes it reported.
BmpError DecodeUncompressedRows(IBmpByteSource& source, const BmpLayout& layout, QImage& image);

// Decodes an RLE8 or RLE4 stream of `layout` into `image` (Format_Indexed8,
// the layout's size, every index 0 on entry).
BmpError DecodeRunLengthStream(IBmpByteSource& source, const BmpLayout& layout, QImage& image);

} // namespace bmp_detail
