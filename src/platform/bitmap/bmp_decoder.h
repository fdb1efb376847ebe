#pragma once
// Kartora's own BMP decoder: the stand-in for loading a map bitmap as a
// device-independent section and reading its BITMAP record.
//
// Qt's BMP reader cannot serve here: it refuses images above 2^28 pixels (and
// by default about 33 megapixels), and it reports its in-memory depth instead
// of the file's bits per pixel. This decoder keeps 1-, 4- and 8-bit maps
// indexed (one byte per pixel) and true-colour maps in three bytes per pixel
// (a 20000 x 20000 scan is 1.2 GB, not 1.6), and returns the file's own
// colour depth in the record.
//
// Accepted files
//   headers:      12-byte core header; 40-byte info header; 108- and 124-byte
//                 extended headers
//   compression:  none for 1, 4, 8, 16, 24, 32 bits per pixel (core header:
//                 1, 4, 8, 24); run-length for 8 bits (RLE8) and 4 bits (RLE4);
//                 bit-field masks for 16 and 32 bits per pixel (from the
//                 extended header, or the three 32-bit masks that follow a
//                 40-byte header)
//   orientation:  bottom-up (positive height) and, for uncompressed and
//                 bit-field data, top-down (negative height)
//
// Output
//   1, 4, 8 bits per pixel, RLE4, RLE8  -> QImage::Format_Indexed8 with 256
//       colour-table entries (the file's palette, the rest black, so that no
//       pixel index can select an entry that does not exist)
//   16, 24, 32 bits per pixel           -> QImage::Format_BGR888 (bytes blue,
//       green, red: a 24-bit file's rows are read into the scanlines as they
//       are); a colour channel of n bits with value v becomes
//       round(v x 255 / (2^n - 1))
//   Rows are always top-down in the QImage, as on screen.
//
// Palette: as many entries as the header declares (2^bpp when it says 0 or
// more than 2^bpp; always 2^bpp for the core header), but no more than fit
// between the headers and the pixel offset, since some writers store fewer.
//
// Bounds (a file beyond them is refused before anything large is allocated)
//   width and |height| at most 65535 pixels;
//   the decoded image (bytes per scanline x height) at most the caller's
//   memory budget, by default the smaller of 2 GiB and half the machine's
//   physical memory: a run-length file of a few bytes may declare an image
//   of gigabytes, and the machine must keep memory for everything else;
//   uncompressed pixel data must be present in the file in full (rows padded
//   to 4 bytes, the last row's padding included) before the image is
//   allocated.
//
// Run-length data: every escape is honoured (end of line, end of bitmap,
// delta, absolute runs with their padding to 16 bits). Pixels that the stream
// skips keep palette index 0. A stream that writes outside the bitmap (a run
// past the right edge, a delta past the right or top edge, pixels above the
// top row) is refused, and so is a stream that ends before its end-of-bitmap
// escape while rows are still missing: a truncated map is not shown half
// decoded. The header's compressed size is not trusted; the stream may use
// everything from the pixel offset to the end of the file.
//
// The decoder never reads outside its source, never writes outside the image
// and allocates at most the bounded image (on Linux, images of 16 MiB or more
// are rounded up to whole 2 MiB huge pages) plus a staging buffer of about
// 1 MiB. It keeps no global state; calls may run on any thread.
//
// Files: only a regular file (or a symbolic link to one) is opened; a
// directory, a named pipe or a device is refused without waiting on it.

#include <QImage>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

/// Why a file was refused. For tests and diagnostics only: the user is told
/// just that the file was not a BMP file.
enum class BmpError
{
    None,              ///< decoded
    OpenFailed,        ///< the file could not be opened for reading, or the
                       ///< path names no regular file (a directory, a named
                       ///< pipe, a device)
    ReadFailed,        ///< a read failed although the data should be there
                       ///< (I/O error, or the file shrank while being read)
    NotBmp,            ///< no "BM" signature
    TruncatedHeader,   ///< the file ends inside the headers or colour masks
    UnsupportedHeader, ///< info header size other than 12, 40, 108, 124
    UnsupportedFormat, ///< planes not 1, or a bits-per-pixel / compression
                       ///< combination listed above as not accepted
    BadDimensions,     ///< width <= 0, height 0, or a top-down run-length file
    TooLarge,          ///< beyond the bounds above (the memory budget included)
    BadBitfields,      ///< a colour mask that is not one contiguous run of bits,
                       ///< overlaps another, or exceeds the pixel's bits
    BadPixelOffset,    ///< pixel data offset inside the headers or colour masks,
                       ///< or past the end of the file
    TruncatedPixels,   ///< uncompressed pixel data shorter than the header says
    RleOutsideImage,   ///< a run-length stream writes or moves outside the bitmap
    RleTruncated,      ///< a run-length stream ends before the bitmap does
    OutOfMemory,       ///< the image could not be allocated
    Cancelled,         ///< the caller's progress function asked to stop
};

/// A short English name of the error, e.g. "truncated pixel data".
const char* BmpErrorText(BmpError error);

/// The platform's BITMAP record of a loaded bitmap, as the map view reads it.
/// The pixels themselves live in DecodedBitmap::image.
struct BitmapRecord
{
    std::int32_t bmType = 0;       ///< always 0
    std::int32_t bmWidth = 0;      ///< pixels
    std::int32_t bmHeight = 0;     ///< pixels, positive also for top-down files
    std::int32_t bmWidthBytes = 0; ///< bytes per row in the file's layout:
                                   ///< ((width x bits per pixel + 31) / 32) x 4
    std::uint16_t bmPlanes = 1;    ///< always 1
    std::uint16_t bmBitsPixel = 0; ///< the file's bits per pixel: 1, 4, 8, 16,
                                   ///< 24 or 32 (a 4-bit file reports 4)
};

struct DecodedBitmap
{
    QImage image; ///< Format_Indexed8 or Format_BGR888, top row first
    BitmapRecord info;
    int paletteEntries = 0; ///< colour-table entries the file stores (0 for true colour)
};

/// Random-access bytes that a BMP is decoded from. The decoder reads the
/// headers, the palette and the pixel rows through this interface only, so
/// files and memory buffers share one decoding path.
class IBmpByteSource
{
public:
    virtual ~IBmpByteSource() = default;

    /// Total size in bytes.
    virtual std::uint64_t Size() const = 0;

    /// Copies exactly `count` bytes starting at byte `offset` to `dest`.
    /// Returns false, with `dest` in an unspecified state, when fewer bytes are
    /// available or the read fails. Reads at increasing offsets are the fast case.
    virtual bool ReadAt(std::uint64_t offset, void* dest, std::size_t count) = 0;
};

/// A BMP held in memory. The buffer must outlive the source; it is not copied.
class CBmpMemorySource final : public IBmpByteSource
{
public:
    CBmpMemorySource(const void* data, std::size_t size);
    std::uint64_t Size() const override;
    bool ReadAt(std::uint64_t offset, void* dest, std::size_t count) override;

private:
    const unsigned char* m_pData;
    std::size_t m_nSize;
};

/// The default memory budget of a decoded image (bytes): the smaller of
/// 2 GiB and half the machine's physical memory; 2 GiB when the system does
/// not tell its memory.
std::uint64_t DefaultBmpMemoryBudget();

/// Told how far a read has come: bytes read so far and the source's size.
/// Returning false stops the decoding (BmpError::Cancelled). It is called
/// on the decoding thread before each read (at most once a row).
using BmpReadProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

/// Decodes a BMP from `source`. An image of more than `memoryBudget` bytes
/// is refused (BmpError::TooLarge) before it is allocated. On failure returns
/// nothing and, when `error` is given, stores the reason there; on success
/// stores BmpError::None.
std::optional<DecodedBitmap> DecodeBmp(IBmpByteSource& source, BmpError* error = nullptr,
                                       std::uint64_t memoryBudget = DefaultBmpMemoryBudget(),
                                       const BmpReadProgress& progress = {});

/// Decodes a BMP from `size` bytes at `data` (which may be null when size is 0).
std::optional<DecodedBitmap> DecodeBmp(const void* data, std::size_t size, BmpError* error = nullptr,
                                       std::uint64_t memoryBudget = DefaultBmpMemoryBudget());

/// Decodes the BMP file at `path`, reading the pixel rows straight into the
/// image. A path that names no regular file, or a file that cannot be
/// opened, gives BmpError::OpenFailed.
std::optional<DecodedBitmap> LoadBmpFile(const QString& path, BmpError* error = nullptr,
                                         std::uint64_t memoryBudget = DefaultBmpMemoryBudget(),
                                         const BmpReadProgress& progress = {});
