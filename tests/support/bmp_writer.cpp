#include "support/bmp_writer.h"

#include "formats/bmp_file.h"

namespace
{

std::uint32_t Rgb(const BmpColour& c)
{
    return std::uint32_t{c.r} << 16 | std::uint32_t{c.g} << 8 | c.b;
}

} // namespace

BmpBytes WriteBmpHeaders(const BmpRecipe& s, std::uint32_t pixelBytes)
{
    return formats::BmpHeaderBytes({.headerSize = s.headerSize,
                                    .width = s.width,
                                    .height = s.height,
                                    .bpp = s.bpp,
                                    .compression = s.compression,
                                    .colorsUsed = s.colorsUsed,
                                    .palette = s.palette,
                                    .masks = s.masks,
                                    .pixelsPerMetre = s.pixelsPerMetre},
                                   pixelBytes);
}

BmpBytes WriteBmp(const BmpRecipe& recipe)
{
    BmpBytes file = WriteBmpHeaders(recipe, static_cast<std::uint32_t>(recipe.pixels.size()));
    file.insert(file.end(), recipe.pixels.begin(), recipe.pixels.end());
    return file;
}

BmpBytes PackRow(int width, std::uint16_t bpp, const std::function<std::uint32_t(int x)>& value)
{
    std::vector<std::uint32_t> values(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x)
        values[static_cast<std::size_t>(x)] = value(x);
    BmpBytes row(formats::BmpRowBytes(width, bpp));
    formats::PackBmpRow(values, bpp, row);
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
