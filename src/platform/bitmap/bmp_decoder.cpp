// Header parsing and validation, the two byte sources, and the public entry
// points of the BMP decoder. Pixel rows are decoded in bmp_rows.cpp and
// run-length streams in bmp_rle.cpp.
//
// All sizes derived from the file are computed in 64 bits (width, height and
// bits per pixel are each bounded before they are multiplied), so no
// arithmetic on hostile header values can overflow.
#include "platform/bitmap/bmp_decoder.h"

#include "platform/bitmap/bmp_layout.h"
#include "platform/regular_file.h"

#include <QFile>

#include <algorithm>
#include <cstring>

using namespace bmp_detail;

namespace
{

constexpr std::uint64_t kFileHeaderSize = 14;
constexpr std::int64_t kMaxDimension = 65535;                    // pixels
constexpr std::uint64_t kMaxImageBytes = std::uint64_t{1} << 31; // 2 GiB, the budget's ceiling

std::uint16_t ReadU16(const unsigned char* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadU32(const unsigned char* p)
{
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}

std::int32_t ReadI32(const unsigned char* p)
{
    return static_cast<std::int32_t>(ReadU32(p));
}

// True when the bits per pixel and compression form a format we decode.
bool IsAcceptedFormat(bool bCoreHeader, std::uint16_t bpp, std::uint32_t compression)
{
    if (bCoreHeader)
        return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24;
    switch (compression)
    {
    case BI_RGB:
        return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    case BI_RLE8:
        return bpp == 8;
    case BI_RLE4:
        return bpp == 4;
    case BI_BITFIELDS:
        return bpp == 16 || bpp == 32;
    default:
        return false;
    }
}

// A usable mask set: at least one channel, each channel one contiguous run of
// bits inside the pixel, no two channels sharing a bit.
bool AreValidMasks(const std::uint32_t (&masks)[3], std::uint16_t bpp)
{
    const std::uint64_t pixelBits = (std::uint64_t{1} << bpp) - 1;
    std::uint32_t seen = 0;
    for (std::uint32_t mask : masks)
    {
        if (mask & ~pixelBits)
            return false;
        if (mask & seen)
            return false;
        seen |= mask;
        if (mask == 0)
            continue;
        std::uint32_t run = mask;
        while (!(run & 1))
            run >>= 1;
        if (run & (run + 1))
            return false; // a gap inside the mask
    }
    return seen != 0;
}

bool Fail(BmpError* error, BmpError reason)
{
    if (error)
        *error = reason;
    return false;
}

// Reads and checks the headers, masks and palette. On success `layout` is
// filled and every bound listed in bmp_decoder.h holds.
bool ParseHeaders(IBmpByteSource& source, std::uint64_t memoryBudget, BmpLayout& layout, BitmapRecord& record,
                  BmpError* error)
{
    const std::uint64_t fileSize = source.Size();
    unsigned char head[kFileHeaderSize + 124] = {};

    if (fileSize < 2 || !source.ReadAt(0, head, 2))
        return Fail(error, BmpError::NotBmp);
    if (head[0] != 'B' || head[1] != 'M')
        return Fail(error, BmpError::NotBmp);
    if (fileSize < kFileHeaderSize + 4 || !source.ReadAt(0, head, kFileHeaderSize + 4))
        return Fail(error, BmpError::TruncatedHeader);

    const std::uint32_t headerSize = ReadU32(head + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 108 && headerSize != 124)
        return Fail(error, BmpError::UnsupportedHeader);
    if (fileSize < kFileHeaderSize + headerSize || !source.ReadAt(0, head, kFileHeaderSize + headerSize))
        return Fail(error, BmpError::TruncatedHeader);

    const unsigned char* info = head + kFileHeaderSize;
    const bool bCore = headerSize == 12;
    std::int64_t width, height;
    std::uint16_t planes, bpp;
    std::uint32_t compression = BI_RGB, colorsUsed = 0;
    if (bCore)
    {
        width = ReadU16(info + 4);
        height = ReadU16(info + 6);
        planes = ReadU16(info + 8);
        bpp = ReadU16(info + 10);
    }
    else
    {
        width = ReadI32(info + 4);
        height = ReadI32(info + 8);
        planes = ReadU16(info + 12);
        bpp = ReadU16(info + 14);
        compression = ReadU32(info + 16);
        colorsUsed = ReadU32(info + 32);
    }

    if (planes != 1 || !IsAcceptedFormat(bCore, bpp, compression))
        return Fail(error, BmpError::UnsupportedFormat);
    const bool bRunLength = compression == BI_RLE8 || compression == BI_RLE4;
    if (width <= 0 || height == 0 || (height < 0 && bRunLength))
        return Fail(error, BmpError::BadDimensions);
    const bool bTopDown = height < 0;
    if (bTopDown)
        height = -height; // 64-bit: also safe for INT32_MIN
    if (width > kMaxDimension || height > kMaxDimension)
        return Fail(error, BmpError::TooLarge);

    const bool bIndexed = bpp <= 8;
    const std::uint64_t imageBytesPerLine = (static_cast<std::uint64_t>(width) * (bIndexed ? 1 : 3) + 3) / 4 * 4;
    if (imageBytesPerLine * static_cast<std::uint64_t>(height) > memoryBudget)
        return Fail(error, BmpError::TooLarge);

    // Colour masks: from the extended header, from the three DWORDs after a
    // 40-byte header, or the fixed layouts of uncompressed 16/32-bit pixels.
    std::uint64_t paletteStart = kFileHeaderSize + headerSize;
    if (compression == BI_BITFIELDS)
    {
        const unsigned char* maskBytes = info + 40;
        if (headerSize == 40)
        {
            if (fileSize < paletteStart + 12 || !source.ReadAt(paletteStart, head + paletteStart, 12))
                return Fail(error, BmpError::TruncatedHeader);
            paletteStart += 12;
        }
        for (int i = 0; i < 3; ++i)
            layout.masks[i] = ReadU32(maskBytes + 4 * i);
        if (!AreValidMasks(layout.masks, bpp))
            return Fail(error, BmpError::BadBitfields);
    }
    else if (bpp == 16)
    {
        layout.masks[0] = 0x7C00, layout.masks[1] = 0x03E0, layout.masks[2] = 0x001F;
    }
    else if (bpp == 32)
    {
        layout.masks[0] = 0x00FF0000, layout.masks[1] = 0x0000FF00, layout.masks[2] = 0x000000FF;
    }

    const std::uint64_t pixelOffset = ReadU32(head + 10);
    if (pixelOffset < paletteStart || pixelOffset > fileSize)
        return Fail(error, BmpError::BadPixelOffset);

    const std::uint64_t stride = (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
    if (!bRunLength && stride * static_cast<std::uint64_t>(height) > fileSize - pixelOffset)
        return Fail(error, BmpError::TruncatedPixels);

    if (bIndexed)
    {
        // The table has as many entries as the header declares (all 2^bpp when
        // it says 0 or more than 2^bpp), but no more than fit before the pixels:
        // some writers store a shorter palette than declared. Entries that are
        // missing stay black, and the table always has 256 entries so that any
        // index byte selects a defined colour.
        const std::uint64_t entrySize = bCore ? 3 : 4;
        const std::uint64_t fullCount = std::uint64_t{1} << bpp;
        std::uint64_t count = (colorsUsed == 0 || colorsUsed > fullCount) ? fullCount : colorsUsed;
        count = std::min(count, (pixelOffset - paletteStart) / entrySize);
        unsigned char palette[256 * 4];
        if (count > 0 && !source.ReadAt(paletteStart, palette, count * entrySize))
            return Fail(error, BmpError::ReadFailed);
        layout.colorTable = QList<QRgb>(256, qRgb(0, 0, 0));
        layout.paletteEntries = static_cast<int>(count);
        for (std::uint64_t i = 0; i < count; ++i)
        {
            const unsigned char* bgr = palette + i * entrySize;
            layout.colorTable[static_cast<qsizetype>(i)] = qRgb(bgr[2], bgr[1], bgr[0]);
        }
    }

    layout.width = static_cast<std::int32_t>(width);
    layout.height = static_cast<std::int32_t>(height);
    layout.bTopDown = bTopDown;
    layout.bitsPerPixel = bpp;
    layout.compression = compression;
    layout.stride = stride;
    layout.pixelOffset = pixelOffset;

    record.bmType = 0;
    record.bmWidth = layout.width;
    record.bmHeight = layout.height;
    record.bmWidthBytes = static_cast<std::int32_t>(stride);
    record.bmPlanes = 1;
    record.bmBitsPixel = bpp;
    return true;
}

// A BMP file read with unbuffered I/O, so that rows go from the operating
// system's cache straight into the image's scanlines.
class CBmpFileSource final : public IBmpByteSource
{
public:
    explicit CBmpFileSource(const QString& path) : m_file(path) {}

    bool Open()
    {
        if (!OpenRegularFileForReading(m_file, QIODevice::Unbuffered))
            return false;
        const qint64 size = m_file.size();
        m_nSize = size > 0 ? static_cast<std::uint64_t>(size) : 0;
        return true;
    }

    std::uint64_t Size() const override { return m_nSize; }

    bool ReadAt(std::uint64_t offset, void* dest, std::size_t count) override
    {
        if (offset > m_nSize || count > m_nSize - offset)
            return false;
        if (offset != m_nPos)
        {
            if (!m_file.seek(static_cast<qint64>(offset)))
                return false;
            m_nPos = offset;
        }
        char* out = static_cast<char*>(dest);
        while (count > 0)
        {
            const qint64 got = m_file.read(out, static_cast<qint64>(count));
            if (got <= 0)
            {
                m_nPos = ~std::uint64_t{0}; // position unknown: seek before the next read
                return false;
            }
            out += got;
            count -= static_cast<std::size_t>(got);
            m_nPos += static_cast<std::uint64_t>(got);
        }
        return true;
    }

private:
    QFile m_file;
    std::uint64_t m_nSize = 0;
    std::uint64_t m_nPos = 0; // where the next read starts without a seek
};

// Reports the reads of another source to a progress function; a read after
// the function asked to stop fails.
class CProgressSource final : public IBmpByteSource
{
public:
    CProgressSource(IBmpByteSource& source, const BmpReadProgress& progress) : m_source(source), m_progress(progress) {}

    std::uint64_t Size() const override { return m_source.Size(); }

    bool ReadAt(std::uint64_t offset, void* dest, std::size_t count) override
    {
        if (m_bStopped || !m_progress(offset, m_source.Size()))
        {
            m_bStopped = true;
            return false;
        }
        return m_source.ReadAt(offset, dest, count);
    }

    bool Stopped() const { return m_bStopped; }

private:
    IBmpByteSource& m_source;
    const BmpReadProgress& m_progress;
    bool m_bStopped = false;
};

std::optional<DecodedBitmap> Decode(IBmpByteSource& source, BmpError* error, std::uint64_t memoryBudget);

} // namespace

const char* BmpErrorText(BmpError error)
{
    switch (error)
    {
    case BmpError::None:
        return "no error";
    case BmpError::OpenFailed:
        return "cannot open the file";
    case BmpError::ReadFailed:
        return "read failed";
    case BmpError::NotBmp:
        return "not a BMP file";
    case BmpError::TruncatedHeader:
        return "truncated header";
    case BmpError::UnsupportedHeader:
        return "unsupported header size";
    case BmpError::UnsupportedFormat:
        return "unsupported planes, bits per pixel or compression";
    case BmpError::BadDimensions:
        return "bad dimensions";
    case BmpError::TooLarge:
        return "image too large";
    case BmpError::BadBitfields:
        return "bad colour masks";
    case BmpError::BadPixelOffset:
        return "pixel offset outside the file";
    case BmpError::TruncatedPixels:
        return "truncated pixel data";
    case BmpError::RleOutsideImage:
        return "run-length data outside the image";
    case BmpError::RleTruncated:
        return "truncated run-length data";
    case BmpError::OutOfMemory:
        return "out of memory";
    case BmpError::Cancelled:
        return "cancelled";
    }
    return "unknown error";
}

CBmpMemorySource::CBmpMemorySource(const void* data, std::size_t size)
    : m_pData(static_cast<const unsigned char*>(data)), m_nSize(data ? size : 0)
{
}

std::uint64_t CBmpMemorySource::Size() const
{
    return m_nSize;
}

bool CBmpMemorySource::ReadAt(std::uint64_t offset, void* dest, std::size_t count)
{
    if (offset > m_nSize || count > m_nSize - offset)
        return false;
    if (count > 0)
        std::memcpy(dest, m_pData + offset, count);
    return true;
}

std::uint64_t DefaultBmpMemoryBudget()
{
    const std::uint64_t physical = PhysicalMemoryBytes();
    return physical == 0 ? kMaxImageBytes : std::min(kMaxImageBytes, physical / 2);
}

std::optional<DecodedBitmap> DecodeBmp(IBmpByteSource& source, BmpError* error, std::uint64_t memoryBudget,
                                       const BmpReadProgress& progress)
{
    if (!progress)
        return Decode(source, error, memoryBudget);
    CProgressSource observed(source, progress);
    std::optional<DecodedBitmap> result = Decode(observed, error, memoryBudget);
    if (observed.Stopped())
    {
        Fail(error, BmpError::Cancelled);
        return std::nullopt;
    }
    if (result)
        progress(source.Size(), source.Size());
    return result;
}

namespace
{

std::optional<DecodedBitmap> Decode(IBmpByteSource& source, BmpError* error, std::uint64_t memoryBudget)
{
    BmpLayout layout;
    DecodedBitmap result;
    if (!ParseHeaders(source, memoryBudget, layout, result.info, error))
        return std::nullopt;

    const bool bIndexed = layout.bitsPerPixel <= 8;
    result.image =
        AllocateBitmapImage(layout.width, layout.height, bIndexed ? QImage::Format_Indexed8 : QImage::Format_BGR888);
    if (result.image.isNull())
    {
        Fail(error, BmpError::OutOfMemory);
        return std::nullopt;
    }
    if (bIndexed)
        result.image.setColorTable(layout.colorTable);
    result.paletteEntries = layout.paletteEntries;

    BmpError status;
    if (layout.compression == BI_RLE8 || layout.compression == BI_RLE4)
    {
        result.image.fill(0u); // pixels the stream skips show palette entry 0
        status = DecodeRunLengthStream(source, layout, result.image);
    }
    else
    {
        status = DecodeUncompressedRows(source, layout, result.image);
    }
    if (status != BmpError::None)
    {
        Fail(error, status);
        return std::nullopt;
    }
    if (error)
        *error = BmpError::None;
    return result;
}

} // namespace

std::optional<DecodedBitmap> DecodeBmp(const void* data, std::size_t size, BmpError* error, std::uint64_t memoryBudget)
{
    CBmpMemorySource source(data, size);
    return DecodeBmp(source, error, memoryBudget);
}

std::optional<DecodedBitmap> LoadBmpFile(const QString& path, BmpError* error, std::uint64_t memoryBudget,
                                         const BmpReadProgress& progress)
{
    CBmpFileSource source(path);
    if (!source.Open())
    {
        Fail(error, BmpError::OpenFailed);
        return std::nullopt;
    }
    return DecodeBmp(source, error, memoryBudget, progress);
}
