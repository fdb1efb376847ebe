#include "platform/bitmap/map_png.h"

#include <QBuffer>
#include <QByteArray>
#include <QString>

#include "platform/bitmap/bmp_decoder.h"

std::optional<std::string> MapAsPng(const std::filesystem::path& path)
{
    const std::optional<DecodedBitmap> map = LoadBmpFile(QString::fromStdU16String(path.u16string()));
    if (!map)
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !map->image.save(&buffer, "PNG"))
        return std::nullopt;
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
