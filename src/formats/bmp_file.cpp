#include "formats/bmp_file.h"

#include <algorithm>

namespace formats
{

namespace
{

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

} // namespace

std::vector<std::uint8_t> BmpHeaderBytes(const BmpHeader& s, std::uint32_t pixelBytes)
{
    std::vector<std::uint8_t> info;
    Put32(info, s.headerSize);
    if (s.headerSize == 12)
    {
        Put16(info, static_cast<std::uint32_t>(s.width));
        Put16(info, static_cast<std::uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bpp);
    }
    else
    {
        Put32(info, static_cast<std::uint32_t>(s.width));
        Put32(info, static_cast<std::uint32_t>(s.height));
        Put16(info, 1);
        Put16(info, s.bpp);
        Put32(info, s.compression);
        Put32(info, pixelBytes);
        Put32(info, static_cast<std::uint32_t>(s.pixelsPerMetre));
        Put32(info, static_cast<std::uint32_t>(s.pixelsPerMetre));
        Put32(info, s.colorsUsed);
        Put32(info, 0); // important colours: all
        if (s.compression == 3 || s.headerSize > 40)
            for (const std::uint32_t mask : s.masks)
                Put32(info, mask);
        info.resize(s.headerSize + (s.headerSize == 40 && s.compression == 3 ? 12 : 0), 0);
    }
    // Palette entries are blue, green, red, and a zero byte except in the core header.
    for (const std::uint32_t c : s.palette)
    {
        info.insert(info.end(), {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                                 static_cast<std::uint8_t>((c >> 16) & 0xFF)});
        if (s.headerSize != 12)
            info.push_back(0);
    }
    const auto infoBytes = static_cast<std::uint32_t>(info.size());
    std::vector<std::uint8_t> file = {'B', 'M'};
    Put32(file, 14 + infoBytes + pixelBytes);
    Put32(file, 0);
    Put32(file, 14 + infoBytes); // pixel offset
    file.insert(file.end(), info.begin(), info.end());
    return file;
}

std::uint64_t BmpRowBytes(std::int64_t width, std::uint16_t bpp)
{
    return (static_cast<std::uint64_t>(width) * bpp + 31) / 32 * 4;
}

void PackBmpRow(std::span<const std::uint32_t> values, std::uint16_t bpp, std::span<std::uint8_t> row)
{
    std::fill(row.begin(), row.end(), std::uint8_t{0});
    std::uint8_t* out = row.data();
    const std::size_t width = values.size();
    if (bpp == 0)
        return;
    if (bpp < 8)
    {
        const std::size_t perByte = 8u / bpp;
        for (std::size_t x = 0; x < width; ++x)
            out[x / perByte] |= static_cast<std::uint8_t>(values[x] << (8 - bpp * (x % perByte + 1)));
        return;
    }
    for (std::size_t x = 0; x < width; ++x)
    {
        const std::uint32_t v = values[x];
        switch (bpp)
        {
        case 8:
            *out++ = static_cast<std::uint8_t>(v);
            break;
        case 16:
            *out++ = static_cast<std::uint8_t>(v & 0xFF);
            *out++ = static_cast<std::uint8_t>((v >> 8) & 0xFF);
            break;
        case 24: // blue, green, red
            *out++ = static_cast<std::uint8_t>(v & 0xFF);
            *out++ = static_cast<std::uint8_t>((v >> 8) & 0xFF);
            *out++ = static_cast<std::uint8_t>((v >> 16) & 0xFF);
            break;
        default:
            for (int i = 0; i < 4; ++i)
                *out++ = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
            break;
        }
    }
}

} // namespace formats
