// Fuzz target: the BMP decoder on arbitrary bytes in memory.
//
// Invariants: a refused file names a reason; a decoded file's record matches
// its image (width and height equal, bits per pixel one of 1, 4, 8, 16, 24,
// 32, bytes per row of the file's layout, one plane), indexed depths come out
// as Format_Indexed8 with 256 colour-table entries and the others as
// Format_RGB32. Every pixel row is read once, so that a row the decoder left
// outside its image would show up under AddressSanitizer.
#include "platform/bmp_decoder.h"

#include "fuzz_check.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    BmpError error = BmpError::None;
    const auto bitmap = DecodeBmp(data, size, &error);
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
        FUZZ_CHECK(image.format() == QImage::Format_RGB32, "deeper maps are RGB32");

    unsigned sum = 0;
    for (int y = 0; y < image.height(); ++y)
    {
        const uchar* row = image.constScanLine(y);
        sum += row[0] + row[image.bytesPerLine() - 1];
    }
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
