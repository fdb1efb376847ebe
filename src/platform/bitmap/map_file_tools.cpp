#include "platform/bitmap/map_file_tools.h"

#include <QString>

#include "platform/bitmap/device_bmp.h"
#include "platform/bitmap/map_image.h"

using formats::DeviceBmpBytes;
using formats::MapFacts;
using formats::MapFileFault;

namespace
{

QString FromPath(const std::filesystem::path& path)
{
    return QString::fromStdU16String(path.u16string());
}

MapFacts FactsOf(const MapImage& map)
{
    return {.width = map.info.bmWidth,
            .height = map.info.bmHeight,
            .bitsPerPixel = map.info.bmBitsPixel,
            .paletteSize = map.paletteSize,
            .format = map.format.toStdString(),
            .bDeviceReadable = IsDeviceBitmap(map)};
}

std::optional<MapImage> Read(const std::filesystem::path& path, std::string& reason)
{
    MapReadError error = MapReadError::None;
    std::optional<MapImage> map = ReadMapImage(FromPath(path), &error);
    if (!map)
        reason = MapReadErrorText(error);
    return map;
}

} // namespace

std::variant<MapFacts, std::string> DescribeMapFile(const std::filesystem::path& path)
{
    std::string reason;
    const std::optional<MapImage> map = Read(path, reason);
    if (!map)
        return reason;
    return FactsOf(*map);
}

DeviceBmpBytes DeviceBmpOfFile(const std::filesystem::path& path, const formats::DeviceBmpRequest& request)
{
    DeviceBmpBytes result;
    std::optional<MapImage> map = Read(path, result.reason);
    if (!map)
    {
        result.fault = MapFileFault::Unreadable;
        return result;
    }
    result.source = FactsOf(*map);
    DeviceBmpOptions options{.bitsPerPixel = request.bitsPerPixel, .bDither = request.bDither, .crop = {}};
    if (request.crop)
    {
        // In 64 bits: a crop's far edge may lie beyond what an int holds.
        const formats::MapCrop& crop = *request.crop;
        const bool bInside = crop.x >= 0 && crop.y >= 0 && crop.width > 0 && crop.height > 0 &&
                             std::int64_t{crop.x} + crop.width <= map->image.width() &&
                             std::int64_t{crop.y} + crop.height <= map->image.height();
        if (!bInside)
        {
            result.fault = MapFileFault::CropOutside;
            return result;
        }
        options.crop = QRect(crop.x, crop.y, crop.width, crop.height);
    }
    std::optional<QImage> device = MakeDeviceImage(map->image, options);
    map.reset();
    if (device)
        result.bytes = EncodeBmp(*device, request.bitsPerPixel);
    if (result.bytes.empty())
        result.fault = MapFileFault::Failed;
    return result;
}
