// Maps of every image format: the BMP decoder for BMP files, Qt's image
// readers for the rest, and the two in-memory formats every map ends in.
#include "platform/bitmap/map_image.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>

#include "platform/regular_file.h"

namespace
{

constexpr int kHeadBytes = 64; // a BMP's bits per pixel, and every other format's signature

bool Fail(MapReadError* error, MapReadError reason)
{
    if (error)
        *error = reason;
    return false;
}

// The colour bits a pixel of `format` holds (padding bytes are no colour).
int ColourBits(QImage::Format format)
{
    switch (format)
    {
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return 1;
    case QImage::Format_Indexed8:
    case QImage::Format_Grayscale8:
    case QImage::Format_Alpha8:
        return 8;
    case QImage::Format_RGB16:
    case QImage::Format_RGB555:
    case QImage::Format_RGB444:
    case QImage::Format_Grayscale16:
        return 16;
    case QImage::Format_RGB32:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGBX8888:
    case QImage::Format_RGB666:
        return 24;
    case QImage::Format_RGBX64:
        return 48;
    case QImage::Format_RGBA64:
    case QImage::Format_RGBA64_Premultiplied:
        return 64;
    default:
        return 32;
    }
}

// A file read through Qt's readers, counting the bytes for the progress and
// failing every read once the progress is cancelled. A read that finds the
// end of the file is noted: decoders that complete a cut file on their own
// (JPEG) ask for more than the file holds.
class CObservedFile final : public QFile
{
public:
    CObservedFile(const QString& path, CMapProgress* progress) : QFile(path), m_pProgress(progress) {}

    bool ReadPastEnd() const { return m_bReadPastEnd; }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (m_pProgress && !m_pProgress->Report(static_cast<std::uint64_t>(pos()), static_cast<std::uint64_t>(size())))
            return -1;
        const qint64 got = QFile::readData(data, maxSize);
        if (got == 0 && maxSize > 0)
            m_bReadPastEnd = true;
        return got;
    }

private:
    CMapProgress* m_pProgress;
    bool m_bReadPastEnd = false;
};

MapReadError FromBmpError(BmpError error)
{
    switch (error)
    {
    case BmpError::OpenFailed:
        return MapReadError::OpenFailed;
    case BmpError::TooLarge:
        return MapReadError::TooLarge;
    case BmpError::OutOfMemory:
        return MapReadError::OutOfMemory;
    case BmpError::Cancelled:
        return MapReadError::Cancelled;
    default:
        return MapReadError::NotAnImage; // the device's own format, refused as before
    }
}

// Any image Qt read, in one of the two map formats.
QImage ToMapFormat(QImage image)
{
    switch (image.format())
    {
    case QImage::Format_Indexed8:
        return image;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB:
        return image.convertToFormat(QImage::Format_Indexed8);
    case QImage::Format_Grayscale8:
    {
        // The same bytes, read through a grey ramp.
        QList<QRgb> ramp(256);
        for (int i = 0; i < 256; ++i)
            ramp[i] = qRgb(i, i, i);
        image.reinterpretAsFormat(QImage::Format_Indexed8);
        image.setColorTable(ramp);
        return image;
    }
    default:
        break;
    }
    if (image.hasAlphaChannel())
    {
        QImage flat(image.size(), QImage::Format_BGR888);
        if (flat.isNull())
            return flat;
        flat.fill(Qt::white);
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
        painter.end();
        flat.setDotsPerMeterX(image.dotsPerMeterX());
        flat.setDotsPerMeterY(image.dotsPerMeterY());
        return flat;
    }
    image.convertTo(QImage::Format_BGR888); // in place where Qt can
    return image;
}

// The first bytes of a file, fewer when it is shorter; empty for anything
// but a regular file.
QByteArray FileHead(const QString& path)
{
    QFile file(path);
    if (!OpenRegularFileForReading(file))
        return {};
    return file.read(kHeadBytes);
}

std::optional<MapImage> ReadBmp(const QString& path, MapReadError* error, CMapProgress* progress,
                                std::uint64_t memoryBudget)
{
    BmpError bmpError = BmpError::None;
    BmpReadProgress observe;
    if (progress)
        observe = [progress](std::uint64_t done, std::uint64_t total) { return progress->Report(done, total); };
    std::optional<DecodedBitmap> decoded = LoadBmpFile(path, &bmpError, memoryBudget, observe);
    if (!decoded)
    {
        Fail(error, FromBmpError(bmpError));
        return std::nullopt;
    }
    return MapImage{.image = std::move(decoded->image),
                    .info = decoded->info,
                    .format = "bmp",
                    .paletteSize = decoded->paletteEntries};
}

std::optional<MapImage> ReadOther(const QString& path, MapReadError* error, CMapProgress* progress,
                                  std::uint64_t memoryBudget)
{
    CObservedFile file(path, progress);
    if (!OpenRegularFileForReading(file, QIODevice::Unbuffered))
    {
        Fail(error, MapReadError::OpenFailed);
        return std::nullopt;
    }
    QImageReader reader(&file);
    reader.setAllocationLimit(static_cast<int>(std::min<std::uint64_t>(memoryBudget >> 20, INT32_MAX)));
    const QByteArray format = reader.format();
    if (format.isEmpty())
    {
        Fail(error, MapReadError::NotAnImage);
        return std::nullopt;
    }
    const QImage::Format fileFormat = reader.imageFormat();
    const QSize size = reader.size();
    // Qt holds most colour files in four bytes per pixel before they are
    // brought to three: the header's size decides before anything is read.
    if (size.isValid() &&
        std::uint64_t{4} * static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) >
            memoryBudget)
    {
        Fail(error, MapReadError::TooLarge);
        return std::nullopt;
    }
    QImage image;
    const bool bRead = reader.read(&image);
    if (progress && progress->IsCancelled())
    {
        Fail(error, MapReadError::Cancelled);
        return std::nullopt;
    }
    if (!bRead || image.isNull() || (format == "jpeg" && file.ReadPastEnd()))
    {
        Fail(error, MapReadError::Damaged);
        return std::nullopt;
    }
    int bits = ColourBits(fileFormat != QImage::Format_Invalid ? fileFormat : image.format());
    MapImage map;
    map.format = format;
    map.paletteSize = image.format() == QImage::Format_Indexed8 || image.format() == QImage::Format_Mono ||
                              image.format() == QImage::Format_MonoLSB
                          ? static_cast<int>(image.colorCount())
                          : 0;
    if (format == "gif")
    {
        // Qt hands GIF frames over in 32 bits; the file holds indices of at
        // most 8 bits into its global colour table, whose size byte 10 of
        // the screen descriptor gives.
        bits = 8;
        const QByteArray head = FileHead(path);
        const int flags = head.size() > 10 ? static_cast<unsigned char>(head[10]) : 0;
        map.paletteSize = (flags & 0x80) != 0 ? 2 << (flags & 7) : 0;
    }
    map.image = ToMapFormat(std::move(image));
    if (map.image.isNull())
    {
        Fail(error, MapReadError::OutOfMemory);
        return std::nullopt;
    }
    map.info.bmWidth = map.image.width();
    map.info.bmHeight = map.image.height();
    map.info.bmWidthBytes = static_cast<std::int32_t>(map.image.bytesPerLine());
    map.info.bmBitsPixel = static_cast<std::uint16_t>(bits);
    if (progress)
        progress->Report(1.0);
    return map;
}

bool IsBmpSignature(const QByteArray& head)
{
    return head.startsWith("BM");
}

} // namespace

const char* MapReadErrorText(MapReadError error)
{
    switch (error)
    {
    case MapReadError::None:
        return "no error";
    case MapReadError::OpenFailed:
        return "the file cannot be opened";
    case MapReadError::NotAnImage:
        return "not an image the program reads";
    case MapReadError::Damaged:
        return "the file is damaged or cut short";
    case MapReadError::TooLarge:
        return "the image is too large for the memory";
    case MapReadError::OutOfMemory:
        return "out of memory";
    case MapReadError::Cancelled:
        return "cancelled";
    }
    return "unknown error";
}

MapFileKind ClassifyMapFile(const QString& path)
{
    const QByteArray head = FileHead(path);
    if (head.isEmpty())
        return MapFileKind::Unknown;
    if (IsBmpSignature(head))
    {
        // The bits per pixel: byte 24 of the core header, byte 28 of the others.
        const auto byte = [&head](int i) { return i < head.size() ? static_cast<unsigned char>(head[i]) : 0u; };
        const unsigned headerSize = byte(14) | byte(15) << 8;
        const unsigned bpp = headerSize == 12 ? byte(24) | byte(25) << 8 : byte(28) | byte(29) << 8;
        return bpp == 4 || bpp == 8 ? MapFileKind::DeviceBitmap : MapFileKind::OtherImage;
    }
    // The readers look at the signature only; the file itself is not opened again.
    QByteArray bytes = head;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader::imageFormat(&buffer).isEmpty() ? MapFileKind::Unknown : MapFileKind::OtherImage;
}

bool IsDeviceBitmap(const MapImage& map)
{
    return map.format == "bmp" && (map.info.bmBitsPixel == 4 || map.info.bmBitsPixel == 8);
}

std::optional<MapImage> ReadMapImage(const QString& path, MapReadError* error, CMapProgress* progress,
                                     std::uint64_t memoryBudget)
{
    if (error)
        *error = MapReadError::None;
    // The signature decides, not the name: a BMP named .png is still a BMP.
    const QByteArray head = FileHead(path);
    if (head.isEmpty() && !IsRegularFile(path))
    {
        Fail(error, MapReadError::OpenFailed);
        return std::nullopt;
    }
    if (IsBmpSignature(head))
        return ReadBmp(path, error, progress, memoryBudget);
    return ReadOther(path, error, progress, memoryBudget);
}
