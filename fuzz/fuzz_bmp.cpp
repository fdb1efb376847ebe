// Fuzz target: the BMP decoder on arbitrary bytes in memory.
//
// Invariants: a refused file names a reason; a decoded file's record matches
// its image (width and height equal, bits per pixel one of 1, 4, 8, 16, 24,
// 32, bytes per row of the file's layout, one plane), indexed depths come out
// as Format_Indexed8 with 256 colour-table entries and the others as
// Format_BGR888, and the image fits the memory budget. Every pixel row is read
// once, so that a row the decoder left outside its image would show up under
// AddressSanitizer.
//
// The device BMP converter's output is held to the same decoder: a small
// decoded map converted at 4, 8 and 24 bits per pixel encodes to a file that
// the decoder reads back at that depth and size, with a palette that fits the
// depth, and at 24 bits with the very pixels.
//
// The decoder gets a small memory budget: a run-length file of a few bytes
// may claim an image of gigabytes, and allocating and clearing the program's
// own budget of up to 2 GiB for such inputs held the target at a few hundred
// executions a second. The run's memory limits follow from the budget
// (LLVMFuzzerInitialize): a single allocation of kMallocLimitMb or more,
// which only an image beyond the budget can be, is a finding.
#include "platform/bitmap/bmp_decoder.h"
#include "platform/bitmap/device_bmp.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace
{

constexpr std::uint64_t kMemoryBudget = std::uint64_t{4} << 20; // bytes: 2048 x 2048 indexed, about 1180 x 1180 BGR888
// The budget and the decoder's staging buffer of 1 MiB, its largest other
// allocation.
constexpr int kMallocLimitMb = 5;
// Room for AddressSanitizer's quarantine of freed images.
constexpr int kRssLimitMb = 1024;
// Maps up to this many pixels also go through the converter (its palette
// search costs milliseconds per thousand pixels).
constexpr std::int64_t kConvertedPixels = 4096;

void CheckConverted(const QImage& image, bool bDither)
{
    for (const int bits : {4, 8, 24})
    {
        const std::optional<QImage> device =
            MakeDeviceImage(image, {.bitsPerPixel = bits, .bDither = bDither, .crop = {}});
        FUZZ_CHECK(device.has_value(), "a decoded map converts");
        const std::string file = EncodeBmp(*device, bits);
        FUZZ_CHECK(!file.empty(), "a converted map encodes");
        BmpError error = BmpError::None;
        const auto read = DecodeBmp(file.data(), file.size(), &error, kMemoryBudget);
        FUZZ_CHECK(read && read->info.bmBitsPixel == bits && read->image.size() == image.size(),
                   "the decoder reads the converter's file back at its depth and size");
        FUZZ_CHECK(read->paletteEntries <= (bits == 24 ? 0 : 1 << bits), "the palette fits the depth");
        if (bits != 24)
            continue;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                FUZZ_CHECK(read->image.pixel(x, y) == image.pixel(x, y), "24 bits keep every pixel");
    }
}

} // namespace

// Puts the memory limits in front of the command line's flags, which come
// later and win.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static std::string limits[] = {"-malloc_limit_mb=" + std::to_string(kMallocLimitMb),
                                   "-rss_limit_mb=" + std::to_string(kRssLimitMb)};
    static std::vector<char*> arguments;
    arguments.assign(*argv, *argv + 1);
    for (std::string& limit : limits)
        arguments.push_back(limit.data());
    arguments.insert(arguments.end(), *argv + 1, *argv + *argc);
    arguments.push_back(nullptr);
    *argc = static_cast<int>(arguments.size()) - 1;
    *argv = arguments.data();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BmpError error = BmpError::None;
    const auto bitmap = DecodeBmp(data, size, &error, kMemoryBudget);
    if (!bitmap)
    {
        FUZZ_CHECK(error != BmpError::None, "a refused file names its reason");
        return 0;
    }
    FUZZ_CHECK(error == BmpError::None, "a decoded file reports no error");

    const BitmapRecord& info = bitmap->info;
    const QImage& image = bitmap->image;
    FUZZ_CHECK(!image.isNull(), "a decoded file has an image");
    FUZZ_CHECK(info.bmType == 0 && info.bmPlanes == 1, "the record's type is 0 and its planes 1");
    FUZZ_CHECK(info.bmWidth == image.width() && info.bmHeight == image.height(), "the record's size is the image's");
    FUZZ_CHECK(info.bmWidth > 0 && info.bmHeight > 0, "a decoded image has pixels");
    const unsigned bpp = info.bmBitsPixel;
    FUZZ_CHECK(bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32,
               "bits per pixel are 1, 4, 8, 16, 24 or 32");
    const std::int64_t stride = (std::int64_t{info.bmWidth} * bpp + 31) / 32 * 4;
    FUZZ_CHECK(info.bmWidthBytes == stride, "bytes per row follow the file's layout");
    if (bpp <= 8)
        FUZZ_CHECK(image.format() == QImage::Format_Indexed8 && image.colorCount() == 256,
                   "indexed maps stay indexed with a full colour table");
    else
        FUZZ_CHECK(image.format() == QImage::Format_BGR888, "deeper maps are BGR888");
    FUZZ_CHECK(static_cast<std::uint64_t>(image.sizeInBytes()) <= kMemoryBudget, "the image fits the memory budget");

    unsigned sum = 0;
    for (int y = 0; y < image.height(); ++y)
    {
        const uchar* row = image.constScanLine(y);
        sum += row[0] + row[image.bytesPerLine() - 1];
    }
    volatile unsigned sink = sum;
    (void)sink;

    if (std::int64_t{image.width()} * image.height() <= kConvertedPixels)
        CheckConverted(image, (sum & 1) != 0);
    return 0;
}
