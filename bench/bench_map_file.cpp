#include "bench_map_file.h"

#include "support/bmp_writer.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace bench
{

std::filesystem::path PrepareMapFile(int bitsPerPixel, int side)
{
    const auto bpp = static_cast<std::uint16_t>(bitsPerPixel);
    const auto dir = std::filesystem::temp_directory_path() / "kartora-bench";
    std::filesystem::create_directories(dir);
    const std::string suffix = side == kMapSide ? "" : "-" + std::to_string(side);
    const auto path = dir / ("map" + std::to_string(bpp) + suffix + ".bmp");

    BmpRecipe recipe{.width = side, .height = side, .bpp = bpp};
    if (bpp == 8)
        for (std::uint32_t i = 0; i < 256; ++i)
            recipe.palette.push_back((i * 0x010203u) & 0xFFFFFF);
    const std::uint32_t stride = (static_cast<std::uint32_t>(side) * bpp + 31) / 32 * 4;
    const BmpBytes head = WriteBmpHeaders(recipe, stride * static_cast<std::uint32_t>(side));
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) == head.size() + std::uint64_t{stride} * static_cast<std::uint64_t>(side))
        return path;

    // Row by row, in the file's order: the 24-bit file of 10000 x 10000 is 300 MB.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(head.data()), static_cast<std::streamsize>(head.size()));
    for (int y = 0; y < side; ++y)
    {
        const BmpBytes row = PackRow(side, bpp,
                                     [y, bpp](int x) -> std::uint32_t
                                     {
                                         if (bpp == 8)
                                             return static_cast<std::uint32_t>(x * 7 + y * 3 + (x ^ y)) & 0xFF;
                                         return static_cast<std::uint32_t>((x ^ y) & 0xFF) << 16 |
                                                static_cast<std::uint32_t>(y & 0xFF) << 8 |
                                                static_cast<std::uint32_t>(x & 0xFF);
                                     });
        out.write(reinterpret_cast<const char*>(row.data()), static_cast<std::streamsize>(row.size()));
    }
    out.close();
    if (!out)
    {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(1);
    }
    return path;
}

} // namespace bench
