#include "calibration/bmp_size.h"

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace calibration
{

namespace
{

std::uint32_t Little(const unsigned char* bytes, int count)
{
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = (value << 8) | bytes[i];
    return value;
}

} // namespace

std::optional<MapSize> ReadBmpSize(const std::filesystem::path& path)
{
    // A pipe or a device would make the read wait or never end.
    std::error_code ignored;
    if (!std::filesystem::is_regular_file(path, ignored))
        return std::nullopt;
    std::ifstream file(path, std::ios::binary);
    unsigned char header[26] = {};
    if (!file.read(reinterpret_cast<char*>(header), sizeof header) || header[0] != 'B' || header[1] != 'M')
        return std::nullopt;
    // File header 14 bytes, then the info header with its size first.
    const std::uint32_t infoSize = Little(header + 14, 4);
    std::int64_t width = 0;
    std::int64_t height = 0;
    if (infoSize == 12) // core header: 16-bit width and height
    {
        width = Little(header + 18, 2);
        height = Little(header + 20, 2);
    }
    else if (infoSize == 40 || infoSize == 108 || infoSize == 124)
    {
        width = static_cast<std::int32_t>(Little(header + 18, 4));
        height = static_cast<std::int32_t>(Little(header + 22, 4)); // negative: top-down
    }
    else
        return std::nullopt;
    height = std::llabs(height);
    if (width <= 0 || height <= 0 || width > INT32_MAX || height > INT32_MAX)
        return std::nullopt;
    return MapSize{static_cast<int>(width), static_cast<int>(height)};
}

} // namespace calibration
