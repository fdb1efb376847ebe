// Run-length decoding (RLE8 and RLE4) into an indexed image.
//
// The stream is a sequence of byte pairs (count, value):
//   count > 0          an encoded run: `count` pixels of `value` (RLE8), or
//                      alternating its high and low nibble (RLE4)
//   0, 0               end of line: next row, column 0
//   0, 1               end of bitmap
//   0, 2, dx, dy       delta: move dx columns right and dy rows up
//   0, n (n >= 3)      absolute run: n pixels follow literally (one byte each,
//                      or two per byte for RLE4), padded to a 16-bit boundary
// Rows are counted from the bottom of the bitmap, as the file stores them.
#include "platform/bitmap/bmp_layout.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace bmp_detail
{

namespace
{

// Reads the stream byte by byte through a 64 KiB window of the source.
class CStreamReader
{
public:
    CStreamReader(IBmpByteSource& source, std::uint64_t begin, std::uint64_t end)
        : m_source(source), m_nNext(begin), m_nEnd(end),
          m_buffer(static_cast<std::size_t>(std::min<std::uint64_t>(end - begin, 1 << 16)))
    {
    }

    // Next byte; false at the end of the stream or when the source fails
    // (ReadFailed() tells which).
    bool Next(std::uint8_t& byte)
    {
        if (m_nPos == m_nFill && !Refill())
            return false;
        byte = m_buffer[m_nPos++];
        return true;
    }

    bool Next(std::uint8_t* bytes, std::size_t count)
    {
        for (std::size_t i = 0; i < count; ++i)
            if (!Next(bytes[i]))
                return false;
        return true;
    }

    bool ReadFailed() const { return m_bReadFailed; }

private:
    bool Refill()
    {
        const std::uint64_t left = m_nEnd - m_nNext;
        if (left == 0 || m_bReadFailed)
            return false;
        const std::size_t count = left < m_buffer.size() ? static_cast<std::size_t>(left) : m_buffer.size();
        if (!m_source.ReadAt(m_nNext, m_buffer.data(), count))
        {
            m_bReadFailed = true;
            return false;
        }
        m_nNext += count;
        m_nPos = 0;
        m_nFill = count;
        return true;
    }

    IBmpByteSource& m_source;
    std::uint64_t m_nNext; // source offset of the byte after the window
    std::uint64_t m_nEnd;  // source offset where the stream ends
    std::vector<std::uint8_t> m_buffer;
    std::size_t m_nPos = 0;  // next byte in the window
    std::size_t m_nFill = 0; // bytes in the window
    bool m_bReadFailed = false;
};

} // namespace

BmpError DecodeRunLengthStream(IBmpByteSource& source, const BmpLayout& layout, QImage& image)
{
    const bool bFourBit = layout.compression == BI_RLE4;
    const std::int64_t width = layout.width;
    const std::int64_t height = layout.height;
    CStreamReader stream(source, layout.pixelOffset, source.Size());

    // Current position: column x, row y counted from the bottom. y may pass the
    // top by end-of-line escapes (harmless as long as nothing is written there);
    // it grows at most once per two stream bytes, so 64 bits cannot overflow.
    std::int64_t x = 0;
    std::int64_t y = 0;
    auto rowStart = [&]() { return image.scanLine(static_cast<int>(height - 1 - y)); };
    // True when `count` pixels from the current position stay inside the row.
    auto fits = [&](std::int64_t count) { return y < height && x + count <= width; };

    std::uint8_t pair[2];
    for (;;)
    {
        if (!stream.Next(pair, 2))
        {
            if (stream.ReadFailed())
                return BmpError::ReadFailed;
            // Without an end-of-bitmap escape the stream is still complete when it
            // has reached the end of the top row.
            const bool bComplete = y >= height || (y == height - 1 && x == width);
            return bComplete ? BmpError::None : BmpError::RleTruncated;
        }
        const std::uint8_t count = pair[0];
        const std::uint8_t value = pair[1];

        if (count > 0)
        { // encoded run
            if (!fits(count))
                return BmpError::RleOutsideImage;
            uchar* out = rowStart() + x;
            if (bFourBit)
            {
                const uchar nibbles[2] = {static_cast<uchar>(value >> 4), static_cast<uchar>(value & 0x0F)};
                for (int i = 0; i < count; ++i)
                    out[i] = nibbles[i & 1];
            }
            else
            {
                std::memset(out, value, count);
            }
            x += count;
            continue;
        }

        switch (value)
        {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return BmpError::None;
        case 2:
        { // delta
            std::uint8_t offset[2];
            if (!stream.Next(offset, 2))
                return stream.ReadFailed() ? BmpError::ReadFailed : BmpError::RleTruncated;
            if (x + offset[0] > width || y + offset[1] > height)
                return BmpError::RleOutsideImage;
            x += offset[0];
            y += offset[1];
            break;
        }
        default:
        { // absolute run of `value` pixels
            if (!fits(value))
                return BmpError::RleOutsideImage;
            const std::size_t bytes = bFourBit ? (value + 1u) / 2 : value;
            const std::size_t padded = bytes + (bytes & 1);
            std::uint8_t data[256]; // at most 255 bytes plus one of padding
            if (!stream.Next(data, padded))
                return stream.ReadFailed() ? BmpError::ReadFailed : BmpError::RleTruncated;
            uchar* out = rowStart() + x;
            if (bFourBit)
            {
                for (int i = 0; i < value; ++i)
                    out[i] = (i & 1) ? (data[i / 2] & 0x0F) : (data[i / 2] >> 4);
            }
            else
            {
                std::memcpy(out, data, value);
            }
            x += value;
            break;
        }
        }
    }
}

} // namespace bmp_detail
