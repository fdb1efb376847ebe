// Uncompressed and bit-field pixel rows.
//
// 8-bit rows and 24-bit rows have the same layout in the file as in the
// image (Indexed8 and BGR888, both padded to 4 bytes), so they are read
// straight into the scanlines. Other depths are read a few rows at a time
// into a staging buffer of about 1 MiB and expanded from there.
//
// Channel scaling for 16-bit and bit-field pixels: a channel of n bits with
// value v becomes round(v x 255 / (2^n - 1)), so that the full channel range
// maps to 0..255 (a 5-bit 31 is 255, not 248).
#include "platform/bitmap/bmp_layout.h"

#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace bmp_detail
{

namespace
{

constexpr std::size_t kStagingBytes = std::size_t{1} << 20;

// Extracts one channel from a pixel value and scales it to 0..255.
class CChannelScaler
{
public:
    explicit CChannelScaler(std::uint32_t mask)
        : m_nMask(mask), m_nShift(mask ? std::countr_zero(mask) : 0), m_nBits(std::popcount(mask)),
          m_nMax(mask >> m_nShift)
    {
        if (m_nBits <= 8)
        {
            for (std::uint32_t v = 0; v <= m_nMax; ++v)
                m_table[v] = static_cast<std::uint8_t>(m_nMax ? (v * 255 + m_nMax / 2) / m_nMax : 0);
        }
    }

    std::uint32_t operator()(std::uint32_t pixel) const
    {
        const std::uint32_t v = (pixel & m_nMask) >> m_nShift;
        if (m_nBits <= 8)
            return m_table[v];
        return static_cast<std::uint32_t>((std::uint64_t{v} * 255 + m_nMax / 2) / m_nMax);
    }

private:
    std::uint32_t m_nMask;
    int m_nShift;
    int m_nBits;
    std::uint32_t m_nMax; // largest channel value, 2^bits - 1
    std::uint8_t m_table[256] = {};
};

class CMaskedPixels
{
public:
    explicit CMaskedPixels(const std::uint32_t (&masks)[3]) : m_red(masks[0]), m_green(masks[1]), m_blue(masks[2]) {}

    // Writes the pixel's blue, green and red bytes.
    void operator()(std::uint32_t pixel, uchar* bgr) const
    {
        bgr[0] = static_cast<uchar>(m_blue(pixel));
        bgr[1] = static_cast<uchar>(m_green(pixel));
        bgr[2] = static_cast<uchar>(m_red(pixel));
    }

private:
    CChannelScaler m_red, m_green, m_blue;
};

bool HasPlainRgbMasks(const BmpLayout& layout)
{
    return layout.masks[0] == 0x00FF0000 && layout.masks[1] == 0x0000FF00 && layout.masks[2] == 0x000000FF;
}

void ExpandOneBit(const uchar* src, uchar* dst, int width)
{
    for (int x = 0; x < width; ++x)
        dst[x] = (src[x >> 3] >> (7 - (x & 7))) & 1;
}

void ExpandFourBit(const uchar* src, uchar* dst, int width)
{
    for (int x = 0; x < width; ++x)
        dst[x] = (x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4);
}

void ConvertPixels16(const uchar* src, uchar* dst, int width, const CMaskedPixels& convert)
{
    for (int x = 0; x < width; ++x, src += 2, dst += 3)
        convert(src[0] | (src[1] << 8), dst);
}

void ConvertPixels32(const uchar* src, uchar* dst, int width, bool bPlain, const CMaskedPixels& convert)
{
    for (int x = 0; x < width; ++x, src += 4, dst += 3)
    {
        if (bPlain)
        { // bytes blue, green, red, unused
            dst[0] = src[0], dst[1] = src[1], dst[2] = src[2];
        }
        else
        {
            convert(qFromLittleEndian<std::uint32_t>(src), dst);
        }
    }
}

// Reads the rows straight into the scanlines. Top-down rows are contiguous in
// the image as in the file and go in large blocks; bottom-up rows go one by
// one into the scanlines from the bottom up.
BmpError ReadRowsIntoScanlines(IBmpByteSource& source, const BmpLayout& layout, QImage& image)
{
    const std::uint64_t stride = layout.stride;
    if (layout.bTopDown)
    {
        const int rowsPerRead = static_cast<int>(std::max<std::uint64_t>(1, 16 * kStagingBytes / stride));
        for (int row = 0; row < layout.height; row += rowsPerRead)
        {
            const int rows = std::min(rowsPerRead, layout.height - row);
            if (!source.ReadAt(layout.pixelOffset + row * stride, image.scanLine(row), rows * stride))
                return BmpError::ReadFailed;
        }
    }
    else
    {
        for (int row = 0; row < layout.height; ++row)
        {
            if (!source.ReadAt(layout.pixelOffset + row * stride, image.scanLine(layout.height - 1 - row), stride))
                return BmpError::ReadFailed;
        }
    }
    return BmpError::None;
}

} // namespace

BmpError DecodeUncompressedRows(IBmpByteSource& source, const BmpLayout& layout, QImage& image)
{
    const std::uint64_t stride = layout.stride;
    const int bpp = layout.bitsPerPixel;
    if ((bpp == 8 || bpp == 24) && static_cast<std::uint64_t>(image.bytesPerLine()) == stride)
        return ReadRowsIntoScanlines(source, layout, image);

    const CMaskedPixels convert(layout.masks);
    const bool bPlain32 = HasPlainRgbMasks(layout);

    const int rowsPerRead = static_cast<int>(
        std::clamp<std::uint64_t>(kStagingBytes / stride, 1, static_cast<std::uint64_t>(layout.height)));
    const auto staging = std::make_unique_for_overwrite<uchar[]>(rowsPerRead * stride);
    const int width = layout.width;
    const qsizetype padding = image.bytesPerLine() - (bpp <= 8 ? width : 3 * qsizetype{width});
    for (int row = 0; row < layout.height; row += rowsPerRead)
    {
        const int rows = std::min(rowsPerRead, layout.height - row);
        if (!source.ReadAt(layout.pixelOffset + row * stride, staging.get(), rows * stride))
            return BmpError::ReadFailed;
        for (int i = 0; i < rows; ++i)
        {
            const uchar* src = staging.get() + i * stride;
            const int fileRow = row + i;
            uchar* line = image.scanLine(layout.bTopDown ? fileRow : layout.height - 1 - fileRow);
            switch (bpp)
            {
            case 1:
                ExpandOneBit(src, line, width);
                break;
            case 4:
                ExpandFourBit(src, line, width);
                break;
            case 8:
                std::memcpy(line, src, static_cast<std::size_t>(width));
                break;
            case 16:
                ConvertPixels16(src, line, width, convert);
                break;
            case 24: // as a rule read straight into the scanlines above
                std::memcpy(line, src, 3 * static_cast<std::size_t>(width));
                break;
            case 32:
                ConvertPixels32(src, line, width, bPlain32, convert);
                break;
            }
            // Scanline padding is never painted; clear it so the image's bytes are
            // fully defined.
            if (padding > 0)
                std::memset(line + image.bytesPerLine() - padding, 0, padding);
        }
    }
    return BmpError::None;
}

} // namespace bmp_detail
