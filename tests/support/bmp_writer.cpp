#include "support/bmp_writer.h"

namespace
{

void Put16(BmpBytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(BmpBytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::uint32_t Rgb(const BmpColour& c)
{
    return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

} // namespace

BmpBytes WriteBmpHeaders(const BmpRecipe& s, std::uint32_t pixelBytes)
{
    BmpBytes info;
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
    for (const std::uint32_t c : s.palette)
    {
        info.insert(info.end(), {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
                                 static_cast<std::uint8_t>((c >> 16) & 0xFF)});
        if (s.headerSize != 12)
            info.push_back(0);
    }
    const auto infoBytes = static_cast<std::uint32_t>(info.size());
    BmpBytes file = {'B', 'M'};
    Put32(file, 14 + infoBytes + pixelBytes);
    Put32(file, 0);
    Put32(file, 14 + infoBytes); // pixel offset
    file.insert(file.end(), info.begin(), info.end());
    return file;
}

BmpBytes WriteBmp(const BmpRecipe& recipe)
{
    BmpBytes file = WriteBmpHeaders(recipe, static_cast<std::uint32_t>(recipe.pixels.size()));
    file.insert(file.end(), recipe.pixels.begin(), recipe.pixels.end());
    return file;
}

BmpBytes PackRow(int width, std::uint16_t bpp, const std::function<std::uint32_t(int x)>& value)
{
    BmpBytes row;
    for (int x = 0; x < width; ++x)
    {
        const std::uint32_t v = value(x);
        if (bpp < 8)
        {
            // From the high bits of each byte.
            const int perByte = 8 / bpp;
            if (x % perByte == 0)
                row.push_back(0);
            row.back() |= static_cast<std::uint8_t>(v << (8 - bpp * (x % perByte + 1)));
        }
        else if (bpp == 8)
            row.push_back(static_cast<std::uint8_t>(v));
        else if (bpp == 16)
            Put16(row, v);
        else if (bpp == 24)
            row.insert(row.end(), {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>((v >> 8) & 0xFF),
                                   static_cast<std::uint8_t>((v >> 16) & 0xFF)});
        else
            Put32(row, v);
    }
    row.resize((row.size() + 3) / 4 * 4, 0);
    return row;
}

BmpBytes PackRows(int width, int height, std::uint16_t bpp, const std::function<std::uint32_t(int x, int y)>& value)
{
    const bool bTopDown = height < 0;
    const int rows = bTopDown ? -height : height;
    BmpBytes out;
    for (int r = 0; r < rows; ++r)
    {
        const int y = bTopDown ? r : rows - 1 - r;
        const BmpBytes row = PackRow(width, bpp, [&](int x) { return value(x, y); });
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

BmpBytes MakeIndexedBmp(int width, int height, int bitsPerPixel, const std::vector<BmpColour>& palette,
                        const std::function<int(int x, int y)>& pixel)
{
    const auto bpp = static_cast<std::uint16_t>(bitsPerPixel);
    const std::uint32_t entries = 1u << bpp;
    BmpRecipe recipe{.width = width, .height = height, .bpp = bpp, .colorsUsed = entries};
    for (std::uint32_t i = 0; i < entries; ++i)
        recipe.palette.push_back(i < palette.size() ? Rgb(palette[i]) : 0);
    recipe.pixels = PackRows(width, height, bpp, [&](int x, int y) { return static_cast<std::uint32_t>(pixel(x, y)); });
    return WriteBmp(recipe);
}

BmpBytes MakeRgbBmp(int width, int height, const std::function<BmpColour(int x, int y)>& colour)
{
    BmpRecipe recipe{.width = width, .height = height, .bpp = 24};
    recipe.pixels = PackRows(width, height, 24, [&](int x, int y) { return Rgb(colour(x, y)); });
    return WriteBmp(recipe);
}
