#include "bench_map_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace bench
{
namespace
{

void Put16(std::string& b, unsigned v)
{
    b += static_cast<char>(v & 0xFF), b += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, unsigned v)
{
    Put16(b, v & 0xFFFF), Put16(b, v >> 16);
}

} // namespace

std::filesystem::path PrepareMapFile(int bitsPerPixel)
{
    const int bpp = bitsPerPixel;
    const auto dir = std::filesystem::temp_directory_path() / "kartora-bench";
    std::filesystem::create_directories(dir);
    const auto path = dir / ("map" + std::to_string(bpp) + ".bmp");
    const std::uint64_t stride = (std::uint64_t{kMapSide} * bpp + 31) / 32 * 4;
    const std::uint64_t paletteBytes = bpp == 8 ? 1024 : 0;
    const std::uint64_t fileSize = 54 + paletteBytes + stride * kMapSide;
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) == fileSize)
        return path;

    std::string head = "BM";
    Put32(head, static_cast<unsigned>(fileSize)), Put32(head, 0), Put32(head, 54 + paletteBytes);
    Put32(head, 40), Put32(head, kMapSide), Put32(head, kMapSide), Put16(head, 1), Put16(head, bpp);
    Put32(head, 0), Put32(head, static_cast<unsigned>(stride * kMapSide)), Put32(head, 2835), Put32(head, 2835);
    Put32(head, 0), Put32(head, 0);
    for (unsigned i = 0; i < paletteBytes / 4; ++i)
        Put32(head, (i * 0x010203u) & 0xFFFFFF);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(head.data(), static_cast<std::streamsize>(head.size()));
    std::vector<char> row(stride, 0);
    for (int y = 0; y < kMapSide; ++y)
    {
        for (int x = 0; x < kMapSide; ++x)
        {
            if (bpp == 8)
            {
                row[x] = static_cast<char>((x * 7 + y * 3 + (x ^ y)) & 0xFF);
            }
            else
            {
                row[3 * x] = static_cast<char>(x), row[3 * x + 1] = static_cast<char>(y);
                row[3 * x + 2] = static_cast<char>(x ^ y);
            }
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
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
